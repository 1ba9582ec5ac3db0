#pragma once

// Case scripts: small programs of drawing operations on fresh surfaces, one case after another.
// parse_case_script() checks a whole script before anything is drawn, so that an invalid script
// produces no output at all.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sorrel::gdireplay {

struct Command {
    enum class Kind {
        Pen,
        MoveTo,
        LineTo,
        Pixel,
        Fill,
        Frame,
        Focus,
        Polygon,
        Gradient,
        RegionRect,
        RegionPolygon,
        RegionDiff,
        RegionFill,
        Blt,
        Stretch,
    };
    Kind kind;
    // Integer and colour arguments in script order (polygon point lists without their count).
    std::vector<int64_t> args;
    int line {0};
};

struct Case {
    std::string name;
    int width {0};
    int height {0};
    uint32_t background {0};
    std::vector<Command> commands;
};

struct ParseError {
    int line {0};
    std::string message;
};

using ParseResult = std::variant<std::vector<Case>, ParseError>;

ParseResult parse_case_script(std::string_view text);

} // namespace sorrel::gdireplay
