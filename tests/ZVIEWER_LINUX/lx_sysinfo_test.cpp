#include "lx_sysinfo.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FontServer.h"
#include "lx_session.h"
#include "scoped_temp_dir.h"

namespace {

TEST(LxSysInfo, OSVersionFromKernelRelease)
{
    struct
    {
        const char* pszRelease;
        const char* pszWant;
    } const cases[] = {
        {"6.1.0-18-amd64", "6.1.0"}, {"5.15.133.1-microsoft-standard-WSL2", "5.15.133"},
        {"5.15", "5.15.0"},          {"4", "4.0.0"},
        {"4.19.0+", "4.19.0"},       {"", "0.0.0"},
        {"abc", "0.0.0"},            {"99999999999999.1.2", "1000000.1.2"},
        {nullptr, "0.0.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.pszWant, LxFormatOSVersion(c.pszRelease)) << (c.pszRelease ? c.pszRelease : "(null)");
}

TEST(LxSysInfo, ClientInfoOrder)
{
    CRVString info[4];
    LxGetClientInfo(info);
    // The hardware identifier goes first and third; the version is "%d.%d.%d".
    EXPECT_TRUE(info[0] == info[2]);
    char host[256] = "";
    ASSERT_EQ(0, gethostname(host, sizeof host - 1));
    EXPECT_TRUE(info[1] == (const char*)host);
    CRVString version(info[3]);
    int a, b, c;
    char extra;
    EXPECT_EQ(3, sscanf((char*)version, "%d.%d.%d%c", &a, &b, &c, &extra));
}

class CacheDirTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.ok());
        SaveEnv("XDG_CACHE_HOME", &m_sXdg, &m_bXdg);
        SaveEnv("HOME", &m_sHome, &m_bHome);
    }
    void TearDown() override
    {
        RestoreEnv("XDG_CACHE_HOME", m_sXdg, m_bXdg);
        RestoreEnv("HOME", m_sHome, m_bHome);
    }
    static void SaveEnv(const char* name, std::string* pValue, bool* pSet)
    {
        const char* v = getenv(name);
        *pSet = v != nullptr;
        *pValue = v ? v : "";
    }
    static void RestoreEnv(const char* name, const std::string& value, bool bSet)
    {
        if (bSet)
            setenv(name, value.c_str(), 1);
        else
            unsetenv(name);
    }
    static bool IsPrivateDir(const std::string& path)
    {
        struct stat st;
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & 0777) == 0700;
    }

    ScopedTempDir m_dir;
    std::string m_sXdg, m_sHome;
    bool m_bXdg = false, m_bHome = false;
};

TEST_F(CacheDirTest, ChoosesAndCreatesTheDirectory)
{
    std::string dir, why;
    setenv("XDG_CACHE_HOME", (m_dir / "xdg").c_str(), 1);
    setenv("HOME", (m_dir / "home").c_str(), 1);
    ASSERT_EQ(1, LxPrepareCacheDir(nullptr, &dir, &why)) << why;
    EXPECT_EQ(m_dir / "xdg/zviewer/", dir);
    EXPECT_TRUE(IsPrivateDir(m_dir / "xdg/zviewer"));

    // A relative XDG_CACHE_HOME is ignored, as the XDG rules say.
    setenv("XDG_CACHE_HOME", "relative/cache", 1);
    ASSERT_EQ(1, LxPrepareCacheDir(nullptr, &dir, &why)) << why;
    EXPECT_EQ(m_dir / "home/.cache/zviewer/", dir);

    unsetenv("XDG_CACHE_HOME");
    ASSERT_EQ(1, LxPrepareCacheDir((m_dir / "own//").c_str(), &dir, &why)) << why;
    EXPECT_EQ(m_dir / "own/", dir);
    // An existing directory is fine.
    ASSERT_EQ(1, LxPrepareCacheDir((m_dir / "own").c_str(), &dir, &why)) << why;
}

TEST_F(CacheDirTest, ReportsWhatCannotBeMade)
{
    std::string dir, why;
    FILE* f = fopen((m_dir / "file").c_str(), "w");
    ASSERT_NE(nullptr, f);
    fclose(f);
    EXPECT_EQ(0, LxPrepareCacheDir((m_dir / "file").c_str(), &dir, &why));
    EXPECT_NE(std::string::npos, why.find("not a directory")) << why;
    EXPECT_EQ(0, LxPrepareCacheDir((m_dir / "file/sub").c_str(), &dir, &why));
    EXPECT_FALSE(why.empty());
    unsetenv("XDG_CACHE_HOME");
    unsetenv("HOME");
    EXPECT_EQ(0, LxPrepareCacheDir(nullptr, &dir, &why));
    EXPECT_NE(std::string::npos, why.find("HOME")) << why;
}

}  // namespace

// The session keeps downloaded fonts and the font choice in the cache
// directory, which survives a restart (the temporary directory does not).
TEST(LxSession, FontsLiveInTheCacheDirectory)
{
    ScopedTempDir dir;
    std::string sCache = dir.path() + "/";
    ASSERT_EQ(1, LxCreateSession(sCache));
    CRVString sFontDir = CFontServer::FontDirectory();
    sFontDir.ConvertTochar();
    EXPECT_EQ(dir.path(), std::string(static_cast<const char*>(sFontDir.GetData())));
    LxReleaseSession();
    CFontServer::SetFontDirectory(CRVString(""));
}
