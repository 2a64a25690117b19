// CLxEGLContext: an offscreen OpenGL context for headless runs and render
// tests; no window system needed.
//
// It draws into a framebuffer object of the requested size with an RGBA
// colour buffer and a combined 24-bit depth / 8-bit stencil buffer, which stays
// bound for the context's life. The display is Mesa's surfaceless platform
// where available, else the default display with a small pbuffer.
#pragma once

#include <string>

#include "lx_glcontext.h"

class CLxEGLContext : public CLxGLContext
{
public:
    // Creates the context and framebuffer and leaves the context current on
    // the calling thread. Null with a one-line reason in *pError on failure.
    static CLxEGLContext* Create(int iWidth, int iHeight, std::string* pError);
    ~CLxEGLContext() override;

    int MakeCurrent() override;
    void ReleaseCurrent() override;
    int IsCurrent() const override;
    void Present() override;

private:
    CLxEGLContext() = default;
    int CreateFramebuffer(std::string* pError);

    void* m_pDisplay = nullptr;     // EGLDisplay
    void* m_pContext = nullptr;     // EGLContext
    void* m_pSurface = nullptr;     // EGLSurface: the pbuffer, or none when surfaceless
    unsigned int m_uFramebuffer = 0;
    unsigned int m_uColour = 0;
    unsigned int m_uDepthStencil = 0;
};
