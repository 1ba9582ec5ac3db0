#include "platform/files/posix/MountIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace sorrel::files {

std::optional<MountIdentity> mount_of(int fd)
{
    struct statx st { };
    if (::statx(fd, "", AT_EMPTY_PATH | AT_STATX_DONT_SYNC, STATX_MNT_ID, &st) != 0)
        return std::nullopt;
    MountIdentity identity {static_cast<std::uint64_t>(makedev(st.stx_dev_major, st.stx_dev_minor)), {}};
    if (st.stx_mask & STATX_MNT_ID)
        identity.mount = st.stx_mnt_id;
    return identity;
}

} // namespace sorrel::files
