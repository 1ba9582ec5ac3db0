// Sorrel's window start-up as the program runs it, ending after the first frame: SDL2 loaded, the
// display opened, the main window loaded from its form file and presented once.

#include "app/Session.h"
#include "platform/backend/sdl/SdlBackend.h"

#include <cstdio>

using namespace sorrel;

int main(int, char**)
{
    auto backend = backend::SdlBackend::create(0, backend::SdlBackend::Drivers::OnScreen);
    if (backend.is_error()) {
        std::fprintf(stderr, "sorrel_first_frame: %s\n", backend.error().message.c_str());
        return 1;
    }
    auto session = app::Session::open(backend.release_value());
    if (session.is_error()) {
        std::fprintf(stderr, "sorrel_first_frame: %s\n", session.error().message.c_str());
        return 1;
    }
    return 0;
}
