// Internals shared by the CRVString sources: character access for both widths,
// the size limits in characters, and the rounded allocation. Not for use
// outside the string code.
#pragma once

#include <new>
#include <stddef.h>

#include "rvstring.h"

namespace rvstr {

const int kMaxNarrowChars = RVSTRING_MAX_BYTES - 1;
const int kMaxWideChars = RVSTRING_MAX_BYTES / 4 - 1;

inline int CharSize(CRVSTRING_TYPE eType)
{
    return eType == TYPE_CHAR ? 1 : 4;
}

inline int MaxChars(CRVSTRING_TYPE eType)
{
    return eType == TYPE_CHAR ? kMaxNarrowChars : kMaxWideChars;
}

// Character i of a text of either width, as an unsigned code point.
inline unsigned int Unit(const void* p, CRVSTRING_TYPE eType, size_t i)
{
    if (eType == TYPE_CHAR)
        return static_cast<const unsigned char*>(p)[i];
    return static_cast<unsigned int>(static_cast<const wchar_t*>(p)[i]);
}

inline void PutUnit(void* p, CRVSTRING_TYPE eType, size_t i, unsigned int ch)
{
    if (eType == TYPE_CHAR)
        static_cast<unsigned char*>(p)[i] = static_cast<unsigned char>(ch);
    else
        static_cast<wchar_t*>(p)[i] = static_cast<wchar_t>(ch);
}

// Rounded allocation shared by Alloc and the string internals; null on failure.
inline unsigned char* AllocRounded(size_t nBytes)
{
    size_t rounded = (nBytes + 15) & ~static_cast<size_t>(15);
    if (rounded == 0)
        rounded = 16;
    return new (std::nothrow) unsigned char[rounded];
}

} // namespace rvstr
