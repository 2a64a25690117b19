// A socket bound to 127.0.0.1: the simulated controller never listens on
// anything but loopback.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdint.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

// iType SOCK_STREAM or SOCK_DGRAM; wPort 0 picks a free port. The descriptor
// (close-on-exec, SO_REUSEADDR for streams) with the bound port in *pwBound,
// or -1.
inline int SimBindLoopback(int iType, uint16_t wPort, uint16_t* pwBound)
{
    const int fd = socket(AF_INET, iType | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (iType == SOCK_STREAM) {
        int one = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    }
    sockaddr_in addr;
    memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(wPort);
    socklen_t len = sizeof addr;
    if (bind(fd, (const sockaddr*)&addr, sizeof addr) != 0 || getsockname(fd, (sockaddr*)&addr, &len) != 0) {
        close(fd);
        return -1;
    }
    *pwBound = ntohs(addr.sin_port);
    return fd;
}
