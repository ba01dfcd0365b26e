// SplitLines on arbitrary bytes. Lines never hold a CR or 0x1A, and writing
// them back (each followed by CR LF) and reading again gives the same lines.
#include "SettingsFuzzDir.h"
#include "settings/TextFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = SplitLines(content);

    size_t bytes = 0;
    for (const std::string& line : lines) {
        if (line.find_first_of(std::string_view("\r\x1A", 2)) != std::string::npos)
            std::abort();
        bytes += line.size();
    }
    if (bytes > content.size())
        std::abort();
    // An input without CR and 0x1A is one line (none when empty).
    if (content.find_first_of(std::string_view("\r\x1A", 2)) == std::string_view::npos &&
        lines.size() != (content.empty() ? 0u : 1u))
        std::abort();

    std::string joined;
    for (const std::string& line : lines)
        joined += line + "\r\n";
    if (SplitLines(joined) != lines)
        std::abort();

    const TSettingsFuzzDir scratch;
    const auto file = scratch.path() / "lines.ini";
    WriteLines(file, lines);
    if (ReadLines(file) != lines)
        std::abort();
    return 0;
}
