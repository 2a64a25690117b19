// CRGBDIB: the render object that shows a finished canvas or an RGB picture
// (JPEG frames, decoded GIF and PNG images) as one textured quad.
//
// Producers hand it a canvas or a picture from their own thread (Update); the
// object owns it from then on. On the drawing thread UpdateGL moves the
// newest one into the texture and frees it, and Render draws the texture into
// a rectangle with the image surface's orientation and pinch zoom.
//
// A picture of the same size as the last refills the texture in place; any
// other picture, and every canvas, makes a new texture. The 80-byte quad is
// rewritten only when the destination, the orientation, the zoom or the
// texture's used extent changed.
//
// Update and UpdateGL serialise on the object's lock; everything else runs on
// the drawing thread.
#pragma once

#include "gl_vbo.h"
#include "renderobject.h"
#include "rvcritical.h"
#include "rvrect.h"

class CRGBDIB : public CRenderObject
{
public:
    // Four vertices of x, y, z, u, v.
    enum { QUAD_FLOATS = 20 };
    enum
    {
        ORIENT_LAST = 1,            // keep the orientation of the last build
        ORIENT_180 = 2,
    };
    // Flag bit: the texture came from an alpha (premultiplied) canvas.
    enum { FLAG_ALPHA_CANVAS = 0x1 };

    CRGBDIB();

    // An RGB object takes no YUV pictures: ignored.
    void Update(RVT_YUV_DATA* pData) override;
    // A new picture or canvas replaces whatever is pending (which is freed).
    // A picture or canvas without pixels is freed and ignored.
    void Update(CRGBBuf* pBuf) override;
    void Update(CRVDibDC* pDib) override;
    // Drawing thread: uploads what is pending, then frees it.
    void UpdateGL() override;
    // The size of the image in the texture.
    SIZE SourceSize() override;
    // Drawing thread: 0 without a texture or texture program.
    int Render(CRVRect rcDest, RENDEROBJECT_ORIENTATION eOrient, RVT_MATRIX_CONFIG* pConfig, const float* pMatrix,
               RVT_RENDER_PARAMS* pParams) override;
    void OnGLContextLost() override;
    int GetTextureID() override;

    // The texture window (left, right, top, bottom) for used extents fUMax x
    // fVMax: all of it, or for a zoom above 1000 thousandths a window
    // 1000 / zoom as large centred at (cx, cy) thousandths of the extents and
    // moved back inside them.
    static void TextureWindow(float fUMax, float fVMax, int cx, int cy, int iZoom, float pWindow[4]);
    // The strip quad over rc: (x, y), (x, y + h), (x + w, y), (x + w, y + h)
    // with the window's corners (left, top), (left, bottom), (right, top),
    // (right, bottom); for ORIENT_180 the positions in the opposite order.
    static void BuildQuad(const CRVRect& rc, int iOrient, const float pWindow[4], float pVertices[QUAD_FLOATS]);

    // For tests and diagnostics.
    int Flags() const { return m_iFlags; }
    float UMax() const { return m_fUMax; }
    float VMax() const { return m_fVMax; }
    unsigned int TextureUploads() const { return m_uTextureUploads; }
    unsigned int TexturesMade() const { return m_uTexturesMade; }
    unsigned int QuadBuilds() const { return m_Quad.Uploads(); }

protected:
    // Only Release destroys; the GL names go to the GL trash.
    ~CRGBDIB() override;

private:
    class CQuad : public CGLBuffer
    {
    public:
        void Write(const float* pVertices) { Upload(pVertices, QUAD_FLOATS * (int)sizeof(float)); }
        void Drop() { Discard(); }
    };

    // Drawing thread, under the lock: the pending picture or canvas into the
    // texture. 0 when it could not be uploaded.
    int UploadFrame(CRGBBuf* pBuf);
    int UploadCanvas(CRVDibDC* pDib);
    void DropTexture();

    CRVCritical m_Lock;
    CRGBBuf* m_pPendingFrame;
    CRVDibDC* m_pPendingDib;
    SIZE m_Source;                  // under the lock

    // Drawing thread only.
    unsigned int m_uTexture;        // 0xFFFFFFFF when none
    CQuad m_Quad;
    CRVRect m_rcBuilt;
    int m_iOrientBuilt;
    float m_fWindowBuilt[4];
    int m_iFrameBytesPerPixel;      // the picture in the texture: depth, stride, height
    int m_iFrameStride;
    int m_iFrameHeight;
    float m_fUMax;
    float m_fVMax;
    int m_iFlags;
    unsigned int m_uTextureUploads;
    unsigned int m_uTexturesMade;
};
