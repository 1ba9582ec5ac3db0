#pragma once

// Runs one parsed case through the drawing facade and returns the surface it drew.

#include "platform/gdi/Surface.h"
#include "tools/gdi-replay/CaseScript.h"

namespace sorrel::gdireplay {

gdi::Surface replay_case(const Case& c);

} // namespace sorrel::gdireplay
