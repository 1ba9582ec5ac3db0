#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sorrel::test_support {

// The colour (0xRRGGBB) of one pixel of a PNG file; nothing when the file can't be read.
std::optional<std::uint32_t> png_pixel(const std::string& path, int x, int y);

} // namespace sorrel::test_support
