// The account registration dialog's logic: the three ID and password edits,
// the in-place encryption and decryption of the password edits, and the
// check of what was typed.
#pragma once

#include "settings/AppFiles.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

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

// The password edits' round trip. Encrypting replaces each password edit's
// text by its stored text and keeps the plain password behind it. An edit
// that still shows the stored text produced for it is encrypted again from
// that plain password, never from the stored text, so a second 登録 after a
// failed write stores the same texts as the first.
class TPasswordRound {
public:
    // The encrypt step (暗号化): the stored texts for the three edits.
    std::array<std::string, 3> Encrypt(const std::array<std::string, 3>& editTexts);
    // The decrypt step (復号化): the plain passwords for three stored texts
    // (empty for a text that does not decrypt). Forgets what Encrypt kept.
    std::array<std::string, 3> Decrypt(const std::array<std::string, 3>& editTexts);

private:
    struct TKept {
        std::string Plain;
        std::string Stored;
    };
    std::array<std::optional<TKept>, 3> m_kept;
};

// Why 登録 refuses the edits.
enum class TRegistrationProblem {
    None,
    CommaInId,         // login.ini would cut the ID at its first comma
    Unrepresentable,   // a character Shift_JIS has no code for
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
