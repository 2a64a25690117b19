// CSurfText: properties.
#include "surf_text.h"

#include "rvmsg.h"

CSurfText::CSurfText(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iKind)
    : CSurf(pParent, iID, rc0, rc1),
      m_iKind(iKind),
      m_uColor(0),
      m_iFontSize(0),
      m_iUsedSize{0, 0},
      m_iAlign(0),
      m_iLayoutStyle(0),
      m_iLineSpacing(0),
      m_pTexture(nullptr),
      m_pVBO(nullptr),
      m_pAtlasEntry(nullptr),
      m_iEffect(0),
      m_iMargin(0),
      m_uColor2(0),
      m_iRenderedWidth(0),
      m_eLastOrient(ORIENT_0)
{
}

// No texture or atlas entry is taken until the rasterising is built.
CSurfText::~CSurfText() = default;

void CSurfText::SetSurfaceProps(CRVMSG* pMsg, int)
{
    CRVString sText = pMsg->GetString();
    unsigned int uColor = pMsg->GetColorBYTE();
    int iSize = pMsg->GetBYTE();
    int iAlign = pMsg->GetBYTE();
    int iStyle = pMsg->GetBYTE();
    int iSpacing = pMsg->GetBYTE();
    if (m_iKind == 24) {
        // Stored at once, but only take effect with a change below.
        m_iEffect = pMsg->GetBYTE();
        pMsg->GetBYTE();
        m_iMargin = pMsg->GetBYTE();
        m_uColor2 = pMsg->GetColorBYTE();
    }
    const bool bTextChanged = sText != m_sText;
    if (!bTextChanged && uColor == m_uColor && iSize == m_iFontSize && iStyle == m_iLayoutStyle &&
        iSpacing == m_iLineSpacing)
        return;     // nothing to rasterise again
    if (bTextChanged)
        m_iRenderedWidth = 0;
    m_sText = sText;
    m_uColor = uColor;
    m_iFontSize = m_iUsedSize[0] = m_iUsedSize[1] = iSize;
    m_iAlign = iAlign;
    m_iLayoutStyle = iStyle;
    m_iLineSpacing = iSpacing;

    m_iState |= SS_APPEARANCE;
    if (m_iState & SS_DRAWN)
        Invalidate();
    // Inside a row, a new text may have a new width: the row lays out again.
    if ((m_iState & SS_INHERIT_100) && m_pParent) {
        m_pParent->StateFlags(m_pParent->StateFlags() | SS_FONT_CHANGED);
        Invalidate();
    }
    if (m_pCacheOwner)
        m_pCacheOwner->StateFlags(m_pCacheOwner->StateFlags() | SS_APPEARANCE);
}
