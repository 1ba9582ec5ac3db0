#include "platform/files/FileSource.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace sorrel::files {

Result<FileSource> FileSource::open(std::filesystem::path const& path)
{
    // The wide name, so that a name outside the ANSI code page opens too.
    int fd = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0)
        return Error::from_errno("cannot open \"" + path.string() + "\"", errno);
    struct _stat64 st { };
    if (::_fstat64(fd, &st) != 0) {
        int code = errno;
        ::_close(fd);
        return Error::from_errno("cannot examine \"" + path.string() + "\"", code);
    }
    if ((st.st_mode & _S_IFMT) != _S_IFREG) {
        ::_close(fd);
        int code = (st.st_mode & _S_IFMT) == _S_IFDIR ? EISDIR : EINVAL;
        return Error {"\"" + path.string() + "\" is not a file", code};
    }
    return FileSource(fd, static_cast<std::uint64_t>(st.st_size));
}

FileSource::~FileSource()
{
    if (m_fd >= 0)
        ::_close(m_fd);
}

Result<bool> FileSource::read_at(std::uint64_t offset, std::span<std::uint8_t> buffer)
{
    if (offset > m_size || buffer.size() > m_size - offset)
        return false;
    auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(m_fd));
    std::size_t done = 0;
    while (done < buffer.size()) {
        // The offset travels with each read, as with pread: no shared file position.
        OVERLAPPED at {};
        std::uint64_t position = offset + done;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - done, 1u << 30));
        DWORD n = 0;
        if (!ReadFile(handle, buffer.data() + done, chunk, &n, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                return false;
            return Error::from_errno("cannot read the file", EIO);
        }
        if (n == 0)
            return false; // the file shrank while we read it
        done += n;
        m_bytes_read += n;
    }
    return true;
}

} // namespace sorrel::files
