#include "accounts/CipherSession.h"

#include "accounts/LibCrypto.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ucrypt_internal {

namespace {

// The cipher library; reached only once a session's context is acquired,
// which has loaded it.
const TLibCrypto& Lib() { return *LibCrypto(); }

}  // namespace

void FailOpenSsl(const char* step)
{
    const TLibCrypto* lib = LibCrypto();
    throw Failure{step, lib != nullptr ? static_cast<std::uint32_t>(lib->ERR_peek_last_error()) : 0};
}

void FailStream(const char* message) { throw Failure{message, static_cast<std::uint32_t>(errno)}; }

void CipherSession::Release() noexcept
{
    if (m_buffer) {
        explicit_bzero(m_buffer.get(), m_capacity);
        m_buffer.reset();
        m_capacity = 0;
    }
    DestroyHash();
    if (m_key != nullptr) {
        Lib().EVP_CIPHER_CTX_free(m_key);
        m_key = nullptr;
    }
    if (m_cipher != nullptr) {
        Lib().EVP_CIPHER_free(m_cipher);
        m_cipher = nullptr;
    }
    explicit_bzero(m_digest.data(), m_digest.size());
    m_library.Close();
}

void CipherSession::AcquireContext()
{
    if (!m_library.Open())
        FailOpenSsl(StepAcquire);
}

void CipherSession::DeriveKey(std::uint32_t hashAlgId, std::uint32_t cipherAlgId, std::string_view passphrase)
{
    if (hashAlgId != CalgMd5)
        FailWith(StepCreateHash, EvpCode(EVP_R_UNSUPPORTED_ALGORITHM));
    m_md = Lib().EVP_MD_fetch(m_library.Context(), "MD5", nullptr);
    if (m_md == nullptr)
        FailOpenSsl(StepCreateHash);
    m_hash = Lib().EVP_MD_CTX_new();
    if (m_hash == nullptr || Lib().EVP_DigestInit_ex2(m_hash, m_md, nullptr) != 1)
        FailOpenSsl(StepCreateHash);
    if (Lib().EVP_DigestUpdate(m_hash, passphrase.data(), passphrase.size()) != 1)
        FailOpenSsl(StepHashData);

    if (cipherAlgId != CalgRc2)
        FailWith(StepDeriveKey, EvpCode(EVP_R_UNSUPPORTED_CIPHER));
    unsigned int digestLength = 0;
    if (Lib().EVP_DigestFinal_ex(m_hash, m_digest.data(), &digestLength) != 1 || digestLength != m_digest.size())
        FailOpenSsl(StepDeriveKey);
    m_cipher = Lib().EVP_CIPHER_fetch(m_library.Context(), "RC2-CBC", nullptr);
    if (m_cipher == nullptr)
        FailOpenSsl(StepDeriveKey);
    m_key = Lib().EVP_CIPHER_CTX_new();
    if (m_key == nullptr)
        FailOpenSsl(StepDeriveKey);
    // The key Encrypt uses; Decrypt sets up the one it settles on later.
    KeyFor(Rc2KeyModel::Full128, nullptr);
    DestroyHash();
}

void CipherSession::KeyFor(Rc2KeyModel model, const unsigned char* iv)
{
    static constexpr unsigned char ZeroIv[Rc2BlockSize] = {};
    Rc2Key key = DeriveRc2Key(m_digest, model);
    const bool ok = SetupRc2(m_key, m_cipher, key.bytes, key.effectiveBits, iv != nullptr ? iv : ZeroIv, m_encrypt);
    explicit_bzero(key.bytes.data(), key.bytes.size());
    if (!ok)
        FailOpenSsl(StepDeriveKey);
}

void CipherSession::AllocateBuffer(std::uint32_t chunkSize, std::uint32_t padSize)
{
    m_capacity = std::size_t{chunkSize} + padSize;
    m_buffer = std::make_unique_for_overwrite<unsigned char[]>(m_capacity);
}

bool CipherSession::Crypt(unsigned char* data, std::size_t length)
{
    constexpr std::size_t Step = std::size_t{1} << 20;
    while (length > 0) {
        const std::size_t part = std::min(length, Step);
        int written = 0;
        if (Lib().EVP_CipherUpdate(m_key, data, &written, data, static_cast<int>(part)) != 1 ||
            written != static_cast<int>(part))
            return false;
        data += part;
        length -= part;
    }
    return true;
}

void CipherSession::DestroyHash() noexcept
{
    if (m_hash != nullptr) {
        Lib().EVP_MD_CTX_free(m_hash);
        m_hash = nullptr;
    }
    if (m_md != nullptr) {
        Lib().EVP_MD_free(m_md);
        m_md = nullptr;
    }
}

}  // namespace ucrypt_internal
