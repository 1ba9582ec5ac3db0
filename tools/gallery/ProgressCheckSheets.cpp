// The progress bar and check box sheets: every tile set at several values, the two painters
// step by step, the check box's twelve pictures and the live box in its states.

#include "controls/check/Check.h"
#include "controls/check/CheckPictures.h"
#include "controls/progressbar/ProgressBar.h"
#include "tools/gallery/GalleryHost.h"
#include "tools/gallery/SheetRegistry.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace sorrel::gallery {

namespace {

using controls::Check;
using controls::ProgressBar;

void require_pictures()
{
    for (const auto& loaded : {controls::register_progress_bar(), controls::register_check()}) {
        if (loaded.is_error()) {
            std::fprintf(stderr, "sorrel-gallery: %s\n", loaded.error().message.c_str());
            std::exit(1);
        }
    }
}

// A bar `width` pixels wide in `look`, driven one unit at a time from Min to `value`.
gdi::Surface bar(int width, int look, int style, int max, int value)
{
    return GalleryHost::the().capture(
        std::make_unique<ProgressBar>(), width, 17,
        [&](GalleryHost::Stage& s) {
            auto& b = static_cast<ProgressBar&>(s.control);
            b.ProgressLook(look);
            b.Style(style);
            b.Max(int16_t(max));
            // A look set after the first paint is measured at the next resize, as in the designer.
            b.UserControl_Resize();
        },
        [&](GalleryHost::Stage& s) {
            auto& b = static_cast<ProgressBar&>(s.control);
            for (int v = 1; v <= value; ++v)
                b.Value(v);
        });
}

Sheet looks_sheet()
{
    require_pictures();
    Sheet sheet("ProgressBar: the eight tile sets");
    sheet.note("A 225 x 17 bar (the main window's size), Min 0, Max 100, driven one unit at a time.");
    for (int look = 0; look < ProgressBar::LookCount; ++look) {
        sheet.row("ProgressLook " + std::to_string(look) + " ("
            + std::string(ProgressBar::LookNames[size_t(look)]) + ")");
        for (int value : {0, 30, 70, 100})
            sheet.add(bar(225, look, 0, 100, value), "Value " + std::to_string(value));
    }
    return sheet;
}

Sheet painters_sheet()
{
    require_pictures();
    Sheet sheet("ProgressBar: block painter and moving chunk");
    sheet.note("Block painter: one step per assigned value when Max is not 100; the end piece squeezes "
               "the last tile into what is left before the inner edge.");
    sheet.note("Moving chunk (Style 1): three half-width slivers move 5 pixels a value and start again at "
               "the left after the edge.");
    sheet.row("Max 10, width 225");
    for (int value : {1, 3, 6, 10})
        sheet.add(bar(225, 2, 0, 10, value), "Value " + std::to_string(value));
    sheet.row("Max 100, end piece");
    for (int width : {225, 228, 230, 232})
        sheet.add(bar(width, 0, 0, 100, 100), "width " + std::to_string(width));
    sheet.row("Style 1, width 60");
    for (int value : {1, 4, 9, 11, 12})
        sheet.add(bar(60, 6, 1, 100, value), "Value " + std::to_string(value));
    return sheet;
}

// The check box's own surface with its caption box and picture box drawn on top, where they lie.
gdi::Surface composed(const Check& check)
{
    gdi::Surface out = GalleryHost::pixels_of(check);
    for (const host::Control* child : {static_cast<const host::Control*>(&check.caption_box()),
             static_cast<const host::Control*>(&check.picture_box())}) {
        const gdi::Surface* pixels = child->surface();
        if (!pixels)
            continue;
        const gdi::Rect place = child->pixel_rect();
        for (int y = 0; y < pixels->height(); ++y)
            for (int x = 0; x < pixels->width(); ++x)
                if (out.in_bounds(place.left + x, place.top + y))
                    out.set_pixel(place.left + x, place.top + y, gdi::with_alpha(pixels->pixel(x, y), 0xFF));
    }
    return out;
}

enum class Pose { Resting, Pushed, Disabled, Focused, PushedAtDesignTime };

gdi::Surface check_box(int value, Pose pose, int height = 17)
{
    gdi::Surface shot;
    GalleryHost::the().capture(
        std::make_unique<Check>(), 73, height,
        [&](GalleryHost::Stage& s) {
            auto& c = static_cast<Check&>(s.control);
            c.Caption("Remove");
            // At design time a press changes nothing: the idle picture stays.
            if (pose == Pose::PushedAtDesignTime) {
                c.Value(value);
                c.Picture1_MouseDown(host::vbLeftButton, 0, 90, 90);
            }
        },
        [&](GalleryHost::Stage& s) {
            auto& c = static_cast<Check&>(s.control);
            if (pose != Pose::PushedAtDesignTime)
                c.Value(value);
            if (pose == Pose::Disabled)
                c.Enabled(false);
            if (pose == Pose::Pushed)
                c.Picture1_MouseDown(host::vbLeftButton, 0, 90, 90);
            if (pose == Pose::Focused)
                c.SetFocus();
            shot = composed(c);
        });
    return shot;
}

Sheet check_sheet()
{
    require_pictures();
    Sheet sheet("Check: the twelve state pictures and the box in use");
    sheet.note(
        "Left: the 13 x 13 pictures of each value in the idle, mouse-over, pushed and disabled looks. "
        "Right: a 1095 x 255-twip box showing them (pushed: the picture of the value before the press; "
        "focused: the dotted rectangle around the caption; pushed at design time: unchanged).");
    static constexpr const char* rows[3][5] = {
        {"Value 0 unticked", "IdleNoValue", "MouseoverNoValue", "PushedNoValue", "DisabledNoValue"},
        {"Value 1 ticked", "IdleChecked", "MouseoverChecked", "PushedChecked", "CheckedDisabled"},
        {"Value 2 greyed", "IdleGreyed", "MouseoverGreyed", "PushedGreyed", "DisabledGrey"},
    };
    for (int value = 0; value <= 2; ++value) {
        sheet.row(rows[value][0]);
        for (int look = 1; look <= 4; ++look) {
            host::PictureRef picture = controls::check_pictures::built_in().find(rows[value][look]);
            sheet.add(picture ? picture->pixels() : gdi::Surface(), rows[value][look]);
        }
        sheet.add(check_box(value, Pose::Resting), "resting");
        sheet.add(check_box(value, Pose::Pushed), "pushed");
        sheet.add(check_box(value, Pose::Disabled), "disabled");
        sheet.add(check_box(value, Pose::Focused), "focused");
        sheet.add(check_box(value, Pose::PushedAtDesignTime), "pushed at design time");
    }
    // The caption box's own square is centred as the picture is, so it never shows beside it.
    sheet.row("Heights from 14 to 21 pixels, ticked");
    for (int height = 14; height <= 21; ++height)
        sheet.add(check_box(1, Pose::Resting, height), std::to_string(height) + " px");
    return sheet;
}

const SheetRegistration looks("progressbar-looks", "the eight tile sets at several values", looks_sheet);
const SheetRegistration painters(
    "progressbar-painters", "block painter steps, end piece, moving chunk", painters_sheet);
const SheetRegistration checks(
    "check-states", "the twelve check box pictures and the box in use", check_sheet);

} // namespace

} // namespace sorrel::gallery
