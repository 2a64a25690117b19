#include "rvpack.h"

#include "rvdebug.h"

namespace {

// Start of the free room for nBytes more data bytes, or null if the buffer is
// too small. The write position comes from the header, which the caller may
// have filled with anything, so the sum is checked in size_t.
unsigned char* RoomFor(unsigned char* pFrame, unsigned int nFrameSize, size_t nBytes)
{
    if (!pFrame || nFrameSize < RV_HEADER_SIZE)
        return nullptr;
    size_t used = RVLoadHeader(pFrame).uLength;
    if (used > nFrameSize - RV_HEADER_SIZE || nBytes > nFrameSize - RV_HEADER_SIZE - used)
        return nullptr;
    return pFrame + RV_HEADER_SIZE + used;
}

void AdvanceLength(unsigned char* pFrame, size_t nBytes)
{
    RVT_HEADER h = RVLoadHeader(pFrame);
    h.uLength += (unsigned int)nBytes;
    RVStoreHeader(pFrame, h);
}

// The data byte at *pIndex if nBytes of them are present, else null. The data
// ends at the header's length or at the end of what the caller holds.
const unsigned char* Readable(const unsigned char* pFrame, unsigned int nFrameSize,
                              const unsigned int* pIndex, size_t nBytes)
{
    if (!pFrame || !pIndex || nFrameSize < RV_HEADER_SIZE)
        return nullptr;
    size_t end = RVLoadHeader(pFrame).uLength;
    if (end > nFrameSize - RV_HEADER_SIZE)
        end = nFrameSize - RV_HEADER_SIZE;
    if (*pIndex > end || nBytes > end - *pIndex)
        return nullptr;
    return pFrame + RV_HEADER_SIZE + *pIndex;
}

}  // namespace

int PackInt(unsigned char* pFrame, unsigned int nFrameSize, int iValue)
{
    unsigned char* p = RoomFor(pFrame, nFrameSize, 4);
    if (!p)
        return 0;
    RVStore32(p, (unsigned int)iValue);
    AdvanceLength(pFrame, 4);
    return 1;
}

int PackString(unsigned char* pFrame, unsigned int nFrameSize, const char* pszText)
{
    RV_ASSERT(pszText);
    if (!pszText)
        pszText = "";
    size_t n = strlen(pszText);
    size_t padded = RVAlign4(n);
    if (n > RV_MAX_MSG_DATA)
        return 0;
    unsigned char* p = RoomFor(pFrame, nFrameSize, 4 + padded);
    if (!p)
        return 0;
    RVStore32(p, (unsigned int)n);
    memcpy(p + 4, pszText, n);
    // The pad is zeroed so that no stale buffer bytes go out on the wire.
    memset(p + 4 + n, 0, padded - n);
    AdvanceLength(pFrame, 4 + padded);
    return 1;
}

int UnpackByte(const unsigned char* pFrame, unsigned int nFrameSize, unsigned int* pIndex,
               unsigned char* pValue)
{
    const unsigned char* p = Readable(pFrame, nFrameSize, pIndex, 1);
    if (!p)
        return 0;
    if (pValue)
        *pValue = *p;
    *pIndex += 1;
    return 1;
}

int UnpackWORD(const unsigned char* pFrame, unsigned int nFrameSize, unsigned int* pIndex,
               unsigned short* pValue)
{
    const unsigned char* p = Readable(pFrame, nFrameSize, pIndex, 2);
    if (!p)
        return 0;
    if (pValue)
        *pValue = RVLoad16(p);
    *pIndex += 2;
    return 1;
}

int UnpackInt(const unsigned char* pFrame, unsigned int nFrameSize, unsigned int* pIndex,
              int* pValue)
{
    const unsigned char* p = Readable(pFrame, nFrameSize, pIndex, 4);
    if (!p)
        return 0;
    if (pValue)
        *pValue = (int)RVLoad32(p);
    *pIndex += 4;
    return 1;
}

int UnpackString(const unsigned char* pFrame, unsigned int nFrameSize, unsigned int* pIndex,
                 char* pszDest, int nDestSize)
{
    RV_ASSERT(pszDest && nDestSize > 0);
    if (!pszDest || nDestSize <= 0)
        return 0;
    memset(pszDest, 0, (size_t)nDestSize);
    const unsigned char* p = Readable(pFrame, nFrameSize, pIndex, 4);
    if (!p)
        return 0;
    int count = (int)RVLoad32(p);   // a wide count is negative and refused here
    if (count < 0 || count >= nDestSize)
        return 0;
    unsigned int afterCount = *pIndex + 4;
    const unsigned char* chars = Readable(pFrame, nFrameSize, &afterCount, (size_t)count);
    if (!chars)
        return 0;
    memcpy(pszDest, chars, (size_t)count);
    pszDest[count] = 0;
    // The pad after the last string of a frame may be missing; the index then
    // lies past the data and every later read fails, as it should.
    *pIndex = afterCount + (unsigned int)RVAlign4((size_t)count);
    return 1;
}

int UnpackTime(const unsigned char* pFrame, unsigned int nFrameSize, unsigned int* pIndex)
{
    if (!Readable(pFrame, nFrameSize, pIndex, 7))
        return 0;
    *pIndex += 7;
    return 1;
}
