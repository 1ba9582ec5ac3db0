#pragma once

#include "platform/host/CanvasControl.h"

#include <string>

namespace sorrel::host {

// A frame: a container that groups controls. With BorderStyle 1 it draws an etched border with
// its Caption set into the top edge; with BorderStyle 0 it is a plain area in its BackColor.
// Its children's positions are twips from the frame's top-left corner.
class Frame : public CanvasControl {
public:
    Frame();
    Frame(Control& container, std::string name);

    std::string_view kind() const override { return "Frame"; }

    const std::string& Caption() const { return m_caption; }
    void Caption(std::string caption);
    int16_t BorderStyle() const { return m_border_style; }
    void BorderStyle(int16_t style);
    std::string dump_text() const override { return host::quoted(m_caption); }
    bool describe_accessible(AccessibleNode& node) const override;

    void read_design_properties(const PropertyBag& bag) override;
    void write_design_properties(PropertyBag& bag) const override;

private:
    void repaint() override;

    std::string m_caption;
    int16_t m_border_style {1};
};

} // namespace sorrel::host
