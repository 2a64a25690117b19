// The smaller animation kinds: colour, deceleration and jog.
//
// Decelerations and jogs follow the user or a running command rather than a
// fixed script, so the main window never waits for them.
#include "surf_animation.h"

#include <limits.h>
#include <math.h>

namespace {

int ClampToInt(double v)
{
    if (v >= (double)INT_MAX)
        return INT_MAX;
    if (v <= (double)INT_MIN)
        return INT_MIN;
    return (int)llround(v);
}

// Per colour channel (a * (100 - pct) + b * pct) / 100; the alpha byte is 0.
unsigned int BlendColorPCT(unsigned int a, unsigned int b, int pct)
{
    unsigned int result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned int ca = (a >> shift) & 0xFF;
        const unsigned int cb = (b >> shift) & 0xFF;
        result |= ((ca * (unsigned int)(100 - pct) + cb * (unsigned int)pct) / 100) << shift;
    }
    return result;
}

}  // namespace

// ---- colour ----

CSurfAnimationColor::CSurfAnimationColor(int iKey, unsigned int uFrom, unsigned int uTo, unsigned int uDuration,
                                         ORIENT eOrient, const timespec& now)
    : CSurfAnimation(iKey, 0, 100, uDuration, 0, ACCEL_LINEAR, 0, eOrient, ANIMATION_TERM_WAIT, now),
      m_uFrom(uFrom),
      m_uTo(uTo)
{
}

unsigned int CSurfAnimationColor::Color()
{
    int pct = m_iValue < 0 ? 0 : (m_iValue > 100 ? 100 : m_iValue);
    return BlendColorPCT(m_uFrom, m_uTo, pct);
}

int CSurfAnimationColor::Reset(int, unsigned int)
{
    return 0;
}

// ---- deceleration ----

CSurfDecelAnimation::CSurfDecelAnimation(int iKey, int iStart, int iVelocity, int iDecel, int iLower, int iUpper,
                                         ORIENT eOrient, const timespec& now)
    : CSurfAnimation(iKey, iStart, iStart, 0, 0, ACCEL_LINEAR, 0, eOrient, ANIMATION_TERM_NO_WAIT, now),
      m_iVelocity(iVelocity),
      m_iDecel(iDecel),
      m_iLower(iLower),
      m_iUpper(iUpper)
{
    // Until the speed is gone; no deceleration ends at once.
    if (iDecel > 0) {
        long long v = iVelocity < 0 ? -(long long)iVelocity : iVelocity;
        long long T = v * 1000 / iDecel;
        m_uDuration = T > (long long)UINT_MAX ? UINT_MAX : (unsigned int)T;
    }
}

int CSurfDecelAnimation::Reset(int, unsigned int)
{
    return 0;
}

int CSurfDecelAnimation::Update(const timespec& now)
{
    const unsigned int t = ElapsedMSEC(now);
    m_uElapsed = t;
    const double s = t / 1000.0;
    const double dDecel = m_iVelocity < 0 ? -(double)m_iDecel : (double)m_iDecel;
    int iValue = ClampToInt(m_iVelocity * s + m_iStart - dDecel * s * s / 2);
    int bFinished = t >= m_uDuration;
    // At a bound the motion stops: once there, it is over.
    if (iValue > m_iUpper) {
        bFinished |= m_iValue == m_iUpper;
        iValue = m_iUpper;
    } else if (iValue < m_iLower) {
        bFinished |= m_iValue == m_iLower;
        iValue = m_iLower;
    }
    if (bFinished)
        m_bFinished = 1;
    return SetValue(iValue);
}

int CSurfDecelAnimation::Velocity()
{
    if (m_bFinished)
        return 0;
    const double s = m_uElapsed / 1000.0;
    const double dDecel = m_iVelocity < 0 ? -(double)m_iDecel : (double)m_iDecel;
    return ClampToInt(m_iVelocity - dDecel * s);
}

// ---- jog ----

CSurfJogAnimation::CSurfJogAnimation(ORIENT eOrient, int iKey, int iStart, int iEnd, int iSpeed, int iThreshold,
                                     const timespec& now)
    : CSurfAnimation(iKey, iStart, iEnd, 0, 0, ACCEL_LINEAR, 0, eOrient, ANIMATION_TERM_NO_WAIT, now),
      m_iSpeed(iSpeed),
      m_iThreshold(iThreshold)
{
    // Long enough to reach the end; the clock stops there.
    if (iSpeed > 0) {
        long long T = Distance() * 1000 / iSpeed + 1;
        m_uDuration = T > (long long)UINT_MAX ? UINT_MAX : (unsigned int)T;
    }
}

int CSurfJogAnimation::Reset(int, unsigned int)
{
    return 0;
}

int CSurfJogAnimation::Update(const timespec& now)
{
    const unsigned int t = ElapsedMSEC(now);
    m_uElapsed = t;
    if (m_iSpeed <= 0) {
        m_bFinished = 1;
        return 0;
    }
    const long long travelled = (long long)t * m_iSpeed / 1000;
    long long v;
    if (m_iKey == AK_JOG_LEFT) {
        v = m_iStart - travelled;
        if (v <= m_iEnd)
            v = m_iEnd;
    } else {
        v = m_iStart + travelled;
        if (v >= m_iEnd)
            v = m_iEnd;
    }
    if (v == m_iEnd || t >= m_uDuration) {
        v = m_iEnd;
        m_bFinished = 1;
    }
    return SetValue((int)v);
}

int CSurfJogAnimation::Velocity()
{
    if (m_bFinished || m_iSpeed <= 0)
        return 0;
    return m_iKey == AK_JOG_LEFT ? -m_iSpeed : m_iSpeed;
}
