// CTextAtlasEntry: one packed text, its cache key and its quad.
#include "text_atlas.h"

#include "FontServer.h"
#include "gl_thread.h"

CTextAtlasEntry::CTextAtlasEntry(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS& params, int iFlags,
                                 int iNaturalWidth, int iNaturalHeight, int iImageWidth, int iImageHeight,
                                 int iCenterLine, int iSlotX, int iSlotY)
    : m_iRefCount(1),
      m_sText(sText),
      m_iFlags(iFlags),
      m_iNaturalWidth(iNaturalWidth),
      m_iNaturalHeight(iNaturalHeight),
      m_iImageWidth(iImageWidth),
      m_iImageHeight(iImageHeight),
      m_iCenterLine(iCenterLine),
      m_iFontSize(params.iSize),
      m_iSlotX(iSlotX),
      m_iSlotY(iSlotY),
      m_iWrapMode(params.iWrapMode),
      m_iAlignFlags(params.bFlags),
      m_iMaxLines(params.iMaxLines)
{
}

void CTextAtlasEntry::Release()
{
    if (--m_iRefCount <= 0)
        delete this;
}

int CTextAtlasEntry::Compare(const CRVString& sText, int iSize) const
{
    return (iSize == m_iFontSize && m_sText == sText) ? 0 : 1;
}

int CTextAtlasEntry::SameLayout(const RVT_TEXT_RENDER_PARAMS& params) const
{
    // Only these flags reach the servers' drawing; the rest of a text
    // surface's alignment places the image afterwards.
    const int iDrawn = RVT_TEXT_RENDER_PARAMS::TEXT_LEFT | RVT_TEXT_RENDER_PARAMS::TEXT_CENTER;
    if (params.iWrapMode != m_iWrapMode || (params.bFlags & iDrawn) != (m_iAlignFlags & iDrawn))
        return 0;
    // The line limit only shapes wrapped text.
    return m_iWrapMode != RVT_TEXT_RENDER_PARAMS::WRAP_LINES || params.iMaxLines == m_iMaxLines;
}

int CTextAtlasEntry::WillFit(const RVT_TEXT_RENDER_PARAMS& params) const
{
    return params.iMaxWidth >= m_iImageWidth && params.iMaxHeight >= m_iImageHeight;
}

int CTextAtlasEntry::TestIntersect(int x, int y, int w, int h) const
{
    return m_iSlotY < y + h && m_iSlotX < x + w && m_iSlotX + m_iImageWidth > x && m_iSlotY + m_iImageHeight > y;
}

int CTextAtlasEntry::GetVtxBufferID()
{
    if (m_VBO.BufferID() == -1 && GLIsDrawingThread())
        m_VBO.Build(m_iSlotX, m_iSlotY, m_iImageWidth, m_iImageHeight);
    return m_VBO.BufferID();
}

void CTextAtlasEntry::CQuad::Build(int iSlotX, int iSlotY, int w, int h)
{
    const float side = (float)CTextAtlasRenderObject::SIDE;
    const float u0 = (float)iSlotX / side, v0 = (float)iSlotY / side;
    const float u1 = (float)(iSlotX + w) / side, v1 = (float)(iSlotY + h) / side;
    const float fw = (float)w, fh = (float)h;
    // x, y, z, u, v per vertex, as a strip: top left, bottom left, top right, bottom right.
    const float vertices[20] = {
        0.0f, 0.0f, 0.0f, u0, v0,
        0.0f, fh,   0.0f, u0, v1,
        fw,   0.0f, 0.0f, u1, v0,
        fw,   fh,   0.0f, u1, v1,
    };
    Upload(vertices, (int)sizeof(vertices));
}
