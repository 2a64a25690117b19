// UTF-8 from the window system and the command line (typed text, passwords,
// chosen paths) decoded to the engine's code points.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "lx_utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string in(reinterpret_cast<const char*>(data), size);
    const std::wstring out = LxUtf8ToWide(in);
    // At most one code point per byte, each a Unicode scalar value.
    if (out.size() > in.size())
        __builtin_trap();
    for (wchar_t c : out)
        if ((uint32_t)c > 0x10FFFF || ((uint32_t)c >= 0xD800 && (uint32_t)c <= 0xDFFF))
            __builtin_trap();
    return 0;
}
