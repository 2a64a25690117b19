#include "lx_mainwnd.h"

#include "RVQuery.h"
#include "gldelegate.h"
#include "graphstore.h"
#include "lx_glview.h"
#include "lx_keymap.h"
#include "lx_mainthread.h"
#include "lx_saveprompt.h"
#include "lx_utf8.h"
#include "mainwnd.h"
#include "rvlog.h"
#include "rvmsg.h"
#include "rvserver.h"
#include "rvutf8.h"

#include <string.h>

#include <algorithm>

namespace {

enum { MSG_GET_SYSTEM_NAME = 8058 };

void StopHandlers(CMainWnd* pWnd)
{
    pWnd->StopAnimationHandler();
    pWnd->StopSocketHandler();
}

std::string WideToUtf8(const wchar_t* psz)
{
    return psz ? RVToUtf8(CRVString(psz)) : std::string();
}

}  // namespace

CLxMainWnd::CLxMainWnd(CLxGLView* pView, CLxMainThread* pMainThread, int iSessionID, int iDX, int iDY,
                       int iScale)
    : m_pView(pView),
      m_pMainThread(pMainThread),
      m_pEngine(nullptr),
      m_dwFrameCount(0),
      m_pFilePromptBuf(nullptr),
      m_iFilePromptBufSize(0),
      m_pFilePromptExt(nullptr),
      m_bFilePromptResult(0),
      m_pCameraView(nullptr),
      m_iCameraSize(128),
      m_iCameraOffset(0),
      m_iCameraPositions(0)
{
    if (g_pMainWindow != nullptr) {
        RVLog(RV_LOG_WARN, "WARNING: g_pMainWindow not NULL");
        DeleteMainWindow();
    }
    RVLog(RV_LOG_DEBUG, "[initWithView] with SessionID: [%d]", iSessionID);
    m_pEngine = new CMainWnd(this, iSessionID, iDX, iDY, iDX, iDY, iScale);
    g_pMainWindow = m_pEngine;
    s_pOwner = this;
}

CLxMainWnd::~CLxMainWnd()
{
    RVLog(RV_LOG_DEBUG, "NSMainWnd dtor start");
    if (m_pCameraView) {
        m_pCameraView->Stop();
        delete m_pCameraView;
        m_pCameraView = nullptr;
    }
    if (s_pOwner == this) {
        DeleteMainWindow();
        RVLog(RV_LOG_DEBUG, "g_pMainWindow dtor complete");
    }
    if (g_pRVServer)
        g_pRVServer->CloseConnection();
    RVLog(RV_LOG_DEBUG, "NSMainWnd dtor end");
}

CLxMainWnd* CLxMainWnd::s_pOwner = nullptr;

void CLxMainWnd::DeleteMainWindow()
{
    if (g_pMainWindow == nullptr)
        return;
    StopHandlers(g_pMainWindow);
    delete g_pMainWindow;
    g_pMainWindow = nullptr;
    // Compared by owner, not by address: a new main window may well be
    // allocated where the old one was.
    if (s_pOwner) {
        s_pOwner->m_pEngine = nullptr;
        s_pOwner = nullptr;
    }
}

void CLxMainWnd::StartHandlers()
{
    if (CMainWnd* pEngine = Engine()) {
        pEngine->StartSocketHandler();
        pEngine->StartAnimationHandler();
    }
}

void CLxMainWnd::Render()
{
    CMainWnd* pEngine = Engine();
    if (pEngine == nullptr)
        return;
    pEngine->RenderScreen();
    const uint32_t n = ++m_dwFrameCount;
    RVLog(RV_LOG_DEBUG, "Render %u", (unsigned)n);
}

void CLxMainWnd::InvalidateDisplay()
{
    if (m_pView)
        m_pView->Render();
}

void CLxMainWnd::OnMouseDown(double x, double y)
{
    if (CMainWnd* pEngine = Engine())
        pEngine->OnMouseDown((int)x, (int)y);
}

void CLxMainWnd::OnMouseMove(double x, double y)
{
    if (CMainWnd* pEngine = Engine())
        pEngine->OnMouseMove((int)x, (int)y);
}

void CLxMainWnd::OnMouseUp(double x, double y)
{
    if (CMainWnd* pEngine = Engine())
        pEngine->OnMouseUp((int)x, (int)y);
}

void CLxMainWnd::OnChar(int iChar)
{
    if (CMainWnd* pEngine = Engine())
        pEngine->OnChar(iChar);
}

int CLxMainWnd::OnKey(int iScancode)
{
    const LX_KEY_ACTION a = LxTranslateKey(iScancode);
    if (a.eKind == LX_KEY_NONE)
        return 0;
    if (CMainWnd* pEngine = Engine()) {
        if (a.eKind == LX_KEY_CHAR)
            pEngine->OnChar(a.iValue);
        else
            pEngine->OnKey(a.iValue);
    }
    return 1;
}

void CLxMainWnd::LockContext()
{
    if (g_pMainWindow)
        g_pMainWindow->LockContext();
}

void CLxMainWnd::UnlockContext()
{
    if (g_pMainWindow)
        g_pMainWindow->UnlockContext();
}

int CLxMainWnd::DoFileSavePrompt(wchar_t* pBuffer, int iSize, const wchar_t* pszExt)
{
    if (pBuffer == nullptr || iSize < 1 || m_pMainThread == nullptr)
        return 0;
    m_pFilePromptBuf = pBuffer;
    m_iFilePromptBufSize = iSize;
    m_pFilePromptExt = pszExt;
    m_bFilePromptResult = 0;
    // Refused once the interface loop has stopped: the prompt counts as cancelled.
    if (!m_pMainThread->Run([this] { RunFilePrompt(); }, 1))
        m_bFilePromptResult = 0;
    m_pFilePromptBuf = nullptr;
    m_pFilePromptExt = nullptr;
    return m_bFilePromptResult;
}

void CLxMainWnd::RunFilePrompt()
{
    m_bFilePromptResult = 0;
    std::string path;
    if (!m_SavePrompt || !m_SavePrompt(WideToUtf8(m_pFilePromptExt), &path) || path.empty())
        return;
    const std::wstring url = LxUtf8ToWide(LxPathToFileURL(path));
    wmemset(m_pFilePromptBuf, 0, (size_t)m_iFilePromptBufSize);
    const size_t n = std::min(url.size(), (size_t)m_iFilePromptBufSize - 1);
    wmemcpy(m_pFilePromptBuf, url.data(), n);
    m_bFilePromptResult = 1;
}

void CLxMainWnd::SetCameraSize(int iSize, int iOffset, int iPositions)
{
    m_iCameraSize = iSize;
    m_iCameraOffset = iOffset;
    m_iCameraPositions = iPositions;
}

void CLxMainWnd::StartCamera()
{
    if (m_pCameraView != nullptr)
        return;
    if (!m_CameraFactory || (m_pCameraView = m_CameraFactory()) == nullptr) {
        RVLog(RV_LOG_INFO, "no camera preview on this system");
        return;
    }
    // The square sits iOffset from the window's bottom-left corner.
    const int iHeight = m_pView ? m_pView->Height() : 0;
    m_pCameraView->Start(m_iCameraOffset, iHeight - m_iCameraOffset - m_iCameraSize, m_iCameraSize);
}

void CLxMainWnd::StopCamera()
{
    if (m_pCameraView == nullptr)
        return;
    m_pCameraView->Stop();
    delete m_pCameraView;
    m_pCameraView = nullptr;
}

void CLxMainWnd::InitGraphStore()
{
    if (g_pGraphicStore == nullptr)
        g_pGraphicStore = new CGraphicStore;
}

void CLxMainWnd::ReleaseGraphStore()
{
    // Deleting the store releases every image it holds.
    delete g_pGraphicStore;
    g_pGraphicStore = nullptr;
}

int CLxMainWnd::InitSession(int iSessionID, int iDX, int iDY)
{
    RVLog(RV_LOG_DEBUG, "[InitSession] with SessionID: [%d]", iSessionID);
    SIZE size;
    size.cx = iDX;
    size.cy = iDY;
    return CMainWnd::InitSession(iSessionID, size, size, 1, IOS_SESSION_CTX_DEFAULT);
}

CRVString CLxMainWnd::GetSystemName()
{
    if (g_pRVServer == nullptr)
        return CRVString("ERROR");
    CRVQuery query(g_pRVServer);
    CRVMSG question(0, MSG_GET_SYSTEM_NAME, 0, 1);
    CRVMSG* pAnswer = nullptr;
    if (!query.AskQuestion(&pAnswer, &question) || pAnswer == nullptr)
        return CRVString("ERROR");
    int a = 0, b = 0;
    CRVString sName;
    if (!pAnswer->GetInt(&a) || !pAnswer->GetInt(&b) || !pAnswer->GetString(&sName))
        return CRVString("ERROR");
    return sName;
}

void CLxMainWnd::ShutDown()
{
    if (g_pMainWindow == nullptr)
        return;
    g_pMainWindow->OnDisconnectController();
    StopHandlers(g_pMainWindow);
    if (g_pRVServer)
        g_pRVServer->CloseConnection();
}

void CLxMainWnd::ReleaseMainWnd()
{
    DeleteMainWindow();
}

// ---------------------------------------------------------------------------
// The engine's calls into the window system; the platform view handed to the
// main window is the CLxMainWnd. They live here, with the object they drive,
// so that a program using CLxMainWnd always links them: the engine's library
// comes before this one on the link line.

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
