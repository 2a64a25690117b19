// Text-limit groups: texts whose font sizes are made equal, the largest at
// which every member fits its box. The main window keeps the groups; the
// sizes are worked out here.
#include "surf_text.h"

#include "mainwnd.h"

#include <limits.h>

int CSurfText::FontSizeThatFits(ORIENT eOrient)
{
    CFontServer* pServer = g_pFontServer;
    if (!pServer)
        return 0;
    const int iWidth = Position(eOrient).width;
    for (int i = pServer->SizeIndexOf(m_iFontSize); i >= 1; i--) {
        const int iSize = pServer->FontSizeAtIndex(i);
        if (pServer->GetTextExtent(iSize, m_sText).cx < iWidth)
            return iSize;
    }
    return 0;
}

void CSurfText::SetUsedFontSizes(int iSize0, int iSize1)
{
    if (iSize0 == m_iUsedSize[0] && iSize1 == m_iUsedSize[1])
        return;
    m_iUsedSize[0] = iSize0;
    m_iUsedSize[1] = iSize1;
    m_iState |= SS_APPEARANCE;
    if (m_iState & SS_DRAWN)
        Invalidate();
}

void CSurfText::LeaveTextGroups()
{
    if (!g_pMainWindow)
        return;
    for (unsigned int uKey = 0x10000; uKey <= 0x40000; uKey += 0x10000) {
        RVT_TEXT_GROUP* pGroup = g_pMainWindow->GetTextGroup(uKey);
        if (!pGroup)
            continue;
        int iKept = 0;
        for (int i = 0; i < pGroup->iCount; i++)
            if (pGroup->pMembers[i] != this)
                pGroup->pMembers[iKept++] = pGroup->pMembers[i];
        pGroup->iCount = iKept;
    }
}

void CMainWnd::CommitTextLimitGroup(unsigned int uKey)
{
    RVT_TEXT_GROUP* pGroup = TextGroup(uKey);
    if (!pGroup || pGroup->iCount == 0)
        return;
    int iSize[2] = {INT_MAX, INT_MAX};
    for (int i = 0; i < pGroup->iCount; i++) {
        for (int o = 0; o < 2; o++) {
            const int iFits = pGroup->pMembers[i]->FontSizeThatFits(o ? ORIENT_1 : ORIENT_0);
            if (iFits < iSize[o])
                iSize[o] = iFits;
        }
    }
    for (int i = 0; i < pGroup->iCount; i++)
        pGroup->pMembers[i]->SetUsedFontSizes(iSize[0], iSize[1]);
    pGroup->iCount = 0;
}
