// CRenderObject: reference counting, the view values, and the base versions
// of the optional operations.
#include "renderobject.h"

#include "dibdc.h"
#include "gl_thread.h"
#include "mainwnd.h"
#include "rgb.h"

CRenderObject::CRenderObject() : m_iRefCount(1), m_iView{0, 0, 0}, m_bViewChanged(0)
{
}

CRenderObject::~CRenderObject() = default;

int CRenderObject::GetTextureID()
{
    return -1;
}

void CRenderObject::Update(CRGBBuf* pBuf)
{
    delete pBuf;
}

void CRenderObject::Update(CRVDibDC* pDib)
{
    delete pDib;
}

void CRenderObject::OnGLContextLost()
{
}

int CRenderObject::CanAcceptSize(int, int)
{
    return 1;
}

int CRenderObject::GetWritePtrs(RVT_YUV_DATA*, int, int, SIZE*)
{
    return 0;
}

void CRenderObject::ReleaseWritePtrs()
{
}

void CRenderObject::Retain()
{
    __atomic_add_fetch(&m_iRefCount, 1, __ATOMIC_SEQ_CST);
}

void CRenderObject::Release()
{
    if (__atomic_sub_fetch(&m_iRefCount, 1, __ATOMIC_SEQ_CST) > 0)
        return;
    if (GLIsDrawingThread() || !g_pMainWindow) {
        // On the drawing thread, or with nothing that could be drawing it.
        delete this;
        return;
    }
    // The last reference dropped elsewhere: nobody else holds the object, so
    // its count can be restored for the garbage, which drops it while drawing.
    __atomic_store_n(&m_iRefCount, 1, __ATOMIC_SEQ_CST);
    g_pMainWindow->AddToGarbage(this);
}

int CRenderObject::RefCount() const
{
    return __atomic_load_n(&m_iRefCount, __ATOMIC_SEQ_CST);
}

void CRenderObject::SetViewCoords(int a, int b, int c)
{
    if (a == m_iView[0] && b == m_iView[1] && c == m_iView[2])
        return;
    m_iView[0] = a;
    m_iView[1] = b;
    m_iView[2] = c;
    m_bViewChanged = 1;
}

void ReleaseRenderObjectOnDrawingThread(CRenderObject* pObject)
{
    pObject->Release();
}
