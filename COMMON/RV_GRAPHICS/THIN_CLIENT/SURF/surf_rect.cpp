// CSurfRect: colours per orientation and the corner radius.
#include "surf_rect.h"

#include "rvmsg.h"

CSurfRect::CSurfRect(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, unsigned int uColor)
    : CSurf(pParent, iID, rc0, rc1), m_uColor{uColor, uColor}, m_iRadius(0), m_pFill(nullptr),
      m_pCornerImage(nullptr), m_pNineSlice(nullptr)
{
}

// The GL objects are built by the drawing code, which also releases them.
CSurfRect::~CSurfRect() = default;

void CSurfRect::SetSurfaceProps(CRVMSG* pMsg, int)
{
    unsigned int uColor0 = pMsg->GetColorBYTE();
    unsigned int uColor1 = pMsg->GetColorBYTE();
    int iRadius = pMsg->GetBYTE();
    if (uColor0 == m_uColor[0] && uColor1 == m_uColor[1] && iRadius == m_iRadius)
        return;
    m_uColor[0] = uColor0;
    m_uColor[1] = uColor1;
    m_iRadius = iRadius;
    StateFlags(StateFlags() | SS_APPEARANCE | SS_NEEDS_REDRAW);
}

void CSurfRect::SetColor(ORIENT eOrient, unsigned int uColor)
{
    unsigned int& uMine = m_uColor[OrientIndex(eOrient)];
    if (uMine == uColor)
        return;
    uMine = uColor;
    m_iState |= SS_APPEARANCE;
    Invalidate();
}

void CSurfRect::SetRadius(int iRadius)
{
    if (iRadius == m_iRadius)
        return;
    m_iRadius = iRadius;
    m_iState |= SS_APPEARANCE;
    Invalidate();
}
