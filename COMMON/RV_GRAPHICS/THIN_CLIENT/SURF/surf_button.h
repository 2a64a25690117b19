// CSurfButton: a pressable surface showing graphic-store images (kinds 4, 26
// and 27).
//
// Only the properties are built so far: the image IDs per orientation, the
// overlay (kind 26) and the blend bits (kind 27) are read and stored. Fetching
// the images, drawing, the levels' animations and the touch behaviour are not
// built yet.
#pragma once

#include "surf.h"

class CDIBDC32;
class CVBO;

// The four image slots of a button, each with an ID per orientation.
enum BUTTON_IMAGE
{
    BUTTON_IMAGE_NORMAL = 0,
    BUTTON_IMAGE_PRESSED = 1,
    BUTTON_IMAGE_ON = 2,
    BUTTON_IMAGE_FOURTH = 3,
    BUTTON_IMAGES = 4,
};

// Reads the image-ID payload shared by buttons and button bars into
// iIDs[slot][orientation]. Variant bit 0x8: three ints replace the
// orientation-1 IDs of normal, pressed and on. Otherwise three ints (a fourth
// with bFourth) set both orientations, and, unless variant bits 0x6 are set,
// as many more replace the orientation-1 IDs.
void ReadButtonImageIDs(CRVMSG* pMsg, int iVariant, int bFourth, int iIDs[BUTTON_IMAGES][2]);

class CSurfButton : public CSurf
{
public:
    // Button attribute bits read by the properties.
    enum { SA_BUTTON_FOURTH_IMAGE = 0x20000000 };
    // Button state bits: the vertex buffer and the images must be made again.
    enum { SS_BUTTON_REBUILD_VBO = 0x400000, SS_BUTTON_RELOAD = 0x800000 };
    enum { LEVEL_FULL = 32 };

    // iKind: 4, 26 or 27 (4 for bar and toolbar buttons).
    CSurfButton(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iKind);
    ~CSurfButton() override;

    // The image IDs; kind 26 then an int overlay ID and a byte overlay level;
    // kind 27 then an int of blend bits and an unused int. Asks for a redraw
    // with the images fetched again.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    int Kind() const { return m_iKind; }
    int ImageID(BUTTON_IMAGE eImage, ORIENT eOrient) const { return m_iImageID[eImage][OrientIndex(eOrient)]; }
    int OverlayID() const { return m_iOverlayID; }
    int OverlayLevel() const { return m_iOverlayLevel; }
    unsigned int BlendBits() const { return m_uBlendBits; }

protected:
    int m_iKind;
    int m_iImageID[BUTTON_IMAGES][2];
    int m_iOverlayID;
    int m_iOverlayLevel;            // 0 .. 255
    // Canvases held from the graphic store, and the vertex buffer of the
    // current canvas size; none until the drawing is built.
    CDIBDC32* m_pOverlay;
    CDIBDC32* m_pImages[BUTTON_IMAGES];
    CVBO* m_pVBO;
    int m_iPressedLevel;            // 0 .. 32
    int m_iOnLevel;
    int m_iThirdLevel;
    int m_bPressed;
    int m_iSliderX;                 // the button's position and the touch point at touch-down
    int m_iSliderY;
    POINT m_ptSliderTouch;
    unsigned int m_uBlendBits;      // kind 27: additive normal (bit 0), pressed (1), on (2)
};
