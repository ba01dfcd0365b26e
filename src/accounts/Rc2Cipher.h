// Internal to the credential cipher: the OpenSSL library context it works in,
// the RC2 key models of the CryptoAPI providers whose login.ini files must
// still decrypt, and the one function that sets an RC2 key up. Tests use the
// same function to check RC2 against published known-answer vectors.
#pragma once

#include <openssl/types.h>

#include <array>
#include <cstddef>
#include <span>

namespace ucrypt_internal {

inline constexpr std::size_t Rc2BlockSize = 8;
inline constexpr std::size_t Md5Size = 16;

using Md5Digest = std::array<unsigned char, Md5Size>;

// How a CryptoAPI provider turns the MD5 hash of the passphrase into an RC2
// key when CryptDeriveKey is called with flags 0.
enum class Rc2KeyModel {
    // Windows XP SP1 and later: the 16 hash bytes, 128 effective key bits.
    Full128,
    // Windows 2000 and XP before SP1: the 16 hash bytes, 40 effective bits.
    Full40,
    // The base provider of older systems: the first 5 hash bytes followed by
    // 11 zero bytes of salt (16 key bytes), 40 effective bits.
    Salted40,
};

// Encrypt always uses the first; Decrypt tries them in this order, which
// settles ties between equally ranked plaintexts (see
// THogeCrypt::PlaintextRank).
inline constexpr std::array<Rc2KeyModel, 3> DecryptKeyModels = {Rc2KeyModel::Full128, Rc2KeyModel::Full40,
                                                                Rc2KeyModel::Salted40};

struct Rc2Key {
    std::array<unsigned char, 16> bytes{};
    unsigned effectiveBits = 0;
};

Rc2Key DeriveRc2Key(const Md5Digest& hash, Rc2KeyModel model);

// An OpenSSL library context of its own with the legacy provider (RC2) and
// the default provider (MD5) loaded, so nothing else in the process sees the
// legacy algorithms. Closing unloads the providers, then frees the context.
class CryptoLibrary {
public:
    CryptoLibrary() = default;
    CryptoLibrary(const CryptoLibrary&) = delete;
    CryptoLibrary& operator=(const CryptoLibrary&) = delete;
    ~CryptoLibrary() { Close(); }

    bool Open();
    void Close();
    OSSL_LIB_CTX* Context() const { return m_context; }

private:
    OSSL_LIB_CTX* m_context = nullptr;
    OSSL_PROVIDER* m_legacy = nullptr;
    OSSL_PROVIDER* m_default = nullptr;
};

// Prepares ctx for RC2 with the given cipher ("RC2-CBC" or "RC2-ECB" fetched
// from a CryptoLibrary): key length key.size(), effective key length
// effectiveBits, the given IV (8 bytes, or null for ECB) and padding off.
// Both lengths are set through the cipher's parameters and read back, so a
// provider that ignored them is a failure rather than a silently wrong key.
bool SetupRc2(EVP_CIPHER_CTX* ctx, const EVP_CIPHER* cipher, std::span<const unsigned char> key, unsigned effectiveBits,
              const unsigned char* iv, bool encrypt);

// True when block (the last plaintext block) ends in valid padding: a length
// p of 1 to 8 and p bytes each equal to p. Sets padLength to p.
bool CheckPadding(std::span<const unsigned char, Rc2BlockSize> block, std::size_t& padLength);

}  // namespace ucrypt_internal
