#pragma once

// A check box drawn from twelve state pictures: a picture box shows the picture of the current
// value and look, a standard check box beside it gives the caption, and a 10 ms timer polls the
// pointer for the mouse-over look.
//
// Check.cpp             properties, initialisation, persistence, layout
// CheckInteraction.cpp  state pictures, Value and Enabled, press and release, the poll

#include "platform/host/CheckBox.h"
#include "platform/host/ErrorOr.h"
#include "platform/host/Image.h"
#include "platform/host/PictureBox.h"
#include "platform/host/Timer.h"
#include "platform/host/UserControl.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sorrel::controls {

class Check : public host::UserControl {
public:
    enum class Look { Idle, Mouseover, Pushed, Disabled };

    Check();

    std::string_view kind() const override { return "Check"; }
    std::string dump_text() const override;
    bool enabled_property() const override { return m_enabled; }
    bool describe_accessible(host::AccessibleNode& node) const override;

    // Properties ------------------------------------------------------------------------------
    // Reading Value shows the resting picture first, so it is not const.
    int32_t Value();
    void Value(int32_t value);
    std::string Caption() const { return Check1.Caption(); }
    void Caption(std::string caption);
    bool Enabled() const { return m_enabled; }
    void Enabled(bool enabled);
    const host::FontRef& Font() const { return Check1.Font(); }
    void Font(const host::FontRef& font);
    gdi::Color ForeColor() const { return m_fore_color; }
    void ForeColor(gdi::Color color);
    gdi::Color BackColor() const { return Check1.BackColor(); }
    void BackColor(gdi::Color color);
    gdi::Color DisabledColor() const { return m_disabled_color; }
    void DisabledColor(gdi::Color color);

    bool Interactive() const { return m_interactive; }
    // The value without the picture update of the getter (for the gallery and the tests).
    int32_t stored_value() const { return m_value; }

    // Notifications ---------------------------------------------------------------------------
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(host::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(host::PropertyBag& PropBag) override;
    void UserControl_Resize() override;
    void UserControl_Show() override;
    // The check box's keyboard use, as the platform's: the focus rectangle around the caption,
    // and Space pushes like a press and clicks like a release.
    void UserControl_EnterFocus() override;
    void UserControl_ExitFocus() override;
    void UserControl_KeyDown(int16_t& KeyCode, int16_t& Shift) override;
    void UserControl_KeyUp(int16_t& KeyCode, int16_t& Shift) override;

    // Constituent events ----------------------------------------------------------------------
    void Picture1_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void Picture1_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
    void Picture1_DblClick();
    void Check1_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void Check1_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
    void Check1_DblClick();
    void Timer1_Timer();

    // The holder of a value's picture in a look; null for a value outside 0 to 2.
    const host::Image* StatePicture(int32_t value, Look look) const;

    // Constituents, for the gallery and the tests.
    const host::PictureBox& picture_box() const { return Picture1; }
    const host::CheckBox& caption_box() const { return Check1; }
    const host::Timer& poll_timer() const { return Timer1; }

private:
    // Copies the picture of the current value in `look` into Picture1; nothing for a value
    // outside 0 to 2.
    void ShowLook(Look look);
    void ShowRestingPicture();
    // A press or a release by mouse or keyboard: the pushed picture and the value's change, or
    // Click and the poll's restart.
    void Push();
    void Release();
    // The box answers the user only while enabled in run mode: at design time it shows only its
    // idle and disabled pictures.
    bool answers_user() const { return m_interactive && run_mode(); }
    bool run_mode() const;

    // Check1 first: constituents made later lie above, and the picture covers the check
    // square of the caption box.
    host::CheckBox Check1 {*this, "Check1"};
    host::PictureBox Picture1 {*this, "Picture1"};
    host::Timer Timer1 {*this, "Timer1", 10, false};
    host::Image IdleNoValue {*this, "IdleNoValue"};
    host::Image IdleChecked {*this, "IdleChecked"};
    host::Image IdleGreyed {*this, "IdleGreyed"};
    host::Image MouseoverNoValue {*this, "MouseoverNoValue"};
    host::Image MouseoverChecked {*this, "MouseoverChecked"};
    host::Image MouseoverGreyed {*this, "MouseoverGreyed"};
    host::Image PushedNoValue {*this, "PushedNoValue"};
    host::Image PushedChecked {*this, "PushedChecked"};
    host::Image PushedGreyed {*this, "PushedGreyed"};
    host::Image DisabledNoValue {*this, "DisabledNoValue"};
    host::Image CheckedDisabled {*this, "CheckedDisabled"};
    host::Image DisabledGrey {*this, "DisabledGrey"};

    int32_t m_value {0};
    bool m_enabled {false};
    bool m_interactive {false};
    gdi::Color m_fore_color {0};
    gdi::Color m_disabled_color {0x00C0C0C0};
    // Space went down on this box and has not come up yet.
    bool m_space_held {false};
};

// Decodes the twelve built-in pictures (once) and registers the control kind "Check"; fails
// with a message naming the picture when one is missing or damaged.
host::ErrorOr<void> register_check();

} // namespace sorrel::controls
