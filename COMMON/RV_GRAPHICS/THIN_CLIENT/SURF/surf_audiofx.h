// CSurfAudioFX: an oscilloscope trace of the intercom audio (kind 21).
//
// Built so far: the properties, with the point count bounded. Attaching to
// the audio of the outgoing RTSP server (attributes 0x1 and 0x2), taking the
// samples and drawing the trace are not built yet.
#pragma once

#include "surf.h"

class CSurfAudioFX : public CSurf
{
public:
    // The controller's point count is kept within this; the trace holds three
    // floats per point.
    enum { DEFAULT_POINTS = 200, MAX_POINTS = 4096 };

    CSurfAudioFX(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);

    // Colour bytes, int, int, int point count, an unused int.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    unsigned int Color() const { return m_uColor; }
    int Value(int i) const { return (i == 0 || i == 1) ? m_iValue[i] : 0; }
    int Points() const { return m_iPoints; }

protected:
    unsigned int m_uColor;          // 0x0FFFFFFF at creation
    int m_iValue[2];
    int m_iPoints;                  // 0 .. MAX_POINTS
    int m_bDirty;
    int m_iBuffer;                  // -1: none
};
