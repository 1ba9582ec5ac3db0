#pragma once

// Small Windows program files with known versions, built into the program for the demo drives.

#include <cstdint>
#include <span>
#include <string_view>

namespace sorrel::app::demo_files {

struct EmbeddedPicture {
    std::string_view name; // the file name without its extension
    std::span<const uint8_t> bytes;
};

// The bytes compiled into the program (generated at build time).
std::span<const EmbeddedPicture> embedded();

// The bytes of one file by name; empty when there is none.
std::span<const uint8_t> find(std::string_view name);

} // namespace sorrel::app::demo_files
