#include "rvsock.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include "rvstring.h"
#include "rvtick.h"

namespace {

// poll rather than select: descriptors above FD_SETSIZE must not overrun an fd_set.
int WaitSocketState(int fd, unsigned int ms, short events)
{
    if (fd < 0)
        return 0;
    const uint32_t start = RVGetTickCount();
    unsigned int left = ms;
    for (;;)
    {
        pollfd p = { fd, events, 0 };
        int r = poll(&p, 1, left > (unsigned int)INT_MAX ? INT_MAX : (int)left);
        if (r > 0)
            return (p.revents & (events | POLLERR | POLLHUP)) ? 1 : 0;
        if (r == 0 || errno != EINTR)
            return 0;
        // Interrupted by a signal: wait only for what remains of the time-out.
        uint32_t spent = RVTickSince(start);
        if (spent >= ms)
            return 0;
        left = ms - spent;
    }
}

int SetFlag(int fd, bool on)
{
    int flags = fcntl(fd, F_GETFL, 0);
    if (flags < 0)
        return 0;
    flags = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return fcntl(fd, F_SETFL, flags) == 0 ? 1 : 0;
}

// Reads a run of 1..maxDigits decimal digits at *pp whose value is at most max.
// Leaves *pp after the digits. 0 if there is no digit, too many or too large.
int ReadNumber(const char** pp, int maxDigits, unsigned int max, unsigned int* value)
{
    const char* p = *pp;
    unsigned int v = 0;
    int n = 0;
    while (*p >= '0' && *p <= '9')
    {
        if (++n > maxDigits)
            return 0;
        v = v * 10 + (unsigned int)(*p - '0');
        p++;
    }
    if (n == 0 || v > max)
        return 0;
    *pp = p;
    *value = v;
    return 1;
}

bool IsLineEnd(char c)
{
    return c == '\0' || c == '\n' || c == '\r';
}

} // namespace

int WaitSocketReadState(int fd, unsigned int ms)
{
    return WaitSocketState(fd, ms, POLLIN);
}

int WaitSocketWriteState(int fd, unsigned int ms)
{
    return WaitSocketState(fd, ms, POLLOUT);
}

int SetNonBlocking(int fd)
{
    return SetFlag(fd, true);
}

int SetBlocking(int fd)
{
    return SetFlag(fd, false);
}

void CloseSocket(int fd)
{
    if (fd < 0)
        return;
    shutdown(fd, SHUT_RD);
    close(fd);
}

void SetIP(unsigned int ip, sockaddr_in* addr)
{
    memcpy(&addr->sin_addr.s_addr, &ip, 4);
}

void SetIPV4(in_addr* addr, unsigned int ip)
{
    memcpy(&addr->s_addr, &ip, 4);
}

unsigned int GetIP(const sockaddr_in* addr)
{
    unsigned int ip;
    memcpy(&ip, &addr->sin_addr.s_addr, 4);
    return ip;
}

int IsAddress(const char* text)
{
    if (text == nullptr)
        return 0;
    int dots = 0;
    for (const char* p = text; *p; p++)
    {
        if (*p != '.')
            continue;
        if (p == text || p[-1] < '0' || p[-1] > '9')
            return 0;
        dots++;
    }
    return dots == 3 ? 1 : 0;
}

int IsAddress(CRVString text)
{
    return IsAddress((const char*)(char*)text);
}

int ParseAddress(const char* text, const char* key, unsigned char* a, unsigned char* b,
                 unsigned char* c, unsigned char* d, unsigned short* port)
{
    if (text == nullptr)
        return 0;
    const char* p = text;
    if (key != nullptr && *key != '\0')
    {
        p = strstr(text, key);
        if (p == nullptr)
            return 0;
        p += strlen(key);
    }

    unsigned int octet[4];
    for (int i = 0; i < 3; i++)
    {
        if (!ReadNumber(&p, 3, 255, &octet[i]) || *p != '.')
            return 0;
        p++;
    }
    if (!ReadNumber(&p, 3, 255, &octet[3]))
        return 0;

    unsigned int portValue = 0;
    if (port != nullptr)
    {
        if (*p != ':')
            return 0;
        p++;
        if (!ReadNumber(&p, 5, 65535, &portValue))
            return 0;
    }
    if (!IsLineEnd(*p))
        return 0;

    if (a) *a = (unsigned char)octet[0];
    if (b) *b = (unsigned char)octet[1];
    if (c) *c = (unsigned char)octet[2];
    if (d) *d = (unsigned char)octet[3];
    if (port) *port = (unsigned short)portValue;
    return 1;
}
