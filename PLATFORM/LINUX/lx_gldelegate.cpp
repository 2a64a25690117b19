// The engine's calls into the window system; the platform view handed to the
// main window is the CLxMainWnd. Kept alone in this file so that a test of
// the engine can bring its own versions of all four.
#include "gldelegate.h"
#include "lx_mainthread.h"
#include "lx_mainwnd.h"

void GLDelegateValidateScreen(void* pView)
{
    if (pView)
        static_cast<CLxMainWnd*>(pView)->InvalidateDisplay();
}

int GLDelegateFileSavePrompt(void* pView, wchar_t* pBuffer, int iSize, const wchar_t* pszExtension)
{
    if (pView == nullptr)
        return 0;
    return static_cast<CLxMainWnd*>(pView)->DoFileSavePrompt(pBuffer, iSize, pszExtension);
}

void GLDelegateStartCamera(void* pView, int iSize, int iOffset, int iPositions)
{
    if (pView == nullptr)
        return;
    CLxMainWnd* pWnd = static_cast<CLxMainWnd*>(pView);
    pWnd->SetCameraSize(iSize, iOffset, iPositions);
    if (pWnd->MainThread())
        pWnd->MainThread()->Run([pWnd] { pWnd->StartCamera(); }, 1);
}

void GLDelegateStopCamera(void* pView)
{
    if (pView == nullptr)
        return;
    CLxMainWnd* pWnd = static_cast<CLxMainWnd*>(pView);
    if (pWnd->MainThread())
        pWnd->MainThread()->Run([pWnd] { pWnd->StopCamera(); }, 0);
}
