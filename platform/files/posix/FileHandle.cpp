#include "platform/files/FileHandle.h"

#include <unistd.h>

namespace sorrel::files {

void close_file(native_file file)
{
    ::close(file);
}

} // namespace sorrel::files
