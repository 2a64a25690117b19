// zcontroller-sim --demo: the demo panel served by the program.
#include <gtest/gtest.h>

#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <string>

#include "demo_controller.h"
#include "sim_fixture.h"

namespace {

const std::string kProgram = std::string(ZV_BINARY_DIR) + "/tools/controller_sim/zcontroller-sim";

// The program's exit code, or -1; `timeout` ends a run that hangs.
int ExitCode(FILE* p)
{
    const int status = pclose(p);
    return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class DemoProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        struct stat st;
        if (stat(kProgram.c_str(), &st) != 0)
            GTEST_SKIP() << kProgram << " is not built";
    }
};

TEST_F(DemoProgram, ServesThePanelWithTheDemoPassword)
{
    FILE* p = popen(("timeout 20 " + kProgram + " --demo --once --keepalive 0").c_str(), "r");
    ASSERT_NE(nullptr, p);
    char line[256] = "";
    unsigned int port = 0;
    ASSERT_NE(nullptr, fgets(line, sizeof line, p));
    ASSERT_EQ(1, sscanf(line, "zcontroller-sim listening on 127.0.0.1:%u", &port)) << line;
    {
        CTestViewer v;
        ASSERT_TRUE(v.Connect((unsigned short)port));
        ASSERT_TRUE(Login(v, CDemoController::Password()));
        ASSERT_TRUE(v.Send(5, SIM_MSG_GET_SYSTEM_NAME));
        TestFrame f;
        ASSERT_TRUE(v.ReadFrameID(SIM_MSG_SYSTEM_NAME, &f));
        size_t off = 8;
        EXPECT_EQ("Corvin Demo", ReadString(f, &off));
        ASSERT_TRUE(v.Send(0, SIM_MSG_INIT_SESSION, Bytes(52, 0)));
        EXPECT_TRUE(v.ReadFrameID(20114, &f, 3000));
    }
    // --once: the end of the connection ends the program.
    EXPECT_EQ(0, ExitCode(p));
}

TEST_F(DemoProgram, RefusesAScript)
{
    FILE* p = popen(("timeout 20 " + kProgram + " --demo --script /dev/null 2>&1").c_str(), "r");
    ASSERT_NE(nullptr, p);
    std::string out;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, p))
        out += buffer;
    EXPECT_EQ(2, ExitCode(p));
    EXPECT_NE(std::string::npos, out.find("--demo and --script cannot be combined")) << out;
}

}  // namespace
