// CControllerSim: a simulated controller, the other end of the viewer's wire.
//
// It listens on 127.0.0.1 (a given port, or a free one), takes one viewer at a
// time (a new connection replaces the current one), checks the 21-byte primer,
// answers the login exchange, the session start and the system-name question,
// records every frame the viewer sends, and sends whatever a test, a script or
// the demo asks for. It can also misbehave on purpose: split frames, go
// silent, close mid-frame, announce lying lengths, send garbage.
//
// Threads: Start() runs one network thread that accepts, reads, answers and
// sends keep-alives. Every public operation may be called from any thread;
// sends are serialised so that frames never interleave on the wire.
// Frames are recorded after the sim has answered them, so once WaitFor(27)
// returns, the login verdict is known and the answer (if any) has been sent.
#pragma once

#include "rvmsg.h"
#include "sim_records.h"
#include "sim_script.h"

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Message IDs the sim speaks itself.
enum SIM_MSG_ID : short
{
    SIM_MSG_GET_CHALLENGE = 14,
    SIM_MSG_CHALLENGE = 15,
    SIM_MSG_LOGIN = 27,
    SIM_MSG_LOGIN_OK = 28,
    SIM_MSG_GET_SYSTEM_NAME = 8058,
    SIM_MSG_SYSTEM_NAME = 8059,
    SIM_MSG_INIT_SESSION = 20000,
    SIM_MSG_INIT_SESSION_REPLY = 20001,
    SIM_MSG_INIT_SESSION_ALT = 20002,
    SIM_MSG_INIT_SESSION_ALT_REPLY = 20003,
    SIM_MSG_ECHO = 20155,
    SIM_MSG_SESSION_END = 20169,
};

// The bytes every viewer sends first on a new connection.
#define SIM_PRIMER "CONNECTSERVERHOST\r\n\r\n"
#define SIM_PRIMER_SIZE 21
// A frame length the viewer must refuse (header + data above 1,000,000 bytes).
#define SIM_OVERSIZE_LENGTH (RV_MAX_MSG_DATA - RV_HEADER_SIZE + 1)

class CControllerSim
{
public:
    CControllerSim();
    // Stops (joins the thread, closes every socket).
    ~CControllerSim();

    CControllerSim(const CControllerSim&) = delete;
    CControllerSim& operator=(const CControllerSim&) = delete;

    // ---- Life cycle -------------------------------------------------------
    // Listens on 127.0.0.1:usPort (0: a free port) and starts the network
    // thread. 1 on success, 0 if the port cannot be bound or it runs already.
    int Start(unsigned short usPort = 0);
    // Closes the connection and the listener and joins the thread. Safe to
    // call twice and without Start.
    void Stop();
    // The port listened on (0 before Start).
    unsigned short Port() const;

    // ---- Configuration (any time; applies to the next frame handled) -------
    // The password logins are checked against, as the user types it (UTF-8;
    // characters up to U+00FF count as one byte, as in the viewer). Default "".
    void SetPassword(const char* pszPassword);
    // A fixed challenge text (8-bit bytes). Null or never set: a fresh random
    // 16-character challenge for every connection.
    void SetChallenge(const char* pszChallenge);
    // What a wrong login response gets: 0 (default) nothing at all, else a
    // message with this ID (no data), sender ID echoed.
    void SetWrongPasswordReply(short sMessageID);
    // 1 (default): the session start and the system name are answered only
    // after a successful login on this connection. 0: always.
    void SetRequireLogin(int bRequire);
    // Session ID sent as the first int of 20001 / 20003. Default 1.
    void SetSessionID(int iSessionID);
    // Name sent in 8059. Default "Simulated Controller".
    void SetSystemName(const char* pszName);
    // Keep-alive: after a successful login, an echo message (20155 with two
    // ints: a counter and 0, sender ID 0) every uIntervalMs ms. 0 turns it off.
    // Default 3000 ms (the viewer closes a link that is silent for 10 s).
    void SetKeepAlive(unsigned int uIntervalMs);
    // 1: answer nothing and send no keep-alive (explicit sends still go out).
    void SetSilent(int bSilent);
    // Every outgoing frame is written in pieces of uChunkBytes bytes with
    // uDelayMs between them. 0 bytes: whole frames (default).
    void SetChunking(unsigned int uChunkBytes, unsigned int uDelayMs);
    // Called on the network thread for every frame the viewer sends, after the
    // sim's own answer and before the frame is recorded. It may call Send and
    // Disconnect, but not Stop (which waits for that thread).
    void SetFrameHook(std::function<void(CControllerSim&, const CRVMSG&)> hook);
    // Appends a text line per frame, both directions, to this file
    // ("recv"/"send", time, sender ID, message ID, length, data in hex).
    // Null closes it. 1 on success.
    int OpenLog(const char* pszPath);

    // ---- Connection state ------------------------------------------------
    int IsConnected() const;
    // 1 once a viewer is connected (primer accepted) within uMs ms.
    int WaitConnected(unsigned int uMs);
    // 1 once no viewer is connected within uMs ms.
    int WaitDisconnected(unsigned int uMs);
    // Connections whose primer was accepted / refused, since Start.
    int ConnectionCount() const;
    int RejectedCount() const;
    // Ends the current connection: IsConnected() is 0 at once, what was
    // written is still delivered, then the stream ends. The sim keeps listening.
    void Disconnect();

    // ---- What the viewer sent --------------------------------------------
    // A copy of the oldest recorded frame with this message ID that no earlier
    // WaitFor returned, waiting up to uMs ms for one to arrive; null on time-out.
    std::unique_ptr<CRVMSG> WaitFor(short sMessageID, unsigned int uMs);
    // Copies of every frame recorded so far (all connections), in order.
    std::vector<std::unique_ptr<CRVMSG>> Frames() const;
    // How many recorded frames have this ID; -1 counts all.
    int CountFrames(int iMessageID = -1) const;
    // Forgets every recorded frame.
    void ClearFrames();
    // The most recent login (27) and session start (20000/20002) seen, with
    // the sim's verdict. 0 while there was none.
    int GetLastLogin(SIM_LOGIN* pLogin) const;
    int GetLastSessionStart(SIM_SESSION_START* pStart) const;

    // ---- Sending ----------------------------------------------------------
    // Each returns 1 when every byte was written, 0 without a connection or
    // when the link failed. Chunking (SetChunking) applies.
    int Send(CRVMSG& msg);
    int SendRaw(const void* pData, size_t n);

    // ---- Misbehaving on purpose -------------------------------------------
    // The frame in two writes: the first uOffset bytes, a pause, the rest.
    int SendSplitAt(CRVMSG& msg, size_t uOffset, unsigned int uDelayMs);
    // The frame's header announcing uLength data bytes, followed by the
    // message's real data (a lying length when they differ; SIM_OVERSIZE_LENGTH
    // for a frame the viewer must refuse).
    int SendWithLength(CRVMSG& msg, unsigned int uLength);
    // The first uBytes bytes of the frame, then the connection is closed.
    int SendTruncatedAndClose(CRVMSG& msg, size_t uBytes);
    // n pseudo-random bytes (the same bytes for the same seed).
    int SendGarbage(size_t n, unsigned int uSeed = 1);

    // ---- Scripts ----------------------------------------------------------
    // Runs the steps on the calling thread until the end, a failed step or
    // Stop(). A "wait" looks at frames of the current connection only and
    // keeps its own position (it does not consume what WaitFor returns).
    // 1 on success; 0 with "line N: ..." in *pError otherwise.
    int RunScript(const CSimScript& script, std::string* pError = nullptr);

    struct IMPL;

private:
    std::unique_ptr<IMPL> m_p;
};
