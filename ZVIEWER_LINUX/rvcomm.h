// CRVComm: the front end's way to the one client session (g_pRVServer):
// create and release it, connect it to a controller and log in, and find a
// dropped controller again. Class-level operations only.
//
// Threads: InitInstance and ReleaseInstance run on the interface thread,
// never while a connect operation runs. The connect operations may run on a
// thread of their own (the connect page's), one at a time.
#pragma once

#include <stdint.h>

#include <string>

class CConnectPage;
class CZConnection;

class CRVComm
{
public:
    // A direct connection gives up when the controller has not accepted the
    // TCP connection within this time, so that an unreachable address does not
    // hold the connect thread (and quitting) for the system's minutes.
    enum { LOCAL_CONNECT_TIMEOUT_MS = 5000 };
    // RestartConnection: the local search and its connect.
    enum { RESTART_POLLS = 10, RESTART_CONNECT_TIMEOUT_MS = 1000, RECONNECT_TIMEOUT_MS = 500 };

    // Creates the session (platform type 22) for the cache directory with the
    // machine's client information. 1 on success; 0 when one exists already.
    static int InitInstance(const std::string& sCacheDir);
    // Deletes the session; nothing without one.
    static void ReleaseInstance();
    // Closes the session's connection, if there is a session.
    static void Disconnect();
    // From any thread, before the session is released: a connect or login
    // in progress on another thread gives up instead of running out its
    // time-outs.
    static void AbortConnect();
    // 1 while the session's link is up; 0 without a session.
    static int Connected();

    // Where discovery queries go (memory-order IPv4 address, port): the
    // session's auto-connect and RestartConnection. The local broadcast on the
    // locator port unless set; kept across sessions.
    static void SetLocatorTarget(uint32_t dwIP, uint16_t wPort);
    // A memory-order IPv4 address as "a.b.c.d".
    static std::string DottedIP(uint32_t dwIP);

    // Direct TCP connection to the IPv4 address (memory order, first octet
    // first) and port, then login (context 0) with the password (UTF-8). The
    // password is the one given: a controller on the local network may ask
    // for one too. 1 on success; on failure *pError (if given) gets a
    // one-line reason ("cannot connect to A.B.C.D:P", or the login's own text
    // such as "Password Rejected").
    static int CreateLocalConnectionToIP(uint32_t dwIP, uint16_t wPort, const std::string& sPassword,
                                         std::string* pError = nullptr);
    // The same for a host name or dotted address and a port.
    static int CreateDirectConnection(const std::string& sHost, uint16_t wPort, const std::string& sPassword,
                                      std::string* pError = nullptr);
    // Reaches the named system from anywhere, then logs in (context 0) with
    // the password. Every progress text goes to pStatus->SetStatusString (when
    // pStatus is given). 1 on success.
    static int CreateRemoteConnection(const std::string& sName, const std::string& sPassword,
                                      CConnectPage* pStatus);
    // Hands an already connected link to the session (which owns it from now
    // on, also when this fails) and logs in (context 0) with the password.
    // 1 on success; without a session the link is deleted and 0 returned.
    static int SetConnection(CZConnection* pConnection, const std::string& sPassword);
    // Reconnects after a drop. When the last connection was made by name
    // (CreateRemoteConnection) in login context 0: looks for that name on the
    // local network (at most RESTART_POLLS polls) and connects directly to the
    // first answer, switching the login context to 5 with the name; without a
    // local answer, connects remotely by name again. Otherwise reconnects to
    // the last direct address. 1 on success.
    static int RestartConnection();

    // The name of the last connection made by name; empty after a connection
    // made by address.
    static std::string LastSystemName();
};
