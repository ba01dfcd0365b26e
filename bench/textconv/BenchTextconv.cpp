// Throughput of TPzConv's Shift_JIS <-> EUC-JP conversion against glibc iconv
// on the same 16 MiB of mixed Japanese text, and the two worst cases of the
// byte-role rule and of mark merging. Prints figures; asserts nothing.
#include "textconv/PzConv.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

constexpr std::size_t kCorpusBytes = 16u << 20;
constexpr std::size_t kMiB = 1u << 20;
constexpr int kRepeats = 5;

// Small deterministic generator so every run measures the same text.
struct Rng {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint32_t Next()
    {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state >> 33);
    }
    std::uint32_t Below(std::uint32_t n) { return Next() % n; }
};

void AppendJis(std::string& out, int row, int cell)
{
    out += TPzConv::JisToSjis(static_cast<std::uint8_t>(0x20 + row), static_cast<std::uint8_t>(0x20 + cell));
}

// Kanji (JIS rows 16-46, all assigned), hiragana, katakana, punctuation, half-width kana
// with voiced marks, and ASCII words, in proportions like ordinary prose.
std::string MakeCorpus()
{
    Rng rng;
    std::string text;
    text.reserve(kCorpusBytes + 64);
    static const char* words[] = {"Yahoo", "2024", "ID", "PC", "USB", "OK", "http://", "www", "NEW", "x"};
    while (text.size() < kCorpusBytes) {
        const std::uint32_t kind = rng.Below(100);
        const std::uint32_t len = 1 + rng.Below(6);
        for (std::uint32_t i = 0; i < len; ++i) {
            if (kind < 35)
                AppendJis(text, 16 + static_cast<int>(rng.Below(31)), 1 + static_cast<int>(rng.Below(94)));
            else if (kind < 65)
                AppendJis(text, 4, 1 + static_cast<int>(rng.Below(83)));  // hiragana
            else if (kind < 73)
                AppendJis(text, 5, 1 + static_cast<int>(rng.Below(86)));  // katakana
            else if (kind < 77)
                AppendJis(text, 1, 2 + static_cast<int>(rng.Below(3)));  // 、。，
            else if (kind < 87) {                                        // half-width kana
                const auto b = static_cast<char>(0xA6 + rng.Below(0xDE - 0xA6));
                text += b;
                if (TPzConv::IsDakuKana(static_cast<std::uint8_t>(b)) && rng.Below(4) == 0)
                    text += '\xDE';
                else if (TPzConv::IsHanDakuKana(static_cast<std::uint8_t>(b)) && rng.Below(4) == 0)
                    text += '\xDF';
            } else {
                text += words[rng.Below(10)];
                text += ' ';
            }
        }
    }
    // Cut at a character boundary near the target size.
    std::size_t i = 0, last = 0;
    while (i < kCorpusBytes) {
        last = i;
        const auto b = static_cast<std::uint8_t>(text[i]);
        i += ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 2 : 1;
    }
    text.resize(i == kCorpusBytes ? i : last);
    return text;
}

double BestSeconds(const std::function<std::size_t()>& run)
{
    double best = 1e9;
    std::size_t sink = 0;
    for (int r = 0; r < kRepeats; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        sink += run();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    if (sink == 42)
        std::puts("");  // keeps the results alive
    return best;
}

// iconv over the whole text, with the output sized as TPzConv sizes its own
// (input + 1/8) and grown on demand, so that both sides pay the same for
// memory.
std::string IconvAll(const char* to, const char* from, const std::string& in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::fprintf(stderr, "iconv_open %s -> %s failed\n", from, to);
        std::exit(1);
    }
    std::string out(in.size() + in.size() / 8 + 16, '\0');
    char* ip = const_cast<char*>(in.data());
    std::size_t il = in.size();
    std::size_t used = 0;
    for (;;) {
        char* op = out.data() + used;
        std::size_t ol = out.size() - used;
        const std::size_t r = iconv(cd, &ip, &il, &op, &ol);
        used = static_cast<std::size_t>(op - out.data());
        if (r != static_cast<std::size_t>(-1))
            break;
        if (errno != E2BIG) {
            std::fprintf(stderr, "iconv %s -> %s stopped at byte %zu\n", from, to, in.size() - il);
            std::exit(1);
        }
        out.resize(used + 2 * il + 16);
    }
    iconv_close(cd);
    out.resize(used);
    return out;
}

double MBps(std::size_t bytes, double seconds) { return static_cast<double>(bytes) / 1e6 / seconds; }

}  // namespace

int main()
{
    const std::string sjis = MakeCorpus();
    TPzConv withDaku;  // ktZenWithDaku by default
    TPzConv none;
    none.JisKanaConvType = ktNone;
    const std::string euc = none.SjisToEuc(sjis);
    if (IconvAll("EUC-JP", "CP932", sjis) != euc || IconvAll("CP932", "EUC-JP", euc) != sjis ||
        TPzConv::EucToSjis(euc) != sjis) {
        std::fprintf(stderr, "conversions disagree with iconv on the corpus\n");
        return 1;
    }
    std::printf(
        "corpus: %zu bytes of Shift_JIS (%.1f MiB), EUC-JP form %zu bytes; best of %d runs, MB = 10^6 bytes of input\n",
        sjis.size(), static_cast<double>(sjis.size()) / kMiB, euc.size(), kRepeats);

    const double tWith = BestSeconds([&] { return withDaku.SjisToEuc(sjis).size(); });
    const double tNone = BestSeconds([&] { return none.SjisToEuc(sjis).size(); });
    const double tIconvTo = BestSeconds([&] { return IconvAll("EUC-JP", "CP932", sjis).size(); });
    const double tBack = BestSeconds([&] { return TPzConv::EucToSjis(euc).size(); });
    const double tIconvBack = BestSeconds([&] { return IconvAll("CP932", "EUC-JP", euc).size(); });

    std::printf("SjisToEuc ktZenWithDaku   %8.1f MB/s  (%.2fx iconv)\n", MBps(sjis.size(), tWith), tIconvTo / tWith);
    std::printf("SjisToEuc ktNone          %8.1f MB/s  (%.2fx iconv)\n", MBps(sjis.size(), tNone), tIconvTo / tNone);
    std::printf("iconv CP932 -> EUC-JP     %8.1f MB/s\n", MBps(sjis.size(), tIconvTo));
    std::printf("EucToSjis                 %8.1f MB/s  (%.2fx iconv)\n", MBps(euc.size(), tBack), tIconvBack / tBack);
    std::printf("iconv EUC-JP -> CP932     %8.1f MB/s\n", MBps(euc.size(), tIconvBack));

    const std::string leads(kMiB, '\x81');
    std::string marks;
    marks.reserve(kMiB);
    while (marks.size() < kMiB)
        marks += "\xB6\xDE";
    auto ms = [](double s) { return s * 1e3; };
    std::printf("1 MiB of 0x81:    SjisToEuc %.2f ms, HanToZenWithDaku %.2f ms, HanToZenSepaDaku %.2f ms\n",
                ms(BestSeconds([&] { return withDaku.SjisToEuc(leads).size(); })),
                ms(BestSeconds([&] { return TPzConv::HanToZenWithDaku(leads).size(); })),
                ms(BestSeconds([&] { return TPzConv::HanToZenSepaDaku(leads).size(); })));
    std::printf("1 MiB of B6 DE:   SjisToEuc %.2f ms, HanToZenWithDaku %.2f ms, HanToZenSepaDaku %.2f ms\n",
                ms(BestSeconds([&] { return withDaku.SjisToEuc(marks).size(); })),
                ms(BestSeconds([&] { return TPzConv::HanToZenWithDaku(marks).size(); })),
                ms(BestSeconds([&] { return TPzConv::HanToZenSepaDaku(marks).size(); })));
    return 0;
}
