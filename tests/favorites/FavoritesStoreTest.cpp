#include "favorites/FavoritesStore.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace testfiles;

namespace {

std::string Show(const TFavoriteList& list)
{
    std::string text;
    for (const TFavoriteEntry& entry : list)
        text += "[" + Escaped(entry.Name) + "|" + Escaped(entry.Url) + "]";
    return text;
}

TEST(FavoriteKinds, CaptionsAndFilesInTheirFixedOrder)
{
    struct Row {
        TFavoriteKind kind;
        std::string caption;
        std::string file;
    };
    const Row rows[] = {
        {fkSearchWord, "検索語", "search.ini"},
        {fkUser, "ユーザ", "username.ini"},
        {fkExhibit, "出品物", "exhibit.ini"},
    };
    ASSERT_EQ(kFavoriteKinds.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const Row& row = rows[i];
        EXPECT_EQ(kFavoriteKinds[i], row.kind);
        EXPECT_EQ(FavoriteKindCaption(row.kind), row.caption);
        EXPECT_EQ(FavoriteKindFileName(row.kind), row.file);
        // Each kind reads and writes its own file and no other.
        TTempDir dir;
        WriteFavorites(dir.path(), row.kind, {{"n", "u"}});
        EXPECT_EQ(Names(dir.path()), std::vector<std::string>{row.file}) << row.caption;
        EXPECT_EQ(Show(ReadFavorites(dir.path(), row.kind)), "[n|u]") << row.caption;
    }
}

TEST(ReadFavorites, LineSplittingAndLineEnds)
{
    struct Row {
        const char* name;
        std::string content;
        TFavoriteList expected;
    };
    const Row rows[] = {
        {"empty file is an empty list", "", {}},
        {"name and URL", "a,http://x/\r\n", {{"a", "http://x/"}}},
        {"URL keeps further commas", "a,b,c\r\n", {{"a", "b,c"}}},
        {"no comma: empty name, whole line as URL", "abc\r\n", {{"", "abc"}}},
        {"empty line: empty name and URL", "\r\nx,y\r\n", {{"", ""}, {"x", "y"}}},
        {"no final line end", "a,1\r\nb,2", {{"a", "1"}, {"b", "2"}}},
        {"final CR LF starts no entry", "a,1\r\nb,2\r\n", {{"a", "1"}, {"b", "2"}}},
        {"final blank line is an entry", "a,1\r\nb,2\r\n\r\n", {{"a", "1"}, {"b", "2"}, {"", ""}}},
        {"LF-only file is one entry", "a,1\nb,2\n", {{"a", "1\nb,2\n"}}},
        {"0x1A mid-file ends it",
         "a,1\r\nb,\x1A"
         "2\r\nc,3\r\n",
         {{"a", "1"}, {"b", ""}}},
        {"only blank lines", "\r\n\r\n", {{"", ""}, {"", ""}}},
        {"comma alone", ",\r\n", {{"", ""}}},
        {"Shift_JIS name with 0x5C trail bytes",
         "\x83\x5C\x83\x74\x83\x67,http://auctions.example.jp/search?p=%83%5C\r\n",
         {{"\x83\x5C\x83\x74\x83\x67", "http://auctions.example.jp/search?p=%83%5C"}}},
    };
    for (const Row& row : rows) {
        TTempDir dir;
        WriteBytes(dir / "search.ini", row.content);
        TFavoriteList list;
        EXPECT_EQ(Outcome([&] { list = ReadFavorites(dir.path(), fkSearchWord); }), "<no error>") << row.name;
        EXPECT_EQ(Show(list), Show(row.expected)) << row.name;
    }
}

TEST(WriteFavorites, ExactBytes)
{
    struct Row {
        const char* name;
        TFavoriteList list;
        std::string bytes;
    };
    const Row rows[] = {
        {"empty list is an empty file", {}, ""},
        {"name, comma, URL, CR LF", {{"a", "http://x/"}, {"b", "http://y/"}}, "a,http://x/\r\nb,http://y/\r\n"},
        {"URL with commas", {{"a", "b,c"}}, "a,b,c\r\n"},
        {"empty name and URL", {{"", ""}}, ",\r\n"},
        {"Shift_JIS kept as bytes", {{"\x8c\x9f\x8d\xf5\x8c\xea", "u"}}, "\x8c\x9f\x8d\xf5\x8c\xea,u\r\n"},
    };
    TTempDir dir;
    for (const Row& row : rows) {
        WriteFavorites(dir.path(), fkExhibit, row.list);
        EXPECT_EQ(Escaped(ReadBytes(dir / "exhibit.ini")), Escaped(row.bytes)) << row.name;
    }
}

TEST(WriteFavorites, LineWithoutCommaGetsOneInFront)
{
    TTempDir dir;
    WriteBytes(dir / "username.ini", "no-comma\r\nname,url\r\n\r\n");
    WriteFavorites(dir.path(), fkUser, ReadFavorites(dir.path(), fkUser));
    EXPECT_EQ(Escaped(ReadBytes(dir / "username.ini")), Escaped(",no-comma\r\nname,url\r\n,\r\n"));
}

TEST(WriteFavorites, SaveAndReloadManyAndLargeEntries)
{
    // Far beyond 501 entries, one huge URL, and lines with lone LFs, which
    // write and read back as they are.
    TFavoriteList list;
    for (int i = 0; i < 5000; ++i)
        list.push_back({"\x8f\xa4\x95\x69" + std::to_string(i),
                        "http://page.example.jp/item?aID=x" + std::to_string(i) + "&a=1,2"});
    list.push_back({"huge", std::string(kFavoriteLimits.MaxLineBytes - 5, 'u')});  // a line at the bound
    list.push_back({"lf\ninside", "u\nv"});
    list.push_back({"", ""});
    TTempDir dir;
    WriteFavorites(dir.path(), fkSearchWord, list);
    const TFavoriteList fresh = ReadFavorites(dir.path(), fkSearchWord);
    ASSERT_EQ(fresh.size(), list.size());
    EXPECT_TRUE(fresh == list);
}

TEST(WriteFavorites, ListBeyondTheLimitsIsRefusedAndTheFileKept)
{
    const TFavoriteList rows[] = {
        TFavoriteList(kFavoriteLimits.MaxLines + 1),
        {{"name", std::string(kFavoriteLimits.MaxLineBytes - 4, 'u')}},
        TFavoriteList(kFavoriteLimits.MaxFileBytes / kFavoriteLimits.MaxLineBytes + 1,
                      {"", std::string(kFavoriteLimits.MaxLineBytes - 1, 'u')}),
    };
    const std::string messages[] = {
        "username.ini の行数が上限の 50,000 行を超えています",
        "username.ini に上限の 262,144 バイトを超える行があります",
        "username.ini が上限の 16,777,216 バイトを超えています",
    };
    TTempDir dir;
    WriteBytes(dir / "username.ini", "a,b\r\n");
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(Outcome([&] { WriteFavorites(dir.path(), fkUser, rows[i]); }), messages[i]);
        EXPECT_EQ(ReadBytes(dir / "username.ini"), "a,b\r\n");
    }
}

TEST(FavoriteLabel, LongNamesEndAtAWholeCharacter)
{
    const std::string kana = "\x82\xa0";  // あ
    std::string kanaName;
    for (int i = 0; i < 200; ++i)
        kanaName += kana;
    const std::pair<std::string, std::string> rows[] = {
        {std::string(256, 'a'), std::string(256, 'a')},
        {std::string(257, 'a'), std::string(256, 'a') + "\x81\x63"},
        {kanaName, kanaName.substr(0, 256) + "\x81\x63"},
        {"a" + kanaName, "a" + kanaName.substr(0, 254) + "\x81\x63"},
    };
    for (const auto& [name, label] : rows)
        EXPECT_EQ(FavoriteLabel(name), label) << name.size();
    // After "a", any two-byte character: 漢, 蕭, 瑤, 髙 (lead bytes 0x8A, 0xE5, 0xEA, 0xEE).
    for (const std::string character : {"\x8a\xbf", "\xe5\x4a", "\xea\xa2", "\xee\xe0"}) {
        std::string name = "a";
        while (name.size() < 400)
            name += character;
        EXPECT_EQ(FavoriteLabel(name), name.substr(0, 255) + "\x81\x63")
            << std::hex << static_cast<int>(static_cast<unsigned char>(character[0]));
    }
}

TEST(ReadFavorites, FailuresAreFileErrors)
{
    TTempDir dir;
    EXPECT_EQ(Outcome([&] { ReadFavorites(dir.path(), fkUser); }), "username.ini: ファイルが見つかりません");
    EXPECT_TRUE(Names(dir.path()).empty()) << "reading creates nothing";
    EXPECT_EQ(Outcome([&] { ReadFavorites(dir / "missing", fkUser); }), "username.ini: ファイルが見つかりません");
    EXPECT_EQ(Outcome([&] { WriteFavorites(dir / "missing", fkUser, {{"a", "b"}}); }), "ファイルが見つかりません");
    WriteBytes(dir / "search.ini", std::string(kFavoriteLimits.MaxLines + 1, '\r'));
    EXPECT_EQ(Outcome([&] { ReadFavorites(dir.path(), fkSearchWord); }),
              "search.ini の行数が上限の 50,000 行を超えています");
    std::filesystem::create_directory(dir / "exhibit.ini");
    EXPECT_EQ(Outcome([&] { ReadFavorites(dir.path(), fkExhibit); }), "exhibit.ini: 不正なファイル名です");
}

}  // namespace
