// CSurfDraw: a drawing pad (kind 17). The user's strokes are rasterised with
// soft edges into a coverage map shown in the surface's colour; their points
// go to the controller, live as 20204 while drawing (touchable pads only) and
// as one 20216 per stroke at release.
//
// CAlphaMAP: the coverage map, one byte per pixel.
//
// Touches and drawing run under the main window's tree lock; neither class has
// a lock of its own.
#pragma once

#include "surf.h"

class CVBO;

class CAlphaMAP
{
public:
    // The bytes are not cleared. Sizes below 1 or beyond the canvas limits
    // (rvalloc.h) give a map without bytes (IsValid 0) that draws nothing.
    CAlphaMAP(int iWidth, int iHeight);
    ~CAlphaMAP();
    CAlphaMAP(const CAlphaMAP&) = delete;
    CAlphaMAP& operator=(const CAlphaMAP&) = delete;

    int IsValid() const { return m_pBits != nullptr; }
    int Width() const { return m_iWidth; }
    int Height() const { return m_iHeight; }
    // Byte y * width + x; no bounds check.
    unsigned char* Pixel(int x, int y) { return m_pBits + (static_cast<long>(y) * m_iWidth + x); }
    const unsigned char* Pixel(int x, int y) const { return m_pBits + (static_cast<long>(y) * m_iWidth + x); }
    void Clear();

    // A stroke segment from p1 to p2, with full coverage along the line fading
    // to none 1.5 pixels away; each byte keeps the larger of old and new. Both
    // ends move one pixel up and left and are held iMargin pixels inside the
    // map; whatever still falls outside is clipped.
    void DrawSegment(POINT p1, POINT p2, int iMargin);

private:
    // Coverage written at (x, y) when it lies in the map.
    void Cover(long long x, long long y, int iCoverage);

    int m_iWidth;
    int m_iHeight;
    unsigned char* m_pBits;
};

class CSurfDraw : public CSurf
{
public:
    // The current stroke holds at most this many points: all of them must fit
    // one 20216 message (12 bytes, then 4 per point, within RV_MAX_MSG_DATA).
    enum { MAX_STROKE_POINTS = 249997, POINT_BLOCK = 256 };

    CSurfDraw(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);
    ~CSurfDraw() override;

    // Colour bytes, then a byte line margin.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    // The map as a coverage texture in the surface's colour; nothing without
    // a map or with one smaller than 4 x 4.
    int RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;
    // A visible pad takes touches whether or not it reports them: 1 where no
    // child answers.
    int HitTest(ORIENT eOrient, POINT pt, CClipStack* pClip) override;
    // Starts a stroke at the point (nothing is sent).
    int OnTouchDown(ORIENT eOrient, POINT pt, unsigned int uIndex, CClipStack* pClip) override;
    using CSurf::OnTouchDown;
    // Extends the stroke; a touchable pad reports the point first (20204).
    int OnTouchMove(ORIENT eOrient, POINT pt, unsigned int uIndex) override;
    using CSurf::OnTouchMove;
    // Ends the stroke and sends its points (20216); the map keeps the ink.
    int OnTouchUp(ORIENT eOrient, POINT pt, unsigned int uIndex) override;
    // Ends the stroke as a release does.
    int OnTouchCancel(ORIENT eOrient, POINT pt) override;
    // Kind 0x10000 wipes the map, keeping only the stroke in progress.
    void SetAttribute(int iKind, int iValue, int iTime) override;

    unsigned int Color() const { return m_uColor; }
    // The colour as 16-bit 5-6-5 (red in the top five bits).
    unsigned short Color565() const { return m_wColor565; }
    int LineMargin() const { return m_iLineMargin; }
    const CAlphaMAP* Map() const { return m_pMap; }
    int PointCount() const { return m_iPoints; }
    int IsDrawing() const { return (m_iState & SS_PRESSED) != 0; }

protected:
    enum { ATTR_CLEAR_MAP = 0x10000 };

    // Clamped to the surface in that orientation, stored and drawn from the
    // previous point (or as a dot when it is the first); 0 when the stroke is
    // full or memory is short, and the point is then dropped.
    int AddPoint(ORIENT eOrient, POINT pt);
    // Sends 20216 with the stroke's points and forgets them; ends the press.
    void EndStroke(ORIENT eOrient);
    // A map of the surface's size in that orientation; 0 when none can be made.
    int PrepareMap(ORIENT eOrient);

    unsigned int m_uColor;          // 0x00RRGGBB
    unsigned short m_wColor565;
    int m_iLineMargin;              // stroke points keep this far from the map's edge
    CAlphaMAP* m_pMap;              // the strokes, sized to the surface
    POINT* m_pPoints;               // the current stroke
    int m_iPoints;
    int m_iPointCapacity;
    int m_iTexture;                 // -1: none
    CVBO* m_pVBO;
    SIZE m_TextureSize;
    int m_bDirty;                   // the map changed since the last upload
};
