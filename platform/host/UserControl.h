#pragma once

#include "platform/host/Canvas.h"
#include "platform/host/Control.h"
#include "platform/host/Events.h"
#include "platform/host/PropertyBag.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::host {

class Form;

// The ambient properties a user control reads from its container.
struct AmbientProperties {
    bool UserMode {true}; // False while the form is open at design time
    std::string DisplayName; // "Name", or "Name(Index)" for a member of a control array
    FontRef Font; // the form's font object (the same object, not a copy)
    gdi::Color BackColor {0};
    gdi::Color ForeColor {0};
};

// The base of our own controls. A control class derives from it, declares its constituents as
// members (host::Timer TimerHover {*this, "TimerHover"};) and overrides the notifications it
// handles. Order of notifications for an instance the form loads:
//
//   UserControl_Initialize        the object exists; constituents exist
//   UserControl_InitProperties    a new instance (nothing stored), or
//   UserControl_ReadProperties    an instance with stored properties
//   UserControl_Show              the form shows (once, after every control is loaded)
//   UserControl_Resize            after Show, and whenever Width or Height change
//   ... input, focus, timer ticks, ambient changes ...
//   UserControl_WriteProperties   whenever the form's design is saved
//   UserControl_Terminate         the form unloads (before the destructor)
//
// The surface measures in pixels (ScaleMode 3) unless ScaleMode is set to twips (1). Mouse
// coordinates reach the notifications in the ScaleMode's unit.
//
// Properties whose names a derived control reuses for its own public properties (ForeColor,
// BackColor, Font, Enabled, MousePointer) stay reachable as UserControl::ForeColor(...), which
// reads like the Basic code's `UserControl.ForeColor`.
class UserControl : public Control {
public:
    UserControl();
    ~UserControl() override;

    // Surface --------------------------------------------------------------------------------
    gdi::HDC hDC() const { return m_canvas.hDC(); }
    Canvas& canvas() { return m_canvas; }
    const Canvas& canvas() const { return m_canvas; }
    const gdi::Surface* surface() const override { return &m_canvas.pixels(); }

    int16_t ScaleMode() const { return m_scale_mode; }
    void ScaleMode(int16_t mode);
    // The inner size in ScaleMode units (pixels by default).
    float ScaleWidth() const;
    float ScaleHeight() const;
    // Converts a width or height between scale modes (vbHimetric 8 to vbPixels 3 by default).
    float ScaleX(float value, int16_t from = vbHimetric, int16_t to = vbPixels) const;
    float ScaleY(float value, int16_t from = vbHimetric, int16_t to = vbPixels) const;

    void Cls() { m_canvas.Cls(); }
    // Shows the persistent surface on screen (marks it for presenting; the host presents at
    // the next chance: end of the current event, DoEvents, Sleep, a message box).
    void Refresh();
    // x, y, w, h, sx, sy, sw, sh in ScaleMode units (of this control and of the picture).
    void PaintPicture(const PictureRef& picture, float x, float y, std::optional<float> w = {},
        std::optional<float> h = {}, float sx = 0, float sy = 0, std::optional<float> sw = {},
        std::optional<float> sh = {});
    float CurrentX() const;
    void CurrentX(float x);
    float CurrentY() const;
    void CurrentY(float y);
    void Print(std::string_view text, bool new_line = true);

    gdi::Color ForeColor() const { return m_canvas.ForeColor(); }
    void ForeColor(gdi::Color color) { m_canvas.ForeColor(color); }
    gdi::Color BackColor() const { return m_canvas.BackColor(); }
    void BackColor(gdi::Color color);
    const FontRef& Font() const { return m_canvas.Font(); }
    void Font(FontRef font) { m_canvas.Font(std::move(font)); }

    // 0 default ... 15 size-all, 99 custom (MouseIcon). Returns false for an unknown code,
    // which leaves the pointer as it was.
    int16_t MousePointer() const { return m_mouse_pointer; }
    bool MousePointer(int16_t pointer);
    const PictureRef& MouseIcon() const { return m_mouse_icon; }
    void MouseIcon(PictureRef icon) { m_mouse_icon = std::move(icon); }

    // The characters whose Alt+key (or plain key, when the focused control takes no text)
    // reaches UserControl_AccessKeyPress.
    const std::string& AccessKeys() const { return m_access_keys; }
    void AccessKeys(std::string keys) { m_access_keys = std::move(keys); }
    std::string access_keys() const override { return m_access_keys; }

    // Container services ---------------------------------------------------------------------
    AmbientProperties Ambient() const;
    // Ambient().UserMode alone, without building the rest: painting asks it every frame.
    bool AmbientUserMode() const;
    // The form's Controls count plus one: the collection that also holds the form itself.
    int ParentControls() const;
    // Notes that a stored property changed. At design time every call is recorded, in order, and
    // the form's design becomes dirty; at run time it does nothing.
    void PropertyChanged(std::string_view key);
    const std::vector<std::string>& changed_properties() const { return m_changed_properties; }
    void clear_changed_properties() { m_changed_properties.clear(); }

    // Set by the form once Initialize and Init/ReadProperties ran: from then on a change of
    // size reaches UserControl_Resize.
    bool is_loaded() const { return m_loaded; }
    void set_loaded(bool loaded) { m_loaded = loaded; }

    // Raises an event to the form; its handlers get the arguments by reference.
    void RaiseEvent(std::string_view event, std::initializer_list<EventArg> args = {});

    // Notifications --------------------------------------------------------------------------
    virtual void UserControl_Initialize() { }
    virtual void UserControl_InitProperties() { }
    virtual void UserControl_ReadProperties(PropertyBag& /*PropBag*/) { }
    virtual void UserControl_WriteProperties(PropertyBag& /*PropBag*/) { }
    virtual void UserControl_Show() { }
    virtual void UserControl_Resize() { }
    virtual void UserControl_Terminate() { }
    virtual void UserControl_MouseDown(int16_t /*Button*/, int16_t /*Shift*/, float /*X*/, float /*Y*/) { }
    virtual void UserControl_MouseMove(int16_t /*Button*/, int16_t /*Shift*/, float /*X*/, float /*Y*/) { }
    virtual void UserControl_MouseUp(int16_t /*Button*/, int16_t /*Shift*/, float /*X*/, float /*Y*/) { }
    virtual void UserControl_Click() { }
    virtual void UserControl_DblClick() { }
    virtual void UserControl_KeyDown(int16_t& /*KeyCode*/, int16_t& /*Shift*/) { }
    virtual void UserControl_KeyPress(int16_t& /*KeyAscii*/) { }
    virtual void UserControl_KeyUp(int16_t& /*KeyCode*/, int16_t& /*Shift*/) { }
    virtual void UserControl_AccessKeyPress(int16_t /*KeyAscii*/) { }
    virtual void UserControl_EnterFocus() { }
    virtual void UserControl_ExitFocus() { }
    virtual void UserControl_AmbientChanged(const std::string& /*PropertyName*/) { }

    // Host side ------------------------------------------------------------------------------
    bool can_focus() const override { return true; }
    void handle_mouse_down(int16_t button, int16_t shift, float x, float y) override;
    void handle_mouse_move(int16_t button, int16_t shift, float x, float y) override;
    void handle_mouse_up(int16_t button, int16_t shift, float x, float y) override;
    void handle_click() override;
    void handle_dbl_click() override;
    void handle_key_down(int16_t& key_code, int16_t& shift) override;
    void handle_key_press(int16_t& key_ascii) override;
    void handle_key_up(int16_t& key_code, int16_t& shift) override;
    void handle_access_key(int16_t key_ascii) override;
    void handle_got_focus() override;
    void handle_lost_focus() override;
    float mouse_x_from_pixels(int x) const override;
    float mouse_y_from_pixels(int y) const override;

protected:
    void handle_resize() override;

private:
    float to_pixels_x(float v) const;
    float to_pixels_y(float v) const;

    Canvas m_canvas;
    int16_t m_scale_mode {vbPixels};
    int16_t m_mouse_pointer {0};
    PictureRef m_mouse_icon;
    std::string m_access_keys;
    std::vector<std::string> m_changed_properties;
    bool m_loaded {false};
};

} // namespace sorrel::host
