// The zcontroller-sim program: options, the printed port, the script per
// connection and --once.
#include "sim_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

const std::string kProgram = std::string(ZV_BINARY_DIR) + "/tools/controller_sim/zcontroller-sim";

// The program started with these arguments, stdout and stderr read through pipes.
class CSimProcess
{
public:
    explicit CSimProcess(const std::vector<std::string>& args)
    {
        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], 1);
            dup2(err[1], 2);
            close(out[0]);
            close(err[0]);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(kProgram.c_str()));
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(kProgram.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        m_out = fdopen(out[0], "r");
        m_err = err[0];
    }
    ~CSimProcess()
    {
        if (m_pid > 0 && !m_bReaped) {
            kill(m_pid, SIGTERM);
            Wait(5000);
        }
        if (m_out)
            fclose(m_out);
        if (m_err >= 0)
            close(m_err);
    }

    // The port from "zcontroller-sim listening on 127.0.0.1:PORT"; 0 if none.
    unsigned short ReadPort()
    {
        char line[256];
        if (!m_out || !fgets(line, sizeof line, m_out))
            return 0;
        unsigned int port = 0;
        if (sscanf(line, "zcontroller-sim listening on 127.0.0.1:%u", &port) != 1)
            return 0;
        return (unsigned short)port;
    }

    // The exit status within ms, -1 if it is still running.
    int Wait(int ms)
    {
        for (int i = 0; i < ms / 10; i++) {
            int status;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_bReaped = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            usleep(10000);
        }
        return -1;
    }

    std::string Stderr()
    {
        std::string s;
        char buffer[4096];
        fcntl(m_err, F_SETFL, O_NONBLOCK);
        ssize_t n;
        while ((n = read(m_err, buffer, sizeof buffer)) > 0)
            s.append(buffer, (size_t)n);
        return s;
    }

private:
    pid_t m_pid = -1;
    bool m_bReaped = false;
    FILE* m_out = nullptr;
    int m_err = -1;
};

class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        struct stat st;
        if (stat(kProgram.c_str(), &st) != 0)
            GTEST_SKIP() << kProgram << " is not built";
    }
};

TEST_F(ProgramTest, LoginScriptAndOnce)
{
    char path[] = "/tmp/zv_sim_cli_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const char text[] = "wait 20000 5000\n20114 0 i:42\n";
    ASSERT_EQ((ssize_t)strlen(text), write(fd, text, strlen(text)));
    close(fd);

    CSimProcess sim({"--port", "0", "--password", "pw", "--challenge", "chal",
                     "--session-id", "77", "--script", path, "--once"});
    unsigned short port = sim.ReadPort();
    ASSERT_NE(0, port);

    CTestViewer v;
    ASSERT_TRUE(v.Connect(port));
    ASSERT_TRUE(v.Send(1, SIM_MSG_GET_CHALLENGE));
    TestFrame f;
    ASSERT_TRUE(v.ReadFrameID(SIM_MSG_CHALLENGE, &f));
    size_t off = 0;
    EXPECT_EQ("chal", ReadString(f, &off));
    CRVMSG login(2, SIM_MSG_LOGIN, 0, 1);
    BuildLogin(login, ExpectedResponse("pw", "chal"));
    ASSERT_TRUE(v.Send(login));
    ASSERT_TRUE(v.ReadFrameID(SIM_MSG_LOGIN_OK, &f));
    ASSERT_TRUE(v.Send(3, SIM_MSG_INIT_SESSION, Bytes(52, 0)));
    ASSERT_TRUE(v.ReadFrameID(SIM_MSG_INIT_SESSION_REPLY, &f));
    EXPECT_EQ(77, ReadInt(f, 0));
    ASSERT_TRUE(v.ReadFrameID(20114, &f));
    EXPECT_EQ(42, ReadInt(f, 0));
    v.Close();
    EXPECT_EQ(0, sim.Wait(5000)) << sim.Stderr();
    unlink(path);
}

TEST_F(ProgramTest, BadArgumentsAndScriptsAreRefused)
{
    char path[] = "/tmp/zv_sim_cli_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const char text[] = "sleep 10\nbogus line\n";
    ASSERT_EQ((ssize_t)strlen(text), write(fd, text, strlen(text)));
    close(fd);
    struct Case
    {
        std::vector<std::string> args;
        const char* fragment;
    } cases[] = {
        {{"--port", "70000"}, "bad --port"},
        {{"--port"}, "needs a value"},
        {{"--frobnicate", "1"}, "unknown option"},
        {{"--script", path}, "line 2: expected a message ID"},
        {{"--script", "/nonexistent/script"}, "cannot open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fragment);
        CSimProcess sim(c.args);
        EXPECT_EQ(2, sim.Wait(5000));
        EXPECT_NE(std::string::npos, sim.Stderr().find(c.fragment));
    }
    unlink(path);
}

}  // namespace
