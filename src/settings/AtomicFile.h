// The POSIX file layer under the text files: reading a file's head without
// following a symbolic link or hanging on a FIFO, and replacing a file whole
// and atomically (temporary file beside it, flushed and fsynced, renamed
// over the old one, the directory synced), so a failed write leaves the
// previous file byte-for-byte intact. Failures are TFileError with the
// runtime's message for the operating system's error.
#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

// A file or conversion failure. what() is the message the user sees (UTF-8),
// exactly one of the runtime messages ("ファイルが見つかりません", ...).
class TFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The runtime's messages (UTF-8), as the user sees them.
namespace filemsg {
inline constexpr const char* kFileNotFound = "ファイルが見つかりません";
inline constexpr const char* kInvalidFileName = "不正なファイル名です";
inline constexpr const char* kTooManyOpenFiles = "オープンしたファイルが多すぎます";
inline constexpr const char* kAccessDenied = "ファイルへのアクセスが拒否されました";
inline constexpr const char* kReadPastEnd = "ファイルの末尾以降を読み込みました";
inline constexpr const char* kDiskFull = "ディスクがいっぱいです";
inline constexpr const char* kNotNumeric = "入力値が数値ではありません";
}  // namespace filemsg

// The message for an operating system error code (errno) met while opening,
// reading or writing a file.
std::string FileErrorMessage(int osError);

// Closes a descriptor on every way out unless released.
class TFd {
public:
    explicit TFd(int fd) : m_fd(fd) { }
    ~TFd();
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports close's own failure (a delayed write error).
    int close();

private:
    int m_fd = -1;
};

enum class TFilePrivacy { Public, Private };  // Private: created 0600

// Reads the first bytes of a file, at most limit of them; `more` tells
// whether the file goes on beyond them. A symbolic link under the name is
// not followed, and anything but a regular file is refused.
std::string ReadHead(const std::filesystem::path& file, size_t limit, bool& more);

// Makes sure a completed rename survives a crash. File systems that cannot
// sync a directory (EINVAL) are taken as they are.
void SyncDirectory(const std::filesystem::path& dir);

// Writes content to a temporary file beside target and renames it over the
// target. Until the rename the old file is untouched; any failure before it
// removes the temporary file and throws.
//
// Only a file of the running user is replaced, and it keeps its owner, its
// mode (a Public file; a Private one is 0600) and its group where the user
// may set it. A symbolic link under the name (ELOOP) and a file of another
// user, root saving in a user's folder included, are reported as access
// denied and kept as they are. A new file is the running user's.
void ReplaceFile(const std::filesystem::path& target, std::string_view content, TFilePrivacy privacy);

// Moves the file from to target: one rename(2), which replaces target in one
// step, or across file systems a copy into a new file beside target (made as
// any new file is, under the process's umask), flushed and fsynced, then
// renamed over target. Until that rename target is untouched, and a failed
// copy leaves nothing beside it; from stays after a copy. Unlike
// ReplaceFile this guards nothing: target is replaced whatever it is.
void MoveOver(const std::filesystem::path& from, const std::filesystem::path& target);
