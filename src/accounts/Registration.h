// The account registration dialog's logic: the three ID and password edits,
// the in-place encryption and decryption of the password edits, and the
// check of what was typed.
#pragma once

#include "settings/AppFiles.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The texts of the dialog's six edits (Shift_JIS), entry by entry.
struct TRegistrationEdits {
    std::array<std::string, 3> Ids;
    std::array<std::string, 3> Passwords;
    bool operator==(const TRegistrationEdits&) const = default;
};

// The dialog's edits filled from the table: IDs and stored texts, not yet
// decrypted.
TRegistrationEdits EditsFromAccounts(const TAccounts& accounts);
// The table from the edits, once the password edits hold stored texts.
TAccounts AccountsFromEdits(const TRegistrationEdits& edits);

// The password edits' round trip. Opening decrypts the stored texts and
// remembers, entry by entry, the stored text and the password shown for it.
// Registering keeps that stored text byte for byte for an edit that still
// shows that password (it is not decrypted and encrypted again) and
// encrypts only the others, so a stored text the cipher cannot read today
// survives a 登録 that did not touch its entry.
class TStoredAndShownPasswords {
public:
    struct TDecrypted {
        std::array<std::string, 3> Passwords;  // empty for a text that does not decrypt
        std::vector<int> Unreadable;           // entries (1 to 3) whose text did not decrypt
    };
    // The decrypt step (復号化) over the password edits' texts (shown) and
    // the account table's stored texts. Only an edit that still shows its
    // entry's stored text is decrypted; any other edit already shows a
    // password and keeps it, so a second 復号化 changes nothing. An empty
    // stored text is an entry never registered: an empty password, not an
    // error.
    TDecrypted Decrypt(const std::array<std::string, 3>& shown, const std::array<std::string, 3>& storedTexts);

    struct TEncrypted {
        bool Ok = false;
        std::array<std::string, 3> StoredTexts;
        std::string ErrorMessage;  // the cipher's, when not Ok
    };
    // The encrypt step (暗号化). When any encryption fails the result is not
    // Ok and nothing is remembered differently.
    TEncrypted Encrypt(const std::array<std::string, 3>& passwords);

private:
    struct TKept {
        std::string Shown;
        std::string Stored;
    };
    std::array<std::optional<TKept>, 3> m_kept;
};

// What the user is told after opening when entries' stored texts did not
// decrypt (UTF-8), and when encrypting failed on 登録.
std::string UnreadablePasswordsMessage(const std::vector<int>& entries);
std::string EncryptFailedMessage(std::string_view cipherError);

// Why 登録 refuses the edits.
enum class TRegistrationProblem {
    None,
    CommaInId,          // login.ini would cut the ID at its first comma
    ControlInId,        // a control character would break login.ini's lines
    ControlInPassword,  // a control character no stored text could give back
    Unrepresentable,    // a character Shift_JIS has no code for
};

struct TRegistrationCheck {
    TRegistrationProblem Problem = TRegistrationProblem::None;
    TRegistrationEdits Edits;  // Shift_JIS when Problem is None
};

// Converts the six edits' texts (UTF-16, IDs then passwords of entries 0 to
// 2) to Shift_JIS and checks them for login.ini.
TRegistrationCheck CheckRegistration(const std::array<std::u16string, 3>& ids,
                                     const std::array<std::u16string, 3>& passwords);

// The message the user sees for a problem (UTF-8); empty for None.
const char* RegistrationMessage(TRegistrationProblem problem);
