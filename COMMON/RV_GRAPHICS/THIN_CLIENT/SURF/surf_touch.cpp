// CSurf: hit testing and one-finger touches, reported to the controller as
// message 20204 (parent ID, ID, 1 while touching or 0 at release, x, y).
//
// Points are relative to the surface's own position. Children are asked
// topmost (last) first, except for moves, which go to the children in order:
// only the one that holds a press reacts.
#include "surf.h"

#include "mainwnd.h"
#include "msgids.h"
#include "rvmsg.h"

int CSurf::HitTest(ORIENT eOrient, POINT pt, CClipStack* pClip)
{
    if (m_iAlpha < 1)
        return 0;
    CRVRect local;
    if (!PushLocalClip(eOrient, pClip, &local))
        return 0;
    if (!local.IsPointInside(pt)) {
        pClip->PopClip();
        return 0;
    }
    for (CSurf* p = m_pLastChild; p; p = p->m_pPrev) {
        int iHit = p->HitTest(eOrient, ToChild(p, eOrient, pt), pClip);
        if (iHit) {
            pClip->PopClip();
            return iHit;
        }
    }
    pClip->PopClip();
    if (!(m_iAttribs & SA_TOUCHABLE))
        return 0;
    if (m_iAttribs & SA_HIT_4)
        return 4;
    if (m_iAttribs & SA_HIT_2)
        return 2;
    return 1;
}

int CSurf::OfferTouchDownToChildren(ORIENT eOrient, POINT pt, unsigned int uIndex, CClipStack* pClip,
                                    int* pbInside)
{
    *pbInside = 0;
    if (m_iAlpha < 1)
        return TOUCH_NOT_TAKEN;
    CRVRect local;
    if (!PushLocalClip(eOrient, pClip, &local))
        return TOUCH_NOT_TAKEN;
    if (!local.IsPointInside(pt)) {
        pClip->PopClip();
        return TOUCH_NOT_TAKEN;
    }
    *pbInside = 1;
    int iResult = TOUCH_NOT_TAKEN;
    for (CSurf* p = m_pLastChild; p && iResult == TOUCH_NOT_TAKEN; p = p->m_pPrev)
        iResult = p->OnTouchDown(eOrient, ToChild(p, eOrient, pt), uIndex, pClip);
    pClip->PopClip();
    return iResult;
}

int CSurf::OnTouchDown(ORIENT eOrient, POINT pt, unsigned int uIndex, CClipStack* pClip)
{
    int bInside = 0;
    const int iResult = OfferTouchDownToChildren(eOrient, pt, uIndex, pClip, &bInside);
    if (!bInside || iResult != TOUCH_NOT_TAKEN)
        return iResult;
    m_ptTouch1 = pt;
    if (!(m_iAttribs & SA_TOUCHABLE))
        return TOUCH_NOT_TAKEN;
    if (m_iAttribs & SA_DELAYED_PRESS) {
        // Wait for a second finger that would make this a pinch.
        if (g_pMainWindow)
            g_pMainWindow->SetDelayCallback(this, PRESS_DELAY_MS, 0);
        m_iState |= SS_PRESS_PENDING;
    } else {
        TXTouch(1, pt.x, pt.y);
        m_iState |= SS_PRESSED;
    }
    return 1;
}

int CSurf::OnTouchMove(ORIENT eOrient, POINT pt, unsigned int uIndex)
{
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext) {
        int iResult = p->OnTouchMove(eOrient, ToChild(p, eOrient, pt), uIndex);
        if (iResult != TOUCH_NOT_TAKEN)
            return iResult;
    }
    if ((m_iAttribs & SA_TOUCHABLE) && (m_iState & SS_PRESSED) && !(m_iState & SS_PRESS_PENDING))
        TXTouch(1, pt.x, pt.y);
    return TOUCH_NOT_TAKEN;
}

int CSurf::OnTouchUp(ORIENT eOrient, POINT pt, unsigned int uIndex)
{
    int bWasPending = (m_iState & SS_PRESS_PENDING) != 0;
    if (bWasPending)
        CancelPendingPress();
    if (m_iState & SS_PINCH) {
        TXTouchScale(0);
        m_iState &= ~SS_PINCH;
    }
    m_iState &= ~SS_SCALE_PENDING;
    if (m_iAttribs & SA_TOUCHABLE) {
        // A tap shorter than the press delay still reports both, on release.
        if (bWasPending) {
            TXTouch(1, m_ptTouch1.x, m_ptTouch1.y);
            m_iState |= SS_PRESSED;
        }
        if (m_iState & SS_PRESSED) {
            TXTouch(0, pt.x, pt.y);
            m_iState &= ~SS_PRESSED;
        }
    }
    for (CSurf* p = m_pLastChild; p; p = p->m_pPrev) {
        int iResult = p->OnTouchUp(eOrient, ToChild(p, eOrient, pt), uIndex);
        if (iResult != TOUCH_NOT_TAKEN)
            return iResult;
    }
    return TOUCH_NOT_TAKEN;
}

int CSurf::OnTouchCancel(ORIENT eOrient, POINT pt)
{
    // A press still waiting for its timer would otherwise be reported after
    // the cancel, with no release ever following it.
    if (m_iState & SS_PRESS_PENDING)
        CancelPendingPress();
    m_iState &= ~SS_PRESSED;
    for (CSurf* p = m_pLastChild; p; p = p->m_pPrev)
        p->OnTouchCancel(eOrient, ToChild(p, eOrient, pt));
    return TOUCH_NOT_TAKEN;
}

void CSurf::ExecuteTimer()
{
    if (m_iState & SS_PRESS_PENDING) {
        TXTouch(1, m_ptTouch1.x, m_ptTouch1.y);
        m_iState &= ~SS_PRESS_PENDING;
        m_iState |= SS_PRESSED;
    }
    if (m_iState & SS_SCALE_PENDING) {
        TXTouchScale(1);
        m_iState &= ~SS_SCALE_PENDING;
    }
}

void CSurf::CancelPendingPress()
{
    if (!(m_iState & SS_PRESS_PENDING))
        return;
    m_iState &= ~SS_PRESS_PENDING;
    if (!g_pMainWindow)
        return;
    // Cancelling drops every timer of the surface: keep a waiting scale report.
    g_pMainWindow->CancelDelayCallback(this);
    if (m_iState & SS_SCALE_PENDING)
        g_pMainWindow->SetDelayCallback(this, SCALE_REPORT_MS, 0);
}

void CSurf::TXTouch(int bDown, int x, int y)
{
    CRVMSG msg(0, MSG_TOUCH, 20, 1);
    msg.PutInt(ParentID());
    msg.PutInt(m_iID);
    msg.PutInt(bDown);
    msg.PutInt(x);
    msg.PutInt(y);
    SendMSG(&msg);
}
