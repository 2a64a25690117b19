// CRVFile's typed values: the byte layout of every stored file. Values are
// assembled byte by byte so the layout is little-endian on any host.
#include "rvfile.h"

#include "rvdebug.h"

#include <cstdlib>
#include <cstring>

namespace {

const uint32_t kWideFlag = 0x80000000u;

uint32_t Get32(const uint8_t* b) { return b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24; }

void Put32(uint8_t* b, uint32_t v)
{
    b[0] = (uint8_t)v;
    b[1] = (uint8_t)(v >> 8);
    b[2] = (uint8_t)(v >> 16);
    b[3] = (uint8_t)(v >> 24);
}

// Code units needed for one character; characters that are not Unicode
// scalar values are stored as U+FFFD.
int Units(uint32_t c) { return c > 0xFFFF && c <= 0x10FFFF ? 2 : 1; }

}  // namespace

int CRVFile::ReadByte(uint8_t& value)
{
    value = 0;
    return ReadBytesBuffered(&value, 1);
}

int CRVFile::WriteByte(uint8_t value) { return Write(&value, 1); }

int CRVFile::ReadWORD(uint16_t& value)
{
    uint8_t b[2];
    value = 0;
    if (!ReadBytesBuffered(b, 2))
        return 0;
    value = (uint16_t)(b[0] | b[1] << 8);
    return 1;
}

int CRVFile::WriteWORD(uint16_t value)
{
    uint8_t b[2] = {(uint8_t)value, (uint8_t)(value >> 8)};
    return Write(b, 2);
}

int CRVFile::ReadShort(int16_t& value)
{
    uint16_t w;
    int ok = ReadWORD(w);
    value = (int16_t)w;
    return ok;
}

int CRVFile::WriteShort(int16_t value) { return WriteWORD((uint16_t)value); }

int CRVFile::ReadDWORD(uint32_t& value)
{
    uint8_t b[4];
    value = 0;
    if (!ReadBytesBuffered(b, 4))
        return 0;
    value = Get32(b);
    return 1;
}

int CRVFile::WriteDWORD(uint32_t value)
{
    uint8_t b[4];
    Put32(b, value);
    return Write(b, 4);
}

int CRVFile::ReadInt(int32_t& value)
{
    uint32_t d;
    int ok = ReadDWORD(d);
    value = (int32_t)d;
    return ok;
}

int CRVFile::WriteInt(int32_t value) { return WriteDWORD((uint32_t)value); }

int CRVFile::ReadUINT(unsigned int& value)
{
    uint32_t d;
    int ok = ReadDWORD(d);
    value = d;
    return ok;
}

int CRVFile::WriteUINT(unsigned int value) { return WriteDWORD((uint32_t)value); }

int CRVFile::ReadString(CRVString& value)
{
    value = CRVString(TYPE_CHAR);
    uint32_t count;
    if (!ReadDWORD(count))
        return 0;
    int wide = (count & kWideFlag) != 0;
    uint32_t bytes = count & ~kWideFlag;
    if (wide)
        value = CRVString(TYPE_WCHAR);
    if (!bytes)
        return 1;
    // A count this large is damage, not text: nothing more is read.
    if (bytes > RV_FILE_MAX_STRING_BYTES)
        return 0;

    uint8_t* data = static_cast<uint8_t*>(std::malloc(bytes));
    if (!data || !ReadBytesBuffered(data, (int)bytes)) {
        std::free(data);
        return 0;
    }
    int ok = 0;
    if (!wide) {
        char* text = value.GetBufferCHAR((int)bytes);
        if (text) {
            std::memcpy(text, data, bytes);
            value.ReleaseBuffer((int)bytes);
            ok = 1;
        }
    } else {
        // An odd last byte is not a code unit and is dropped. Valid surrogate
        // pairs become one character; anything else is taken unit by unit.
        uint32_t units = bytes / 2;
        wchar_t* text = units ? value.GetBufferWCHAR((int)units) : nullptr;
        if (text) {
            uint32_t n = 0;
            for (uint32_t i = 0; i < units; ++i) {
                uint32_t u = data[2 * i] | (uint32_t)data[2 * i + 1] << 8;
                if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
                    uint32_t lo = data[2 * i + 2] | (uint32_t)data[2 * i + 3] << 8;
                    if (lo >= 0xDC00 && lo < 0xE000) {
                        u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                        ++i;
                    }
                }
                text[n++] = (wchar_t)u;
            }
            value.ReleaseBuffer((int)n);
            ok = 1;
        } else {
            ok = units == 0;
        }
    }
    std::free(data);
    if (!ok)   // longer than a string holds; the bytes are consumed all the same
        value = CRVString(wide ? TYPE_WCHAR : TYPE_CHAR);
    return ok;
}

int CRVFile::WriteString(const CRVString& value)
{
    int chars = value.GetLength();
    // Any empty string is a count of 0, whatever its width.
    if (value.GetType() == TYPE_CHAR || !chars)
        return WriteDWORD((uint32_t)chars) && Write(value.GetData(), chars);

    const wchar_t* text = static_cast<const wchar_t*>(value.GetData());
    uint32_t units = 0;
    for (int i = 0; i < chars; ++i)
        units += Units((uint32_t)text[i]);
    uint8_t* data = static_cast<uint8_t*>(std::malloc(units ? units * 2 : 1));
    if (!data)
        return 0;
    uint8_t* p = data;
    for (int i = 0; i < chars; ++i) {
        uint32_t c = (uint32_t)text[i];
        if (c > 0x10FFFF)
            c = 0xFFFD;
        if (c > 0xFFFF) {
            uint32_t hi = 0xD800 + ((c - 0x10000) >> 10), lo = 0xDC00 + ((c - 0x10000) & 0x3FF);
            *p++ = (uint8_t)hi, *p++ = (uint8_t)(hi >> 8);
            c = lo;
        }
        *p++ = (uint8_t)c, *p++ = (uint8_t)(c >> 8);
    }
    int ok = WriteDWORD(kWideFlag | units * 2) && Write(data, (int)(units * 2));
    std::free(data);
    return ok;
}

int CRVFile::WriteStringSmall(const CRVString& value)
{
    CRVString narrow(value);
    narrow.ConvertTochar();   // stays wide when it cannot be narrowed
    return WriteString(narrow);
}

int CRVFile::ReadIP(uint32_t& ip)
{
    uint8_t octets[4];
    ip = 0;
    for (uint8_t& o : octets) {
        uint16_t w;
        if (!ReadWORD(w) || w > 0xFF)
            return 0;
        o = (uint8_t)w;
    }
    std::memcpy(&ip, octets, 4);
    return 1;
}

int CRVFile::WriteIP(uint32_t ip)
{
    uint8_t octets[4];
    std::memcpy(octets, &ip, 4);
    for (uint8_t o : octets) {
        if (!WriteWORD(o))
            return 0;
    }
    return 1;
}
