#pragma once

// The host's names for the shared result type.

#include "platform/base/ErrorOr.h"

namespace sorrel::host {

using base::Error;
using base::ErrorOr;

} // namespace sorrel::host
