// Arbitrary bytes as login.ini: reading succeeds or throws TFileError, and
// what it read survives a write and a fresh read.
#include "SettingsFuzzDir.h"
#include "settings/AppFiles.h"
#include "settings/TextFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TSettingsFuzzDir scratch;
    const auto& dir = scratch.path();
    PutFile(dir / kLoginFileName, std::string_view(reinterpret_cast<const char*>(data), size));
    TAccounts accounts;
    try {
        ReadAccounts(dir, accounts);
    } catch (const TFileError&) {
        return 0;
    }
    for (const TAccountEntry& entry : accounts)
        if (entry.YahooId.find(',') != std::string::npos)
            std::abort();
    // A line without a comma at the length bound gains one in front when
    // written; the writer then refuses it rather than leave a file the
    // reader would refuse.
    for (const TAccountEntry& entry : accounts) {
        if (entry.YahooId.size() + 1 + entry.PasswordText.size() > kSettingsLineBytes) {
            try {
                WriteAccounts(dir, accounts);
            } catch (const TFileError&) {
                return 0;
            }
            std::abort();
        }
    }
    WriteAccounts(dir, accounts);
    TAccounts fresh;
    fresh[2].YahooId = "stale";
    ReadAccounts(dir, fresh);
    for (size_t k = 0; k < accounts.size(); ++k)
        if (fresh[k].YahooId != accounts[k].YahooId || fresh[k].PasswordText != accounts[k].PasswordText)
            std::abort();
    return 0;
}
