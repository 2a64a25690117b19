// Message pump throughput over a real loopback TCP socket, against a bare
// recv + memcpy loop reading the same byte stream in the same program.
//
// A sender thread writes frames without pause; the session pumps them and
// routes each to a sink that reads its first int. Small frames carry 16 data
// bytes, large ones 64 KiB.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "rvmsg.h"
#include "rvserver.h"
#include "socksink.h"

namespace {

const short kSinkID = 1;

std::vector<unsigned char> Frames(size_t nDataBytes, int nFrames)
{
    std::vector<unsigned char> out;
    for (int i = 0; i < nFrames; i++) {
        RVT_HEADER h = { kSinkID, 300, (unsigned int)nDataBytes };
        unsigned char hb[8];
        memcpy(hb, &h, 8);
        out.insert(out.end(), hb, hb + 8);
        std::vector<unsigned char> data(nDataBytes, (unsigned char)i);
        memcpy(data.data(), &i, 4);
        out.insert(out.end(), data.begin(), data.end());
    }
    return out;
}

class CCountingSink : public CSocketSink
{
public:
    CCountingSink() : CSocketSink(kSinkID) {}
    void SinkMessage(CRVMSG* pMsg) override
    {
        m_uSum += (unsigned)pMsg->GetInt();
        m_uFrames++;
    }
    uint64_t m_uFrames = 0;
    unsigned m_uSum = 0;
};

// A loopback TCP connection whose far end a thread fills with `pattern`, over
// and over, until the near end goes away.
class CLoopbackFeed
{
public:
    explicit CLoopbackFeed(std::vector<unsigned char> pattern) : m_pattern(std::move(pattern))
    {
        m_listen = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        bind(m_listen, (sockaddr*)&a, sizeof a);
        listen(m_listen, 1);
        getsockname(m_listen, (sockaddr*)&a, &len);
        m_port = ntohs(a.sin_port);
    }
    ~CLoopbackFeed()
    {
        if (m_sender.joinable())
            m_sender.join();
        if (m_far >= 0)
            close(m_far);
        close(m_listen);
    }
    unsigned short Port() const { return m_port; }
    // A plain connected socket for the reference loop.
    int ConnectPlain()
    {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_port = htons(m_port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connect(fd, (sockaddr*)&a, sizeof a);
        return fd;
    }
    // Accepts the near end and starts writing.
    void Start()
    {
        m_far = accept(m_listen, nullptr, nullptr);
        m_sender = std::thread([this] {
            for (;;) {
                size_t off = 0;
                while (off < m_pattern.size()) {
                    ssize_t r = send(m_far, m_pattern.data() + off, m_pattern.size() - off, MSG_NOSIGNAL);
                    if (r <= 0)
                        return;
                    off += (size_t)r;
                }
            }
        });
    }

private:
    std::vector<unsigned char> m_pattern;
    int m_listen = -1;
    int m_far = -1;
    unsigned short m_port = 0;
    std::thread m_sender;
};

const int kPatternFrames = 64;

void PumpFrames(benchmark::State& state, size_t nDataBytes, uint64_t nBatch)
{
    CRVServer session(nullptr);
    g_pRVServer = &session;
    CCountingSink sink;
    session.AddSocketSink(&sink);
    {
        CLoopbackFeed feed(Frames(nDataBytes, kPatternFrames));
        session.CreateLoopbackConnection(feed.Port());
        feed.Start();
        uint64_t target = 0;
        for (auto _ : state) {
            target += nBatch;
            while (sink.m_uFrames < target)
                if (session.RunMessagePump(50) == 2) {
                    state.SkipWithError("link lost");
                    break;
                }
        }
        benchmark::DoNotOptimize(sink.m_uSum);
        session.CloseConnection();   // ends the sender
    }
    state.SetItemsProcessed((int64_t)sink.m_uFrames);
    state.SetBytesProcessed((int64_t)(sink.m_uFrames * (nDataBytes + 8)));
    g_pRVServer = nullptr;
}

// The reference: the same stream read with recv into a 1,000,000-byte buffer
// and copied out once, with no framing at all.
void RawRecv(benchmark::State& state, size_t nDataBytes, uint64_t nBatch)
{
    const uint64_t frameBytes = nDataBytes + 8;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[1000000]);
    std::unique_ptr<unsigned char[]> copy(new unsigned char[1000000]);
    uint64_t bytes = 0;
    {
        CLoopbackFeed feed(Frames(nDataBytes, kPatternFrames));
        int fd = feed.ConnectPlain();
        feed.Start();
        uint64_t target = 0;
        for (auto _ : state) {
            target += nBatch * frameBytes;
            while (bytes < target) {
                ssize_t r = recv(fd, buffer.get(), 1000000, 0);
                if (r <= 0) {
                    state.SkipWithError("link lost");
                    break;
                }
                memcpy(copy.get(), buffer.get(), (size_t)r);
                benchmark::ClobberMemory();
                bytes += (uint64_t)r;
            }
        }
        close(fd);
    }
    state.SetItemsProcessed((int64_t)(bytes / frameBytes));
    state.SetBytesProcessed((int64_t)bytes);
}

void BM_PumpSmallFrames(benchmark::State& state) { PumpFrames(state, 16, 10000); }
void BM_RawRecvSmallFrames(benchmark::State& state) { RawRecv(state, 16, 10000); }
void BM_PumpLargeFrames(benchmark::State& state) { PumpFrames(state, 65536, 100); }
void BM_RawRecvLargeFrames(benchmark::State& state) { RawRecv(state, 65536, 100); }

BENCHMARK(BM_PumpSmallFrames)->UseRealTime();
BENCHMARK(BM_RawRecvSmallFrames)->UseRealTime();
BENCHMARK(BM_PumpLargeFrames)->UseRealTime();
BENCHMARK(BM_RawRecvLargeFrames)->UseRealTime();

}  // namespace
