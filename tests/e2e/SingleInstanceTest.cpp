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
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A shell command running the program in dir with home as its home (where
// the engine would keep its profile) and its output in log.
std::string ProgramCommand(const fs::path& dir, const fs::path& home, const fs::path& log,
                           const std::string& prefix = "")
{
    return "cd '" + dir.string() + "' && exec " + prefix + " env -u XDG_DATA_HOME -u XDG_CACHE_HOME HOME='" +
           home.string() + "' QT_LOGGING_RULES=lotscope.instance.info=true " LOTSCOPE_PROGRAM " >'" + log.string() +
           "' 2>&1";
}

// Whether done() comes true within the given seconds.
bool Within(int seconds, const std::function<bool()>& done)
{
    for (int tenths = 0; tenths < seconds * 10; ++tenths, std::this_thread::sleep_for(std::chrono::milliseconds(100)))
        if (done())
            return true;
    return false;
}

// Which of texts the log shows first, waiting at most the given seconds;
// empty when none comes.
std::string LogShows(const fs::path& log, std::initializer_list<std::string> texts, int seconds = 90)
{
    std::string shown;
    Within(seconds, [&] {
        for (const std::string& text : texts)
            if (fs::exists(log) && testfiles::ReadBytes(log).find(text) != std::string::npos)
                return !(shown = text).empty();
        return false;
    });
    return shown;
}

// Every name in dir with a regular file's bytes.
std::string Snapshot(const fs::path& dir)
{
    std::string all;
    for (const std::string& name : testfiles::Names(dir))
        all += name + "=" + (fs::is_regular_file(dir / name) ? testfiles::ReadBytes(dir / name) : "") + ";";
    return all;
}

// Starts the program in dir with the five files in the background; the
// copy is killed when the result goes.
std::shared_ptr<pid_t> StartCopy(const fs::path& dir, const fs::path& home, const fs::path& log)
{
    fs::create_directories(dir);
    for (const char* name : {"search.ini", "username.ini", "exhibit.ini", "login.ini", "option.ini"})
        if (!fs::exists(dir / name))
            testfiles::WriteBytes(dir / name, name == std::string("option.ini") ? "0,1,0\r\n" : "");
    std::string command = ProgramCommand(dir, home, log);
    char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), command.data(), nullptr};
    std::shared_ptr<pid_t> pid(new pid_t(-1), [](pid_t* p) {
        ::kill(*p, SIGKILL);
        ::waitpid(*p, nullptr, 0);
        delete p;
    });
    EXPECT_EQ(::posix_spawn(pid.get(), "/bin/sh", nullptr, nullptr, argv, environ), 0);
    return pid;
}

TEST(SingleInstance, LaterStartRaisesTheRunningCopyAndEnds)
{
    testfiles::TTempDir root;
    fs::create_directories(root / "home2");
    for (const std::string round : {"fresh folder", "after a killed copy"}) {
        const fs::path log = root / (round + ".log");
        const auto first = StartCopy(root / "data", root / "home1", log);
        // A copy that could not replace a dead copy's socket says so at once.
        ASSERT_EQ(LogShows(log, {"not taking requests", "taking requests"}), "taking requests") << round;

        const std::string before = Snapshot(root / "data");
        const std::string later = ProgramCommand(root / "data", root / "home2", root / "later.log", "timeout 5");
        ASSERT_EQ(std::system(later.c_str()), 0) << round;
        EXPECT_EQ(Snapshot(root / "data"), before) << round;
        EXPECT_TRUE(fs::is_empty(root / "home2")) << round;
        EXPECT_EQ(LogShows(log, {"brought to the front"}, 5), "brought to the front") << round;
    }
}

// The later start ends by itself, with status 1 and its reason, well within
// its command's time limit.
TEST(SingleInstance, StartThatCannotBeGuardedOrAnsweredEndsWithItsReason)
{
    const std::tuple<const char*, std::function<void(const fs::path&, pid_t)>, std::string> rows[] = {
        {"lock that cannot be opened", nullptr, ".lotscope.lock を開けないため"},
        {"frozen first copy", [](const fs::path&, pid_t first) { ::kill(first, SIGSTOP); }, "応答しません"},
        {"no socket under its name",
         [](const fs::path& dir, pid_t) {
             fs::remove(dir / ".lotscope.socket");
             testfiles::WriteBytes(dir / ".lotscope.socket", "");
         },
         "応答しません"},
    };
    for (const auto& [name, withFirstCopy, says] : rows) {
        testfiles::TTempDir root;
        std::shared_ptr<pid_t> first;
        if (withFirstCopy) {
            first = StartCopy(root / "data", root / "home", root / "first.log");
            ASSERT_EQ(LogShows(root / "first.log", {"taking requests"}), "taking requests") << name;
            withFirstCopy(root / "data", *first);
        } else {
            fs::create_directories(root / "data" / ".lotscope.lock");  // root opens any file
        }
        const int status =
            std::system(ProgramCommand(root / "data", root / "home", root / "later.log", "timeout 10").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << name << " " << status;
        EXPECT_NE(testfiles::ReadBytes(root / "later.log").find(says), std::string::npos) << name;
    }
}

TEST(SingleInstance, CopiesOnTwoFoldersKeepTwoEngineProfiles)
{
    testfiles::TTempDir root;
    const auto a = StartCopy(root / "a", root / "home", root / "a.log");
    const auto b = StartCopy(root / "b", root / "home", root / "b.log");
    for (const std::string name : {"a", "b"}) {
        ASSERT_EQ(LogShows(root / (name + ".log"), {"taking requests"}), "taking requests") << name;
        EXPECT_TRUE(Within(30, [&] { return fs::is_directory(root / name / "engine"); })) << name;
        EXPECT_EQ(LogShows(root / (name + ".log"), {"quota database", "File currently in use"}, 1), "") << name;
    }
    EXPECT_FALSE(fs::exists(root / "home" / ".local/share/lotscope")) << "the profile lives in the data folder";
}

}  // namespace
