#pragma once

#include "platform/host/Canvas.h"
#include "platform/host/Control.h"

namespace sorrel::host {

// A windowed control that draws itself on a canvas of its own, kept the size of the control. A
// change of its colours or of its font, the font's own changes included, repaints it.
class CanvasControl : public Control {
public:
    const gdi::Surface* surface() const override { return &m_canvas.pixels(); }
    const Canvas& canvas() const { return m_canvas; }

    gdi::Color BackColor() const { return m_canvas.BackColor(); }
    void BackColor(gdi::Color color);
    gdi::Color ForeColor() const { return m_canvas.ForeColor(); }
    void ForeColor(gdi::Color color);
    const FontRef& Font() const { return m_canvas.Font(); }
    void Font(const FontRef& font);

    void handle_system_colors_changed() override
    {
        m_canvas.refresh_system_colors();
        repaint();
    }

protected:
    CanvasControl(gdi::Color back_color, gdi::Color fore_color);

    void handle_resize() override;
    // Draws the whole control on the canvas and asks the host to show it.
    virtual void repaint() = 0;

    Canvas m_canvas;

private:
    StdFont::Subscription m_font_subscription;
};

} // namespace sorrel::host
