// Arbitrary bytes as a received frame, read by every getter of the message
// record in an order the input chooses, and by the raw unpacking helpers.
//
// Input: byte 0 is the script length L; the next L bytes are the script (one
// operation per byte, some followed by a parameter byte); the rest is the data
// of the frame. The frame sits in a heap block of exactly its size so that the
// address sanitizer sees any read past it. The same script then runs on an
// owning copy, and the raw helpers read a frame whose header is taken from the
// input as it is (its length may announce anything).
#include "rvmsg.h"
#include "rvpack.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <vector>

namespace {

struct Script {
    const uint8_t* p;
    size_t size;
    size_t pos = 0;
    bool More() const { return pos < size; }
    uint8_t Byte() { return pos < size ? p[pos++] : 0; }
};

void Check(bool ok)
{
    if (!ok)
        abort();
}

void CheckString(const CRVString& s)
{
    Check(s.GetType() == TYPE_CHAR || s.GetType() == TYPE_WCHAR);
    int size = s.GetType() == TYPE_CHAR ? 1 : 4;
    int n = s.GetLength();
    Check(n >= 0 && n <= (int)RV_MAX_MSG_STRING && s.GetByteLength() == (n + 1) * size);
    const unsigned char* p = static_cast<const unsigned char*>(s.GetData());
    for (int k = 0; k < size; ++k)
        Check(p[n * size + k] == 0);
}

// What every operation must leave behind: the index at most a pad past the
// data, and the read pointer inside it.
void CheckRecord(CRVMSG& m)
{
    Check(m.ReadIndex() <= (unsigned)m.DataSize() + 3);
    Check(m.BytesLeft() >= 0 && m.BytesLeft() <= m.DataSize());
    if (m.Data()) {
        const unsigned char* p = m.GetReadPointer();
        Check(p >= m.Data() && p + m.BytesLeft() == m.Data() + m.DataSize());
    }
}

// A getter that reports failure must not have moved, and must have set the flag.
void CheckFailure(CRVMSG& m, unsigned int before, int ok)
{
    if (!ok)
        Check(m.ReadIndex() == before && m.Error());
}

volatile unsigned g_sink;

void RunScript(CRVMSG& m, Script script)
{
    CRVString kept;
    while (script.More()) {
        unsigned int before = m.ReadIndex();
        switch (script.Byte() % 26) {
        case 0: g_sink += m.GetBYTE(); break;
        case 1: { unsigned char b; CheckFailure(m, before, m.GetBYTE(&b)); break; }
        case 2: { char c; CheckFailure(m, before, m.GetChar(&c)); break; }
        case 3: g_sink += m.GetShort(); break;
        case 4: { short s; CheckFailure(m, before, m.GetShort(&s)); break; }
        case 5: g_sink += m.GetWORD(); break;
        case 6: { unsigned short w; CheckFailure(m, before, m.GetWORD(&w)); break; }
        case 7: g_sink += m.GetInt(); break;
        case 8: { int i; CheckFailure(m, before, m.GetInt(&i)); break; }
        case 9: g_sink += (unsigned)m.GetInt64(); break;
        case 10: { long long v; CheckFailure(m, before, m.GetInt64(&v)); break; }
        case 11: Check(m.GetColorBYTE() <= 0xFFFFFF); break;
        case 12: {
            unsigned c = 0;
            int wasError = m.Error();
            int ok = m.GetColor(&c);
            CheckFailure(m, before, ok);
            Check(!wasError || !ok);
            Check(c <= 0xFFFFFF);
            break;
        }
        case 13: g_sink += m.GetRECT().width; break;
        case 14: g_sink += m.GetShortRECT().height; break;
        case 15: {
            RECT r;
            int wasError = m.Error();
            int ok = m.GetRECT(&r);
            CheckFailure(m, before, ok);
            Check(!wasError || !ok);
            break;
        }
        case 16: CheckString(m.GetString()); break;
        case 17: {
            int wasError = m.Error();
            int ok = m.GetString(&kept);
            CheckString(kept);
            Check(!wasError || (!ok && m.ReadIndex() == before));
            Check(ok || m.Error());
            break;
        }
        case 18: m.GetString(nullptr); break;
        case 19: {
            // An exact-size destination: a copy past n would be caught.
            size_t n = (size_t)script.Byte() * 17;
            std::unique_ptr<unsigned char[]> dst(new unsigned char[n ? n : 1]);
            CheckFailure(m, before, m.GetData(dst.get(), (int)n));
            break;
        }
        case 20: m.GetData(nullptr, script.Byte() << (script.Byte() % 24)); break;
        case 21: {
            int n = (int)((unsigned)script.Byte() << 24 | (unsigned)script.Byte() << 16 | script.Byte() << 8 | script.Byte());
            m.AdvanceReadIndex(n);
            break;
        }
        case 22: m.ResetRead(); Check(!m.Error() && m.ReadIndex() == 0); break;
        case 23: {
            // Touch every byte the read pointer claims is there.
            const unsigned char* p = m.GetReadPointer();
            unsigned sum = 0;
            for (int i = 0; i < m.BytesLeft(); ++i)
                sum += p[i];
            g_sink += sum;
            break;
        }
        case 24: {
            std::unique_ptr<CRVMSG> rest(m.CreateCopyFromReadIndex());
            Check(rest->DataSize() == m.BytesLeft() && rest->MessageID() == m.MessageID());
            break;
        }
        case 25: {
            std::unique_ptr<CRVMSG> copy(m.CreateCopy());
            Check(copy->IsSameMSG(&m) && m.IsSameMSG(copy.get()));
            break;
        }
        }
        CheckRecord(m);
    }
}

// The raw helpers on a frame whose header comes from the input unchanged.
void RunUnpack(const uint8_t* data, size_t size, Script script)
{
    std::unique_ptr<unsigned char[]> frame(new unsigned char[size ? size : 1]);
    if (size)
        memcpy(frame.get(), data, size);
    unsigned int index = 0;
    char text[64];
    while (script.More()) {
        unsigned int before = index;
        int ok = 0;
        switch (script.Byte() % 5) {
        case 0: { unsigned char b; ok = UnpackByte(frame.get(), (unsigned)size, &index, &b); break; }
        case 1: { unsigned short w; ok = UnpackWORD(frame.get(), (unsigned)size, &index, &w); break; }
        case 2: { int i; ok = UnpackInt(frame.get(), (unsigned)size, &index, &i); break; }
        case 3: {
            int capacity = 1 + script.Byte() % (int)sizeof text;
            ok = UnpackString(frame.get(), (unsigned)size, &index, text, capacity);
            Check(strlen(text) < (size_t)capacity);
            break;
        }
        case 4: ok = UnpackTime(frame.get(), (unsigned)size, &index); break;
        }
        Check(ok ? index > before : index == before);
        Check(index <= size + 3);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 2 * RV_MAX_MSG_DATA)
        return 0;
    size_t scriptSize = data[0] < size - 1 ? data[0] : size - 1;
    Script script{data + 1, scriptSize};
    const uint8_t* payload = data + 1 + scriptSize;
    size_t payloadSize = size - 1 - scriptSize;
    if (payloadSize > RV_MAX_MSG_DATA)
        return 0;

    std::unique_ptr<unsigned char[]> frame(new unsigned char[RV_HEADER_SIZE + payloadSize]);
    RVT_HEADER h{3, 20114, (unsigned int)payloadSize};
    memcpy(frame.get(), &h, sizeof h);
    if (payloadSize)
        memcpy(frame.get() + RV_HEADER_SIZE, payload, payloadSize);

    CRVMSG wrapped(reinterpret_cast<RVT_HEADER*>(frame.get()));
    Check(wrapped.DataSize() == (int)payloadSize && !wrapped.OwnsBuffer());
    RunScript(wrapped, script);

    CRVMSG owned(&wrapped);
    Check(owned.IsSameMSG(&wrapped));
    RunScript(owned, script);

    RunUnpack(payload, payloadSize, script);
    return 0;
}
