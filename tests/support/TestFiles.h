// Helpers for tests that work on real files (plain C++, no Qt): a temporary
// directory, raw byte access, a small tmpfs for disk-full and read-only
// faults, and running a piece of code in a forked child (optionally as an
// unprivileged user, since the tests may run as root, for whom permission
// checks are bypassed).
#pragma once

#include "settings/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace testfiles {

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

inline std::string ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The permission bits of a file (0777 mask).
inline unsigned Mode(const std::filesystem::path& file)
{
    struct stat st { };
    if (::stat(file.c_str(), &st) != 0)
        return 07777777;
    return st.st_mode & 0777;
}

// A fresh directory under the system's temporary directory, removed with
// everything in it at the end of the test. Also the place of the program's
// five data files, with byte access by file name.
class TTempDir {
public:
    TTempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lotscope-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TTempDir()
    {
        std::error_code ec;
        // Restore permissions a test may have taken away, so removal works.
        for (auto it = std::filesystem::recursive_directory_iterator(
                 m_path, std::filesystem::directory_options::skip_permission_denied, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec))
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
        }
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

    void Write(const std::string& name, const std::string& bytes) const { WriteBytes(m_path / name, bytes); }
    // The file's bytes; "<missing>" when there is no such file.
    std::string Read(const std::string& name) const
    {
        std::ifstream in(m_path / name, std::ios::binary);
        if (!in)
            return "<missing>";
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(m_path / name); }
    void Remove(const std::string& name) const { std::filesystem::remove(m_path / name); }
    unsigned Mode(const std::string& name) const { return testfiles::Mode(m_path / name); }

private:
    std::filesystem::path m_path;
};

// The names in a directory, sorted (shows stray temporary files).
inline std::vector<std::string> Names(const std::filesystem::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What a call throws: the TFileError message, or a marker for success or
// for any other exception (which the file functions must never throw).
inline std::string Outcome(const std::function<void()>& call)
{
    try {
        call();
        return "<no error>";
    } catch (const TFileError& e) {
        return e.what();
    } catch (const std::exception& e) {
        return std::string("<other exception: ") + e.what() + ">";
    }
}

inline bool IsRoot() { return ::geteuid() == 0; }

constexpr uid_t kNobody = 65534;

// A small tmpfs mounted over a directory for the length of a test (needs
// root), for disk-full and read-only faults.
class TSmallFileSystem {
public:
    TSmallFileSystem() = default;
    TSmallFileSystem(const TSmallFileSystem&) = delete;
    TSmallFileSystem& operator=(const TSmallFileSystem&) = delete;
    ~TSmallFileSystem()
    {
        if (!m_at.empty())
            ::umount2(m_at.c_str(), MNT_DETACH);
    }

    // Empty on success, else why it cannot be done here.
    std::string Mount(const std::filesystem::path& at, const char* size)
    {
        if (!IsRoot())
            return "mounting a file system needs root";
        const std::string options = std::string("size=") + size + ",mode=0755";
        if (::mount("tmpfs", at.c_str(), "tmpfs", 0, options.c_str()) != 0)
            return "cannot mount a tmpfs here (errno " + std::to_string(errno) + ")";
        m_at = at;
        m_size = size;
        return {};
    }
    bool Remount(bool readOnly) const
    {
        const std::string options = "size=" + m_size + ",mode=0755";
        return ::mount("tmpfs", m_at.c_str(), "tmpfs", MS_REMOUNT | (readOnly ? MS_RDONLY : 0), options.c_str()) == 0;
    }

private:
    std::filesystem::path m_at;
    std::string m_size;
};

// Runs body in a forked child and returns the text it produced. With
// unprivileged set and the tests running as root, the child first drops to
// uid/gid 65534 so that permission checks apply.
inline std::string InChild(const std::function<std::string()>& body, bool unprivileged = false)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "<pipe failed>";
    const pid_t pid = ::fork();
    if (pid < 0)
        return "<fork failed>";
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string out;
        if (unprivileged && IsRoot()) {
            if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                ::setresuid(kNobody, kNobody, kNobody) != 0)
                out = "<cannot drop privileges>";
        }
        if (out.empty())
            out = body();
        const char* p = out.data();
        size_t left = out.size();
        while (left > 0) {
            const ssize_t put = ::write(pipeFds[1], p, left);
            if (put <= 0)
                break;
            p += put;
            left -= static_cast<size_t>(put);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string out;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        out.append(buffer, static_cast<size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "<child failed>";
    return out;
}

// Shows bytes with control characters escaped, for failure messages.
inline std::string Escaped(const std::string& bytes)
{
    std::ostringstream out;
    for (unsigned char c : bytes) {
        if (c == '\r')
            out << "\\r";
        else if (c == '\n')
            out << "\\n";
        else if (c < 0x20 || c >= 0x7F)
            out << "\\x" << std::hex << (c >> 4) << (c & 0xF) << std::dec;
        else
            out << c;
    }
    return out.str();
}

}  // namespace testfiles
