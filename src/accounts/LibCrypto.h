// The cipher library (OpenSSL 3's libcrypto), loaded the first time a
// password is encrypted or decrypted rather than with the program: most
// starts never need it, and mapping and relocating a library of its size
// costs every start time and more than a megabyte of memory.
//
// The functions the cipher calls are listed once; each is reached through
// the table LibCrypto() fills, under its own name and with the type the
// library's headers give it.
#pragma once

#include <openssl/core.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/provider.h>

#define LOTSCOPE_LIBCRYPTO_FUNCTIONS(X)                                                                                \
    X(ERR_peek_last_error)                                                                                             \
    X(ERR_pop_to_mark)                                                                                                 \
    X(ERR_set_mark)                                                                                                    \
    X(EVP_CIPHER_CTX_free)                                                                                             \
    X(EVP_CIPHER_CTX_get_params)                                                                                       \
    X(EVP_CIPHER_CTX_new)                                                                                              \
    X(EVP_CIPHER_CTX_reset)                                                                                            \
    X(EVP_CIPHER_CTX_set_padding)                                                                                      \
    X(EVP_CIPHER_CTX_set_params)                                                                                       \
    X(EVP_CIPHER_fetch)                                                                                                \
    X(EVP_CIPHER_free)                                                                                                 \
    X(EVP_CipherInit_ex2)                                                                                              \
    X(EVP_CipherUpdate)                                                                                                \
    X(EVP_DigestFinal_ex)                                                                                              \
    X(EVP_DigestInit_ex2)                                                                                              \
    X(EVP_DigestUpdate)                                                                                                \
    X(EVP_MD_CTX_free)                                                                                                 \
    X(EVP_MD_CTX_new)                                                                                                  \
    X(EVP_MD_fetch)                                                                                                    \
    X(EVP_MD_free)                                                                                                     \
    X(OSSL_LIB_CTX_free)                                                                                               \
    X(OSSL_LIB_CTX_new)                                                                                                \
    X(OSSL_PARAM_construct_end)                                                                                        \
    X(OSSL_PARAM_construct_size_t)                                                                                     \
    X(OSSL_PARAM_modified)                                                                                             \
    X(OSSL_PROVIDER_load)                                                                                              \
    X(OSSL_PROVIDER_unload)

struct TLibCrypto {
#define LOTSCOPE_LIBCRYPTO_MEMBER(name) decltype(&::name) name = nullptr;
    LOTSCOPE_LIBCRYPTO_FUNCTIONS(LOTSCOPE_LIBCRYPTO_MEMBER)
#undef LOTSCOPE_LIBCRYPTO_MEMBER
};

// The library's functions, loaded on the first call (from any thread);
// nullptr when it cannot be loaded or lacks one of them, which the cipher
// reports as a failure to acquire its context.
const TLibCrypto* LibCrypto();
