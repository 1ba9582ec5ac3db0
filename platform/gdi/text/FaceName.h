#pragma once

#include <string>
#include <string_view>

namespace sorrel::gdi {

// A face name split into its family and the style words at its end: "Times New Roman Bold Italic"
// asks for the bold italic style of Times New Roman. The suffixes are matched without regard to
// letter case, in any order.
struct FaceName {
    std::string family;
    bool bold {false};
    bool italic {false};

    static FaceName parse(std::string_view name);
};

} // namespace sorrel::gdi
