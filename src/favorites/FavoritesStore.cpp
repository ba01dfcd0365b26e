#include "favorites/FavoritesStore.h"

#include "settings/TextFile.h"
#include "textconv/ByteRules.h"

namespace {

struct TKindInfo {
    const char* Caption;
    const char* FileName;
};

constexpr TKindInfo kKindInfo[] = {
    {"検索語", "search.ini"},
    {"ユーザ", "username.ini"},
    {"出品物", "exhibit.ini"},
};

const TKindInfo& InfoOf(TFavoriteKind kind)
{
    const auto index = static_cast<size_t>(kind);
    if (index >= std::size(kKindInfo))
        throw std::out_of_range("unknown favorite kind");
    return kKindInfo[index];
}

}  // namespace

const char* FavoriteKindCaption(TFavoriteKind kind) { return InfoOf(kind).Caption; }

const char* FavoriteKindFileName(TFavoriteKind kind) { return InfoOf(kind).FileName; }

TFavoriteList ReadFavorites(const std::filesystem::path& dir, TFavoriteKind kind)
{
    // Lines go straight into entries, without a list of lines beside them.
    TFavoriteList list;
    ReadLines(dir / FavoriteKindFileName(kind), kFavoriteLimits, [&list](std::string_view line) {
        auto [name, url] = SplitAtFirstComma(line);
        list.push_back({std::move(name), std::move(url)});
    });
    // The table lives as long as the tree: it keeps no room to grow.
    list.shrink_to_fit();
    return list;
}

void WriteFavorites(const std::filesystem::path& dir, TFavoriteKind kind, const TFavoriteList& list)
{
    std::vector<std::string> lines;
    lines.reserve(list.size());
    for (const TFavoriteEntry& entry : list) {
        std::string line;
        line.reserve(entry.Name.size() + 1 + entry.Url.size());
        line += entry.Name;
        line += ',';
        line += entry.Url;
        lines.push_back(std::move(line));
    }
    CheckLineLimits(dir / FavoriteKindFileName(kind), lines, kFavoriteLimits);
    WriteLines(dir / FavoriteKindFileName(kind), lines);
}

std::string FavoriteLabel(std::string_view name)
{
    constexpr size_t kMaxBytes = 256;
    if (name.size() <= kMaxBytes)
        return std::string(name);
    // A Shift_JIS lead byte takes the byte after it.
    size_t end = 0;
    for (;;) {
        const auto c = static_cast<unsigned char>(name[end]);
        const size_t width = byterules::IsSjisLeadByte(c) ? 2 : 1;
        if (end + width > kMaxBytes)
            break;
        end += width;
    }
    return std::string(name.substr(0, end)) + "\x81\x63";  // "…"
}
