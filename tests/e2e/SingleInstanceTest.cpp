// One running copy per data folder, with real processes of the program: a
// later start brings the running copy to the front and ends with status 0,
// touching no file and making no engine profile (its home stays empty); a
// copy killed outright leaves nothing that stops the next start.
#include "support/TestFiles.h"

#include <csignal>
#include <gtest/gtest.h>
#include <memory>
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

// Every name in dir with a regular file's bytes.
std::string Snapshot(const fs::path& dir)
{
    std::string all;
    for (const std::string& name : testfiles::Names(dir))
        all += name + "=" + (fs::is_regular_file(dir / name) ? testfiles::ReadBytes(dir / name) : "") + ";";
    return all;
}

TEST(SingleInstance, LaterStartRaisesTheRunningCopyAndEnds)
{
    testfiles::TTempDir root;
    fs::create_directories(root / "data");
    fs::create_directories(root / "home2");
    for (const char* name : {"search.ini", "username.ini", "exhibit.ini", "login.ini", "option.ini"})
        testfiles::WriteBytes(root / "data" / name, name == std::string("option.ini") ? "0,1,0\r\n" : "");
    for (const std::string round : {"fresh folder", "after a killed copy"}) {
        const fs::path log = root / (round + ".log");
        std::string command = ProgramCommand(root / "data", root / "home1", log);
        char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), command.data(), nullptr};
        pid_t first = -1;
        ASSERT_EQ(::posix_spawn(&first, "/bin/sh", nullptr, nullptr, argv, environ), 0);
        const std::unique_ptr<pid_t, void (*)(pid_t*)> killer(&first, [](pid_t* pid) {
            ::kill(*pid, SIGKILL);
            ::waitpid(*pid, nullptr, 0);
        });
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

}  // namespace
