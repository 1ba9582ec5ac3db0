#pragma once

#include <string_view>

namespace sorrel::files {

// The files the system guards: it puts a deleted one back from a cache of its own, a little while
// later. Windows File Protection does so on XP; Linux and Wine guard nothing.
class FileProtection {
public:
    virtual ~FileProtection() = default;

    // Whether the system guards the file at the Windows path `path`.
    virtual bool is_protected(std::string_view path) const = 0;
    // Lets the time pass in which the system puts back what it guards.
    virtual void wait_for_restoring() const = 0;

    // The system's own, unless a test put a stand-in in its place.
    static FileProtection const& current();
    // For tests: `stand_in` serves until it is replaced; null brings back the system's.
    static void use(FileProtection const* stand_in);
};

// The system's own (posix/FileProtection.cpp, win32/FileProtection.cpp).
FileProtection const& system_file_protection();

} // namespace sorrel::files
