// CSurfDraw: properties, strokes from touches, and the messages that carry
// their points to the controller.
#include "surf_draw.h"

#include "gl_trash.h"
#include "gl_vbo.h"
#include "msgids.h"
#include "rvmsg.h"
#include "rvwire.h"

#include <string.h>

#include <new>

static_assert(12 + 4LL * CSurfDraw::MAX_STROKE_POINTS <= RV_MAX_MSG_DATA, "a whole stroke fits one message");

namespace {

unsigned short To565(unsigned int uColor)
{
    unsigned int r = (uColor >> 16) & 0xFF, g = (uColor >> 8) & 0xFF, b = uColor & 0xFF;
    return (unsigned short)((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
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

CSurfDraw::~CSurfDraw()
{
    delete m_pMap;
    delete[] m_pPoints;
    // Surfaces die on the drawing thread, but the trash is safe anywhere.
    delete m_pVBO;
    GLTrashTexture((unsigned int)m_iTexture);
}

void CSurfDraw::SetSurfaceProps(CRVMSG* pMsg, int)
{
    m_uColor = pMsg->GetColorBYTE();
    m_wColor565 = To565(m_uColor);
    m_iLineMargin = pMsg->GetBYTE();
    Invalidate();
}

// ---- the map and the stroke ----

int CSurfDraw::PrepareMap(ORIENT eOrient)
{
    const CRVRect pos = Position(eOrient);
    if (m_pMap && m_pMap->Width() == pos.width && m_pMap->Height() == pos.height)
        return 1;
    delete m_pMap;
    m_pMap = new (std::nothrow) CAlphaMAP(pos.width, pos.height);
    if (m_pMap && !m_pMap->IsValid()) {
        delete m_pMap;
        m_pMap = nullptr;
    }
    if (!m_pMap)
        return 0;
    m_pMap->Clear();
    m_bDirty = 1;
    return 1;
}

int CSurfDraw::AddPoint(ORIENT eOrient, POINT pt)
{
    const CRVRect pos = Position(eOrient);
    pt.x = Clamp(pt.x, 0, pos.width > 1 ? pos.width - 1 : 0);
    pt.y = Clamp(pt.y, 0, pos.height > 1 ? pos.height - 1 : 0);
    if (m_iPoints == m_iPointCapacity) {
        if (m_iPointCapacity >= MAX_STROKE_POINTS)
            return 0;
        int iCapacity = m_iPointCapacity + POINT_BLOCK;
        if (iCapacity > MAX_STROKE_POINTS)
            iCapacity = MAX_STROKE_POINTS;
        POINT* pPoints = new (std::nothrow) POINT[iCapacity];
        if (!pPoints)
            return 0;
        if (m_iPoints)
            memcpy(pPoints, m_pPoints, sizeof(POINT) * m_iPoints);
        delete[] m_pPoints;
        m_pPoints = pPoints;
        m_iPointCapacity = iCapacity;
    }
    const POINT prev = m_iPoints ? m_pPoints[m_iPoints - 1] : pt;
    m_pPoints[m_iPoints++] = pt;
    if (m_pMap) {
        m_pMap->DrawSegment(prev, pt, m_iLineMargin);
        m_bDirty = 1;
    }
    return 1;
}

void CSurfDraw::EndStroke(ORIENT eOrient)
{
    // Points in thousandths of the pad's size (1 to 2000), the pad as it is now.
    const CRVRect pos = Position(eOrient);
    const long long w = pos.width > 1 ? pos.width : 1;
    const long long h = pos.height > 1 ? pos.height : 1;
    CRVMSG msg(0, MSG_DRAW_STROKE, 12 + 4 * (unsigned int)m_iPoints, 1);
    msg.PutInt(ParentID());
    msg.PutInt(m_iID);
    msg.PutInt(m_iPoints);
    for (int i = 0; i < m_iPoints; i++) {
        const long long x = Clamp(m_pPoints[i].x, 0, (int)w - 1);
        const long long y = Clamp(m_pPoints[i].y, 0, (int)h - 1);
        msg.PutShort((short)(x * 2000 / w + 1));
        msg.PutShort((short)(y * 2000 / h + 1));
    }
    SendMSG(&msg);
    m_iPoints = 0;
    m_iState &= ~SS_PRESSED;
}

// ---- touches ----

int CSurfDraw::HitTest(ORIENT eOrient, POINT pt, CClipStack* pClip)
{
    int iHit = CSurf::HitTest(eOrient, pt, pClip);
    if (iHit || m_iAlpha < 1)
        return iHit;
    CRVRect local;
    if (!PushLocalClip(eOrient, pClip, &local))
        return 0;
    const int bInside = local.IsPointInside(pt);
    pClip->PopClip();
    return bInside ? 1 : 0;
}

int CSurfDraw::OnTouchDown(ORIENT eOrient, POINT pt, unsigned int uIndex, CClipStack* pClip)
{
    int bInside = 0;
    const int iResult = OfferTouchDownToChildren(eOrient, pt, uIndex, pClip, &bInside);
    if (!bInside || iResult != TOUCH_NOT_TAKEN)
        return iResult;
    m_ptTouch1 = pt;
    // A pad too large for any map cannot draw: the touch is left to others.
    if (!PrepareMap(eOrient))
        return TOUCH_NOT_TAKEN;
    m_iPoints = 0;
    if (!AddPoint(eOrient, pt))
        return TOUCH_NOT_TAKEN;
    m_iState |= SS_PRESSED;
    Invalidate();
    return 1;
}

int CSurfDraw::OnTouchMove(ORIENT eOrient, POINT pt, unsigned int uIndex)
{
    // Children first; then a touchable pad with a stroke in progress (state
    // pressed) reports the point as every pressed surface does.
    int iResult = CSurf::OnTouchMove(eOrient, pt, uIndex);
    if (iResult != TOUCH_NOT_TAKEN)
        return iResult;
    if (IsDrawing()) {
        AddPoint(eOrient, pt);
        Invalidate();
    }
    return TOUCH_NOT_TAKEN;
}

int CSurfDraw::OnTouchUp(ORIENT eOrient, POINT pt, unsigned int uIndex)
{
    // The stroke ends before the base sees the release, so no 20204 follows;
    // the base still ends a pinch and tells the children.
    if (IsDrawing())
        EndStroke(eOrient);
    return CSurf::OnTouchUp(eOrient, pt, uIndex);
}

int CSurfDraw::OnTouchCancel(ORIENT eOrient, POINT pt)
{
    if (IsDrawing())
        EndStroke(eOrient);
    return CSurf::OnTouchCancel(eOrient, pt);
}

void CSurfDraw::SetAttribute(int iKind, int iValue, int iTime)
{
    if (iKind == ATTR_CLEAR_MAP && m_pMap) {
        m_pMap->Clear();
        for (int i = 1; i < m_iPoints; i++)
            m_pMap->DrawSegment(m_pPoints[i - 1], m_pPoints[i], m_iLineMargin);
        m_bDirty = 1;
        Invalidate();
    }
    CSurf::SetAttribute(iKind, iValue, iTime);
}
