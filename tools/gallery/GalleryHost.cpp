#include "tools/gallery/GalleryHost.h"

#include "platform/gdi/Gdi.h"
#include "platform/host/TextBox.h"

namespace sorrel::gallery {

GalleryHost::GalleryHost()
{
    auto backend = backend::HeadlessBackend::create();
    m_backend = backend.get();
    m_host = std::make_unique<host::Host>(std::move(backend));
}

GalleryHost::~GalleryHost() = default;

GalleryHost& GalleryHost::the()
{
    static GalleryHost host;
    return host;
}

gdi::Surface GalleryHost::capture(std::unique_ptr<host::Control> control, int width, int height,
    const std::function<void(Stage&)>& design, const std::function<void(Stage&)>& pose)
{
    auto form = std::make_unique<host::Form>();
    form->set_client_size_twips(float((width + 40) * 15), float((height + 40) * 15));
    form->set_design_mode(true);
    auto& bystander = form->add<host::TextBox>("Bystander");
    bystander.Move(0, 0, 15 * 10, 15 * 10);
    host::Control& posed = form->add(std::move(control), "Cmd");
    posed.Move(20 * 15, 20 * 15, float(width * 15), float(height * 15));
    form->load_control(bystander, nullptr);
    form->load_control(posed, nullptr);
    m_host->show(*form);
    bystander.SetFocus();

    Stage stage {*form, bystander, posed, *m_backend};
    if (design)
        design(stage);
    form->set_design_mode(false);
    if (pose)
        pose(stage);
    gdi::Surface pixels = pixels_of(posed);

    form->unload();
    m_host->forget_form();
    return pixels;
}

gdi::Surface GalleryHost::pixels_of(const host::Control& control)
{
    const gdi::Surface* surface = control.surface();
    if (!surface)
        return {};
    gdi::Surface out(surface->width(), surface->height(), 0);
    gdi::HRGN region = control.window_region();
    for (int y = 0; y < surface->height(); ++y)
        for (int x = 0; x < surface->width(); ++x)
            if (!region || gdi::PtInRegion(region, x, y))
                out.set_pixel(x, y, gdi::with_alpha(surface->pixel(x, y), 0xFF));
    return out;
}

} // namespace sorrel::gallery
