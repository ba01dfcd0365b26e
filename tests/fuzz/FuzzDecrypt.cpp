// Arbitrary bytes as the ciphertext stream of THogeCrypt::Decrypt. Decrypt
// may accept the input under any of its keyings, so the checks are the ones
// that hold whichever it took:
//  - accepted: the input is whole blocks, the output 1 to 8 bytes shorter,
//    and the output encrypts to an input-sized ciphertext that decrypts back
//    to it (ranked first, since another keying's padding may verify too);
//  - refused: "CryptDecrypt", and nothing written to Dest.
#include "accounts/UCrypt.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    THogeCrypt cipher;
    std::istringstream source(input);
    std::ostringstream dest;
    const bool ok = cipher.Decrypt(source, CredentialPassphrase, dest);
    const std::string plain = dest.str();

    if (!ok) {
        Check(cipher.ErrorMessage == "CryptDecrypt");
        Check(cipher.ErrorCode != 0);
        Check(plain.empty());
        return 0;
    }
    Check(cipher.ErrorCode == 0 && cipher.ErrorMessage.empty());
    Check(size >= 8 && size % 8 == 0);
    Check(plain.size() < size && plain.size() + 8 >= size);

    std::istringstream again(plain);
    std::ostringstream reencrypted;
    Check(cipher.Encrypt(again, CredentialPassphrase, reencrypted));
    const std::string ciphertext = reencrypted.str();
    Check(ciphertext.size() == size);

    cipher.PlaintextRank = [&](std::string_view text) { return text == plain ? 2 : 1; };
    std::istringstream back(ciphertext);
    std::ostringstream decrypted;
    Check(cipher.Decrypt(back, CredentialPassphrase, decrypted));
    Check(decrypted.str() == plain);
    return 0;
}
