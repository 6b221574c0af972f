#include "toolbox/core/heap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "heap_fixture.h"
#include "toolbox/core/vmem.h"

namespace {

using Heap = HeapTest;

uintptr_t PageOf(const void* p) { return uintptr_t(p) & ~uintptr_t(0xFFFF); }

TEST_F(Heap, RequestsAreRoutedBySize) {
    HeapPool* pool = Pool();
    EXPECT_EQ(PoolSmallThreshold(pool), 256);
    EXPECT_EQ(PoolLargeThreshold(pool), 4096);
    struct Case {
        int32_t n;
        int32_t kind;
        int32_t usable;
    } cases[] = {
        {0, kPageSmall, 7},         {3, kPageSmall, 7},        {8, kPageSmall, 15},
        {255, kPageSmall, 255},     {256, kPageSmall, 263},    {257, kPageMedium, 262},
        {4096, kPageMedium, 4102},  {4097, kPageLarge, 8160},  {65412, kPageLarge, 65504},
        {262080, kPageLarge, 262112},
    };
    for (const Case& c : cases) {
        uint8_t* p = static_cast<uint8_t*>(HeapBlockAlloc(pool, c.n, kAllocZero));
        ASSERT_NE(p, nullptr) << c.n;
        EXPECT_EQ(HeapBlockKind(p), c.kind) << c.n;
        EXPECT_EQ(HeapBlockSize(p), c.usable) << c.n;
        EXPECT_EQ(uintptr_t(p) % 8, 0u) << c.n;
        for (int32_t i = 0; i < c.usable; ++i) ASSERT_EQ(p[i], 0) << c.n;
        std::memset(p, 0x5A, size_t(c.usable));
        EXPECT_TRUE(HeapBlockFree(p));
    }
    EXPECT_TRUE(HeapErrorsSeen().empty());
}

TEST_F(Heap, DefaultPoolHasNoSmallBlocks) {
    HeapPool* pool = DefaultHeapPool();
    EXPECT_EQ(PoolSmallThreshold(pool), 0);
    void* p = HeapBlockAlloc(pool, 1, 0);
    EXPECT_EQ(HeapBlockKind(p), kPageMedium);
    EXPECT_EQ(HeapBlockSize(p), 14);
    HeapBlockFree(p);
}


TEST_F(Heap, SplitOrTakeWholeByTheThreshold) {
    HeapPool* pool = Pool();
    SetPoolSmallBlockSize(pool, 0);
    SetPoolPageSize(pool, 4096);
    ASSERT_EQ(PoolLargeThreshold(pool), 1024);
    uint8_t* a = static_cast<uint8_t*>(HeapBlockAlloc(pool, 38, 0)); // block of 40
    std::vector<void*> fill;
    for (int32_t n : {991, 991, 991, 975}) fill.push_back(HeapBlockAlloc(pool, n, 0));
    for (void* f : fill) ASSERT_EQ(PageOf(f), PageOf(a));
    EXPECT_EQ(HeapBlockSize(a), 38);
    ASSERT_TRUE(HeapBlockFree(a));

    // 16 bytes (block 24) leaves 16: split, the high part is used.
    uint8_t* b = static_cast<uint8_t*>(HeapBlockAlloc(pool, 16, 0));
    EXPECT_EQ(b, a + 16);
    EXPECT_EQ(HeapBlockSize(b), 22);
    ASSERT_TRUE(HeapBlockFree(b));
    // 24 bytes (block 32) would leave 8: the whole 40 is taken.
    uint8_t* c = static_cast<uint8_t*>(HeapBlockAlloc(pool, 24, 0));
    EXPECT_EQ(c, a);
    EXPECT_EQ(HeapBlockSize(c), 38);
}

TEST_F(Heap, FreedNeighboursJoin) {
    HeapPool* pool = Pool();
    SetPoolSmallBlockSize(pool, 0);
    // Four 4,000-byte blocks from the top of a 16-KB page, 312 bytes left.
    std::vector<void*> b;
    for (int i = 0; i < 4; ++i) b.push_back(HeapBlockAlloc(pool, 3998, 0));
    for (void* p : b) ASSERT_EQ(PageOf(p), PageOf(b[0]));
    HeapBlockFree(b[1]);
    HeapBlockFree(b[3]);
    HeapBlockFree(b[2]);
    // 12,312 free bytes in one piece hold three 4,104-byte blocks.
    for (int i = 0; i < 3; ++i) {
        void* p = HeapBlockAlloc(pool, 4095, 0);
        EXPECT_EQ(PageOf(p), PageOf(b[0])) << i;
        EXPECT_EQ(HeapBlockSize(p), 4102);
    }
}

TEST_F(Heap, EmptyPagesGoBackAboveTheFloor) {
    HeapPool* pool = Pool();
    uint32_t start = PoolBytesHeld(pool);
    void* p = HeapBlockAlloc(pool, 1000, 0);
    EXPECT_EQ(PoolBytesHeld(pool), start + 0x4000);
    HeapBlockFree(p);
    EXPECT_EQ(PoolBytesHeld(pool), start + 0x4000); // kept: below the floor
    EXPECT_EQ(SetPoolFloor(pool, 0), 0x40000);
    p = HeapBlockAlloc(pool, 1000, 0);
    HeapBlockFree(p);
    EXPECT_EQ(PoolBytesHeld(pool), start);
    void* big = HeapBlockAlloc(pool, 100000, 0);
    EXPECT_EQ(PoolBytesHeld(pool), start + 102400);
    HeapBlockFree(big);
    EXPECT_EQ(PoolBytesHeld(pool), start);
}

TEST_F(Heap, FloorAndCeiling) {
    HeapPool* pool = Pool();
    HeapPoolInfoRecord info{};
    ASSERT_TRUE(HeapPoolInfo(pool, nullptr, &info));
    EXPECT_EQ(info.floor, 0x40000u);
    EXPECT_EQ(info.ceiling, 0xFFFFFFFEu);
    EXPECT_EQ(info.fixedSize, 24);
    EXPECT_EQ(info.pageSize, 0x4000);
    SetPoolCeiling(pool, 100000);
    EXPECT_EQ(SetPoolFloor(pool, 200000), -1);
    ASSERT_TRUE(HeapPoolInfo(pool, nullptr, &info));
    EXPECT_EQ(info.floor, 0x40000u);
    // One medium page fits under the ceiling, the next one does not.
    SetPoolCeiling(pool, int32_t(PoolBytesHeld(pool)) + 0x4000);
    std::vector<void*> blocks;
    for (int i = 0; i < 4; ++i) blocks.push_back(HeapBlockAlloc(pool, 3998, 0));
    for (void* p : blocks) EXPECT_NE(p, nullptr);
    EXPECT_TRUE(HeapErrorsSeen().empty());
    EXPECT_EQ(HeapBlockAlloc(pool, 3998, 0), nullptr);
    EXPECT_EQ(LastError(), kHeapErrCeiling);
    EXPECT_EQ(HeapBlockAlloc(pool, 50000, 0), nullptr);
    EXPECT_EQ(LastError(), kHeapErrCeiling);
}

TEST_F(Heap, PageSizeSettings) {
    HeapPool* pool = Pool();
    struct Case {
        int32_t asked, kept;
    } cases[] = {{100, 0x1000}, {0x1001, 0x2000}, {0x4000, 0x4000}, {0x5000, 0x8000},
                 {0x8001, 0xFFFF}, {0x20000, 0xFFFF}};
    int32_t previous = 0x4000;
    for (const Case& c : cases) {
        EXPECT_EQ(SetPoolPageSize(pool, c.asked), previous);
        HeapPoolInfoRecord info{};
        HeapPoolInfo(pool, nullptr, &info);
        EXPECT_EQ(info.pageSize, c.kept);
        EXPECT_EQ(PoolLargeThreshold(pool), c.kept / 4);
        previous = c.kept;
    }
    // Medium pages stay within reach of the 13-bit size field.
    SetPoolSmallBlockSize(pool, 0);
    void* p = HeapBlockAlloc(pool, 16000, 0);
    EXPECT_EQ(HeapBlockKind(p), kPageMedium);
    EXPECT_EQ(HeapBlockSize(p), 16006);
    HeapPool* fixed = Pool();
    EXPECT_TRUE(SetPoolFixedSize(fixed, 4040));
    EXPECT_EQ(SetPoolPageSize(fixed, 4096), 0); // no room for a record
}

TEST_F(Heap, SettingsOutOfRange) {
    HeapPool* pool = Pool();
    EXPECT_FALSE(SetPoolSmallBlockSize(pool, 1001));
    EXPECT_EQ(LastError(), kHeapErrTooBig);
    EXPECT_FALSE(SetPoolFixedSize(pool, 0x4000));
    EXPECT_EQ(LastError(), kHeapErrTooBig);
    EXPECT_TRUE(SetPoolFixedSize(pool, 30));
    void* r = FixedPoolBlockAlloc(pool);
    EXPECT_EQ(HeapBlockSize(r), 32);
    EXPECT_FALSE(SetPoolFixedSize(pool, 64)); // fixed pages exist
    std::vector<uint8_t> notAPool(4096, 0);
    EXPECT_EQ(HeapBlockAlloc(reinterpret_cast<HeapPool*>(notAPool.data()), 10, 0), nullptr);
    EXPECT_EQ(LastError(), kHeapErrBadPool);
}

TEST_F(Heap, FixedRecordsAndSmallBlocksAreReused) {
    HeapPool* pool = Pool();
    SetPoolPageSize(pool, 4096);
    // A 4-KB fixed page holds 168 records of 24 bytes after its header.
    std::vector<void*> records;
    for (int i = 0; i < 169; ++i) {
        records.push_back(FixedPoolBlockAlloc(pool));
        ASSERT_NE(records.back(), nullptr);
    }
    EXPECT_EQ(PageOf(records[167]), PageOf(records[0]));
    EXPECT_NE(PageOf(records[168]), PageOf(records[0]));
    for (int i = 169; i < 336; ++i) records.push_back(FixedPoolBlockAlloc(pool));
    void* r = records[50];
    HeapBlockFree(r);
    EXPECT_EQ(FixedPoolBlockAlloc(pool), r);
    void* s1 = HeapBlockAlloc(pool, 20, 0);
    void* s2 = HeapBlockAlloc(pool, 20, 0);
    EXPECT_EQ(static_cast<uint8_t*>(s2) - static_cast<uint8_t*>(s1), 24);
    HeapBlockFree(s1);
    EXPECT_EQ(HeapBlockAlloc(pool, 17, 0), s1); // same class
}

TEST_F(Heap, ResizeInPlaceAndByMoving) {
    HeapPool* pool = Pool();
    SetPoolSmallBlockSize(pool, 0);
    uint8_t* a = static_cast<uint8_t*>(HeapBlockAlloc(pool, 100, 0));
    std::memcpy(a, "payload", 7);
    // The free space below grows the block in place? Medium blocks take the
    // high end, so the block after `a` is the end of the page.
    uint8_t* b = static_cast<uint8_t*>(HeapBlockAlloc(pool, 100, 0));
    EXPECT_EQ(HeapBlockRealloc(b, 300, kAllocInPlace), nullptr);
    EXPECT_EQ(LastError(), kHeapErrResizeFailed);
    HeapBlockFree(a);
    EXPECT_EQ(HeapBlockRealloc(b, 200, kAllocInPlace), b); // into the freed neighbour
    EXPECT_EQ(HeapBlockSize(b), 206);
    EXPECT_EQ(HeapBlockRealloc(b, 20, 0), b);
    EXPECT_EQ(HeapBlockSize(b), 22);
    std::memcpy(b, "payload", 7);
    uint8_t* big = static_cast<uint8_t*>(HeapBlockRealloc(b, 10000, 0));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(HeapBlockKind(big), kPageLarge);
    EXPECT_EQ(std::memcmp(big, "payload", 7), 0);
    EXPECT_EQ(HeapBlockRealloc(big, 30000, 0), big); // within its reservation
    EXPECT_EQ(HeapBlockSize(big), 32768 - 32);
    EXPECT_EQ(std::memcmp(big, "payload", 7), 0);
    EXPECT_EQ(HeapBlockRealloc(big, 0, 0), nullptr);
    EXPECT_EQ(LastError(), kHeapErrAllocZero);
}

TEST_F(Heap, ForeignAddressesAndGarbageHandles) {
    HeapPool* pool = Pool();
    int local = 0;
    EXPECT_FALSE(HeapBlockFree(&local));
    EXPECT_EQ(LastError(), kHeapErrBadPointer);
    EXPECT_EQ(HeapBlockSize(&local), -1);
    uint8_t* p = static_cast<uint8_t*>(HeapBlockAlloc(pool, 1000, 0));
    EXPECT_FALSE(HeapBlockFree(p + 8)); // inside a block
    EXPECT_TRUE(HeapBlockFree(p));
    EXPECT_FALSE(HeapBlockFree(p)); // twice
    EXPECT_EQ(LastError(), kHeapErrBadPointer);

    void* garbage[2] = {&local, nullptr};
    HeapErrorsSeen().clear();
    EXPECT_EQ(HeapHandleSize(reinterpret_cast<RelocatableBlock>(garbage)), -1);
    EXPECT_EQ(HeapHandleLock(reinterpret_cast<RelocatableBlock>(garbage)), nullptr);
    EXPECT_FALSE(HeapHandleDispose(reinterpret_cast<RelocatableBlock>(&local)));
    EXPECT_EQ(HeapErrorsSeen(), std::vector<int32_t>(3, kHeapErrBadHandle));
    RelocatableBlock h = HeapHandleNew(pool, kAllocMoveable, 10);
    ASSERT_TRUE(HeapHandleDispose(h));
    EXPECT_EQ(HeapHandleSize(h), -1); // a freed slot
    EXPECT_EQ(LastError(), kHeapErrBadHandle);
    // The block of a relocatable block is not a pointer block.
    RelocatableBlock h2 = HeapHandleNew(pool, kAllocMoveable, 10);
    EXPECT_FALSE(HeapBlockFree(*h2));
    EXPECT_EQ(HeapHandleSize(h2), 10);
    EXPECT_EQ(HeapHandleNew(pool, 0, 0), nullptr);
    EXPECT_EQ(LastError(), kHeapErrAllocZero);
}

TEST_F(Heap, LockCountStopsAt255) {
    HeapPool* pool = Pool();
    RelocatableBlock h = HeapHandleNew(pool, kAllocMoveable, 50);
    for (int i = 0; i < 255; ++i) ASSERT_EQ(HeapHandleLock(h), *h) << i;
    EXPECT_TRUE(HeapErrorsSeen().empty());
    EXPECT_EQ(HeapHandleLock(h), nullptr);
    EXPECT_EQ(LastError(), kHeapErrLock);
    EXPECT_EQ(HeapHandleRelease(h), 254);
    RelocatableBlock u = HeapHandleNew(pool, kAllocMoveable, 50);
    HeapErrorsSeen().clear();
    EXPECT_EQ(HeapHandleRelease(u), 0xFFFF); // not locked: no error
    EXPECT_TRUE(HeapErrorsSeen().empty());
}

TEST_F(Heap, LockedHandlesStayPutUnlessMovingIsAsked) {
    HeapPool* pool = Pool();
    RelocatableBlock h = HeapHandleNew(pool, kAllocMoveable, 100);
    RelocatableBlock wall = HeapHandleNew(pool, kAllocMoveable, 100);
    std::memcpy(*h, "locked", 6);
    void* at = HeapHandleLock(h);
    (void)wall;
    EXPECT_EQ(HeapHandleResize(h, 3000, 0), nullptr);
    EXPECT_EQ(LastError(), kHeapErrResizeFailed);
    EXPECT_EQ(*h, at);
    EXPECT_EQ(HeapHandleResize(h, 3000, kAllocMoveable), h); // moving allowed
    EXPECT_EQ(HeapHandleSize(h), 3000);
    EXPECT_EQ(HeapHandleLockCount(h), 1);
    EXPECT_EQ(std::memcmp(*h, "locked", 6), 0);
    EXPECT_EQ(HeapHandleResize(h, 60000, kAllocMoveable), h);
    EXPECT_EQ(HeapBlockKind(*h), kPageLarge);
    EXPECT_EQ(std::memcmp(*h, "locked", 6), 0);
    EXPECT_EQ(HeapHandleResize(h, 20, kAllocMoveable), h);
    EXPECT_EQ(HeapHandleSize(h), 20);
    EXPECT_EQ(std::memcmp(*h, "locked", 6), 0);
}

TEST_F(Heap, CompactionMakesRoomWithoutANewPage) {
    HeapPool* pool = Pool();
    SetPoolPageSize(pool, 4096);
    // Fill one moveable page with 200-byte handles, then free every other.
    std::vector<RelocatableBlock> hs;
    uint32_t held = 0;
    for (int i = 0; i < 18; ++i) {
        RelocatableBlock h = HeapHandleNew(pool, kAllocMoveable, 200);
        ASSERT_NE(h, nullptr);
        std::memset(*h, i, 200);
        hs.push_back(h);
        if (i == 0) held = PoolBytesHeld(pool);
    }
    ASSERT_EQ(PoolBytesHeld(pool), held);
    RelocatableBlock pinned = hs[9];
    void* pinnedAt = HeapHandleLock(pinned);
    for (int i = 0; i < 18; i += 2) {
        ASSERT_TRUE(HeapHandleDispose(hs[i]));
        hs[i] = nullptr;
    }
    // 800 bytes fit no hole, but the holes behind the unlocked run add up.
    RelocatableBlock big = HeapHandleNew(pool, kAllocMoveable, 800);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(PoolBytesHeld(pool), held);
    EXPECT_EQ(PageOf(*big), PageOf(pinnedAt));
    EXPECT_EQ(*pinned, pinnedAt);
    for (int i = 1; i < 18; i += 2) {
        const uint8_t* p = static_cast<const uint8_t*>(*hs[i]);
        for (int k = 0; k < 200; ++k) ASSERT_EQ(p[k], i) << i;
        EXPECT_EQ(HeapHandleSize(hs[i]), 200);
    }
}

TEST_F(Heap, CompactionEmptiesThePageWithFewestLockedBlocks) {
    HeapPool* pool = Pool();
    SetPoolPageSize(pool, 4096);
    std::vector<RelocatableBlock> first, second;
    for (int i = 0; i < 18; ++i) first.push_back(HeapHandleNew(pool, kAllocMoveable, 200));
    for (int i = 0; i < 18; ++i) second.push_back(HeapHandleNew(pool, kAllocMoveable, 200));
    ASSERT_EQ(PageOf(*first[17]), PageOf(*first[0]));
    ASSERT_NE(PageOf(*second[0]), PageOf(*first[0]));
    uint32_t held = PoolBytesHeld(pool);
    // The first page: every other block locked, the rest freed, so nothing
    // slides. The second: full, its lowest block locked, the rest free to
    // move.
    for (size_t i = 0; i < first.size(); ++i) {
        if (i % 2) HeapHandleLock(first[i]);
        else HeapHandleDispose(first[i]);
    }
    HeapHandleLock(second[0]);
    for (int i = 1; i < 18; ++i) std::memset(*second[i], 'a' + i, 200);
    void* lockedAt = *second[0];
    RelocatableBlock big = HeapHandleNew(pool, kAllocMoveable, 1000);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(PoolBytesHeld(pool), held);
    EXPECT_EQ(PageOf(*big), PageOf(lockedAt));
    EXPECT_EQ(*second[0], lockedAt);
    int moved = 0;
    for (int i = 1; i < 18; ++i) {
        moved += PageOf(*second[i]) == PageOf(*first[1]);
        const uint8_t* p = static_cast<const uint8_t*>(*second[i]);
        for (int k = 0; k < 200; ++k) ASSERT_EQ(p[k], 'a' + i);
    }
    EXPECT_EQ(moved, 9); // into the nine holes of the first page
}

// Random traffic of every block kind against a model of what each block
// must hold; moving blocks and compaction must never lose a byte.
TEST_F(Heap, RandomTrafficKeepsEveryBlockIntact) {
    HeapPool* pool = Pool();
    SetPoolPageSize(pool, 4096);
    SetPoolFloor(pool, 0);
    struct Live {
        void* p = nullptr;
        RelocatableBlock h = nullptr;
        int32_t size = 0;
        uint8_t fill = 0;
        bool locked = false;
    };
    std::vector<Live> live(300);
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    auto bytes = [](const Live& l) {
        return static_cast<const uint8_t*>(l.h ? *l.h : l.p);
    };
    auto check = [&](const Live& l) {
        const uint8_t* b = bytes(l);
        for (int32_t k = 0; k < l.size; ++k)
            if (b[k] != uint8_t(l.fill + k)) return false;
        return true;
    };
    auto fill = [&](Live& l) {
        uint8_t* b = static_cast<uint8_t*>(l.h ? *l.h : l.p);
        for (int32_t k = 0; k < l.size; ++k) b[k] = uint8_t(l.fill + k);
    };
    const int32_t sizes[] = {1, 7, 30, 200, 900, 1100, 3000, 20000};
    for (int step = 0; step < 6000; ++step) {
        Live& l = live[next(uint32_t(live.size()))];
        if (!l.p && !l.h) {
            l.size = int32_t(next(uint32_t(sizes[next(8)]))) + 1;
            l.fill = uint8_t(next(256));
            if (next(2)) l.p = HeapBlockAlloc(pool, l.size, 0);
            else l.h = HeapHandleNew(pool, kAllocMoveable, l.size);
            ASSERT_TRUE(l.p || l.h) << step;
            fill(l);
            continue;
        }
        ASSERT_TRUE(check(l)) << "step " << step;
        switch (next(4)) {
        case 0: // free
            if (l.h) {
                ASSERT_TRUE(HeapHandleDispose(l.h));
            } else {
                ASSERT_TRUE(HeapBlockFree(l.p));
            }
            l = Live{};
            break;
        case 1: { // resize
            int32_t n = int32_t(next(uint32_t(sizes[next(8)]))) + 1;
            if (l.h) {
                ASSERT_EQ(HeapHandleResize(l.h, n, l.locked ? uint32_t(kAllocMoveable) : 0u), l.h);
            } else {
                l.p = HeapBlockRealloc(l.p, n, 0);
                ASSERT_NE(l.p, nullptr);
            }
            int32_t kept = std::min(n, l.size);
            l.size = kept;
            ASSERT_TRUE(check(l)) << "step " << step;
            l.size = n;
            fill(l);
            break;
        }
        case 2: // lock or unlock
            if (l.h) {
                if (l.locked) HeapHandleRelease(l.h);
                else HeapHandleLock(l.h);
                l.locked = !l.locked;
            }
            break;
        default: break;
        }
    }
    for (Live& l : live) {
        if (!l.p && !l.h) continue;
        ASSERT_TRUE(check(l));
        if (l.h) {
            EXPECT_EQ(HeapHandleSize(l.h), l.size);
            EXPECT_TRUE(HeapHandleDispose(l.h));
        } else {
            EXPECT_GE(HeapBlockSize(l.p), l.size);
            EXPECT_TRUE(HeapBlockFree(l.p));
        }
    }
    EXPECT_TRUE(HeapErrorsSeen().empty());
    // Every medium page went back (floor 0); small pages stay.
    HeapPoolInfoRecord info{};
    HeapPoolInfo(pool, nullptr, &info);
    EXPECT_EQ(info.kinds & 2u, 0u);
}

TEST_F(Heap, ErrorTexts) {
    EXPECT_STREQ(HeapErrorText(2), "Out of memory.  Please free some memory, then choose retry.");
    EXPECT_STREQ(HeapErrorText(7), "MEM_EXCEEDED_CEILING");
    EXPECT_STREQ(HeapErrorText(13), "MEM_BAD_HANDLE");
    EXPECT_STREQ(HeapErrorText(14), "MEM_BAD_POINTER");
    for (int32_t code : {0, 1, 15}) EXPECT_STREQ(HeapErrorText(code), "MEM_INTERNAL_ERROR");
    EXPECT_EQ(SetHeapErrorHandler(&SilentHeapErrorHandler), &RecordingHeapErrorHandler);
    EXPECT_EQ(HeapError(nullptr, 4), 0);
}

TEST_F(Heap, HandleSlotsArePreallocated) {
    HeapPool* pool = Pool();
    EXPECT_EQ(PreallocateHandleSlots(pool, 100), int32_t(4096 - 16));
    EXPECT_EQ(PreallocateHandleSlots(pool, 100), 0);
    EXPECT_EQ(PreallocatePoolBytes(pool, 0x8000, 4), 0x8000);
    EXPECT_EQ(PreallocatePoolBytes(pool, 1, 2), 0x4000);
    HeapPoolInfoRecord info{};
    HeapPoolInfo(pool, nullptr, &info);
    EXPECT_EQ(info.kinds, 6u);
}

// Hundreds of regions enter and leave the registry in a random order; every
// block still held is found and every returned one is refused untouched.
TEST_F(Heap, ManyRegionsComeAndGo) {
    HeapPool* pool = Pool();
    SetPoolFloor(pool, 0);
    std::vector<uint8_t*> held;
    for (int i = 0; i < 700; ++i) {
        uint8_t* p = static_cast<uint8_t*>(HeapBlockAlloc(pool, 5000 + i, 0));
        ASSERT_NE(p, nullptr);
        p[0] = uint8_t(i);
        held.push_back(p);
    }
    uint32_t seed = 777;
    for (int round = 0; !held.empty(); ++round) {
        seed = seed * 1103515245u + 12345u;
        size_t k = (seed >> 8) % held.size();
        uint8_t* gone = held[k];
        held.erase(held.begin() + long(k));
        ASSERT_TRUE(HeapBlockFree(gone));
        HeapErrorsSeen().clear();
        EXPECT_EQ(HeapBlockSize(gone), -1);
        EXPECT_EQ(LastError(), kHeapErrBadPointer);
        if (round % 50 == 0) {
            for (uint8_t* p : held)
                ASSERT_GT(HeapBlockSize(p), 5000) << round;
        }
    }
    EXPECT_EQ(PoolBytesHeld(pool), uint32_t(kVmPageBytes));
}

// A large block grown step by step moves only when it outgrows a
// reservation that doubles each time; it keeps its bytes, and the pool
// counts only what is committed.
TEST_F(Heap, GrowingLargeBlocksMoveRarely) {
    HeapPool* pool = Pool();
    uint32_t start = PoolBytesHeld(pool);
    uint8_t* p = static_cast<uint8_t*>(HeapBlockAlloc(pool, 5000, 0));
    RelocatableBlock h = HeapHandleNew(pool, kAllocMoveable, 5000);
    ASSERT_TRUE(p && h);
    int32_t moves = 0;
    int32_t handleMoves = 0;
    int32_t n = 5000;
    for (; n <= (4 << 20); n += 4096) {
        void* before = p;
        void* handleBefore = *h;
        p = static_cast<uint8_t*>(HeapBlockRealloc(p, n, 0));
        ASSERT_NE(p, nullptr) << n;
        ASSERT_EQ(HeapHandleResize(h, n, 0), h) << n;
        moves += p != before;
        handleMoves += *h != handleBefore;
        p[n - 1] = uint8_t(n / 4096);
        static_cast<uint8_t*>(*h)[n - 1] = uint8_t(n / 4096 + 1);
    }
    EXPECT_LE(moves, 8);
    EXPECT_LE(handleMoves, 8);
    for (int32_t m = 5000 + 4096; m < n; m += 4096) {
        ASSERT_EQ(p[m - 4097], uint8_t((m - 4096) / 4096)) << m;
        ASSERT_EQ(static_cast<uint8_t*>(*h)[m - 4097], uint8_t((m - 4096) / 4096 + 1)) << m;
    }
    int32_t last = n - 4096;
    uint32_t run = (uint32_t(last) + 32 + 4095) / 4096 * 4096; // each block's run
    EXPECT_EQ(PoolBytesHeld(pool), start + 2 * run);
    EXPECT_TRUE(HeapBlockFree(p));
    EXPECT_TRUE(HeapHandleDispose(h));
    EXPECT_TRUE(HeapErrorsSeen().empty());
}

#if defined(__SANITIZE_ADDRESS__)
TEST(HeapPoisoning, OverflowOfAPoolBlockIsReported) {
    EXPECT_DEATH(
        {
            HeapPool* pool = NewHeapPool(kPoolStandard);
            volatile uint8_t* p = static_cast<uint8_t*>(HeapBlockAlloc(pool, 16, 0));
            p[23] = 1; // one past the 23 usable bytes
        },
        "use-after-poison");
    EXPECT_DEATH(
        {
            volatile uint8_t* p = static_cast<uint8_t*>(NewPointerBlockClear(nullptr, 40));
            p[40] = 1; // one past the requested size
        },
        "use-after-poison");
    EXPECT_DEATH(
        {
            HeapPool* pool = NewHeapPool(kPoolStandard);
            volatile uint8_t* p = static_cast<uint8_t*>(HeapBlockAlloc(pool, 1000, 0));
            HeapBlockFree(const_cast<uint8_t*>(p));
            p[0] = 1; // freed
        },
        "use-after-poison");
}
#endif

} // namespace
