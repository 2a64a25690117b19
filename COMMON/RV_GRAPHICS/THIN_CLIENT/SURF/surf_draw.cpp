// CSurfDraw: properties.
#include "surf_draw.h"

#include "rvmsg.h"

namespace {

unsigned short To565(unsigned int uColor)
{
    unsigned int r = (uColor >> 16) & 0xFF, g = (uColor >> 8) & 0xFF, b = uColor & 0xFF;
    return (unsigned short)((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

}   // namespace

CSurfDraw::CSurfDraw(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1),
      m_uColor(0xFFFFFF),
      m_wColor565(To565(0xFFFFFF)),
      m_iLineMargin(3),
      m_pMap(nullptr),
      m_pPoints(nullptr),
      m_iPoints(0),
      m_iPointCapacity(0),
      m_iTexture(-1),
      m_pVBO(nullptr),
      m_TextureSize{0, 0},
      m_bDirty(0)
{
}

void CSurfDraw::SetSurfaceProps(CRVMSG* pMsg, int)
{
    m_uColor = pMsg->GetColorBYTE();
    m_wColor565 = To565(m_uColor);
    m_iLineMargin = pMsg->GetBYTE();
    Invalidate();
}
