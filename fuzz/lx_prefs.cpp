// The preferences file as a user or a crash may leave it: whatever parses
// must come back unchanged once written again, and any text survives
// escaping.
#include <stddef.h>
#include <stdint.h>

#include <map>
#include <string>

#include "lx_prefs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string in(reinterpret_cast<const char*>(data), size);
    std::map<std::string, std::string> values;
    CLxPrefs::Parse(in, &values);
    std::map<std::string, std::string> again;
    const std::string sFormatted = CLxPrefs::Format(values);
    if (CLxPrefs::Parse(sFormatted, &again) != (int)values.size() || again != values)
        __builtin_trap();

    std::string sBack;
    if (!CLxPrefs::Unescape(CLxPrefs::Escape(in), &sBack) || sBack != in)
        __builtin_trap();
    // An escaped text is one line without a bare '='.
    const std::string sEscaped = CLxPrefs::Escape(in);
    for (size_t i = 0; i < sEscaped.size(); ++i) {
        if (sEscaped[i] == '\n' || sEscaped[i] == '\r')
            __builtin_trap();
        if (sEscaped[i] == '\\')
            ++i;
        else if (sEscaped[i] == '=')
            __builtin_trap();
    }
    return 0;
}
