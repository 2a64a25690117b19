// CSurfText: properties, text-limit group membership, sizes.
#include "surf_text.h"

#include "gl_vbo.h"
#include "mainwnd.h"
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

CSurfText::~CSurfText()
{
    LeaveTextGroups();
    ReleaseRenderObjects();
    delete m_pVBO;      // its buffer goes through the GL trash
}

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
    const unsigned int uGroup = (unsigned int)m_iAttribs & TEXT_GROUP_MASK;
    if (uGroup && g_pMainWindow) {
        if (m_iAttribs & TEXT_GROUP_BEGIN)
            g_pMainWindow->BeginTextLimitGroup(uGroup);
        // A text sent again while its group is open counts once.
        RVT_TEXT_GROUP* pGroup = g_pMainWindow->GetTextGroup(uGroup);
        int bMember = 0;
        for (int i = 0; pGroup && i < pGroup->iCount; i++)
            bMember |= pGroup->pMembers[i] == this;
        if (!bMember)
            g_pMainWindow->AddTextGroup(uGroup, this);
        if (m_iAttribs & TEXT_GROUP_COMMIT)
            g_pMainWindow->CommitTextLimitGroup(uGroup);
    }
    if (m_pCacheOwner)
        m_pCacheOwner->StateFlags(m_pCacheOwner->StateFlags() | SS_APPEARANCE);
}

int CSurfText::SetPosition(ORIENT eOrient, CRVRect rc, MODIFY_CONTEXT ctx)
{
    const CRVRect old = Position(eOrient);
    const int iResult = CSurf::SetPosition(eOrient, rc, ctx);
    if (rc.width != old.width || rc.height != old.height) {
        // A box that grows keeps its text; one that shrinks below the
        // rasterised box (in the orientation on screen) needs it again.
        if (m_iRenderedWidth == 0 || (eOrient == CMainWnd::m_eOrientation &&
                                      (old.width < m_iRenderedWidth || rc.width < m_iRenderedWidth)))
            m_iState |= SS_APPEARANCE;
    }
    return iResult;
}

// Servers measure through the current one; a text it cannot measure is
// measured by a temporary server of the platform's text engine.
SIZE CSurfText::PreferredSize(ORIENT eOrient)
{
    const int iSize = m_iUsedSize[OrientIndex(eOrient)];
    SIZE extent = {0, 0};
    if (g_pFontServer)
        extent = g_pFontServer->GetTextExtent(iSize, m_sText);
    if (extent.cx == 0 && !m_sText.IsEmpty()) {
        CFontServer* pServer = CFontServer::CreateDefaultFontServer();
        if (pServer) {
            extent = pServer->GetTextExtent(iSize, m_sText);
            delete pServer;
        }
    }
    return extent;
}

int CSurfText::PreferredDY(ORIENT eOrient, int iWidth)
{
    if (m_iLayoutStyle != RVT_TEXT_RENDER_PARAMS::WRAP_LINES || !g_pFontServer)
        return Position(eOrient).height;
    const int iSize = m_iUsedSize[OrientIndex(eOrient)];
    return g_pFontServer->GetTextLines(iSize, iWidth, LineLimit(), m_sText) * iSize;
}
