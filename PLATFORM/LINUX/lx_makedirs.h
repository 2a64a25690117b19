// mkdir -p for the viewer's own folders (settings, cache).
#pragma once

#include <string>

// Makes every missing level of sDir with mode 0700: what they hold is the
// user's own. 1 when sDir is a directory afterwards; otherwise 0 with the
// path that failed and why in *pError.
int LxMakeDirs(const std::string& sDir, std::string* pError);
