// CLxMainWnd: the link between the viewer's OpenGL view and the engine's one
// main window (g_pMainWindow), and the class-level operations the front end
// uses around it.
//
// The engine calls back through the GLDelegate functions with this object as
// the platform view: redraw requests render at once on the calling thread,
// under the main window's render lock; the save dialog and the camera
// preview run on the interface thread, which the callers wait for.
#pragma once

#include <stdint.h>
#include <wchar.h>

#include <atomic>
#include <functional>
#include <string>

#include "lx_camerapreview.h"
#include "rvstring.h"

class CLxGLView;
class CLxMainThread;
class CMainWnd;

class CLxMainWnd
{
public:
    // Shows the dialog for the extension (without the dot) on the interface
    // thread; 1 with the chosen file's path, 0 when cancelled.
    typedef std::function<int(const std::string& sExt, std::string* pPath)> SAVE_PROMPT;

    // Replaces a main window that exists already (its handlers are stopped and
    // it is deleted), then creates the main window for the view: session
    // number, screen size (both orientations) and scale. The view's context
    // must be current on the calling thread, since the main window sets up its
    // GL state. The handlers start with StartHandlers, once the caller has
    // released the context for the threads that will draw.
    CLxMainWnd(CLxGLView* pView, CLxMainThread* pMainThread, int iSessionID, int iDX, int iDY, int iScale);
    // Stops the handlers and deletes the main window it created (when that is
    // still the current one; its context must be current), then closes the
    // session's connection.
    ~CLxMainWnd();

    CLxMainWnd(const CLxMainWnd&) = delete;
    CLxMainWnd& operator=(const CLxMainWnd&) = delete;

    // Starts the main window's socket handler, then its animation handler.
    void StartHandlers();
    // The main window this object created while it is still the current one;
    // null once another CLxMainWnd has replaced it (every operation here then
    // does nothing).
    CMainWnd* Engine() const { return m_pEngine; }

    // Draws the tree; the caller holds the render lock with the context current.
    void Render();
    // Asks the view to draw at once, on the calling thread.
    void InvalidateDisplay();
    uint32_t FrameCount() const { return m_dwFrameCount.load(); }

    // Window coordinates in points, origin at the bottom left.
    void OnMouseDown(double x, double y);
    void OnMouseMove(double x, double y);
    void OnMouseUp(double x, double y);
    void OnChar(int iChar);
    // Translates Return, Backspace, Delete and the arrows (SDL scancodes) for
    // the engine and returns 1; 0 for any other key.
    int OnKey(int iScancode);

    // The main window's render lock; nothing without a main window.
    void LockContext();
    void UnlockContext();

    // On any thread: runs the save dialog on the interface thread and waits.
    // On a choice the whole buffer is zeroed and the location's URL copied in,
    // at most iSize - 1 characters, and 1 is returned; otherwise 0 and the
    // buffer is left as it was.
    int DoFileSavePrompt(wchar_t* pBuffer, int iSize, const wchar_t* pszExt);
    // The dialog used; none (every prompt cancelled) until one is set.
    void SetSavePrompt(SAVE_PROMPT prompt) { m_SavePrompt = std::move(prompt); }

    void SetCameraSize(int iSize, int iOffset, int iPositions);
    // Interface thread: creates and starts the preview, unless one runs.
    void StartCamera();
    // Interface thread: stops and drops the preview.
    void StopCamera();
    void SetCameraFactory(LX_CAMERA_FACTORY factory) { m_CameraFactory = std::move(factory); }
    CLxMainThread* MainThread() const { return m_pMainThread; }

    // ---- class-level operations ----
    // Creates the process's graphic store (g_pGraphicStore) unless it exists.
    static void InitGraphStore();
    // Releases every image of the graphic store and deletes it.
    static void ReleaseGraphStore();
    // Opens the engine's session for a screen of iDX x iDY (both
    // orientations, scale 1): the controller's session ID, or -1.
    static int InitSession(int iSessionID, int iDX, int iDY);
    // The controller's name (question 8058), or "ERROR" without an answer.
    static CRVString GetSystemName();
    // Lets every surface react to the disconnection, stops the animation and
    // socket handlers and closes the session's connection.
    static void ShutDown();
    // Stops the handlers and deletes the main window (its context must be current).
    static void ReleaseMainWnd();

private:
    CLxGLView* m_pView;
    CLxMainThread* m_pMainThread;
    CMainWnd* m_pEngine;                  // the main window this object created
    std::atomic<uint32_t> m_dwFrameCount;

    // The file-prompt exchange with the interface thread.
    wchar_t* m_pFilePromptBuf;
    int m_iFilePromptBufSize;
    const wchar_t* m_pFilePromptExt;
    int m_bFilePromptResult;
    SAVE_PROMPT m_SavePrompt;

    CLxCameraPreview* m_pCameraView;
    int m_iCameraSize;
    int m_iCameraOffset;
    int m_iCameraPositions;
    LX_CAMERA_FACTORY m_CameraFactory;

    void RunFilePrompt();
    // Stops and deletes the current main window; the CLxMainWnd that made it
    // forgets it.
    static void DeleteMainWindow();

    // The CLxMainWnd whose main window is g_pMainWindow (interface thread).
    static CLxMainWnd* s_pOwner;
};
