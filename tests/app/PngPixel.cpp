// Apart from the Windows tests' files: the drawing layer's names clash with windows.h's macros.
#include "tests/app/PngPixel.h"

#include "platform/host/StdPicture.h"

namespace sorrel::test_support {

std::optional<std::uint32_t> png_pixel(const std::string& path, int x, int y)
{
    auto picture = host::LoadPicture(path);
    if (picture.is_error())
        return std::nullopt;
    return picture.value()->pixels().pixel(x, y) & 0xFFFFFF;
}

} // namespace sorrel::test_support
