#pragma once

// The check box's state pictures, built into the program from the PNG files in pictures/.

#include "platform/host/PictureTable.h"

namespace sorrel::controls::check_pictures {

using EmbeddedPicture = host::EmbeddedPicture;

// The PNG bytes compiled into the program (generated at build time).
std::span<const EmbeddedPicture> embedded();

// The twelve 13 x 13 state pictures, named as their holders, decoded on first use
// ("IdleNoValue" ... "DisabledGrey").
const host::BuiltInPictures& built_in();

} // namespace sorrel::controls::check_pictures
