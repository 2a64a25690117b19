// Writing and reading message values directly in a raw frame buffer, for the
// connection code that talks to servers before any session (and any CRVMSG)
// exists. The layout is that of CRVMSG: the buffer starts with an RVT_HEADER
// whose length word is the write position, followed by the data.
//
// nFrameSize is always the number of bytes the caller's buffer holds (header
// included): writers never go past it, and readers never look past it even if
// the header announces more data than was received.
#pragma once

#include "rvwire.h"

// Appends a 4-byte int. Returns 1, or 0 (nothing written) when it does not fit.
int PackInt(unsigned char* pFrame, unsigned int nFrameSize, int iValue);
// Appends an 8-bit string: the count word (its byte length), the bytes, and
// zero bytes up to the next multiple of 4. Returns 1, or 0 when it does not fit.
int PackString(unsigned char* pFrame, unsigned int nFrameSize, const char* pszText);

// Readers: *pIndex is the read position in the data and advances on success;
// on failure (the value is not all there) it stays and 0 is returned. A null
// value pointer skips the value.
int UnpackByte(const unsigned char* pFrame, unsigned int nFrameSize, unsigned int* pIndex,
               unsigned char* pValue);
int UnpackWORD(const unsigned char* pFrame, unsigned int nFrameSize, unsigned int* pIndex,
               unsigned short* pValue);
int UnpackInt(const unsigned char* pFrame, unsigned int nFrameSize, unsigned int* pIndex,
              int* pValue);
// An 8-bit string into pszDest, which holds nDestSize bytes. The destination is
// cleared first and always left zero-terminated; fails unless the count is
// below nDestSize (a wide count never is) and all its bytes are present.
int UnpackString(const unsigned char* pFrame, unsigned int nFrameSize, unsigned int* pIndex,
                 char* pszDest, int nDestSize);
// Skips a 7-byte time field (16-bit year, then month, day, hour, minute,
// second); 1 only when all 7 bytes are present.
int UnpackTime(const unsigned char* pFrame, unsigned int nFrameSize, unsigned int* pIndex);
