// CPNGDecoder::CreateDIB (libpng into a canvas, with the checks and the
// premultiplication the viewer needs) against bare libpng decoding the same
// file to RGBA rows (the simplified API). The files are a 1024 x 576
// user-interface picture written by libpng as RGB, as RGBA and as grey.
// Items are pixels.
#include "dibdc.h"
#include "pngdecode.h"
#include "../tests/support/png_encode.h"
#include "../tests/support/ui_art.h"

#include <benchmark/benchmark.h>
#include <png.h>
#include <string.h>

#include <memory>
#include <vector>

namespace {

const int kWidth = 1024;
const int kHeight = 576;
const char* const kNames[] = {"RGB", "RGBA", "grey"};

const std::vector<unsigned char>& File(int i)
{
    static std::vector<unsigned char> files[3];
    if (files[i].empty()) {
        const std::vector<uint32_t> px = ui_art::MakeUIArt(kWidth, kHeight);
        std::vector<unsigned char> rgba(px.size() * 4);
        memcpy(rgba.data(), px.data(), rgba.size());
        const unsigned int formats[] = {PNG_FORMAT_RGB, PNG_FORMAT_RGBA, PNG_FORMAT_GRAY};
        files[i] = EncodePNG(rgba, kWidth, kHeight, formats[i]);
    }
    return files[i];
}

void BM_CreateDIB(benchmark::State& state)
{
    const std::vector<unsigned char>& bytes = File((int)state.range(0));
    long pixels = 0;
    for (auto _ : state) {
        std::unique_ptr<CAlphaDIB> dib(CPNGDecoder::CreateDIB(bytes.data(), (int)bytes.size()));
        if (!dib) {
            state.SkipWithError("decode failed");
            return;
        }
        pixels = (long)dib->Width() * dib->Height();
        benchmark::DoNotOptimize(dib->Bits());
    }
    state.SetItemsProcessed(state.iterations() * pixels);
    state.SetLabel(kNames[state.range(0)]);
}

void BM_LibpngSimplified(benchmark::State& state)
{
    const std::vector<unsigned char>& bytes = File((int)state.range(0));
    std::vector<unsigned char> out;
    long pixels = 0;
    for (auto _ : state) {
        png_image image;
        memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
            state.SkipWithError("decode failed");
            return;
        }
        image.format = PNG_FORMAT_RGBA;
        out.resize(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, nullptr, out.data(), 0, nullptr)) {
            state.SkipWithError("decode failed");
            return;
        }
        pixels = (long)image.width * image.height;
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * pixels);
    state.SetLabel(kNames[state.range(0)]);
}

}  // namespace

BENCHMARK(BM_CreateDIB)->DenseRange(0, 2);
BENCHMARK(BM_LibpngSimplified)->DenseRange(0, 2);
