// CSurfAnimation and its kinds: one value of a surface (or one rectangle)
// driven from a start to an end over a duration.
//
// A surface keeps its animations in its own list (CSurf::m_pAnimations) and
// applies each new value by the animation's key (CSurf::ProcessAnimationUpdate).
// The main window's animation thread advances them every 20 ms round with the
// round's time; nothing here reads a clock except Reset, which restarts the
// animation at SurfNow().
#pragma once

#include "surf.h"

#include <time.h>

// What an animation's value drives on the surface. Surface kinds add their
// own keys (button levels, scroll offsets ...).
enum ANIMATION_KEY
{
    AK_PRESSED_LEVEL = 0,
    AK_ON_LEVEL = 1,
    AK_POSITION = 6,            // position rectangle in the animation's orientation
    AK_ALPHA = 7,
    AK_TRANSFORM = 9,           // x offset, y offset, x scale, y scale
    AK_THIRD_LEVEL = 10,
    AK_ROTATE_X = 20,
    AK_ROTATE_Y = 21,
    AK_ROTATE_Z = 22,
    AK_JOG_LEFT = 23,           // x while jogging left, with position reports
    AK_JOG_RIGHT = 24,
    AK_TURN_TO_0 = 25,          // the main window's orientation turn, 0 .. 1000
    AK_TURN_TO_1 = 26,
    AK_BOUNCE = 30,             // to a rectangle and back again
    AK_OVERLAY_LEVEL = 31,
};

// Animation flag bits.
enum
{
    AF_ALPHA_ON_AT_MIDDLE = 0x400,     // alpha 255 once the value passed the middle
    AF_ALPHA_OFF_AT_MIDDLE = 0x800,    // alpha 0 likewise
};

class CSurfAnimation
{
public:
    // Starts at now; a start equal to the end gives duration 0 (done at the
    // first update).
    CSurfAnimation(int iKey, int iFrom, int iTo, unsigned int uDuration, unsigned int uDelay, ACCEL_PROFILE eProfile,
                   int iFlags, ORIENT eOrient, ANIMATION_TERM eTerm, const timespec& now);

    CSurfAnimation(const CSurfAnimation&) = delete;
    CSurfAnimation& operator=(const CSurfAnimation&) = delete;

    // ---- virtual interface, in slot order ----
    virtual ~CSurfAnimation();
    // The current rectangle; empty for scalar animations.
    virtual CRVRect PosRect();
    // The current colour (0x00RRGGBB); 0 for other animations.
    virtual unsigned int Color();
    // Retargets a running animation: it goes on from its current value to
    // iTo over uDuration from now. 0 when this kind cannot be retargeted.
    virtual int Reset(int iTo, unsigned int uDuration);
    virtual int Reset(CRVRect rcTo, unsigned int uDuration);
    // Advances to now; non-zero when the value changed.
    virtual int Update(const timespec& now);
    // The signed speed at the last update, in units per second.
    virtual int Velocity();

    // Milliseconds the animation has run at now: the delay and the time it
    // was held do not count; never more than the duration.
    unsigned int ElapsedMSEC(const timespec& now) const;
    // A flag flips the surface's alpha now that the value passed the middle.
    int HasAlphaFlag() const;
    // The alpha that flag asks for (255 or 0); the flag is used up.
    int GetAlphaVal();
    // Restarts the clock at now unless the value has moved already, so that
    // the animations one message starts begin together.
    void Sync(const timespec& now);
    // Moves the clock on by ms (time the surface held its animations).
    void AddTimeOffset(unsigned int uMS) { m_uTimeOffset += uMS; }
    // Ends the animation where it is; it is unlinked at the next chance.
    void Stop() { m_bFinished = 1; }

    int Key() const { return m_iKey; }
    int Flags() const { return (int)m_uFlags; }
    int Value() const { return m_iValue; }
    int StartValue() const { return m_iStart; }
    int EndValue() const { return m_iEnd; }
    unsigned int Duration() const { return m_uDuration; }
    unsigned int Delay() const { return m_uDelay; }
    unsigned int TimeOffset() const { return m_uTimeOffset; }
    int IsFinished() const { return m_bFinished; }
    int HasChanged() const { return m_bChanged; }
    ACCEL_PROFILE Profile() const { return m_eProfile; }
    ORIENT Orientation() const { return m_eOrient; }
    ANIMATION_TERM Term() const { return m_eTerm; }

    CSurfAnimation* m_pNext;    // the surface's list

protected:
    // Stores a new value; 1 when it differs (the first change is remembered).
    int SetValue(int iValue);
    // The trapezoid's figures for the current start, end and duration.
    void InitProfile();
    // Starts again at now with no delay and no time held.
    void Restart(const timespec& now);
    // |end - start|.
    long long Distance() const;

    unsigned int m_uFlags;
    int m_iKey;
    int m_iValue;
    int m_iStart;
    int m_iEnd;
    unsigned int m_uDuration;
    unsigned int m_uDelay;
    int m_bFinished;
    int m_bChanged;
    unsigned int m_uTimeOffset;
    ACCEL_PROFILE m_eProfile;
    // Trapezoid: acceleration (units/s²), top speed (units/s), ramp time
    // (ms), ramp distance (units). 64-bit: the controller picks the distances.
    long long m_llAccel;
    long long m_llTopSpeed;
    long long m_llRampTime;
    long long m_llRampDistance;
    timespec m_tStart;
    ORIENT m_eOrient;
    ANIMATION_TERM m_eTerm;
    unsigned int m_uElapsed;    // at the last update: what Velocity() reads
};

// A rectangle: position (key 6), transform (key 9) or bounce (key 30).
class CSurfAnimationPosition : public CSurfAnimation
{
public:
    CSurfAnimationPosition(ORIENT eOrient, int iKey, CRVRect rcFrom, CRVRect rcTo, unsigned int uDuration,
                           unsigned int uDelay, ACCEL_PROFILE eProfile, ANIMATION_TERM eTerm, const timespec& now);

    CRVRect PosRect() override { return m_rcCurrent; }
    int Reset(int iTo, unsigned int uDuration) override;
    // Goes on from the current rectangle; a trapezoid becomes linear.
    int Reset(CRVRect rcTo, unsigned int uDuration) override;
    int Update(const timespec& now) override;

    CRVRect StartRect() const { return m_rcStart; }
    CRVRect EndRect() const { return m_rcEnd; }

    // The share of the way (0 .. 1024) after t of T ms along a profile.
    static int Progress1024(ACCEL_PROFILE eProfile, unsigned int t, unsigned int T);

private:
    CRVRect m_rcStart;
    CRVRect m_rcEnd;
    CRVRect m_rcCurrent;
};

// A colour: the value runs from 0 to 100 linearly and Color() blends.
class CSurfAnimationColor : public CSurfAnimation
{
public:
    CSurfAnimationColor(int iKey, unsigned int uFrom, unsigned int uTo, unsigned int uDuration, ORIENT eOrient,
                        const timespec& now);

    unsigned int Color() override;
    int Reset(int iTo, unsigned int uDuration) override;

private:
    unsigned int m_uFrom;
    unsigned int m_uTo;
};

// Kinetic motion: starts at a velocity and slows down evenly, kept between
// two bounds (scroll views' flings).
class CSurfDecelAnimation : public CSurfAnimation
{
public:
    // Velocity in units per second, deceleration in units per second².
    CSurfDecelAnimation(int iKey, int iStart, int iVelocity, int iDecel, int iLower, int iUpper, ORIENT eOrient,
                        const timespec& now);

    int Reset(int iTo, unsigned int uDuration) override;
    int Update(const timespec& now) override;
    int Velocity() override;

private:
    int m_iVelocity;
    int m_iDecel;
    int m_iLower;
    int m_iUpper;
};

// Constant speed towards an end (jog commands, keys 23 and 24): key 23
// moves towards smaller values, every other key towards larger ones.
class CSurfJogAnimation : public CSurfAnimation
{
public:
    // Speed in units per second; a speed below 1 does not move.
    CSurfJogAnimation(ORIENT eOrient, int iKey, int iStart, int iEnd, int iSpeed, int iThreshold,
                      const timespec& now);

    int Reset(int iTo, unsigned int uDuration) override;
    int Update(const timespec& now) override;
    int Velocity() override;
    int Threshold() const { return m_iThreshold; }

private:
    int m_iSpeed;
    int m_iThreshold;
};
