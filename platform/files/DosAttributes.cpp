#include "platform/files/DosAttributes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace sorrel::files {

namespace {

constexpr long fuse_magic = 0x65735546; // ntfs-3g and other FUSE file systems
constexpr long ntfs3_magic = 0x7366746e; // the kernel's NTFS driver

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
    auto path = m_prefix + name;
    if (m_ntfs) {
        if (auto attributes = read_xattr(path, "system.ntfs_attrib", m_ntfs))
            return attributes;
    }
    if (m_dosattrib)
        return read_xattr(path, "user.DOSATTRIB", m_dosattrib);
    return std::nullopt;
}

std::optional<std::uint32_t> DosAttributeReader::read_xattr(
    std::string const& path, char const* key, bool& supported)
{
    char value[512] {};
    ssize_t length = ::lgetxattr(path.c_str(), key, value, sizeof(value) - 1);
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
