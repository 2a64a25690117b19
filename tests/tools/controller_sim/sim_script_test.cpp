// The script format: lines to frames, errors with their line numbers, and
// running a script against a connected client.
#include "sim_fixture.h"

#include <stdio.h>

#include <thread>

namespace {

Bytes Hdr(short sSender, short sID, unsigned int uLength)
{
    Bytes b(8);
    RVT_HEADER h{sSender, sID, uLength};
    memcpy(b.data(), &h, 8);
    return b;
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(SimScript, LinesBecomeTheseBytes)
{
    struct Case
    {
        const char* line;
        Bytes frame;
    } cases[] = {
        {"20114 0", Hdr(0, 20114, 0)},
        {"20114 3 i:5", Cat({Hdr(3, 20114, 4), {5, 0, 0, 0}})},
        {"  20114\t3   i:5   # trailing comment", Cat({Hdr(3, 20114, 4), {5, 0, 0, 0}})},
        {"20114 0 i:-1 i:0xFFFFFFFF i:4294967295",
         Cat({Hdr(0, 20114, 12), Bytes(12, 0xFF)})},
        {"20120 0x7FFF b:1 b:255 b:-1 w:300 w:-2",
         Cat({Hdr(0x7FFF, 20120, 7), {1, 0xFF, 0xFF, 0x2C, 0x01, 0xFE, 0xFF}})},
        // Nothing is aligned: an int after a byte starts at an odd offset.
        {"1 0 b:7 i:1", Cat({Hdr(0, 1, 5), {7, 1, 0, 0, 0}})},
        {"20114 0 s:\"abc\"", Cat({Hdr(0, 20114, 8), {3, 0, 0, 0, 'a', 'b', 'c', 0}})},
        {"20114 0 s:\"Living room\"",
         Cat({Hdr(0, 20114, 16), {11, 0, 0, 0, 'L', 'i', 'v', 'i', 'n', 'g', ' ', 'r', 'o', 'o', 'm', 0}})},
        {"20114 0 s:\"\"", Cat({Hdr(0, 20114, 4), {0, 0, 0, 0}})},
        {"20114 0 s:\"a#b\"", Cat({Hdr(0, 20114, 8), {3, 0, 0, 0, 'a', '#', 'b', 0}})},
        {"20114 0 s:\"q\\\"\\\\\\n\\x01\"",
         Cat({Hdr(0, 20114, 12), {5, 0, 0, 0, 'q', '"', '\\', '\n', 1, 0, 0, 0}})},
        // UTF-8 in the script: Latin-1 characters fit an 8-bit string.
        {"20114 0 s:\"K\xc3\xbc\"", Cat({Hdr(0, 20114, 8), {2, 0, 0, 0, 'K', 0xFC, 0, 0}})},
        {"20114 0 u:\"abc\"",
         Cat({Hdr(0, 20114, 12), {6, 0, 0, 0x80, 'a', 0, 'b', 0, 'c', 0, 0, 0}})},
        {"20114 0 u:\"\"", Cat({Hdr(0, 20114, 4), {0, 0, 0, 0x80}})},
        {"20114 0 u:\"\xe2\x98\x83\\u00e9\"",
         Cat({Hdr(0, 20114, 8), {4, 0, 0, 0x80, 0x03, 0x26, 0xE9, 0}})},
        {"20114 0 c:0xFF8800",
         Cat({Hdr(0, 20114, 12), {0xFF, 0, 0, 0, 0x88, 0, 0, 0, 0, 0, 0, 0}})},
        {"20114 0 cb:0xFF8800", Cat({Hdr(0, 20114, 3), {0xFF, 0x88, 0}})},
        {"20114 0 r:10,20,300,40",
         Cat({Hdr(0, 20114, 16), {10, 0, 0, 0, 20, 0, 0, 0, 0x2C, 1, 0, 0, 40, 0, 0, 0}})},
        {"20114 0 r:-1,0,0,0", Cat({Hdr(0, 20114, 16), {0xFF, 0xFF, 0xFF, 0xFF}, Bytes(12, 0)})},
        {"20114 0 sr:10,-20,300,40", Cat({Hdr(0, 20114, 8), {10, 0, 0xEC, 0xFF, 0x2C, 1, 40, 0}})},
        {"20114 0 x:0102ab", Cat({Hdr(0, 20114, 3), {1, 2, 0xAB}})},
        {"20114 0 d:0102ab b:9", Cat({Hdr(0, 20114, 5), {1, 2, 0xAB, 0, 9}})},
        {"20114 0 i:5 s:\"Living room\" b:1 w:300 c:0xFF8800 r:10,20,300,40",
         Cat({Hdr(0, 20114, 51),
              {5, 0, 0, 0},
              {11, 0, 0, 0, 'L', 'i', 'v', 'i', 'n', 'g', ' ', 'r', 'o', 'o', 'm', 0},
              {1},
              {0x2C, 1},
              {0xFF, 0, 0, 0, 0x88, 0, 0, 0, 0, 0, 0, 0},
              {10, 0, 0, 0, 20, 0, 0, 0, 0x2C, 1, 0, 0, 40, 0, 0, 0}})},
        // Message IDs above 32767 are written as their 16-bit pattern.
        {"65535 -1", Hdr(-1, -1, 0)},
        {"raw 0102 03 ff", {1, 2, 3, 0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        CSimScript script;
        ASSERT_EQ(1, script.Parse(std::string(c.line))) << script.Error();
        ASSERT_EQ(1u, script.Steps().size());
        EXPECT_EQ(c.frame, script.Steps()[0].frame);
        EXPECT_EQ(1, script.Steps()[0].iLine);
    }
}

TEST(SimScript, DirectivesAndLineNumbers)
{
    const char* text =
        "# a demo page\n"
        "\n"
        "sleep 250\r\n"
        "wait 20201\n"
        "wait 20000 500  # time-out\n"
        "chunk 3 10\n"
        "close\n"
        "   \t\n"
        "20169 0";
    CSimScript script;
    ASSERT_EQ(1, script.Parse(std::string(text))) << script.Error();
    const std::vector<SIM_SCRIPT_STEP>& s = script.Steps();
    ASSERT_EQ(6u, s.size());
    EXPECT_EQ(SIM_STEP_SLEEP, s[0].eKind);
    EXPECT_EQ(250u, s[0].uValue);
    EXPECT_EQ(3, s[0].iLine);
    EXPECT_EQ(SIM_STEP_WAIT, s[1].eKind);
    EXPECT_EQ(20201u, s[1].uValue);
    EXPECT_EQ(SIM_SCRIPT_WAIT_MS, s[1].uTimeoutMs);
    EXPECT_EQ(500u, s[2].uTimeoutMs);
    EXPECT_EQ(SIM_STEP_CHUNK, s[3].eKind);
    EXPECT_EQ(3u, s[3].uValue);
    EXPECT_EQ(10u, s[3].uTimeoutMs);
    EXPECT_EQ(SIM_STEP_CLOSE, s[4].eKind);
    EXPECT_EQ(SIM_STEP_SEND, s[5].eKind);
    EXPECT_EQ(9, s[5].iLine);
}

TEST(SimScript, ErrorsNameTheLineAndTheProblem)
{
    struct Case
    {
        std::string text;
        int iLine;
        const char* fragment;
    } cases[] = {
        {"20114 0\nhello", 2, "expected a message ID"},
        {"20114", 1, "sender ID"},
        {"20114 0 i:", 1, "bad value 'i:'"},
        {"20114 0 i:12x", 1, "bad value 'i:12x'"},
        {"20114 0 i:4294967296", 1, "bad value"},
        {"20114 0 b:256", 1, "bad value"},
        {"20114 0 w:65536", 1, "bad value"},
        {"20114 0 c:0x1000000", 1, "bad value"},
        {"20114 0 r:1,2,3", 1, "bad value 'r:1,2,3'"},
        {"20114 0 r:1,2,3,4,5", 1, "bad value"},
        {"20114 0 sr:1,2,3,40000", 1, "bad value"},
        {"20114 0 x:123", 1, "bad value"},
        {"20114 0 x:zz", 1, "bad value"},
        {"20114 0 z:1", 1, "unknown value type 'z:'"},
        {"20114 0 5", 1, "expected TYPE:VALUE"},
        {"# ok\n\n20114 0 s:\"open", 3, "unterminated string"},
        {"20114 0 s:abc", 1, "must start with"},
        {"20114 0 s:\"a\"b", 1, "blank must follow"},
        {"20114 0 s:\"\\q\"", 1, "unknown escape"},
        {"20114 0 s:\"\\x1\"", 1, "two hex digits"},
        {"20114 0 u:\"\\ud800\"", 1, "surrogate"},
        {"20114 0 s:\"\xe2\x98\x83\"", 1, "use u:"},
        {"20114 0 u:\"\xf0\x9f\x98\x80\"", 1, "up to U+FFFF"},
        {"20114 0 s:\"\xc3\"", 1, "not valid UTF-8"},
        {"20114 0 s:\"" + std::string(20000, 'a') + "\"", 1, "string too long"},
        {"70000 0", 1, "expected a message ID"},
        {"20114 70000", 1, "sender ID"},
        {"sleep", 1, "sleep needs"},
        {"sleep -5", 1, "sleep needs"},
        {"sleep 100 200", 1, "unexpected '200' after sleep"},
        {"wait", 1, "wait needs"},
        {"wait 20201 soon", 1, "bad wait time-out"},
        {"raw", 1, "raw needs"},
        {"raw 0g", 1, "bad hex"},
        {"chunk", 1, "chunk needs"},
        {"close now", 1, "unexpected 'now'"},
        {"20114 0 " + std::string(SIM_SCRIPT_MAX_LINE, ' '), 1, "line longer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        CSimScript script;
        EXPECT_EQ(0, script.Parse(c.text));
        EXPECT_EQ(c.iLine, script.ErrorLine());
        EXPECT_EQ(0, script.Error().find("line " + std::to_string(c.iLine) + ": ")) << script.Error();
        EXPECT_NE(std::string::npos, script.Error().find(c.fragment)) << script.Error();
        EXPECT_TRUE(script.Steps().empty());
    }
}

TEST(SimScript, LargestMessageFitsAndOneByteMoreIsAnError)
{
    CSimScript script;
    ASSERT_EQ(1, script.Parse("20114 0 x:" + std::string(2 * RV_MAX_MSG_DATA, 'a'))) << script.Error();
    EXPECT_EQ(RV_MAX_MSG_DATA + 8, script.Steps()[0].frame.size());
    EXPECT_EQ(0, script.Parse("20114 0 x:" + std::string(2 * RV_MAX_MSG_DATA, 'a') + " b:1"));
    EXPECT_EQ("line 1: message longer than 1000000 bytes", script.Error());
}

TEST(SimScript, FilesAreReadAndMissingOnesReported)
{
    char path[] = "/tmp/zv_sim_script_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const char text[] = "20114 0 i:1\nsleep 5\n";
    ASSERT_EQ((ssize_t)strlen(text), write(fd, text, strlen(text)));
    close(fd);
    CSimScript script;
    EXPECT_EQ(1, script.ParseFile(path)) << script.Error();
    EXPECT_EQ(2u, script.Steps().size());
    unlink(path);
    EXPECT_EQ(0, script.ParseFile(path));
    EXPECT_NE(std::string::npos, script.Error().find("cannot open")) << script.Error();
}

TEST_F(SimTest, ScriptRunsAgainstTheViewer)
{
    CSimScript script;
    ASSERT_EQ(1, script.Parse(std::string("20114 0 i:1\n"
                                          "wait 20201 3000\n"
                                          "sleep 20\n"
                                          "20114 0 i:2\n"
                                          "raw 0000a54e00000000\n")))
        << script.Error();
    CTestViewer v;
    ConnectViewer(v);
    std::string error;
    int result = -1;
    std::thread runner([&] { result = m_sim.RunScript(script, &error); });
    TestFrame f;
    ASSERT_TRUE(v.ReadFrame(&f));
    EXPECT_EQ(1, ReadInt(f, 0));
    // Nothing more until the viewer sends 20201.
    EXPECT_FALSE(v.ReadFrame(&f, 200));
    ASSERT_TRUE(v.Send(0, 20201, {}));
    ASSERT_TRUE(v.ReadFrame(&f));
    EXPECT_EQ(2, ReadInt(f, 0));
    ASSERT_TRUE(v.ReadFrame(&f));
    EXPECT_EQ(20133, f.sMessageID);
    runner.join();
    EXPECT_EQ(1, result) << error;
    // The script's wait did not use up what WaitFor hands out.
    EXPECT_TRUE(m_sim.WaitFor(20201, 0));
}

TEST_F(SimTest, ScriptWaitSeesFramesThatCameBeforeIt)
{
    CTestViewer v;
    ConnectViewer(v);
    ASSERT_TRUE(v.Send(0, 20201));
    ASSERT_TRUE(m_sim.WaitFor(20201, 2000));
    CSimScript script;
    ASSERT_EQ(1, script.Parse(std::string("wait 20201 100\nwait 20201 100")));
    std::string error;
    // The first wait is met by the frame already there, the second is not.
    EXPECT_EQ(0, m_sim.RunScript(script, &error));
    EXPECT_EQ("line 2: timed out waiting for message 20201", error);
}

TEST_F(SimTest, ScriptFailuresNameTheLine)
{
    CSimScript script;
    ASSERT_EQ(1, script.Parse(std::string("# not connected yet\n20114 0 i:1")));
    std::string error;
    EXPECT_EQ(0, m_sim.RunScript(script, &error));
    EXPECT_EQ("line 2: not connected", error);

    CTestViewer v;
    ConnectViewer(v);
    ASSERT_EQ(1, script.Parse(std::string("20114 0\nclose\n20114 0")));
    EXPECT_EQ(0, m_sim.RunScript(script, &error));
    EXPECT_EQ("line 3: not connected", error);
    EXPECT_TRUE(v.WaitClosed());

    CTestViewer w;
    ConnectViewer(w);
    ASSERT_EQ(1, script.Parse(std::string("wait 20201 5000")));
    std::thread closer([&] {
        usleep(100000);
        w.Close();
    });
    EXPECT_EQ(0, m_sim.RunScript(script, &error));
    closer.join();
    EXPECT_EQ("line 1: connection lost while waiting for message 20201", error);
}

TEST_F(SimTest, ScriptChunkDirectiveSplitsLaterFrames)
{
    CTestViewer v;
    ConnectViewer(v);
    CSimScript script;
    ASSERT_EQ(1, script.Parse(std::string("chunk 4 150\n20114 0 i:1 i:2")));
    std::thread runner([&] { EXPECT_EQ(1, m_sim.RunScript(script)); });
    std::vector<int> sizes;
    int n;
    while ((n = v.ReadSome(1000)) > 0)
        sizes.push_back(n);
    runner.join();
    EXPECT_EQ((std::vector<int>{4, 4, 4, 4}), sizes);
}

}  // namespace
