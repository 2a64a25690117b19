// Reading a PNG back as 8-bit RGB rows (top first), for screenshot tests.
#pragma once

#include <png.h>
#include <string.h>

#include <string>
#include <vector>

struct PNG_RGB
{
    int iWidth = 0;
    int iHeight = 0;
    std::vector<unsigned char> rgb;

    // 0x00RRGGBB at (x, y).
    unsigned int At(int x, int y) const
    {
        const unsigned char* p = &rgb[((size_t)y * (size_t)iWidth + (size_t)x) * 3];
        return (unsigned int)p[0] << 16 | (unsigned int)p[1] << 8 | p[2];
    }
};

inline bool ReadPNGFile(const std::string& sPath, PNG_RGB* pOut)
{
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, sPath.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    pOut->iWidth = (int)image.width;
    pOut->iHeight = (int)image.height;
    pOut->rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, pOut->rgb.data(), 0, nullptr) != 0;
}
