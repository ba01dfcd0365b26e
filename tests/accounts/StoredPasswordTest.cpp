#include "accounts/StoredPassword.h"

#include "CryptFixtures.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(StoredPassword, TextLengthFollowsThePasswordLength)
{
    for (std::size_t n = 0; n <= 24; ++n) {
        SCOPED_TRACE("password of " + std::to_string(n) + " bytes");
        const std::string text = EncryptPasswordText(std::string(n, 'p'));
        const std::size_t cipherBytes = 8 * (n / 8 + 1);
        EXPECT_EQ(text.size(), 4 * ((cipherBytes + 2) / 3));
        EXPECT_EQ(text.find_first_not_of(
                      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                  std::string::npos);
        if (n < 8) {
            EXPECT_EQ(text.size(), 12u);
            EXPECT_EQ(text.back(), '=');
        }
    }
}

TEST(StoredPassword, SamePasswordSameText)
{
    EXPECT_EQ(EncryptPasswordText("secret"), EncryptPasswordText("secret"));
    EXPECT_NE(EncryptPasswordText("secret"), EncryptPasswordText("secreT"));
}

TEST(StoredPassword, RoundTrips)
{
    const std::string rows[] = {
        "",
        "a",
        "pass word",
        "exactly8",
        "\x83\x70\x83\x58\x83\x8f\x81\x5b\x83\x68"s,  // Shift_JIS katakana
        "\x00\xff\x00\x2c\x0d\x0a"s,                  // NUL, 0xFF, comma, CR LF
        std::string(100, 'z'),
    };
    for (const std::string& password : rows) {
        SCOPED_TRACE(password);
        EXPECT_EQ(DecryptPasswordText(EncryptPasswordText(password)), password);
    }
}

// Texts written through each of the Windows providers' keyings, made by an
// independent RC2 (make_crypt_fixtures.py).
TEST(StoredPassword, ReadsTextsOfEachKeying)
{
    EXPECT_EQ(EncryptPasswordText(crypt_fixtures::StoredPlain), crypt_fixtures::StoredFull128);
    EXPECT_EQ(DecryptPasswordText(crypt_fixtures::StoredFull128), crypt_fixtures::StoredPlain);
    EXPECT_EQ(DecryptPasswordText(crypt_fixtures::StoredFull40), crypt_fixtures::StoredPlain);
    EXPECT_EQ(DecryptPasswordText(crypt_fixtures::StoredSalted40), crypt_fixtures::StoredPlain);
}

TEST(StoredPassword, DamagedTextGivesEmpty)
{
    const std::string good(crypt_fixtures::StoredFull128);  // "R/ek+i4kDWY="
    const std::string rows[] = {
        "",
        good.substr(0, 8),                   // 6 bytes: not a whole block
        good + good.substr(0, 4),            // 11 bytes
        "hunter2",                           // a plain password in the file
        "R/ek+i5kDWY=",                      // one bit of the block changed
        "R/ek+i4kDWY=R/ek+i4kDWY=",          // two first blocks: the second does not decrypt
    };
    for (const std::string& text : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(DecryptPasswordText(text), "");
    }
}

}  // namespace
