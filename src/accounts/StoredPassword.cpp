#include "accounts/StoredPassword.h"

#include "accounts/UCrypt.h"
#include "textconv/ByteRules.h"
#include "textconv/Cp932.h"
#include "textconv/PzConv.h"

#include <sstream>

int PasswordPlausibility(std::string_view bytes)
{
    bool ascii = true;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (byterules::IsControl(b))
            return 0;
        ascii = ascii && b < 0x80;
    }
    if (ascii)
        return 2;
    return cp932::ToUtf16(bytes).find(u'\uFFFD') == std::u16string::npos ? 1 : 0;
}

TPasswordCipherResult EncryptStoredPassword(std::string_view password)
{
    std::istringstream source{std::string(password)};
    std::ostringstream dest;
    THogeCrypt cipher;
    if (!cipher.Encrypt(source, CredentialPassphrase, dest))
        return {false, {}, cipher.ErrorMessage};
    return {true, TPzConv::Base64Encode(dest.str()), {}};
}

TPasswordCipherResult DecryptStoredPassword(std::string_view storedText)
{
    std::istringstream source{TPzConv::Base64Decode(storedText)};
    std::ostringstream dest;
    THogeCrypt cipher;
    cipher.PlaintextRank = PasswordPlausibility;
    if (!cipher.Decrypt(source, CredentialPassphrase, dest))
        return {false, {}, cipher.ErrorMessage};
    return {true, dest.str(), {}};
}

std::string EncryptPasswordText(std::string_view password) { return EncryptStoredPassword(password).Text; }

std::string DecryptPasswordText(std::string_view storedText) { return DecryptStoredPassword(storedText).Text; }
