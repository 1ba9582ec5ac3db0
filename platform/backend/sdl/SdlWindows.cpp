#include "platform/backend/sdl/SdlWindows.h"

#include "platform/backend/sdl/SdlLibrary.h"

#include <SDL_syswm.h>
#include <dlfcn.h>

namespace sorrel::backend {

namespace {

// Sets _NET_WM_WINDOW_TYPE to the dialog type, through the Xlib that SDL's X11 driver has loaded.
void set_dialog_type(Display* display, Window window)
{
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    if (!xlib)
        return;
    auto intern = reinterpret_cast<decltype(&XInternAtom)>(dlsym(xlib, "XInternAtom"));
    auto change = reinterpret_cast<decltype(&XChangeProperty)>(dlsym(xlib, "XChangeProperty"));
    if (intern && change) {
        Atom type = intern(display, "_NET_WM_WINDOW_TYPE", False);
        Atom dialog = intern(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
        change(display, window, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&dialog),
            1);
    }
    dlclose(xlib);
}

} // namespace

void set_window_icon(SDL_Window* window, const gdi::Surface& icon)
{
    if (!window || icon.is_empty())
        return;
    // Our pixels are 0xAABBGGRR: ABGR8888 in SDL's packed naming. SDL copies them.
    auto& pixels = const_cast<gdi::Surface&>(icon);
    SDL_Surface* surface = sdl().SDL_CreateRGBSurfaceWithFormatFrom(
        pixels.data(), pixels.width(), pixels.height(), 32, pixels.width() * 4, SDL_PIXELFORMAT_ABGR8888);
    if (surface) {
        sdl().SDL_SetWindowIcon(window, surface);
        sdl().SDL_FreeSurface(surface);
    }
}

void make_dialog_of(SDL_Window* window, SDL_Window* owner)
{
    if (!window || !owner)
        return;
    sdl().SDL_SetWindowModalFor(window, owner);
    // Looked up here rather than in the table: its header brings in Xlib's names.
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    if (!library)
        return;
    auto wm_info = reinterpret_cast<decltype(&SDL_GetWindowWMInfo)>(dlsym(library, "SDL_GetWindowWMInfo"));
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (wm_info && wm_info(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11)
        set_dialog_type(info.info.x11.display, info.info.x11.window);
    dlclose(library);
}

} // namespace sorrel::backend
