// The SDL2 backend on SDL's dummy video driver: no display needed, the window surface is real.

#include "platform/backend/sdl/SdlBackend.h"
#include "platform/host/Host.h"
#include "platform/host/Timer.h"
#include "platform/host/UserControl.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using namespace sorrel;
using namespace sorrel::host;

namespace {

struct Pad : UserControl {
    std::string_view kind() const override { return "Pad"; }
    void UserControl_MouseDown(int16_t b, int16_t s, float x, float y) override
    {
        log.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(int(x))
            + "," + std::to_string(int(y)));
    }
    void UserControl_MouseUp(int16_t b, int16_t, float, float) override
    {
        log.push_back("up " + std::to_string(b));
    }
    void UserControl_Click() override { log.push_back("click"); }
    void UserControl_KeyDown(int16_t& k, int16_t&) override { log.push_back("keydown " + std::to_string(k)); }
    void UserControl_KeyPress(int16_t& k) override { log.push_back("press " + std::to_string(k)); }
    std::vector<std::string> log;
};

struct Sdl : ::testing::Test {
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        auto created = backend::SdlBackend::create(2);
        if (created.is_error())
            GTEST_SKIP() << created.error().message;
        backend = created.value().get();
        host = std::make_unique<Host>(created.release_value());
        form = std::make_unique<Form>();
        form->set_client_size_twips(100 * 15, 50 * 15);
        pad = &form->add<Pad>("Pad");
        pad->Move(10 * 15, 10 * 15, 40 * 15, 20 * 15);
        form->load_control(*pad, nullptr);
        host->show(*form);
    }
    void TearDown() override
    {
        form.reset();
        host.reset();
    }
    void push(SDL_Event e) { SDL_PushEvent(&e); }
    // Delivers every queued SDL event to the host.
    void pump()
    {
        while (auto event = backend->wait_event(0))
            host->dispatch(*event);
    }
    backend::SdlBackend* backend {nullptr};
    std::unique_ptr<Host> host;
    std::unique_ptr<Form> form;
    Pad* pad {nullptr};
};

} // namespace

TEST_F(Sdl, MouseAndKeysArriveAsWindowsDeliversThem)
{
    SDL_Event e {};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.x = 30; // window pixels at scale 2: form pixel (15, 12)
    e.button.y = 24;
    push(e);
    e.type = SDL_MOUSEBUTTONUP;
    push(e);
    SDL_Event k {};
    k.type = SDL_KEYDOWN;
    k.key.keysym.sym = SDLK_RETURN;
    push(k);
    k.type = SDL_KEYUP;
    push(k);
    SDL_Event t {};
    t.type = SDL_TEXTINPUT;
    std::strcpy(t.text.text, "\xc3\xa9"); // é, 233 in Windows-1252
    push(t);
    pump();
    EXPECT_EQ(pad->log,
        (std::vector<std::string> {"down 2 0 5,2", "up 2", "click", "keydown 13", "press 13", "press 233"}));
}

TEST_F(Sdl, TypedTextArrivesInWindows1252CharacterByCharacter)
{
    // One event with several characters (a paste, an input method): the euro sign, S caron and
    // the em dash are in the code page above Latin-1; a snowman is not and arrives as "?".
    SDL_Event t {};
    t.type = SDL_TEXTINPUT;
    std::strcpy(t.text.text,
        "\xe2\x82\xac\xc5\xa0\xe2\x80\x94\xe2\x98\x83"
        "a");
    push(t);
    pump();
    EXPECT_EQ(
        pad->log, (std::vector<std::string> {"press 128", "press 138", "press 151", "press 63", "press 97"}));
}

TEST_F(Sdl, WindowTitlesAreUtf8)
{
    form->Caption("Caf\xe9 \x80");
    SDL_Window* window = nullptr;
    for (Uint32 id = 1; id < 64 && !window; ++id)
        window = SDL_GetWindowFromID(id);
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(window), "Caf\xc3\xa9 \xe2\x82\xac");
}

TEST_F(Sdl, AClosedWindowEndsTheLoop)
{
    SDL_Event e {};
    e.type = SDL_QUIT;
    push(e);
    EXPECT_EQ(host->run(), 0);
    EXPECT_TRUE(host->has_ended());
}

TEST_F(Sdl, TimersRunInTheRealLoopAndPresentOnlyChanges)
{
    int frames = host->presented_frame_count();
    int ticks = 0;
    Timer timer(*pad, "T", 10, true);
    timer.on_tick = [&] {
        if (++ticks == 5)
            host->End();
    };
    host->run();
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(host->presented_frame_count(), frames);
}

TEST_F(Sdl, MessageBoxesAreModalWindowsWhileTimersRun)
{
    int ticks = 0;
    Timer timer(*pad, "T", 10, true);
    std::vector<int> keys = {SDLK_n, SDLK_y, SDLK_RETURN, SDLK_ESCAPE};
    size_t next_key = 0;
    timer.on_tick = [&] {
        ++ticks;
        // The third tick of each box answers it from the keyboard of the box's own window.
        if (ticks % 3 != 0 || next_key >= keys.size())
            return;
        for (Uint32 id = 1; id < 64; ++id) {
            SDL_Window* w = SDL_GetWindowFromID(id);
            if (w && std::string(SDL_GetWindowTitle(w)) == "Confirm") {
                SDL_Event e {};
                e.type = SDL_KEYDOWN;
                e.key.windowID = id;
                e.key.keysym.sym = keys[next_key++];
                SDL_PushEvent(&e);
                // Input aimed at the form meanwhile is not delivered.
                SDL_Event click {};
                click.type = SDL_MOUSEBUTTONDOWN;
                click.button.button = SDL_BUTTON_LEFT;
                click.button.windowID = 1;
                click.button.x = 30;
                click.button.y = 30;
                SDL_PushEvent(&click);
                return;
            }
        }
    };
    EXPECT_EQ(host->MsgBox("Remove?", vbYesNo + vbCritical, "Confirm"), vbNo);
    EXPECT_EQ(host->MsgBox("Remove?", vbYesNo, "Confirm"), vbYes);
    EXPECT_EQ(host->MsgBox("Remove?", vbYesNo + vbInformation, "Confirm"), vbYes); // Enter: the first button
    EXPECT_EQ(host->MsgBox("Done.", vbOKOnly, "Confirm"), vbOK);
    EXPECT_GE(ticks, 12);
    while (auto event = backend->wait_event(0))
        ; // the stray clicks were consumed by the boxes' waits
    EXPECT_TRUE(pad->log.empty());
}

TEST_F(Sdl, AHeldKeyRepeatingNeverAnswersABox)
{
    // The repeats of a 'y' held down since an earlier box must not answer this one; Esc does.
    int ticks = 0;
    Timer timer(*pad, "T", 10, true);
    timer.on_tick = [&] {
        ++ticks;
        if (ticks != 2 && ticks != 4)
            return;
        for (Uint32 id = 1; id < 64; ++id) {
            SDL_Window* w = SDL_GetWindowFromID(id);
            if (w && std::string(SDL_GetWindowTitle(w)) == "Again?") {
                SDL_Event e {};
                e.type = SDL_KEYDOWN;
                e.key.windowID = id;
                e.key.repeat = ticks == 2;
                e.key.keysym.sym = ticks == 2 ? SDLK_y : SDLK_ESCAPE;
                SDL_PushEvent(&e);
                return;
            }
        }
    };
    EXPECT_EQ(host->MsgBox("Try again?", vbYesNo, "Again?"), vbNo);
    EXPECT_GE(ticks, 4);
}

// Shows a Yes/No box during which `close` arrives on the second tick; should it be lost, Y
// answers the box on the tenth tick, so that the test ends (and fails) rather than hangs.
static int box_with_close_on_second_tick(Host& host, Control& pad, SDL_Event close, int& ticks)
{
    Timer timer(pad, "T", 10, true);
    timer.on_tick = [&] {
        ++ticks;
        if (ticks == 2)
            SDL_PushEvent(&close);
        if (ticks != 10)
            return;
        for (Uint32 id = 2; id < 64; ++id) {
            if (SDL_GetWindowFromID(id)) {
                SDL_Event e {};
                e.type = SDL_KEYDOWN;
                e.key.windowID = id;
                e.key.keysym.sym = SDLK_y;
                SDL_PushEvent(&e);
            }
        }
    };
    return host.MsgBox("Remove?", vbYesNo + vbCritical, "Confirm");
}

TEST_F(Sdl, AQuitWhileABoxIsOpenEndsTheBoxWithNoAndThenTheProgram)
{
    SDL_Event quit {};
    quit.type = SDL_QUIT;
    int ticks = 0;
    EXPECT_EQ(box_with_close_on_second_tick(*host, *pad, quit, ticks), vbNo);
    EXPECT_TRUE(host->has_ended());
    EXPECT_LT(ticks, 10);
}

TEST_F(Sdl, TheFormsCloseButtonWhileABoxIsOpenIsNotLost)
{
    SDL_Event close {};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = 1;
    int ticks = 0;
    EXPECT_EQ(box_with_close_on_second_tick(*host, *pad, close, ticks), vbNo);
    EXPECT_TRUE(host->has_ended());
    EXPECT_LT(ticks, 10);
}

TEST_F(Sdl, ALongStepSeesACloseWithoutTakingOtherInput)
{
    SDL_Event e {};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_RETURN;
    push(e);
    EXPECT_FALSE(host->check_for_close());
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    e.window.windowID = 1;
    push(e);
    // The backend looks every few milliseconds only.
    SDL_Delay(20);
    EXPECT_TRUE(host->check_for_close());
    SDL_Event left[4];
    EXPECT_EQ(SDL_PeepEvents(left, 4, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN), 1);
}
