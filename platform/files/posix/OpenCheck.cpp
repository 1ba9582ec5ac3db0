#include "platform/files/posix/OpenCheck.h"

#include "platform/files/FileHandle.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>

namespace sorrel::files {

OpenElsewhere open_elsewhere(int dir_fd, std::string const& name, struct stat const& st)
{
    if (!S_ISREG(st.st_mode))
        return OpenElsewhere::Unknown;
    FileHandle file(
        ::openat(dir_fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened { };
    if (!file.is_open() || ::fstat(file.get(), &opened) != 0 || opened.st_dev != st.st_dev
        || opened.st_ino != st.st_ino)
        return OpenElsewhere::Unknown;
    // Someone opening the file while we hold the lease makes the kernel signal us; SIGIO would end
    // the program, SIGURG is ignored unless handled.
    ::fcntl(file.get(), F_SETSIG, SIGURG);
    if (::fcntl(file.get(), F_SETLEASE, F_WRLCK) == 0) {
        ::fcntl(file.get(), F_SETLEASE, F_UNLCK);
        return OpenElsewhere::No;
    }
    return errno == EAGAIN ? OpenElsewhere::Yes : OpenElsewhere::Unknown;
}

} // namespace sorrel::files
