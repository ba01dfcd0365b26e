// Stored password texts as each key model writes them (RC2-CBC, zero IV,
// padding of 1 to 8 bytes, Base64), for checking which model Decrypt
// settles on. The decrypt benchmark's, shared with the cipher tests.
#pragma once

#include "accounts/Rc2Cipher.h"
#include "accounts/UCrypt.h"
#include "textconv/PzConv.h"

#include <openssl/evp.h>

#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

class TModelEncrypter {
public:
    TModelEncrypter()
    {
        if (!m_library.Open())
            throw std::runtime_error("no RC2 provider");
        unsigned int length = 0;
        EVP_MD* md5 = EVP_MD_fetch(m_library.Context(), "MD5", nullptr);
        const bool hashed = md5 != nullptr && EVP_Digest(CredentialPassphrase.data(), CredentialPassphrase.size(),
                                                         m_digest.data(), &length, md5, nullptr) == 1;
        EVP_MD_free(md5);
        m_cipher = EVP_CIPHER_fetch(m_library.Context(), "RC2-CBC", nullptr);
        m_ctx = EVP_CIPHER_CTX_new();
        if (!hashed || m_cipher == nullptr || m_ctx == nullptr)
            throw std::runtime_error("RC2 setup failed");
    }
    ~TModelEncrypter()
    {
        EVP_CIPHER_CTX_free(m_ctx);
        EVP_CIPHER_free(m_cipher);
    }
    TModelEncrypter(const TModelEncrypter&) = delete;
    TModelEncrypter& operator=(const TModelEncrypter&) = delete;

    std::string StoredText(ucrypt_internal::Rc2KeyModel model, std::string_view password)
    {
        using namespace ucrypt_internal;
        static constexpr unsigned char kZeroIv[Rc2BlockSize] = {};
        const Rc2Key key = DeriveRc2Key(m_digest, model);
        if (!SetupRc2(m_ctx, m_cipher, key.bytes, key.effectiveBits, kZeroIv, true))
            throw std::runtime_error("RC2 key setup failed");
        const std::size_t pad = Rc2BlockSize - password.size() % Rc2BlockSize;
        std::string data(password);
        data.append(pad, static_cast<char>(pad));
        std::string out(data.size(), '\0');
        int written = 0;
        if (EVP_CipherUpdate(m_ctx, reinterpret_cast<unsigned char*>(out.data()), &written,
                             reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size())) != 1 ||
            written != static_cast<int>(data.size()))
            throw std::runtime_error("RC2 failed");
        return TPzConv::Base64Encode(out);
    }

private:
    ucrypt_internal::CryptoLibrary m_library;
    ucrypt_internal::Md5Digest m_digest{};
    EVP_CIPHER* m_cipher = nullptr;
    EVP_CIPHER_CTX* m_ctx = nullptr;
};

// A password as a user types one: 1 to 16 bytes of printable ASCII.
inline std::string RandomPrintablePassword(std::mt19937& random)
{
    std::uniform_int_distribution<int> length(1, 16);
    std::uniform_int_distribution<int> byte(0x20, 0x7E);
    std::string password(static_cast<std::size_t>(length(random)), ' ');
    for (char& c : password)
        c = static_cast<char>(byte(random));
    return password;
}
