// Text conversions of the simulated controller: scripts, configuration and
// records are UTF-8; the wire carries 8-bit or UTF-16 strings.
#pragma once

#include <stddef.h>

#include <string>

class CRVString;

// Decodes UTF-8 strictly (RVUtf8Decode): scripts and configuration with
// invalid text are refused, not repaired. 1 on success; 0 for invalid input,
// with *pOut undefined.
int SimDecodeUtf8(const char* p, size_t n, std::u32string* pOut);

// A message string from code points: 8-bit when bWide is 0 (every code point
// must be at most U+00FF), else wide (at most U+FFFF, one UTF-16 unit each).
// 0 when a character does not fit or the string is longer than a CRVString
// can hold.
int SimMakeString(const std::u32string& text, int bWide, CRVString* pOut);
// 8-bit when every character allows it, else wide. 0 for invalid UTF-8 or a
// text that is too long.
int SimMakeStringUtf8(const std::string& strUtf8, CRVString* pOut);

// A message string as UTF-8: an 8-bit string's bytes unchanged (they are
// whatever the sender put there), a wide string encoded.
std::string SimToUtf8(const CRVString& s);
