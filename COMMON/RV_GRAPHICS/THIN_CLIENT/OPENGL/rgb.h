// CRGBBuf: a plain picture in main memory, one, three or four bytes per pixel
// (luminance, RGB, RGBA), as the JPEG path draws decoded images for upload.
//
// Rows are a stride of pixels apart, the width rounded up to a multiple of 4,
// so every row starts 4-byte aligned whatever the depth; four slack rows
// follow the last one. The bytes start zeroed, so the columns past the width
// are black rather than whatever the heap held.
#pragma once

#include <stddef.h>

class CRGBBuf
{
public:
    // The largest side accepted: more than any texture the viewer draws.
    enum { MAX_SIDE = 8192, SLACK_ROWS = 4 };

    // A depth other than 1, 3 or 4, or a side outside 1 .. MAX_SIDE, gives a
    // buffer without pixels (Data() null), as does a failed allocation.
    CRGBBuf(int iBytesPerPixel, int iWidth, int iHeight);
    virtual ~CRGBBuf();

    CRGBBuf(const CRGBBuf&) = delete;
    CRGBBuf& operator=(const CRGBBuf&) = delete;

    int IsValid() const { return m_pData != nullptr; }
    int BytesPerPixel() const { return m_iBytesPerPixel; }
    int Width() const { return m_iWidth; }
    int Stride() const { return m_iStride; }   // pixels
    int Height() const { return m_iHeight; }
    int RowBytes() const { return m_iBytesPerPixel * m_iStride; }
    unsigned char* Data() const { return m_pData; }
    size_t DataBytes() const { return m_nBytes; }
    // Pixel (x, y); callers stay inside stride x (height + slack).
    unsigned char* Pixel(int x, int y) const
    {
        return m_pData + (size_t)m_iBytesPerPixel * ((size_t)x + (size_t)y * (size_t)m_iStride);
    }

private:
    int m_iBytesPerPixel = 0;
    int m_iWidth = 0;
    int m_iStride = 0;
    int m_iHeight = 0;
    unsigned char* m_pData = nullptr;
    size_t m_nBytes = 0;
};
