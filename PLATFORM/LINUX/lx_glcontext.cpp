#include "lx_glcontext.h"

#include <GL/gl.h>
#include <string.h>

#include <algorithm>

void LxFlipRows(unsigned char* pData, int iRowBytes, int iRows)
{
    if (pData == nullptr || iRowBytes <= 0)
        return;
    for (int top = 0, bottom = iRows - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(pData + (size_t)top * iRowBytes, pData + (size_t)(top + 1) * iRowBytes,
                         pData + (size_t)bottom * iRowBytes);
}

int CLxGLContext::ReadPixels(std::vector<unsigned char>* pRGBA) const
{
    const int w = Width(), h = Height();
    if (pRGBA == nullptr || w <= 0 || h <= 0 || !IsCurrent())
        return 0;
    pRGBA->assign((size_t)w * h * 4, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    while (glGetError() != GL_NO_ERROR) {
    }
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pRGBA->data());
    if (glGetError() != GL_NO_ERROR)
        return 0;
    LxFlipRows(pRGBA->data(), w * 4, h);
    return 1;
}
