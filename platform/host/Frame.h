#pragma once

#include "platform/host/Canvas.h"
#include "platform/host/Control.h"

#include <string>

namespace sorrel::host {

// A frame: a container that groups controls. With BorderStyle 1 it draws an etched border with
// its Caption set into the top edge; with BorderStyle 0 it is a plain area in its BackColor.
// Its children's positions are twips from the frame's top-left corner.
class Frame : public Control {
public:
    Frame();
    Frame(Control& container, std::string name);

    std::string_view kind() const override { return "Frame"; }
    const gdi::Surface* surface() const override { return &m_canvas.pixels(); }
    const Canvas& canvas() const { return m_canvas; }

    const std::string& Caption() const { return m_caption; }
    void Caption(std::string caption);
    int16_t BorderStyle() const { return m_border_style; }
    void BorderStyle(int16_t style);
    gdi::Color BackColor() const { return m_canvas.BackColor(); }
    void BackColor(gdi::Color color);
    gdi::Color ForeColor() const { return m_canvas.ForeColor(); }
    void ForeColor(gdi::Color color);
    const FontRef& Font() const { return m_canvas.Font(); }
    void Font(FontRef font);
    std::string dump_text() const override { return host::quoted(m_caption); }

    void read_design_properties(const PropertyBag& bag) override;
    void write_design_properties(PropertyBag& bag) const override;

protected:
    void handle_resize() override;

private:
    void repaint();

    Canvas m_canvas;
    StdFont::Subscription m_font_subscription;
    std::string m_caption;
    int16_t m_border_style {1};
};

} // namespace sorrel::host
