#include <cstdio>
#include <cstring>

// Until the main window exists, the program tells what it is and which parts are built.
int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("sorrel %s\n", SORREL_VERSION);
        return 0;
    }
    std::printf("Sorrel %s: the main window is not built yet.\n", SORREL_VERSION);
    return 0;
}
