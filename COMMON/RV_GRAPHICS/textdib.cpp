#include "textdib.h"

#include "rvalloc.h"

#include <stdlib.h>

CTextDIB::CTextDIB(int iWidth, int iHeight) : m_iWidth(0), m_iHeight(0), m_pBits(nullptr)
{
    if (iWidth < 0)
        iWidth = 0;
    if (iHeight < 0)
        iHeight = 0;
    const size_t n = (size_t)iWidth * (size_t)iHeight;
    // The same bounds as a canvas: sizes come from font data.
    if (n && iWidth <= RV_MAX_CANVAS_SIDE && iHeight <= RV_MAX_CANVAS_SIDE && n <= RV_MAX_CANVAS_PIXELS)
        m_pBits = (unsigned char*)calloc(n, 1);
    if (m_pBits) {
        m_iWidth = iWidth;
        m_iHeight = iHeight;
    } else {
        // Empty (or not to be had): one byte, so Bits() is never null.
        m_pBits = (unsigned char*)calloc(1, 1);
    }
}

CTextDIB::~CTextDIB()
{
    free(m_pBits);
}
