// Internal to the credential cipher: what one Encrypt or Decrypt call holds
// (the library context, the MD5 hash of the passphrase, the RC2 key and the
// work buffer) and how a failed step is reported. The step names are those
// of the CryptoAPI calls they stand for (see UCrypt.cpp), because those
// names are what ErrorMessage reports.
#pragma once

#include "accounts/Rc2Cipher.h"

#include <openssl/err.h>
#include <openssl/evp.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace ucrypt_internal {

inline constexpr std::uint32_t CalgRc2 = 0x6602;
inline constexpr std::uint32_t CalgMd5 = 0x8003;

inline constexpr const char* StepAcquire = "CryptAcquireContext";
inline constexpr const char* StepCreateHash = "CryptCreateHash";
inline constexpr const char* StepHashData = "CryptHashData";
inline constexpr const char* StepDeriveKey = "CryptDeriveKey";
inline constexpr const char* StepEncrypt = "CryptEncrypt";
inline constexpr const char* StepDecrypt = "CryptDecrypt";
inline constexpr const char* ReadFailed = "read failed";
inline constexpr const char* WriteFailed = "write failed";
inline constexpr const char* PositionUnavailable = "stream position unavailable";

inline std::uint32_t EvpCode(int reason) { return static_cast<std::uint32_t>(ERR_PACK(ERR_LIB_EVP, 0, reason)); }

// A failure inside an operation; caught at the operation's edge.
struct Failure {
    const char* message;
    std::uint32_t code;
};

// A library call failed: the library's own code for it (none when the
// library itself could not be loaded).
[[noreturn]] void FailOpenSsl(const char* step);
[[noreturn]] inline void FailWith(const char* step, std::uint32_t code) { throw Failure{step, code}; }
// A stream operation failed: errno as it stands.
[[noreturn]] void FailStream(const char* message);

// What one call holds, released in the fixed order: the work buffer, the
// hash (if still held), the key, and last the library context.
class CipherSession {
public:
    explicit CipherSession(bool encrypt) : m_encrypt(encrypt) { }
    CipherSession(const CipherSession&) = delete;
    CipherSession& operator=(const CipherSession&) = delete;
    ~CipherSession() { Release(); }

    void Release() noexcept;
    void AcquireContext();
    void DeriveKey(std::uint32_t hashAlgId, std::uint32_t cipherAlgId, std::string_view passphrase);
    // Sets the key up under the given model, with the given IV (zero when
    // null). Failure is a key derivation failure.
    void KeyFor(Rc2KeyModel model, const unsigned char* iv);
    void AllocateBuffer(std::uint32_t chunkSize, std::uint32_t padSize);

    unsigned char* Buffer() const { return m_buffer.get(); }
    std::size_t Capacity() const { return m_capacity; }

    // Runs the key over length bytes in place; length is a whole number of
    // blocks.
    bool Crypt(unsigned char* data, std::size_t length);

private:
    void DestroyHash() noexcept;

    const bool m_encrypt;
    CryptoLibrary m_library;
    EVP_MD* m_md = nullptr;
    EVP_MD_CTX* m_hash = nullptr;
    EVP_CIPHER* m_cipher = nullptr;
    EVP_CIPHER_CTX* m_key = nullptr;
    Md5Digest m_digest{};
    std::unique_ptr<unsigned char[]> m_buffer;
    std::size_t m_capacity = 0;
};

}  // namespace ucrypt_internal
