// Canvas fill and alpha-blend fill of a 1024 x 576 canvas, against memset and
// memcpy of the same number of bytes in the same run. Items are pixels, so the
// rates read as pixels per second.
#include "dibdc.h"

#include "bench_memcpy.h"

#include <benchmark/benchmark.h>

#include <string.h>

#include <vector>

namespace
{
const int kWidth = 1024;
const int kHeight = 576;
const size_t kBytes = static_cast<size_t>(kWidth) * kHeight * 4;

void BM_CanvasFillRect(benchmark::State& state)
{
    CRVDibDC dc(kWidth, kHeight, 0, 0, 0, 0);
    uint32_t c = 0x11223344;
    for (auto _ : state) {
        dc.FillRect(c++, 0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(dc.Bits());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_CanvasFillRect);

// Reference for the fill: memset of the same buffer.
void BM_Memset(benchmark::State& state)
{
    std::vector<unsigned char> buf(kBytes);
    int c = 0;
    for (auto _ : state) {
        memset(buf.data(), c++, kBytes);
        benchmark::DoNotOptimize(buf.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Memset);

void BM_CanvasFillRectAlpha(benchmark::State& state)
{
    CRVDibDC dc(kWidth, kHeight, 0, 0, 0, 0);
    dc.Fill(0xFF808080);
    int alpha = 1;
    for (auto _ : state) {
        dc.FillRectAlpha(CRVRect(0, 0, kWidth, kHeight), 0x00336699, alpha);
        alpha = alpha % 250 + 1;
        benchmark::DoNotOptimize(dc.Bits());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_CanvasFillRectAlpha);

// Reference for the blend (which reads and writes every pixel): memcpy of the
// same buffer.
void BM_Memcpy(benchmark::State& state)
{
    TimeMemcpy(state, kBytes);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Memcpy);

// The canvas's own copy blit of the whole canvas, for comparison with memcpy.
void BM_CanvasBlt(benchmark::State& state)
{
    CRVDibDC src(kWidth, kHeight, 0, 0, 0, 0);
    CRVDibDC dst(kWidth, kHeight, 0, 0, 0, 0);
    src.Fill(1);
    for (auto _ : state) {
        dst.BltFromDibDC(&src, 0, 0);
        benchmark::DoNotOptimize(dst.Bits());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_CanvasBlt);
}  // namespace
