#include "rvlog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

RV_LOG_LEVEL InitialLevel()
{
    RV_LOG_LEVEL level = RV_LOG_WARN;
    if (const char* env = std::getenv("ZV_LOG"))
        RVParseLogLevel(env, &level);
    return level;
}

std::atomic<int>& Level()
{
    static std::atomic<int> level{InitialLevel()};
    return level;
}

const char* const kNames[] = {"debug", "info", "warn", "error", "off"};

}  // namespace

void RVSetLogLevel(RV_LOG_LEVEL level) { Level().store(level, std::memory_order_relaxed); }

RV_LOG_LEVEL RVGetLogLevel() { return static_cast<RV_LOG_LEVEL>(Level().load(std::memory_order_relaxed)); }

int RVParseLogLevel(const char* text, RV_LOG_LEVEL* level)
{
    for (int i = RV_LOG_DEBUG; i <= RV_LOG_OFF; ++i) {
        if (text && !std::strcmp(text, kNames[i])) {
            *level = static_cast<RV_LOG_LEVEL>(i);
            return 1;
        }
    }
    return 0;
}

void RVLog(RV_LOG_LEVEL level, const char* format, ...)
{
    if (level < RVGetLogLevel() || level >= RV_LOG_OFF)
        return;
    // One write per line so that lines from different threads do not interleave.
    char line[1024];
    int n = std::snprintf(line, sizeof line, "zviewer[%s]: ", kNames[level]);
    va_list args;
    va_start(args, format);
    int m = std::vsnprintf(line + n, sizeof line - n - 1, format, args);
    va_end(args);
    size_t used = n + (m < 0 ? 0 : (size_t)m < sizeof line - n - 1 ? (size_t)m : sizeof line - n - 2);
    line[used++] = '\n';
    std::fwrite(line, 1, used, stderr);
}

RV_LOG_LEVEL RVFirstTimeLevel(unsigned int* puReported, unsigned int uBit)
{
    const bool bFirst = !(__atomic_fetch_or(puReported, uBit, __ATOMIC_RELAXED) & uBit);
    return bFirst ? RV_LOG_WARN : RV_LOG_DEBUG;
}

void TraceWrap(const wchar_t* format, ...)
{
    if (RV_LOG_DEBUG < RVGetLogLevel())
        return;
    wchar_t text[1024];
    va_list args;
    va_start(args, format);
    int n = std::vswprintf(text, sizeof text / sizeof text[0], format, args);
    va_end(args);
    if (n < 0)
        return;
    RVLog(RV_LOG_DEBUG, "%ls", text);
}
