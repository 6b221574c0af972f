#include "toolbox/core/bitset.h"

#include <gtest/gtest.h>

#include <string>

#include "heap_fixture.h"

namespace {

using BitSets = HeapTest;

// Bits first..first+n-1 of a byte string as '0'/'1'.
std::string Bits(const uint8_t* bytes, int32_t first, int32_t n) {
    std::string s;
    for (int32_t i = first; i < first + n; ++i) s.push_back(TestBitInString(bytes, i) ? '1' : '0');
    return s;
}

void SetBits(uint8_t* bytes, int32_t first, const std::string& bits) {
    for (size_t i = 0; i < bits.size(); ++i) AssignBitInString(bytes, first + int32_t(i), bits[i] == '1');
}

TEST(BitStrings, MostSignificantBitFirst) {
    uint8_t b[2] = {0, 0};
    SetBitInString(b, 0);
    SetBitInString(b, 9);
    EXPECT_EQ(b[0], 0x80);
    EXPECT_EQ(b[1], 0x40);
    ClearBitInString(b, 0);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(TestBitInString(b, 9), 1);
}

TEST(BitStrings, ShiftAndRotateRuns) {
    struct Case {
        std::string before;
        int32_t distance;
        uint8_t rotate;
        std::string after;
    } cases[] = {
        {"1000", 1, 1, "0100"},   {"0001", 1, 1, "1000"},   {"1000", -1, 1, "0001"},
        {"1101", 2, 0, "0011"},   {"1101", -2, 0, "0100"},  {"1111", 9, 0, "0000"},
        {"1111", -9, 0, "0000"},  {"1011", 5, 1, "1101"},   {"1011", 0, 0, "1011"},
    };
    for (const Case& c : cases) {
        uint8_t b[2] = {0xFF, 0xFF};
        SetBits(b, 2, c.before); // run of bits 2..5; the others stay set
        ShiftBitRun(b, 2, 4, c.distance, c.rotate);
        EXPECT_EQ(Bits(b, 2, 4), c.after) << c.before << " by " << c.distance;
        EXPECT_EQ(Bits(b, 0, 2) + Bits(b, 6, 10), std::string(12, '1')) << c.before;
    }
}

TEST_F(BitSets, SizesAndGrowth) {
    BitSetRecord s = NewBitSet(nullptr, 0);
    EXPECT_EQ(BitSetCapacity(s), 256);
    DisposeBitSet(s);
    s = NewBitSet(nullptr, 33);
    EXPECT_EQ(BitSetCapacity(s), 64);
    BitSetInclude(s, 3);
    BitSetInclude(s, 63);
    EXPECT_TRUE(BitSetInclude(s, 1000));
    EXPECT_EQ(BitSetCapacity(s), 1024);
    EXPECT_TRUE(BitSetContains(s, 3));
    EXPECT_TRUE(BitSetContains(s, 63));
    EXPECT_FALSE(BitSetContains(s, 500));
    EXPECT_FALSE(BitSetContains(s, 5000));
    EXPECT_FALSE(BitSetContains(s, -1));
    EXPECT_FALSE(BitSetInclude(s, -1));
    EXPECT_EQ(BitSetCount(s), 3);
    ASSERT_TRUE(ResizeBitSet(s, 0));
    EXPECT_EQ(BitSetCapacity(s), 32);
    EXPECT_EQ(BitSetCount(s), 1);
    ASSERT_TRUE(ResizeBitSet(s, 100));
    EXPECT_EQ(BitSetCount(s), 1); // new bits are clear
    DisposeBitSet(s);
}

TEST_F(BitSets, MembersInOrder) {
    BitSetRecord s = NewBitSet(nullptr, 512);
    EXPECT_EQ(BitSetNextMember(s, -1), -1);
    EXPECT_EQ(BitSetLastMember(s), -1);
    const int32_t members[] = {0, 7, 8, 31, 32, 200, 511};
    for (int32_t m : members) BitSetInclude(s, m);
    std::vector<int32_t> walked;
    for (int32_t m = BitSetNextMember(s, -1); m >= 0; m = BitSetNextMember(s, m)) walked.push_back(m);
    EXPECT_EQ(walked, std::vector<int32_t>(std::begin(members), std::end(members)));
    EXPECT_EQ(BitSetLastMember(s), 511);
    EXPECT_EQ(BitSetNextMember(s, 511), -1);
    BitSetAssign(s, 511, 0);
    BitSetExclude(s, 9999);
    EXPECT_EQ(BitSetLastMember(s), 200);
    for (int32_t i = 256; i < 512; ++i) BitSetInclude(s, i); // whole words of ones
    EXPECT_EQ(BitSetCount(s), 6 + 256);
    DisposeBitSet(s);
}

TEST_F(BitSets, ShiftedRunIsClippedToTheSet) {
    BitSetRecord s = NewBitSet(nullptr, 32);
    BitSetInclude(s, 30);
    BitSetInclude(s, 31);
    ShiftBitSetRun(s, 28, 100, 2, 0); // run clipped to bits 28..31
    EXPECT_EQ(BitSetCapacity(s), 32);
    EXPECT_FALSE(BitSetContains(s, 30));
    EXPECT_FALSE(BitSetContains(s, 31));
    BitSetInclude(s, 28);
    ShiftBitSetRun(s, 28, 100, 1, 1);
    EXPECT_TRUE(BitSetContains(s, 29));
    EXPECT_EQ(BitSetCount(s), 1);
    DisposeBitSet(s);
}

} // namespace
