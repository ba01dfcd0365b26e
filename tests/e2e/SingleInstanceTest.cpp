// One running copy per data folder, with real processes of the program: a
// later start asks the running copy to come to the front and ends at once
// with status 0, touching no file and creating no engine profile; a copy
// killed outright leaves nothing that stops the next start.
#include "app/LotscopeWindows.h"
#include "options/Unit5.h"
#include "support/FakeBrowser.h"
#include "support/RecordingReporter.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QTest>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The program started in dir, with home as its home (where the engine keeps
// its profile) and its output in log; killed at the end of the test unless
// it ended by itself.
class TProgram {
public:
    TProgram(const fs::path& dir, const fs::path& home, const fs::path& log)
    {
        std::vector<std::string> env = {"HOME=" + home.string(), "QT_QPA_PLATFORM=offscreen",
                                        "QT_LOGGING_RULES=lotscope.instance.info=true"};
        for (char** e = environ; *e; ++e) {
            const std::string var = *e;
            if (var.rfind("HOME=", 0) && var.rfind("XDG_", 0) && var.rfind("QT_QPA_PLATFORM=", 0) &&
                var.rfind("QT_LOGGING_RULES=", 0))
                env.push_back(var);
        }
        std::vector<char*> envp;
        for (std::string& var : env)
            envp.push_back(var.data());
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(LOTSCOPE_PROGRAM), nullptr};
        m_pid = ::fork();
        if (m_pid == 0) {
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (::chdir(dir.c_str()) == 0 && out >= 0 && ::dup2(out, 1) >= 0 && ::dup2(out, 2) >= 0)
                ::execve(LOTSCOPE_PROGRAM, argv, envp.data());
            ::_exit(127);
        }
    }
    ~TProgram() { Kill(); }

    // The exit status, or -1 when the program still runs after limit.
    int ExitStatus(std::chrono::seconds limit)
    {
        for (const auto end = Clock::now() + limit; m_pid > 0 && Clock::now() < end;) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }
    void Kill()
    {
        if (m_pid > 0 && ::kill(m_pid, SIGKILL) == 0)
            ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
};

bool LogSays(const fs::path& log, const std::string& text)
{
    for (const auto end = Clock::now() + std::chrono::seconds(90); Clock::now() < end;) {
        std::ifstream in(log, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::map<std::string, std::string> Snapshot(const fs::path& dir)
{
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& e : fs::directory_iterator(dir))
        entries[e.path().filename().string()] = e.is_regular_file() ? testfiles::ReadBytes(e.path()) : "<other>";
    return entries;
}

TEST(SingleInstance, LaterStartRaisesTheRunningCopyAndEnds)
{
    testfiles::TTempDir root;
    const fs::path data = root / "data";
    fs::create_directory(data);
    for (const char* name : {"search.ini", "username.ini", "exhibit.ini", "login.ini"})
        testfiles::WriteBytes(data / name, "");
    testfiles::WriteBytes(data / "option.ini", "0,1,0\r\n");
    // The second round starts after the first copy was killed.
    for (const std::string round : {"fresh folder", "after a killed copy"}) {
        const fs::path log = root / (round + ".log");
        TProgram first(data, root / "home1", log);
        ASSERT_TRUE(LogSays(log, "taking requests of later starts")) << round;
        const auto before = Snapshot(data);
        fs::create_directories(root / "home2");
        TProgram later(data, root / "home2", root / "later.log");
        EXPECT_EQ(later.ExitStatus(std::chrono::seconds(30)), 0) << round;
        EXPECT_EQ(Snapshot(data), before) << round;
        EXPECT_TRUE(fs::is_empty(root / "home2")) << round << ": the later start made an engine profile";
        EXPECT_TRUE(LogSays(log, "brought to the front")) << round;
        first.Kill();
    }
}

TEST(SingleInstance, FrontMeansRestoredAndTheOpenDialogFocused)
{
    testfiles::TTempDir dir;
    for (const char* name : {"search.ini", "username.ini", "exhibit.ini", "login.ini"})
        dir.Write(name, "");
    dir.Write("option.ini", "0,1,0\r\n");
    TRecordingReporter reporter;
    const TLotscopeWindows windows = CreateWindows(TEndpoints::Defaults(), new TFakeBrowser, reporter, dir.path());
    windows.Form1->show();
    windows.Form1->m_option->trigger();
    windows.Form1->showMinimized();
    BringToFront(windows);
    EXPECT_FALSE(windows.Form1->isMinimized());
    EXPECT_TRUE(windows.Form1->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(windows.Form5.get()));
}

}  // namespace
