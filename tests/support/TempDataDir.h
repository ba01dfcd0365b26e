// A temporary data directory for tests of the dialogs and their logic: the
// place of the program's five data files, with raw byte access.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

class TTempDataDir {
public:
    TTempDataDir()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lotscope-dialogs-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TTempDataDir()
    {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TTempDataDir(const TTempDataDir&) = delete;
    TTempDataDir& operator=(const TTempDataDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    void Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(m_path / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + name);
    }
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
    // Permission bits (0777 mask) of a file.
    unsigned Mode(const std::string& name) const
    {
        struct stat st {};
        if (::stat((m_path / name).c_str(), &st) != 0)
            return 0;
        return st.st_mode & 0777;
    }

private:
    std::filesystem::path m_path;
};
