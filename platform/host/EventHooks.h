#pragma once

#include <cstdint>
#include <functional>

namespace sorrel::host {

// The events a standard control passes on to whoever placed it: each handler runs its hook when
// one is set. Mouse coordinates are twips from the control's own top-left corner.
template<typename Base> class WithEventHooks : public Base {
public:
    using Base::Base;

    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> on_mouse_down;
    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> on_mouse_move;
    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> on_mouse_up;
    std::function<void()> on_click;
    std::function<void()> on_dbl_click;

    void handle_mouse_down(int16_t button, int16_t shift, float x, float y) override
    {
        if (on_mouse_down)
            on_mouse_down(button, shift, x, y);
    }
    void handle_mouse_move(int16_t button, int16_t shift, float x, float y) override
    {
        if (on_mouse_move)
            on_mouse_move(button, shift, x, y);
    }
    void handle_mouse_up(int16_t button, int16_t shift, float x, float y) override
    {
        if (on_mouse_up)
            on_mouse_up(button, shift, x, y);
    }
    void handle_click() override
    {
        if (on_click)
            on_click();
    }
    void handle_dbl_click() override
    {
        if (on_dbl_click)
            on_dbl_click();
    }
};

} // namespace sorrel::host
