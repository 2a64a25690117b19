// CYUVDIB: the render object of decoded video.
//
// The stream thread hands it each decoded 4:2:0 picture (Update), which is
// copied at once because the decoder reuses its planes. On the drawing thread
// UpdateGL moves the newest copy into three single-channel (GL_LUMINANCE)
// textures as wide as the decoder's strides, so rows go up without
// repacking, and Render draws them through the YUV program as one quad with
// the picture's crop, the pinch zoom and the rotation applied to the texture
// coordinates.
//
// Costs per frame: one copy of the planes, one in-place upload of each plane
// (textures are made again only when the picture's size changes), and the
// 80-byte quad rewritten only when the destination, orientation, crop,
// picture size or zoom changed. A picture that was already uploaded is not
// uploaded again.
//
// Update and UpdateGL serialise on the object's lock; Render uses only what
// UpdateGL recorded about the uploaded picture, so it never sees a newer
// picture's size with an older picture's textures.
#pragma once

#include "gl_vbo.h"
#include "h264_decoder.h"
#include "renderobject.h"
#include "rvcritical.h"
#include "rvrect.h"

class CYUVDIB : public CRenderObject
{
public:
    // Pictures must be 1 .. MAX_SIDE pixels each way; strides are bounded too.
    enum { MAX_SIDE = 2048, MAX_STRIDE = 4096 };
    // Four vertices of x, y, z, u, v.
    enum { QUAD_FLOATS = 20 };
    // Orientations as this object reads them.
    enum
    {
        ORIENT_UPRIGHT = 0,
        ORIENT_LAST = 1,            // keep the orientation used last
        ORIENT_180 = 2,
        ORIENT_TRANSPOSED = 3,      // mirrored about the top-left to bottom-right diagonal
        ORIENT_90_CCW = 4,
        ORIENT_MIRRORED = 5,        // left and right exchanged
    };

    CYUVDIB();

    // Stream thread: copies the picture. Sizes outside 1 .. MAX_SIDE, missing
    // planes or strides narrower than the planes are reported and dropped.
    // Crop insets are clamped so at least one column and row stay visible.
    void Update(RVT_YUV_DATA* pData) override;
    // Drawing thread: uploads the newest picture, if any came since the last
    // upload (or the textures are gone).
    void UpdateGL() override;
    // Width and height of the last picture taken.
    SIZE SourceSize() override;
    // Drawing thread: 0 when nothing was uploaded yet (or there is no YUV
    // program); the caller then draws its fallback.
    int Render(CRVRect rcDest, RENDEROBJECT_ORIENTATION eOrient, RVT_MATRIX_CONFIG* pConfig, const float* pMatrix,
               RVT_RENDER_PARAMS* pParams) override;
    void OnGLContextLost() override;
    // The Y plane's texture.
    int GetTextureID() override;

    // The texture window (uL, uR, vT, vB) of a picture of iWidth x iHeight
    // held in textures iStrideY wide: the crop insets, then, for a zoom above
    // 1000 thousandths, a window 1000 / zoom as large centred at (cx, cy)
    // thousandths of the cropped picture and moved back inside it.
    static void TextureWindow(int iWidth, int iHeight, int iStrideY, RVT_INSETS crop, int cx, int cy, int iZoom,
                              float pWindow[4]);
    // The triangle-strip quad over rc whose vertices carry the window's
    // corners (uL, vT), (uL, vB), (uR, vT), (uR, vB), placed for the
    // orientation (values other than 0 and 2 .. 5 are upright).
    static void BuildQuad(const CRVRect& rc, int iOrient, const float pWindow[4], float pVertices[QUAD_FLOATS]);

    // For tests and diagnostics.
    unsigned int Texture(int iPlane) const { return (iPlane >= 0 && iPlane < 3) ? m_uTexture[iPlane] : 0xFFFFFFFFu; }
    unsigned int PlaneUploads() const { return m_uPlaneUploads; }
    unsigned int QuadBuilds() const { return m_Quad.Uploads(); }
    int QuadBuffer() const { return m_Quad.BufferID(); }

protected:
    // Only Release destroys; the GL names go to the GL trash.
    ~CYUVDIB() override;

private:
    // What a quad or an upload depends on, besides the destination.
    struct PICTURE
    {
        int iWidth = 0;
        int iHeight = 0;
        int iStride[3] = {0, 0, 0};
        RVT_INSETS crop = {0, 0, 0, 0};
    };
    // The 80-byte quad; its name goes to the GL trash with the object.
    class CQuad : public CGLBuffer
    {
    public:
        void Write(const float* pVertices) { Upload(pVertices, QUAD_FLOATS * (int)sizeof(float)); }
    };

    // Under the lock: room for the plane copies of pic; 0 when out of memory.
    int Reserve(const PICTURE& pic);
    // Under the lock, drawing thread: make (bNew) or refill the textures.
    int UploadPlanes(int bNew);
    void ForgetTextures();

    CRVCritical m_Lock;
    // The last picture taken (under the lock).
    PICTURE m_Picture;
    unsigned char* m_pPlane[3];
    size_t m_nCapacity[3];
    int m_bHavePicture;
    int m_bPictureUploaded;

    // Drawing thread only.
    unsigned int m_uTexture[3];     // Y, Cb, Cr; 0xFFFFFFFF when none
    PICTURE m_Shown;                // the picture in the textures
    CQuad m_Quad;
    CRVRect m_rcBuilt;              // what the quad was built with
    int m_iOrientBuilt;
    PICTURE m_Built;
    int m_iLastOrient;
    unsigned int m_uPlaneUploads;
};
