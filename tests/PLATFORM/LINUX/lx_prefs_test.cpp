#include "file_text.h"
#include "lx_prefs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <dirent.h>

#include <map>
#include <string>

#include "scoped_env.h"
#include "scoped_temp_dir.h"

namespace {

int CountEntries(const std::string& sDir)
{
    int n = 0;
    if (DIR* d = opendir(sDir.c_str())) {
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

TEST(LxPrefs, EscapeRoundTrip)
{
    struct
    {
        std::string sIn;
        std::string sEscaped;
    } const cases[] = {
        {"", ""},
        {"Lake House", "Lake House"},
        {"a=b", "a\\=b"},
        {"back\\slash", "back\\\\slash"},
        {"two\nlines\r", "two\\nlines\\r"},
        {std::string("nul\0tab\t\x7f", 9), "nul\\x00tab\\x09\\x7F"},
        {"K\xC3\xBC" "che", "K\xC3\xBC" "che"},      // UTF-8 stays as it is
        {"\\x41", "\\\\x41"},                        // an escape as text is not decoded
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.sEscaped, CLxPrefs::Escape(c.sIn)) << c.sEscaped;
        std::string sBack;
        ASSERT_TRUE(CLxPrefs::Unescape(c.sEscaped, &sBack)) << c.sEscaped;
        EXPECT_EQ(c.sIn, sBack) << c.sEscaped;
    }
    for (const char* pszBad : {"\\", "abc\\", "\\q", "\\x", "\\x4", "\\xg0"}) {
        std::string sOut = "unchanged";
        EXPECT_FALSE(CLxPrefs::Unescape(pszBad, &sOut)) << pszBad;
        EXPECT_EQ("unchanged", sOut) << pszBad;
    }
}

TEST(LxPrefs, ParseKeepsWhatItCan)
{
    const std::string sText =
        "RVUserName=Lake House\n"
        "no separator here\n"
        "=no key\n"
        "bad=escape\\q\n"
        "a\\=b=c\\=d\n"          // '=' inside the key
        "crlf=value\r\n"         // written elsewhere
        "twice=first\n"
        "twice=second\n"
        "empty=\n"
        "last=no line feed";
    std::map<std::string, std::string> values;
    EXPECT_EQ(7, CLxPrefs::Parse(sText, &values));   // "twice" counts twice
    const std::map<std::string, std::string> want = {
        {"RVUserName", "Lake House"}, {"a=b", "c=d"}, {"crlf", "value"},
        {"twice", "second"}, {"empty", ""}, {"last", "no line feed"},
    };
    EXPECT_EQ(want, values);
}

TEST(LxPrefs, FormatParseRoundTrip)
{
    const std::map<std::string, std::string> values = {
        {"RVUserName", "x=y\\z\nw"}, {"k\n=", std::string("\0\x01\xff", 3)}, {"plain", ""},
    };
    std::map<std::string, std::string> back;
    EXPECT_EQ(3, CLxPrefs::Parse(CLxPrefs::Format(values), &back));
    EXPECT_EQ(values, back);
}

class LxPrefsFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.ok()); }
    ScopedTempDir m_dir;
};

TEST_F(LxPrefsFileTest, SetStringWritesAFileTheNextReaderSees)
{
    const std::string sDir = m_dir / "config/zviewer";
    const std::string sPath = sDir + "/settings";
    CLxPrefs prefs(sPath);
    EXPECT_EQ("Corvin Demo", prefs.GetString("RVUserName", "Corvin Demo"));
    ASSERT_EQ(1, prefs.SetString("RVUserName", "Lake=House\nEast"));
    ASSERT_EQ(1, prefs.SetString("Other", "1"));

    CLxPrefs again(sPath);
    EXPECT_EQ("Lake=House\nEast", again.GetString("RVUserName", ""));
    EXPECT_EQ("1", again.GetString("Other", ""));
    EXPECT_EQ("Other=1\nRVUserName=Lake\\=House\\nEast\n", ReadFileText(sPath));

    // The settings are the user's own, and no temporary file is left behind.
    struct stat st;
    ASSERT_EQ(0, stat(sDir.c_str(), &st));
    EXPECT_EQ(0700u, st.st_mode & 0777);
    ASSERT_EQ(0, stat(sPath.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
    EXPECT_EQ(1, CountEntries(sDir));
}

TEST_F(LxPrefsFileTest, DamagedOrUnusableFilesGiveTheDefaults)
{
    std::string sBinary;
    for (int i = 0; i < 4096; ++i)
        sBinary += (char)((i * 7919) >> 3);
    const std::string sHuge = "RVUserName=big\n" + std::string(CLxPrefs::MAX_FILE_BYTES, 'x');
    struct
    {
        const char* pszWhat;
        std::string sContent;     // written as the file unless empty
        bool bDirectory;          // the path is a directory instead
    } const cases[] = {
        {"binary garbage", sBinary, false},
        {"larger than the limit", sHuge, false},
        {"a directory", "", true},
        {"missing", "", false},
    };
    for (const auto& c : cases) {
        const std::string sPath = m_dir / c.pszWhat;
        if (c.bDirectory)
            ASSERT_EQ(0, mkdir(sPath.c_str(), 0700));
        else if (!c.sContent.empty())
            WriteFileText(sPath, c.sContent);
        CLxPrefs prefs(sPath);
        EXPECT_EQ("default", prefs.GetString("RVUserName", "default")) << c.pszWhat;
    }
}

TEST_F(LxPrefsFileTest, AnUnwritablePlaceKeepsTheValueInMemory)
{
    const std::string sFile = m_dir / "plain-file";
    WriteFileText(sFile, "x");
    CLxPrefs prefs(sFile + "/zviewer/settings");   // its directory cannot exist
    EXPECT_EQ(0, prefs.SetString("RVUserName", "Lake House"));
    EXPECT_EQ("Lake House", prefs.GetString("RVUserName", ""));
}

TEST(LxPrefs, DefaultPathFollowsTheXdgRules)
{
    struct
    {
        const char* pszConfig;
        const char* pszHome;
        const char* pszWant;
    } const cases[] = {
        {"/cfg", "/home/u", "/cfg/zviewer/settings"},
        {"relative/cfg", "/home/u", "/home/u/.config/zviewer/settings"},   // relative XDG paths are ignored
        {"", "/home/u", "/home/u/.config/zviewer/settings"},
        {nullptr, "/home/v", "/home/v/.config/zviewer/settings"},
    };
    for (const auto& c : cases) {
        CScopedEnv config("XDG_CONFIG_HOME", c.pszConfig);
        CScopedEnv home("HOME", c.pszHome);
        EXPECT_EQ(c.pszWant, CLxPrefs::DefaultPath()) << (c.pszConfig ? c.pszConfig : "(unset)");
    }
}

}  // namespace
