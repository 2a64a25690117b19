// CSurfImageLocal: an image whose content the controller sends to this
// surface alone (kind 3): pictures, snapshots, frames.
//
// Updates (message 20125, UpdateImageData) carry a length and the image
// bytes; the low 16 bits of the flags give the encoding. Built: PNG
// (encoding 5) into an RGB render object, and dropping the image (100). With
// flag 0x80000 the bytes are a resource-cache key and the image comes from
// the cache; with 0x100000 a key follows the image and its bytes are kept in
// the cache. GIF (1), JPEG (2, 8 and the chunks of message 20140), vector
// primitives (7) and H.264 (9) are not built yet: such updates are read no
// further, logged once per encoding, and leave the picture as it was.
//
// The picture is decoded on the message thread outside the tree lock and
// handed to the render object, which uploads it on the drawing thread. A
// surface without a picture of its own draws the one another surface lends
// (the source ID of its properties).
//
// Locks: the surface's own lock guards the render object pointers; it is
// taken under the tree lock when drawing and alone when updating.
#pragma once

#include "rvcritical.h"
#include "surf_drawn.h"

class CSurfImageLocal : public CSurfDrawn
{
public:
    // Attribute bits.
    enum
    {
        SA_CONFINE_ASPECT = 0x20000,
        SA_RENDER_MODE_2 = 0x1000000,
        SA_SETS_PANEL_ALPHA = 0x8000000,    // the subtree's panels fade with this surface
    };
    // SetAttribute kinds.
    enum { ATTR_FILL_LEVEL = 0x40000, ATTR_FREEZE = 0x200000 };
    // State bit: the picture is frozen.
    enum { SS_FROZEN = 0x8000 };
    // Animation key of the fill level (0 .. 1000).
    enum { AK_FILL_LEVEL = 27 };
    // Update flags and encodings.
    enum
    {
        UPDATE_FROM_CACHE = 0x80000,
        UPDATE_TO_CACHE = 0x100000,
        ENCODING_GIF = 1,
        ENCODING_JPEG = 2,
        ENCODING_PNG = 5,
        ENCODING_PRIMITIVE = 7,
        ENCODING_JPEG_MODE_2 = 8,
        ENCODING_H264 = 9,
        ENCODING_DROP = 100,
    };
    enum { VIEW_PARAMS = 6 };

    CSurfImageLocal(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);
    // Releases its own and the lent render object.
    ~CSurfImageLocal() override;

    // Int source surface ID (0: none), byte extra flag; when the flag is
    // non-zero, four bytes and two bytes of view parameters.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    // Kind 0x200000 freezes (non-zero) or unfreezes the picture; 0x40000
    // animates the fill level over the time; others as every surface.
    void SetAttribute(int iKind, int iValue, int iTime) override;
    void ProcessAnimationUpdate(CSurfAnimation* pAnimation) override;
    // The read position is at the update's length.
    void UpdateImageData(int iFlags, CRVMSG* pMsg) override;
    void UpdateImageDataSub(CRVMSG* pMsg) override;
    // The own picture (no reference added), or null.
    CRenderObject* GetRenderObject() override;
    // With attribute 0x8000000 the subtree's panels fade with this surface.
    int Render(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;
    int RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;
    // Narrower than its own width, the height shrinks in proportion.
    int PreferredDY(ORIENT eOrient, int iWidth) override;

    int SourceID() const { return m_iSourceID; }
    int HasViewParams() const { return m_bViewParams; }
    int ViewParam(int i) const { return (i >= 0 && i < VIEW_PARAMS) ? m_byViewParams[i] : 0; }
    int RenderMode() const { return m_iRenderMode; }
    int Encoding() const { return m_iEncoding; }
    int FillLevel() const { return m_iFillLevel; }
    CRenderObject* SharedObject() const { return m_pShared; }
    // Where the picture was last drawn, relative to the surface.
    CRVRect DrawnRect() const { return m_rcDrawn; }
    // The rectangle the picture takes in a w x h surface, for a picture of
    // iSourceW x iSourceH: all of it, or with attribute 0x20000 the largest
    // rectangle of the picture's aspect centred in it, widened about its
    // centre by the fill level (0 fits, 1000 fills the width).
    CRVRect ContentRect(int w, int h, int iSourceW, int iSourceH) const;

protected:
    // Bytes of one update in an encoding this build decodes: into the render
    // object; 0 when nothing could be shown.
    int UpdateImageDataPNG(const unsigned char* pData, int iLength);
    // Drops the own render object.
    void ReleaseRenderObject() { ReleaseHeld(&m_pRenderObject); }
    // Clears *ppObject under the lock and releases what it held outside it.
    // Off the drawing thread the last release goes through the garbage.
    void ReleaseHeld(CRenderObject** ppObject);
    // Draws pObject into the content rectangle, once more reflected below a
    // mirror; 1 when drawn.
    int DrawObject(CRenderObject* pObject, int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig);
    void DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int bReflection) override;

    CRVCritical m_Lock;
    CRenderObject* m_pRenderObject;     // own content
    CRenderObject* m_pShared;           // lent by the source surface, retained
    int m_iSourceID;
    int m_bViewParams;
    unsigned char m_byViewParams[VIEW_PARAMS];
    int m_iEncoding;                    // of the last update shown
    int m_iRenderMode;                  // 0, or 2
    int m_iFillLevel;                   // 0 .. 1000
    CRVRect m_rcDrawn;
    // What DrawShape draws during DrawObject, and whether it drew.
    CRenderObject* m_pDrawing;
    int m_bDrawn;
};
