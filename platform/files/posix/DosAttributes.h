#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sorrel::files {

enum DosAttribute : std::uint32_t {
    DosReadOnly = 0x1,
    DosHidden = 0x2,
    DosSystem = 0x4,
};

// Reads the DOS attributes that some file systems keep beside the mode bits: NTFS drivers expose
// them as "system.ntfs_attrib", FAT through an ioctl, and Wine and Samba store them in
// "user.DOSATTRIB" on any file system. One reader serves one directory, so that an attribute the
// file system does not support is asked for once, not once per file.
class DosAttributeReader {
public:
    explicit DosAttributeReader(int dir_fd);

    // The attributes of the entry `name` of the directory, when the file system keeps any.
    std::optional<std::uint32_t> read(std::string const& name);

private:
    std::optional<std::uint32_t> read_xattr(std::string const& name, char const* key, bool& supported);
    std::optional<std::uint32_t> read_fat(std::string const& name);

    int m_dir_fd {-1};
    std::string m_prefix; // "/proc/self/fd/N/": reaches entries of the directory without a path
    bool m_ntfs {false};
    bool m_fat {false};
    bool m_dosattrib {true};
};

} // namespace sorrel::files
