// Levelled logging to stderr. The level is process-wide and set once at start
// (from --log-level or the ZV_LOG environment variable); messages below it cost
// one comparison.
#pragma once

enum RV_LOG_LEVEL { RV_LOG_DEBUG = 0, RV_LOG_INFO = 1, RV_LOG_WARN = 2, RV_LOG_ERROR = 3, RV_LOG_OFF = 4 };

void RVSetLogLevel(RV_LOG_LEVEL level);
RV_LOG_LEVEL RVGetLogLevel();
// Parses "debug", "info", "warn", "error" or "off"; returns 0 for anything else.
int RVParseLogLevel(const char* text, RV_LOG_LEVEL* level);
void RVLog(RV_LOG_LEVEL level, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The level of a report that may repeat by the hundred: RV_LOG_WARN the first
// time bit uBit is set in *puReported, RV_LOG_DEBUG after. Thread-safe.
RV_LOG_LEVEL RVFirstTimeLevel(unsigned int* puReported, unsigned int uBit);
// Wide-character debug text, printed at debug level.
void TraceWrap(const wchar_t* format, ...);
