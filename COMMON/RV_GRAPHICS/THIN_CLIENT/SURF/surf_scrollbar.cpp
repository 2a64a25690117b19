// CSurfScrollBar: properties.
#include "surf_scrollbar.h"

#include "rvmsg.h"

CSurfScrollBar::CSurfScrollBar(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1),
      m_iThumbLength{0, 0},
      m_pImage(nullptr),
      m_pGeometry(nullptr),
      m_iGraphicID(0),
      m_iCapLength(0),
      m_iTargetID{},
      m_iTargetIDs(0),
      m_pTargets{},
      m_iTargets(0),
      m_iLevel(0),
      m_iThumbOffset(0),
      m_bDragging(0),
      m_ptTouchDown{0, 0},
      m_iThumbAtDown(0)
{
}

// The image and geometry are never taken until the drawing is built.
CSurfScrollBar::~CSurfScrollBar() = default;

void CSurfScrollBar::SetSurfaceProps(CRVMSG* pMsg, int)
{
    m_iGraphicID = pMsg->GetInt();
    pMsg->GetInt();
    m_iCapLength = pMsg->GetBYTE();
    pMsg->GetBYTE();
    const int n = pMsg->GetBYTE();
    m_iTargetIDs = 0;
    for (int i = 0; i < n; ++i) {
        int iTarget = pMsg->GetInt();
        if (m_iTargetIDs < MAX_TARGETS)
            m_iTargetID[m_iTargetIDs++] = iTarget;
    }
}
