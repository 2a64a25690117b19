// CSurfPanel: shows another texture through the panel shader: a graphic-store
// image (kind 25) or another surface's picture (kind 28).
//
// Built so far: the properties (the source ID). Looking the image up in the
// graphic store, finding the source surface and drawing are not built yet.
#pragma once

#include "surf.h"

class CDIBDC32;

class CSurfPanel : public CSurf
{
public:
    enum { NO_SOURCE = 0x7FFF };

    // iKind: 25 or 28.
    CSurfPanel(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iKind);
    ~CSurfPanel() override;

    // Int source ID: an image ID (kind 25) or a surface ID (kind 28). A change
    // sets state 0x10000.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    int Kind() const { return m_iKind; }
    int SourceID() const { return m_iSourceID; }

protected:
    int m_iKind;
    int m_iSourceID;
    int m_iTexture;                 // -1: none
    CDIBDC32* m_pImage;             // held from the graphic store; none yet
    int m_iBuffer;                  // -1: none
    SIZE m_BuiltSize;
};
