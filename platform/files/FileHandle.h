#pragma once

#include <utility>

namespace sorrel::files {

// The system's own reference to an open file or folder: a file descriptor on POSIX systems, a
// HANDLE on Windows. Each system keeps its own kind; neither is dressed up as the other.
#ifdef _WIN32
using native_file = void*;
inline constexpr native_file no_file = nullptr;
// CreateFileW fails with INVALID_HANDLE_VALUE, the NT calls leave null: both are no file.
inline bool is_valid_file(native_file file)
{
    return file != nullptr && file != reinterpret_cast<native_file>(-1);
}
#else
using native_file = int;
inline constexpr native_file no_file = -1;
inline bool is_valid_file(native_file file)
{
    return file >= 0;
}
#endif

// Closes `file` (posix/FileHandle.cpp, win32/FileHandle.cpp).
void close_file(native_file file);

// An owned file or folder, closed when it goes.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(native_file file)
        : m_file(is_valid_file(file) ? file : no_file)
    { }
    FileHandle(FileHandle&& other) noexcept
        : m_file(std::exchange(other.m_file, no_file))
    { }
    FileHandle& operator=(FileHandle&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_file = std::exchange(other.m_file, no_file);
        }
        return *this;
    }
    FileHandle(FileHandle const&) = delete;
    FileHandle& operator=(FileHandle const&) = delete;
    ~FileHandle() { reset(); }

    native_file get() const { return m_file; }
    bool is_open() const { return m_file != no_file; }
    native_file release() { return std::exchange(m_file, no_file); }
    void reset()
    {
        if (m_file != no_file)
            close_file(m_file);
        m_file = no_file;
    }

private:
    native_file m_file {no_file};
};

} // namespace sorrel::files
