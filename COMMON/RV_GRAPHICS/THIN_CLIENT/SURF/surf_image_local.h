// CSurfImageLocal: an image whose content the controller sends to this
// surface alone (kind 3): pictures, snapshots, frames, vector drawings.
//
// Built so far: the properties (the surface lending its picture, the view
// parameters, the render mode). Image updates, decoding, borrowing the other
// surface's render object and drawing are not built yet.
#pragma once

#include "surf.h"

class CSurfImageLocal : public CSurf
{
public:
    // Attribute bit selecting render mode 2.
    enum { SA_RENDER_MODE_2 = 0x1000000 };
    enum { VIEW_PARAMS = 6 };

    CSurfImageLocal(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);
    ~CSurfImageLocal() override;

    // Int source surface ID (0: none), byte extra flag; when the flag is
    // non-zero, four bytes and two bytes of view parameters.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    int SourceID() const { return m_iSourceID; }
    int HasViewParams() const { return m_bViewParams; }
    int ViewParam(int i) const { return (i >= 0 && i < VIEW_PARAMS) ? m_byViewParams[i] : 0; }
    int RenderMode() const { return m_iRenderMode; }

protected:
    CRenderObject* m_pRenderObject;     // own content; none until updates are built
    CRenderObject* m_pShared;           // lent by the source surface
    int m_iSourceID;
    int m_bViewParams;
    unsigned char m_byViewParams[VIEW_PARAMS];
    int m_iEncoding;                    // of the last update
    int m_iRenderMode;                  // 0, or 2
    int m_iFillLevel;                   // 0 .. 1000
};
