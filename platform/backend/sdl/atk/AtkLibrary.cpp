#include "platform/backend/sdl/atk/AtkLibrary.h"

#include <dlfcn.h>

namespace sorrel::backend {

static AtkLibrary s_atk;
static bool s_tried = false;
static bool s_atk_loaded = false;
static std::string s_error;

const AtkLibrary* load_atk(std::string* error)
{
    if (!s_tried) {
        s_tried = true;
        // The bridge brings ATK, GObject and GLib with it; they are opened by name too so that
        // each function is looked up where it is defined.
        void* handles[4] = {};
        const char* names[4]
            = {"libatk-bridge-2.0.so.0", "libatk-1.0.so.0", "libgobject-2.0.so.0", "libglib-2.0.so.0"};
        for (int i = 0; i < 4 && s_error.empty(); ++i) {
            handles[i] = dlopen(names[i], RTLD_NOW | RTLD_LOCAL);
            if (!handles[i])
                s_error = std::string("cannot load ") + names[i] + ": " + dlerror();
        }
        AtkLibrary library;
        auto find = [&](const char* name) -> void* {
            for (void* handle : handles) {
                if (void* symbol = handle ? dlsym(handle, name) : nullptr)
                    return symbol;
            }
            if (s_error.empty())
                s_error = std::string("the accessibility libraries are too old: they lack ") + name;
            return nullptr;
        };
#define SORREL_ATK_LOAD(name) library.name = reinterpret_cast<decltype(library.name)>(find(#name));
        if (s_error.empty()) {
            SORREL_ATK_FUNCTIONS(SORREL_ATK_LOAD)
        }
#undef SORREL_ATK_LOAD
        if (s_error.empty()) {
            s_atk = library;
            s_atk_loaded = true;
        } else {
            // Nothing of them has run yet, so the half-made load can be undone.
            for (void* handle : handles) {
                if (handle)
                    dlclose(handle);
            }
        }
    }
    if (!s_atk_loaded && error)
        *error = s_error;
    return s_atk_loaded ? &s_atk : nullptr;
}

const AtkLibrary& atk()
{
    return s_atk;
}

} // namespace sorrel::backend
