#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "heap_fixture.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"

namespace {

using MemBlocks = HeapTest;

TEST_F(MemBlocks, PointerBlocksRememberTheirSize) {
    for (int32_t n : {0, 1, 7, 100, 1000, 4090, 5000, 70000}) {
        uint8_t* p = static_cast<uint8_t*>(NewPointerBlockClear(nullptr, n));
        ASSERT_NE(p, nullptr) << n;
        EXPECT_EQ(PointerBlockSize(p), n);
        for (int32_t i = 0; i < n; ++i) ASSERT_EQ(p[i], 0) << n;
        std::memset(p, 0xA5, size_t(n));
        EXPECT_EQ(BlockPool(p), PointerBlockPool());
        FreeHeapBlock(p);
    }
}

TEST_F(MemBlocks, PoolPiecesFillWholeRegions) {
    // The database's pool pieces: 65,412 and 262,080 bytes take exactly
    // 64 KB and 256 KB of address space.
    HeapPool* pool = PointerBlockPool();
    for (int32_t n : {65412, 262080}) {
        uint32_t before = PoolBytesHeld(pool);
        void* p = NewPointerBlockClear(nullptr, n);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(PoolBytesHeld(pool) - before, n == 65412 ? 65536u : 262144u);
        EXPECT_EQ(PointerBlockSize(p), n);
        FreeHeapBlock(p);
        EXPECT_EQ(PoolBytesHeld(pool), before);
    }
}

TEST_F(MemBlocks, ResizeKeepsContentsAndSize) {
    void* p = NewPointerBlockFromBytes(nullptr, "abcdef", 6);
    ASSERT_NE(p, nullptr);
    for (int32_t n : {3, 200, 9000, 40, 100000, 6}) {
        ASSERT_TRUE(ResizePointerBlock(&p, n));
        EXPECT_EQ(PointerBlockSize(p), n);
        EXPECT_EQ(std::memcmp(p, "abc", 3), 0);
    }
    void* copy = DuplicatePointerBlock(nullptr, p);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(PointerBlockSize(copy), 6);
    EXPECT_EQ(std::memcmp(copy, "abcdef", 6), 0);
    FreeHeapBlock(copy);
    FreeHeapBlock(p);
    void* empty = NewPointerBlock(nullptr, 0);
    EXPECT_EQ(DuplicatePointerBlock(nullptr, empty), nullptr);
    FreeHeapBlock(empty);
}

TEST_F(MemBlocks, ForeignAddressesAreRefused) {
    int local = 0;
    std::vector<char> heap(100);
    void* p = &local;
    EXPECT_FALSE(ResizePointerBlock(&p, 10));
    EXPECT_EQ(p, &local);
    EXPECT_EQ(BlockPool(heap.data()), nullptr);
    FreeHeapBlock(heap.data());
    EXPECT_EQ(LastError(), kHeapErrBadPointer);
}

TEST_F(MemBlocks, PoolRecordsAreZeroedFixedRecords) {
    HeapPool* pool = Pool();
    uint8_t* r = static_cast<uint8_t*>(NewPoolRecordClear(pool));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(HeapBlockSize(r), 24);
    EXPECT_EQ(HeapBlockKind(r), kPageFixed);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(r[i], 0);
    FreeHeapBlock(r);
}

TEST_F(MemBlocks, EmptyRelocatableBlockAndItsGrowth) {
    RelocatableBlock h = NewRelocatableBlock(nullptr, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(RelocatableBlockSize(h), 0);
    EXPECT_TRUE(IsEmptyRelocatableBlock(h));
    ASSERT_TRUE(SetRelocatableBlockSize(h, 3, 0));
    EXPECT_EQ(RelocatableBlockSize(h), 3);
    EXPECT_FALSE(IsEmptyRelocatableBlock(h));
    const uint8_t* p = static_cast<const uint8_t*>(*h);
    EXPECT_EQ(p[0], 0xEB);
    EXPECT_EQ(p[1], 0xEB);
    EXPECT_EQ(p[2], 0xEB);
    ASSERT_TRUE(SetRelocatableBlockSize(h, 0, 0));
    EXPECT_TRUE(IsEmptyRelocatableBlock(h));
    HeapHandleFree(h);

    // Blocks of the marker's own size never read as empty.
    for (int32_t n : {8, 16}) {
        RelocatableBlock real = NewRelocatableBlock(nullptr, n);
        EXPECT_FALSE(IsEmptyRelocatableBlock(real));
        EXPECT_EQ(RelocatableBlockSize(real), n);
        HeapHandleFree(real);
    }
}

TEST_F(MemBlocks, RelocatableBlocksMoveAndKeepContents) {
    RelocatableBlock h = RelocatableBlockFromBytes(nullptr, "hello", 5);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(ResizeRelocatableBlock(h, 50000));
    EXPECT_EQ(RelocatableBlockSize(h), 50000);
    EXPECT_EQ(std::memcmp(*h, "hello", 5), 0);
    ASSERT_TRUE(ResizeRelocatableBlock(h, 5));
    EXPECT_EQ(std::memcmp(*h, "hello", 5), 0);
    RelocatableBlock d = DuplicateRelocatableBlock(nullptr, h);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(RelocatableBlockSize(d), 5);
    EXPECT_EQ(std::memcmp(*d, "hello", 5), 0);
    HeapHandleFree(d);
    HeapHandleFree(h);
    EXPECT_EQ(RelocatableBlockSize(h), -1);
    EXPECT_EQ(DuplicateRelocatableBlock(nullptr, h), nullptr);
}

TEST_F(MemBlocks, LockingAndUnlockingEverything) {
    RelocatableBlock h = NewRelocatableBlockClear(nullptr, 40);
    for (int i = 0; i < 3; ++i) ASSERT_NE(HeapHandleLock(h), nullptr);
    EXPECT_EQ(HeapHandleLockCount(h), 3);
    SetHandleLocked(h, 0);
    EXPECT_EQ(HeapHandleLockCount(h), 0);
    SetHandleLocked(h, 1);
    SetHandleLocked(h, 1);
    EXPECT_EQ(HeapHandleLockCount(h), 1);
    HeapHandleFree(h);

    RelocatableBlock fixed = NewRelocatableBlockWithOptions(nullptr, 40, 8);
    EXPECT_EQ(HeapHandleLockCount(fixed), 1);
    EXPECT_EQ(HeapHandleLock(fixed), *fixed); // counted, never moves
    EXPECT_EQ(HeapHandleLockCount(fixed), 2);
    HeapHandleFree(fixed);
}

std::string Contents(RelocatableBlock h) {
    return std::string(static_cast<const char*>(*h), size_t(RelocatableBlockSize(h)));
}

TEST_F(MemBlocks, ByteEditing) {
    RelocatableBlock h = RelocatableBlockFromBytes(nullptr, "one two three", 13);
    EXPECT_EQ(ReplaceHandleBytes(h, 0, "two", 3, "2", 1), 5);
    EXPECT_EQ(Contents(h), "one 2 three");
    EXPECT_EQ(ReplaceHandleBytes(h, 0, "three", 5, "thirty-three", 12), 18);
    EXPECT_EQ(Contents(h), "one 2 thirty-three");
    EXPECT_EQ(ReplaceHandleBytes(h, 0, "2", 1, nullptr, 0), 4); // search only
    EXPECT_EQ(ReplaceHandleBytes(h, 5, "one", 3, "x", 1), -1);  // absent after offset
    EXPECT_EQ(Contents(h), "one 2 thirty-three");
    EXPECT_EQ(ReplaceHandleBytes(h, 99, nullptr, 0, "x", 1), -1);
    EXPECT_EQ(InsertHandleBytes(h, 0, ">", 1), 1);
    EXPECT_EQ(InsertHandleBytes(h, -1, "<", 1), 20);
    EXPECT_EQ(Contents(h), ">one 2 thirty-three<");
    EXPECT_EQ(ReplaceHandleRange(h, 1, 3, "ONE!", 4), 5);
    EXPECT_EQ(Contents(h), ">ONE! 2 thirty-three<");
    EXPECT_EQ(DeleteHandleBytes(h, 99, 1), -1);
    EXPECT_EQ(DeleteHandleBytes(h, 5, -1), 5);
    EXPECT_EQ(Contents(h), ">ONE!");
    EXPECT_TRUE(AppendHandleBytes(h, "ab", 2));
    EXPECT_TRUE(AppendHandleBytes(h, nullptr, 0));
    EXPECT_TRUE(AppendHandleBytes(h, nullptr, 1));
    EXPECT_EQ(Contents(h), std::string(">ONE!ab\0", 8));
    EXPECT_EQ(DeleteHandleBytes(h, 0, -1), 0);
    EXPECT_EQ(RelocatableBlockSize(h), 0);
    EXPECT_TRUE(SetRelocatableBlockBytes(h, "xyz", 3));
    EXPECT_EQ(Contents(h), "xyz");
    HeapHandleFree(h);
}

TEST_F(MemBlocks, ReplacementThatCannotGrowChangesNothing) {
    HeapPool* pool = Pool();
    RelocatableBlock h = RelocatableBlockFromBytes(pool, "abc", 3);
    ASSERT_NE(h, nullptr);
    ASSERT_NE(HeapHandleLock(h), nullptr);
    SetPoolCeiling(pool, int32_t(PoolBytesHeld(pool)));
    std::vector<char> big(20000, 'z');
    EXPECT_EQ(ReplaceHandleBytes(h, 0, "b", 1, big.data(), int32_t(big.size())), -1);
    EXPECT_EQ(Contents(h), "abc");
    EXPECT_FALSE(AppendHandleBytes(h, big.data(), int32_t(big.size())));
    EXPECT_EQ(Contents(h), "abc");
    HeapHandleFree(h);
}

int32_t PlainFind(const std::string& pat, const std::string& buf) {
    size_t at = buf.find(pat);
    return at == std::string::npos ? -1 : int32_t(at);
}

TEST(FindBytes, SkipSearchAgreesWithThePlainScan) {
    std::string longTail(600, 'x');
    struct Case {
        std::string pattern, buffer;
    } cases[] = {
        {"aba", "xbaba" + longTail},
        {"aba", longTail + "abba" + "aba"},
        {"abc", longTail.substr(0, 597) + "abc"},
        {"zzz", longTail},
        {"xx", longTail},
        {"", longTail},
        {std::string(700, 'x'), longTail},
        {"needle", longTail + "needl" + "eneedle" + longTail},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindBytes(c.pattern.data(), int32_t(c.pattern.size()), c.buffer.data(),
                            int32_t(c.buffer.size())),
                  c.pattern.empty() ? 0 : PlainFind(c.pattern, c.buffer))
            << c.pattern;
    }
    // Every window position of a random-ish text.
    std::string text;
    for (int i = 0; i < 2000; ++i) text.push_back(char('a' + (i * 7919 % 13) % 3));
    for (int start = 0; start < 1990; start += 37) {
        std::string pat = text.substr(size_t(start), 5);
        EXPECT_EQ(FindBytes(pat.data(), 5, text.data(), int32_t(text.size())), PlainFind(pat, text));
    }
}

TEST(FindBytes, TailMatches) {
    uint8_t whole = 9;
    EXPECT_EQ(FindBytesOrTail("cde", 3, "abcde", 5, &whole), 2);
    EXPECT_EQ(whole, 1);
    EXPECT_EQ(FindBytesOrTail("def", 3, "abcde", 5, &whole), 3);
    EXPECT_EQ(whole, 0);
    EXPECT_EQ(FindBytesOrTail("xyz", 3, "abcde", 5, &whole), 5);
    EXPECT_EQ(whole, 0);
    EXPECT_EQ(FindBytesOrTail("abcdefg", 7, "cde", 3, &whole), 3);
    EXPECT_EQ(FindBytesOrTail("x", 1, "", 0, &whole), 0);
    EXPECT_EQ(whole, 1);
}

} // namespace
