// sorrel.exe's real Win32 window under Wine on an X server, driven with xdotool: after "Begin
// Scan" its client area must look like the headless capture of the same state; and, started with
// no console, a start-up error it shows in a message box. Skips when not under Wine, without
// xdotool or without a display.

#include "platform/host/StdPicture.h"
#include "tests/app/AppFixture.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/WatchedWindow.h"
#include "tests/support/Wine.h"

#include <algorithm>
#include <optional>
#include <string>
#include <windows.h>

using namespace sorrel;
using namespace sorrel::app::testing;
using namespace sorrel::test_support;

namespace {

constexpr wchar_t Xdotool[] = L"Z:\\usr\\bin\\xdotool";

// Why the test cannot run here; empty when it can.
std::string missing_requirement()
{
    if (!under_wine())
        return "not running under Wine: the window is driven with xdotool on the X server Wine draws on";
    if (GetFileAttributesW(Xdotool) == INVALID_FILE_ATTRIBUTES)
        return "/usr/bin/xdotool is missing (Debian package xdotool)";
    if (!GetEnvironmentVariableW(L"DISPLAY", nullptr, 0))
        return "no display (DISPLAY is not set); .ci/test-windows runs this test under xvfb-run";
    return {};
}

// Runs xdotool with `arguments`. What Wine reports of the run is not to be relied on, so only
// the window's pixels tell whether a click arrived.
void xdotool(const std::wstring& arguments)
{
    run_unix(std::wstring(Xdotool) + L" " + arguments);
}

// The window's client area as the screen shows it: Wine reads the desktop's pixels from the X
// server, so what is captured is what reached the display, not what the program meant to draw.
std::optional<gdi::Surface> capture_client(HWND window)
{
    RECT client {};
    POINT origin {0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin) || client.right <= 0
        || client.bottom <= 0)
        return std::nullopt;
    int width = client.right, height = client.bottom;
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = bitmap ? SelectObject(memory, bitmap) : nullptr;
    bool copied = bitmap && BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    std::optional<gdi::Surface> pixels;
    if (copied) {
        pixels.emplace(width, height);
        const auto* row = static_cast<const uint32_t*>(bits);
        for (int y = 0; y < height; ++y, row += width) {
            for (int x = 0; x < width; ++x)
                pixels->set_pixel(
                    x, y, gdi::rgb(uint8_t(row[x] >> 16), uint8_t(row[x] >> 8), uint8_t(row[x])));
        }
    }
    if (bitmap) {
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

struct WindowsRealWindow : AppFixture { };

} // namespace

TEST_F(WindowsRealWindow, TheResultsPageLooksAsItDoesHeadless)
{
    if (std::string missing = missing_requirement(); !missing.empty())
        GTEST_SKIP() << missing;
    older_messenger('c');
    newer_messenger('d');
    gdi::Surface expected;
    gdi::Point click;
    ASSERT_NO_FATAL_FAILURE(headless_results_page(expected, click));

    RunningProgram sorrel(
        L"--drive \"c:=" + drive('c').wstring() + L"\" --drive \"d:=" + drive('d').wstring() + L"\"");
    ASSERT_TRUE(sorrel.started()) << "sorrel.exe did not start: error " << sorrel.start_error();
    HWND window = nullptr;
    for (DWORD start = GetTickCount(); !window && GetTickCount() - start < 30000; Sleep(100)) {
        window = sorrel.window();
        ASSERT_FALSE(sorrel.has_ended()) << "sorrel.exe ended with status " << sorrel.exit_code();
    }
    ASSERT_TRUE(window) << "the window did not appear within 30 seconds";

    // At the window's scale, the middle of the form pixel that the headless click went to.
    RECT client {};
    GetClientRect(window, &client);
    int scale = std::max(1, int(client.right) / std::max(expected.width(), 1));
    POINT target {click.x * scale + scale / 2, click.y * scale + scale / 2};
    ClientToScreen(window, &target);
    auto click_begin_scan = [&] {
        xdotool(L"mousemove " + std::to_wstring(target.x) + L" " + std::to_wstring(target.y) + L" click 1");
    };

    // The run lasts about a second of real time; look until the page matches or time is up.
    WatchedPage watched = watch_for_page(
        expected, click_begin_scan, [&] { return capture_client(window); },
        [&] { return sorrel.has_ended(); });
    ASSERT_FALSE(sorrel.has_ended()) << "sorrel.exe ended with status " << sorrel.exit_code();
    ASSERT_TRUE(watched.shot.has_value()) << "the window's pixels could not be read from the screen";
    if (watched.difference != 0)
        (void)host::save_png(*watched.shot, "windows-real-window-results.png");
    EXPECT_EQ(watched.difference, 0) << "see windows-real-window-results.png in the test's folder ("
                                     << watched.shot->width() << " x " << watched.shot->height()
                                     << " pixels; the page is " << expected.width() << " x "
                                     << expected.height() << ")";
}

namespace {

struct FoundBox {
    DWORD process;
    HWND box {nullptr};
};

BOOL CALLBACK find_box(HWND window, LPARAM found_box)
{
    auto* found = reinterpret_cast<FoundBox*>(found_box);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t type[16] = {};
    GetClassNameW(window, type, 16);
    if (owner != found->process || std::wstring(type) != L"#32770")
        return TRUE;
    found->box = window;
    return FALSE;
}

BOOL CALLBACK collect_text(HWND window, LPARAM text)
{
    wchar_t part[1024] = {};
    GetWindowTextW(window, part, 1024);
    *reinterpret_cast<std::wstring*>(text) += std::wstring(part) + L"\n";
    return TRUE;
}

} // namespace

// Started from Explorer or a shortcut there is no console to write to.
TEST(WindowsProgramWithoutConsole, AStartUpErrorIsShownInAMessageBoxToo)
{
    if (!under_wine() || !GetEnvironmentVariableW(L"DISPLAY", nullptr, 0))
        GTEST_SKIP() << "a message box needs a display; .ci/test-windows runs this test under xvfb-run";
    // Nor has the program's parent, Explorer, one for it to attach to. This test's own output goes
    // to its standard handles, not to a console.
    FreeConsole();
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    std::wstring command
        = L"\"" + windows_name_of(SORREL_PROGRAM).wstring() + L"\" --drive q:=C:\\sorrel-no-such-folder";
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
        nullptr, &startup, &process));
    FoundBox found {process.dwProcessId};
    for (int wait = 0; wait < 300 && !found.box; ++wait) {
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0)
            break;
        EnumWindows(find_box, reinterpret_cast<LPARAM>(&found));
    }
    // The box may be found before its texts are in it.
    std::wstring text;
    for (int wait = 0; found.box && wait < 50 && text.find(L"sorrel") == std::wstring::npos; ++wait) {
        Sleep(100);
        text.clear();
        EnumChildWindows(found.box, collect_text, reinterpret_cast<LPARAM>(&text));
    }
    if (found.box)
        PostMessageW(found.box, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    ASSERT_TRUE(found.box) << "no message box appeared; the program ended with status " << status;
    EXPECT_NE(text.find(L"sorrel-no-such-folder: no such folder"), std::wstring::npos)
        << std::string(text.begin(), text.end());
    EXPECT_EQ(status, 2u);
}
