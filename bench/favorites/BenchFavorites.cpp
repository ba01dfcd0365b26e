// Writes and reads a favorites file of 1k, 10k and 50k entries (the limit) with
// Shift_JIS names and auction URLs and prints the time of each (the best of
// several runs, in milliseconds). Usage: bench_favorites [runs]
#include "favorites/FavoritesStore.h"
#include "textconv/Cp932.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

TFavoriteList MakeList(size_t count)
{
    const char* words[] = {"ポケモンカード",    "腕時計 セイコー", "中古 ノートパソコン", "ファミコン 本体",
                           "限定版 フィギュア", "万年筆",          "古銭 明治",           "レコード 昭和",
                           "着物 正絹",         "ゲームボーイ",    "切手 シート",         "ロードバイク"};
    TFavoriteList list;
    list.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const std::string word = *cp932::FromUtf8(words[i % std::size(words)]);
        TFavoriteEntry entry;
        entry.Name = word + " " + std::to_string(i);
        switch (i % 3) {
        case 0:
            entry.Url = "http://search.auctions.yahoo.co.jp/search?p=" + std::to_string(i * 7919) +
                        "&auccat=0&alocale=0jp&acc=jp";
            break;
        case 1:
            entry.Url = "http://openuser.auctions.yahoo.co.jp/jp/user/seller_" + std::to_string(i);
            break;
        default:
            entry.Url = "http://page.auctions.yahoo.co.jp/jp/auction/x" + std::to_string(100000000 + i);
            break;
        }
        list.push_back(std::move(entry));
    }
    return list;
}

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::string pattern = (std::filesystem::temp_directory_path() / "lotscope-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        return 1;
    const std::filesystem::path dir = pattern;

    std::printf("%10s %12s %12s %12s\n", "entries", "bytes", "write ms", "read ms");
    for (size_t count : {1000u, 10000u, 50000u}) {
        const TFavoriteList list = MakeList(count);
        double bestWrite = 1e300;
        double bestRead = 1e300;
        for (int run = 0; run < runs; ++run) {
            auto start = std::chrono::steady_clock::now();
            WriteFavorites(dir, fkSearchWord, list);
            bestWrite = std::min(bestWrite, Ms(std::chrono::steady_clock::now() - start));

            start = std::chrono::steady_clock::now();
            const TFavoriteList read = ReadFavorites(dir, fkSearchWord);
            bestRead = std::min(bestRead, Ms(std::chrono::steady_clock::now() - start));
            if (read != list) {
                std::fprintf(stderr, "read-back differs at %zu entries\n", count);
                return 1;
            }
        }
        std::printf("%10zu %12ju %12.2f %12.2f\n", count,
                    static_cast<uintmax_t>(std::filesystem::file_size(dir / "search.ini")), bestWrite, bestRead);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
