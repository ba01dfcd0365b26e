#include "app/SingleInstance.h"

#include "settings/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
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
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, kSocketName, sizeof address.sun_path - 1);
    return address;
}

int OpenLockFile()
{
    // O_NOFOLLOW: a link under the lock's name is never created through;
    // O_NONBLOCK: a FIFO under it does not hang the start.
    const int fd = ::open(kLockName, O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EACCES && errno != EROFS))
        return fd;
    // A folder the user may not write: an existing lock file still locks.
    return ::open(kLockName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

std::string FolderPath(const char* name)
{
    std::error_code ignored;
    return (std::filesystem::current_path(ignored) / name).string();
}

std::string LockProblem(int error)
{
    return FolderPath(kLockName) + " を開けないため、Lotscope を起動できません（" + FileErrorMessage(error) +
           "）。このファイルを自分のものにするか、ほかに Lotscope が動いていないことを確かめてから削除して、"
           "もう一度起動してください";
}

// Listens on the folder's socket, replacing one a dead copy left behind.
int Listen()
{
    struct stat st { };
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
    if (m_lock < 0) {
        m_problem = LockProblem(errno);
        return;
    }
    struct stat st { };
    int error = ::fstat(m_lock, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
    if (error == 0 && ::flock(m_lock, LOCK_EX | LOCK_NB) != 0)
        error = errno;
    if (error != 0) {
        ::close(m_lock);
        m_lock = -1;
        if (error == EWOULDBLOCK)
            m_first = false;
        else
            m_problem = LockProblem(error);
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

bool TSingleInstance::AskRunningCopyToFront() const
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(2);
    const auto millisecondsLeft = [&deadline] {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
    };
    const sockaddr_un address = SocketAddress();
    for (;;) {
        struct stat st { };
        if (::lstat(kSocketName, &st) == 0 && !S_ISSOCK(st.st_mode))
            return false;
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        const int error = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ? 0 : errno;
        if (error == 0) {
            // The running copy closes the connection once it has taken the
            // request; a stopped or hanging copy never does.
            pollfd answer{fd, POLLIN, 0};
            int ready;
            do
                ready = ::poll(&answer, 1, millisecondsLeft());
            while (ready < 0 && errno == EINTR);
            ::close(fd);
            return ready > 0;
        }
        ::close(fd);
        // Not there yet (or a dead copy's socket not yet replaced), or its
        // queue of waiting starts is full: try again while time is left.
        if ((error != ENOENT && error != ECONNREFUSED && error != EAGAIN) || millisecondsLeft() == 0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(50, millisecondsLeft())));
    }
}

std::string TSingleInstance::NoAnswerMessage()
{
    std::error_code ignored;
    return "このデータフォルダ（" + std::filesystem::current_path(ignored).string() +
           "）ではほかの Lotscope が動いていますが、応答しません（" + kSocketName +
           "）。そのプログラムを終了させてから、もう一度起動してください";
}

bool TSingleInstance::TakeRequest(int requestSocket)
{
    const int fd = ::accept4(requestSocket, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return errno == EINTR || errno == ECONNABORTED;
    ::close(fd);  // the answer
    return true;
}
