// CGLDIB: one GL texture made from a canvas, a font server's coverage bitmap
// or an RGB picture; CGLDIBMem: the same record holding a coverage bitmap in
// memory for the text atlas; and the texture upload helpers they share with
// the video objects.
//
// Textures are made and filled on the drawing thread. A CGLDIB is shared by
// reference count and only Release destroys it; the destructor never calls
// the GL itself but hands the texture to the GL trash (gl_trash.h), so the
// last reference may drop on any thread and the name is still deleted on the
// drawing thread.
//
// Uploads set the unpack alignment to 1 and the row length to the source's
// pitch for the one call and restore the defaults after, so rows of any width
// and any stride go up without repacking. A texture whose size is unchanged
// is refilled in place (glTexSubImage2D), never reallocated.
#pragma once

#include "gl_vbo.h"
#include "rvtypes.h"

class CRGBBuf;
class CRVDibDC;

class CGLDIB
{
public:
    enum
    {
        GLDIB_ALPHA = 0x1,          // coverage in the alpha channel (text), or an alpha-only canvas
        GLDIB_NEAREST = 0x2,        // nearest-neighbour filtering, else linear
        GLDIB_RGB = 0x20,           // uploaded without alpha
        GLDIB_NOT_OWNED = 0x80,     // the texture is not ours: never deleted here
    };
    static const unsigned int NO_TEXTURE = 0xFFFFFFFFu;
    // The largest texture side accepted before asking the GL.
    enum { MAX_SIDE = 16384 };

    // From a canvas: image = its logical width x DY, texture = DX x DY; the
    // pixels go up as RGBA bytes (RGB with GLDIB_RGB); GLDIB_ALPHA is set for
    // an alpha-only canvas. umax = width / DX, vmax = 1. Without a texture
    // (TextureID() == NO_TEXTURE) when the canvas has no pixels or the GL
    // refuses the size.
    CGLDIB(CRVDibDC* pDC, int iFlags);
    // Takes over a texture the caller made (font servers): umax and vmax are
    // image / texture size.
    CGLDIB(unsigned int uTexture, int iImageWidth, int iImageHeight, int iTextureWidth, int iTextureHeight);
    // The same with the used extents given.
    CGLDIB(unsigned int uTexture, int iImageWidth, int iImageHeight, float fUMax, float fVMax);
    // From an RGB picture (luminance, RGB or RGBA by its depth): image = its
    // width x height, texture = stride x height.
    CGLDIB(CRGBBuf* pBuf, int iFlags);

    CGLDIB(const CGLDIB&) = delete;
    CGLDIB& operator=(const CGLDIB&) = delete;

    void Retain();
    // Drops one reference; destroys the object at a count of 1 or less.
    void Release();
    int RefCount() const;

    // The in-memory coverage bitmap (CGLDIBMem); none for a texture.
    virtual unsigned char* Image();

    // The context is gone: forget the texture without deleting it.
    void OnGLContextLost();
    // New pixels of the same kind. A picture of the texture's size is written
    // in place, another size reallocates the texture and takes the new image
    // size. The caller keeps the canvas or buffer. 1 when uploaded.
    int Update(CRGBBuf* pBuf);
    int Update(CRVDibDC* pDC);

    // Linear interpolation of one coordinate from a to b by f (0 gives a,
    // 1 gives b).
    static float XInterp(POINT a, POINT b, float f);
    static float YInterp(POINT a, POINT b, float f);

    int Flags() const { return m_iFlags; }
    void SetFlags(int iFlags) { m_iFlags = iFlags; }
    unsigned int TextureID() const { return m_uTexture; }
    int HasTexture() const { return m_uTexture != NO_TEXTURE; }
    int ImageWidth() const { return m_iImageWidth; }
    int ImageHeight() const { return m_iImageHeight; }
    int TextureWidth() const { return m_iTextureWidth; }
    int TextureHeight() const { return m_iTextureHeight; }
    float UMax() const { return m_fUMax; }
    float VMax() const { return m_fVMax; }
    // For text: the vertical offset that centres the text in its box.
    int TextCenterLine() const { return m_iTextCenterLine; }
    void SetTextCenterLine(int iLine) { m_iTextCenterLine = iLine; }
    // The quad its owner draws it with.
    CVBO* VBO() { return &m_VBO; }

protected:
    // No texture yet: for CGLDIBMem and the constructors above.
    CGLDIB();
    // Only Release destroys: the texture goes to the GL trash.
    virtual ~CGLDIB();

    // Uploads iWidth x iHeight pixels of GL format iFormat, rows iRowPixels
    // apart, as the whole texture: in place when the texture exists with that
    // size and internal format, else (re)allocated. Leaves the texture bound.
    // 1 on success.
    int UploadPixels(const void* pPixels, int iFormat, int iInternalFormat, int iWidth, int iHeight, int iRowPixels);
    void SetExtents(int iImageWidth, int iImageHeight, int iTextureWidth, int iTextureHeight);

    int m_iRefCount;
    int m_iFlags;
    int m_iImageWidth;
    int m_iImageHeight;
    int m_iTextureWidth;
    int m_iTextureHeight;
    unsigned int m_uTexture;
    int m_iInternalFormat;      // of the allocated texture; 0 before
    CVBO m_VBO;
    float m_fUMax;
    float m_fVMax;
    int m_iTextCenterLine;
};

// A coverage bitmap in memory (one byte per pixel, rows of texture-width
// bytes), zeroed at construction; no texture.
class CGLDIBMem : public CGLDIB
{
public:
    // Sides outside 1 .. MAX_SIDE, or an image larger than the bitmap, give an
    // object without a bitmap (Image() null).
    CGLDIBMem(int iImageWidth, int iImageHeight, int iTextureWidth, int iTextureHeight);
    unsigned char* Image() override;

protected:
    ~CGLDIBMem() override;

private:
    unsigned char* m_pImage;
};

// ---- texture helpers (drawing thread, context current) ----

// A new 2-D texture, bound to the active unit, clamped to the edge on both
// axes with linear or nearest filtering. NO_TEXTURE when the GL gave none.
// Names waiting in the GL trash are deleted first.
unsigned int GLNewTexture(int bNearest);
// The largest side the current context takes (GL_MAX_TEXTURE_SIZE, at most
// CGLDIB::MAX_SIDE).
int GLMaxTextureSide();
// Allocates the bound texture as iWidth x iHeight of iInternalFormat and, when
// pPixels is not null, fills it from rows iRowPixels apart in iFormat bytes.
void GLTexAllocate(int iInternalFormat, int iFormat, int iWidth, int iHeight, int iRowPixels, const void* pPixels);
// Writes iWidth x iHeight pixels at (x, y) of the bound texture from rows
// iRowPixels apart.
void GLTexWrite(int iFormat, int x, int y, int iWidth, int iHeight, int iRowPixels, const void* pPixels);
