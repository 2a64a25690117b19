#include "lx_png.h"

#include <png.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "scoped_temp_dir.h"

namespace {

// Reads a PNG back with libpng's simplified reader as RGB.
bool ReadBack(const std::string& path, int* pW, int* pH, std::vector<unsigned char>* pRGB)
{
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    *pW = (int)image.width;
    *pH = (int)image.height;
    const bool bHadAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGB;
    pRGB->resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pRGB->data(), 0, nullptr))
        return false;
    return !bHadAlpha;
}

TEST(LxWritePNG, RoundTripsPixelsTopRowFirstWithoutAlpha)
{
    ScopedTempDir dir;
    ASSERT_TRUE(dir.ok());
    const int w = 3, h = 2;
    // Alpha varies on purpose: the file keeps the colour, not the alpha.
    const unsigned char rgba[w * h * 4] = {
        255, 0, 0, 255,   0, 255, 0, 10,   0, 0, 255, 0,
        1, 2, 3, 255,     100, 150, 200, 128, 255, 255, 255, 255,
    };
    std::string why;
    ASSERT_TRUE(LxWritePNG((dir / "shot.png").c_str(), rgba, w, h, &why)) << why;
    int rw = 0, rh = 0;
    std::vector<unsigned char> rgb;
    ASSERT_TRUE(ReadBack(dir / "shot.png", &rw, &rh, &rgb));
    ASSERT_EQ(w, rw);
    ASSERT_EQ(h, rh);
    for (int i = 0; i < w * h; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(rgba[i * 4 + c], rgb[(size_t)i * 3 + c]) << "pixel " << i << " channel " << c;
}

TEST(LxWritePNG, ReportsFailuresWithAReason)
{
    ScopedTempDir dir;
    ASSERT_TRUE(dir.ok());
    const unsigned char px[4] = {0, 0, 0, 255};
    std::string why;
    EXPECT_FALSE(LxWritePNG((dir / "missing/dir/shot.png").c_str(), px, 1, 1, &why));
    EXPECT_NE(std::string::npos, why.find("missing/dir/shot.png")) << why;
    why.clear();
    EXPECT_FALSE(LxWritePNG((dir / "empty.png").c_str(), px, 0, 1, &why));
    EXPECT_FALSE(why.empty());
    struct stat st;
    EXPECT_NE(0, stat((dir / "empty.png").c_str(), &st));
    EXPECT_FALSE(LxWritePNG(nullptr, px, 1, 1, &why));
}

}  // namespace
