#include "settings/AppFiles.h"

#include "settings/TextFile.h"

#include <algorithm>
#include <vector>

void ReadAccounts(const std::filesystem::path& dir, TAccounts& accounts)
{
    // The lines are read before any entry changes, so a failed reading
    // leaves the table as it was. A fourth or later line has no entry to go
    // to and is not read: the table is never written beyond entry 2, and a
    // reader that refused such a file would lock the user out of the three
    // good entries.
    const std::vector<std::string> lines = ReadFirstLines(dir / kLoginFileName, accounts.size(), kSettingsLineBytes);
    for (size_t k = 0; k < lines.size(); ++k) {
        auto [id, password] = SplitAtFirstComma(lines[k]);
        accounts[k].YahooId = std::move(id);
        accounts[k].PasswordText = std::move(password);
    }
}

void WriteAccounts(const std::filesystem::path& dir, const TAccounts& accounts)
{
    std::vector<std::string> lines;
    lines.reserve(accounts.size());
    for (const TAccountEntry& entry : accounts)
        lines.push_back(entry.YahooId + "," + entry.PasswordText);
    TFileSizeLimits limits;
    limits.MaxLineBytes = kSettingsLineBytes;
    CheckLineLimits(dir / kLoginFileName, lines, limits);
    WriteLines(dir / kLoginFileName, lines, TFilePrivacy::Private);
}

void ReadOptions(const std::filesystem::path& dir, TAppOptions& options)
{
    // Each field is stored as soon as it converts, so after a conversion
    // error the caller holds the fields taken before it.
    for (const std::string& line : ReadFirstLines(dir / kOptionFileName, 1, kSettingsLineBytes)) {
        try {
            auto [field1, rest1] = SplitAtFirstComma(line);
            options.AutoLogin = StrToInt(field1);
            auto [field2, rest2] = SplitAtFirstComma(rest1);
            options.ShowFavorites = StrToInt(field2);
            options.BidRestraint = StrToInt(rest2);
        } catch (const TFileError& e) {
            // The one line read is the first.
            throw TFileError(LineMessage(dir / kOptionFileName, 1, e.what()));
        }
    }
}

void WriteOptions(const std::filesystem::path& dir, const TAppOptions& options)
{
    WriteLines(dir / kOptionFileName, {std::to_string(options.AutoLogin) + "," + std::to_string(options.ShowFavorites) +
                                       "," + std::to_string(options.BidRestraint)});
}

bool IsInDataFolder(const std::filesystem::path& dataDir, const std::filesystem::path& target)
{
    std::error_code error;
    const auto folder = std::filesystem::weakly_canonical(dataDir, error);
    if (error)
        return false;
    const auto chosen = std::filesystem::weakly_canonical(target, error);
    if (error)
        return true;  // cannot tell: refused
    const auto [mismatch, rest] = std::mismatch(folder.begin(), folder.end(), chosen.begin(), chosen.end());
    return mismatch == folder.end();
}
