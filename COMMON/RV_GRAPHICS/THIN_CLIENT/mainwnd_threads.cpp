// CMainWnd: the socket and background threads, and the routing of every
// controller message to the thread that handles it.
#include "mainwnd.h"

#include "msgids.h"
#include "rvdebug.h"
#include "rvmsg.h"
#include "rvserver.h"
#include "rvtick.h"

enum { PUMP_WAIT_MS = 50, STOP_POLL_MS = 50 };

void* CMainWnd::SocketThreadProc(void* pArg)
{
    static_cast<CMainWnd*>(pArg)->RunSocketThread();
    return nullptr;
}

void* CMainWnd::BackgroundThreadProc(void* pArg)
{
    static_cast<CMainWnd*>(pArg)->RunBackgroundThread();
    return nullptr;
}

void CMainWnd::StartSocketHandler()
{
    SetRunFlags(RUN_SOCKET);
    if (!m_SocketThread.IsRunning())
        m_SocketThread.Start(SocketThreadProc, this, THREAD_STACK, "Socket");
}

void CMainWnd::StopSocketHandler()
{
    ClearRunFlags(RUN_SOCKET | RUN_DISCONNECT_TIMER);
    if (m_SocketThread.IsRunning() && pthread_equal(m_SocketThreadID, pthread_self()))
        return;
    while (m_SocketThread.IsRunning())
        Sleep(STOP_POLL_MS);
}

void CMainWnd::RunSocketThread()
{
    m_SocketThreadID = pthread_self();
    while (RunFlags() & RUN_SOCKET) {
        int iResult = g_pRVServer ? g_pRVServer->RunMessagePump(PUMP_WAIT_MS) : 2;
        // A link that is down answers at once: do not spin on it.
        if (iResult == 2)
            Sleep(PUMP_WAIT_MS);
        // The audio player gets its idle call here once it exists.
        uint32_t dwFlags = RunFlags();
        if ((dwFlags & RUN_DISCONNECT_TIMER) && RVTickSince(m_uDisconnectStart) > m_uDisconnectLength) {
            if (g_pRVServer)
                g_pRVServer->CloseConnection();
            ClearRunFlags(RUN_SOCKET | RUN_DISCONNECT_TIMER);
        }
    }
}

void CMainWnd::ConnectionChanged(int bConnected)
{
    if (bConnected)
        return;
    RVLog(RV_LOG_INFO, "Disconnected");
    ClearRunFlags(0xFFFFFFFFu);
    // End a long idle wait of the animation thread now.
    m_AnimWake.SetEvent();
}

void CMainWnd::SinkMessage(CRVMSG* pMsg)
{
    short sID = pMsg->MessageID();
    if (sID == MSG_BACKGROUND_MODE) {
        m_iBackgroundMode = pMsg->GetInt();
        pMsg->ResetRead();
    }
    if (sID == MSG_SET_ATTRIBUTE || sID == MSG_UPDATE_IMAGE) {
        // A newer command for the same surface makes the queued older ones
        // moot; each dropped image update is still acknowledged.
        int iKey = pMsg->GetInt();
        pMsg->ResetRead();
        m_QueueLock.RVLock();
        int iKept = 0;
        for (int i = 0; i < m_iQueueCount; i++) {
            CRVMSG* pQueued = m_pQueue[i];
            int iQueuedKey = 0;
            int bSame = pQueued->MessageID() == sID && pQueued->GetInt(&iQueuedKey) && iQueuedKey == iKey;
            pQueued->ResetRead();
            if (!bSame) {
                m_pQueue[iKept++] = pQueued;
                continue;
            }
            if (sID == MSG_UPDATE_IMAGE) {
                CRVMSG done(0, MSG_UPDATE_IMAGE_DONE, 4, 1);
                done.PutInt(iKey);
                SendMSG(&done);
            }
            delete pQueued;
        }
        m_iQueueCount = iKept;
        m_QueueLock.RVUnlock();
    }

    if (m_iBackgroundMode == 1) {
        m_QueueLock.RVLock();
        if (m_iQueueCount < MAX_QUEUED) {
            CRVMSG* pCopy = pMsg->CreateCopy();
            if (pCopy) {
                m_pQueue[m_iQueueCount++] = pCopy;
                StartBackgroundThread();
                m_BackgroundQueue.SetEvent();
                m_QueueLock.RVUnlock();
                return;
            }
        }
        m_QueueLock.RVUnlock();
    }
    ProcessMessage(pMsg);
}

int CMainWnd::QueuedMessages()
{
    m_QueueLock.RVLock();
    int iCount = m_iQueueCount;
    m_QueueLock.RVUnlock();
    return iCount;
}

// Under the queue lock.
void CMainWnd::StartBackgroundThread()
{
    if (m_bBackgroundRunning)
        return;
    m_bBackgroundRunning = 1;
    if (m_BackgroundThread.Start(BackgroundThreadProc, this, THREAD_STACK, "Background") != 0)
        m_bBackgroundRunning = 0;
}

void CMainWnd::RunBackgroundThread()
{
    for (;;) {
        m_QueueLock.RVLock();
        if (m_bStopping || m_iQueueCount == 0) {
            m_BackgroundQueue.ResetEvent();
            m_QueueLock.RVUnlock();
            int bSignalled = m_BackgroundQueue.WaitSignal(BACKGROUND_IDLE_MS);
            m_QueueLock.RVLock();
            // Ends after a second without work; the next queued message starts
            // a new thread (the decision is taken under the queue lock).
            if (m_bStopping || (!bSignalled && m_iQueueCount == 0)) {
                m_bBackgroundRunning = 0;
                m_QueueLock.RVUnlock();
                return;
            }
            m_QueueLock.RVUnlock();
            continue;
        }
        CRVMSG* pMsg = m_pQueue[0];
        for (int i = 1; i < m_iQueueCount; i++)
            m_pQueue[i - 1] = m_pQueue[i];
        m_iQueueCount--;
        m_QueueLock.RVUnlock();
        ProcessMessage(pMsg);
        delete pMsg;
    }
}
