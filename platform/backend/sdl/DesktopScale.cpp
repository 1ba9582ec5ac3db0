#include "platform/backend/sdl/DesktopScale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <dlfcn.h>

namespace sorrel::backend {

namespace {

constexpr int MaxScale = 4;

std::optional<double> positive_number(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc {} || end != text.data() + text.size() || !std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

// The X server's resource text, read through the Xlib that SDL has loaded (or loads now); empty
// without an X display.
std::string x_resources()
{
    const char* display_name = std::getenv("DISPLAY");
    if (!display_name || !*display_name)
        return {};
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!xlib)
        return {};
    using Open = void* (*)(const char*);
    using Resources = char* (*)(void*);
    using Close = int (*)(void*);
    auto open = reinterpret_cast<Open>(dlsym(xlib, "XOpenDisplay"));
    auto resources = reinterpret_cast<Resources>(dlsym(xlib, "XResourceManagerString"));
    auto close = reinterpret_cast<Close>(dlsym(xlib, "XCloseDisplay"));
    std::string text;
    if (open && resources && close) {
        if (void* display = open(display_name)) {
            if (const char* found = resources(display))
                text = found;
            close(display);
        }
    }
    dlclose(xlib);
    return text;
}

} // namespace

DesktopScaleSettings DesktopScaleSettings::from_desktop()
{
    DesktopScaleSettings settings;
    if (const char* value = std::getenv("GDK_SCALE"))
        settings.gdk_scale = value;
    if (const char* value = std::getenv("QT_SCALE_FACTOR"))
        settings.qt_scale_factor = value;
    settings.xft_dpi = xft_dpi_from_resources(x_resources());
    return settings;
}

std::optional<double> xft_dpi_from_resources(std::string_view resources)
{
    while (!resources.empty()) {
        size_t end = std::min(resources.find('\n'), resources.size());
        std::string_view line = resources.substr(0, end);
        resources.remove_prefix(std::min(end + 1, resources.size()));
        constexpr std::string_view key = "Xft.dpi:";
        if (line.starts_with(key))
            return positive_number(line.substr(key.size()));
    }
    return std::nullopt;
}

int scale_from_desktop(const DesktopScaleSettings& settings)
{
    auto steps = [](double value) { return std::clamp(int(std::lround(value)), 1, MaxScale); };
    if (auto gdk = positive_number(settings.gdk_scale); gdk && *gdk == std::floor(*gdk))
        return steps(*gdk);
    if (auto qt = positive_number(settings.qt_scale_factor))
        return steps(*qt);
    if (settings.xft_dpi && *settings.xft_dpi > 0)
        return steps(*settings.xft_dpi / 96);
    if (settings.display_dpi && *settings.display_dpi > 0)
        return steps(*settings.display_dpi / 96);
    return 1;
}

} // namespace sorrel::backend
