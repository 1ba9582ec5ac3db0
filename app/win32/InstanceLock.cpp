#include "app/InstanceLock.h"

#include <windows.h>

namespace sorrel::app {

base::ErrorOr<std::unique_ptr<InstanceLock>> InstanceLock::take()
{
    // One for the whole machine: two administrators in two sessions must not remove at once.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Global\\Sorrel.RemoveOlder");
    DWORD error = GetLastError();
    if (!mutex) {
        // Made by another user, whose mutex we may not open: it is still another Sorrel.
        if (error == ERROR_ACCESS_DENIED)
            return std::unique_ptr<InstanceLock>();
        return base::Error {
            "cannot make the mutex that keeps a second Sorrel out (error " + std::to_string(error) + ")",
            int(error)};
    }
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return std::unique_ptr<InstanceLock>();
    }
    std::unique_ptr<InstanceLock> lock(new InstanceLock());
    lock->m_handle = mutex;
    return lock;
}

InstanceLock::~InstanceLock()
{
    if (m_handle)
        CloseHandle(m_handle);
}

} // namespace sorrel::app
