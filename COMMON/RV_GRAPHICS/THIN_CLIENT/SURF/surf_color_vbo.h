// CColorVBO: a vertex buffer of coloured vertices (x, y, z floats, then the
// bytes red, green, blue, alpha; 16 bytes each) laid out by its owner, for
// the frames and colour boxes that CShaderRGBA draws as triangles.
#pragma once

#include "gl_vbo.h"

struct RVT_COLOR_VERTEX
{
    float x, y, z;
    unsigned char rgba[4];

    // At (x, y) in a 0x00RRGGBB colour with its own alpha byte.
    static RVT_COLOR_VERTEX At(int x, int y, unsigned int uColor, int iAlpha);
};

class CColorVBO : public CGLBuffer
{
public:
    // Drawing thread: writes the vertices (the buffer is made on first use).
    void Set(const RVT_COLOR_VERTEX* pVertices, int iCount);
    int Count() const { return m_iCount; }

private:
    int m_iCount = 0;
};
