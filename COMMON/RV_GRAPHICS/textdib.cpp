#include "textdib.h"

#include <stdint.h>
#include <stdlib.h>

CTextDIB::CTextDIB(int iWidth, int iHeight) : m_iWidth(0), m_iHeight(0), m_pBits(nullptr)
{
    if (iWidth < 0)
        iWidth = 0;
    if (iHeight < 0)
        iHeight = 0;
    const size_t n = (size_t)iWidth * (size_t)iHeight;
    // One byte even for an empty bitmap, so Bits() is never null.
    m_pBits = (unsigned char*)calloc(n ? n : 1, 1);
    if (m_pBits) {
        m_iWidth = iWidth;
        m_iHeight = iHeight;
    }
}

CTextDIB::~CTextDIB()
{
    free(m_pBits);
}
