#include "rvalloc.h"

#include "rvdebug.h"

#include <stdlib.h>

void* RVAlloc(size_t count, size_t size)
{
    size_t bytes;
    if (__builtin_mul_overflow(count, size, &bytes)) {
        AssertDlg(__FILE__, __LINE__, 0);
        RVLog(RV_LOG_WARN, "allocation of %zu x %zu bytes overflows", count, size);
        return nullptr;
    }
    // Keep zero-sized requests distinct from failures.
    void* p = malloc(bytes ? bytes : 1);
    if (!p) {
        AssertDlg(__FILE__, __LINE__, 0);
        RVLog(RV_LOG_WARN, "out of memory allocating %zu bytes", bytes);
    }
    return p;
}

void RVFree(void* p) { free(p); }

uint32_t* RVAllocPixels(long long dx, long long dy)
{
    if (dx < 1 || dy < 1 || dx > RV_MAX_CANVAS_SIDE || dy > RV_MAX_CANVAS_SIDE ||
        dx * dy > RV_MAX_CANVAS_PIXELS) {
        AssertDlg(__FILE__, __LINE__, 0);
        RVLog(RV_LOG_WARN, "canvas of %lld x %lld pixels refused", dx, dy);
        return nullptr;
    }
    return static_cast<uint32_t*>(RVAlloc(static_cast<size_t>(dx * dy), sizeof(uint32_t)));
}
