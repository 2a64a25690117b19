// Vertex buffers on a real (offscreen) GL context: the vertices each kind
// uploads for a known rectangle, when it uploads again, and where its GL name
// goes when it is dropped.
#include "gl_fixture.h"
#include "gl_vbo.h"

#include <thread>

namespace {

struct TV
{
    float x, y, z, u, v;
};
struct CV
{
    float x, y, z;
    unsigned char rgba[4];
};
struct PV
{
    float x, y, z;
};

void ExpectVertices(const std::vector<TV>& got, const std::vector<TV>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); i++) {
        SCOPED_TRACE("vertex " + std::to_string(i));
        EXPECT_FLOAT_EQ(got[i].x, want[i].x);
        EXPECT_FLOAT_EQ(got[i].y, want[i].y);
        EXPECT_FLOAT_EQ(got[i].z, 0.0f);
        EXPECT_FLOAT_EQ(got[i].u, want[i].u);
        EXPECT_FLOAT_EQ(got[i].v, want[i].v);
    }
}

using GLVBO = GLFixture;

TEST_F(GLVBO, QuadUprightAndTurned)
{
    CVBO vbo;
    EXPECT_EQ(vbo.BufferID(), -1);
    vbo.Init(10, 20, 30, 40, 0.5f, 0.25f, 0);
    ASSERT_NE(vbo.BufferID(), -1);
    EXPECT_EQ(vbo.Count(), 4);
    EXPECT_EQ(vbo.Mode(), GL_TRIANGLE_STRIP);
    ExpectVertices(BufferContents<TV>(vbo.BufferID(), 4),
                   {{10, 20, 0, 0, 0}, {10, 60, 0, 0, 0.25f}, {40, 20, 0, 0.5f, 0}, {40, 60, 0, 0.5f, 0.25f}});

    // Turned by 180 degrees: same corners, texture from the far corner.
    vbo.Init(10, 20, 30, 40, 0.5f, 0.25f, 1);
    ExpectVertices(BufferContents<TV>(vbo.BufferID(), 4),
                   {{10, 20, 0, 0.5f, 0.25f}, {10, 60, 0, 0.5f, 0}, {40, 20, 0, 0, 0.25f}, {40, 60, 0, 0, 0}});
}

TEST_F(GLVBO, QuadUploadsOnlyWhenAnInputChanges)
{
    CVBO vbo;
    vbo.Init(0, 0, 8, 8, 1.0f, 1.0f, 0);
    const int id = vbo.BufferID();
    vbo.Init(0, 0, 8, 8, 1.0f, 1.0f, 0);
    EXPECT_EQ(vbo.Uploads(), 1u);
    struct CHANGE
    {
        const char* what;
        int x, y, w, h;
        float u, v;
        int rot;
    } changes[] = {
        {"x", 1, 0, 8, 8, 1, 1, 0},      {"y", 1, 1, 8, 8, 1, 1, 0},       {"width", 1, 1, 9, 8, 1, 1, 0},
        {"height", 1, 1, 9, 9, 1, 1, 0}, {"umax", 1, 1, 9, 9, .5f, 1, 0},  {"vmax", 1, 1, 9, 9, .5f, .5f, 0},
        {"rotated", 1, 1, 9, 9, .5f, .5f, 1},
    };
    unsigned int n = 1;
    for (const CHANGE& c : changes) {
        SCOPED_TRACE(c.what);
        vbo.Init(c.x, c.y, c.w, c.h, c.u, c.v, c.rot);
        EXPECT_EQ(vbo.Uploads(), ++n);
        vbo.Init(c.x, c.y, c.w, c.h, c.u, c.v, c.rot);
        EXPECT_EQ(vbo.Uploads(), n);
    }
    EXPECT_EQ(vbo.BufferID(), id);   // rewritten in place

    // The (0, 0) form always rewrites.
    vbo.Init(5, 6, 0.75f, 0.5f);
    vbo.Init(5, 6, 0.75f, 0.5f);
    EXPECT_EQ(vbo.Uploads(), n + 2);
    ExpectVertices(BufferContents<TV>(vbo.BufferID(), 4),
                   {{0, 0, 0, 0, 0}, {0, 6, 0, 0, 0.5f}, {5, 0, 0, 0.75f, 0}, {5, 6, 0, 0.75f, 0.5f}});
}

TEST_F(GLVBO, ArraysGiveOneVertexEach)
{
    const float u[3] = {0, 1, 0.5f}, v[3] = {0, 0, 1}, x[3] = {1, 2, 3}, y[3] = {4, 5, 6};
    CVBO vbo(u, v, x, y, 3);
    EXPECT_EQ(vbo.Count(), 3);
    ExpectVertices(BufferContents<TV>(vbo.BufferID(), 3), {{1, 4, 0, 0, 0}, {2, 5, 0, 1, 0}, {3, 6, 0, 0.5f, 1}});
}

TEST_F(GLVBO, ThreeSliceKeepsItsCapsAndClampsThem)
{
    struct CASE
    {
        const char* what;
        int w, left, right, L, R;
    } cases[] = {
        {"caps as given", 100, 10, 20, 10, 20},
        {"left cap beyond half the width", 40, 30, 5, 20, 5},
        {"right cap beyond what is left", 40, 10, 35, 10, 29},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.what);
        CVBO vbo;
        // Image 50 pixels wide in a texture it fills to 0.5, height 0.25.
        vbo.SetXScale(5, 7, c.w, 12, 50, 0.5f, 0.25f, c.left, c.right);
        EXPECT_EQ(vbo.Count(), 8);
        const float xs[4] = {5.0f, 5.0f + c.L, 5.0f + c.w - c.R, 5.0f + c.w};
        const float us[4] = {0, c.L / 50.0f * 0.5f, (50.0f - c.R) / 50.0f * 0.5f, 0.5f};
        std::vector<TV> want;
        for (int i = 0; i < 4; i++) {
            want.push_back({xs[i], 7, 0, us[i], 0});
            want.push_back({xs[i], 19, 0, us[i], 0.25f});
        }
        ExpectVertices(BufferContents<TV>(vbo.BufferID(), 8), want);
    }
}

TEST_F(GLVBO, ThreeSliceMakesANewBufferEachTime)
{
    CVBO vbo;
    vbo.SetXScale(0, 0, 100, 10, 50, 1, 1, 10, 10);
    const int first = vbo.BufferID();
    const size_t trashed = (size_t)GLTrashCount();
    vbo.SetXScale(0, 0, 100, 10, 50, 1, 1, 10, 10);
    EXPECT_EQ((size_t)GLTrashCount(), trashed + 1);
    EXPECT_NE(vbo.BufferID(), -1);
    EXPECT_TRUE(glIsBuffer((GLuint)first));   // waiting in the trash, not deleted
    GLFlushTrash();
    EXPECT_FALSE(glIsBuffer((GLuint)first));
}

TEST_F(GLVBO, ScrollBarAlongEitherAxis)
{
    CScrollBarVBO bar;
    // Horizontal: 200 x 16 from a 40 x 16 image filling (0.625, 0.5).
    bar.Init(200, 16, 40, 16, 0.625f, 0.5f, 1, 8, 12);
    EXPECT_EQ(bar.Count(), 8);
    ExpectVertices(BufferContents<TV>(bar.BufferID(), 8),
                   {{0, 0, 0, 0, 0},
                    {0, 16, 0, 0, 0.5f},
                    {8, 0, 0, 8 / 40.0f * 0.625f, 0},
                    {8, 16, 0, 8 / 40.0f * 0.625f, 0.5f},
                    {188, 0, 0, 28 / 40.0f * 0.625f, 0},
                    {188, 16, 0, 28 / 40.0f * 0.625f, 0.5f},
                    {200, 0, 0, 0.625f, 0},
                    {200, 16, 0, 0.625f, 0.5f}});
    // Vertical: 16 x 300 from a 16 x 32 image; pairs run across the bar.
    bar.Init(16, 300, 16, 32, 0.5f, 1.0f, 0, 4, 6);
    ExpectVertices(BufferContents<TV>(bar.BufferID(), 8),
                   {{0, 0, 0, 0, 0},
                    {16, 0, 0, 0.5f, 0},
                    {0, 4, 0, 0, 4 / 32.0f},
                    {16, 4, 0, 0.5f, 4 / 32.0f},
                    {0, 294, 0, 0, 26 / 32.0f},
                    {16, 294, 0, 0.5f, 26 / 32.0f},
                    {0, 300, 0, 0, 1},
                    {16, 300, 0, 0.5f, 1}});
    const unsigned int n = bar.Uploads();
    bar.Init(16, 300, 16, 32, 0.5f, 1.0f, 0, 4, 6);
    EXPECT_EQ(bar.Uploads(), n);
    bar.Init(16, 300, 16, 32, 0.5f, 1.0f, 0, 4, 7);
    EXPECT_EQ(bar.Uploads(), n + 1);
}

TEST_F(GLVBO, NineSliceFrame)
{
    CROIVBO roi;
    EXPECT_EQ(roi.Count(), 22);
    roi.Set(SIZE{100, 50}, SIZE{20, 10}, 4, 3);
    // Columns 0, a, W - a, W and rows 0, b, H - b, H with their texture
    // coordinates over the whole 20 x 10 image.
    const float X[4] = {0, 4, 96, 100}, U[4] = {0, 0.2f, 0.8f, 1};
    const float Y[4] = {0, 3, 47, 50}, V[4] = {0, 0.3f, 0.7f, 1};
    const int order[22][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}, {3, 0}, {3, 1}, {3, 2}, {2, 1}, {2, 2},
                              {1, 1}, {1, 2}, {0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 2}, {2, 3}, {3, 2}, {3, 3}};
    std::vector<TV> want;
    for (const auto& cr : order)
        want.push_back({X[cr[0]], Y[cr[1]], 0, U[cr[0]], V[cr[1]]});
    ExpectVertices(BufferContents<TV>(roi.BufferID(), 22), want);

    // No caps: a plain stretched quad, every vertex on the outline.
    roi.Set(SIZE{100, 50}, SIZE{20, 10}, 0, 0);
    for (const TV& v : BufferContents<TV>(roi.BufferID(), 22)) {
        EXPECT_TRUE(v.x == 0 || v.x == 100) << v.x;
        EXPECT_TRUE(v.y == 0 || v.y == 50) << v.y;
        EXPECT_FLOAT_EQ(v.u, v.x / 100);
        EXPECT_FLOAT_EQ(v.v, v.y / 50);
    }
    const unsigned int n = roi.Uploads();
    roi.Set(SIZE{100, 50}, SIZE{20, 10}, 0, 0);
    EXPECT_EQ(roi.Uploads(), n);
}

TEST_F(GLVBO, FillRectAndGradient)
{
    CFillRectVBO fill;
    EXPECT_EQ(fill.Init(CRVRect(3, 4, 10, 20)), 1);
    std::vector<PV> p = BufferContents<PV>(fill.BufferID(), 4);
    const float want[4][2] = {{3, 4}, {3, 24}, {13, 4}, {13, 24}};
    for (int i = 0; i < 4; i++) {
        EXPECT_FLOAT_EQ(p[i].x, want[i][0]);
        EXPECT_FLOAT_EQ(p[i].y, want[i][1]);
        EXPECT_FLOAT_EQ(p[i].z, 0);
    }
    fill.Init(CRVRect(3, 4, 10, 20));
    EXPECT_EQ(fill.Uploads(), 1u);

    CGradientVBO grad;
    grad.Init(CRVRect(3, 4, 10, 20), 0x112233, 0x445566, 0x778899, 0xAABBCC);
    std::vector<CV> c = BufferContents<CV>(grad.BufferID(), 4);
    // Strip order: top-left, bottom-left, top-right, bottom-right.
    const unsigned int colors[4] = {0x112233, 0x778899, 0x445566, 0xAABBCC};
    for (int i = 0; i < 4; i++) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(c[i].x, want[i][0]);
        EXPECT_FLOAT_EQ(c[i].y, want[i][1]);
        EXPECT_EQ(c[i].rgba[0], (colors[i] >> 16) & 0xFF);
        EXPECT_EQ(c[i].rgba[1], (colors[i] >> 8) & 0xFF);
        EXPECT_EQ(c[i].rgba[2], colors[i] & 0xFF);
        EXPECT_EQ(c[i].rgba[3], 255);
    }
    grad.Init(CRVRect(3, 4, 10, 20), 0x112233, 0x445566, 0x778899, 0xAABBCC);
    EXPECT_EQ(grad.Uploads(), 1u);
    grad.Init(CRVRect(3, 4, 10, 20), 0x112233, 0x445566, 0x778899, 0xAABBCD);
    EXPECT_EQ(grad.Uploads(), 2u);
}

TEST_F(GLVBO, LostContextForgetsTheNameWithoutDeletingIt)
{
    CFillRectVBO fill;
    fill.Init(CRVRect(0, 0, 1, 1));
    const int old = fill.BufferID();
    fill.OnGLContextLost();
    EXPECT_EQ(fill.BufferID(), -1);
    const int trashed = GLTrashCount();
    fill.Init(CRVRect(0, 0, 1, 1));     // same rectangle, but no buffer: rebuilt
    EXPECT_NE(fill.BufferID(), -1);
    EXPECT_NE(fill.BufferID(), old);
    EXPECT_EQ(GLTrashCount(), trashed);
    EXPECT_TRUE(glIsBuffer((GLuint)old));
    glDeleteBuffers(1, (GLuint*)&old);
}

TEST_F(GLVBO, DroppedOnAnyThreadTheNameWaitsForTheDrawingThread)
{
    CGradientVBO* grad = new CGradientVBO;
    grad->Init(CRVRect(0, 0, 4, 4), 0, 0, 0, 0);
    const GLuint id = (GLuint)grad->BufferID();
    std::thread other([grad] {
        EXPECT_FALSE(GLIsDrawingThread());
        delete grad;
        // And nothing can be deleted from a thread that does not draw.
        EXPECT_EQ(GLFlushTrash(), 0);
    });
    other.join();
    EXPECT_TRUE(glIsBuffer(id));
    GLFlushTrash();
    EXPECT_FALSE(glIsBuffer(id));
}

}  // namespace
