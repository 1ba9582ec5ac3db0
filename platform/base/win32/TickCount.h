#pragma once

// A 64-bit millisecond count since the system started, for Windows without GetTickCount64.

#include <cstdint>

namespace sorrel::base {

// Extends the 32-bit count `now` by the last answer `seen`: the count wraps every 49.7 days, and
// a count behind `seen` (read earlier by another thread) gives `seen` again. So the answers never
// go back, as long as the program asks at least once every 24 days.
std::uint64_t extend_tick_count(std::uint64_t seen, std::uint32_t now);

} // namespace sorrel::base
