#pragma once

#include "platform/host/Canvas.h"
#include "platform/host/Control.h"
#include "platform/host/ErrorOr.h"
#include "platform/host/Events.h"
#include "platform/host/FormFile.h"
#include "platform/host/PropertyBag.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::host {

class Form;
class UserControl;

// The form's controls in containment order (the order they were loaded), as the Basic
// `Controls` collection: count, item by position, item by name (and index for arrays).
class ControlsCollection {
public:
    explicit ControlsCollection(const Form& form)
        : m_form(form)
    { }
    int Count() const;
    // Position 0 .. Count()-1; null outside.
    Control* Item(int position) const;
    // The first control of that name (matched without case); for a control array, the member
    // with that Index. Null when there is none.
    Control* Item(std::string_view name, int16_t index = -1) const;
    Control* operator[](int position) const { return Item(position); }
    Control* operator[](std::string_view name) const { return Item(name); }

private:
    const Form& m_form;
};

// What a form file says about one control: kind, place, position and its stored properties.
struct ControlDesign {
    std::string kind;
    std::string name;
    int16_t index {-1};
    std::string container; // empty: the form
    int16_t container_index {-1};
    float left {0}, top {0}, width {0}, height {0};
    bool visible {true};
    int16_t tab_index {-1}; // -1: in loading order
    PropertyBag properties; // empty: a new instance (UserControl_InitProperties)
    int line {0}; // where it starts in the file, for messages
};

// A top-level window. It owns the controls it loads, lays them out in containment order and
// routes the events they raise to the handlers the program connects.
//
// Loading (load_file / load_text) creates each control by kind from the registry, in file
// order: UserControl_Initialize, then UserControl_ReadProperties with its stored entries or
// UserControl_InitProperties when none are stored. Once all are loaded, show() runs
// UserControl_Show and UserControl_Resize for each, which paint.
class Form : public Control {
public:
    Form();
    ~Form() override;

    std::string_view kind() const override { return "Form"; }
    const gdi::Surface* surface() const override { return &m_canvas.pixels(); }

    // Window properties ----------------------------------------------------------------------
    const std::string& Caption() const { return m_caption; }
    void Caption(std::string caption);
    gdi::HDC hDC() const { return m_canvas.hDC(); }
    Canvas& canvas() { return m_canvas; }
    gdi::Color BackColor() const { return m_canvas.BackColor(); }
    void BackColor(gdi::Color color);
    gdi::Color ForeColor() const { return m_canvas.ForeColor(); }
    void ForeColor(gdi::Color color);
    // The form's font object; user controls see it as Ambient().Font.
    const FontRef& Font() const { return m_canvas.Font(); }
    void Font(const FontRef& font);
    const PictureRef& Icon() const { return m_icon; }
    void Icon(PictureRef icon) { m_icon = std::move(icon); }
    // The client area; Width/Height of a form are its client size in twips.
    float ScaleWidth() const { return float(pixel_width()); }
    float ScaleHeight() const { return float(pixel_height()); }
    void set_client_size_twips(float width, float height) { Move(Left(), Top(), width, height); }

    // Design time: Ambient().UserMode is False for the form's user controls.
    bool design_mode() const { return m_design_mode; }
    void set_design_mode(bool design) { m_design_mode = design; }
    // Set when a user control reports PropertyChanged at design time.
    bool is_dirty() const { return m_dirty; }
    void set_dirty(bool dirty) { m_dirty = dirty; }

    // Controls -------------------------------------------------------------------------------
    ControlsCollection Controls() const { return ControlsCollection(*this); }
    const std::vector<Control*>& controls_in_order() const { return m_order; }
    // Finds "Name" or "Name(Index)".
    Control* find(std::string_view display_name) const;
    // Adds a control made elsewhere (a factory, a test) to `container` (null: the form), after
    // the others in containment order.
    Control& add(
        std::unique_ptr<Control> control, std::string name, int16_t index = -1, Control* container = nullptr);
    template<class T> T& add(std::string name, Control* container = nullptr, int16_t index = -1)
    {
        return static_cast<T&>(add(std::make_unique<T>(), std::move(name), index, container));
    }

    // Loads a form file (see FormFile.h for the format); fails with a message naming the line.
    ErrorOr<void> load_file(const std::string& path, bool design_mode = false);
    ErrorOr<void> load_text(std::string_view text, const std::string& base_dir, bool design_mode = false,
        const std::string& file_name = "form");
    // The same with pictures from elsewhere than the disk (built into the program).
    ErrorOr<void> load_text(std::string_view text, const form_file::PictureLoader& pictures,
        bool design_mode = false, const std::string& file_name = "form");
    // Runs UserControl_WriteProperties for every user control and writes the design back.
    ErrorOr<void> save_file(const std::string& path);
    // The design as it would be saved (for tests and round trips).
    ErrorOr<std::string> save_text(const std::string& base_dir);

    // Runs Initialize and Read/InitProperties for a control added by hand.
    void load_control(Control& control, const PropertyBag* stored);
    // Show and Resize for every control, then the first paint.
    void show();
    bool is_shown_on_screen() const { return m_shown; }
    // UserControl_Terminate for each, last loaded first; the controls stay until destruction.
    void unload();

    // Events ---------------------------------------------------------------------------------
    // Connects a handler to an event of a control ("CmdSCan", "Click"); display names select
    // array members ("Option(2)"), a bare array name catches every member.
    void on_event(std::string_view control, std::string_view event, EventHandler handler);
    // Called by UserControl::RaiseEvent: records the event and runs the connected handlers.
    void dispatch_event(Control& source, std::string_view event, EventArgs args);

    void notify_ambient_changed(const std::string& property);

    void handle_system_colors_changed() override
    {
        m_canvas.refresh_system_colors();
        invalidate();
    }

protected:
    void handle_resize() override;

private:
    struct Connection {
        std::string control;
        std::string event;
        EventHandler handler;
    };

    Canvas m_canvas;
    StdFont::Subscription m_font_subscription;
    std::string m_caption;
    PictureRef m_icon;
    std::vector<std::unique_ptr<Control>> m_owned;
    std::vector<Control*> m_order;
    std::vector<Connection> m_connections;
    bool m_design_mode {false};
    bool m_dirty {false};
    bool m_shown {false};
    bool m_unloaded {false};
};

} // namespace sorrel::host
