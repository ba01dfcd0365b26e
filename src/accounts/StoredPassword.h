// The stored password text of login.ini: Base64 of the credential cipher's
// output over the password's bytes, under CredentialPassphrase.
#pragma once

#include <string>
#include <string_view>

// How plausible bytes are as a typed password: 0 when they cannot be one
// (Shift_JIS that does not convert, or a control character below 0x20 or
// 0x7F), 2 for printable ASCII only (what passwords nearly always are, and
// random bytes rarely), 1 for anything else. Decrypting a stored text keeps
// the best-ranked plaintext among the key models, so a wrong key whose
// padding happens to verify does not pass for the password.
int PasswordPlausibility(std::string_view bytes);

// One run of the cipher: Text is the stored text (encrypting) or the
// password (decrypting) when Ok; otherwise empty, and ErrorMessage names the
// failure (the cipher's ErrorMessage).
struct TPasswordCipherResult {
    bool Ok = false;
    std::string Text;
    std::string ErrorMessage;
};

TPasswordCipherResult EncryptStoredPassword(std::string_view password);
TPasswordCipherResult DecryptStoredPassword(std::string_view storedText);

// The same, ignoring the result, as the login command does: a text that does
// not decrypt gives an empty password.
std::string EncryptPasswordText(std::string_view password);
std::string DecryptPasswordText(std::string_view storedText);
