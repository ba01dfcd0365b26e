// Arbitrary bytes as option.ini: reading succeeds or throws TFileError, and
// values read without error survive a write and a fresh read.
#include "SettingsFuzzDir.h"
#include "settings/AppFiles.h"
#include "settings/TextFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TSettingsFuzzDir scratch;
    const auto& dir = scratch.path();
    PutFile(dir / kOptionFileName, std::string_view(reinterpret_cast<const char*>(data), size));
    TAppOptions options;
    try {
        ReadOptions(dir, options);
    } catch (const TFileError&) {
        return 0;
    }
    WriteOptions(dir, options);
    TAppOptions fresh;
    ReadOptions(dir, fresh);
    if (fresh.AutoLogin != options.AutoLogin || fresh.ShowFavorites != options.ShowFavorites ||
        fresh.BidRestraint != options.BidRestraint)
        std::abort();
    return 0;
}
