// Nibble streams of the compressed image format.
//
// The code stream is a sequence of 4-bit units: each byte gives its high
// nibble first, then its low nibble. A wider value is made of consecutive
// nibbles, most significant first, whatever the byte alignment, so an 8-bit
// value that starts in a low half ends in the high half of the next byte.
//
// Both classes are bounded: the reader never reads past its byte count (a read
// that would returns 0 and marks the stream overrun), the writer never writes
// past its capacity (it marks itself overflowed instead). The reader is inline
// because the decoder's inner loop is made of its calls.
#pragma once

#include <stddef.h>
#include <stdint.h>

class CBitStreamReader
{
public:
    CBitStreamReader(const uint8_t* pBytes, uint32_t uSize)
        : m_pBytes(pBytes), m_uSize(uSize), m_uIndex(0), m_iHalf(0), m_bOverrun(0)
    {
    }

    // Nibbles not yet read.
    size_t NibblesLeft() const
    {
        return 2 * static_cast<size_t>(m_uSize - m_uIndex) - (m_iHalf ? 1 : 0);
    }
    // Set once any read asked for more than was left; stays set.
    int Overrun() const { return m_bOverrun; }

    // Checked reads: 0, and the stream marked overrun, when too few are left.
    unsigned ReadBits4() { return Has(1) ? Next4() : 0; }
    unsigned ReadBits8() { return Has(2) ? Next8() : 0; }
    unsigned ReadBits12() { return Has(3) ? Next12() : 0; }

    // Unchecked reads, for a caller that has made sure of NibblesLeft().
    unsigned Next4()
    {
        unsigned v;
        if (m_iHalf == 0) {
            v = m_pBytes[m_uIndex] >> 4;
            m_iHalf = 4;
        } else {
            v = m_pBytes[m_uIndex++] & 0x0F;
            m_iHalf = 0;
        }
        return v;
    }

    unsigned Next8()
    {
        if (m_iHalf == 0)
            return m_pBytes[m_uIndex++];
        // Low half of this byte, then the high half of the next; still mid-byte.
        unsigned v = ((m_pBytes[m_uIndex] & 0x0F) << 4) | (m_pBytes[m_uIndex + 1] >> 4);
        m_uIndex++;
        return v;
    }

    unsigned Next12()
    {
        unsigned v;
        if (m_iHalf == 0) {
            v = (static_cast<unsigned>(m_pBytes[m_uIndex]) << 4) | (m_pBytes[m_uIndex + 1] >> 4);
            m_uIndex++;
            m_iHalf = 4;
        } else {
            v = (static_cast<unsigned>(m_pBytes[m_uIndex] & 0x0F) << 8) | m_pBytes[m_uIndex + 1];
            m_uIndex += 2;
            m_iHalf = 0;
        }
        return v;
    }

private:
    bool Has(size_t nibbles)
    {
        if (__builtin_expect(NibblesLeft() >= nibbles, 1))
            return true;
        m_bOverrun = 1;
        return false;
    }

    const uint8_t* m_pBytes;
    uint32_t m_uSize;
    uint32_t m_uIndex;  // byte that holds the next nibble
    int m_iHalf;        // 0: its high nibble comes next, 4: its low nibble
    int m_bOverrun;
};

class CBitStreamWriter
{
public:
    CBitStreamWriter(uint8_t* pBytes, uint32_t uCapacity);

    void WriteBits4(unsigned v);
    void WriteBits8(unsigned v);
    void WriteBits12(unsigned v);
    // Flushes a pending nibble as the high half of a byte whose low half is 0.
    void Close();

    // Whole bytes stored so far (after Close, every byte of the stream).
    uint32_t Size() const { return m_uIndex; }
    // Set once a byte did not fit in the capacity; nothing past it was stored.
    int Overflow() const { return m_bOverflow; }

private:
    void PutByte(unsigned v);

    uint8_t* m_pBytes;
    uint32_t m_uCapacity;
    unsigned m_uPending;  // high nibble of the byte being built, already shifted
    uint32_t m_uIndex;    // next byte to store
    int m_iHalf;          // 0: next nibble starts a byte, 4: it completes one
    int m_bOverflow;
};
