// Building and parsing a typical batch message: 100 records of a surface ID, a
// rectangle and a label, as a page of buttons arrives. The reference is a
// memcpy of the same frame bytes; parsing aims at no more than 10x its time.
//
// Arg 0 uses 8-bit labels, arg 1 wide labels.
#include "rvmsg.h"

#include <benchmark/benchmark.h>

#include <string.h>

#include <vector>

namespace {

const int kRecords = 100;

std::vector<CRVString> Labels(bool wide)
{
    std::vector<CRVString> labels;
    for (int i = 0; i < kRecords; ++i) {
        CRVString s;
        if (wide)
            s.Format(L"Living room %d", i);
        else
            s.Format("Living room %d", i);
        labels.push_back(s);
    }
    return labels;
}

void Build(CRVMSG& m, const std::vector<CRVString>& labels)
{
    for (int i = 0; i < kRecords; ++i) {
        m.PutInt(0x10000 + i);
        m.PutRECT(CRVRect(20 + (i % 10) * 120, 40 + (i / 10) * 60, 110, 50));
        m.PutString(labels[i]);
    }
}

std::vector<unsigned char> Frame(bool wide)
{
    CRVMSG m(0, 20114, 4096, 1);
    Build(m, Labels(wide));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m.MSG());
    return std::vector<unsigned char>(p, p + m.MSGSize());
}

void BM_Build(benchmark::State& state)
{
    std::vector<CRVString> labels = Labels(state.range(0) != 0);
    size_t bytes = 0;
    for (auto _ : state) {
        CRVMSG m(0, 20114, 4096, 1);
        Build(m, labels);
        benchmark::DoNotOptimize(m.MSG());
        bytes = m.MSGSize();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    state.SetBytesProcessed(state.iterations() * bytes);
}

// The way a handler reads: the frame wrapped in place, the label into a string
// that lives across the records.
void BM_Parse(benchmark::State& state)
{
    std::vector<unsigned char> frame = Frame(state.range(0) != 0);
    CRVString label;
    for (auto _ : state) {
        CRVMSG m(reinterpret_cast<RVT_HEADER*>(frame.data()));
        for (int i = 0; i < kRecords; ++i) {
            int id = m.GetInt();
            CRVRect r = m.GetRECT();
            m.GetString(&label);
            benchmark::DoNotOptimize(id);
            benchmark::DoNotOptimize(r.width);
            benchmark::DoNotOptimize(label.GetData());
        }
        if (m.Error() || m.BytesLeft())
            state.SkipWithError("parse failed");
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    state.SetBytesProcessed(state.iterations() * frame.size());
}

// The record's own share of the parse: the labels are skipped, not copied
// into strings.
void BM_ParseSkipLabels(benchmark::State& state)
{
    std::vector<unsigned char> frame = Frame(state.range(0) != 0);
    for (auto _ : state) {
        CRVMSG m(reinterpret_cast<RVT_HEADER*>(frame.data()));
        for (int i = 0; i < kRecords; ++i) {
            int id = m.GetInt();
            CRVRect r = m.GetRECT();
            m.GetString(nullptr);
            benchmark::DoNotOptimize(id);
            benchmark::DoNotOptimize(r.width);
        }
        if (m.Error() || m.BytesLeft())
            state.SkipWithError("parse failed");
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    state.SetBytesProcessed(state.iterations() * frame.size());
}

// The same with a fresh string per record, as code that keeps each label does.
void BM_ParseNewStrings(benchmark::State& state)
{
    std::vector<unsigned char> frame = Frame(state.range(0) != 0);
    for (auto _ : state) {
        CRVMSG m(reinterpret_cast<RVT_HEADER*>(frame.data()));
        for (int i = 0; i < kRecords; ++i) {
            int id = m.GetInt();
            CRVRect r = m.GetRECT();
            CRVString label = m.GetString();
            benchmark::DoNotOptimize(id);
            benchmark::DoNotOptimize(r.width);
            benchmark::DoNotOptimize(label.GetData());
        }
        if (m.Error() || m.BytesLeft())
            state.SkipWithError("parse failed");
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    state.SetBytesProcessed(state.iterations() * frame.size());
}

// Not a parser: the same fields read straight from the frame, trusting every
// count, with the same per-record escapes; the label bytes are copied as they
// are (wide ones not widened). What a parse costs once its checks, its record
// state and its string are gone: the floor for the readers above.
void BM_ReadUnchecked(benchmark::State& state)
{
    std::vector<unsigned char> frame = Frame(state.range(0) != 0);
    unsigned char label[64];
    for (auto _ : state) {
        const unsigned char* p = frame.data() + RV_HEADER_SIZE;
        for (int i = 0; i < kRecords; ++i) {
            int id = (int)RVLoad32(p);
            CRVRect r((int)RVLoad32(p + 4), (int)RVLoad32(p + 8), (int)RVLoad32(p + 12), (int)RVLoad32(p + 16));
            size_t bytes = RVLoad32(p + 20) & ~RV_STRING_WIDE;
            memcpy(label, p + 24, bytes < sizeof label ? bytes : sizeof label);
            p += 24 + RVAlign4(bytes);
            benchmark::DoNotOptimize(id);
            benchmark::DoNotOptimize(r.width);
            benchmark::DoNotOptimize(label);
        }
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    state.SetBytesProcessed(state.iterations() * frame.size());
}

void BM_Memcpy(benchmark::State& state)
{
    std::vector<unsigned char> frame = Frame(state.range(0) != 0);
    std::vector<unsigned char> copy(frame.size());
    for (auto _ : state) {
        memcpy(copy.data(), frame.data(), frame.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    state.SetBytesProcessed(state.iterations() * frame.size());
}

}  // namespace

BENCHMARK(BM_Memcpy)->Arg(0)->Arg(1);
BENCHMARK(BM_Parse)->Arg(0)->Arg(1);
BENCHMARK(BM_ParseSkipLabels)->Arg(0)->Arg(1);
BENCHMARK(BM_ParseNewStrings)->Arg(0)->Arg(1);
BENCHMARK(BM_ReadUnchecked)->Arg(0)->Arg(1);
BENCHMARK(BM_Build)->Arg(0)->Arg(1);
