#include "platform/files/DeletionPass.h"

#include "platform/files/FileHandle.h"
#include "platform/files/NameMatch.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace sorrel::files {

namespace {

bool is_number(std::string const& name)
{
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

std::string read_small_file(int dir_fd, char const* name)
{
    FileHandle fd(::openat(dir_fd, name, O_RDONLY | O_CLOEXEC));
    std::string text;
    if (!fd.is_open())
        return text;
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

// The identity of what a /proc link leads to: the open file itself, even when renamed or
// deleted. The attributes the kernel has at hand are enough, so a stalled network or FUSE file
// system is not asked and can't stall the scan.
std::optional<FileIdentity> open_file_identity(int dir_fd, char const* name)
{
    struct statx st { };
    if (::statx(dir_fd, name, AT_STATX_DONT_SYNC, STATX_INO, &st) != 0)
        return std::nullopt;
    return FileIdentity {static_cast<std::uint64_t>(makedev(st.stx_dev_major, st.stx_dev_minor)), st.stx_ino};
}

std::string_view next_field(std::string_view& line)
{
    auto start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    line = line.substr(start);
    auto end = line.find(' ');
    auto field = line.substr(0, end);
    line = end == std::string_view::npos ? std::string_view {} : line.substr(end);
    return field;
}

template<typename T> bool parse_number(std::string_view text, T& value, int base)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

void DeletionPass::add_maps(std::string_view maps_text)
{
    while (!maps_text.empty()) {
        auto end = maps_text.find('\n');
        auto line = maps_text.substr(0, end);
        maps_text = end == std::string_view::npos ? std::string_view {} : maps_text.substr(end + 1);
        next_field(line); // address range
        next_field(line); // permissions
        next_field(line); // offset
        auto device = next_field(line);
        auto inode_text = next_field(line);
        auto colon = device.find(':');
        unsigned major = 0, minor = 0;
        std::uint64_t inode = 0;
        if (colon == std::string_view::npos || !parse_number(device.substr(0, colon), major, 16)
            || !parse_number(device.substr(colon + 1), minor, 16) || !parse_number(inode_text, inode, 10)
            || inode == 0)
            continue;
        m_in_use.insert({static_cast<std::uint64_t>(makedev(major, minor)), inode});
    }
}

DeletionPass DeletionPass::scan(std::filesystem::path const& proc)
{
    DeletionPass pass;
    FileHandle proc_fd(::open(proc.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!proc_fd.is_open())
        return pass;
    auto processes = list_directory(proc_fd.get());
    if (processes.is_error())
        return pass;
    // Only root may read the open files of every process; others may not even see every process.
    bool complete = ::geteuid() == 0;
    for (auto const& pid : processes.value()) {
        if (!is_number(pid))
            continue;
        FileHandle process(::openat(proc_fd.get(), pid.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!process.is_open()) {
            complete = complete && errno == ENOENT; // a process that ended meanwhile is no loss
            continue;
        }
        FileHandle fds(::openat(process.get(), "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!fds.is_open())
            complete = complete && errno == ENOENT;
        if (fds.is_open()) {
            if (auto entries = list_directory(fds.get()); !entries.is_error()) {
                for (auto const& entry : entries.value()) {
                    if (auto file = open_file_identity(fds.get(), entry.c_str()))
                        pass.add(*file);
                }
            }
        }
        // A folder that is a process's working folder is in use too, as Windows sees it.
        if (auto folder = open_file_identity(process.get(), "cwd"))
            pass.add(*folder);
        pass.add_maps(read_small_file(process.get(), "maps"));
    }
    pass.m_sees_every_process = complete;
    return pass;
}

} // namespace sorrel::files
