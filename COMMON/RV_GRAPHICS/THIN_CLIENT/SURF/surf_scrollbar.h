// CSurfScrollBar: a stand-alone vertical scroll bar that moves up to eight
// other surfaces inside their parents (kind 14).
//
// Built so far: the properties (image, cap length, the target IDs). Finding
// the targets, the thumb, drawing, paging and dragging are not built yet.
#pragma once

#include "surf.h"

class CDIBDC32;
class CScrollBarVBO;

class CSurfScrollBar : public CSurf
{
public:
    enum { MAX_TARGETS = 8 };

    CSurfScrollBar(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);
    ~CSurfScrollBar() override;

    // Int graphic ID, an unused int, byte cap length, an unused byte, byte
    // count n, n int target IDs (the first eight are kept).
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    int GraphicID() const { return m_iGraphicID; }
    int CapLength() const { return m_iCapLength; }
    int TargetIDCount() const { return m_iTargetIDs; }
    int TargetID(int i) const { return (i >= 0 && i < m_iTargetIDs) ? m_iTargetID[i] : 0; }

protected:
    int m_iThumbLength[2];
    CDIBDC32* m_pImage;             // held from the graphic store; none until drawn
    CScrollBarVBO* m_pGeometry;
    int m_iGraphicID;
    int m_iCapLength;               // both caps
    int m_iTargetID[MAX_TARGETS];
    int m_iTargetIDs;
    CSurf* m_pTargets[MAX_TARGETS];  // found by their IDs
    int m_iTargets;
    int m_iLevel;                   // visibility, 0 .. 16
    int m_iThumbOffset;
    int m_bDragging;
    POINT m_ptTouchDown;
    int m_iThumbAtDown;
};
