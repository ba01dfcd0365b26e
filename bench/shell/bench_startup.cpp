// Start-up benchmark: runs Lotscope and a minimal QWebEngineView program
// alternately, each in a fresh data and profile directory, and prints the
// wall time from fork to the first committed navigation of the home page
// and the main process's memory: its peak up to the end of the events queued
// by then (start-up, the window's first painting included), its peak over
// the whole run (the engine's shutdown included), and the process tree's
// resident memory at the commit. It measures offscreen, and on the
// display as well when there is one (run it under `xvfb-run -a` to have
// both). A first, uncounted run of each program per platform warms the
// file cache and the software renderer's shader cache, as any start after
// the first finds them.
// Usage: bench_startup [rounds=5]; BENCH_VERBOSE=1 keeps the children's
// diagnostics on stderr. The children alone (bench_startup_lotscope,
// bench_startup_minimal) take BENCH_SMAPS=FILE (BenchChild.h).
#include "BenchChild.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Run {
    double ms = 0;
    long startupPeakKb = 0;
    long peakKb = 0;
    long long treeKb = 0;
    bool ok = false;
};

void WriteFile(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

Run RunOnce(const char* program, const fs::path& scratch, bench::TPlatform platform, const fs::path& shaders)
{
    fs::remove_all(scratch);
    const fs::path data = scratch / "data";
    fs::create_directories(data);
    WriteFile(data / "login.ini", "taro,\r\n,\r\n,\r\n");
    WriteFile(data / "option.ini", "0,1,0\r\n");
    for (const char* f : {"search.ini", "username.ini", "exhibit.ini"})
        WriteFile(data / f, "");

    const bench::TChildRun child = bench::RunChild(program, data, scratch, platform, shaders);
    Run run;
    long long committed = 0;
    const std::size_t settled = child.Output.find("settled ");
    if (std::sscanf(child.Output.c_str(), "committed %lld %lld", &committed, &run.treeKb) == 2 &&
        settled != std::string::npos &&
        std::sscanf(child.Output.c_str() + settled, "settled %ld", &run.startupPeakKb) == 1) {
        run.ms = static_cast<double>(committed - child.StartNs) / 1e6;
        run.ok = true;
    }
    run.peakKb = child.PeakKb;
    return run;
}

struct Series {
    std::vector<double> ms;
    std::vector<long> startupPeak, peak;
    std::vector<long long> tree;
};

// Runs both programs rounds times on platform; false when a child failed.
bool Measure(bench::TPlatform platform, int rounds, const fs::path& scratch, Series& lot, Series& min)
{
    const fs::path shaders = scratch.string() + "-shaders";
    fs::remove_all(shaders);
    for (int i = -1; i < rounds; ++i) {
        for (bool lotscope : {true, false}) {
            const Run r =
                RunOnce(lotscope ? LOTSCOPE_STARTUP_PROGRAM : MINIMAL_STARTUP_PROGRAM, scratch, platform, shaders);
            if (!r.ok) {
                std::fprintf(stderr, "%s: no committed navigation\n", lotscope ? "lotscope" : "minimal");
                return false;
            }
            if (i < 0)
                continue;  // the warm-up
            Series& s = lotscope ? lot : min;
            s.ms.push_back(r.ms);
            s.startupPeak.push_back(r.startupPeakKb);
            s.peak.push_back(r.peakKb);
            s.tree.push_back(r.treeKb);
        }
    }
    fs::remove_all(shaders);
    return true;
}

void Print(const char* platform, int rounds, const Series& lot, const Series& min)
{
    using bench::Median;
    const auto mib = [](auto kb) { return static_cast<double>(kb) / 1024.0; };
    std::printf("%s: start-up to first committed navigation (median of %d runs)\n", platform, rounds);
    for (const auto& [name, s] : {std::pair{"lotscope", &lot}, std::pair{"minimal ", &min}})
        std::printf("  %s: %8.1f ms   start-up peak RSS %7.1f MiB   whole-run peak %7.1f MiB   "
                    "process tree at commit %7.1f MiB\n",
                    name, Median(s->ms), mib(Median(s->startupPeak)), mib(Median(s->peak)), mib(Median(s->tree)));
    std::printf("  time ratio %.3f (target <= 1.10)   start-up peak RSS difference %+.1f MiB (target <= 15)   "
                "whole-run peak difference %+.1f MiB   tree difference %+.1f MiB\n",
                Median(lot.ms) / Median(min.ms), mib(Median(lot.startupPeak)) - mib(Median(min.startupPeak)),
                mib(Median(lot.peak)) - mib(Median(min.peak)), mib(Median(lot.tree)) - mib(Median(min.tree)));
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path scratch = fs::temp_directory_path() / ("lotscope-bench-" + std::to_string(getpid()));
    std::vector<std::pair<const char*, bench::TPlatform>> platforms = {{"offscreen", bench::TPlatform::Offscreen}};
    if (bench::HasDisplay())
        platforms.push_back({"display", bench::TPlatform::Display});
    else
        std::printf("no display: offscreen only (run under xvfb-run -a for both)\n");
    for (const auto& [name, platform] : platforms) {
        Series lot, min;
        const bool ok = Measure(platform, rounds, scratch, lot, min);
        fs::remove_all(scratch);
        if (!ok)
            return 1;
        Print(name, rounds, lot, min);
    }
    return 0;
}
