// THogeCrypt: the credential cipher. RC2 (CBC, zero IV, PKCS#5 padding)
// under a key derived from the MD5 hash of a passphrase, over OpenSSL 3.
// Streams are processed in pieces of ChunkSize bytes with one work buffer of
// ChunkSize + PadSize bytes. No exception leaves Encrypt or Decrypt: every
// failure gives false, with ErrorCode and ErrorMessage naming the failed step.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

// The fixed passphrase every caller passes (hashed as its 26 bytes).
inline constexpr std::string_view CredentialPassphrase = "pirikapirikatamagoyakinoko";

class THogeCrypt {
public:
    THogeCrypt() = default;
    ~THogeCrypt() = default;

    std::uint32_t ErrorCode = 0;
    std::string ErrorMessage;
    std::uint32_t CipherAlgId = 0x6602;  // CALG_RC2
    std::uint32_t PadSize = 8;
    std::uint32_t HashAlgId = 0x8003;  // CALG_MD5
    std::uint32_t ChunkSize = 1024;

    // Decrypt decrypts under every key model whose padding verifies and
    // keeps the plaintext that ranks highest: first by this rank (0 refuses
    // the plaintext; left empty, every plaintext ranks 1), then by the length
    // of its padding (a wrong key leaves valid padding of p bytes only once
    // in 256^p times), then by the order in which the models are tried. With
    // no plaintext left, Decrypt fails and Dest is left as it was. A wrong
    // key whose padding happens to verify is so passed over instead of
    // returning other bytes. The plaintexts are held in memory, so this suits
    // short texts (the stored passwords).
    std::function<int(std::string_view plaintext)> PlaintextRank;

    // Encrypts Source from its current position to its end, writing the
    // ciphertext at Dest's current position.
    bool Encrypt(std::istream& Source, std::string_view Passphrase, std::ostream& Dest);
    // Decrypts what Encrypt wrote (accepting keys derived the ways older
    // systems derived them, see UCrypt.cpp).
    bool Decrypt(std::istream& Source, std::string_view Passphrase, std::ostream& Dest);
};
