// CRVDibDC: the raster canvas, a block of 32-bit pixels in main memory (bytes
// R, G, B, A; alpha 255 opaque) on which images are decoded, shapes are shaded
// and colours are filled before the block becomes a texture.
//
// Rows are stored top first with a pitch of DX pixels; pixel (x, y) is at
// Bits() + y * DX + x. DX is the width rounded up to a multiple of 4 (plus a
// guard column with attribute bit 31) and DY the height (plus a guard row), both
// at least 1. Clipping, copies and scaled copies use the requested width and the
// allocated height DY as the canvas's logical size.
//
// A canvas whose pixels could not be allocated (memory short, or a size beyond
// RV_MAX_CANVAS_SIDE / RV_MAX_CANVAS_PIXELS) reports IsValid() == 0, has size 0
// x 0 and draws nothing; its creator checks IsValid() and drops it.
//
// A canvas has no lock: one thread uses it at a time.
#pragma once

#include "rvdc.h"

#include <stdint.h>

class CPointList;
class CRectList;

class CRVDibDC : public CRVDC
{
public:
    // Attribute bits.
    enum : uint32_t
    {
        ATTR_ADDITIVE = 0x200,          // additive mode of the alpha shapes
        ATTR_MEMORY_MARK = 0x400,       // memory-type mark; cleared by memory type 2
        ATTR_RECORD_UPDATES = 0x20000,  // copied areas go to the update list
        ATTR_MEMORY_TYPE1 = 0x400000,   // memory-type mark of type 1; Attribs() keeps it
        ATTR_GUARD = 0x80000000u,       // one extra row and at least one extra column
    };

    // A canvas at (x, y) in the global coordinate space, with its global clip
    // covering itself there. Pixels are not initialised.
    CRVDibDC(int iWidth, int iHeight, int x, int y, int iMemoryType, int iAttribs);
    // At (0, 0), attributes 0, no global clip.
    CRVDibDC(int iWidth, int iHeight);
    ~CRVDibDC() override;

    int IsValid() const { return m_pBits != nullptr; }
    int Width() const { return m_iWidth; }
    int Height() const { return m_iHeight; }
    int DX() const { return m_iDX; }
    int DY() const { return m_iDY; }
    POINT Position() const { return POINT{m_iX, m_iY}; }
    uint32_t* Bits() { return m_pBits; }
    const uint32_t* Bits() const { return m_pBits; }
    // No bounds check and no origin: callers stay inside DX x DY.
    uint32_t* Pixel(int x, int y) { return m_pBits + (static_cast<long>(y) * m_iDX + x); }
    const uint32_t* Pixel(int x, int y) const { return m_pBits + (static_cast<long>(y) * m_iDX + x); }

    using CRVDC::Attribs;
    // Replaces the attributes; the type-1 memory mark stays as it was.
    void Attribs(int iAttribs);

    // The alpha canvas behind this canvas; none for a plain one.
    virtual CRVDibDC* AlphaDIB() { return nullptr; }
    CRVDibDC* DibDC() override { return this; }

    // ---- origin and clips ----
    POINT GetOriginAbs() override;
    void SetOrigin(int x, int y) override;
    // Where drawing takes effect, in canvas pixels: the logical bounds cut by the
    // newest pushed clip and the global clip.
    virtual CRVRect LocalClipRect();
    // Clip a copy of dx x dy pixels from (sx, sy) of pSource to (x, y) here,
    // against this canvas's and the source's logical bounds; each side's cut
    // moves the other's start alike. 0 when nothing is left.
    int GetSafeDims(int& x, int& y, int& dx, int& dy, int& sx, int& sy, const CRVDibDC* pSource) const;

    // ---- fills (rows are word fills) ----
    // Every pixel of the allocation, the pitch columns included.
    void Fill(uint32_t uColor);
    using CRVDC::FillRect;
    void FillRect(uint32_t uColor, int x, int y, int dx, int dy) override;
    // Columns x1 to x2 of row y, clipped to the allocation; no origin, no clip.
    void FillHZ(uint32_t uColor, int x1, int x2, int y);
    void FillRectList(uint32_t uColor, const CRectList* pList);
    // The rectangle with corners of the given radius; flags bit 0 draws the
    // corners one pixel inside a radius larger by one (a smoother outline).
    void FillRoundRect(uint32_t uColor, int x, int y, int dx, int dy, int iRadius, int iFlags) override;
    // Blend uColor over the rectangle with weight alpha / 255 in 32nds (red,
    // blue) and 64ths (green); the alpha byte becomes 0. Alpha 255 or more is a
    // plain fill.
    virtual void FillRectAlpha(const CRVRect& rect, uint32_t uColor, int iAlpha);

    // ---- copies: verbatim, overlapping copies within one canvas allowed ----
    using CRVDC::BltFromDibDC;
    void BltFromDibDC(int x, int y, CRVDibDC* pSource, int sx, int sy, int dx, int dy, int iFlags) override;
    // Appended to the update list (made on first use) while ATTR_RECORD_UPDATES
    // is set; whoever set the attribute consumes the list.
    void AddUpdateRect(const CRVRect& rect);
    CRectList* UpdateList() { return m_pUpdateList; }

    // ---- new canvases of the same kind; the caller owns them; null on failure ----
    // Attributes -1 keep this canvas's attributes.
    virtual CRVDibDC* CreateCopy(int iAttribs);
    // Mirrored columns (h), rows (v) or both (a half turn); gains ATTR_MEMORY_MARK.
    virtual CRVDibDC* CreateFlip(int bHorizontal, int bVertical);
    // Nearest neighbour to dx x dy.
    virtual CRVDibDC* CreateScaledCopy(int dx, int dy, int iAttribs, int iUnused);
    // Area average when shrinking by more than half in either direction,
    // otherwise bilinear in hundredths (alpha byte 0).
    virtual CRVDibDC* CreateSmoothScaledCopy(int dx, int dy, int iAttribs);
    virtual CRVDibDC* CreateBicubicScale(int dx, int dy, int iAttribs);
    // Shrunk by n: each pixel the truncated average of an n x n block.
    virtual CRVDibDC* CreateScaleDIV(int n);
    // Destination pixel (i, j) of an area-average scale to dx x dy.
    uint32_t GetBicubicRGB(int i, int j, int dx, int dy) const;

    // ---- corner arcs ----
    // The quarter circle of radius r from its top (x 0, y r) to (r, 0), x never
    // falling and y never rising; with bOnePerRow only the rightmost point of
    // each row. 0 when the list could not grow.
    static int CalcArcPoints(CPointList* pList, int r, int bOnePerRow);
    // Pulls each point one pixel toward the centre and drops repeats.
    static void InsetArcPoints(CPointList* pList);

protected:
    // An empty canvas of this canvas's kind for the copy operations; null when
    // it could not be made.
    virtual CRVDibDC* CreateCanvas(int iWidth, int iHeight, int iAttribs) const;
    // Bilinear scale to dx x dy with weights in 1/iUnit steps; alpha byte 0.
    CRVDibDC* CreateBilinearScale(int dx, int dy, int iAttribs, int iUnit) const;

    // The origin-relative rectangle moved to canvas pixels and cut to LocalClipRect.
    CRVRect ClipToCanvas(long long x, long long y, long long dx, long long dy);

private:
    void Init(int iWidth, int iHeight, int iAttribs, int bGuard);

    int m_iWidth;
    int m_iHeight;
    int m_iDX;
    int m_iDY;
    uint32_t* m_pBits;
    int m_iX;
    int m_iY;
    CRectList* m_pUpdateList;
};

// CAlphaDIB: the canvas of images with transparency. Decoded images, shaded
// primitives and the cursor halo are built here and premultiplied once before
// they become textures; AlphaDIB() returning the canvas itself is how the
// texture code knows to draw it with premultiplied blending.
//
// Its blends divide by 256 (a shift), not 255: a channel of 255 at alpha 255
// premultiplies to 254. Copies are alpha canvases too.
class CAlphaDIB : public CRVDibDC
{
public:
    // Alpha flag bits.
    enum { ALPHA_PREMULTIPLIED = 0x2 };

    // Memory type 0, canvas attributes 0. With ALPHA_PREMULTIPLIED the pixels
    // start as 0 (an empty premultiplied image), otherwise uninitialised.
    CAlphaDIB(int iWidth, int iHeight, int x, int y, int iUnused, int iAlphaFlags);

    int AlphaFlags() const { return m_iAlphaFlags; }
    void SetAlphaFlags(int iFlags) { m_iAlphaFlags = iFlags; }

    CRVDibDC* AlphaDIB() override { return this; }

    // Each pixel (r, g, b, a) of width x requested height becomes (r a / 256,
    // g a / 256, b a / 256, a), once: a premultiplied canvas is left alone.
    // Returns 1.
    int MakePreMult();

    // All four channels, alpha included, become c m / 256 + p (255 - m) / 256
    // (each quotient truncated) for colour channel c and canvas channel p; m is
    // taken within 0..255.
    void FillRectAlpha(const CRVRect& rect, uint32_t uColor, int iAlpha) override;

    // The cursor's soft frame: optionally the whole canvas filled with colour2
    // made opaque; iHaloWidth rings fading from iOuterAlpha at the edge toward
    // iInnerAlpha; rounded corners of radius halo width + corner extra where
    // iCornerFlags asks (1 bottom left, 2 top left, 4 top right, 8 bottom
    // right). Rings and corners take colour2's colour channels as they are;
    // colour1 adds nothing. Clipped to the canvas.
    void CreateHalo(int iHaloWidth, int iCornerExtra, uint32_t uColor1, uint32_t uColor2, int iCornerFlags,
                    int iInnerAlpha, int iOuterAlpha, int bFill);

    // Copies keep the alpha flags; a half-turn flip and the scaled copies
    // start unpremultiplied (flags 0), except the smooth scale, which keeps
    // them and mixes in 128ths on its bilinear branch.
    CRVDibDC* CreateCopy(int iAttribs) override;
    CRVDibDC* CreateFlip(int bHorizontal, int bVertical) override;
    CRVDibDC* CreateScaledCopy(int dx, int dy, int iAttribs, int iUnused) override;
    CRVDibDC* CreateSmoothScaledCopy(int dx, int dy, int iAttribs) override;
    CRVDibDC* CreateScaleDIV(int n) override;

protected:
    CAlphaDIB(int iWidth, int iHeight, int iAttribs, int iAlphaFlags, int bClear);
    CRVDibDC* CreateCanvas(int iWidth, int iHeight, int iAttribs) const override;

private:
    int m_iAlphaFlags;
};
