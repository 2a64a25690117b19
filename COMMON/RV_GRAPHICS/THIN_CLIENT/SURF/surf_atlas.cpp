// CSurf: the text atlas of an owner surface (attribute 0x200), shared by the
// texts of its subtree and drawn after it in CSurf::Render.
#include "surf.h"

#include "rvdebug.h"
#include "text_atlas.h"

CTextAtlasEntry* CSurf::GetTextAtlasEntry(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS* pParams)
{
    if (!(m_iAttribs & SA_TEXT_ATLAS)) {
        AssertDlg(__FILE__, __LINE__, 0);
        return nullptr;
    }
    if (!m_pTextAtlas)
        m_pTextAtlas = new CTextAtlas;
    return m_pTextAtlas->GetTextAtlasEntry(sText, pParams);
}

void CSurf::AddTextAtlasRenderRef(CTextAtlasEntry* pEntry, const float* pMatrix, int iAlpha, unsigned int uColor)
{
    if (!m_pTextAtlas) {
        AssertDlg(__FILE__, __LINE__, 0);
        return;
    }
    m_pTextAtlas->AddTextAtlasRenderRef(pEntry, pMatrix, iAlpha, uColor);
}
