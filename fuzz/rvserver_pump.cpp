// The session's message pump fed arbitrary byte streams in arbitrary read
// sizes through a socket pair, with a few sinks registered: some read every
// message, one waits for another sender from inside its handler, one takes
// copies. Whatever the bytes, the pump must neither crash, leak nor hang.
//
// Input: a sequence of chunks, each a length byte followed by that many
// stream bytes; every chunk is written and then pumped once, so the chunk
// boundaries are the read boundaries the session sees.
#include <stddef.h>
#include <stdint.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

#include "rvmsg.h"
#include "rvserver.h"
#include "socksink.h"

namespace {

// Reads the whole message as ints, then as strings, as handlers do.
class CReadingSink : public CSocketSink
{
public:
    explicit CReadingSink(short sID) : CSocketSink(sID) {}
    void SinkMessage(CRVMSG* pMsg) override
    {
        int v;
        while (pMsg->GetInt(&v))
            m_uSum += (unsigned)v;
        pMsg->ResetRead();
        CRVString s;
        while (pMsg->GetString(&s))
            m_uSum += (unsigned)s.GetLength();
    }
    unsigned m_uSum = 0;
};

// Waits for sender 3 from inside the handler of some of its messages.
class CWaitingSink : public CSocketSink
{
public:
    explicit CWaitingSink(CRVServer* pSession) : CSocketSink((short)2), m_pSession(pSession) {}
    void SinkMessage(CRVMSG* pMsg) override
    {
        if (pMsg->MessageID() % 7 == 0)
            m_pSession->WaitMessage(3, 0);
    }
    CRVServer* m_pSession;
};

// Takes a copy of the next message from sender 1, if one is there.
class CCopyingSink : public CSocketSink
{
public:
    explicit CCopyingSink(CRVServer* pSession) : CSocketSink((short)3), m_pSession(pSession) {}
    void SinkMessage(CRVMSG*) override { std::unique_ptr<CRVMSG> p(m_pSession->WaitMessageCopy(1, 0)); }
    CRVServer* m_pSession;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
        return 0;
    {
        CRVServer session("/nonexistent/");
        g_pRVServer = &session;
        CReadingSink reader((short)1), mainWindow((short)9);
        CWaitingSink waiter(&session);
        CCopyingSink copier(&session);
        session.AddSocketSink(&reader);
        session.AddSocketSink(&waiter);
        session.AddSocketSink(&copier);
        session.AddSocketSink(&mainWindow);
        session.SetMainWindowSink(&mainWindow);
        session.CreateConnection(fds[0]);

        size_t pos = 0;
        while (pos < size && session.IsConnected()) {
            size_t n = data[pos++];
            if (n > size - pos)
                n = size - pos;
            if (n > 0 && send(fds[1], data + pos, n, MSG_NOSIGNAL) != (ssize_t)n)
                break;
            pos += n;
            session.RunMessagePump(0);
        }
        // The end of the stream: the pump reports the loss and stops.
        close(fds[1]);
        for (int i = 0; i < 4 && session.RunMessagePump(0) != 2; i++) {
        }
        session.RunMessagePump(0);
        session.SetMainWindowSink(nullptr);
        g_pRVServer = nullptr;
    }
    return 0;
}
