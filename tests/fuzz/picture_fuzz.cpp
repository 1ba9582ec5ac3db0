// libFuzzer target: the picture loaders (PNG, BMP, ICO) over arbitrary bytes. They must never
// crash, hang, read outside what they were given or leak a drawing object, and must never make
// a picture larger than the limit, whatever its header claims.

#include "platform/gdi/Gdi.h"
#include "platform/host/StdPicture.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size)
{
    size_t live = sorrel::gdi::live_object_count();
    {
        auto picture = sorrel::host::LoadPictureFromMemory({data, size}, "fuzz.ico");
        if (!picture.is_error()) {
            auto& p = *picture.value();
            if (p.pixel_width() <= 0 || p.pixel_height() <= 0
                || int64_t(p.pixel_width()) * p.pixel_height() > 4096 * 4096)
                std::abort();
        }
    }
    if (sorrel::gdi::live_object_count() != live)
        std::abort();
    return 0;
}
