#pragma once

#include "platform/gdi/Gdi.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sorrel::host {

// A font object shared by reference (std::shared_ptr<StdFont>): the controls, the form and the
// property store hold the same object, and every setter that changes a value tells the
// subscribers which property changed (FontChanged("Bold"), ...).
//
// Size is kept like a Currency value, in ten-thousandths of a point, so 8.25 stays 8.25.
// Bold and Weight follow each other: Bold sets 700 / 400, a Weight of 550 or more reads as Bold.
class StdFont : public std::enable_shared_from_this<StdFont> {
public:
    // The subscription ends when this object is destroyed or reset.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&&) noexcept;
        Subscription& operator=(Subscription&&) noexcept;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { reset(); }
        void reset();

    private:
        friend class StdFont;
        Subscription(std::weak_ptr<StdFont> font, int id)
            : m_font(std::move(font))
            , m_id(id)
        { }
        std::weak_ptr<StdFont> m_font;
        int m_id {0};
    };
    using ChangeHandler = std::function<void(const std::string& PropertyName)>;

    static std::shared_ptr<StdFont> create(std::string name = "MS Sans Serif", double size = 8.25);
    std::shared_ptr<StdFont> clone() const;

    const std::string& Name() const { return m_name; }
    void Name(std::string name);
    double Size() const { return double(m_size_e4) / 10000.0; }
    void Size(double points);
    bool Bold() const { return m_weight >= 550; }
    void Bold(bool bold);
    bool Italic() const { return m_italic; }
    void Italic(bool italic);
    bool Underline() const { return m_underline; }
    void Underline(bool underline);
    bool Strikethrough() const { return m_strikethrough; }
    void Strikethrough(bool strikethrough);
    int16_t Weight() const { return m_weight; }
    void Weight(int16_t weight);
    int16_t Charset() const { return m_charset; }
    void Charset(int16_t charset);

    [[nodiscard]] Subscription subscribe(ChangeHandler handler);

    // Same attributes (name compared without regard to case).
    bool same_as(const StdFont& other) const;

    // The font as the drawing layer creates it, for a screen of `twips_per_pixel_y`.
    gdi::LOGFONTA to_logfont(int twips_per_pixel_y = 15) const;

    StdFont(std::string name, double size);

private:
    void changed(const char* property);

    std::string m_name;
    int64_t m_size_e4 {82500};
    int16_t m_weight {400};
    int16_t m_charset {0};
    bool m_italic {false};
    bool m_underline {false};
    bool m_strikethrough {false};
    int m_next_id {1};
    std::vector<std::pair<int, ChangeHandler>> m_subscribers;
};

using FontRef = std::shared_ptr<StdFont>;

} // namespace sorrel::host
