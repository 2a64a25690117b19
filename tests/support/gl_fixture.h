// A gtest fixture for render tests of the engine: an offscreen context
// (offscreen_gl.h) with the engine's GL calls switched on, pixel probes with
// a tolerance, and small GL helpers for textures and buffer contents.
// Tests are skipped where no offscreen context can be made.
#pragma once

#include "offscreen_gl.h"
#include "surf.h"

class GLFixture : public ::testing::Test
{
protected:
    explicit GLFixture(int iWidth = 64, int iHeight = 64) : m_iWidth(iWidth), m_iHeight(iHeight) {}

    void SetUp() override
    {
        // Whatever still waits in the trash belonged to an earlier context.
        GLForgetTrash();
        const std::string error = m_gl.Open(m_iWidth, m_iHeight);
        if (!error.empty())
            GTEST_SKIP() << error;
        m_bOpen = true;
        m_bRenderGLBefore = CSurf::g_bRenderGL;
        CSurf::g_bRenderGL = 1;
        glViewport(0, 0, m_iWidth, m_iHeight);
        glDisable(GL_DEPTH_TEST);
    }
    void TearDown() override
    {
        if (!m_bOpen)
            return;
        m_gl.Close();
        CSurf::g_bRenderGL = m_bRenderGLBefore;
    }

    // Colour and stencil cleared.
    void Clear(unsigned int uColor)
    {
        glClearStencil(0);
        glClear(GL_STENCIL_BUFFER_BIT);
        m_gl.Clear(uColor);
    }
    // Reads the frame for the probes below; no GL error may be pending.
    void Read()
    {
        ASSERT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
        ASSERT_TRUE(m_gl.Read());
    }
    unsigned int At(int x, int y) const { return m_gl.At(x, y); }
    // Each colour channel within iTolerance of uExpected's (llvmpipe rounds).
    ::testing::AssertionResult Near(int x, int y, unsigned int uExpected, int iTolerance = 2) const
    {
        ::testing::AssertionResult r = ColorNear(At(x, y), uExpected, iTolerance);
        if (!r)
            r << " at (" << x << ", " << y << ")";
        return r;
    }

    // A w x h RGBA texture from 0xAARRGGBB pixels (rows top first), nearest
    // filtering.
    static GLuint MakeTexture(int w, int h, const std::vector<unsigned int>& argb)
    {
        std::vector<unsigned char> bytes;
        for (unsigned int c : argb) {
            bytes.push_back((unsigned char)(c >> 16));
            bytes.push_back((unsigned char)(c >> 8));
            bytes.push_back((unsigned char)c);
            bytes.push_back((unsigned char)(c >> 24));
        }
        return MakeTexture(w, h, GL_RGBA, bytes.data());
    }
    // A w x h single-channel (luminance) texture.
    static GLuint MakePlane(int w, int h, const std::vector<unsigned char>& bytes)
    {
        return MakeTexture(w, h, GL_LUMINANCE, bytes.data());
    }
    static GLuint MakeTexture(int w, int h, GLenum eFormat, const void* pData)
    {
        GLuint t = 0;
        glGenTextures(1, &t);
        glBindTexture(GL_TEXTURE_2D, t);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, (GLint)eFormat, w, h, 0, eFormat, GL_UNSIGNED_BYTE, pData);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        return t;
    }
    // The first iCount records of a buffer object.
    template <class T> static std::vector<T> BufferContents(int iBuffer, int iCount)
    {
        std::vector<T> v((size_t)iCount);
        glBindBuffer(GL_ARRAY_BUFFER, (GLuint)iBuffer);
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, (GLsizeiptr)(sizeof(T) * v.size()), v.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return v;
    }

    int m_iWidth;
    int m_iHeight;
    COffscreenGL m_gl;
    bool m_bOpen = false;
    int m_bRenderGLBefore = 0;
};
