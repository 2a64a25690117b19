// Nibble streams: values wider than a nibble straddle bytes most significant
// nibble first; reads past the end and writes past the capacity are refused.
#include "tcf_bitstream.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
TEST(TCFBitStream, ReaderTakesHighHalfFirstAndStraddlesBytes)
{
    const uint8_t bytes[] = {0x12, 0x34, 0x56, 0x78, 0x9A};
    CBitStreamReader rd(bytes, sizeof bytes);
    EXPECT_EQ(rd.ReadBits4(), 0x1u);
    EXPECT_EQ(rd.ReadBits8(), 0x23u);    // low half of 0x12, high half of 0x34
    EXPECT_EQ(rd.ReadBits12(), 0x456u);  // from a low half: ends on a byte boundary
    EXPECT_EQ(rd.ReadBits12(), 0x789u);  // from a high half: ends mid-byte
    EXPECT_EQ(rd.NibblesLeft(), 1u);
    EXPECT_EQ(rd.ReadBits4(), 0xAu);
    EXPECT_EQ(rd.Overrun(), 0);
    EXPECT_EQ(rd.NibblesLeft(), 0u);
}

TEST(TCFBitStream, ReaderRefusesReadsPastTheEnd)
{
    const uint8_t bytes[] = {0xAB, 0xCD};
    struct
    {
        uint32_t size;  // bytes given to the reader
        int skip;       // nibbles read first
        int width;      // of the read that must fail
    } cases[] = {{2, 4, 4}, {2, 3, 8}, {2, 2, 12}, {2, 3, 12}, {1, 0, 12}, {1, 1, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " bytes, skip " << c.skip << ", read " << c.width);
        CBitStreamReader rd(bytes, c.size);
        for (int i = 0; i < c.skip; i++)
            rd.ReadBits4();
        ASSERT_EQ(rd.Overrun(), 0);
        size_t left = rd.NibblesLeft();
        unsigned v = c.width == 4 ? rd.ReadBits4() : c.width == 8 ? rd.ReadBits8() : rd.ReadBits12();
        EXPECT_EQ(v, 0u);
        EXPECT_EQ(rd.Overrun(), 1);
        EXPECT_EQ(rd.NibblesLeft(), left);  // a refused read consumes nothing
    }
    CBitStreamReader empty(nullptr, 0);
    EXPECT_EQ(empty.ReadBits4(), 0u);
    EXPECT_EQ(empty.Overrun(), 1);
}

TEST(TCFBitStream, WriterPacksNibblesAndPadsOnClose)
{
    std::vector<uint8_t> buf(8, 0xEE);
    CBitStreamWriter w(buf.data(), 8);
    w.WriteBits4(0xF1);  // only the low nibble counts
    w.WriteBits8(0x23);
    w.WriteBits12(0x456);
    w.WriteBits12(0x789);
    EXPECT_EQ(w.Size(), 4u);  // the 9 waits for its low half
    w.Close();
    EXPECT_EQ(w.Size(), 5u);
    EXPECT_EQ(w.Overflow(), 0);
    EXPECT_EQ(buf, (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x78, 0x90, 0xEE, 0xEE, 0xEE}));

    // Close on a byte boundary adds nothing; a lone end code becomes 0xF0.
    CBitStreamWriter even(buf.data(), 8);
    even.WriteBits8(0x5F);
    even.Close();
    EXPECT_EQ(even.Size(), 1u);
    CBitStreamWriter odd(buf.data(), 8);
    odd.WriteBits4(15);
    odd.Close();
    EXPECT_EQ(odd.Size(), 1u);
    EXPECT_EQ(buf[0], 0xF0);
}

TEST(TCFBitStream, WriterStopsAtItsCapacity)
{
    std::vector<uint8_t> buf(4, 0xEE);
    CBitStreamWriter w(buf.data(), 2);
    w.WriteBits8(0x12);
    w.WriteBits8(0x34);
    EXPECT_EQ(w.Overflow(), 0);
    w.WriteBits4(0x7);
    w.Close();
    EXPECT_EQ(w.Overflow(), 1);
    EXPECT_EQ(w.Size(), 2u);
    EXPECT_EQ(buf, (std::vector<uint8_t>{0x12, 0x34, 0xEE, 0xEE}));
}
}  // namespace
