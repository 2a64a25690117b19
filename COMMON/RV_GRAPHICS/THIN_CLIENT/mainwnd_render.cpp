// CMainWnd: drawing the tree, redraw requests and the garbage that only the
// drawing thread releases.
#include "mainwnd.h"

#include "DIBDC32.h"
#include "gl_thread.h"
#include "gl_trash.h"
#include "gl_vbo.h"
#include "gldelegate.h"
#include "matrix.h"
#include "renderobject.h"
#include "rvdebug.h"
#include "rvtick.h"
#include "shaders.h"

#include <GL/gl.h>
#include <stdlib.h>

void (*CMainWnd::g_pfnReleaseDIB)(CDIBDC32*) = nullptr;
void (*CMainWnd::g_pfnReleaseRenderObject)(CRenderObject*) = ReleaseRenderObjectOnDrawingThread;

int RVT_GARBAGE_LIST::Add(void* pItem)
{
    if (iCount == iCapacity) {
        int iNew = iCapacity ? iCapacity * 2 : 256;
        void** pp = (void**)realloc(ppItems, (size_t)iNew * sizeof(void*));
        if (!pp)
            return 0;
        ppItems = pp;
        iCapacity = iNew;
    }
    ppItems[iCount++] = pItem;
    return 1;
}

void RVT_GARBAGE_LIST::Free()
{
    free(ppItems);
    ppItems = nullptr;
    iCount = iCapacity = 0;
}

// ---- garbage ----

void CMainWnd::AddToGarbage(CSurf* pSurf)
{
    if (!pSurf) {
        RVLog(RV_LOG_DEBUG, "ERROR: NULL SURF IN ADDTOGARBAGE");
        return;
    }
    pSurf->PrepareDelete();
    m_TreeLock.RVLock();
    int bAdded = m_GarbageSurfs.Add(pSurf);
    m_TreeLock.RVUnlock();
    RV_ASSERT(bAdded);  // out of memory: the surface is lost rather than freed off the drawing thread
}

void CMainWnd::AddToGarbage(CDIBDC32* pDIB)
{
    if (!pDIB) {
        RVLog(RV_LOG_DEBUG, "ERROR: NULL DIB IN ADDTOGARBAGE");
        return;
    }
    m_TreeLock.RVLock();
    int bAdded = m_GarbageDIBs.Add(pDIB);
    m_TreeLock.RVUnlock();
    RV_ASSERT(bAdded);
}

void CMainWnd::ReleaseCanvas(CDIBDC32* pDIB)
{
    if (!pDIB)
        return;
    if (g_pMainWindow && !GLIsDrawingThread())
        g_pMainWindow->AddToGarbage(pDIB);
    else
        pDIB->Release();
}

void CMainWnd::AddToGarbage(CRenderObject* pObject)
{
    if (!pObject)
        return;
    m_TreeLock.RVLock();
    int bAdded = m_GarbageObjects.Add(pObject);
    m_TreeLock.RVUnlock();
    RV_ASSERT(bAdded);
}

void CMainWnd::CleanupGarbage()
{
    // This is the drawing thread's step by definition: what is released here
    // may free GL objects.
    CGLDrawingScope drawing;
    m_TreeLock.RVLock();
    for (int i = 0; i < m_GarbageSurfs.iCount; i++)
        delete static_cast<CSurf*>(m_GarbageSurfs.ppItems[i]);
    m_GarbageSurfs.iCount = 0;
    m_TreeLock.RVUnlock();

    m_TreeLock.RVLock();
    if (m_GarbageDIBs.iCount) {
        RV_ASSERT(g_pfnReleaseDIB);
        for (int i = 0; i < m_GarbageDIBs.iCount; i++) {
            if (g_pfnReleaseDIB)
                g_pfnReleaseDIB(static_cast<CDIBDC32*>(m_GarbageDIBs.ppItems[i]));
        }
        m_GarbageDIBs.iCount = 0;
        // Image surfaces may point into what was just released.
        InvalidateGraphStorePointers();
    }
    m_TreeLock.RVUnlock();

    m_TreeLock.RVLock();
    // Taken out first: releasing one object may hand in another.
    RVT_GARBAGE_LIST objects = m_GarbageObjects;
    m_GarbageObjects = RVT_GARBAGE_LIST();
    RV_ASSERT(g_pfnReleaseRenderObject);
    for (int i = 0; i < objects.iCount; i++) {
        if (g_pfnReleaseRenderObject)
            g_pfnReleaseRenderObject(static_cast<CRenderObject*>(objects.ppItems[i]));
    }
    if (m_GarbageObjects.iCount == 0) {
        objects.iCount = 0;
        m_GarbageObjects = objects;
    } else {
        objects.Free();
    }
    m_TreeLock.RVUnlock();
}

CFillRectVBO* CMainWnd::StencilFill()
{
    RV_ASSERT(GLIsDrawingThread());
    if (!m_pStencilFill)
        m_pStencilFill = new CFillRectVBO;
    return m_pStencilFill;
}

void CMainWnd::CreateGL()
{
    if (m_bOwnsShaders || g_pShaderFill)
        return;
    if (!CreateShaderPrograms())
        RVLog(RV_LOG_ERROR, "shader programs did not link; drawing will be incomplete");
    m_bOwnsShaders = 1;
}

// ---- drawing ----

void CMainWnd::RenderScreen()
{
    // The front end calls this with the context current, on whichever thread
    // draws the frame.
    CGLDrawingScope drawing;
    CleanupGarbage();
    if (g_bRenderGL)
        CreateGL();
    RVT_MATRIX_CONFIG config;
    config.eOrientation = m_eOrientation;
    config.iOrientMode = m_iOrientAnimMode;
    config.iOrientProgress = m_iOrientAnimProgress;
    RenderScreen(&config);
    // GL names thrown away during the frame or off the drawing thread.
    if (g_bRenderGL)
        GLFlushTrash();
}

void CMainWnd::RenderScreen(RVT_MATRIX_CONFIG* pConfig)
{
    m_TreeLock.RVLock();
    // A colour of 0 keeps the clear colour as it was.
    unsigned int uColor = m_uColor[0];
    if (uColor != 0) {
        int bChanged = uColor != m_uClearColor;
        m_uClearColor = uColor;
        if (g_bRenderGL) {
            glClearColor(((uColor >> 16) & 0xFF) / 255.0f, ((uColor >> 8) & 0xFF) / 255.0f, (uColor & 0xFF) / 255.0f,
                         1.0f);
            // The frame was cleared before this call with the old colour.
            if (bChanged)
                glClear(GL_COLOR_BUFFER_BIT);
        }
    }

    const CRVRect& screen = m_rcPos[OrientIndex(pConfig->eOrientation)];
    CRVRect base(0, 0, screen.width, screen.height);
    if (pConfig->iOrientMode != 0) {
        int iSide = screen.width > screen.height ? screen.width : screen.height;
        base = CRVRect(0, 0, iSide, iSide);
    }
    CClipStack clip(base);

    float fMatrix[16];
    for (int i = 0; i < 16; i++)
        fMatrix[i] = m_fCombined[i];
    float* pMatrix = fMatrix;
    if ((m_iState & SS_HAS_TRANSFORM) || m_iRotation[0] || m_iRotation[1] || m_iRotation[2]) {
        InitMatrix(fMatrix, pConfig);
        pMatrix = m_fMatrix;
    }
    for (CSurf* p = m_pFirstChild; p; p = p->NextSibling())
        p->Render(m_iAlpha, &clip, pMatrix, pConfig);
    m_TreeLock.RVUnlock();
}

void CMainWnd::ValidateScreen(RVT_MATRIX_CONFIG*)
{
    if ((StateFlags() & SS_DEFERRED_REDRAW) &&
        RVTickSince(__atomic_load_n(&m_uLastTreeChange, __ATOMIC_SEQ_CST)) > DEFERRED_REDRAW_MS) {
        // On this thread already: no wake-up needed.
        __atomic_and_fetch(&m_iState, ~SS_DEFERRED_REDRAW, __ATOMIC_SEQ_CST);
        __atomic_or_fetch(&m_iState, SS_NEEDS_REDRAW, __ATOMIC_SEQ_CST);
    }
    if (__atomic_fetch_and(&m_iState, ~SS_NEEDS_REDRAW, __ATOMIC_SEQ_CST) & SS_NEEDS_REDRAW) {
        m_bRedrawRequested = 1;
        GLDelegateValidateScreen(m_pView);
    }
}
