#include "accounts/StoredPassword.h"

#include "CryptFixtures.h"
#include "ModelEncrypter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::string_literals;

TEST(StoredPassword, TextLengthFollowsThePasswordLength)
{
    for (std::size_t n = 0; n <= 24; ++n) {
        SCOPED_TRACE("password of " + std::to_string(n) + " bytes");
        const std::string text = EncryptPasswordText(std::string(n, 'p'));
        const std::size_t cipherBytes = 8 * (n / 8 + 1);
        EXPECT_EQ(text.size(), 4 * ((cipherBytes + 2) / 3));
        EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
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

// Only what a user could have typed comes back from a stored text; anything
// else is read as a text that does not decrypt.
TEST(StoredPassword, OnlyTypableTextDecrypts)
{
    struct TRow {
        const char* Label;
        std::string Bytes;
        int Rank;
    };
    const TRow rows[] = {
        {"printable ASCII", "p@ss w0rd~", 2},
        {"empty", "", 2},
        {"Shift_JIS kanji and half-width kana", "\x93\xFA\x96\x7B\xB1", 1},
        {"NUL", "a\0b"s, 0},
        {"CR LF", "ab\r\n", 0},
        {"DEL", "a\x7F", 0},
        {"lone lead byte", "ab\x83", 0},
        {"unassigned double byte", "\x85\x40", 0},
        {"byte with no character", "a\xFF", 0},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        EXPECT_EQ(PasswordPlausibility(row.Bytes), row.Rank);
        const TPasswordCipherResult read = DecryptStoredPassword(EncryptPasswordText(row.Bytes));
        EXPECT_EQ(read.Ok, row.Rank > 0);
        EXPECT_EQ(read.Text, row.Rank > 0 ? row.Bytes : "");
    }
}

// Stored texts written under each key model read back as their passwords,
// never as other bytes (a wrong key's padding verifies about once in 256).
// The fixed rows are texts whose first model with valid padding gives
// other printable bytes; random passwords add the rest.
TEST(StoredPassword, EveryKeyModelReadsBackItsOwnPassword)
{
    using ucrypt_internal::Rc2KeyModel;
    std::vector<std::pair<Rc2KeyModel, std::string>> rows = {
        {Rc2KeyModel::Salted40, "DP-3\\#"}, {Rc2KeyModel::Salted40, ",Qk*x2"}, {Rc2KeyModel::Salted40, "0o&>"},
        {Rc2KeyModel::Salted40, "zr!w_3 "}, {Rc2KeyModel::Full40, "E7"},       {Rc2KeyModel::Full40, "Nw"},
    };
    std::mt19937 random(4242);
    for (const Rc2KeyModel model : {Rc2KeyModel::Salted40, Rc2KeyModel::Full40, Rc2KeyModel::Full128})
        for (int i = 0; i < 300; ++i)
            rows.emplace_back(model, RandomPrintablePassword(random));
    TModelEncrypter encrypter;
    for (const auto& [model, password] : rows) {
        const TPasswordCipherResult read = DecryptStoredPassword(encrypter.StoredText(model, password));
        EXPECT_TRUE(read.Ok && read.Text == password) << static_cast<int>(model) << " " << password;
    }
}

TEST(StoredPassword, DamagedTextGivesEmpty)
{
    const std::string good(crypt_fixtures::StoredFull128);  // "R/ek+i4kDWY="
    const std::string rows[] = {
        "",
        good.substr(0, 8),           // 6 bytes: not a whole block
        good + good.substr(0, 4),    // 11 bytes
        "hunter2",                   // a plain password in the file
        "R/ek+i5kDWY=",              // one bit of the block changed
        "R/ek+i4kDWY=R/ek+i4kDWY=",  // two first blocks: the second does not decrypt
    };
    for (const std::string& text : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(DecryptPasswordText(text), "");
    }
}

}  // namespace
