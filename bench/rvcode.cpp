// Block cipher throughput over a 4 KiB buffer: the table-driven 16-byte path
// and the general path for larger blocks, each way, against a plain copy of
// the same bytes as the floor.
#include "rvcode.h"

#include "bench_memcpy.h"

#include <benchmark/benchmark.h>

#include <string.h>

#include <vector>

namespace {

const unsigned int kBytes = 4096;

void Run(benchmark::State& state, int iBlockSize, bool bEncrypt, int iMode)
{
    unsigned char key[32];
    for (int i = 0; i < 32; i++)
        key[i] = (unsigned char)(i * 7 + 1);
    CRVCode code;
    if (!code.MakeKey(key, CRVCode::sm_chain0, 16, iBlockSize)) {
        state.SkipWithError("no key");
        return;
    }
    std::vector<unsigned char> in(kBytes), out(kBytes);
    for (unsigned int i = 0; i < kBytes; i++)
        in[i] = (unsigned char)i;
    for (auto _ : state) {
        int ok = bEncrypt ? code.Encrypt(in.data(), out.data(), kBytes, iMode)
                          : code.Decrypt(in.data(), out.data(), kBytes, iMode);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed((int64_t)state.iterations() * kBytes);
}

void BM_Encrypt16Ecb(benchmark::State& state) { Run(state, 16, true, CRVCode::ECB); }
void BM_Decrypt16Ecb(benchmark::State& state) { Run(state, 16, false, CRVCode::ECB); }
void BM_Encrypt16Cbc(benchmark::State& state) { Run(state, 16, true, CRVCode::CBC); }
void BM_Decrypt16Cbc(benchmark::State& state) { Run(state, 16, false, CRVCode::CBC); }
void BM_Encrypt32Ecb(benchmark::State& state) { Run(state, 32, true, CRVCode::ECB); }
void BM_Decrypt32Ecb(benchmark::State& state) { Run(state, 32, false, CRVCode::ECB); }

// Reference: copying the buffer, what any cipher pass costs at the least.
void BM_CopyReference(benchmark::State& state)
{
    TimeMemcpy(state, kBytes);
    state.SetBytesProcessed((int64_t)state.iterations() * kBytes);
}

}  // namespace

BENCHMARK(BM_Encrypt16Ecb);
BENCHMARK(BM_Decrypt16Ecb);
BENCHMARK(BM_Encrypt16Cbc);
BENCHMARK(BM_Decrypt16Cbc);
BENCHMARK(BM_Encrypt32Ecb);
BENCHMARK(BM_Decrypt32Ecb);
BENCHMARK(BM_CopyReference);
