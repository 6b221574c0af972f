// Tagged data blocks: entry layout, replacing, removing and absent tags.
#include <gtest/gtest.h>

#include <cstring>

#include "toolbox/ui/taggeddata.h"

namespace {

constexpr uint32_t kIcid = kItemTagIcon;
constexpr uint32_t kText = FourCC("text");
constexpr uint32_t kSele = FourCC("sele");

TEST(TaggedDataTest, EntriesArePaddedToEvenSizes) {
    RelocatableBlock block = nullptr;
    int16_t icon = 32516;
    ASSERT_EQ(TaggedDataPut(&block, kIcid, &icon, 2), kTaggedDataOk);
    ASSERT_EQ(TaggedDataPut(&block, kText, "abc", 3), kTaggedDataOk); // 11 -> 12
    ASSERT_EQ(TaggedDataPut(&block, kSele, "\1\0\2\0", 4), kTaggedDataOk);
    EXPECT_EQ(RelocatableBlockSize(block), 10 + 12 + 12);
    char text[8] = "zzzzzzz";
    EXPECT_EQ(TaggedDataGet(block, kText, text, sizeof text), 3);
    EXPECT_EQ(std::memcmp(text, "abczzzz", 7), 0);
    int16_t read = 0;
    EXPECT_EQ(TaggedDataGet(block, kIcid, &read, 2), 2);
    EXPECT_EQ(read, 32516);
    TaggedDataDispose(&block);
    EXPECT_EQ(block, nullptr);
}

TEST(TaggedDataTest, StoringUnderAPresentTagResizesItsEntry) {
    RelocatableBlock block = nullptr;
    ASSERT_EQ(TaggedDataPut(&block, kIcid, "\1\2", 2), kTaggedDataOk);
    ASSERT_EQ(TaggedDataPut(&block, kText, "a", 1), kTaggedDataOk);
    ASSERT_EQ(TaggedDataPut(&block, kSele, "\5\6", 2), kTaggedDataOk);
    // Grow the middle entry, then shrink it: the neighbours stay intact.
    ASSERT_EQ(TaggedDataPut(&block, kText, "hello world", 11), kTaggedDataOk);
    EXPECT_EQ(RelocatableBlockSize(block), 10 + 20 + 10);
    ASSERT_EQ(TaggedDataPut(&block, kText, "", 0), kTaggedDataOk);
    EXPECT_EQ(RelocatableBlockSize(block), 10 + 8 + 10);
    char two[2];
    EXPECT_EQ(TaggedDataGet(block, kSele, two, 2), 2);
    EXPECT_EQ(std::memcmp(two, "\5\6", 2), 0);
    EXPECT_EQ(TaggedDataGet(block, kIcid, two, 2), 2);
    EXPECT_EQ(std::memcmp(two, "\1\2", 2), 0);
    EXPECT_EQ(TaggedDataLength(block, kText), 0);
    TaggedDataDispose(&block);
}

TEST(TaggedDataTest, RemovingTheLastEntryFreesTheBlock) {
    RelocatableBlock block = nullptr;
    ASSERT_EQ(TaggedDataPut(&block, kIcid, "\1\2", 2), kTaggedDataOk);
    ASSERT_EQ(TaggedDataPut(&block, kText, "abc", 3), kTaggedDataOk);
    EXPECT_TRUE(TaggedDataRemove(&block, kIcid));
    EXPECT_FALSE(TaggedDataRemove(&block, kIcid));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(TaggedDataLength(block, kText), 3);
    EXPECT_TRUE(TaggedDataRemove(&block, kText));
    EXPECT_EQ(block, nullptr);
}

TEST(TaggedDataTest, AnAbsentTagAnswersMinusOneAndZeroFills) {
    RelocatableBlock block = nullptr;
    char buffer[6] = "xxxxx";
    EXPECT_EQ(TaggedDataGet(block, kText, buffer, sizeof buffer), kTaggedDataAbsent);
    EXPECT_EQ(std::memcmp(buffer, "\0\0\0\0\0\0", 6), 0);
    ASSERT_EQ(TaggedDataPut(&block, kIcid, "\1\2", 2), kTaggedDataOk);
    std::memcpy(buffer, "xxxxx", 6);
    EXPECT_EQ(TaggedDataGet(block, kText, buffer, sizeof buffer), kTaggedDataAbsent);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(TaggedDataPut(&block, kText, "a", -1), kTaggedDataBadLength);
    TaggedDataDispose(&block);
}

} // namespace
