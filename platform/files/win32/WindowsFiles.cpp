#include "platform/files/win32/WindowsFiles.h"

#include "platform/base/Cp1252.h"

#include <cerrno>
#include <winternl.h>

// Two calls that every Windows NT has in ntdll, which the headers leave out.
extern "C" {
NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PIO_APC_ROUTINE apc_routine, PVOID apc_context,
    PIO_STATUS_BLOCK io, PVOID information, ULONG length, FILE_INFORMATION_CLASS information_class,
    BOOLEAN single_entry, PUNICODE_STRING name, BOOLEAN restart);
BOOLEAN NTAPI RtlEqualUnicodeString(
    const UNICODE_STRING* first, const UNICODE_STRING* second, BOOLEAN ignore_case);
}

namespace sorrel::files::windows {

namespace {

constexpr NTSTATUS status_delete_pending = static_cast<NTSTATUS>(0xC0000056);
constexpr NTSTATUS status_no_more_files = static_cast<NTSTATUS>(0x80000006);
constexpr NTSTATUS status_no_such_file = static_cast<NTSTATUS>(0xC000000F);

bool is_high_surrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool is_low_surrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Decodes one character of `text` from `i` on, a lone surrogate's three-byte form included.
char32_t next_character(std::string_view text, std::size_t& i)
{
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    auto continuation = [&](std::size_t k) { return k < text.size() && (byte(k) & 0xC0) == 0x80; };
    unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    for (int k = 1; k < length; ++k) {
        if (!continuation(i + k))
            length = 0;
    }
    if (length == 0) {
        ++i;
        return 0xFFFD;
    }
    char32_t c = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k)
        c = (c << 6) | (byte(i + k) & 0x3F);
    i += length;
    return c;
}

// A function of `module` that older Windows lack, looked up once; null where it is missing.
template<typename Function> Function newer_function(const wchar_t* module, const char* name)
{
    HMODULE handle = GetModuleHandleW(module);
    return handle ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)))
                  : nullptr;
}

// A folder or the drive it lies on that is not ready (an empty card reader, a disc drive without
// a disc) fails quietly instead of asking the user to insert a disk. Windows 7 sets this for the
// calling thread; older ones only for the whole process, which the one thread that reads folders
// restores as soon as it is done.
class QuietErrors {
public:
    QuietErrors()
    {
        constexpr UINT quiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
        if (set_thread_mode) {
            if (!set_thread_mode(quiet, &m_previous))
                m_previous = quiet; // nothing to restore
        } else {
            m_previous = SetErrorMode(quiet);
            SetErrorMode(m_previous | quiet); // the process's other choices stay
        }
    }
    ~QuietErrors()
    {
        if (set_thread_mode)
            set_thread_mode(m_previous, nullptr);
        else
            SetErrorMode(m_previous);
    }

private:
    using SetThreadErrorModeFunction = BOOL(WINAPI*)(DWORD, DWORD*);
    static inline SetThreadErrorModeFunction const set_thread_mode
        = newer_function<SetThreadErrorModeFunction>(L"kernel32.dll", "SetThreadErrorMode");
    DWORD m_previous {0};
};

// The path of an open entry from its volume's root, "\Folder\file.txt": where it really is, which
// for a link that the system followed is the target's place.
std::optional<std::wstring> path_in_volume(HANDLE handle)
{
    std::vector<LONGLONG> buffer(
        (sizeof(FILE_NAME_INFORMATION) + 32768 * sizeof(wchar_t)) / sizeof(LONGLONG));
    auto* info = reinterpret_cast<FILE_NAME_INFORMATION*>(buffer.data());
    IO_STATUS_BLOCK io {};
    if (NtQueryInformationFile(handle, &io, info, static_cast<ULONG>(buffer.size()) * ULONG(sizeof(LONGLONG)),
            FileNameInformation)
        < 0)
        return std::nullopt;
    return std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t));
}

// Whether two names are the same to the file system: letters compare as their upper case.
bool same_name(std::wstring const& a, std::wstring const& b)
{
    constexpr std::size_t longest = 32767; // a UNICODE_STRING counts its bytes in 16 bits
    if (a.size() > longest || b.size() > longest)
        return false;
    auto counted = [](std::wstring const& text) {
        UNICODE_STRING string;
        string.Buffer = const_cast<wchar_t*>(text.data());
        string.Length = static_cast<USHORT>(text.size() * sizeof(wchar_t));
        string.MaximumLength = string.Length;
        return string;
    };
    UNICODE_STRING first = counted(a), second = counted(b);
    return RtlEqualUnicodeString(&first, &second, TRUE);
}

} // namespace

std::string to_utf8(std::wstring_view name)
{
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        char32_t c = name[i];
        if (is_high_surrogate(name[i]) && i + 1 < name.size() && is_low_surrogate(name[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (name[i + 1] - 0xDC00);
            ++i;
        }
        base::append_utf8(out, c);
    }
    return out;
}

std::wstring to_wide(std::string_view name)
{
    std::wstring out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        char32_t c = next_character(name, i);
        if (c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

int errno_of(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_NOT_READY:
    case ERROR_INVALID_DRIVE:
        return ENODEV;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_INVALID_NAME:
        return EINVAL;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ELOOP;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    default:
        return EIO;
    }
}

Error system_error(std::string const& what, DWORD error)
{
    return Error::from_errno(what, errno_of(error));
}

std::wstring full_path(std::filesystem::path const& drive_folder, std::vector<std::string> const& components)
{
    std::wstring path = drive_folder.wstring();
    for (auto& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    for (auto const& component : components)
        path += L'\\' + to_wide(component);
    if (components.empty())
        path += L'\\'; // "\\?\C:" would be the volume, not its root folder
    if (path.starts_with(L"\\\\?\\"))
        return path;
    if (path.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

Result<std::wstring> full_path(DriveMap const& drives, WindowsPath const& path)
{
    auto const* drive_folder = drives.folder(path.drive);
    if (!drive_folder)
        return Error {std::string("drive ") + path.drive + ": is not there", ENODEV};
    return full_path(*drive_folder, path.components);
}

Result<Handle> open_folder(std::wstring const& path, std::string const& shown)
{
    QuietErrors quiet;
    Handle folder(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder.is_open())
        return system_error("cannot open \"" + shown + "\"", GetLastError());
    auto info = examine(folder.get());
    if (!info || !info->is_folder())
        return Error {"\"" + shown + "\" is not a folder", ENOTDIR};
    return folder;
}

namespace {

NTSTATUS open_relative(HANDLE folder, std::wstring const& name, ACCESS_MASK access, HANDLE& entry)
{
    UNICODE_STRING unicode_name;
    unicode_name.Buffer = const_cast<wchar_t*>(name.data());
    unicode_name.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    unicode_name.MaximumLength = unicode_name.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &unicode_name, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK io {};
    QuietErrors quiet;
    return NtCreateFile(&entry, access | SYNCHRONIZE, &attributes, &io, nullptr, 0,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
        FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
}

bool is_valid_name(std::wstring const& name)
{
    return !name.empty() && name.size() <= 32767 / sizeof(wchar_t);
}

} // namespace

Result<Handle> open_entry(HANDLE folder, std::wstring const& name, ACCESS_MASK access, DWORD& error)
{
    error = ERROR_SUCCESS;
    if (!is_valid_name(name)) {
        error = ERROR_INVALID_NAME;
        return Error {"\"" + to_utf8(name) + "\" is not a valid name", EINVAL};
    }
    HANDLE entry = nullptr;
    NTSTATUS status = open_relative(folder, name, access, entry);
    if (status < 0) {
        // An entry whose deletion waits for its last handle to close is as good as gone.
        error = status == status_delete_pending ? ERROR_FILE_NOT_FOUND : RtlNtStatusToDosError(status);
        return system_error("cannot open \"" + to_utf8(name) + "\"", error);
    }
    return Handle(entry);
}

bool is_deletion_pending(HANDLE folder, std::wstring const& name)
{
    HANDLE entry = nullptr;
    if (!is_valid_name(name))
        return false;
    NTSTATUS status = open_relative(folder, name, FILE_READ_ATTRIBUTES, entry);
    Handle closed(status < 0 ? nullptr : entry);
    return status == status_delete_pending;
}

std::optional<EntryInfo> examine(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info {};
    if (!GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    return EntryInfo {info.dwFileAttributes,
        {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow}};
}

bool opens_links_as_targets()
{
    static bool const wine = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version");
    }();
    return wine;
}

bool is_entry_itself(HANDLE folder, HANDLE entry, std::wstring const& name)
{
    if (!opens_links_as_targets())
        return true;
    auto folder_info = examine(folder);
    auto entry_info = examine(entry);
    if (!folder_info || !entry_info || folder_info->identity.device != entry_info->identity.device)
        return false;
    auto expected = path_in_volume(folder);
    auto actual = path_in_volume(entry);
    if (!expected || !actual)
        return false;
    if (!expected->ends_with(L'\\'))
        *expected += L'\\';
    *expected += name;
    // The name may be asked for in another case than the disk spells it.
    return same_name(*expected, *actual);
}

std::optional<std::wstring> final_path(HANDLE handle)
{
    using FinalPathFunction = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
    static FinalPathFunction const final_path_name
        = newer_function<FinalPathFunction>(L"kernel32.dll", "GetFinalPathNameByHandleW");
    if (!final_path_name)
        return final_path_from_object_name(handle);
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = final_path_name(
            handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return std::nullopt;
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length);
    }
}

std::optional<std::wstring> final_path_from_object_name(HANDLE handle)
{
    std::vector<LONGLONG> buffer(
        (sizeof(OBJECT_NAME_INFORMATION) + 32768 * sizeof(wchar_t)) / sizeof(LONGLONG));
    auto* info = reinterpret_cast<OBJECT_NAME_INFORMATION*>(buffer.data());
    ULONG length = 0;
    NTSTATUS status = NtQueryObject(handle, ObjectNameInformation, info,
        static_cast<ULONG>(buffer.size()) * ULONG(sizeof(LONGLONG)), &length);
    if (status < 0) {
        SetLastError(RtlNtStatusToDosError(status));
        return std::nullopt;
    }
    std::vector<DriveDevice> devices;
    wchar_t drive[] = L"A:";
    std::wstring device(MAX_PATH, L'\0');
    for (DWORD drives = GetLogicalDrives(); drive[0] <= L'Z'; ++drive[0], drives >>= 1) {
        if ((drives & 1) && QueryDosDeviceW(drive, device.data(), static_cast<DWORD>(device.size())))
            devices.push_back({drive[0], device.c_str()}); // the first of the names it lists
    }
    auto path = drive_path_of(std::wstring(info->Name.Buffer, info->Name.Length / sizeof(wchar_t)), devices);
    if (!path)
        SetLastError(ERROR_PATH_NOT_FOUND);
    return path;
}

std::optional<std::wstring> drive_path_of(
    std::wstring const& kernel_name, std::vector<DriveDevice> const& devices)
{
    if (kernel_name.starts_with(L"\\??\\")) // already a drive's name
        return L"\\\\?\\" + kernel_name.substr(4);
    for (auto const& [letter, device] : devices) {
        if (device.empty() || !kernel_name.starts_with(device))
            continue;
        std::wstring rest = kernel_name.substr(device.size());
        if (rest.empty())
            rest = L"\\";
        if (rest.front() == L'\\') // not "\Device\HarddiskVolume10" for "\Device\HarddiskVolume1"
            return L"\\\\?\\" + std::wstring(1, letter) + L":" + rest;
    }
    return std::nullopt;
}

std::wstring shown_path(std::wstring const& path)
{
    if (path.starts_with(L"\\\\?\\UNC\\"))
        return L"\\\\" + path.substr(8);
    if (path.starts_with(L"\\\\?\\"))
        return path.substr(4);
    return path;
}

Result<std::vector<FolderEntry>> list_folder(HANDLE folder)
{
    auto path = final_path(folder);
    if (!path)
        return system_error("cannot read the folder", GetLastError());
    if (!path->ends_with(L'\\'))
        *path += L'\\';
    *path += L'*';
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW data {};
    QuietErrors quiet;
    // Windows 7 lists faster without the short names and in larger batches; older ones refuse both.
    HANDLE search = FindFirstFileExW(
        path->c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        search
            = FindFirstFileExW(path->c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return entries;
        return system_error("cannot read the folder", error);
    }
    do {
        std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..")
            entries.push_back({std::wstring(name), data.dwFileAttributes});
    } while (FindNextFileW(search, &data));
    DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES)
        return system_error("cannot read the folder", error);
    return entries;
}

Result<std::vector<FolderEntry>> read_folder(HANDLE folder)
{
    std::vector<FolderEntry> entries;
    // Aligned for the records, which start on 8-byte boundaries.
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));
    for (BOOLEAN restart = TRUE;; restart = FALSE) {
        IO_STATUS_BLOCK io {};
        NTSTATUS status = NtQueryDirectoryFile(folder, nullptr, nullptr, nullptr, &io, buffer.data(),
            static_cast<ULONG>(buffer.size()) * ULONG(sizeof(LONGLONG)), FileDirectoryInformation, FALSE,
            nullptr, restart);
        if (status == status_no_more_files || status == status_no_such_file)
            return entries;
        if (status < 0)
            return system_error("cannot read the folder", RtlNtStatusToDosError(status));
        auto const* bytes = reinterpret_cast<std::uint8_t const*>(buffer.data());
        for (;;) {
            auto const* record = reinterpret_cast<FILE_DIRECTORY_INFORMATION const*>(bytes);
            std::wstring_view name(record->FileName, record->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..")
                entries.push_back({std::wstring(name), record->FileAttributes});
            if (record->NextEntryOffset == 0)
                break;
            bytes += record->NextEntryOffset;
        }
    }
}

} // namespace sorrel::files::windows

namespace sorrel::files {

Result<std::filesystem::path> resolve(DriveMap const& drives, std::string_view windows_path)
{
    auto parsed = WindowsPath::parse(windows_path);
    if (parsed.is_error())
        return parsed.error();
    auto path = windows::full_path(drives, parsed.value());
    if (path.is_error())
        return path.error();
    return std::filesystem::path(path.value());
}

} // namespace sorrel::files
