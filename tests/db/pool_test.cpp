#include "db/pool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "db/memstat.h"
#include "testutil.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"

namespace {

class PoolTest : public CoreTest {};

uint8_t* Bytes(void* p) {
    return static_cast<uint8_t*>(p);
}

bool AllZero(const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i]) return false;
    return true;
}

TEST_F(PoolTest, InitOnceAndOnFirstUse) {
    EXPECT_EQ(PoolInit(), 1);
    EXPECT_FATAL(PoolInit(), 37401);
    HeadlessReset();
    ASSERT_NE(PoolAlloc(16, 3, 1), nullptr); // initialises
    EXPECT_FATAL(PoolInit(), 37401);
}

TEST_F(PoolTest, FixedOwnersAndOpeningOrder) {
    PoolInit();
    const int32_t fixed[][2] = {{1, 37480}, {2, 37481},  {4, 37482},  {6, 37484},
                                {9, 37486}, {10, 37487}, {11, 37488}, {13, 37490}};
    for (auto& f : fixed)
        EXPECT_EQ(PoolOwner(f[0]), f[1]) << "pool " << f[0];
    EXPECT_EQ(PoolOwner(3), 0);
    EXPECT_EQ(PoolOpen(2163020), 3);
    EXPECT_EQ(PoolOpen(2163030), 5);
    EXPECT_EQ(PoolClaim(2163040), 40);
    EXPECT_EQ(PoolClaim(2163040), 39); // no duplicate test for claims
    EXPECT_EQ(PoolOwner(3), 2163020);
    EXPECT_FATAL_DETAIL(PoolOpen(2163020), 2163020, "1");
}

TEST_F(PoolTest, NoFreePool) {
    int32_t opened = 0;
    while (opened < 40 - 8)
        PoolOpen(1000 + opened++);
    EXPECT_FATAL_DETAIL(PoolOpen(2163020), 2163020, "2");
    EXPECT_FATAL_DETAIL(PoolClaim(2163021), 2163021, "2");
    DebugSetFlags(0, 1);
    EXPECT_FATAL(PoolClaim(2163022), 2163022);
}

TEST_F(PoolTest, ArgumentChecks) {
    EXPECT_FATAL(PoolAlloc(0, 3, 1), 20425);
    EXPECT_FATAL(PoolAlloc(65409, 3, 1), 20425);
    EXPECT_FATAL(PoolAlloc(8, 0, 1), 20430);
    EXPECT_FATAL(PoolAlloc(8, 41, 1), 20430);
    EXPECT_FATAL(PoolNewPtr(0, 3, 1), 20480);
    EXPECT_FATAL(PoolNewPtr(65397, 3, 1), 20480);
    EXPECT_FATAL(PoolClose(0), 37463);
    EXPECT_FATAL(PoolClose(41), 37463);
    EXPECT_FATAL(PoolClose(3), 37464); // not open
    void* b = PoolNewPtr(100, 3, 1);
    EXPECT_FATAL(PoolResizePtr(b, 0, 3, 1), 20486);
    EXPECT_FATAL(PoolResizePtr(b, 65397, 3, 1), 20486);
    EXPECT_FATAL(PoolResizePtr(b, 50, 5, 1), 20488);
    EXPECT_FATAL(PoolFreePtr(PoolNewPtr(100, 1, 1)), 20483); // pool 1 blocks are never freed
}

TEST_F(PoolTest, PiecesAreRoundedAndZeroFilled) {
    uint8_t* a = Bytes(PoolAlloc(5, 3, 1));
    uint8_t* b = Bytes(PoolAlloc(4, 3, 1));
    uint8_t* c = Bytes(PoolAlloc(1, 3, 1));
    EXPECT_EQ(b - a, 8);
    EXPECT_EQ(c - b, 4);
    std::memset(a, 0xAB, 16);
    PoolReset(3);
    uint8_t* again = Bytes(PoolAlloc(16, 3, 1)); // the cached chunk comes back
    EXPECT_EQ(again, a);
    EXPECT_TRUE(AllZero(again, 16));
}

TEST_F(PoolTest, LargestPieceTakesAWholeChunk) {
    void* big = PoolAlloc(65408, 3, 1);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(PoolChunksInUse(), 1);
    EXPECT_TRUE(AllZero(big, 65408));
    PoolAlloc(65408, 3, 1);
    EXPECT_EQ(PoolChunksInUse(), 2);
    // the biggest tagged block fits a chunk too
    ASSERT_NE(PoolNewPtr(65396, 3, 1), nullptr);
    EXPECT_EQ(PoolChunksInUse(), 3);
}

TEST_F(PoolTest, AChunkTakesOne64KRegion) {
    PoolInit();
    HeapPool* heap = PointerBlockPool();
    uint32_t before = PoolBytesHeld(heap);
    PoolAlloc(8, 3, 1);
    EXPECT_EQ(PoolBytesHeld(heap) - before, 65536u);
}

TEST_F(PoolTest, LeftoverBecomesAFreedBlock) {
    // a remainder of 40 bytes becomes a freed block, one of 28 does not
    PoolAlloc(kPoolChunkArea - 40, 3, 1);
    PoolAlloc(100, 3, 1);
    EXPECT_EQ(PoolFreedCount(3), 1);
    PoolAlloc(kPoolChunkArea - 100 - 28, 3, 1);
    PoolAlloc(100, 3, 1);
    EXPECT_EQ(PoolFreedCount(3), 1);
    EXPECT_EQ(PoolChunksInUse(), 3);
}

TEST_F(PoolTest, LargestFreedBlockServesBeforeANewChunk) {
    uint8_t* small = Bytes(PoolNewPtr(1000, 3, 1));
    uint8_t* large = Bytes(PoolNewPtr(30000, 3, 1));
    PoolFreePtr(small);
    PoolFreePtr(large);
    EXPECT_EQ(PoolFreedCount(3), 2);
    EXPECT_EQ(PoolLiveCount(3), 0);
    int32_t used = 2 * kPoolTagHeader + 1000 + 30000;
    PoolAlloc(kPoolChunkArea - used, 3, 1); // the chunk is now full
    uint8_t* piece = Bytes(PoolAlloc(20000, 3, 1));
    EXPECT_EQ(piece, large - kPoolTagHeader); // the freed block's bytes, header and all
    EXPECT_EQ(PoolChunksInUse(), 1);
    EXPECT_EQ(PoolFreedCount(3), 1);
    EXPECT_TRUE(AllZero(piece, 20000));
}

// Freed blocks of random sizes (many of them equal) are freed in random
// order between takes; whenever the current area is used up, the piece
// must come from a block of the largest freed size, as a plain model of
// the freed list says.
TEST_F(PoolTest, EachTakeIsTheLargestFreedBlock) {
    uint32_t seed = 20261210;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    // Sizes of 4 mod 8 bytes, so no piece is shifted for alignment, small
    // ones and some above 1,020 bytes, an even count, and all fit the first chunk.
    std::vector<uint8_t*> live;
    int32_t used = 0;
    for (int i = 0; i < 116; ++i) {
        int32_t size = i < 101 ? 4 + 8 * int32_t(next(35)) : 1004 + 8 * int32_t(next(128));
        live.push_back(Bytes(PoolNewPtr(size, 3, 1)) - kPoolTagHeader);
        used += size + kPoolTagHeader;
    }
    PoolAlloc(kPoolChunkArea - used, 3, 1); // the chunk is now full
    std::multimap<int32_t, uint8_t*> model; // freed blocks by size
    auto sizeOf = [](const uint8_t* h) {
        uint16_t v;
        std::memcpy(&v, h + 2, 2);
        return int32_t(v);
    };
    int takes = 0;
    for (int step = 0; step < 600; ++step) {
        if (!live.empty() && (model.empty() || next(3) != 0)) {
            size_t k = next(uint32_t(live.size()));
            uint8_t* h = live[k];
            live.erase(live.begin() + long(k));
            model.emplace(sizeOf(h), h);
            PoolFreePtr(h + kPoolTagHeader);
            continue;
        }
        if (model.empty()) break;
        int32_t largest = model.rbegin()->first;
        int32_t area = largest + kPoolTagHeader;
        int32_t n = 4 + 8 * int32_t(next(uint32_t(area / 8)));
        uint8_t* piece = Bytes(PoolAlloc(n, 3, 1));
        auto range = model.equal_range(largest);
        auto hit = range.first;
        while (hit != range.second && hit->second != piece)
            ++hit;
        ASSERT_NE(hit, range.second) << "step " << step << ": not a block of the largest size";
        model.erase(hit);
        ASSERT_TRUE(AllZero(piece, size_t(n)));
        // Use up the rest of the area so the next take goes to the freed list.
        int32_t rest = area - n;
        if (rest > 4) PoolAlloc(rest - 4, 3, 1);
        if (rest > 0) PoolAlloc(4, 3, 1);
        ASSERT_EQ(PoolFreedCount(3), int32_t(model.size()));
        ++takes;
    }
    EXPECT_GT(takes, 100);
    EXPECT_EQ(PoolChunksInUse(), 1);
}

// Pieces and tagged blocks whose rounded size is a multiple of 8 may hold
// a pointer or a double and start on 8 bytes; 4-byte pieces stay packed.
TEST_F(PoolTest, WidePiecesAreEightByteAligned) {
    uint8_t* a = Bytes(PoolAlloc(4, 3, 1));
    uint8_t* b = Bytes(PoolAlloc(16, 3, 1));
    uint8_t* c = Bytes(PoolAlloc(12, 3, 1));
    uint8_t* d = Bytes(PoolAlloc(8, 3, 1));
    EXPECT_EQ(uintptr_t(b) % 8, 0u);
    EXPECT_EQ(b - a, 8); // 4 bytes skipped
    EXPECT_EQ(c - b, 16);
    EXPECT_EQ(d - c, 16); // c ends 4 bytes past an 8-byte boundary
    for (int32_t size : {1, 8, 40, 100, 1000}) {
        PoolAlloc(4, 3, 1);
        void* t = PoolNewPtr(size, 3, 1);
        if ((size + 3) / 4 % 2 == 0) {
            EXPECT_EQ(uintptr_t(t) % 8, 0u) << size;
        }
    }
    // A freed block taken as the current area aligns its first piece too.
    PoolAlloc(4, 5, 1);
    uint8_t* f = Bytes(PoolNewPtr(100, 5, 1)) - kPoolTagHeader;
    ASSERT_EQ(uintptr_t(f) % 8, 4u);
    PoolFreePtr(f + kPoolTagHeader);
    PoolAlloc(kPoolChunkArea - 4 - 100 - kPoolTagHeader, 5, 1); // the chunk is now full
    int32_t chunks = PoolChunksInUse();
    EXPECT_EQ(Bytes(PoolAlloc(64, 5, 1)), f + 4);
    EXPECT_EQ(PoolChunksInUse(), chunks);
}

TEST_F(PoolTest, ResizeCopiesTheSmallerSize) {
    uint8_t* b = Bytes(PoolNewPtr(64, 3, 1));
    for (int i = 0; i < 64; ++i)
        b[i] = uint8_t(i + 1);
    uint8_t* grown = Bytes(PoolResizePtr(b, 128, 3, 1));
    ASSERT_NE(grown, b);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(grown[i], i + 1);
    EXPECT_TRUE(AllZero(grown + 64, 64));
    uint8_t* shrunk = Bytes(PoolResizePtr(grown, 10, 3, 1));
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(shrunk[i], i + 1);
    EXPECT_EQ(PoolLiveCount(3), 1);
    EXPECT_EQ(PoolFreedCount(3), 2);
}

TEST_F(PoolTest, ResetKeepsOwnerAndCachesUpToFourChunks) {
    int32_t p = PoolOpen(2163020);
    std::set<void*> first;
    for (int i = 0; i < 6; ++i)
        first.insert(PoolAlloc(65408, p, 1));
    EXPECT_EQ(PoolChunksInUse(), 6);
    PoolReset(p);
    EXPECT_EQ(PoolOwner(p), 2163020);
    EXPECT_EQ(PoolChunksInUse(), 0);
    EXPECT_EQ(PoolChunksCached(), 4);
    EXPECT_EQ(PoolChunksSpare(), 2);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(first.count(PoolAlloc(65408, p, 1)), 1u);
    EXPECT_EQ(PoolChunksCached(), 0);
    // The chunks released past the cache come back before new memory.
    EXPECT_EQ(first.count(PoolAlloc(65408, p, 1)), 1u);
    EXPECT_EQ(PoolChunksInUse(), 5);
    EXPECT_EQ(PoolChunksSpare(), 1);
    PoolClose(p);
    EXPECT_EQ(PoolOwner(p), 0);
    EXPECT_EQ(PoolOpen(2163099), p);
}

TEST_F(PoolTest, NextPieceAfterResetIsInAFreshChunk) {
    PoolAlloc(100, 3, 1);
    PoolAlloc(100, 5, 1);
    PoolReset(3);
    EXPECT_EQ(PoolChunksInUse(), 1);
    PoolAlloc(100, 3, 1);
    EXPECT_EQ(PoolChunksInUse(), 2);
    EXPECT_EQ(PoolChunksCached(), 0);
}

TEST_F(PoolTest, OutOfMemory) {
    PoolSetChunkLimit(1);
    ASSERT_NE(PoolAlloc(65408, 3, 1), nullptr);
    EXPECT_FATAL_DETAIL(PoolAlloc(16, 3, 5255009), 5255009, "No more memory available");
    EXPECT_EQ(PoolAlloc(16, 3, 0), nullptr);
    EXPECT_EQ(PoolNewPtr(8, 3, 0), nullptr);
    EXPECT_EQ(PoolLiveCount(3), 0);
}

TEST_F(PoolTest, MemAvailable) {
    MemStatus m{8000000000ull, 1000000, 5000000};
    MemStatusSetOverride(&m);
    EXPECT_EQ(MemAvailable(), 2500000);
    m.availPhys = 3000000;
    MemStatusSetOverride(&m);
    EXPECT_EQ(MemAvailable(), 3000000);
    PoolAlloc(65408, 3, 1);
    PoolAlloc(65408, 3, 1);
    PoolReset(3);
    EXPECT_EQ(MemAvailable(), 3000000 + 2 * 65412);
    m.availPhys = 6000000000ull; // beyond 32 bits
    MemStatusSetOverride(&m);
    EXPECT_EQ(MemAvailable(), 4294967295ll + 2 * 65412);
}

TEST_F(PoolTest, ScratchStack) {
    void* records[kScratchDepth];
    for (int i = 0; i < kScratchDepth; ++i)
        records[i] = ScratchPush();
    EXPECT_EQ(ScratchDepth(), 40);
    EXPECT_EQ(PoolLiveCount(1), 40);
    EXPECT_FATAL(ScratchPush(), 20481);
    EXPECT_FATAL(ScratchPop(records[10]), 20496);
    for (int i = kScratchDepth - 1; i >= 0; --i)
        ScratchPop(records[i]);
    EXPECT_EQ(ScratchDepth(), 0);
    EXPECT_FATAL(ScratchPop(records[0]), 20496);
}

TEST_F(PoolTest, ScratchRecordsAreReusedUncleared) {
    char* r = static_cast<char*>(ScratchPush());
    std::strcpy(r + kScratchRecordBytes - 6, "left");
    ScratchPop(r);
    char* again = static_cast<char*>(ScratchPush());
    EXPECT_EQ(again, r);
    EXPECT_STREQ(again + kScratchRecordBytes - 6, "left");
    EXPECT_EQ(PoolLiveCount(1), 1);
}

TEST_F(PoolTest, ScratchWithoutMemoryReportsItsTag) {
    PoolSetChunkLimit(0);
    EXPECT_FATAL_DETAIL(ScratchPush(), 20494, "No more memory available");
}

} // namespace
