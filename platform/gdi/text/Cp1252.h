#pragma once

#include "platform/base/Cp1252.h"

namespace sorrel::gdi {

using base::cp1252_to_unicode;

} // namespace sorrel::gdi
