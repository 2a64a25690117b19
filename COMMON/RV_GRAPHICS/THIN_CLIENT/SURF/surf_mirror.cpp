// CSurfMirror: properties and the drawing of the subtree.
#include "surf_mirror.h"

#include "rvmsg.h"

#include <limits.h>

CSurfMirror::CSurfMirror(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1), m_iOffset{0, 0}, m_iLevel{0, 0}, m_uColor(0)
{
}

void CSurfMirror::SetSurfaceProps(CRVMSG* pMsg, int)
{
    m_iLevel[0] = pMsg->GetBYTE();
    m_iLevel[1] = pMsg->GetBYTE();
    m_iOffset[0] = pMsg->GetShort();
    m_iOffset[1] = pMsg->GetShort();
    m_uColor = pMsg->GetColorBYTE();
    Invalidate();
}

int CSurfMirror::Render(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    const ORIENT eOrient = pConfig->eOrientation;
    int iOffset, iLevel;
    if (pConfig->iOrientMode == 0) {
        if (eOrient != ORIENT_0 && eOrient != ORIENT_1)
            return 0;
        if ((eOrient == ORIENT_1 && (m_iAttribs & SA_HIDE_ORIENT_1)) ||
            (eOrient == ORIENT_0 && (m_iAttribs & SA_HIDE_ORIENT_0)))
            return 0;
        iOffset = m_iOffset[OrientIndex(eOrient)];
        iLevel = m_iLevel[OrientIndex(eOrient)];
    } else {
        // While the screen turns, fade in or out like any surface, and move
        // the line and the level from one orientation's to the other's.
        const int t = pConfig->iOrientMode == 1 ? 1000 - pConfig->iOrientProgress : pConfig->iOrientProgress;
        if (m_iAttribs & SA_HIDE_ORIENT_0)
            iAlpha = iAlpha * t / 1000;
        else if (m_iAttribs & SA_HIDE_ORIENT_1)
            iAlpha = iAlpha * (1000 - t) / 1000;
        iOffset = (m_iOffset[0] * (1000 - t) + m_iOffset[1] * t) / 1000;
        iLevel = (m_iLevel[0] * (1000 - t) + m_iLevel[1] * t) / 1000;
    }
    // Hidden like any surface, though it draws nothing itself.
    m_iState = (m_iState & ~SS_NEEDS_REDRAW) | SS_DRAWN;
    if ((m_iState & SS_HIDDEN) || iAlpha * m_iAlpha < 255)
        return 0;
    const CRVRect pos = Position(pConfig);
    if (pos.width < 1 || pos.height < 1)
        return 0;

    // A mirror inside another gives the outer one's values back afterwards,
    // so the later surfaces of the outer mirror still reflect.
    const int iOuterLevel = pClip->MirrorAlpha();
    const int iOuterLine = pClip->MirrorLine();
    if (iLevel > 0) {
        // Positions may use the whole int range: keep the line inside it.
        long long llLine = (long long)YScreen(eOrient, 0) + iOffset;
        llLine = llLine < INT_MIN ? INT_MIN : (llLine > INT_MAX ? INT_MAX : llLine);
        pClip->SetMirrorAlpha(iLevel, (int)llLine);
    }

    const int iSavedX = pConfig->iOffsetX;
    const int iSavedY = pConfig->iOffsetY;
    pConfig->iOffsetX += pos.x;
    pConfig->iOffsetY += pos.y;
    pConfig->iDepth++;
    const int iChildAlpha = iAlpha * m_iAlpha / 255;
    for (CSurf* p = m_pFirstChild; p; p = p->NextSibling())
        p->Render(iChildAlpha, pClip, pMatrix, pConfig);
    pConfig->iDepth--;
    pConfig->iOffsetX = iSavedX;
    pConfig->iOffsetY = iSavedY;

    pClip->SetMirrorAlpha(iOuterLevel, iOuterLine);
    return 1;
}
