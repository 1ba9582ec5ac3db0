#pragma once

#include "platform/base/ErrorOr.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::app {

// What the command line asks for.
struct Options {
    std::vector<std::string> drives; // "X:=DIR", in the order given
    bool demo {false};
    bool headless {false};
    std::string script; // with --headless
    std::vector<std::string> slow_drives; // "X:=MS", a test hook for --headless runs
    std::string screenshot; // the opening window, headless
    int scale {0}; // 1 to 4; 0 takes the desktop's
    bool help {false};
    bool version {false};

    // Without a window: --detect, or --remove-older with its confirmation and settings.
    enum class Command {
        Window,
        Detect,
        RemoveOlder,
    };
    Command command {Command::Window};
    bool yes {false};
    bool report_json {false}; // --report json; text otherwise
    std::string log; // --log FILE
    bool at_reboot {false};
    bool entries {false};

    // Parses argv[1..]; an error is one line naming the bad argument.
    static base::ErrorOr<Options> parse(int argc, char** argv);
};

// --help: lines within 79 columns, ending with where to report bugs.
std::string usage_text();
// --version in the GNU form: name and version, copyright, licence.
std::string version_text(std::string_view version);

} // namespace sorrel::app
