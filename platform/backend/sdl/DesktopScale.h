#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorrel::backend {

// What the desktop says about how large to draw, strongest first.
struct DesktopScaleSettings {
    std::string gdk_scale {}; // $GDK_SCALE: a whole number
    std::string qt_scale_factor {}; // $QT_SCALE_FACTOR: may be fractional
    std::optional<double> xft_dpi {}; // the X resource Xft.dpi
    std::optional<double> display_dpi {}; // what SDL reports for the screen

    // The environment and the X server's resources (display_dpi is left for the caller).
    static DesktopScaleSettings from_desktop();
};

// The whole-number scale the window is drawn at, 1 to 4: the first setting that is given and
// valid, rounded (Xft.dpi and the screen's dots per inch count 96 to a step); 1 when none is.
int scale_from_desktop(const DesktopScaleSettings& settings);

// The value of Xft.dpi in the text of the X server's resource database.
std::optional<double> xft_dpi_from_resources(std::string_view resources);

} // namespace sorrel::backend
