// Message boxes as desktop dialogs, on a real X server (Xvfb): transient for the main window, of
// the dialog type, centred over it, with its icon, and not kept above every other window.

#include "platform/backend/sdl/SdlBackend.h"
#include "platform/host/Host.h"
#include "platform/host/StdPicture.h"
#include "platform/host/Timer.h"
#include "platform/host/UserControl.h"
#include "tests/support/Processes.h"

#include <gtest/gtest.h>

// Xlib's macros (None, Bool, Status...) clash with GoogleTest's names: included after it.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace sorrel;
using namespace sorrel::host;
using namespace sorrel::test_support;

namespace {

struct Blank : UserControl {
    std::string_view kind() const override { return "Pad"; }
};

Window x_window(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 ? info.info.x11.window : 0;
}

// The atoms of a property of type ATOM.
std::vector<std::string> atoms(Display* display, Window window, const char* property)
{
    std::vector<std::string> names;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 64, False, XA_ATOM,
            &type, &format, &count, &after, &data)
            == Success
        && data) {
        for (unsigned long i = 0; i < count; ++i) {
            char* name = XGetAtomName(display, reinterpret_cast<Atom*>(data)[i]);
            names.push_back(name);
            XFree(name);
        }
        XFree(data);
    }
    return names;
}

// The width and height at the start of _NET_WM_ICON; zero when it is not set.
std::pair<long, long> icon_size(Display* display, Window window)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::pair<long, long> size {0, 0};
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0, 2, False,
            XA_CARDINAL, &type, &format, &count, &after, &data)
            == Success
        && data) {
        if (count == 2)
            size = {reinterpret_cast<long*>(data)[0], reinterpret_cast<long*>(data)[1]};
        XFree(data);
    }
    return size;
}

} // namespace

TEST(SdlDialog, AMessageBoxIsADialogOfTheMainWindowCentredOverItWithItsIcon)
{
    if (!on_path("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
    Xvfb server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    ::setenv("DISPLAY", server.display().c_str(), 1);
    ::setenv("SDL_VIDEODRIVER", "x11", 1);
    auto created = backend::SdlBackend::create(1);
    ASSERT_TRUE(created) << created.error().message;
    Host host(created.release_value());
    {
        Form form;
        form.set_client_size_twips(300 * 15, 200 * 15);
        gdi::Surface icon(32, 32);
        icon.fill(gdi::rgb(200, 40, 40) | 0xFF000000u);
        form.Icon(StdPicture::from_surface(icon, PictureType::Icon));
        Blank& pad = form.add<Blank>("Pad");
        form.load_control(pad, nullptr);
        host.show(form);
        SDL_Window* main = SDL_GetWindowFromID(1);
        ASSERT_NE(main, nullptr);

        Display* display = XOpenDisplay(server.display().c_str());
        ASSERT_NE(display, nullptr);
        Window owner_seen = 0;
        std::vector<std::string> type, state;
        std::pair<long, long> icon_seen;
        int main_x = 0, main_y = 0, box_x = 0, box_y = 0, box_w = 0, box_h = 0;
        bool looked = false;
        Timer timer(pad, "T", 50, true);
        timer.on_tick = [&] {
            for (Uint32 id = 2; id < 64 && !looked; ++id) {
                SDL_Window* box = SDL_GetWindowFromID(id);
                if (!box || std::string(SDL_GetWindowTitle(box)) != "Confirm")
                    continue;
                looked = true;
                Window window = x_window(box);
                XGetTransientForHint(display, window, &owner_seen);
                type = atoms(display, window, "_NET_WM_WINDOW_TYPE");
                state = atoms(display, window, "_NET_WM_STATE");
                icon_seen = icon_size(display, window);
                SDL_GetWindowPosition(main, &main_x, &main_y);
                SDL_GetWindowPosition(box, &box_x, &box_y);
                SDL_GetWindowSize(box, &box_w, &box_h);
                SDL_Event e {};
                e.type = SDL_KEYDOWN;
                e.key.windowID = id;
                e.key.keysym.sym = SDLK_RETURN;
                SDL_PushEvent(&e);
            }
        };
        EXPECT_EQ(host.MsgBox("Remove?", vbYesNo + vbExclamation, "Confirm"), vbYes);
        ASSERT_TRUE(looked);
        EXPECT_EQ(owner_seen, x_window(main));
        EXPECT_EQ(type, std::vector<std::string> {"_NET_WM_WINDOW_TYPE_DIALOG"});
        EXPECT_EQ(std::count(state.begin(), state.end(), "_NET_WM_STATE_ABOVE"), 0);
        EXPECT_EQ(icon_seen, (std::pair<long, long> {32, 32}));
        EXPECT_NEAR(box_x + box_w / 2, main_x + 150, 1);
        EXPECT_NEAR(box_y + box_h / 2, main_y + 100, 1);
        XCloseDisplay(display);
    }
}
