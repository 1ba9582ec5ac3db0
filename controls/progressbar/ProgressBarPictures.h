#pragma once

// The progress bar's pictures, built into the program from the PNG files in pictures/.

#include "platform/host/PictureTable.h"

namespace sorrel::controls::progressbar_pictures {

using EmbeddedPicture = host::EmbeddedPicture;

// The PNG bytes compiled into the program (generated at build time).
std::span<const EmbeddedPicture> embedded();

// Every picture decoded, once: the 24 tiles ("master0" ... "redmet2"), "blank" and "img". An
// error names the picture that is missing, damaged or of the wrong size.
host::ErrorOr<void> load();
// The same checks on another table (the tests' damaged copies).
host::ErrorOr<void> verify(std::span<const EmbeddedPicture> pictures);
// The decoded picture, or null when load() failed.
host::PictureRef find(std::string_view name);

} // namespace sorrel::controls::progressbar_pictures
