// CSurfWaitGraphic: a turning ring of fading dots (kinds 15 and 18).
//
// Built so far: construction with the look's defaults and the properties of
// variant 1. The turning timer, the dot image and the drawing are not built
// yet.
#pragma once

#include "surf.h"

class CGLDIB;
class CVBO;

class CSurfWaitGraphic : public CSurf
{
public:
    enum { ANGLES = 360 };

    // iVariant: 0 for kind 15 (turns at once), 1 for kind 18 (waits for a
    // speed, has a look of its own).
    CSurfWaitGraphic(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iVariant);

    // Variant 1: colour bytes, then byte dot count, first-dot alpha, last-dot
    // alpha and dot diameter. Variant 0 reads nothing.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    int Variant() const { return m_iVariant; }
    int Speed() const { return m_iSpeed; }
    unsigned int DotColor() const { return m_uDotColor; }
    int DotCount() const { return m_iDotCount; }
    int FirstDotAlpha() const { return m_iFirstAlpha; }
    int LastDotAlpha() const { return m_iLastAlpha; }
    int DotDiameter() const { return m_iDiameter; }

protected:
    int m_iTicks;
    int m_iAngle;                   // degrees, 0 .. 359
    int m_iSpeed;                   // degrees per tick
    // Cosines and sines of each degree times 1000, filled on the first draw.
    int m_iCos[ANGLES];
    int m_iSin[ANGLES];
    CGLDIB* m_pDot;                 // made when drawn; none yet
    CVBO* m_pQuad;
    int m_iVariant;
    int m_bTimerRunning;
    int m_bInitialised;
    unsigned int m_uDotColor;
    int m_iDotCount;
    int m_iFirstAlpha;
    int m_iLastAlpha;
    int m_iDiameter;
};
