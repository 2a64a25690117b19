// Font files: where they live, which names the controller may use,
// checksums, "font.config", the choice of server at start, and font files
// arriving in chunks, honest or hostile.
#include <gtest/gtest.h>

#include <dirent.h>

#include <string>

#include "FontServer.h"
#include "file_text.h"
#include "fontdownload.h"
#include "rvmsg.h"
#include "scoped_temp_dir.h"

namespace {

class FontFiles : public ::testing::Test
{
protected:
    FontFiles() { CFontServer::SetFontDirectory(CRVString(m_dir.path().c_str())); }
    ~FontFiles() override { CFontServer::SetFontDirectory(CRVString("")); }

    std::string Path(const std::string& sName) const { return m_dir / sName; }
    void WriteFile(const std::string& sName, const std::string& sData) const { WriteFileText(Path(sName), sData); }
    // Every file in the directory, for "nothing else was written".
    int FileCount() const
    {
        int n = 0;
        if (DIR* d = opendir(m_dir.path().c_str())) {
            while (dirent* e = readdir(d))
                n += e->d_name[0] != '.';
            closedir(d);
        }
        return n;
    }

    ScopedTempDir m_dir;
};

TEST_F(FontFiles, PathsAreInTheFontDirectory)
{
    EXPECT_EQ(CRVString((Path("ZVIEWER.FONT")).c_str()), CFontServer::GetFontFilePath());
    EXPECT_EQ(CRVString(Path("Brand.ttf").c_str()), CFontServer::GetFontFilePath(CRVString("Brand.ttf")));
    // A trailing slash is not doubled; without a directory set, $TMPDIR or /tmp.
    CFontServer::SetFontDirectory(CRVString((m_dir.path() + "/").c_str()));
    EXPECT_EQ(CRVString(Path("a.otf").c_str()), CFontServer::GetFontFilePath(CRVString("a.otf")));
    CFontServer::SetFontDirectory(CRVString(""));
    const char* pszTmp = getenv("TMPDIR");
    EXPECT_EQ(CRVString(pszTmp && *pszTmp ? pszTmp : "/tmp"), CFontServer::FontDirectory());
}

TEST_F(FontFiles, OnlyPlainNamesOfForeignFilesAreAccepted)
{
    const wchar_t* const bad[] = {
        L"", L"../escape.ttf", L"sub/dir.ttf", L"/etc/passwd", L"..\\win.ttf", L".hidden.ttf", L".", L"..",
        L"font.config", L"FONT.CONFIG", L"ZVIEWER.FONT", L"zviewer.font", L"servers.txt", L"tab\tname.ttf",
        L"nl\n.ttf",
    };
    for (const wchar_t* psz : bad)
        EXPECT_TRUE(CFontServer::GetFontFilePath(CRVString(psz)).IsEmpty()) << psz;
    std::wstring sLong(CFontServer::MAX_FONT_NAME + 1, L'x');
    EXPECT_TRUE(CFontServer::GetFontFilePath(CRVString(sLong.c_str())).IsEmpty());
    sLong.pop_back();
    EXPECT_FALSE(CFontServer::GetFontFilePath(CRVString(sLong.c_str())).IsEmpty());
    for (const wchar_t* psz : { L"Brand Sans.ttf", L"caf\u00E9.otf", L"a..b.ttf" })
        EXPECT_FALSE(CFontServer::GetFontFilePath(CRVString(psz)).IsEmpty()) << psz;
}

TEST_F(FontFiles, ChecksumIsTheUnsignedSumOfAllBytes)
{
    WriteFile("sum.bin", std::string("\x01\x02\xFF\x80", 4));
    EXPECT_EQ(1u + 2u + 255u + 128u, CFontServer::GetFontFileChecksum(CRVString(Path("sum.bin").c_str())));
    // Past 2^32 the sum wraps.
    WriteFile("big.bin", std::string(20000000, '\xFF'));
    EXPECT_EQ((uint32_t)(20000000ull * 255u), CFontServer::GetFontFileChecksum(CRVString(Path("big.bin").c_str())));
    EXPECT_EQ(0u, CFontServer::GetFontFileChecksum(CRVString(Path("missing").c_str())));
    EXPECT_EQ(0u, CFontServer::GetFontFileChecksum(CRVString("")));
}

TEST_F(FontFiles, ConfigRoundTripAndItsFileLayout)
{
    int iType = -1;
    CRVString sName;
    EXPECT_EQ(0, CFontServer::LoadFontServerConfig(&iType, &sName));

    CFontServer::SaveFontServerConfig(FONTSERVER_TYPE_FT, CRVString(L"Brand.ttf"));
    ASSERT_EQ(1, CFontServer::LoadFontServerConfig(&iType, &sName));
    EXPECT_EQ(FONTSERVER_TYPE_FT, iType);
    EXPECT_EQ(sName, "Brand.ttf");
    // One int, then the name as a counted 8-bit string.
    EXPECT_EQ(std::string("\x01\x00\x00\x00\x09\x00\x00\x00" "Brand.ttf", 17), ReadFileText(Path("font.config")));

    CFontServer::SaveFontServerConfig(FONTSERVER_TYPE_DEFAULT, CRVString(""));
    ASSERT_EQ(1, CFontServer::LoadFontServerConfig(&iType, &sName));
    EXPECT_EQ(FONTSERVER_TYPE_DEFAULT, iType);
    EXPECT_TRUE(sName.IsEmpty());

    // Damaged: the name is cut short.
    WriteFile("font.config", std::string("\x01\x00\x00\x00\x09\x00\x00\x00" "Bra", 11));
    EXPECT_EQ(0, CFontServer::LoadFontServerConfig(&iType, &sName));
}

TEST_F(FontFiles, StartChoosesTheSystemServerWhateverTheConfigSays)
{
    struct CASE
    {
        const char* pszConfig;      // null: no config file
        int iType;
        const char* pszFontFile;    // written when not null
    } cases[] = {
        { nullptr, 0, nullptr },
        { "x", FONTSERVER_TYPE_DEFAULT, nullptr },
        { "Brand.ttf", FONTSERVER_TYPE_FT, nullptr },       // the file is missing
        { "Brand.ttf", FONTSERVER_TYPE_FT, "" },            // the file is empty
        // There and not empty: a FreeType server would draw it; until this
        // build has one, the system's server does.
        { "Brand.ttf", FONTSERVER_TYPE_FT, "font data" },
    };
    for (const CASE& t : cases) {
        if (t.pszConfig)
            CFontServer::SaveFontServerConfig(t.iType, CRVString(t.pszConfig));
        if (t.pszFontFile)
            WriteFile("Brand.ttf", t.pszFontFile);
        CFontServer* pServer = CFontServer::CreateFontServer();
        ASSERT_NE(nullptr, pServer);
        EXPECT_EQ(FONTSERVER_TYPE_DEFAULT, pServer->ServerType());
        // The system server measures text.
        EXPECT_GT(pServer->GetTextExtent(20, CRVString("Hall")).cx, 0);
        delete pServer;
    }
}

TEST_F(FontFiles, BitmapFontFileLengthForTheSessionStart)
{
    EXPECT_EQ(0, CFontServer::GetFontFileLength());
    WriteFile("ZVIEWER.FONT", std::string(1234, 'f'));
    EXPECT_EQ(1234, CFontServer::GetFontFileLength());
}

// ---- chunked downloads ----

class FontDownload : public FontFiles
{
protected:
    CFontDownload::RESULT Add(int iTotal, long long llOffset, const std::string& s)
    {
        return m_dl.Add(iTotal, llOffset, reinterpret_cast<const unsigned char*>(s.data()), (int)s.size());
    }
    CFontDownload m_dl;
};

TEST_F(FontDownload, ChunksBecomeTheFileOnlyWhenComplete)
{
    const std::string sPath = Path("Brand.ttf");
    ASSERT_EQ(1, m_dl.Begin(CRVString(sPath.c_str())));
    EXPECT_EQ(CFontDownload::CHUNK_MORE, Add(10, 0, "0123"));
    EXPECT_EQ(CFontDownload::CHUNK_MORE, Add(10, 4, ""));
    EXPECT_FALSE(FileExists(sPath));
    EXPECT_EQ(CFontDownload::CHUNK_MORE, Add(10, 4, "456"));
    EXPECT_EQ(CFontDownload::CHUNK_DONE, Add(10, -1, "789"));
    EXPECT_EQ("0123456789", ReadFileText(sPath));
    EXPECT_FALSE(FileExists(sPath + ".part"));
    EXPECT_FALSE(m_dl.IsOpen());
    EXPECT_EQ((uint32_t)(10 * '0' + 45), CFontServer::GetFontFileChecksum(CRVString(sPath.c_str())));
}

TEST_F(FontDownload, AFontInUseIsReplacedWholeNotOverwritten)
{
    const std::string sPath = Path("Brand.ttf");
    WriteFile("Brand.ttf", "old font");
    ASSERT_EQ(1, m_dl.Begin(CRVString(sPath.c_str())));
    EXPECT_EQ(CFontDownload::CHUNK_MORE, Add(6, 0, "new"));
    EXPECT_EQ("old font", ReadFileText(sPath));
    EXPECT_EQ(CFontDownload::CHUNK_DONE, Add(6, 3, "ttf"));
    EXPECT_EQ("newttf", ReadFileText(sPath));
}

TEST_F(FontDownload, HostileChunksEndTheDownloadAndLeaveNothing)
{
    const int MAX = CFontServer::MAX_FONT_FILE_BYTES;
    struct CASE
    {
        const char* pszWhat;
        int iTotal;
        long long llOffset;
        int iLength;            // -1: the string's length
    } cases[] = {
        { "total of 0", 0, 0, -1 },
        { "negative total", -5, 0, -1 },
        { "huge total", MAX + 1, 0, -1 },
        { "int-max total", 0x7FFFFFFF, 0, -1 },
        { "total changes", 99, 4, -1 },
        { "offset beyond the total", 10, 1000, -1 },
        { "offset behind", 10, 0, -1 },
        { "offset ahead", 10, 8, -1 },
        { "negative length", 10, 4, -7 },
        { "runs past the total", 10, 4, 7 },
    };
    for (const CASE& t : cases) {
        ASSERT_EQ(1, m_dl.Begin(CRVString(Path("f.ttf").c_str())));
        // A good first chunk, then the bad one.
        ASSERT_EQ(CFontDownload::CHUNK_MORE, Add(10, 0, "0123")) << t.pszWhat;
        std::string sData(t.iLength > 0 ? (size_t)t.iLength : 2, 'x');
        int iLength = t.iLength == -1 ? 2 : t.iLength;
        EXPECT_EQ(CFontDownload::CHUNK_REFUSED,
                  m_dl.Add(t.iTotal, t.llOffset, reinterpret_cast<const unsigned char*>(sData.data()), iLength))
            << t.pszWhat;
        EXPECT_FALSE(m_dl.IsOpen()) << t.pszWhat;
        EXPECT_EQ(0, FileCount()) << t.pszWhat;
        // Nothing more is taken until a new download begins.
        EXPECT_EQ(CFontDownload::CHUNK_REFUSED, Add(10, 4, "456789")) << t.pszWhat;
        EXPECT_EQ(0, FileCount()) << t.pszWhat;
    }
    // A first chunk announcing a size beyond the limit: nothing is written.
    ASSERT_EQ(1, m_dl.Begin(CRVString(Path("f.ttf").c_str())));
    EXPECT_EQ(CFontDownload::CHUNK_REFUSED, Add(MAX + 1, 0, "0123"));
    EXPECT_EQ(0, FileCount());
}

TEST_F(FontDownload, AnUnwritablePlaceOrAnEmptyPathIsRefusedAtTheStart)
{
    EXPECT_EQ(0, m_dl.Begin(CRVString(Path("no/such/dir/f.ttf").c_str())));
    EXPECT_EQ(0, m_dl.Begin(CRVString("")));
    EXPECT_FALSE(m_dl.IsOpen());
    EXPECT_EQ(CFontDownload::CHUNK_REFUSED, Add(4, 0, "abcd"));
}

TEST_F(FontDownload, UnfinishedDownloadIsRemovedWithItsObject)
{
    {
        CFontDownload dl;
        ASSERT_EQ(1, dl.Begin(CRVString(Path("f.ttf").c_str())));
        std::string s = "half";
        dl.Add(8, 0, reinterpret_cast<const unsigned char*>(s.data()), 4);
        EXPECT_EQ(1, FileCount());
    }
    EXPECT_EQ(0, FileCount());
}

// The server's side: 8301 chunks (int total, int length, bytes).
class FontServerDownload : public FontFiles
{
protected:
    static CRVMSG* Chunk(int iTotal, const std::string& s, int iLength = -1, short sID = 8301, short sSender = 3456)
    {
        CRVMSG* pMsg = new CRVMSG(sSender, sID, 0, 1);
        pMsg->PutInt(iTotal);
        pMsg->PutInt(iLength < 0 ? (int)s.size() : iLength);
        pMsg->PutData(reinterpret_cast<const unsigned char*>(s.data()), (int)s.size());
        pMsg->ResetRead();
        return pMsg;
    }
    int End(CRVMSG* pMsg)
    {
        int r = m_server.EndDownloadFontFile(pMsg);
        delete pMsg;
        return r;
    }
    CFontServer m_server;
};

TEST_F(FontServerDownload, WithoutASessionNothingIsAskedAndNothingLeftBehind)
{
    EXPECT_EQ(0, m_server.BeginDownloadFontFile(CRVString("Brand.ttf")));
    EXPECT_FALSE(m_server.IsDownloading());
    EXPECT_EQ(0, FileCount());
    EXPECT_EQ(0, m_server.BeginDownloadFontFile(CRVString("../Brand.ttf")));
    // A chunk with no download open is refused.
    EXPECT_EQ(0, End(Chunk(4, "abcd")));
    EXPECT_EQ(0, FileCount());
}

} // namespace
