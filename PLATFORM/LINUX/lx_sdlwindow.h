// CLxSDLWindow: a desktop window with an OpenGL context for the viewer.
//
// The context is a compatibility one (OpenGL 2.1 or later) with double
// buffering, 24 depth bits and 8 stencil bits (the engine clips with the
// stencil buffer). Buffer swaps wait for the display refresh where the display
// has one; a display without it (a virtual X server) is not an error. The
// first window starts SDL's video subsystem, which then stays up.
#pragma once

#include <stdint.h>

#include <string>

#include "lx_glcontext.h"

struct SDL_Window;

class CLxSDLWindow : public CLxGLContext
{
public:
    // Opens the window, shown, with a client area of iWidth x iHeight pixels,
    // and leaves its context current on the calling thread. Null with a
    // one-line reason in *pError when the display or the context is missing.
    static CLxSDLWindow* Create(const char* pszTitle, int iWidth, int iHeight, std::string* pError);
    ~CLxSDLWindow() override;

    int MakeCurrent() override;
    void ReleaseCurrent() override;
    int IsCurrent() const override;
    void Present() override;

    SDL_Window* Window() const { return m_pWindow; }
    uint32_t WindowID() const;

private:
    CLxSDLWindow() = default;

    SDL_Window* m_pWindow = nullptr;
    void* m_pContext = nullptr;     // SDL_GLContext
};
