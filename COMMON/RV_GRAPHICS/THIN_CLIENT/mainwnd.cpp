// CMainWnd: construction and teardown, the camera matrices, the root's state
// bits, text-limit groups and the smaller operations.
#include "mainwnd.h"

#include "FontServer.h"
#include "fontdownload.h"
#include "gl_thread.h"
#include "gl_trash.h"
#include "gl_vbo.h"
#include "gldelegate.h"
#include "matrix.h"
#include "msgids.h"
#include "rvdebug.h"
#include "rvfile.h"
#include "rvmsg.h"
#include "rvserver.h"
#include "rvtick.h"
#include "shaders.h"
#include "surf_timer.h"

#include <GL/gl.h>
#include <stdlib.h>
#include <string.h>

CMainWnd* g_pMainWindow = nullptr;
ORIENT CMainWnd::m_eOrientation = ORIENT_0;
CResourceManager* CMainWnd::g_pResourceManager = nullptr;

// Reports a GL error after a set-up step; drawing carries on regardless.
static void CheckGLError()
{
    GLenum e = glGetError();
    if (e != GL_NO_ERROR)
        RVLog(RV_LOG_DEBUG, "GL ERROR:%d\n", (int)e);
}

CMainWnd::CMainWnd(void* pView, int iSessionID, int iDX0, int iDY0, int iDX1, int iDY1, int iScale)
    : CSurfRect(nullptr, 0, CRVRect(0, 0, iDX0, iDY0), CRVRect(0, 0, iDX1, iDY1), 0),
      m_iOrientAnimMode(0),
      m_iOrientAnimProgress(0),
      m_pCursor(nullptr),
      m_pTextEntry(nullptr),
      m_pClickSound(nullptr),
      m_iClickVolume(0),
      m_pSounds{},
      m_pFontFile(nullptr),
      m_pSaveFile(nullptr),
      m_pConnectAnimation(nullptr),
      m_pRTSPAudio(nullptr),
      m_iCameraSize(128),
      m_iCameraOffset(0),
      m_iCameraPositions(0),
      m_iStreamVolume(50),
      m_iSoundVolume(50),
      m_iPlayerVolume(-1),
      m_pView(pView),
      m_iSessionID(iSessionID),
      m_iScale(iScale),
      m_dwRunFlags(RUN_SOCKET | RUN_ANIMATION),
      m_bBackgroundRunning(0),
      m_bStopping(0),
      m_SocketThreadID(),
      m_AnimThreadID(),
      m_pAnimating(nullptr),
      m_bAnimationsRunning(0),
      m_pTimers(nullptr),
      m_bTimersRunning(0),
      m_pProcs{},
      m_iProcCount(0),
      m_pQueue{},
      m_iQueueCount(0),
      m_iBackgroundMode(0),
      m_TextGroups{},
      m_uClearColor(0),
      m_bOwnsShaders(0),
      m_pStencilFill(nullptr),
      m_uLastTreeChange(RVGetTickCount()),
      m_uDisconnectStart(0),
      m_uDisconnectLength(0),
      m_uPendingAnimationTime(0),
      m_bPendingAnimation(0),
      m_ptSwipeStart{0, 0},
      m_bRedrawRequested(0),
      m_uBurstRedraws(0),
      m_uBurstStart(0)
{
    // Surfaces made from here on find their root through the global.
    g_pMainWindow = this;
    if (g_pRVServer) {
        g_pRVServer->AddSocketSink(this);
        g_pRVServer->SetMainWindowSink(this);
    }
    // The font server the last session chose, or the system's (font.config).
    delete g_pFontServer;
    g_pFontServer = CFontServer::CreateFontServer();
    // The shader programs are made at the first frame, on the drawing thread
    // (a main window may exist without any GL context). Not created yet, each
    // by its own code when it exists: the audio player, the outgoing RTSP
    // server, the resource cache and the focus cursor (256 x 256, centred,
    // moved to the root in 500 ms).
    SetupMatrices();
    // Every message names its surfaces by ID: a batch naming n surfaces would
    // walk the tree n times without an index.
    EnableIDIndex();
    if (g_bRenderGL) {
        // GL names still waiting belong to a context that went before this
        // one: deleting them here could hit this context's own objects.
        GLForgetTrash();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClearStencil(0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        CheckGLError();
    }
}

CMainWnd::~CMainWnd()
{
    // The front end stops the loops first; make sure nothing runs on, and
    // leave the session only once its pump no longer runs here.
    StopAnimationHandler();
    StopSocketHandler();
    m_bStopping = 1;
    m_BackgroundQueue.SetEvent();
    while (m_BackgroundThread.IsRunning())
        Sleep(10);
    if (g_pRVServer) {
        g_pRVServer->RemoveSocketSink(this);
        if (g_pRVServer->MainWindowSink() == this)
            g_pRVServer->SetMainWindowSink(nullptr);
    }

    m_TreeLock.RVLock();
    while (m_pFirstChild) {
        CSurf* pChild = RemoveSubSurf(m_pFirstChild);
        pChild->PrepareDelete();
        delete pChild;
    }
    m_TreeLock.RVUnlock();
    CleanupGarbage();
    m_GarbageSurfs.Free();
    m_GarbageDIBs.Free();
    m_GarbageObjects.Free();
    ReleaseGL();

    m_TimerLock.RVLock();
    while (m_pTimers) {
        CSurfTimer* pNext = m_pTimers->m_pNext;
        delete m_pTimers;
        m_pTimers = pNext;
    }
    m_TimerLock.RVUnlock();
    for (int i = 0; i < m_iQueueCount; i++)
        delete m_pQueue[i];
    m_iQueueCount = 0;
    // A transfer the controller never finished: keep what arrived, release the file.
    delete m_pSaveFile;
    m_pSaveFile = nullptr;
    // An unfinished font file is dropped with its download.
    delete m_pFontFile;
    m_pFontFile = nullptr;
    delete g_pFontServer;
    g_pFontServer = nullptr;
    // The sound objects, intercom audio, resource cache, player and RTSP
    // server are released here by their own code once they exist.
    if (g_pMainWindow == this)
        g_pMainWindow = nullptr;
}

void CMainWnd::ReleaseGL()
{
    // The front end deletes the main window with its context current.
    CGLDrawingScope drawing;
    delete m_pStencilFill;
    m_pStencilFill = nullptr;
    if (m_bOwnsShaders)
        DeleteShaderPrograms();
    m_bOwnsShaders = 0;
    // What the tree and the programs handed to the trash goes while the
    // context that made it is still there.
    if (g_bRenderGL)
        GLFlushTrash();
}

void CMainWnd::SetupMatrices()
{
    const CRVRect& rc = m_rcPos[OrientIndex(m_eOrientation)];
    float w = (float)rc.width;
    float h = (float)rc.height;
    if (g_bRenderGL) {
        glViewport(0, 0, rc.width, rc.height);
        CheckGLError();
    }
    MatrixLookAt(m_fView, 0.0f, 0.0f, 1.5f, 0.0f, 0.0f, -5.0f, 0.0f, 1.0f, 0.0f);
    MatrixSetIdentity(m_fModel);
    // y points down the screen; at z = 0 one unit is one pixel from the top left.
    MatrixFrustum(-w / 4.0f, w / 4.0f, h / 4.0f, -h / 4.0f, 1000.0f, 50000.0f, m_fProjection);
    MatrixTranslate(-w / 2.0f, -h / 2.0f, -2000.0f, m_fProjection);
    float fPV[16];
    MatrixMultiply(fPV, m_fProjection, m_fView);
    MatrixMultiply(m_fCombined, fPV, m_fModel);
}

// ---- root state ----

int CMainWnd::StateFlags()
{
    return __atomic_load_n(&m_iState, __ATOMIC_SEQ_CST);
}

void CMainWnd::StateFlags(int iFlags)
{
    __atomic_store_n(&m_iState, iFlags, __ATOMIC_SEQ_CST);
    if (iFlags & SS_NEEDS_REDRAW)
        SetAnimationExecuteEvent();
}

void CMainWnd::SetStateBits(int iBits)
{
    __atomic_or_fetch(&m_iState, iBits, __ATOMIC_SEQ_CST);
    if (iBits & SS_NEEDS_REDRAW)
        SetAnimationExecuteEvent();
}

void CMainWnd::ClearStateBits(int iBits)
{
    __atomic_and_fetch(&m_iState, ~iBits, __ATOMIC_SEQ_CST);
}

void CMainWnd::SetAnimationExecuteEvent()
{
    // A running round re-reads everything anyway.
    if (!m_bAnimationsRunning)
        m_AnimWake.SetEvent();
}

void CMainWnd::SetTreeChanged()
{
    __atomic_store_n(&m_uLastTreeChange, RVGetTickCount(), __ATOMIC_SEQ_CST);
    SetStateBits(SS_DEFERRED_REDRAW | SS_NEEDS_REDRAW);
}

// ---- text-limit groups ----

RVT_TEXT_GROUP* CMainWnd::TextGroup(unsigned int uKey)
{
    switch (uKey) {
    case 0x10000: return &m_TextGroups[0];
    case 0x20000: return &m_TextGroups[1];
    case 0x30000: return &m_TextGroups[2];
    case 0x40000: return &m_TextGroups[3];
    default: return nullptr;
    }
}

void CMainWnd::BeginTextLimitGroup(unsigned int uKey)
{
    if (RVT_TEXT_GROUP* pGroup = TextGroup(uKey))
        pGroup->iCount = 0;
}

void CMainWnd::AddTextGroup(unsigned int uKey, CSurfText* pText)
{
    RVT_TEXT_GROUP* pGroup = TextGroup(uKey);
    if (pGroup && pText && pGroup->iCount < RVT_TEXT_GROUP::MAX_MEMBERS)
        pGroup->pMembers[pGroup->iCount++] = pText;
}

RVT_TEXT_GROUP* CMainWnd::GetTextGroup(unsigned int uKey)
{
    return TextGroup(uKey);
}

// ---- smaller operations ----

int CMainWnd::RestoreSession()
{
    if (m_pConnectAnimation) {
        m_TreeLock.RVLock();
        if (RemoveSubSurf(m_pConnectAnimation))
            AddToGarbage(m_pConnectAnimation);
        m_pConnectAnimation = nullptr;
        m_TreeLock.RVUnlock();
    }
    SIZE size0 = {m_rcPos[0].width, m_rcPos[0].height};
    SIZE size1 = {m_rcPos[1].width, m_rcPos[1].height};
    int iResult = InitSession(m_iSessionID, size0, size1, m_iScale, IOS_SESSION_CTX_DEFAULT);
    m_iSessionID = iResult;
    return iResult != -1;
}

void CMainWnd::SetCursorPosition(int, int, int, int, int, unsigned int)
{
    // Moves the focus cursor once it exists; without one there is nothing to move.
}

void CMainWnd::SetCursorPosition(CRVRect, unsigned int)
{
    // As above.
}

void CMainWnd::PlaySound()
{
    // Plays the click sound through the audio player, once both exist.
}

void CMainWnd::SetStreamVolume(int iVolume)
{
    m_iStreamVolume = iVolume;
    // Applied to the audio player at once, once it exists.
}

void CMainWnd::SetDisconnectTimer(int iSeconds)
{
    if (!(RunFlags() & RUN_DISCONNECT_TIMER)) {
        CRVMSG msg(0, MSG_DISCONNECT_TIMER_ON, 0, 1);
        SendMSG(&msg);
    }
    m_uDisconnectStart = RVGetTickCount();
    m_uDisconnectLength = iSeconds > 0 ? (uint32_t)iSeconds * 1000u : 0u;
    SetRunFlags(RUN_DISCONNECT_TIMER);
}

void CMainWnd::CancelDisconnectTimer()
{
    if (!(RunFlags() & RUN_DISCONNECT_TIMER))
        return;
    CRVMSG msg(0, MSG_DISCONNECT_TIMER_OFF, 0, 1);
    SendMSG(&msg);
    ClearRunFlags(RUN_DISCONNECT_TIMER);
}

void CMainWnd::OnOrientationChange(ORIENT eOrient, int iDX, int iDY)
{
    CRVMSG msg(0, MSG_ORIENTATION, 12, 1);
    msg.PutInt(eOrient);
    msg.PutInt(iDX);
    msg.PutInt(iDY);
    SendMSG(&msg);
    StartOrientationTurn(eOrient);
    Orientation(eOrient);
    SetupMatrices();
    SetStateBits(SS_NEEDS_REDRAW);
}

void CMainWnd::Orientation(int iOrient)
{
    m_eOrientation = iOrient ? ORIENT_1 : ORIENT_0;
    RVLog(RV_LOG_DEBUG, "MainWnd Orientation is now %d\n", (int)m_eOrientation);
}

void CMainWnd::OnDisconnectController()
{
    m_TreeLock.RVLock();
    CSurf::OnDisconnectController();
    m_TreeLock.RVUnlock();
    StopCamera();
    // The outgoing RTSP server stops here once it exists.
    StopAudio();
}

void CMainWnd::StopCamera()
{
    GLDelegateStopCamera(m_pView);
}

void CMainWnd::StartCamera(int)
{
    GLDelegateStartCamera(m_pView, m_iCameraSize, m_iCameraOffset, m_iCameraPositions);
}

void CMainWnd::StopAudio()
{
    // Stops intercom audio once it exists.
}

void CMainWnd::OnChar(int)
{
    // Goes to the open text entry (HandleCharMessage) once text entry exists;
    // with none open a character is ignored.
}

void CMainWnd::OnKey(int)
{
    // As OnChar, through HandleKeyMessage.
}
