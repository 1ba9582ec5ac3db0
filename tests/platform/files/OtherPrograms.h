#pragma once

// What other programs do to the files a deletion meets, done the way each system's programs do
// it: keep a file in use, put a link to a folder in a folder's place.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace sorrel::files::test {

#ifdef _WIN32

// Another program's handle on the file, shared with nobody: the file can't be deleted meanwhile.
class HeldOpen {
public:
    explicit HeldOpen(std::filesystem::path const& path)
        : m_handle(CreateFileW(path.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
        // Where the system doesn't enforce sharing, a second open succeeds and nothing is held.
        HANDLE second = CreateFileW(path.wstring().c_str(), GENERIC_READ,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
        m_enforced = second == INVALID_HANDLE_VALUE;
        if (!m_enforced)
            CloseHandle(second);
    }
    ~HeldOpen() { close(); }
    HeldOpen(HeldOpen const&) = delete;
    HeldOpen& operator=(HeldOpen const&) = delete;

    bool is_open() const { return m_handle != INVALID_HANDLE_VALUE; }
    // Whether the system keeps others from deleting the file while it is held.
    bool keeps_others_out() const { return m_enforced; }
    void close()
    {
        if (is_open())
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
    bool m_enforced {false};
};

// Makes `link` a junction to `target` the way the system's own tools do, else a directory
// symbolic link; false when the system makes neither (then it says why in `why`).
inline bool make_folder_link(
    std::filesystem::path const& link, std::filesystem::path const& target, std::string& why)
{
    if (!CreateDirectoryW(link.wstring().c_str(), nullptr))
        return false;
    HANDLE folder = CreateFileW(link.wstring().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    std::wstring substitute = L"\\??\\" + target.wstring();
    std::wstring print = target.wstring();
    auto sub_bytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    auto print_bytes = static_cast<WORD>(print.size() * sizeof(wchar_t));
    WORD data_length = static_cast<WORD>(8 + sub_bytes + 2 + print_bytes + 2);
    std::vector<std::uint8_t> buffer(8 + data_length);
    auto put16 = [&](std::size_t at, WORD value) { std::memcpy(buffer.data() + at, &value, 2); };
    DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, 4);
    put16(4, data_length);
    put16(8, 0);
    put16(10, sub_bytes);
    put16(12, static_cast<WORD>(sub_bytes + 2));
    put16(14, print_bytes);
    std::memcpy(buffer.data() + 16, substitute.data(), sub_bytes);
    std::memcpy(buffer.data() + 16 + sub_bytes + 2, print.data(), print_bytes);
    DWORD returned = 0;
    bool junction = folder != INVALID_HANDLE_VALUE
        && DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()),
            nullptr, 0, &returned, nullptr);
    DWORD junction_error = GetLastError();
    if (folder != INVALID_HANDLE_VALUE)
        CloseHandle(folder);
    auto is_link = [&] {
        DWORD attributes = GetFileAttributesW(link.wstring().c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    };
    if (junction && is_link())
        return true;
    RemoveDirectoryW(link.wstring().c_str());
    // Symbolic links came with Vista.
    constexpr DWORD directory = 0x1; // SYMBOLIC_LINK_FLAG_DIRECTORY
    constexpr DWORD unprivileged = 0x2; // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    using CreateSymbolicLink = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
    auto create_symbolic_link = reinterpret_cast<CreateSymbolicLink>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW")));
    bool symlink = create_symbolic_link
        && create_symbolic_link(link.wstring().c_str(), target.wstring().c_str(), directory | unprivileged);
    DWORD symlink_error = create_symbolic_link ? GetLastError() : DWORD(ERROR_CALL_NOT_IMPLEMENTED);
    if (symlink && is_link())
        return true;
    why = "this system makes no junction (FSCTL_SET_REPARSE_POINT: error " + std::to_string(junction_error)
        + ") and no symbolic link (CreateSymbolicLinkW: error " + std::to_string(symlink_error) + ")";
    return false;
}

#else

// Another program's descriptor on the file, which the scan of open files finds.
class HeldOpen {
public:
    explicit HeldOpen(std::filesystem::path const& path)
        : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    { }
    ~HeldOpen() { close(); }
    HeldOpen(HeldOpen const&) = delete;
    HeldOpen& operator=(HeldOpen const&) = delete;

    bool is_open() const { return m_fd >= 0; }
    bool keeps_others_out() const { return true; }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

inline bool make_folder_link(
    std::filesystem::path const& link, std::filesystem::path const& target, std::string& why)
{
    std::error_code error;
    std::filesystem::create_directory_symlink(target, link, error);
    why = error.message();
    return !error;
}

#endif

} // namespace sorrel::files::test
