// Loopback addresses for socket tests: 127.0.0.1 at a given port, and a port
// where nobody listens (for the "cannot connect" paths).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

inline sockaddr_in LoopbackAddress(unsigned short port)
{
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    return a;
}

// A TCP port on 127.0.0.1 that was free a moment ago: bound once, then
// released. 0 if no socket could be bound.
inline unsigned short UnusedLoopbackPort()
{
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return 0;
    sockaddr_in a = LoopbackAddress(0);
    socklen_t n = sizeof a;
    unsigned short port = 0;
    if (bind(s, (sockaddr*)&a, sizeof a) == 0 && getsockname(s, (sockaddr*)&a, &n) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}
