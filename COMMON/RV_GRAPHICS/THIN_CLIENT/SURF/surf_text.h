// CSurfText: one text in one colour, font size and alignment (kinds 6 and 24).
//
// The text is rasterised by the current font server into a texture of its
// own, or, below a text-atlas owner, packed into the owner's atlas and drawn
// in one batch with the other labels of that subtree. It is rasterised again
// only when something that shapes it changed (state 0x10000): its props, a
// size that no longer holds the text, the orientation, a text-limit group.
//
// Texts in a text-limit group (attribute bits 0x70000, kept by the main
// window) all use the largest font size at which every member fits its box.
//
// Kind 24 adds an effect byte, a margin and a second colour: the box grows by
// the margin on each side, and with an effect and a margin the text is
// outlined (stroke alpha, stroke width, stroke colour), which the atlas does
// not take.
#pragma once

#include "FontServer.h"
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

    // Releases the texture or atlas entry and leaves any text-limit group.
    ~CSurfText() override;
    // A size change that may no longer hold the rasterised text (or any size
    // change before one is known) rasterises it again.
    int SetPosition(ORIENT eOrient, CRVRect rc, MODIFY_CONTEXT ctx = 0) override;
    // Rasterises when needed, then queues the text with the atlas owner or
    // draws its texture (and its reflection under a mirror).
    int RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;
    // String text, colour bytes, byte font size, byte alignment, byte layout
    // style, byte line spacing; kind 24 adds byte effect, an ignored byte,
    // byte margin and colour bytes (second colour). Nothing is applied when
    // text, colour, size, style and spacing are all unchanged. Attribute bits
    // 0x70000 put the text into that text-limit group (0x1000000 begins the
    // group, 0x2000000 commits it).
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    // The text's extent at the used size.
    SIZE PreferredSize(ORIENT eOrient) override;
    // Wrapping texts: lines needed at iWidth times the used size; else the
    // position's height.
    int PreferredDY(ORIENT eOrient, int iWidth) override;
    // The largest listed font size, from the requested one down, at which
    // the text on one line is narrower than the surface; 0 when none.
    virtual int FontSizeThatFits(ORIENT eOrient);

    // Drops the texture or entry and rasterises for the orientation.
    void InitRenderObjects(ORIENT eOrient);
    // What the font server or the atlas gets for the orientation.
    RVT_TEXT_RENDER_PARAMS RenderParams(ORIENT eOrient);
    // Sizes a text-limit group settled on; rasterised again when they differ.
    void SetUsedFontSizes(int iSize0, int iSize1);

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
    // What the last rasterising produced: a texture, an atlas entry, or neither.
    CGLDIB* Texture() const { return m_pTexture; }
    CTextAtlasEntry* AtlasEntry() const { return m_pAtlasEntry; }

    // Text-limit group keys and the attributes that open and close a group.
    enum { TEXT_GROUP_MASK = 0x70000, TEXT_GROUP_BEGIN = 0x1000000, TEXT_GROUP_COMMIT = 0x2000000 };

protected:
    // Where the text lies in the surface (alignment, margin), for a text of
    // w x h with its centre line.
    int TextOffsetX(int iBoxWidth, int w, int bAtlas) const;
    int TextOffsetY(int iHeight, int h, int iCenterLine, int bAtlas) const;
    // Draws the texture with the text program, or an RGBA one with the texture program.
    void DrawTexture(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int bTextProgram);
    void ReleaseRenderObjects();
    // Line spacing in percent, below 1 counting as 100; the font servers
    // take it in their line-limit slot.
    int LineLimit() const { return m_iLineSpacing < 1 ? 100 : m_iLineSpacing; }
    // Leaves every text-limit group of the main window (a group must not
    // keep a deleted member).
    void LeaveTextGroups();

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
