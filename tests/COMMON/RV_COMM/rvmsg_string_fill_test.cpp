// The string reader's copy paths: short narrow labels are moved in fixed-size
// pieces that overlap, wide ones are widened in blocks of eight units, and the
// caller's string is refilled in place. Every length across those block edges
// is read from a frame that ends right after the characters (no pad), so a
// sanitizer build reports any byte read past the data.
#include "rvmsg.h"

#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>

namespace {

const int kMaxLength = 40;

// A frame of exactly one string of n characters whose last pad is missing,
// in a block of exactly that size.
std::unique_ptr<unsigned char[]> FrameOfOneString(int n, bool wide)
{
    size_t bytes = wide ? 2 * (size_t)n : (size_t)n;
    size_t size = RV_HEADER_SIZE + 4 + bytes;
    std::unique_ptr<unsigned char[]> frame(new unsigned char[size]);
    RVStoreHeader(frame.get(), RVT_HEADER{3, 20114, (unsigned int)(4 + bytes)});
    RVStore32(frame.get() + RV_HEADER_SIZE, (unsigned int)bytes | (wide ? RV_STRING_WIDE : 0u));
    unsigned char* chars = frame.get() + RV_HEADER_SIZE + 4;
    for (int i = 0; i < n; ++i) {
        // Distinct characters, so a piece copied to the wrong place shows.
        if (wide)
            RVStore16(chars + 2 * i, (unsigned short)(0x4E00 + i));
        else
            chars[i] = (unsigned char)('A' + i);
    }
    return frame;
}

std::wstring Expected(int n, bool wide)
{
    std::wstring text;
    for (int i = 0; i < n; ++i)
        text += wide ? (wchar_t)(0x4E00 + i) : (wchar_t)('A' + i);
    return text;
}

std::wstring Content(const CRVString& s)
{
    std::wstring text;
    for (int i = 0; i < s.GetLength(); ++i) {
        if (s.GetType() == TYPE_CHAR)
            text += (wchar_t)static_cast<const unsigned char*>(s.GetData())[i];
        else
            text += static_cast<const wchar_t*>(s.GetData())[i];
    }
    return text;
}

}  // namespace

// Lengths rise then fall, into one string kept across the reads, as a handler
// reads the labels of a page; both widths alternate in the second pass.
TEST(RVMSGStringFill, EveryLengthIntoOneString)
{
    for (int pass = 0; pass < 2; ++pass) {
        CRVString s;
        for (int step = 0; step <= 2 * kMaxLength; ++step) {
            int n = step <= kMaxLength ? step : 2 * kMaxLength - step;
            bool wide = pass == 0 ? false : step % 2 == 1;
            SCOPED_TRACE(testing::Message() << "length " << n << (wide ? " wide" : " narrow"));
            std::unique_ptr<unsigned char[]> frame = FrameOfOneString(n, wide);
            CRVMSG m(reinterpret_cast<RVT_HEADER*>(frame.get()));
            ASSERT_EQ(1, m.GetString(&s));
            EXPECT_EQ(0, m.Error());
            EXPECT_EQ(0, m.BytesLeft());
            EXPECT_EQ(wide ? TYPE_WCHAR : TYPE_CHAR, s.GetType());
            EXPECT_EQ(Expected(n, wide), Content(s));
            int charSize = wide ? 4 : 1;
            EXPECT_EQ((n + 1) * charSize, s.GetByteLength());
            if (wide)
                EXPECT_EQ(0, static_cast<const wchar_t*>(s.GetData())[n]);
            else
                EXPECT_EQ(0, static_cast<const char*>(s.GetData())[n]);
        }
    }
}

// A fresh string per read takes the same paths from the shared empty.
TEST(RVMSGStringFill, EveryLengthIntoAFreshString)
{
    for (bool wide : {false, true}) {
        for (int n = 0; n <= kMaxLength; ++n) {
            SCOPED_TRACE(testing::Message() << "length " << n << (wide ? " wide" : " narrow"));
            std::unique_ptr<unsigned char[]> frame = FrameOfOneString(n, wide);
            CRVMSG m(reinterpret_cast<RVT_HEADER*>(frame.get()));
            CRVString s = m.GetString();
            EXPECT_EQ(0, m.Error());
            EXPECT_EQ(wide ? TYPE_WCHAR : TYPE_CHAR, s.GetType());
            EXPECT_EQ(Expected(n, wide), Content(s));
        }
    }
}
