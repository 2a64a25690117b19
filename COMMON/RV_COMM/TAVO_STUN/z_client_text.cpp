// The fixed texts of connection results and network states, shown to the user
// while connecting.
#include "z_client.h"

const char* RUDP_ResultText(int eResult)
{
    switch (eResult) {
    case RUDP_RESULT_CANT_RESOLVE:        return "Can't resolve server address";
    case RUDP_RESULT_NO_SERVER_RESPONSE:  return "No Response from server";
    case RUDP_RESULT_NO_CONTROLLER:       return "No Response from Controller";
    case RUDP_RESULT_NOT_LOCATED:         return "Could not locate Controller";
    case RUDP_RESULT_NETWORK_ERROR:       return "Internal network error";
    case RUDP_RESULT_CANT_CONNECT:        return "Can't connect to Controller";
    default:                              return "OK";
    }
}

const char* STUN_NetworkStateString(int eState)
{
    static const char* const s_apszState[] = {
        "Initialize",
        "Can't Resolve URL",
        "UDP RX, OK Network Unknown",
        "UDP RX FAILED",
        "Asymm NAT Detected",
        "Symm NAT Detected",
        "Server Error",
        "Server Error, UDP RX OK",
        "Port Forwarded",
    };
    const int nStates = (int)(sizeof s_apszState / sizeof s_apszState[0]);
    if (eState < 0 || eState >= nStates)
        return "-";
    return s_apszState[eState];
}
