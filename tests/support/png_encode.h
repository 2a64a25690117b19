// PNG files made in memory by libpng, for tests that send images: 8-bit RGBA,
// RGB or grey pixels in, the file's bytes out.
#pragma once

#include <png.h>
#include <string.h>

#include <vector>

// Pixels as R, G, B, A bytes (rows top first, no padding); eFormat is
// PNG_FORMAT_RGBA, PNG_FORMAT_RGB or PNG_FORMAT_GRAY, and for the last two the
// alpha (and for grey the green and blue) bytes are dropped. Empty on failure.
inline std::vector<unsigned char> EncodePNG(const std::vector<unsigned char>& rgba, int iWidth, int iHeight,
                                            unsigned int eFormat = PNG_FORMAT_RGBA)
{
    const int channels = PNG_IMAGE_SAMPLE_CHANNELS(eFormat);
    std::vector<unsigned char> px;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4)
        for (int c = 0; c < channels; c++)
            px.push_back(rgba[i + (size_t)c]);
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)iWidth;
    image.height = (png_uint_32)iHeight;
    image.format = eFormat;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, px.data(), 0, nullptr))
        return {};
    std::vector<unsigned char> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, px.data(), 0, nullptr))
        return {};
    out.resize(size);
    return out;
}
