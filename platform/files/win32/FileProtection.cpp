#include "platform/files/FileProtection.h"
#include "platform/files/win32/WindowsFiles.h"

#include <windows.h>

namespace sorrel::files {

namespace {

// Windows File Protection, asked through sfc.dll, which is loaded when first needed: where it or
// its call is missing, nothing is guarded.
class SystemProtection final : public FileProtection {
public:
    SystemProtection()
    {
        if (HMODULE sfc = LoadLibraryW(L"sfc.dll"))
            m_is_protected = reinterpret_cast<IsProtected>(
                reinterpret_cast<void*>(GetProcAddress(sfc, "SfcIsFileProtected")));
    }

    bool is_protected(std::string_view path) const override
    {
        if (!m_is_protected)
            return false;
        std::wstring wide = windows::to_wide(path);
        return m_is_protected(nullptr, wide.c_str()) != FALSE;
    }

    // The system restores a guarded file within a few seconds of its deletion.
    void wait_for_restoring() const override { Sleep(RestoreWaitMs); }

private:
    using IsProtected = BOOL(WINAPI*)(HANDLE, LPCWSTR);
    static constexpr DWORD RestoreWaitMs = 3000;
    IsProtected m_is_protected {nullptr};
};

} // namespace

FileProtection const& system_file_protection()
{
    static SystemProtection const system;
    return system;
}

} // namespace sorrel::files
