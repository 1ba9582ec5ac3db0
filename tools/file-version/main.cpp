// file-version FILE...: prints "FILE<TAB>VERSION" for each program file (VERSION empty when the
// file has none). Exits 1 when some file could not be read.

#include "platform/files/VersionReader.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: file-version FILE...\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        auto version = sorrel::files::read_file_version(argv[i]);
        if (version.is_error()) {
            std::fprintf(stderr, "file-version: %s\n", version.error().message.c_str());
            status = 1;
            continue;
        }
        std::printf("%s\t%s\n", argv[i], version.value().c_str());
    }
    return status;
}
