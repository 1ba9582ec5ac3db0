#pragma once

// The button's numbered settings and states by name. The stored properties stay plain integers
// (they are the persistence format and the public interface); the control compares them as these.

#include "platform/gdi/Gdi.h"

#include <cstdint>

namespace sorrel::controls {

// The face style (ButtonType).
enum class FaceType : int32_t {
    Classic = 1,
    Bevel = 2,
    XP = 3,
    Soft = 4,
    Ring = 5,
    Thin = 6,
    // The thin face whose ring shows only while the pointer is over it.
    Flat = 7,
    Macintosh = 8,
};

// The outline shape (ButtonStyle): a rectangle or a segment with slanted ends.
enum class OutlineStyle : int32_t {
    Rectangle = 0,
    SlantedRight = 1,
    SlantedBoth = 2,
    SlantedLeft = 3,
};

// Where the palette comes from (ColorScheme).
enum class SchemeKind : int32_t {
    System = 1,
    Custom = 2,
    LightGrey = 3,
    Container = 4,
    // The custom colours on a gradient face.
    Gradient = 5,
};

// The seven colours a colour scheme gives the painters.
struct Palette {
    gdi::Color face {0};
    gdi::Color light {0};
    gdi::Color highlight {0};
    gdi::Color shadow {0};
    gdi::Color dark_shadow {0};
    gdi::Color text {0};
    gdi::Color hover_text {0};
    bool operator==(const Palette&) const = default;
};

// The look the interaction code leaves for the next paint (m_button_state).
enum class FaceState : int32_t {
    Up = 0,
    // Only while PaintButton paints the snapshot PrepareIcon lifts the icon's background from.
    Disabled = 1,
    Pressed = 2,
    Focused = 3,
    PointerOver = 4,
};

// Everything a face painter varies its drawing by, computed once per paint by PaintButton. The
// painters read it and change nothing.
struct FaceLook {
    FaceState state {FaceState::Up};
    // A set option button.
    bool selected {false};
    bool enabled {true};
    bool focused {false};
    bool pointer_inside {false};
    // The disabled look without caption and icon that PrepareIcon backs the greyed icon with.
    bool snapshot {false};

    bool pressed() const { return state == FaceState::Pressed; }
    bool pointer_over() const { return state == FaceState::PointerOver; }
};

} // namespace sorrel::controls
