#pragma once

#include "platform/host/CanvasControl.h"

#include <functional>
#include <string>

namespace sorrel::host {

// The standard check box: a 13 x 13 square at the left, vertically centred (a half pixel rounds
// down the form, as control positions do), and the caption beside it in the box's font and
// colours on its background colour, with a dotted focus rectangle around the caption while
// FocusMark is on. A click toggles Value between 0 and 1 (2, greyed, becomes 0) before on_click
// runs. Mouse coordinates of its hooks are twips from its own top-left corner.
class CheckBox : public CanvasControl {
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

    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> on_mouse_down;
    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> on_mouse_move;
    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> on_mouse_up;
    std::function<void()> on_click;
    std::function<void()> on_dbl_click;

    void handle_mouse_down(int16_t button, int16_t shift, float x, float y) override;
    void handle_mouse_move(int16_t button, int16_t shift, float x, float y) override;
    void handle_mouse_up(int16_t button, int16_t shift, float x, float y) override;
    void handle_click() override;
    void handle_dbl_click() override;
    std::string dump_text() const override;

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
