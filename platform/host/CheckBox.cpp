#include "platform/host/CheckBox.h"

#include "platform/host/Accessibility.h"
#include "platform/host/Rounding.h"
#include "platform/host/StandardPainting.h"

namespace sorrel::host {

CheckBox::CheckBox()
    : WithEventHooks(0x8000000F, 0x80000012)
{ }

CheckBox::CheckBox(Control& container, std::string name)
    : CheckBox()
{
    attach(container, std::move(name));
    m_caption = Name();
}

void CheckBox::Caption(std::string caption)
{
    if (caption == m_caption)
        return;
    m_caption = std::move(caption);
    repaint();
}

void CheckBox::Value(int16_t value)
{
    if (value < 0 || value > 2 || value == m_value)
        return;
    m_value = value;
    repaint();
}

void CheckBox::FocusMark(bool shown)
{
    if (shown == m_focus_mark)
        return;
    m_focus_mark = shown;
    repaint();
}

void CheckBox::repaint()
{
    m_canvas.Cls();
    gdi::Surface& s = m_canvas.pixels();
    if (s.is_empty()) {
        invalidate();
        return;
    }
    // The square
    constexpr int box = 13;
    // Rounded like a control's twips position, so that a picture box centred over the square
    // by its container covers it exactly at every height.
    int top = to_int_half_away((s.height() - box) / 2.0);
    gdi::Rect square = gdi::Rect::from_size(0, top, box, box);
    bool enabled = is_effectively_enabled();
    gdi::Color inside = (m_value == 2 || !enabled) ? gdi::GetSysColor(gdi::COLOR_BTNFACE) : 0x00FFFFFF;
    s.fill_rect(square.inflated(-2, -2), inside);
    painting::sunken_edge(s, square);
    if (m_value != 0) {
        gdi::Color mark = (m_value == 2 || !enabled) ? gdi::GetSysColor(gdi::COLOR_BTNSHADOW) : 0;
        // The tick: a seven-pixel-wide check mark, three pixels thick.
        for (int i = 0; i < 7; ++i) {
            int y = i < 3 ? top + 5 + i : top + 9 - (i - 2);
            s.fill_rect({3 + i, y, 4 + i, y + 3}, mark);
        }
    }
    // The caption
    gdi::HDC dc = m_canvas.hDC();
    gdi::Color text_color
        = enabled ? resolve_color(m_canvas.ForeColor()) : gdi::GetSysColor(gdi::COLOR_GRAYTEXT);
    gdi::COLORREF old_color = gdi::SetTextColor(dc, text_color);
    auto size = painting::measure(dc, m_caption);
    const int text_left = box + 4, text_top = (s.height() - size.height) / 2;
    painting::text_at(dc, text_left, text_top, m_caption);
    gdi::SetTextColor(dc, old_color);
    if (m_focus_mark && !m_caption.empty()) {
        gdi::RECT mark {text_left - 1, text_top - 1, text_left + size.width + 1, text_top + size.height + 1};
        gdi::DrawFocusRect(dc, &mark);
    }
    invalidate();
}

void CheckBox::handle_mouse_up(int16_t button, int16_t shift, float x, float y)
{
    m_last_release_button = button;
    WithEventHooks::handle_mouse_up(button, shift, x, y);
}

void CheckBox::handle_click()
{
    // A standard check box answers the left button only.
    if (m_last_release_button != vbLeftButton)
        return;
    Value(int16_t(m_value == 0 ? 1 : 0));
    WithEventHooks::handle_click();
}

std::string CheckBox::dump_text() const
{
    return quoted(m_caption) + " value " + std::to_string(m_value);
}

bool CheckBox::describe_accessible(AccessibleNode& node) const
{
    node.role = AccessibleRole::CheckBox;
    node.name = m_caption; // drawn as it stands, "&" included
    node.states.set(AccessibleState::Checked, m_value == 1);
    node.states.set(AccessibleState::Mixed, m_value == 2);
    node.default_action = m_value == 0 ? "Check" : "Uncheck";
    return true;
}

} // namespace sorrel::host
