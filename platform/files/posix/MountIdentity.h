#pragma once

#include <cstdint>
#include <optional>

namespace sorrel::files {

// Which mount an open file lies on. A bind mount of a folder of the same file system has the
// device number of its surroundings, so only the mount's own id tells it apart.
struct MountIdentity {
    std::uint64_t device {0};
    std::optional<std::uint64_t> mount; // nothing where the kernel does not say (before Linux 5.8)

    // Two places on one mount. Where either mount id is unknown, the device numbers decide.
    bool same_mount(MountIdentity const& other) const
    {
        if (device != other.device)
            return false;
        return !mount || !other.mount || *mount == *other.mount;
    }
};

// The mount of the open file `fd`; nothing when it can't be examined.
std::optional<MountIdentity> mount_of(int fd);

} // namespace sorrel::files
