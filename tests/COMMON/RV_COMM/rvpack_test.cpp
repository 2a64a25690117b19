#include "rvpack.h"

#include "rvmsg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// A raw frame buffer of the given total size with an empty header.
Bytes EmptyFrame(size_t size, short sID = 18003)
{
    Bytes b(size, 0xCC);
    RVT_HEADER h{0, sID, 0};
    if (size >= sizeof h)
        memcpy(b.data(), &h, sizeof h);
    return b;
}

// A received buffer: the header announcing `length`, then the data bytes.
Bytes Received(const Bytes& data, unsigned int length)
{
    Bytes b(RV_HEADER_SIZE + data.size());
    RVT_HEADER h{0, 18004, length};
    memcpy(b.data(), &h, sizeof h);
    std::copy(data.begin(), data.end(), b.begin() + RV_HEADER_SIZE);
    return b;
}

TEST(RVPack, WritesTheMessageLayout)
{
    Bytes frame = EmptyFrame(64);
    ASSERT_EQ(1, PackString(frame.data(), (unsigned)frame.size(), "home"));
    ASSERT_EQ(1, PackString(frame.data(), (unsigned)frame.size(), "abc"));
    ASSERT_EQ(1, PackInt(frame.data(), (unsigned)frame.size(), -2));
    ASSERT_EQ(1, PackString(frame.data(), (unsigned)frame.size(), ""));
    const Bytes expected = {0, 0, 0x53, 0x46, 24, 0, 0, 0,         // header: length = write position
                            4, 0, 0, 0, 'h', 'o', 'm', 'e',
                            3, 0, 0, 0, 'a', 'b', 'c', 0,
                            0xFE, 0xFF, 0xFF, 0xFF,
                            0, 0, 0, 0};
    EXPECT_EQ(expected, Bytes(frame.begin(), frame.begin() + expected.size()));

    // The same values through a message record give the same bytes.
    CRVMSG m(0, 18003, 0, 1);
    m.PutString(CRVString("home"));
    m.PutString(CRVString("abc"));
    m.PutInt(-2);
    m.PutString(CRVString(""));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m.MSG());
    EXPECT_EQ(expected, Bytes(p, p + m.MSGSize()));
}

TEST(RVPack, WritersStopAtTheBuffer)
{
    struct Case {
        const char* name;
        size_t size;
        unsigned int startLength;
        int (*pack)(unsigned char*, unsigned int);
        int ok;
    };
    auto packInt = [](unsigned char* f, unsigned int n) { return PackInt(f, n, 0x01020304); };
    auto packAbc = [](unsigned char* f, unsigned int n) { return PackString(f, n, "abc"); };
    const Case cases[] = {
        {"int fits exactly", 12, 0, packInt, 1},
        {"int one short", 11, 0, packInt, 0},
        {"string with its pad fits", 16, 0, packAbc, 1},
        {"string short of its pad", 15, 0, packAbc, 0},
        {"header length beyond the buffer", 64, 100, packInt, 0},
        {"header length at the end", 64, 56, packInt, 0},
        {"header length wraps the sum", 64, 0xFFFFFFFE, packAbc, 0},
        {"no room for a header", 4, 0, packInt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes frame = EmptyFrame(c.size);
        if (c.size >= RV_HEADER_SIZE) {
            RVT_HEADER h{0, 1, c.startLength};
            memcpy(frame.data(), &h, sizeof h);
        }
        Bytes before = frame;
        EXPECT_EQ(c.ok, c.pack(frame.data(), (unsigned)frame.size()));
        if (!c.ok) {
            EXPECT_EQ(before, frame);
        }
    }
}

TEST(RVPack, ReadsWhatAMessageWrote)
{
    CRVMSG m(0, 18004, 0, 1);
    m.PutBYTE(1);
    m.PutBYTE(0);
    m.PutString(CRVString("192.168.1.20"));
    m.PutWORD(5020);
    m.PutInt(-7);
    const unsigned char time[] = {0xE8, 0x07, 12, 31, 23, 59, 58};
    m.PutDataNoAlign(time, 7);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m.MSG());
    Bytes frame(p, p + m.MSGSize());

    unsigned int index = 0;
    unsigned char found = 0, unused = 9;
    char address[64];
    unsigned short port = 0;
    int value = 0;
    unsigned int n = (unsigned)frame.size();
    ASSERT_EQ(1, UnpackByte(frame.data(), n, &index, &found));
    ASSERT_EQ(1, UnpackByte(frame.data(), n, &index, &unused));
    ASSERT_EQ(1, UnpackString(frame.data(), n, &index, address, sizeof address));
    ASSERT_EQ(1, UnpackWORD(frame.data(), n, &index, &port));
    ASSERT_EQ(1, UnpackInt(frame.data(), n, &index, &value));
    ASSERT_EQ(1, UnpackTime(frame.data(), n, &index));
    EXPECT_EQ(1, found);
    EXPECT_EQ(0, unused);
    EXPECT_STREQ("192.168.1.20", address);
    EXPECT_EQ(5020, port);
    EXPECT_EQ(-7, value);
    EXPECT_EQ((unsigned)m.DataSize(), index);
    EXPECT_EQ(0, UnpackByte(frame.data(), n, &index, nullptr));
    EXPECT_EQ((unsigned)m.DataSize(), index);
}

TEST(RVPack, ReadersFailWithoutMoving)
{
    struct Case {
        const char* name;
        Bytes data;
        unsigned int length;       // what the header announces
        int (*unpack)(const Bytes&, unsigned int*);
    };
    auto byte = [](const Bytes& f, unsigned int* i) { return UnpackByte(f.data(), (unsigned)f.size(), i, nullptr); };
    auto word = [](const Bytes& f, unsigned int* i) { return UnpackWORD(f.data(), (unsigned)f.size(), i, nullptr); };
    auto int32 = [](const Bytes& f, unsigned int* i) { return UnpackInt(f.data(), (unsigned)f.size(), i, nullptr); };
    auto time = [](const Bytes& f, unsigned int* i) { return UnpackTime(f.data(), (unsigned)f.size(), i); };
    const Case cases[] = {
        {"byte on nothing", {}, 0, byte},
        {"word on one byte", {1}, 1, word},
        {"int on three bytes", {1, 2, 3}, 3, int32},
        {"time on six bytes", Bytes(6, 1), 6, time},
        // The header announces more than the caller received: only what is
        // there is read.
        {"int beyond what was received", {1, 2}, 100, int32},
        {"time beyond what was received", Bytes(6, 1), 0xFFFFFFFF, time},
        // The header announces less than was received: the rest is not data.
        {"int beyond the announced length", {1, 2, 3, 4}, 3, int32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes frame = Received(c.data, c.length);
        unsigned int index = 0;
        EXPECT_EQ(0, c.unpack(frame, &index));
        EXPECT_EQ(0u, index);
    }
    unsigned int index = 0;
    EXPECT_EQ(0, UnpackInt(nullptr, 100, &index, nullptr));
    Bytes tiny(7, 0);
    EXPECT_EQ(0, UnpackByte(tiny.data(), (unsigned)tiny.size(), &index, nullptr));

    Bytes seven = Received(Bytes(7, 1), 7);
    EXPECT_EQ(1, UnpackTime(seven.data(), (unsigned)seven.size(), &index));
    EXPECT_EQ(7u, index);
}

TEST(RVPack, UnpackStringChecksCountAndCapacity)
{
    auto withCount = [](unsigned int count, size_t present) {
        Bytes data = {(unsigned char)count, (unsigned char)(count >> 8), (unsigned char)(count >> 16),
                      (unsigned char)(count >> 24)};
        for (size_t i = 0; i < present; ++i)
            data.push_back((unsigned char)('a' + i % 26));
        return data;
    };
    struct Case {
        const char* name;
        Bytes data;
        int capacity;
        int ok;
        const char* text;
        unsigned int indexAfter;
    };
    const Case cases[] = {
        {"fits", withCount(3, 4), 8, 1, "abc", 8},
        {"count one below the capacity", withCount(7, 8), 8, 1, "abcdefg", 12},
        {"count equal to the capacity", withCount(8, 8), 8, 0, "", 0},
        {"empty", withCount(0, 0), 1, 1, "", 4},
        {"last pad missing", withCount(3, 3), 8, 1, "abc", 8},
        {"bytes missing", withCount(5, 4), 64, 0, "", 0},
        {"wide count", withCount(0x80000004, 4), 64, 0, "", 0},
        {"count word cut off", Bytes{3, 0}, 64, 0, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes frame = Received(c.data, (unsigned)c.data.size());
        std::string dest(c.capacity + 1, 'x');   // one guard byte past the capacity
        unsigned int index = 0;
        EXPECT_EQ(c.ok, UnpackString(frame.data(), (unsigned)frame.size(), &index, &dest[0], c.capacity));
        EXPECT_STREQ(c.text, dest.c_str());
        size_t used = strlen(c.text);
        EXPECT_EQ(std::string(c.capacity - used, '\0'), dest.substr(used, c.capacity - used));   // cleared
        EXPECT_EQ('x', dest[c.capacity]);
        EXPECT_EQ(c.indexAfter, index);
    }
}

}  // namespace
