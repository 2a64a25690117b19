#include "lx_eglcontext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

std::unique_ptr<CLxEGLContext> MakeContext(int w, int h)
{
    std::string why;
    std::unique_ptr<CLxEGLContext> p(CLxEGLContext::Create(w, h, &why));
    EXPECT_NE(nullptr, p) << why;
    return p;
}

const unsigned char* Pixel(const std::vector<unsigned char>& rgba, int w, int x, int y)
{
    return &rgba[((size_t)y * w + x) * 4];
}

TEST(LxEGLContext, OffscreenFramebufferHasStencilAndRequestedSize)
{
    auto p = MakeContext(64, 32);
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->IsCurrent());
    EXPECT_EQ(64, p->Width());
    EXPECT_EQ(32, p->Height());
    GLint stencil = 0, viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_GE(stencil, 8);
    EXPECT_EQ(64, viewport[2]);
    EXPECT_EQ(32, viewport[3]);
}

// GL counts rows from the bottom; the pixels handed out start with the top row.
TEST(LxEGLContext, ReadPixelsReturnsTopRowFirst)
{
    auto p = MakeContext(16, 8);
    ASSERT_TRUE(p);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 6, 4, 2);   // the top-left 4 x 2 pixels on screen
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    std::vector<unsigned char> rgba;
    ASSERT_TRUE(p->ReadPixels(&rgba));
    ASSERT_EQ(16u * 8u * 4u, rgba.size());
    const unsigned char* topLeft = Pixel(rgba, 16, 0, 0);
    const unsigned char* bottomLeft = Pixel(rgba, 16, 0, 7);
    const unsigned char* insideEdge = Pixel(rgba, 16, 3, 1);
    const unsigned char* belowEdge = Pixel(rgba, 16, 3, 2);
    EXPECT_EQ(255, topLeft[0]);
    EXPECT_EQ(0, topLeft[2]);
    EXPECT_EQ(255, insideEdge[0]);
    EXPECT_EQ(0, belowEdge[0]);
    EXPECT_EQ(255, belowEdge[2]);
    EXPECT_EQ(0, bottomLeft[0]);
    EXPECT_EQ(255, bottomLeft[2]);
}

// The view releases the context after each frame so that another thread can
// draw the next one; the framebuffer binding travels with the context.
TEST(LxEGLContext, ContextMovesBetweenThreads)
{
    auto p = MakeContext(8, 8);
    ASSERT_TRUE(p);
    p->ReleaseCurrent();
    EXPECT_FALSE(p->IsCurrent());
    int bDrawn = 0;
    std::thread other([&] {
        if (!p->MakeCurrent())
            return;
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        p->Present();
        p->ReleaseCurrent();
        bDrawn = 1;
    });
    other.join();
    ASSERT_TRUE(bDrawn);
    ASSERT_TRUE(p->MakeCurrent());
    std::vector<unsigned char> rgba;
    ASSERT_TRUE(p->ReadPixels(&rgba));
    EXPECT_EQ(255, Pixel(rgba, 8, 4, 4)[1]);
    EXPECT_EQ(0, Pixel(rgba, 8, 4, 4)[0]);
}

TEST(LxEGLContext, ReadPixelsNeedsTheContextCurrent)
{
    auto p = MakeContext(8, 8);
    ASSERT_TRUE(p);
    p->ReleaseCurrent();
    std::vector<unsigned char> rgba;
    EXPECT_FALSE(p->ReadPixels(&rgba));
    EXPECT_FALSE(p->ReadPixels(nullptr));
}

TEST(LxEGLContext, RefusesAnEmptySize)
{
    std::string why;
    EXPECT_EQ(nullptr, CLxEGLContext::Create(0, 10, &why));
    EXPECT_FALSE(why.empty());
}

TEST(LxFlipRows, ReversesRowOrder)
{
    unsigned char rows[] = {1, 1, 2, 2, 3, 3};
    LxFlipRows(rows, 2, 3);
    const unsigned char want[] = {3, 3, 2, 2, 1, 1};
    EXPECT_EQ(0, memcmp(rows, want, sizeof rows));
    LxFlipRows(rows, 2, 1);   // one row: unchanged
    EXPECT_EQ(0, memcmp(rows, want, sizeof rows));
}

}  // namespace
