#include "lx_args.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct PARSED
{
    int iOk;
    LX_OPTIONS o;
    std::string sError;
};

PARSED Parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "zviewer");
    PARSED p;
    p.iOk = LxParseArgs((int)args.size(), args.data(), &p.o, &p.sError);
    return p;
}

TEST(LxArgs, AcceptedCommandLines)
{
    PARSED p = Parse({"--connect", "127.0.0.1:5000"});
    ASSERT_EQ(1, p.iOk) << p.sError;
    EXPECT_EQ(LX_ACTION_CONNECT, p.o.eAction);
    EXPECT_EQ("127.0.0.1", p.o.sHost);
    EXPECT_EQ(5000, p.o.wPort);
    EXPECT_EQ("", p.o.sPassword);
    EXPECT_FALSE(p.o.bHeadless);
    EXPECT_TRUE(p.o.sScreenshot.empty());
    EXPECT_EQ(0, p.o.iWaitMs);

    p = Parse({"--connect=localhost:1", "--password=pa ss=word", "--headless", "--screenshot", "out.png",
               "--frames", "3", "--wait-ms=750", "--log-level", "debug", "--cache-dir", "/tmp/c"});
    ASSERT_EQ(1, p.iOk) << p.sError;
    EXPECT_EQ("localhost", p.o.sHost);
    EXPECT_EQ(1, p.o.wPort);
    EXPECT_EQ("pa ss=word", p.o.sPassword);   // only the first '=' splits
    EXPECT_TRUE(p.o.bHeadless);
    EXPECT_EQ("out.png", p.o.sScreenshot);
    EXPECT_EQ(3, p.o.iFrames);
    EXPECT_EQ(750, p.o.iWaitMs);
    EXPECT_TRUE(p.o.bLogLevel);
    EXPECT_EQ(RV_LOG_DEBUG, p.o.eLogLevel);
    EXPECT_EQ("/tmp/c", p.o.sCacheDir);

    // The last of a repeated option counts; an empty password is a password.
    p = Parse({"--connect", "a:1", "--connect", "b:65535", "--password", ""});
    ASSERT_EQ(1, p.iOk) << p.sError;
    EXPECT_EQ("b", p.o.sHost);
    EXPECT_EQ(65535, p.o.wPort);
}

TEST(LxArgs, ScreenshotWaitDefaults)
{
    PARSED p = Parse({"--connect", "h:1", "--headless", "--screenshot", "s.png"});
    ASSERT_EQ(1, p.iOk);
    EXPECT_EQ(LX_DEFAULT_SCREENSHOT_WAIT_MS, p.o.iWaitMs);
    EXPECT_EQ(0, p.o.iFrames);
    // Frames alone still have a ceiling, so a quiet controller cannot hang the run.
    p = Parse({"--connect", "h:1", "--headless", "--screenshot", "s.png", "--frames", "5"});
    ASSERT_EQ(1, p.iOk);
    EXPECT_EQ(LX_SCREENSHOT_CEILING_MS, p.o.iWaitMs);
}

TEST(LxArgs, HelpVersionAndNothing)
{
    EXPECT_EQ(LX_ACTION_HELP, Parse({"--connect", "bad", "--help"}).o.eAction);
    EXPECT_EQ(LX_ACTION_HELP, Parse({"-h"}).o.eAction);
    EXPECT_EQ(LX_ACTION_VERSION, Parse({"--bogus", "--version"}).o.eAction);
}

TEST(LxArgs, ConnectWindowAndDemo)
{
    PARSED p = Parse({});
    EXPECT_EQ(1, p.iOk);
    EXPECT_EQ(LX_ACTION_APP, p.o.eAction);
    p = Parse({"--log-level", "off", "--locator", "127.0.0.1:4444"});
    ASSERT_EQ(1, p.iOk) << p.sError;
    EXPECT_EQ(LX_ACTION_APP, p.o.eAction);
    EXPECT_TRUE(p.o.bLocator);
    const uint8_t* pOctets = reinterpret_cast<const uint8_t*>(&p.o.dwLocatorIP);
    EXPECT_EQ(127, pOctets[0]);
    EXPECT_EQ(1, pOctets[3]);
    EXPECT_EQ(4444, p.o.wLocatorPort);
    EXPECT_EQ(0xFFFFFFFFu, Parse({}).o.dwLocatorIP);     // the local broadcast
    EXPECT_EQ(444, Parse({}).o.wLocatorPort);
    p = Parse({"--demo", "--headless", "--screenshot", "d.png"});
    ASSERT_EQ(1, p.iOk) << p.sError;
    EXPECT_EQ(LX_ACTION_DEMO, p.o.eAction);
    EXPECT_TRUE(p.o.bHeadless);
    EXPECT_EQ(LX_DEFAULT_SCREENSHOT_WAIT_MS, p.o.iWaitMs);
}

TEST(LxArgs, RejectedCommandLinesGiveOneLine)
{
    struct
    {
        std::vector<const char*> args;
        const char* pszMention;
    } const cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"stray"}, "unexpected argument 'stray'"},
        {{"--connect"}, "needs a value"},
        {{"--connect", "localhost"}, "bad address"},
        {{"--connect", ":5000"}, "bad address"},
        {{"--connect", "host:"}, "bad address"},
        {{"--connect", "host:0"}, "bad address"},
        {{"--connect", "host:65536"}, "bad address"},
        {{"--connect", "host:12x"}, "bad address"},
        {{"--connect", "host:-1"}, "bad address"},
        {{"--connect", "::1:5000"}, "bad address"},
        {{"--connect", "[::1]:5000"}, "bad address"},
        {{"--connect", "h:1", "--frames", "0", "--screenshot", "s"}, "bad frame count"},
        {{"--connect", "h:1", "--frames", "2x", "--screenshot", "s"}, "bad frame count"},
        {{"--connect", "h:1", "--wait-ms", "99999999999", "--screenshot", "s"}, "bad time"},
        {{"--connect", "h:1", "--screenshot", ""}, "needs a file name"},
        {{"--connect", "h:1", "--frames", "2"}, "need --screenshot"},
        {{"--connect", "h:1", "--wait-ms", "2"}, "need --screenshot"},
        {{"--headless"}, "need --connect or --demo"},
        {{"--demo", "--connect", "h:1"}, "exclude each other"},
        {{"--demo", "--password", "x"}, "knows its password"},
        {{"--demo=1"}, "takes no value"},
        {{"--locator", "localhost:444"}, "bad locator address"},
        {{"--locator", "127.0.0.1"}, "bad locator address"},
        {{"--demo", "--locator", "127.0.0.1:444"}, "for the connect window"},
        {{"--password", "x"}, "need --connect"},
        {{"--screenshot", "s.png"}, "need --connect"},
        {{"--connect", "h:1", "--headless=yes"}, "takes no value"},
        {{"--connect", "h:1", "--log-level", "loud"}, "bad log level"},
        {{"--connect", "h:1", "--cache-dir="}, "needs a directory"},
    };
    for (const auto& c : cases) {
        PARSED p = Parse(c.args);
        std::string line;
        for (const char* a : c.args)
            line += std::string(a) + " ";
        EXPECT_EQ(0, p.iOk) << line;
        EXPECT_NE(std::string::npos, p.sError.find(c.pszMention)) << line << "-> " << p.sError;
        EXPECT_EQ(std::string::npos, p.sError.find('\n')) << line;
    }
}

}  // namespace
