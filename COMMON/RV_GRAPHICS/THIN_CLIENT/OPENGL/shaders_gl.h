// Shared pieces of the program classes: GL headers, vertex sources, and the
// attribute, program and blend set-up every Render repeats.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include "shaders.h"

// The textured vertex shader shared by most programs ("Position" at 0,
// "TexCoordIn" at 1).
extern const char* const g_pszTexturedVertex;
// The same with the unused colour uniform the add-mode and saturation
// programs declare.
extern const char* const g_pszTexturedColorVertex;
// The coloured vertex shader ("a_Position" at 0, "a_Color" at 1).
extern const char* const g_pszColoredVertex;

enum { STRIDE_TEXTURED = 20, STRIDE_COLORED = 16, STRIDE_POSITION = 12 };

// Binds the buffer and points the attributes at it; unused attribute arrays
// are switched off so no stale pointer into another buffer is ever read.
void BindTextured(int iVBO);
void BindColored(int iVBO);
void BindPosition(int iVBO, int iStride);

// glUseProgram and the matrix upload.
void UseProgram(const RVT_PROGRAM& program, const float* pMatrix);

void BlendOn(int iSrc, int iDst);
void BlendOff();

// 0x00RRGGBB channel as 0..1.
inline float Red(unsigned int c) { return ((c >> 16) & 0xFF) / 255.0f; }
inline float Green(unsigned int c) { return ((c >> 8) & 0xFF) / 255.0f; }
inline float Blue(unsigned int c) { return (c & 0xFF) / 255.0f; }
