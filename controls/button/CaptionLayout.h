#pragma once

// The button caption's layout, kept apart from the control so that it runs on measured values
// alone: the caption is broken into lines that fit the face, a word too wide for a line is
// shortened with "...", and every line, the block's rectangle, the access-key underline and the
// icon are placed for the alignment and orientation.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::controls {

// One laid-out line. For a vertical caption `Width` is the extent along the reading direction and
// `Height` the extent across it, as measured upright.
struct CaptionLine {
    int32_t Left {0};
    int32_t Top {0};
    int32_t Width {0};
    int32_t Height {0};
    std::string Text;
};

struct CaptionBox {
    int32_t Left {0};
    int32_t Top {0};
    int32_t Right {0};
    int32_t Bottom {0};
    bool operator==(const CaptionBox&) const = default;
};

// The upright extent of a text in the caption font.
struct TextExtent {
    int width {0};
    int height {0};
};
using TextMeasurer = std::function<TextExtent(std::string_view)>;

// Where the access-key marker of a caption is.
struct AccessKeyMarker {
    // 1-based position of the marker once every "&&" has become "&"; 0 when there is none.
    int16_t position {0};
    // The lower-cased character after the marker; empty for a trailing marker or no marker.
    std::string key;
    bool found {false};
};

AccessKeyMarker find_access_key(std::string_view caption);

// The caption as shown: "&&" becomes "&" and the marker at `access_key_pos` is removed.
std::string display_caption(std::string_view caption, int access_key_pos);

struct CaptionLayoutInput {
    std::string_view caption; // with its "&" markers
    int access_key_pos {0};
    int width {0}; // face width and height in whole pixels
    int height {0};
    int button_style {0};
    int alignment {1};
    int orientation {0};
    int icon_alignment {0};
    int icon_size {2};
    bool has_icon {false};
    bool operator==(const CaptionLayoutInput&) const = default;
};

struct CaptionLayout {
    std::vector<CaptionLine> lines; // never empty
    // False when the layout leaves the caption rectangle as it was (an icon without caption).
    bool has_rect {false};
    CaptionBox rect;
    bool key_found {false};
    int access_key_line {0};
    int access_key_width {0};
    int32_t underline_x {0};
    int32_t underline_y {0};
    bool icon_placed {false};
    int32_t icon_x {0};
    int32_t icon_y {0};
};

CaptionLayout layout_caption(const CaptionLayoutInput&, const TextMeasurer&);

} // namespace sorrel::controls
