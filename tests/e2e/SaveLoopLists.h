// The two favorites lists the save loop writes in turn: A of 50,000 entries
// (the most a file may hold) and B of 42,500 different ones (about 7 MB and
// 6 MB as files, their URLs padded to 120 bytes or so), both
// built from the entry number alone so that the test and the loop agree.
#pragma once

#include "favorites/FavoritesStore.h"

#include <cstdio>
#include <string>

inline constexpr int kSaveLoopEntriesA = 50000;
inline constexpr int kSaveLoopEntriesB = 42500;

// Entry i of list A (which == 0) or B (which == 1); names hold Shift_JIS
// (0x8C9F 0x8DF5, "検索") so that the bytes are not all ASCII.
inline TFavoriteEntry SaveLoopEntry(int which, int i)
{
    char name[64];
    char url[96];
    std::snprintf(name, sizeof name, "%s\x8C\x9F\x8D\xF5-%07d", which == 0 ? "alpha" : "beta", i);
    std::snprintf(url, sizeof url, "http://auctions.example.jp/jp/auction/%c%09d?x=1,2&p=", which == 0 ? 'a' : 'b', i);
    return {name, url + std::string(66, 'p')};
}

inline TFavoriteList SaveLoopList(int which)
{
    const int count = which == 0 ? kSaveLoopEntriesA : kSaveLoopEntriesB;
    TFavoriteList list;
    list.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        list.push_back(SaveLoopEntry(which, i));
    return list;
}
