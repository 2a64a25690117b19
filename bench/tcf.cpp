// Decoding a 1024 x 576 user-interface picture from our compressed image
// format, against libpng decoding the same picture (written by libpng at its
// default settings) and memcpy of the decoded pixels, all in one run. Items
// are pixels, so the rates read as pixels per second; the "bytes" counter is
// the encoded size of the picture in each format.
#include "tcf.h"
#include "../tests/support/ui_art.h"

#include "bench_memcpy.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <stdlib.h>
#include <string.h>

#include <vector>

namespace
{
const int kWidth = 1024;
const int kHeight = 576;
const size_t kPixels = static_cast<size_t>(kWidth) * kHeight;

const std::vector<uint32_t>& Picture()
{
    static const std::vector<uint32_t> px = ui_art::MakeUIArt(kWidth, kHeight);
    return px;
}

const std::vector<uint8_t>& OwnFormat()
{
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> out;
        if (!CompressRGBA(reinterpret_cast<const uint8_t*>(Picture().data()), kWidth, kHeight, 0, &out))
            abort();
        return out;
    }();
    return bytes;
}

void PngWrite(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void PngFlush(png_structp) {}

const std::vector<uint8_t>& Png()
{
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> out;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (!png || !info || setjmp(png_jmpbuf(png)))
            abort();
        png_set_write_fn(png, &out, PngWrite, PngFlush);
        png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < kHeight; y++)
            png_write_row(png, reinterpret_cast<png_const_bytep>(Picture().data() + static_cast<size_t>(y) * kWidth));
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        return out;
    }();
    return bytes;
}

struct PngSource
{
    const uint8_t* p;
    size_t left;
};

void PngRead(png_structp png, png_bytep data, png_size_t n)
{
    auto* src = static_cast<PngSource*>(png_get_io_ptr(png));
    if (n > src->left)
        png_error(png, "short");
    memcpy(data, src->p, n);
    src->p += n;
    src->left -= n;
}

// The whole PNG decode a viewer does per image: set-up, header, rows.
bool DecodePng(const std::vector<uint8_t>& bytes, uint32_t* pOut)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PngSource src{bytes.data(), bytes.size()};
    std::vector<png_bytep> rows(kHeight);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &src, PngRead);
    png_read_info(png, info);
    for (int y = 0; y < kHeight; y++)
        rows[y] = reinterpret_cast<png_bytep>(pOut + static_cast<size_t>(y) * kWidth);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// Times one decoder of the same picture from its encoded bytes; the result is
// checked against the picture, and the encoded size is reported.
template <class DECODE>
void TimeDecode(benchmark::State& state, const std::vector<uint8_t>& bytes, DECODE decode)
{
    std::vector<uint32_t> out(kPixels);
    for (auto _ : state) {
        if (!decode(out.data()))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    if (out != Picture())
        state.SkipWithError("decoded pixels differ");
    state.SetItemsProcessed(state.iterations() * kPixels);
    state.counters["bytes"] = static_cast<double>(bytes.size());
}

void BM_DecodeOwnFormat(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = OwnFormat();
    RVT_COMPRESSED_IMAGE image{bytes.data(), static_cast<uint32_t>(bytes.size())};
    TimeDecode(state, bytes, [&image](uint32_t* pOut) {
        return CTAVOImageFormat::DecompressImage(pOut, kWidth, &image) != 0;
    });
}
BENCHMARK(BM_DecodeOwnFormat);

void BM_DecodePngLibpng(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = Png();
    TimeDecode(state, bytes, [&bytes](uint32_t* pOut) { return DecodePng(bytes, pOut); });
}
BENCHMARK(BM_DecodePngLibpng);

// Floor: copying the decoded pixels once.
void BM_MemcpyPixels(benchmark::State& state)
{
    TimeMemcpy(state, kPixels * 4);
    state.SetItemsProcessed(state.iterations() * kPixels);
    state.counters["bytes"] = static_cast<double>(kPixels * 4);
}
BENCHMARK(BM_MemcpyPixels);
}  // namespace
