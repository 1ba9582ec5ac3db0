#pragma once

#include <string>
#include <sys/stat.h>

namespace sorrel::files {

enum class OpenElsewhere {
    No,
    Yes,
    Unknown, // the kernel would not say: not the file's owner, or no leases on its file system
};

// Whether any other descriptor, of any process and any user, is open on the regular file `name`
// of `dir_fd`, which was examined as `st`. The kernel grants a write lease only while there is
// none; the lease is let go at once. It needs the file's ownership (or CAP_LEASE) and a file
// system that keeps leases, which some network file systems don't.
OpenElsewhere open_elsewhere(int dir_fd, std::string const& name, struct stat const& st);

} // namespace sorrel::files
