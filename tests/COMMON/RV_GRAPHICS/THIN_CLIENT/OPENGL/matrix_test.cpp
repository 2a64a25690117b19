#include <gtest/gtest.h>

#include <math.h>

#include "matrix.h"

namespace {

// Column-major: element (row r, column c) at c * 4 + r.
void Apply(const float* m, const float in[4], float out[4])
{
    for (int r = 0; r < 4; r++)
        out[r] = m[r] * in[0] + m[4 + r] * in[1] + m[8 + r] * in[2] + m[12 + r] * in[3];
}

// The point (x, y, 0) in normalised device coordinates.
void Project(const float* m, float x, float y, float* nx, float* ny)
{
    float in[4] = { x, y, 0.0f, 1.0f };
    float out[4];
    Apply(m, in, out);
    *nx = out[0] / out[3];
    *ny = out[1] / out[3];
}

TEST(Matrix, MultiplyAppliesTheRightHandFirst)
{
    float t[16], s[16], ts[16];
    MatrixSetIdentity(t);
    MatrixTranslate(10.0f, 0.0f, 0.0f, t);
    MatrixSetIdentity(s);
    MatrixScale(2.0f, 2.0f, 1.0f, s, s);
    MatrixMultiply(ts, t, s);
    float in[4] = { 1.0f, 1.0f, 0.0f, 1.0f };
    float out[4];
    Apply(ts, in, out);
    EXPECT_FLOAT_EQ(out[0], 12.0f);   // scaled first, then moved
    EXPECT_FLOAT_EQ(out[1], 2.0f);
}

TEST(Matrix, FrustumKeepsItsPositiveDepthTerms)
{
    float m[16];
    MatrixFrustum(-200.0f, 200.0f, 150.0f, -150.0f, 1000.0f, 50000.0f, m);
    EXPECT_FLOAT_EQ(m[0], 2000.0f / 400.0f);
    EXPECT_FLOAT_EQ(m[5], 2000.0f / -300.0f);
    EXPECT_FLOAT_EQ(m[10], 51000.0f / 49000.0f);
    EXPECT_FLOAT_EQ(m[11], -1.0f);
    EXPECT_FLOAT_EQ(m[14], 2.0f * 50000.0f * 1000.0f / 49000.0f);
    EXPECT_FLOAT_EQ(m[15], 0.0f);
}

TEST(Matrix, OrthoMapsTheBoxToTheUnitCube)
{
    float m[16];
    MatrixOrtho(0.0f, 800.0f, 600.0f, 0.0f, -1.0f, 1.0f, m);
    float x, y;
    Project(m, 0.0f, 0.0f, &x, &y);
    EXPECT_NEAR(x, -1.0f, 1e-6);
    EXPECT_NEAR(y, -1.0f, 1e-6);
    Project(m, 800.0f, 600.0f, &x, &y);
    EXPECT_NEAR(x, 1.0f, 1e-6);
    EXPECT_NEAR(y, 1.0f, 1e-6);
}

TEST(Matrix, VectorHelpers)
{
    float zero[3] = { 0.0f, 0.0f, 0.0f };
    MatrixNormalizeVector(zero);
    EXPECT_EQ(zero[0], 0.0f);
    EXPECT_EQ(zero[2], 0.0f);
    float v[3] = { 3.0f, 0.0f, 4.0f };
    MatrixNormalizeVector(v);
    EXPECT_FLOAT_EQ(v[0], 0.6f);
    EXPECT_FLOAT_EQ(v[2], 0.8f);
    float a[3] = { 1.0f, 0.0f, 0.0f }, b[3] = { 0.0f, 1.0f, 0.0f }, c[3];
    MatrixComputeNormalOfPlane(a, b, c);
    EXPECT_FLOAT_EQ(c[0], 0.0f);
    EXPECT_FLOAT_EQ(c[1], 0.0f);
    EXPECT_FLOAT_EQ(c[2], 1.0f);
}

TEST(Matrix, RotationsAreRightHanded)
{
    float id[16], m[16], out[4];
    MatrixSetIdentity(id);
    float x[4] = { 1.0f, 0.0f, 0.0f, 1.0f };
    float y[4] = { 0.0f, 1.0f, 0.0f, 1.0f };
    float z[4] = { 0.0f, 0.0f, 1.0f, 1.0f };

    MatrixRotateZ(90.0f, id, m);     // x turns to y
    Apply(m, x, out);
    EXPECT_NEAR(out[0], 0.0f, 1e-5);
    EXPECT_NEAR(out[1], 1.0f, 1e-5);
    MatrixRotateX(90.0f, id, m);     // y turns to z
    Apply(m, y, out);
    EXPECT_NEAR(out[1], 0.0f, 1e-5);
    EXPECT_NEAR(out[2], 1.0f, 1e-5);
    MatrixRotateY(90.0f, id, m);     // z turns to x
    Apply(m, z, out);
    EXPECT_NEAR(out[2], 0.0f, 1e-5);
    EXPECT_NEAR(out[0], 1.0f, 1e-5);
}

// The main window's camera: at z = 0 pixel (0, 0) is the top-left corner and
// (W, H) the bottom-right one, y growing down the screen.
TEST(Matrix, CameraMapsPixelsToTheScreenCorners)
{
    const float W = 800.0f, H = 600.0f;
    float view[16], proj[16], pv[16];
    MatrixLookAt(view, 0.0f, 0.0f, 1.5f, 0.0f, 0.0f, -5.0f, 0.0f, 1.0f, 0.0f);
    MatrixFrustum(-W / 4, W / 4, H / 4, -H / 4, 1000.0f, 50000.0f, proj);
    MatrixTranslate(-W / 2, -H / 2, -2000.0f, proj);
    MatrixMultiply(pv, proj, view);

    struct { float x, y, nx, ny; } cases[] = {
        { 0.0f, 0.0f, -1.0f, 1.0f },
        { W, H, 1.0f, -1.0f },
        { W / 2, H / 2, 0.0f, 0.0f },
        { W, 0.0f, 1.0f, 1.0f },
    };
    for (const auto& c : cases) {
        float nx, ny;
        Project(pv, c.x, c.y, &nx, &ny);
        // The eye sits 1.5 units off the plane: within a pixel of the corner.
        EXPECT_NEAR(nx, c.nx, 2.0f / W) << c.x << "," << c.y;
        EXPECT_NEAR(ny, c.ny, 2.0f / H) << c.x << "," << c.y;
    }
}

}  // namespace
