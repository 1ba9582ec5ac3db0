#include "platform/gdi/SystemColors.h"

#include <cstdint>

// Only windows.h: its COLOR_* macros would clash with the drawing layer's own constants.
#include <windows.h>

namespace sorrel::gdi {

// The drawing layer's own SetSysColors (Gdi.h), which sets the colours its GetSysColor answers with.
int SetSysColors(int count, const int* indexes, const std::uint32_t* colors);

void load_system_colors()
{
    // The indexes the drawing layer knows, COLOR_SCROLLBAR to COLOR_MENUBAR.
    constexpr int count = COLOR_MENUBAR + 1;
    int indexes[count];
    std::uint32_t colors[count];
    for (int i = 0; i < count; ++i) {
        indexes[i] = i;
        colors[i] = ::GetSysColor(i);
    }
    SetSysColors(count, indexes, colors);
}

} // namespace sorrel::gdi
