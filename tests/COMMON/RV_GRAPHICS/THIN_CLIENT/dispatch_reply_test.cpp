// Messages answered to the controller, session messages and the ones that are
// ignored, seen from the far end of a real loopback session.
#include "dispatch_fixture.h"

#include "FontServer.h"
#include "file_text.h"


class DispatchReply : public DispatchFixture
{
protected:
    // The settings message saves the font choice: into this test's directory.
    void SetUp() override
    {
        CFontServer::SetFontDirectory(CRVString(m_dir.path().c_str()));
        ConnectPeer();
    }
    void TearDown() override { CFontServer::SetFontDirectory(CRVString("")); }
};

TEST_F(DispatchReply, EchoReturnsBothIntsAsTheyAre)
{
    CRVMSG m(3, MSG_ECHO, 8, 1);
    m.PutInt(0x11223344);
    m.PutInt(-2);
    Process(m);
    RAW_FRAME f;
    Bytes raw;
    ASSERT_TRUE(m_peer.ReadFrame(&f, 2000, &raw));
    Bytes want = { 0x03, 0x00, 0xBB, 0x4E, 0x08, 0x00, 0x00, 0x00,    // sender 3, 20155, 8 bytes
                   0x44, 0x33, 0x22, 0x11, 0xFE, 0xFF, 0xFF, 0xFF };
    EXPECT_EQ(want, raw);
}

TEST_F(DispatchReply, AudioProbeIsAnsweredWithItsKeyAndZero)
{
    CRVMSG m(0, MSG_AUDIO_PROBE, 4, 1);
    m.PutInt(77);
    Process(m);
    RAW_FRAME f;
    Bytes raw;
    ASSERT_TRUE(m_peer.ReadFrame(&f, 2000, &raw));
    Bytes want = { 0x00, 0x00, 0x86, 0x15, 0x08, 0x00, 0x00, 0x00,    // 5510, 8 bytes
                   0x4D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00 };
    EXPECT_EQ(want, raw);
}

TEST_F(DispatchReply, TruncatedQuestionsAreNotAnswered)
{
    CRVMSG echo(0, MSG_ECHO, 4, 1);
    echo.PutInt(1);
    Process(echo);
    CRVMSG probe(0, MSG_AUDIO_PROBE, 0, 1);
    Process(probe);
    ExpectNothingSent();
}

TEST_F(DispatchReply, TextExtentOfNoStringsAnswersABAndZero)
{
    CRVMSG m(4, MSG_TEXT_EXTENT, 16, 1);
    for (int v : { 9, 8, 24, 0 })
        m.PutInt(v);
    Process(m);
    ExpectFrame(MSG_TEXT_EXTENT, 4, { 9, 8, 0 });
}

TEST_F(DispatchReply, TextExtentWithoutAFontServerIsNotAnswered)
{
    // Widths need a font server; without one, none are made up.
    delete g_pFontServer;
    g_pFontServer = nullptr;
    CRVMSG m(0, MSG_TEXT_EXTENT, 0, 1);
    for (int v : { 9, 8, 24, 2 })
        m.PutInt(v);
    m.PutString(CRVString("one"));
    m.PutString(CRVString("two"));
    Process(m);
    ExpectNothingSent();
}

TEST_F(DispatchReply, ImageUpdateIsAcknowledgedAlsoForAnUnknownSurface)
{
    CSpySurf* pSpy = AddSpy(12);
    CRVMSG m(1, MSG_UPDATE_IMAGE, 0, 1);
    for (int id : { 999, 12 }) {
        m.PutInt(id);
        m.PutInt(100);   // drop the image: no data
        m.PutInt(0);
    }
    Process(m);
    ExpectFrame(MSG_UPDATE_IMAGE_DONE, 0, { 999 });
    ExpectFrame(MSG_UPDATE_IMAGE_DONE, 0, { 12 });
    ASSERT_EQ(1u, pSpy->calls.size());
}

TEST_F(DispatchReply, SessionReplyStoresTheSessionId)
{
    CRVMSG m(0, MSG_INIT_SESSION_REPLY, 4, 1);
    m.PutInt(4242);
    Process(m);
    EXPECT_EQ(4242, m_pWnd->SessionID());
}

TEST_F(DispatchReply, UnlistedIdentifierInTheTableRangeIsIgnored)
{
    CSurf* pA = AddPlain(1, m_pWnd);
    CRVMSG m(0, 20126, 0, 1);
    m.PutInt(1);
    m.PutInt(2);
    Process(m);
    EXPECT_EQ(0u, m.ReadIndex());
    EXPECT_EQ(pA, m_pWnd->FindSurface(1));
    EXPECT_EQ(CRVRect(0, 0, 10, 10), pA->Position(ORIENT_0));
    ExpectNothingSent();
}

TEST_F(DispatchReply, AddressDiscoveryGoesToTheNamedSurface)
{
    CSpySurf* pSpy = AddSpy(12);
    for (int id : { 12, 999, 0 }) {
        CRVMSG m(0, MSG_STUN, 8, 1);
        m.PutInt(id);
        m.PutInt(2);
        Process(m);
    }
    std::vector<SPY_CALL> want = { { "stun", { 2 } } };
    EXPECT_EQ(want, pSpy->calls);
}

TEST_F(DispatchReply, InvalidateAsksForARedrawOnlyForAKnownSurface)
{
    AddPlain(1, m_pWnd);
    m_pWnd->ClearStateBits(CSurf::SS_NEEDS_REDRAW);
    CRVMSG unknown(0, MSG_INVALIDATE, 4, 1);
    unknown.PutInt(999);
    Process(unknown);
    EXPECT_FALSE(m_pWnd->State() & CSurf::SS_NEEDS_REDRAW);
    CRVMSG known(0, MSG_INVALIDATE, 4, 1);
    known.PutInt(1);
    Process(known);
    EXPECT_TRUE(m_pWnd->State() & CSurf::SS_NEEDS_REDRAW);
}

TEST_F(DispatchReply, SettingsAndCameraValuesAreKept)
{
    CRVMSG settings(0, MSG_SETTINGS, 0, 1);
    settings.PutInt(70);
    settings.PutInt(30);
    settings.PutString(CRVString(""));
    settings.PutInt(0);
    settings.PutString(CRVString("Arial"));
    settings.PutInt(0);
    Process(settings);
    EXPECT_EQ(70, m_pWnd->GetStreamVolume());
    EXPECT_EQ(30, m_pWnd->m_iSoundVolume);

    CRVMSG camera(0, MSG_CAMERA_SETTINGS, 12, 1);
    for (int v : { 256, 8, 3 })
        camera.PutInt(v);
    Process(camera);
    EXPECT_EQ(256, m_pWnd->m_iCameraSize);
    EXPECT_EQ(8, m_pWnd->m_iCameraOffset);
    EXPECT_EQ(3, m_pWnd->m_iCameraPositions);
}

// Save prompt and file transfer.
class DispatchFileSave : public DispatchReply
{
protected:
    // The dialog answers with sURL and remembers the extension it was given.
    void AnswerPrompt(const std::wstring& sURL)
    {
        g_GLDelegateHooks.savePrompt = [this, sURL](wchar_t* pBuffer, int iSize, const wchar_t* pszExt) {
            m_sExt = pszExt;
            wcsncpy(pBuffer, sURL.c_str(), (size_t)iSize - 1);
            return 1;
        };
    }
    void Prompt(int iKey, const char* pszPattern)
    {
        CRVMSG m(0, MSG_FILE_SAVE, 0, 1);
        m.PutInt(iKey);
        m.PutString(CRVString("Report"));
        m.PutString(CRVString("Save the report"));
        m.PutString(CRVString(""));
        m.PutString(CRVString(pszPattern));
        Process(m);
    }
    // A transfer to the file pszName in the test's directory under key iKey:
    // the dialog gives its URL, and the controller is told the file is ready.
    std::string StartSave(const char* pszName, int iKey)
    {
        std::string sPath = m_dir / pszName;
        AnswerPrompt(L"file://" + Wide(sPath));
        Prompt(iKey, "*.txt");
        ExpectFrame(MSG_FILE_SAVE_READY, 0, { iKey });
        return sPath;
    }
    void Chunk(int iTotal, int iOffset, const std::string& s)
    {
        CRVMSG m(0, MSG_FILE_DATA, 0, 1);
        m.PutInt(iTotal);
        m.PutInt(iOffset);
        m.PutInt((int)s.size());
        m.PutData(reinterpret_cast<const unsigned char*>(s.data()), (int)s.size());
        Process(m);
    }
    static std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }
    std::wstring m_sExt;
};

TEST_F(DispatchFileSave, ChunksAreWrittenAndTheFileClosedAtTheTotal)
{
    std::string sPath = StartSave("report.txt", 42);
    EXPECT_EQ(L"txt", m_sExt);
    Chunk(6, 0, "abc");
    EXPECT_NE(nullptr, m_pWnd->m_pSaveFile);
    Chunk(6, 3, "def");
    EXPECT_EQ(nullptr, m_pWnd->m_pSaveFile);
    EXPECT_EQ("abcdef", ReadFileText(sPath));
}

TEST_F(DispatchFileSave, LocalhostUrlNamesALocalPath)
{
    std::string sPath = m_dir / "local.bin";
    AnswerPrompt(L"file://localhost" + Wide(sPath));
    Prompt(5, "*.bin");
    ExpectFrame(MSG_FILE_SAVE_READY, 0, { 5 });
    Chunk(1, 0, "x");
    EXPECT_EQ("x", ReadFileText(sPath));
}

TEST_F(DispatchFileSave, TotalOfZeroDeletesTheFile)
{
    std::string sPath = StartSave("cancelled.txt", 42);
    Chunk(10, 0, "abc");
    ASSERT_TRUE(FileExists(sPath));
    Chunk(0, 0, "");
    EXPECT_FALSE(FileExists(sPath));
    EXPECT_EQ(nullptr, m_pWnd->m_pSaveFile);
}

TEST_F(DispatchFileSave, CancelledPromptOpensNothingAndSendsNothing)
{
    Prompt(42, "*.txt");
    EXPECT_EQ(1, g_GLDelegateHooks.iSavePromptCalls.load());
    EXPECT_EQ(nullptr, m_pWnd->m_pSaveFile);
    Chunk(3, 0, "abc");
    ExpectNothingSent();
}

TEST_F(DispatchFileSave, UnwritablePlaceIsNotConfirmed)
{
    AnswerPrompt(L"file://" + Wide(m_dir / "missing/dir/x.txt"));
    Prompt(42, "*.txt");
    EXPECT_EQ(nullptr, m_pWnd->m_pSaveFile);
    ExpectNothingSent();
}

TEST_F(DispatchFileSave, ChunkLongerThanItsDataIsDropped)
{
    std::string sPath = StartSave("short.txt", 1);
    CRVMSG m(0, MSG_FILE_DATA, 0, 1);
    m.PutInt(100);
    m.PutInt(0);
    m.PutInt(100);   // announces 100 bytes, carries 4
    m.PutInt(0x64636261);
    Process(m);
    ASSERT_NE(nullptr, m_pWnd->m_pSaveFile);
    Chunk(2, 0, "ok");
    EXPECT_EQ("ok", ReadFileText(sPath));
}

TEST_F(DispatchFileSave, NewPromptClosesTheEarlierFile)
{
    std::string sFirst = StartSave("first.txt", 1);
    Chunk(10, 0, "12345");
    std::string sSecond = StartSave("second.txt", 2);
    EXPECT_EQ("12345", ReadFileText(sFirst));
    Chunk(2, 0, "ab");
    EXPECT_EQ("ab", ReadFileText(sSecond));
}

// The window goes while a transfer is open: what arrived is kept on disk and
// the file is released with the window (the leak checker sees it otherwise).
TEST_F(DispatchFileSave, WindowClosedMidTransferKeepsWhatArrived)
{
    std::string sPath = StartSave("unfinished.txt", 3);
    Chunk(10, 0, "12345");
    ASSERT_NE(nullptr, m_pWnd->m_pSaveFile);
    delete m_pWnd;
    m_pWnd = nullptr;
    EXPECT_EQ("12345", ReadFileText(sPath));
}

// The controller ends the session: the running socket loop stops pumping.
TEST_F(DispatchReply, SessionEndStopsTheSocketLoop)
{
    m_pWnd->StartSocketHandler();
    ASSERT_TRUE(m_peer.SendFrame(0, MSG_ECHO, { 1, 0, 0, 0, 2, 0, 0, 0 }));
    ExpectFrame(MSG_ECHO, 0, { 1, 2 });

    ASSERT_TRUE(m_peer.SendFrame(0, MSG_SESSION_END));
    uint32_t start = RVGetTickCount();
    while (m_pWnd->IsSocketHandlerRunning() && RVTickSince(start) < 2000)
        usleep(5000);
    EXPECT_FALSE(m_pWnd->IsSocketHandlerRunning());
    EXPECT_FALSE(m_pWnd->RunFlags() & CMainWnd::RUN_SOCKET);
    EXPECT_TRUE(m_pWnd->RunFlags() & CMainWnd::RUN_SESSION_ENDED);
    EXPECT_TRUE(m_pWnd->RunFlags() & CMainWnd::RUN_ANIMATION);
    EXPECT_EQ(1, g_GLDelegateHooks.iStopCameraCalls.load());

    // Nothing reads the link any more.
    ASSERT_TRUE(m_peer.SendFrame(0, MSG_ECHO, { 3, 0, 0, 0, 4, 0, 0, 0 }));
    RAW_FRAME f;
    EXPECT_FALSE(m_peer.ReadFrame(&f, 300));
}
