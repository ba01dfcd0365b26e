#include "favorites/FavoritesStore.h"

#include "settings/TextFile.h"

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

const char* FavoriteKindCaption(TFavoriteKind kind)
{
    return InfoOf(kind).Caption;
}

const char* FavoriteKindFileName(TFavoriteKind kind)
{
    return InfoOf(kind).FileName;
}

TFavoriteList ReadFavorites(const std::filesystem::path& dir, TFavoriteKind kind)
{
    const std::vector<std::string> lines = ReadLines(dir / FavoriteKindFileName(kind));
    TFavoriteList list;
    list.reserve(lines.size());
    for (const std::string& line : lines) {
        auto [name, url] = SplitAtFirstComma(line);
        list.push_back({std::move(name), std::move(url)});
    }
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
    WriteLines(dir / FavoriteKindFileName(kind), lines);
}
