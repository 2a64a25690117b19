// CSurfDraw: a drawing pad; the user's strokes are shown in the surface's
// colour and their points sent to the controller (kind 17).
//
// Built so far: the properties. The stroke map, touch handling and drawing
// are not built yet.
#pragma once

#include "surf.h"

class CAlphaMAP;
class CVBO;

class CSurfDraw : public CSurf
{
public:
    CSurfDraw(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);

    // Colour bytes, then a byte line margin.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    unsigned int Color() const { return m_uColor; }
    // The colour as 16-bit 5-6-5 (red in the top five bits).
    unsigned short Color565() const { return m_wColor565; }
    int LineMargin() const { return m_iLineMargin; }

protected:
    unsigned int m_uColor;          // 0x00RRGGBB
    unsigned short m_wColor565;
    int m_iLineMargin;              // stroke points keep this far from the map's edge
    CAlphaMAP* m_pMap;              // the strokes; none until touch handling is built
    POINT* m_pPoints;               // the current stroke
    int m_iPoints;
    int m_iPointCapacity;
    int m_iTexture;                 // -1: none
    CVBO* m_pVBO;
    SIZE m_TextureSize;
    int m_bDirty;
};
