// Arbitrary bytes as a favorites file: read, write, read gives the same list
// (names read from a file never hold a comma, CR or 0x1A).
#include "SettingsFuzzDir.h"
#include "favorites/FavoritesStore.h"
#include "settings/TextFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const TSettingsFuzzDir scratch;
    const auto& dir = scratch.path();
    // The first byte picks the kind, the rest is the file.
    const TFavoriteKind kind = kFavoriteKinds[data[0] % kFavoriteKinds.size()];
    PutFile(dir / FavoriteKindFileName(kind), std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    TFavoriteList list;
    try {
        list = ReadFavorites(dir, kind);
    } catch (const TFileError&) {
        return 0;
    }
    for (const TFavoriteEntry& entry : list)
        if (entry.Name.find_first_of(std::string_view(",\r\x1A", 3)) != std::string::npos)
            std::abort();
    WriteFavorites(dir, kind, list);
    if (ReadFavorites(dir, kind) != list)
        std::abort();
    return 0;
}
