#pragma once

// The progress bar's pictures, built into the program from the PNG files in pictures/.

#include "platform/host/PictureTable.h"

namespace sorrel::controls::progressbar_pictures {

using EmbeddedPicture = host::EmbeddedPicture;

// The PNG bytes compiled into the program (generated at build time).
std::span<const EmbeddedPicture> embedded();

// The 24 tiles ("master0" ... "redmet2"), "blank" and "img", decoded on first use.
const host::BuiltInPictures& built_in();

} // namespace sorrel::controls::progressbar_pictures
