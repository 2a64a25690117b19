// CColorVBO: coloured vertices laid out by the owner.
#include "surf_color_vbo.h"

static_assert(sizeof(RVT_COLOR_VERTEX) == 16, "coloured layout");

RVT_COLOR_VERTEX RVT_COLOR_VERTEX::At(int x, int y, unsigned int uColor, int iAlpha)
{
    RVT_COLOR_VERTEX v;
    v.x = (float)x;
    v.y = (float)y;
    v.z = 0.0f;
    v.rgba[0] = (unsigned char)(uColor >> 16);
    v.rgba[1] = (unsigned char)(uColor >> 8);
    v.rgba[2] = (unsigned char)uColor;
    v.rgba[3] = (unsigned char)iAlpha;
    return v;
}

void CColorVBO::Set(const RVT_COLOR_VERTEX* pVertices, int iCount)
{
    if (iCount < 1)
        return;
    Upload(pVertices, iCount * (int)sizeof(RVT_COLOR_VERTEX));
    m_iCount = iCount;
}
