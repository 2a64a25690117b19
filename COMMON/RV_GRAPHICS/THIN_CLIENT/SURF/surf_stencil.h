// The stencil buffer as a clip for a subtree: a rectangle (under a matrix) is
// written as 1 into the stencil's low bit, then drawing is limited to it.
// Drawing thread only, with the drawing context current and the main
// window's shader programs made.
#pragma once

#include "rvrect.h"

// Writes rc into the stencil (clearing the stencil first when bClearFirst),
// colour writes off while it does.
void StencilWriteRect(const float* pMatrix, const CRVRect& rc, int bClearFirst);
// Limits drawing to where the stencil holds 1; colour writes on, stencil kept.
void StencilUseClip();
// Ends the limit.
void StencilEndClip();
