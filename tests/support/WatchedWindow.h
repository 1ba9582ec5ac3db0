#pragma once

// Watching a real window, driven from outside, until it shows the page its headless twin drew.

#include "platform/gdi/Color.h"
#include "platform/gdi/Surface.h"

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

namespace sorrel::test_support {

// The pixels of `shot` unlike `page` drawn at the whole-number scale that makes it the shot's
// size; all of them and one more when no scale does.
inline long differing_pixels(const gdi::Surface& shot, const gdi::Surface& page)
{
    int scale = page.width() > 0 ? shot.width() / page.width() : 0;
    if (scale < 1 || shot.width() != page.width() * scale || shot.height() != page.height() * scale)
        return long(shot.width()) * shot.height() + 1;
    long count = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            count += gdi::without_alpha(shot.pixel(x, y))
                != gdi::without_alpha(page.pixel(x / scale, y / scale));
    }
    return count;
}

struct WatchedPage {
    std::optional<gdi::Surface> shot; // the last capture
    long difference {-1}; // its pixels unlike the page; -1 when nothing was captured
};

// Clicks, then captures the window every 200 ms until it shows `page` or 30 seconds have passed
// (or `ended` says its program is gone). A window may be shown before it reads input, so a click
// after which nothing moves for two seconds is given again, up to five in all; that is harmless
// once the page has started to change.
inline WatchedPage watch_for_page(const gdi::Surface& page, const std::function<void()>& click,
    const std::function<std::optional<gdi::Surface>()>& capture, const std::function<bool()>& ended = {})
{
    WatchedPage watched;
    std::optional<gdi::Surface> previous;
    int clicks = 0;
    int unchanged = 0;
    for (int attempt = 0; attempt < 150 && !(ended && ended()); ++attempt) {
        if (clicks == 0 || (unchanged >= 10 && clicks < 5)) {
            click();
            ++clicks;
            unchanged = 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::optional<gdi::Surface> shot = capture();
        if (!shot)
            continue;
        watched.difference = differing_pixels(*shot, page);
        watched.shot = std::move(shot);
        if (watched.difference == 0)
            break;
        unchanged = previous && differing_pixels(*watched.shot, *previous) == 0 ? unchanged + 1 : 0;
        previous = watched.shot;
    }
    return watched;
}

} // namespace sorrel::test_support
