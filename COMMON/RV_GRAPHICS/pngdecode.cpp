// CPNGDecoder: libpng over a memory source, rows decoded straight into the
// canvas.
#include "pngdecode.h"

#include "dibdc.h"
#include "rvlog.h"

#include <png.h>
#include <setjmp.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <new>

namespace {

enum { SIGNATURE_BYTES = 8 };

// Everything a failed decode must free. It lives in the caller's frame and is
// reached through a pointer only, so its fields are read from memory after
// libpng's longjmp and never from stale registers.
struct PNG_DECODE
{
    png_structp png;
    png_infop info;
    RVT_PNG_SOURCE* pSource;
    CAlphaDIB* pDib;
    png_bytep* ppRows;
    const char* pszFailure;
};

void ReadData(png_structp png, png_bytep pOut, size_t n)
{
    auto* pSource = static_cast<RVT_PNG_SOURCE*>(png_get_io_ptr(png));
    // libpng asks for chunk-sized pieces; a request beyond int is beyond any
    // source we hold anyway.
    const int iWanted = n > (size_t)pSource->iSize ? -1 : (int)n;
    if (iWanted < 0 || CPNGDecoder::PNGRead(pSource, pOut, iWanted) != iWanted)
        png_error(png, "the data ends inside the file");
}

void OnError(png_structp png, png_const_charp pszMessage)
{
    RVLog(RV_LOG_WARN, "PNG image refused: %s", pszMessage);
    png_longjmp(png, 1);
}

// Ancillary oddities (unknown chunks, an odd gamma value) do not stop a
// decode; the controller cannot act on them either.
void OnWarning(png_structp, png_const_charp pszMessage)
{
    RVLog(RV_LOG_DEBUG, "PNG warning: %s", pszMessage);
}

// Rows of palette indexes (one byte each, at the start of each canvas row)
// become canvas pixels, in place from the right so that no index is
// overwritten before it is read. 0 when an index lies past the palette.
int ExpandPalette(PNG_DECODE* pd)
{
    png_colorp pPalette = nullptr;
    int nPalette = 0;
    if (!png_get_PLTE(pd->png, pd->info, &pPalette, &nPalette) || nPalette < 1)
        return 0;
    png_bytep pAlpha = nullptr;
    int nAlpha = 0;
    if (!png_get_tRNS(pd->png, pd->info, &pAlpha, &nAlpha, nullptr))
        nAlpha = 0;
    uint32_t colours[256];
    for (int i = 0; i < nPalette && i < 256; i++) {
        const uint32_t a = i < nAlpha ? pAlpha[i] : 255;
        colours[i] = pPalette[i].red | pPalette[i].green << 8 | pPalette[i].blue << 16 | a << 24;
    }
    CAlphaDIB* pDib = pd->pDib;
    for (int y = 0; y < pDib->Height(); y++) {
        uint32_t* pRow = pDib->Pixel(0, y);
        const unsigned char* pIndex = reinterpret_cast<const unsigned char*>(pRow);
        for (int x = pDib->Width() - 1; x >= 0; x--) {
            const int i = pIndex[x];
            if (i >= nPalette)
                return 0;
            pRow[x] = colours[i];
        }
    }
    return 1;
}

// Decodes into pd->pDib; 0 on any failure, with whatever was allocated left
// in *pd for the caller to free.
int Decode(PNG_DECODE* pd)
{
    if (setjmp(png_jmpbuf(pd->png)))
        return 0;
    png_set_read_fn(pd->png, pd->pSource, ReadData);
    png_set_sig_bytes(pd->png, SIGNATURE_BYTES);
    png_set_user_limits(pd->png, CPNGDecoder::MAX_SIDE, CPNGDecoder::MAX_SIDE);
    // What libpng would only warn about (a palette index past the palette,
    // surplus image data) is damage all the same.
    png_set_benign_errors(pd->png, 0);
    png_read_info(pd->png, pd->info);

    png_uint_32 w = 0, h = 0;
    int iDepth = 0, iColorType = 0, iInterlace = 0;
    png_get_IHDR(pd->png, pd->info, &w, &h, &iDepth, &iColorType, &iInterlace, nullptr, nullptr);
    if (w < 1 || h < 1 || w > CPNGDecoder::MAX_SIDE || h > CPNGDecoder::MAX_SIDE) {
        pd->pszFailure = "size out of range";
        return 0;
    }
    // Transparency comes from an alpha channel or a tRNS chunk; either way
    // it ends up in the alpha byte.
    const int bAlpha = (iColorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(pd->png, pd->info, PNG_INFO_tRNS);
    const int bPalette = iColorType == PNG_COLOR_TYPE_PALETTE;
    if (bPalette) {
        // One index per byte; the colours are looked up here, so that an
        // index past the palette is caught (libpng would draw it black).
        png_set_packing(pd->png);
    } else {
        png_set_expand(pd->png);
        png_set_strip_16(pd->png);
        png_set_gray_to_rgb(pd->png);
        if (!bAlpha)
            png_set_filler(pd->png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(pd->png);
    png_read_update_info(pd->png, pd->info);
    if (png_get_rowbytes(pd->png, pd->info) != (size_t)w * (bPalette ? 1 : 4)) {
        pd->pszFailure = "unexpected row layout";
        return 0;
    }

    pd->pDib = new (std::nothrow) CAlphaDIB((int)w, (int)h, 0, 0, 0, 0);
    pd->ppRows = static_cast<png_bytep*>(malloc(h * sizeof(png_bytep)));
    if (!pd->pDib || !pd->pDib->IsValid() || !pd->ppRows) {
        pd->pszFailure = "out of memory";
        return 0;
    }
    for (png_uint_32 y = 0; y < h; y++)
        pd->ppRows[y] = reinterpret_cast<png_bytep>(pd->pDib->Pixel(0, (int)y));
    png_read_image(pd->png, pd->ppRows);
    // Reads up to the end chunk: checksums of the last data and a cut file
    // are only seen here.
    png_read_end(pd->png, nullptr);
    if (bPalette && !ExpandPalette(pd)) {
        pd->pszFailure = "palette index out of range";
        return 0;
    }
    if (bAlpha)
        pd->pDib->MakePreMult();
    // The pitch columns go up with the texture: clear, not leftover memory.
    CAlphaDIB* pDib = pd->pDib;
    for (int y = 0; y < pDib->DY() && pDib->DX() > pDib->Width(); y++)
        memset(pDib->Pixel(pDib->Width(), y), 0, (size_t)(pDib->DX() - pDib->Width()) * 4);
    return 1;
}

}  // namespace

int CPNGDecoder::PNGRead(RVT_PNG_SOURCE* pSource, unsigned char* pOut, int iWanted)
{
    if (!pSource || !pOut || iWanted <= 0 || pSource->iPos < 0 || pSource->iPos >= pSource->iSize)
        return 0;
    const int iLeft = pSource->iSize - pSource->iPos;
    const int n = iWanted < iLeft ? iWanted : iLeft;
    memcpy(pOut, pSource->pData + pSource->iPos, (size_t)n);
    pSource->iPos += n;
    return n;
}

CAlphaDIB* CPNGDecoder::CreateDIB(const unsigned char* pData, int iLength)
{
    if (!pData || iLength < SIGNATURE_BYTES || png_sig_cmp(pData, 0, SIGNATURE_BYTES) != 0) {
        RVLog(RV_LOG_WARN, "PNG image refused: no PNG signature");
        return nullptr;
    }
    RVT_PNG_SOURCE source = {pData, iLength, SIGNATURE_BYTES};
    PNG_DECODE d = {};
    d.pSource = &source;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (d.png)
        d.info = png_create_info_struct(d.png);
    int bDone = d.png && d.info && Decode(&d);
    if (!bDone && d.pszFailure)
        RVLog(RV_LOG_WARN, "PNG image refused: %s", d.pszFailure);
    png_destroy_read_struct(d.png ? &d.png : nullptr, d.info ? &d.info : nullptr, nullptr);
    free(d.ppRows);
    if (!bDone) {
        delete d.pDib;
        return nullptr;
    }
    return d.pDib;
}
