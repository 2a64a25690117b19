// CMainWnd: the root of the surface tree (surface ID 0, the whole screen) and
// the hub of the engine.
//
// It opens the session with the controller, receives every controller
// message as a sink and decides on which thread each is handled, runs the
// socket, animation and background threads, keeps the animating surfaces,
// delay timers and posted procedures, defers every deletion of surfaces and
// GL objects to the drawing thread, turns mouse input into touches, and draws
// the tree when the window system asks. One per process: g_pMainWindow.
//
// Locks, always taken in this order where more than one is held: tree lock
// (tree, input, drawing, garbage) before animation-list lock. The timer-list
// and queue locks guard their own lists only and are never held while a
// surface callback takes the tree lock.
#pragma once

#include "RVSemaphore.h"
#include "RVThread.h"
#include "rvcritical.h"
#include "rvstring.h"
#include "socksink.h"
#include "surf_rect.h"

#include <pthread.h>
#include <stdint.h>

class CDIBDC32;
class CFontDownload;
class CMainWnd;
class CRVFile;
class CRVWAV;
class CRTSPAudio;
class CResourceManager;
class CSurfCursor;
class CSurfText;
class CSurfTextEntry;
class CSurfTimer;

extern CMainWnd* g_pMainWindow;

// Session-start flavour: 0 the viewer's own (20000), 1 the alternative (20002).
enum IOS_SESSION_CTX
{
    IOS_SESSION_CTX_DEFAULT = 0,
    IOS_SESSION_CTX_ALT = 1,
};

// A procedure to run on the animation thread (PostProc).
class CMainThreadProc
{
public:
    virtual ~CMainThreadProc() = default;
    virtual void DoProc() {}
};

// A growable list of objects waiting for the drawing thread. It grows rather
// than overflowing, so nothing holding GL names is ever freed elsewhere.
struct RVT_GARBAGE_LIST
{
    void** ppItems = nullptr;
    int iCount = 0;
    int iCapacity = 0;
    // 0 when out of memory.
    int Add(void* pItem);
    void Free();
};

// Text surfaces whose font sizes are made equal (keys 0x10000 .. 0x40000).
struct RVT_TEXT_GROUP
{
    enum { MAX_MEMBERS = 32 };
    CSurfText* pMembers[MAX_MEMBERS];
    int iCount;
};

class CMainWnd : public CSurfRect, public CSocketSink
{
public:
    // Run flags.
    enum
    {
        RUN_SOCKET = 0x1,
        RUN_ANIMATION = 0x2,
        RUN_SESSION_ENDED = 0x10,
        RUN_DISCONNECT_TIMER = 0x20,
    };
    enum { MAX_PROCS = 8, MAX_QUEUED = 32, TEXT_GROUPS = 4, SOUND_SLOTS = 32 };
    enum { THREAD_STACK = 262144, ANIMATION_PRIORITY = 25 };
    // Animation rounds: every 20 ms while anything moves, else once a second.
    enum { ROUND_MS = 20, IDLE_WAIT_MS = 1000, DEFERRED_REDRAW_MS = 500, BACKGROUND_IDLE_MS = 1000 };

    // Platform view, session ID, width and height of orientation 0 and 1, scale
    // (device pixels per window point).
    CMainWnd(void* pView, int iSessionID, int iDX0, int iDY0, int iDX1, int iDY1, int iScale);
    ~CMainWnd() override;

    // ---- session ----
    // Sends the session start and waits for the answer: the controller's
    // session ID, or -1. Called before the main window exists.
    static int InitSession(int iSessionID, SIZE size0, SIZE size1, int iScale, IOS_SESSION_CTX ctx);
    int RestoreSession();
    int SessionID() const { return m_iSessionID; }
    void SessionID(int iSessionID) { m_iSessionID = iSessionID; }

    // ---- threads ----
    void StartSocketHandler();
    void StartAnimationHandler();
    void StopSocketHandler();
    void StopAnimationHandler();
    int IsSocketHandlerRunning() { return m_SocketThread.IsRunning(); }
    int IsAnimationHandlerRunning() { return m_AnimThread.IsRunning(); }
    uint32_t RunFlags() const { return m_dwRunFlags; }
    void ClearRunFlags(uint32_t dwFlags) { __atomic_and_fetch(&m_dwRunFlags, ~dwFlags, __ATOMIC_SEQ_CST); }
    void SetRunFlags(uint32_t dwFlags) { __atomic_or_fetch(&m_dwRunFlags, dwFlags, __ATOMIC_SEQ_CST); }

    // ---- messages ----
    // Routing on the pump's thread: handled at once or queued for the
    // background thread.
    void SinkMessage(CRVMSG* pMsg) override;
    // 0: the link is gone; both loops end.
    void ConnectionChanged(int bConnected) override;
    // Dispatch by message identifier. Defined with the message catalogue.
    void ProcessMessage(CRVMSG* pMsg);
    int BackgroundMode() const { return m_iBackgroundMode; }
    int QueuedMessages();

    // ---- drawing ----
    // On the drawing thread, context current: releases the garbage, makes
    // the shader programs at the first frame (GL on), draws the tree, and
    // deletes the GL names that were thrown away.
    void RenderScreen();
    void RenderScreen(RVT_MATRIX_CONFIG* pConfig);
    // Once per animation round: turns the deferred redraw into a redraw
    // request and asks the view for it.
    void ValidateScreen(RVT_MATRIX_CONFIG* pConfig);
    int StateFlags() override;
    // Writing the needs-redraw bit wakes the animation thread.
    void StateFlags(int iFlags) override;
    void SetAnimationExecuteEvent();
    // A tree change: redraw now and once more 500 ms after the last change.
    void SetTreeChanged();
    // Atomic changes of the root's state bits; setting the needs-redraw bit
    // wakes the animation thread.
    void SetStateBits(int iBits);
    void ClearStateBits(int iBits);
    // The clear colour last applied (0x00RRGGBB).
    unsigned int ClearColor() const { return m_uClearColor; }
    const float* ProjectionMatrix() const { return m_fProjection; }
    const float* ViewMatrix() const { return m_fView; }
    const float* ModelMatrix() const { return m_fModel; }
    const float* CombinedMatrix() const { return m_fCombined; }
    // The buffer the stencil clip writes its rectangle with; made on first
    // use on the drawing thread.
    CFillRectVBO* StencilFill();
    void LockContext() { m_ContextLock.RVLock(); }
    void UnlockContext() { m_ContextLock.RVUnlock(); }

    // ---- input (window points, origin at the bottom left) ----
    void OnMouseDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnMouseUp(int x, int y);
    void OnMouseDown(int x1, int y1, int x2, int y2);
    void OnMouseMove(int x1, int y1, int x2, int y2);
    void OnChar(int iChar);
    void OnKey(int iKey);
    // The root's swipe gesture on the bare background.
    int OnTouchDown(ORIENT eOrient, POINT pt, unsigned int uIndex, CClipStack* pClip) override;
    int OnTouchMove(ORIENT eOrient, POINT pt, unsigned int uIndex) override;
    int OnTouchUp(ORIENT eOrient, POINT pt, unsigned int uIndex) override;
    using CSurf::OnTouchDown;
    using CSurf::OnTouchMove;

    // ---- animations and timers ----
    void RegisterAnimations(CSurf* pSurf);
    void UnRegisterAnimations(CSurf* pSurf);
    void OffsetAnimationTimes(unsigned int uMS);
    void SyncAnimations(const timespec& now);
    // Waits for the animations-done event while anything animates and the
    // animation thread runs (nothing else could signal it).
    void WaitAnimations();
    void ResetWaitAnimations();
    // 1 while the animations-done event is set.
    int AnimationsDone();
    // One round of the animation thread after its wait and posted
    // procedures, at SurfNow(): timers, animations, redraw request.
    void AnimationRound();
    // The screen's turn to eOrient (keys 26 and 25, 250 ms).
    void StartOrientationTurn(ORIENT eOrient);
    // Keys 25 and 26 drive the orientation turn's progress.
    void ProcessAnimationUpdate(CSurfAnimation* pAnimation) override;
    void SetDelayCallback(CSurf* pSurf, unsigned int uDelay, int bRepeat);
    void CancelDelayCallback(CSurf* pSurf);
    int HasTimers();
    // 0 when 8 procedures wait already.
    int PostProc(CMainThreadProc* pProc);
    void ClearPendingProcs();
    void WaitProc();
    void WaitProc(unsigned int uMS);
    void SetPendingAnimation();
    int IsPendingAnimation();
    void ClearPendingAnimation();
    CRVCritical* TreeLock() { return &m_TreeLock; }
    CRVCritical* AnimationLock() { return &m_AnimLock; }
    // Posted procedures and the background queue.
    CRVCritical* QueueLock() { return &m_QueueLock; }

    // ---- garbage, released on the drawing thread ----
    void AddToGarbage(CSurf* pSurf);
    void AddToGarbage(CDIBDC32* pDIB);
    void AddToGarbage(CRenderObject* pObject);
    // Lets go of one reference to a canvas. The last one deletes its texture,
    // which belongs on the drawing thread: off it, the release waits in the
    // main window's garbage; without a main window nothing draws, and it
    // goes at once.
    static void ReleaseCanvas(CDIBDC32* pDIB);
    void CleanupGarbage();
    int GarbageSurfaces() const { return m_GarbageSurfs.iCount; }
    int GarbageDIBs() const { return m_GarbageDIBs.iCount; }
    int GarbageObjects() const { return m_GarbageObjects.iCount; }
    // Releasing a canvas or a drawing object is their own code's job: the
    // canvas code sets the first once it exists; the second drops the
    // garbage's reference to a render object (on the drawing thread).
    static void (*g_pfnReleaseDIB)(CDIBDC32* pDIB);
    static void (*g_pfnReleaseRenderObject)(CRenderObject* pObject);

    // ---- text-limit groups ----
    void BeginTextLimitGroup(unsigned int uKey);
    void AddTextGroup(unsigned int uKey, CSurfText* pText);
    RVT_TEXT_GROUP* GetTextGroup(unsigned int uKey);
    // Gives every member the smallest fitting font size. Defined with the
    // text surfaces.
    void CommitTextLimitGroup(unsigned int uKey);

    // ---- other operations ----
    // Focus cursor placement.
    void SetCursorPosition(int iID, int a, int b, int c, int d, unsigned int uTime);
    void SetCursorPosition(CRVRect rc, unsigned int uTime);
    void PlaySound();
    void SetStreamVolume(int iVolume);
    int GetStreamVolume() const { return m_iStreamVolume; }
    void SetDisconnectTimer(int iSeconds);
    void CancelDisconnectTimer();
    void OnOrientationChange(ORIENT eOrient, int iDX, int iDY);
    static void Orientation(int iOrient);
    // Message 20134. Defined with the message catalogue.
    void FilePromptSave(int iKey, CRVString s1, CRVString s2, CRVString s3, CRVString sPattern);
    // Closes the text entry and sends 20208. Defined with the text entry.
    void DismissKeyboardWithResult(int iID, int bAccepted, CRVString sText);
    void OnDisconnectController() override;
    void StopCamera();
    void StartCamera(int bStart);
    void StopAudio();
    int ResInt() const { return 8; }
    int ConnectionInt() const { return 13; }
    void* View() const { return m_pView; }
    int Scale() const { return m_iScale; }

    static ORIENT m_eOrientation;
    static CResourceManager* g_pResourceManager;

    // ---- state shared with the message handlers ----
    int m_iOrientAnimMode;          // 0 none, 1 towards orientation 0, 2 towards 1
    int m_iOrientAnimProgress;      // 0 .. 1000
    CSurfCursor* m_pCursor;         // focus cursor (created with the cursor code)
    CSurfTextEntry* m_pTextEntry;   // the open text entry, or none
    CRVWAV* m_pClickSound;
    int m_iClickVolume;
    CRVWAV* m_pSounds[SOUND_SLOTS];
    CFontDownload* m_pFontFile;     // own bitmap font file arriving (20123)
    CRVFile* m_pSaveFile;           // target of a save prompt
    CSurf* m_pConnectAnimation;     // shown by RestoreSession
    CRTSPAudio* m_pRTSPAudio;       // intercom audio
    int m_iCameraSize;
    int m_iCameraOffset;
    int m_iCameraPositions;
    int m_iStreamVolume;
    int m_iSoundVolume;
    int m_iPlayerVolume;            // last given to the player

private:
    static void* SocketThreadProc(void* pArg);
    static void* AnimationThreadProc(void* pArg);
    static void* BackgroundThreadProc(void* pArg);
    void RunSocketThread();
    void RunAnimationThread();
    void RunBackgroundThread();
    // The steps of one animation round.
    void RunPostedProcs();
    void RunTimers(const timespec& now);
    // 0 nothing animates, 1 an animation others wait for runs, 2 only others.
    // Signals animations-done, under the list lock, when none that others
    // wait for runs any more.
    int RunAnimations(const timespec& now, int* pbWalked);
    // Counts the redraws of a burst and traces its frame rate.
    void CountRedraw(int bRedrawn);
    // 1 while a surface animates, a timer waits, a procedure is posted or a
    // deferred redraw is due: the thread then runs 20 ms rounds.
    int AnythingPending();
    void StartBackgroundThread();
    void SetupMatrices();
    // Destructor, drawing thread: the stencil buffer, the programs and the
    // trash.
    void ReleaseGL();
    // First frame with GL on: the nine programs.
    void CreateGL();
    RVT_TEXT_GROUP* TextGroup(unsigned int uKey);
    int SwipeTracking() const { return (m_iState & SS_PRESSED) != 0; }

    void* m_pView;
    int m_iSessionID;
    int m_iScale;
    volatile uint32_t m_dwRunFlags;

    CRVThread m_SocketThread;
    CRVThread m_AnimThread;
    CRVThread m_BackgroundThread;
    int m_bBackgroundRunning;       // under the queue lock
    volatile int m_bStopping;       // the destructor ends the background thread
    // Set by each loop when it starts: a loop asked to stop from its own
    // thread only clears its flag instead of waiting for itself.
    pthread_t m_SocketThreadID;
    pthread_t m_AnimThreadID;

    CRVAutoSemaphore m_AnimWake;
    CRVManualSemaphore m_AnimsDone;
    CRVManualSemaphore m_BackgroundQueue;
    CRVManualSemaphore m_ProcsDone;

    CRVCritical m_TreeLock;
    CRVCritical m_AnimLock;
    CRVCritical m_TimerLock;
    CRVCritical m_QueueLock;
    CRVCritical m_ContextLock;

    CSurf* m_pAnimating;            // head of the animating list
    volatile int m_bAnimationsRunning;
    CSurfTimer* m_pTimers;
    int m_bTimersRunning;           // under the timer lock: the round walks the list
    CMainThreadProc* m_pProcs[MAX_PROCS];
    int m_iProcCount;
    CRVMSG* m_pQueue[MAX_QUEUED];
    int m_iQueueCount;
    volatile int m_iBackgroundMode;

    RVT_GARBAGE_LIST m_GarbageSurfs;
    RVT_GARBAGE_LIST m_GarbageDIBs;
    RVT_GARBAGE_LIST m_GarbageObjects;

    RVT_TEXT_GROUP m_TextGroups[TEXT_GROUPS];

    float m_fView[16];
    float m_fModel[16];
    float m_fProjection[16];
    float m_fCombined[16];
    unsigned int m_uClearColor;
    // The shader programs were made by this window (lazily, at its first
    // frame with GL on) and are deleted with it.
    int m_bOwnsShaders;
    CFillRectVBO* m_pStencilFill;

    uint32_t m_uLastTreeChange;     // millisecond tick
    uint32_t m_uDisconnectStart;
    uint32_t m_uDisconnectLength;   // ms
    uint32_t m_uPendingAnimationTime;
    int m_bPendingAnimation;

    POINT m_ptSwipeStart;
    // Redraw burst statistics of the animation thread.
    int m_bRedrawRequested;
    uint32_t m_uBurstRedraws;
    uint32_t m_uBurstStart;
};
