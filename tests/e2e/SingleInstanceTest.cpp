// One running copy per data folder, with real processes of the program: a
// later start brings the running copy to the front and ends with status 0,
// touching no file and making no engine profile (its home stays empty); a
// copy killed outright leaves nothing that stops the next start. A start
// that cannot be guarded or answered ends with a message; copies on two
// folders run side by side, each with its engine profile in its folder.
#include "support/TestFiles.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A shell command running the program in dir with home as its home (where
// the engine would keep its profile) and its output in log.
std::string ProgramCommand(const fs::path& dir, const fs::path& home, const fs::path& log,
                           const std::string& prefix = "")
{
    return "cd '" + dir.string() + "' && exec " + prefix + " env -u XDG_DATA_HOME -u XDG_CACHE_HOME HOME='" +
           home.string() + "' QT_LOGGING_RULES=lotscope.instance.info=true " LOTSCOPE_PROGRAM " >'" +
           log.string() + "' 2>&1";
}

// Which of texts the log shows first, waiting at most the given seconds;
// empty when none comes.
std::string LogShows(const fs::path& log, std::initializer_list<std::string> texts, int seconds = 90)
{
    for (int tenths = 0; tenths < seconds * 10; ++tenths, std::this_thread::sleep_for(std::chrono::milliseconds(100)))
        for (const std::string& text : texts)
            if (fs::exists(log) && testfiles::ReadBytes(log).find(text) != std::string::npos)
                return text;
    return {};
}

// Whether done() comes true within 30 seconds.
bool WaitUntil(const std::function<bool()>& done)
{
    for (int tenths = 0; tenths < 300; ++tenths, std::this_thread::sleep_for(std::chrono::milliseconds(100)))
        if (done())
            return true;
    return false;
}

// Every name in dir with a regular file's bytes.
std::string Snapshot(const fs::path& dir)
{
    std::string all;
    for (const std::string& name : testfiles::Names(dir))
        all += name + "=" + (fs::is_regular_file(dir / name) ? testfiles::ReadBytes(dir / name) : "") + ";";
    return all;
}

// A copy of the program running in the background; killed at the end.
class TRunningCopy {
public:
    TRunningCopy(const fs::path& dir, const fs::path& home, const fs::path& log)
    {
        std::string command = ProgramCommand(dir, home, log);
        char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), command.data(), nullptr};
        EXPECT_EQ(::posix_spawn(&m_pid, "/bin/sh", nullptr, nullptr, argv, environ), 0);
    }
    ~TRunningCopy()
    {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
};

void WriteDataFiles(const fs::path& dir)
{
    fs::create_directories(dir);
    for (const char* name : {"search.ini", "username.ini", "exhibit.ini", "login.ini", "option.ini"})
        testfiles::WriteBytes(dir / name, name == std::string("option.ini") ? "0,1,0\r\n" : "");
}

TEST(SingleInstance, LaterStartRaisesTheRunningCopyAndEnds)
{
    testfiles::TTempDir root;
    WriteDataFiles(root / "data");
    fs::create_directories(root / "home2");
    for (const std::string round : {"fresh folder", "after a killed copy"}) {
        const fs::path log = root / (round + ".log");
        const TRunningCopy first(root / "data", root / "home1", log);
        // A copy that could not replace a dead copy's socket says so at once.
        ASSERT_EQ(LogShows(log, {"not taking requests", "taking requests"}), "taking requests") << round;

        const std::string before = Snapshot(root / "data");
        const std::string later =
            ProgramCommand(root / "data", root / "home2", root / "later.log", "timeout 5");
        ASSERT_EQ(std::system(later.c_str()), 0) << round;
        EXPECT_EQ(Snapshot(root / "data"), before) << round;
        EXPECT_TRUE(fs::is_empty(root / "home2")) << round;
        EXPECT_EQ(LogShows(log, {"brought to the front"}, 5), "brought to the front") << round;
    }
}

// The later start ends by itself, with status 1 and its reason, well within
// the time limit of its command.
TEST(SingleInstance, StartThatCannotBeGuardedOrAnsweredEndsWithItsReason)
{
    struct Row {
        const char* name;
        bool firstCopy;
        std::function<void(const fs::path& dir, pid_t first)> then;
        std::string says;
    };
    const Row rows[] = {
        {"lock that cannot be opened", false, [](const fs::path& dir, pid_t) { fs::create_directory(dir / ".lotscope.lock"); },
         ".lotscope.lock を開けないため"},
        {"frozen first copy", true, [](const fs::path&, pid_t first) { ::kill(first, SIGSTOP); }, "応答しません"},
        {"no socket under its name", true,
         [](const fs::path& dir, pid_t) {
             fs::remove(dir / ".lotscope.socket");
             testfiles::WriteBytes(dir / ".lotscope.socket", "");
         },
         "応答しません"},
    };
    for (const Row& row : rows) {
        testfiles::TTempDir root;
        WriteDataFiles(root / "data");
        std::optional<TRunningCopy> first;
        if (row.firstCopy) {
            first.emplace(root / "data", root / "home", root / "first.log");
            ASSERT_EQ(LogShows(root / "first.log", {"taking requests"}), "taking requests") << row.name;
        }
        row.then(root / "data", first ? first->Pid() : -1);
        const std::string later = ProgramCommand(root / "data", root / "home", root / "later.log", "timeout 10");
        const int status = std::system(later.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << row.name << " " << status;
        EXPECT_NE(testfiles::ReadBytes(root / "later.log").find(row.says), std::string::npos) << row.name;
    }
}

TEST(SingleInstance, CopiesOnTwoFoldersKeepTwoEngineProfiles)
{
    testfiles::TTempDir root;
    WriteDataFiles(root / "a");
    WriteDataFiles(root / "b");
    const TRunningCopy a(root / "a", root / "home", root / "a.log"), b(root / "b", root / "home", root / "b.log");
    for (const char* name : {"a", "b"}) {
        const fs::path log = root / (std::string(name) + ".log");
        ASSERT_EQ(LogShows(log, {"taking requests"}), "taking requests") << name;
        EXPECT_TRUE(WaitUntil([&] { return fs::is_directory(root / name / "engine"); })) << name;
        EXPECT_EQ(LogShows(log, {"quota database", "File currently in use"}, 1), "") << name;
    }
    EXPECT_FALSE(fs::exists(root / "home" / ".local/share/lotscope")) << "the profile lives in the data folder";
}

}  // namespace
