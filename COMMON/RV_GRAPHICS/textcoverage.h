// CTextCoverage: the bitmap a font server draws one text into, and the
// CGLDIB it becomes.
//
// The bitmap is the text's pixel size padded to multiples of 4 on both axes
// (so rows are whole 4-byte words), one coverage byte per pixel, zeroed.
// Asked for memory, it is the CGLDIBMem that is handed out (the text atlas
// packs those); otherwise it is scratch that becomes a GL_ALPHA texture,
// which needs the drawing thread. Either result carries the alpha-texture
// flag and a text centre line of half the text height.
#pragma once

class CGLDIB;
class CTextDIB;

class CTextCoverage
{
public:
    // Sides below 1, or a padded side beyond CGLDIB::MAX_SIDE, give no bitmap.
    CTextCoverage(int iWidth, int iHeight, int bMemory);
    // Whatever was not handed out is released.
    ~CTextCoverage();
    CTextCoverage(const CTextCoverage&) = delete;
    CTextCoverage& operator=(const CTextCoverage&) = delete;

    // Null when there is no bitmap.
    unsigned char* Bits() const { return m_pBits; }
    // Bytes from one row to the next: the padded width.
    int Stride() const { return m_iPaddedWidth; }
    int PaddedHeight() const { return m_iPaddedHeight; }
    int Width() const { return m_iWidth; }
    int Height() const { return m_iHeight; }

    // The finished text: the memory bitmap, or a new texture filled from the
    // scratch bitmap. Null when there is no bitmap or the GL refuses the
    // texture. Once only.
    CGLDIB* Finish();

    static int Pad(int n) { return (n + 3) & ~3; }

private:
    int m_iWidth;
    int m_iHeight;
    int m_iPaddedWidth;
    int m_iPaddedHeight;
    unsigned char* m_pBits;
    CGLDIB* m_pMemory;          // the memory result, until handed out
    CTextDIB* m_pScratch;       // the bitmap for a texture
};
