// A synthetic user-interface picture of the kind the controller sends as a
// page background: a row-by-row gradient, a title bar with an icon, rows of
// rounded buttons with shaded faces, soft corners and label marks, and a
// translucent status panel. Deterministic for a given size. Pixels in canvas
// byte order (R, G, B, A), rows of width pixels without padding.
// Shared by the image format tests and benchmarks.
#pragma once

#include <stdint.h>

#include <algorithm>
#include <vector>

namespace ui_art
{
inline uint32_t Rgba(int r, int g, int b, int a = 255)
{
    return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16 |
           static_cast<uint32_t>(a) << 24;
}

// Mix of two pixels, w of 16 parts the first; all four channels.
inline uint32_t Mix(uint32_t a, uint32_t b, int w)
{
    uint32_t out = 0;
    for (int s = 0; s < 32; s += 8) {
        int ca = (a >> s) & 0xFF, cb = (b >> s) & 0xFF;
        out |= static_cast<uint32_t>((ca * w + cb * (16 - w)) / 16) << s;
    }
    return out;
}

// Coverage in sixteenths of pixel (x, y) by a rectangle with corners of
// radius r, measured from the nearest corner centre.
inline int RoundRectCover(int x, int y, int x0, int y0, int w, int h, int r)
{
    if (x < x0 || y < y0 || x >= x0 + w || y >= y0 + h)
        return 0;
    int cx = std::clamp(x, x0 + r, x0 + w - 1 - r);
    int cy = std::clamp(y, y0 + r, y0 + h - 1 - r);
    int dx = x - cx, dy = y - cy;
    int d2 = dx * dx + dy * dy;  // squared distance, in pixels
    if (d2 <= (r - 1) * (r - 1))
        return 16;
    if (d2 >= r * r)
        return 0;
    return 16 * (r * r - d2) / (r * r - (r - 1) * (r - 1));
}

inline std::vector<uint32_t> MakeUIArt(int width, int height)
{
    std::vector<uint32_t> px(static_cast<size_t>(width) * height);
    auto at = [&](int x, int y) -> uint32_t& { return px[static_cast<size_t>(y) * width + x]; };
    const int bar = std::max(1, height / 12);

    for (int y = 0; y < height; y++) {
        int t = y * 255 / std::max(1, height - 1);
        uint32_t c = y < bar ? Rgba(40, 40, 48) : Rgba(20 - t * 15 / 255, 30 - t * 25 / 255, 60 - t * 45 / 255);
        if (y == bar - 1)
            c = Rgba(90, 90, 110);
        for (int x = 0; x < width; x++)
            at(x, y) = c;
    }

    // Icon in the title bar: a soft disc.
    const int ir = std::max(2, bar / 3);
    for (int y = 0; y < bar; y++)
        for (int x = 0; x < std::min(width, 4 * ir); x++) {
            int k = RoundRectCover(x, y, ir, bar / 2 - ir, 2 * ir, 2 * ir, ir);
            if (k)
                at(x, y) = Mix(Rgba(230, 180, 40), at(x, y), k);
        }

    // Buttons: a 6 x 4 grid with shaded faces, soft corners and label marks.
    const uint32_t tops[3] = {Rgba(90, 140, 220), Rgba(200, 90, 80), Rgba(110, 180, 110)};
    const int cols = 6, rows = 4;
    const int cw = width / cols, ch = (height - bar) * 3 / 4 / rows;
    for (int j = 0; j < rows; j++)
        for (int i = 0; i < cols; i++) {
            const int x0 = i * cw + cw / 10, y0 = bar + j * ch + ch / 8;
            const int w = cw * 8 / 10, h = ch * 3 / 4, r = std::min(12, std::min(w, h) / 3);
            const uint32_t top = tops[(i + j) % 3];
            for (int y = y0; y < y0 + h && y < height; y++) {
                uint32_t face = Mix(top, Rgba(10, 10, 20), 16 - (y - y0) * 8 / std::max(1, h));
                for (int x = x0; x < x0 + w && x < width; x++) {
                    int k = RoundRectCover(x, y, x0, y0, w, h, r);
                    if (k)
                        at(x, y) = Mix(face, at(x, y), k);
                }
            }
            // Label: glyph-like 5 x 7 marks in white with a grey shadow.
            const int ly = y0 + h / 2 - 4, lx = x0 + w / 5;
            for (int g = 0; g < 6; g++) {
                uint32_t bits = (i * 7 + j * 13 + g * 31) * 2654435761u;
                for (int gy = 0; gy < 7; gy++)
                    for (int gx = 0; gx < 5; gx++) {
                        if (!((bits >> ((gy * 5 + gx) % 32)) & 1))
                            continue;
                        int x = lx + g * 7 + gx, y = ly + gy;
                        if (x + 1 < width && y + 1 < height) {
                            at(x + 1, y + 1) = Rgba(60, 60, 60);
                            at(x, y) = Rgba(250, 250, 250);
                        }
                    }
            }
        }

    // Translucent status panel along the bottom.
    for (int y = height - height / 10; y < height; y++)
        for (int x = 0; x < width; x++)
            at(x, y) = (at(x, y) & 0x00FFFFFF) | (static_cast<uint32_t>(0xC0) << 24);
    return px;
}
}  // namespace ui_art
