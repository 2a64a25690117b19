// CSurfScroll: properties.
#include "surf_scroll.h"

#include "rvmsg.h"

CSurfScroll::CSurfScroll(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1),
      m_iYReportDelta(0),
      m_Offset{},
      m_Target{},
      m_ContentSize{},
      m_iTouchState(0),
      m_ptTouchDown{0, 0},
      m_ptLastSample{0, 0},
      m_ptOffsetAtDown{0, 0},
      m_Samples{},
      m_iSampleCount(0),
      m_iSampleIndex(0),
      m_tvLastSample{0, 0},
      m_iBarBaseAlpha(255),
      m_iBarLocalAlpha(64),
      m_iBarLocalTarget(64),
      m_ptLastReported{0, 0},
      m_bReportArmed(1),
      m_iHeaderID(0),
      m_eLastOrient(ORIENT_0)
{
    ClearInfo(&m_VBar);
    ClearInfo(&m_HBar);
}

// The bar images and geometries are never taken until bar layout is built.
CSurfScroll::~CSurfScroll() = default;

void CSurfScroll::ClearInfo(RVT_SCROLLBAR_INFO* pInfo)
{
    *pInfo = RVT_SCROLLBAR_INFO{};
}

void CSurfScroll::UnpackScrollBarInfo(RVT_SCROLLBAR_INFO* pInfo, CRVMSG* pMsg)
{
    unsigned int uSizes = (unsigned int)pMsg->GetInt();
    pInfo->iThickness = (int)(uSizes >> 24);
    pInfo->wOuterMargin = (unsigned short)((uSizes >> 16) & 0xFF);
    pInfo->wStartMargin = (unsigned short)((uSizes >> 8) & 0xFF);
    pInfo->wEndMargin = (unsigned short)(uSizes & 0xFF);
    pInfo->iGraphicID = pMsg->GetInt();
    unsigned int uCaps = (unsigned int)pMsg->GetInt();
    pInfo->wStartCap = (unsigned short)((uCaps >> 8) & 0xFF);
    pInfo->wEndCap = (unsigned short)(uCaps & 0xFF);
    pInfo->wReportStep = (unsigned short)(pMsg->GetInt() & 0xFFFF);
}

void CSurfScroll::SetSurfaceProps(CRVMSG* pMsg, int iVariant)
{
    for (SIZE& size : m_ContentSize) {
        size.cx = pMsg->GetInt();
        size.cy = pMsg->GetInt();
    }
    UnpackScrollBarInfo(&m_VBar, pMsg);
    UnpackScrollBarInfo(&m_HBar, pMsg);
    m_VBar.bEnabled = (m_iAttribs & SA_VERTICAL_BAR) != 0;
    m_HBar.bEnabled = (m_iAttribs & SA_HORIZONTAL_BAR) != 0;
    if (iVariant & VARIANT_OFFSETS) {
        for (int o = 0; o < 2; ++o) {
            m_Offset[o].x = pMsg->GetInt();
            m_Offset[o].y = pMsg->GetInt();
            m_Target[o] = m_Offset[o];
        }
    }
}
