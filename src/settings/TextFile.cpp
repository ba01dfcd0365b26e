#include "settings/TextFile.h"

#include "textconv/Cp932.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kEndOfFile = '\x1A';

[[noreturn]] void ThrowOsError(int osError)
{
    throw TFileError(FileErrorMessage(osError));
}

// Closes a descriptor on every way out unless released.
class TFd {
public:
    explicit TFd(int fd) : m_fd(fd) {}
    ~TFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports close's own failure (a delayed write error).
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd);
    }

private:
    int m_fd = -1;
};

// Thousands grouped by commas, as the limit messages show them.
std::string Grouped(size_t n)
{
    std::string text = std::to_string(n);
    for (size_t i = text.size(); i > 3; i -= 3)
        text.insert(i - 3, ",");
    return text;
}

enum class TLimit { FileBytes, Lines, LineBytes };

[[noreturn]] void ThrowLimit(const std::filesystem::path& file, TLimit limit, size_t bound)
{
    const std::string name = file.filename().string();
    switch (limit) {
    case TLimit::FileBytes:
        throw TFileError(name + " が上限の " + Grouped(bound) + " バイトを超えています");
    case TLimit::Lines:
        throw TFileError(name + " の行数が上限の " + Grouped(bound) + " 行を超えています");
    case TLimit::LineBytes:
        break;
    }
    throw TFileError(name + " に上限の " + Grouped(bound) + " バイトを超える行があります");
}

// Reads the first bytes of a file, at most limit of them; `more` tells
// whether the file goes on beyond them.
std::string ReadHead(const std::filesystem::path& file, size_t limit, bool& more)
{
    // O_NONBLOCK keeps a FIFO under the file's name from hanging the open;
    // it has no effect on regular files. O_NOFOLLOW: a symbolic link under
    // the file's name is not followed to a file elsewhere (ELOOP).
    TFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
    if (fd.get() < 0)
        ThrowOsError(errno);

    struct stat st {};
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

// Calls onLine(line) for each line of content by the line rules.
template <class OnLine>
void ForEachLine(std::string_view content, OnLine&& onLine)
{
    if (const size_t eof = content.find(kEndOfFile); eof != std::string_view::npos)
        content = content.substr(0, eof);

    size_t pos = 0;
    while (pos < content.size()) {
        const size_t cr = content.find('\r', pos);
        if (cr == std::string_view::npos) {
            onLine(content.substr(pos));
            break;
        }
        onLine(content.substr(pos, cr - pos));
        pos = cr + 1;
        if (pos < content.size() && content[pos] == '\n')
            ++pos;
    }
}

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

// Makes sure a completed rename survives a crash. File systems that cannot
// sync a directory (EINVAL) are taken as they are.
void SyncDirectory(const std::filesystem::path& dir)
{
    TFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        ThrowOsError(errno);
    if (::fsync(fd.get()) != 0 && errno != EINVAL)
        ThrowOsError(errno);
}

// Writes content to a temporary file beside target and renames it over the
// target. Until the rename the old file is untouched; any failure before it
// removes the temporary file and throws.
//
// Only a file of the running user is replaced, and it keeps its owner, its
// mode (a Public file; a Private one is 0600) and its group where the user
// may set it. A symbolic link under the name (ELOOP) and a file of another
// user, root saving in a user's folder included, are reported as access
// denied and kept as they are. A new file is the running user's.
void ReplaceFile(const std::filesystem::path& target, std::string_view content, TFilePrivacy privacy)
{
    if (target.filename().empty())
        ThrowOsError(EINVAL);

    mode_t mode = privacy == TFilePrivacy::Private ? 0600 : 0644;
    gid_t group = static_cast<gid_t>(-1);  // -1: the new file's own
    struct stat old {};
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
    const bool ok = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), content) &&
                    ::fsync(fd.get()) == 0 && fd.close() == 0 &&
                    ::rename(tempName.c_str(), target.c_str()) == 0;
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

std::vector<std::string> SplitLines(std::string_view content)
{
    std::vector<std::string> lines;
    ForEachLine(content, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

void ReadLines(const std::filesystem::path& file, const TTextLimits& limits,
               const std::function<void(std::string_view)>& onLine)
{
    bool more = false;
    const std::string content = ReadHead(file, limits.MaxFileBytes, more);
    if (more)
        ThrowLimit(file, TLimit::FileBytes, limits.MaxFileBytes);
    size_t count = 0;
    ForEachLine(content, [&](std::string_view line) {
        if (++count > limits.MaxLines)
            ThrowLimit(file, TLimit::Lines, limits.MaxLines);
        if (line.size() > limits.MaxLineBytes)
            ThrowLimit(file, TLimit::LineBytes, limits.MaxLineBytes);
        onLine(line);
    });
}

std::vector<std::string> ReadLines(const std::filesystem::path& file, const TTextLimits& limits)
{
    std::vector<std::string> lines;
    ReadLines(file, limits, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::vector<std::string> ReadFirstLines(const std::filesystem::path& file, size_t count,
                                        size_t maxLineBytes)
{
    // Lines within the bound take at most maxLineBytes + 2 bytes with their
    // line end, so the first `count` of them lie inside this head. A line
    // the head cuts off has then already passed the bound.
    bool more = false;
    const std::string head = ReadHead(file, count * (maxLineBytes + 2), more);
    std::vector<std::string> lines;
    ForEachLine(head, [&](std::string_view line) {
        if (lines.size() == count)
            return;
        if (line.size() > maxLineBytes)
            ThrowLimit(file, TLimit::LineBytes, maxLineBytes);
        lines.emplace_back(line);
    });
    return lines;
}

void CheckLineLimits(const std::filesystem::path& file, const std::vector<std::string>& lines,
                     const TTextLimits& limits)
{
    if (lines.size() > limits.MaxLines)
        ThrowLimit(file, TLimit::Lines, limits.MaxLines);
    size_t bytes = 0;
    for (const std::string& line : lines) {
        if (line.size() > limits.MaxLineBytes)
            ThrowLimit(file, TLimit::LineBytes, limits.MaxLineBytes);
        bytes += line.size() + 2;
    }
    if (bytes > limits.MaxFileBytes)
        ThrowLimit(file, TLimit::FileBytes, limits.MaxFileBytes);
}

void WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines,
                TFilePrivacy privacy)
{
    size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string content;
    content.reserve(size);
    for (const std::string& line : lines) {
        content += line;
        content += "\r\n";
    }
    ReplaceFile(file, content, privacy);
}

std::pair<std::string, std::string> SplitAtFirstComma(std::string_view line)
{
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos)
        return {std::string(), std::string(line)};
    return {std::string(line.substr(0, comma)), std::string(line.substr(comma + 1))};
}

int StrToInt(std::string_view field)
{
    auto fail = [field]() -> int {
        throw TFileError("'" + QuoteForMessage(field) + "' は整数ではありません");
    };
    size_t i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    if (i == field.size())
        return fail();
    long long value = 0;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c < '0' || c > '9')
            return fail();
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return fail();
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return fail();
    return static_cast<int>(value);
}

std::string QuoteForMessage(std::string_view sjis)
{
    constexpr size_t kMaxChars = 64;
    // A Shift_JIS character takes at most two bytes, so this head holds more
    // than kMaxChars characters whenever the text does; converting only the
    // head keeps a long field cheap.
    const std::string head = cp932::ToUtf8(sjis.substr(0, std::min(sjis.size(), 2 * kMaxChars + 2)));
    std::string quoted;
    size_t chars = 0;
    for (const char c : head) {
        // Every UTF-8 character starts with a byte that is not 10xxxxxx.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && chars++ == kMaxChars)
            return quoted + "…";
        if (c == '\0')
            quoted += "␀";
        else
            quoted += c;
    }
    return quoted;
}

std::string ErrorDisplayText(std::string_view message)
{
    std::string text(message);
    if (message.empty())
        return text;
    // Any character outside ASCII sorts above "."; in UTF-8 exactly such a
    // character ends in a byte of 0x80 or more, and an ASCII character is its
    // own byte, so comparing the last byte with "." decides.
    const auto last = static_cast<unsigned char>(message.back());
    if (last > '.')
        text += '.';
    return text;
}
