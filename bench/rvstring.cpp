// Short formatting and copying, the string work done per message, against the
// standard library doing the same job.
#include "rvstring.h"

#include <benchmark/benchmark.h>

#include <stdio.h>

#include <string>

static void BM_FormatNarrowShort(benchmark::State& state)
{
    CRVString s;
    int i = 0;
    for (auto _ : state) {
        s.Format("%d,%d %s", i, i * 3, "pressed");
        benchmark::DoNotOptimize(s.GetData());
        i++;
    }
}
BENCHMARK(BM_FormatNarrowShort);

// Reference: snprintf into a stack buffer, then one std::string allocation.
static void BM_SnprintfStdString(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        char buf[255];
        int n = snprintf(buf, sizeof(buf), "%d,%d %s", i, i * 3, "pressed");
        std::string s(buf, (size_t)n);
        benchmark::DoNotOptimize(s.data());
        i++;
    }
}
BENCHMARK(BM_SnprintfStdString);

static void BM_FormatWideShort(benchmark::State& state)
{
    CRVString name(L"Living room");
    CRVString s;
    int i = 0;
    for (auto _ : state) {
        s.Format(L"%s: %d", (wchar_t*)name, i);
        benchmark::DoNotOptimize(s.GetData());
        i++;
    }
}
BENCHMARK(BM_FormatWideShort);

static void BM_CopyWide(benchmark::State& state)
{
    CRVString src(L"A label of some thirty characters");
    for (auto _ : state) {
        CRVString copy(src);
        benchmark::DoNotOptimize(copy.GetData());
    }
}
BENCHMARK(BM_CopyWide);

// Reference: copying the same text as a std::wstring (beyond the small-string buffer).
static void BM_CopyStdWstring(benchmark::State& state)
{
    std::wstring src(L"A label of some thirty characters");
    for (auto _ : state) {
        std::wstring copy(src);
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_CopyStdWstring);
