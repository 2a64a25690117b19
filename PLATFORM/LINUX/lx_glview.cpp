#include "lx_glview.h"

#include <GL/gl.h>
#include <SDL.h>

#include "lx_keymap.h"
#include "lx_mainthread.h"
#include "lx_mainwnd.h"
#include "lx_utf8.h"
#include "rvlog.h"
#include "rvserver.h"

CLxGLView::CLxGLView(CLxGLContext* pContext, CLxMainThread* pMainThread, int iSessionID)
    : m_pContext(pContext), m_pMainThread(pMainThread), m_pMainWnd(nullptr), m_bMouseDown(false)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearStencil(0);
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    m_pMainWnd = new CLxMainWnd(this, pMainThread, iSessionID, Width(), Height(), 1);
    m_pContext->ReleaseCurrent();
    m_pMainWnd->StartHandlers();
}

CLxGLView::~CLxGLView()
{
    RVLog(RV_LOG_DEBUG, "GLVIEW dtor start");
    if (m_pMainThread)
        m_pMainThread->Close();
    CLxMainWnd::ShutDown();
    // The main window deletes its GL objects as it goes.
    const int bCurrent = m_pContext->MakeCurrent();
    delete m_pMainWnd;
    m_pMainWnd = nullptr;
    if (bCurrent)
        m_pContext->ReleaseCurrent();
    if (g_pRVServer)
        g_pRVServer->CloseConnection();
    delete m_pContext;
    RVLog(RV_LOG_DEBUG, "GLVIEW dtor end");
}

void CLxGLView::Render()
{
    DrawFrame(nullptr);
}

int CLxGLView::RenderAndCapture(std::vector<unsigned char>* pRGBA)
{
    return DrawFrame(pRGBA);
}

int CLxGLView::DrawFrame(std::vector<unsigned char>* pCapture)
{
    if (m_pMainWnd == nullptr)
        return 0;
    int bOk = 0;
    m_pMainWnd->LockContext();
    m_pContext->MakeCurrent();
    if (m_pContext->IsCurrent()) {
        glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        m_pMainWnd->Render();
        glFlush();
        bOk = pCapture ? m_pContext->ReadPixels(pCapture) : 1;
        m_pContext->Present();
        m_pContext->ReleaseCurrent();
    } else {
        RVLog(RV_LOG_ERROR, "Error: Dont' have the right context");
    }
    m_pMainWnd->UnlockContext();
    return bOk;
}

void CLxGLView::MouseDown(int x, int y)
{
    m_bMouseDown = true;
    m_pMainWnd->OnMouseDown(x, Height() - y);
}

void CLxGLView::MouseMove(int x, int y)
{
    if (m_bMouseDown)
        m_pMainWnd->OnMouseMove(x, Height() - y);
}

void CLxGLView::MouseUp(int x, int y)
{
    if (!m_bMouseDown)
        return;
    m_bMouseDown = false;
    m_pMainWnd->OnMouseUp(x, Height() - y);
}

void CLxGLView::KeyDown(int iScancode)
{
    if (m_pMainWnd->OnKey(iScancode))
        return;
    if (int ch = LxControlCharForKey(iScancode))
        m_pMainWnd->OnChar(ch);
}

void CLxGLView::TextInput(const char* pszUtf8)
{
    if (pszUtf8 == nullptr)
        return;
    for (wchar_t cp : LxUtf8ToWide(pszUtf8))
        m_pMainWnd->OnChar((int)cp);
}

void CLxGLView::HandleEvent(const SDL_Event& ev, unsigned int uWindowID)
{
    switch (ev.type) {
    case SDL_WINDOWEVENT:
        if (ev.window.windowID == uWindowID && ev.window.event == SDL_WINDOWEVENT_EXPOSED)
            Render();
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (ev.button.windowID == uWindowID && ev.button.button == SDL_BUTTON_LEFT)
            MouseDown(ev.button.x, ev.button.y);
        break;
    case SDL_MOUSEMOTION:
        if (ev.motion.windowID == uWindowID)
            MouseMove(ev.motion.x, ev.motion.y);
        break;
    case SDL_MOUSEBUTTONUP:
        if (ev.button.windowID == uWindowID && ev.button.button == SDL_BUTTON_LEFT)
            MouseUp(ev.button.x, ev.button.y);
        break;
    case SDL_KEYDOWN:
        if (ev.key.windowID == uWindowID)
            KeyDown(ev.key.keysym.scancode);
        break;
    case SDL_TEXTINPUT:
        if (ev.text.windowID == uWindowID)
            TextInput(ev.text.text);
        break;
    default:
        break;
    }
}
