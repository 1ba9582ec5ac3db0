#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Rect.h"
#include "platform/gdi/Surface.h"
#include "platform/host/PropertyBag.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::host {

class Form;
class Host;
struct AccessibleNode;
enum class AccessibleEvent;

// A window identity, unique for the life of the host and never 0 for a windowed control.
// Compared by identity only (GetCursorPos / WindowFromPoint polls).
using WindowHandle = int32_t;

// Mouse buttons and shift states as Windows reports them to controls.
constexpr int16_t vbLeftButton = 1;
constexpr int16_t vbRightButton = 2;
constexpr int16_t vbMiddleButton = 4;
constexpr int16_t vbShiftMask = 1;
constexpr int16_t vbCtrlMask = 2;
constexpr int16_t vbAltMask = 4;

// Anything on a form, and the form itself. A control sits in a container (the form, a frame, a
// user control) at Left/Top/Width/Height in twips from the container's top-left corner; the
// host turns twips into pixels with its twips-per-pixel ratio (15 at the design resolution).
//
// Windowed controls (everything but timers and image holders) have an hWnd, take part in hit
// testing and may carry a window region that clips them and lets the pointer fall through
// their cut-away pixels. Children are kept in z-order, bottom first: a control added later lies
// above the earlier ones until ZOrder moves it.
//
// The host-facing virtuals (snake_case) are how the host delivers input; the controls built on
// UserControl see them as the UserControl_* notifications and constituents as their on_* hooks.
class Control {
public:
    Control();
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Identity ------------------------------------------------------------------------------
    const std::string& Name() const { return m_name; }
    // -1 when the control is not a member of a control array.
    int16_t Index() const { return m_index; }
    Control* Container() const { return m_container; }
    // The form the control lives on (the form itself for a form); null before it is placed.
    Form* Parent() const;
    // "Name", or "Name(Index)" for a member of a control array.
    std::string DisplayName() const;
    virtual std::string_view kind() const = 0;
    Host& host() const;
    bool is_form() const { return m_is_form; }

    // Places the control in `container` (its last child, on top). Constituents call it from their
    // constructor; the form loader for the controls it creates.
    void attach(Control& container, std::string name, int16_t index = -1);
    void detach();
    // Names a control that has no container (a form).
    void set_name(std::string name) { m_name = std::move(name); }

    // Position, in twips ---------------------------------------------------------------------
    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    void Left(float twips) { Move(twips, m_top, m_width, m_height); }
    void Top(float twips) { Move(m_left, twips, m_width, m_height); }
    void Width(float twips) { Move(m_left, m_top, twips, m_height); }
    void Height(float twips) { Move(m_left, m_top, m_width, twips); }
    // Sets all four; a change of size notifies the control (UserControl_Resize).
    void Move(float left, float top, float width, float height);

    // State ----------------------------------------------------------------------------------
    bool Visible() const { return m_visible; }
    void Visible(bool visible);
    // Visible and inside visible containers up to the form.
    bool is_shown() const;
    bool Enabled() const { return m_enabled; }
    void Enabled(bool enabled);
    // Enabled and inside enabled containers.
    bool is_effectively_enabled() const;

    // Window ---------------------------------------------------------------------------------
    WindowHandle hWnd() const { return m_hwnd; }
    virtual bool has_window() const { return true; }
    // 0 brings the control to the top of its siblings, 1 sends it to the bottom.
    void ZOrder(int position = 0);
    const std::vector<Control*>& children() const { return m_children; }

    // The window region, in the control's own pixels (null: the whole rectangle). The control
    // owns it and deletes it when it is replaced or when the control goes away.
    gdi::HRGN window_region() const { return m_region; }
    void set_window_region(gdi::HRGN region);

    // Focus ----------------------------------------------------------------------------------
    int16_t TabIndex() const { return m_tab_index; }
    void TabIndex(int16_t index) { m_tab_index = index; }
    bool TabStop() const { return m_tab_stop; }
    void TabStop(bool stop) { m_tab_stop = stop; }
    void SetFocus();
    bool has_focus() const;
    virtual bool can_focus() const { return false; }
    // Controls that take typed text keep plain letters; others let them act as access keys.
    virtual bool takes_text() const { return false; }
    // Access-key characters of the control (upper or lower case; matched without case).
    virtual std::string access_keys() const { return {}; }

    // Geometry in pixels ---------------------------------------------------------------------
    // The control's rectangle in its container's pixels (twips / twips-per-pixel, rounded).
    gdi::Rect pixel_rect() const;
    int pixel_width() const { return pixel_rect().width(); }
    int pixel_height() const { return pixel_rect().height(); }
    // The control's top-left corner in the form's client pixels.
    gdi::Point client_origin() const;
    // The rectangle in the form's client pixels.
    gdi::Rect client_rect() const;

    // Drawing --------------------------------------------------------------------------------
    // What the host shows for this control: its persistent surface (null draws nothing; the
    // control's children still draw). The surface's top byte is ignored unless the control
    // says its surface has alpha.
    virtual const gdi::Surface* surface() const { return nullptr; }
    virtual bool surface_has_alpha() const { return false; }
    // Asks the host to show the control's surface again in this rectangle of its own pixels
    // (the whole control by default).
    void invalidate();
    void invalidate(const gdi::Rect& own_pixels);

    // The script runner's `dump` text: caption, text, value or items.
    virtual std::string dump_text() const { return {}; }
    // Enabled as the control's own property reports it. Controls that keep an Enabled of their
    // own beside the window's (a check box, a button, a timer) answer with theirs.
    virtual bool enabled_property() const { return m_enabled; }

    // Accessibility (Accessibility.h) -------------------------------------------------------
    // Fills in what the control alone knows of itself: role, name, description, value, range,
    // default action, shortcut, the checked and pressed states, list items as children. The
    // host sets the id, the bounds and the states it knows (focused, focusable, unavailable,
    // invisible, offscreen) around it. Returns false for a control screen readers are not
    // offered (the default: timers, image holders of a user control).
    virtual bool describe_accessible(AccessibleNode& /*node*/) const { return false; }
    // Working controls the user never sees are taken out of the tree with all they contain.
    bool accessible_offered() const { return m_accessible_offered; }
    void accessible_offered(bool offered) { m_accessible_offered = offered; }
    // Tells the host's backend that something a screen reader reads has changed; nothing
    // happens for a control outside the tree.
    void accessible_changed(AccessibleEvent event) const;

    // Standard controls load and save their design here (form files); user controls use their
    // UserControl_ReadProperties / UserControl_WriteProperties notifications instead.
    virtual void read_design_properties(const PropertyBag& /*bag*/) { }
    virtual void write_design_properties(PropertyBag& /*bag*/) const { }

    // Input from the host, in the control's own coordinates ----------------------------------
    // X and Y are pixels for user controls and forms, twips for constituents and standard
    // controls (the Basic runtime's defaults).
    virtual void handle_mouse_down(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) { }
    virtual void handle_mouse_move(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) { }
    virtual void handle_mouse_up(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) { }
    virtual void handle_click() { }
    // The wheel turned over the control (120 a notch, positive away from the user); a control
    // that scrolls returns true, otherwise its containers are asked in turn.
    virtual bool handle_mouse_wheel(int /*delta*/) { return false; }
    virtual void handle_dbl_click() { }
    virtual void handle_key_down(int16_t& /*key_code*/, int16_t& /*shift*/) { }
    virtual void handle_key_press(int16_t& /*key_ascii*/) { }
    virtual void handle_key_up(int16_t& /*key_code*/, int16_t& /*shift*/) { }
    virtual void handle_access_key(int16_t /*key_ascii*/) { }
    virtual void handle_got_focus() { }
    virtual void handle_lost_focus() { }
    // The system's colours changed: what was drawn with them is drawn again.
    virtual void handle_system_colors_changed() { }
    // Converts a point in the control's pixels to the coordinates its mouse handlers take.
    virtual float mouse_x_from_pixels(int x) const;
    virtual float mouse_y_from_pixels(int y) const;

protected:
    // The size changed (after Move); user controls turn it into UserControl_Resize.
    virtual void handle_resize() { }
    // Visible or Enabled changed.
    virtual void handle_state_changed() { }
    // Set once by the form's constructor.
    void mark_as_form() { m_is_form = true; }

private:
    std::string m_name;
    int16_t m_index {-1};
    Control* m_container {nullptr};
    std::vector<Control*> m_children;
    float m_left {0};
    float m_top {0};
    float m_width {0};
    float m_height {0};
    bool m_visible {true};
    bool m_enabled {true};
    bool m_tab_stop {true};
    int16_t m_tab_index {0};
    WindowHandle m_hwnd {0};
    gdi::HRGN m_region {nullptr};
    bool m_is_form {false};
    bool m_accessible_offered {true};
};

// Text in double quotes with C escapes for CR, LF, tabs, quotes and backslashes: how dumps and
// transcripts show texts on one line.
std::string quoted(std::string_view text);

// twips <-> pixels with the host's ratio.
int twips_to_pixels(float twips);
float pixels_to_twips(int pixels);

} // namespace sorrel::host
