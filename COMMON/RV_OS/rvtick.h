// 32-bit millisecond ticks: the one clock behind every time-out of the engine.
//
// A tick is seconds * 1000 + sub-second milliseconds, cut to 32 bits, so it
// wraps about every 49.7 days. Never compare two ticks with < or >: take
// RVTickDiff(start, now), which stays right across the wrap.
#pragma once

#include <stdint.h>

// The current tick. Read from the monotonic clock, so that setting the system
// time or an NTP step does not make waits end early or late.
uint32_t RVGetTickCount();

// Milliseconds from start to now, taken modulo 2^32 (a tick that wrapped
// between the two still gives the true distance).
inline uint32_t RVTickDiff(uint32_t start, uint32_t now)
{
    return now - start;   // unsigned arithmetic is the wrap rule
}

// Milliseconds since start.
inline uint32_t RVTickSince(uint32_t start)
{
    return RVTickDiff(start, RVGetTickCount());
}
