// Running a parsed script against the current connection.
#include "sim_impl.h"

namespace {

int Failed(std::string* pError, int iLine, const std::string& what)
{
    if (pError)
        *pError = "line " + std::to_string(iLine) + ": " + what;
    return 0;
}

}  // namespace

int CControllerSim::RunScript(const CSimScript& script, std::string* pError)
{
    IMPL& s = *m_p;
    unsigned int uCursor, uConn;
    {
        CSimLock lock(s.csState);
        uCursor = s.uConnFirstSeq;
        uConn = s.uConnection;
    }
    if (pError)
        pError->clear();
    for (const SIM_SCRIPT_STEP& step : script.Steps()) {
        if (s.bStop)
            return Failed(pError, step.iLine, "the sim was stopped");
        switch (step.eKind) {
        case SIM_STEP_SEND:
        case SIM_STEP_RAW:
            if (!s.Write(step.frame.data(), step.frame.size(), step.eKind == SIM_STEP_SEND))
                return Failed(pError, step.iLine, IsConnected() ? "send failed" : "not connected");
            break;
        case SIM_STEP_SLEEP:
            if (s.evStop.WaitSignal(step.uValue))
                return Failed(pError, step.iLine, "the sim was stopped");
            break;
        case SIM_STEP_WAIT: {
            short sID = (short)step.uValue;
            int bLost = 0;
            int ok = s.WaitUntil(
                [&] {
                    for (const SIM_RECORDED& f : s.frames) {
                        if (f.uSeq >= uCursor && f.uConnection == uConn && f.pMsg->MessageID() == sID) {
                            uCursor = f.uSeq + 1;
                            return true;
                        }
                    }
                    bLost = !s.bConnected || s.uConnection != uConn;
                    return bLost != 0;
                },
                step.uTimeoutMs);
            if (s.bStop)
                return Failed(pError, step.iLine, "the sim was stopped");
            if (!ok || bLost)
                return Failed(pError, step.iLine,
                              (bLost ? "connection lost while waiting for message "
                                     : "timed out waiting for message ") + std::to_string(step.uValue));
            break;
        }
        case SIM_STEP_CLOSE:
            Disconnect();
            break;
        case SIM_STEP_CHUNK:
            SetChunking(step.uValue, step.uTimeoutMs);
            break;
        }
    }
    return 1;
}
