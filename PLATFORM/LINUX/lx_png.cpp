#include "lx_png.h"

#include <errno.h>
#include <png.h>
#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

// libpng reports errors by longjmp; the message is kept for the caller.
void OnPngError(png_structp pPng, png_const_charp pszMessage)
{
    auto* pWhy = static_cast<std::string*>(png_get_error_ptr(pPng));
    if (pWhy)
        *pWhy = pszMessage;
    png_longjmp(pPng, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Kept out of the function that calls setjmp: locals changed after setjmp
// would be indeterminate after the longjmp.
int WriteRows(FILE* pFile, const std::vector<unsigned char*>& rows, int iWidth, int iHeight, std::string* pWhy)
{
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, pWhy, OnPngError, OnPngWarning);
    if (pPng == nullptr)
        return 0;
    png_infop pInfo = png_create_info_struct(pPng);
    if (pInfo == nullptr) {
        png_destroy_write_struct(&pPng, nullptr);
        return 0;
    }
    if (setjmp(png_jmpbuf(pPng))) {
        png_destroy_write_struct(&pPng, &pInfo);
        return 0;
    }
    png_init_io(pPng, pFile);
    png_set_IHDR(pPng, pInfo, (png_uint_32)iWidth, (png_uint_32)iHeight, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(pPng, pInfo);
    png_set_filler(pPng, 0, PNG_FILLER_AFTER);   // rows carry RGBA; the file gets RGB
    png_write_image(pPng, const_cast<png_bytepp>(rows.data()));
    png_write_end(pPng, nullptr);
    png_destroy_write_struct(&pPng, &pInfo);
    return 1;
}

}  // namespace

int LxWritePNG(const char* pszPath, const unsigned char* pRGBA, int iWidth, int iHeight, std::string* pError)
{
    std::string why;
    if (pszPath == nullptr || pRGBA == nullptr || iWidth <= 0 || iHeight <= 0) {
        if (pError)
            *pError = "no image to write";
        return 0;
    }
    FILE* pFile = fopen(pszPath, "wb");
    if (pFile == nullptr) {
        if (pError)
            *pError = std::string(pszPath) + ": " + strerror(errno);
        return 0;
    }
    std::vector<unsigned char*> rows((size_t)iHeight);
    for (int y = 0; y < iHeight; ++y)
        rows[(size_t)y] = const_cast<unsigned char*>(pRGBA) + (size_t)y * iWidth * 4;
    int bOk = WriteRows(pFile, rows, iWidth, iHeight, &why);
    if (fclose(pFile) != 0 && bOk) {
        bOk = 0;
        why = strerror(errno);
    }
    if (!bOk) {
        remove(pszPath);
        if (pError)
            *pError = std::string(pszPath) + ": " + (why.empty() ? "cannot write PNG" : why);
    }
    return bOk;
}
