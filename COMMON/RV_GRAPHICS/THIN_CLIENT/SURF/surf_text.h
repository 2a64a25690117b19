// CSurfText: one text in one colour, font size and alignment (kinds 6 and 24).
//
// Built so far: the properties, with their change detection and the state
// bits that ask for the text to be rasterised again. Text-limit groups,
// rasterising through the font server or the text atlas, and drawing are not
// built yet.
#pragma once

#include "rvstring.h"
#include "surf.h"

class CGLDIB;
class CTextAtlasEntry;
class CVBO;

class CSurfText : public CSurf
{
public:
    // Alignment bits.
    enum { ALIGN_CENTER = 0x2, ALIGN_RIGHT = 0x4, ALIGN_VCENTER = 0x10 };

    // iKind: 6, or 24 (with effect, margin and a second colour).
    CSurfText(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iKind);
    ~CSurfText() override;

    // String text, colour bytes, byte font size, byte alignment, byte layout
    // style, byte line spacing; kind 24 adds byte effect, an ignored byte,
    // byte margin and colour bytes (second colour). Nothing is applied when
    // text, colour, size, style and spacing are all unchanged.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    int Kind() const { return m_iKind; }
    const CRVString& Text() const { return m_sText; }
    unsigned int Color() const { return m_uColor; }
    int FontSize() const { return m_iFontSize; }
    int UsedFontSize(ORIENT eOrient) const { return m_iUsedSize[OrientIndex(eOrient)]; }
    int Alignment() const { return m_iAlign; }
    int LayoutStyle() const { return m_iLayoutStyle; }
    int LineSpacing() const { return m_iLineSpacing; }
    int Effect() const { return m_iEffect; }
    int Margin() const { return m_iMargin; }
    unsigned int SecondColor() const { return m_uColor2; }
    // Width of the last rasterised text box; 0 when none is known.
    int RenderedWidth() const { return m_iRenderedWidth; }

protected:
    int m_iKind;
    CRVString m_sText;
    CRVString m_sText2;             // kept empty
    unsigned int m_uColor;          // 0x00RRGGBB
    int m_iFontSize;                // as requested
    int m_iUsedSize[2];             // per orientation, lowered by text-limit groups
    int m_iAlign;
    int m_iLayoutStyle;             // 1: wraps into several lines
    int m_iLineSpacing;             // percent; below 1 counts as 100
    // The rasterised text, or its place in the text atlas; none until drawn.
    CGLDIB* m_pTexture;
    CVBO* m_pVBO;
    CTextAtlasEntry* m_pAtlasEntry;
    int m_iEffect;                  // kind 24
    int m_iMargin;
    unsigned int m_uColor2;
    int m_iRenderedWidth;
    ORIENT m_eLastOrient;
};
