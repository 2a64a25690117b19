// UTF-8 text of an engine string, for the places where text leaves the engine
// as bytes: status texts handed to the user interface, and the login key of a
// password that has no 8-bit form.
#pragma once

#include <string>

class CRVString;

// Narrow strings are read as ISO 8859-1, wide ones as code points; code points
// that UTF-8 cannot carry (surrogates, above U+10FFFF) become U+FFFD.
std::string RVToUtf8(const CRVString& s);
