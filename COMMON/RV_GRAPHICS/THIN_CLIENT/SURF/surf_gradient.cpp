// CSurfGradient: properties.
#include "surf_gradient.h"

#include "rvmsg.h"

#include <string.h>

CSurfGradient::CSurfGradient(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1), m_uColor{}, m_iValue(1), m_eBuiltOrient(ORIENT_0), m_pVBO(nullptr)
{
}

void CSurfGradient::SetSurfaceProps(CRVMSG* pMsg, int)
{
    unsigned int uColor[2][COLORS];
    for (auto& orient : uColor) {
        for (unsigned int& c : orient)
            c = pMsg->GetColorBYTE();
    }
    int iValue = pMsg->GetBYTE();
    if (!memcmp(uColor, m_uColor, sizeof uColor) && iValue == m_iValue)
        return;
    memcpy(m_uColor, uColor, sizeof uColor);
    m_iValue = iValue;
    m_iState |= SS_APPEARANCE;
}

void CSurfGradient::SetColors(unsigned int uA, unsigned int uB)
{
    for (auto& orient : m_uColor) {
        orient[0] = uA;
        orient[1] = orient[2] = uB;
    }
    m_iValue = 1;
    m_iState |= SS_APPEARANCE;
    Invalidate();
}
