#include "platform/files/FileProtection.h"

namespace sorrel::files {

namespace {

FileProtection const* g_stand_in = nullptr;

} // namespace

FileProtection const& FileProtection::current()
{
    return g_stand_in ? *g_stand_in : system_file_protection();
}

void FileProtection::use(FileProtection const* stand_in)
{
    g_stand_in = stand_in;
}

} // namespace sorrel::files
