// CRenderObject: the base of everything a surface draws from a texture it
// does not own outright (canvas images, RGB video frames, YUV video), and the
// record a surface passes when it draws one.
//
// Render objects are shared by reference count. Producers (stream threads,
// message handlers) hand them frames from their own threads; the drawing
// thread uploads and draws them. So an object may only be destroyed on the
// drawing thread: the destructor is protected, Release is the only way to
// drop a reference, and a last Release on any other thread passes the
// object to the main window's garbage, which releases it on the drawing
// thread (or destroys it at once when no main window exists, since then
// nothing can be drawing it).
#pragma once

#include "rvrect.h"
#include "rvtypes.h"

class CRGBBuf;
class CRVDibDC;
struct RVT_MATRIX_CONFIG;
struct RVT_YUV_DATA;

// The screen orientation a render object is drawn for: the main window's
// orientation values; the video objects also read 2 to 5 as rotations.
typedef int RENDEROBJECT_ORIENTATION;

// What a surface passes to CRenderObject::Render.
struct RVT_RENDER_PARAMS
{
    unsigned int uAlpha = 255;      // 0..255
    unsigned int uObscure = 0;      // 0..255: how far video is tinted toward the obscure grey
    unsigned int uMode = 0;         // 1: faded toward uColor (CShaderTexture::RenderBlend); else normal
    unsigned int uColor = 0;        // 0x00RRGGBB for mode 1
};

class CRenderObject
{
public:
    CRenderObject();
    CRenderObject(const CRenderObject&) = delete;
    CRenderObject& operator=(const CRenderObject&) = delete;

    // The GL texture to draw, or -1.
    virtual int GetTextureID();
    // A new YUV frame (producer thread).
    virtual void Update(RVT_YUV_DATA* pData) = 0;
    // A new RGB buffer; the object owns it from here (the base deletes it).
    virtual void Update(CRGBBuf* pBuf);
    // A new canvas image; the object owns it from here (the base deletes it).
    virtual void Update(CRVDibDC* pDib);
    // Drawing thread: moves pending pixels into textures.
    virtual void UpdateGL() = 0;
    // Width and height of the source image.
    virtual SIZE SourceSize() = 0;
    // Drawing thread: draws into rcDest; 1 when something was drawn.
    virtual int Render(CRVRect rcDest, RENDEROBJECT_ORIENTATION eOrient, RVT_MATRIX_CONFIG* pConfig,
                       const float* pMatrix, RVT_RENDER_PARAMS* pParams) = 0;
    // The context is gone: forget GL names without deleting them.
    virtual void OnGLContextLost();
    // Whether frames of this size can be written in place (base: yes).
    virtual int CanAcceptSize(int iWidth, int iHeight);
    // Plane pointers for writing a frame in place; 0 when not offered (base).
    virtual int GetWritePtrs(RVT_YUV_DATA* pData, int iWidth, int iHeight, SIZE* pSize);
    virtual void ReleaseWritePtrs();

    void Retain();
    // Drops one reference; the last one destroys the object on the drawing
    // thread (see above).
    void Release();
    int RefCount() const;

    // Stores three view values; the changed flag is set only when one differs.
    void SetViewCoords(int a, int b, int c);
    int ViewChanged() const { return m_bViewChanged; }
    void ClearViewChanged() { m_bViewChanged = 0; }
    int ViewCoord(int i) const { return (i >= 0 && i < 3) ? m_iView[i] : 0; }

protected:
    // Only Release destroys a render object.
    virtual ~CRenderObject();

private:
    friend void ReleaseRenderObjectOnDrawingThread(CRenderObject* pObject);
    int m_iRefCount;
    int m_iView[3];
    int m_bViewChanged;
};

// What the main window's garbage calls for each render object it holds:
// drops the reference the garbage was given. Drawing thread.
void ReleaseRenderObjectOnDrawingThread(CRenderObject* pObject);
