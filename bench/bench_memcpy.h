// The reference most benchmarks here are read against: memcpy of n bytes
// from one buffer to another, timed like the operation beside it. The caller
// sets the items or bytes it reports, so that both figures share a unit.
#pragma once

#include <benchmark/benchmark.h>
#include <string.h>

#include <vector>

inline void TimeMemcpy(benchmark::State& state, size_t nBytes)
{
    std::vector<unsigned char> src(nBytes, 1), dst(nBytes);
    for (auto _ : state) {
        memcpy(dst.data(), src.data(), nBytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}
