#include "ui/WideText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WideText, AsciiBytesKeepTheirValuesBothWays)
{
    std::string all;
    for (int b = 0; b < 0x80; ++b)
        all.push_back(static_cast<char>(b));
    const QString wide = SjisToWide(all);
    ASSERT_EQ(wide.size(), 0x80);
    for (int b = 0; b < 0x80; ++b)
        EXPECT_EQ(wide[b].unicode(), b) << b;
    EXPECT_EQ(WideToSjis(wide), all);
}

TEST(WideText, JapaneseRoundTripAndUnmappableCharacters)
{
    EXPECT_EQ(SjisToWide("\x93\xFA\x96\x7B\x8C\xEA"), QStringLiteral("日本語"));
    EXPECT_EQ(SjisToWide("\xB6\xDE"), QStringLiteral("ｶﾞ"));
    EXPECT_EQ(WideToSjis(QStringLiteral("日本語")), "\x93\xFA\x96\x7B\x8C\xEA");
    // A character with no code page 932 form becomes "?", the rest converts.
    EXPECT_EQ(WideToSjis(QStringLiteral("a한b😀c")), "a?b?c");
    EXPECT_FALSE(WideToSjisStrict(QStringLiteral("a한b")).has_value());
    EXPECT_EQ(WideToSjisStrict(QStringLiteral("～")).value(), "\x81\x60");
    // A byte with no character becomes U+FFFD; what follows still converts.
    EXPECT_EQ(SjisToWide("a\x80z"), QStringLiteral("a\uFFFDz"));
}

}  // namespace
