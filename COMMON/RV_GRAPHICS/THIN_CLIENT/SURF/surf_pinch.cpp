// CSurf: two-finger touches and pinch scaling of surfaces with attribute
// 0x800, reported to the controller as message 20223 at most every 250 ms.
//
// The pinch arithmetic is integer with truncating division, in 64 bits so
// that far-apart points cannot overflow.
#include "surf.h"

#include "mainwnd.h"
#include "msgids.h"
#include "rvmsg.h"
#include "rvisqrt.h"
#include "rvtick.h"

#include <stdint.h>

// Distance between two touch points; the squares of int differences can pass 64 bits.
static long long Distance(long long dx, long long dy)
{
    return (long long)RVISqrt((unsigned __int128)((__int128)dx * dx) + (unsigned __int128)((__int128)dy * dy));
}

static long long Clamp(long long v, long long lo, long long hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

static int ClampInt(long long v, long long lo, long long hi)
{
    long long r = Clamp(v, lo, hi);
    return r < INT32_MIN ? INT32_MIN : (r > INT32_MAX ? INT32_MAX : (int)r);
}

int CSurf::OnTouchDown(ORIENT eOrient, POINT pt1, POINT pt2, unsigned int uIndex, CClipStack* pClip)
{
    CancelPendingPress();
    if (m_iAlpha < 1)
        return TOUCH_NOT_TAKEN;
    CRVRect local;
    if (!PushLocalClip(eOrient, pClip, &local))
        return TOUCH_NOT_TAKEN;
    if (!local.IsPointInside(pt1) || !local.IsPointInside(pt2)) {
        pClip->PopClip();
        return TOUCH_NOT_TAKEN;
    }
    for (CSurf* p = m_pLastChild; p; p = p->m_pPrev) {
        int iResult = p->OnTouchDown(eOrient, ToChild(p, eOrient, pt1), ToChild(p, eOrient, pt2), uIndex, pClip);
        if (iResult != TOUCH_NOT_TAKEN) {
            pClip->PopClip();
            return iResult;
        }
    }
    pClip->PopClip();
    m_ptTouch1 = pt1;
    m_ptTouch2 = pt2;
    m_iStartScale = m_iScale;
    m_iStartOffX = m_iPinchOffX;
    m_iStartOffY = m_iPinchOffY;
    if (m_iAttribs & SA_DELAYED_PRESS)
        m_iState |= SS_PINCH;
    return TOUCH_NOT_TAKEN;
}

int CSurf::OnTouchMove(ORIENT eOrient, POINT pt1, POINT pt2, unsigned int uIndex)
{
    CancelPendingPress();
    // Only a pinch that started on this surface is followed here: start points
    // of an earlier gesture would give a meaningless scale.
    if (!(m_iAttribs & SA_DELAYED_PRESS) || !(m_iState & SS_PINCH)) {
        for (CSurf* p = m_pFirstChild; p; p = p->m_pNext) {
            int iResult = p->OnTouchMove(eOrient, ToChild(p, eOrient, pt1), ToChild(p, eOrient, pt2), uIndex);
            if (iResult != TOUCH_NOT_TAKEN)
                return iResult;
        }
        return TOUCH_NOT_TAKEN;
    }

    long long x1s = m_ptTouch1.x, y1s = m_ptTouch1.y, x2s = m_ptTouch2.x, y2s = m_ptTouch2.y;
    long long x1 = pt1.x, y1 = pt1.y, x2 = pt2.x, y2 = pt2.y;
    long long d0 = Distance(x1s - x2s, y1s - y2s);
    if (d0 < 10)
        return 1;
    long long d = Distance(x1 - x2, y1 - y2);
    long long s0 = m_iStartScale;
    long long s = Clamp(d * s0 / d0, m_iPinchMin, m_iPinchMax);
    if (s < 1)
        s = 1;      // a controller-set range below 1 would divide by zero
    m_iScale = (int)s;

    const CRVRect& pos = m_rcPos[OrientIndex(eOrient)];
    long long w = pos.width;
    long long h = pos.height;
    long long cx = (w - x1s - x2s) / 2;
    long long cy = (h - y1s - y2s) / 2;
    long long fx = (x1 + x2) / 2 - (x1s + x2s) / 2 + cx * s / 1000 - cx * s0 / 1000;
    long long fy = (y1 + y2) / 2 - (y1s + y2s) / 2 + cy * s / 1000 - cy * s0 / 1000;
    // Below scale 1000 the bound changes sign: keep it a range around 0.
    long long limX = (w - w * 1000 / s) / 2;
    long long limY = (h - h * 1000 / s) / 2;
    limX = limX < 0 ? -limX : limX;
    limY = limY < 0 ? -limY : limY;
    long long ox = Clamp(m_iStartOffX + fx * 1000 / s, -limX, limX);
    long long oy = Clamp(m_iStartOffY + fy * 1000 / s, -limY, limY);
    m_iPinchOffX = (int)ox;
    m_iPinchOffY = (int)oy;

    int iAnchorX = w > 0 ? (int)(500 - ox * 1000 / w) : 500;
    int iAnchorY = h > 0 ? (int)(500 - oy * 1000 / h) : 500;
    OnTouchScale((int)s, iAnchorX, iAnchorY, ClampInt(fx, INT32_MIN, INT32_MAX), ClampInt(fy, INT32_MIN, INT32_MAX),
                 eOrient);
    return 1;
}

void CSurf::OnTouchScale(int iScale, int, int, int iOffsetX, int iOffsetY, ORIENT)
{
    SetTransform(CRVRect(ClampInt(iOffsetX, m_iOffsetLimit[0], m_iOffsetLimit[1]),
                         ClampInt(iOffsetY, m_iOffsetLimit[2], m_iOffsetLimit[3]),
                         ClampInt(iScale, m_iScaleLimit[0], m_iScaleLimit[1]),
                         ClampInt(iScale, m_iScaleLimit[2], m_iScaleLimit[3])));
    if (!(m_iState & SS_SCALE_PENDING)) {
        if (RVTickSince(m_uLastScaleReport) > SCALE_REPORT_MS - 1) {
            TXTouchScale(1);
        } else {
            if (g_pMainWindow)
                g_pMainWindow->SetDelayCallback(this, SCALE_REPORT_MS, 0);
            m_iState |= SS_SCALE_PENDING;
        }
    }
    Invalidate();
}

void CSurf::SetTouchScaleProps(CRVMSG* pMsg)
{
    int v[8];
    int bAll1000 = 1;
    for (int i = 0; i < 8; i++) {
        v[i] = pMsg->GetInt();
        if (v[i] != 1000)
            bAll1000 = 0;
    }
    for (int i = 0; i < 4; i++) {
        m_iScaleLimit[i] = v[i];
        m_iOffsetLimit[i] = v[4 + i];
    }
    if (bAll1000) {
        m_iPinchMin = 1000;
        m_iPinchMax = 20000;
        return;
    }
    m_iAttribs |= SA_DELAYED_PRESS;
    m_iPinchMin = v[0] < v[2] ? v[0] : v[2];
    m_iPinchMax = v[1] > v[3] ? v[1] : v[3];
}

void CSurf::TXTouchScale(int bActive)
{
    m_uLastScaleReport = RVGetTickCount();
    CRVMSG msg(0, MSG_TOUCH_SCALE, 28, 1);
    msg.PutInt(ParentID());
    msg.PutInt(m_iID);
    msg.PutInt(bActive);
    msg.PutInt(m_rcTransform.width);
    msg.PutInt(m_rcTransform.height);
    msg.PutInt(m_rcTransform.x);
    msg.PutInt(m_rcTransform.y);
    SendMSG(&msg);
}
