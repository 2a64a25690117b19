// Arbitrary bytes through both UTF-8 decoders: they must agree wherever the
// input is valid, and what they give must encode back without loss.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "rvutf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* p = reinterpret_cast<const char*>(data);
    const std::wstring replaced = RVUtf8ToWide(p, size);
    if (replaced.size() > size)   // at most one code point per byte
        __builtin_trap();
    std::string encoded;
    for (wchar_t c : replaced) {
        if ((uint32_t)c > 0x10FFFF || ((uint32_t)c >= 0xD800 && (uint32_t)c <= 0xDFFF))
            __builtin_trap();
        RVAppendUtf8(&encoded, (char32_t)c);
    }
    // The repaired text is valid and reads back as itself.
    std::u32string again;
    if (!RVUtf8Decode(encoded.data(), encoded.size(), &again) || again.size() != replaced.size())
        __builtin_trap();
    for (size_t i = 0; i < again.size(); i++)
        if (again[i] != (char32_t)replaced[i])
            __builtin_trap();

    std::u32string strict;
    if (RVUtf8Decode(p, size, &strict)) {
        // Valid input: both decoders agree and the encoder restores every byte.
        if (encoded != std::string(p, size) || strict != again)
            __builtin_trap();
    }
    return 0;
}
