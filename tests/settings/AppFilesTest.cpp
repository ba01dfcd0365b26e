#include "settings/AppFiles.h"

#include "settings/TextFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <optional>

using namespace testfiles;

namespace {

std::string Show(const TAccounts& accounts)
{
    std::string text;
    for (const TAccountEntry& entry : accounts)
        text += "[" + Escaped(entry.YahooId) + "|" + Escaped(entry.PasswordText) + "]";
    return text;
}

std::string Show(const TAppOptions& options)
{
    return std::to_string(options.AutoLogin) + "," + std::to_string(options.ShowFavorites) + "," +
           std::to_string(options.BidRestraint);
}

const TAccounts kBefore = {{{"old0", "P0"}, {"old1", "P1"}, {"old2", "P2"}}};

TEST(ReadAccounts, LineKFillsEntryK)
{
    struct Row {
        const char* name;
        std::string content;
        TAccounts expected;
    };
    const Row rows[] = {
        {"empty file keeps every entry", "", kBefore},
        {"one line fills entry 0 only", "id0,pw0\r\n", {{{"id0", "pw0"}, {"old1", "P1"}, {"old2", "P2"}}}},
        {"one line without line end", "id0,pw0", {{{"id0", "pw0"}, {"old1", "P1"}, {"old2", "P2"}}}},
        {"three lines", "a,1\r\nb,2\r\nc,3\r\n", {{{"a", "1"}, {"b", "2"}, {"c", "3"}}}},
        {"fourth and later lines are ignored",
         "a,1\r\nb,2\r\nc,3\r\nd,4\r\ne,5\r\n",
         {{{"a", "1"}, {"b", "2"}, {"c", "3"}}}},
        {"second comma belongs to the password text",
         "id,pw,x\r\n",
         {{{"id", "pw,x"}, {"old1", "P1"}, {"old2", "P2"}}}},
        {"no comma: empty ID, whole line as password", "abc\r\n", {{{"", "abc"}, {"old1", "P1"}, {"old2", "P2"}}}},
        {"empty line gives two empty strings", "\r\nb,2\r\n", {{{"", ""}, {"b", "2"}, {"old2", "P2"}}}},
        {"blank line at the end is an entry", "a,1\r\n\r\n", {{{"a", "1"}, {"", ""}, {"old2", "P2"}}}},
        {"lone LF stays inside the line", "a,1\nb,2\n", {{{"a", "1\nb,2\n"}, {"old1", "P1"}, {"old2", "P2"}}}},
        {"0x1A ends the file",
         "a,1\r\n\x1A"
         "b,2\r\n",
         {{{"a", "1"}, {"old1", "P1"}, {"old2", "P2"}}}},
        {"a long fourth line is never read",
         "a,1\r\nb,2\r\nc,3\r\n" + std::string(20'000'000, 'x'),
         {{{"a", "1"}, {"b", "2"}, {"c", "3"}}}},
        {"Shift_JIS ID kept as bytes",
         "\x83\x5C\x83\x74\x83\x67,QUJD\r\n",
         {{{"\x83\x5C\x83\x74\x83\x67", "QUJD"}, {"old1", "P1"}, {"old2", "P2"}}}},
    };
    for (const Row& row : rows) {
        TTempDir dir;
        WriteBytes(dir / "login.ini", row.content);
        TAccounts accounts = kBefore;
        EXPECT_EQ(Outcome([&] { ReadAccounts(dir.path(), accounts); }), "<no error>") << row.name;
        EXPECT_EQ(Show(accounts), Show(row.expected)) << row.name;
    }
}

TEST(ReadAccounts, FailedReadingChangesNothing)
{
    struct Row {
        const char* name;
        std::optional<std::string> content;
        std::string message;
    };
    const Row rows[] = {
        {"missing file", std::nullopt, "login.ini: ファイルが見つかりません"},
        {"second line beyond the bound", "a,1\r\n" + std::string(4096, 'i') + ",p\r\n",
         "login.ini に上限の 4,096 バイトを超える行があります"},
    };
    for (const Row& row : rows) {
        TTempDir dir;
        if (row.content)
            WriteBytes(dir / "login.ini", *row.content);
        TAccounts accounts = kBefore;
        EXPECT_EQ(Outcome([&] { ReadAccounts(dir.path(), accounts); }), row.message) << row.name;
        EXPECT_EQ(Show(accounts), Show(kBefore)) << row.name;
    }
}

TEST(WriteAccounts, LineBeyondTheBoundIsRefusedAndTheFileKept)
{
    TTempDir dir;
    WriteBytes(dir / "login.ini", "a,1\r\n");
    EXPECT_EQ(Outcome([&] {
                  WriteAccounts(dir.path(), {{{std::string(4096, 'i'), "p"}, {}, {}}});
              }),
              "login.ini に上限の 4,096 バイトを超える行があります");
    EXPECT_EQ(ReadBytes(dir / "login.ini"), "a,1\r\n");
}

TEST(WriteAccounts, ThreeLinesPrivateAndReadBack)
{
    TTempDir dir;
    WriteBytes(dir / "login.ini", "x,y\r\n");
    ::chmod((dir / "login.ini").c_str(), 0644);
    const TAccounts accounts = {{{"\x83\x5C\x83\x74\x83\x67", "MTIzNDU2Nzg5MDEy"}, {"", ""}, {"user2", ""}}};
    WriteAccounts(dir.path(), accounts);
    EXPECT_EQ(Escaped(ReadBytes(dir / "login.ini")),
              Escaped("\x83\x5C\x83\x74\x83\x67,MTIzNDU2Nzg5MDEy\r\n,\r\nuser2,\r\n"));
    EXPECT_EQ(Mode(dir / "login.ini"), 0600u);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"login.ini"});

    TAccounts fresh = kBefore;
    ReadAccounts(dir.path(), fresh);
    EXPECT_EQ(Show(fresh), Show(accounts));
}

TEST(WriteAccounts, IdWithCommaIsWrittenAsTypedAndReadBackCut)
{
    TTempDir dir;
    WriteAccounts(dir.path(), {{{"ab,cd", "PW=="}, {"x", "y"}, {"", ""}}});
    EXPECT_EQ(ReadBytes(dir / "login.ini"), "ab,cd,PW==\r\nx,y\r\n,\r\n");
    TAccounts fresh{};
    ReadAccounts(dir.path(), fresh);
    EXPECT_EQ(fresh[0].YahooId, "ab");
    EXPECT_EQ(fresh[0].PasswordText, "cd,PW==");
}

TEST(ReadOptions, FieldsAndFailures)
{
    struct Row {
        const char* name;
        std::string content;
        std::string outcome;   // "<no error>" or the message
        std::string expected;  // the values afterwards, from 0,0,0
    };
    const Row rows[] = {
        {"empty file reads as 0,0,0", "", "<no error>", "0,0,0"},
        {"one line", "1,0,1\r\n", "<no error>", "1,0,1"},
        {"no line end", "1,0,1", "<no error>", "1,0,1"},
        {"later lines are never read", "0,0,0\r\n1,1,1\r\n", "<no error>", "0,0,0"},
        {"values beyond 0 and 1", "2,1,0\r\n", "<no error>", "2,1,0"},
        {"signs and leading zeros", "-1,+1,007\r\n", "<no error>", "-1,1,7"},
        {"0x1A ends the file", "1,0,0\x1Agarbage", "<no error>", "1,0,0"},
        {"two fields fail on the empty field 2", "1,1\r\n", "option.ini (1 行目): '' は整数ではありません", "1,0,0"},
        {"separator after field 3", "1,1,1,\r\n", "option.ini (1 行目): '1,' は整数ではありません", "1,1,0"},
        {"fourth field joins field 3", "1,1,1,1\r\n", "option.ini (1 行目): '1,1' は整数ではありません", "1,1,0"},
        {"no comma fails on the empty field 1", "1\r\n", "option.ini (1 行目): '' は整数ではありません", "0,0,0"},
        {"blank line after a good one", "1,0,1\r\n\r\n", "<no error>", "1,0,1"},
        {"bad field in a later line", "1,0,1\r\n0,x,0\r\n", "<no error>", "1,0,1"},
        {"nothing after the first line is read", "q,0,0\r\n0,0,0\r\n", "option.ini (1 行目): 'q' は整数ではありません",
         "0,0,0"},
        {"a later line of any length is not read", "1,0,1\r\n" + std::string(10'000'000, '7'), "<no error>", "1,0,1"},
        {"a field at the line bound", "1,0," + std::string(4092, '0'), "<no error>", "1,0,0"},
        {"a line beyond the bound is refused, not quoted", "1,0," + std::string(10'000'000, '0'),
         "option.ini に上限の 4,096 バイトを超える行があります", "0,0,0"},
        {"blank in a field", " 1,0,0", "option.ini (1 行目): ' 1' は整数ではありません", "0,0,0"},
        {"lone LF joins field 3", "1,0,0\n", "option.ini (1 行目): '0\n' は整数ではありません", "1,0,0"},
        {"Shift_JIS in a field", "1,\x82\x50,0", "option.ini (1 行目): '１' は整数ではありません", "1,0,0"},
        {"out of int range", "1,0,99999999999", "option.ini (1 行目): '99999999999' は整数ではありません", "1,0,0"},
    };
    for (const Row& row : rows) {
        TTempDir dir;
        WriteBytes(dir / "option.ini", row.content);
        TAppOptions options;
        EXPECT_EQ(Outcome([&] { ReadOptions(dir.path(), options); }), row.outcome) << row.name;
        EXPECT_EQ(Show(options), row.expected) << row.name;
    }
}

TEST(ReadOptions, MissingFileChangesNothing)
{
    TTempDir dir;
    TAppOptions options{1, 0, 1};
    EXPECT_EQ(Outcome([&] { ReadOptions(dir.path(), options); }), "option.ini: ファイルが見つかりません");
    EXPECT_EQ(Show(options), "1,0,1");
}

TEST(WriteOptions, OneLineAndReadBack)
{
    struct Row {
        TAppOptions options;
        std::string bytes;
    };
    const Row rows[] = {
        {{0, 0, 0}, "0,0,0\r\n"},
        {{1, 0, 1}, "1,0,1\r\n"},
        {{1, 1, 1}, "1,1,1\r\n"},
    };
    TTempDir dir;
    for (const Row& row : rows) {
        WriteOptions(dir.path(), row.options);
        EXPECT_EQ(Escaped(ReadBytes(dir / "option.ini")), Escaped(row.bytes));
        EXPECT_EQ(Mode(dir / "option.ini"), 0644u);
        TAppOptions fresh;
        ReadOptions(dir.path(), fresh);
        EXPECT_EQ(Show(fresh), Show(row.options));
    }
}

TEST(DownloadTarget, TheDataFolderAndAnythingBelowItAreRefused)
{
    testfiles::TTempDir dir;
    const auto data = dir.path() / "lotscope";
    std::filesystem::create_directories(data / "engine");
    std::filesystem::create_directory_symlink(data, dir.path() / "link");
    const std::pair<std::filesystem::path, bool> rows[] = {
        {data, true},
        {data / "engine" / "x", true},
        {dir.path() / "link" / "search.ini", true},
        {data / ".." / "lotscope" / "option.ini", true},
        {dir.path() / "lotscope2" / "a.csv", false},
    };
    for (const auto& [target, refused] : rows)
        EXPECT_EQ(IsInDataFolder(data, target), refused) << target;
}

}  // namespace
