// The code page 932 bridge: Shift_JIS bytes <-> UTF-16 / UTF-8.
#include "textconv/Cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using namespace std::string_literals;

namespace {

TEST(Cp932, AsciiMapsToItself)
{
    std::string bytes;
    std::u16string units;
    for (int v = 0; v < 0x80; ++v) {
        bytes += static_cast<char>(v);
        units += static_cast<char16_t>(v);
    }
    EXPECT_EQ(cp932::ToUtf16(bytes), units);
    EXPECT_EQ(cp932::FromUtf16(units), bytes);
    // Backslash and tilde are not yen sign and overline.
    EXPECT_EQ(cp932::ToUtf16("\x5C\x7E"), u"\\~");
    EXPECT_EQ(cp932::ToUtf8("\x5C\x7E"), "\\~");
    EXPECT_EQ(cp932::FromUtf8("\\~"), "\x5C\x7E");
}

TEST(Cp932, KnownCharacters)
{
    struct Row {
        const char* name;
        std::string sjis;
        std::u16string utf16;
    };
    const Row rows[] = {
        {"kanji", "\x8A\xBF"s, u"\u6F22"},
        {"hiragana", "\x82\xA0"s, u"\u3042"},
        {"half-width kana", "\xB6\xDE"s, u"\uFF76\uFF9E"},
        {"full-width tilde", "\x81\x60"s, u"\uFF5E"},
        {"NEC row 13", "\x87\x40"s, u"\u2460"},
        {"user-defined area", "\xF0\x40"s, u"\uE000"},
        {"mixed", "A\x8A\xBF b"s, u"A\u6F22 b"},
        {"empty", "", u""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cp932::ToUtf16(r.sjis), r.utf16);
        EXPECT_EQ(cp932::FromUtf16(r.utf16), r.sjis);
    }
}

TEST(Cp932, BadBytesBecomeOneReplacementEachAndConversionGoesOn)
{
    struct Row {
        const char* name;
        std::string sjis;
        std::u16string utf16;
    };
    const Row rows[] = {
        {"single bytes with no character", "\x80\xA0\xFD\xFE\xFF"s, u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"unassigned two-byte code", "a\x85\x40z"s, u"a\uFFFDz"},
        {"lead byte before a non-trail byte",
         "\x81\x20"
         "B"s,
         u"\uFFFD B"},
        {"lead byte cut off at the end", "A\x81"s, u"A\uFFFD"},
        {"good character after a bad one", "\xFF\x8A\xBF"s, u"\uFFFD\u6F22"},
        {"zero byte is a character", "\x00\x41"s, u"\0A"s},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cp932::ToUtf16(r.sjis), r.utf16);
    }
}

TEST(Cp932, FromUtf16RefusesCharactersWithoutACode)
{
    struct Row {
        const char* name;
        std::u16string text;
    };
    const Row rows[] = {
        {"accented letter", u"caf\u00E9"},    {"hangul", u"\uD55C"},
        {"astral character", u"a\U0001F600"}, {"lone high surrogate", u"a\xD800"},
        {"lone low surrogate", u"\xDC00z"},   {"replacement character itself", u"\uFFFD"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cp932::FromUtf16(r.text), std::nullopt);
    }
}

// The conversion accepts the code page's one-way mappings, for example the
// yen sign typed on a Japanese keyboard becomes 0x5C as on Windows.
TEST(Cp932, OneWayMappingsOfTheCodePage)
{
    EXPECT_EQ(cp932::FromUtf16(u"\u00A5"), "\x5C");
    EXPECT_EQ(cp932::FromUtf16(u"\u301C"), "\x81\x60"s);
}

// Every two-byte code that reads as a character writes back as a code that
// reads as the same character (duplicates such as NEC/IBM pairs may pick the
// other code).
TEST(Cp932, EveryTwoByteCharacterRoundTrips)
{
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string sjis{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string wide = cp932::ToUtf16(sjis);
            ASSERT_EQ(wide.size(), 1u) << lead << "," << trail;
            if (wide[0] == u'\uFFFD')
                continue;
            ++characters;
            const auto back = cp932::FromUtf16(wide);
            ASSERT_TRUE(back.has_value()) << lead << "," << trail;
            ASSERT_EQ(back->size(), 2u);
            ASSERT_EQ(cp932::ToUtf16(*back), wide);
        }
    }
    EXPECT_GT(characters, 7000);
}

TEST(Cp932, Utf8Conveniences)
{
    EXPECT_EQ(cp932::ToUtf8("\x8A\xBF\x8E\x9A"s), "漢字");
    EXPECT_EQ(cp932::FromUtf8("漢字ｶﾞ"), "\x8A\xBF\x8E\x9A\xB6\xDE"s);
    EXPECT_EQ(cp932::ToUtf8("\xFF"s), "\xEF\xBF\xBD");
    struct Row {
        const char* name;
        std::string utf8;
    };
    const Row bad[] = {
        {"cut-off sequence", "a\xC3"},  {"overlong slash", "\xC0\xAF"},    {"encoded surrogate", "\xED\xA0\x80"},
        {"stray continuation", "\x80"}, {"no code page form", "\xC3\xA9"},
    };
    for (const Row& r : bad) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cp932::FromUtf8(r.utf8), std::nullopt);
    }
}

TEST(Cp932, WorksFromSeveralThreads)
{
    auto work = [] {
        for (int i = 0; i < 500; ++i)
            if (cp932::FromUtf8(cp932::ToUtf8("\x8A\xBF"
                                              "A\xB6"s)) != "\x8A\xBF"
                                                            "A\xB6"s)
                return false;
        return true;
    };
    bool a = false, b = false;
    std::thread t1([&] { a = work(); });
    std::thread t2([&] { b = work(); });
    t1.join();
    t2.join();
    EXPECT_TRUE(a);
    EXPECT_TRUE(b);
}

}  // namespace
