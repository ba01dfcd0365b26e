// The three favorite lists and their files (search.ini, username.ini,
// exhibit.ini): one entry per line, name "," URL, Shift_JIS, CR LF.
// Lists grow as needed: any number of entries loads and saves.
#pragma once

#include <array>
#include <filesystem>
#include <string>
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

// Reads a kind's file from dir. Each line splits at its first comma.
// Throws TFileError (a missing file is an error: loading creates nothing).
TFavoriteList ReadFavorites(const std::filesystem::path& dir, TFavoriteKind kind);

// Writes a kind's file whole and atomically; an empty list gives an empty file.
void WriteFavorites(const std::filesystem::path& dir, TFavoriteKind kind, const TFavoriteList& list);
