#pragma once

// A progress bar drawn from pictures: a frame skin stretched around the control and a row of
// tiles that grows as Value rises, painted incrementally.
//
// ProgressBar.cpp       properties, validation, persistence, tile sets
// ProgressBarPaint.cpp  frame, block painter, end piece, moving-chunk painter

#include "platform/host/ErrorOr.h"
#include "platform/host/Image.h"
#include "platform/host/UserControl.h"
#include "platform/host/Variant.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace sorrel::controls {

class ProgressBar : public host::UserControl {
public:
    // Tile sets in ProgressLook order: green, blue, blue metallic, gold, green metallic, grey,
    // orange and red.
    static constexpr int LookCount = 8;
    static constexpr std::array<std::string_view, LookCount> LookNames {
        "master", "blue", "bluemet", "goldmet", "grmet", "greymet", "orangemet", "redmet"};
    using TileSet = std::array<host::Image, 3>;

    // What the painters remember between two paints.
    struct FillState {
        int tile_width {0};
        int tile_height {0};
        int fill_height {0};
        int width {0}; // W, taken at the last reset
        int cursor {4}; // x of the next tile
        int16_t step_counter {0};
        double threshold {0};
        double last_value {0};
        bool restart {false};
        double remembered_value {0};
        bool end_reached {false};
        int alternate_cursor {4};
    };

    ProgressBar();

    std::string_view kind() const override { return "ProgressBar"; }
    std::string dump_text() const override;
    bool describe_accessible(host::AccessibleNode& node) const override;

    // Properties ------------------------------------------------------------------------------
    int32_t Value() const { return m_value; }
    void Value(int32_t value);
    int32_t Style() const { return m_style; }
    void Style(int32_t style);
    int32_t ProgressLook() const { return m_progress_look; }
    void ProgressLook(int32_t look);
    // Min and Max keep the type they were given in; the getters read them back as Longs.
    int32_t Min() const;
    void Min(const host::Variant& value);
    int32_t Max() const;
    void Max(const host::Variant& value);
    const host::Variant& stored_min() const { return m_min; }
    const host::Variant& stored_max() const { return m_max; }

    // Notifications ---------------------------------------------------------------------------
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(host::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(host::PropertyBag& PropBag) override;
    void UserControl_Resize() override;

    // Picture holders and painter state, for the gallery and the tests -----------------------
    const TileSet& tile_set(int look) const { return m_looks[size_t(look)]; }
    const TileSet& pc() const { return m_pc; }
    const host::Image& frame_skin() const { return img; }
    const FillState& fill_state() const { return m_fill; }

private:
    void ApplyLook();
    void RepaintAfterValue();
    void ResetFill();
    void PaintBlocks();
    void PaintEndPiece();
    void PaintAlternate();
    // Copies the whole of `tile` to (x, 3), `width` wide and as tall as the fill.
    void PaintTile(const host::Image& tile, float x, float width);
    // Min and Max as numbers (0 for a value that is none).
    double min_number() const;
    double max_number() const;

    int32_t m_value {0};
    int32_t m_style {0};
    int32_t m_progress_look {0};
    host::Variant m_min {int16_t(0)};
    host::Variant m_max {int16_t(100)};

    std::array<TileSet, LookCount> m_looks;
    TileSet m_pc;
    host::Image blank;
    host::Image img;

    FillState m_fill;
};

// Decodes the built-in pictures (once) and registers the control kind "ProgressBar"; fails with
// a message naming the picture when one is missing or damaged.
host::ErrorOr<void> register_progress_bar();

} // namespace sorrel::controls
