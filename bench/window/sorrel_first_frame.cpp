// Sorrel's window start-up as the program runs it, ending after the first frame: SDL2 loaded, the
// display opened, the main window loaded from its form file and presented once.

#include "app/Session.h"
#include "platform/backend/sdl/SdlBackend.h"

#include <cstdio>

using namespace sorrel;

int main(int, char**)
{
    std::string why;
    auto backend = backend::SdlBackend::create(0, &why, backend::SdlBackend::Drivers::OnScreen);
    if (!backend) {
        std::fprintf(stderr, "sorrel_first_frame: %s\n", why.c_str());
        return 1;
    }
    auto session = app::Session::open(std::move(backend));
    if (session.is_error()) {
        std::fprintf(stderr, "sorrel_first_frame: %s\n", session.error().message.c_str());
        return 1;
    }
    return 0;
}
