// CSurfAnimationPosition: a rectangle blended from a start to an end in
// 1024 steps, or bounced to the end and back (key 30).
#include "surf_animation.h"

#include "surf_timer.h"

#include <math.h>

namespace {

const int FULL = 1024;

// (s * (FULL - g) + e * g) / FULL for each field.
int Blend(int s, int e, int g)
{
    return (int)(((long long)s * (FULL - g) + (long long)e * g) / FULL);
}

CRVRect BlendRect(const CRVRect& s, const CRVRect& e, int g)
{
    return CRVRect(Blend(s.x, e.x, g), Blend(s.y, e.y, g), Blend(s.width, e.width, g),
                   Blend(s.height, e.height, g));
}

// s moved by (e - s) * f.
int Towards(int s, int e, double f)
{
    return (int)(s + ((double)e - s) * f);
}

}  // namespace

CSurfAnimationPosition::CSurfAnimationPosition(ORIENT eOrient, int iKey, CRVRect rcFrom, CRVRect rcTo,
                                               unsigned int uDuration, unsigned int uDelay, ACCEL_PROFILE eProfile,
                                               ANIMATION_TERM eTerm, const timespec& now)
    : CSurfAnimation(iKey, 0, 0, 0, uDelay, eProfile, 0, eOrient, eTerm, now),
      m_rcStart(rcFrom),
      m_rcEnd(rcTo),
      m_rcCurrent(rcFrom)
{
    m_uDuration = rcFrom == rcTo ? 0 : uDuration;
}

int CSurfAnimationPosition::Progress1024(ACCEL_PROFILE eProfile, unsigned int t, unsigned int T)
{
    if (t >= T)
        return FULL;
    const __int128 t1 = t;
    const __int128 T1 = T;
    const __int128 rest = T1 - t1;
    const unsigned int r = (unsigned int)((unsigned long long)T * 3 / 10);
    long long g;
    if (eProfile == ACCEL_TRAPEZOID && r > 0) {
        // Ramps of 3/10 of the time at each end around a constant top speed
        // (10,000,000 / T / 7 millionths per ms), taken as exact fractions so
        // that the ramps meet the constant part.
        if (t < r)
            g = (long long)(51200 * t1 * t1 / (21 * T1 * T1));
        else if (t > T - r)
            g = FULL - (long long)(51200 * rest * rest / (21 * T1 * T1));
        else
            g = (long long)(512 * (20 * t1 - 3 * T1) / (7 * T1));
    } else if (eProfile == ACCEL_EASE_OUT) {
        g = FULL - (long long)(FULL * rest * rest / (T1 * T1));
    } else {
        g = (long long)(t1 * FULL / T1);
    }
    return g < 0 ? 0 : (g > FULL ? FULL : (int)g);
}

int CSurfAnimationPosition::Reset(int, unsigned int)
{
    return 0;
}

int CSurfAnimationPosition::Reset(CRVRect rcTo, unsigned int uDuration)
{
    m_rcStart = m_rcCurrent;
    m_rcEnd = rcTo;
    m_uDuration = m_rcStart == m_rcEnd ? 0 : uDuration;
    // Speeding up again from a standstill would look like a stumble.
    if (m_eProfile == ACCEL_TRAPEZOID)
        m_eProfile = ACCEL_LINEAR;
    Restart(SurfNow());
    return 1;
}

int CSurfAnimationPosition::Update(const timespec& now)
{
    const unsigned int t = ElapsedMSEC(now);
    m_uElapsed = t;
    CRVRect rc;
    if (t >= m_uDuration) {
        m_bFinished = 1;
        rc = m_iKey == AK_BOUNCE ? m_rcStart : m_rcEnd;
    } else if (m_iKey == AK_BOUNCE) {
        const double f = sin((double)t * M_PI / (double)m_uDuration);
        rc = CRVRect(Towards(m_rcStart.x, m_rcEnd.x, f), Towards(m_rcStart.y, m_rcEnd.y, f),
                     Towards(m_rcStart.width, m_rcEnd.width, f), Towards(m_rcStart.height, m_rcEnd.height, f));
    } else {
        rc = BlendRect(m_rcStart, m_rcEnd, Progress1024(m_eProfile, t, m_uDuration));
    }
    if (rc == m_rcCurrent)
        return 0;
    m_rcCurrent = rc;
    m_bChanged = 1;
    return 1;
}
