// The system font server over Pango and Cairo: measuring, line breaking,
// cutting, alignment, coverage bitmaps and textures, right-to-left text, and
// which faces fontconfig picks. Text tests run on one pinned face (Liberation
// Sans) so that their bitmaps are the same on every machine.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "gl_es.h"
#include "gl_fixture.h"
#include "gl_thread.h"
#include "lx_fontserver.h"
#include "pinned_fonts.h"

namespace {

// The layout helpers are the server's own; tests reach them here.
class CTestSysFontServer : public CSysFontServer
{
public:
    using CFontServer::SplitText;
    using CFontServer::TruncateText;
};

// A coverage bitmap copied out of a memory CGLDIB.
struct COVERAGE
{
    int w = 0, h = 0;       // text size
    int tw = 0, th = 0;     // padded size, row stride tw
    std::vector<unsigned char> bits;

    unsigned char At(int x, int y) const { return bits[(size_t)y * tw + x]; }
    // Columns of the text box holding any ink, first and last; -1 when none.
    void InkColumns(int y0, int y1, int* pFirst, int* pLast) const
    {
        *pFirst = *pLast = -1;
        for (int x = 0; x < w; x++)
            for (int y = y0; y < y1; y++)
                if (At(x, y)) {
                    if (*pFirst < 0)
                        *pFirst = x;
                    *pLast = x;
                }
    }
    int InkRows() const
    {
        int n = 0;
        for (int y = 0; y < th; y++)
            for (int x = 0; x < tw; x++)
                if (At(x, y)) {
                    n++;
                    break;
                }
        return n;
    }
};

RVT_TEXT_RENDER_PARAMS Params(int iSize, int iWrap, int iMaxWidth, int iMaxHeight = 1000, int iFlags = 0)
{
    RVT_TEXT_RENDER_PARAMS p;
    p.iSize = iSize;
    p.iWrapMode = iWrap;
    p.iMaxWidth = iMaxWidth;
    p.iMaxHeight = iMaxHeight;
    p.bFlags = (uint8_t)iFlags;
    p.bOutputFlags = RVT_TEXT_RENDER_PARAMS::OUTPUT_MEMORY;
    return p;
}

class SysFontServer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_fonts.ok())
            GTEST_SKIP() << "Liberation Sans is not installed";
    }

    // Renders into memory; false (and nothing in *pOut) for a null result.
    bool Render(const CRVString& sText, RVT_TEXT_RENDER_PARAMS p, COVERAGE* pOut)
    {
        CGLDIB* pDIB = m_server.CreateGLDIB(sText, &p);
        if (!pDIB)
            return false;
        EXPECT_FALSE(pDIB->HasTexture());
        EXPECT_TRUE(pDIB->Flags() & CGLDIB::GLDIB_ALPHA);
        EXPECT_EQ(pDIB->ImageHeight() / 2, pDIB->TextCenterLine());
        pOut->w = pDIB->ImageWidth();
        pOut->h = pDIB->ImageHeight();
        pOut->tw = pDIB->TextureWidth();
        pOut->th = pDIB->TextureHeight();
        pOut->bits.assign(pDIB->Image(), pDIB->Image() + (size_t)pOut->tw * pOut->th);
        pDIB->Release();
        return true;
    }
    int Width(int iSize, const wchar_t* psz) { return m_server.GetTextExtent(iSize, CRVString(psz)).cx; }

    CPinnedFonts m_fonts;
    CTestSysFontServer m_server;
};

TEST(SysFontServerFaces, ArialIsAMetricCompatibleFaceAndAMissingFaceFallsBack)
{
    // The machine's own fontconfig setup, as the viewer sees it.
    CSysFontServer server;
    CRVString sArial = server.ResolveFamily("Arial");
    EXPECT_TRUE(sArial == "Liberation Sans" || sArial == "Arimo") << static_cast<char*>(sArial);
    CRVString sMissing = server.ResolveFamily("No Such Face Anywhere");
    EXPECT_FALSE(sMissing.IsEmpty());
    EXPECT_NE(sMissing, "No Such Face Anywhere");
    RecordProperty("missing_face_falls_back_to", static_cast<char*>(sMissing));
}

TEST_F(SysFontServer, PinnedSetupHasTheOneFace)
{
    EXPECT_EQ(m_server.ResolveFamily(CSysFontServer::FACE), "Liberation Sans");
    EXPECT_EQ(m_server.ResolveFamily("DejaVu Sans"), "Liberation Sans");
}

TEST_F(SysFontServer, CorrectedSizeKeepsTheLineInsideTheRequestedHeight)
{
    for (int iSize : { 8, 12, 16, 20, 24, 36, 48, 100, 255 }) {
        int s = m_server.GetCorrectedFontSize(iSize);
        EXPECT_GE(s, iSize * 3 / 4) << iSize;
        EXPECT_LT(s, iSize) << iSize;
        // One line measures its height plus 2.5: at most one pixel over.
        SIZE ext = m_server.GetTextExtent(iSize, CRVString("Hg"));
        EXPECT_LE(ext.cy, iSize + 1) << iSize;
        EXPECT_GE(ext.cy, iSize - 1) << iSize;
    }
    // Outside the table the size is scaled by 8 / 10.
    EXPECT_EQ(m_server.GetCorrectedFontSize(300), 240);
    EXPECT_EQ(m_server.GetCorrectedFontSize(-10), -8);
}

TEST_F(SysFontServer, WidthsGrowWithTheText)
{
    const std::wstring s = L"The quick brown fox jumps over the lazy dog";
    int iLast = 0;
    for (size_t n = 1; n <= s.size(); n++) {
        int w = m_server.GetTextExtent(20, s.c_str(), (int)n).cx;
        EXPECT_GE(w, iLast) << n;
        iLast = w;
    }
    EXPECT_GT(iLast, 300);
    // Larger sizes are wider; the widest line counts, lines add up in height.
    EXPECT_LT(Width(12, L"Kitchen"), Width(24, L"Kitchen"));
    SIZE one = m_server.GetTextExtent(20, CRVString(L"Kitchen lights"));
    SIZE two = m_server.GetTextExtent(20, CRVString(L"Kitchen\nlights"));
    EXPECT_EQ(two.cx, Width(20, L"Kitchen"));
    EXPECT_GE(two.cy, 2 * one.cy - 3);
}

TEST_F(SysFontServer, NothingToMeasureIsZero)
{
    SIZE a = m_server.GetTextExtent(20, CRVString(""));
    SIZE b = m_server.GetTextExtent(0, CRVString("Text"));
    SIZE c = m_server.GetTextExtent(20, nullptr, 5);
    for (SIZE s : { a, b, c }) {
        EXPECT_EQ(0, s.cx);
        EXPECT_EQ(0, s.cy);
    }
}

TEST_F(SysFontServer, LineBreaksFallBetweenWordsAndInsideAWordTooLongForTheLine)
{
    const std::wstring s = L"Living room";
    const int iWidth = Width(20, L"Living room") - 4;   // "room" does not fit
    int n = m_server.MaxCharsInLine(20, s.c_str(), (int)s.size(), iWidth, 0, 0);
    EXPECT_EQ(7, n);    // "Living " with the space at the break
    EXPECT_LE(m_server.GetTextExtent(20, s.c_str(), 6).cx, iWidth);

    const std::wstring w = L"Supercalifragilisticexpialidocious";
    const int iNarrow = Width(20, L"Supercal");
    n = m_server.MaxCharsInLine(20, w.c_str(), (int)w.size(), iNarrow, 0, 0);
    EXPECT_GT(n, 3);
    EXPECT_LT(n, 10);
    EXPECT_LE(m_server.GetTextExtent(20, w.c_str(), n).cx, iNarrow);

    // A line feed ends the first line and is counted with it.
    const std::wstring f = L"Hall\nStairs";
    EXPECT_EQ(5, m_server.MaxCharsInLine(20, f.c_str(), (int)f.size(), 500, 0, 1));
}

TEST_F(SysFontServer, LongWordIsBrokenAcrossLinesThatFitTheBox)
{
    const int iWidth = Width(20, L"Supercalif");
    CRVString sLines = m_server.SplitText(CRVString(L"Supercalifragilisticexpialidocious"), 20, iWidth, 0, 1000);
    CRVString sCopy(sLines);
    int iBreaks = 0;
    for (int i = 0; i < sCopy.GetLength(); i++)
        iBreaks += sCopy[i] == L'\n';
    EXPECT_GE(iBreaks, 2);

    COVERAGE c;
    ASSERT_TRUE(Render(CRVString(L"Supercalifragilisticexpialidocious"), Params(20, 1, iWidth), &c));
    EXPECT_LE(c.w, iWidth);
    EXPECT_GE(c.h, 3 * 20);
}

TEST_F(SysFontServer, TwoLinesAtMostAndNoEllipsisForTheRest)
{
    const CRVString sText(L"Turn the lights in the living room and the kitchen off at ten");
    const int iWidth = Width(20, L"Turn the lights in");
    CRVString s = m_server.SplitText(sText, 20, iWidth, 2, 1000);
    CRVString sCopy(s);
    int iFeeds = 0;
    for (int i = 0; i < sCopy.GetLength(); i++)
        iFeeds += sCopy[i] == L'\n';
    EXPECT_EQ(1, iFeeds);
    EXPECT_EQ(-1, s.Find(L'.'));
    // The box height limits the lines too: 45 / 20 allows two.
    EXPECT_EQ(s, m_server.SplitText(sText, 20, iWidth, 0, 45));

    // Line counts as the text would be drawn.
    EXPECT_EQ(2, m_server.GetTextLines(20, iWidth, 2, sText));
    EXPECT_EQ(4, m_server.GetTextLines(20, iWidth, 0, sText));
    EXPECT_EQ(1, m_server.GetTextLines(20, 2000, 0, sText));
    EXPECT_EQ(1, m_server.GetTextLines(20, iWidth, 0, CRVString("")));

    COVERAGE c;
    RVT_TEXT_RENDER_PARAMS p = Params(20, 1, iWidth);
    p.iMaxLines = 2;
    ASSERT_TRUE(Render(sText, p, &c));
    EXPECT_LE(c.h, 2 * 21);
}

TEST_F(SysFontServer, TooWideLineIsCutWithAnEllipsisThatFits)
{
    const int iFull = Width(20, L"ABCDEFG");
    struct CASE
    {
        const wchar_t* pszText;
        int iMaxWidth;
        bool bCut;
    } cases[] = {
        { L"ABCDEFG", iFull - 10, true },
        { L"ABCDEFG", iFull, false },       // fits exactly
        { L"ABC", 5, false },               // under 4 characters: never cut
        { L"ABCDEFG", 1, true },            // nothing fits: one character stays
    };
    for (const CASE& t : cases) {
        CRVString s = m_server.TruncateText(CRVString(t.pszText), 20, t.iMaxWidth);
        if (!t.bCut) {
            EXPECT_EQ(s, t.pszText);
            continue;
        }
        ASSERT_GE(s.GetLength(), 4) << t.iMaxWidth;
        EXPECT_EQ(s.Right(3), L"...");
        EXPECT_EQ(s.Left(1), L"A");
        if (t.iMaxWidth > Width(20, L"A...")) {
            EXPECT_LE(m_server.GetTextExtent(20, s).cx, t.iMaxWidth);
        } else {
            EXPECT_EQ(s, L"A...");
        }
    }
    // Wrap mode 0 cuts, any mode other than 0 and 1 never does.
    COVERAGE c;
    ASSERT_TRUE(Render(CRVString(L"ABCDEFG"), Params(20, 0, iFull - 10), &c));
    EXPECT_LE(c.w, iFull - 10);
    ASSERT_TRUE(Render(CRVString(L"ABCDEFG"), Params(20, 2, iFull - 10), &c));
    EXPECT_EQ(iFull, c.w);
}

TEST_F(SysFontServer, CoverageIsInsideTheTextBoxAndZeroOutside)
{
    COVERAGE c;
    ASSERT_TRUE(Render(CRVString(L"Garage door"), Params(24, 2, 1000), &c));
    EXPECT_EQ(Width(24, L"Garage door"), c.w);
    EXPECT_EQ(0, c.tw % 4);
    EXPECT_EQ(0, c.th % 4);
    EXPECT_GE(c.tw, c.w);
    EXPECT_LT(c.tw, c.w + 4);
    EXPECT_LT(c.th, c.h + 4);
    int iInk = 0, iFull = 0;
    for (int y = 0; y < c.th; y++)
        for (int x = 0; x < c.tw; x++) {
            unsigned char v = c.At(x, y);
            if (x >= c.w || y >= c.h) {
                ASSERT_EQ(0, v) << x << "," << y;
            }
            iInk += v != 0;
            iFull += v == 255;
        }
    // Glyph stems are solid, their edges grey.
    EXPECT_GT(iInk, c.w * c.h / 10);
    EXPECT_GT(iFull, 0);
    EXPECT_LT(iFull, iInk);
}

TEST_F(SysFontServer, EmptyOrUnmeasurableTextGivesNothing)
{
    RVT_TEXT_RENDER_PARAMS p = Params(20, 0, 100);
    EXPECT_EQ(nullptr, m_server.CreateGLDIB(CRVString(""), &p));
    EXPECT_EQ(nullptr, m_server.CreateGLDIB(CRVString("Text"), nullptr));
    RVT_TEXT_RENDER_PARAMS z = Params(0, 0, 100);
    EXPECT_EQ(nullptr, m_server.CreateGLDIB(CRVString("Text"), &z));
    // Far wider than any texture.
    std::wstring sLong(4000, L'W');
    RVT_TEXT_RENDER_PARAMS big = Params(255, 2, 0);
    EXPECT_EQ(nullptr, m_server.CreateGLDIB(CRVString(sLong.c_str()), &big));
}

TEST_F(SysFontServer, CentredLinesShareTheSlackLeftAlignedOnesStartAtTheLeft)
{
    const CRVString sText(L"Bedroom\nLights");
    const int iWide = Width(20, L"Bedroom");
    COVERAGE left, centred;
    ASSERT_TRUE(Render(sText, Params(20, 1, 1000, 1000, 0), &left));
    ASSERT_TRUE(Render(sText, Params(20, 1, 1000, 1000, RVT_TEXT_RENDER_PARAMS::TEXT_CENTER), &centred));
    ASSERT_EQ(iWide, left.w);
    const int iMid = left.h / 2;
    int l0, l1, c0, c1;
    // The short second line.
    left.InkColumns(iMid, left.h, &l0, &l1);
    centred.InkColumns(iMid, centred.h, &c0, &c1);
    EXPECT_LE(l0, 3);
    EXPECT_GT(c0, l0 + 4);
    EXPECT_NEAR(c0, centred.w - 1 - c1, 2);
    EXPECT_EQ(l1 - l0, c1 - c0);
    // The widest line is placed the same either way, give or take the inset.
    left.InkColumns(0, iMid, &l0, &l1);
    centred.InkColumns(0, iMid, &c0, &c1);
    EXPECT_NEAR(l0, c0, 1);
}

TEST_F(SysFontServer, RightToLeftTextIsShownInTheOrderConvertRTLGives)
{
    // Pango applies the bidirectional algorithm to text in logical order; the
    // display order it shows is what ConvertRTL makes of the same text, drawn
    // strictly left to right (U+202D, left-to-right override).
    const CRVString sLogical(L"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD");
    CRVString sVisual(sLogical);
    sVisual.ConvertRTL();
    ASSERT_NE(sVisual, sLogical);
    CRVString sForced(L"\u202D");
    sForced += sVisual;

    COVERAGE a, b;
    ASSERT_TRUE(Render(sLogical, Params(24, 2, 1000), &a));
    ASSERT_TRUE(Render(sForced, Params(24, 2, 1000), &b));
    ASSERT_EQ(a.w, b.w);
    ASSERT_EQ(a.h, b.h);
    EXPECT_EQ(a.bits, b.bits);
    // Not a blank picture that would match anything.
    EXPECT_GT(a.InkRows(), 5);
    COVERAGE reversed;
    ASSERT_TRUE(Render(sVisual, Params(24, 2, 1000), &reversed));
    EXPECT_NE(a.bits, reversed.bits);
}

TEST_F(SysFontServer, CodePointsBeyondSixteenBitsAndBadOnesAreHandled)
{
    // U+1D11E, a lone surrogate and NUL: measured and drawn, never refused.
    const wchar_t szText[] = { L'A', (wchar_t)0x1D11E, (wchar_t)0xD800, 0, L'B' };
    SIZE ext = m_server.GetTextExtent(20, szText, 5);
    EXPECT_GT(ext.cx, Width(20, L"AB"));
    EXPECT_EQ(5, m_server.MaxCharsInLine(20, szText, 5, 1000, 0, 0));
}

TEST_F(SysFontServer, ThreadsMeasureTheSameWidths)
{
    const std::wstring s = L"Front door unlocked";
    const int iWant = m_server.GetTextExtent(18, s.c_str(), (int)s.size()).cx;
    std::vector<std::thread> threads;
    std::vector<int> bad(4, 0);
    for (int t = 0; t < 4; t++)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; i++)
                if (m_server.GetTextExtent(18, s.c_str(), (int)s.size()).cx != iWant)
                    bad[(size_t)t]++;
        });
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(std::vector<int>(4, 0), bad);
}

// The texture form, on an offscreen context.
class SysFontServerGL : public GLFixture
{
protected:
    void SetUp() override
    {
        if (!m_fonts.ok())
            GTEST_SKIP() << "Liberation Sans is not installed";
        GLFixture::SetUp();
    }
    CPinnedFonts m_fonts;
    CSysFontServer m_server;
};

TEST_F(SysFontServerGL, TextureHoldsTheSameCoverageAsTheMemoryBitmap)
{
    if (!m_bOpen)
        return;
    CGLDrawingScope drawing;
    RVT_TEXT_RENDER_PARAMS p = Params(22, 2, 1000);
    CGLDIB* pMem = m_server.CreateGLDIB(CRVString("Scene 3"), &p);
    p.bOutputFlags = 0;
    CGLDIB* pTex = m_server.CreateGLDIB(CRVString("Scene 3"), &p);
    ASSERT_NE(nullptr, pMem);
    ASSERT_NE(nullptr, pTex);
    ASSERT_TRUE(pTex->HasTexture());
    EXPECT_EQ(CGLDIB::GLDIB_ALPHA, pTex->Flags());
    EXPECT_EQ(pMem->ImageWidth(), pTex->ImageWidth());
    EXPECT_EQ(pMem->ImageHeight(), pTex->ImageHeight());
    EXPECT_EQ(pMem->TextureWidth(), pTex->TextureWidth());
    EXPECT_EQ(pMem->TextureHeight(), pTex->TextureHeight());
    EXPECT_FLOAT_EQ((float)pTex->ImageWidth() / (float)pTex->TextureWidth(), pTex->UMax());
    EXPECT_EQ(pTex->ImageHeight() / 2, pTex->TextCenterLine());

    std::vector<unsigned char> read((size_t)pTex->TextureWidth() * pTex->TextureHeight());
    glBindTexture(GL_TEXTURE_2D, pTex->TextureID());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, read.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    EXPECT_EQ(GL_NO_ERROR, (int)glGetError());
    EXPECT_EQ(std::vector<unsigned char>(pMem->Image(), pMem->Image() + read.size()), read);
    pMem->Release();
    pTex->Release();
}

} // namespace
