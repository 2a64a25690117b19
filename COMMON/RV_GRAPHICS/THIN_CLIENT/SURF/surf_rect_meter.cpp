// CSurfRect as a level meter: every 125 ms its width is animated to the
// audio level, or the playing sound's progress, as a share of its parent's
// width.
#include "surf_rect.h"

#include "mainwnd.h"
#include "surf_animation.h"

void (*CSurfRect::g_pfnAudioLevels)(RVT_AUDIO_LEVELS* pLevels) = nullptr;

void CSurfRect::Attribs(int iAttribs)
{
    CSurf::Attribs(iAttribs);
    if (!g_pMainWindow || static_cast<CSurf*>(g_pMainWindow) == this)
        return;
    const int bMeter = (m_iAttribs & (SA_LEVEL_METER | SA_PROGRESS_METER)) != 0;
    if (bMeter && !m_bMeterTimer) {
        g_pMainWindow->SetDelayCallback(this, METER_TIMER_MS, 1);
        m_bMeterTimer = 1;
    } else if (!bMeter && m_bMeterTimer) {
        // This also drops a pending press's timer; a rectangle stops being a
        // meter only when the controller rebuilds it.
        g_pMainWindow->CancelDelayCallback(this);
        m_bMeterTimer = 0;
    }
}

void CSurfRect::ExecuteTimer()
{
    CSurf::ExecuteTimer();
    if (m_iAttribs & (SA_LEVEL_METER | SA_PROGRESS_METER))
        StepMeter();
}

void CSurfRect::StepMeter()
{
    if (!g_pfnAudioLevels || !m_pParent)
        return;
    RVT_AUDIO_LEVELS levels;
    g_pfnAudioLevels(&levels);
    if (!levels.bPlaying && !levels.bRecording)
        return;
    int iLevel;
    unsigned int uShrinkMS;
    if (m_iAttribs & SA_LEVEL_METER) {
        iLevel = levels.bRecording ? levels.iRecordingLevel : levels.iOutputLevel;
        uShrinkMS = METER_TIMER_MS;
    } else {
        iLevel = levels.iProgress;
        uShrinkMS = PROGRESS_SHRINK_MS;
    }
    iLevel = iLevel < 0 ? 0 : (iLevel > 100 ? 100 : iLevel);

    const ORIENT eOrient = CMainWnd::m_eOrientation;
    const CRVRect parent = m_pParent->Position(eOrient);
    const CRVRect current = Position(eOrient);
    CRVRect target = current;
    int iSpan = parent.width;
    if (current.height < 1) {
        // A meter without a height of its own is a bar inset by one pixel in
        // its parent, with fully rounded ends.
        const int iHeight = parent.height - 2 > 0 ? parent.height - 2 : 0;
        iSpan = parent.width - 2 > 0 ? parent.width - 2 : 0;
        target = CRVRect(1, 1, current.width, iHeight);
        SetRadius(iHeight / 2);
    }
    // 64-bit: the parent's width comes from the controller.
    target.width = (int)((long long)iLevel * iSpan / 100);
    if (target == current)
        return;
    const unsigned int uMS = target.width > current.width ? (unsigned int)METER_GROW_MS : uShrinkMS;
    Animate(eOrient, AK_POSITION, current, target, 0, uMS, 0, ACCEL_LINEAR, ANIMATION_TERM_NO_WAIT);
}
