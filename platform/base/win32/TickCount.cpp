// The C++ runtime's threads library (winpthreads) calls GetTickCount64, which Windows XP lacks,
// and Windows refuses to start a program that imports a function it lacks. So the program answers
// that import itself: this file defines the import's address slot, which the linker takes before
// the system's import library (the link option in the top CMakeLists.txt makes sure it is looked
// for from the start), and the function in that slot asks the system's own where there is one.

#include "platform/base/win32/TickCount.h"

#include <atomic>
#include <windows.h>

namespace sorrel::base {

std::uint64_t extend_tick_count(std::uint64_t seen, std::uint32_t now)
{
    // Counted modulo 2^32, so that a wrap in between is no special case.
    std::uint32_t ahead = now - static_cast<std::uint32_t>(seen);
    if (ahead >= 0x80000000u)
        return seen; // read before `seen` was
    return seen + ahead;
}

namespace {

ULONGLONG WINAPI tick_count_64()
{
    using Function = ULONGLONG(WINAPI*)();
    static Function const system = reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    if (system)
        return system();
    static std::atomic<std::uint64_t> last {0};
    std::uint64_t seen = last.load();
    for (;;) {
        std::uint64_t next = extend_tick_count(seen, GetTickCount());
        if (next == seen || last.compare_exchange_weak(seen, next))
            return next;
    }
}

} // namespace

} // namespace sorrel::base

#if defined(__i386__)
#define SORREL_TICK_COUNT_SLOT "__imp__GetTickCount64@0"
#else
#define SORREL_TICK_COUNT_SLOT "__imp_GetTickCount64"
#endif
extern "C" {
// The import's slot, filled by the program itself rather than by the loader.
__attribute__((used)) ULONGLONG(WINAPI* sorrel_get_tick_count_64_slot)() __asm__(SORREL_TICK_COUNT_SLOT)
    = &sorrel::base::tick_count_64;
}
