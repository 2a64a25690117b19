// CRVDC: the drawing-context base of the raster canvases. It keeps what every
// drawing operation needs besides pixels: the current colour and font, the
// drawing origin added to every coordinate an operation receives, the stack of
// pushed clip rectangles and the clip in global coordinates.
//
// Colours are 32-bit values written into the pixels as they are (bytes R, G, B,
// A in memory); operations that convert say so.
#pragma once

#include "RVObList.h"
#include "rvrect.h"
#include "rvtypes.h"

#include <stdint.h>

class CRVDibDC;
class CRectList;

class CRVDC
{
public:
    CRVDC();
    virtual ~CRVDC();

    CRVDC(const CRVDC&) = delete;
    CRVDC& operator=(const CRVDC&) = delete;

    // The origin as stored (relative to the context's position) and in global
    // coordinates; SetOrigin takes global coordinates.
    virtual POINT GetOrigin();
    virtual POINT GetOriginAbs();
    virtual void SetOrigin(int x, int y);
    // The canvas behind the context; none for the base.
    virtual CRVDibDC* DibDC() { return nullptr; }

    void FillRect(uint32_t uColor, const CRVRect& rect) { FillRect(uColor, rect.x, rect.y, rect.width, rect.height); }
    // The base has no pixels: these draw nothing.
    virtual void FillRect(uint32_t uColor, int x, int y, int dx, int dy);
    virtual void FillRoundRect(uint32_t uColor, int x, int y, int dx, int dy, int iRadius, int iFlags);
    virtual void DrawLine(uint32_t uColor, int x1, int y1, int x2, int y2, int iWidth);

    virtual void SetColor(uint32_t uColor) { m_uColor = uColor; }
    uint32_t GetColor() const { return m_uColor; }
    // The font identifier is kept for text callers; the canvas never draws with it.
    void SetQuickFont(int iFont) { m_iFont = iFont; }
    int GetQuickFont() const { return m_iFont; }

    // Copies from a canvas: each rectangle of the list from its own place in
    // the source to (x, y) + that place; the whole source to (x, y); and the
    // general form (the base copies nothing).
    virtual void BltFromDibDC(CRVDibDC* pSource, int x, int y, const CRectList* pList);
    virtual void BltFromDibDC(CRVDibDC* pSource, int x, int y);
    virtual void BltFromDibDC(int x, int y, CRVDibDC* pSource, int sx, int sy, int dx, int dy, int iFlags);

    // 1 when drawing into rect (taken relative to the origin) can show: there
    // is no global clip or rect meets it.
    virtual int TestClip(const CRVRect& rect);
    // Push a clip, kept translated by the current origin; none pushes an entry
    // that adds no clip of its own. 0 (and nothing pushed, but the matching
    // PopClip still balanced) when memory is short.
    virtual int PushClip(const CRVRect* pRect);
    virtual void PopClip();
    int ClipDepth() const { return m_ClipStack.GetCount() + m_iLostClips; }

    int Attribs() const { return m_iAttribs; }

    // Per colour channel (a (100 - percent) + b percent) / 100, truncated, for
    // percent 0 to 100 (clamped); the alpha byte of the result is 0.
    static uint32_t BlendPCT(uint32_t a, uint32_t b, int iPercent);

protected:
    // The newest pushed clip in canvas coordinates; null when the newest entry
    // adds no clip or nothing is pushed.
    const CRVRect* TopClip() const;
    // Clip in global coordinates, or none.
    void SetGlobalClip(const CRVRect* pRect);
    const CRVRect* GlobalClip() const { return m_bGlobalClip ? &m_GlobalClip : nullptr; }

    uint32_t m_uColor;
    POINT m_ptOrigin;
    int m_iFont;
    int m_iAttribs;

private:
    CRVObList m_ClipStack;      // CRVRect* (or null entries), newest at the head
    // Pushes refused for lack of memory. While any is outstanding every further
    // push is refused too, so they are always the newest and popped first.
    int m_iLostClips;
    CRVRect m_GlobalClip;
    int m_bGlobalClip;
};
