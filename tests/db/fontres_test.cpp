// The packed stroke font as the program carries it: header, glyph index and
// stroke table with the facts the text layout relies on.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "headless/headless.h"
#include "toolbox/core/byteorder.h"
#include "toolbox/core/memblock.h"

namespace {

std::vector<uint8_t> Font(int32_t number) {
    std::vector<uint8_t> bytes;
    RelocatableBlock h = HeadlessLoadResource(FourCC("RFNT"), number);
    if (!h) return bytes;
    const uint8_t* p = static_cast<const uint8_t*>(HeapHandleLock(h));
    bytes.assign(p, p + RelocatableBlockSize(h));
    HeapHandleUnlock(h);
    HeapHandleFree(h);
    return bytes;
}

int32_t Be16(const std::vector<uint8_t>& b, size_t at) {
    return int16_t(uint16_t(b[at] << 8 | b[at + 1]));
}
int32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return int32_t(uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 |
                   b[at + 3]);
}

TEST(StrokeFontResources, HeaderIndexAndStrokes) {
    std::vector<uint8_t> header = Font(256), index = Font(257), strokes = Font(258);
    ASSERT_EQ(header.size(), 52u);
    EXPECT_STREQ(reinterpret_cast<const char*>(header.data()), "VELLORIX LTD., Font File");
    EXPECT_EQ(Be16(header, 40), 1);
    EXPECT_EQ(Be16(header, 42), 0);
    EXPECT_EQ(Be32(header, 44), 1800);
    EXPECT_EQ(Be32(header, 48), 96);

    ASSERT_EQ(index.size(), 257u * 8);
    ASSERT_EQ(strokes.size() % 8, 0u);
    const int32_t total = int32_t(strokes.size() / 8);
    EXPECT_EQ(Be16(index, 8 * 32 + 2), 0) << "the space has no strokes";
    int32_t counted = 0;
    for (int c = 33; c <= 127; ++c) {
        EXPECT_EQ(Be16(index, 8 * c), c);
        const int32_t n = Be16(index, 8 * c + 2), first = Be32(index, 8 * c + 4);
        EXPECT_GT(n, 0) << c;
        EXPECT_LE(first + n, total) << c;
        counted += n;
    }
    EXPECT_EQ(counted, 510);
    EXPECT_EQ(total, 510);
    for (int32_t s = 0; s < total; ++s) {
        for (int k = 0; k < 4; ++k) {
            const int32_t v = Be16(strokes, 8 * s + 2 * k);
            if (k % 2 == 0) EXPECT_TRUE(v >= 0 && v <= 900) << "stroke " << s;
            else EXPECT_TRUE(v >= 0 && v <= 1701) << "stroke " << s;
        }
    }

    // "A": six strokes, the first (100, 500)-(100, 1100), spanning x 100..900
    // and y 500..1700.
    const int32_t n = Be16(index, 8 * 65 + 2), first = Be32(index, 8 * 65 + 4);
    ASSERT_EQ(n, 6);
    EXPECT_EQ(Be16(strokes, 8 * first), 100);
    EXPECT_EQ(Be16(strokes, 8 * first + 2), 500);
    EXPECT_EQ(Be16(strokes, 8 * first + 4), 100);
    EXPECT_EQ(Be16(strokes, 8 * first + 6), 1100);
    int32_t minX = 99999, maxX = -1, minY = 99999, maxY = -1;
    for (int32_t s = first; s < first + n; ++s)
        for (int k = 0; k < 4; k += 2) {
            const int32_t x = Be16(strokes, 8 * s + 2 * k), y = Be16(strokes, 8 * s + 2 * k + 2);
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
    EXPECT_EQ(minX, 100);
    EXPECT_EQ(maxX, 900);
    EXPECT_EQ(minY, 500);
    EXPECT_EQ(maxY, 1700);
}

} // namespace
