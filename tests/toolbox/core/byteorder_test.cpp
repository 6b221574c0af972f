#include "toolbox/core/byteorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> counting(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = uint8_t(i);
    return v;
}

// Applies a layout given as a list of (element size, count) and compares.
std::vector<uint8_t> expectedAfter(std::vector<uint8_t> v, std::initializer_list<std::pair<int, int>> runs) {
    size_t at = 0;
    for (auto [size, count] : runs) {
        for (int i = 0; i < count; ++i, at += size)
            if (size > 1)
                for (int a = 0, b = size - 1; a < b; ++a, --b) std::swap(v[at + a], v[at + b]);
    }
    return v;
}

TEST(ByteOrder, LayoutStrings) {
    struct Case {
        const char* layout;
        std::initializer_list<std::pair<int, int>> runs;
    };
    // element size 1 means skipped bytes
    const Case cases[] = {
        {"L9W7B2L", {{4, 9}, {2, 7}, {1, 2}, {4, 1}}},
        {"L13W", {{4, 13}, {2, 1}}},
        {"L 3", {{4, 3}}},
        {"l2w", {{4, 2}, {2, 1}}},
        {"12L2", {{4, 2}}},
        {"F2L", {{8, 2}, {4, 1}}},
        {"B4Q3L", {{1, 7}, {4, 1}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        auto buf = counting(64);
        SwapByLayout(buf.data(), c.layout);
        EXPECT_EQ(buf, expectedAfter(counting(64), c.runs)) << c.layout;
    }
}

TEST(ByteOrder, LayoutCoversExactlyItsBytes) {
    auto buf = counting(60);
    SwapByLayout(buf.data(), "L9W7B2L");
    for (int i = 56; i < 60; ++i) EXPECT_EQ(buf[i], i);
    EXPECT_EQ(buf[52], 55);
    auto b2 = counting(56);
    SwapByLayout(b2.data(), "L13W");
    EXPECT_EQ(b2[52], 53);
    EXPECT_EQ(b2[53], 52);
    EXPECT_EQ(b2[54], 54);
    // Applying the same layout twice restores the record.
    SwapByLayout(b2.data(), "L13W");
    EXPECT_EQ(b2, counting(56));
}

TEST(ByteOrder, Primitives) {
    uint8_t b[5] = {1, 2, 3, 4, 5};
    SwapShortArray(b, 5);
    EXPECT_EQ(std::vector<uint8_t>(b, b + 5), (std::vector<uint8_t>{2, 1, 4, 3, 5}));

    uint32_t l = 0x11223344;
    EXPECT_EQ(SwapLong(&l), 0x44332211u);
    uint16_t s = 0xA1B2;
    EXPECT_EQ(SwapShort(&s), 0xB2A1);

    double d = 1.5, orig = 1.5;
    SwapDouble(&d);
    uint8_t raw[8], rev[8];
    std::memcpy(raw, &orig, 8);
    std::memcpy(rev, &d, 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(rev[i], raw[7 - i]);

    uint8_t arr[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    SwapLongArray(arr, 10);
    EXPECT_EQ(arr[0], 3);
    EXPECT_EQ(arr[7], 4);
    EXPECT_EQ(arr[8], 8);

    int16_t x = 1, y = 2;
    ExchangeShorts(&x, &y);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 1);
}

TEST(ByteOrder, FourCharCodes) {
    const uint8_t text[4] = {'T', 'E', 'X', 'T'};
    EXPECT_EQ(NormalizeFourCharCode(text), FourCC("TEXT"));
    const uint8_t a0bc[4] = {'A', 0, 'B', 'C'};
    EXPECT_EQ(NormalizeFourCharCode(a0bc), 0x41000000u);
    const uint8_t ab0c[4] = {'A', 'B', 0, 'C'};
    EXPECT_EQ(NormalizeFourCharCode(ab0c), 0x41420000u);
    const uint8_t zero[4] = {0, 'B', 'C', 'D'};
    EXPECT_EQ(NormalizeFourCharCode(zero), 0u);

    FourCharPair p{1, 1};
    FourCharCodeToPair(FourCC("BINR"), &p);
    EXPECT_EQ(p.code, 0x524E4942u);
    EXPECT_EQ(p.zero, 0u);
}

} // namespace
