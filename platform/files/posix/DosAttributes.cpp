#include "platform/files/posix/DosAttributes.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace sorrel::files {

namespace {

constexpr long fuse_magic = 0x65735546; // ntfs-3g and other FUSE file systems
constexpr long ntfs3_magic = 0x7366746e; // the kernel's NTFS driver

// getxattrat(2), Linux 6.13, which the C library doesn't wrap yet. It reads an entry's attribute
// relative to its directory, without the walk through /proc that costs about as much as the
// deletion itself. New system calls have one number on every architecture.
constexpr long getxattrat_call = 464;
struct XattrArguments {
    std::uint64_t value;
    std::uint32_t size;
    std::uint32_t flags;
};
std::atomic<bool> getxattrat_works {true};

// The attribute's length, or -1 with errno; nothing when the call isn't there.
std::optional<ssize_t> get_xattr_at(
    int dir_fd, std::string const& name, char const* key, char* value, std::size_t size)
{
    if (getxattrat_works.load(std::memory_order_relaxed)) {
        XattrArguments arguments {
            reinterpret_cast<std::uintptr_t>(value), static_cast<std::uint32_t>(size), 0};
        long length = ::syscall(
            getxattrat_call, dir_fd, name.c_str(), AT_SYMLINK_NOFOLLOW, key, &arguments, sizeof(arguments));
        // An older kernel doesn't know the call, and a sandbox may refuse what it doesn't know.
        if (length >= 0 || (errno != ENOSYS && errno != EPERM))
            return static_cast<ssize_t>(length);
        getxattrat_works.store(false, std::memory_order_relaxed);
    }
    return std::nullopt;
}

} // namespace

DosAttributeReader::DosAttributeReader(int dir_fd)
    : m_dir_fd(dir_fd)
    , m_prefix("/proc/self/fd/" + std::to_string(dir_fd) + "/")
{
    struct statfs fs { };
    if (::fstatfs(dir_fd, &fs) == 0) {
        m_ntfs = fs.f_type == fuse_magic || fs.f_type == ntfs3_magic;
        m_fat = fs.f_type == MSDOS_SUPER_MAGIC;
    }
}

std::optional<std::uint32_t> DosAttributeReader::read(std::string const& name)
{
    if (m_fat)
        return read_fat(name);
    if (m_ntfs) {
        if (auto attributes = read_xattr(name, "system.ntfs_attrib", m_ntfs))
            return attributes;
    }
    if (m_dosattrib)
        return read_xattr(name, "user.DOSATTRIB", m_dosattrib);
    return std::nullopt;
}

std::optional<std::uint32_t> DosAttributeReader::read_xattr(
    std::string const& name, char const* key, bool& supported)
{
    char value[512] {};
    auto read = get_xattr_at(m_dir_fd, name, key, value, sizeof(value) - 1);
    ssize_t length = read ? *read : ::lgetxattr((m_prefix + name).c_str(), key, value, sizeof(value) - 1);
    if (length < 0) {
        if (errno == ENOTSUP)
            supported = false;
        return std::nullopt;
    }
    if (std::strcmp(key, "system.ntfs_attrib") == 0) {
        if (length < 4)
            return std::nullopt;
        auto const* b = reinterpret_cast<unsigned char const*>(value);
        return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }
    // "user.DOSATTRIB" starts with the attributes as hexadecimal text, "0x20", whatever follows.
    if (length < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X'))
        return std::nullopt;
    char* end = nullptr;
    unsigned long attributes = std::strtoul(value + 2, &end, 16);
    if (end == value + 2)
        return std::nullopt;
    return static_cast<std::uint32_t>(attributes);
}

std::optional<std::uint32_t> DosAttributeReader::read_fat(std::string const& name)
{
    int fd = ::openat(m_dir_fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::uint32_t attributes = 0;
    int status = ::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes);
    ::close(fd);
    if (status != 0)
        return std::nullopt;
    return attributes;
}

} // namespace sorrel::files
