// The least an SDL2 program does to show a window: open it at the size of Sorrel's, fill its
// surface, present that one frame and end. The baseline for the window's start-up.

#include <SDL.h>

int main(int, char**)
{
    // Without this SDL maps an OpenGL stack to decide how to copy the surface.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    SDL_Window* window = SDL_CreateWindow(
        "baseline", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 275, 258, SDL_WINDOW_SHOWN);
    SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
    if (!surface)
        return 1;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0xEC, 0xE9, 0xD8));
    int status = SDL_UpdateWindowSurface(window) == 0 ? 0 : 1;
    SDL_DestroyWindow(window);
    SDL_Quit();
    return status;
}
