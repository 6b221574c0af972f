#include "toolbox/core/bitmapbits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Source {
    std::vector<uint8_t> bytes;
    size_t at = 0;
};

int32_t ReadFrom(void* user, void* dest, int32_t count) {
    auto* s = static_cast<Source*>(user);
    if (s->at + size_t(count) > s->bytes.size()) return 38;
    if (dest) std::copy_n(s->bytes.begin() + long(s->at), count, static_cast<uint8_t*>(dest));
    s->at += size_t(count);
    return 0;
}

void Put(std::vector<uint8_t>* b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b->push_back(uint8_t(v >> (8 * i)));
}

// A bottom-up 1-bit BMP (no file header) with the two table entries and
// rows of one byte of pixels each (padded to 4).
Source MonoBmp(int32_t width, uint32_t first, uint32_t second, std::vector<uint8_t> rows,
               int32_t ppm = 2835) {
    Source s;
    auto& b = s.bytes;
    Put(&b, 40, 4);
    Put(&b, uint32_t(width), 4);
    Put(&b, uint32_t(rows.size()), 4);
    Put(&b, 1, 2);
    Put(&b, 1, 2);
    Put(&b, 0, 4);
    Put(&b, 0, 4);
    Put(&b, uint32_t(ppm), 4);
    Put(&b, uint32_t(ppm * 2), 4);
    Put(&b, 2, 4);
    Put(&b, 0, 4);
    Put(&b, first, 4);
    Put(&b, second, 4);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) // bottom row first
        Put(&b, *it, 4);
    return s;
}

TEST(BitmapBits, RowBytesAndTables) {
    struct Case {
        int32_t width, depth, bytes;
    } cases[] = {{1, 1, 2},  {1, 8, 4},   {1, 24, 4}, {33, 1, 6}, {16, 1, 2},
                 {17, 1, 4}, {3, 24, 12}, {5, 4, 4},  {9, 4, 8},  {2, 16, 4}};
    for (const Case& c : cases)
        EXPECT_EQ(BitmapRowBytes(c.width, c.depth), c.bytes) << c.width << "x" << c.depth;
    BitmapColour table[256];
    ASSERT_EQ(GreyRampTable(8, table), 256);
    EXPECT_EQ(table[0].red, 255);
    EXPECT_EQ(table[255].blue, 0);
    EXPECT_EQ(table[1].green, 254);
    ASSERT_EQ(GreyRampTable(4, table), 16);
    EXPECT_EQ(table[1].red, 238);
    EXPECT_EQ(table[15].red, 0);
    EXPECT_EQ(GreyRampTable(24, table), 0);
    EXPECT_EQ(kStandardSmallColours[7].blue, 234);
    EXPECT_EQ(kStandardSmallColours[15].red, 0);
    EXPECT_EQ(ResolutionFromPixelsPerMetre(2835), 72);
    EXPECT_EQ(ResolutionFromPixelsPerMetre(3780), 96);
}

TEST(BitmapBits, MonochromeInversionFollowsTheTable) {
    SetInvertMonochrome();
    struct Case {
        uint32_t first, second;
        uint8_t top;
    } cases[] = {{0xFFFFFF, 0, 0x3F}, {0, 0xFFFFFF, 0xC0}, {0xFF0000, 0, 0xC0}};
    for (const Case& c : cases) {
        Source s = MonoBmp(3, c.first, c.second, {0xC0, 0x20});
        DecodedBitmap d;
        ASSERT_EQ(DecodeBitmapBits(&ReadFrom, &s, false, &d), 0);
        EXPECT_EQ(d.rowBytes, 2);
        EXPECT_EQ(d.bits[0], c.top) << std::hex << c.first; // top row first
        EXPECT_EQ(d.horizontalResolution, 72);
        EXPECT_EQ(d.verticalResolution, 144);
        FreeDecodedBitmap(&d);
    }
    ClearInvertMonochrome();
    Source s = MonoBmp(3, 0xFFFFFF, 0, {0xC0});
    DecodedBitmap d;
    ASSERT_EQ(DecodeBitmapBits(&ReadFrom, &s, false, &d), 0);
    EXPECT_EQ(d.bits[0], 0xC0);
    FreeDecodedBitmap(&d);
}

TEST(BitmapBits, FailedDecodesLeaveNothing) {
    // Wider than a 16-bit side.
    Source wide = MonoBmp(32768, 0, 0xFFFFFF, {0});
    DecodedBitmap d;
    EXPECT_EQ(DecodeBitmapBits(&ReadFrom, &wide, false, &d), kBmpMalformed);
    EXPECT_EQ(d.bits, nullptr);
    // Higher than a 16-bit side; 32,767 rows still decode.
    Source high = MonoBmp(1, 0, 0xFFFFFF, std::vector<uint8_t>(32768, 0));
    EXPECT_EQ(DecodeBitmapBits(&ReadFrom, &high, false, &d), kBmpMalformed);
    EXPECT_EQ(d.bits, nullptr);
    Source highest = MonoBmp(1, 0, 0xFFFFFF, std::vector<uint8_t>(32767, 0));
    ASSERT_EQ(DecodeBitmapBits(&ReadFrom, &highest, false, &d), 0);
    FreeDecodedBitmap(&d);
    // Pixels cut short.
    Source cut = MonoBmp(3, 0, 0xFFFFFF, {1, 2});
    cut.bytes.resize(cut.bytes.size() - 2);
    EXPECT_EQ(DecodeBitmapBits(&ReadFrom, &cut, false, &d), 38);
    EXPECT_EQ(d.bits, nullptr);
}

} // namespace
