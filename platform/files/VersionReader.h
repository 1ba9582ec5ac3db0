#pragma once

#include "platform/files/ByteSource.h"

#include <filesystem>
#include <string>

namespace sorrel::files {

// Reads the file version from the version resource of a Windows program file, "a.b.c.d" from the
// fixed file information. Built for hostile input: every offset and length is checked against the
// file before it is read, in 64-bit arithmetic, and only the few structures on the way are read.
//
// The result is the version text; the empty text when the file has no version information or a
// damaged one; an error only when the bytes cannot be read at all.
Result<std::string> read_version(ByteSource& source);

// The same for a file on disk. A missing or unreadable file (or a folder) is an error.
// `bytes_read`, when given, receives how many bytes were read from the file.
Result<std::string> read_file_version(std::filesystem::path const& path, std::uint64_t* bytes_read = nullptr);

} // namespace sorrel::files
