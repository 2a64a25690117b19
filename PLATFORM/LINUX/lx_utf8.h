// UTF-8 text from the window system and the command line, as the code points
// the engine's wide strings hold.
#pragma once

#include <string>

// Malformed or cut-short sequences give U+FFFD for their first byte; the
// rest is decoded from the next byte on.
std::wstring LxUtf8ToWide(const std::string& s);
