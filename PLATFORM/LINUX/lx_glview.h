// CLxGLView: the OpenGL view of the viewer window (or of a headless run) and
// the owner of its CLxMainWnd.
//
// It draws each frame under the main window's render lock: takes the lock,
// makes its context current, clears, lets the main window draw, presents, and
// releases the context and the lock, so that the next frame may be drawn on
// whichever thread asks for it. It turns the window system's mouse and key
// events into the main window's input.
#pragma once

#include <vector>

#include "lx_glcontext.h"

class CLxMainThread;
class CLxMainWnd;
union SDL_Event;

class CLxGLView
{
public:
    // Takes the context (current on the calling thread, owned from now on):
    // clears it black, creates the CLxMainWnd for the session with the
    // context's size and scale 1, releases the context and starts the main
    // window's handlers.
    CLxGLView(CLxGLContext* pContext, CLxMainThread* pMainThread, int iSessionID);
    // Shuts the main window down (surfaces react, handlers stop, the
    // connection closes), deletes it and the context. The interface-thread
    // queue is closed first: a handler waiting on it could not stop otherwise.
    ~CLxGLView();

    CLxGLView(const CLxGLView&) = delete;
    CLxGLView& operator=(const CLxGLView&) = delete;

    // Draws one frame (any thread).
    void Render();
    // Draws one frame and reads it back before presenting it: RGBA rows from
    // the top, Width() x Height(). 1 on success.
    int RenderAndCapture(std::vector<unsigned char>* pRGBA);

    // Mouse in window pixels, origin at the top left (as the window system
    // reports it); button 1 only, moves count while it is held.
    void MouseDown(int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(int x, int y);
    // A key went down (SDL scancode): the engine's keys first, then control
    // characters that arrive as no text.
    void KeyDown(int iScancode);
    // Typed text (UTF-8): each character to the main window, in order.
    void TextInput(const char* pszUtf8);
    // Window mode: dispatches one SDL event of this view's window (exposes,
    // mouse, keys, text). Other events are ignored.
    void HandleEvent(const SDL_Event& ev, unsigned int uWindowID);

    int Width() const { return m_pContext ? m_pContext->Width() : 0; }
    int Height() const { return m_pContext ? m_pContext->Height() : 0; }
    CLxMainWnd* MainWnd() const { return m_pMainWnd; }
    CLxGLContext* Context() const { return m_pContext; }

private:
    int DrawFrame(std::vector<unsigned char>* pCapture);

    CLxGLContext* m_pContext;
    CLxMainThread* m_pMainThread;
    CLxMainWnd* m_pMainWnd;
    bool m_bMouseDown;
};
