// The request gate's reading of an address against its length: an address
// escaped over and over ("%2525...2562id_preview", decoded to the preview
// only after as many passes as it is long) of 1, 2, 4 and 8 MB, each read
// by TBidStop::Allows with the mode on. Prints the median processor time of
// each length (the thread's own, so other programs' load does not count)
// and its time per MB; the reading is linear when that stays level.
// Usage: bench_bidstop [rounds=5]
#include "BenchChild.h"
#include "shell/BidStop.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

long long ThreadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TBidStop stop;
    stop.Flag = 1;
    std::printf("request gate on an address escaped over and over (processor time, median of %d runs)\n", rounds);
    double first = 0;
    for (int megabytes : {1, 2, 4, 8}) {
        std::string address = "https://x.jp/jp/show/%";
        while (address.size() < static_cast<std::size_t>(megabytes) << 20)
            address += "25";
        address += "62id_preview";
        std::vector<double> ms;
        for (int i = 0; i < rounds; ++i) {
            const long long start = ThreadCpuNs();
            if (stop.Allows(address)) {
                std::fprintf(stderr, "the address was let through\n");
                return 1;
            }
            ms.push_back(static_cast<double>(ThreadCpuNs() - start) / 1e6);
        }
        const double perMb = bench::Median(ms) / megabytes;
        if (first == 0)
            first = perMb;
        std::printf("  %d MB: %8.1f ms, %6.1f ms per MB (%.2f of 1 MB's; target <= 1.5)\n", megabytes,
                    bench::Median(ms), perMb, perMb / first);
    }
    return 0;
}
