// The alpha canvas's premultiplication and four-channel blend over a 1024 x 576
// canvas, and a drawing-pad stroke across a map of that size, against memcpy
// of the canvas's bytes in the same run. Items are pixels (stroke: segments),
// so rates read as pixels per second.
#include "dibdc.h"
#include "surf_draw.h"

#include "bench_memcpy.h"

#include <benchmark/benchmark.h>

#include <string.h>

#include <vector>

namespace
{
const int kWidth = 1024;
const int kHeight = 576;
const size_t kBytes = static_cast<size_t>(kWidth) * kHeight * 4;

// Every pixel a different mix, so no channel is trivially 0 or 255.
void Pattern(CAlphaDIB& dc)
{
    uint32_t v = 0x12345678;
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++) {
            v = v * 1664525u + 1013904223u;
            *dc.Pixel(x, y) = v;
        }
}

void BM_AlphaPreMult(benchmark::State& state)
{
    CAlphaDIB dc(kWidth, kHeight, 0, 0, 0, 0);
    Pattern(dc);
    for (auto _ : state) {
        // The canvas premultiplies once; clear the mark so every round works.
        dc.SetAlphaFlags(0);
        dc.MakePreMult();
        benchmark::DoNotOptimize(dc.Bits());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_AlphaPreMult);

void BM_AlphaFillRectAlpha(benchmark::State& state)
{
    CAlphaDIB dc(kWidth, kHeight, 0, 0, 0, 0);
    Pattern(dc);
    int alpha = 1;
    for (auto _ : state) {
        dc.FillRectAlpha(CRVRect(0, 0, kWidth, kHeight), 0x80336699, alpha);
        alpha = alpha % 250 + 1;
        benchmark::DoNotOptimize(dc.Bits());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_AlphaFillRectAlpha);

// Reference: memcpy of the same number of bytes (both operations read and
// write every pixel once).
void BM_Memcpy(benchmark::State& state)
{
    TimeMemcpy(state, kBytes);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Memcpy);

// A mouse stroke: 1,000 short segments zigzagging across the map.
void BM_PadStrokeSegments(benchmark::State& state)
{
    CAlphaMAP map(kWidth, kHeight);
    map.Clear();
    for (auto _ : state) {
        POINT prev{10, 10};
        for (int i = 1; i <= 1000; i++) {
            POINT pt{10 + i % 1000, 10 + (i * 7) % 550};
            map.DrawSegment(prev, pt, 3);
            prev = pt;
        }
        benchmark::DoNotOptimize(map.Pixel(0, 0));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_PadStrokeSegments);
}  // namespace
