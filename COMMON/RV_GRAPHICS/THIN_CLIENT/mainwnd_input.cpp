// CMainWnd: mouse input turned into touches of the surface tree, and the
// root's own swipe gesture on the bare background.
#include "mainwnd.h"

#include "msgids.h"
#include "rvmsg.h"

#include <stdlib.h>

// Window points (origin bottom left) to screen pixels (origin top left).
static POINT ToPixels(int x, int y, int iScale, int iHeight)
{
    return POINT{x * iScale, iHeight - y * iScale};
}

void CMainWnd::OnMouseDown(int x, int y)
{
    ORIENT o = m_eOrientation;
    POINT pt = ToPixels(x, y, m_iScale, m_rcPos[OrientIndex(o)].height);
    m_TreeLock.RVLock();
    CClipStack clip(ClientRect(o));
    OnTouchDown(o, pt, 0, &clip);
    m_TreeLock.RVUnlock();
}

void CMainWnd::OnMouseMove(int x, int y)
{
    ORIENT o = m_eOrientation;
    POINT pt = ToPixels(x, y, m_iScale, m_rcPos[OrientIndex(o)].height);
    m_TreeLock.RVLock();
    int iResult = OnTouchMove(o, pt, 0);
    m_TreeLock.RVUnlock();
    if (iResult != TOUCH_NOT_TAKEN)
        SetStateBits(SS_NEEDS_REDRAW);
}

void CMainWnd::OnMouseUp(int x, int y)
{
    ORIENT o = m_eOrientation;
    POINT pt = ToPixels(x, y, m_iScale, m_rcPos[OrientIndex(o)].height);
    m_TreeLock.RVLock();
    OnTouchUp(o, pt, 0);
    m_TreeLock.RVUnlock();
}

void CMainWnd::OnMouseDown(int x1, int y1, int x2, int y2)
{
    ORIENT o = m_eOrientation;
    int iHeight = m_rcPos[OrientIndex(o)].height;
    POINT pt1 = ToPixels(x1, y1, m_iScale, iHeight);
    POINT pt2 = ToPixels(x2, y2, m_iScale, iHeight);
    m_TreeLock.RVLock();
    CClipStack clip(ClientRect(o));
    OnTouchDown(o, pt1, pt2, 0, &clip);
    m_TreeLock.RVUnlock();
}

void CMainWnd::OnMouseMove(int x1, int y1, int x2, int y2)
{
    ORIENT o = m_eOrientation;
    int iHeight = m_rcPos[OrientIndex(o)].height;
    POINT pt1 = ToPixels(x1, y1, m_iScale, iHeight);
    POINT pt2 = ToPixels(x2, y2, m_iScale, iHeight);
    m_TreeLock.RVLock();
    int iResult = OnTouchMove(o, pt1, pt2, 0);
    m_TreeLock.RVUnlock();
    if (iResult != TOUCH_NOT_TAKEN)
        SetStateBits(SS_NEEDS_REDRAW);
}

int CMainWnd::OnTouchDown(ORIENT eOrient, POINT pt, unsigned int uIndex, CClipStack* pClip)
{
    int iResult = CSurf::OnTouchDown(eOrient, pt, uIndex, pClip);
    if (iResult != TOUCH_NOT_TAKEN)
        return iResult;
    // Nothing took it: the background follows the finger for a swipe.
    m_ptSwipeStart = pt;
    SetStateBits(SS_PRESSED);
    return 1;
}

int CMainWnd::OnTouchMove(ORIENT eOrient, POINT pt, unsigned int uIndex)
{
    if (!SwipeTracking())
        return CSurf::OnTouchMove(eOrient, pt, uIndex);
    int dx = pt.x - m_ptSwipeStart.x;
    if (abs(dx) > m_rcPos[OrientIndex(eOrient)].width / 5) {
        ClearStateBits(SS_PRESSED);
        CRVMSG msg(0, MSG_SWIPE, 4, 1);
        msg.PutInt(dx > 0 ? 5 : 4);
        SendMSG(&msg);
    }
    return 1;
}

int CMainWnd::OnTouchUp(ORIENT eOrient, POINT pt, unsigned int uIndex)
{
    ClearStateBits(SS_PRESSED);
    return CSurf::OnTouchUp(eOrient, pt, uIndex);
}
