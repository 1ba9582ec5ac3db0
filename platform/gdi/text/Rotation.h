#pragma once

namespace sorrel::gdi {

// Text drawn at a quarter-turn angle. Fonts rotate only by whole quarter turns: the glyph bitmaps
// are rendered upright and turned pixel for pixel, so rotated text keeps the hinting of upright
// text and stays crisp.
enum class Rotation {
    None, // reads left to right
    Ccw90, // reads upwards (escapement 900)
    HalfTurn, // upside down (escapement 1800)
    Cw90, // reads downwards (escapement 2700)
};

// An escapement in tenths of a degree, counter-clockwise, snapped to the nearest quarter turn.
constexpr Rotation rotation_from_escapement(int escapement)
{
    int tenths = escapement % 3600;
    if (tenths < 0)
        tenths += 3600;
    switch (((tenths + 450) / 900) % 4) {
    case 1:
        return Rotation::Ccw90;
    case 2:
        return Rotation::HalfTurn;
    case 3:
        return Rotation::Cw90;
    default:
        return Rotation::None;
    }
}

// Where the pixel at (u, v) of the upright text frame (u along the reading direction, v down
// across it, both from the reference point) lands on the device, relative to the reference point.
// A pixel covers a unit square, so turning it moves it by one pixel on the mirrored axes.
struct DeviceOffset {
    int dx;
    int dy;
};
constexpr DeviceOffset rotate_pixel(Rotation r, int u, int v)
{
    switch (r) {
    case Rotation::Ccw90:
        return {v, -1 - u};
    case Rotation::HalfTurn:
        return {-1 - u, -1 - v};
    case Rotation::Cw90:
        return {-1 - v, u};
    case Rotation::None:
        break;
    }
    return {u, v};
}

// How far the device point moves for an advance of `distance` along the reading direction.
constexpr DeviceOffset rotate_advance(Rotation r, int distance)
{
    switch (r) {
    case Rotation::Ccw90:
        return {0, -distance};
    case Rotation::HalfTurn:
        return {-distance, 0};
    case Rotation::Cw90:
        return {0, distance};
    case Rotation::None:
        break;
    }
    return {distance, 0};
}

} // namespace sorrel::gdi
