// PNG files as they arrive from the controller: arbitrary bytes through
// CPNGDecoder. Besides the sanitizers watching libpng and the in-place
// palette expansion, a decoded canvas must have a size within the limits and
// an opaque image must come out with alpha 255 everywhere it was written.
#include "dibdc.h"
#include "pngdecode.h"
#include "rvlog.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        RVSetLogLevel(RV_LOG_OFF);
        return true;
    }();
    (void)quiet;
    if (size > (1u << 20))
        return 0;
    // An exact-size copy, so that any read past the input is seen.
    unsigned char* copy = static_cast<unsigned char*>(malloc(size ? size : 1));
    if (size)
        memcpy(copy, data, size);
    std::unique_ptr<CAlphaDIB> dib(CPNGDecoder::CreateDIB(size ? copy : nullptr, static_cast<int>(size)));
    free(copy);
    if (!dib)
        return 0;
    if (dib->Width() < 1 || dib->Height() < 1 || dib->Width() > CPNGDecoder::MAX_SIDE ||
        dib->Height() > CPNGDecoder::MAX_SIDE)
        __builtin_trap();
    if (!(dib->AlphaFlags() & CAlphaDIB::ALPHA_PREMULTIPLIED)) {
        for (int y = 0; y < dib->Height(); y++)
            for (int x = 0; x < dib->Width(); x++)
                if ((*dib->Pixel(x, y) >> 24) != 0xFF)
                    __builtin_trap();
    }
    return 0;
}
