// CTextCoverage: a padded coverage bitmap and the CGLDIB made from it.
#include "textcoverage.h"

#include "gl_es.h"
#include "gl_thread.h"
#include "rvdebug.h"
#include "textdib.h"

#include <GL/gl.h>

CTextCoverage::CTextCoverage(int iWidth, int iHeight, int bMemory)
    : m_iWidth(0), m_iHeight(0), m_iPaddedWidth(0), m_iPaddedHeight(0), m_pBits(nullptr), m_pMemory(nullptr),
      m_pScratch(nullptr)
{
    if (iWidth < 1 || iHeight < 1 || iWidth > CGLDIB::MAX_SIDE - 3 || iHeight > CGLDIB::MAX_SIDE - 3)
        return;
    const int pw = Pad(iWidth);
    const int ph = Pad(iHeight);
    if (bMemory) {
        CGLDIBMem* pMem = new CGLDIBMem(iWidth, iHeight, pw, ph);
        if (!pMem->Image()) {
            pMem->Release();
            return;
        }
        m_pMemory = pMem;
        m_pBits = pMem->Image();
    } else {
        m_pScratch = new CTextDIB(pw, ph);
        if (m_pScratch->Width() != pw || m_pScratch->Height() != ph) {
            delete m_pScratch;
            m_pScratch = nullptr;
            return;
        }
        m_pBits = m_pScratch->Bits();
    }
    m_iWidth = iWidth;
    m_iHeight = iHeight;
    m_iPaddedWidth = pw;
    m_iPaddedHeight = ph;
}

CTextCoverage::~CTextCoverage()
{
    if (m_pMemory)
        m_pMemory->Release();
    delete m_pScratch;
}

CGLDIB* CTextCoverage::Finish()
{
    CGLDIB* pDIB = nullptr;
    if (m_pMemory) {
        pDIB = m_pMemory;
        m_pMemory = nullptr;
        pDIB->SetFlags(pDIB->Flags() | CGLDIB::GLDIB_ALPHA);
    } else if (m_pScratch) {
        RV_ASSERT(GLIsDrawingThread());
        const int iMax = GLMaxTextureSide();
        if (m_iPaddedWidth <= iMax && m_iPaddedHeight <= iMax) {
            unsigned int uTexture = GLNewTexture(0);
            if (uTexture != CGLDIB::NO_TEXTURE) {
                GLTexAllocate(GL_ALPHA, GL_ALPHA, m_iPaddedWidth, m_iPaddedHeight, m_iPaddedWidth, m_pBits);
                pDIB = new CGLDIB(uTexture, m_iWidth, m_iHeight, m_iPaddedWidth, m_iPaddedHeight);
                pDIB->SetFlags(CGLDIB::GLDIB_ALPHA);
            }
        }
        delete m_pScratch;
        m_pScratch = nullptr;
    }
    m_pBits = nullptr;
    if (pDIB)
        pDIB->SetTextCenterLine(m_iHeight / 2);
    return pDIB;
}
