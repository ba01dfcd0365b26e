// A scratch directory for one input of the file fuzzers, on /dev/shm when
// there is one (so the fsync of every write stays cheap), removed with its
// files afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

class TSettingsFuzzDir {
public:
    TSettingsFuzzDir()
    {
        static const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                                      ? std::filesystem::path("/dev/shm")
                                                      : std::filesystem::temp_directory_path();
        std::string pattern = (base / "lotscope-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        m_path = pattern;
    }
    ~TSettingsFuzzDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TSettingsFuzzDir(const TSettingsFuzzDir&) = delete;
    TSettingsFuzzDir& operator=(const TSettingsFuzzDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline void PutFile(const std::filesystem::path& file, std::string_view bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        std::abort();
}
