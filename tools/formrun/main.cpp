// Opens a form file: in a window, or headless with a UI script. Only the host's own control
// kinds are known here; the program itself registers its controls and calls the same functions.
//
//   sorrel-formrun FORM.yaml [--design] [--scale N]
//   sorrel-formrun FORM.yaml --headless [--script FILE] [--shot FILE.png]

#include "platform/backend/headless/ScriptRunner.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/host/Host.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

using namespace sorrel;

static int usage()
{
    std::fprintf(stderr,
        "usage: sorrel-formrun FORM.yaml [--design] [--scale N] [--headless [--script FILE] [--shot "
        "FILE.png]]\n");
    return 2;
}

int main(int argc, char** argv)
{
    std::string form_path, script, shot;
    bool headless = false, design = false;
    int scale = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--headless")
            headless = true;
        else if (a == "--design")
            design = true;
        else if (a == "--script" && i + 1 < argc)
            script = argv[++i];
        else if (a == "--shot" && i + 1 < argc)
            shot = argv[++i];
        else if (a == "--scale" && i + 1 < argc)
            scale = std::atoi(argv[++i]);
        else if (!a.empty() && a[0] != '-' && form_path.empty())
            form_path = a;
        else
            return usage();
    }
    if (form_path.empty() || (!headless && (!script.empty() || !shot.empty())))
        return usage();

    if (headless) {
        auto backend = backend::HeadlessBackend::create();
        auto* driver = backend.get();
        host::Host host(std::move(backend));
        host::Form form;
        auto loaded = form.load_file(form_path, design);
        if (loaded.is_error()) {
            std::fprintf(stderr, "%s\n", loaded.error().message.c_str());
            return 2;
        }
        host.show(form);
        int status = 0;
        if (!script.empty())
            status = backend::run_script_file(host, *driver, form, script, std::cout, std::cerr);
        if (status == 0 && !shot.empty()) {
            auto saved = driver->save_screenshot(shot);
            if (saved.is_error()) {
                std::fprintf(stderr, "%s\n", saved.error().message.c_str());
                return 2;
            }
        }
        return status;
    }

    auto backend = backend::SdlBackend::create(scale);
    if (backend.is_error()) {
        std::fprintf(stderr, "%s\n", backend.error().message.c_str());
        return 1;
    }
    host::Host host(backend.release_value());
    host::Form form;
    auto loaded = form.load_file(form_path, design);
    if (loaded.is_error()) {
        std::fprintf(stderr, "%s\n", loaded.error().message.c_str());
        return 2;
    }
    host.show(form);
    return host.run();
}
