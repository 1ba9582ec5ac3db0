#include "controls/button/CaptionLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace sorrel::controls {

namespace {

// Margins by ButtonStyle: the slanted outlines need room at their slanted ends.
struct Margins {
    int icon_only_shift; // A
    int width_reserve; // B
    int left; // C
    int centred_with_icon; // D
    int centred_no_icon; // E
    int right; // F
};
constexpr Margins margin_table[4] = {
    {0, 6, 6, 0, 0, 6},
    {18, 18, 6, 18, -18, 18},
    {0, 42, 18, 0, 0, 18},
    {-18, 18, 18, 0, 18, 6},
};

std::string right_trimmed(std::string_view text)
{
    size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    return std::string(text.substr(0, end));
}

// The lower case of a Windows-1252 character, as the caption's access key is compared.
char ansi_lower(char c)
{
    auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
        return static_cast<char>(u + 0x20);
    if (u == 0x8A || u == 0x8C || u == 0x8E)
        return static_cast<char>(u + 0x10);
    if (u == 0x9F)
        return static_cast<char>(0xFF);
    return c;
}

// Breaks the display text into lines. A line takes the first `n` characters of what is left;
// `n` survives from one line to the next, which is why a long word after the first one is cut
// into pieces of the previous line's length instead of being shortened.
class LineBreaker {
public:
    LineBreaker(
        const TextMeasurer& measure, std::string text, int access_key_pos, std::vector<CaptionLine>& lines)
        : m_measure(measure)
        , m_text(std::move(text))
        , m_key_pos(access_key_pos)
        , m_lines(lines)
    { }

    void single_line()
    {
        m_n = static_cast<int>(m_text.size());
        add_line();
    }

    void wrap(int limit, int max_lines)
    {
        m_text += ' ';
        m_n = 0;
        size_t from = 0;
        for (;;) {
            size_t space = m_text.find(' ', from);
            if (space == std::string::npos) {
                if (m_count != max_lines)
                    add_line();
                break;
            }
            if (m_count == max_lines)
                break;
            int through_space = static_cast<int>(space) + 1;
            int candidate_width
                = m_measure(right_trimmed(std::string_view(m_text).substr(0, space + 1))).width;
            if (candidate_width > limit && m_n > 0) {
                add_line();
                from = 0;
                continue;
            }
            m_n = through_space;
            from = space + 1;
            if (candidate_width <= limit)
                continue;
            shorten(space, limit);
            m_n = 0;
            from = 0;
        }
        // Whatever remains forms one more line; the caption can thus have one line more than fits.
        add_line();
        // A cut that ends exactly on the appended space would leave a blank last line, which only
        // pushes the text off centre.
        if (m_lines.size() > 1 && m_lines.back().Text.empty())
            m_lines.pop_back();
    }

    bool key_found() const { return m_key_found; }
    int key_line() const { return m_key_line; }
    int key_width() const { return m_key_width; }
    int key_offset() const { return m_key_pos; }

private:
    void add_line()
    {
        if (m_text.empty())
            return;
        size_t take = static_cast<size_t>(std::clamp(m_n, 0, static_cast<int>(m_text.size())));
        std::string line = right_trimmed(std::string_view(m_text).substr(0, take));
        if (!m_key_found && m_key_pos != 0) {
            int length = static_cast<int>(line.size());
            if (m_key_pos > length) {
                m_key_pos -= length + 1;
            } else {
                m_key_width = m_measure(std::string_view(m_text).substr(m_key_pos - 1, 1)).width;
                m_key_line = m_count;
                m_key_found = true;
            }
        }
        TextExtent extent = m_measure(line);
        if (m_count >= static_cast<int>(m_lines.size()))
            m_lines.resize(m_count + 1);
        m_lines[m_count] = {0, 0, extent.width, extent.height, std::move(line)};
        m_text.erase(0, take);
        ++m_count;
    }

    // The first word alone is wider than the line: keep about half of the share of the word that
    // would fit, and mark the cut with "...". The share is taken of the word, not of the whole
    // remaining caption, so the piece never reaches into the next words; and a piece that still
    // overflows (a narrow share of wide letters) gives up letters until the line fits the face.
    void shorten(size_t space, int limit)
    {
        std::string_view word = std::string_view(m_text).substr(0, space);
        int word_width = m_measure(word).width;
        int length = static_cast<int>(word.size());
        int keep = 1;
        if (word_width > 0) {
            double share = std::floor(double(limit) / double(word_width) * double(length));
            keep = static_cast<int>(std::clamp(share, double(INT_MIN), double(INT_MAX))) / 2;
        }
        keep = std::clamp(keep, 1, std::max(length, 1));
        std::string piece(word.substr(0, size_t(keep)));
        if (piece.size() > 4)
            piece.resize(piece.size() - 3);
        while (piece.size() > 1 && m_measure(piece + "...").width > limit)
            piece.pop_back();
        piece += "...";
        m_n = static_cast<int>(piece.size());
        m_text = piece + m_text.substr(space + 1);
        add_line();
    }

    const TextMeasurer& m_measure;
    std::string m_text;
    int m_key_pos;
    std::vector<CaptionLine>& m_lines;
    int m_n {0};
    int m_count {0};
    bool m_key_found {false};
    int m_key_line {0};
    int m_key_width {0};
};

} // namespace

AccessKeyMarker find_access_key(std::string_view caption)
{
    size_t scan = 0;
    int pairs = 0;
    for (;;) {
        size_t amp = caption.find('&', scan);
        if (amp == std::string_view::npos)
            return {};
        if (caption.find("&&", scan) == amp) {
            ++pairs;
            scan = amp + 2;
            continue;
        }
        long position = long(amp) + 1 - pairs;
        if (position > INT16_MAX)
            return {};
        AccessKeyMarker marker;
        marker.found = true;
        marker.position = static_cast<int16_t>(position);
        if (amp + 1 < caption.size())
            marker.key = std::string(1, ansi_lower(caption[amp + 1]));
        return marker;
    }
}

std::string display_caption(std::string_view caption, int access_key_pos)
{
    std::string text;
    text.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        text += caption[i];
        if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] == '&')
            ++i;
    }
    if (access_key_pos > 0 && access_key_pos <= static_cast<int>(text.size()))
        text.erase(access_key_pos - 1, 1);
    return text;
}

namespace {

// The layout's input with values read unchecked from a damaged property store brought back to
// the defaults.
struct Setting {
    explicit Setting(const CaptionLayoutInput& in)
        : margins(margin_table[(in.button_style >= 0 && in.button_style <= 3) ? in.button_style : 0])
        , alignment((in.alignment >= 0 && in.alignment <= 2) ? in.alignment : 1)
        , orientation((in.orientation >= 0 && in.orientation <= 2) ? in.orientation : 0)
        , icon_after(in.icon_alignment == 1)
        , has_icon(in.has_icon)
        , W(in.width)
        , H(in.height)
        , S(in.icon_size * 8)
    { }
    const Margins& margins;
    int alignment;
    int orientation;
    bool icon_after;
    bool has_icon;
    int W;
    int H;
    int S; // icon side
};

// Places every line for the alignment and orientation; `Th` is the whole caption's height.
void place_lines(std::vector<CaptionLine>& lines, const Setting& set, int Th)
{
    const Margins& m = set.margins;
    const int W = set.W;
    const int H = set.H;
    // The icon offset O applies only when the icon sits on the near side of the text.
    const int N = static_cast<int>(lines.size());
    int O = set.S + 5;
    if (!set.has_icon || (set.icon_after && set.alignment == 0) || (!set.icon_after && set.alignment == 2))
        O = 0;
    for (int i = 0; i < N; ++i) {
        CaptionLine& line = lines[i];
        if (set.orientation == 0) {
            line.Top = i * line.Height + (H - N * line.Height) / 2;
            if (set.alignment == 0) {
                line.Left = m.left + O;
            } else if (set.alignment == 1) {
                int shift = m.centred_no_icon / 2;
                if (set.has_icon)
                    shift = set.icon_after ? -((O + m.centred_with_icon) / 2) : (O - m.centred_with_icon) / 2;
                line.Left = (W - line.Width) / 2 + shift;
            } else {
                line.Left = W - (line.Width + O + m.right);
            }
            continue;
        }
        const int block_start = (W - N * line.Height) / 2;
        const int x_base = set.orientation == 1 ? 0 : -W;
        const int y_base = set.orientation == 1 ? H : 0;
        line.Left = std::abs(i * Th + x_base + block_start);
        if (set.alignment == 0) {
            line.Top = std::abs(y_base - O - 6);
        } else if (set.alignment == 1) {
            bool icon_below = (set.orientation == 1) != set.icon_after;
            int shift = icon_below ? O / 2 : -(O / 2);
            line.Top = std::abs(y_base - (H - line.Width) / 2) - shift;
        } else {
            line.Top = H - std::abs(y_base - (line.Width + O + 6));
        }
    }
}

// The rectangle around the placed lines.
CaptionBox block_box(const std::vector<CaptionLine>& lines, const Setting& set)
{
    const CaptionLine& first = lines.front();
    const CaptionLine& last = lines.back();
    CaptionBox box;
    int widest = 0;
    for (const CaptionLine& line : lines)
        widest = std::max(widest, line.Width);
    if (set.orientation == 0) {
        box.Top = first.Top;
        box.Bottom = last.Top + first.Height;
        box.Left = set.W;
        for (const CaptionLine& line : lines)
            box.Left = std::min(box.Left, line.Left);
        box.Right = box.Left + widest;
    } else if (set.orientation == 1) {
        box.Left = first.Left;
        box.Right = last.Left + last.Height;
        box.Top = set.H;
        for (const CaptionLine& line : lines)
            box.Top = std::min(box.Top, std::abs(line.Top - line.Width));
        box.Bottom = box.Top + widest;
    } else {
        box.Left = last.Left - first.Height;
        box.Right = first.Left;
        box.Top = set.H;
        for (const CaptionLine& line : lines)
            box.Top = std::min(box.Top, line.Top);
        box.Bottom = box.Top + widest;
    }
    return box;
}

// The access-key underline runs along the key character's lower edge.
void place_underline(
    CaptionLayout& out, const LineBreaker& breaker, int orientation, const TextMeasurer& measure)
{
    if (!breaker.key_found())
        return;
    const CaptionLine& line = out.lines[breaker.key_line()];
    int k = std::clamp(breaker.key_offset(), 0, static_cast<int>(line.Text.size()));
    int before = measure(std::string_view(line.Text).substr(0, k)).width;
    out.key_found = true;
    out.access_key_line = breaker.key_line();
    out.access_key_width = breaker.key_width();
    if (orientation == 0) {
        out.underline_x = line.Left + before - out.access_key_width;
        out.underline_y = line.Top + line.Height;
    } else if (orientation == 1) {
        out.underline_x = line.Left + line.Height;
        out.underline_y = line.Top - before;
    } else {
        out.underline_x = line.Left - line.Height;
        out.underline_y = line.Top + before - out.access_key_width;
    }
}

// The icon beside the caption's block, on the side IconAlignmentValue names.
void place_icon(CaptionLayout& out, const CaptionBox& box, const Setting& set)
{
    out.icon_placed = true;
    if (set.orientation == 0) {
        out.icon_x = set.icon_after ? box.Right + 5 : box.Left - set.S - 5;
        out.icon_y = (box.Bottom - box.Top - set.S) / 2 + box.Top;
    } else {
        out.icon_x = (box.Right - box.Left - set.S) / 2 + box.Left;
        bool icon_below = (set.orientation == 1) != set.icon_after;
        out.icon_y = icon_below ? box.Bottom + 5 : box.Top - set.S - 5;
    }
}

} // namespace

CaptionLayout layout_caption(const CaptionLayoutInput& in, const TextMeasurer& measure)
{
    const Setting set(in);
    CaptionLayout out;
    out.lines.resize(1);

    if (in.has_icon && in.caption.empty()) {
        out.icon_placed = true;
        out.icon_x = (set.W - set.S) / 2 - set.margins.icon_only_shift / 2;
        out.icon_y = (set.H - set.S) / 2;
        return out;
    }
    const int reserve = in.has_icon ? set.S + 5 : 0;

    std::string text = display_caption(in.caption, in.access_key_pos);
    int limit;
    int cross;
    if (set.orientation == 0) {
        limit = set.W - reserve - 6 - set.margins.width_reserve;
        cross = set.H;
    } else {
        limit = set.H - 12 - reserve;
        cross = set.W;
    }
    limit = std::clamp(limit, int(INT16_MIN), int(INT16_MAX));

    TextExtent whole = measure(text);
    const int Th = whole.height;
    LineBreaker breaker(measure, text, in.access_key_pos, out.lines);
    if (!text.empty() && whole.width > limit && Th <= cross) {
        int max_lines = Th > 0 ? std::max(cross / Th, 1) : 1;
        breaker.wrap(limit, max_lines);
    } else {
        breaker.single_line();
    }

    place_lines(out.lines, set, Th);
    const CaptionBox box = block_box(out.lines, set);
    place_underline(out, breaker, set.orientation, measure);
    if (in.has_icon)
        place_icon(out, box, set);

    // Room for the focus rectangle around the text.
    out.has_rect = true;
    out.rect = {box.Left - 3, box.Top - 3, box.Right + 1, box.Bottom + 1};
    return out;
}

} // namespace sorrel::controls
