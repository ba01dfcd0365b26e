// The search addresses and the auction search's term, against the bytes
// each site reads.
#include "shell/SearchAddresses.h"
#include "SampleEndpoints.h"
#include "favorites/AddFavorite.h"
#include "shell/SearchTerm.h"
#include "textconv/Cp932.h"
#include "textconv/PzConv.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace {

TEST(SearchAddress, FourSitesWithTheirFixedTexts)
{
    TPzConv conv;
    conv.JisKanaConvType = ktZenWithDaku;
    // Fixed program text in Shift_JIS: 日本語 and あ.
    const std::string nihongo = "\x93\xFA\x96\x7B\x8C\xEA";
    const std::string a = "\x82\xA0";
    const std::string amazonTail = "&mode=blended&tag=quillbrookmer-22&encoding-string-jp=" + nihongo;
    struct Row {
        const char* name;
        TSearchSite site;
        std::string term;
        std::string expected;
    };
    const Row rows[] = {
        {"auction empty", TSearchSite::Auction, "", "https://search.example.jp/search/auc?p="},
        {"amazon empty", TSearchSite::Amazon, "",
         "https://am.example/exec/obidos/external-search?keyword=" + amazonTail},
        {"kakaku empty", TSearchSite::Kakaku, "",
         "https://ka.example/txtsearch/txtsearch.asp?TopCategoryCD=&SearchWord="},
        {"aucfan empty", TSearchSite::Aucfan, "", "https://af.example/search0?code=" + a + "&ym=-1&search="},
        {"auction space becomes plus", TSearchSite::Auction, "abc def",
         "https://search.example.jp/search/auc?p=abc+def"},
        {"amazon keeps space", TSearchSite::Amazon, "abc def",
         "https://am.example/exec/obidos/external-search?keyword=abc def" + amazonTail},
        {"kakaku keeps space", TSearchSite::Kakaku, "abc def",
         "https://ka.example/txtsearch/txtsearch.asp?TopCategoryCD=&SearchWord=abc def"},
        {"aucfan keeps space", TSearchSite::Aucfan, "abc def",
         "https://af.example/search0?code=" + a + "&ym=-1&search=abc def"},
        // 日本 in Shift_JIS: EUC-JP C6 FC CB DC, lowercase hex.
        {"auction kanji", TSearchSite::Auction, "\x93\xFA\x96\x7B",
         "https://search.example.jp/search/auc?p=%c6%fc%cb%dc"},
        {"kakaku kanji unchanged", TSearchSite::Kakaku, "\x93\xFA\x96\x7B",
         "https://ka.example/txtsearch/txtsearch.asp?TopCategoryCD=&SearchWord=\x93\xFA\x96\x7B"},
        // Half-width ka + voiced mark widen to ガ (EUC-JP A5 AC).
        {"auction half-width kana", TSearchSite::Auction, "\xB6\xDE", "https://search.example.jp/search/auc?p=%a5%ac"},
        // Query characters and control bytes are escaped within the term
        // for every site; other punctuation stays.
        {"auction escapes query characters", TSearchSite::Auction, "a&b=c#d%e+f g",
         "https://search.example.jp/search/auc?p=a%26b%3Dc%23d%25e%2Bf+g"},
        {"amazon escapes before its tail", TSearchSite::Amazon, "AT&T#1",
         "https://am.example/exec/obidos/external-search?keyword=AT%26T%231" + amazonTail},
        {"kakaku escapes plus and percent", TSearchSite::Kakaku, "C++ 100%",
         "https://ka.example/txtsearch/txtsearch.asp?TopCategoryCD=&SearchWord=C%2B%2B 100%25"},
        {"aucfan escapes equals and controls", TSearchSite::Aucfan, std::string("x=y\t\x7f\0z", 7),
         "https://af.example/search0?code=" + a + "&ym=-1&search=x%3Dy%09%7F%00z"},
        {"other punctuation stays", TSearchSite::Kakaku, "a/b?c;d",
         "https://ka.example/txtsearch/txtsearch.asp?TopCategoryCD=&SearchWord=a/b?c;d"},
        // 髙 (FB FC) is outside JIS X 0208: EUC-JP-MS 8F F4 FB; 橋 stays B6 B6.
        {"auction character outside jis x 0208", TSearchSite::Auction, "\xFB\xFC\x8B\xB4",
         "https://search.example.jp/search/auc?p=%8f%f4%fb%b6%b6"},
        {"kakaku character outside jis x 0208 unchanged", TSearchSite::Kakaku, "\xFB\xFC",
         "https://ka.example/txtsearch/txtsearch.asp?TopCategoryCD=&SearchWord=\xFB\xFC"},
        // A lead byte that stands for no character never yields a control byte.
        {"auction broken user-defined character", TSearchSite::Auction,
         std::string("\xF0\x01"
                     "a\xF0",
                     4),
         "https://search.example.jp/search/auc?p=?%01a?"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SearchAddress(Sample(), row.site, row.term, conv), row.expected) << row.name;
}

TEST(AuctionTerm, EveryCharacterReachesTheSiteAsItself)
{
    // Oracle: the site reads EUC-JP with the Microsoft extensions. Every
    // two-byte character of code page 932 converts to bytes that read back
    // as that character, and the ordinary ones keep SjisToEuc's bytes.
    TPzConv conv;
    conv.JisKanaConvType = ktZenWithDaku;
    const iconv_t site = iconv_open("UTF-16LE", "EUC-JP-MS");
    ASSERT_NE(site, reinterpret_cast<iconv_t>(-1));
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string sjis{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string wide = cp932::ToUtf16(sjis);
            if (wide.size() != 1 || wide[0] == u'\uFFFD')
                continue;
            ++checked;
            std::string euc = AuctionTermToEuc(sjis, conv);
            if (lead < 0xED) {
                EXPECT_EQ(euc, conv.SjisToEuc(sjis)) << std::hex << lead << trail;
            }
            char16_t back[4] = {};
            char* in = euc.data();
            char* out = reinterpret_cast<char*>(back);
            std::size_t inLeft = euc.size(), outLeft = sizeof back;
            iconv(site, nullptr, nullptr, nullptr, nullptr);
            ASSERT_NE(iconv(site, &in, &inLeft, &out, &outLeft), static_cast<std::size_t>(-1))
                << std::hex << lead << trail;
            EXPECT_EQ(std::u16string(back, (sizeof back - outLeft) / 2), wide) << std::hex << lead << trail;
        }
    }
    iconv_close(site);
    EXPECT_GT(checked, 9000);
    // Any pair of bytes, characters or not, gives no control byte.
    for (int first = 0; first < 0x100; ++first)
        for (int second = 0; second < 0x100; ++second) {
            const std::string value =
                AuctionSearchValue(std::string{static_cast<char>(first), static_cast<char>(second)}, conv);
            for (char c : value)
                ASSERT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << std::hex << first << second;
        }
}

// A term typed in the search box and searched on the auction site comes
// back from the result page's address as the add dialog's name, with
// half-width kana widened as the search sent them.
TEST(AuctionTerm, AddingTheResultPageNamesItAsTyped)
{
    TPzConv conv;
    conv.JisKanaConvType = ktZenWithDaku;
    const std::pair<std::string, std::string> rows[] = {
        {"髙橋 ｶﾒﾗ&レンズ", "髙橋 カメラ&レンズ"},  // three-byte EUC-JP
        {"纊ⅰ①￢", "纊ⅰ①￢"},                       // extensions in and out of JIS X 0208
        {"\uE000 \uE3AC", "\uE000 \uE3AC"},         // user-defined, two and three bytes
        {"1+1=2 100% #a", "1+1=2 100% #a"},
    };
    for (const auto& [typed, name] : rows) {
        const std::string address = SearchAddress(Sample(), TSearchSite::Auction, *cp932::FromUtf8(typed), conv);
        EXPECT_EQ(cp932::ToUtf8(RecogniseFavoritePage(address, conv).Name), name) << typed;
    }
}

}  // namespace
