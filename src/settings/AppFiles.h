// The data folder: login.ini and option.ini, their in-memory records and
// their readers and writers, and what may not be written into the folder.
// Files are named relative to the directory the caller passes (the program
// passes its current directory).
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>

struct TAccountEntry {
    std::string YahooId;       // Shift_JIS, as typed
    std::string PasswordText;  // stored password text (Base64 of the cipher's output)
};

// The three-entry account table; entry 0 is the default account.
using TAccounts = std::array<TAccountEntry, 3>;

struct TAppOptions {
    int AutoLogin = 0;      // 1: log in with entry 0 at start
    int ShowFavorites = 0;  // 0: hide the favorites pane at start
    int BidRestraint = 0;   // bid self-restraint mode; on only when it equals 1
};

inline constexpr const char* kLoginFileName = "login.ini";
inline constexpr const char* kOptionFileName = "option.ini";

// The longest line either file may hold (without its line end). Only the
// lines in use are read: three of login.ini, one of option.ini.
inline constexpr size_t kSettingsLineBytes = 4096;

// Reads login.ini: line k fills entry k; entries without a line keep their
// values; a fourth or later line is never read. Throws TFileError, leaving
// the table as it was (the three lines are read before any entry changes).
void ReadAccounts(const std::filesystem::path& dir, TAccounts& accounts);

// Writes exactly three lines (ID "," stored text), file mode 0600. A line
// longer than kSettingsLineBytes is refused (TFileError), nothing written.
void WriteAccounts(const std::filesystem::path& dir, const TAccounts& accounts);

// Reads the first line of option.ini into options (the caller starts them
// at 0,0,0; an empty file leaves them). Later lines are never read: the
// program writes one. Throws TFileError; the fields converted before the
// error keep their new values.
void ReadOptions(const std::filesystem::path& dir, TAppOptions& options);

// Writes the one line "a,b,c" + CR LF.
void WriteOptions(const std::filesystem::path& dir, const TAppOptions& options);

// Whether a download's chosen path lies in the data folder (the folder
// itself, its files, anything below it), links resolved. Such a target is
// refused with kDataFolderTargetMessage (UTF-8).
bool IsInDataFolder(const std::filesystem::path& dataDir, const std::filesystem::path& target);
inline constexpr const char* kDataFolderTargetMessage =
    "このフォルダーにはプログラムの設定ファイルがあるため保存できません。別の場所を選んでください";
