// What the simulated controller does with each frame the viewer sends: the
// login exchange, the session start and the system name are answered; every
// frame is then handed to the hook and recorded.
#include "sim_impl.h"

#include "rvlog.h"
#include "rvtick.h"

#include <string.h>

void CControllerSim::IMPL::HandleFrame(const unsigned char* pFrame)
{
    RVT_HEADER h = RVLoadHeader(pFrame);
    LogBytes("recv", pFrame, RV_HEADER_SIZE + h.uLength, 1);
    // Wrapped in place: the record reads the receive buffer and never writes.
    CRVMSG msg(reinterpret_cast<RVT_HEADER*>(const_cast<unsigned char*>(pFrame)));
    Answer(msg);
    SIM_FRAME_HOOK call;
    {
        CSimLock lock(csState);
        call = hook;
    }
    if (call) {
        msg.ResetRead();
        call(*m_pOwner, msg);
    }
    msg.ResetRead();
    Record(msg);
}

int CControllerSim::IMPL::SendMsg(CRVMSG& msg)
{
    return Write(reinterpret_cast<const unsigned char*>(msg.MSG()), (size_t)msg.MSGSize(), 1);
}

void CControllerSim::IMPL::Answer(CRVMSG& msg)
{
    short id = msg.MessageID();
    if (id == SIM_MSG_LOGIN) {
        AnswerLogin(msg);
        return;
    }
    int silent, gated, iSession;
    std::string strChallengeNow, strName;
    {
        CSimLock lock(csState);
        silent = bSilent;
        gated = bRequireLogin && !bLoggedIn;
        iSession = iSessionID;
        strChallengeNow = strChallenge;
        strName = strSystemName;
    }
    switch (id) {
    case SIM_MSG_GET_CHALLENGE: {
        if (silent)
            return;
        // The challenge goes out as 8-bit bytes, exactly as the viewer reads it.
        std::u32string bytes(strChallengeNow.begin(), strChallengeNow.end());
        for (char32_t& c : bytes)
            c &= 0xFF;
        CRVString text;
        SimMakeString(bytes, 0, &text);
        CRVMSG reply(msg.SenderID(), SIM_MSG_CHALLENGE, 0, 1);
        reply.PutString(text);
        SendMsg(reply);
        return;
    }
    case SIM_MSG_INIT_SESSION:
    case SIM_MSG_INIT_SESSION_ALT: {
        SIM_SESSION_START start;
        SimParseSessionStart(msg, &start);
        {
            CSimLock lock(csState);
            lastStart = start;
            bHaveStart = 1;
        }
        if (silent)
            return;
        if (gated) {
            RVLog(RV_LOG_INFO, "controller sim: session start before login; not answered");
            return;
        }
        CRVMSG reply(msg.SenderID(), (short)(id + 1), 0, 1);
        reply.PutInt(iSession);
        SendMsg(reply);
        return;
    }
    case SIM_MSG_GET_SYSTEM_NAME: {
        if (silent)
            return;
        if (gated) {
            RVLog(RV_LOG_INFO, "controller sim: system name asked before login; not answered");
            return;
        }
        CRVString name;
        if (!SimMakeStringUtf8(strName, &name))
            name = CRVString("Simulated Controller");
        CRVMSG reply(msg.SenderID(), SIM_MSG_SYSTEM_NAME, 0, 1);
        reply.PutInt(0);
        reply.PutInt(0);
        reply.PutString(name);
        SendMsg(reply);
        return;
    }
    default:
        return;
    }
}

void CControllerSim::IMPL::AnswerLogin(CRVMSG& msg)
{
    SIM_LOGIN login;
    SimParseLogin(msg, &login);
    std::string password, challenge;
    int silent;
    short sWrong;
    {
        CSimLock lock(csState);
        password = strPassword;
        challenge = strChallenge;
        silent = bSilent;
        sWrong = sWrongReply;
    }
    unsigned char expected[16];
    login.bAccepted = SimLoginResponse(password, challenge, expected) && login.iResponseLength == 16 &&
                      login.response.size() == 16 && memcmp(login.response.data(), expected, 16) == 0;
    {
        CSimLock lock(csState);
        lastLogin = login;
        bHaveLogin = 1;
        bLoggedIn = login.bAccepted;
        tickKeepAlive = RVGetTickCount();
    }
    RVLog(RV_LOG_INFO, "controller sim: login %s", login.bAccepted ? "accepted" : "refused");
    if (silent)
        return;
    if (login.bAccepted) {
        CRVMSG reply(msg.SenderID(), SIM_MSG_LOGIN_OK, 0, 1);
        SendMsg(reply);
    } else if (sWrong) {
        CRVMSG reply(msg.SenderID(), sWrong, 0, 1);
        SendMsg(reply);
    }
}
