// A font server with fixed metrics for engine tests: every character is
// size x m_iCharPercent / 100 pixels wide (at least 1) and a line is size
// pixels high, so sizes and offsets can be worked out by hand. With
// m_bSizedTexts a text "WxH" (anything may follow) is measured and drawn as
// W x H pixels whatever the size (for packing tests). Its bitmaps are either solid coverage or a
// pattern that differs from text to text (for checking atlas texels); it
// counts what it was asked and keeps the last params. It becomes
// g_pFontServer while it lives.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

#include "FontServer.h"
#include "gl_es.h"

class CFakeFontServer : public CFontServer
{
public:
    CFakeFontServer() : m_pBefore(g_pFontServer) { g_pFontServer = this; }
    ~CFakeFontServer() override { g_pFontServer = m_pBefore; }

    int CharWidth(int iSize) const
    {
        const int w = iSize * m_iCharPercent / 100;
        return w > 0 ? w : 1;
    }

    // The coverage byte at (x, y) of a text's bitmap: never 0, and mostly
    // different for different texts.
    static unsigned char Pattern(const CRVString& sText, int x, int y)
    {
        CRVString s(sText);
        unsigned int seed = 0;
        for (const wchar_t* p = (wchar_t*)s; p && *p; p++)
            seed = seed * 31u + (unsigned int)*p;
        return (unsigned char)(1 + (seed + (unsigned int)x * 7u + (unsigned int)y * 13u) % 255u);
    }

    using CFontServer::GetTextExtent;
    SIZE GetTextExtent(int iSize, const wchar_t* pText, int iCount, THREAD_CTX) override
    {
        m_iMeasures++;
        if (iCount <= 0 || iSize <= 0)
            return SIZE{0, 0};
        if (m_bSizedTexts) {
            std::wstring s(pText, (size_t)iCount);
            int w = 0, h = 0;
            return swscanf(s.c_str(), L"%dx%d", &w, &h) == 2 ? SIZE{w, h} : SIZE{0, 0};
        }
        // Lines split at U+000A: the widest, and one size per line.
        int iLines = 1, iLine = 0, iWidest = 0;
        for (int i = 0; i < iCount; i++) {
            if (pText[i] == L'\n') {
                iLines++;
                iLine = 0;
            } else if (++iLine > iWidest) {
                iWidest = iLine;
            }
        }
        return SIZE{iWidest * CharWidth(iSize), iLines * iSize};
    }
    int MaxCharsInLine(int iSize, const wchar_t*, int iCount, int iWidth, int, int) override
    {
        const int n = iWidth / CharWidth(iSize);
        return n < iCount ? n : iCount;
    }
    int GetTextLines(int iSize, int iWidth, int iMaxLines, const CRVString& sText) override
    {
        RVT_TEXT_RENDER_PARAMS p;
        p.iSize = iSize;
        p.iWrapMode = RVT_TEXT_RENDER_PARAMS::WRAP_LINES;
        p.iMaxWidth = iWidth;
        p.iMaxLines = iMaxLines;
        const SIZE e = GetTextExtent(iSize, LayoutText(sText, p));
        return iSize > 0 ? e.cy / iSize : 1;
    }

    CGLDIB* CreateGLDIB(const CRVString& sText, RVT_TEXT_RENDER_PARAMS* pParams) override
    {
        m_iCreates++;
        m_LastParams = *pParams;
        const CRVString sShown = LayoutText(sText, *pParams);
        const SIZE e = GetTextExtent(pParams->iSize, sShown);
        if (e.cx <= 0 || e.cy <= 0 || m_bFail)
            return nullptr;
        const int tw = (e.cx + 3) & ~3, th = (e.cy + 3) & ~3;
        std::vector<unsigned char> bits((size_t)tw * (size_t)th, 0);
        for (int y = 0; y < e.cy; y++)
            for (int x = 0; x < e.cx; x++)
                bits[(size_t)y * (size_t)tw + (size_t)x] = m_bSolid ? 255 : Pattern(sShown, x, y);
        CGLDIB* pDib;
        if (pParams->bOutputFlags & RVT_TEXT_RENDER_PARAMS::OUTPUT_MEMORY) {
            pDib = new CGLDIBMem(e.cx, e.cy, tw, th);
            if (pDib->Image())
                memcpy(pDib->Image(), bits.data(), bits.size());
        } else {
            const unsigned int uTexture = GLNewTexture(1);
            if (uTexture == CGLDIB::NO_TEXTURE)
                return nullptr;
            GLTexAllocate(GL_ALPHA, GL_ALPHA, tw, th, tw, bits.data());
            pDib = new CGLDIB(uTexture, e.cx, e.cy, tw, th);
            pDib->SetFlags(CGLDIB::GLDIB_ALPHA);
        }
        pDib->SetTextCenterLine(e.cy / 2);
        return pDib;
    }

    int m_iCharPercent = 50;
    bool m_bSizedTexts = false;
    int m_iCreates = 0;
    int m_iMeasures = 0;
    bool m_bSolid = true;       // coverage 255, else Pattern
    bool m_bFail = false;       // CreateGLDIB gives null
    RVT_TEXT_RENDER_PARAMS m_LastParams;

private:
    CFontServer* m_pBefore;
};
