#include "app/Entries.h"

#include "platform/files/win32/WindowsFiles.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cwctype>
#include <fstream>

namespace sorrel::app {

namespace {

using files::windows::to_utf8;

constexpr wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// One Run key as it is opened, and as a .reg file names it.
struct RunKeyPlace {
    HKEY root;
    REGSAM view;
    std::wstring shown; // "HKEY_LOCAL_MACHINE\Software\Wow6432Node\...\Run"
};

bool is_64bit_system()
{
    if (sizeof(void*) == 8)
        return true;
    // IsWow64Process came with XP SP2: without it the system is 32-bit.
    using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto is_wow64 = reinterpret_cast<IsWow64>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return is_wow64 && is_wow64(GetCurrentProcess(), &wow64) && wow64;
}

std::vector<RunKeyPlace> run_keys()
{
    // HKEY_CURRENT_USER's Software is the same for 32- and 64-bit programs.
    std::vector<RunKeyPlace> keys {{HKEY_CURRENT_USER, 0, L"HKEY_CURRENT_USER\\" + std::wstring(RunKey)}};
    if (!is_64bit_system()) {
        keys.push_back({HKEY_LOCAL_MACHINE, 0, L"HKEY_LOCAL_MACHINE\\" + std::wstring(RunKey)});
        return keys;
    }
    keys.push_back({HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"HKEY_LOCAL_MACHINE\\" + std::wstring(RunKey)});
    keys.push_back({HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY,
        L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"});
    return keys;
}

std::wstring lower(std::wstring text)
{
    for (auto& c : text)
        c = wchar_t(std::towlower(c));
    return text;
}

// The folder in the form the system's own paths take: no "\\?\" prefix, no trailing "\".
std::wstring plain_folder(std::filesystem::path const& folder)
{
    std::wstring path = folder.wstring();
    if (path.starts_with(L"\\\\?\\UNC\\"))
        path = L"\\\\" + path.substr(8);
    else if (path.starts_with(L"\\\\?\\"))
        path = path.substr(4);
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

// Whether `target` lies inside `folder` (both plain): the folder followed by "\", so that
// "...\Messenger" never takes in "...\Messenger Plus".
bool lies_inside(std::wstring const& target, std::wstring const& folder)
{
    std::wstring t = lower(target), f = lower(folder) + L"\\";
    return t.starts_with(f);
}

// The program a Run command starts: the quoted part, or everything up to ".exe", or up to the
// first blank.
std::wstring program_of(std::wstring const& command)
{
    if (command.starts_with(L"\"")) {
        auto end = command.find(L'"', 1);
        return command.substr(1, end == std::wstring::npos ? std::wstring::npos : end - 1);
    }
    auto exe = lower(command).find(L".exe");
    if (exe != std::wstring::npos)
        return command.substr(0, exe + 4);
    return command.substr(0, command.find(L' '));
}

struct RunValue {
    RunKeyPlace const* key;
    std::wstring name;
    DWORD type;
    std::wstring data;
    std::wstring program;
};

std::vector<RunValue> run_values_into(std::vector<RunKeyPlace> const& keys, std::wstring const& folder)
{
    std::vector<RunValue> found;
    for (auto const& place : keys) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(place.root, RunKey, 0, KEY_QUERY_VALUE | place.view, &key) != ERROR_SUCCESS)
            continue;
        for (DWORD i = 0;; ++i) {
            wchar_t name[16384];
            DWORD name_size = 16384;
            DWORD type = 0, data_size = 0;
            LONG status = RegEnumValueW(key, i, name, &name_size, nullptr, &type, nullptr, &data_size);
            if (status == ERROR_NO_MORE_ITEMS)
                break;
            if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
                continue;
            std::wstring data(data_size / sizeof(wchar_t) + 1, L'\0');
            std::size_t bytes = data.size() * sizeof(wchar_t);
            auto size = static_cast<DWORD>(bytes);
            if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size)
                != ERROR_SUCCESS)
                continue;
            data.resize(wcsnlen(data.c_str(), size / sizeof(wchar_t)));
            std::wstring command = data;
            if (type == REG_EXPAND_SZ) {
                wchar_t expanded[32768];
                if (DWORD n = ExpandEnvironmentStringsW(data.c_str(), expanded, 32768); n > 0 && n <= 32768)
                    command = expanded;
            }
            std::wstring program = program_of(command);
            if (lies_inside(program, folder))
                found.push_back({&place, name, type, data, program});
        }
        RegCloseKey(key);
    }
    return found;
}

// Every .lnk file below `folder`.
void collect_shortcuts(std::filesystem::path const& folder, std::vector<std::filesystem::path>& out)
{
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error) && lower(it->path().extension().wstring()) == L".lnk")
            out.push_back(it->path());
    }
}

// COM for the shell's shortcut object, as long as the object lives.
class Com {
public:
    Com()
        : m_ready(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
    { }
    ~Com()
    {
        if (m_ready)
            CoUninitialize();
    }
    Com(Com const&) = delete;
    Com& operator=(Com const&) = delete;

private:
    bool m_ready;
};

// What a shortcut leads to; empty when it can't be read.
std::wstring shortcut_target(std::filesystem::path const& file)
{
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
            reinterpret_cast<void**>(&link))))
        return {};
    std::wstring target;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ))
            && SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
            target = path;
        persist->Release();
    }
    link->Release();
    return target;
}

struct Shortcut {
    std::filesystem::path file;
    std::wstring target;
};

std::vector<Shortcut> shortcuts_into(std::wstring const& folder)
{
    std::vector<std::filesystem::path> files;
    // The Start menus hold Programs and Startup below them.
    for (int place : {CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU}) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathW(nullptr, place, nullptr, SHGFP_TYPE_CURRENT, path)))
            collect_shortcuts(path, files);
    }
    Com com;
    std::vector<Shortcut> found;
    for (auto const& file : files) {
        std::wstring target = shortcut_target(file);
        if (!target.empty() && lies_inside(target, folder))
            found.push_back({file, target});
    }
    return found;
}

EntryReport report_of(RunValue const& value)
{
    return {"run", to_utf8(value.key->shown + L"\\" + value.name), to_utf8(value.program)};
}

EntryReport report_of(Shortcut const& shortcut)
{
    return {"shortcut", to_utf8(shortcut.file.wstring()), to_utf8(shortcut.target)};
}

// A text as a .reg file's quoted string.
std::wstring reg_string(std::wstring const& text)
{
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"')
            out += L'\\';
        out += c;
    }
    return out + L"\"";
}

// REG_EXPAND_SZ as regedit writes it: hex(2), the UTF-16 bytes with their terminating zero.
std::wstring reg_expand(std::wstring const& text)
{
    std::wstring out = L"hex(2):";
    wchar_t digits[] = L"0123456789abcdef";
    bool first = true;
    for (size_t i = 0; i <= text.size(); ++i) {
        unsigned value = i < text.size() ? unsigned(text[i]) : 0u;
        for (unsigned byte : {value & 0xFFu, (value >> 8) & 0xFFu}) {
            if (!first)
                out += L',';
            out += digits[byte >> 4];
            out += digits[byte & 15];
            first = false;
        }
    }
    return out;
}

// Writes the values in regedit's format (UTF-16 with its mark), so that opening the file puts
// them back.
bool write_backup(std::filesystem::path const& file, std::vector<RunValue> const& values)
{
    std::wstring text = L"\xFEFFWindows Registry Editor Version 5.00\r\n";
    for (auto const& value : values) {
        text += L"\r\n[" + value.key->shown + L"]\r\n" + reg_string(value.name) + L"="
            + (value.type == REG_EXPAND_SZ ? reg_expand(value.data) : reg_string(value.data)) + L"\r\n";
    }
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<char const*>(text.data()), std::streamsize(text.size() * sizeof(wchar_t)));
    out.flush();
    return bool(out);
}

} // namespace

std::optional<std::vector<EntryReport>> entries_into(std::filesystem::path const& folder)
{
    std::wstring plain = plain_folder(folder);
    auto keys = run_keys();
    std::vector<EntryReport> entries;
    for (auto const& value : run_values_into(keys, plain))
        entries.push_back(report_of(value));
    for (auto const& shortcut : shortcuts_into(plain))
        entries.push_back(report_of(shortcut));
    return entries;
}

std::optional<EntryRemoval> remove_entries_into(
    std::filesystem::path const& folder, std::filesystem::path const& backup)
{
    std::wstring plain = plain_folder(folder);
    auto keys = run_keys();
    auto values = run_values_into(keys, plain);
    EntryRemoval removal;
    if (!values.empty() && !write_backup(backup, values)) {
        removal.problems.push_back("cannot write " + to_utf8(backup.wstring()) + ": no entry removed");
        return removal;
    }
    for (auto const& value : values) {
        HKEY key = nullptr;
        LONG status = RegOpenKeyExW(value.key->root, RunKey, 0, KEY_SET_VALUE | value.key->view, &key);
        if (status == ERROR_SUCCESS) {
            status = RegDeleteValueW(key, value.name.c_str());
            RegCloseKey(key);
        }
        if (status == ERROR_SUCCESS)
            removal.removed.push_back(report_of(value));
        else
            removal.problems.push_back(report_of(value).location + ": error " + std::to_string(status));
    }
    for (auto const& shortcut : shortcuts_into(plain)) {
        std::error_code error;
        if (std::filesystem::remove(shortcut.file, error))
            removal.removed.push_back(report_of(shortcut));
        else
            removal.problems.push_back(to_utf8(shortcut.file.wstring()) + ": " + error.message());
    }
    return removal;
}

} // namespace sorrel::app
