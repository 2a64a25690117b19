// Pixel memory of the raster canvases.
//
// Canvas sizes come from controller messages and image headers, so every size
// is checked here before anything is allocated: a request beyond the limits
// below, or one whose byte count would overflow, fails like an out-of-memory
// allocation instead of wrapping around into a short block.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Largest side and largest area of one canvas. Far above any screen or texture
// the viewer shows, far below what would exhaust a desktop machine.
enum
{
    RV_MAX_CANVAS_SIDE = 32768,
    RV_MAX_CANVAS_PIXELS = 64 * 1024 * 1024,
};

// Uninitialised memory for count elements of size bytes each; null (with a
// report through the assertion hook) when the product overflows or the
// allocation fails. Free with RVFree.
void* RVAlloc(size_t count, size_t size);
void RVFree(void* p);

// Room for dx x dy 32-bit pixels; null when either side is below 1, a side or
// the area exceeds the limits above, or memory is short.
uint32_t* RVAllocPixels(long long dx, long long dy);
