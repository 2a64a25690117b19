// CSurfRect: a filled rectangle with optional rounded corners (kind 1), and
// the base of the main window.
//
// It holds the rectangle's colours per orientation and its corner radius as
// the controller sets them. Square rectangles are one quad of the fill
// program; rounded ones a nine-slice frame cut from a small corner image (a
// filled rounded square, made again when the radius or the colour changes).
// Below a mirror both draw their reflection. The main window itself (ID 0)
// draws nothing here: its colour is the screen's clear colour.
//
// With attribute 0x10000 or 0x20000 the rectangle is a level meter: a
// repeating 125 ms timer animates its width to the audio output or recording
// level, or to the playing sound's progress, as a share of its parent's width.
#pragma once

#include "surf_drawn.h"

class CFillRectVBO;
class CGLDIB;
class CROIVBO;

// What a level meter reads from the audio side.
struct RVT_AUDIO_LEVELS
{
    int bPlaying = 0;           // the audio player plays
    int bRecording = 0;         // the outgoing media server records
    int iOutputLevel = 0;       // the player's output level, 0 .. 100
    int iRecordingLevel = 0;    // the media server's recording level, 0 .. 100
    int iProgress = 0;          // the player's progress in percent
};

// The shape a rounded rectangle draws: caps (corner radius) and the drawn
// height, iOffsetY below the surface's top.
struct RVT_ROUNDED_SHAPE
{
    int iRadius;
    int iOffsetY;
    int iWidth;
    int iHeight;
};

class CSurfRect : public CSurfDrawn
{
public:
    enum
    {
        SA_LEVEL_METER = 0x10000,       // width follows the output or recording level
        SA_PROGRESS_METER = 0x20000,    // width follows the playing sound's progress
        SA_ADDITIVE = 0x40000,          // drawn additively
    };
    enum { METER_TIMER_MS = 125, METER_GROW_MS = 50, PROGRESS_SHRINK_MS = 50 };
    // Larger corners (only a meter sized from a huge parent asks for them)
    // are drawn square rather than from a corner image of megabytes.
    enum { MAX_CORNER_RADIUS = 512 };

    // Both orientations start with uColor (0x00RRGGBB).
    CSurfRect(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, unsigned int uColor);
    // The GL objects go to the GL trash.
    ~CSurfRect() override;

    // A level-meter attribute starts the meter's timer.
    void Attribs(int iAttribs) override;
    using CSurf::Attribs;
    // Colour bytes for orientation 0 and 1, then the corner radius as a byte;
    // any change sets state 0x10001.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    int RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;
    // The base's pending press and scale report, then a level meter's step.
    void ExecuteTimer() override;

    unsigned int Color(ORIENT eOrient) const { return m_uColor[eOrient == ORIENT_1 ? 1 : 0]; }
    void SetColor(ORIENT eOrient, unsigned int uColor);
    int Radius() const { return m_iRadius; }
    void SetRadius(int iRadius);
    // The corner image of the last rounded draw; none before.
    CGLDIB* CornerImage() const { return m_pCornerImage; }

    // A W x H rectangle with corner radius r (1 or more): narrower than 2r
    // (and not wider than high) it becomes a W x W circle centred in the
    // height; otherwise the radius is cut to half the shorter side.
    static RVT_ROUNDED_SHAPE RoundedShape(int iWidth, int iHeight, int iRadius);
    // Side of the corner image for a radius: 2r + 32, a multiple of 4.
    static int CornerImageSide(int iRadius);

    // Fills in the audio state; null (the default) until the audio player
    // and the media server exist, and a meter then stays as it is.
    static void (*g_pfnAudioLevels)(RVT_AUDIO_LEVELS* pLevels);

protected:
    void DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int bReflection) override;
    // Rounded corners: makes the corner image and the nine-slice buffer for
    // the shape; 0 when no texture could be made (then drawn square).
    int PrepareRounded(const RVT_ROUNDED_SHAPE& shape, unsigned int uColor);
    // One timer step of a level meter.
    void StepMeter();

    unsigned int m_uColor[2];
    int m_iRadius;
    // GL objects of the drawing, built on the drawing thread.
    CFillRectVBO* m_pFill;
    CGLDIB* m_pCornerImage;
    int m_iCornerRadius;            // what the corner image was made with
    unsigned int m_uCornerColor;
    CROIVBO* m_pNineSlice;
    int m_bRounded;                 // the shape being drawn uses the nine-slice buffer
    unsigned int m_uDrawColor;      // the colour being drawn
    int m_bMeterTimer;              // the meter's timer runs
};
