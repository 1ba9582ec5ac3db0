# Cross-builds for 64-bit Windows with Debian's mingw-w64 (the POSIX threads variant, whose C++
# runtime has std::thread and std::mutex).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# SORREL_WINDOWS_DEPS names the folder that the dependencies built for Windows are installed in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SORREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SORREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SORREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SORREL_MINGW_TRIPLE}-windres)

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
find_program(SORREL_WINE NAMES wine wine64)
if(SORREL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SORREL_WINE})
endif()
