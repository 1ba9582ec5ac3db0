#pragma once

// The file layer's names for the shared result type.

#include "platform/base/ErrorOr.h"

namespace sorrel::files {

using base::Error;
template<typename T> using Result = base::ErrorOr<T>;

} // namespace sorrel::files
