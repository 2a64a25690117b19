// The connection object over real loopback sockets: direct, adopted and relayed
// links, traffic and link loss, and the legacy lookup against a scripted
// discovery server on 127.0.0.1.
#include "z_client.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "loopback_port.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Clock = std::chrono::steady_clock;

const std::string kPrimer = "CONNECTSERVERHOST\r\n\r\n";

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Reads until n bytes came, the peer closed, or ms passed without data.
std::string ReadUpTo(int fd, size_t n, int ms = 2000)
{
    std::string got;
    while (got.size() < n) {
        pollfd p = { fd, POLLIN, 0 };
        if (poll(&p, 1, ms) <= 0)
            break;
        char buf[65536];
        ssize_t r = recv(fd, buf, std::min(sizeof buf, n - got.size()), 0);
        if (r <= 0)
            break;
        got.append(buf, (size_t)r);
    }
    return got;
}

// 1 when the peer has closed the connection (a read gives end of stream).
bool SeesEndOfStream(int fd, int ms = 2000)
{
    pollfd p = { fd, POLLIN, 0 };
    if (poll(&p, 1, ms) <= 0)
        return false;
    char c;
    return recv(fd, &c, 1, 0) == 0;
}

// A TCP listener on 127.0.0.1 at a free port.
class CTcpPeer
{
public:
    explicit CTcpPeer(int backlog = 8)
    {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a = LoopbackAddress(0);
        socklen_t len = sizeof a;
        if (m_fd >= 0 && bind(m_fd, (sockaddr*)&a, sizeof a) == 0 && listen(m_fd, backlog) == 0 &&
            getsockname(m_fd, (sockaddr*)&a, &len) == 0)
            m_port = ntohs(a.sin_port);
    }
    ~CTcpPeer()
    {
        for (int fd : m_accepted)
            close(fd);
        if (m_fd >= 0)
            close(m_fd);
    }
    bool Ok() const { return m_port != 0; }
    unsigned short Port() const { return m_port; }
    sockaddr_in Address() const { return LoopbackAddress(m_port); }

    // The next connection, or -1 after ms; the peer closes it at the end.
    int Accept(int ms = 2000)
    {
        pollfd p = { m_fd, POLLIN, 0 };
        if (poll(&p, 1, ms) <= 0)
            return -1;
        int fd = accept(m_fd, nullptr, nullptr);
        if (fd >= 0)
            m_accepted.push_back(fd);
        return fd;
    }
    // Closes an accepted connection early (the destructor skips it).
    void Close(int fd)
    {
        for (int& held : m_accepted)
            if (held == fd)
                held = -1;
        close(fd);
    }

private:
    int m_fd = -1;
    unsigned short m_port = 0;
    std::vector<int> m_accepted;
};

// Links conn straight to peer (ms as for CreateDirectConnection) and returns
// the peer's end of the link; -1, with the reason reported, when either step
// fails.
int LinkDirectly(CTcpPeer& peer, CZConnection& conn, unsigned int ms = 0)
{
    if (!peer.Ok()) {
        ADD_FAILURE() << "no listener on 127.0.0.1";
        return -1;
    }
    sockaddr_in a = peer.Address();
    int result = conn.CreateDirectConnection(&a, ms);
    if (result != RUDP_RESULT_OK) {
        ADD_FAILURE() << "direct connection gave result " << result;
        return -1;
    }
    return peer.Accept();
}

class CRecordingListener : public CConnectionListener
{
public:
    void OnStatusChanged(const char* pszStatus) override { texts.push_back(pszStatus); }
    std::vector<std::string> texts;
};

// ---------------------------------------------------------------------------
// Texts

TEST(ZClientTexts, ResultTexts)
{
    const struct { int result; const char* text; } cases[] = {
        { 0, "OK" },
        { 1, "Can't resolve server address" },
        { 2, "No Response from server" },
        { 3, "No Response from Controller" },
        { 4, "Could not locate Controller" },
        { 5, "Internal network error" },
        { 6, "Can't connect to Controller" },
        { 7, "OK" },
        { -1, "OK" },
    };
    for (const auto& c : cases)
        EXPECT_STREQ(RUDP_ResultText(c.result), c.text) << c.result;
}

TEST(ZClientTexts, NetworkStateTexts)
{
    const struct { int state; const char* text; } cases[] = {
        { 0, "Initialize" },
        { 1, "Can't Resolve URL" },
        { 2, "UDP RX, OK Network Unknown" },
        { 3, "UDP RX FAILED" },
        { 4, "Asymm NAT Detected" },
        { 5, "Symm NAT Detected" },
        { 6, "Server Error" },
        { 7, "Server Error, UDP RX OK" },
        { 8, "Port Forwarded" },
        { 9, "-" },
        { -1, "-" },
    };
    for (const auto& c : cases)
        EXPECT_STREQ(STUN_NetworkStateString(c.state), c.text) << c.state;
}

// ---------------------------------------------------------------------------
// Direct connection, blocking (ms = 0) and timed (ms > 0)

class DirectConnection : public testing::TestWithParam<unsigned int>
{
};

TEST_P(DirectConnection, PeerGetsThePrimerBeforeAnythingElse)
{
    CTcpPeer peer;
    ASSERT_TRUE(peer.Ok());
    CZConnection conn(1, nullptr);
    sockaddr_in a = peer.Address();
    ASSERT_EQ(conn.CreateDirectConnection(&a, GetParam()), RUDP_RESULT_OK);
    EXPECT_TRUE(conn.IsConnected());
    EXPECT_EQ(conn.ReadyToSend(), 1);
    ASSERT_EQ(conn.Send("hello", 5), 1);

    int fd = peer.Accept();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ReadUpTo(fd, kPrimer.size() + 5), kPrimer + "hello");

    // And the other way round.
    ASSERT_EQ(send(fd, "abc", 3, 0), 3);
    ASSERT_NE(conn.WaitReadState(2000), 0);
    char buf[16];
    EXPECT_EQ(conn.Recv(buf, sizeof buf), 3);
    EXPECT_EQ(std::string(buf, 3), "abc");
}

// A message larger than the socket buffers, to a peer that starts reading
// late: a link left non-blocking by the connect would cut the send short and
// drop the link.
TEST_P(DirectConnection, LargeSendToASlowReaderArrivesWhole)
{
    CTcpPeer peer;
    ASSERT_TRUE(peer.Ok());
    CZConnection conn(1, nullptr);
    sockaddr_in a = peer.Address();
    ASSERT_EQ(conn.CreateDirectConnection(&a, GetParam()), RUDP_RESULT_OK);

    const size_t n = 16 * 1024 * 1024;
    std::string received;
    std::thread reader([&] {
        int fd = peer.Accept();
        if (fd < 0)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        received = ReadUpTo(fd, kPrimer.size() + n);
    });
    std::vector<char> big(n, 'x');
    big[n - 1] = 'z';
    EXPECT_EQ(conn.Send(big.data(), (int)n), 1);
    reader.join();
    EXPECT_TRUE(conn.IsConnected());
    ASSERT_EQ(received.size(), kPrimer.size() + n);
    EXPECT_EQ(received.back(), 'z');
}

TEST_P(DirectConnection, NobodyListeningGivesResult6)
{
    CZConnection conn(1, nullptr);
    sockaddr_in a = LoopbackAddress(UnusedLoopbackPort());
    Clock::time_point start = Clock::now();
    EXPECT_EQ(conn.CreateDirectConnection(&a, GetParam()), RUDP_RESULT_CANT_CONNECT);
    EXPECT_LT(MsSince(start), 5000);
    EXPECT_FALSE(conn.IsConnected());
}

TEST_P(DirectConnection, ANewLinkClosesTheEarlierOne)
{
    CTcpPeer first, second;
    CZConnection conn(1, nullptr);
    int fdFirst = LinkDirectly(first, conn, GetParam());
    ASSERT_GE(fdFirst, 0);
    EXPECT_EQ(ReadUpTo(fdFirst, kPrimer.size()), kPrimer);

    int fdSecond = LinkDirectly(second, conn, GetParam());
    ASSERT_GE(fdSecond, 0);
    EXPECT_TRUE(SeesEndOfStream(fdFirst));
    EXPECT_EQ(ReadUpTo(fdSecond, kPrimer.size()), kPrimer);
}

INSTANTIATE_TEST_SUITE_P(BlockingAndTimed, DirectConnection, testing::Values(0u, 2000u));

// A listener whose accept queue is full drops further connection requests, so
// a timed connect has to give up on its own.
TEST(DirectConnectionTimeout, GivesUpAfterItsTime)
{
    CTcpPeer full(0);
    ASSERT_TRUE(full.Ok());
    int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in a = full.Address();
    connect(filler, (sockaddr*)&a, sizeof a);
    pollfd p = { filler, POLLOUT, 0 };
    ASSERT_EQ(poll(&p, 1, 2000), 1);   // the filler takes the one queue place

    CZConnection conn(1, nullptr);
    Clock::time_point start = Clock::now();
    EXPECT_EQ(conn.CreateDirectConnection(&a, 1000), RUDP_RESULT_CANT_CONNECT);
    long long ms = MsSince(start);
    EXPECT_GE(ms, 500);    // it did wait: the request was not refused
    EXPECT_LT(ms, 5000);
    EXPECT_FALSE(conn.IsConnected());
    close(filler);
}

// ---------------------------------------------------------------------------
// Adopted sockets and the TCP relay

TEST(AdoptedSocket, MinusOneGivesResult3)
{
    CTcpPeer peer;
    CZConnection conn(1, nullptr);
    int fd = LinkDirectly(peer, conn);
    ASSERT_GE(fd, 0);

    // Adopting drops the current link even when there is nothing to adopt.
    EXPECT_EQ(conn.CreateDirectConnection(-1), RUDP_RESULT_NO_CONTROLLER);
    EXPECT_FALSE(conn.IsConnected());
    EXPECT_EQ(ReadUpTo(fd, kPrimer.size()), kPrimer);
    EXPECT_TRUE(SeesEndOfStream(fd));
}

TEST(AdoptedSocket, CarriesTrafficAndIsClosedWithTheObject)
{
    CTcpPeer peer;
    ASSERT_TRUE(peer.Ok());
    int mine = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = peer.Address();
    ASSERT_EQ(connect(mine, (sockaddr*)&a, sizeof a), 0);
    int theirs = peer.Accept();
    ASSERT_GE(theirs, 0);
    {
        CZConnection conn(1, nullptr);
        ASSERT_EQ(conn.CreateDirectConnection(mine), RUDP_RESULT_OK);
        EXPECT_TRUE(conn.IsConnected());
        EXPECT_EQ(conn.Send("ping", 4), 1);
        EXPECT_EQ(ReadUpTo(theirs, 4), "ping");   // no primer on an adopted socket
    }
    EXPECT_TRUE(SeesEndOfStream(theirs));
}

TEST(RelayConnection, SendsTheSessionIdLeastSignificantByteFirst)
{
    CTcpPeer relay;
    ASSERT_TRUE(relay.Ok());
    CZConnection conn(1, nullptr);
    // The server's address is taken for its IPv4 address only; the port is the
    // relay's.
    sockaddr_in server = LoopbackAddress(UnusedLoopbackPort());
    ASSERT_EQ(conn.CreateRemoteTURNConnection(&server, relay.Port(), 0x11223344u), RUDP_RESULT_OK);
    EXPECT_TRUE(conn.IsConnected());
    ASSERT_EQ(conn.Send("login", 5), 1);
    int fd = relay.Accept();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ReadUpTo(fd, 9), std::string("\x44\x33\x22\x11login", 9));
}

TEST(RelayConnection, NoRelayGivesResult2)
{
    CZConnection conn(1, nullptr);
    sockaddr_in server = LoopbackAddress(0);
    EXPECT_EQ(conn.CreateRemoteTURNConnection(&server, UnusedLoopbackPort(), 7), RUDP_RESULT_NO_SERVER_RESPONSE);
    EXPECT_FALSE(conn.IsConnected());
}

// ---------------------------------------------------------------------------
// Traffic and link loss

TEST(ZClientTraffic, UnconnectedObjectAnswersAtOnce)
{
    CZConnection conn(1, nullptr);
    Clock::time_point start = Clock::now();
    EXPECT_EQ(conn.WaitReadState(5000), 1);
    EXPECT_LT(MsSince(start), 1000);
    char buf[4];
    EXPECT_EQ(conn.Recv(buf, sizeof buf), 0);
    EXPECT_EQ(conn.Send("x", 1), 0);
    EXPECT_EQ(conn.ReadyToSend(), 0);
    EXPECT_FALSE(conn.IsConnected());
}

TEST(ZClientTraffic, PeerThatClosesEndsTheLink)
{
    CTcpPeer peer;
    CZConnection conn(1, nullptr);
    int fd = LinkDirectly(peer, conn);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ReadUpTo(fd, kPrimer.size()), kPrimer);   // unread bytes would turn the close into a reset
    ASSERT_EQ(send(fd, "last", 4, 0), 4);
    peer.Close(fd);

    char buf[16];
    ASSERT_NE(conn.WaitReadState(2000), 0);
    EXPECT_EQ(conn.Recv(buf, sizeof buf), 4);   // data sent before the close still arrives
    EXPECT_TRUE(conn.IsConnected());
    ASSERT_NE(conn.WaitReadState(2000), 0);
    EXPECT_EQ(conn.Recv(buf, sizeof buf), 0);
    EXPECT_FALSE(conn.IsConnected());
    EXPECT_EQ(conn.WaitReadState(5000), 1);
}

// Writing to a peer that has gone fails, closes the link, and does not kill
// the process with SIGPIPE.
TEST(ZClientTraffic, FailedSendClosesTheLink)
{
    CTcpPeer peer;
    CZConnection conn(1, nullptr);
    int fd = LinkDirectly(peer, conn);
    ASSERT_GE(fd, 0);
    // An orderly close: the first send still goes, the peer answers it with a
    // reset, and the next send meets a broken pipe.
    ASSERT_EQ(ReadUpTo(fd, kPrimer.size()), kPrimer);
    peer.Close(fd);

    std::vector<char> block(1024, 'y');
    int tries = 0;
    while (tries < 100 && conn.Send(block.data(), (int)block.size()) == 1) {
        tries++;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_LT(tries, 100);
    EXPECT_FALSE(conn.IsConnected());
    EXPECT_EQ(conn.Send("x", 1), 0);
}

TEST(ZClientRemote, ReportsThatRemoteAccessIsNotBuilt)
{
    CTcpPeer peer;
    CZConnection conn(1, nullptr);
    ASSERT_GE(LinkDirectly(peer, conn), 0);
    CRecordingListener listener;
    EXPECT_EQ(conn.CreateRemoteConnection(&listener, CRVString("Home")), 0);
    EXPECT_FALSE(conn.IsConnected());   // an earlier link is closed first
    EXPECT_EQ(listener.texts, std::vector<std::string>{ "Remote access is not available in this build" });
}

// ---------------------------------------------------------------------------
// Legacy reply parsing on raw buffers

// One reply frame as the legacy server writes it, built byte by byte.
Bytes LegacyReply(const std::string& address, unsigned short port, short messageId = 18004)
{
    Bytes data = { 1, 0 };   // found, a byte not used
    unsigned int count = (unsigned int)address.size();
    for (int i = 0; i < 4; i++)
        data.push_back((unsigned char)(count >> (8 * i)));
    data.insert(data.end(), address.begin(), address.end());
    while ((data.size() - 6) % 4)
        data.push_back(0);
    data.push_back((unsigned char)port);
    data.push_back((unsigned char)(port >> 8));
    data.push_back(1);   // open
    data.push_back(0);   // relay
    Bytes frame = { 0, 0, (unsigned char)messageId, (unsigned char)(messageId >> 8) };
    unsigned int length = (unsigned int)data.size();
    for (int i = 0; i < 4; i++)
        frame.push_back((unsigned char)(length >> (8 * i)));
    frame.insert(frame.end(), data.begin(), data.end());
    return frame;
}

void SetLength(Bytes* frame, unsigned int length)
{
    for (int i = 0; i < 4; i++)
        (*frame)[4 + i] = (unsigned char)(length >> (8 * i));
}

TEST(LegacyReplyParser, FramingAndFieldBounds)
{
    Bytes ok = LegacyReply("10.1.2.3", 5020);
    Bytes withTail = ok;
    withTail.insert(withTail.end(), { 9, 9, 9 });   // bytes after the frame are not part of it
    Bytes noTrailer(ok.begin(), ok.end() - 2);      // open and relay missing: not needed
    SetLength(&noTrailer, (unsigned int)noTrailer.size() - 8);
    Bytes longest = LegacyReply(std::string(63, '1'), 1);
    Bytes tooLongText = LegacyReply(std::string(64, '1'), 1);
    Bytes fits = LegacyReply("1.2.3.4", 1);         // announced data of exactly 1016 bytes
    fits.resize(1024);
    SetLength(&fits, 1016);
    Bytes tooLong = fits;
    tooLong.resize(1025);
    SetLength(&tooLong, 1017);
    Bytes huge = ok;
    SetLength(&huge, 0xFFFFFFFFu);
    Bytes shortLength = ok;                          // says 4 bytes: the text runs past them
    SetLength(&shortLength, 4);
    Bytes countPastData = ok;                        // a count of 60 in a frame far shorter
    countPastData[10] = 60;
    Bytes wideCount = ok;
    wideCount[13] = 0x80;

    const struct {
        const char* name;
        Bytes bytes;
        LEGACY_REPLY_STATE state;
    } cases[] = {
        { "header not complete", Bytes(ok.begin(), ok.begin() + 7), LEGACY_REPLY_INCOMPLETE },
        { "data not complete", Bytes(ok.begin(), ok.end() - 1), LEGACY_REPLY_INCOMPLETE },
        { "complete", ok, LEGACY_REPLY_OK },
        { "bytes after the frame", withTail, LEGACY_REPLY_OK },
        { "no open and relay bytes", noTrailer, LEGACY_REPLY_OK },
        { "63-character text", longest, LEGACY_REPLY_OK },
        { "64-character text", tooLongText, LEGACY_REPLY_MALFORMED },
        { "1016 data bytes", fits, LEGACY_REPLY_OK },
        { "1017 data bytes", tooLong, LEGACY_REPLY_TOO_LONG },
        { "length 0xFFFFFFFF", huge, LEGACY_REPLY_TOO_LONG },
        { "length shorter than the fields", shortLength, LEGACY_REPLY_MALFORMED },
        { "text count past the data", countPastData, LEGACY_REPLY_MALFORMED },
        { "wide text count", wideCount, LEGACY_REPLY_MALFORMED },
        { "another message", LegacyReply("10.1.2.3", 5020, 18003), LEGACY_REPLY_NOT_FOUND },
    };
    for (const auto& c : cases) {
        RVT_LEGACY_REPLY reply;
        EXPECT_EQ(ParseLegacyReply(c.bytes.data(), (unsigned int)c.bytes.size(), &reply), c.state)
            << c.name;
    }

    RVT_LEGACY_REPLY reply;
    ASSERT_EQ(ParseLegacyReply(ok.data(), (unsigned int)ok.size(), &reply), LEGACY_REPLY_OK);
    EXPECT_EQ(reply.byFound, 1);
    EXPECT_STREQ(reply.szAddress, "10.1.2.3");
    EXPECT_EQ(reply.wPort, 5020);
}

TEST(LegacyReplyParser, OnlyADottedUsableAddressIsTaken)
{
    const struct { const char* text; int usable; } cases[] = {
        { "10.1.2.3", 1 }, { "0.0.0.0", 0 }, { "255.255.255.255", 0 }, { "", 0 },
        { "controller.example", 0 }, { "10.1.2", 0 }, { "10.1.2.300", 0 },
    };
    for (const auto& c : cases) {
        RVT_LEGACY_REPLY reply = {};
        snprintf(reply.szAddress, sizeof reply.szAddress, "%s", c.text);
        reply.wPort = 5020;
        sockaddr_in a;
        ASSERT_EQ(LegacyReplyAddress(&reply, &a), c.usable) << c.text;
        if (c.usable) {
            EXPECT_EQ(a.sin_addr.s_addr, inet_addr("10.1.2.3"));
            EXPECT_EQ(ntohs(a.sin_port), 5020);
        }
    }
}

// ---------------------------------------------------------------------------
// Legacy lookup against a scripted server on loopback

// Accepts one connection, reads the query frame, then sends the scripted
// pieces (with a pause between them) and closes, or stays silent until the
// test is over.
class CLegacyServer
{
public:
    struct Piece {
        Bytes bytes;
        int pauseMs;
    };

    explicit CLegacyServer(std::vector<Piece> pieces, bool silent = false)
        : m_pieces(std::move(pieces)), m_silent(silent)
    {
        m_thread = std::thread([this] { Run(); });
    }
    ~CLegacyServer()
    {
        m_stop = true;
        m_thread.join();
    }
    unsigned short Port() const { return m_peer.Port(); }
    // The query as received; valid once the lookup has returned.
    const Bytes& Query() const { return m_query; }

private:
    void Run()
    {
        int fd = -1;
        for (int i = 0; i < 100 && fd < 0 && !m_stop; i++)
            fd = m_peer.Accept(50);
        if (fd < 0)
            return;
        std::string header = ReadUpTo(fd, 8);
        if (header.size() == 8) {
            unsigned int length;
            memcpy(&length, header.data() + 4, 4);
            std::string data = ReadUpTo(fd, length);
            m_query.assign(header.begin(), header.end());
            m_query.insert(m_query.end(), data.begin(), data.end());
        }
        for (const Piece& piece : m_pieces) {
            std::this_thread::sleep_for(std::chrono::milliseconds(piece.pauseMs));
            if (send(fd, piece.bytes.data(), piece.bytes.size(), MSG_NOSIGNAL) < 0)
                break;
        }
        while (m_silent && !m_stop)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        m_peer.Close(fd);
    }

    CTcpPeer m_peer;
    std::vector<Piece> m_pieces;
    bool m_silent;
    Bytes m_query;
    std::atomic<bool> m_stop{ false };
    std::thread m_thread;
};

class LegacyLookup : public testing::Test
{
protected:
    void SetUp() override { CZConnection::GetLegacyServer(m_szHost, sizeof m_szHost, &m_wPort); }
    void TearDown() override { CZConnection::SetLegacyServer(m_szHost, m_wPort); }

    int Lookup(const CLegacyServer& server, const char* name = "Kitchen")
    {
        CZConnection::SetLegacyServer("127.0.0.1", server.Port());
        return conn.CreateLegacyConnection(&listener, CRVString(name));
    }
    std::string LastText() const { return listener.texts.empty() ? "" : listener.texts.back(); }

    CZConnection conn{ 1, nullptr };
    CRecordingListener listener;

private:
    char m_szHost[256];
    unsigned short m_wPort = 0;
};

TEST_F(LegacyLookup, DefaultServerIsPort500)
{
    char host[256];
    unsigned short port = 0;
    CZConnection::GetLegacyServer(host, sizeof host, &port);
    EXPECT_EQ(port, 500);
    EXPECT_NE(host[0], 0);
}

TEST_F(LegacyLookup, FoundControllerIsConnectedDirectly)
{
    CTcpPeer controller;
    ASSERT_TRUE(controller.Ok());
    CLegacyServer server({ { LegacyReply("127.0.0.1", controller.Port()), 0 } });

    ASSERT_EQ(Lookup(server), RUDP_RESULT_OK);
    EXPECT_TRUE(conn.IsConnected());
    int fd = controller.Accept();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ReadUpTo(fd, kPrimer.size()), kPrimer);

    std::vector<std::string> expected = { "Connecting to D.SERVER", "Querying D.SERVER",
                                          "-> 127.0.0.1:" + std::to_string(controller.Port()) };
    EXPECT_EQ(listener.texts, expected);

    // The query: sender 0, message 18003, the name packed twice.
    const unsigned char name[] = { 7, 0, 0, 0, 'K', 'i', 't', 'c', 'h', 'e', 'n', 0 };
    Bytes query = { 0, 0, 0x53, 0x46, 24, 0, 0, 0 };
    query.insert(query.end(), name, name + sizeof name);
    query.insert(query.end(), name, name + sizeof name);
    EXPECT_EQ(server.Query(), query);
}

TEST_F(LegacyLookup, ReplyInManyPiecesIsAssembled)
{
    CTcpPeer controller;
    ASSERT_TRUE(controller.Ok());
    Bytes reply = LegacyReply("127.0.0.1", controller.Port());
    std::vector<CLegacyServer::Piece> pieces;
    for (unsigned char b : reply)
        pieces.push_back({ Bytes{ b }, 5 });
    CLegacyServer server(pieces);

    EXPECT_EQ(Lookup(server), RUDP_RESULT_OK);
    EXPECT_TRUE(conn.IsConnected());
}

TEST_F(LegacyLookup, UnusableAddressMeansTheControllerIsTooNew)
{
    for (const char* address : { "0.0.0.0", "255.255.255.255", "", "controller.example" }) {
        CLegacyServer server({ { LegacyReply(address, 5020), 0 } });
        listener.texts.clear();
        EXPECT_EQ(Lookup(server), RUDP_RESULT_NOT_LOCATED) << address;
        EXPECT_EQ(LastText(), "Error: Controller too new for disco server") << address;
        EXPECT_FALSE(conn.IsConnected());
    }
}

TEST_F(LegacyLookup, OtherMessageMeansSystemNotFound)
{
    CLegacyServer server({ { LegacyReply("127.0.0.1", 5020, 18010), 0 } });
    EXPECT_EQ(Lookup(server), RUDP_RESULT_NOT_LOCATED);
    EXPECT_EQ(LastText(), "System Not Found");
}

// Replies that cannot be trusted end the lookup with result 2 and nothing
// connected, whatever their length claims.
TEST_F(LegacyLookup, BadRepliesFailCleanly)
{
    Bytes tooLong = LegacyReply("127.0.0.1", 5020);
    SetLength(&tooLong, 5000);
    tooLong.resize(3000, 0x41);
    Bytes hugeLength = LegacyReply("127.0.0.1", 5020);
    SetLength(&hugeLength, 0xFFFFFFF8u);
    Bytes shortLength = LegacyReply("127.0.0.1", 5020);
    SetLength(&shortLength, 5);
    Bytes longerThanSent = LegacyReply("127.0.0.1", 5020);
    SetLength(&longerThanSent, 200);
    Bytes countPastData = LegacyReply("127.0.0.1", 5020);
    countPastData[10] = 200;

    const struct { const char* name; Bytes bytes; } cases[] = {
        { "length beyond the buffer", tooLong },
        { "length near 4 GB", hugeLength },
        { "length shorter than the fields", shortLength },
        { "length longer than what was sent, then close", longerThanSent },
        { "text count past the data", countPastData },
        { "a header only, then close", Bytes(shortLength.begin(), shortLength.begin() + 8) },
    };
    for (const auto& c : cases) {
        CLegacyServer server({ { c.bytes, 0 } });
        listener.texts.clear();
        EXPECT_EQ(Lookup(server), RUDP_RESULT_NO_SERVER_RESPONSE) << c.name;
        EXPECT_FALSE(conn.IsConnected()) << c.name;
        EXPECT_EQ(LastText(), "Querying D.SERVER") << c.name;
    }
}

TEST_F(LegacyLookup, SilentServerFailsWithinTheReadBudget)
{
    CLegacyServer server({}, true);
    Clock::time_point start = Clock::now();
    EXPECT_EQ(Lookup(server), RUDP_RESULT_NO_SERVER_RESPONSE);
    EXPECT_LT(MsSince(start), 20000);
    EXPECT_EQ(LastText(), "Querying D.SERVER");
    EXPECT_FALSE(conn.IsConnected());
}

TEST_F(LegacyLookup, NoServerListening)
{
    CZConnection::SetLegacyServer("127.0.0.1", UnusedLoopbackPort());
    EXPECT_EQ(conn.CreateLegacyConnection(&listener, CRVString("Kitchen")),
              RUDP_RESULT_NO_SERVER_RESPONSE);
    EXPECT_EQ(listener.texts, std::vector<std::string>{ "Connecting to D.SERVER" });
}

TEST_F(LegacyLookup, UnresolvableServerGivesResult1)
{
    CZConnection::SetLegacyServer("", 500);   // fails before any resolver query
    EXPECT_EQ(conn.CreateLegacyConnection(&listener, CRVString("Kitchen")), RUDP_RESULT_CANT_RESOLVE);
    EXPECT_TRUE(listener.texts.empty());
}

}  // namespace
