#include "lx_sdlwindow.h"

#include <SDL.h>

#include "rvlog.h"

CLxSDLWindow* CLxSDLWindow::Create(const char* pszTitle, int iWidth, int iHeight, std::string* pError)
{
    auto fail = [pError](const char* what) -> CLxSDLWindow* {
        if (pError)
            *pError = std::string(what) + ": " + SDL_GetError();
        return nullptr;
    };
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return fail("cannot open the display");

    CLxSDLWindow* pWnd = new CLxSDLWindow;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    pWnd->m_pWindow = SDL_CreateWindow(pszTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, iWidth,
                                       iHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (pWnd->m_pWindow == nullptr) {
        delete pWnd;
        return fail("cannot open a window");
    }
    pWnd->m_pContext = SDL_GL_CreateContext(pWnd->m_pWindow);
    if (pWnd->m_pContext == nullptr) {
        delete pWnd;
        return fail("cannot create an OpenGL context");
    }
    SDL_GL_GetDrawableSize(pWnd->m_pWindow, &pWnd->m_iWidth, &pWnd->m_iHeight);
    int iStencil = 0;
    SDL_GL_GetAttribute(SDL_GL_STENCIL_SIZE, &iStencil);
    if (iStencil < 1)
        RVLog(RV_LOG_WARN, "the window has no stencil buffer: clipped drawing will be wrong");
    // Fails on displays without vertical sync (a virtual X server): harmless.
    if (SDL_GL_SetSwapInterval(1) != 0)
        RVLog(RV_LOG_DEBUG, "no vertical sync: %s", SDL_GetError());
    return pWnd;
}

CLxSDLWindow::~CLxSDLWindow()
{
    if (m_pContext) {
        if (IsCurrent())
            SDL_GL_MakeCurrent(m_pWindow, nullptr);
        SDL_GL_DeleteContext(m_pContext);
    }
    if (m_pWindow)
        SDL_DestroyWindow(m_pWindow);
    // The video subsystem stays up for the process's life: quitting it
    // unloads the X and GL libraries, which would leave their process-wide
    // state unaccounted for, and the next window would load them again.
}

int CLxSDLWindow::MakeCurrent()
{
    return SDL_GL_MakeCurrent(m_pWindow, m_pContext) == 0 ? 1 : 0;
}

void CLxSDLWindow::ReleaseCurrent()
{
    SDL_GL_MakeCurrent(m_pWindow, nullptr);
}

int CLxSDLWindow::IsCurrent() const
{
    return m_pContext != nullptr && SDL_GL_GetCurrentContext() == m_pContext ? 1 : 0;
}

void CLxSDLWindow::Present()
{
    SDL_GL_SwapWindow(m_pWindow);
}


uint32_t CLxSDLWindow::WindowID() const
{
    return SDL_GetWindowID(m_pWindow);
}
