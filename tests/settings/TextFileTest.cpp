#include "settings/TextFile.h"

#include "support/TestFiles.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testfiles;
using Lines = std::vector<std::string>;

namespace {

std::string Show(const Lines& lines)
{
    std::string text = "[";
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? ", \"" : "\"") + Escaped(lines[i]) + "\"";
    return text + "]";
}

TEST(SplitLines, LineEndRules)
{
    struct Row {
        const char* name;
        std::string content;
        Lines expected;
    };
    const Row rows[] = {
        {"empty content has no line", "", {}},
        {"last line needs no line end", "a", {"a"}},
        {"final CR LF starts no further line", "a\r\n", {"a"}},
        {"blank line at the end is a line", "a\r\n\r\n", {"a", ""}},
        {"lone CR LF is one blank line", "\r\n", {""}},
        {"lone CR is one blank line", "\r", {""}},
        {"CR alone ends a line", "a\rb", {"a", "b"}},
        {"lone LF is an ordinary character", "a\nb\n", {"a\nb\n"}},
        {"LF before CR stays in the line", "a\n\r", {"a\n"}},
        {"only the first LF after CR belongs to the line end", "a\r\n\nb", {"a", "\nb"}},
        {"CR CR LF gives a blank line", "a\r\r\nb", {"a", "", "b"}},
        {"0x1A ends the file mid-line", std::string("a\x1A") + "b\r\nc", {"a"}},
        {"0x1A at the start gives no line", "\x1A\r\nx", {}},
        {"0x1A after a line end", "a\r\n\x1A\r\nb", {"a"}},
        {"0x1A after a blank line", "a\r\n\r\x1A", {"a", ""}},
        {"NUL bytes are kept", std::string("a\0b", 3), {std::string("a\0b", 3)}},
        {"Shift_JIS bytes are kept", "\x83\x5C\x95\x5C,\xb1\xff", {"\x83\x5C\x95\x5C,\xb1\xff"}},
        {"many blank lines", "\r\n\r\n\r\n", {"", "", ""}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Show(SplitLines(row.content)), Show(row.expected)) << row.name;
}

TEST(WriteLines, ExactBytes)
{
    struct Row {
        const char* name;
        Lines lines;
        std::string bytes;
    };
    const Row rows[] = {
        {"no lines give an empty file", {}, ""},
        {"one blank line", {""}, "\r\n"},
        {"every line gets CR LF, the last too", {"a", "b"}, "a\r\nb\r\n"},
        {"a lone LF is written as it is", {"a\nb"}, "a\nb\r\n"},
        {"Shift_JIS bytes as they are", {"\x8c\x9f\x8d\xf5,\x83\x5C"}, "\x8c\x9f\x8d\xf5,\x83\x5C\r\n"},
        {"trailing blank lines", {"a", "", ""}, "a\r\n\r\n\r\n"},
    };
    TTempDir dir;
    for (const Row& row : rows) {
        WriteLines(dir / "f.ini", row.lines);
        EXPECT_EQ(Escaped(ReadBytes(dir / "f.ini")), Escaped(row.bytes)) << row.name;
        // A fresh read gives the lines back.
        EXPECT_EQ(Show(ReadLines(dir / "f.ini")), Show(row.lines)) << row.name;
    }
    EXPECT_EQ(Names(dir.path()), Lines{"f.ini"}) << "no temporary file stays behind";
}

TEST(ReadLines, LargeAndDamagedFiles)
{
    TTempDir dir;
    // A line at the bound (256 KiB) with every byte value except CR and 0x1A,
    // a lone-LF line and a 0x1A with data after it.
    std::string huge;
    for (size_t i = 0; huge.size() < TFileSizeLimits{}.MaxLineBytes; ++i) {
        const char c = static_cast<char>(i % 256);
        if (c != '\r' && c != '\x1A')
            huge += c;
    }
    WriteBytes(dir / "big.ini", huge + "\r\nx\ny\r\n\r\nend\x1A" + "after\r\n");
    const Lines lines = ReadLines(dir / "big.ini");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[0] == huge);
    EXPECT_EQ(lines[1], "x\ny");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "end");
}

TEST(ReadLines, FileBeyondALimitIsRefusedWhole)
{
    TFileSizeLimits small;
    small.MaxFileBytes = 20;
    small.MaxLines = 3;
    small.MaxLineBytes = 5;
    struct Row {
        const char* name;
        std::string content;
        std::string outcome;
    };
    const Row rows[] = {
        {"at every limit", "12345\r\n12345\r\n1234\r\n", "<no error>"},
        {"lines counted after 0x1A do not count", "1\r\n2\r\n3\x1A\r\n4\r\n5", "<no error>"},
        {"one byte over the size", "12345\r\n12345\r\n12345\r\n", "f.ini が上限の 20 バイトを超えています"},
        {"one line too many", "1\r\n2\r\n3\r\n4", "f.ini の行数が上限の 3 行を超えています"},
        {"bare CR bytes are lines", std::string(20, '\r'), "f.ini の行数が上限の 3 行を超えています"},
        {"a line one byte over", "123456", "f.ini に上限の 5 バイトを超える行があります"},
    };
    for (const Row& row : rows) {
        TTempDir dir;
        WriteBytes(dir / "f.ini", row.content);
        EXPECT_EQ(Outcome([&] { ReadLines(dir / "f.ini", small); }), row.outcome) << row.name;
        if (row.outcome == "<no error>") {
            EXPECT_EQ(Outcome([&] { CheckLineLimits(dir / "f.ini", ReadLines(dir / "f.ini", small), small); }),
                      "<no error>")
                << row.name;
        }
    }
    // The writers' check refuses what the reader would.
    EXPECT_EQ(Outcome([&] {
                  CheckLineLimits("d/f.ini", {"1", "2", "3", "4"}, small);
              }),
              "f.ini の行数が上限の 3 行を超えています");
    EXPECT_EQ(Outcome([&] { CheckLineLimits("f.ini", {"123456"}, small); }),
              "f.ini に上限の 5 バイトを超える行があります");
    EXPECT_EQ(Outcome([&] {
                  CheckLineLimits("f.ini", {"12345", "12345", "12345"}, small);
              }),
              "f.ini が上限の 20 バイトを超えています");
}

TEST(ReadFirstLines, OnlyTheLinesInUseAreRead)
{
    struct Row {
        const char* name;
        std::string content;
        std::string outcome;
        Lines lines;
    };
    const std::string rest(3'000'000, 'z');  // no line end: one long line
    const Row rows[] = {
        {"fewer lines than asked", "a\r\n", "<no error>", {"a"}},
        {"a long line after them is never read", "a\r\nb\r\n" + rest, "<no error>", {"a", "b"}},
        {"lines at the bound", "12345\r\n12345\r\n" + rest, "<no error>", {"12345", "12345"}},
        {"bare CR lines", "\r\r\r\r", "<no error>", {"", ""}},
        {"the first line too long", "123456\r\nb", "f.ini に上限の 5 バイトを超える行があります", {}},
        {"the second line runs past the head", "a\r\n" + rest, "f.ini に上限の 5 バイトを超える行があります", {}},
        {"one byte over after a line at the bound",
         "12345\r\n123456\r\n",
         "f.ini に上限の 5 バイトを超える行があります",
         {}},
    };
    for (const Row& row : rows) {
        TTempDir dir;
        WriteBytes(dir / "f.ini", row.content);
        Lines lines;
        EXPECT_EQ(Outcome([&] { lines = ReadFirstLines(dir / "f.ini", 2, 5); }), row.outcome) << row.name;
        EXPECT_EQ(Show(lines), Show(row.lines)) << row.name;
    }
}

TEST(ReadLines, FileWhoseSizeIsNotKnownInAdvance)
{
    // /proc files report size 0 but have content; the reading must not rely
    // on the size. Its lines end in lone LFs, so it is one line.
    const Lines lines = ReadLines("/proc/self/status");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("Name:", 0), 0u);
    EXPECT_NE(lines[0].find("\nPid:"), std::string::npos);
}

TEST(FileErrorMessage, ErrnoMapping)
{
    struct Row {
        int error;
        std::string message;
    };
    const Row rows[] = {
        {ENOENT, "ファイルが見つかりません"},
        {ENOTDIR, "ファイルが見つかりません"},
        {EINVAL, "不正なファイル名です"},
        {ENAMETOOLONG, "不正なファイル名です"},
        {EISDIR, "不正なファイル名です"},
        {EMFILE, "オープンしたファイルが多すぎます"},
        {ENFILE, "オープンしたファイルが多すぎます"},
        {EACCES, "ファイルへのアクセスが拒否されました"},
        {EPERM, "ファイルへのアクセスが拒否されました"},
        {EROFS, "ファイルへのアクセスが拒否されました"},
        {ELOOP, "ファイルへのアクセスが拒否されました"},
        {ENOSPC, "ディスクがいっぱいです"},
        {EDQUOT, "ディスクがいっぱいです"},
        {EIO, "I/O エラー (5)"},
        {EBUSY, "I/O エラー (16)"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FileErrorMessage(row.error), row.message) << "errno " << row.error;
}

TEST(FileErrors, OpeningForReading)
{
    TTempDir dir;
    WriteBytes(dir / "plain", "x");
    std::filesystem::create_directory(dir / "sub");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    struct Row {
        const char* name;
        std::filesystem::path file;
        std::string message;
    };
    const Row rows[] = {
        {"missing file", dir / "missing.ini", "missing.ini: ファイルが見つかりません"},
        {"missing directory", dir / "nodir" / "a.ini", "a.ini: ファイルが見つかりません"},
        {"file used as a directory", dir / "plain" / "a.ini", "a.ini: ファイルが見つかりません"},
        {"a directory is no file", dir / "sub", "sub: 不正なファイル名です"},
        {"a FIFO is no file (and does not hang)", dir / "fifo", "fifo: 不正なファイル名です"},
        {"name too long", dir / std::string(300, 'n'), std::string(300, 'n') + ": 不正なファイル名です"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Outcome([&] { ReadLines(row.file); }), row.message) << row.name;
}

TEST(FileErrors, TooManyOpenFiles)
{
    TTempDir dir;
    WriteBytes(dir / "a.ini", "a\r\n");
    // Uses up the descriptors in a child, so this process keeps its own.
    const std::string outcome = InChild([&] {
        while (::open("/dev/null", O_RDONLY) >= 0) { }
        if (errno != EMFILE)
            return std::string("<descriptors not exhausted>");
        return Outcome([&] { ReadLines(dir / "a.ini"); });
    });
    EXPECT_EQ(outcome, "a.ini: オープンしたファイルが多すぎます");
}

// Permission checks; as root they run in a child dropped to an unprivileged
// user, since root bypasses them.
TEST(FileErrors, AccessDenied)
{
    TTempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const auto locked = dir / "locked";
    const auto readOnly = dir / "readonly";
    const auto closed = dir / "closed";
    std::filesystem::create_directory(locked);
    std::filesystem::create_directory(readOnly);
    std::filesystem::create_directory(closed);
    WriteBytes(dir / "secret.ini", "s\r\n");
    WriteBytes(readOnly / "a.ini", "old\r\n");
    WriteBytes(closed / "a.ini", "c\r\n");
    WriteBytes(locked / "protected.ini", "keep\r\n");
    ::chmod((dir / "secret.ini").c_str(), 0000);
    ::chmod(readOnly.c_str(), 0555);
    ::chmod(closed.c_str(), 0000);
    if (IsRoot()) {
        ASSERT_EQ(::chown(locked.c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(::chown((locked / "protected.ini").c_str(), 0, 0), 0);
    }
    ::chmod((locked / "protected.ini").c_str(), 0444);
    ::chmod(locked.c_str(), 0777);

    struct Row {
        const char* name;
        std::function<void()> call;
        std::string named;  // a reading names its file
    };
    const Row rows[] = {
        {"unreadable file", [&] { ReadLines(dir / "secret.ini"); }, "secret.ini: "},
        {"directory that cannot be entered", [&] { ReadLines(closed / "a.ini"); }, "a.ini: "},
        {"replacing in a read-only directory", [&] { WriteLines(readOnly / "a.ini", {"new"}); }, ""},
        {"new file in a read-only directory", [&] { WriteLines(readOnly / "b.ini", {"new"}); }, ""},
        {"read-only file in a writable directory",
         [&] { WriteLines(locked / "protected.ini", {"new"}, TFilePrivacy::Private); }, ""},
    };
    for (const Row& row : rows) {
        const std::string outcome = InChild([&] { return Outcome(row.call); }, true);
        EXPECT_EQ(outcome, row.named + "ファイルへのアクセスが拒否されました") << row.name;
    }
    EXPECT_EQ(ReadBytes(readOnly / "a.ini"), "old\r\n");
    EXPECT_EQ(Names(readOnly), Lines{"a.ini"});
    EXPECT_EQ(ReadBytes(locked / "protected.ini"), "keep\r\n");
    EXPECT_EQ(Names(locked), Lines{"protected.ini"});
}

TEST(FileErrors, FailedWriteLeavesOldFileAndNoTemporaryFile)
{
    TTempDir dir;
    // The target name is taken by a directory: the temporary file is written
    // and the rename fails.
    std::filesystem::create_directory(dir / "taken.ini");
    WriteBytes(dir / "taken.ini" / "inside", "x");
    EXPECT_EQ(Outcome([&] { WriteLines(dir / "taken.ini", {"a"}); }), "不正なファイル名です");
    EXPECT_EQ(Names(dir.path()), Lines{"taken.ini"});
    EXPECT_EQ(Outcome([&] { WriteLines(dir / "nodir" / "a.ini", {"a"}); }), "ファイルが見つかりません");
}

// Disk full, for real: a 64 KiB tmpfs (needs root to mount).
TEST(FileErrors, DiskFull)
{
    TTempDir dir;
    const auto mountPoint = dir / "small";
    std::filesystem::create_directory(mountPoint);
    TSmallFileSystem fileSystem;
    const std::string why = fileSystem.Mount(mountPoint, "64k");
    if (!why.empty())
        GTEST_SKIP() << why;

    const auto file = mountPoint / "search.ini";
    WriteLines(file, {"old,http://example.jp/"});
    const std::string before = ReadBytes(file);
    const Lines tooMany(2000, std::string(100, 'x'));
    EXPECT_EQ(Outcome([&] { WriteLines(file, tooMany); }), "ディスクがいっぱいです");
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(Names(mountPoint), Lines{"search.ini"});
    // The space of the failed attempt is free again.
    WriteLines(file, {"new"});
    EXPECT_EQ(ReadBytes(file), "new\r\n");
}

TEST(WriteLines, FileModes)
{
    TTempDir dir;
    const mode_t oldMask = ::umask(077);
    struct Row {
        const char* name;
        int existingMode;  // -1: no file before
        TFilePrivacy privacy;
        unsigned expected;
    };
    const Row rows[] = {
        {"new public file", -1, TFilePrivacy::Public, 0644},
        {"public file keeps its mode", 0640, TFilePrivacy::Public, 0640},
        {"public file keeps a wide mode", 0666, TFilePrivacy::Public, 0666},
        {"new private file", -1, TFilePrivacy::Private, 0600},
        {"private file replacing a public one", 0644, TFilePrivacy::Private, 0600},
    };
    int n = 0;
    for (const Row& row : rows) {
        const auto file = dir / ("f" + std::to_string(n++));
        if (row.existingMode >= 0) {
            WriteBytes(file, "old");
            ::chmod(file.c_str(), static_cast<mode_t>(row.existingMode));
        }
        WriteLines(file, {"x"}, row.privacy);
        EXPECT_EQ(Mode(file), row.expected) << row.name;
        EXPECT_EQ(ReadBytes(file), "x\r\n") << row.name;
    }
    ::umask(oldMask);
}

// A name that is a symbolic link is neither read nor written through; a file
// of another user is never replaced (root saving a user's file, or a user
// root's in a folder open to all); a replaced file keeps owner, group, mode.
TEST(WriteLines, OnlyTheUsersOwnFileIsReplaced)
{
    if (!IsRoot())
        GTEST_SKIP() << "giving files to another user needs root";
    TTempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    WriteBytes(dir / "shadow", "secret");
    const std::string denied = "ファイルへのアクセスが拒否されました", ok = "<no error>";
    struct Row {
        const char* name;
        const char* linkTo;  // else a file "old" of uid:gid, mode 0640
        uid_t uid;
        gid_t gid;
        bool asOtherUser;
        std::string read, save, after;
    };
    const Row rows[] = {
        {"link.ini", "shadow", 0, 0, false, denied, denied, "-> shadow"},
        {"dangling.ini", "none", 0, 0, false, denied, denied, "-> none"},
        {"loop.ini", "loop.ini", 0, 0, false, denied, denied, "-> loop.ini"},
        {"users.ini", nullptr, kNobody, kNobody, false, ok, denied, "65534:65534:640:old"},
        {"roots.ini", nullptr, 0, 0, true, ok, denied, "0:0:640:old"},
        {"grouped.ini", nullptr, 0, kNobody, false, ok, ok, "0:65534:640:new\\r\\n"},
    };
    for (const Row& row : rows) {
        const auto file = dir / row.name;
        if (row.linkTo) {
            std::filesystem::create_symlink(row.linkTo, file);
        } else {
            WriteBytes(file, "old");
            ASSERT_EQ(::chown(file.c_str(), row.uid, row.gid) + ::chmod(file.c_str(), 0640), 0);
        }
        EXPECT_EQ(Outcome([&] { ReadLines(file); }), row.read == ok ? ok : row.name + (": " + row.read)) << row.name;
        const auto save = [&] { return Outcome([&] { WriteLines(file, {"new"}); }); };
        EXPECT_EQ(row.asOtherUser ? InChild(save, true) : save(), row.save) << row.name;
        struct stat st { };
        ::lstat(file.c_str(), &st);
        char owner[64];
        std::snprintf(owner, sizeof owner, "%u:%u:%o:", st.st_uid, st.st_gid, st.st_mode & 0777);
        EXPECT_EQ(S_ISLNK(st.st_mode) ? "-> " + std::filesystem::read_symlink(file).string()
                                      : owner + Escaped(ReadBytes(file)),
                  row.after)
            << row.name;
    }
    EXPECT_EQ(ReadBytes(dir / "shadow"), "secret");
    EXPECT_EQ(Names(dir.path()),
              Lines({"dangling.ini", "grouped.ini", "link.ini", "loop.ini", "roots.ini", "shadow", "users.ini"}));
}

TEST(SplitAtFirstComma, Parts)
{
    using Parts = std::pair<std::string, std::string>;
    EXPECT_EQ(SplitAtFirstComma("a,b"), Parts("a", "b"));
    EXPECT_EQ(SplitAtFirstComma("a,b,c"), Parts("a", "b,c"));
    EXPECT_EQ(SplitAtFirstComma("abc"), Parts("", "abc"));
    EXPECT_EQ(SplitAtFirstComma(""), Parts("", ""));
    EXPECT_EQ(SplitAtFirstComma(","), Parts("", ""));
    EXPECT_EQ(SplitAtFirstComma(",x"), Parts("", "x"));
    EXPECT_EQ(SplitAtFirstComma("x,"), Parts("x", ""));
}

TEST(StrToInt, Accepted)
{
    struct Row {
        std::string text;
        int value;
    };
    const Row rows[] = {
        {"0", 0},
        {"1", 1},
        {"-1", -1},
        {"+5", 5},
        {"007", 7},
        {"-0", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"00000000000000000000042", 42},
    };
    for (const Row& row : rows) {
        int value = -99;
        EXPECT_EQ(Outcome([&] { value = StrToInt(row.text); }), "<no error>") << row.text;
        EXPECT_EQ(value, row.value) << row.text;
    }
}

TEST(StrToInt, RejectedWithTheFieldInTheMessage)
{
    const auto repeat = [](const std::string& text, int times) {
        std::string out;
        while (times-- > 0)
            out += text;
        return out;
    };
    struct Row {
        const char* name;
        std::string text;
        std::string message;
    };
    const Row rows[] = {
        {"empty", "", "'' は整数ではありません"},
        {"sign alone", "-", "'-' は整数ではありません"},
        {"plus alone", "+", "'+' は整数ではありません"},
        {"leading blank", " 1", "' 1' は整数ではありません"},
        {"trailing blank", "1 ", "'1 ' は整数ではありません"},
        {"separator after the field", "1,", "'1,' は整数ではありません"},
        {"two fields", "1,1", "'1,1' は整数ではありません"},
        {"one above int", "2147483648", "'2147483648' は整数ではありません"},
        {"one below int", "-2147483649", "'-2147483649' は整数ではありません"},
        {"far too long", "99999999999999999999999", "'99999999999999999999999' は整数ではありません"},
        {"hexadecimal", "0x10", "'0x10' は整数ではありません"},
        {"dollar hexadecimal", "$10", "'$10' は整数ではありません"},
        {"double sign", "--1", "'--1' は整数ではありません"},
        {"exponent", "1e3", "'1e3' は整数ではありません"},
        {"lone LF in the field", "0\n", "'0\n' は整数ではありません"},
        {"full-width digit (Shift_JIS)", "\x82\x50", "'１' は整数ではありません"},
        {"kana (Shift_JIS)", "\x82\xa0", "'あ' は整数ではありません"},
        {"64 characters are quoted whole", std::string(64, 'x'), "'" + std::string(64, 'x') + "' は整数ではありません"},
        {"a longer field is cut after 64", std::string(10'000'000, 'x'),
         "'" + std::string(64, 'x') + "…' は整数ではありません"},
        {"the cut counts characters, not bytes", repeat("\x82\xa0", 100),
         "'" + repeat("あ", 64) + "…' は整数ではありません"},
        {"a NUL byte does not end the message", std::string("1\0x", 3), "'1␀x' は整数ではありません"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Outcome([&] { StrToInt(row.text); }), row.message) << row.name;
}

}  // namespace

namespace {

TEST(WriteLines, BareFileNameInTheCurrentDirectory)
{
    TTempDir dir;
    // The program passes its current directory; a bare name (no directory
    // part) must work too. Runs in a child so this process keeps its cwd.
    const std::string outcome = InChild([&] {
        if (::chdir(dir.path().c_str()) != 0)
            return std::string("<chdir failed>");
        return Outcome([] {
            WriteLines("bare.ini", {"a", "b"});
            if (ReadLines(std::filesystem::path() / "bare.ini") != Lines{"a", "b"})
                throw TFileError("<read back differs>");
        });
    });
    EXPECT_EQ(outcome, "<no error>");
    EXPECT_EQ(ReadBytes(dir / "bare.ini"), "a\r\nb\r\n");
    EXPECT_EQ(Names(dir.path()), Lines{"bare.ini"});
}

// A finished download moved to the chosen name: a rename, or across file
// systems (a tmpfs, as root) a copy beside the target renamed over it.
TEST(MoveOver, TheFileArrivesWholeOrNothingIsLeftBeside)
{
    struct Row {
        const char* name;
        const char* tmpfsSize;  // the target's own file system; nullptr: the source's
        bool targetIsFolder;
        const char* outcome;
    };
    const Row rows[] = {
        {"rename", nullptr, false, "<no error>"},
        {"rename onto a folder", nullptr, true, "不正なファイル名です"},
        {"copy across file systems", "16m", false, "<no error>"},
        {"copy onto a folder", "16m", true, "不正なファイル名です"},
        {"copy onto a full disk", "64k", false, "ディスクがいっぱいです"},
    };
    const std::string content(3 << 20, 'x');  // more than one block of the copy
    for (const Row& row : rows) {
        TTempDir dir;
        const auto there = dir / "there";
        std::filesystem::create_directory(there);
        TSmallFileSystem fileSystem;
        if (row.tmpfsSize != nullptr) {
            if (const std::string why = fileSystem.Mount(there, row.tmpfsSize); !why.empty()) {
                std::printf("%s: skipped, %s\n", row.name, why.c_str());
                continue;
            }
        }
        WriteBytes(dir / "from", content);
        if (row.targetIsFolder)
            std::filesystem::create_directory(there / "target");
        EXPECT_EQ(Outcome([&] { MoveOver(dir / "from", there / "target"); }), row.outcome) << row.name;
        const bool moved = std::string(row.outcome) == "<no error>";
        EXPECT_EQ(Names(there), moved || row.targetIsFolder ? Lines{"target"} : Lines{}) << row.name;
        if (moved)
            EXPECT_EQ(ReadBytes(there / "target"), content) << row.name;
        EXPECT_EQ(std::filesystem::exists(dir / "from"), !moved || row.tmpfsSize != nullptr) << row.name;
    }
}

}  // namespace
