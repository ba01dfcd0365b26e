// The start-up benchmarks' two sides: running a program in a fresh data and
// profile folder and taking its report and peak memory (the drivers), and
// what the programs report (the monotonic clock, the process tree's memory).
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bench {

// The middle value of a set of runs.
template <class T>
T Median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline long long MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// Resident memory (kB) of this process and every process below it.
inline long long TreeRssKb()
{
    std::map<int, int> parent;
    std::map<int, long long> rss;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* e = readdir(proc)) {
            const int pid = std::atoi(e->d_name);
            if (pid <= 0)
                continue;
            std::ifstream status(std::string("/proc/") + e->d_name + "/status");
            std::string line;
            while (std::getline(status, line)) {
                if (line.rfind("PPid:", 0) == 0)
                    parent[pid] = std::atoi(line.c_str() + 5);
                else if (line.rfind("VmRSS:", 0) == 0)
                    rss[pid] = std::atoll(line.c_str() + 6);
            }
        }
        closedir(proc);
    }
    long long total = 0;
    const int self = getpid();
    for (const auto& [pid, kb] : rss) {
        for (int p = pid; p > 1; p = parent.count(p) ? parent[p] : 0) {
            if (p == self) {
                total += kb;
                break;
            }
        }
    }
    return total;
}

// This process's highest resident memory so far (kB): what start-up needed
// at its peak, without what the program does after it (its exit included).
inline long PeakRssSoFarKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

// One line on stdout: "committed <ns> <tree kB>". With BENCH_SMAPS=FILE
// the process's memory map at that moment goes to FILE, to see which
// mappings the memory is in.
inline void ReportCommitted()
{
    if (const char* dump = getenv("BENCH_SMAPS")) {
        std::ifstream in("/proc/self/smaps");
        std::ofstream(dump) << in.rdbuf();
    }
    std::printf("committed %lld %lld\n", MonotonicNs(), TreeRssKb());
    std::fflush(stdout);
}

// One line on stdout, "settled <peak kB>", once the event loop has ended
// after the commit: the peak of start-up with the events it had queued by
// then (the window's first painting among them), without the exit.
inline int ReportSettled(int status)
{
    std::printf("settled %ld\n", PeakRssSoFarKb());
    std::fflush(stdout);
    return status;
}

// What a child said on stdout, when it started and its own peak memory.
struct TChildRun {
    std::string Output;
    long long StartNs = 0;
    long PeakKb = 0;  // ru_maxrss of the child process itself
};

// Where a child shows its window: the offscreen platform, or the display
// of the environment (DISPLAY or WAYLAND_DISPLAY).
enum class TPlatform { Offscreen, Display };

inline bool HasDisplay() { return getenv("DISPLAY") || getenv("WAYLAND_DISPLAY"); }

// Runs program with dataDir as its current folder and the engine's profile
// and cache below scratch; BENCH_VERBOSE=1 keeps its diagnostics on stderr.
// On a display, a software renderer compiles its shaders on a program's
// first start and keeps them in its disk cache for every later one; with
// shaderCache set, the children share that cache, so that only the first
// run of each program (a warm-up) compiles.
inline TChildRun RunChild(const char* program, const std::filesystem::path& dataDir,
                          const std::filesystem::path& scratch,
                          TPlatform platform = HasDisplay() ? TPlatform::Display : TPlatform::Offscreen,
                          const std::filesystem::path& shaderCache = {})
{
    std::filesystem::create_directories(scratch / "xdg-data");
    std::filesystem::create_directories(scratch / "xdg-cache");
    TChildRun run;
    int out[2];
    if (pipe(out) != 0)
        return run;
    run.StartNs = MonotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        if (!getenv("BENCH_VERBOSE")) {
            const int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, STDERR_FILENO);
        }
        close(out[0]);
        close(out[1]);
        if (chdir(dataDir.c_str()) != 0)
            _exit(127);
        setenv("XDG_DATA_HOME", (scratch / "xdg-data").c_str(), 1);
        setenv("XDG_CACHE_HOME", (scratch / "xdg-cache").c_str(), 1);
        const char* qpa = getenv("QT_QPA_PLATFORM");
        if (platform == TPlatform::Offscreen || !HasDisplay()) {
            // Headless, as the tests run: with a display at hand the
            // offscreen platform would still draw through it.
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
        } else if (qpa && std::string(qpa) == "offscreen")
            unsetenv("QT_QPA_PLATFORM");
        if (!shaderCache.empty())
            setenv("MESA_SHADER_CACHE_DIR", shaderCache.c_str(), 1);
        if (geteuid() == 0)
            setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    char buf[256];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0)
        run.Output.append(buf, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.PeakKb = usage.ru_maxrss;
    return run;
}

}  // namespace bench
