#include "platform/backend/sdl/SdlLibrary.h"

#include <dlfcn.h>

namespace sorrel::backend {

static SdlLibrary s_library;
static bool s_loaded = false;

const SdlLibrary* load_sdl(std::string* error)
{
    if (s_loaded)
        return &s_library;
    void* handle = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error)
            *error = std::string("cannot load SDL2: ") + dlerror();
        return nullptr;
    }
    SdlLibrary library;
    bool complete = true;
    std::string missing;
#define SORREL_SDL_LOAD(name)                                                                                \
    library.name = reinterpret_cast<decltype(library.name)>(dlsym(handle, #name));                           \
    if (!library.name) {                                                                                     \
        complete = false;                                                                                    \
        missing = #name;                                                                                     \
    }
    SORREL_SDL_FUNCTIONS(SORREL_SDL_LOAD)
#undef SORREL_SDL_LOAD
    if (!complete) {
        if (error)
            *error = "the SDL2 library is too old: it lacks " + missing;
        dlclose(handle);
        return nullptr;
    }
    s_library = library;
    s_loaded = true;
    return &s_library;
}

const SdlLibrary& sdl()
{
    return s_library;
}

} // namespace sorrel::backend
