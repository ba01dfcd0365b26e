// The three favorite lists and their files (search.ini, username.ini,
// exhibit.ini): one entry per line, name "," URL, Shift_JIS, CR LF.
// Lists grow as needed up to the bounds of kFavoriteLimits.
#pragma once

#include "settings/TextFile.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

enum TFavoriteKind : int { fkSearchWord = 0, fkUser = 1, fkExhibit = 2 };

inline constexpr std::array<TFavoriteKind, 3> kFavoriteKinds{fkSearchWord, fkUser, fkExhibit};

// "検索語", "ユーザ", "出品物" (UTF-8, for display).
const char* FavoriteKindCaption(TFavoriteKind kind);
// "search.ini", "username.ini", "exhibit.ini".
const char* FavoriteKindFileName(TFavoriteKind kind);

struct TFavoriteEntry {
    std::string Name;  // Shift_JIS; never holds a comma once stored
    std::string Url;   // Shift_JIS; may hold commas
    bool operator==(const TFavoriteEntry&) const = default;
};

using TFavoriteList = std::vector<TFavoriteEntry>;

// The three favorite lists, by TFavoriteKind.
using TFavoriteTables = std::array<TFavoriteList, 3>;

// What one favorites file may hold: 16 MiB, 50,000 entries, lines of
// 256 KiB (name, comma and URL). Whatever the three files hold, the program
// then shows its window within a few seconds and a few hundred MiB.
inline constexpr TFileSizeLimits kFavoriteLimits{};

// Reads a kind's file from dir. Each line splits at its first comma.
// Throws TFileError (a missing file is an error: loading creates nothing;
// a file beyond kFavoriteLimits is refused whole).
TFavoriteList ReadFavorites(const std::filesystem::path& dir, TFavoriteKind kind);

// Writes a kind's file whole and atomically; an empty list gives an empty
// file. A list that would pass kFavoriteLimits is refused (TFileError) and
// the file stays as it was.
void WriteFavorites(const std::filesystem::path& dir, TFavoriteKind kind, const TFavoriteList& list);

// A name as the tree and the organizer's list show it: names longer than
// 256 bytes end after the last whole character within them, followed by
// "…", since laying out a line of tens of thousands of characters takes the
// toolkit a tenth of a second per row. The entry keeps its name.
std::string FavoriteLabel(std::string_view name);
