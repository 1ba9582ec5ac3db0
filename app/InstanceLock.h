#pragma once

#include "platform/base/ErrorOr.h"

#include <memory>

namespace sorrel::app {

// Keeps a second Sorrel from removing while one already does: a named mutex on Windows, a lock
// on a file in the user's runtime folder on Linux. The lock goes with the object, or with the
// process however it ends.
class InstanceLock {
public:
    // The lock, or null when another Sorrel holds it; an error when it cannot be made at all.
    static base::ErrorOr<std::unique_ptr<InstanceLock>> take();
    ~InstanceLock();
    InstanceLock(InstanceLock const&) = delete;
    InstanceLock& operator=(InstanceLock const&) = delete;

private:
    InstanceLock() = default;
    void* m_handle {nullptr}; // Windows
    int m_fd {-1}; // Linux
};

} // namespace sorrel::app
