// Which state picture the check box shows, and how the user changes it.
//
// The look over time, for an enabled control in run mode (Timer1 polls every 10 ms):
//
//   From              Event                                   To
//   ----------------  --------------------------------------  ---------------------------------
//   idle              a poll finds the pointer over the box   mouse-over
//   mouse-over        a poll finds the pointer elsewhere      idle
//   idle, mouse-over  press (not the right button)            pushed picture of the old value;
//                                                             Value toggles (2 becomes 0) and
//                                                             the poll stops while held
//   pushed            release, wherever the pointer is        Click; the poll restarts and its
//                                                             next tick shows mouse-over or idle
//                                                             of the new value
//   any               Value set or read                       idle, until the next poll
//   any               Enabled set to False                    disabled; no poll, no reaction
//   disabled          Enabled set to True                     idle; polling resumes
//
// A right-button press raises MouseDown and changes nothing; its release raises no Click. The
// host delivers a double click as press, release, double click, release, so on the picture the
// value changes once and the events are MouseDown, Click, DblClick, Click. On the caption the
// double click counts as a second press, as on the platform's check box: the value toggles twice
// and each Click sees the value its press made. A value outside 0 to 2 has no pictures: nothing
// is shown for it and a press leaves it as it is.
//
// With the focus the caption shows a focus rectangle, and Space acts as a press (key down) and
// a release (key up). At design time the box shows only idle and disabled pictures and neither
// the mouse nor the keyboard changes anything.

#include "controls/check/Check.h"

#include "platform/host/Accessibility.h"
#include "platform/host/Host.h"

#include <array>

namespace sorrel::controls {

const host::Image* Check::StatePicture(int32_t value, Look look) const
{
    using Holder = host::Image Check::*;
    static constexpr std::array<std::array<Holder, 4>, 3> Table {{
        {&Check::IdleNoValue, &Check::MouseoverNoValue, &Check::PushedNoValue, &Check::DisabledNoValue},
        {&Check::IdleChecked, &Check::MouseoverChecked, &Check::PushedChecked, &Check::CheckedDisabled},
        {&Check::IdleGreyed, &Check::MouseoverGreyed, &Check::PushedGreyed, &Check::DisabledGrey},
    }};
    if (value < 0 || value > 2)
        return nullptr;
    return &(this->*Table[size_t(value)][size_t(look)]);
}

void Check::ShowLook(Look look)
{
    const host::Image* holder = StatePicture(m_value, look);
    if (!holder)
        return;
    // The poll shows a picture on every tick; when it is the one already shown, Picture1 already
    // holds exactly these pixels and nothing needs drawing or presenting.
    if (Picture1.Picture() == holder->Picture())
        return;
    Picture1.Picture(holder->Picture());
}

void Check::ShowRestingPicture()
{
    ShowLook(m_enabled ? Look::Idle : Look::Disabled);
}

// [Value and Enabled]

int32_t Check::Value()
{
    ShowRestingPicture();
    return m_value;
}

void Check::Value(int32_t value)
{
    bool changed = value != m_value;
    m_value = value;
    ShowRestingPicture();
    if (changed)
        accessible_changed(host::AccessibleEvent::State);
}

void Check::Enabled(bool enabled)
{
    if (enabled) {
        m_enabled = true;
        ShowLook(Look::Idle);
        m_interactive = true;
        Check1.ForeColor(m_fore_color);
        Timer1.Enabled(run_mode());
    } else {
        m_enabled = false;
        ShowLook(Look::Disabled);
        Timer1.Enabled(false);
        m_interactive = false;
        Check1.ForeColor(m_disabled_color);
    }
    accessible_changed(host::AccessibleEvent::State);
}

// [Screen readers]

bool Check::describe_accessible(host::AccessibleNode& node) const
{
    node.role = host::AccessibleRole::CheckBox;
    // The caption is drawn as it stands, "&" included, and gives no access key.
    node.name = Check1.Caption();
    node.states.set(host::AccessibleState::Checked, m_value == 1);
    node.states.set(host::AccessibleState::Mixed, m_value == 2);
    // Space pushes as a press does: 0 becomes 1, 1 and 2 become 0, any other value stays.
    if (m_value == 0)
        node.default_action = "Check";
    else if (m_value == 1 || m_value == 2)
        node.default_action = "Uncheck";
    return true;
}

// [Mouse]

void Check::Push()
{
    Timer1.Enabled(false);
    ShowLook(Look::Pushed);
    switch (m_value) {
    case 0:
        m_value = 1;
        break;
    case 1:
    case 2:
        m_value = 0;
        break;
    default:
        return;
    }
    accessible_changed(host::AccessibleEvent::State);
}

void Check::Release()
{
    RaiseEvent("Click");
    Timer1.Enabled(run_mode());
}

void Check::Picture1_MouseDown(int16_t Button, int16_t Shift, float X, float Y)
{
    if (!answers_user())
        return;
    RaiseEvent("MouseDown", {&Button, &Shift, &X, &Y});
    if (Button != host::vbRightButton)
        Push();
}

void Check::Picture1_MouseUp(int16_t Button, int16_t /*Shift*/, float /*X*/, float /*Y*/)
{
    if (answers_user() && Button != host::vbRightButton)
        Release();
}

void Check::Picture1_DblClick()
{
    if (answers_user())
        RaiseEvent("DblClick");
}

void Check::Check1_MouseDown(int16_t Button, int16_t Shift, float X, float Y)
{
    Picture1_MouseDown(Button, Shift, X, Y);
}

void Check::Check1_MouseUp(int16_t Button, int16_t Shift, float X, float Y)
{
    Picture1_MouseUp(Button, Shift, X, Y);
}

void Check::Check1_DblClick()
{
    if (!answers_user())
        return;
    Push();
    RaiseEvent("DblClick");
}

// [Keyboard and focus]

void Check::UserControl_EnterFocus()
{
    Check1.FocusMark(true);
}

void Check::UserControl_ExitFocus()
{
    Check1.FocusMark(false);
    m_space_held = false;
}

void Check::UserControl_KeyDown(int16_t& KeyCode, int16_t& /*Shift*/)
{
    // Auto-repeat sends more key downs while Space is held; only the first one pushes.
    if (KeyCode != host::vbKeySpace || m_space_held || !answers_user())
        return;
    m_space_held = true;
    Push();
}

void Check::UserControl_KeyUp(int16_t& KeyCode, int16_t& /*Shift*/)
{
    if (KeyCode != host::vbKeySpace || !m_space_held)
        return;
    m_space_held = false;
    if (answers_user())
        Release();
}

// [Poll]

void Check::Timer1_Timer()
{
    gdi::POINT pointer {};
    host().GetCursorPos(&pointer);
    if (!m_enabled)
        return;
    const host::WindowHandle window = host().WindowFromPoint(pointer);
    const bool over = window != 0 && (window == Check1.hWnd() || window == Picture1.hWnd());
    ShowLook(over ? Look::Mouseover : Look::Idle);
}

} // namespace sorrel::controls
