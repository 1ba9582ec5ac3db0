#pragma once

#include "platform/host/Canvas.h"
#include "platform/host/Control.h"

#include <functional>

namespace sorrel::host {

// A picture box: a window with its own persistent surface and device context. Assigning a
// Picture clears the surface to BackColor and draws the picture at the top-left corner (its
// transparent pixels show BackColor); drawing through hDC stays until the next Cls or Picture.
// Mouse coordinates of its hooks are twips from its own top-left corner.
class PictureBox : public Control {
public:
    PictureBox();
    PictureBox(Control& container, std::string name);

    std::string_view kind() const override { return "PictureBox"; }

    gdi::HDC hDC() const { return m_canvas.hDC(); }
    Canvas& canvas() { return m_canvas; }
    const gdi::Surface* surface() const override { return &m_canvas.pixels(); }

    const PictureRef& Picture() const { return m_picture; }
    void Picture(PictureRef picture);
    gdi::Color BackColor() const { return m_canvas.BackColor(); }
    void BackColor(gdi::Color color);
    // 0 none (our default), 1 fixed single: a one-pixel dark frame inside the box.
    int16_t BorderStyle() const { return m_border_style; }
    void BorderStyle(int16_t style);
    void Cls();
    void Refresh() { invalidate(); }

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

    void read_design_properties(const PropertyBag& bag) override;
    void write_design_properties(PropertyBag& bag) const override;

protected:
    void handle_resize() override;

private:
    void repaint();

    Canvas m_canvas;
    PictureRef m_picture;
    int16_t m_border_style {0};
};

} // namespace sorrel::host
