#pragma once

// A headless host for posing controls: each capture builds a fresh form, loads one control as a
// new instance at design time, applies the settings, runs it, puts it into the wanted state and
// takes its pixels (with the window outline as alpha).

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/gdi/Surface.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <functional>
#include <memory>

namespace sorrel::gallery {

class GalleryHost {
public:
    GalleryHost();
    ~GalleryHost();
    GalleryHost(const GalleryHost&) = delete;
    GalleryHost& operator=(const GalleryHost&) = delete;

    static GalleryHost& the();

    struct Stage {
        host::Form& form;
        // A focusable control that holds the focus, so that the posed control starts without it.
        host::Control& bystander;
        host::Control& control;
        // The pointer, keyboard and clock of the posing host.
        backend::HeadlessBackend& input;
    };

    // `design` runs at design time on the new control; `pose` at run time, before the capture.
    gdi::Surface capture(std::unique_ptr<host::Control> control, int width, int height,
        const std::function<void(Stage&)>& design, const std::function<void(Stage&)>& pose);

    // The control's persistent surface, with alpha 0 outside its window outline.
    static gdi::Surface pixels_of(const host::Control& control);

private:
    backend::HeadlessBackend* m_backend {nullptr};
    std::unique_ptr<host::Host> m_host;
};

} // namespace sorrel::gallery
