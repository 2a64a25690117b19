// The connect page without a window: a fake host, a fake locator peer and
// the simulated controller, all on loopback.
#include "connectpage.h"

#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "controller_sim.h"
#include "loopback_port.h"
#include "rvcomm.h"
#include "rvserver.h"
#include "scoped_temp_dir.h"
#include "udp_responder.h"

namespace {

const uint32_t kLoopback = CUdpResponder::LoopbackIP();

uint32_t IPv4(unsigned char a, unsigned char b, unsigned char c, unsigned char d)
{
    const unsigned char bytes[4] = {a, b, c, d};
    uint32_t ip;
    memcpy(&ip, bytes, 4);
    return ip;
}

// A locator answer: 40 bytes, as a controller sends it.
std::vector<unsigned char> Answer(const char* pszName, uint32_t dwIP, uint16_t wPort, uint8_t byType = 1,
                                  uint8_t bySubType = 0x20)
{
    std::vector<unsigned char> b(40, 0);
    const uint32_t code = RVT_PINGA_CODE;
    memcpy(&b[0], &code, 4);
    memcpy(&b[4], &dwIP, 4);
    memcpy(&b[8], &wPort, 2);
    b[10] = byType;
    b[11] = bySubType;
    strncpy(reinterpret_cast<char*>(&b[12]), pszName, 27);
    return b;
}

struct VIEWER_OPENED
{
    std::string sName;
    int iSessionID;
    bool operator==(const VIEWER_OPENED& o) const { return sName == o.sName && iSessionID == o.iSessionID; }
};

std::ostream& operator<<(std::ostream& os, const VIEWER_OPENED& v)
{
    return os << "\"" << v.sName << "\" session " << v.iSessionID;
}

class CFakeHost : public CConnectPageHost
{
public:
    int OpenViewer(const std::string& sSystemName, int iSessionID) override
    {
        opened.push_back({sSystemName, iSessionID});
        return bOpenOk;
    }
    void CloseViewer() override { ++iClosed; }
    void BringToFront() override { ++iFront; }
    void HideWindow() override { ++iHidden; }
    void Wake() override { ++iWakes; }
    int StartDemo(uint16_t* pPort) override
    {
        ++iDemoStarts;
        if (!bDemoOk)
            return 0;
        if (!pDemo) {
            pDemo.reset(new CControllerSim);
            pDemo->SetPassword(CConnectPage::DEMO_PASSWORD);
            pDemo->SetSystemName("Corvin Demo");
            pDemo->SetSessionID(9);
            if (!pDemo->Start(0))
                return 0;
        }
        *pPort = pDemo->Port();
        return 1;
    }

    std::vector<VIEWER_OPENED> opened;
    int bOpenOk = 1;
    int bDemoOk = 1;
    int iClosed = 0;
    int iFront = 0;
    int iHidden = 0;
    std::atomic<int> iWakes{0};
    int iDemoStarts = 0;
    std::unique_ptr<CControllerSim> pDemo;
};

class ConnectPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.ok());
        ASSERT_TRUE(m_locator.Ok());
        ASSERT_EQ(1, CRVComm::InitInstance(m_dir.path()));
        m_sim.SetPassword("s3cret");
        m_sim.SetSystemName("Lake House");
        m_sim.SetSessionID(7);
        m_sim.SetWrongPasswordReply(29);
        ASSERT_EQ(1, m_sim.Start(0));
    }
    void TearDown() override
    {
        m_pPage.reset();            // joins the connect thread before the session goes
        CRVComm::ReleaseInstance();
        m_sim.Stop();
    }

    std::string SettingsPath() const { return m_dir / "settings"; }

    // The page, with its locator pointed at the fake peer; its first tick
    // sends a query, so the peer knows where to answer.
    void MakePage()
    {
        m_pPage.reset(new CConnectPage(&m_host, SettingsPath(), kLoopback, m_locator.Port()));
        m_pPage->OnSearchTimer();
        ASSERT_FALSE(m_locator.Drain(200).empty());
    }

    // The peer answers with these records; the next tick takes them.
    void Announce(const std::vector<std::vector<unsigned char>>& answers)
    {
        m_locator.Drain(0);
        for (const auto& a : answers)
            ASSERT_TRUE(m_locator.Reply(a));
        m_pPage->OnSearchTimer();
    }

    std::vector<std::string> Rows() const { return m_pPage->Snapshot(m_pPage->Now()).rows; }

    // Waits for the connect thread's verdict.
    int WaitForResult()
    {
        for (int i = 0; i < 1500 && m_pPage->ConnectionState() == CConnectPage::STATE_CONNECTING; ++i)
            usleep(10 * 1000);
        return m_pPage->ConnectionState();
    }

    std::string SimAddress() const { return "127.0.0.1:" + std::to_string(m_sim.Port()); }

    // Connects to the simulated controller by its address and takes the
    // result on the next tick, as the window's timer does.
    void ConnectToSimAndTick()
    {
        m_pPage->OnNameEdited(SimAddress());
        m_pPage->OnPasswordEdited("s3cret");
        m_pPage->Connect();
        ASSERT_EQ(CConnectPage::STATE_CONNECTED, WaitForResult());
        m_pPage->OnSearchTimer();
    }

    ScopedTempDir m_dir;
    CUdpResponder m_locator;
    CFakeHost m_host;
    CControllerSim m_sim;
    std::unique_ptr<CConnectPage> m_pPage;
};

TEST_F(ConnectPageTest, SavedNameAndTheDemoPassword)
{
    struct
    {
        const char* pszFile;      // the settings file, null for none
        const char* pszName;
        const char* pszPassword;
    } const cases[] = {
        {nullptr, "Corvin Demo", "8Vorx%?"},
        {"RVUserName=Lake House\n", "Lake House", ""},
        {"RVUserName=Corvin Demo\n", "Corvin Demo", "8Vorx%?"},
        {"garbage without a separator\n\x01\x02", "Corvin Demo", "8Vorx%?"},
    };
    for (const auto& c : cases) {
        unlink(SettingsPath().c_str());
        if (c.pszFile)
            std::ofstream(SettingsPath()) << c.pszFile;
        MakePage();
        EXPECT_EQ(m_pPage.get(), CConnectPage::g_pInstance);
        EXPECT_EQ(c.pszName, m_pPage->Name()) << (c.pszFile ? c.pszFile : "(no file)");
        EXPECT_EQ(c.pszPassword, m_pPage->Password()) << (c.pszFile ? c.pszFile : "(no file)");
        EXPECT_FALSE(m_pPage->StatusVisible());
        m_pPage.reset();
        EXPECT_EQ(nullptr, CConnectPage::g_pInstance);
    }

    // The name typed is saved; the password never is.
    MakePage();
    m_pPage->OnNameEdited("Kitchen");
    m_pPage->OnPasswordEdited("hunter2");
    m_pPage->SaveSettings();
    std::stringstream file;
    file << std::ifstream(SettingsPath()).rdbuf();
    EXPECT_NE(std::string::npos, file.str().find("RVUserName=Kitchen\n"));
    EXPECT_EQ(std::string::npos, file.str().find("hunter2"));
    m_pPage.reset();
    MakePage();
    EXPECT_EQ("Kitchen", m_pPage->Name());
    EXPECT_EQ("", m_pPage->Password());
}

TEST_F(ConnectPageTest, OnlyCompatibleSystemsAreListedOncePerAddress)
{
    MakePage();
    Announce({
        Answer("Kitchen", IPv4(127, 0, 0, 2), 5020),
        Answer("Camera", IPv4(127, 0, 0, 3), 5020, 2),
        Answer("Kind 3", IPv4(127, 0, 0, 4), 5020, 3),
        Answer("Kind 4", IPv4(127, 0, 0, 5), 5020, 4),
        Answer("Kind 5", IPv4(127, 0, 0, 6), 5020, 5, 0x20),
        Answer("Refuses viewers", IPv4(127, 0, 0, 7), 5020, 1, 0x30),
        Answer("Unmarked", IPv4(127, 0, 0, 8), 5020, 1, 0x00),
        Answer("Other flags", IPv4(127, 0, 0, 9), 5020, 6, 0x21),
        Answer("Kitchen again", IPv4(127, 0, 0, 2), 5021),   // same address: the same controller
    });
    EXPECT_EQ((std::vector<std::string>{"Kitchen", "Other flags"}), Rows());
    Announce({Answer("Kitchen", IPv4(127, 0, 0, 2), 5020)});
    EXPECT_EQ((std::vector<std::string>{"Kitchen", "Other flags"}), Rows());
}

// About 3.5 s: a controller that stops answering goes within 2.5 s plus a
// tick; one that keeps answering stays, and the selection follows its name.
TEST_F(ConnectPageTest, SilentSystemsExpireAnsweringOnesStay)
{
    MakePage();
    const auto start = std::chrono::steady_clock::now();
    Announce({Answer("Attic", IPv4(127, 0, 0, 2), 5020), Answer("Basement", IPv4(127, 0, 0, 3), 5020)});
    ASSERT_EQ((std::vector<std::string>{"Attic", "Basement"}), Rows());
    m_pPage->OnRowSelected(1);
    ASSERT_EQ(1, m_pPage->SelectedRow());

    double dElapsed = 0;
    while (dElapsed < 3.1) {
        usleep(CConnectPage::SEARCH_INTERVAL_MS * 1000);
        Announce({Answer("Basement", IPv4(127, 0, 0, 3), 5020)});
        dElapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // Each answer refreshes the row: it never drops out in between.
        const std::vector<std::string> rows = Rows();
        ASSERT_NE(rows.end(), std::find(rows.begin(), rows.end(), "Basement")) << "at " << dElapsed << " s";
        if (dElapsed < 2.3) {
            ASSERT_EQ(2u, Rows().size()) << "at " << dElapsed << " s";
        }
    }
    EXPECT_EQ((std::vector<std::string>{"Basement"}), Rows());
    EXPECT_EQ(0, m_pPage->SelectedRow());
    EXPECT_EQ("Basement", m_pPage->Name());
}

TEST_F(ConnectPageTest, RowsAndTheNameFieldFollowEachOther)
{
    MakePage();
    Announce({Answer("Kitchen", IPv4(127, 0, 0, 2), 5020), Answer("Garage", IPv4(127, 0, 0, 3), 5020)});
    ASSERT_EQ(2u, Rows().size());
    EXPECT_EQ(-1, m_pPage->SelectedRow());

    m_pPage->OnRowSelected(1);
    EXPECT_EQ("Garage", m_pPage->Name());
    EXPECT_EQ("", m_pPage->Password());        // the demo password does not go to another system
    m_pPage->OnPasswordEdited("pw");
    m_pPage->OnRowSelected(1);                 // the same name again keeps the password
    EXPECT_EQ("pw", m_pPage->Password());

    struct
    {
        const char* pszTyped;
        int iWant;
    } const typed[] = {{"Kitchen", 0}, {"kitchen", -1}, {"Kitch", -1}, {"Garage", 1}, {"", -1}};
    for (const auto& t : typed) {
        m_pPage->OnNameEdited(t.pszTyped);
        EXPECT_EQ(t.iWant, m_pPage->SelectedRow()) << t.pszTyped;
        EXPECT_EQ(t.pszTyped, m_pPage->Name());
    }
    m_pPage->SelectLocalSystem("Kitchen");
    EXPECT_EQ(0, m_pPage->SelectedRow());
    for (int iBad : {2, -1, 100}) {
        m_pPage->OnRowSelected(iBad);
        EXPECT_EQ(-1, m_pPage->SelectedRow()) << iBad;
    }
}

TEST_F(ConnectPageTest, EachWayOfConnectingLaunchesTheViewer)
{
    MakePage();
    struct
    {
        const char* pszHow;
        std::function<void()> fill;
        VIEWER_OPENED want;
    } const cases[] = {
        {"the fields as they come", [] {}, {"Corvin Demo", 9}},
        {"a row", [this] {
             Announce({Answer("Lake House", kLoopback, m_sim.Port())});
             m_pPage->OnRowSelected(0);
             m_pPage->OnPasswordEdited("s3cret");
         }, {"Lake House", 7}},
        {"host:port", [this] {
             m_pPage->OnNameEdited(SimAddress());
             m_pPage->OnPasswordEdited("s3cret");
         }, {"Lake House", 7}},
    };
    for (const auto& c : cases) {
        c.fill();
        const int iFront = m_host.iFront;
        m_pPage->Connect();
        EXPECT_FALSE(m_pPage->ControlsEnabled()) << c.pszHow;
        EXPECT_TRUE(m_pPage->Busy()) << c.pszHow;
        EXPECT_TRUE(m_pPage->StatusVisible()) << c.pszHow;
        ASSERT_EQ(CConnectPage::STATE_CONNECTED, WaitForResult()) << c.pszHow << ": " << m_pPage->Status();
        EXPECT_EQ("Connection Successful", m_pPage->Status());

        m_pPage->OnSearchTimer();
        EXPECT_EQ(CConnectPage::STATE_VIEWING, m_pPage->ConnectionState()) << c.pszHow;
        ASSERT_FALSE(m_host.opened.empty());
        EXPECT_EQ(c.want, m_host.opened.back()) << c.pszHow;
        EXPECT_TRUE(m_pPage->ViewerOpen());
        EXPECT_TRUE(m_pPage->ControlsEnabled());
        EXPECT_FALSE(m_pPage->Busy());

        // The session ends: the viewer closes and the page comes back.
        CRVComm::Disconnect();
        const int iClosed = m_host.iClosed;
        m_pPage->OnSearchTimer();
        EXPECT_EQ(CConnectPage::STATE_IDLE, m_pPage->ConnectionState()) << c.pszHow;
        EXPECT_EQ(iClosed + 1, m_host.iClosed) << c.pszHow;
        EXPECT_EQ(iFront + 1, m_host.iFront) << c.pszHow;
        EXPECT_FALSE(m_pPage->ViewerOpen());
    }
    EXPECT_EQ(3, m_host.iHidden);
    EXPECT_EQ(1, m_host.iDemoStarts);

    // The demo button puts the demo's name and password back.
    m_pPage->OnNameEdited("Somewhere Else");
    m_pPage->TryDemo();
    ASSERT_EQ(CConnectPage::STATE_CONNECTED, WaitForResult()) << m_pPage->Status();
    EXPECT_EQ("Corvin Demo", m_pPage->Name());
    m_pPage->OnSearchTimer();
    EXPECT_EQ((VIEWER_OPENED{"Corvin Demo", 9}), m_host.opened.back());

    // The successful name is saved.
    std::stringstream file;
    file << std::ifstream(SettingsPath()).rdbuf();
    EXPECT_EQ("RVUserName=Corvin Demo\n", file.str());
}

TEST_F(ConnectPageTest, FailuresEndInStateTwoWithTheReasonVisible)
{
    const unsigned short wDead = UnusedLoopbackPort();
    ASSERT_NE(0, wDead);
    MakePage();
    Announce({Answer("Lake House", kLoopback, m_sim.Port())});
    struct
    {
        const char* pszHow;
        std::function<void()> fill;
        std::string sWant;
    } const cases[] = {
        {"nobody listens", [&] {
             m_pPage->OnNameEdited("127.0.0.1:" + std::to_string(wDead));
             m_pPage->OnPasswordEdited("s3cret");
         }, "Connection Failed: cannot connect to 127.0.0.1:" + std::to_string(wDead)},
        {"wrong password, host:port", [this] {
             m_pPage->OnNameEdited(SimAddress());
             m_pPage->OnPasswordEdited("wrong");
         }, "Connection Failed: Password Rejected"},
        {"wrong password, row", [this] {
             m_pPage->OnRowSelected(0);
             m_pPage->OnPasswordEdited("wrong");
         }, "Connection Failed: Password Rejected"},
        {"remote name", [this] {
             m_pPage->OnNameEdited("Holiday Flat");
             m_pPage->OnPasswordEdited("s3cret");
         }, "Remote access is not available in this build"},
        {"demo does not start", [this] {
             m_host.bDemoOk = 0;
             m_pPage->OnNameEdited(CConnectPage::DEMO_NAME);
         }, "Connection Failed: the demo controller did not start"},
    };
    for (const auto& c : cases) {
        c.fill();
        m_pPage->Connect();
        ASSERT_EQ(CConnectPage::STATE_FAILED, WaitForResult()) << c.pszHow;
        EXPECT_EQ(c.sWant, m_pPage->Status()) << c.pszHow;
        EXPECT_EQ(0, CRVComm::Connected()) << c.pszHow;
        m_pPage->OnSearchTimer();
        EXPECT_EQ(CConnectPage::STATE_IDLE, m_pPage->ConnectionState()) << c.pszHow;
        EXPECT_TRUE(m_pPage->ControlsEnabled()) << c.pszHow;
        EXPECT_FALSE(m_pPage->Busy()) << c.pszHow;
        EXPECT_TRUE(m_pPage->StatusVisible()) << c.pszHow;
        EXPECT_EQ(c.sWant, m_pPage->Status()) << c.pszHow;
    }
    EXPECT_TRUE(m_host.opened.empty());
    EXPECT_GT(m_host.iWakes.load(), 0);
}

TEST_F(ConnectPageTest, AViewerThatCannotOpenLeavesNoSessionBehind)
{
    MakePage();
    m_host.bOpenOk = 0;
    ASSERT_NO_FATAL_FAILURE(ConnectToSimAndTick());
    EXPECT_EQ(CConnectPage::STATE_IDLE, m_pPage->ConnectionState());
    EXPECT_EQ("ERROR: Can't create client session", m_pPage->Status());
    EXPECT_EQ(0, CRVComm::Connected());
    EXPECT_EQ(0, m_host.iHidden);
    EXPECT_FALSE(m_pPage->ViewerOpen());
}

TEST_F(ConnectPageTest, TheControllerDroppingTheLinkBringsThePageBack)
{
    MakePage();
    ASSERT_NO_FATAL_FAILURE(ConnectToSimAndTick());
    ASSERT_EQ(CConnectPage::STATE_VIEWING, m_pPage->ConnectionState());

    // Still connected: nothing happens.
    m_pPage->OnSearchTimer();
    EXPECT_EQ(CConnectPage::STATE_VIEWING, m_pPage->ConnectionState());
    EXPECT_EQ(0, m_host.iClosed);

    // The viewer's socket thread would notice the drop by pumping.
    m_sim.Disconnect();
    int r = 0;
    for (int i = 0; i < 100 && r != 2; ++i)
        r = g_pRVServer->RunMessagePump(50);
    ASSERT_EQ(2, r);
    testing::internal::CaptureStdout();
    m_pPage->OnSearchTimer();
    const std::string sOut = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, sOut.find("Connection Closed\n"));
    EXPECT_EQ(CConnectPage::STATE_IDLE, m_pPage->ConnectionState());
    EXPECT_EQ(1, m_host.iClosed);
    EXPECT_TRUE(m_pPage->SearchTimerRunning());
}

TEST_F(ConnectPageTest, ClosingTheViewerOrTheConnectWindow)
{
    MakePage();
    ASSERT_NO_FATAL_FAILURE(ConnectToSimAndTick());
    ASSERT_EQ(CConnectPage::STATE_VIEWING, m_pPage->ConnectionState());

    // A second launch replaces the viewer that is still held.
    testing::internal::CaptureStdout();
    EXPECT_EQ(1, m_pPage->LaunchViewer());
    std::string sOut = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, sOut.find("ERROR: ViewWindow already exists\n"));
    EXPECT_EQ(1, m_host.iClosed);
    EXPECT_EQ(2u, m_host.opened.size());

    const int iFront = m_host.iFront;
    CRVComm::Disconnect();      // what the host's shutdown does
    testing::internal::CaptureStdout();
    m_pPage->OnViewerWindowClosed();
    sOut = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, sOut.find("Viewer Window Closed...\n"));
    EXPECT_EQ(iFront + 1, m_host.iFront);
    EXPECT_EQ(CConnectPage::STATE_IDLE, m_pPage->ConnectionState());
    EXPECT_FALSE(m_pPage->ViewerOpen());
    // The next tick searches again instead of closing the viewer once more.
    m_pPage->OnSearchTimer();
    EXPECT_EQ(1, m_host.iClosed);

    testing::internal::CaptureStdout();
    EXPECT_TRUE(m_pPage->OnConnectWindowClosed());
    EXPECT_EQ("Terminating...\n", testing::internal::GetCapturedStdout());
}

TEST_F(ConnectPageTest, ControlsFadeOutWhileConnectingAndBackAfter)
{
    MakePage();
    double dClock = 100.0;
    m_pPage->SetClock([&dClock] { return dClock; });
    EXPECT_DOUBLE_EQ(1.0, m_pPage->ControlsOpacity(dClock));

    m_pPage->OnNameEdited("Holiday Flat");     // remote: fails at once in this build
    m_pPage->Connect();
    EXPECT_FALSE(m_pPage->ControlsEnabled());
    const struct
    {
        double dAfter;
        double dWant;
    } fadeOut[] = {{0.0, 1.0}, {0.25, 0.75}, {0.5, 0.5}, {3.0, 0.5}};
    for (const auto& f : fadeOut)
        EXPECT_NEAR(f.dWant, m_pPage->ControlsOpacity(100.0 + f.dAfter), 1e-9) << f.dAfter;

    // Edits while disabled change nothing.
    m_pPage->OnNameEdited("Typed meanwhile");
    EXPECT_EQ("Holiday Flat", m_pPage->Name());
    m_pPage->Connect();

    ASSERT_EQ(CConnectPage::STATE_FAILED, WaitForResult());
    // The result is taken halfway through the fade: it turns back from 0.75.
    dClock = 100.25;
    m_pPage->OnSearchTimer();
    EXPECT_TRUE(m_pPage->ControlsEnabled());
    const struct
    {
        double dAfter;
        double dWant;
    } fadeIn[] = {{0.0, 0.75}, {0.25, 0.875}, {0.5, 1.0}, {2.0, 1.0}};
    for (const auto& f : fadeIn)
        EXPECT_NEAR(f.dWant, m_pPage->ControlsOpacity(100.25 + f.dAfter), 1e-9) << f.dAfter;
    const CONNECT_PAGE_VIEW view = m_pPage->Snapshot(100.5);
    EXPECT_NEAR(0.875, view.dOpacity, 1e-9);
    EXPECT_TRUE(view.bEnabled);
    EXPECT_EQ(CConnectPage::STATE_IDLE, view.iState);
}

TEST(ConnectPage, ParseHostPort)
{
    struct
    {
        const char* pszText;
        bool bWant;
        const char* pszHost;
        uint16_t wPort;
    } const cases[] = {
        {"10.0.0.5:5020", true, "10.0.0.5", 5020},
        {"controller.lan:1", true, "controller.lan", 1},
        {"my-host:65535", true, "my-host", 65535},
        {"host:65536", false, "", 0},
        {"host:0", false, "", 0},
        {"host:", false, "", 0},
        {":5020", false, "", 0},
        {"host:50a", false, "", 0},
        {"host:+50", false, "", 0},
        {"host:000080", false, "", 0},
        {"Lake House:5020", false, "", 0},    // a system name, not an address
        {"Corvin Demo", false, "", 0},
        {"a:b:5020", false, "", 0},
        {"", false, "", 0},
    };
    for (const auto& c : cases) {
        std::string sHost = "";
        uint16_t wPort = 0;
        EXPECT_EQ(c.bWant, CConnectPage::ParseHostPort(c.pszText, &sHost, &wPort)) << c.pszText;
        EXPECT_EQ(c.pszHost, sHost) << c.pszText;
        EXPECT_EQ(c.wPort, wPort) << c.pszText;
    }
}

}  // namespace
