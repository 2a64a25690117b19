#include "rvmsg.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes DataOf(CRVMSG& m)
{
    const unsigned char* p = m.Data();
    return p ? Bytes(p, p + m.DataSize()) : Bytes();
}

Bytes FrameOf(CRVMSG& m)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m.MSG());
    return Bytes(p, p + m.MSGSize());
}

Bytes Int32(unsigned int v) { return {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16), (unsigned char)(v >> 24)}; }

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& b : parts)
        all.insert(all.end(), b.begin(), b.end());
    return all;
}

// A received frame in a buffer of exactly its size (so that any read past it
// is caught by the address sanitizer), wrapped in place as the session does.
class Received
{
public:
    explicit Received(const Bytes& data, short sSender = 3, short sID = 20114)
        : m_Frame(RV_HEADER_SIZE + data.size())
    {
        RVT_HEADER h{sSender, sID, (unsigned int)data.size()};
        memcpy(m_Frame.data(), &h, sizeof h);
        std::copy(data.begin(), data.end(), m_Frame.begin() + RV_HEADER_SIZE);
        m_pMsg.reset(new CRVMSG(reinterpret_cast<RVT_HEADER*>(m_Frame.data())));
    }
    CRVMSG& msg() { return *m_pMsg; }
    Bytes& frame() { return m_Frame; }

private:
    Bytes m_Frame;
    std::unique_ptr<CRVMSG> m_pMsg;
};

std::string Narrow(const CRVString& s)
{
    EXPECT_EQ(TYPE_CHAR, s.GetType());
    return std::string(static_cast<const char*>(s.GetData()), s.GetLength());
}

std::wstring Wide(const CRVString& s)
{
    EXPECT_EQ(TYPE_WCHAR, s.GetType());
    return std::wstring(static_cast<const wchar_t*>(s.GetData()), s.GetLength());
}

void ExpectRect(const CRVRect& r, int x, int y, int w, int h)
{
    EXPECT_EQ(x, r.x);
    EXPECT_EQ(y, r.y);
    EXPECT_EQ(w, r.width);
    EXPECT_EQ(h, r.height);
}

// ---------------------------------------------------------------------------
// Byte layout of what the writers produce

TEST(RVMSGWrite, HeaderIsSenderIdLengthLittleEndian)
{
    CRVMSG m(0x1234, 20114, 0, 1);
    m.PutInt(0x0A0B0C0D);
    EXPECT_EQ((Bytes{0x34, 0x12, 0x92, 0x4E, 0x04, 0, 0, 0, 0x0D, 0x0C, 0x0B, 0x0A}), FrameOf(m));
    EXPECT_EQ(12, m.MSGSize());
    m.SenderID(-2);
    m.MessageID(7);
    Bytes frame = FrameOf(m);
    EXPECT_EQ((Bytes{0xFE, 0xFF, 0x07, 0x00, 0x04, 0, 0, 0}), Bytes(frame.begin(), frame.begin() + 8));
}

TEST(RVMSGWrite, ValueEncodings)
{
    struct Case {
        const char* name;
        std::function<void(CRVMSG&)> put;
        Bytes expected;
    };
    const Case cases[] = {
        {"byte then int, nothing aligned", [](CRVMSG& m) { m.PutBYTE(7); m.PutInt(1); }, {7, 1, 0, 0, 0}},
        {"char", [](CRVMSG& m) { m.PutChar(-1); }, {0xFF}},
        {"short", [](CRVMSG& m) { m.PutShort(-2); }, {0xFE, 0xFF}},
        {"word", [](CRVMSG& m) { m.PutWORD(0xABCD); }, {0xCD, 0xAB}},
        {"int", [](CRVMSG& m) { m.PutInt(-2); }, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"ip, one byte per 16-bit value, lowest first", [](CRVMSG& m) { m.PutIP(0x0401A8C0); },
         {0xC0, 0, 0xA8, 0, 0x01, 0, 0x04, 0}},
        {"data padded to 4", [](CRVMSG& m) { const unsigned char d[] = {1, 2, 3, 4, 5}; m.PutData(d, 5); },
         {1, 2, 3, 4, 5, 0, 0, 0}},
        {"data already a multiple of 4", [](CRVMSG& m) { const unsigned char d[] = {1, 2, 3, 4}; m.PutData(d, 4); },
         {1, 2, 3, 4}},
        {"data after a byte: the pad counts from the block", [](CRVMSG& m) {
             const unsigned char d[] = {9};
             m.PutBYTE(1);
             m.PutData(d, 1);
             m.PutBYTE(2);
         }, {1, 9, 0, 0, 0, 2}},
        {"empty data", [](CRVMSG& m) { m.PutData(nullptr, 0); m.PutBYTE(5); }, {5}},
        {"data unaligned", [](CRVMSG& m) { const unsigned char d[] = {1, 2, 3}; m.PutDataNoAlign(d, 3); m.PutBYTE(4); },
         {1, 2, 3, 4}},
        {"narrow string", [](CRVMSG& m) { m.PutString(CRVString("abc")); }, {3, 0, 0, 0, 'a', 'b', 'c', 0}},
        {"narrow string of 4", [](CRVMSG& m) { m.PutString(CRVString("abcd")); }, {4, 0, 0, 0, 'a', 'b', 'c', 'd'}},
        {"wide string", [](CRVMSG& m) { m.PutString(CRVString(L"abc")); },
         {6, 0, 0, 0x80, 'a', 0, 'b', 0, 'c', 0, 0, 0}},
        {"wide string: low 16 bits of each character", [](CRVMSG& m) { m.PutString(CRVString(L"\u20AC\U0001F600")); },
         {4, 0, 0, 0x80, 0xAC, 0x20, 0x00, 0xF6}},
        {"empty narrow string", [](CRVMSG& m) { m.PutString(CRVString(TYPE_CHAR)); }, {0, 0, 0, 0}},
        {"empty wide string", [](CRVMSG& m) { m.PutString(CRVString(TYPE_WCHAR)); }, {0, 0, 0, 0x80}},
        {"string after a byte: pad counted from the first character", [](CRVMSG& m) {
             m.PutBYTE(1);
             m.PutString(CRVString("a"));
             m.PutBYTE(2);
         }, {1, 1, 0, 0, 0, 'a', 0, 0, 0, 2}},
        {"colour as ints, red first", [](CRVMSG& m) { m.PutColor(0xABFF8001); },
         {0xFF, 0, 0, 0, 0x80, 0, 0, 0, 0x01, 0, 0, 0}},
        {"colour as bytes", [](CRVMSG& m) { m.PutColorBYTE(0x00FF8000); }, {0xFF, 0x80, 0x00}},
        {"RECT as inclusive edges", [](CRVMSG& m) { m.PutRECT(RECT{10, 20, 14, 20}); },
         Cat({Int32(10), Int32(20), Int32(5), Int32(1)})},
        {"CRVRect exactly as held", [](CRVMSG& m) { m.PutRECT(CRVRect(-1, 2, 300, -4)); },
         Cat({Int32(-1), Int32(2), Int32(300), Int32(-4)})},
        {"short rect keeps the low 16 bits", [](CRVMSG& m) { m.PutShortRECT(CRVRect(-1, 2, 300, 70000)); },
         {0xFF, 0xFF, 2, 0, 0x2C, 0x01, 0x70, 0x11}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRVMSG m(1);
        c.put(m);
        EXPECT_EQ(c.expected, DataOf(m));
        EXPECT_EQ((unsigned int)c.expected.size(), m.ReadIndex());
    }
}

TEST(RVMSGWrite, LongestStringsGoOutWhole)
{
    CRVMSG narrow(1);
    std::string text(RVSTRING_MAX_BYTES - 1, 'x');      // 19999 characters, the most a string holds
    ASSERT_EQ(19999, CRVString(text.c_str()).GetLength());
    ASSERT_TRUE(narrow.PutString(CRVString(text.c_str())));
    EXPECT_EQ(4 + 20000, narrow.DataSize());
    EXPECT_EQ(Int32(19999), Bytes(narrow.Data(), narrow.Data() + 4));
    EXPECT_EQ(0, narrow.Data()[4 + 19999]);

    CRVMSG wide(1);
    std::wstring wtext(RVSTRING_MAX_BYTES / 4 - 1, L'\u0101');   // 4999 characters
    ASSERT_TRUE(wide.PutString(CRVString(wtext.c_str())));
    EXPECT_EQ(4 + 9998 + 2, wide.DataSize());
    EXPECT_EQ(Int32(9998 | RV_STRING_WIDE), Bytes(wide.Data(), wide.Data() + 4));
}

TEST(RVMSGWrite, PutOverwritesAtTheIndexAndDropsTheRest)
{
    CRVMSG m(1);
    m.PutInt(1);
    m.PutInt(2);
    m.ResetRead();
    m.PutBYTE(9);
    EXPECT_EQ((Bytes{9}), DataOf(m));
}

// ---------------------------------------------------------------------------
// Capacity and the size limit

TEST(RVMSGCapacity, GrowsByTheRuleAndKeepsTheContents)
{
    CRVMSG m(1);
    EXPECT_EQ(0u, m.Capacity());
    EXPECT_EQ(nullptr, m.Data());
    m.SenderID(5);
    m.MessageID(6);
    struct Step {
        int add;
        unsigned int capacity;
    };
    // (size + 520) rounded down to 512 once size + 8 passes the capacity.
    const Step steps[] = {{1, 512}, {503, 512}, {1, 1024}, {519, 1536}, {1000, 2048}, {100000, 102400}};
    int total = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.add);
        Bytes chunk(s.add, (unsigned char)(total & 0xFF));
        ASSERT_TRUE(m.PutDataNoAlign(chunk.data(), s.add));
        total += s.add;
        EXPECT_EQ(total, m.DataSize());
        EXPECT_EQ(s.capacity, m.Capacity());
    }
    // A block made by the first Put starts with the header from the fields.
    RVT_HEADER h = RVLoadHeader(m.MSG());
    EXPECT_EQ(5, h.sSenderID);
    EXPECT_EQ(6, h.sMessageID);
    EXPECT_EQ((unsigned int)total, h.uLength);
    // Every chunk survived the moves.
    int at = 0;
    for (const Step& s : steps) {
        EXPECT_EQ(Bytes(s.add, (unsigned char)(at & 0xFF)), Bytes(m.Data() + at, m.Data() + at + s.add));
        at += s.add;
    }
}

TEST(RVMSGCapacity, ReserveIsTheDataSizeUntilTheFirstPut)
{
    CRVMSG m(0, 27, 256, 1);
    EXPECT_EQ(256, m.DataSize());
    EXPECT_EQ(512u, m.Capacity());
    EXPECT_EQ(Bytes(256, 0), DataOf(m));   // reserved bytes never leak old memory
    m.PutInt(1014);
    EXPECT_EQ(4, m.DataSize());
    EXPECT_EQ(1, m.Critical());
    EXPECT_EQ(1, m.OwnsBuffer());
}

TEST(RVMSGCapacity, MillionByteLimit)
{
    struct Case {
        unsigned int reserve;
        bool block;
    };
    for (const Case& c : {Case{1000000, true}, Case{1000001, false}, Case{0xFFFFFFFF, false}}) {
        SCOPED_TRACE(c.reserve);
        CRVMSG m(1, 2, c.reserve, 1);
        EXPECT_EQ(c.block, m.Data() != nullptr);
        EXPECT_EQ(c.block ? (int)c.reserve : 0, m.DataSize());
        EXPECT_EQ(c.block ? 1 : 0, m.OwnsBuffer());
        EXPECT_EQ(c.block ? 1000448u : 0u, m.Capacity());
    }

    // Writes stop at the limit and write nothing of a value that would pass it.
    CRVMSG m(1);
    Bytes big(999998, 0x55);
    ASSERT_TRUE(m.PutDataNoAlign(big.data(), (int)big.size()));
    EXPECT_EQ(0, m.PutInt(7));
    EXPECT_EQ(0, m.PutString(CRVString("ab")));
    EXPECT_EQ(999998, m.DataSize());
    EXPECT_EQ(1, m.PutWORD(0xBEEF));
    EXPECT_EQ(1000000, m.DataSize());
    EXPECT_EQ(0, m.PutBYTE(1));
    EXPECT_EQ(1000000, m.DataSize());
    EXPECT_EQ(0, m.PutData(big.data(), 1));
    EXPECT_EQ(0, m.SetDataSize(1000001));
    EXPECT_EQ(1000000, m.DataSize());

    // Copies refuse to pass it too, and come back empty.
    std::unique_ptr<CRVMSG> padded(m.CreateCopyWithPadding(1));
    EXPECT_EQ(0, padded->DataSize());
    EXPECT_EQ(nullptr, padded->Data());
    EXPECT_EQ(-1, padded->MessageID());
    std::unique_ptr<CRVMSG> copy(m.CreateCopy());
    EXPECT_TRUE(copy->IsSameMSG(&m));
}

TEST(RVMSGCapacity, WrappedFrameAtAndBeyondTheLimit)
{
    Received atLimit(Bytes(1000000, 1));
    EXPECT_EQ(1000000, atLimit.msg().DataSize());
    EXPECT_EQ(atLimit.frame().data() + 8, atLimit.msg().Data());

    // Only the header is looked at: the 1,000,001 bytes it announces are not read.
    Bytes header = Cat({Bytes{1, 0, 2, 0}, Int32(1000001)});
    CRVMSG m(reinterpret_cast<RVT_HEADER*>(header.data()));
    EXPECT_EQ(nullptr, m.Data());
    EXPECT_EQ(0, m.DataSize());
    EXPECT_EQ(-1, m.MessageID());
    EXPECT_EQ(-1, m.SenderID());
    EXPECT_EQ(0, m.GetInt());
    EXPECT_EQ(1, m.Error());

    CRVMSG loaded(1);
    loaded.PutInt(5);
    EXPECT_EQ(0, loaded.LoadHeader(reinterpret_cast<RVT_HEADER*>(header.data())));
    EXPECT_EQ(nullptr, loaded.Data());
    EXPECT_EQ(0, loaded.DataSize());
}

// ---------------------------------------------------------------------------
// Reading

TEST(RVMSGRead, ValuesFromTheWire)
{
    struct Case {
        const char* name;
        Bytes data;
        std::function<long long(CRVMSG&)> get;
        long long expected;
        unsigned int indexAfter;
    };
    const Case cases[] = {
        {"byte", {0xFF}, [](CRVMSG& m) { return (long long)m.GetBYTE(); }, 255, 1},
        {"byte out", {0x80}, [](CRVMSG& m) { unsigned char b = 0; m.GetBYTE(&b); return (long long)b; }, 128, 1},
        {"char", {0xFF}, [](CRVMSG& m) { char c = 0; m.GetChar(&c); return (long long)c; }, -1, 1},
        {"short sign-extends", {0xFE, 0xFF}, [](CRVMSG& m) { return (long long)m.GetShort(); }, -2, 2},
        {"word zero-extends", {0xFE, 0xFF}, [](CRVMSG& m) { return (long long)m.GetWORD(); }, 0xFFFE, 2},
        {"int", {0x78, 0x56, 0x34, 0x92}, [](CRVMSG& m) { return (long long)m.GetInt(); }, (int)0x92345678, 4},
        {"int at an odd offset", {7, 1, 0, 0, 0}, [](CRVMSG& m) { m.GetBYTE(); return (long long)m.GetInt(); }, 1, 5},
        {"int64", {1, 2, 3, 4, 5, 6, 7, 0x80}, [](CRVMSG& m) { return m.GetInt64(); },
         (long long)0x8007060504030201ULL, 8},
        {"colour bytes", {0xFF, 0x80, 0x00}, [](CRVMSG& m) { return (long long)m.GetColorBYTE(); }, 0xFF8000, 3},
        {"colour ints", Cat({Int32(0xFF), Int32(0x80), Int32(1)}),
         [](CRVMSG& m) { unsigned c = 0; m.GetColor(&c); return (long long)c; }, 0xFF8001, 12},
        {"colour ints keep one byte each", Cat({Int32(0x1FF), Int32(0xFFFFFF80), Int32(0x101)}),
         [](CRVMSG& m) { unsigned c = 0; m.GetColor(&c); return (long long)c; }, 0xFF8001, 12},
        {"data skips its pad", {1, 2, 3, 0, 9},
         [](CRVMSG& m) { unsigned char d[3]; m.GetData(d, 3); return (long long)(d[0] + d[1] + d[2]) * 100 + m.GetBYTE(); },
         609, 5},
        {"null out-pointer skips", {1, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9},
         [](CRVMSG& m) { m.GetBYTE(nullptr); m.GetShort(nullptr); m.GetWORD(nullptr); m.GetInt(nullptr);
                         m.GetInt64(nullptr); return (long long)m.GetBYTE(); }, 9, 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Received r(c.data);
        EXPECT_EQ(c.expected, c.get(r.msg()));
        EXPECT_EQ(c.indexAfter, r.msg().ReadIndex());
        EXPECT_EQ(0, r.msg().Error());
    }
}

TEST(RVMSGRead, Rectangles)
{
    Received r(Cat({Int32(10), Int32(20), Int32(5), Int32(1), Int32(-3), Int32(-4), Int32(7), Int32(0),
                    Bytes{0xFF, 0xFF, 2, 0, 0x2C, 0x01, 0x00, 0x80}}));
    RECT rc{};
    ASSERT_EQ(1, r.msg().GetRECT(&rc));
    EXPECT_EQ(10, rc.left);
    EXPECT_EQ(20, rc.top);
    EXPECT_EQ(14, rc.right);
    EXPECT_EQ(20, rc.bottom);
    ExpectRect(r.msg().GetRECT(), -3, -4, 7, 0);
    ExpectRect(r.msg().GetShortRECT(), -1, 2, 300, -32768);
    EXPECT_EQ(0, r.msg().Error());

    // Edges that would overflow an int wrap instead of being undefined.
    Received huge(Cat({Int32(0x7FFFFFFF), Int32(0x80000000), Int32(0x7FFFFFFF), Int32(0x80000000)}));
    ASSERT_EQ(1, huge.msg().GetRECT(&rc));
    EXPECT_EQ(-3, rc.right);
    EXPECT_EQ(-1, rc.bottom);
    CRVMSG out(1);
    out.PutRECT(RECT{(int)0x80000000, 0, 0x7FFFFFFF, 0});
    EXPECT_EQ(0, out.Data()[8] | out.Data()[9] | out.Data()[10] | out.Data()[11]);   // width 2^32 wraps to 0
}

TEST(RVMSGRead, EveryWrittenValueReadsBack)
{
    CRVMSG m(11, 12, 0, 0);
    m.PutBYTE(200);
    m.PutChar(-5);
    m.PutShort(-300);
    m.PutWORD(60000);
    m.PutInt(-123456);
    m.PutString(CRVString("narrow"));
    m.PutString(CRVString(L"w\u00E9de\u20AC"));
    m.PutColor(0x123456);
    m.PutColorBYTE(0xABCDEF);
    m.PutRECT(CRVRect(1, -2, 3, 4));
    m.PutRECT(RECT{5, 6, 7, 8});
    m.PutShortRECT(CRVRect(-9, 10, 11, 12));
    const unsigned char block[] = {1, 2, 3, 4, 5};
    m.PutData(block, 5);

    Received r(DataOf(m));
    CRVMSG& in = r.msg();
    EXPECT_EQ(200, in.GetBYTE());
    char c = 0;
    EXPECT_EQ(1, in.GetChar(&c));
    EXPECT_EQ(-5, c);
    EXPECT_EQ(-300, in.GetShort());
    EXPECT_EQ(60000, in.GetWORD());
    EXPECT_EQ(-123456, in.GetInt());
    EXPECT_EQ("narrow", Narrow(in.GetString()));
    CRVString w;
    EXPECT_EQ(1, in.GetString(&w));
    EXPECT_EQ(L"w\u00E9de\u20AC", Wide(w));
    unsigned int colour = 0;
    EXPECT_EQ(1, in.GetColor(&colour));
    EXPECT_EQ(0x123456u, colour);
    EXPECT_EQ(0xABCDEFu, in.GetColorBYTE());
    ExpectRect(in.GetRECT(), 1, -2, 3, 4);
    RECT rc{};
    EXPECT_EQ(1, in.GetRECT(&rc));
    EXPECT_EQ(7, rc.right);
    EXPECT_EQ(8, rc.bottom);
    ExpectRect(in.GetShortRECT(), -9, 10, 11, 12);
    unsigned char got[5] = {};
    EXPECT_EQ(1, in.GetData(got, 5));
    EXPECT_EQ(Bytes(block, block + 5), Bytes(got, got + 5));
    EXPECT_EQ(0, in.BytesLeft());
    EXPECT_EQ(0, in.Error());
}

// Every getter on data too short for it: fails, sets the flag, moves nothing.
TEST(RVMSGRead, ShortDataFailsWithoutMoving)
{
    struct Case {
        const char* name;
        size_t width;
        std::function<int(CRVMSG&)> get;   // 1 when the getter reported success
    };
    const Case cases[] = {
        {"GetBYTE()", 1, [](CRVMSG& m) { return m.GetBYTE() != 0; }},
        {"GetBYTE(*)", 1, [](CRVMSG& m) { unsigned char b = 0xAA; int ok = m.GetBYTE(&b); EXPECT_EQ(0xAA, b); return ok; }},
        {"GetChar", 1, [](CRVMSG& m) { char c = 'q'; int ok = m.GetChar(&c); EXPECT_EQ('q', c); return ok; }},
        {"GetShort()", 2, [](CRVMSG& m) { return m.GetShort() != 0; }},
        {"GetShort(*)", 2, [](CRVMSG& m) { short s = 77; int ok = m.GetShort(&s); EXPECT_EQ(77, s); return ok; }},
        {"GetWORD()", 2, [](CRVMSG& m) { return m.GetWORD() != 0; }},
        {"GetWORD(*)", 2, [](CRVMSG& m) { unsigned short w = 77; int ok = m.GetWORD(&w); EXPECT_EQ(77, w); return ok; }},
        {"GetInt()", 4, [](CRVMSG& m) { return m.GetInt() != 0; }},
        {"GetInt(*)", 4, [](CRVMSG& m) { int i = 77; int ok = m.GetInt(&i); EXPECT_EQ(77, i); return ok; }},
        {"GetInt64()", 8, [](CRVMSG& m) { return m.GetInt64() != 0; }},
        {"GetInt64(*)", 8, [](CRVMSG& m) { long long v = 77; int ok = m.GetInt64(&v); EXPECT_EQ(77, v); return ok; }},
        {"GetData", 6, [](CRVMSG& m) { unsigned char d[6] = {}; return m.GetData(d, 6); }},
        {"GetColor", 12, [](CRVMSG& m) { unsigned c = 77; int ok = m.GetColor(&c); EXPECT_EQ(77u, c); return ok; }},
        {"GetRECT(*)", 16, [](CRVMSG& m) {
             RECT r{1, 2, 3, 4};
             int ok = m.GetRECT(&r);
             EXPECT_EQ(1, r.left);
             EXPECT_EQ(4, r.bottom);
             return ok;
         }},
        {"GetString(*) count word", 4, [](CRVMSG& m) { CRVString s("keep"); int ok = m.GetString(&s); EXPECT_EQ("keep", Narrow(s)); return ok; }},
    };
    for (const Case& c : cases) {
        // Too short by one, and the same with the index part-way in; the data
        // is non-zero so that a success would show.
        for (size_t lead : {(size_t)0, (size_t)1, (size_t)3}) {
            SCOPED_TRACE(std::string(c.name) + " lead " + std::to_string(lead));
            Received r(Bytes(lead + c.width - 1, 0x11));
            r.msg().AdvanceReadIndex((int)lead);
            EXPECT_EQ(0, c.get(r.msg()));
            EXPECT_EQ(lead, r.msg().ReadIndex());
            EXPECT_EQ(1, r.msg().Error());
        }
        SCOPED_TRACE(std::string(c.name) + " empty record");
        CRVMSG empty(1);
        EXPECT_EQ(0, c.get(empty));
        EXPECT_EQ(1, empty.Error());
    }
}

TEST(RVMSGRead, PartialValuesReadMissingPartsAsZero)
{
    Received rect(Cat({Int32(4), Int32(5), Bytes{1, 2}}));
    ExpectRect(rect.msg().GetRECT(), 4, 5, 0, 0);
    EXPECT_EQ(1, rect.msg().Error());
    EXPECT_EQ(8u, rect.msg().ReadIndex());

    Received shortRect(Bytes{4, 0, 5, 0, 6});
    ExpectRect(shortRect.msg().GetShortRECT(), 4, 5, 0, 0);
    EXPECT_EQ(1, shortRect.msg().Error());

    Received colour(Bytes{0xFF, 0x80});
    EXPECT_EQ(0xFF8000u, colour.msg().GetColorBYTE());
    EXPECT_EQ(1, colour.msg().Error());
}

TEST(RVMSGRead, IntOnTwoBytesThenStringFailsAtOnce)
{
    Received r(Cat({Bytes{1, 2}}));
    EXPECT_EQ(0, r.msg().GetInt());
    EXPECT_EQ(1, r.msg().Error());
    EXPECT_EQ(0u, r.msg().ReadIndex());
    CRVString s;
    EXPECT_EQ(0, r.msg().GetString(&s));
}

// Which readers refuse while the flag is set, and that none of them clears it.
TEST(RVMSGRead, StickyErrorFlag)
{
    const Bytes data = Cat({Int32(3), Bytes{'a', 'b', 'c', 0}, Int32(1), Int32(2), Int32(3), Int32(4), Bytes(8, 1)});
    struct Case {
        const char* name;
        std::function<int(CRVMSG&)> get;   // 1 when the reader delivered a value
        bool refuses;
    };
    const Case cases[] = {
        {"GetString(*)", [](CRVMSG& m) { CRVString s; return m.GetString(&s); }, true},
        {"GetString()", [](CRVMSG& m) { return !m.GetString().IsEmpty(); }, true},
        {"GetColor", [](CRVMSG& m) { unsigned c; return m.GetColor(&c); }, true},
        {"GetColorBYTE", [](CRVMSG& m) { return m.GetColorBYTE() != 0; }, true},
        {"GetRECT(*)", [](CRVMSG& m) { RECT r; return m.GetRECT(&r); }, true},
        {"GetBYTE", [](CRVMSG& m) { return (int)(m.GetBYTE() == 3); }, false},
        {"GetChar", [](CRVMSG& m) { char c; return m.GetChar(&c); }, false},
        {"GetShort", [](CRVMSG& m) { return (int)(m.GetShort() == 3); }, false},
        {"GetWORD", [](CRVMSG& m) { return (int)(m.GetWORD() == 3); }, false},
        {"GetInt", [](CRVMSG& m) { return (int)(m.GetInt() == 3); }, false},
        {"GetInt64", [](CRVMSG& m) { return (int)(m.GetInt64() == 0x0063626100000003LL); }, false},
        {"GetData", [](CRVMSG& m) { unsigned char d[4]; return m.GetData(d, 4); }, false},
        {"GetRECT()", [](CRVMSG& m) { return (int)(m.GetRECT().x == 3); }, false},
        {"GetShortRECT()", [](CRVMSG& m) { return (int)(m.GetShortRECT().x == 3); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Received r(data);
        EXPECT_EQ(0, r.msg().GetData(nullptr, 40));   // more than there is: sets the flag
        ASSERT_EQ(1, r.msg().Error());
        EXPECT_EQ(c.refuses ? 0 : 1, c.get(r.msg()));
        if (c.refuses) {
            EXPECT_EQ(0u, r.msg().ReadIndex());
        }
        EXPECT_EQ(1, r.msg().Error());
    }

    // A fresh read from the start begins with a clear flag.
    Received again(data);
    EXPECT_EQ(0, again.msg().GetData(nullptr, 40));
    again.msg().ResetRead();
    EXPECT_EQ(0, again.msg().Error());
    EXPECT_EQ("abc", Narrow(again.msg().GetString()));

    // A successful plain read does not clear the flag either.
    Received r(Bytes{1});
    EXPECT_EQ(0, r.msg().GetShort());
    EXPECT_EQ(1, r.msg().GetBYTE());
    EXPECT_EQ(1, r.msg().Error());
}

// ---------------------------------------------------------------------------
// Strings from the wire

TEST(RVMSGRead, StringCounts)
{
    struct Case {
        const char* name;
        Bytes data;
        int ok;
        CRVSTRING_TYPE type;
        std::wstring text;          // characters expected (as code points)
        unsigned int indexAfter;
    };
    const Case cases[] = {
        {"narrow", Cat({Int32(3), Bytes{'a', 'b', 'c', 0}}), 1, TYPE_CHAR, L"abc", 8},
        {"narrow bytes are not converted", Cat({Int32(2), Bytes{0xE9, 0xFF, 0, 0}}), 1, TYPE_CHAR, L"\u00E9\u00FF", 8},
        {"embedded zero byte kept", Cat({Int32(3), Bytes{'a', 0, 'c', 0}}), 1, TYPE_CHAR, std::wstring(L"a\0c", 3), 8},
        {"wide", Cat({Int32(6 | RV_STRING_WIDE), Bytes{'a', 0, 'b', 0, 'c', 0, 0, 0}}), 1, TYPE_WCHAR, L"abc", 12},
        {"surrogates stay two characters", Cat({Int32(4 | RV_STRING_WIDE), Bytes{0x3D, 0xD8, 0x00, 0xDE}}), 1,
         TYPE_WCHAR, L"\xD83D\xDE00", 8},
        {"odd wide count drops the odd byte", Cat({Int32(3 | RV_STRING_WIDE), Bytes{'x', 0, 'y', 0}}), 1, TYPE_WCHAR,
         L"x", 8},
        {"empty narrow", Int32(0), 1, TYPE_CHAR, L"", 4},
        {"empty wide", Int32(RV_STRING_WIDE), 1, TYPE_WCHAR, L"", 4},
        {"last pad missing", Cat({Int32(3), Bytes{'a', 'b', 'c'}}), 1, TYPE_CHAR, L"abc", 8},
        {"count past the data", Cat({Int32(5), Bytes{'a', 'b', 'c', 'd'}}), 0, TYPE_CHAR, L"", 4},
        {"wide count past the data", Cat({Int32(6 | RV_STRING_WIDE), Bytes{'a', 0, 'b', 0}}), 0, TYPE_CHAR, L"", 4},
        {"largest count", Cat({Int32(0x7FFFFFFF), Bytes(8, 'a')}), 0, TYPE_CHAR, L"", 4},
        {"largest wide count", Cat({Int32(0xFFFFFFFF), Bytes(8, 'a')}), 0, TYPE_CHAR, L"", 4},
        {"count word cut off", Bytes{3, 0, 0}, 0, TYPE_CHAR, L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Received r(c.data);
        CRVString s(TYPE_CHAR);   // what a failed read leaves alone
        EXPECT_EQ(c.ok, r.msg().GetString(&s));
        EXPECT_EQ(c.ok ? 0 : 1, r.msg().Error());
        EXPECT_EQ(c.indexAfter, r.msg().ReadIndex());
        ASSERT_EQ(c.type, s.GetType());
        std::wstring got;
        if (s.GetType() == TYPE_CHAR)
            for (unsigned char ch : Narrow(s))
                got += (wchar_t)ch;
        else
            got = Wide(s);
        EXPECT_EQ(c.text, got);
    }
}

TEST(RVMSGRead, StringLengthLimits)
{
    struct Case {
        const char* name;
        unsigned int count;
        size_t chars;               // characters expected; 0 for a skipped string
        CRVSTRING_TYPE type;
    };
    const Case cases[] = {
        {"narrow 10000 bytes", 10000, 10000, TYPE_CHAR},
        {"narrow 10001 bytes skipped", 10001, 0, TYPE_CHAR},
        {"narrow 19999 bytes skipped", 19999, 0, TYPE_CHAR},
        {"narrow 20000 bytes skipped", 20000, 0, TYPE_CHAR},
        {"wide 4999 characters", 9998 | RV_STRING_WIDE, 4999, TYPE_WCHAR},
        // 5000 wide characters do not fit in a string (20000 bytes with the
        // terminator is the most one holds): skipped like a longer one.
        {"wide 5000 characters skipped", 10000 | RV_STRING_WIDE, 0, TYPE_WCHAR},
        {"wide 5001 characters skipped", 10002 | RV_STRING_WIDE, 0, TYPE_WCHAR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t bytes = c.count & ~RV_STRING_WIDE;
        Bytes data = Cat({Int32(c.count), Bytes(RVAlign4(bytes), 'z'), Bytes{0x42}});
        Received r(data);
        CRVString s;
        EXPECT_EQ(1, r.msg().GetString(&s));
        EXPECT_EQ(c.type, s.GetType());
        EXPECT_EQ((int)c.chars, s.GetLength());
        EXPECT_EQ(4 + RVAlign4(bytes), r.msg().ReadIndex());
        EXPECT_EQ(0x42, r.msg().GetBYTE());
        EXPECT_EQ(0, r.msg().Error());
    }
}

TEST(RVMSGRead, StringReaderTakesTheFormFromTheWire)
{
    CRVMSG m(1);
    m.PutString(CRVString("a longer first text"));
    m.PutString(CRVString("short"));
    m.PutString(CRVString(L"wide"));
    m.PutString(CRVString("narrow again"));
    Received r(DataOf(m));
    CRVString s(L"was wide");
    ASSERT_EQ(1, r.msg().GetString(&s));
    EXPECT_EQ("a longer first text", Narrow(s));
    const void* buffer = s.GetData();
    ASSERT_EQ(1, r.msg().GetString(&s));
    EXPECT_EQ("short", Narrow(s));
    EXPECT_EQ(buffer, s.GetData());   // a shorter text of the same form re-uses the buffer
    ASSERT_EQ(1, r.msg().GetString(&s));
    EXPECT_EQ(L"wide", Wide(s));
    ASSERT_EQ(1, r.msg().GetString(&s));
    EXPECT_EQ("narrow again", Narrow(s));
    EXPECT_EQ(0, r.msg().GetString(&s));   // exhausted
    EXPECT_EQ("narrow again", Narrow(s));
}

// ---------------------------------------------------------------------------
// Construction, header access, copies, positions

TEST(RVMSGRecord, EmptyRecordHandsOutItsOwnHeader)
{
    CRVMSG m(0);
    EXPECT_EQ(-1, m.SenderID());
    EXPECT_EQ(-1, m.MessageID());
    EXPECT_EQ(0, m.Critical());
    EXPECT_EQ(0, m.OwnsBuffer());
    EXPECT_EQ(nullptr, m.Data());
    EXPECT_EQ(nullptr, m.GetReadPointer());
    EXPECT_EQ((Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}), FrameOf(m));
    EXPECT_EQ(8, m.MSGSize());
    // It does not own a block, so it cannot write one.
    EXPECT_EQ(0, m.PutInt(1));
    EXPECT_EQ(0, m.DataSize());
}

TEST(RVMSGRecord, WrappedFrameIsReadInPlaceAndNeverWritten)
{
    Received r(Bytes{1, 2, 3, 4}, 0x7FFF, 20201);
    CRVMSG& m = r.msg();
    EXPECT_EQ(0x7FFF, m.SenderID());
    EXPECT_EQ(20201, m.MessageID());
    EXPECT_EQ(4, m.DataSize());
    EXPECT_EQ(1, m.Critical());
    EXPECT_EQ(0, m.OwnsBuffer());
    EXPECT_EQ(12u, m.Capacity());
    EXPECT_EQ(r.frame().data() + 8, m.Data());
    m.AdvanceReadIndex(2);
    EXPECT_EQ(0, m.PutBYTE(9));
    EXPECT_EQ(0, m.PutString(CRVString("x")));
    EXPECT_EQ(0, m.SetDataSize(5));
    EXPECT_EQ((Bytes{1, 2, 3, 4}), DataOf(m));
    EXPECT_EQ(1, m.SetDataSize(3));
    EXPECT_EQ(3u, RVLoadHeader(r.frame().data()).uLength);
}

TEST(RVMSGRecord, IdentifiersReachTheBlockHeader)
{
    CRVMSG m(1, 2, 16, 0);
    m.PutInt(3);
    m.MessageID(20300);
    EXPECT_EQ(20300, RVLoadHeader(m.Data() - 8).sMessageID);   // written at once
    m.SenderID(44);
    m.PutInt(4);
    RVT_HEADER h = RVLoadHeader(m.MSG());
    EXPECT_EQ(44, h.sSenderID);
    EXPECT_EQ(20300, h.sMessageID);
    EXPECT_EQ(8u, h.uLength);

    // Without a block the fields change and reach the block made later.
    CRVMSG later(1);
    later.MessageID(99);
    later.PutBYTE(1);
    EXPECT_EQ(99, RVLoadHeader(later.MSG()).sMessageID);
}

TEST(RVMSGRecord, SetDataSizeAfterWritingThroughData)
{
    CRVMSG m(1, 5, 0, 1);
    ASSERT_EQ(1, m.SetDataSize(600));
    EXPECT_GE(m.Capacity(), 608u);
    memset(m.Data(), 0x33, 600);
    EXPECT_EQ(600u, RVLoadHeader(m.Data() - 8).uLength);
    EXPECT_EQ(0, m.SetDataSize(-1));
    EXPECT_EQ(600, m.DataSize());
    EXPECT_EQ(1, m.SetDataSize(0));
    EXPECT_EQ(0, m.DataSize());
}

TEST(RVMSGRecord, Copies)
{
    CRVMSG m(7, 20114, 0, 0);
    m.PutInt(1);
    m.PutInt(2);
    m.PutBYTE(3);
    m.AdvanceReadIndex(-100);
    m.GetInt();

    struct Case {
        const char* name;
        std::unique_ptr<CRVMSG> copy;
        Bytes data;
    };
    Case cases[] = {
        {"CreateCopy", std::unique_ptr<CRVMSG>(m.CreateCopy()), {1, 0, 0, 0, 2, 0, 0, 0, 3}},
        {"CreateCopyWithPadding", std::unique_ptr<CRVMSG>(m.CreateCopyWithPadding(3)),
         {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}},
        {"CreateCopyFromReadIndex", std::unique_ptr<CRVMSG>(m.CreateCopyFromReadIndex()), {2, 0, 0, 0, 3}},
        {"CRVMSG(CRVMSG*)", std::make_unique<CRVMSG>(&m), {1, 0, 0, 0, 2, 0, 0, 0, 3}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(7, c.copy->SenderID());
        EXPECT_EQ(20114, c.copy->MessageID());
        EXPECT_EQ(c.data, DataOf(*c.copy));
        EXPECT_EQ(0u, c.copy->ReadIndex());
        EXPECT_EQ(1, c.copy->OwnsBuffer());
        EXPECT_NE(m.Data(), c.copy->Data());
        // A copy is a full record: it can be extended.
        EXPECT_EQ(1, c.copy->PutBYTE(0xEE));
    }
    EXPECT_EQ(1, cases[0].copy->Critical());
    EXPECT_EQ(0, cases[3].copy->Critical());   // the constructor copies the flag

    // The rest of a fully read message is empty, with the same identifiers.
    m.AdvanceReadIndex(1000);
    EXPECT_EQ(9u, m.ReadIndex());
    std::unique_ptr<CRVMSG> rest(m.CreateCopyFromReadIndex());
    EXPECT_EQ(0, rest->DataSize());
    EXPECT_EQ(20114, rest->MessageID());

    // A copy of a wrapped frame outlives the frame.
    std::unique_ptr<CRVMSG> kept;
    {
        Received r(Bytes{5, 6, 7});
        kept.reset(r.msg().CreateCopy());
    }
    EXPECT_EQ((Bytes{5, 6, 7}), DataOf(*kept));
}

TEST(RVMSGRecord, IsSameMSG)
{
    auto make = [](short sender, short id, Bytes data) {
        auto m = std::make_unique<CRVMSG>(sender, id, 0u, 1);
        m->PutDataNoAlign(data.data(), (int)data.size());
        return m;
    };
    auto base = make(1, 10, {1, 2, 3});
    struct Case {
        const char* name;
        std::unique_ptr<CRVMSG> other;
        int same;
    };
    Case cases[] = {
        {"other sender", make(2, 10, {1, 2, 3}), 1},
        {"other id", make(1, 11, {1, 2, 3}), 0},
        {"shorter", make(1, 10, {1, 2}), 0},
        {"one byte differs", make(1, 10, {1, 2, 4}), 0},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.same, base->IsSameMSG(c.other.get()));
        EXPECT_EQ(c.same, c.other->IsSameMSG(base.get()));
    }
    EXPECT_EQ(0, base->IsSameMSG(nullptr));
    CRVMSG a(1), b(1);
    EXPECT_EQ(1, a.IsSameMSG(&b));
}

TEST(RVMSGRecord, ResetForReuse)
{
    CRVMSG m(3, 4, 0, 1);
    m.PutString(CRVString("old"));
    m.GetInt();   // sets the error flag (the index is at the end)
    ASSERT_EQ(1, m.Error());
    m.Reset(20201, 2000, 0);
    EXPECT_EQ(20201, m.MessageID());
    EXPECT_EQ(3, m.SenderID());
    EXPECT_EQ(0, m.Critical());
    EXPECT_EQ(0, m.DataSize());
    EXPECT_EQ(0u, m.ReadIndex());
    EXPECT_EQ(0, m.Error());
    EXPECT_GE(m.Capacity(), 2008u);
    m.PutInt(1);
    EXPECT_EQ((Bytes{1, 0, 0, 0}), DataOf(m));
}

TEST(RVMSGRecord, LoadHeaderMakesAnOwningCopy)
{
    Received r(Bytes{9, 8, 7, 6, 5}, 12, 34);
    CRVMSG m(0);
    ASSERT_EQ(1, m.LoadHeader(r.msg().MSG()));
    r.frame()[8] = 0;
    EXPECT_EQ((Bytes{9, 8, 7, 6, 5}), DataOf(m));
    EXPECT_EQ(12, m.SenderID());
    EXPECT_EQ(34, m.MessageID());
    EXPECT_EQ(1, m.OwnsBuffer());
    EXPECT_EQ(1, m.PutBYTE(4));   // index 0: overwrites and truncates
    EXPECT_EQ((Bytes{4}), DataOf(m));

    // Loading a record's own frame into itself, also when it has to grow.
    CRVMSG self(1, 2, 0, 1);
    self.PutInt(0x01020304);
    ASSERT_EQ(1, self.LoadHeader(self.MSG()));
    EXPECT_EQ((Bytes{4, 3, 2, 1}), DataOf(self));
    Bytes big(3000, 0x77);
    Received large(big);
    ASSERT_EQ(1, self.LoadHeader(large.msg().MSG()));
    EXPECT_EQ(big, DataOf(self));

    // A wrapping record becomes owning and no longer touches the frame.
    Received other(Bytes{1, 2, 3});
    ASSERT_EQ(1, other.msg().LoadHeader(r.msg().MSG()));
    EXPECT_EQ(1, other.msg().OwnsBuffer());
    EXPECT_NE(other.frame().data() + 8, other.msg().Data());
    EXPECT_EQ((Bytes{1, 2, 3}), Bytes(other.frame().begin() + 8, other.frame().end()));
}

TEST(RVMSGRecord, PositionsStayInsideTheData)
{
    Received r(Bytes{1, 2, 3, 4, 5, 6});
    CRVMSG& m = r.msg();
    struct Step {
        int advance;
        unsigned int index;
    };
    for (const Step& s : {Step{4, 4}, Step{-1, 3}, Step{100, 6}, Step{-100, 0}, Step{0x7FFFFFFF, 6},
                          Step{(int)0x80000000, 0}}) {
        SCOPED_TRACE(s.advance);
        m.AdvanceReadIndex(s.advance);
        EXPECT_EQ(s.index, m.ReadIndex());
        EXPECT_EQ(m.Data() + s.index, m.GetReadPointer());
        EXPECT_EQ(6 - (int)s.index, m.BytesLeft());
    }

    // A string whose last pad is missing leaves the index past the data; the
    // read pointer stays at the end and nothing more can be read.
    Received cut(Cat({Int32(1), Bytes{'a'}}));
    EXPECT_EQ(1, cut.msg().GetString(nullptr));
    EXPECT_EQ(8u, cut.msg().ReadIndex());
    EXPECT_EQ(0, cut.msg().BytesLeft());
    EXPECT_EQ(cut.msg().Data() + 5, cut.msg().GetReadPointer());
    EXPECT_EQ(0, cut.msg().GetData(nullptr, 1));
    std::unique_ptr<CRVMSG> rest(cut.msg().CreateCopyFromReadIndex());
    EXPECT_EQ(0, rest->DataSize());
}

}  // namespace
