// Start-up with damaged and oversized data files: for each case, Lotscope
// runs in a fresh data folder holding the five files, and the benchmark
// prints the wall time from fork to the shown main window (its favorites
// tree painted, every message box on the way painted and closed) and the
// peak memory of the program's process, the median of the rounds.
// Usage: bench_damaged [rounds=3]; BENCH_VERBOSE=1 keeps the program's
// diagnostics on stderr.
#include "BenchChild.h"
#include "favorites/FavoritesStore.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t kMiB = 1024 * 1024;

void WriteFile(const fs::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// Writes head, then `bytes` bytes made of `piece` repeated (the last copy
// cut short).
void WriteRepeated(const fs::path& p, const std::string& piece, size_t bytes, const std::string& head = {})
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << head;
    std::string block;
    while (block.size() < kMiB)
        block += piece;
    block.resize(kMiB - kMiB % piece.size());
    for (size_t left = bytes; left > 0;) {
        const size_t n = std::min(left, block.size());
        out.write(block.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
}

// `lines` favorites of equal length (± 1 byte) filling exactly `bytes`.
void WriteFavorites(const fs::path& p, size_t lines, size_t bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    const size_t each = bytes / lines - 2;
    const size_t longer = bytes % lines;
    for (size_t i = 0; i < lines; ++i) {
        std::string line = "\x83\x4A\x83\x81\x83\x89 " + std::to_string(i) + ",https://auctions.example.jp/item?a=";
        line.resize(each + (i < longer ? 1 : 0), 'x');
        out << line << "\r\n";
    }
}

struct TCase {
    const char* Name;
    std::function<void(const fs::path&)> Damage;  // writes over the good files
};

void WriteGoodFiles(const fs::path& data)
{
    WriteFile(data / "login.ini", "taro,\r\n,\r\n,\r\n");
    WriteFile(data / "option.ini", "0,1,0\r\n");
    WriteFile(data / "search.ini", "\x83\x4A\x83\x81\x83\x89,https://auctions.example.jp/search/auc?p=%a5%ab\r\n");
    WriteFile(data / "username.ini", "taro,https://auctions.example.jp/user/taro\r\n");
    WriteFile(data / "exhibit.ini", "x123,https://page.auctions.example.jp/jp/auction/x123\r\n");
}

void ForEachFavoritesFile(const fs::path& data, const std::function<void(const fs::path&)>& write)
{
    for (const char* f : {"search.ini", "username.ini", "exhibit.ini"})
        write(data / f);
}

const TFileSizeLimits kLimits = kFavoriteLimits;

const TCase kCases[] = {
    {"good files", [](const fs::path&) {}},
    {"option.ini: one 10 MB field", [](const fs::path& d) { WriteRepeated(d / "option.ini", "1", 10'000'000); }},
    {"search.ini: 20 MB of bare CR bytes",
     [](const fs::path& d) { WriteRepeated(d / "search.ini", "\r", 20'000'000); }},
    {"login.ini: 3 lines, then 200 MB of lines",
     [](const fs::path& d) { WriteRepeated(d / "login.ini", "x,y\r\n", 200'000'000, "taro,\r\n,\r\n,\r\n"); }},
    {"login.ini: one 200 MB line", [](const fs::path& d) { WriteRepeated(d / "login.ini", "x", 200'000'000); }},
    {"3 favorites files at the limits (16 MiB, 50,000 entries each)",
     [](const fs::path& d) {
         ForEachFavoritesFile(d, [](const fs::path& p) { WriteFavorites(p, kLimits.MaxLines, kLimits.MaxFileBytes); });
     }},
    {"3 favorites files of 63 lines of 256 KiB names",
     [](const fs::path& d) {
         ForEachFavoritesFile(d, [](const fs::path& p) {
             WriteRepeated(p, std::string(kLimits.MaxLineBytes - 2, 'n') + ",u\r\n", 63 * (kLimits.MaxLineBytes + 2));
         });
     }},
    {"3 x 50,000 empty entries",
     [](const fs::path& d) {
         ForEachFavoritesFile(d, [](const fs::path& p) { WriteRepeated(p, "\r\n", 2 * kLimits.MaxLines); });
     }},
    {"3 x 50,000 short entries (a,b)",
     [](const fs::path& d) {
         ForEachFavoritesFile(d, [](const fs::path& p) { WriteRepeated(p, "a,b\r\n", 5 * kLimits.MaxLines); });
     }},
    {"search.ini one byte beyond 16 MiB",
     [](const fs::path& d) { WriteFavorites(d / "search.ini", kLimits.MaxLines, kLimits.MaxFileBytes + 1); }},
    {"search.ini one entry beyond 50,000",
     [](const fs::path& d) { WriteRepeated(d / "search.ini", "a,b\r\n", 5 * (kLimits.MaxLines + 1)); }},
    {"search.ini with a line one byte beyond 256 KiB",
     [](const fs::path& d) { WriteFile(d / "search.ini", std::string(kLimits.MaxLineBytes + 1, 'n') + "\r\n"); }},
};

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const fs::path scratch = fs::temp_directory_path() / ("lotscope-bench-damaged-" + std::to_string(getpid()));
    std::printf("start-up to the shown window with damaged files (median of %d runs)\n", rounds);
    std::printf("%-62s %10s %12s  %s\n", "case", "time", "peak RSS", "messages");
    int status = 0;
    for (const TCase& c : kCases) {
        fs::remove_all(scratch);
        const fs::path data = scratch / "data";
        fs::create_directories(data);
        WriteGoodFiles(data);
        c.Damage(data);
        std::vector<double> ms;
        std::vector<long> peak;
        int messages = -1;
        std::string first;
        for (int i = 0; i < rounds; ++i) {
            fs::remove_all(scratch / "xdg-data");
            fs::remove_all(scratch / "xdg-cache");
            const bench::TChildRun run = bench::RunChild(DAMAGED_STARTUP_PROGRAM, data, scratch);
            long long shown = 0;
            char text[4096] = "";
            if (std::sscanf(run.Output.c_str(), "shown %lld %d\n%4095[^\n]", &shown, &messages, text) < 2) {
                std::fprintf(stderr, "%s: the window was not shown\n", c.Name);
                status = 1;
                break;
            }
            first = text;
            ms.push_back(static_cast<double>(shown - run.StartNs) / 1e6);
            peak.push_back(run.PeakKb);
        }
        if (ms.empty())
            continue;
        std::printf("%-62s %7.0f ms %8.1f MiB  %d%s%s\n", c.Name, bench::Median(ms), bench::Median(peak) / 1024.0,
                    messages, first.empty() ? "" : ": ", first.c_str());
        std::fflush(stdout);
    }
    fs::remove_all(scratch);
    return status;
}
