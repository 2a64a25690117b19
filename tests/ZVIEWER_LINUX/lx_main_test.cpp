// The zviewer program as a user runs it: exit codes and messages.
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controller_sim.h"
#include "demo_controller.h"
#include "file_text.h"
#include "png_read.h"
#include "scoped_temp_dir.h"

namespace {

const std::string kProgram = std::string(ZV_BINARY_DIR) + "/ZVIEWER_LINUX/zviewer";

struct RUN_RESULT
{
    int iExit = -1;
    std::string sOut, sErr;
};

// extraEnv: NAME=value entries that replace the test's own.
RUN_RESULT RunProgram(const ScopedTempDir& dir, std::vector<std::string> args,
                      const std::vector<std::string>& extraEnv = {})
{
    RUN_RESULT r;
    const std::string out = dir / "out.txt", err = dir / "err.txt";
    args.insert(args.begin(), kProgram);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    // The child may only make plain system calls (the test has threads), so
    // its environment is made here.
    std::vector<std::string> env = extraEnv;
    env.push_back("XDG_CACHE_HOME=" + (dir / "cache"));
    for (char** e = environ; *e; ++e) {
        const char* pszEq = strchr(*e, '=');
        const size_t n = pszEq ? (size_t)(pszEq - *e) + 1 : strlen(*e);
        bool bReplaced = false;
        for (const std::string& mine : env)
            bReplaced = bReplaced || mine.compare(0, n, *e, n) == 0;
        if (!bReplaced)
            env.push_back(*e);
    }
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(&e[0]);
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fo = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int fe = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fo, 1);
        dup2(fe, 2);
        execve(kProgram.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        r.iExit = WEXITSTATUS(status);
    r.sOut = ReadFileText(out);
    r.sErr = ReadFileText(err);
    return r;
}

class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.ok());
        struct stat st;
        if (stat(kProgram.c_str(), &st) != 0)
            GTEST_SKIP() << "zviewer is not built: " << kProgram;
    }
    ScopedTempDir m_dir;
};

TEST_F(ProgramTest, BadCommandLinesExitWithTwoAndOneLine)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},
        {"--connect"},
        {"--connect", "nohost"},
        {"--headless"},
        {"--connect", "127.0.0.1:1", "--frames", "3"},
    };
    for (const auto& args : cases) {
        RUN_RESULT r = RunProgram(m_dir, args);
        EXPECT_EQ(2, r.iExit) << args[0];
        EXPECT_EQ(0, r.sErr.compare(0, 9, "zviewer: ")) << r.sErr;
        EXPECT_EQ(1, std::count(r.sErr.begin(), r.sErr.end(), '\n')) << r.sErr;
        EXPECT_TRUE(r.sOut.empty()) << r.sOut;
    }
}

TEST_F(ProgramTest, VersionAndHelp)
{
    RUN_RESULT r = RunProgram(m_dir, {"--version"});
    EXPECT_EQ(0, r.iExit);
    EXPECT_EQ(0, r.sOut.compare(0, 8, "zviewer ")) << r.sOut;
    r = RunProgram(m_dir, {"--help"});
    EXPECT_EQ(0, r.iExit);
    EXPECT_NE(std::string::npos, r.sOut.find("--connect HOST:PORT")) << r.sOut;
}

// The whole program headless: exit 0 and a PNG; a dead port: exit 3.
TEST_F(ProgramTest, HeadlessScreenshotAndConnectFailure)
{
    CControllerSim sim;
    sim.SetPassword("pw");
    ASSERT_EQ(1, sim.Start(0));
    const std::string port = std::to_string(sim.Port());
    RUN_RESULT r = RunProgram(m_dir, {"--connect", "127.0.0.1:" + port, "--password", "pw", "--headless",
                                      "--screenshot", m_dir / "s.png", "--wait-ms", "300"});
    EXPECT_EQ(0, r.iExit) << r.sErr;
    struct stat st;
    EXPECT_EQ(0, stat((m_dir / "s.png").c_str(), &st));
    EXPECT_GT(st.st_size, 0);
    sim.Stop();

    r = RunProgram(m_dir, {"--connect", "127.0.0.1:" + port, "--headless", "--screenshot", m_dir / "t.png"});
    EXPECT_EQ(3, r.iExit);
    EXPECT_NE(std::string::npos, r.sErr.find("cannot connect to 127.0.0.1:" + port)) << r.sErr;
    EXPECT_NE(0, stat((m_dir / "t.png").c_str(), &st));
}

// Without a display the connect window cannot open: one line and exit 7.
TEST_F(ProgramTest, ConnectWindowWithoutDisplay)
{
    RUN_RESULT r = RunProgram(m_dir, {}, {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=x11",
                                          "XDG_CONFIG_HOME=" + (m_dir / "config")});
    EXPECT_EQ(7, r.iExit) << r.sErr;
    EXPECT_EQ(0, r.sErr.compare(0, 9, "zviewer: ")) << r.sErr;
    EXPECT_EQ(1, std::count(r.sErr.begin(), r.sErr.end(), '\n')) << r.sErr;
}

// --demo runs the built-in demo controller: headless, its first page is
// what the screenshot shows.
TEST_F(ProgramTest, DemoRunsHeadless)
{
    const std::string shot = m_dir / "demo.png";
    RUN_RESULT r = RunProgram(m_dir, {"--demo", "--headless", "--screenshot", shot, "--wait-ms", "1500"});
    ASSERT_EQ(0, r.iExit) << r.sErr;
    PNG_RGB png;
    ASSERT_TRUE(ReadPNGFile(shot, &png));
    int x = 0, y = 0;
    unsigned int uRooms = 0;
    ASSERT_EQ(1, CDemoController::PageProbe(0, &x, &y, &uRooms));
    EXPECT_EQ(uRooms, png.At(x, y));
}

}  // namespace
