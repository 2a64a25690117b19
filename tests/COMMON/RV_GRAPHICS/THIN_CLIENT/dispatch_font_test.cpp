// The font messages seen from the far end of a real loopback session: text
// widths (20131), the font choice (20156) with the download it starts (8398,
// 8301, 20210), the own bitmap font file (20123), and the font file length
// the session start carries.
#include "dispatch_fixture.h"
#include "engine_fixture.h"


#include <fstream>
#include <mutex>
#include <numeric>

#include "FontServer.h"
#include "file_text.h"

namespace {

class DispatchFont : public DispatchFixture
{
protected:
    DispatchFont() { CFontServer::SetFontDirectory(CRVString(m_dir.path().c_str())); }
    ~DispatchFont() override { CFontServer::SetFontDirectory(CRVString("")); }
    void SetUp() override { ConnectPeer(); }

    std::string Path(const std::string& sName) const { return m_dir / sName; }
    void WriteFile(const std::string& sName, const std::string& sData) const { WriteFileText(Path(sName), sData); }
    static int Sum(const std::string& s)
    {
        uint32_t u = 0;
        for (unsigned char c : s)
            u += c;
        return (int)u;
    }

    void Settings(const char* pszName, int iChecksum)
    {
        CRVMSG m(0, MSG_SETTINGS, 0, 1);
        m.PutInt(60);
        m.PutInt(40);
        m.PutString(CRVString(""));
        m.PutInt(0);
        m.PutString(CRVString(pszName));
        m.PutInt(iChecksum);
        Process(m);
    }
    void DownloadChunk(int iTotal, const std::string& s, int iLength = -1)
    {
        CRVMSG m(CFontServer::DOWNLOAD_SENDER, MSG_FONT_DOWNLOAD_END, 0, 1);
        m.PutInt(iTotal);
        m.PutInt(iLength < 0 ? (int)s.size() : iLength);
        m.PutData(reinterpret_cast<const unsigned char*>(s.data()), (int)s.size());
        Process(m);
    }
    void BitmapFontChunk(int iTotal, int iOffset, const std::string& s, int iLength = -1)
    {
        CRVMSG m(0, MSG_FONT_FILE_DATA, 0, 1);
        m.PutInt(iTotal);
        m.PutInt(iOffset);
        m.PutInt(iLength == -1 ? (int)s.size() : iLength);
        m.PutData(reinterpret_cast<const unsigned char*>(s.data()), (int)s.size());
        Process(m);
    }
    // The next frame is the request for pszName.
    void ExpectDownloadRequest(const char* pszName)
    {
        RAW_FRAME f;
        ASSERT_TRUE(m_peer.ReadFrame(&f, 2000));
        EXPECT_EQ(MSG_FONT_DOWNLOAD_REQUEST, f.sMessage);
        EXPECT_EQ(CFontServer::DOWNLOAD_SENDER, f.sSender);
        CRVMSG want(0, 0, 0, 1);
        want.PutString(CRVString(pszName));
        EXPECT_EQ(Bytes(want.Data(), want.Data() + want.DataSize()), f.data);
    }
    int ConfigType()
    {
        int iType = -1;
        CRVString sName;
        return CFontServer::LoadFontServerConfig(&iType, &sName) ? iType : -1;
    }
};

TEST_F(DispatchFont, MainWindowOwnsTheSystemFontServer)
{
    ASSERT_NE(nullptr, g_pFontServer);
    EXPECT_EQ(FONTSERVER_TYPE_DEFAULT, g_pFontServer->ServerType());
    delete m_pWnd;
    m_pWnd = nullptr;
    EXPECT_EQ(nullptr, g_pFontServer);
}

TEST_F(DispatchFont, TextExtentAnswersTheWidthOfEachTextInThatSize)
{
    CRVMSG m(4, MSG_TEXT_EXTENT, 0, 1);
    for (int v : { 9, 8, 24, 3 })
        m.PutInt(v);
    for (const char* psz : { "Living room", "", "Kitchen" })
        m.PutString(CRVString(psz));
    Process(m);
    const int w1 = g_pFontServer->GetTextExtent(24, CRVString("Living room")).cx;
    const int w3 = g_pFontServer->GetTextExtent(24, CRVString("Kitchen")).cx;
    EXPECT_GT(w1, w3);
    EXPECT_GT(w3, 24);
    RAW_FRAME f;
    Bytes raw;
    ASSERT_TRUE(m_peer.ReadFrame(&f, 2000, &raw));
    Bytes want = { 0x04, 0x00, 0xA3, 0x4E, 24, 0, 0, 0,     // sender 4, 20131, 24 bytes
                   9, 0, 0, 0, 8, 0, 0, 0, 3, 0, 0, 0 };
    for (int w : { w1, 0, w3 })
        for (int i = 0; i < 4; i++)
            want.push_back((unsigned char)(w >> (8 * i)));
    EXPECT_EQ(want, raw);
}

TEST_F(DispatchFont, TextExtentThatCannotBeReadWhollyIsNotAnswered)
{
    CRVMSG cut(0, MSG_TEXT_EXTENT, 0, 1);
    for (int v : { 1, 2, 24, 2 })
        cut.PutInt(v);
    cut.PutString(CRVString("only one"));
    Process(cut);
    // A count no message could carry is refused before anything is measured.
    CRVMSG huge(0, MSG_TEXT_EXTENT, 0, 1);
    for (int v : { 1, 2, 24, 0x7FFFFFFF })
        huge.PutInt(v);
    Process(huge);
    ExpectNothingSent();
}

TEST_F(DispatchFont, FontFileIsRequestedDownloadedAndThenKept)
{
    const std::string sFont = std::string("OTTO\x00\x01\x02\xFE", 8) + std::string(3000, 'g');
    WriteFile("Brand.ttf", "an older version");
    Settings("Brand.ttf", Sum(sFont));
    EXPECT_EQ(60, m_pWnd->GetStreamVolume());
    ExpectDownloadRequest("Brand.ttf");
    ASSERT_TRUE(g_pFontServer->IsDownloading());

    DownloadChunk((int)sFont.size(), sFont.substr(0, 1000));
    DownloadChunk((int)sFont.size(), sFont.substr(1000, 1000));
    EXPECT_EQ("an older version", ReadFileText(Path("Brand.ttf")));
    DownloadChunk((int)sFont.size(), sFont.substr(2000));
    ExpectFrame(MSG_FONT_READY, 0, { 0 });
    ExpectFrame(MSG_FONT_READY, 0, { 1 });
    EXPECT_EQ(sFont, ReadFileText(Path("Brand.ttf")));
    EXPECT_FALSE(FileExists(Path("Brand.ttf.part")));
    // No FreeType server in this build: the system's keeps drawing.
    EXPECT_EQ(FONTSERVER_TYPE_DEFAULT, g_pFontServer->ServerType());

    // The same font again: no download, and the choice holds for next time.
    Settings("Brand.ttf", Sum(sFont));
    ExpectNothingSent();
    EXPECT_EQ(FONTSERVER_TYPE_FT, ConfigType());
    // Checksum 0: the system's fonts.
    Settings("", 0);
    EXPECT_EQ(FONTSERVER_TYPE_DEFAULT, ConfigType());
    ExpectNothingSent();
}

TEST_F(DispatchFont, RefusedNamesAndBadChunksLeaveNoFile)
{
    // A name that would leave the font directory is not even asked for.
    Settings("../Escape.ttf", 1234);
    Settings("font.config", 1234);
    ExpectNothingSent();
    EXPECT_FALSE(FileExists(m_dir.path() + "/../Escape.ttf"));
    EXPECT_EQ(-1, ConfigType());

    Settings("Brand.ttf", 1234);
    ExpectDownloadRequest("Brand.ttf");
    DownloadChunk(100, "abcd");
    EXPECT_TRUE(FileExists(Path("Brand.ttf.part")));
    // Announces more than it carries: the download ends, nothing is kept.
    DownloadChunk(100, "efgh", 500);
    EXPECT_FALSE(g_pFontServer->IsDownloading());
    EXPECT_FALSE(FileExists(Path("Brand.ttf.part")));
    EXPECT_FALSE(FileExists(Path("Brand.ttf")));
    DownloadChunk(8, "abcdefgh");
    ExpectNothingSent();
}

TEST_F(DispatchFont, BitmapFontFileArrivesInChunks)
{
    CFontServer* pBefore = g_pFontServer;
    m_pWnd->ClearStateBits(CSurf::SS_NEEDS_REDRAW);
    BitmapFontChunk(10, 0, "01234");
    EXPECT_NE(nullptr, m_pWnd->m_pFontFile);
    EXPECT_FALSE(FileExists(Path("ZVIEWER.FONT")));
    BitmapFontChunk(10, 5, "56789");
    EXPECT_EQ(nullptr, m_pWnd->m_pFontFile);
    EXPECT_EQ("0123456789", ReadFileText(Path("ZVIEWER.FONT")));
    // No bitmap font server in this build: a new system server, and a redraw.
    ASSERT_NE(nullptr, g_pFontServer);
    EXPECT_NE(pBefore, g_pFontServer);
    EXPECT_EQ(FONTSERVER_TYPE_DEFAULT, g_pFontServer->ServerType());
    EXPECT_TRUE(m_pWnd->StateFlags() & CSurf::SS_NEEDS_REDRAW);
}

TEST_F(DispatchFont, HostileBitmapFontChunksNeverWriteOutsideTheAnnouncedFile)
{
    struct CASE
    {
        const char* pszWhat;
        int iTotal, iOffset, iLength;
    } cases[] = {
        { "offset beyond the total", 10, 4000, 4 },
        { "negative offset", 10, -4, 4 },
        { "negative length", 10, 4, -1000 },
        { "length beyond the data", 10, 4, 1 << 20 },
        { "length past the total", 10, 4, 8 },
        { "huge total", 0x7FFFFFFF, 4, 4 },
        { "total changes", 20, 4, 4 },
    };
    for (const CASE& t : cases) {
        BitmapFontChunk(10, 0, "0123");
        ASSERT_NE(nullptr, m_pWnd->m_pFontFile) << t.pszWhat;
        BitmapFontChunk(t.iTotal, t.iOffset, std::string(8, 'x'), t.iLength);
        EXPECT_EQ(nullptr, m_pWnd->m_pFontFile) << t.pszWhat;
        EXPECT_FALSE(FileExists(Path("ZVIEWER.FONT"))) << t.pszWhat;
        EXPECT_FALSE(FileExists(Path("ZVIEWER.FONT.part"))) << t.pszWhat;
    }
    // A huge first chunk is refused before anything is kept.
    BitmapFontChunk(0x7FFFFFFF, 0, "0123");
    EXPECT_EQ(nullptr, m_pWnd->m_pFontFile);
    EXPECT_FALSE(FileExists(Path("ZVIEWER.FONT.part")));
    // After all that, an honest file still arrives.
    BitmapFontChunk(4, 0, "good");
    EXPECT_EQ("good", ReadFileText(Path("ZVIEWER.FONT")));
}

class SessionFontLength : public EngineFixture
{
protected:
    SessionFontLength() { CFontServer::SetFontDirectory(CRVString(m_dir.path().c_str())); }
    ~SessionFontLength() override { CFontServer::SetFontDirectory(CRVString("")); }
};

TEST_F(SessionFontLength, SessionStartCarriesTheBitmapFontFileLength)
{
    std::ofstream(m_dir / "ZVIEWER.FONT", std::ios::binary) << std::string(1234, 'f');
    std::mutex mutex;
    std::vector<RAW_FRAME> questions;
    m_peer.StartResponder([&](CFramePeer& peer, const RAW_FRAME& f) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            questions.push_back(f);
        }
        peer.SendFrame(f.sSender, (short)(f.sMessage + 1), IntData(5));
    });
    EXPECT_EQ(5, CMainWnd::InitSession(7, SIZE{ 800, 600 }, SIZE{ 600, 800 }, 1, IOS_SESSION_CTX_DEFAULT));
    m_peer.StopResponder();
    ASSERT_EQ(1u, questions.size());
    std::vector<int> v = FrameInts(questions[0]);
    ASSERT_GE(v.size(), 8u);
    EXPECT_EQ(1234, v[7]);
}

} // namespace
