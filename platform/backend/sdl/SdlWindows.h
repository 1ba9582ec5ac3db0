#pragma once

// What desktops read from our windows besides their pixels: the icon, and for a message box, that
// it is a dialog belonging to the main window.

#include "platform/gdi/Surface.h"

struct SDL_Window;

namespace sorrel::backend {

void set_window_icon(SDL_Window* window, const gdi::Surface& icon);

// Marks a window that is not shown yet as a dialog of `owner`: transient for it (window managers
// keep it above its owner only, and centre or group it with it) and of the dialog window type.
void make_dialog_of(SDL_Window* window, SDL_Window* owner);

} // namespace sorrel::backend
