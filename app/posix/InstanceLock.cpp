#include "app/InstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorrel::app {

namespace {

// The user's runtime folder ($XDG_RUNTIME_DIR); without one, the temporary folder, where the
// file's name carries the user so that users don't lock each other out.
std::string lock_file_path()
{
    if (char const* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/') {
        struct stat st { };
        if (::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
            return std::string(runtime) + "/sorrel.lock";
    }
    char const* temp = std::getenv("TMPDIR");
    std::string folder = temp && *temp == '/' ? temp : "/tmp";
    return folder + "/sorrel-" + std::to_string(::getuid()) + ".lock";
}

} // namespace

base::ErrorOr<std::unique_ptr<InstanceLock>> InstanceLock::take()
{
    std::string path = lock_file_path();
    // Never through a link: someone else's link in /tmp must not make us create or lock their file.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return base::Error::from_errno("cannot make the lock file " + path, errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return std::unique_ptr<InstanceLock>();
        return base::Error::from_errno("cannot lock " + path, error);
    }
    std::unique_ptr<InstanceLock> lock(new InstanceLock());
    lock->m_fd = fd;
    return lock;
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace sorrel::app
