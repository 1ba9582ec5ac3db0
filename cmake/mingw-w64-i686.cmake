# Cross-builds for 32-bit Windows with Debian's mingw-w64 (the POSIX threads variant, whose C++
# runtime has std::thread and std::mutex). One 32-bit program serves every Windows from XP SP3 on,
# 32- and 64-bit alike.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
# SORREL_WINDOWS_DEPS names the folder that the dependencies built for Windows are installed in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(SORREL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${SORREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SORREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SORREL_MINGW_TRIPLE}-windres)

# The headers offer only what Windows XP has, for Sorrel and its dependencies alike: anything
# newer has to be looked up at run time, with a way that works without it.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501")
# The header fields that say which Windows may load the program: XP (5.1).
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-Wl,--major-os-version,5,--minor-os-version,1,--major-subsystem-version,5,--minor-subsystem-version,1")

# Try-compiles see the variable too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SORREL_WINDOWS_DEPS)

# Libraries and headers come only from the mingw sysroot and the dependencies' folder, never
# from the build machine's own.
set(CMAKE_FIND_ROOT_PATH /usr/${SORREL_MINGW_TRIPLE})
if(SORREL_WINDOWS_DEPS)
    list(APPEND CMAKE_FIND_ROOT_PATH ${SORREL_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows programs built here run under Wine (tests, tools that run at build time).
find_program(SORREL_WINE NAMES wine)
if(SORREL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SORREL_WINE})
endif()
