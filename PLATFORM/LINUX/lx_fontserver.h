// CSysFontServer: the default font server, drawn by the system's text engine
// (Pango over Cairo, fonts found by fontconfig) in the face "Arial".
//
// fontconfig maps "Arial" to an installed face with the same metrics (Liberation
// Sans from fonts-liberation2, or Arimo), so the controller's layouts, made for
// that face, fit. Text goes to Pango in logical order: Pango's bidirectional
// algorithm puts right-to-left runs in display order itself.
//
// Text is measured at a corrected pixel size: the largest size whose line
// height (ascent + descent + 1.5, truncated) is not above the requested size.
// A measured extent is the layout's logical size plus 2.5, truncated; drawing
// puts the text 1 pixel in from the left of that box so that glyphs reaching
// left of their origin keep their ink.
//
// The Pango objects are made on first use and guarded by one lock per server:
// text is measured on the engine's threads and drawn on the drawing thread.
#pragma once

#include "FontServer.h"

#include <mutex>
#include <string>
#include <vector>

typedef struct _PangoContext PangoContext;
typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _PangoFontMap PangoFontMap;
typedef struct _PangoLayout PangoLayout;

class CSysFontServer : public CFontServer
{
public:
    // The face every text is drawn in.
    static const char* const FACE;
    enum
    {
        // Corrected sizes are kept for requested sizes 1 .. 255.
        SIZE_TABLE = 256,
        // Pixel sizes a font is made at; the extremes are far beyond any
        // text on a screen and keep the work for a hostile size bounded.
        MIN_PIXEL_SIZE = 1,
        MAX_PIXEL_SIZE = 2048,
        // Left inset of drawn text, pixels.
        LEFT_INSET = 1,
    };

    CSysFontServer();
    ~CSysFontServer() override;

    using CFontServer::GetTextExtent;
    // Logical size of the text's lines plus 2.5 each way, truncated; (0, 0)
    // for an empty text, a size below 1 or when no font can be had.
    SIZE GetTextExtent(int iSize, const wchar_t* pText, int iCount, THREAD_CTX ctx = nullptr) override;
    // Pango's line break for the first line at iWidth: the characters whose
    // measured extent fits iWidth, breaking between words where it can and
    // inside a word that is wider than the line by itself. A line feed or
    // carriage return ending that line is counted with it.
    int MaxCharsInLine(int iSize, const wchar_t* pText, int iCount, int iWidth, int iLookBack,
                       int bStopAtNewline) override;
    // The lines the text is broken into at iWidth (at most iMaxLines, 100
    // when 0), as CreateGLDIB would draw it; at least 1.
    int GetTextLines(int iSize, int iWidth, int iMaxLines, const CRVString& sText) override;
    // Cut or broken as the params say, then drawn white on zero coverage,
    // each line centred (flag 0x2) or from the left.
    CGLDIB* CreateGLDIB(const CRVString& sText, RVT_TEXT_RENDER_PARAMS* pParams) override;

    // Requested size -> the pixel size the face is used at; sizes outside
    // 1 .. 255 are scaled by 8 / 10.
    int GetCorrectedFontSize(int iSize);
    // The family fontconfig gives for pszFace; empty when none.
    CRVString ResolveFamily(const char* pszFace);
    // Draws text (lines separated by U+000A) at iSize into an 8-bit coverage
    // bitmap of iRows rows iStride bytes apart (iStride a multiple of 4),
    // centring each line within the first iWidth columns when bCenter is set.
    // 1 when drawn.
    int DrawText(const CRVString& sText, int iSize, int bCenter, unsigned char* pBits, int iStride, int iRows,
                 int iWidth);

private:
    // Lock held for all of the following.
    int Ready();
    int LineHeight(int iPixelSize);
    static int PixelSize(int iCorrected);
    // The text and the face at iPixelSize in m_pLayout, without wrapping,
    // left-aligned. pOffsets, when given, receives the byte offset of every
    // character and the total length at the end.
    void SetLayout(int iPixelSize, const wchar_t* pText, int iCount, std::vector<int>* pOffsets);

    std::recursive_mutex m_Lock;
    PangoFontMap* m_pFontMap;
    PangoContext* m_pContext;
    PangoLayout* m_pLayout;
    PangoFontDescription* m_pFont;
    int m_bFailed;
    // Corrected sizes by requested size; 0 = not known yet.
    int m_aCorrected[SIZE_TABLE];
    // What m_pLayout holds: pixel size (0 none yet) and text.
    int m_iLayoutSize;
    std::string m_sLayoutText;
};
