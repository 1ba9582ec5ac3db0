// The QuillButton sheets: every ButtonType in every state, the outline shapes, the colour
// schemes and gradients, captions (styles, orientations, alignments, wrapping, shortening,
// access keys, fonts) and icons.

#include "controls/button/QuillButton.h"
#include "tools/gallery/GalleryHost.h"
#include "tools/gallery/SheetRegistry.h"

#include <string>

namespace sorrel::controls {

// The gallery poses buttons in states no pointer can hold still (pressed, the disabled snapshot)
// through the same private door the tests use.
class QuillButtonTestAccess {
public:
    explicit QuillButtonTestAccess(QuillButton& button)
        : b(button)
    { }
    void set_state(int32_t state) { b.m_button_state = FaceState(state); }
    void paint_snapshot() { b.PaintButton(true); }

private:
    QuillButton& b;
};

} // namespace sorrel::controls

namespace sorrel::gallery {

namespace {

using controls::QuillButton;
using controls::QuillButtonTestAccess;

enum class State {
    Up,
    Over,
    Pressed,
    Focused,
    FocusedPressed,
    Disabled,
    EnabledAgain,
    Snapshot,
    Selected,
    SelectedOver,
    SelectedDisabled,
    SelectedDisabledIconAfter,
};

const char* state_name(State s)
{
    switch (s) {
    case State::Up:
        return "up";
    case State::Over:
        return "pointer over";
    case State::Pressed:
        return "pressed";
    case State::Focused:
        return "focused";
    case State::FocusedPressed:
        return "focused, pressed";
    case State::Disabled:
        return "disabled";
    case State::EnabledAgain:
        return "enabled again, pointer gone";
    case State::Snapshot:
        return "disabled snapshot";
    case State::Selected:
        return "option set";
    case State::SelectedOver:
        return "option set, over";
    case State::SelectedDisabled:
        return "option set, disabled";
    case State::SelectedDisabledIconAfter:
        return "option set, disabled, then icon set";
    }
    return "";
}

constexpr State all_states[]
    = {State::Up, State::Over, State::Pressed, State::Focused, State::FocusedPressed, State::Disabled,
        State::EnabledAgain, State::Snapshot, State::Selected, State::SelectedOver, State::SelectedDisabled};

using Setup = std::function<void(QuillButton&)>;

// One button: `setup` runs at design time (most settings are read-only at run time), then the
// button is put into `state` and painted.
gdi::Surface button(int w, int h, const Setup& setup, State state = State::Up)
{
    return GalleryHost::the().capture(
        std::make_unique<QuillButton>(), w, h,
        [&](GalleryHost::Stage& stage) {
            auto& b = static_cast<QuillButton&>(stage.control);
            b.Caption("Begin &Scan");
            if (setup)
                setup(b);
        },
        [&](GalleryHost::Stage& stage) {
            auto& b = static_cast<QuillButton&>(stage.control);
            QuillButtonTestAccess access(b);
            switch (state) {
            case State::Up:
                break;
            case State::Over:
                access.set_state(4);
                break;
            case State::Pressed:
                access.set_state(2);
                break;
            case State::Focused:
                b.SetFocus();
                break;
            case State::FocusedPressed:
                b.SetFocus();
                access.set_state(2);
                break;
            case State::EnabledAgain:
                // Clicked, disabled by its own Click under the pointer, enabled again after the
                // pointer has left: the plain face, not the pointer-over one.
                stage.input.click(b);
                b.Enabled(false);
                stage.input.mouse_move(b.pixel_width() + 30, b.pixel_height() + 30);
                stage.input.advance(300);
                b.Enabled(true);
                break;
            case State::Disabled:
            case State::Snapshot:
                b.Enabled(false);
                break;
            case State::Selected:
            case State::SelectedOver:
            case State::SelectedDisabled:
            case State::SelectedDisabledIconAfter:
                b.OptionButton(true);
                b.Value(true);
                if (state == State::SelectedOver)
                    access.set_state(4);
                if (state != State::Selected && state != State::SelectedOver)
                    b.Enabled(false);
                if (state == State::SelectedDisabledIconAfter)
                    b.Icon(host::PictureRef(b.Icon()));
                break;
            }
            if (state == State::Snapshot)
                access.paint_snapshot();
            else
                b.RefreshButton();
        });
}

// A small picture for the icon cells: a blue diamond with a yellow dot on a transparent ground,
// or the same as a bitmap on white.
host::PictureRef sample_picture(host::PictureType type, int side = 32)
{
    gdi::Surface pixels(side, side, type == host::PictureType::Icon ? 0x00000000 : 0xFFFFFFFF);
    const int c = side / 2;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            int d = std::abs(x - c) + std::abs(y - c);
            if (d < c - 1)
                pixels.set_pixel(x, y, 0xFFC06020);
            if ((x - c) * (x - c) + (y - c) * (y - c) < side * side / 36)
                pixels.set_pixel(x, y, 0xFF20D0F0);
        }
    return host::StdPicture::from_surface(std::move(pixels), type);
}

const char* type_name(int type)
{
    static const char* names[]
        = {"", "1 classic", "2 bevel", "3 XP", "4 soft", "5 ring", "6 thin", "7 flat", "8 Macintosh"};
    return type >= 1 && type <= 8 ? names[type] : "other";
}

Sheet types_sheet()
{
    Sheet sheet("QuillButton: every ButtonType in every state");
    sheet.note("Colour scheme 1 (system colours), caption \"Begin &Scan\", 110 x 33 pixels.");
    sheet.note(
        "The disabled snapshot is the face PrepareIcon lifts icon backgrounds from: no caption, except "
        "a set Macintosh option button.");
    sheet.note("Enabled again: clicked, disabled under the pointer, then enabled once the pointer has left.");
    for (int type = 1; type <= 8; ++type) {
        sheet.row(std::string("ButtonType ") + type_name(type));
        for (State state : all_states)
            sheet.add(button(
                          110, 33, [&](QuillButton& b) { b.ButtonType(type); }, state),
                state_name(state));
    }
    return sheet;
}

Sheet shapes_sheet()
{
    Sheet sheet("QuillButton: the four ButtonStyle outlines");
    sheet.note(
        "Each face in each outline, up and pressed; 130 x 33 pixels. Pixels outside the window outline "
        "show the sheet. A slanted outline puts the focus rectangle around the caption, which a press "
        "moves one pixel right and down; the rectangle moves with it.");
    const char* styles[]
        = {"0 rectangle", "1 slanted right end", "2 both ends slanted", "3 slanted left end"};
    for (int style = 0; style <= 3; ++style) {
        sheet.row(std::string("ButtonStyle ") + styles[style]);
        for (int type = 1; type <= 8; ++type)
            for (State state : {State::Up, State::Pressed})
                sheet.add(button(
                              130, 33,
                              [&](QuillButton& b) {
                                  b.ButtonType(type);
                                  b.ButtonStyle(style);
                              },
                              state),
                    std::string(type_name(type)) + ", " + state_name(state));
    }
    sheet.row("ButtonStyle 1, focused");
    for (int type : {1, 2, 4, 5, 6, 7})
        for (State state : {State::Focused, State::FocusedPressed})
            sheet.add(button(
                          130, 33,
                          [&](QuillButton& b) {
                              b.ButtonType(type);
                              b.ButtonStyle(1);
                          },
                          state),
                std::string(type_name(type)) + ", " + state_name(state));
    return sheet;
}

Sheet schemes_sheet()
{
    Sheet sheet("QuillButton: the five colour schemes and the gradient");
    sheet.note(
        "Scheme 2 uses BackColor &HA0C8E0, ForeColor &H402000 and MouseOver &H0000C0; scheme 5 runs from "
        "&HFFE0C0 to &H804000.");
    const char* schemes[] = {"", "1 system", "2 custom", "3 light grey", "4 container", "5 gradient"};
    auto custom = [](QuillButton& b) {
        b.BackColor(0xA0C8E0);
        b.ForeColor(0x402000);
        b.MouseOver(0x0000C0);
    };
    for (int scheme = 1; scheme <= 5; ++scheme) {
        sheet.row(std::string("ColorScheme ") + schemes[scheme]);
        for (int type = 1; type <= 8; ++type)
            for (State state : {State::Up, State::Over})
                sheet.add(button(
                              110, 33,
                              [&](QuillButton& b) {
                                  b.ButtonType(type);
                                  if (scheme == 2)
                                      custom(b);
                                  if (scheme == 5) {
                                      b.GradientStartColor(0xFFE0C0);
                                      b.GradientStopColor(0x804000);
                                      custom(b);
                                      b.ColorScheme(5);
                                  } else if (scheme != 2) {
                                      b.ColorScheme(scheme);
                                  }
                              },
                              state),
                    std::string(type_name(type)) + ", " + state_name(state));
    }
    sheet.row("Gradient orientation");
    const char* orientations[] = {"0 left to right", "1 top to bottom", "2 right to left", "3 bottom to top"};
    for (int orientation = 0; orientation <= 3; ++orientation)
        for (State state : {State::Up, State::Disabled, State::Selected})
            sheet.add(button(
                          120, 40,
                          [&](QuillButton& b) {
                              b.GradientStartColor(0xFFE0C0);
                              b.GradientStopColor(0x804000);
                              b.GradientOrientation(orientation);
                              b.ButtonType(orientation % 2 ? 6 : 2);
                          },
                          state),
                std::string(orientations[orientation]) + ", " + state_name(state));
    return sheet;
}

Sheet captions_sheet()
{
    Sheet sheet("QuillButton: captions");
    sheet.note(
        "Styled captions use the custom scheme (emboss colours &HFFFFFF and &H808080). Vertical captions "
        "are 44 x 120 pixels.");
    sheet.row("CaptionStyle");
    const char* styles[] = {"0 plain", "1 embossed", "2 engraved", "3 shadowed"};
    for (int style = 0; style <= 3; ++style)
        for (State state : {State::Up, State::Pressed, State::Disabled})
            sheet.add(button(
                          120, 33,
                          [&](QuillButton& b) {
                              b.ButtonType(2);
                              b.BackColor(0xB0B0B0);
                              b.EmbossEngraveShadow(0xFFFFFF);
                              b.EmbossEngraveMid(0x808080);
                              b.CaptionStyle(style);
                          },
                          state),
                std::string(styles[style]) + ", " + state_name(state));

    const char* alignments[] = {"left", "centre", "right"};
    sheet.row("Horizontal alignment");
    for (int alignment = 0; alignment <= 2; ++alignment)
        for (int style : {0, 1, 3})
            sheet.add(button(140, 33,
                          [&](QuillButton& b) {
                              b.ButtonType(2);
                              b.ButtonStyle(style);
                              b.Alignment(alignment);
                          }),
                std::string(alignments[alignment]) + ", ButtonStyle " + std::to_string(style));
    for (int orientation = 1; orientation <= 2; ++orientation) {
        sheet.row(orientation == 1 ? "Vertical, reading up" : "Vertical, reading down");
        for (int alignment = 0; alignment <= 2; ++alignment)
            for (bool two_lines : {false, true})
                sheet.add(button(two_lines ? 60 : 44, 120,
                              [&](QuillButton& b) {
                                  b.ButtonType(3);
                                  b.CaptionOrientation(orientation);
                                  b.Alignment(alignment);
                                  b.Font(host::StdFont::create("Liberation Sans", 8));
                                  b.Caption(two_lines ? "Begin the long &scan now" : "&Scan");
                              }),
                    std::string(alignments[alignment]) + (two_lines ? ", wrapped" : ""));
    }
    sheet.row("Wrapping and shortening");
    struct Example {
        const char* caption;
        int w, h;
        const char* label;
    };
    const Example examples[] = {
        {"Begin the scan of every drive", 110, 48, "wrapped"},
        {"One two three four five six seven", 80, 48, "cut after M + 1 lines"},
        {"Supercalifragilistic", 70, 33, "first word shortened"},
        {"Internationalisation settings", 100, 33, "first word just too long"},
        {"aaa bbbbbbbbbbbbbbbbbbbb", 46, 80, "later long word cut"},
        {"Too low to wrap at all", 60, 10, "lower than a line"},
    };
    for (auto& e : examples)
        sheet.add(button(e.w, e.h,
                      [&](QuillButton& b) {
                          b.ButtonType(2);
                          b.Caption(e.caption);
                      }),
            e.label);
    sheet.row("Access keys");
    for (const char* caption : {"&Scan", "Save && Exit", "Save && &Exit", "&&&X", "Scan&", "E&xit"})
        sheet.add(button(110, 33,
                      [&](QuillButton& b) {
                          b.ButtonType(3);
                          b.Caption(caption);
                      }),
            caption);
    sheet.row("Fonts");
    struct FontExample {
        const char* label;
        bool bold, italic, underline, strike;
        double size;
    };
    const FontExample fonts[] = {
        {"bold", true, false, false, false, 8.25},
        {"italic", false, true, false, false, 8.25},
        {"bold italic", true, true, false, false, 8.25},
        {"underlined", false, false, true, false, 8.25},
        {"struck out", false, false, false, true, 8.25},
        {"12 point", false, false, false, false, 12},
    };
    for (auto& f : fonts)
        sheet.add(button(110, 33,
                      [&](QuillButton& b) {
                          b.ButtonType(2);
                          auto font = host::StdFont::create("Times New Roman", f.size);
                          font->Bold(f.bold);
                          font->Italic(f.italic);
                          font->Underline(f.underline);
                          font->Strikethrough(f.strike);
                          b.Font(font);
                      }),
            f.label);
    return sheet;
}

Sheet icons_sheet()
{
    Sheet sheet("QuillButton: icons");
    sheet.note("A 32 x 32 icon (transparent ground) and bitmap (white ground) drawn at IconSize x 8 pixels.");
    for (int size = 1; size <= 4; ++size) {
        sheet.row("IconSize " + std::to_string(size) + " (" + std::to_string(size * 8) + " px)");
        for (auto type : {host::PictureType::Icon, host::PictureType::Bitmap})
            for (State state : {State::Up, State::Pressed, State::Disabled})
                sheet.add(button(
                              130, 44,
                              [&](QuillButton& b) {
                                  b.ButtonType(3);
                                  b.IconSize(size);
                                  b.Icon(sample_picture(type));
                              },
                              state),
                    std::string(type == host::PictureType::Icon ? "icon, " : "bitmap, ") + state_name(state));
    }
    sheet.row("Placement");
    struct Placement {
        const char* label;
        int alignment, icon_alignment, orientation, style;
        const char* caption;
        int w, h;
    };
    const Placement placements[] = {
        {"before, centred", 1, 0, 0, 0, "Scan", 130, 33},
        {"after, centred", 1, 1, 0, 0, "Scan", 130, 33},
        {"after, left", 0, 1, 0, 0, "Scan", 130, 33},
        {"before, right", 2, 0, 0, 0, "Scan", 130, 33},
        {"icon only", 1, 0, 0, 0, "", 60, 33},
        {"icon only, style 1", 1, 0, 0, 1, "", 90, 33},
        {"icon only, style 3", 1, 0, 0, 3, "", 90, 33},
        {"vertical up", 1, 0, 1, 0, "Scan", 44, 120},
        {"vertical down", 1, 0, 2, 0, "Scan", 44, 120},
    };
    for (auto& p : placements)
        sheet.add(button(p.w, p.h,
                      [&](QuillButton& b) {
                          b.ButtonType(2);
                          b.ButtonStyle(p.style);
                          b.Caption(p.caption);
                          b.Alignment(p.alignment);
                          b.IconAlignmentValue(p.icon_alignment);
                          b.CaptionOrientation(p.orientation);
                          if (p.orientation)
                              b.Font(host::StdFont::create("Liberation Sans", 8));
                          b.Icon(sample_picture(host::PictureType::Icon));
                      }),
            p.label);
    sheet.row("Disabled on a gradient");
    for (int type : {1, 2, 4, 5, 6})
        sheet.add(button(
                      120, 40,
                      [&](QuillButton& b) {
                          b.ButtonType(type);
                          b.GradientStartColor(0xFFE0C0);
                          b.GradientStopColor(0x804000);
                          b.Icon(sample_picture(host::PictureType::Icon));
                      },
                      State::Disabled),
            type_name(type));
    sheet.row("Disabled, lower or narrower than a 32-pixel icon");
    struct Small {
        int type, w, h;
    };
    // Named members rather than a structured binding: the lambda captures the type, and clang
    // before 16 cannot capture a binding.
    for (const Small& small : {Small {2, 70, 24}, Small {2, 26, 48}, Small {3, 70, 24}, Small {8, 26, 48}})
        sheet.add(button(
                      small.w, small.h,
                      [&](QuillButton& b) {
                          b.ButtonType(small.type);
                          b.Caption("");
                          b.IconSize(4);
                          b.Icon(sample_picture(host::PictureType::Bitmap));
                      },
                      State::Disabled),
            std::string(type_name(small.type)) + ", " + std::to_string(small.w) + " x "
                + std::to_string(small.h));
    // The greyed copy is backed with the face it was prepared on: an icon prepared on the set,
    // disabled face sits on it without a square, one prepared earlier keeps the earlier face.
    sheet.row("Option set and disabled, with an icon");
    for (int type : {2, 3, 8})
        for (State state : {State::SelectedDisabledIconAfter, State::SelectedDisabled})
            sheet.add(button(
                          130, 44,
                          [&](QuillButton& b) {
                              b.ButtonType(type);
                              b.Icon(sample_picture(host::PictureType::Icon));
                          },
                          state),
                std::string(type_name(type)) + ", " + state_name(state));
    return sheet;
}

const SheetRegistration types("button-types", "every ButtonType in every state", types_sheet);
const SheetRegistration shapes("button-shapes", "the four ButtonStyle outlines for every face", shapes_sheet);
const SheetRegistration schemes(
    "button-schemes", "colour schemes 1 to 5 and the gradient orientations", schemes_sheet);
const SheetRegistration captions("button-captions",
    "caption styles, orientations, alignments, wrapping, access keys, fonts", captions_sheet);
const SheetRegistration icons(
    "button-icons", "icons in all four sizes, enabled and disabled, and placement", icons_sheet);

} // namespace

} // namespace sorrel::gallery
