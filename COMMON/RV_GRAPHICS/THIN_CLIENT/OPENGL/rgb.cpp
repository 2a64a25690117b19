// CRGBBuf: a zeroed pixel buffer with 4-pixel row alignment and slack rows.
#include "rgb.h"

#include "rvdebug.h"

#include <stdlib.h>

CRGBBuf::CRGBBuf(int iBytesPerPixel, int iWidth, int iHeight)
{
    int bDepth = iBytesPerPixel == 1 || iBytesPerPixel == 3 || iBytesPerPixel == 4;
    int bSize = iWidth >= 1 && iWidth <= MAX_SIDE && iHeight >= 1 && iHeight <= MAX_SIDE;
    RV_ASSERT(bDepth && bSize);
    if (!bDepth || !bSize)
        return;
    // Sides are bounded, so the product fits easily in size_t.
    int iStride = (iWidth + 3) & ~3;
    size_t nBytes = (size_t)iBytesPerPixel * (size_t)iStride * (size_t)(iHeight + SLACK_ROWS);
    m_pData = (unsigned char*)calloc(nBytes, 1);
    RV_ASSERT(m_pData);
    if (!m_pData)
        return;
    m_iBytesPerPixel = iBytesPerPixel;
    m_iWidth = iWidth;
    m_iStride = iStride;
    m_iHeight = iHeight;
    m_nBytes = nBytes;
}

CRGBBuf::~CRGBBuf()
{
    free(m_pData);
}
