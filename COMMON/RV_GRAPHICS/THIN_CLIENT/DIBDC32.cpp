#include "DIBDC32.h"

#include "dibdc.h"
#include "gl_es.h"
#include "mainwnd.h"

#include <new>

namespace
{
// What the main window's garbage does with each canvas it holds: drop the
// reference it was given, on the drawing thread.
void ReleaseDIBFromGarbage(CDIBDC32* pDIB)
{
    if (pDIB)
        pDIB->Release();
}

// The main window cannot know this class; linking it in registers the release.
struct RegisterGarbageRelease
{
    RegisterGarbageRelease() { CMainWnd::g_pfnReleaseDIB = ReleaseDIBFromGarbage; }
} g_RegisterGarbageRelease;
}  // namespace

CDIBDC32::CDIBDC32(CRVDibDC* pDibDC)
    : m_pDibDC(pDibDC), m_pGLDIB(nullptr), m_uImageID(0), m_uStoreFlags(0), m_u64StoreValue(0), m_iRefCount(1)
{
}

CDIBDC32::~CDIBDC32()
{
    delete m_pDibDC;
    if (m_pGLDIB)
        m_pGLDIB->Release();
}

void CDIBDC32::Retain() { __atomic_add_fetch(&m_iRefCount, 1, __ATOMIC_RELAXED); }

void CDIBDC32::Release()
{
    if (__atomic_fetch_sub(&m_iRefCount, 1, __ATOMIC_ACQ_REL) <= 1)
        delete this;
}

int CDIBDC32::RefCount() const { return __atomic_load_n(&m_iRefCount, __ATOMIC_RELAXED); }

CGLDIB* CDIBDC32::GetGLDIB()
{
    if (m_pGLDIB || !m_pDibDC)
        return m_pGLDIB;
    CGLDIB* pGLDIB = new (std::nothrow) CGLDIB(m_pDibDC, 0);
    if (!pGLDIB)
        return nullptr;
    if (!pGLDIB->HasTexture()) {
        // Drawing a texture that does not exist would bind a bogus name; keep
        // the pixels and try again next time.
        pGLDIB->Release();
        return nullptr;
    }
    m_pGLDIB = pGLDIB;
    delete m_pDibDC;
    m_pDibDC = nullptr;
    return m_pGLDIB;
}

void CDIBDC32::OnGLContextLost()
{
    if (!m_pGLDIB)
        return;
    m_pGLDIB->OnGLContextLost();
    m_pGLDIB->Release();
    m_pGLDIB = nullptr;
}
