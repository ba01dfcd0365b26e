// The add dialog's page recognition, entry check and append.
#include "favorites/AddFavorite.h"

#include "settings/TextFile.h"
#include "support/TestFiles.h"
#include "textconv/Cp932.h"
#include "textconv/PzConv.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

std::string Sjis(const char* utf8) { return cp932::FromUtf8(utf8).value(); }

struct TRecogniseRow {
    const char* Label;
    std::string Address;
    TFavoriteKind Kind;
    std::string Name;
    std::string Url;
};

TEST(RecogniseFavoritePage, MarkersRulesAndOverrides)
{
    const std::string searchBase = "https://auctions.yahoo.co.jp/search/auc?p=";
    const std::string userBase = "https://auctions.yahoo.co.jp/user/";
    const std::string listBase = "https://auctions.yahoo.co.jp/show/auctions?userID=";
    const std::string todaySearch = "https://auctions.yahoo.co.jp/search/search?p=";
    const std::string seller = "https://auctions.yahoo.co.jp/seller/";
    const TRecogniseRow rows[] = {
        {"no marker", "https://auctions.yahoo.co.jp/", fkSearchWord, "", ""},
        {"empty address", "", fkSearchWord, "", ""},
        // The term is EUC-JP, percent-encoded; the name comes back in Shift_JIS.
        {"search term decoded", searchBase + "%A5%C6%A5%B9%A5%C8", fkSearchWord, Sjis("テスト"),
         searchBase + "%A5%C6%A5%B9%A5%C8"},
        {"plus becomes blank", searchBase + "a+b", fkSearchWord, "a b", searchBase + "a+b"},
        {"the term ends at the next parameter", searchBase + "%A5%C6&n=50", fkSearchWord, Sjis("テ"),
         searchBase + "%A5%C6&n=50"},
        {"the term ends at the fragment", searchBase + "%A5%C6#top", fkSearchWord, Sjis("テ"),
         searchBase + "%A5%C6#top"},
        {"%2B is a typed plus", searchBase + "C%2B%2b+x&auccat=0", fkSearchWord, "C++ x",
         searchBase + "C%2B%2b+x&auccat=0"},
        {"a real search address",
         searchBase + "%CF%D3%BB%FE%B7%D7+%A5%BB%A5%A4%A5%B3%A1%BC&auccat=0&alocale=0jp&acc=jp", fkSearchWord,
         Sjis("腕時計 セイコー"),
         searchBase + "%CF%D3%BB%FE%B7%D7+%A5%BB%A5%A4%A5%B3%A1%BC&auccat=0&alocale=0jp&acc=jp"},
        {"half-width kana in EUC-JP", searchBase + "%8E%B1", fkSearchWord, "\xB1", searchBase + "%8E%B1"},
        {"half-width kana before a JIS X 0212 character", searchBase + "%8E%B1%8F%F4%FB", fkSearchWord, "\xB1\xFB\xFC",
         searchBase + "%8E%B1%8F%F4%FB"},
        {"user page", userBase + "abc", fkUser, "abc", userBase + "abc"},
        {"user page ending in ?", userBase + "abc?", fkUser, "abc", userBase + "abc"},
        // Mended: the name ends before the query and the URL keeps its end.
        {"user page with a query", userBase + "abc?u=1", fkUser, "abc", userBase + "abc?u=1"},
        {"user page with two ?", userBase + "abc?u=1?", fkUser, "abc", userBase + "abc?u=1"},
        {"user marker at the end", "x.jp/user", fkUser, "", "x.jp/user"},
        {"user marker and one character", "x.jp/user/", fkUser, "", "x.jp/user/"},
        {"item page", "https://page.auctions.yahoo.co.jp/jp/auction/x123", fkExhibit, "x123",
         "https://page.auctions.yahoo.co.jp/jp/auction/x123"},
        {"auction list", listBase + "abc&sort=1", fkUser, "abc", listBase + "abc&sort=1"},
        {"auction list without &: the ID runs to the end", listBase + "abc", fkUser, "abc", listBase + "abc"},
        {"auction list with & before the marker", "a&b.jp/show/auctions?userID=abc", fkUser, "abc",
         "a&b.jp/show/auctions?userID=abc"},
        {"auction list with & right after the marker", listBase + "&sort=1", fkUser, "", listBase + "&sort=1"},
        // Rules run in order, later ones overriding: user overrides search.
        {"user overrides search", searchBase + "q&r=jp/user/zz?x", fkUser, "zz", searchBase + "q&r=jp/user/zz?x"},
        {"item overrides user", "a.jp/user/u1/jp/auction/b77", fkExhibit, "b77", "a.jp/user/u1/jp/auction/b77"},
        {"auction list overrides item", listBase + "abc&r=jp/auction/1", fkUser, "abc",
         listBase + "abc&r=jp/auction/1"},
        // The item rule sets the URL anew: the user rule's "?" trim is gone.
        {"item after user keeps the final ?", "a.jp/user/u/jp/auction/b?", fkExhibit, "b?",
         "a.jp/user/u/jp/auction/b?"},
        // Today's search (UTF-8) and seller pages, where no marker above is found.
        {"today's search", todaySearch + "%E8%85%95%E6%99%82%E8%A8%88+%E3%82%BB%E3%82%A4%E3%82%B3%E3%83%BC&va=1",
         fkSearchWord, Sjis("腕時計 セイコー"),
         todaySearch + "%E8%85%95%E6%99%82%E8%A8%88+%E3%82%BB%E3%82%A4%E3%82%B3%E3%83%BC&va=1"},
        {"today's search, a character Shift_JIS lacks", todaySearch + "%F0%9F%98%80%2B%E3", fkSearchWord,
         "%F0%9F%98%80+%E3", todaySearch + "%F0%9F%98%80%2B%E3"},
        {"today's search typed unescaped", todaySearch + Sjis("ﾃｽﾄ%E3%81%82ソ"), fkSearchWord, Sjis("ﾃｽﾄあソ"),
         todaySearch + Sjis("ﾃｽﾄ%E3%81%82ソ")},
        {"seller page", seller + "abc_12", fkUser, "abc_12", seller + "abc_12"},
        {"seller page with a query", seller + "abc_12?sid=1&b=2", fkUser, "abc_12", seller + "abc_12?sid=1&b=2"},
        {"seller page with a further path", seller + "abc/sold#x", fkUser, "abc", seller + "abc/sold#x"},
        {"an older marker wins", "https://auctions.yahoo.co.jp/jp/auction/x1?from=/seller/abc", fkExhibit,
         "x1?from=/seller/abc", "https://auctions.yahoo.co.jp/jp/auction/x1?from=/seller/abc"},
    };
    TPzConv conv;
    for (const TRecogniseRow& row : rows) {
        SCOPED_TRACE(row.Label);
        const TFavoritePrefill got = RecogniseFavoritePage(row.Address, conv);
        EXPECT_EQ(got.Kind, row.Kind);
        EXPECT_EQ(got.Name, row.Name);
        EXPECT_EQ(got.Url, row.Url);
    }
}

struct TCheckRow {
    const char* Label;
    int Kind;
    std::u16string Name;
    std::u16string Url;
    TFavoriteInputProblem Problem;
};

TEST(CheckNewFavorite, RefusesWhatTheFileCannotHold)
{
    const TCheckRow rows[] = {
        {"filled", 0, u"abc", u"http://x/", TFavoriteInputProblem::None},
        {"comma in URL is fine", 2, u"abc", u"http://x/?a=1,2", TFavoriteInputProblem::None},
        {"no kind chosen", -1, u"abc", u"http://x/", TFavoriteInputProblem::MissingField},
        {"kind out of range", 3, u"abc", u"http://x/", TFavoriteInputProblem::MissingField},
        {"empty name", 1, u"", u"http://x/", TFavoriteInputProblem::MissingField},
        {"empty URL", 1, u"abc", u"", TFavoriteInputProblem::MissingField},
        {"no kind and empty", -1, u"", u"", TFavoriteInputProblem::MissingField},
        {"comma in name", 0, u"a,b", u"http://x/", TFavoriteInputProblem::CommaInName},
        {"full-width comma is fine", 0, u"a\uFF0Cb", u"http://x/", TFavoriteInputProblem::None},
        {"emoji in name", 0, u"a\U0001F600", u"http://x/", TFavoriteInputProblem::Unrepresentable},
        {"accent in URL", 0, u"abc", u"http://x/\u00E9", TFavoriteInputProblem::Unrepresentable},
        {"CR in name", 0, u"a\rb", u"http://x/", TFavoriteInputProblem::ControlCharacter},
        {"end-of-file byte in URL", 0, u"a", u"http://x/\x1A", TFavoriteInputProblem::ControlCharacter},
        {"DEL is accepted", 0, u"a\x7F", u"http://x/\x7F", TFavoriteInputProblem::None},
    };
    for (const TCheckRow& row : rows) {
        SCOPED_TRACE(row.Label);
        const TFavoriteInputCheck check = CheckNewFavorite(row.Kind, row.Name, row.Url);
        EXPECT_EQ(check.Problem, row.Problem);
        EXPECT_NE(std::string(FavoriteInputMessage(check.Problem)).empty(), row.Problem != TFavoriteInputProblem::None);
    }
}

TEST(CheckFavoriteTexts, ConvertsToShiftJisAndAcceptsEmptyTexts)
{
    const TFavoriteInputCheck check = CheckFavoriteTexts(u"テスト", u"");
    ASSERT_EQ(check.Problem, TFavoriteInputProblem::None);
    EXPECT_EQ(check.Entry.Name, "\x83\x65\x83\x58\x83\x67");
    EXPECT_EQ(check.Entry.Url, "");
}

TEST(FavoriteAddedMessage, OneBlankEachSideOfTheName)
{
    EXPECT_EQ(FavoriteAddedMessage("abc"), "お気に入りに「 abc 」を追加しました");
    EXPECT_EQ(std::string(FavoriteInputMessage(TFavoriteInputProblem::MissingField)), "入力されていない項目があります");
}

struct TAppendRow {
    const char* Label;
    std::string Before;
    std::string After;
    int Questions = 0;  // how often the duplicate question is asked
    bool Yes = true;    // its answer
};

ino_t Inode(const std::filesystem::path& file)
{
    struct stat st { };
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(AppendFavorite, RewritesTheWholeFileWithTheEntryLast)
{
    const TAppendRow rows[] = {
        {"empty file", "", "n,u\r\n"},
        {"three lines", "a,1\r\nb,2\r\nc,3\r\n", "a,1\r\nb,2\r\nc,3\r\nn,u\r\n"},
        {"last line without line end", "a,1", "a,1\r\nn,u\r\n"},
        {"line without comma gains one", "abc\r\n", ",abc\r\nn,u\r\n"},
        {"blank last line stays an entry", "a,1\r\n\r\n", "a,1\r\n,\r\nn,u\r\n"},
        {"lone LF stays inside its line", "a,1\nb,2", "a,1\nb,2\r\nn,u\r\n"},
        {"text after 0x1A is dropped",
         "a,1\r\n\x1A"
         "junk",
         "a,1\r\nn,u\r\n"},
        {"same URL twice: asked once, yes adds", "x,u\r\ny,u\r\n", "x,u\r\ny,u\r\nn,u\r\n", 1, true},
        {"same URL: no writes nothing", "x,u\r\n", "x,u\r\n", 1, false},
        {"same name, other URL: not asked", "n,v\r\n", "n,v\r\nn,u\r\n"},
        {"URLs compare whole: not asked", "n,u2\r\nn,U\r\n", "n,u2\r\nn,U\r\nn,u\r\n"},
    };
    for (const TAppendRow& row : rows) {
        SCOPED_TRACE(row.Label);
        testfiles::TTempDir dir;
        dir.Write("exhibit.ini", row.Before);
        const ino_t before = Inode(dir / "exhibit.ini");
        int questions = 0;
        const bool added = AppendFavorite(dir.path(), fkExhibit, {"n", "u"}, [&] {
            ++questions;
            return row.Yes;
        });
        EXPECT_EQ(dir.Read("exhibit.ini"), row.After);
        EXPECT_EQ(questions, row.Questions);
        EXPECT_EQ(added, row.Yes);
        EXPECT_EQ(Inode(dir / "exhibit.ini") == before, !row.Yes) << "a refused add leaves the file untouched";
    }
}

TEST(AppendFavorite, GrowsPastFiveHundredAndOneEntries)
{
    testfiles::TTempDir dir;
    std::string content;
    for (int i = 0; i < 600; ++i)
        content += "n" + std::to_string(i) + ",u" + std::to_string(i) + "\r\n";
    dir.Write("search.ini", content);
    AppendFavorite(dir.path(), fkSearchWord, {"last", "url"}, [] { return false; });
    EXPECT_EQ(dir.Read("search.ini"), content + "last,url\r\n");
}

TEST(AppendFavorite, MissingFileWritesNothing)
{
    testfiles::TTempDir dir;
    try {
        AppendFavorite(dir.path(), fkUser, {"n", "u"}, [] { return false; });
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_STREQ(e.what(), "username.ini: ファイルが見つかりません");
    }
    EXPECT_FALSE(dir.Exists("username.ini"));
}

}  // namespace
