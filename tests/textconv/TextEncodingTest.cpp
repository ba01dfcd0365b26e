// URL percent-encoding and Base64 of TPzConv; Base64 is checked against
// OpenSSL's encoder.
#include "textconv/PzConv.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstdio>
#include <random>
#include <string>

using namespace std::string_literals;

namespace {

std::string OpenSslBase64(const std::string& bytes)
{
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

TEST(TextEncoding, ByteToHexIsTwoLowercaseDigits)
{
    for (int v = 0; v < 256; ++v) {
        char expected[3];
        std::snprintf(expected, sizeof expected, "%02x", v);
        EXPECT_EQ(TPzConv::ByteToHex(static_cast<std::uint8_t>(v)), expected);
    }
}

TEST(TextEncoding, HexCharValueReadsBothCasesAndZeroOtherwise)
{
    for (int v = 0; v < 256; ++v) {
        const char c = static_cast<char>(v);
        int expected = 0;
        if (c >= '0' && c <= '9')
            expected = c - '0';
        for (const char* digits : {"abcdef", "ABCDEF"})
            for (int k = 0; k < 6; ++k)
                if (c == digits[k])
                    expected = 10 + k;
        EXPECT_EQ(TPzConv::HexCharValue(c), expected) << "char " << v;
    }
}

TEST(TextEncoding, Base64CharacterMapping)
{
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int v = 0; v < 256; ++v) {
        const char expected = v < 64 ? alphabet[static_cast<std::size_t>(v)] : '=';
        EXPECT_EQ(TPzConv::EncodeBase64Char(static_cast<std::uint8_t>(v)), expected) << "value " << v;
        const char c = static_cast<char>(v);
        const auto pos = alphabet.find(c);
        EXPECT_EQ(TPzConv::DecodeBase64Char(c), pos == std::string::npos ? 64 : static_cast<int>(pos)) << "char " << v;
    }
}

TEST(TextEncoding, UrlEncode)
{
    struct Row {
        const char* name;
        std::string in, out;
    };
    const Row rows[] = {
        {"empty", "", ""},
        {"top byte", "\xFF"s, "%ff"},
        {"lowest escaped byte", "\x80"s, "%80"},
        {"reserved characters kept, space as plus", "a&b=c d", "a&b=c+d"},
        {"euc-jp term", "\xA4\xA2 x"s, "%a4%a2+x"},
        {"percent, plus and others kept", "%+?#/=", "%+?#/="},
        {"control and zero bytes kept", "\x00\x01\x7F"s, "\x00\x01\x7F"s},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(TPzConv::UrlEncode(r.in), r.out);
    }
}

TEST(TextEncoding, UrlDecode)
{
    struct Row {
        const char* name;
        std::string in, out;
    };
    const Row rows[] = {
        {"empty", "", ""},
        {"plus is space", "a+b", "a b"},
        {"upper-case escapes", "%E3%81", "\xE3\x81"s},
        {"lower-case escapes", "%e3%81", "\xE3\x81"s},
        {"escaped plus is a space too", "%2B", " "},
        {"escaped plus, lower case", "%2b", " "},
        {"escaped space", "%20", " "},
        {"non-hex digits count as zero", "%zz", "\x00"s},
        {"one digit at the end", "%4", "@"},
        {"lone percent at the end", "%", "\x00"s},
        {"percent at the end after text", "ab%", "ab\x00"s},
        {"second digit non-hex", "%4g!", "@!"},
        {"percent as a digit", "%%41",
         "\x04"
         "1"s},
        {"escaped zero", "%00x", "\x00x"s},
        {"text after escapes", "%41%42c", "ABc"},
        {"raw high bytes kept", "\xA4\xA2"s, "\xA4\xA2"s},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(TPzConv::UrlDecode(r.in), r.out);
    }
}

TEST(TextEncoding, UrlDecodeUndoesUrlEncodeWhenThereIsNoPercent)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string text(static_cast<std::size_t>(round % 40), '\0');
        for (char& c : text) {
            c = static_cast<char>(byte(rng));
            if (c == '%')
                c = '+';
        }
        std::string expected = text;
        for (char& c : expected)
            if (c == '+')
                c = ' ';  // a literal plus reads back as a space
        ASSERT_EQ(TPzConv::UrlDecode(TPzConv::UrlEncode(text)), expected);
    }
}

TEST(TextEncoding, Base64MatchesOpenSslAndRoundTripsAtEveryLength)
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t len = 0; len <= 300; ++len) {
        for (int round = 0; round < 3; ++round) {
            std::string bytes(len, '\0');
            for (char& c : bytes)
                c = static_cast<char>(byte(rng));
            const std::string encoded = TPzConv::Base64Encode(bytes);
            ASSERT_EQ(encoded, OpenSslBase64(bytes)) << "length " << len;
            ASSERT_EQ(encoded.size(), 4 * ((len + 2) / 3));
            ASSERT_EQ(TPzConv::Base64Decode(encoded), bytes) << "length " << len;
        }
    }
}

TEST(TextEncoding, Base64Encode)
{
    struct Row {
        const char* name;
        std::string in, out;
    };
    const Row rows[] = {
        {"empty", "", ""},
        {"one byte", "A", "QQ=="},
        {"two bytes", "AB", "QUI="},
        {"three bytes", "ABC", "QUJD"},
        {"four bytes", "ABCD", "QUJDRA=="},
        {"zero byte inside",
         "A\x00"
         "B"s,
         "QQBC"},
        {"all zero", "\x00\x00\x00"s, "AAAA"},
        {"all ones", "\xFF\xFF\xFF"s, "////"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(TPzConv::Base64Encode(r.in), r.out);
    }
}

TEST(TextEncoding, Base64Decode)
{
    struct Row {
        const char* name;
        std::string in, out;
    };
    const Row rows[] = {
        {"empty", "", ""},
        {"one byte", "QQ==", "A"},
        {"two bytes", "QUI=", "AB"},
        {"three bytes", "QUJD", "ABC"},
        {"zero byte kept", "QQBC",
         "A\x00"
         "B"s},
        {"zero at group end", "AAAA", "\x00\x00\x00"s},
        {"six characters: last two ignored", "QUJDRA", "ABC"},
        {"one to three left over ignored", "QUJDR", "ABC"},
        {"short text gives nothing", "QUJ", ""},
        {"pads alone still give the first byte", "====", "\x00"s},
        {"pad only in third place", "QQ=B", "A\x01"s},
        {"outside characters count as zero, nothing skipped", "QUJD\nQUJD", "ABC\x01\x05\x09"s},
        {"space is a zero, not skipped", "Q UJ", "\x40\x05\x09"s},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(TPzConv::Base64Decode(r.in), r.out);
    }
}

}  // namespace
