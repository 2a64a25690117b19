#include "rvtick.h"

#include <time.h>

uint32_t RVGetTickCount()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    // 64-bit intermediate: the product overflows 32 bits after ~50 days of uptime.
    uint64_t ms = (uint64_t)now.tv_sec * 1000u + (uint64_t)now.tv_nsec / 1000000u;
    return (uint32_t)ms;
}
