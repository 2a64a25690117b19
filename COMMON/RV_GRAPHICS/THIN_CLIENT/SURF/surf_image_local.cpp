// CSurfImageLocal: properties.
#include "surf_image_local.h"

#include "rvmsg.h"

CSurfImageLocal::CSurfImageLocal(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1),
      m_pRenderObject(nullptr),
      m_pShared(nullptr),
      m_iSourceID(0),
      m_bViewParams(0),
      m_byViewParams{},
      m_iEncoding(0),
      m_iRenderMode(0),
      m_iFillLevel(0)
{
}

// No render object is taken until the updates are built.
CSurfImageLocal::~CSurfImageLocal() = default;

void CSurfImageLocal::SetSurfaceProps(CRVMSG* pMsg, int)
{
    // Borrowing the source's render object comes with the render objects;
    // until then only its ID is kept.
    m_iSourceID = pMsg->GetInt();
    m_bViewParams = pMsg->GetBYTE() != 0;
    if (m_bViewParams) {
        for (unsigned char& b : m_byViewParams)
            b = pMsg->GetBYTE();
    }
    if (m_iAttribs & SA_RENDER_MODE_2)
        m_iRenderMode = 2;
}
