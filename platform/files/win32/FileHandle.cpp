#include "platform/files/FileHandle.h"

#include <windows.h>

namespace sorrel::files {

void close_file(native_file file)
{
    CloseHandle(file);
}

} // namespace sorrel::files
