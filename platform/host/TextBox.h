#pragma once

#include "platform/host/CanvasControl.h"

#include <functional>
#include <string>

namespace sorrel::host {

// A text field. Text keeps CR LF line breaks as given; MultiLine fields break at them and wrap
// long lines at spaces, single-line fields show one line. Alignment 0 left, 1 right, 2 centre.
// A Locked field takes the focus and keys but does not change its text. Typing (KeyPress)
// inserts at the end; Backspace removes the last character; Enter adds CR LF when MultiLine.
class TextBox : public CanvasControl {
public:
    TextBox();
    TextBox(Control& container, std::string name);

    std::string_view kind() const override { return "TextBox"; }
    bool can_focus() const override { return true; }
    bool takes_text() const override { return !m_locked; }

    const std::string& Text() const { return m_text; }
    void Text(std::string text);
    bool MultiLine() const { return m_multi_line; }
    void MultiLine(bool multi_line);
    int16_t Alignment() const { return m_alignment; }
    void Alignment(int16_t alignment);
    bool Locked() const { return m_locked; }
    void Locked(bool locked) { m_locked = locked; }
    // 0 none, 1 fixed single (a sunken two-pixel border, our default).
    int16_t BorderStyle() const { return m_border_style; }
    void BorderStyle(int16_t style);

    std::function<void()> on_change;

    void handle_key_down(int16_t& key_code, int16_t& shift) override;
    void handle_key_press(int16_t& key_ascii) override;
    std::string dump_text() const override { return host::quoted(m_text); }
    bool describe_accessible(AccessibleNode& node) const override;

    void read_design_properties(const PropertyBag& bag) override;
    void write_design_properties(PropertyBag& bag) const override;

private:
    void repaint() override;

    std::string m_text;
    bool m_multi_line {false};
    bool m_locked {false};
    int16_t m_alignment {0};
    int16_t m_border_style {1};
};

} // namespace sorrel::host
