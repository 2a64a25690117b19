// Fitting text to its box (cut with "...", broken into lines) over a server
// whose every character is half the font size wide, so that the expected
// results can be worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "FontServer.h"

namespace {

// Characters are iSize / 2 wide, lines iSize high; a line breaks after the
// last space that fits, else after as many characters as fit.
class CFixedFontServer : public CFontServer
{
public:
    using CFontServer::GetTextExtent;
    using CFontServer::SplitText;
    using CFontServer::TruncateText;

    SIZE GetTextExtent(int iSize, const wchar_t* p, int n, THREAD_CTX) override
    {
        m_iMeasured++;
        int iLines = 1, iLine = 0, iWidest = 0;
        for (int i = 0; i < n; i++) {
            if (p[i] == L'\n') {
                iLines++;
                iLine = 0;
                continue;
            }
            iLine += iSize / 2;
            iWidest = std::max(iWidest, iLine);
        }
        return SIZE{ n ? iWidest : 0, n ? iLines * iSize : 0 };
    }
    int MaxCharsInLine(int iSize, const wchar_t* p, int n, int iWidth, int, int) override
    {
        int iFit = std::min(n, iWidth / (iSize / 2));
        for (int i = iFit; i > 0; i--)
            if (i < n && p[i] == L' ')
                return i + 1;
        return iFit;
    }
    int m_iMeasured = 0;
};

std::wstring Wide(const CRVString& s)
{
    CRVString c(s);
    c.ConvertTowchar_t();
    return std::wstring(static_cast<const wchar_t*>(c.GetData()), (size_t)c.GetLength());
}

TEST(FontServerLayout, TruncateKeepsTheLongestHeadThatLeavesRoomForTheEllipsis)
{
    CFixedFontServer server;    // size 10: 5 pixels a character, "..." 15
    struct CASE
    {
        const wchar_t* pszText;
        int iMaxWidth;
        const wchar_t* pszWant;
    } cases[] = {
        { L"ABCDEFG", 35, L"ABCDEFG" },     // fits exactly
        { L"ABCDEFG", 34, L"ABC..." },      // 34 - 15 leaves 19: three characters
        { L"ABCDEFGH", 35, L"ABCD..." },
        { L"ABCDEFG", 25, L"AB..." },
        { L"ABCDEFG", 3, L"A..." },         // nothing fits: one character stays
        { L"ABC", 1, L"ABC" },              // under 4 characters: never cut
        { L"", 1, L"" },
    };
    for (const CASE& t : cases)
        EXPECT_EQ(std::wstring(t.pszWant), Wide(server.TruncateText(CRVString(t.pszText), 10, t.iMaxWidth)))
            << t.pszText << " in " << t.iMaxWidth;
    // A narrow text goes in as it is and comes out wide.
    EXPECT_EQ(L"ABC...", Wide(server.TruncateText(CRVString("ABCDEFG"), 10, 34)));
}

TEST(FontServerLayout, TruncateMeasuresLogarithmicallyOften)
{
    CFixedFontServer server;
    std::wstring s(4000, L'x');
    CRVString sCut = server.TruncateText(CRVString(s.c_str()), 10, 100);
    EXPECT_EQ(std::wstring(17, L'x') + L"...", Wide(sCut));
    EXPECT_LT(server.m_iMeasured, 20);
}

TEST(FontServerLayout, SplitBreaksAtSpacesLimitsTheLinesAndDropsTheRest)
{
    CFixedFontServer server;    // size 10, width 50: ten characters a line
    struct CASE
    {
        const wchar_t* pszText;
        int iMaxLines;
        int iMaxHeight;
        const wchar_t* pszWant;
    } cases[] = {
        { L"short", 0, 1000, L"short" },
        { L"lights on in the hall", 0, 1000, L"lights on\nin the\nhall" },
        // Two lines at most, the rest dropped without an ellipsis.
        { L"lights on in the hall", 2, 1000, L"lights on\nin the" },
        // The box height allows 25 / 10 = 2 lines.
        { L"lights on in the hall", 0, 25, L"lights on\nin the" },
        // A box lower than one line still gets one.
        { L"lights on in the hall", 0, 5, L"lights on" },
        // A word longer than the line is cut inside.
        { L"abcdefghijklmnopqrstuvwxyz", 0, 1000, L"abcdefghij\nklmnopqrst\nuvwxyz" },
        // Line feeds end lines; spaces at breaks and starts are dropped.
        { L"one\ntwo three", 0, 1000, L"one\ntwo three" },
        { L"one\n\nthree", 0, 1000, L"one\n\nthree" },
        { L"   lead", 0, 1000, L"   lead" },
        { L"ten chars   next", 0, 1000, L"ten chars\nnext" },
        { L"", 0, 1000, L"" },
    };
    for (const CASE& t : cases)
        EXPECT_EQ(std::wstring(t.pszWant),
                  Wide(server.SplitText(CRVString(t.pszText), 10, 50, t.iMaxLines, t.iMaxHeight)))
            << t.pszText;
}

TEST(FontServerLayout, SplitEndsWhenNotEvenOneCharacterFits)
{
    CFixedFontServer server;
    EXPECT_EQ(L"a\nb\nc", Wide(server.SplitText(CRVString(L"abc"), 10, 1, 0, 1000)));
}

TEST(FontServerLayout, BaseServerMeasuresNothingAndRendersNothing)
{
    CFontServer server;
    SIZE s = server.GetTextExtent(20, CRVString("text"));
    EXPECT_EQ(0, s.cx);
    EXPECT_EQ(0, s.cy);
    RVT_TEXT_RENDER_PARAMS p;
    p.iSize = 20;
    EXPECT_EQ(nullptr, server.CreateGLDIB(CRVString("text"), &p));
    EXPECT_EQ(FONTSERVER_TYPE_DEFAULT, server.ServerType());
    EXPECT_EQ(17, server.ClosestHeight(17));
}

TEST(FontServerLayout, NarrowTextIsMeasuredAsItsCharacters)
{
    CFixedFontServer server;
    SIZE s = server.GetTextExtent(10, CRVString("ab\ncde"));
    EXPECT_EQ(15, s.cx);
    EXPECT_EQ(20, s.cy);
}

} // namespace
