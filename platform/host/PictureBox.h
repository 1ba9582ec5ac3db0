#pragma once

#include "platform/host/Canvas.h"
#include "platform/host/Control.h"
#include "platform/host/EventHooks.h"

namespace sorrel::host {

// A picture box: a window with its own persistent surface and device context. Assigning a
// Picture clears the surface to BackColor and draws the picture at the top-left corner (its
// transparent pixels show BackColor); drawing through hDC stays until the next Cls or Picture.
class PictureBox : public WithEventHooks<Control> {
public:
    PictureBox();
    PictureBox(Control& container, std::string name);

    std::string_view kind() const override { return "PictureBox"; }
    bool describe_accessible(AccessibleNode& node) const override;

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
