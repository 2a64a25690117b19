// 4x4 matrix helpers for the camera and the surfaces' model-view matrices.
//
// Matrices are 16 floats in column-major order: element (row r, column c) is
// at index c * 4 + r and the translation sits at 12, 13, 14, which is what
// glUniformMatrix4fv takes untransposed. "out = in x M" means the new
// transform M acts on vertices before the old one.
#pragma once

void MatrixSetIdentity(float* m);
// out = a x b; out must not alias a or b.
void MatrixMultiply(float* out, const float* a, const float* b);
void MatrixOrtho(float left, float right, float bottom, float top, float nearZ, float farZ, float* m);
// A frustum whose depth terms keep the positive signs the camera was tuned
// with (m10 = (n + f) / (f - n), m14 = 2fn / (f - n)); depth is never tested.
void MatrixFrustum(float left, float right, float bottom, float top, float nearZ, float farZ, float* m);
// Scales a 3-vector to unit length; a zero vector stays as it is.
void MatrixNormalizeVector(float* v);
// out = a x b (cross product), not normalised.
void MatrixComputeNormalOfPlane(const float* a, const float* b, float* out);
void MatrixLookAt(float* m, float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ,
                  float upX, float upY, float upZ);
// m = m x T(x, y, z), in place.
void MatrixTranslate(float x, float y, float z, float* m);
// out = in x T(x, y, z); out may be in.
void MatrixTranslate(float x, float y, float z, const float* in, float* out);
// out = in x S(x, y, z); out may be in.
void MatrixScale(float x, float y, float z, const float* in, float* out);
// out = in x R(degrees), right-handed about the axis; out may be in.
void MatrixRotateX(float degrees, const float* in, float* out);
void MatrixRotateY(float degrees, const float* in, float* out);
void MatrixRotateZ(float degrees, const float* in, float* out);
