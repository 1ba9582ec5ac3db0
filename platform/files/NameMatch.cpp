#include "platform/files/NameMatch.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorrel::files {

namespace {

// Upper case of one code point, for the alphabets we fold.
char32_t upper(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return c - 0x20;
    if (c < 0x80)
        return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c & ~char32_t {1};
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c : c - 1;
    if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB))
        return c - 0x20;
    if (c == 0x3C2)
        return 0x3A3;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    return c;
}

void append_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string fold_case(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        auto byte = static_cast<unsigned char>(name[i]);
        // Two-byte sequences cover every letter we fold beyond ASCII; the rest is copied as is.
        if (byte >= 0xC2 && byte <= 0xDF && i + 1 < name.size()
            && (static_cast<unsigned char>(name[i + 1]) & 0xC0) == 0x80) {
            char32_t c = ((byte & 0x1F) << 6) | (static_cast<unsigned char>(name[i + 1]) & 0x3F);
            append_utf8(out, upper(c));
            i += 2;
            continue;
        }
        out += static_cast<char>(byte < 0x80 ? upper(byte) : byte);
        ++i;
    }
    return out;
}

bool equal_ignoring_case(std::string_view a, std::string_view b)
{
    return fold_case(a) == fold_case(b);
}

bool less_ignoring_case(std::string_view a, std::string_view b)
{
    auto fa = fold_case(a);
    auto fb = fold_case(b);
    if (fa != fb)
        return fa < fb;
    return a < b;
}

Result<std::vector<std::string>> list_directory(int dir_fd)
{
    int fd = ::openat(dir_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Error::from_errno("cannot open the folder", errno);
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        int code = errno;
        ::close(fd);
        return Error::from_errno("cannot open the folder", code);
    }
    std::vector<std::string> names;
    errno = 0;
    while (dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
        errno = 0;
    }
    int code = errno;
    ::closedir(dir);
    if (code != 0)
        return Error::from_errno("cannot read the folder", code);
    return names;
}

Result<std::string> find_entry(int dir_fd, std::string_view name)
{
    std::string wanted(name);
    if (wanted.empty() || wanted.find('\0') != std::string::npos || wanted.find('/') != std::string::npos)
        return Error {"\"" + wanted + "\" is not a valid name", EINVAL};
    struct stat st { };
    if (::fstatat(dir_fd, wanted.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return wanted;
    if (errno != ENOENT)
        return Error::from_errno("cannot examine \"" + wanted + "\"", errno);

    auto names = list_directory(dir_fd);
    if (names.is_error())
        return names.error();
    auto folded = fold_case(wanted);
    std::string found;
    int matches = 0;
    for (auto const& candidate : names.value()) {
        if (fold_case(candidate) == folded) {
            found = candidate;
            ++matches;
        }
    }
    if (matches == 0)
        return Error {"\"" + wanted + "\" does not exist", ENOENT};
    if (matches > 1)
        return Error {"\"" + wanted + "\" matches several names that differ only in case", EEXIST};
    return found;
}

} // namespace sorrel::files
