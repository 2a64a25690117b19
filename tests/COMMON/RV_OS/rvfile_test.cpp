#include "rvfile.h"

#include "scoped_temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), (std::streamsize)data.size());
}

long long SizeOnDisk(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (long long)st.st_size : -1;
}

// The characters of a string in either form, without converting it (a long
// narrow text has no wide form within the string size limit).
std::wstring Wide(const CRVString& s)
{
    if (s.GetType() == TYPE_WCHAR)
        return std::wstring(static_cast<const wchar_t*>(s.GetData()), (size_t)s.GetLength());
    const unsigned char* p = static_cast<const unsigned char*>(s.GetData());
    return std::wstring(p, p + s.GetLength());
}

uint32_t IPv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    uint8_t octets[4] = {a, b, c, d};
    uint32_t ip;
    std::memcpy(&ip, octets, 4);
    return ip;
}

class FileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }
    ScopedTempDir dir;
    std::string path = dir / "data.bin";
};

// ------------------------------------------------------------ byte layout

TEST_F(FileTest, EachEncodingHasItsExactBytes)
{
    const struct {
        const char* what;
        std::function<int(CRVFile&)> write;
        Bytes expected;
    } cases[] = {
        {"byte", [](CRVFile& f) { return f.WriteByte(0xAB); }, {0xAB}},
        {"WORD", [](CRVFile& f) { return f.WriteWORD(0x1234); }, {0x34, 0x12}},
        {"short", [](CRVFile& f) { return f.WriteShort(-2); }, {0xFE, 0xFF}},
        {"DWORD", [](CRVFile& f) { return f.WriteDWORD(0x12345678); }, {0x78, 0x56, 0x34, 0x12}},
        {"int", [](CRVFile& f) { return f.WriteInt(-2); }, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"UINT", [](CRVFile& f) { return f.WriteUINT(0xDEADBEEF); }, {0xEF, 0xBE, 0xAD, 0xDE}},
        {"narrow string", [](CRVFile& f) { return f.WriteString(CRVString("abc")); },
         {3, 0, 0, 0, 'a', 'b', 'c'}},
        {"wide string", [](CRVFile& f) { return f.WriteString(CRVString(L"abc")); },
         {6, 0, 0, 0x80, 'a', 0, 'b', 0, 'c', 0}},
        {"narrow Latin-1 string", [](CRVFile& f) { return f.WriteString(CRVString("\xE9")); },
         {1, 0, 0, 0, 0xE9}},
        {"empty narrow string", [](CRVFile& f) { return f.WriteString(CRVString(TYPE_CHAR)); }, {0, 0, 0, 0}},
        {"empty wide string", [](CRVFile& f) { return f.WriteString(CRVString(TYPE_WCHAR)); }, {0, 0, 0, 0}},
        {"wide string past U+FFFF", [](CRVFile& f) { return f.WriteString(CRVString(L"\U0001F600")); },
         {4, 0, 0, 0x80, 0x3D, 0xD8, 0x00, 0xDE}},
        {"small form of narrowable wide text", [](CRVFile& f) { return f.WriteStringSmall(CRVString(L"ab")); },
         {2, 0, 0, 0, 'a', 'b'}},
        {"small form of wide-only text", [](CRVFile& f) { return f.WriteStringSmall(CRVString(L"\u20AC")); },
         {2, 0, 0, 0x80, 0xAC, 0x20}},
        {"IP address", [](CRVFile& f) { return f.WriteIP(IPv4(192, 168, 1, 2)); },
         {192, 0, 168, 0, 1, 0, 2, 0}},
    };
    for (const auto& c : cases) {
        {
            CRVFile f(path.c_str());
            ASSERT_EQ(1, f.Open(RV_FILE_WRITE));
            EXPECT_EQ(1, c.write(f)) << c.what;
        }
        EXPECT_EQ(c.expected, ReadAll(path)) << c.what;
    }
}

// ------------------------------------------------------------ round trips

// One of every value, written through a cache of the given size and read
// back through another, with an explicit flush after the seventh value.
void RoundTrip(const std::string& path, int writeCache, int readCache)
{
    SCOPED_TRACE("write cache " + std::to_string(writeCache) + ", read cache " + std::to_string(readCache));
    CRVString wide(L"z\u00FCrich \u20AC \U0001F600");
    CRVString narrow("plain \xE9t\xE9");
    {
        CRVFile f(path.c_str(), writeCache);
        ASSERT_EQ(1, f.Open(RV_FILE_WRITE));
        EXPECT_EQ(1, f.WriteByte(0x7F));
        EXPECT_EQ(1, f.WriteWORD(0xBEEF));
        EXPECT_EQ(1, f.WriteShort(-12345));
        EXPECT_EQ(1, f.WriteDWORD(0xCAFEBABE));
        EXPECT_EQ(1, f.WriteInt(-7));
        EXPECT_EQ(1, f.WriteUINT(4000000000u));
        EXPECT_EQ(1, f.WriteString(narrow));
        EXPECT_EQ(1, f.Flush());
        EXPECT_EQ(1, f.WriteString(wide));
        EXPECT_EQ(1, f.WriteString(CRVString(TYPE_CHAR)));
        EXPECT_EQ(1, f.WriteStringSmall(CRVString(L"small")));
        EXPECT_EQ(1, f.WriteIP(IPv4(10, 0, 0, 255)));
        for (int i = 0; i < 300; ++i)
            EXPECT_EQ(1, f.WriteDWORD((uint32_t)i * 2654435761u));
        EXPECT_EQ(1, f.Close());
    }
    CRVFile f(path.c_str(), readCache);
    ASSERT_EQ(1, f.Open(RV_FILE_READ));
    uint8_t b;
    uint16_t w;
    int16_t s;
    uint32_t d;
    int32_t i;
    unsigned int u;
    CRVString str;
    EXPECT_TRUE(f.ReadByte(b) && b == 0x7F);
    EXPECT_TRUE(f.ReadWORD(w) && w == 0xBEEF);
    EXPECT_TRUE(f.ReadShort(s) && s == -12345);
    EXPECT_TRUE(f.ReadDWORD(d) && d == 0xCAFEBABE);
    EXPECT_TRUE(f.ReadInt(i) && i == -7);
    EXPECT_TRUE(f.ReadUINT(u) && u == 4000000000u);
    ASSERT_EQ(1, f.ReadString(str));
    EXPECT_EQ(TYPE_CHAR, str.GetType());
    EXPECT_EQ(0, str.Compare(narrow));
    ASSERT_EQ(1, f.ReadString(str));
    EXPECT_EQ(TYPE_WCHAR, str.GetType());
    EXPECT_EQ(Wide(wide), Wide(str));
    ASSERT_EQ(1, f.ReadString(str));
    EXPECT_EQ(0, str.GetLength());
    ASSERT_EQ(1, f.ReadString(str));
    EXPECT_EQ(TYPE_CHAR, str.GetType());
    EXPECT_EQ(0, str.Compare("small"));
    EXPECT_TRUE(f.ReadIP(d) && d == IPv4(10, 0, 0, 255));
    for (int k = 0; k < 300; ++k) {
        ASSERT_EQ(1, f.ReadDWORD(d));
        EXPECT_EQ((uint32_t)k * 2654435761u, d);
    }
    EXPECT_EQ(1, f.IsEOF());
    EXPECT_EQ(0, f.ReadByte(b));
}

TEST_F(FileTest, EveryValueRoundTripsThroughCachesOfAnySize)
{
    // Small odd sizes put every value across a cache boundary somewhere; 0 is
    // uncached; 5000 is the default.
    for (int w : {0, 1, 3, 7, 13, 5000})
        for (int r : {1, 5, 4096, 5000})
            RoundTrip(path, w, r);
}

// ------------------------------------------------------------ write cache

TEST_F(FileTest, WriteCacheHoldsSmallWritesAndPassesLargeOnes)
{
    Bytes small(10), big(6000), mid(4000);
    for (size_t k = 0; k < big.size(); ++k)
        big[k] = (uint8_t)(k * 7);
    for (size_t k = 0; k < small.size(); ++k)
        small[k] = (uint8_t)(0xA0 + k);
    CRVFile f(path.c_str());
    ASSERT_EQ(1, f.Open(RV_FILE_WRITE));
    EXPECT_EQ(1, f.Write(small.data(), (int)small.size()));
    EXPECT_EQ(0, SizeOnDisk(path));                 // still cached
    EXPECT_EQ(10, f.GetFilePointer());
    EXPECT_EQ(1, f.Write(big.data(), (int)big.size()));
    EXPECT_EQ(6010, SizeOnDisk(path));              // cache first, then the block directly
    EXPECT_EQ(1, f.WriteBytes(mid.data(), (int)mid.size()));
    EXPECT_EQ(6010, SizeOnDisk(path));
    EXPECT_EQ(1, f.WriteBytes(mid.data(), 999));    // 4999 still fits
    EXPECT_EQ(6010, SizeOnDisk(path));
    EXPECT_EQ(1, f.WriteBytes(mid.data(), 1));      // 5000 would fill the cache: out first
    EXPECT_EQ(11009, SizeOnDisk(path));
    EXPECT_EQ(11010, f.GetFilePointer());
    EXPECT_EQ(11010, f.GetLength());                // the caller's view, cache included
    EXPECT_EQ(1, f.Close());

    Bytes expected(small);
    expected.insert(expected.end(), big.begin(), big.end());
    expected.insert(expected.end(), mid.begin(), mid.end());
    expected.insert(expected.end(), mid.begin(), mid.begin() + 999);
    expected.push_back(mid[0]);
    EXPECT_EQ(expected, ReadAll(path));
}

TEST_F(FileTest, DestructorWritesTheCacheOut)
{
    {
        CRVFile f(path.c_str());
        ASSERT_EQ(1, f.Open(RV_FILE_WRITE));
        f.WriteDWORD(1);
    }
    EXPECT_EQ((Bytes{1, 0, 0, 0}), ReadAll(path));
}

TEST_F(FileTest, SetBufferSizeKeepsCachedBytes)
{
    CRVFile f(path.c_str(), 100);
    ASSERT_EQ(1, f.Open(RV_FILE_WRITE));
    f.WriteDWORD(0x04030201);
    f.WriteByte(5);
    EXPECT_EQ(0, f.SetBufferSize(4));               // below the fill
    EXPECT_EQ(1, f.SetBufferSize(5));
    EXPECT_EQ(1, f.WriteByte(6));                   // writes the full cache out first
    EXPECT_EQ(5, SizeOnDisk(path));
    EXPECT_EQ(1, f.SetBufferSize(2000));
    EXPECT_EQ(1, f.Close());
    EXPECT_EQ((Bytes{1, 2, 3, 4, 5, 6}), ReadAll(path));
}

TEST_F(FileTest, AppendModeAddsAtTheEnd)
{
    WriteAll(path, {1, 2});
    CRVFile f(path.c_str());
    ASSERT_EQ(1, f.Open(RV_FILE_APPEND));
    f.WriteWORD(0x0403);
    EXPECT_EQ(1, f.Close());
    EXPECT_EQ((Bytes{1, 2, 3, 4}), ReadAll(path));
}

// ------------------------------------------------------------ reading

TEST_F(FileTest, SeekInsideAndOutsideTheReadCache)
{
    Bytes data(20000);
    for (size_t k = 0; k < data.size(); ++k)
        data[k] = (uint8_t)(k % 251);
    WriteAll(path, data);
    CRVFile f(path.c_str(), 1000);
    ASSERT_EQ(1, f.Open(RV_FILE_READ));
    uint8_t b;
    ASSERT_EQ(1, f.ReadByte(b));                    // fills the cache with 0..999
    EXPECT_EQ(1, f.GetFilePointer());
    const struct { long offset; int whence; long at; } seeks[] = {
        {100, SEEK_CUR, 101},     // forward inside the cache
        {500, SEEK_SET, 500},     // forward inside, absolute
        {10, SEEK_SET, 10},       // backward
        {5000, SEEK_CUR, 5010},   // past the cache
        {-3, SEEK_END, 19997},
        {-19997, SEEK_CUR, 0},
    };
    for (const auto& s : seeks) {
        ASSERT_EQ(1, f.Seek(s.offset, s.whence)) << s.offset;
        EXPECT_EQ(s.at, f.GetFilePointer()) << s.offset;
        ASSERT_EQ(1, f.ReadByte(b));
        EXPECT_EQ(data[s.at], b) << s.offset;
        ASSERT_EQ(1, f.SeekFast(-1, SEEK_CUR));
    }
    EXPECT_EQ(0, f.Seek(-1, SEEK_SET));
    EXPECT_EQ(0, f.Seek(0, 7));
    // A failed seek leaves the file usable where it was.
    ASSERT_EQ(1, f.ReadByte(b));
    EXPECT_EQ(data[0], b);
    EXPECT_EQ(0, f.IsReadError());
}

TEST_F(FileTest, ReadBytesTakesCacheThenStream)
{
    Bytes data(3000);
    for (size_t k = 0; k < data.size(); ++k)
        data[k] = (uint8_t)(k * 13);
    WriteAll(path, data);
    CRVFile f(path.c_str(), 100);
    ASSERT_EQ(1, f.Open(RV_FILE_READ));
    Bytes got(2500);
    ASSERT_EQ(1, f.ReadBytesBuffered(got.data(), 10));      // cache holds 0..99
    ASSERT_EQ(1, f.ReadBytes(got.data() + 10, 1000));       // 90 cached + 910 from the stream
    ASSERT_EQ(1, f.ReadBytesBuffered(got.data() + 1010, 1490));   // larger than the cache
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 2500), got);
    EXPECT_EQ(0, f.ReadBytes(got.data(), 501));             // 500 left
    EXPECT_EQ(1, f.IsEOF());
}

TEST_F(FileTest, ValuesCutShortFailCleanly)
{
    // A complete value for each reader, then every shorter prefix of it.
    const struct {
        const char* what;
        Bytes full;
        std::function<int(CRVFile&)> read;
    } cases[] = {
        {"WORD", {1, 2}, [](CRVFile& f) { uint16_t v; return f.ReadWORD(v); }},
        {"short", {1, 2}, [](CRVFile& f) { int16_t v; return f.ReadShort(v); }},
        {"DWORD", {1, 2, 3, 4}, [](CRVFile& f) { uint32_t v; return f.ReadDWORD(v); }},
        {"int", {1, 2, 3, 4}, [](CRVFile& f) { int32_t v; return f.ReadInt(v); }},
        {"UINT", {1, 2, 3, 4}, [](CRVFile& f) { unsigned v; return f.ReadUINT(v); }},
        {"IP", {1, 0, 2, 0, 3, 0, 4, 0}, [](CRVFile& f) { uint32_t v; return f.ReadIP(v); }},
        {"narrow string", {3, 0, 0, 0, 'a', 'b', 'c'},
         [](CRVFile& f) { CRVString s("junk"); int ok = f.ReadString(s); return ok || s.GetLength() ? 1 : 0; }},
        {"wide string", {4, 0, 0, 0x80, 'a', 0, 'b', 0},
         [](CRVFile& f) { CRVString s(L"junk"); int ok = f.ReadString(s); return ok || s.GetLength() ? 1 : 0; }},
    };
    for (const auto& c : cases) {
        WriteAll(path, c.full);
        CRVFile whole(path.c_str());
        ASSERT_EQ(1, whole.Open(RV_FILE_READ));
        ASSERT_EQ(1, c.read(whole)) << c.what;
        for (size_t n = 0; n < c.full.size(); ++n) {
            WriteAll(path, Bytes(c.full.begin(), c.full.begin() + n));
            CRVFile f(path.c_str());
            ASSERT_EQ(1, f.Open(RV_FILE_READ));
            EXPECT_EQ(0, c.read(f)) << c.what << " cut to " << n;
        }
    }
    WriteAll(path, {});
    CRVFile empty(path.c_str());
    ASSERT_EQ(1, empty.Open(RV_FILE_READ));
    uint8_t b = 9;
    EXPECT_EQ(0, empty.ReadByte(b));
    EXPECT_EQ(0, b);
}

TEST_F(FileTest, StringCountsFromOtherWritersAreChecked)
{
    auto Count = [](uint32_t c) {
        return Bytes{(uint8_t)c, (uint8_t)(c >> 8), (uint8_t)(c >> 16), (uint8_t)(c >> 24)};
    };
    auto Then = [](Bytes a, const Bytes& b) { a.insert(a.end(), b.begin(), b.end()); return a; };
    const Bytes marker = {0x5A, 0xA5, 0x5A, 0xA5};   // a DWORD after the string

    const struct {
        const char* what;
        Bytes file;
        int ok;
        std::wstring text;
        long after;   // file position after ReadString
    } cases[] = {
        {"count of 30000: nothing read", Then(Count(30000), Bytes(30000, 'x')), 0, L"", 4},
        {"wide count of 30000", Then(Count(0x80000000u | 30000), Bytes(30000, 'x')), 0, L"", 4},
        {"count word of all ones", Then(Count(0xFFFFFFFFu), marker), 0, L"", 4},
        {"narrow text longer than a string holds", Then(Count(20000), Then(Bytes(20000, 'x'), marker)), 0, L"",
         20004},
        {"wide text longer than a string holds", Then(Count(0x80000000u | 12000), Then(Bytes(12000, 'x'), marker)),
         0, L"", 12004},
        {"longest narrow text", Then(Count(19999), Then(Bytes(19999, 'y'), marker)), 1,
         std::wstring(19999, L'y'), 20003},
        {"wide zero count", Then(Count(0x80000000u), marker), 1, L"", 4},
        {"odd wide count drops the last byte", Then(Count(0x80000000u | 3), Then({'a', 0, 'b'}, marker)), 1, L"a",
         7},
        {"lone surrogate kept as a unit", Then(Count(0x80000000u | 4), Then({0x00, 0xD8, 'a', 0}, marker)), 1,
         std::wstring{(wchar_t)0xD800, L'a'}, 8},
        {"embedded zero byte", Then(Count(3), Then({'a', 0, 'b'}, marker)), 1, std::wstring{L'a', 0, L'b'}, 7},
    };
    for (const auto& c : cases) {
        WriteAll(path, c.file);
        CRVFile f(path.c_str());
        ASSERT_EQ(1, f.Open(RV_FILE_READ));
        CRVString s(L"previous");
        EXPECT_EQ(c.ok, f.ReadString(s)) << c.what;
        EXPECT_EQ(c.text, Wide(s)) << c.what;
        EXPECT_EQ(c.after, f.GetFilePointer()) << c.what;
    }
}

TEST_F(FileTest, IPOctetsAbove255AreRefused)
{
    WriteAll(path, {1, 0, 2, 1, 3, 0, 4, 0});
    CRVFile f(path.c_str());
    ASSERT_EQ(1, f.Open(RV_FILE_READ));
    uint32_t ip = 1;
    EXPECT_EQ(0, f.ReadIP(ip));
    EXPECT_EQ(0u, ip);
}

// ------------------------------------------------------------ whole file

TEST_F(FileTest, OpenModesAndState)
{
    CRVFile f(path.c_str());
    EXPECT_EQ(0, f.Exists());
    EXPECT_EQ(0, f.Open(RV_FILE_READ));            // no such file
    EXPECT_EQ(0, f.Open(0));
    EXPECT_EQ(0, f.Open(4));
    EXPECT_EQ(0, f.IsOpen());
    EXPECT_EQ(0, f.WriteByte(1));                   // not open
    EXPECT_EQ(0, f.GetLength());                    // bad stat
    EXPECT_EQ(0u, f.GetCheckSum());
    EXPECT_EQ(-1, f.GetFilePointer());
    EXPECT_EQ(1, f.IsEOF());

    ASSERT_EQ(1, f.Open(RV_FILE_WRITE));
    EXPECT_EQ(1, f.IsOpen());
    uint8_t b;
    EXPECT_EQ(0, f.ReadByte(b));                    // wrong direction
    f.WriteWORD(0x0201);
    ASSERT_EQ(1, f.Open(RV_FILE_READ));             // closes (and writes) first
    EXPECT_EQ(1, f.Exists());
    EXPECT_EQ(2, f.GetLength());
    EXPECT_EQ(0, f.WriteByte(1));
    EXPECT_EQ(0, f.IsEOF());
    EXPECT_EQ(1, f.Close());
    EXPECT_EQ(0, f.IsOpen());
    EXPECT_EQ(1, f.Close());                        // nothing left to close
}

TEST_F(FileTest, CheckSumSumsEveryByte)
{
    Bytes data(25000);
    uint32_t sum = 0;
    for (size_t k = 0; k < data.size(); ++k)
        sum += data[k] = (uint8_t)(k * 31 + 7);
    WriteAll(path, data);

    CRVFile closed(path.c_str());
    EXPECT_EQ(sum, closed.GetCheckSum());
    EXPECT_EQ(0, closed.IsOpen());

    CRVFile reading(path.c_str(), 64);
    ASSERT_EQ(1, reading.Open(RV_FILE_READ));
    uint32_t d;
    reading.ReadDWORD(d);
    EXPECT_EQ(sum, reading.GetCheckSum());
    EXPECT_EQ(0, reading.GetFilePointer());         // rewound
    ASSERT_EQ(1, reading.ReadDWORD(d));
    EXPECT_EQ(data[0] | data[1] << 8 | data[2] << 16 | (uint32_t)data[3] << 24, d);
}

TEST_F(FileTest, PathIsNormalised)
{
    CRVFile f((dir.path() + "//sub\\..\\data.bin").c_str());
    EXPECT_EQ(0, CRVString(f.GetPath()).Compare((dir.path() + "/sub/../data.bin").c_str()));
}

}  // namespace
