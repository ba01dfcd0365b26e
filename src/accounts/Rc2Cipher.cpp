// The RC2 primitives of the credential cipher, over OpenSSL 3: the key
// models, the library context, the key setup and the padding check.

#include "accounts/Rc2Cipher.h"

#include "accounts/LibCrypto.h"

#include <openssl/core_names.h>

#include <algorithm>

namespace ucrypt_internal {

Rc2Key DeriveRc2Key(const Md5Digest& hash, Rc2KeyModel model)
{
    Rc2Key key;
    switch (model) {
    case Rc2KeyModel::Full128:
        std::copy(hash.begin(), hash.end(), key.bytes.begin());
        key.effectiveBits = 128;
        break;
    case Rc2KeyModel::Full40:
        std::copy(hash.begin(), hash.end(), key.bytes.begin());
        key.effectiveBits = 40;
        break;
    case Rc2KeyModel::Salted40:
        // Five key bytes, then eleven bytes of zero salt.
        std::copy(hash.begin(), hash.begin() + 5, key.bytes.begin());
        key.effectiveBits = 40;
        break;
    }
    return key;
}

bool CryptoLibrary::Open()
{
    Close();
    const TLibCrypto* lib = LibCrypto();
    if (lib == nullptr)
        return false;
    m_context = lib->OSSL_LIB_CTX_new();
    if (m_context == nullptr)
        return false;
    m_legacy = lib->OSSL_PROVIDER_load(m_context, "legacy");
    m_default = lib->OSSL_PROVIDER_load(m_context, "default");
    return m_legacy != nullptr && m_default != nullptr;
}

void CryptoLibrary::Close()
{
    if (m_context == nullptr)
        return;  // nothing was opened (nor the library loaded for it)
    const TLibCrypto* lib = LibCrypto();
    if (m_default != nullptr)
        lib->OSSL_PROVIDER_unload(m_default);
    if (m_legacy != nullptr)
        lib->OSSL_PROVIDER_unload(m_legacy);
    if (m_context != nullptr)
        lib->OSSL_LIB_CTX_free(m_context);
    m_default = nullptr;
    m_legacy = nullptr;
    m_context = nullptr;
}

namespace {

bool ReadRc2Lengths(const TLibCrypto* lib, EVP_CIPHER_CTX* ctx, std::size_t& keyLength, std::size_t& keyBits)
{
    OSSL_PARAM params[] = {
        lib->OSSL_PARAM_construct_size_t(OSSL_CIPHER_PARAM_KEYLEN, &keyLength),
        lib->OSSL_PARAM_construct_size_t(OSSL_CIPHER_PARAM_RC2_KEYBITS, &keyBits),
        lib->OSSL_PARAM_construct_end(),
    };
    return lib->EVP_CIPHER_CTX_get_params(ctx, params) == 1 && lib->OSSL_PARAM_modified(&params[0]) &&
           lib->OSSL_PARAM_modified(&params[1]);
}

}  // namespace

bool SetupRc2(EVP_CIPHER_CTX* ctx, const EVP_CIPHER* cipher, std::span<const unsigned char> key, unsigned effectiveBits,
              const unsigned char* iv, bool encrypt)
{
    const int enc = encrypt ? 1 : 0;
    const TLibCrypto* lib = LibCrypto();
    if (lib == nullptr || ctx == nullptr || cipher == nullptr || key.empty())
        return false;
    // The lengths must be in place before the key schedule is computed, so
    // the key goes in with a second initialisation after the parameters.
    if (lib->EVP_CIPHER_CTX_reset(ctx) != 1 ||
        lib->EVP_CipherInit_ex2(ctx, cipher, nullptr, nullptr, enc, nullptr) != 1)
        return false;
    std::size_t keyLength = key.size();
    std::size_t keyBits = effectiveBits;
    OSSL_PARAM params[] = {
        lib->OSSL_PARAM_construct_size_t(OSSL_CIPHER_PARAM_KEYLEN, &keyLength),
        lib->OSSL_PARAM_construct_size_t(OSSL_CIPHER_PARAM_RC2_KEYBITS, &keyBits),
        lib->OSSL_PARAM_construct_end(),
    };
    if (lib->EVP_CIPHER_CTX_set_params(ctx, params) != 1)
        return false;
    if (lib->EVP_CipherInit_ex2(ctx, nullptr, key.data(), iv, enc, nullptr) != 1)
        return false;
    if (lib->EVP_CIPHER_CTX_set_padding(ctx, 0) != 1)
        return false;
    std::size_t readLength = 0;
    std::size_t readBits = 0;
    return ReadRc2Lengths(lib, ctx, readLength, readBits) && readLength == key.size() && readBits == effectiveBits;
}

bool CheckPadding(std::span<const unsigned char, Rc2BlockSize> block, std::size_t& padLength)
{
    const std::size_t pad = block[Rc2BlockSize - 1];
    if (pad < 1 || pad > Rc2BlockSize)
        return false;
    for (std::size_t i = Rc2BlockSize - pad; i < Rc2BlockSize; ++i) {
        if (block[i] != pad)
            return false;
    }
    padLength = pad;
    return true;
}

}  // namespace ucrypt_internal
