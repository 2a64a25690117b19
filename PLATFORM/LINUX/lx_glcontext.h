// CLxGLContext: the drawing context behind a viewer view, either a desktop
// window (CLxSDLWindow) or an offscreen framebuffer (CLxEGLContext).
//
// A context is current on at most one thread at a time. The view makes it
// current for each frame, under the main window's render lock, and releases it
// afterwards, so that whichever thread draws next (the interface thread on an
// expose, the animation thread on a redraw request) can take it.
#pragma once

#include <vector>

class CLxGLContext
{
public:
    virtual ~CLxGLContext() {}

    // A context owns its window-system and GL objects: it is never copied.
    CLxGLContext(const CLxGLContext&) = delete;
    CLxGLContext& operator=(const CLxGLContext&) = delete;

    // 1 once the context is current on the calling thread.
    virtual int MakeCurrent() = 0;
    // Leaves no context current on the calling thread.
    virtual void ReleaseCurrent() = 0;
    // 1 if this context is the calling thread's current one.
    virtual int IsCurrent() const = 0;
    // Shows the frame just drawn: a buffer swap, or a finish when offscreen.
    virtual void Present() = 0;

    // Size of the drawable in pixels, fixed for the context's life (a window
    // is not resizable).
    int Width() const { return m_iWidth; }
    int Height() const { return m_iHeight; }

    // The frame being drawn (before Present), as RGBA rows from the top row
    // down, Width() * 4 bytes each. The context must be current. 1 on success.
    int ReadPixels(std::vector<unsigned char>* pRGBA) const;

protected:
    CLxGLContext() = default;

    // Set once by the kind's Create.
    int m_iWidth = 0;
    int m_iHeight = 0;
};

// Reverses the order of iRows rows of iRowBytes bytes in place: OpenGL reads
// the bottom row first, images store the top row first.
void LxFlipRows(unsigned char* pData, int iRowBytes, int iRows);
