// CSurfAnimation: a scalar value along a trapezoid, ease-out or linear
// profile.
//
// The arithmetic is integer and truncating, in 64 bits (products in 128) so
// that any start, end and duration the controller sends stays defined.
#include "surf_animation.h"

#include "surf_timer.h"

namespace {

const long long MS_PER_S = 1000;
// The trapezoid's ramps last a third of the time, at most this long.
const unsigned int RAMP_LIMIT_MS = 500;
const unsigned int RAMP_LIMIT_FROM_MS = 1500;

long long MulDiv(long long a, long long b, long long c)
{
    return (long long)((__int128)a * b / c);
}

long long Clamp(long long v, long long lo, long long hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

}  // namespace

CSurfAnimation::CSurfAnimation(int iKey, int iFrom, int iTo, unsigned int uDuration, unsigned int uDelay,
                               ACCEL_PROFILE eProfile, int iFlags, ORIENT eOrient, ANIMATION_TERM eTerm,
                               const timespec& now)
    : m_pNext(nullptr),
      m_uFlags((unsigned int)iFlags),
      m_iKey(iKey),
      m_iValue(iFrom),
      m_iStart(iFrom),
      m_iEnd(iTo),
      m_uDuration(iFrom == iTo ? 0 : uDuration),
      m_uDelay(uDelay),
      m_bFinished(0),
      m_bChanged(0),
      m_uTimeOffset(0),
      m_eProfile(eProfile),
      m_llAccel(0),
      m_llTopSpeed(0),
      m_llRampTime(0),
      m_llRampDistance(0),
      m_tStart(now),
      m_eOrient(eOrient),
      m_eTerm(eTerm),
      m_uElapsed(0)
{
    InitProfile();
}

CSurfAnimation::~CSurfAnimation() = default;

CRVRect CSurfAnimation::PosRect()
{
    return CRVRect();
}

unsigned int CSurfAnimation::Color()
{
    return 0;
}

long long CSurfAnimation::Distance() const
{
    long long d = (long long)m_iEnd - m_iStart;
    return d < 0 ? -d : d;
}

void CSurfAnimation::InitProfile()
{
    m_llAccel = m_llTopSpeed = m_llRampTime = m_llRampDistance = 0;
    const long long T = m_uDuration;
    long long r = m_uDuration < RAMP_LIMIT_FROM_MS ? T / 3 : RAMP_LIMIT_MS;
    // Below 3 ms there is no ramp to speak of: such a step runs linearly.
    if (r == 0)
        return;
    m_llRampTime = r;
    m_llTopSpeed = Distance() * MS_PER_S / (T - r);
    m_llAccel = m_llTopSpeed * MS_PER_S / r;
    m_llRampDistance = MulDiv(m_llAccel, r * r, 2000000);
}

void CSurfAnimation::Restart(const timespec& now)
{
    m_tStart = now;
    m_uDelay = 0;
    m_uTimeOffset = 0;
    m_uElapsed = 0;
    m_bFinished = 0;
    m_bChanged = 0;
}

int CSurfAnimation::Reset(int iTo, unsigned int uDuration)
{
    m_iStart = m_iValue;
    m_iEnd = iTo;
    m_uDuration = m_iStart == m_iEnd ? 0 : uDuration;
    Restart(SurfNow());
    InitProfile();
    return 1;
}

int CSurfAnimation::Reset(CRVRect, unsigned int)
{
    return 0;
}

unsigned int CSurfAnimation::ElapsedMSEC(const timespec& now) const
{
    unsigned int t = SurfTimeDiffMS(m_tStart, now);
    t = t < m_uDelay ? 0 : t - m_uDelay;
    if (m_uTimeOffset < t)
        t -= m_uTimeOffset;
    return t < m_uDuration ? t : m_uDuration;
}

int CSurfAnimation::SetValue(int iValue)
{
    if (iValue == m_iValue)
        return 0;
    m_iValue = iValue;
    m_bChanged = 1;
    return 1;
}

int CSurfAnimation::Update(const timespec& now)
{
    const unsigned int t = ElapsedMSEC(now);
    m_uElapsed = t;
    const long long T = m_uDuration;
    if (t >= m_uDuration) {
        m_bFinished = 1;
        return SetValue(m_iEnd);
    }
    const long long d = Distance();
    const int iSign = m_iEnd < m_iStart ? -1 : 1;
    long long travelled;
    if (m_eProfile == ACCEL_TRAPEZOID && m_llRampTime > 0) {
        const long long r = m_llRampTime;
        if (t < r)
            travelled = MulDiv(m_llAccel, (long long)t * t, 2000000);
        else if (t > T - r)
            travelled = d - MulDiv(m_llAccel, (T - t) * (T - t), 2000000);
        else
            travelled = m_llRampDistance + (t - r) * m_llTopSpeed / MS_PER_S;
    } else if (m_eProfile == ACCEL_EASE_OUT) {
        // value = end -/+ d * (T - t)^2 / T^2
        const __int128 rest = T - t;
        travelled = d - (long long)(d * rest * rest / ((__int128)T * T));
    } else {
        travelled = MulDiv(d, t, T);
    }
    travelled = Clamp(travelled, 0, d);
    return SetValue((int)(m_iStart + iSign * travelled));
}

int CSurfAnimation::Velocity()
{
    if (m_bFinished || m_uDuration == 0)
        return 0;
    const long long T = m_uDuration;
    const long long d = Distance();
    const long long tNow = m_uElapsed;
    long long v;
    if (m_eProfile == ACCEL_TRAPEZOID && m_llRampTime > 0) {
        const long long r = m_llRampTime;
        if (tNow < r)
            v = m_llAccel * tNow / MS_PER_S;
        else if (tNow > T - r)
            v = m_llAccel * (T - tNow) / MS_PER_S;
        else
            v = m_llTopSpeed;
    } else if (m_eProfile == ACCEL_EASE_OUT) {
        // The slope of the ease-out curve, per second.
        v = (long long)((__int128)d * 2 * (T - tNow) * MS_PER_S / ((__int128)T * T));
    } else {
        v = d * MS_PER_S / T;
    }
    v = Clamp(v, 0, 0x7FFFFFFF);
    return (int)(m_iEnd < m_iStart ? -v : v);
}

int CSurfAnimation::HasAlphaFlag() const
{
    if (!(m_uFlags & (AF_ALPHA_ON_AT_MIDDLE | AF_ALPHA_OFF_AT_MIDDLE)))
        return 0;
    long long travelled = (long long)m_iValue - m_iStart;
    if (travelled < 0)
        travelled = -travelled;
    return travelled * 2 >= Distance();
}

int CSurfAnimation::GetAlphaVal()
{
    if (m_uFlags & AF_ALPHA_ON_AT_MIDDLE) {
        m_uFlags &= ~(unsigned int)AF_ALPHA_ON_AT_MIDDLE;
        return 255;
    }
    m_uFlags &= ~(unsigned int)AF_ALPHA_OFF_AT_MIDDLE;
    return 0;
}

void CSurfAnimation::Sync(const timespec& now)
{
    if (!m_bChanged)
        m_tStart = now;
}
