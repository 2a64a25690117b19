// The vertex buffer classes: geometry of quads, bars, nine-slice frames, fills
// and gradients, built on the drawing thread.
#include "gl_vbo.h"

#include "gl_thread.h"
#include "gl_trash.h"
#include "rvdebug.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <string.h>

namespace {

struct TEX_VERTEX
{
    float x, y, z, u, v;
};

struct COLOR_VERTEX
{
    float x, y, z;
    unsigned char rgba[4];
};

struct POS_VERTEX
{
    float x, y, z;
};

static_assert(sizeof(TEX_VERTEX) == 20, "textured layout");
static_assert(sizeof(COLOR_VERTEX) == 16, "coloured layout");
static_assert(sizeof(POS_VERTEX) == 12, "position layout");

TEX_VERTEX Tex(float x, float y, float u, float v)
{
    return TEX_VERTEX{x, y, 0.0f, u, v};
}

int Min(int a, int b)
{
    return a < b ? a : b;
}

// A divisor that is never 0 (an image size from a bad message).
float Divisor(int n)
{
    return n > 0 ? (float)n : 1.0f;
}

}   // namespace

// ---- CGLBuffer ----

CGLBuffer::~CGLBuffer()
{
    Discard();
}

void CGLBuffer::Upload(const void* pData, int iBytes)
{
    RV_ASSERT(GLIsDrawingThread());
    if (m_iBuffer == -1) {
        GLuint id = 0;
        glGenBuffers(1, &id);
        RV_ASSERT(id != 0);
        if (id == 0)
            return;
        m_iBuffer = (int)id;
        m_iBytes = 0;
    }
    glBindBuffer(GL_ARRAY_BUFFER, (GLuint)m_iBuffer);
    if (iBytes == m_iBytes) {
        glBufferSubData(GL_ARRAY_BUFFER, 0, iBytes, pData);
    } else {
        glBufferData(GL_ARRAY_BUFFER, iBytes, pData, GL_STATIC_DRAW);
        m_iBytes = iBytes;
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    m_uUploads++;
}

void CGLBuffer::Discard()
{
    if (m_iBuffer != -1)
        GLTrashBuffer((unsigned int)m_iBuffer);
    m_iBuffer = -1;
    m_iBytes = 0;
}

// ---- CVBO ----

CVBO::CVBO() : m_x(0), m_y(0), m_w(0), m_h(0), m_fUMax(0.0f), m_fVMax(0.0f), m_iCount(0), m_iMode(5), m_bRotated(0)
{
}

CVBO::CVBO(const float* pU, const float* pV, const float* pX, const float* pY, int iCount) : CVBO()
{
    if (iCount <= 0)
        return;
    TEX_VERTEX* pVertices = new TEX_VERTEX[iCount];
    for (int i = 0; i < iCount; i++)
        pVertices[i] = Tex(pX[i], pY[i], pU[i], pV[i]);
    Upload(pVertices, iCount * (int)sizeof(TEX_VERTEX));
    delete[] pVertices;
    m_iCount = iCount;
}

void CVBO::Build(int x, int y, int w, int h, float fUMax, float fVMax, int bRotated)
{
    const float x0 = (float)x, y0 = (float)y, x1 = (float)x + (float)w, y1 = (float)y + (float)h;
    TEX_VERTEX v[4];
    if (bRotated) {
        v[0] = Tex(x0, y0, fUMax, fVMax);
        v[1] = Tex(x0, y1, fUMax, 0.0f);
        v[2] = Tex(x1, y0, 0.0f, fVMax);
        v[3] = Tex(x1, y1, 0.0f, 0.0f);
    } else {
        v[0] = Tex(x0, y0, 0.0f, 0.0f);
        v[1] = Tex(x0, y1, 0.0f, fVMax);
        v[2] = Tex(x1, y0, fUMax, 0.0f);
        v[3] = Tex(x1, y1, fUMax, fVMax);
    }
    Upload(v, sizeof v);
    KeepStrip(x, y, w, h, fUMax, fVMax, bRotated, 4);
}

void CVBO::KeepStrip(int x, int y, int w, int h, float fUMax, float fVMax, int bRotated, int iCount)
{
    m_x = x;
    m_y = y;
    m_w = w;
    m_h = h;
    m_fUMax = fUMax;
    m_fVMax = fVMax;
    m_bRotated = bRotated;
    m_iCount = iCount;
    m_iMode = 5;
}

void CVBO::Init(int x, int y, int w, int h, float fUMax, float fVMax, int bRotated)
{
    bRotated = bRotated ? 1 : 0;
    if (m_iBuffer != -1 && m_iCount == 4 && x == m_x && y == m_y && w == m_w && h == m_h && fUMax == m_fUMax &&
        fVMax == m_fVMax && bRotated == m_bRotated)
        return;
    Build(x, y, w, h, fUMax, fVMax, bRotated);
}

void CVBO::Init(int w, int h, float fUMax, float fVMax)
{
    Build(0, 0, w, h, fUMax, fVMax, 0);
}

void CVBO::SetXScale(int x, int y, int w, int h, int iImageWidth, float fUMax, float fVMax, int iLeftCap,
                     int iRightCap)
{
    Discard();
    int L = Min(iLeftCap < 0 ? 0 : iLeftCap, w / 2);
    int R = Min(iRightCap < 0 ? 0 : iRightCap, w - L - 1);
    if (L < 0)
        L = 0;
    if (R < 0)
        R = 0;
    const float W = Divisor(iImageWidth);
    const float xs[4] = {(float)x, (float)(x + L), (float)(x + w - R), (float)(x + w)};
    const float us[4] = {0.0f, L / W * fUMax, (W - R) / W * fUMax, fUMax};
    RV_ASSERT(w - L - R > 0);
    RV_ASSERT(us[2] > us[1]);
    RV_ASSERT(us[1] <= fUMax && us[2] <= fUMax);
    TEX_VERTEX v[8];
    for (int i = 0; i < 4; i++) {
        v[2 * i] = Tex(xs[i], (float)y, us[i], 0.0f);
        v[2 * i + 1] = Tex(xs[i], (float)(y + h), us[i], fVMax);
    }
    Upload(v, sizeof v);
    KeepStrip(x, y, w, h, fUMax, fVMax, 0, 8);
}

// ---- CScrollBarVBO ----

CScrollBarVBO::CScrollBarVBO() : m_iStartCap(0), m_iEndCap(0), m_iImageW(0), m_iImageH(0), m_bHorizontal(0)
{
}

void CScrollBarVBO::Init(int w, int h, int iImageWidth, int iImageHeight, float fUMax, float fVMax, int bHorizontal,
                         int iStartCap, int iEndCap)
{
    bHorizontal = bHorizontal ? 1 : 0;
    if (m_iBuffer != -1 && w == m_w && h == m_h && iStartCap == m_iStartCap && iEndCap == m_iEndCap &&
        iImageWidth == m_iImageW && iImageHeight == m_iImageH && fUMax == m_fUMax && fVMax == m_fVMax &&
        bHorizontal == m_bHorizontal)
        return;
    const int iLength = bHorizontal ? w : h;
    const float S = Divisor(bHorizontal ? iImageWidth : iImageHeight);
    const float fMax = bHorizontal ? fUMax : fVMax;
    const float fAcross = bHorizontal ? fVMax : fUMax;
    const float pos[4] = {0.0f, (float)iStartCap, (float)(iLength - iEndCap), (float)iLength};
    const float t[4] = {0.0f, iStartCap / S * fMax, (S - iEndCap) / S * fMax, fMax};
    TEX_VERTEX v[8];
    for (int i = 0; i < 4; i++) {
        if (bHorizontal) {
            v[2 * i] = Tex(pos[i], 0.0f, t[i], 0.0f);
            v[2 * i + 1] = Tex(pos[i], (float)h, t[i], fAcross);
        } else {
            v[2 * i] = Tex(0.0f, pos[i], 0.0f, t[i]);
            v[2 * i + 1] = Tex((float)w, pos[i], fAcross, t[i]);
        }
    }
    Upload(v, sizeof v);
    KeepStrip(0, 0, w, h, fUMax, fVMax, m_bRotated, 8);
    m_iStartCap = iStartCap;
    m_iEndCap = iEndCap;
    m_iImageW = iImageWidth;
    m_iImageH = iImageHeight;
    m_bHorizontal = bHorizontal;
}

// ---- CROIVBO ----

CROIVBO::CROIVBO() : m_Dest{-1, -1}, m_Source{-1, -1}, m_iCapW(-1), m_iCapH(-1)
{
}

void CROIVBO::Set(SIZE dest, SIZE source, int iCapWidth, int iCapHeight)
{
    if (m_iBuffer != -1 && dest.cx == m_Dest.cx && dest.cy == m_Dest.cy && source.cx == m_Source.cx &&
        source.cy == m_Source.cy && iCapWidth == m_iCapW && iCapHeight == m_iCapH)
        return;
    const int W = dest.cx, H = dest.cy, a = iCapWidth, b = iCapHeight;
    const float w = Divisor(source.cx), h = Divisor(source.cy);
    const float xs[4] = {0.0f, (float)a, (float)(W - a), (float)W};
    const float ys[4] = {0.0f, (float)b, (float)(H - b), (float)H};
    const float us[4] = {0.0f, a / w, 1.0f - a / w, 1.0f};
    const float vs[4] = {0.0f, b / h, 1.0f - b / h, 1.0f};
    // (column, row) of each vertex: top band left to right, middle band right
    // to left, bottom band left to right, one strip.
    static const unsigned char kOrder[VERTICES][2] = {
        {0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}, {3, 0}, {3, 1},
        {3, 2}, {2, 1}, {2, 2}, {1, 1}, {1, 2}, {0, 1}, {0, 2},
        {0, 3}, {1, 2}, {1, 3}, {2, 2}, {2, 3}, {3, 2}, {3, 3}};
    TEX_VERTEX v[VERTICES];
    for (int i = 0; i < VERTICES; i++) {
        const int c = kOrder[i][0], r = kOrder[i][1];
        v[i] = Tex(xs[c], ys[r], us[c], vs[r]);
    }
    Upload(v, sizeof v);
    m_Dest = dest;
    m_Source = source;
    m_iCapW = iCapWidth;
    m_iCapH = iCapHeight;
}

// ---- CFillRectVBO ----

CFillRectVBO::CFillRectVBO() = default;

int CFillRectVBO::Init(const CRVRect& rc)
{
    if (m_iBuffer != -1 && rc == m_rc)
        return 1;
    const float x0 = (float)rc.x, y0 = (float)rc.y;
    const float x1 = (float)rc.x + (float)rc.width, y1 = (float)rc.y + (float)rc.height;
    const POS_VERTEX v[4] = {{x0, y0, 0.0f}, {x0, y1, 0.0f}, {x1, y0, 0.0f}, {x1, y1, 0.0f}};
    Upload(v, sizeof v);
    m_rc = rc;
    return 1;
}

// ---- CGradientVBO ----

CGradientVBO::CGradientVBO() : m_uColors{}
{
}

static COLOR_VERTEX Colored(float x, float y, unsigned int uColor)
{
    COLOR_VERTEX v = {x, y, 0.0f,
                      {(unsigned char)(uColor >> 16), (unsigned char)(uColor >> 8), (unsigned char)uColor, 255}};
    return v;
}

void CGradientVBO::Init(const CRVRect& rc, unsigned int uTopLeft, unsigned int uTopRight, unsigned int uBottomLeft,
                        unsigned int uBottomRight)
{
    const unsigned int colors[4] = {uTopLeft, uTopRight, uBottomLeft, uBottomRight};
    if (m_iBuffer != -1 && rc == m_rc && memcmp(colors, m_uColors, sizeof colors) == 0)
        return;
    const float x0 = (float)rc.x, y0 = (float)rc.y;
    const float x1 = (float)rc.x + (float)rc.width, y1 = (float)rc.y + (float)rc.height;
    const COLOR_VERTEX v[4] = {Colored(x0, y0, uTopLeft), Colored(x0, y1, uBottomLeft), Colored(x1, y0, uTopRight),
                               Colored(x1, y1, uBottomRight)};
    Upload(v, sizeof v);
    m_rc = rc;
    memcpy(m_uColors, colors, sizeof colors);
}
