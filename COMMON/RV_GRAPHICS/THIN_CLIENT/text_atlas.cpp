// CTextAtlas: the cache of packed texts and the per-frame batch of draws.
#include "text_atlas.h"

#include "FontServer.h"
#include "gl_es.h"
#include "gl_thread.h"
#include "rvdebug.h"
#include "shaders_gl.h"

#include <string.h>

#include <algorithm>

CTextAtlas::CTextAtlas()
    : m_pEntries{},
      m_iEntries(0),
      m_Queue{},
      m_iQueued(0),
      m_uEpoch(0),
      m_pRenderObject(new CTextAtlasRenderObjectDefault)
{
}

CTextAtlas::~CTextAtlas()
{
    ClearQueue();
    for (int i = 0; i < m_iEntries; i++)
        m_pEntries[i]->Release();
    m_iEntries = 0;
    m_pRenderObject->Release();
}

CTextAtlasEntry* CTextAtlas::FindEntry(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS& params, int bCut) const
{
    for (int i = 0; i < m_iEntries; i++) {
        CTextAtlasEntry* e = m_pEntries[i];
        if (!e->IsStale() && e->Compare(sText, params.iSize) == 0 &&
            ((e->Flags() & CTextAtlasEntry::FLAG_CUT) != 0) == (bCut != 0) && e->WillFit(params) &&
            e->SameLayout(params))
            return e;
    }
    return nullptr;
}

CTextAtlasEntry* CTextAtlas::GetTextAtlasEntry(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS* pParams)
{
    if (!pParams)
        return nullptr;
    const RVT_TEXT_RENDER_PARAMS& params = *pParams;
    // Outlines need room the packed coverage does not have; long texts would
    // crowd out the short labels the atlas is for.
    if ((params.iStrokeAlpha && params.iStrokeWidth) || sText.GetLength() > MAX_TEXT)
        return nullptr;
    if (CTextAtlasEntry* e = FindEntry(sText, params, 0))
        return e;
    if (!g_pFontServer)
        return nullptr;
    const SIZE extent = g_pFontServer->GetTextExtent(params.iSize, sText);
    // Too wide for the box: an entry that was cut (or wrapped) the same way serves.
    if (params.iMaxWidth < extent.cx) {
        if (CTextAtlasEntry* e = FindEntry(sText, params, 1))
            return e;
    }
    if (m_iEntries >= MAX_ENTRIES && !FreeBlocks(0))
        return nullptr;
    return AddEntry(sText, params, extent);
}

CTextAtlasEntry* CTextAtlas::AddEntry(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS& params, SIZE extent)
{
    RVT_TEXT_RENDER_PARAMS copy = params;
    copy.bOutputFlags |= RVT_TEXT_RENDER_PARAMS::OUTPUT_MEMORY;
    // A memory bitmap never reuses a texture.
    copy.iTextureID = -1;
    copy.iTextureWidth = copy.iTextureHeight = 0;
    CGLDIB* pDib = g_pFontServer->CreateGLDIB(sText, &copy);
    if (!pDib)
        return nullptr;
    // Only a bitmap in memory can be packed.
    const int w = pDib->ImageWidth(), h = pDib->ImageHeight();
    int x = 0, y = 0;
    int bPlaced = pDib->Image() != nullptr && FindEmptySlot(w, h, &x, &y);
    if (!bPlaced && pDib->Image() && FreeBlocks(1))
        bPlaced = FindEmptySlot(w, h, &x, &y);
    if (!bPlaced || m_iEntries >= MAX_ENTRIES || !m_pRenderObject->Blt(x, y, pDib)) {
        RV_ASSERT(m_iEntries < MAX_ENTRIES);
        pDib->Release();
        return nullptr;
    }
    // A server that reports the natural width writes it into the max width;
    // otherwise the measured width is the natural one.
    const int iNatural = copy.iMaxWidth != params.iMaxWidth ? copy.iMaxWidth : extent.cx;
    const int iFlags = w < iNatural ? CTextAtlasEntry::FLAG_CUT : 0;
    CTextAtlasEntry* e =
        new CTextAtlasEntry(sText, params, iFlags, iNatural, extent.cy, w, h, pDib->TextCenterLine(), x, y);
    pDib->Release();
    e->Epoch(m_uEpoch);
    m_pEntries[m_iEntries++] = e;
    return e;
}

void CTextAtlas::ForgetEntries()
{
    for (int i = 0; i < m_iEntries; i++)
        if (m_pEntries[i]->Epoch() != m_uEpoch)
            m_pEntries[i]->SetStale();
}

void CTextAtlas::AddTextAtlasRenderRef(CTextAtlasEntry* pEntry, const float* pMatrix, int iAlpha, unsigned int uColor)
{
    if (!pEntry || !pMatrix)
        return;
    if (m_iQueued >= MAX_QUEUED)
        Render();
    RVT_ATLAS_DRAW& d = m_Queue[m_iQueued++];
    pEntry->Retain();   // its slot stays its own until it is drawn
    d.pEntry = pEntry;
    memcpy(d.fMatrix, pMatrix, sizeof(d.fMatrix));
    d.iAlpha = std::clamp(iAlpha, 0, 255);
    d.uColor = uColor & 0xFFFFFF;
}

void CTextAtlas::ClearQueue()
{
    for (int i = 0; i < m_iQueued; i++)
        m_Queue[i].pEntry->Release();
    m_iQueued = 0;
}

void CTextAtlas::Render()
{
    m_uEpoch++;
    if (m_iQueued == 0)
        return;
    if (!g_pShaderText || !GLIsDrawingThread()) {
        ClearQueue();
        return;
    }
    const RVT_PROGRAM& program = m_pRenderObject->TextTextureFormat() == CTextAtlasRenderObject::FORMAT_GREEN
                                     ? g_pShaderText->GreenCoverage()
                                     : g_pShaderText->AlphaCoverage();
    if (program.uProgram == 0 || program.iMVP < 0 || !m_pRenderObject->InitTexture()) {
        ClearQueue();
        return;
    }
    glUseProgram(program.uProgram);
    BlendOn(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    unsigned int uColor = 0;
    int iAlpha = -1;    // nothing uploaded yet
    for (int i = 0; i < m_iQueued; i++) {
        const RVT_ATLAS_DRAW& d = m_Queue[i];
        const int iVBO = d.pEntry->GetVtxBufferID();
        if (iVBO == -1)
            continue;
        BindTextured(iVBO);
        if (d.uColor != uColor || d.iAlpha != iAlpha) {
            const float a = d.iAlpha / 255.0f;
            glUniform4f(program.iColor, Red(d.uColor) * a, Green(d.uColor) * a, Blue(d.uColor) * a, a);
            uColor = d.uColor;
            iAlpha = d.iAlpha;
        }
        glUniformMatrix4fv(program.iMVP, 1, GL_FALSE, d.fMatrix);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    // The colour uniform changed behind the text program's back.
    g_pShaderText->InvalidateColor();
    ClearQueue();
}

void CTextAtlas::OnGLContextLost()
{
    static const char kLine[] = "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX";
    static_assert(sizeof(kLine) == 73, "72 characters");
    RVLog(RV_LOG_DEBUG, "%s", kLine);
    RVLog(RV_LOG_DEBUG, "CTextAtlas OnGLContextLost()!");
    RVLog(RV_LOG_DEBUG, "%s", kLine);
    m_pRenderObject->OnGLContextLost();
    for (int i = 0; i < m_iEntries; i++)
        m_pEntries[i]->OnGLContextLost();
}
