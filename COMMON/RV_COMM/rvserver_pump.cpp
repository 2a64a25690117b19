// The session's traffic: sending, the message pump, routing and the waits for
// one sender's answer.
//
// Received frames are routed in place in the one receive buffer: the record
// handed to the sinks wraps the bytes there. A frame stays where it is until
// every handler has returned, even if a handler waits for an answer (and so
// reads more from the link) meanwhile; the unread rest is moved to the front
// only between rounds, when no frame is being handled.
#include "rvserver.h"

#include <string.h>

#include <memory>

#include "rvdebug.h"
#include "rvmsg.h"
#include "rvtick.h"

namespace {

// What one receive step saw.
enum RECEIVE_RESULT
{
    RECEIVE_NOTHING = 0,   // not readable within the wait
    RECEIVE_READABLE = 1,  // readable; whatever came was appended
    RECEIVE_DOWN = 2,      // the link is gone
};

}  // namespace

int CRVServer::SendMSG(CRVMSG* pMsg)
{
    if (pMsg == nullptr)
        return 0;
    RV_ASSERT(m_pConnection != nullptr);
    if (m_pConnection == nullptr)
        return 0;
    m_SendLock.RVLock();
    int bSent = m_pConnection->Send(pMsg->MSG(), pMsg->MSGSize());
    m_SendLock.RVUnlock();
    return bSent;
}

// ---------------------------------------------------------------------------
// The receive buffer

CRVServer::FRAME_STATE CRVServer::PeekFrame(unsigned int* pTotal) const
{
    unsigned int uHeld = m_uBytes - m_uReadPos;
    if (uHeld < RV_HEADER_SIZE)
        return FRAME_PARTIAL;
    RVT_HEADER h = RVLoadHeader(m_pReceiveBuffer + m_uReadPos);
    // Read unsigned, a negative length is as much too long as a huge one.
    if (h.uLength > RECEIVE_BUFFER_SIZE - RV_HEADER_SIZE)
        return FRAME_OVERSIZE;
    unsigned int uTotal = h.uLength + RV_HEADER_SIZE;
    if (uHeld < uTotal)
        return FRAME_PARTIAL;
    *pTotal = uTotal;
    return FRAME_COMPLETE;
}

void CRVServer::CompactReceiveBuffer()
{
    if (m_iDispatchDepth > 0 || m_uReadPos == 0)
        return;
    unsigned int uHeld = m_uBytes - m_uReadPos;
    if (uHeld > 0)
        memmove(m_pReceiveBuffer, m_pReceiveBuffer + m_uReadPos, uHeld);
    m_uReadPos = 0;
    m_uBytes = uHeld;
}

void CRVServer::EmptyReceiveBuffer()
{
    // Frames still being handled further up the stack keep their bytes.
    if (m_iDispatchDepth > 0)
        m_uReadPos = m_uBytes;
    else
        m_uReadPos = m_uBytes = 0;
}

int CRVServer::Receive(unsigned int uWaitMs)
{
    CompactReceiveBuffer();
    if (!m_pConnection->WaitReadState(uWaitMs))
        return RECEIVE_NOTHING;
    unsigned int uFree = RECEIVE_BUFFER_SIZE - m_uBytes;
    if (uFree == 0)   // only while handlers up the stack pin the buffer
        return RECEIVE_READABLE;
    int n = m_pConnection->Recv(m_pReceiveBuffer + m_uBytes, (int)uFree);
    if (n > 0)
    {
        m_uBytes += (unsigned int)n;
        m_dwLastReceive = RVGetTickCount();
        return RECEIVE_READABLE;
    }
    return m_pConnection->IsConnected() ? RECEIVE_READABLE : RECEIVE_DOWN;
}

void CRVServer::DispatchFrame(unsigned int uTotal)
{
    unsigned char* pFrame = m_pReceiveBuffer + m_uReadPos;
    m_uReadPos += uTotal;
    m_iDispatchDepth++;
    {
        CRVMSG msg(reinterpret_cast<RVT_HEADER*>(pFrame));
        ProcessMessage(&msg);
    }
    m_iDispatchDepth--;
}

// ---------------------------------------------------------------------------
// Parked messages

void CRVServer::Park(const CRVMSG* pMsg)
{
    if (m_iPendingCount >= MAX_PENDING)
    {
        RVLog(RV_LOG_INFO, "session: message %d for sender %d dropped, %d already waiting",
              pMsg->MessageID(), pMsg->SenderID(), MAX_PENDING);
        return;
    }
    m_pPending[m_iPendingCount++] = pMsg->CreateCopy();
}

CRVMSG* CRVServer::RemovePendingAt(int i)
{
    CRVMSG* pMsg = m_pPending[i];
    memmove(&m_pPending[i], &m_pPending[i + 1], sizeof(CRVMSG*) * (m_iPendingCount - i - 1));
    m_pPending[--m_iPendingCount] = nullptr;
    return pMsg;
}

CRVMSG* CRVServer::TakePending(unsigned short sSenderID)
{
    for (int i = 0; i < m_iPendingCount; i++)
        if ((unsigned short)m_pPending[i]->SenderID() == sSenderID)
            return RemovePendingAt(i);
    return nullptr;
}

void CRVServer::DispatchPending()
{
    // Only those parked now: a handler that waits may park more, which the
    // next round dispatches.
    for (int n = m_iPendingCount; n > 0 && m_iPendingCount > 0; n--)
    {
        std::unique_ptr<CRVMSG> pMsg(RemovePendingAt(0));
        ProcessMessage(pMsg.get());
    }
}

int CRVServer::TakeFrameFrom(unsigned short sSenderID, CRVMSG** ppCopy)
{
    unsigned int uTotal;
    while (PeekFrame(&uTotal) == FRAME_COMPLETE)
    {
        m_dwLastMessage = RVGetTickCount();
        RVT_HEADER* pFrame = reinterpret_cast<RVT_HEADER*>(m_pReceiveBuffer + m_uReadPos);
        if ((unsigned short)RVLoadHeader(pFrame).sSenderID == sSenderID)
        {
            if (ppCopy == nullptr)
            {
                DispatchFrame(uTotal);
                return 1;
            }
            CRVMSG wrap(pFrame);
            *ppCopy = wrap.CreateCopy();
            m_uReadPos += uTotal;
            return 1;
        }
        CRVMSG wrap(pFrame);
        Park(&wrap);
        m_uReadPos += uTotal;
    }
    // An oversized frame is left where it is: the pump refuses it.
    return 0;
}

// ---------------------------------------------------------------------------
// Routing

void CRVServer::ProcessMessage(CRVMSG* pMsg)
{
    if (pMsg == nullptr)
        return;
    short sSender = pMsg->SenderID();
    if (sSender == RV_BROADCAST_SENDER_ID)
    {
        SendSinkMessage(pMsg);
        return;
    }
    // Each receiver reads the message from its start.
    if (m_pMainSink != nullptr)
    {
        pMsg->ResetRead();
        m_pMainSink->SinkMessage(pMsg);
    }
    if (sSender == 0)
        return;
    for (int i = 0; i < m_iSinkCount; i++)
    {
        if (m_pSinks[i]->SenderID() != sSender)
            continue;
        if (m_pSinks[i] != m_pMainSink)
        {
            pMsg->ResetRead();
            m_pSinks[i]->SinkMessage(pMsg);
        }
        return;
    }
}

void CRVServer::SendSinkMessage(CRVMSG* pMsg)
{
    // A broadcast handled while another broadcast is being handled is a
    // programming error; it is reported and delivered all the same.
    RV_ASSERT(m_iSinkMessageBusy == 0);
    m_iSinkMessageBusy++;
    CSocketSink* sinks[MAX_SINKS];
    int n = SnapshotSinks(sinks);
    for (int i = 0; i < n; i++)
    {
        if (!IsSinkRegistered(sinks[i]))
            continue;
        pMsg->ResetRead();
        sinks[i]->SinkMessage(pMsg);
    }
    m_iSinkMessageBusy--;
}

// ---------------------------------------------------------------------------
// The pump and the waits

int CRVServer::RunMessagePump(unsigned int uWaitMs)
{
    if (!IsConnected())
    {
        if (m_dwConnectionFlags & 1)
        {
            m_dwConnectionFlags &= ~1u;
            SendConnectionChanged(0);
        }
        if (m_eLoginContext >= LOGIN_CONTEXT_AUTO_VIEWER && m_eLoginContext <= LOGIN_CONTEXT_MINIPAD)
            ExecuteAutoConnect();
        return 2;
    }
    if (!(m_dwConnectionFlags & 1))
    {
        m_dwConnectionFlags |= 1;
        SendConnectionChanged(1);
    }
    DispatchPending();

    switch (Receive(uWaitMs))
    {
    case RECEIVE_DOWN:
        return 2;
    case RECEIVE_NOTHING:
        if (RVTickSince(m_dwLastMessage) > m_uSilentMessageMs &&
            RVTickSince(m_dwLastReceive) > m_uSilentReceiveMs)
        {
            RVLog(RV_LOG_WARN, "session: the controller has been silent too long, closing");
            m_pConnection->CloseConnection();
            return 2;
        }
        break;
    default:
        break;
    }

    int bDispatched = 0;
    for (;;)
    {
        unsigned int uTotal;
        FRAME_STATE eState = PeekFrame(&uTotal);
        if (eState == FRAME_PARTIAL)
            break;
        if (eState == FRAME_OVERSIZE)
        {
            RVLog(RV_LOG_WARN, "session: frame longer than %d bytes, closing", RECEIVE_BUFFER_SIZE);
            m_pConnection->CloseConnection();
            return 2;
        }
        m_dwLastMessage = RVGetTickCount();
        DispatchFrame(uTotal);
        bDispatched = 1;
    }
    return bDispatched;
}

int CRVServer::WaitMessage(unsigned short sSenderID, unsigned int uWaitMs)
{
    if (!IsConnected())
        return 0;
    if (CRVMSG* pParked = TakePending(sSenderID))
    {
        std::unique_ptr<CRVMSG> pMsg(pParked);
        ProcessMessage(pMsg.get());
        return 1;
    }
    // Frames already held (a handler up the stack waits) need no waiting.
    unsigned int uTotal;
    Receive(PeekFrame(&uTotal) == FRAME_COMPLETE ? 0 : uWaitMs);
    return TakeFrameFrom(sSenderID, nullptr);
}

CRVMSG* CRVServer::WaitMessageCopy(unsigned short sSenderID, unsigned int uWaitMs)
{
    if (!IsConnected())
        return nullptr;
    if (CRVMSG* pParked = TakePending(sSenderID))
        return pParked;
    uint32_t dwStart = RVGetTickCount();
    for (;;)
    {
        CRVMSG* pCopy = nullptr;
        if (TakeFrameFrom(sSenderID, &pCopy))
            return pCopy;
        uint32_t dwElapsed = RVTickSince(dwStart);
        if (dwElapsed >= uWaitMs)
            return nullptr;
        if (Receive(uWaitMs - dwElapsed) == RECEIVE_DOWN)
            return nullptr;
    }
}
