// CSurfImageStore: shows a graphic-store image by ID (kind 2).
//
// Built so far: the properties (the image ID per orientation) and the state
// bits that drop the held canvas. Fetching the canvas, drawing and the
// saturation animation are not built yet.
#pragma once

#include "surf.h"

class CDIBDC32;
class CVBO;

class CSurfImageStore : public CSurf
{
public:
    enum { VARIANT_ONE_ID = 0x2 };
    // The canvas must be looked up again.
    enum { SS_IMAGE_RELOAD = 0x800000 };

    CSurfImageStore(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);
    ~CSurfImageStore() override;

    // Int image ID for orientation 0 and, unless variant bit 0x2 is set (then
    // the same), for orientation 1.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    int ImageID(ORIENT eOrient) const { return m_iImageID[OrientIndex(eOrient)]; }
    int Saturation() const { return m_iSaturation; }

protected:
    int m_iImageID[2];
    CDIBDC32* m_pCanvas;            // held from the graphic store; none until drawn
    CVBO* m_pVBO;
    int m_iSaturation;              // 0 .. 255
};
