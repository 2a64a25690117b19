// CSurfPanel: shows part of a full-screen texture through the panel program
// (the texel under each pixel of the quad): a graphic-store image (kind 25)
// or the picture of another surface's render object (kind 28).
//
// Kind 25 holds the image with a reference from the moment its properties
// name it, looked up through g_pfnSourceByID, which the graphic store
// provides; while nothing provides it a kind-25 panel holds no image and
// draws nothing.
//
// The panel draws no reflection below a mirror: it shows what lies under it
// on the screen-sized texture, and a flipped copy would show another part of
// it. The draw fades by the panel opacity that image surfaces set for their
// subtree (CShaderPanel::g_iPanelAlpha); attribute 0x10000 draws at full
// panel opacity.
#pragma once

#include "surf.h"

class CDIBDC32;
class CFillRectVBO;

class CSurfPanel : public CSurf
{
public:
    enum { NO_SOURCE = 0x7FFF };
    enum { KIND_IMAGE = 25, KIND_SURFACE = 28 };
    enum { SA_OPAQUE = 0x10000 };

    // iKind: 25 or 28.
    CSurfPanel(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iKind);
    // Releases the image; the buffer goes to the GL trash.
    ~CSurfPanel() override;

    // Int source ID: an image ID (kind 25) or a surface ID (kind 28). A change
    // sets state 0x10000; kind 25 drops the image it held and takes the new one.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    int RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;

    int Kind() const { return m_iKind; }
    int SourceID() const { return m_iSourceID; }
    CDIBDC32* Image() const { return m_pImage; }
    // The texture found for kind 28; -1 while none.
    int TextureID() const { return m_iTexture; }

    // The graphic store's image for an ID, without a reference (the panel
    // takes its own); null when unknown. Null until the store provides it.
    static CDIBDC32* (*g_pfnSourceByID)(int iID);

protected:
    // The texture to show this frame; -1 for none.
    int FindTexture();
    // Drops the image's reference: at once on the drawing thread, else
    // through the main window's garbage.
    void DropImage();

    int m_iKind;
    int m_iSourceID;
    int m_iTexture;                 // kind 28: found at a draw; -1 none
    CDIBDC32* m_pImage;             // kind 25: held with a reference
    CFillRectVBO* m_pQuad;          // (0, 0) to the size, position only
};
