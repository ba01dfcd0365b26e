// The stored password text of login.ini: Base64 of the credential cipher's
// output over the password's bytes, under CredentialPassphrase. Both
// directions ignore the cipher's result, as the registration dialog and the
// login command do: a text that does not decrypt gives what the cipher wrote
// (empty for a damaged text).
#pragma once

#include <string>
#include <string_view>

std::string EncryptPasswordText(std::string_view password);
std::string DecryptPasswordText(std::string_view storedText);
