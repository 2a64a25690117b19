// An offscreen GL context for render tests: current on the test's thread,
// inside a drawing scope, with the framebuffer read back as 0x00RRGGBB probes
// (y from the top). Tests skip when the machine has no EGL.
#pragma once

#include <gtest/gtest.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <memory>
#include <string>
#include <vector>

#include "gl_thread.h"
#include "gl_trash.h"
#include "lx_eglcontext.h"

class COffscreenGL
{
public:
    // Empty string on success, else why there is no context.
    std::string Open(int iWidth, int iHeight)
    {
        std::string error;
        m_ctx.reset(CLxEGLContext::Create(iWidth, iHeight, &error));
        if (!m_ctx)
            return error.empty() ? "no offscreen GL context" : error;
        m_scope.reset(new CGLDrawingScope);
        return "";
    }
    // Deletes what the test left in the trash while the context lives.
    void Close()
    {
        if (m_ctx) {
            GLFlushTrash();
            m_scope.reset();
            m_ctx.reset();
        }
        GLForgetTrash();
    }
    ~COffscreenGL() { Close(); }

    int Width() const { return m_ctx ? m_ctx->Width() : 0; }
    int Height() const { return m_ctx ? m_ctx->Height() : 0; }

    void Clear(unsigned int uColor = 0)
    {
        glClearColor(((uColor >> 16) & 0xFF) / 255.0f, ((uColor >> 8) & 0xFF) / 255.0f, (uColor & 0xFF) / 255.0f,
                     1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Reads the frame; false when the read failed.
    bool Read() { return m_ctx && m_ctx->ReadPixels(&m_pixels); }
    // 0x00RRGGBB at (x, y) of the last Read, y from the top.
    unsigned int At(int x, int y) const
    {
        const unsigned char* p = &m_pixels[((size_t)y * (size_t)Width() + (size_t)x) * 4];
        return (unsigned int)p[0] << 16 | (unsigned int)p[1] << 8 | p[2];
    }
    // A column-major matrix mapping pixels (origin top left, y down) of the
    // whole framebuffer to clip space.
    void PixelMatrix(float* m) const
    {
        for (int i = 0; i < 16; i++)
            m[i] = 0.0f;
        m[0] = 2.0f / (float)Width();
        m[5] = -2.0f / (float)Height();
        m[10] = 1.0f;
        m[12] = -1.0f;
        m[13] = 1.0f;
        m[15] = 1.0f;
    }

private:
    std::unique_ptr<CLxEGLContext> m_ctx;
    std::unique_ptr<CGLDrawingScope> m_scope;
    std::vector<unsigned char> m_pixels;
};

// Each of red, green and blue of two 0x00RRGGBB colours differs by at most tol.
inline ::testing::AssertionResult ColorNear(unsigned int uActual, unsigned int uExpected, int tol)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        int a = (int)((uActual >> shift) & 0xFF), e = (int)((uExpected >> shift) & 0xFF);
        if (a - e > tol || e - a > tol) {
            char text[96];
            snprintf(text, sizeof text, "0x%06X is not within %d of 0x%06X", uActual, tol, uExpected);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}
