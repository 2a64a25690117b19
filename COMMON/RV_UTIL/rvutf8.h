// UTF-8 for the places where text crosses into or out of the engine as bytes:
// status texts handed to the user interface, the login key of a password that
// has no 8-bit form, text from the window system and the command line, and the
// simulated controller's scripts and records.
//
// Valid UTF-8 here is what the standard allows: no overlong forms, no
// surrogates, nothing above U+10FFFF. Callers differ in what they do with
// anything else, so the decoder comes in a strict and a replacing form.
#pragma once

#include <stddef.h>

#include <string>

class CRVString;

// Appends code point c as UTF-8; a value UTF-8 cannot carry (a surrogate,
// anything above U+10FFFF) is appended as U+FFFD.
void RVAppendUtf8(std::string* pOut, char32_t c);

// Narrow strings are read as ISO 8859-1, wide ones as code points; code points
// that UTF-8 cannot carry become U+FFFD.
std::string RVToUtf8(const CRVString& s);

// The code point at the start of p[0..n): its length in bytes (1 to 4) with
// the value in *pc, or 0 when the bytes there are not valid UTF-8 (a stray or
// invalid byte, a sequence cut short, an overlong form, a surrogate, a value
// above U+10FFFF) or n is 0.
int RVUtf8Next(const char* p, size_t n, char32_t* pc);

// Strict: 1 with every code point of p[0..n) in *pOut, or 0 at the first
// invalid sequence (*pOut is then undefined).
int RVUtf8Decode(const char* p, size_t n, std::u32string* pOut);

// Replacing: a byte that does not start a valid sequence gives U+FFFD and
// decoding goes on from the next byte, so nothing is ever refused.
std::wstring RVUtf8ToWide(const char* p, size_t n);

// The same as a wide engine string: a password or system name as typed,
// whose characters, not its UTF-8 bytes, are what the controller compares.
CRVString RVWideFromUtf8(const std::string& s);
