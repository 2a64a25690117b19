// The vertex buffer builds that take their texture extents from a CGLDIB.
#include "gl_es.h"
#include "gl_vbo.h"

void CVBO::Init(int x, int y, int w, int h, CGLDIB* pTexture, int bRotated)
{
    const float fUMax = pTexture ? pTexture->UMax() : 1.0f;
    const float fVMax = pTexture ? pTexture->VMax() : 1.0f;
    Init(x, y, w, h, fUMax, fVMax, bRotated);
}

void CVBO::Set(int x, int y, int w, int h, CGLDIB* pTexture, int bRotated)
{
    Init(x, y, w, h, pTexture, bRotated);
    Set();
}

void CVBO::Set(int w, int h, CGLDIB* pTexture)
{
    Init(0, 0, w, h, pTexture, 0);
    Set();
}

void CVBO::SetXScale(int x, int y, int w, int h, CGLDIB* pTexture, int iLeftCap, int iRightCap)
{
    if (pTexture)
        SetXScale(x, y, w, h, pTexture->ImageWidth(), pTexture->UMax(), pTexture->VMax(), iLeftCap, iRightCap);
    else
        SetXScale(x, y, w, h, w, 1.0f, 1.0f, iLeftCap, iRightCap);
}

void CScrollBarVBO::Init(int w, int h, CGLDIB* pTexture, int bHorizontal, int iStartCap, int iEndCap)
{
    if (!pTexture)
        return;
    Init(w, h, pTexture->ImageWidth(), pTexture->ImageHeight(), pTexture->UMax(), pTexture->VMax(), bHorizontal,
         iStartCap, iEndCap);
}
