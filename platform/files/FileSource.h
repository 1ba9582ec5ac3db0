#pragma once

#include "platform/files/ByteSource.h"

#include <filesystem>
#include <utility>

namespace sorrel::files {

// A regular file read with pread (on Windows, reads that carry their offset): only the bytes asked
// for, never the whole file. posix/FileSource.cpp is the POSIX side, win32/FileSource.cpp the Windows one.
class FileSource final : public ByteSource {
public:
    static Result<FileSource> open(std::filesystem::path const& path);

    FileSource(FileSource&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
        , m_size(other.m_size)
        , m_bytes_read(other.m_bytes_read)
    { }
    FileSource& operator=(FileSource&&) = delete;
    FileSource(FileSource const&) = delete;
    ~FileSource() override;

    std::uint64_t size() const override { return m_size; }
    Result<bool> read_at(std::uint64_t offset, std::span<std::uint8_t> buffer) override;

    std::uint64_t bytes_read() const { return m_bytes_read; }

private:
    FileSource(int fd, std::uint64_t size)
        : m_fd(fd)
        , m_size(size)
    { }

    int m_fd {-1};
    std::uint64_t m_size {0};
    std::uint64_t m_bytes_read {0};
};

} // namespace sorrel::files
