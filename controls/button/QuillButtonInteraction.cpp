// How the button behaves: mouse, keys, access key, focus, the hover timer and option groups.
// These handlers change m_button_state and the other members and then ask for RefreshButton; they
// never draw.
//
// [SECTION] State over time
// [SECTION] Events and repaint
// [SECTION] Mouse
// [SECTION] Screen readers
// [SECTION] Keys and access key
// [SECTION] Focus and hover timer
// [SECTION] Option buttons and groups
// [SECTION] Show and ambient changes

#include "controls/button/QuillButton.h"

#include "platform/host/Accessibility.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace sorrel::controls {

// [SECTION] State over time
//
// m_button_state (0 up, 2 pressed, 3 focused, 4 pointer over) as the user drives it. H is m_has_focus,
// M is m_mouse_inside; "simulated" calls pass Button -1 and raise no mouse event.
//
//   press (not the right button)          2; an unselected option button is selected and raises
//                                           Click before MouseDown; a selected one raises nothing
//   right press                           stored Enabled = False: the click that follows is
//                                           swallowed; the state does not change
//   move, no button, inside               4
//   move, left button, inside             2
//   move, no/left button, outside         3 if H, else 0 (shown only by the next repaint)
//   move, any other button                4
//   the first move (M was False)          repaint; M = True; the hover timer runs
//   release (not the right button)        4 if M, else 3 if H, else 0; repaint
//   click                                 a push button: simulated release, then Click
//   swallowed click (after a right press) stored Enabled = True again
//   double click                          simulated press: the second press shows pressed
//   focus entered / left                  3 unless M / 4 if M, else 0; the hover timer runs on
//   enabled again (setter)                4 if the pointer is over the button: M = True and the
//                                           hover timer runs, as after a first move
//
// Press, drag out and back, with the hover timer (100 ms):
//
//   t        pointer    event               m_button_state   face on screen
//   0        inside     left press          2             pressed
//   10       outside    move (left held)    3 or 0        still pressed: M is True, no repaint
//   100      outside    timer tick          3 or 0        up or focused; MouseOut; M = False
//   150      inside     move (left held)    2             pressed again (first move repaints)
//   200      inside     left release        4             pointer over
//
// The hover timer runs from the first move over the button until a tick finds the pointer
// over another window (including a child window on top, or the button's container once the
// button is disabled). A tick while the pointer is over the button does nothing, so MouseOut
// comes once per stay outside, and M never stays True after the pointer has gone.

// [SECTION] Events and repaint

void QuillButton::raise_mouse_event(std::string_view event, int16_t Button, int16_t Shift, float X, float Y)
{
    if (Button < 0)
        return;
    RaiseEvent(event, {&Button, &Shift, &X, &Y});
}

void QuillButton::raise_key_event(std::string_view event, int16_t KeyCode, int16_t Shift)
{
    RaiseEvent(event, {&KeyCode, &Shift});
}

void QuillButton::RefreshButton()
{
    if (m_terminated)
        return;
    m_paint_ready = true;
    PaintButton(false);
    Refresh();
    // Every change of state ends here, so this is where a screen reader hears of one.
    int states = (m_button_state == FaceState::Pressed ? 1 : 0) | (m_option_button && m_value ? 2 : 0);
    if (states != m_accessible_states) {
        m_accessible_states = states;
        accessible_changed(host::AccessibleEvent::State);
    }
}

void QuillButton::RefreshAndWait(float seconds)
{
    Refresh();
    host::Host& h = host();
    float start = h.seconds_since_midnight();
    // Sleep rather than spin: the host presents the pressed face and then blocks without
    // handling input or timers. The bound on the sleeps keeps a clock that does not move from
    // holding the button forever.
    double slept_ms = 0;
    double limit_ms = double(seconds) * 1000.0 + 50.0;
    while (true) {
        float now = h.seconds_since_midnight();
        if (now < start || now - start >= seconds)
            break;
        if (slept_ms >= limit_ms)
            break;
        // Short steps, so that a clock passing midnight ends the wait soon after.
        double step_ms = std::clamp((double(seconds) - double(now - start)) * 1000.0, 1.0, 10.0);
        h.Sleep(step_ms);
        slept_ms += step_ms;
    }
}

// [SECTION] Mouse

void QuillButton::UserControl_MouseDown(int16_t Button, int16_t Shift, float X, float Y)
{
    m_last_mouse_button = uint8_t(std::abs(int(Button)));
    if (Button == host::vbRightButton) {
        // Arms the suppression of the click that follows a right press; the host control stays
        // enabled and the face does not change.
        m_enabled = false;
    } else {
        m_button_state = FaceState::Pressed;
        if (m_option_button) {
            if (m_value)
                return;
            Value(true);
            RaiseEvent("Click");
        } else {
            RefreshButton();
        }
    }
    raise_mouse_event("MouseDown", Button, Shift, X, Y);
}

void QuillButton::UserControl_MouseMove(int16_t Button, int16_t Shift, float X, float Y)
{
    m_button_state = FaceState::PointerOver;
    if (Button < 2) {
        // A point on the far edge still counts as inside.
        if (X < 0 || Y < 0 || X > ScaleWidth() || Y > ScaleHeight())
            m_button_state = m_has_focus ? FaceState::Focused : FaceState::Up;
        else if (Button == host::vbLeftButton)
            m_button_state = FaceState::Pressed;
    }
    if (!m_mouse_inside)
        RefreshButton();
    m_mouse_inside = true;
    // Enabling a running timer would restart its count; only a stopped timer is started.
    if (!TimerHover.Enabled())
        TimerHover.Enabled(true);
    raise_mouse_event("MouseMove", Button, Shift, X, Y);
}

void QuillButton::UserControl_MouseUp(int16_t Button, int16_t Shift, float X, float Y)
{
    if (Button != host::vbRightButton) {
        m_button_state = m_has_focus ? FaceState::Focused : FaceState::Up;
        if (m_mouse_inside)
            m_button_state = FaceState::PointerOver;
        RefreshButton();
    }
    raise_mouse_event("MouseUp", Button, Shift, X, Y);
}

void QuillButton::UserControl_Click()
{
    if (!(m_last_mouse_button == 1 || m_enabled)) {
        // The click after a right press is swallowed and re-arms the button.
        if (m_button_state != FaceState::Disabled)
            m_enabled = true;
        return;
    }
    if (m_option_button) {
        if (m_value)
            return;
        Value(true);
        RaiseEvent("Click");
        return;
    }
    UserControl_MouseUp(-1, 1, 1, 1);
    RaiseEvent("Click");
}

void QuillButton::UserControl_DblClick()
{
    // The second press of a double click shows the pressed face; no second Click.
    if (m_last_mouse_button == 1)
        UserControl_MouseDown(-1, 1, 1, 1);
}

// [SECTION] Screen readers

bool QuillButton::describe_accessible(host::AccessibleNode& node) const
{
    node.role = m_option_button ? host::AccessibleRole::RadioButton : host::AccessibleRole::PushButton;
    node.name = display_caption(m_caption, m_access_key_pos);
    node.shortcut = host::shortcut_for_access_key(AccessKeys());
    if (m_option_button)
        node.states.set(host::AccessibleState::Checked, m_value);
    node.states.set(host::AccessibleState::Pressed, m_button_state == FaceState::Pressed);
    // A selected option button does nothing on Space: it has no action to offer.
    if (!m_option_button || !m_value)
        node.default_action = "Press";
    return true;
}

// [SECTION] Keys and access key

void QuillButton::UserControl_KeyDown(int16_t& KeyCode, int16_t& Shift)
{
    m_last_key_code = uint8_t(KeyCode);
    bool selectable = !m_option_button || !m_value;
    if (KeyCode == host::vbKeySpace && selectable) {
        UserControl_MouseDown(-1, 0, 0, 0);
        RaiseEvent("KeyDown", {&KeyCode, &Shift});
        return;
    }
    if (KeyCode == host::vbKeyReturn && m_option_button)
        return;
    if (KeyCode == host::vbKeyRight || KeyCode == host::vbKeyDown) {
        host().SendKeys("{Tab}");
        return;
    }
    if (KeyCode == host::vbKeyLeft || KeyCode == host::vbKeyUp) {
        host().SendKeys("+{Tab}");
        return;
    }
    RaiseEvent("KeyDown", {&KeyCode, &Shift});
}

void QuillButton::UserControl_KeyPress(int16_t& KeyAscii)
{
    RaiseEvent("KeyPress", {&KeyAscii});
}

void QuillButton::UserControl_KeyUp(int16_t& KeyCode, int16_t& Shift)
{
    bool selectable = !m_option_button || !m_value;
    // A space released on another button than the one it went down on only raises KeyUp.
    if (KeyCode == host::vbKeySpace && KeyCode == m_last_key_code && selectable) {
        UserControl_MouseUp(-1, 0, 0, 0);
        RaiseEvent("KeyUp", {&KeyCode, &Shift});
        UserControl_Click();
        return;
    }
    RaiseEvent("KeyUp", {&KeyCode, &Shift});
}

void QuillButton::UserControl_AccessKeyPress(int16_t KeyAscii)
{
    if (!m_option_button) {
        // The pressed face stays on screen for a moment before the click restores it.
        m_button_state = FaceState::Pressed;
        RefreshButton();
        RefreshAndWait(0.15f);
        m_last_mouse_button = 1;
    }
    if (m_option_button && m_value) {
        int16_t KeyCode = KeyAscii;
        int16_t Shift = 0;
        raise_key_event("KeyDown", KeyCode, Shift);
        int16_t ascii = KeyAscii;
        RaiseEvent("KeyPress", {&ascii});
        KeyCode = KeyAscii;
        Shift = 0;
        raise_key_event("KeyUp", KeyCode, Shift);
        return;
    }
    UserControl_Click();
}

// [SECTION] Focus and hover timer

void QuillButton::UserControl_EnterFocus()
{
    m_has_focus = true;
    m_last_mouse_button = 1;
    m_last_key_code = 0;
    if (!m_mouse_inside)
        m_button_state = FaceState::Focused;
    RefreshButton();
}

void QuillButton::UserControl_ExitFocus()
{
    // The hover timer keeps running: the focus often leaves because the button was disabled or
    // hidden under the pointer, and only the timer can still find the pointer gone and raise
    // MouseOut.
    m_has_focus = false;
    m_last_mouse_button = 1;
    m_last_key_code = 0;
    m_button_state = m_mouse_inside ? FaceState::PointerOver : FaceState::Up;
    RefreshButton();
}

void QuillButton::TimerHover_Timer()
{
    if (PointerOver())
        return;
    TimerHover.Enabled(false);
    m_mouse_inside = false;
    // Re-arms a button whose Enabled a right press cleared. A button disabled through its
    // Enabled setter stays disabled: its host control is disabled too.
    if (m_button_state != FaceState::Disabled && host::Control::Enabled())
        m_enabled = true;
    m_button_state = m_has_focus ? FaceState::Focused : FaceState::Up;
    RefreshButton();
    RaiseEvent("MouseOut");
}

bool QuillButton::PointerOver() const
{
    gdi::POINT pointer {};
    host::Host& h = host();
    h.GetCursorPos(&pointer);
    return h.WindowFromPoint(pointer) == hWnd();
}

void QuillButton::ResumeHover()
{
    if (design_mode() || !PointerOver())
        return;
    m_button_state = FaceState::PointerOver;
    m_mouse_inside = true;
    if (!TimerHover.Enabled())
        TimerHover.Enabled(true);
}

// [SECTION] Option buttons and groups
//
// An option button stays selected (Value True) until another option button of the same group
// is selected. The group is the Container text: the name of the frame or window that holds the
// button, with the index of a frame that is a control-array member.
//
//   event                                   effect
//   press / click / space on an unselected  Value = True: every other button of the group with
//                                             Value True gets Value = False (repaints up); Click
//   press / click on a selected one         nothing at all
//   Value = False                           m_button_state 0, repaint
//   OptionButton = True                     Value is set again with its current value, so a
//                                             selected button clears the rest of its group
//   a selected option button is shown       the rest of its group is cleared

void QuillButton::Value(bool value)
{
    m_value = value;
    if (!m_option_button)
        return;
    if (value) {
        SelectInGroup();
    } else {
        m_button_state = FaceState::Up;
        RefreshButton();
    }
}

void QuillButton::OptionButton(bool value)
{
    m_option_button = value;
    if (value) {
        Value(m_value);
    } else {
        m_button_state = FaceState::Up;
        RefreshButton();
    }
}

void QuillButton::SelectInGroup()
{
    std::string group = Container();
    host::WindowHandle own = hWnd();
    host::Form* form = Parent();
    if (!form) {
        RefreshButton();
        return;
    }
    // The parent-controls collection also holds the window itself, so its count is one more
    // than the window's control list: the last index of the list is N - 2.
    int n = ParentControls();
    host::ControlsCollection controls = form->Controls();
    for (int i = 0; i <= n - 2; ++i) {
        auto* other = dynamic_cast<QuillButton*>(controls.Item(i));
        if (!other || other->Container() != group)
            continue;
        if (other->hWnd() == own)
            RefreshButton();
        else if (other->m_value)
            other->Value(false);
    }
}

std::string QuillButton::Container() const
{
    host::Form* form = Parent();
    std::string name = Ambient().DisplayName;
    const host::Control* control = nullptr;
    if (form) {
        auto bracket = name.find('(');
        if (bracket != std::string::npos) {
            // A control-array member: "Name(index)".
            int index = 0;
            for (size_t i = bracket + 1; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i)
                index = std::min(index * 10 + (name[i] - '0'), 32767);
            control = form->Controls().Item(std::string_view(name).substr(0, bracket), int16_t(index));
        } else {
            control = form->Controls().Item(name);
        }
    }
    if (!control)
        control = this;

    const host::Control* holder = control->Container();
    if (!holder || (form && holder->Name() == form->Name()))
        holder = form;
    if (!holder)
        return {};
    std::string result = holder->Name();
    // A holder that is no array member has no index to append.
    if (holder->Index() >= 0)
        result += "(" + std::to_string(holder->Index()) + ")";
    return result;
}

// [SECTION] Show and ambient changes

void QuillButton::UserControl_Show()
{
    m_paint_ready = true;
    if (m_option_button && m_value)
        SelectInGroup();
    UserControl_Resize();
}

void QuillButton::UserControl_AmbientChanged(const std::string& PropertyName)
{
    static constexpr std::string_view handled = "BackColorForeColorFontPalette";
    if (handled.find(PropertyName) == std::string_view::npos)
        return;
    if (PropertyName == "Font") {
        host::Form* form = Parent();
        host::FontRef font = form ? form->Font() : Ambient().Font;
        if (font)
            attach_text_font(font);
        // Not marked and not repainted, but the next paint measures the caption afresh.
        m_layout_dirty = true;
        return;
    }
    // A change of palette is also how the host tells of new system colours, which the system's
    // scheme follows.
    if (PropertyName == "ForeColor" || scheme() == SchemeKind::Container
        || (PropertyName == "Palette" && scheme() == SchemeKind::System)) {
        ApplyColorScheme(false);
        RefreshButton();
    }
}

} // namespace sorrel::controls
