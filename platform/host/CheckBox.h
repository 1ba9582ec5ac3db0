#pragma once

#include "platform/host/CanvasControl.h"
#include "platform/host/EventHooks.h"

#include <string>

namespace sorrel::host {

// The standard check box: a 13 x 13 square at the left, vertically centred (a half pixel rounds
// down the form, as control positions do), and the caption beside it in the box's font and
// colours on its background colour, with a dotted focus rectangle around the caption while
// FocusMark is on. A click toggles Value between 0 and 1 (2, greyed, becomes 0) before on_click
// runs.
class CheckBox : public WithEventHooks<CanvasControl> {
public:
    CheckBox();
    CheckBox(Control& container, std::string name);

    std::string_view kind() const override { return "CheckBox"; }

    const std::string& Caption() const { return m_caption; }
    void Caption(std::string caption);
    // 0 unticked, 1 ticked, 2 greyed.
    int16_t Value() const { return m_value; }
    void Value(int16_t value);
    // The focus rectangle around the caption: a user control that shows the box as its caption
    // holds the focus itself and turns the mark on and off.
    bool FocusMark() const { return m_focus_mark; }
    void FocusMark(bool shown);

    void handle_mouse_up(int16_t button, int16_t shift, float x, float y) override;
    void handle_click() override;
    std::string dump_text() const override;
    bool describe_accessible(AccessibleNode& node) const override;

    void read_design_properties(const PropertyBag& bag) override;
    void write_design_properties(PropertyBag& bag) const override;

protected:
    void handle_state_changed() override { repaint(); }

private:
    void repaint() override;

    std::string m_caption;
    int16_t m_value {0};
    int16_t m_last_release_button {0};
    bool m_focus_mark {false};
};

} // namespace sorrel::host
