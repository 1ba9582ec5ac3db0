// The Win32 window, run under Wine with a display: messages posted to it come out as the host's
// input, presented pixels reach the window, and message boxes keep the timers running.
#include "platform/backend/win32/Win32Backend.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"
#include "platform/host/Timer.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace sorrel;
using host::InputEvent;

namespace {

struct Win32Window : ::testing::Test {
    backend::Win32Backend* window {nullptr};
    std::unique_ptr<host::Host> host;
    std::unique_ptr<host::Form> form;

    // A form of 200 x 100 pixels (3000 x 1500 twips) with an icon, shown at `scale`.
    void open(int scale)
    {
        form.reset();
        host.reset();
        auto made = backend::Win32Backend::create(scale);
        ASSERT_FALSE(made.is_error()) << made.error().message;
        window = made.value().get();
        host = std::make_unique<host::Host>(made.release_value());
        form = std::make_unique<host::Form>();
        form->Caption("Sorrel \x80 caf\xE9");
        form->set_client_size_twips(3000, 1500);
        form->Icon(host::StdPicture::from_surface(gdi::Surface(32, 32, 0xFF0000FF), host::PictureType::Icon));
        form->BackColor(0x00336699);
        host->show(*form);
        ASSERT_TRUE(IsWindow(window->window()));
        // The pointer rests over the window, so that only the posted moves count.
        POINT middle {50, 50};
        ClientToScreen(window->window(), &middle);
        SetCursorPos(middle.x, middle.y);
        while (window->wait_event(100)) { }
    }

    void TearDown() override
    {
        form.reset();
        host.reset();
    }

    std::vector<InputEvent> events_after(std::initializer_list<std::tuple<UINT, WPARAM, LPARAM>> messages)
    {
        for (auto [message, wparam, lparam] : messages)
            PostMessageW(window->window(), message, wparam, lparam);
        std::vector<InputEvent> events;
        while (auto event = window->wait_event(50))
            events.push_back(*event);
        return events;
    }

    COLORREF pixel_on_screen(int x, int y)
    {
        HDC dc = GetDC(window->window());
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(window->window(), dc);
        return colour;
    }
};

std::string text_of(HWND window)
{
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    std::string utf8;
    for (wchar_t* c = text; *c; ++c)
        utf8 += *c < 0x80 ? std::string(1, char(*c)) : "<" + std::to_string(unsigned(*c)) + ">";
    return utf8;
}

} // namespace

TEST(Win32Scale, TheMonitorsDpiGivesAWholeNumberScale)
{
    EXPECT_EQ(backend::scale_from_dpi(96), 1);
    EXPECT_EQ(backend::scale_from_dpi(120), 1); // 125 %
    EXPECT_EQ(backend::scale_from_dpi(144), 2); // 150 % rounds up
    EXPECT_EQ(backend::scale_from_dpi(192), 2);
    EXPECT_EQ(backend::scale_from_dpi(288), 3);
    EXPECT_EQ(backend::scale_from_dpi(960), 4);
    EXPECT_EQ(backend::scale_from_dpi(0), 1);
}

TEST_F(Win32Window, OpensWithTheCaptionIconAndClientSizeOfTheForm)
{
    open(1);
    EXPECT_EQ(text_of(window->window()), "Sorrel <8364> caf<233>");
    RECT client {};
    GetClientRect(window->window(), &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 100);
    EXPECT_TRUE(SendMessageW(window->window(), WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(SendMessageW(window->window(), WM_GETICON, ICON_SMALL, 0));
    // The host's first frame is on the screen: the form's colour, corner to corner.
    GdiFlush();
    EXPECT_EQ(pixel_on_screen(0, 0), COLORREF(0x00336699));
    EXPECT_EQ(pixel_on_screen(199, 99), COLORREF(0x00336699));
    LONG style = GetWindowLongW(window->window(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_THICKFRAME); // the form's size is its design's

    window->set_caption("Results");
    EXPECT_EQ(text_of(window->window()), "Results");
    host->forget_form();
    window->close_window();
    EXPECT_EQ(window->window(), nullptr);
}

TEST_F(Win32Window, MouseInputArrivesInFormPixelsWithCaptureFromPressToRelease)
{
    open(2);
    RECT client {};
    GetClientRect(window->window(), &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 200);

    auto events = events_after(
        {{WM_MOUSEMOVE, 0, MAKELPARAM(41, 61)}, {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 60)}});
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, InputEvent::Kind::MouseMove);
    EXPECT_EQ(events[0].x, 20);
    EXPECT_EQ(events[0].y, 30);
    EXPECT_EQ(events[1].kind, InputEvent::Kind::MouseDown);
    EXPECT_EQ(events[1].button, host::vbLeftButton);
    EXPECT_EQ(GetCapture(), window->window());

    // Dragged out to the left: negative pixels, still ours; the right button is a second press.
    events = events_after(
        {{WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(-3, 10)}, {WM_LBUTTONUP, 0, MAKELPARAM(-3, 10)}});
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].button, host::vbRightButton);
    EXPECT_EQ(events[1].kind, InputEvent::Kind::MouseUp);
    EXPECT_EQ(events[1].x, -2);
    EXPECT_EQ(events[1].y, 5);
    EXPECT_EQ(GetCapture(), window->window());
    events
        = events_after({{WM_RBUTTONUP, 0, MAKELPARAM(5, 5)}, {WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-120)), 0}});
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(events[1].kind, InputEvent::Kind::MouseWheel);
    EXPECT_EQ(events[1].key, -120);

    // Moves that pile up while nobody reads are worth their last.
    events = events_after({{WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)}, {WM_MOUSEMOVE, 0, MAKELPARAM(8, 8)}});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].x, 4);
}

TEST_F(Win32Window, KeysComeAsVirtualKeysAndTypedCharactersAsWindows1252)
{
    open(1);
    auto events = events_after({{WM_KEYDOWN, VK_F5, 0}, {WM_KEYUP, VK_F5, 0}, {WM_SYSKEYDOWN, 'S', 1 << 29},
        {WM_CHAR, L'a', 0}, {WM_CHAR, 0x20AC, 0}, {WM_CHAR, 0x3042, 0}, {WM_CHAR, 0xD83D, 0},
        {WM_CHAR, 0xDE00, 0}, {WM_CHAR, 0xDE00, 0}, {WM_CHAR, 0xE9, 0}});
    std::vector<std::pair<InputEvent::Kind, int>> seen;
    for (const InputEvent& e : events)
        seen.emplace_back(e.kind, e.key);
    using K = InputEvent::Kind;
    // A character outside the code page is one "?", a pair of surrogates too; a lone low
    // surrogate is nothing.
    EXPECT_EQ(seen,
        (std::vector<std::pair<K, int>> {{K::KeyDown, VK_F5}, {K::KeyUp, VK_F5}, {K::KeyDown, 'S'},
            {K::Char, 'a'}, {K::Char, 0x80}, {K::Char, '?'}, {K::Char, '?'}, {K::Char, 0xE9}}));
}

TEST_F(Win32Window, TheCloseButtonEndsTheHostsLoop)
{
    open(1);
    PostMessageW(window->window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(host->run(), 0);
    EXPECT_TRUE(host->has_ended());
    EXPECT_EQ(window->window(), nullptr);

    // Looked for between the steps of a loop that reads no input, a close is found too.
    open(1);
    PostMessageW(window->window(), WM_CLOSE, 0, 0);
    Sleep(20);
    EXPECT_TRUE(host->check_for_close());
}

TEST_F(Win32Window, PresentedPixelsReachTheWindowAtItsScale)
{
    open(2);
    gdi::Surface frame(200, 100, 0x00FFFFFF);
    for (int y = 10; y < 20; ++y)
        for (int x = 30; x < 50; ++x)
            frame.scanline(y)[x] = 0x000080FF; // orange: red FF, green 80
    gdi::Rect changed {0, 0, 200, 100};
    window->present(frame, std::span(&changed, 1));
    GdiFlush();
    EXPECT_EQ(pixel_on_screen(60, 20), RGB(0xFF, 0x80, 0x00));
    EXPECT_EQ(pixel_on_screen(99, 39), RGB(0xFF, 0x80, 0x00));
    EXPECT_EQ(pixel_on_screen(100, 40), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(pixel_on_screen(59, 19), RGB(0xFF, 0xFF, 0xFF));

    // Only the changed rectangle is taken from the new frame.
    frame.fill(0);
    gdi::Rect small {30, 10, 31, 11};
    window->present(frame, std::span(&small, 1));
    GdiFlush();
    EXPECT_EQ(pixel_on_screen(60, 20), RGB(0, 0, 0));
    EXPECT_EQ(pixel_on_screen(61, 21), RGB(0, 0, 0));
    EXPECT_EQ(pixel_on_screen(62, 20), RGB(0xFF, 0x80, 0x00));
    EXPECT_EQ(pixel_on_screen(60, 22), RGB(0xFF, 0x80, 0x00));
}

TEST_F(Win32Window, TimersRunWhileABoxIsOpenAndACloseEndsIt)
{
    open(1);
    host::Timer timer(*form, "Timer1", 10, true);
    int ticks = 0;
    timer.on_tick = [&] {
        // The box is the system's own, owned by the form's window.
        if (++ticks == 3) {
            HWND box = GetLastActivePopup(window->window());
            EXPECT_NE(box, window->window());
            EXPECT_EQ(GetWindow(box, GW_OWNER), window->window());
            EXPECT_FALSE(IsWindowEnabled(window->window()));
            host->request_close();
        }
    };
    int answer = host->MsgBox("Delete the folder?", host::vbYesNo | host::vbExclamation, "Sorrel");
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(answer, host::vbNo);
    EXPECT_TRUE(host->has_ended());
    EXPECT_TRUE(IsWindowEnabled(window->window()));
}
