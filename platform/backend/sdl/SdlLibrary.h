#pragma once

// SDL2 is loaded when the first window opens, not when the program starts: a program that runs
// headless (tests, UI scripts) never maps SDL and the dozens of libraries it pulls in. Calls go
// through this table: sdl().SDL_CreateWindow(...).

#include <SDL.h>

#include <string>

namespace sorrel::backend {

#define SORREL_SDL_FUNCTIONS(X)                                                                              \
    X(SDL_CaptureMouse)                                                                                      \
    X(SDL_CreateRGBSurfaceWithFormatFrom)                                                                    \
    X(SDL_CreateWindow)                                                                                      \
    X(SDL_Delay)                                                                                             \
    X(SDL_DestroyWindow)                                                                                     \
    X(SDL_FreeSurface)                                                                                       \
    X(SDL_GetDisplayDPI)                                                                                     \
    X(SDL_GetDisplayUsableBounds)                                                                            \
    X(SDL_GetCurrentVideoDriver)                                                                             \
    X(SDL_GetError)                                                                                          \
    X(SDL_GetGlobalMouseState)                                                                               \
    X(SDL_GetKeyboardFocus)                                                                                  \
    X(SDL_GetModState)                                                                                       \
    X(SDL_GetMouseFocus)                                                                                     \
    X(SDL_GetTicks64)                                                                                        \
    X(SDL_GetWindowID)                                                                                       \
    X(SDL_GetWindowSize)                                                                                     \
    X(SDL_GetWindowPosition)                                                                                 \
    X(SDL_GetWindowSurface)                                                                                  \
    X(SDL_InitSubSystem)                                                                                     \
    X(SDL_LockSurface)                                                                                       \
    X(SDL_MapRGB)                                                                                            \
    X(SDL_PeepEvents)                                                                                        \
    X(SDL_PollEvent)                                                                                         \
    X(SDL_PumpEvents)                                                                                        \
    X(SDL_PushEvent)                                                                                         \
    X(SDL_QuitSubSystem)                                                                                     \
    X(SDL_RaiseWindow)                                                                                       \
    X(SDL_RegisterEvents)                                                                                    \
    X(SDL_SetHint)                                                                                           \
    X(SDL_SetWindowModalFor)                                                                                 \
    X(SDL_SetWindowIcon)                                                                                     \
    X(SDL_ShowWindow)                                                                                        \
    X(SDL_SetWindowSize)                                                                                     \
    X(SDL_SetWindowTitle)                                                                                    \
    X(SDL_StartTextInput)                                                                                    \
    X(SDL_UnlockSurface)                                                                                     \
    X(SDL_UpdateWindowSurface)                                                                               \
    X(SDL_UpdateWindowSurfaceRects)                                                                          \
    X(SDL_WaitEvent)                                                                                         \
    X(SDL_WaitEventTimeout)

struct SdlLibrary {
// A declaration, where parentheses around the name cannot go.
#define SORREL_SDL_MEMBER(name) decltype(&::name) name = nullptr; // NOLINT(bugprone-macro-parentheses)
    SORREL_SDL_FUNCTIONS(SORREL_SDL_MEMBER)
#undef SORREL_SDL_MEMBER
};

// Loads the library on the first call; null (with the reason in `error`) when it cannot be
// loaded or lacks a function.
const SdlLibrary* load_sdl(std::string* error = nullptr);
// The loaded library; only after load_sdl succeeded.
const SdlLibrary& sdl();

} // namespace sorrel::backend
