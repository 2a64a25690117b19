// CSurfImageStore: properties.
#include "surf_image_store.h"

#include "rvmsg.h"

CSurfImageStore::CSurfImageStore(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1), m_iImageID{0, 0}, m_pCanvas(nullptr), m_pVBO(nullptr), m_iSaturation(255)
{
}

// The canvas is never taken until the drawing is built.
CSurfImageStore::~CSurfImageStore() = default;

void CSurfImageStore::SetSurfaceProps(CRVMSG* pMsg, int iVariant)
{
    int iID0 = pMsg->GetInt();
    int iID1 = (iVariant & VARIANT_ONE_ID) ? iID0 : pMsg->GetInt();
    if (iID0 != m_iImageID[0] || iID1 != m_iImageID[1])
        m_iState |= SS_SIZE_CHANGED;     // the vertex buffer is made again too
    m_iImageID[0] = iID0;
    m_iImageID[1] = iID1;
    m_iState |= SS_IMAGE_RELOAD | SS_NEEDS_REDRAW;
}
