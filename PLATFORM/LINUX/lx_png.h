// Writing screenshots as PNG files.
#pragma once

#include <string>

// Writes iWidth x iHeight RGBA pixels (rows top first, iWidth * 4 bytes each)
// as an 8-bit RGB PNG: a screen has no transparency, so alpha is dropped.
// 1 on success; 0 with a one-line reason in *pError (the file is removed).
int LxWritePNG(const char* pszPath, const unsigned char* pRGBA, int iWidth, int iHeight,
               std::string* pError);
