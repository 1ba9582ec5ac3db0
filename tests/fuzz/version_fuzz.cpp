// libFuzzer target: the version reader over arbitrary bytes. It must never crash, hang or read
// outside what it was given, and must answer a version text or the empty text.

#include "platform/files/VersionReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size)
{
    sorrel::files::MemorySource source({data, size});
    auto version = sorrel::files::read_version(source);
    // Memory can't fail to read, and a version is at most "65535.65535.65535.65535".
    if (version.is_error() || version.value().size() > 23)
        std::abort();
    return 0;
}
