#pragma once

// QuillButton: an owner-drawn command button with eight face styles, four outline shapes, five
// colour schemes, gradients, icons, rotated and styled captions, option-button groups and hover
// tracking.
//
// [SECTION] Where things are
//   QuillButton.cpp              model: properties, setters, persistence, lifecycle
//   QuillButtonInteraction.cpp   mouse, keys, focus, hover timer, option groups, RefreshButton
//   QuillButtonOutline.cpp       window outline (BuildOutline) and UserControl_Resize
//   QuillButtonSchemes.cpp       ProbePlatform and ApplyColorScheme
//   QuillButtonPrimitives.cpp    ShiftColor, TranslateSystemColor and the drawing primitives
//   QuillButtonPaint.cpp ...     the paint pipeline, the faces, the caption and the icon
//
// Behaviour and drawing stay apart: the interaction code changes m_button_state and the other
// members, then asks for RefreshButton; only the paint pipeline draws.

#include "controls/button/ButtonVocabulary.h"
#include "controls/button/CaptionLayout.h"
#include "platform/gdi/Gdi.h"
#include "platform/host/PictureBox.h"
#include "platform/host/PropertyBag.h"
#include "platform/host/StdFont.h"
#include "platform/host/StdPicture.h"
#include "platform/host/Timer.h"
#include "platform/host/UserControl.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::controls {

// A colour argument of DrawCaptionAndIcon that skips its drawing pass (-1 as a signed value).
constexpr gdi::Color NoPass = 0xFFFFFFFF;

// The help text the control publishes for one of its properties (empty when it has none).
std::string_view quill_button_property_help(std::string_view property);

// Makes "QuillButton" known to form files; the program calls it once at start.
void register_quill_button();

class QuillButton : public host::UserControl {
public:
    QuillButton();
    ~QuillButton() override;

    std::string_view kind() const override { return "QuillButton"; }
    std::string dump_text() const override { return m_caption; }
    bool enabled_property() const override { return m_enabled; }
    bool describe_accessible(host::AccessibleNode& node) const override;

    // [SECTION] Public properties
    // Each property has a getter and a setter of the same name. Setters that act only at design
    // time return without effect at run time; refused values change nothing and report nothing.

    int32_t ButtonType() const { return m_button_type; }
    void ButtonType(int32_t value);
    int32_t ButtonStyle() const { return m_button_style; }
    void ButtonStyle(int32_t value);
    int32_t ColorScheme() const { return m_color_scheme; }
    void ColorScheme(int32_t value);

    gdi::Color BackColor() const { return m_back_color; }
    void BackColor(gdi::Color value);
    gdi::Color ForeColor() const { return m_fore_color; }
    void ForeColor(gdi::Color value);
    gdi::Color MouseOver() const { return m_mouse_over; }
    void MouseOver(gdi::Color value);
    gdi::Color EmbossEngraveMid() const { return m_emboss_mid; }
    void EmbossEngraveMid(gdi::Color value);
    gdi::Color EmbossEngraveShadow() const { return m_emboss_shadow; }
    void EmbossEngraveShadow(gdi::Color value);
    gdi::Color GradientStartColor() const { return m_gradient_start; }
    void GradientStartColor(gdi::Color value);
    gdi::Color GradientStopColor() const { return m_gradient_stop; }
    void GradientStopColor(gdi::Color value);
    int32_t GradientOrientation() const { return m_gradient_orientation; }
    void GradientOrientation(int32_t value);

    const std::string& Caption() const { return m_caption; }
    void Caption(std::string value);
    const host::FontRef& Font() const { return TextFont; }
    void Font(host::FontRef font);
    int32_t CaptionStyle() const { return m_caption_style; }
    void CaptionStyle(int32_t value);
    int32_t CaptionOrientation() const { return m_caption_orientation; }
    void CaptionOrientation(int32_t value);
    int32_t Alignment() const { return m_alignment; }
    void Alignment(int32_t value);

    const host::PictureRef& Icon() const { return m_icon; }
    void Icon(host::PictureRef picture);
    int32_t IconSize() const { return m_icon_size; }
    void IconSize(int32_t value);
    int32_t IconAlignmentValue() const { return m_icon_alignment; }
    void IconAlignmentValue(int32_t value);

    // The stored value; a right-button press clears it until the swallowed click or until the
    // pointer leaves, while the host control stays enabled.
    bool Enabled() const { return m_enabled; }
    void Enabled(bool value);
    bool ShowFocus() const { return m_show_focus; }
    void ShowFocus(bool value);
    bool OptionButton() const { return m_option_button; }
    void OptionButton(bool value);
    bool Value() const { return m_value; }
    void Value(bool value);
    // Reads the effective mode: the requested one, or the platform's choice for a negative one.
    int32_t GraphicsMode() const { return m_effective_graphics_mode; }
    void GraphicsMode(int32_t value);
    int32_t MousePointer() const { return host::UserControl::MousePointer(); }
    void MousePointer(int32_t value);
    const host::PictureRef& MouseIcon() const { return host::UserControl::MouseIcon(); }
    void MouseIcon(host::PictureRef picture);

    int32_t hwnd() const { return hWnd(); }
    // The name of the window object that holds the button, with "(index)" for a member of a
    // control array: the name of its option group.
    std::string Container() const;

    // Redraws the button now.
    void RefreshButton();

    // [SECTION] Host notifications
    void UserControl_Initialize() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(host::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(host::PropertyBag& PropBag) override;
    void UserControl_Show() override;
    void UserControl_Resize() override;
    void UserControl_Terminate() override;
    void UserControl_MouseDown(int16_t Button, int16_t Shift, float X, float Y) override;
    void UserControl_MouseMove(int16_t Button, int16_t Shift, float X, float Y) override;
    void UserControl_MouseUp(int16_t Button, int16_t Shift, float X, float Y) override;
    void UserControl_Click() override;
    void UserControl_DblClick() override;
    void UserControl_KeyDown(int16_t& KeyCode, int16_t& Shift) override;
    void UserControl_KeyPress(int16_t& KeyAscii) override;
    void UserControl_KeyUp(int16_t& KeyCode, int16_t& Shift) override;
    void UserControl_AccessKeyPress(int16_t KeyAscii) override;
    void UserControl_EnterFocus() override;
    void UserControl_ExitFocus() override;
    void UserControl_AmbientChanged(const std::string& PropertyName) override;
    void TimerHover_Timer();
    void TextFont_FontChanged(const std::string& PropertyName);

private:
    // Tests reach the private state through this class (defined in the tests only).
    friend class QuillButtonTestAccess;

    // [SECTION] Helpers shared by every part of the class
    // The stored settings by name; a damaged stored value comes back as it is.
    FaceType face_type() const { return FaceType(m_button_type); }
    OutlineStyle outline_style() const { return OutlineStyle(m_button_style); }
    SchemeKind scheme() const { return SchemeKind(m_color_scheme); }
    void set_scheme(SchemeKind value) { m_color_scheme = int32_t(value); }
    // The surface's ScaleWidth and ScaleHeight rounded to whole pixels, halves to even.
    int face_width() const;
    int face_height() const;
    bool design_mode() const;
    // The device context of the window that holds the button (null before it is placed).
    gdi::HDC parent_dc() const;
    // Tells the host a stored key changed; only at design time.
    void mark(std::string_view key);
    void mark_all(std::initializer_list<std::string_view> keys);
    // The rule of the custom-colour setters and CaptionStyle: outside the custom schemes (2 and 5)
    // a value only takes at design time, where it switches the scheme to 2 and marks the keys.
    // False when the setter must return.
    bool enter_custom_scheme(std::initializer_list<std::string_view> keys_when_switching);
    // A custom colour setter up to its repaint: the colour (a system-colour reference translated)
    // is refused unchanged or under enter_custom_scheme's rule, else stored in `field`, `key`
    // marked and the scheme applied. False when the setter must return.
    bool store_custom_color(gdi::Color& field, gdi::Color value, std::string_view key,
        std::initializer_list<std::string_view> keys_when_switching);
    // GradientStartColor and GradientStopColor: refused on the XP and Macintosh faces (with a
    // message at design time); outside scheme 5 taken only at design time, switching to it.
    void set_gradient_color(
        gdi::Color& field, gdi::Color value, std::string_view key, std::string_view other_key);
    // The settings read-only at run time: a value outside lowest..highest or unchanged is refused,
    // and so is any value at run time; otherwise it is stored in `field` and `key` marked. False
    // when the setter must return.
    bool store_design_setting(
        int32_t& field, int32_t value, int32_t lowest, int32_t highest, std::string_view key);
    // Hands TextFont to the host control and follows its change notices.
    void attach_text_font(host::FontRef font);
    // The effective graphics mode for a requested one.
    int32_t effective_graphics_mode(int32_t requested);
    // The two raisers of the press and release events; Button -1 marks a simulated call.
    void raise_mouse_event(std::string_view event, int16_t Button, int16_t Shift, float X, float Y);
    void raise_key_event(std::string_view event, int16_t KeyCode, int16_t Shift);

    // [SECTION] Interaction (QuillButtonInteraction.cpp)
    void SelectInGroup();
    void RefreshAndWait(float seconds);
    // Whether the pointer lies over this button's own window now.
    bool PointerOver() const;
    // A button enabled again under a pointer that has not moved: the pointer-over look and the
    // hover timer, as if the pointer had just moved in.
    void ResumeHover();

    // [SECTION] Outline (QuillButtonOutline.cpp)
    void BuildOutline();

    // [SECTION] Platform and colour schemes (QuillButtonSchemes.cpp)
    // Without the gradient query: the caption's graphics mode for this platform. With it: -1 when
    // the platform has no gradient fill, else the same answer.
    int16_t ProbePlatform(bool gradientQuery);
    void ApplyColorScheme(bool resetColours);
    // The palette of the current scheme.
    Palette scheme_palette() const;

    // [SECTION] Colour helpers and drawing primitives (QuillButtonPrimitives.cpp)
    // Each primitive draws on the control's own surface and creates and deletes its own pen or
    // brush. Rectangles exclude their right and bottom edges; lines exclude their end point.
    // Moves red and green by `amount`; blue by `amount`, or by blue * amount / 192 when
    // `proportional`; clamps each channel to 0..255. `text`, when given, receives the three
    // channels as nine digits ("240240240").
    static gdi::Color ShiftColor(
        gdi::Color colour, int32_t amount, bool proportional, std::string* text = nullptr);
    // A system-colour reference (top bit set, below -1 as a signed value) becomes the current
    // system colour of its low byte; every other value comes back unchanged.
    static gdi::Color TranslateSystemColor(gdi::Color value);
    void SetPixelAt(int32_t x, int32_t y, gdi::Color colour);
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, gdi::Color colour);
    // Fills the rectangle, or outlines it: a one-pixel frame for ButtonStyle 0, the slanted
    // polygon of ButtonStyle 1..3 otherwise. A null dc means the control's own surface.
    void FillOrOutline(int32_t left, int32_t top, int32_t right, int32_t bottom, gdi::Color colour,
        bool outline, gdi::HDC dc = nullptr);
    void DrawBevel(
        gdi::Color c1, gdi::Color c2, gdi::Color c3, gdi::Color c4, int16_t BevelInset, bool OuterOnly);
    void DrawFocusIndicator(const FaceLook& face);
    void PaintGradient();
    // The slants of the segmented outline for the current ButtonStyle (0, 0 for a rectangle and
    // for a damaged value outside 0..3).
    int32_t slant_right() const;
    int32_t slant_left() const;

    // [SECTION] Painting (QuillButtonPaint.cpp and the face, caption and icon files)
    void PaintButton(bool snapshot);
    // The look of the next paint; the snapshot is the disabled look without caption and icon.
    FaceLook face_look(bool snapshot) const;
    void DrawRestingCaption(const FaceLook& face, gdi::Color grey_second);
    void PaintSetOptionFace(const FaceLook& face, std::array<gdi::Color, 4> bevel, gdi::Color grey_second);
    void PaintClassicFace(const FaceLook& face);
    void PaintBevelFace(const FaceLook& face);
    void PaintXPFace(const FaceLook& face);
    void PaintSoftFace(const FaceLook& face);
    void PaintRingFace(const FaceLook& face);
    void PaintThinFace(const FaceLook& face);
    void PaintMacFace(const FaceLook& face);
    void ParseAccessKey();
    void CreateCaptionFont(bool relayout);
    void LayoutCaption();
    // Colours of NoPass skip their pass.
    void DrawCaptionAndIcon(
        const FaceLook& face, gdi::Color textColour, gdi::Color secondColour, gdi::Color firstColour);
    // 1 while a pressed push button draws its caption and icon one pixel right and down, else 0.
    int32_t pressed_offset(const FaceLook& face) const;
    void PrepareIcon();
    // The icon at (x, y): the picture itself while enabled, the prepared greyed copy otherwise.
    void DrawIcon(bool enabled, int32_t x, int32_t y);
    // Deletes the caption font kept between paints and selects the surface's own font back.
    void release_caption_font();
    // Deletes the last primitive's pen, still selected after a paint, and selects the stock pen.
    void release_pen();

    // [SECTION] Stored properties
    int32_t m_button_type {0};
    int32_t m_button_style {0};
    int32_t m_color_scheme {0};
    gdi::Color m_back_color {0};
    gdi::Color m_fore_color {0};
    gdi::Color m_mouse_over {0};
    gdi::Color m_emboss_mid {0};
    gdi::Color m_emboss_shadow {0};
    gdi::Color m_gradient_start {0};
    gdi::Color m_gradient_stop {0};
    int32_t m_gradient_orientation {0};
    std::string m_caption;
    int32_t m_caption_style {0};
    int32_t m_caption_orientation {0};
    int32_t m_alignment {0};
    host::PictureRef m_icon;
    int32_t m_icon_size {0};
    int32_t m_icon_alignment {0};
    bool m_enabled {false};
    bool m_show_focus {false};
    bool m_option_button {false};
    bool m_value {false};

    // [SECTION] State shared by the parts of the class
    FaceState m_button_state {FaceState::Up};
    // The pressed and selected states as screen readers last heard of them.
    int m_accessible_states {0};
    uint8_t m_last_mouse_button {1};
    uint8_t m_last_key_code {0};
    bool m_has_focus {false};
    bool m_mouse_inside {false};
    bool m_paint_ready {false};
    // The latest outline; once handed to the window, the window owns it.
    gdi::HRGN m_outline_region {nullptr};
    bool m_has_icon {false};
    bool m_layout_dirty {false};
    int32_t m_requested_graphics_mode {0};
    int32_t m_effective_graphics_mode {0};
    // Set by UserControl_Terminate: the button no longer paints.
    bool m_terminated {false};

    // The palette ApplyColorScheme derives; every painter reads it.
    Palette m_palette;

    host::FontRef TextFont;
    host::StdFont::Subscription m_text_font_subscription;

    // Caption layout and drawing.
    int16_t m_access_key_pos {0};
    int16_t m_access_key_width {0};
    int32_t m_underline_x {0};
    int32_t m_underline_y {0};
    std::vector<CaptionLine> m_caption_lines {CaptionLine {}};
    CaptionBox m_caption_rect;
    int32_t m_icon_x {0};
    int32_t m_icon_y {0};
    gdi::HFONT m_caption_font {nullptr};
    gdi::HFONT m_previous_font {nullptr};
    int32_t m_access_key_line {0};
    // The font of the latest layout stays selected between paints (at most one at a time), with
    // the surface's own font that it replaced.
    gdi::HFONT m_kept_caption_font {nullptr};
    gdi::HFONT m_surface_font {nullptr};
    // The latest layout and what it was made from: the input (its caption held apart) and the
    // font it measured in. The pipeline lays the caption out on every paint, and the same input
    // and font always give the same layout. Its lines are the ones in m_caption_lines.
    struct LayoutMemo {
        std::string caption;
        CaptionLayoutInput input;
        gdi::LOGFONTA font {};
        CaptionLayout layout;
    };
    std::optional<LayoutMemo> m_layout_memo;

    // [SECTION] Constituents
    host::Timer TimerHover {*this, "TimerHover", 100, false};
    host::PictureBox picIcon {*this, "picIcon"};
};

} // namespace sorrel::controls
