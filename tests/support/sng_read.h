// Reading the text dumps (.sng) beside the sample PNG files: the header, the
// palette, the transparency chunk and the pixels, turned into the 8-bit
// R, G, B, A values a decoder should produce (16-bit samples keep their high
// byte; transparency from tRNS gives alpha 0 or 255, before any
// premultiplication).
#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct SNG_IMAGE
{
    int iWidth = 0;
    int iHeight = 0;
    bool bTransparency = false;     // an alpha channel or a tRNS chunk
    std::vector<std::array<uint8_t, 4>> pixels;     // rows top first, R G B A
};

namespace sng_detail {

inline int FieldAfter(const std::string& s, const std::string& key)
{
    const size_t at = s.find(key + ":");
    return at == std::string::npos ? -1 : std::stoi(s.substr(at + key.size() + 1));
}

inline std::vector<uint8_t> HexBytes(const std::string& line)
{
    std::string hex;
    for (char c : line)
        if (isxdigit((unsigned char)c))
            hex += c;
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back((uint8_t)std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

// The text between "NAME {" and its "}", or empty.
inline std::string Block(const std::string& text, const std::string& name)
{
    const size_t at = text.find(name + " {");
    if (at == std::string::npos)
        return std::string();
    const size_t open = text.find('{', at);
    const size_t close = text.find('}', open);
    return text.substr(open + 1, close - open - 1);
}

}  // namespace sng_detail

// false when the file cannot be read or has a layout this reader does not know.
inline bool ReadSNG(const std::string& sPath, SNG_IMAGE* pOut)
{
    using namespace sng_detail;
    std::ifstream in(sPath);
    if (!in)
        return false;
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();

    const std::string ihdr = Block(text, "IHDR");
    const int w = FieldAfter(ihdr, "width"), h = FieldAfter(ihdr, "height"), depth = FieldAfter(ihdr, "bitdepth");
    const bool bPalette = ihdr.find("palette") != std::string::npos;
    const bool bColor = ihdr.find("color") != std::string::npos;
    const bool bAlpha = ihdr.find("alpha") != std::string::npos;
    if (w < 1 || h < 1 || depth < 1)
        return false;
    const int channels = bPalette ? 1 : (bColor ? 3 : 1) + (bAlpha ? 1 : 0);
    const int sampleBytes = depth == 16 ? 2 : 1;

    std::vector<std::array<uint8_t, 4>> palette;
    {
        std::istringstream plte(Block(text, "PLTE"));
        std::string line;
        while (std::getline(plte, line)) {
            const size_t open = line.find('('), close = line.find(')');
            if (open == std::string::npos || close == std::string::npos)
                continue;
            std::string inner = line.substr(open + 1, close - open - 1);
            for (char& c : inner)
                if (c == ',')
                    c = ' ';
            std::istringstream v(inner);
            int r, g, b;
            v >> r >> g >> b;
            palette.push_back({(uint8_t)r, (uint8_t)g, (uint8_t)b, 255});
        }
    }

    // Transparency: palette alphas, or the one grey or colour value (in the
    // file's sample scale) that is transparent.
    const std::string trns = Block(text, "tRNS");
    const bool bTRNS = text.find("tRNS {") != std::string::npos;
    int keyGray = -1, keyR = -1, keyG = -1, keyB = -1;
    if (bTRNS && bPalette) {
        std::istringstream v(trns);
        int a;
        for (size_t i = 0; v >> a && i < palette.size(); i++)
            palette[i][3] = (uint8_t)a;
    } else if (bTRNS) {
        keyGray = FieldAfter(trns, "gray");
        keyR = FieldAfter(trns, "red");
        keyG = FieldAfter(trns, "green");
        keyB = FieldAfter(trns, "blue");
    }

    const std::string image = Block(text, "IMAGE");
    const size_t start = image.find("hex");
    if (start == std::string::npos)
        return false;
    std::istringstream rows(image.substr(start + 3));
    std::string line;
    pOut->pixels.clear();
    int rowsRead = 0;
    while (std::getline(rows, line) && rowsRead < h) {
        const std::vector<uint8_t> bytes = HexBytes(line);
        if (bytes.empty())
            continue;
        for (int x = 0; x < w; x++) {
            if (bPalette) {
                // Indexes below 8 bits are packed, first pixel in the high bits.
                const int perByte = 8 / depth;
                const size_t at = (size_t)(x / perByte);
                if (at >= bytes.size())
                    return false;
                const int shift = 8 - depth * (x % perByte + 1);
                const size_t idx = (size_t)((bytes[at] >> shift) & ((1 << depth) - 1));
                if (idx >= palette.size())
                    return false;
                pOut->pixels.push_back(palette[idx]);
                continue;
            }
            const size_t at = (size_t)x * channels * sampleBytes;
            if (at + (size_t)channels * sampleBytes > bytes.size())
                return false;
            int s[4];
            for (int c = 0; c < channels; c++)
                s[c] = sampleBytes == 2 ? bytes[at + 2 * c] << 8 | bytes[at + 2 * c + 1] : bytes[at + c];
            const int hi = sampleBytes == 2 ? 8 : 0;
            std::array<uint8_t, 4> p;
            if (bColor) {
                p = {(uint8_t)(s[0] >> hi), (uint8_t)(s[1] >> hi), (uint8_t)(s[2] >> hi),
                     (uint8_t)(bAlpha ? s[3] >> hi : 255)};
                if (s[0] == keyR && s[1] == keyG && s[2] == keyB)
                    p[3] = 0;
            } else {
                const uint8_t g = (uint8_t)(s[0] >> hi);
                p = {g, g, g, (uint8_t)(bAlpha ? s[1] >> hi : 255)};
                if (s[0] == keyGray)
                    p[3] = 0;
            }
            pOut->pixels.push_back(p);
        }
        rowsRead++;
    }
    if (rowsRead != h)
        return false;
    pOut->iWidth = w;
    pOut->iHeight = h;
    pOut->bTransparency = bAlpha || bTRNS;
    return true;
}
