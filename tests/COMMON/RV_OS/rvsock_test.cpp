#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "rvsock.h"
#include "rvstring.h"

namespace {

struct SocketPair
{
    int fd[2] = { -1, -1 };
    SocketPair() { EXPECT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM, 0, fd)); }
    ~SocketPair()
    {
        for (int f : fd)
            if (f >= 0)
                close(f);
    }
};

TEST(RVSock, IsAddressTable)
{
    struct Case { const char* text; int expected; } cases[] = {
        { "192.168.1.10", 1 },
        { "10.0.0.5:8080", 1 },
        { ".168.1.10", 0 },         // begins with a dot
        { "controller.local", 0 },  // host name
        { "host1.example.com", 0 }, // one dot preceded by a digit is not enough
        { "1.2.3", 0 },
        { "1.2.3.4.5", 0 },
        { "1..2.3", 0 },
        { "", 0 },
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.expected, IsAddress(c.text)) << c.text;
        EXPECT_EQ(c.expected, IsAddress(CRVString(c.text))) << c.text << " (narrow string)";
        std::wstring wide(c.text, c.text + strlen(c.text));
        EXPECT_EQ(c.expected, IsAddress(CRVString(wide.c_str()))) << c.text << " (wide string)";
    }
    EXPECT_EQ(0, IsAddress((const char*)nullptr));
}

TEST(RVSock, ParseAddressTable)
{
    struct Case
    {
        const char* text;
        const char* key;
        bool wantPort;
        int ok;
        unsigned char octets[4];
        unsigned short port;
    } cases[] = {
        { "10.0.0.5:8080", nullptr, true, 1, { 10, 0, 0, 5 }, 8080 },
        { "10.0.0.5", nullptr, true, 0, {}, 0 },            // port wanted, no ":"
        { "10.0.0.5", nullptr, false, 1, { 10, 0, 0, 5 }, 0 },
        { "10.0.0.5\r\n", nullptr, false, 1, { 10, 0, 0, 5 }, 0 },
        { "192.168.1.20:554\n", nullptr, true, 1, { 192, 168, 1, 20 }, 554 },
        { "Server=1.2.3.4:65535", "Server=", true, 1, { 1, 2, 3, 4 }, 65535 },
        { "1.2.3.4:80", "", true, 1, { 1, 2, 3, 4 }, 80 },  // empty key: no search
        { "Other=1.2.3.4:80", "Server=", true, 0, {}, 0 },  // key absent
        { "10.0.5", nullptr, false, 0, {}, 0 },             // a dot missing
        { "10.0.0.", nullptr, false, 0, {}, 0 },            // fourth number missing
        { "10..0.5", nullptr, false, 0, {}, 0 },
        { "256.0.0.1", nullptr, false, 0, {}, 0 },          // octet out of range
        { "1.2.3.4:65536", nullptr, true, 0, {}, 0 },       // port out of range
        { "1.2.3.4:", nullptr, true, 0, {}, 0 },
        { "1.2.3.4:80x", nullptr, true, 0, {}, 0 },
        { "-1.2.3.4", nullptr, false, 0, {}, 0 },
        { "1.2.3.4:8080", nullptr, false, 0, {}, 0 },       // port present but not asked for
    };
    for (const Case& c : cases)
    {
        unsigned char o[4] = { 0xEE, 0xEE, 0xEE, 0xEE };
        unsigned short port = 0xEEEE;
        int ok = ParseAddress(c.text, c.key, &o[0], &o[1], &o[2], &o[3], c.wantPort ? &port : nullptr);
        ASSERT_EQ(c.ok, ok) << c.text;
        if (ok)
        {
            EXPECT_EQ(0, memcmp(o, c.octets, 4)) << c.text;
            if (c.wantPort)
            {
                EXPECT_EQ(c.port, port) << c.text;
            }
        }
        else
        {
            // A failed parse leaves the outputs alone.
            EXPECT_EQ(0xEE, o[0]) << c.text;
            EXPECT_EQ(0xEEEE, port) << c.text;
        }
    }
}

TEST(RVSock, ParseAddressNullOutputs)
{
    unsigned char d = 0;
    EXPECT_EQ(1, ParseAddress("10.0.0.5", nullptr, nullptr, nullptr, nullptr, &d, nullptr));
    EXPECT_EQ(5, d);
    EXPECT_EQ(0, ParseAddress(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
}

TEST(RVSock, AddressStorageKeepsMemoryOrder)
{
    sockaddr_in addr;
    memset(&addr, 0, sizeof(addr));
    unsigned int ip = 0;
    unsigned char first[4] = { 192, 168, 1, 10 };
    memcpy(&ip, first, 4);
    SetIP(ip, &addr);
    char text[INET_ADDRSTRLEN];
    ASSERT_NE(nullptr, inet_ntop(AF_INET, &addr.sin_addr, text, sizeof(text)));
    EXPECT_STREQ("192.168.1.10", text);
    EXPECT_EQ(ip, GetIP(&addr));

    in_addr in;
    SetIPV4(&in, ip);
    EXPECT_EQ(addr.sin_addr.s_addr, in.s_addr);
}

TEST(RVSock, WaitOnAbsentDescriptorReturnsAtOnce)
{
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(0, WaitSocketReadState(-1, 2000));
    EXPECT_EQ(0, WaitSocketWriteState(-1, 2000));
    // Generous bound: the calls must not have waited for their 2 s time-out.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}

TEST(RVSock, WaitReadStateOnSocketPair)
{
    SocketPair sp;
    EXPECT_EQ(0, WaitSocketReadState(sp.fd[0], 20));   // nothing sent yet
    EXPECT_NE(0, WaitSocketWriteState(sp.fd[0], 20));  // empty send buffer
    ASSERT_EQ(1, write(sp.fd[1], "x", 1));
    EXPECT_NE(0, WaitSocketReadState(sp.fd[0], 1000));
    char c;
    ASSERT_EQ(1, read(sp.fd[0], &c, 1));
    EXPECT_EQ(0, WaitSocketReadState(sp.fd[0], 20));
    // The peer going away is reported as readable, so recv can see the end.
    close(sp.fd[1]);
    sp.fd[1] = -1;
    EXPECT_NE(0, WaitSocketReadState(sp.fd[0], 1000));
    EXPECT_EQ(0, read(sp.fd[0], &c, 1));
}

TEST(RVSock, BlockingModeAndClose)
{
    SocketPair sp;
    EXPECT_EQ(1, SetNonBlocking(sp.fd[0]));
    EXPECT_NE(0, fcntl(sp.fd[0], F_GETFL) & O_NONBLOCK);
    char c;
    EXPECT_EQ(-1, read(sp.fd[0], &c, 1));
    EXPECT_EQ(EAGAIN, errno);
    EXPECT_EQ(1, SetBlocking(sp.fd[0]));
    EXPECT_EQ(0, fcntl(sp.fd[0], F_GETFL) & O_NONBLOCK);

    EXPECT_EQ(0, SetNonBlocking(-1));
    EXPECT_EQ(0, SetBlocking(-1));

    CloseSocket(sp.fd[0]);
    EXPECT_EQ(-1, fcntl(sp.fd[0], F_GETFL));   // the descriptor is gone
    sp.fd[0] = -1;
    CloseSocket(-1);                           // ignored
}

} // namespace
