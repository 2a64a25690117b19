#include "tcf_bitstream.h"

CBitStreamWriter::CBitStreamWriter(uint8_t* pBytes, uint32_t uCapacity)
    : m_pBytes(pBytes), m_uCapacity(uCapacity), m_uPending(0), m_uIndex(0), m_iHalf(0), m_bOverflow(0)
{
}

void CBitStreamWriter::PutByte(unsigned v)
{
    if (m_uIndex >= m_uCapacity) {
        m_bOverflow = 1;
        return;
    }
    m_pBytes[m_uIndex++] = static_cast<uint8_t>(v);
}

void CBitStreamWriter::WriteBits4(unsigned v)
{
    v &= 0x0F;
    if (m_iHalf == 0) {
        m_uPending = v << 4;
        m_iHalf = 4;
    } else {
        PutByte(m_uPending | v);
        m_iHalf = 0;
    }
}

void CBitStreamWriter::WriteBits8(unsigned v)
{
    WriteBits4(v >> 4);
    WriteBits4(v);
}

void CBitStreamWriter::WriteBits12(unsigned v)
{
    WriteBits4(v >> 8);
    WriteBits4(v >> 4);
    WriteBits4(v);
}

void CBitStreamWriter::Close()
{
    if (m_iHalf) {
        PutByte(m_uPending);
        m_iHalf = 0;
    }
}
