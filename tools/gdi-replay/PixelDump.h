#pragma once

// Pixel dumps: for each case a header "case NAME W H" and one line per row of run-length
// encoded bbggrr tokens, then "end".

#include "platform/gdi/Surface.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::gdireplay {

// Appends one case to `out`, every row written with maximal runs.
void write_dump_case(std::string& out, std::string_view name, const gdi::Surface& surface);

struct DumpCase {
    std::string name;
    int width {0};
    int height {0};
    std::vector<uint32_t> pixels; // row by row, 0x00BBGGRR
};

// Reads a whole dump; any division of rows into runs, "*1" and upper-case digits are accepted.
// Returns nullopt (with a message) for a malformed dump.
std::optional<std::vector<DumpCase>> read_dump(std::string_view text, std::string* error = nullptr);

} // namespace sorrel::gdireplay
