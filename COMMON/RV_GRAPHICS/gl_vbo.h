// Vertex buffers of the surfaces: one quad, a three-slice bar, a nine-slice
// frame, a filled rectangle, a four-colour gradient. Positions are screen
// pixels (origin top left, y down, z = 0); the layouts are those the shader
// programs read (textured 20 bytes, coloured 16, position-only 12).
//
// Each build compares its inputs with the last build and returns at once when
// nothing changed; a rebuild of an existing buffer of the same size is a
// glBufferSubData. Builds run on the drawing thread. The buffer name is -1
// until the first build; destroying an object, on any thread, hands the name
// to the GL trash (gl_trash.h), which deletes it on the drawing thread.
#pragma once

#include "rvrect.h"
#include "rvtypes.h"

class CGLDIB;

// The GL buffer behind every class below: creation, upload, context loss,
// deletion through the trash.
class CGLBuffer
{
public:
    CGLBuffer() = default;
    virtual ~CGLBuffer();
    CGLBuffer(const CGLBuffer&) = delete;
    CGLBuffer& operator=(const CGLBuffer&) = delete;

    // The GL name, or -1.
    int BufferID() const { return m_iBuffer; }
    // The context that owned the buffer is gone: forget the name.
    void OnGLContextLost() { m_iBuffer = -1; m_iBytes = 0; }
    // Uploads so far (each build that changed something is one).
    unsigned int Uploads() const { return m_uUploads; }

protected:
    // Creates the buffer when there is none, else rewrites it (in place when
    // the size is unchanged). The array-buffer binding is 0 afterwards.
    void Upload(const void* pData, int iBytes);
    // Hands the current buffer to the trash; the next Upload creates one.
    void Discard();

    int m_iBuffer = -1;

private:
    int m_iBytes = 0;
    unsigned int m_uUploads = 0;
};

// A textured quad (or any strip of textured vertices) and its extents.
class CVBO : public CGLBuffer
{
public:
    CVBO();
    // count textured vertices (x[i], y[i], 0, u[i], v[i]), uploaded at once;
    // drawn as a strip.
    CVBO(const float* pU, const float* pV, const float* pX, const float* pY, int iCount);

    // Quad at (x, y) of w x h with texture extents (0..umax, 0..vmax); with
    // bRotated the texture is turned by 180 degrees. Rebuilds only when an
    // input changed.
    void Init(int x, int y, int w, int h, float fUMax, float fVMax, int bRotated);
    // The same with the texture's used extents (1.0 x 1.0 for null).
    void Init(int x, int y, int w, int h, CGLDIB* pTexture, int bRotated);
    // Quad at (0, 0) with explicit extents; always rewrites the buffer.
    void Init(int w, int h, float fUMax, float fVMax);
    // Init, then the Set() hook.
    void Set(int x, int y, int w, int h, CGLDIB* pTexture, int bRotated);
    void Set(int w, int h, CGLDIB* pTexture);
    // Called after the geometry changed; nothing in the base.
    virtual void Set() {}

    // Horizontal three-slice at (x, y) of w x h from an image iImageWidth
    // pixels wide: the caps keep their pixel size, the middle stretches.
    // Always makes a new buffer. 8 vertices.
    void SetXScale(int x, int y, int w, int h, int iImageWidth, float fUMax, float fVMax, int iLeftCap, int iRightCap);
    void SetXScale(int x, int y, int w, int h, CGLDIB* pTexture, int iLeftCap, int iRightCap);

    int X() const { return m_x; }
    int Y() const { return m_y; }
    int Width() const { return m_w; }
    int Height() const { return m_h; }
    float UMax() const { return m_fUMax; }
    float VMax() const { return m_fVMax; }
    // What the owner passes to the shader's Render.
    int Count() const { return m_iCount; }
    int Mode() const { return m_iMode; }
    int Rotated() const { return m_bRotated; }

protected:
    // Records what a triangle strip of iCount vertices was built from.
    void KeepStrip(int x, int y, int w, int h, float fUMax, float fVMax, int bRotated, int iCount);

    int m_x, m_y, m_w, m_h;
    float m_fUMax, m_fVMax;
    int m_iCount;
    int m_iMode;                // 5: GL_TRIANGLE_STRIP
    int m_bRotated;

private:
    void Build(int x, int y, int w, int h, float fUMax, float fVMax, int bRotated);
};

// A bar at (0, 0) stretched along its long axis with fixed-size end caps.
class CScrollBarVBO : public CVBO
{
public:
    CScrollBarVBO();
    // w x h from an image of iImageWidth x iImageHeight pixels; bHorizontal
    // stretches along x, else along y. 8 vertices.
    void Init(int w, int h, int iImageWidth, int iImageHeight, float fUMax, float fVMax, int bHorizontal,
              int iStartCap, int iEndCap);
    // Nothing when the texture is null.
    void Init(int w, int h, CGLDIB* pTexture, int bHorizontal, int iStartCap, int iEndCap);
    using CVBO::Init;

private:
    int m_iStartCap, m_iEndCap;
    int m_iImageW, m_iImageH;
    int m_bHorizontal;
};

// A nine-slice frame from (0, 0) to the destination size out of a source
// image, caps a (left and right) and b (top and bottom): one strip of 22
// textured vertices, texture coordinates over the whole texture.
class CROIVBO : public CGLBuffer
{
public:
    enum { VERTICES = 22 };
    CROIVBO();
    void Set(SIZE dest, SIZE source, int iCapWidth, int iCapHeight);
    int Count() const { return VERTICES; }
    int Mode() const { return 5; }

private:
    SIZE m_Dest, m_Source;
    int m_iCapW, m_iCapH;
};

// A filled rectangle: 4 position-only vertices as a strip.
class CFillRectVBO : public CGLBuffer
{
public:
    CFillRectVBO();
    // 1.
    int Init(const CRVRect& rc);
    const CRVRect& Rect() const { return m_rc; }

private:
    CRVRect m_rc;
};

// A rectangle with a colour per corner (0x00RRGGBB, alpha 255): 4 coloured
// vertices as a strip; the GL interpolates between them.
class CGradientVBO : public CGLBuffer
{
public:
    CGradientVBO();
    void Init(const CRVRect& rc, unsigned int uTopLeft, unsigned int uTopRight, unsigned int uBottomLeft,
              unsigned int uBottomRight);

private:
    CRVRect m_rc;
    unsigned int m_uColors[4];  // top-left, top-right, bottom-left, bottom-right
};
