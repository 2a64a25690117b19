// CTextDIB: an 8-bit coverage bitmap for glyphs, rows top to bottom with a
// stride of exactly the width, zero-filled at construction.
#pragma once

class CTextDIB
{
public:
    // Negative sizes count as 0; a side or area beyond the canvas limits
    // (rvalloc.h), or memory that cannot be had, leaves an empty 0 x 0 bitmap.
    CTextDIB(int iWidth, int iHeight);
    virtual ~CTextDIB();
    CTextDIB(const CTextDIB&) = delete;
    CTextDIB& operator=(const CTextDIB&) = delete;

    int Width() const { return m_iWidth; }
    int Height() const { return m_iHeight; }
    unsigned char* Bits() { return m_pBits; }
    // The byte at (x, y); no bounds check, callers stay inside.
    unsigned char* Pixel(int x, int y) { return m_pBits + (long)y * m_iWidth + x; }

private:
    int m_iWidth;
    int m_iHeight;
    unsigned char* m_pBits;
};
