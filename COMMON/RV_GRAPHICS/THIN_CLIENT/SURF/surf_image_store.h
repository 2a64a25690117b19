// CSurfImageStore: shows a graphic-store image by ID (kind 2), one ID per
// orientation.
//
// The canvas is looked up on the drawing thread and held with a reference
// until the ID or the orientation changes or the store lets go of its
// images (InvalidateGraphStorePointers). An ID the store does not hold yet is
// looked up again once the store has gained an image. The image fills the
// client rectangle, or with attribute 0x20000 the largest rectangle of its
// aspect ratio centred in it; below a mirror it is drawn once more,
// reflected. The saturation (key 28, animated by attribute kind 0x80000)
// draws it through the colour-saturation program below 255.
#pragma once

#include "surf_drawn.h"

#include <stdint.h>

class CDIBDC32;
class CGLDIB;
class CVBO;

class CSurfImageStore : public CSurfDrawn
{
public:
    enum { VARIANT_ONE_ID = 0x2 };
    // The canvas must be looked up again.
    enum { SS_IMAGE_RELOAD = 0x800000 };
    enum { SA_CONFINE_ASPECT = 0x20000 };
    // SetAttribute kind that animates the saturation, and its animation key.
    enum { ATTR_SATURATION = 0x80000, AK_SATURATION = 28 };

    CSurfImageStore(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);
    // Drops the canvas (through the main window's garbage off the drawing
    // thread); the buffer goes to the GL trash.
    ~CSurfImageStore() override;

    // Int image ID for orientation 0 and, unless variant bit 0x2 is set (then
    // the same), for orientation 1. A change drops the canvas.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    // Kind 0x80000 animates the saturation to the value over the time (at once
    // for a time of 0 or less); other kinds as every surface.
    void SetAttribute(int iKind, int iValue, int iTime) override;
    void ProcessAnimationUpdate(CSurfAnimation* pAnimation) override;
    int RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;
    // The store threw images away: drop the canvas and look again at the
    // next draw; then the children.
    void InvalidateGraphStorePointers() override;

    int ImageID(ORIENT eOrient) const { return m_iImageID[OrientIndex(eOrient)]; }
    int Saturation() const { return m_iSaturation; }
    CDIBDC32* Canvas() const { return m_pCanvas; }
    // Where the image was last drawn, relative to the surface.
    CRVRect DrawnRect() const { return m_rcDrawn; }

protected:
    void DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int bReflection) override;
    void DropCanvas();

    int m_iImageID[2];
    CDIBDC32* m_pCanvas;            // held with a reference
    CVBO* m_pVBO;
    int m_iSaturation;              // 0 .. 255
    ORIENT m_eDrawnOrient;
    int m_bLookedUp;                // a lookup since the last reload ...
    uint32_t m_uLookupGeneration;   // ... when the store was at this generation
    CGLDIB* m_pTexture;             // the canvas's texture during a draw
    CRVRect m_rcDrawn;
};
