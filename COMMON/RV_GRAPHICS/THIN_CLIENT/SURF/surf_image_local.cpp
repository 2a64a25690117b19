// CSurfImageLocal: properties, attributes, the lent picture and the drawing.
#include "surf_image_local.h"

#include <algorithm>

#include "gl_thread.h"
#include "renderobject.h"
#include "rvmsg.h"
#include "shaders.h"
#include "surf_animation.h"

CSurfImageLocal::CSurfImageLocal(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurfDrawn(pParent, iID, rc0, rc1),
      m_pRenderObject(nullptr),
      m_pShared(nullptr),
      m_iSourceID(0),
      m_bViewParams(0),
      m_byViewParams{},
      m_iEncoding(0),
      m_iRenderMode(0),
      m_iFillLevel(0),
      m_pDrawing(nullptr),
      m_bDrawn(0)
{
}

CSurfImageLocal::~CSurfImageLocal()
{
    // Render objects are destroyed on the drawing thread whoever drops the
    // last reference.
    if (m_pRenderObject)
        m_pRenderObject->Release();
    if (m_pShared)
        m_pShared->Release();
}

void CSurfImageLocal::SetSurfaceProps(CRVMSG* pMsg, int)
{
    const int iSource = pMsg->GetInt();
    m_bViewParams = pMsg->GetBYTE() != 0;
    if (m_bViewParams) {
        for (unsigned char& b : m_byViewParams)
            b = pMsg->GetBYTE();
    }
    if (m_iAttribs & SA_RENDER_MODE_2)
        m_iRenderMode = 2;
    if (iSource == m_iSourceID)
        return;
    // The new source is looked up when the picture is next needed.
    m_iSourceID = iSource;
    ReleaseHeld(&m_pShared);
}

void CSurfImageLocal::SetAttribute(int iKind, int iValue, int iTime)
{
    switch (iKind) {
    case ATTR_FREEZE:
        if (iValue)
            m_iState |= SS_FROZEN;
        else
            m_iState &= ~SS_FROZEN;
        break;
    case ATTR_FILL_LEVEL: {
        const int iLevel = std::clamp(iValue, 0, 1000);
        if (iTime > 0) {
            Animate(AK_FILL_LEVEL, m_iFillLevel, iLevel, (unsigned int)iTime, 0, ACCEL_TRAPEZOID, 0);
            break;
        }
        StopAnimation(AK_FILL_LEVEL, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
        m_iFillLevel = iLevel;
        Invalidate();
        break;
    }
    default:
        CSurf::SetAttribute(iKind, iValue, iTime);
        break;
    }
}

void CSurfImageLocal::ProcessAnimationUpdate(CSurfAnimation* pAnimation)
{
    if (pAnimation->Key() == AK_FILL_LEVEL) {
        const int v = pAnimation->Value();
        m_iFillLevel = std::clamp(v, 0, 1000);
        Invalidate();
    }
    CSurf::ProcessAnimationUpdate(pAnimation);
}

CRenderObject* CSurfImageLocal::GetRenderObject()
{
    m_Lock.RVLock();
    CRenderObject* pObject = m_pRenderObject;
    m_Lock.RVUnlock();
    return pObject;
}

int CSurfImageLocal::PreferredDY(ORIENT eOrient, int iWidth)
{
    const CRVRect& own = m_rcPos[OrientIndex(eOrient)];
    if (own.width > 0 && iWidth < own.width)
        return (int)((long long)own.height * iWidth / own.width);
    return CSurf::PreferredDY(eOrient, iWidth);
}

CRVRect CSurfImageLocal::ContentRect(int w, int h, int iSourceW, int iSourceH) const
{
    CRVRect rc(0, 0, w, h);
    if (!(m_iAttribs & SA_CONFINE_ASPECT) || iSourceW < 1 || iSourceH < 1)
        return rc;
    rc = rc.ConfineToAspect(iSourceW, iSourceH);
    if (m_iFillLevel <= 0 || rc.width < 1)
        return rc;
    // Scale in thousandths: 1000 at fill 0, width / content width at 1000.
    const long long m = (long long)w * 1000 / rc.width * m_iFillLevel / 1000 + (1000 - m_iFillLevel);
    const long long cx = rc.x * 2LL + rc.width, cy = rc.y * 2LL + rc.height;   // centre, doubled
    const long long nw = rc.width * m / 1000, nh = rc.height * m / 1000;
    return CRVRect((int)((cx - nw) / 2), (int)((cy - nh) / 2), (int)nw, (int)nh);
}

int CSurfImageLocal::Render(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    if (!(m_iAttribs & SA_SETS_PANEL_ALPHA))
        return CSurf::Render(iAlpha, pClip, pMatrix, pConfig);
    const int iSaved = CShaderPanel::g_iPanelAlpha;
    CShaderPanel::g_iPanelAlpha = iAlpha * m_iAlpha / 255;
    const int bDrawn = CSurf::Render(iAlpha, pClip, pMatrix, pConfig);
    CShaderPanel::g_iPanelAlpha = iSaved;
    return bDrawn;
}

int CSurfImageLocal::DrawObject(CRenderObject* pObject, int iAlpha, CClipStack* pClip, float* pMatrix,
                                RVT_MATRIX_CONFIG* pConfig)
{
    const CRVRect pos = Position(pConfig);
    const SIZE source = pObject->SourceSize();
    const CRVRect rc = ContentRect(pos.width, pos.height, source.cx, source.cy);
    if (rc.width < 1 || rc.height < 1)
        return 0;
    m_rcDrawn = rc;
    m_pDrawing = pObject;
    m_bDrawn = 0;
    DrawWithReflection(iAlpha, pClip, pMatrix, pConfig);
    m_pDrawing = nullptr;
    return m_bDrawn;
}

void CSurfImageLocal::DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int bReflection)
{
    RVT_RENDER_PARAMS params;
    params.uAlpha = (unsigned int)(iAlpha < 0 ? 0 : iAlpha);
    params.uMode = (unsigned int)m_iRenderMode;
    // Pictures are shown upright in either screen orientation.
    const int bDrawn = m_pDrawing->Render(m_rcDrawn, 0, pConfig, pMatrix, &params);
    if (!bReflection)
        m_bDrawn = bDrawn;
}

int CSurfImageLocal::RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    // Uploads and draws belong to the drawing thread.
    if (!g_bRenderGL || !GLIsDrawingThread() || iAlpha <= 0)
        return 0;
    m_Lock.RVLock();
    int bDrawn = 0;
    if (m_pRenderObject) {
        m_pRenderObject->UpdateGL();
        bDrawn = DrawObject(m_pRenderObject, iAlpha, pClip, pMatrix, pConfig);
    }
    if (bDrawn) {
        // A picture of its own: the lent one is not needed any more.
        if (m_pShared) {
            m_pShared->Release();
            m_pShared = nullptr;
        }
    } else {
        if (!m_pShared && m_iSourceID != 0) {
            CSurf* pSource = Root()->FindSurface(m_iSourceID);
            CRenderObject* pObject = (pSource && pSource != this) ? pSource->GetRenderObject() : nullptr;
            if (pObject) {
                pObject->Retain();
                m_pShared = pObject;
            }
        }
        if (m_pShared) {
            m_pShared->UpdateGL();
            bDrawn = DrawObject(m_pShared, iAlpha, pClip, pMatrix, pConfig);
        }
    }
    m_Lock.RVUnlock();
    return bDrawn;
}
