// Arbitrary bytes as a stored file, read back through every value decoder of
// CRVFile with a range of cache sizes. A file may come from another program,
// so no input may crash, overrun or make a decoder allocate from a lying count.
#include "rvfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// One file per process, removed again after every input.
const std::string& TempPath()
{
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        return std::string(base && *base ? base : "/tmp") + "/zvfuzz_rvfile." + std::to_string(getpid());
    }();
    return path;
}

// Reads one value with decoder `which`; 0 when it failed.
int ReadOne(CRVFile& f, int which)
{
    uint8_t b;
    uint16_t w;
    int16_t s;
    uint32_t d;
    int32_t i;
    unsigned int u;
    CRVString str;
    uint8_t block[64];
    switch (which) {
    case 0: return f.ReadByte(b);
    case 1: return f.ReadWORD(w);
    case 2: return f.ReadShort(s);
    case 3: return f.ReadDWORD(d);
    case 4: return f.ReadInt(i);
    case 5: return f.ReadUINT(u);
    case 6: return f.ReadIP(d);
    case 7: {
        int ok = f.ReadString(str);
        // The result must be a well-formed string of either width.
        if (str.GetLength() < 0 || str.GetByteLength() > RVSTRING_MAX_BYTES)
            std::abort();
        return ok;
    }
    case 8: return f.ReadBytes(block, 1 + (int)(f.GetFilePointer() & 63));
    default: return f.ReadBytesBuffered(block, 1 + (int)(f.GetFilePointer() % 61));
    }
}

const int kDecoders = 10;

void Decode(int cache, uint8_t seed, size_t size)
{
    CRVFile f(TempPath().c_str(), cache);
    // Each decoder alone, to the end of the file.
    for (int which = 0; which < kDecoders; ++which) {
        if (!f.Open(RV_FILE_READ))
            return;
        for (size_t n = 0; n <= size && ReadOne(f, which); ++n) {
        }
        f.IsEOF();
        f.Close();
    }
    // All decoders mixed, with the odd seek, as a reader of a real file would.
    if (!f.Open(RV_FILE_READ))
        return;
    for (size_t n = 0; n <= size; ++n) {
        seed = (uint8_t)(seed * 37 + 11);
        if (seed % 17 == 0)
            f.Seek((long)(seed % 9) - 4, SEEK_CUR);
        if (!ReadOne(f, seed % kDecoders) && f.IsEOF())
            break;
    }
    f.GetCheckSum();
    f.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // Two control bytes: the cache size and the order of decoders in the mixed pass.
    static const int kCaches[] = {0, 1, 3, 7, 64, 5000};
    int cache = kCaches[data[0] % 6];
    uint8_t seed = data[1];
    data += 2;
    size -= 2;

    FILE* out = std::fopen(TempPath().c_str(), "wb");
    if (!out)
        return 0;
    std::fwrite(data, 1, size, out);
    std::fclose(out);

    Decode(cache, seed, size);
    unlink(TempPath().c_str());
    return 0;
}
