// CGraphicStore: the canvas list, lookups, removal through the main window's
// garbage, and the image decoders it uses.
#include "graphstore.h"

#include "DIBDC32.h"
#include "dibdc.h"
#include "gl_trash.h"
#include "mainwnd.h"
#include "pngdecode.h"
#include "rvlog.h"
#include "tcf.h"

#include <new>

CGraphicStore* g_pGraphicStore = nullptr;

namespace {

// The main window's tree lock, when there is a main window.
CRVCritical* TreeLock()
{
    return g_pMainWindow ? g_pMainWindow->TreeLock() : nullptr;
}

// A canvas the store lets go of goes through the garbage even on the drawing
// thread, unlike CMainWnd::ReleaseCanvas: emptying the garbage is what tells
// the tree's surfaces to look their images up again. Without a main window
// nothing draws, and it is released at once.
void Discard(CDIBDC32* pDib)
{
    if (g_pMainWindow)
        g_pMainWindow->AddToGarbage(pDib);
    else
        pDib->Release();
}

// A decoded picture as a store canvas, which takes it; null (the picture
// deleted) when there is none or no memory for the canvas.
CDIBDC32* AsCanvas(CAlphaDIB* pDib)
{
    if (!pDib)
        return nullptr;
    CDIBDC32* pOut = new (std::nothrow) CDIBDC32(pDib);
    if (!pOut)
        delete pDib;
    return pOut;
}

}  // namespace

CDIBDC32* LoadRVPNG32(const unsigned char* pData, int iLength, int)
{
    return AsCanvas(CPNGDecoder::CreateDIB(pData, iLength));
}

CDIBDC32* CGraphicStore::LoadTCF1(const unsigned char* pData, int iLength)
{
    const RVT_COMPRESSED_IMAGE image = {pData, iLength > 0 ? (uint32_t)iLength : 0u};
    const SIZE size = pData ? CTAVOImageFormat::ExtractImageSize(&image) : SIZE{0, 0};
    CAlphaDIB* pDib = nullptr;
    if (size.cx > 0 && size.cy > 0)
        pDib = new (std::nothrow) CAlphaDIB(size.cx, size.cy, 0, 0, 0, 0);
    if (pDib && pDib->IsValid()) {
        // The end code may stop short of the last pixel: the rest stays clear.
        pDib->Fill(0);
        if (CTAVOImageFormat::DecompressImage(pDib->Bits(), pDib->DX(), &image)) {
            pDib->MakePreMult();
            if (CDIBDC32* pOut = AsCanvas(pDib))
                return pOut;
            pDib = nullptr;     // deleted with the canvas that could not be made
        }
    }
    delete pDib;
    RVLog(RV_LOG_WARN, "Error in LoadTCF1");
    return nullptr;
}

int CGraphicStore::Margin1(const CDIBDC32* pDib)
{
    return pDib ? (int)(uint32_t)pDib->StoreValue() : 0;
}

int CGraphicStore::Margin2(const CDIBDC32* pDib)
{
    return pDib ? (int)(uint32_t)(pDib->StoreValue() >> 32) : 0;
}

CGraphicStore::CGraphicStore() : m_pCanvases{}, m_iCount(0), m_uGeneration(0) {}

CGraphicStore::~CGraphicStore()
{
    ReleaseAll();
}

int CGraphicStore::Count()
{
    CRVHold hold(&m_Lock);
    return m_iCount;
}

CDIBDC32* CGraphicStore::SourceByID(int iID)
{
    {
        CRVHold hold(&m_Lock);
        for (int i = 0; i < m_iCount; i++)
            if ((int)m_pCanvases[i]->ImageID() == iID)
                return m_pCanvases[i];
    }
    if (iID != 0)
        RVLog(RV_LOG_INFO, "Error no item ID (0x%08X)", (unsigned int)iID);
    return nullptr;
}

CDIBDC32* CGraphicStore::RetainSourceByID(int iID)
{
    CRVHold hold(&m_Lock);
    CDIBDC32* pDib = SourceByID(iID);
    if (pDib)
        pDib->Retain();
    return pDib;
}

void CGraphicStore::RemoveLocked(int iID)
{
    int iKept = 0;
    for (int i = 0; i < m_iCount; i++) {
        CDIBDC32* pDib = m_pCanvases[i];
        if ((int)pDib->ImageID() == iID)
            Discard(pDib);
        else
            m_pCanvases[iKept++] = pDib;
    }
    for (int i = iKept; i < m_iCount; i++)
        m_pCanvases[i] = nullptr;
    m_iCount = iKept;
}

void CGraphicStore::ClearGraphic(int iID)
{
    CRVHold tree(TreeLock());
    CRVHold hold(&m_Lock);
    RemoveLocked(iID);
}

int CGraphicStore::AddCanvas(CDIBDC32* pDib, int iID, int iFlags, int iMargin1, int iMargin2)
{
    if (!pDib)
        return 0;
    pDib->ImageID((uint32_t)iID);
    pDib->StoreFlags((uint32_t)iFlags);
    pDib->StoreValue((uint64_t)(uint32_t)iMargin2 << 32 | (uint32_t)iMargin1);
    CRVHold tree(TreeLock());
    CRVHold hold(&m_Lock);
    RemoveLocked(iID);
    if (m_iCount >= MAX_CANVASES) {
        Discard(pDib);
        return 0;
    }
    m_pCanvases[m_iCount++] = pDib;
    __atomic_add_fetch(&m_uGeneration, 1, __ATOMIC_RELEASE);
    return 1;
}

void CGraphicStore::ClearAll()
{
    CRVHold tree(TreeLock());
    {
        CRVHold hold(&m_Lock);
        for (int i = 0; i < m_iCount; i++) {
            Discard(m_pCanvases[i]);
            m_pCanvases[i] = nullptr;
        }
        m_iCount = 0;
    }
    // Surfaces may still hold what was just thrown away; they look again.
    if (g_pMainWindow)
        g_pMainWindow->InvalidateGraphStorePointers();
}

void CGraphicStore::ReleaseAll()
{
    RVLog(RV_LOG_DEBUG, "Release All");
    CRVHold hold(&m_Lock);
    for (int i = 0; i < m_iCount; i++) {
        m_pCanvases[i]->Release();
        m_pCanvases[i] = nullptr;
    }
    m_iCount = 0;
}

void CGraphicStore::OnGLContextLost()
{
    CRVHold hold(&m_Lock);
    for (int i = 0; i < m_iCount; i++)
        m_pCanvases[i]->OnGLContextLost();
}

void CGraphicStore::OnGLContextRestore()
{
    CRVHold hold(&m_Lock);
    for (int i = 0; i < m_iCount; i++)
        m_pCanvases[i]->OnGLContextRestore();
}

void CGraphicStore::DeleteBuffer(int iBuffer)
{
    if (iBuffer >= 0)
        GLTrashBuffer((unsigned int)iBuffer);
}

void CGraphicStore::DeleteTexture(int iTexture)
{
    if (iTexture >= 0)
        GLTrashTexture((unsigned int)iTexture);
}

void CGraphicStore::FlushTrash()
{
    GLFlushTrash();
}
