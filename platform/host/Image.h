#pragma once

#include "platform/host/Control.h"
#include "platform/host/StdPicture.h"

namespace sorrel::host {

// An image holder: a windowless control that keeps a Picture. Visible, it shows the picture at
// its top-left corner with its transparency (Stretch fits it to the control); invisible, it
// only stores the picture for drawing elsewhere. It takes no input and has no window.
class Image : public Control {
public:
    Image();
    Image(Control& container, std::string name, bool visible = false);

    std::string_view kind() const override { return "Image"; }
    bool has_window() const override { return false; }
    const gdi::Surface* surface() const override;
    bool surface_has_alpha() const override { return true; }

    const PictureRef& Picture() const { return m_picture; }
    void Picture(PictureRef picture);
    bool Stretch() const { return m_stretch; }
    void Stretch(bool stretch);
    std::string dump_text() const override;
    bool describe_accessible(AccessibleNode& node) const override;

    void read_design_properties(const PropertyBag& bag) override;
    void write_design_properties(PropertyBag& bag) const override;

protected:
    void handle_resize() override;

private:
    void repaint();

    PictureRef m_picture;
    bool m_stretch {false};
    gdi::Surface m_shown;
};

} // namespace sorrel::host
