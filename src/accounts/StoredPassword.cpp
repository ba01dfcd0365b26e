#include "accounts/StoredPassword.h"

#include "accounts/UCrypt.h"
#include "textconv/PzConv.h"

#include <sstream>

std::string EncryptPasswordText(std::string_view password)
{
    std::istringstream source{std::string(password)};
    std::ostringstream dest;
    THogeCrypt cipher;
    cipher.Encrypt(source, CredentialPassphrase, dest);
    return TPzConv::Base64Encode(dest.str());
}

std::string DecryptPasswordText(std::string_view storedText)
{
    std::istringstream source{TPzConv::Base64Decode(storedText)};
    std::ostringstream dest;
    THogeCrypt cipher;
    cipher.Decrypt(source, CredentialPassphrase, dest);
    return dest.str();
}
