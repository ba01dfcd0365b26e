#include "settings/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void ThrowOsError(int osError) { throw TFileError(FileErrorMessage(osError)); }

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t put = ::write(fd, data.data(), data.size());
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(put));
    }
    return true;
}

// Copies from into a new file beside target, named ".<name>.<random>.part",
// and renames it over target; nothing is left beside target on failure.
void CopyOver(const std::filesystem::path& from, const std::filesystem::path& target)
{
    TFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (in.get() < 0)
        ThrowOsError(errno);
    std::filesystem::path dir = target.parent_path();
    if (dir.empty())
        dir = ".";
    std::random_device random;
    const std::uint64_t tag = (std::uint64_t{random()} << 32) | random();
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(tag));
    const std::filesystem::path beside = dir / ("." + target.filename().string() + "." + hex + ".part");
    TFd out(::open(beside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
    if (out.get() < 0)
        ThrowOsError(errno);

    std::vector<char> block(std::size_t{1} << 20);
    int error = 0;
    for (;;) {
        const ssize_t got = ::read(in.get(), block.data(), block.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            error = got < 0 ? errno : 0;
            break;
        }
        if (!WriteAll(out.get(), std::string_view(block.data(), static_cast<std::size_t>(got)))) {
            error = errno ? errno : EIO;
            break;
        }
    }
    if (!error && (::fsync(out.get()) != 0 || out.close() != 0))
        error = errno ? errno : EIO;
    if (!error && ::rename(beside.c_str(), target.c_str()) != 0)
        error = errno;
    if (error) {
        if (out.get() >= 0)
            out.close();
        ::unlink(beside.c_str());
        ThrowOsError(error);
    }
}

}  // namespace

// Where the messages without an errno arise: "reading past the end" is the
// runtime's report for reading beyond the end of a file; the text files here
// are read into memory (whole, or the head that holds the lines used) and
// split afterwards, so the reading never goes past the end and it does not
// arise. "Bad numeric input" belongs to reading numbers
// straight from a file, which the program never does (its integers are
// converted from text by StrToInt, with a message of its own).
std::string FileErrorMessage(int osError)
{
    switch (osError) {
    case ENOENT:
    case ENOTDIR:  // a part of the path is not a directory: the file is not there
        return filemsg::kFileNotFound;
    case EINVAL:
    case ENAMETOOLONG:
    case EISDIR:  // the name is that of a directory
        return filemsg::kInvalidFileName;
    case EMFILE:
    case ENFILE:
        return filemsg::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case ELOOP:  // a symbolic link, which the data files may not be
        return filemsg::kAccessDenied;
    case ENOSPC:
    case EDQUOT:
        return filemsg::kDiskFull;
    default:
        return "I/O エラー (" + std::to_string(osError) + ")";
    }
}

TFd::~TFd()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int TFd::close()
{
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd);
}

std::string ReadHead(const std::filesystem::path& file, size_t limit, bool& more)
{
    // O_NONBLOCK keeps a FIFO under the file's name from hanging the open;
    // it has no effect on regular files. O_NOFOLLOW: a symbolic link under
    // the file's name is not followed to a file elsewhere (ELOOP).
    TFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
    if (fd.get() < 0)
        ThrowOsError(errno);

    struct stat st { };
    if (::fstat(fd.get(), &st) != 0)
        ThrowOsError(errno);
    // A directory (or device, FIFO, socket) under the name is not a file the
    // program can read: the name is reported as invalid rather than as a
    // permission problem, which would send the user after the wrong cause.
    if (S_ISDIR(st.st_mode))
        ThrowOsError(EISDIR);
    if (!S_ISREG(st.st_mode))
        ThrowOsError(EINVAL);

    // Room for one byte more than the size (or the limit) lets the read that
    // finds the end return 0 without growing the buffer. Files whose size is
    // not known in advance (0 in /proc) grow it by doubling, never beyond
    // the limit's extra byte.
    const size_t wanted = limit + 1;
    const auto known = static_cast<uintmax_t>(st.st_size > 0 ? st.st_size : 0);
    std::string content;
    content.resize(known < wanted ? static_cast<size_t>(known) + 1 : wanted);
    size_t used = 0;
    for (;;) {
        if (used == content.size()) {
            if (used == wanted)
                break;
            content.resize(std::min(wanted, std::max<size_t>(4096, content.size() * 2)));
        }
        const ssize_t got = ::read(fd.get(), content.data() + used, content.size() - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowOsError(errno);
        }
        if (got == 0)
            break;
        used += static_cast<size_t>(got);
    }
    more = used > limit;
    content.resize(std::min(used, limit));
    return content;
}

void SyncDirectory(const std::filesystem::path& dir)
{
    TFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        ThrowOsError(errno);
    if (::fsync(fd.get()) != 0 && errno != EINVAL)
        ThrowOsError(errno);
}

void ReplaceFile(const std::filesystem::path& target, std::string_view content, TFilePrivacy privacy)
{
    if (target.filename().empty())
        ThrowOsError(EINVAL);

    mode_t mode = privacy == TFilePrivacy::Private ? 0600 : 0644;
    gid_t group = static_cast<gid_t>(-1);  // -1: the new file's own
    struct stat old { };
    if (::lstat(target.c_str(), &old) == 0) {
        if (S_ISLNK(old.st_mode))
            ThrowOsError(ELOOP);
        if (old.st_uid != ::geteuid())
            ThrowOsError(EACCES);
        // An existing file that may not be written stays as it is, as it
        // would if it were overwritten in place; the rename alone would
        // replace it.
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            ThrowOsError(errno);
        if (privacy == TFilePrivacy::Public)
            mode = old.st_mode & 0777;
        group = old.st_gid;
    } else if (errno != ENOENT) {
        ThrowOsError(errno);
    }

    std::filesystem::path dir = target.parent_path();
    if (dir.empty())
        dir = ".";
    std::string tempName = (dir / ("." + target.filename().string() + ".XXXXXX")).string();

    // mkostemp opens with O_CREAT | O_EXCL and mode 0600, so the content is
    // never readable by others before its final mode is set.
    TFd fd(::mkostemp(tempName.data(), O_CLOEXEC));
    if (fd.get() < 0)
        ThrowOsError(errno);

    if (group != static_cast<gid_t>(-1) && ::fchown(fd.get(), static_cast<uid_t>(-1), group) != 0) {
        // A group the user is not a member of cannot be given; the new file
        // then has the user's.
    }
    const bool ok = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), content) && ::fsync(fd.get()) == 0 &&
                    fd.close() == 0 && ::rename(tempName.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int osError = errno;
        if (fd.get() >= 0)
            fd.close();
        ::unlink(tempName.c_str());
        ThrowOsError(osError);
    }
    // The new content is in place; a failure here means only that it is not
    // known to be on the disk yet, which is still reported.
    SyncDirectory(dir);
}

void MoveOver(const std::filesystem::path& from, const std::filesystem::path& target)
{
    if (::rename(from.c_str(), target.c_str()) == 0)
        return;
    if (errno != EXDEV)
        ThrowOsError(errno);
    CopyOver(from, target);
}
