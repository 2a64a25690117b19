// The program's direct-connect path end to end against the simulated
// controller on loopback, drawing offscreen.
#include "lx_directconnect.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "controller_sim.h"
#include "headless_options.h"
#include "loopback_port.h"
#include "png_read.h"
#include "scoped_temp_dir.h"

namespace {

// Sends what the program writes to stderr into a file for the scope's life.
class CStderrCapture
{
public:
    explicit CStderrCapture(const std::string& sPath) : m_sPath(sPath)
    {
        fflush(stderr);
        m_iSaved = dup(2);
        const int fd = open(sPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        close(fd);
    }
    ~CStderrCapture() { Restore(); }
    std::string Text()
    {
        Restore();
        std::ifstream in(m_sPath);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

private:
    void Restore()
    {
        if (m_iSaved < 0)
            return;
        fflush(stderr);
        dup2(m_iSaved, 2);
        close(m_iSaved);
        m_iSaved = -1;
    }
    std::string m_sPath;
    int m_iSaved = -1;
};

class DirectConnectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.ok());
        m_sim.SetPassword("s3cret");
        m_sim.SetSystemName("Lake House");
        // A wrong response gets an answer at once instead of the 10 s silence.
        m_sim.SetWrongPasswordReply(29);
        ASSERT_EQ(1, m_sim.Start(0));
    }
    void TearDown() override { m_sim.Stop(); }

    LX_OPTIONS Options(const char* pszPassword)
    {
        LX_OPTIONS o;
        o.eAction = LX_ACTION_CONNECT;
        o.sHost = "127.0.0.1";
        o.wPort = m_sim.Port();
        o.sPassword = pszPassword;
        o.bHeadless = true;
        o.sCacheDir = m_dir / "cache";
        return o;
    }

    // One run with o; *pErr gets what the program wrote to stderr meanwhile.
    LX_EXIT_CODE RunCapturingStderr(const LX_OPTIONS& o, std::string* pErr)
    {
        CStderrCapture capture(m_dir / "stderr.txt");
        LX_EXIT_CODE code = LxRunDirectConnect(o);
        *pErr = capture.Text();
        return code;
    }

    ScopedTempDir m_dir;
    CControllerSim m_sim;
};

// The root surface's colour as the controller sets it (message 20117 for
// surface 0: two colours as bytes, then the corner radius).
void SendRootColour(CControllerSim& sim, unsigned int uColour)
{
    CRVMSG msg(0, 20117, 0, 1);
    msg.PutInt(0);
    msg.PutColorBYTE(uColour);
    msg.PutColorBYTE(uColour);
    msg.PutBYTE(0);
    sim.Send(msg);
}

TEST_F(DirectConnectTest, HeadlessScreenshotOfTheSession)
{
    // Right after answering the session start, paint the screen.
    m_sim.SetFrameHook([](CControllerSim& sim, const CRVMSG& frame) {
        if (frame.MessageID() == 20000)
            SendRootColour(sim, 0x3366CC);
    });
    LX_OPTIONS o = Options("s3cret");
    o.sScreenshot = m_dir / "shot.png";
    o.iFrames = 2;
    o.iWaitMs = 3000;
    ASSERT_EQ(LX_EXIT_OK, LxRunDirectConnect(o));

    PNG_RGB png;
    ASSERT_TRUE(ReadScreenshot(o.sScreenshot, &png));
    // The whole screen shows the root's colour, corners included.
    for (int probe : {0, (288 * 1024 + 512) * 3, (int)png.rgb.size() - 3}) {
        EXPECT_EQ(0x33, png.rgb[probe]) << "at byte " << probe;
        EXPECT_EQ(0x66, png.rgb[probe + 1]) << "at byte " << probe;
        EXPECT_EQ(0xCC, png.rgb[probe + 2]) << "at byte " << probe;
    }

    // What the controller saw: the login of a viewer with this machine's facts,
    // the session start for a 1024 x 576 screen in both orientations.
    SIM_LOGIN login;
    ASSERT_TRUE(m_sim.GetLastLogin(&login));
    EXPECT_TRUE(login.bAccepted);
    EXPECT_EQ(0, login.iClientType);
    EXPECT_EQ(22, login.iPlatformType);
    EXPECT_EQ(login.strInfo[0], login.strInfo[1]);   // hardware ID twice
    SIM_SESSION_START start;
    ASSERT_TRUE(m_sim.GetLastSessionStart(&start));
    EXPECT_EQ(20000, start.sMessageID);
    EXPECT_EQ(0, start.iSessionID);
    EXPECT_EQ(1024, start.iWidth0);
    EXPECT_EQ(576, start.iHeight0);
    EXPECT_EQ(1024, start.iWidth1);
    EXPECT_EQ(576, start.iHeight1);
    EXPECT_EQ(135, start.iScaleX);
    EXPECT_EQ(1, m_sim.CountFrames(8058));
    // The run closed the link when it ended.
    EXPECT_TRUE(m_sim.WaitDisconnected(2000));
}

TEST_F(DirectConnectTest, WrongPasswordIsALoginFailure)
{
    std::string err;
    EXPECT_EQ(LX_EXIT_LOGIN, RunCapturingStderr(Options("wrong"), &err));
    EXPECT_NE(std::string::npos, err.find("Password Rejected")) << err;
    EXPECT_EQ(0, m_sim.CountFrames(20000));
}

TEST_F(DirectConnectTest, NobodyListeningIsAConnectFailure)
{
    LX_OPTIONS o = Options("s3cret");
    o.wPort = UnusedLoopbackPort();
    ASSERT_NE(0, o.wPort);
    std::string err;
    EXPECT_EQ(LX_EXIT_CONNECT, RunCapturingStderr(o, &err));
    EXPECT_NE(std::string::npos, err.find("cannot connect to 127.0.0.1:" + std::to_string(o.wPort))) << err;
    EXPECT_EQ(1, std::count(err.begin(), err.end(), '\n')) << err;
}

// The link drops while the session runs: the run ends on its own with its
// own exit code instead of showing a dead screen.
TEST_F(DirectConnectTest, LostLinkEndsTheRun)
{
    std::string err;
    std::future<LX_EXIT_CODE> run;
    {
        CStderrCapture capture(m_dir / "stderr.txt");
        LX_OPTIONS o = Options("s3cret");
        run = std::async(std::launch::async, [o] { return LxRunDirectConnect(o); });
        EXPECT_NE(nullptr, m_sim.WaitFor(20000, 5000));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        m_sim.Disconnect();
        if (run.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << "the run did not notice the lost link";
            m_sim.Stop();   // no listener either: the run must end now
        }
        err = capture.Text();
    }
    EXPECT_EQ(LX_EXIT_CONNECTION_LOST, run.get());
    EXPECT_NE(std::string::npos, err.find("Connection lost")) << err;
}

// The controller ends the session (20169): a normal end, said in one line.
TEST_F(DirectConnectTest, ControllerEndsTheSession)
{
    m_sim.SetFrameHook([](CControllerSim& sim, const CRVMSG& frame) {
        if (frame.MessageID() == 20000) {
            CRVMSG end(0, 20169, 0, 1);
            sim.Send(end);
        }
    });
    std::string err;
    EXPECT_EQ(LX_EXIT_OK, RunCapturingStderr(Options("s3cret"), &err));
    EXPECT_NE(std::string::npos, err.find("the controller ended the session")) << err;
    EXPECT_TRUE(m_sim.WaitDisconnected(2000));
}

}  // namespace
