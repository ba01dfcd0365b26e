// Faults and bad input through the whole window set (the fake browser stands
// in for the engine): every dialog's OK against a read-only directory, a
// file that vanished and a full disk; a save killed half-way; start-up with
// each data file damaged. The data files are the user's: whatever happens,
// they are either what they were or what the user asked for.
#include "SaveLoopLists.h"
#include "accounts/StoredPassword.h"
#include "accounts/Unit2.h"
#include "app/LotscopeWindows.h"
#include "favorites/Unit3.h"
#include "favorites/Unit4.h"
#include "options/Unit5.h"
#include "settings/AppFiles.h"
#include "settings/TextFile.h"
#include "shell/Unit1.h"
#include "support/DialogTestWindow.h"
#include "support/FakeBrowser.h"
#include "support/RecordingReporter.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

const std::array<const char*, 5> kDataFiles = {"search.ini", "username.ini", "exhibit.ini", "login.ini", "option.ini"};

// Every entry of a directory: a file's bytes, "<directory>" or "<other>".
std::map<std::string, std::string> Snapshot(const fs::path& dir)
{
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (e.is_directory())
            entries[name] = "<directory>";
        else if (e.is_regular_file())
            entries[name] = testfiles::ReadBytes(e.path());
        else
            entries[name] = "<other>";
    }
    return entries;
}

// Writes a file until the file system has no room left.
bool FillUp(const fs::path& file)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const std::string chunk(65536, 'F');
    bool full = false;
    for (;;) {
        const ssize_t put = ::write(fd, chunk.data(), chunk.size());
        if (put < 0) {
            full = errno == ENOSPC;
            break;
        }
    }
    ::close(fd);
    return full;
}

// ---- Every dialog's OK under faults ----

enum class TFault { ReadOnly, Vanished, DiskFull };

const char* FaultName(TFault f)
{
    switch (f) {
    case TFault::ReadOnly:
        return "ReadOnlyDirectory";
    case TFault::Vanished:
        return "FileVanished";
    case TFault::DiskFull:
        return "DiskFull";
    }
    return "?";
}

void PrintTo(TFault f, std::ostream* os) { *os << FaultName(f); }

const std::string kPassword1 = "pw1-secret";
const std::string kPassword2 = "pw2-secret";
const QString kItemAddress = QStringLiteral("http://auctions.example.jp/jp/auction/z9");

using TFiles = std::map<std::string, std::string>;

// The window set over a small file system of its own, holding the original
// data files.
struct TFaultWorld {
    void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    QStringList ListNames() const { return ItemTexts(form3->ListBox1); }
    QStringList TreeNames(int kind) const { return ::TreeNames(*form, kind); }

    testfiles::TTempDir dir;
    testfiles::TSmallFileSystem fileSystem;
    TFiles original;
    TRecordingReporter reporter;
    TLotscopeWindows windows;
    TForm1* form = nullptr;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;
    TForm4* form4 = nullptr;
    TForm5* form5 = nullptr;
};

// One dialog's OK (or the press that saves) as a record of what the test
// does with it.
struct TDialogStep {
    const char* Name;
    QWidget* (*Dialog)(const TFaultWorld&);
    // The file the Vanished fault takes away, and whether the step reads it
    // (and so must fail) rather than write it whole.
    const char* VanishingFile;
    bool ReadsVanishingFile;
    // Opens the dialog and makes a change in it, as a user would.
    void (*Prepare)(TFaultWorld&);
    void (*Press)(TFaultWorld&);
    // What the step keeps after a failed press, beyond the files.
    void (*CheckFailed)(TFaultWorld&);
    // The windows once the step went through; changes the expected files.
    void (*CheckDone)(TFaultWorld&, TFiles& expected);
};

void PrintTo(const TDialogStep& s, std::ostream* os) { *os << s.Name; }

// Both organizer steps start from deleting the first search word.
void DeleteFirstSearchWord(TFaultWorld& w)
{
    w.form->m_favedit->trigger();
    ASSERT_EQ(w.ListNames(), QStringList({"s1", "s2"}));
    QListWidgetItem* first = w.form3->ListBox1->item(0);
    QTest::mouseClick(w.form3->ListBox1->viewport(), Qt::LeftButton, {},
                      w.form3->ListBox1->visualItemRect(first).center());
    w.Click(w.form3->Button1);  // 削除
    ASSERT_EQ(w.ListNames(), QStringList{"s2"});
}

const TDialogStep kDialogSteps[] = {
    {"AddFavoriteOk", [](const TFaultWorld& w) -> QWidget* { return w.form4; }, "exhibit.ini", true,
     [](TFaultWorld& w) {
         w.form->Edit3->setFocus();
         QTest::keyClick(w.form->Edit3, Qt::Key_A, Qt::ControlModifier);
         QTest::keyClicks(w.form->Edit3, kItemAddress);
         w.Click(w.form->ToolButton4);
         ASSERT_EQ(w.form4->ComboBox1->currentText(), QStringLiteral("出品物"));
         ASSERT_EQ(w.form4->Edit1->text(), "z9");
     },
     [](TFaultWorld& w) { w.Click(w.form4->Button1); },
     [](TFaultWorld& w) { EXPECT_EQ(w.TreeNames(2), QStringList{"e1"}); },
     [](TFaultWorld& w, TFiles& expected) {
         expected["exhibit.ini"] += "z9," + kItemAddress.toStdString() + "\r\n";
         EXPECT_FALSE(w.form4->isVisible());
         EXPECT_TRUE(w.form->isEnabled());
         EXPECT_EQ(w.reporter.Messages, QStringList{QStringLiteral("お気に入りに「 z9 」を追加しました")});
         EXPECT_EQ(w.TreeNames(2), QStringList({"e1", "z9"}));
     }},
    {"OrganizerOk", [](const TFaultWorld& w) -> QWidget* { return w.form3; }, "username.ini", false,
     DeleteFirstSearchWord, [](TFaultWorld& w) { w.Click(w.form3->OK); },
     [](TFaultWorld& w) { EXPECT_EQ(w.ListNames(), QStringList{"s2"}); },
     [](TFaultWorld& w, TFiles& expected) {
         expected["search.ini"] = "s2,http://a.jp/2\r\n";
         EXPECT_FALSE(w.form3->isVisible());
         EXPECT_TRUE(w.form->isEnabled());
         EXPECT_EQ(w.TreeNames(0), QStringList{"s2"});
     }},
    {"OrganizerKindSwitch", [](const TFaultWorld& w) -> QWidget* { return w.form3; }, "exhibit.ini", false,
     DeleteFirstSearchWord, [](TFaultWorld& w) { w.Click(w.form3->Button5); },  // ユーザ
     [](TFaultWorld& w) {
         EXPECT_EQ(w.form3->Model().CurrentKind(), std::optional<TFavoriteKind>(fkSearchWord));
         EXPECT_EQ(w.ListNames(), QStringList{"s2"});
     },
     [](TFaultWorld& w, TFiles& expected) {
         expected["search.ini"] = "s2,http://a.jp/2\r\n";
         EXPECT_EQ(w.form3->Model().CurrentKind(), std::optional<TFavoriteKind>(fkUser));
         EXPECT_EQ(w.ListNames(), QStringList{"u1"});
         EXPECT_TRUE(w.form3->isVisible());
         w.Click(w.form3->Button7);  // キャンセル
         EXPECT_FALSE(w.form3->isVisible());
         EXPECT_TRUE(w.form->isEnabled());
     }},
    {"Registration", [](const TFaultWorld& w) -> QWidget* { return w.form2; }, "login.ini", false,
     [](TFaultWorld& w) {
         w.form->m_YahooID->trigger();
         ASSERT_EQ(w.form2->Edit1->text(), "taro");
         ASSERT_EQ(w.form2->Edit2->text().toStdString(), kPassword1);
         w.form2->Edit3->setFocus();
         QTest::keyClicks(w.form2->Edit3, "jiro");
         w.form2->Edit4->setFocus();
         QTest::keyClicks(w.form2->Edit4, QString::fromStdString(kPassword2));
     },
     [](TFaultWorld& w) { w.Click(w.form2->Button1); },  // 登録
     // The table and the selector already hold the new entry.
     [](TFaultWorld& w) { EXPECT_EQ(w.form->ComboBox1->itemText(1), "jiro"); },
     [](TFaultWorld& w, TFiles& expected) {
         EXPECT_FALSE(w.form2->isVisible());
         EXPECT_TRUE(w.form->isEnabled());
         TAccounts accounts;
         ReadAccounts(w.dir.path(), accounts);
         EXPECT_EQ(accounts[0].YahooId, "taro");
         EXPECT_EQ(DecryptPasswordText(accounts[0].PasswordText), kPassword1);
         EXPECT_EQ(accounts[1].YahooId, "jiro");
         EXPECT_EQ(DecryptPasswordText(accounts[1].PasswordText), kPassword2);
         EXPECT_EQ(accounts[2].YahooId, "");
         EXPECT_EQ(w.dir.Mode("login.ini"), 0600u);
         expected.erase("login.ini");
     }},
    {"OptionsOk", [](const TFaultWorld& w) -> QWidget* { return w.form5; }, "option.ini", false,
     [](TFaultWorld& w) {
         w.form->m_option->trigger();
         ASSERT_FALSE(w.form5->CheckBox3->isChecked());
         w.form5->CheckBox3->setFocus();
         QTest::keyClick(w.form5->CheckBox3, Qt::Key_Space);
         ASSERT_TRUE(w.form5->CheckBox3->isChecked());
     },
     [](TFaultWorld& w) { w.Click(w.form5->Button1); }, [](TFaultWorld& w) { EXPECT_EQ(w.form->BidRestraintFlag, 0); },
     [](TFaultWorld& w, TFiles& expected) {
         expected["option.ini"] = "0,1,1\r\n";
         EXPECT_FALSE(w.form5->isVisible());
         EXPECT_TRUE(w.form->isEnabled());
         EXPECT_EQ(w.form->BidRestraintFlag, 1);
     }},
};

class DialogOkFaults : public ::testing::TestWithParam<std::tuple<TFault, TDialogStep>>, protected TFaultWorld {
protected:
    TFault Fault() const { return std::get<0>(GetParam()); }
    const TDialogStep& Step() const { return std::get<1>(GetParam()); }

    void SetUp() override
    {
        const std::string why = fileSystem.Mount(dir.path(), "256k");
        if (!why.empty())
            GTEST_SKIP() << why;
        original = {
            {"search.ini", "s1,http://a.jp/1\r\ns2,http://a.jp/2\r\n"},
            {"username.ini", "u1,http://u.jp/1\r\n"},
            {"exhibit.ini", "e1,http://e.jp/1\r\n"},
            {"login.ini", "taro," + EncryptPasswordText(kPassword1) + "\r\n,\r\n,\r\n"},
            {"option.ini", "0,1,0\r\n"},
        };
        for (const auto& [name, bytes] : original)
            dir.Write(name, bytes);
        windows = CreateWindows(TEndpoints::Defaults(), std::make_unique<TFakeBrowser>(), reporter, dir.path());
        form = windows.Form1.get();
        form2 = static_cast<TForm2*>(windows.Form2());
        form3 = static_cast<TForm3*>(windows.Form3());
        form4 = static_cast<TForm4*>(windows.Form4());
        form5 = static_cast<TForm5*>(windows.Form5());
        form->show();
        ASSERT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
    }

    void Prepare()
    {
        ASSERT_NO_FATAL_FAILURE(Step().Prepare(*this));
        ASSERT_TRUE(Step().Dialog(*this)->isVisible());
        ASSERT_FALSE(form->isEnabled());
        ASSERT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
    }

    void CheckFailedState()
    {
        EXPECT_TRUE(Step().Dialog(*this)->isVisible());
        EXPECT_FALSE(form->isEnabled());
        EXPECT_TRUE(reporter.Messages.isEmpty()) << reporter.Messages.join("|").toStdString();
        EXPECT_EQ(TreeNames(0), QStringList({"s1", "s2"}));
        Step().CheckFailed(*this);
    }

    // The files and windows once the step went through.
    void CheckDone()
    {
        TFiles expected = original;
        Step().CheckDone(*this, expected);
        TFiles now = Snapshot(dir.path());
        if (!expected.count("login.ini"))
            now.erase("login.ini");
        EXPECT_EQ(now, expected);
    }
};

TEST_P(DialogOkFaults, ReportsAndKeepsEveryFile)
{
    ASSERT_NO_FATAL_FAILURE(Prepare());
    std::string expectedError;
    const fs::path filler = dir.path() / "filler";
    switch (Fault()) {
    case TFault::ReadOnly:
        ASSERT_TRUE(fileSystem.Remount(true)) << "errno " << errno;
        expectedError = filemsg::kAccessDenied;
        break;
    case TFault::Vanished:
        dir.Remove(Step().VanishingFile);
        // A file that cannot be read is named.
        expectedError = std::string(Step().VanishingFile) + ": " + filemsg::kFileNotFound;
        break;
    case TFault::DiskFull:
        ASSERT_TRUE(FillUp(filler));
        expectedError = filemsg::kDiskFull;
        break;
    }
    const TFiles before = Snapshot(dir.path());

    Step().Press(*this);
    if (Fault() == TFault::Vanished && !Step().ReadsVanishingFile) {
        // The step writes the file whole from what the dialog holds: the file
        // is back, nothing is lost, nothing to report.
        EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
        CheckDone();
        return;
    }
    EXPECT_EQ(reporter.Errors, QStringList{QString::fromUtf8(expectedError)});
    // Every file byte-for-byte as it was, and no file more or less.
    EXPECT_EQ(Snapshot(dir.path()), before);
    CheckFailedState();

    // The program goes on: once the fault is gone the same press succeeds.
    switch (Fault()) {
    case TFault::ReadOnly:
        ASSERT_TRUE(fileSystem.Remount(false)) << "errno " << errno;
        break;
    case TFault::Vanished:
        dir.Write(Step().VanishingFile, original.at(Step().VanishingFile));
        break;
    case TFault::DiskFull:
        fs::remove(filler);
        break;
    }
    reporter.Errors.clear();
    Step().Press(*this);
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
    CheckDone();
}

INSTANTIATE_TEST_SUITE_P(EveryDialog, DialogOkFaults,
                         ::testing::Combine(::testing::Values(TFault::ReadOnly, TFault::Vanished, TFault::DiskFull),
                                            ::testing::ValuesIn(kDialogSteps)),
                         [](const ::testing::TestParamInfo<std::tuple<TFault, TDialogStep>>& info) {
                             return std::string(FaultName(std::get<0>(info.param))) + "_" +
                                    std::get<1>(info.param).Name;
                         });

// ---- A save killed half-way ----

// The bytes of a favorites file, built here from the format (name "," URL
// CR LF), not by the program's writer.
std::string FileBytes(const TFavoriteList& list)
{
    std::string bytes;
    for (const TFavoriteEntry& e : list)
        bytes += e.Name + "," + e.Url + "\r\n";
    return bytes;
}

struct TSaveLoop {
    pid_t Pid = -1;
    int Out = -1;

    bool Start(const fs::path& dir)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        const std::string program = LOTSCOPE_SAVE_LOOP;
        const std::string arg = dir.string();
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(arg.c_str()), nullptr};
        const int rc = ::posix_spawn(&Pid, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        Out = fds[0];
        return rc == 0;
    }
    // Waits for the loop's "ready" line (its lists are built).
    bool Ready() const
    {
        char buffer[8] = {};
        size_t got = 0;
        while (got < 6) {
            const ssize_t n = ::read(Out, buffer + got, 6 - got);
            if (n <= 0)
                return false;
            got += static_cast<size_t>(n);
        }
        return std::string(buffer, 6) == "ready\n";
    }
    // Kills the loop; the wait status.
    int Kill()
    {
        ::kill(Pid, SIGKILL);
        int status = 0;
        ::waitpid(Pid, &status, 0);
        ::close(Out);
        return status;
    }
};

TEST(SaveKilled, FileIsTheOldOrTheNewVersionNeverAMix)
{
    testfiles::TTempDir dir;
    const TFavoriteList listA = SaveLoopList(0);
    const TFavoriteList listB = SaveLoopList(1);
    const std::string bytesA = FileBytes(listA);
    const std::string bytesB = FileBytes(listB);
    ASSERT_GT(bytesA.size(), 5u << 20);
    dir.Write("search.ini", bytesA);

    // How long one save of A takes here, to spread the kills over a few
    // saves (at least 10 ms).
    const auto t0 = std::chrono::steady_clock::now();
    WriteFavorites(dir.path(), fkSearchWord, listA);
    const auto save = std::max<std::chrono::steady_clock::duration>(std::chrono::steady_clock::now() - t0,
                                                                    std::chrono::milliseconds(10));
    ASSERT_EQ(dir.Read("search.ini"), bytesA);

    constexpr int kKills = 20;
    int seenA = 0, seenB = 0, killedMidSave = 0;
    for (int i = 0; i < kKills; ++i) {
        SCOPED_TRACE("kill " + std::to_string(i));
        TSaveLoop loop;
        ASSERT_TRUE(loop.Start(dir.path()));
        ASSERT_TRUE(loop.Ready());
        // From at once to about three saves in.
        std::this_thread::sleep_for(save * (i * 3) / kKills + std::chrono::microseconds(i * 137));
        const int status = loop.Kill();
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the loop ended by itself, status " << status;

        const std::string now = dir.Read("search.ini");
        if (now == bytesA) {
            ++seenA;
        } else if (now == bytesB) {
            ++seenB;
        } else {
            ADD_FAILURE() << "search.ini is neither version: " << now.size() << " bytes";
            continue;
        }
        // The program's reader takes it as it is.
        const TFavoriteList read = ReadFavorites(dir.path(), fkSearchWord);
        EXPECT_TRUE(read == listA || read == listB) << read.size() << " entries";

        // A kill during a save leaves its temporary file behind; it never
        // takes the file's name.
        for (const std::string& name : testfiles::Names(dir.path())) {
            if (name == "search.ini")
                continue;
            EXPECT_EQ(name.rfind(".search.ini.", 0), 0u) << name;
            ++killedMidSave;
            fs::remove(dir.path() / name);
        }
    }
    RecordProperty("seenA", seenA);
    RecordProperty("seenB", seenB);
    RecordProperty("killedMidSave", killedMidSave);
    std::printf("kills: %d, old/new: %d/%d, during a save: %d (one save: %lld ms)\n", kKills, seenA, seenB,
                killedMidSave,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(save).count()));
    // The kills met both versions and at least one save in progress.
    EXPECT_GT(seenB, 0);
    EXPECT_GT(killedMidSave, 0);
}

// ---- Start-up with a damaged data file ----

enum class TDamage { RandomBytes, Empty, TenMegabytes, Directory };

const char* DamageName(TDamage d)
{
    switch (d) {
    case TDamage::RandomBytes:
        return "RandomBytes";
    case TDamage::Empty:
        return "Empty";
    case TDamage::TenMegabytes:
        return "TenMegabytes";
    case TDamage::Directory:
        return "Directory";
    }
    return "?";
}

// 4 KiB from a fixed seed, rich in the bytes the readers care about: CR, LF,
// commas, NUL, Shift_JIS lead bytes and other high bytes; one 0x1A near the
// end.
std::string RandomBytes(unsigned seed)
{
    std::mt19937 rng(seed);
    std::string bytes(4096, '\0');
    const char special[] = {'\r', '\n', ',', '\0', '\x81', '\x82', '\x8C', '\xE0', '\xFC', '\xA0', '\xDF'};
    for (char& c : bytes) {
        const unsigned r = rng() % 100;
        if (r < 30)
            c = special[rng() % sizeof special];
        else {
            const unsigned v = rng() % 256;
            c = static_cast<char>(v == 0x1A ? 'x' : v);
        }
    }
    bytes[bytes.size() * 3 / 4] = '\x1A';
    return bytes;
}

// About 10 MiB of well-formed lines for the file.
std::string TenMegabytes(const std::string& file)
{
    std::string bytes;
    bytes.reserve(10u << 20);
    char line[160];
    for (int i = 0; bytes.size() < (10u << 20); ++i) {
        int n = 0;
        if (file == "option.ini")
            n = std::snprintf(line, sizeof line, "0,0,1\r\n");
        else if (file == "login.ini")
            n = std::snprintf(line, sizeof line, "id%07d,%s\r\n", i, i < 3 ? "" : "x");
        else
            n = std::snprintf(line, sizeof line, "big%07d,http://auctions.example.jp/jp/auction/b%07d?%070d\r\n", i, i,
                              i);
        bytes.append(line, static_cast<size_t>(n));
    }
    return bytes;
}

// The reading rules, written out here: a 0x1A ends the content, a line ends
// at a CR, an LF straight after it belongs to the line end.
std::vector<std::string> OracleLines(std::string content)
{
    content = content.substr(0, content.find('\x1A'));
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < content.size()) {
        const size_t cr = content.find('\r', pos);
        if (cr == std::string::npos) {
            lines.push_back(content.substr(pos));
            break;
        }
        lines.push_back(content.substr(pos, cr - pos));
        pos = cr + 1 + (cr + 1 < content.size() && content[cr + 1] == '\n');
    }
    return lines;
}

std::pair<std::string, std::string> OracleSplit(const std::string& line)
{
    const size_t comma = line.find(',');
    if (comma == std::string::npos)
        return {"", line};
    return {line.substr(0, comma), line.substr(comma + 1)};
}

std::optional<int> OracleInt(const std::string& text)
{
    size_t i = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
    if (i == text.size())
        return std::nullopt;
    long long v = 0;
    for (size_t k = i; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9' || v > 10000000000LL)
            return std::nullopt;
        v = v * 10 + (text[k] - '0');
    }
    if (text[0] == '-')
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

bool KnownMessage(QString message)
{
    // The runtime's message may follow the file's name, and its line.
    static const QRegularExpression named(QStringLiteral("\\A[a-z]+\\.ini(?: \\([0-9]+ 行目\\))?: "));
    message.remove(named);
    static const QRegularExpression notInteger(QStringLiteral("\\A'.*' は整数ではありません\\z"),
                                               QRegularExpression::DotMatchesEverythingOption);
    for (const char* known : {filemsg::kFileNotFound, filemsg::kInvalidFileName, filemsg::kTooManyOpenFiles,
                              filemsg::kAccessDenied, filemsg::kReadPastEnd, filemsg::kDiskFull, filemsg::kNotNumeric})
        if (message == QString::fromUtf8(known))
            return true;
    // A file beyond the limits is refused in a message naming it and the limit.
    static const QRegularExpression limit(
        QStringLiteral("\\A[a-z]+\\.ini (が上限の [0-9,]+ バイトを超えています|の行数が上限の [0-9,]+ 行を超えています|"
                       "に上限の [0-9,]+ バイトを超える行があります)\\z"));
    return notInteger.match(message).hasMatch() || limit.match(message).hasMatch();
}

void PrintTo(TDamage d, std::ostream* os) { *os << DamageName(d); }

class BadStartFile : public ::testing::TestWithParam<std::tuple<int, TDamage>> { };

TEST_P(BadStartFile, ErrorBoxOrSoundReadingNeverACrash)
{
    const std::string file = kDataFiles[static_cast<size_t>(std::get<0>(GetParam()))];
    const TDamage damage = std::get<1>(GetParam());
    testfiles::TTempDir dir;
    dir.Write("search.ini", "s1,http://a.jp/1\r\n");
    dir.Write("username.ini", "u1,http://u.jp/1\r\n");
    dir.Write("exhibit.ini", "e1,http://e.jp/1\r\n");
    dir.Write("login.ini", "taro,\r\n,\r\n,\r\n");
    dir.Write("option.ini", "0,1,0\r\n");
    std::string content;
    switch (damage) {
    case TDamage::RandomBytes:
        content = RandomBytes(20240611u + static_cast<unsigned>(file.size()));
        break;
    case TDamage::Empty:
        break;
    case TDamage::TenMegabytes:
        content = TenMegabytes(file);
        break;
    case TDamage::Directory:
        break;
    }
    dir.Remove(file);
    if (damage == TDamage::Directory) {
        fs::create_directory(dir.path() / file);
        testfiles::WriteBytes(dir.path() / file / "inside", "x");
    } else {
        dir.Write(file, content);
    }
    const auto before = Snapshot(dir.path());

    TRecordingReporter reporter;
    auto owned = std::make_unique<TFakeBrowser>();
    TFakeBrowser* browser = owned.get();
    TLotscopeWindows windows = CreateWindows(TEndpoints::Defaults(), std::move(owned), reporter, dir.path());
    TForm1& form = *windows.Form1;
    form.show();

    ASSERT_LE(reporter.Errors.size(), 1) << reporter.Errors.join("|").toStdString();
    if (damage == TDamage::Directory) {
        EXPECT_EQ(reporter.Errors, QStringList{QString::fromStdString(file + ": " + filemsg::kInvalidFileName)});
    } else if (!reporter.Errors.isEmpty()) {
        EXPECT_TRUE(KnownMessage(reporter.Errors.first())) << reporter.Errors.first().toStdString();
    }

    // With no error the reading must be the sound one.
    const std::vector<std::string> lines = OracleLines(content);
    if (reporter.Errors.isEmpty()) {
        if (file == "login.ini") {
            for (size_t k = 0; k < 3; ++k) {
                const auto [id, stored] =
                    k < lines.size() ? OracleSplit(lines[k]) : std::pair<std::string, std::string>{};
                EXPECT_EQ(form.Accounts[k].YahooId, id) << k;
                EXPECT_EQ(form.Accounts[k].PasswordText, stored) << k;
            }
            EXPECT_EQ(form.ComboBox1->count(), 3);
        } else if (file == "option.ini") {
            int flag = 0;
            bool sound = true;
            // Only the first line is read.
            const std::vector<std::string> used(lines.begin(), lines.begin() + (lines.empty() ? 0 : 1));
            for (const std::string& line : used) {
                const auto [a, rest] = OracleSplit(line);
                const auto [b, c] = OracleSplit(rest);
                const bool hasTwoCommas = line.find(',') != std::string::npos && rest.find(',') != std::string::npos;
                const auto third = OracleInt(c);
                if (!hasTwoCommas || !OracleInt(a) || !OracleInt(b) || !third) {
                    sound = false;
                    break;
                }
                flag = *third;
            }
            EXPECT_TRUE(sound) << "option.ini read without an error";
            EXPECT_EQ(form.BidRestraintFlag, flag);
        } else {
            const int kind = file == "search.ini" ? 0 : file == "username.ini" ? 1 : 2;
            const TFavoriteList& table = form.FavoriteTables[static_cast<size_t>(kind)];
            ASSERT_EQ(table.size(), lines.size());
            for (size_t i = 0; i < lines.size(); ++i) {
                const auto [name, url] = OracleSplit(lines[i]);
                ASSERT_EQ(table[i].Name, name) << i;
                ASSERT_EQ(table[i].Url, url) << i;
            }
            EXPECT_EQ(form.TreeView1->topLevelItem(kind)->childCount(), static_cast<int>(lines.size()));
        }
    }

    // The program goes on: every dialog opens and closes; whatever it says
    // is a proper error message.
    const std::pair<QAction*, QWidget*> dialogs[] = {{form.m_YahooID, windows.Form2()},
                                                     {form.m_favedit, windows.Form3()},
                                                     {form.m_favadd, windows.Form4()},
                                                     {form.m_option, windows.Form5()}};
    for (const auto& [action, dialog] : dialogs) {
        action->trigger();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(form.isEnabled());
        dialog->close();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_TRUE(form.isEnabled());
    }
    for (const QString& message : reporter.Errors)
        EXPECT_TRUE(KnownMessage(message)) << message.toStdString();
    // Reading and closing wrote nothing.
    EXPECT_EQ(Snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(EveryFile, BadStartFile,
                         ::testing::Combine(::testing::Range(0, 5),
                                            ::testing::Values(TDamage::RandomBytes, TDamage::Empty,
                                                              TDamage::TenMegabytes, TDamage::Directory)),
                         [](const ::testing::TestParamInfo<std::tuple<int, TDamage>>& info) {
                             std::string file = kDataFiles[static_cast<size_t>(std::get<0>(info.param))];
                             file.replace(file.find('.'), 1, "_");
                             return file + "_" + DamageName(std::get<1>(info.param));
                         });

}  // namespace
