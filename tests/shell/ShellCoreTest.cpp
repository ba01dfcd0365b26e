// Addresses, the bid-preview test and the wide text bridge.
#include "favorites/AddFavorite.h"
#include "shell/SearchTerm.h"
#include "shell/ShellCore.h"
#include "ui/WideText.h"
#include "shell/browser/DownloadSaver.h"
#include "shell/browser/PageQuestions.h"
#include "shell/browser/WebEngineBrowser.h"
#include "support/TestFiles.h"
#include "textconv/Cp932.h"
#include "textconv/PzConv.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace {

TEndpoints Sample()
{
    return {"qrc:/x/home.html", "https://top.example.jp", "https://status.example.jp",
            "https://search.example.jp", "https://am.example", "https://ka.example",
            "https://af.example", "https://login.example.jp"};
}

TEST(PageAddress, EveryCommandOpensItsFixedPage)
{
    struct Row {
        const char* name;
        TPageCommand command;
        std::string expected;
    };
    const Row rows[] = {
        {"home", TPageCommand::Home, "qrc:/x/home.html"},
        {"top", TPageCommand::AuctionTop, "https://top.example.jp/"},
        {"mystatus", TPageCommand::MyStatus, "https://status.example.jp/jp/show/mystatus"},
        {"watch open", TPageCommand::WatchOpen,
         "https://status.example.jp/jp/show/mystatus?select=watchlist&watchclosed=0"},
        {"watch ended", TPageCommand::WatchEnded,
         "https://status.example.jp/jp/show/mystatus?select=watchlist&s1=end&watchclosed=1"},
        {"selling", TPageCommand::Selling, "https://status.example.jp/jp/show/mystatus?select=selling"},
        {"bidding", TPageCommand::Bidding, "https://status.example.jp/jp/show/mystatus?select=bidding"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PageAddress(Sample(), row.command), row.expected) << row.name;
}

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
        {"auction half-width kana", TSearchSite::Auction, "\xB6\xDE",
         "https://search.example.jp/search/auc?p=%a5%ac"},
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
        {"auction broken user-defined character", TSearchSite::Auction, std::string("\xF0\x01" "a\xF0", 4),
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
        {"髙橋 ｶﾒﾗ&レンズ", "髙橋 カメラ&レンズ"},                     // three-byte EUC-JP
        {"纊ⅰ①￢", "纊ⅰ①￢"},                                           // extensions in and out of JIS X 0208
        {"\uE000 \uE3AC", "\uE000 \uE3AC"},                           // user-defined, two and three bytes
        {"1+1=2 100% #a", "1+1=2 100% #a"},
    };
    for (const auto& [typed, name] : rows) {
        const std::string address = SearchAddress(Sample(), TSearchSite::Auction, *cp932::FromUtf8(typed), conv);
        EXPECT_EQ(cp932::ToUtf8(RecogniseFavoritePage(address, conv).Name), name) << typed;
    }
}

TEST(LoginAddress, IdAndPasswordArePercentEncoded)
{
    struct Row {
        const char* name;
        std::string id, password, expected;
    };
    const std::string head = "https://login.example.jp/config/login?.src=auc&.done=https://top.example.jp/jp";
    const Row rows[] = {
        {"plain", "taro", "secret", head + "&login=taro&passwd=secret"},
        {"empty entry", "", "", head + "&login=&passwd="},
        {"unreserved kept", "a-b.c_d~9", "Z-z.0_~", head + "&login=a-b.c_d~9&passwd=Z-z.0_~"},
        {"separators and blank", "ta&ro", "p+w&x=1#frag %41",
         head + "&login=ta%26ro&passwd=p%2Bw%26x%3D1%23frag%20%2541"},
        {"shift_jis bytes", "\x93\xFA", "!*'()/?", head + "&login=%93%FA&passwd=%21%2A%27%28%29%2F%3F"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(LoginAddress(Sample(), row.id, row.password), row.expected) << row.name;
}

// Wherever a login address would be shown, its password is masked; other
// addresses, and other parameters, stay as they are.
TEST(LoginAddress, PasswordIsMaskedWhereverTheAddressIsShown)
{
    struct Row {
        const char* name;
        std::string text;
        bool login;
        std::string shown;
    };
    const std::string head = "https://login.example.jp/config/login?.src=auc&.done=https://top.example.jp/jp";
    const std::string login = LoginAddress(Sample(), "ta&ro", "p+w&x=1");
    const Row rows[] = {
        {"built address", login, true, head + "&login=ta%26ro&passwd=********"},
        {"empty password", head + "&login=&passwd=", true, head + "&login=&passwd=********"},
        {"every password", head + "&passwd=a&passwd=b", true, head + "&passwd=********&passwd=********"},
        {"typed in capitals, fragment", "HTTPS://LOGIN.example.jp/config/login?passwd=x&a=1#passwd=y", true,
         "HTTPS://LOGIN.example.jp/config/login?passwd=********&a=1#passwd=y"},
        {"no password parameter", head, true, head},
        {"inside another address", "view-source:" + login + "#x&passwd=y", true,
         "view-source:" + head + "&login=ta%26ro&passwd=********#x&passwd=y"},
        {"in another address's query", "https://a.jp/?passwd=k&next=" + login, true,
         "https://a.jp/?passwd=k&next=" + head + "&login=ta%26ro&passwd=********"},
        {"other path", "https://login.example.jp/other?passwd=x", false, "https://login.example.jp/other?passwd=x"},
        {"other host", "https://top.example.jp/config/login?passwd=x", false,
         "https://top.example.jp/config/login?passwd=x"},
        {"status text", "ページが表示されました", false, "ページが表示されました"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsLoginAddress(Sample(), row.text), row.login) << row.name;
        EXPECT_EQ(MaskLoginAddress(Sample(), row.text), row.shown) << row.name;
    }
    // 移動 on the masked address opens the page's own address, not the mask.
    EXPECT_EQ(AddressToOpen(Sample(), MaskLoginAddress(Sample(), login), login), login);
    EXPECT_EQ(AddressToOpen(Sample(), head + "&passwd=typed", login), head + "&passwd=typed");
}

TEST(BidStop, FlagMustEqualOneAndMarkerIsCaseSensitiveInTheAddressOrItsLenientPath)
{
    struct Row {
        const char* name;
        int flag;
        std::string address;
        bool stops;
    };
    const Row rows[] = {
        {"on, marker with query", 1, "https://x.jp/jp/show/bid_preview?aID=1&bid=2", true},
        {"on, marker at end", 1, "https://x.jp/jp/show/bid_preview", true},
        {"on, marker inside query", 1, "https://x.jp/a?next=jp/show/bid_preview", true},
        {"off", 0, "https://x.jp/jp/show/bid_preview", false},
        {"two is not on", 2, "https://x.jp/jp/show/bid_preview", false},
        {"minus one is not on", -1, "https://x.jp/jp/show/bid_preview", false},
        {"capitals", 1, "https://x.jp/JP/SHOW/BID_PREVIEW", false},
        {"partly capital", 1, "https://x.jp/jp/show/Bid_preview", false},
        {"cut marker", 1, "https://x.jp/jp/show/bid_previe", false},
        {"empty", 1, "", false},
        // What a lenient server serves as the same page.
        {"escaped slashes, either case", 1, "https://x.jp/jp%2Fshow%2fbid_preview?a=1", true},
        {"escaped twice", 1, "https://x.jp/jp%252Fshow/bid_preview", true},
        {"repeated slashes", 1, "https://x.jp/jp//show///bid_preview", true},
        {"segment parameter", 1, "https://x.jp/jp/show;s=1/bid_preview", true},
        {"parameter cut before decoding", 1, "https://x.jp/jp;a%2Fb/show/bid_preview", true},
        {"escaped backslash", 1, "https://x.jp/jp%5Cshow/bid_preview", true},
        {"escaped parameter", 1, "https://x.jp/jp%3Bs=1/show/bid_preview", true},
        {"backslash ends a parameter", 1, "https://x.jp/jp;a%5Cshow/bid_preview", true},
        {"escaped dot segment", 1, "https://x.jp/jp/show/x%2F..%2Fbid_preview", true},
        {"escaped capitals", 1, "https://x.jp/JP%2FSHOW%2FBID_PREVIEW", false},
        {"broken escape", 1, "https://x.jp/jp%2show/bid_preview", false},
        {"escaped marker in the query", 1, "https://x.jp/a?next=jp%2Fshow%2Fbid_preview", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(BidStopApplies(row.flag, row.address), row.stops) << row.name;
}

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

TEST(TypedAddress, BareHostGetsHttpAndSchemesArePassedAsIs)
{
    struct Row {
        const char* text;
        const char* expected;
    };
    const Row rows[] = {
        {"example.com", "http://example.com"},
        {"example.com/a?b=c", "http://example.com/a?b=c"},
        {"localhost:8080/x", "http://localhost:8080/x"},
        {"https://example.com/a%20b?q=%c6%fc", "https://example.com/a%20b?q=%C6%FC"},  // escapes kept
        {"http://127.0.0.1:1/test.jp/jp/show/mystatus", "http://127.0.0.1:1/test.jp/jp/show/mystatus"},
        {"qrc:/lotscope/home.html", "qrc:/lotscope/home.html"},
        {"about:blank", "about:blank"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TWebEngineBrowser::AddressFromText(QString::fromUtf8(row.text)).toString(QUrl::FullyEncoded),
                  QString::fromUtf8(row.expected))
            << row.text;
}

TEST(DownloadName, OnlyAPlainBaseNameOfTheSuggestionIsOffered)
{
    const std::pair<const char*, const char*> rows[] = {
        {"../../login.ini", "login.ini"}, {"/etc/cron.d/x", "x"}, {"..\\..\\a.exe", "a.exe"}, {".bashrc", "bashrc"},
        {"...", "download"}, {"", "download"}, {"dir/", "download"}, {"a\nb\x01.txt", "ab.txt"}, {"注文 一覧.csv", "注文 一覧.csv"},
    };
    for (const auto& [suggested, offered] : rows)
        EXPECT_EQ(SafeDownloadName(QString::fromUtf8(suggested)), QString::fromUtf8(offered)) << suggested;
}

TEST(OtherProgramLinks, OnlySchemesTheEngineDoesNotShowAreHandedOn)
{
    using R = TSchemeRoute;
    const std::pair<const char*, R> rows[] = {
        {"HTTPS", R::Engine}, {"javascript", R::Engine}, {"data", R::Engine}, {"file", R::Engine},
        {"view-source", R::Never}, {"devtools", R::Never}, {"mailto", R::OtherProgram}, {"tel", R::OtherProgram},
    };
    for (const auto& [scheme, route] : rows)
        EXPECT_EQ(RouteForScheme(scheme), route) << scheme;
}

}  // namespace
