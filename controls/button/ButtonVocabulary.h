#pragma once

// The button's numbered settings and states by name. The stored properties stay plain integers
// (they are the persistence format and the public interface); the control compares them as these.

#include <cstdint>

namespace sorrel::controls {

// The look the interaction code leaves for the next paint (ButtonState).
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
