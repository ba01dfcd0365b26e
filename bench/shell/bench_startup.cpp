// Start-up benchmark: runs Lotscope and a minimal QWebEngineView program
// alternately, each in a fresh data and profile directory, and prints the
// wall time from fork to the first committed navigation of the home page
// and the peak memory (main process from wait4, process tree at commit).
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
    long peakKb = 0;
    long long treeKb = 0;
    bool ok = false;
};

void WriteFile(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

Run RunOnce(const char* program, const fs::path& scratch)
{
    fs::remove_all(scratch);
    const fs::path data = scratch / "data";
    fs::create_directories(data);
    WriteFile(data / "login.ini", "taro,\r\n,\r\n,\r\n");
    WriteFile(data / "option.ini", "0,1,0\r\n");
    for (const char* f : {"search.ini", "username.ini", "exhibit.ini"})
        WriteFile(data / f, "");

    const bench::TChildRun child = bench::RunChild(program, data, scratch);
    Run run;
    long long committed = 0;
    if (std::sscanf(child.Output.c_str(), "committed %lld %lld", &committed, &run.treeKb) == 2) {
        run.ms = static_cast<double>(committed - child.StartNs) / 1e6;
        run.ok = true;
    }
    run.peakKb = child.PeakKb;
    return run;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path scratch = fs::temp_directory_path() / ("lotscope-bench-" + std::to_string(getpid()));
    std::vector<double> lotMs, minMs;
    std::vector<long> lotPeak, minPeak;
    std::vector<long long> lotTree, minTree;
    for (int i = 0; i < rounds; ++i) {
        for (bool lotscope : {true, false}) {
            const Run r = RunOnce(lotscope ? LOTSCOPE_STARTUP_PROGRAM : MINIMAL_STARTUP_PROGRAM, scratch);
            if (!r.ok) {
                std::fprintf(stderr, "%s: no committed navigation\n", lotscope ? "lotscope" : "minimal");
                fs::remove_all(scratch);
                return 1;
            }
            (lotscope ? lotMs : minMs).push_back(r.ms);
            (lotscope ? lotPeak : minPeak).push_back(r.peakKb);
            (lotscope ? lotTree : minTree).push_back(r.treeKb);
        }
    }
    fs::remove_all(scratch);

    const double lm = bench::Median(lotMs), mm = bench::Median(minMs);
    const double lp = bench::Median(lotPeak) / 1024.0, mp = bench::Median(minPeak) / 1024.0;
    const double lt = bench::Median(lotTree) / 1024.0, mt = bench::Median(minTree) / 1024.0;
    std::printf("start-up to first committed navigation (median of %d runs)\n", rounds);
    std::printf("  lotscope: %8.1f ms   peak RSS %7.1f MiB   process tree at commit %7.1f MiB\n", lm, lp, lt);
    std::printf("  minimal : %8.1f ms   peak RSS %7.1f MiB   process tree at commit %7.1f MiB\n", mm, mp, mt);
    std::printf("  time ratio %.3f (target <= 1.10)   peak RSS difference %+.1f MiB (target <= 15)   "
                "tree difference %+.1f MiB\n",
                lm / mm, lp - mp, lt - mt);
    return 0;
}
