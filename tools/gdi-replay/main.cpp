// gdi-replay: replays a case script (a file named on the command line, or standard input)
// through the drawing layer and writes the pixel dump to standard output.
//
// Exit status: 0 on success, 1 when the script cannot be read, 2 when it is invalid.

#include "tools/gdi-replay/CaseReplay.h"
#include "tools/gdi-replay/CaseScript.h"
#include "tools/gdi-replay/PixelDump.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

using namespace sorrel::gdireplay;

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::cerr << "usage: gdi-replay [SCRIPT]\n";
        return 1;
    }
    std::string text;
    std::string source_name = "<stdin>";
    if (argc == 2 && std::string(argv[1]) != "-") {
        source_name = argv[1];
        std::ifstream file(argv[1], std::ios::binary);
        if (!file) {
            std::cerr << "gdi-replay: cannot read " << source_name << "\n";
            return 1;
        }
        std::ostringstream buffer;
        buffer << file.rdbuf();
        text = buffer.str();
    } else {
        std::ios::sync_with_stdio(false);
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    }

    ParseResult parsed = parse_case_script(text);
    if (auto* error = std::get_if<ParseError>(&parsed)) {
        std::cerr << source_name << ":" << error->line << ": error: " << error->message << "\n";
        return 2;
    }

    std::string out;
    for (const Case& c : std::get<std::vector<Case>>(parsed))
        write_dump_case(out, c.name, replay_case(c));
    out += "end\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
