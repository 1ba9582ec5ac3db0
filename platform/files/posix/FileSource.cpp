#include "platform/files/FileSource.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorrel::files {

Result<FileSource> FileSource::open(std::filesystem::path const& path)
{
    // O_NONBLOCK keeps a FIFO or device from stalling the open; such files are refused below.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return Error::from_errno("cannot open \"" + path.string() + "\"", errno);
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        int code = errno;
        ::close(fd);
        return Error::from_errno("cannot examine \"" + path.string() + "\"", code);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        int code = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return Error {"\"" + path.string() + "\" is not a file", code};
    }
    return FileSource(fd, static_cast<std::uint64_t>(st.st_size));
}

FileSource::~FileSource()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Result<bool> FileSource::read_at(std::uint64_t offset, std::span<std::uint8_t> buffer)
{
    if (offset > m_size || buffer.size() > m_size - offset)
        return false;
    std::size_t done = 0;
    while (done < buffer.size()) {
        ssize_t n
            = ::pread(m_fd, buffer.data() + done, buffer.size() - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Error::from_errno("cannot read the file", errno);
        }
        if (n == 0)
            return false; // the file shrank while we read it
        done += static_cast<std::size_t>(n);
        m_bytes_read += static_cast<std::uint64_t>(n);
    }
    return true;
}

} // namespace sorrel::files
