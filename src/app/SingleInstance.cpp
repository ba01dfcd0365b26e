#include "app/SingleInstance.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* kLockName = ".lotscope.lock";
constexpr const char* kSocketName = ".lotscope.socket";

sockaddr_un SocketAddress()
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, kSocketName, sizeof address.sun_path - 1);
    return address;
}

int OpenLockFile()
{
    // O_NOFOLLOW: a link under the lock's name is never created through.
    const int fd = ::open(kLockName, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EACCES && errno != EROFS))
        return fd;
    // A folder the user may not write: an existing lock file still locks.
    return ::open(kLockName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
}

// Listens on the folder's socket, replacing one a dead copy left behind.
int Listen()
{
    struct stat st {};
    if (::lstat(kSocketName, &st) == 0 && S_ISSOCK(st.st_mode))
        ::unlink(kSocketName);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const sockaddr_un address = SocketAddress();
    // Only the user may connect (connecting needs write permission on the
    // socket). Nothing else runs yet, so the process-wide mask is safe to
    // change for this call.
    const mode_t oldMask = ::umask(077);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(oldMask);
    if (!bound || ::listen(fd, 8) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

TSingleInstance::TSingleInstance()
{
    m_lock = OpenLockFile();
    if (m_lock < 0)
        return;
    if (::flock(m_lock, LOCK_EX | LOCK_NB) != 0) {
        m_first = errno != EWOULDBLOCK;
        ::close(m_lock);
        m_lock = -1;
        return;
    }
    m_listen = Listen();
}

TSingleInstance::~TSingleInstance()
{
    if (m_listen >= 0) {
        ::close(m_listen);
        ::unlink(kSocketName);
    }
    if (m_lock >= 0)
        ::close(m_lock);
}

void TSingleInstance::AskRunningCopyToFront() const
{
    const sockaddr_un address = SocketAddress();
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return;
        const int error =
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ? 0 : errno;
        ::close(fd);
        // Not there yet (or a dead copy's socket not yet replaced): try again.
        if (error != ENOENT && error != ECONNREFUSED && error != EAGAIN)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool TSingleInstance::TakeRequest() const
{
    const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return errno == EINTR || errno == ECONNABORTED;
    ::close(fd);
    return true;
}
