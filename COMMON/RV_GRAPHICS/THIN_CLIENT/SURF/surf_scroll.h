// CSurfScroll: a scroll view, a window onto content larger than itself (kind 5).
//
// Built so far: the properties (content sizes, the two scroll bars' records,
// the initial offsets). Bar layout, drawing, touch and fling scrolling,
// paging, offset reports and the controller's scroll commands are not built
// yet.
#pragma once

#include "surf.h"

#include <sys/time.h>

class CDIBDC32;
class CScrollBarVBO;

enum SCROLLBAR_TYPE
{
    SCROLLBAR_VERTICAL = 0,
    SCROLLBAR_HORIZONTAL = 1,
};

struct RVT_SCROLLBAR_INFO
{
    int iGraphicID;                 // graphic-store ID of the bar image
    int iThickness;
    unsigned short wOuterMargin;
    unsigned short wStartMargin;
    unsigned short wEndMargin;
    unsigned short wStartCap;
    unsigned short wEndCap;
    unsigned short wReportStep;
    int iThumbLength;
    int bEnabled;
    CDIBDC32* pImage;               // held from the graphic store
    CScrollBarVBO* pGeometry;
    CRVRect rcTrack;                // in the view's coordinates
    int iThumbPos;                  // along the track
    int iFlags;                     // bit 0: rebuild the geometry before the next draw
};

class CSurfScroll : public CSurf
{
public:
    // Attribute bits enabling the bars; the variant bit carrying initial offsets.
    enum { SA_VERTICAL_BAR = 0x10000, SA_HORIZONTAL_BAR = 0x20000, VARIANT_OFFSETS = 0x2 };
    enum { VELOCITY_SAMPLES = 32 };

    CSurfScroll(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);
    ~CSurfScroll() override;

    // Content width and height for orientation 0 and 1 (ints); the vertical
    // and the horizontal bar record (four ints each); with variant bit 0x2,
    // x and y offsets for orientation 0 and 1, which also become the targets.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    SIZE ContentSize(ORIENT eOrient) const { return m_ContentSize[OrientIndex(eOrient)]; }
    POINT Offset(ORIENT eOrient) const { return m_Offset[OrientIndex(eOrient)]; }
    POINT TargetOffset(ORIENT eOrient) const { return m_Target[OrientIndex(eOrient)]; }
    const RVT_SCROLLBAR_INFO& Bar(SCROLLBAR_TYPE eType) const { return eType == SCROLLBAR_VERTICAL ? m_VBar : m_HBar; }

    // A bar record: int 1 thickness (bits 24-31), outer, start and end margins
    // (bits 16-23, 8-15, 0-7); int 2 graphic ID; int 3 start and end caps
    // (bits 8-15, 0-7); int 4 report step (low 16 bits).
    static void UnpackScrollBarInfo(RVT_SCROLLBAR_INFO* pInfo, CRVMSG* pMsg);
    static void ClearInfo(RVT_SCROLLBAR_INFO* pInfo);

protected:
    struct VELOCITY_SAMPLE
    {
        int iVX;                    // pixels per second
        int iVY;
        long long llSec;
        long long llUSec;
    };

    int m_iYReportDelta;
    POINT m_Offset[2];              // per orientation; 0 at the content's start, negative forward
    POINT m_Target[2];              // where each offset is when its animation ends
    SIZE m_ContentSize[2];
    int m_iTouchState;              // 0 idle .. 5 dragging the horizontal thumb
    POINT m_ptTouchDown;
    POINT m_ptLastSample;
    POINT m_ptOffsetAtDown;
    VELOCITY_SAMPLE m_Samples[VELOCITY_SAMPLES];
    int m_iSampleCount;
    int m_iSampleIndex;
    struct timeval m_tvLastSample;
    RVT_SCROLLBAR_INFO m_VBar;
    RVT_SCROLLBAR_INFO m_HBar;
    int m_iBarBaseAlpha;
    int m_iBarLocalAlpha;
    int m_iBarLocalTarget;
    POINT m_ptLastReported;
    int m_bReportArmed;
    int m_iHeaderID;                // 0: none
    ORIENT m_eLastOrient;
};
