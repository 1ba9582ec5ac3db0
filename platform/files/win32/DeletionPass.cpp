#include "platform/files/DeletionPass.h"

namespace sorrel::files {

// Windows keeps no list of open files to read; it refuses to open a file for deletion while
// another program holds it without sharing, which the deletion asks at each file.
DeletionPass DeletionPass::scan(std::filesystem::path const&)
{
    return {};
}

} // namespace sorrel::files
