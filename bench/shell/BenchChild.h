// What both start-up benchmark programs report when their first navigation
// has committed: the monotonic clock and the memory of the process tree.
#pragma once

#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

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

// One line on stdout: "committed <ns> <tree kB>".
inline void ReportCommitted()
{
    std::printf("committed %lld %lld\n", MonotonicNs(), TreeRssKb());
    std::fflush(stdout);
}

}  // namespace bench
