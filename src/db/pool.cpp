// Pools carve zero-filled pieces out of chunks taken from the toolbox's
// pointer blocks; tagged blocks carry a header with their pool's tag, their
// size and two links.
//
// A tagged header holds two pointer-sized links: 24 bytes here, where the
// classic layout had 12 with 32-bit links. The accepted sizes stay as they
// were (pieces 1..65,408, tagged blocks 1..65,396); a chunk has 12 more
// usable bytes so that the largest tagged block still fits in one chunk.
//
// A live tagged block sits on its pool's circular live list (the links are
// previous and next). A freed block of up to 1,020 bytes sits in the bucket
// of its exact size, a stack, with a bitmap of the buckets in use; a larger
// one sits in the pool's freed heap: a pairing heap ordered by size, largest
// at the root, whose links are the first child and the next sibling. The
// largest freed block is the heap's root, or with an empty heap the top of
// the highest bucket. Freeing a block costs O(1) and taking the largest
// O(1) from a bucket or O(log n) amortised from the heap, however many
// blocks were freed; among blocks of equal size the one taken is any of
// them.
//
// A chunk released while the cache is full is not given back to the
// toolbox either: it waits on a spare list for the rest of the run, so that
// pools emptied and refilled over and over (once per routing attempt) take
// their chunks from there instead of mapping and unmapping memory each time.
// Spare chunks count as toolbox memory for the test cap on chunks.
//
// A piece whose rounded size is a multiple of 8 (anything that may hold a
// pointer or a double) starts on an 8-byte boundary; other pieces are only
// 4-byte aligned, and the 4 bytes skipped for alignment stay unused.
#include "db/pool.h"

#include <cstring>
#include <utility>

#include "db/memstat.h"
#include "db/shellsvc.h"
#include "toolbox/core/memblock.h"

namespace {

constexpr int32_t kTagHeader = kPoolTagHeader;
constexpr int32_t kChunkLink = 8;
constexpr int32_t kChunkArea = kPoolChunkArea;
constexpr int32_t kChunkAlloc = kChunkLink + kChunkArea;
constexpr int32_t kMaxCachedChunks = 4;
constexpr int32_t kLeftoverMin = 28; // a larger remainder becomes a freed block
constexpr int32_t kPieceGrain = 4;   // sizes round up to this
constexpr uintptr_t kWideAlign = 8;  // pieces of a multiple of 8 bytes start here
constexpr uint16_t kLiveTag = 0x1234;
constexpr uint16_t kFreedTag = 0x4321;

static_assert(kChunkArea == kPoolMaxTagged + kTagHeader, "a chunk holds the largest tagged block");
static_assert(kChunkArea >= kPoolChunkUsable, "a chunk holds the largest piece");

// ---- tagged headers: tag (16), size (16), spare (32), prev, next ----------
// In the freed heap the two links are the first child and the next sibling.

uint16_t Tag(const uint8_t* h) {
    uint16_t v;
    std::memcpy(&v, h, 2);
    return v;
}
void SetTag(uint8_t* h, uint16_t v) {
    std::memcpy(h, &v, 2);
}
uint16_t Size(const uint8_t* h) {
    uint16_t v;
    std::memcpy(&v, h + 2, 2);
    return v;
}
void SetSize(uint8_t* h, uint16_t v) {
    std::memcpy(h + 2, &v, 2);
}
uint8_t* Prev(const uint8_t* h) {
    uint8_t* p;
    std::memcpy(&p, h + 8, sizeof p);
    return p;
}
void SetPrev(uint8_t* h, uint8_t* p) {
    std::memcpy(h + 8, &p, sizeof p);
}
uint8_t* Next(const uint8_t* h) {
    uint8_t* p;
    std::memcpy(&p, h + 16, sizeof p);
    return p;
}
void SetNext(uint8_t* h, uint8_t* p) {
    std::memcpy(h + 16, &p, sizeof p);
}

void ListInit(uint8_t* head, uint16_t tag) {
    SetTag(head, tag);
    SetSize(head, 0);
    SetPrev(head, head);
    SetNext(head, head);
}
void ListInsertAfter(uint8_t* at, uint8_t* h) {
    uint8_t* next = Next(at);
    SetPrev(h, at);
    SetNext(h, next);
    SetNext(at, h);
    SetPrev(next, h);
}
void ListRemove(uint8_t* h) {
    uint8_t* prev = Prev(h);
    uint8_t* next = Next(h);
    SetNext(prev, next);
    SetPrev(next, prev);
}

// ---- the freed heap ---------------------------------------------------------

uint8_t* Child(const uint8_t* h) {
    return Prev(h);
}
void SetChild(uint8_t* h, uint8_t* c) {
    SetPrev(h, c);
}

// Joins two heaps; the larger root stays on top and the other becomes its
// first child. Returns the new root, whose sibling link is left as it was.
uint8_t* HeapMeld(uint8_t* a, uint8_t* b) {
    if (!a) return b;
    if (!b) return a;
    if (Size(b) > Size(a)) std::swap(a, b);
    SetNext(b, Child(a));
    SetChild(a, b);
    return a;
}

// Joins the sibling list of a removed root's children two by two from the
// left, then the pairs from the right: the usual two-pass pairing.
uint8_t* HeapMergePairs(uint8_t* first) {
    uint8_t* pairs = nullptr; // pairs made so far, newest first
    while (first) {
        uint8_t* a = first;
        uint8_t* b = Next(a);
        if (!b) {
            SetNext(a, pairs);
            pairs = a;
            break;
        }
        first = Next(b);
        uint8_t* m = HeapMeld(a, b);
        SetNext(m, pairs);
        pairs = m;
    }
    uint8_t* root = nullptr;
    while (pairs) {
        uint8_t* next = Next(pairs);
        root = HeapMeld(root, pairs);
        pairs = next;
    }
    if (root) SetNext(root, nullptr);
    return root;
}

// ---- pools ------------------------------------------------------------------

// Freed blocks of up to kBucketMaxBytes bytes are kept by exact size.
constexpr int32_t kBucketMaxBytes = 1020;
constexpr int32_t kBucketCount = kBucketMaxBytes / kPieceGrain + 1;
constexpr int32_t kBucketWordBits = 64;
constexpr int32_t kBucketWords = (kBucketCount + kBucketWordBits - 1) / kBucketWordBits;

struct PoolDesc {
    uint8_t* current;
    int32_t remaining;
    ErrCode owner;
    alignas(8) uint8_t live[kTagHeader];
    uint16_t liveTotal;
    int32_t liveCount;
    uint8_t* freedRoot;                // the freed heap, largest block on top
    uint16_t freedLargest;             // size of the largest freed block, 0 when none
    uint8_t* buckets[kBucketCount];    // stacks of freed blocks by size / 4
    uint64_t bucketBits[kBucketWords]; // bit b set: bucket b is not empty
    int32_t freedCount;
    uint8_t* chunks;
};

struct PoolState {
    bool initialised = false;
    PoolDesc* pools = nullptr; // kPoolCount + 1 entries, 0 unused
    uint8_t* cache[kMaxCachedChunks] = {};
    int32_t cached = 0;
    uint8_t* spare = nullptr; // chunks past the cache, linked through their link field
    int32_t spareCount = 0;
    int32_t inUse = 0;
    int32_t chunkLimit = -1;
    void* scratch[kScratchDepth] = {};
    int32_t scratchAllocated = 0;
    int32_t scratchDepth = 0;
};
PoolState s;

struct FixedOwner {
    int32_t pool;
    ErrCode owner;
};
const FixedOwner kFixedOwners[] = {{1, 37480}, {2, 37481},  {4, 37482},  {6, 37484},
                                   {9, 37486}, {10, 37487}, {11, 37488}, {13, 37490}};

void EnsureInit() {
    if (!s.initialised) PoolInit();
}

void ResetDesc(PoolDesc& d, int32_t pool) {
    d.current = nullptr;
    d.remaining = 0;
    ListInit(d.live, uint16_t(kLiveTag + pool));
    d.liveTotal = 0;
    d.liveCount = 0;
    d.freedRoot = nullptr;
    d.freedLargest = 0;
    std::memset(d.buckets, 0, sizeof d.buckets);
    std::memset(d.bucketBits, 0, sizeof d.bucketBits);
    d.freedCount = 0;
    d.chunks = nullptr;
}

uint8_t* TakeChunk() {
    if (s.cached > 0) {
        ++s.inUse;
        return s.cache[--s.cached];
    }
    if (s.chunkLimit >= 0 && s.inUse >= s.chunkLimit) return nullptr;
    if (uint8_t* c = s.spare) {
        std::memcpy(&s.spare, c, sizeof s.spare);
        --s.spareCount;
        ++s.inUse;
        return c;
    }
    uint8_t* c = static_cast<uint8_t*>(NewPointerBlockClear(nullptr, kChunkAlloc));
    if (c) ++s.inUse;
    return c;
}

void ReleaseChunk(uint8_t* c) {
    --s.inUse;
    if (s.cached < kMaxCachedChunks) {
        s.cache[s.cached++] = c;
        return;
    }
    std::memcpy(c, &s.spare, sizeof s.spare);
    s.spare = c;
    ++s.spareCount;
}

// The highest bucket in use, -1 when all are empty.
int32_t TopBucket(const PoolDesc& d) {
    for (int32_t w = kBucketWords - 1; w >= 0; --w)
        if (d.bucketBits[w])
            return w * kBucketWordBits + (kBucketWordBits - 1 - __builtin_clzll(d.bucketBits[w]));
    return -1;
}

// The largest freed block, left where it is; null when none.
uint8_t* FreedLargest(const PoolDesc& d) {
    if (d.freedRoot) return d.freedRoot;
    int32_t b = TopBucket(d);
    return b < 0 ? nullptr : d.buckets[b];
}

void NoteLargest(PoolDesc& d) {
    uint8_t* h = FreedLargest(d);
    d.freedLargest = h ? Size(h) : 0;
}

// Puts a freed block in its bucket or in the pool's freed heap.
void FreedInsert(PoolDesc& d, uint8_t* h, int32_t pool) {
    SetTag(h, uint16_t(kFreedTag + pool));
    SetChild(h, nullptr);
    if (Size(h) <= kBucketMaxBytes) {
        int32_t b = Size(h) / kPieceGrain;
        SetNext(h, d.buckets[b]);
        d.buckets[b] = h;
        d.bucketBits[b / kBucketWordBits] |= uint64_t(1) << (b % kBucketWordBits);
    } else {
        SetNext(h, nullptr);
        d.freedRoot = HeapMeld(d.freedRoot, h);
        SetNext(d.freedRoot, nullptr);
    }
    if (Size(h) > d.freedLargest) d.freedLargest = Size(h);
    ++d.freedCount;
}

// Takes the largest freed block out.
uint8_t* FreedTakeLargest(PoolDesc& d) {
    uint8_t* h = d.freedRoot;
    if (h) {
        d.freedRoot = HeapMergePairs(Child(h));
    } else {
        int32_t b = TopBucket(d);
        h = d.buckets[b];
        d.buckets[b] = Next(h);
        if (!d.buckets[b])
            d.bucketBits[b / kBucketWordBits] &= ~(uint64_t(1) << (b % kBucketWordBits));
    }
    --d.freedCount;
    NoteLargest(d);
    return h;
}

// Bytes skipped before a piece of n bytes cut at `at`.
int32_t PadFor(const uint8_t* at, int32_t n) {
    if (n % int32_t(kWideAlign) != 0) return 0;
    return int32_t((kWideAlign - (uintptr_t(at) & (kWideAlign - 1))) & (kWideAlign - 1));
}

uint8_t* AllocRaw(int32_t pool, int32_t n, ErrCode code) {
    PoolDesc& d = s.pools[pool];
    if (d.remaining < n + PadFor(d.current, n)) {
        if (d.remaining > kLeftoverMin) {
            uint8_t* h = d.current;
            SetSize(h, uint16_t(d.remaining - kTagHeader));
            FreedInsert(d, h, pool);
        }
        d.current = nullptr;
        d.remaining = 0;
        if (d.freedCount > 0 && d.freedLargest + kTagHeader >= n + PadFor(FreedLargest(d), n)) {
            uint8_t* h = FreedTakeLargest(d);
            d.current = h;
            d.remaining = Size(h) + kTagHeader;
        } else {
            uint8_t* c = TakeChunk();
            if (!c) {
                if (code != 0) FatalErrorAlert(code, "No more memory available");
                return nullptr;
            }
            std::memcpy(c, &d.chunks, sizeof d.chunks);
            d.chunks = c;
            d.current = c + kChunkLink;
            d.remaining = kChunkArea;
        }
    }
    int32_t pad = PadFor(d.current, n);
    uint8_t* piece = d.current + pad;
    d.current += pad + n;
    d.remaining -= pad + n;
    std::memset(piece, 0, size_t(n));
    return piece;
}

int32_t Round4(int32_t n) {
    return (n + kPieceGrain - 1) & ~(kPieceGrain - 1);
}

void CheckPool(int32_t pool, ErrCode code) {
    if (pool < 1 || pool > kPoolCount) ErrReport(code, pool);
}

uint8_t* NewTagged(int32_t size, int32_t pool, ErrCode code) {
    int32_t rounded = Round4(size);
    uint8_t* h = AllocRaw(pool, rounded + kTagHeader, code);
    if (!h) return nullptr;
    PoolDesc& d = s.pools[pool];
    SetTag(h, uint16_t(kLiveTag + pool));
    SetSize(h, uint16_t(rounded));
    ListInsertAfter(d.live, h);
    d.liveTotal = uint16_t(d.liveTotal + rounded);
    ++d.liveCount;
    return h;
}

void FreeTagged(uint8_t* h, int32_t pool) {
    PoolDesc& d = s.pools[pool];
    ListRemove(h);
    d.liveTotal = uint16_t(d.liveTotal - Size(h));
    --d.liveCount;
    FreedInsert(d, h, pool);
}

} // namespace

int32_t PoolInit() {
    if (s.initialised) ErrReport(37401, 0);
    s.pools = static_cast<PoolDesc*>(
        NewPointerBlockClear(nullptr, int32_t(sizeof(PoolDesc)) * (kPoolCount + 1)));
    if (!s.pools) return 0;
    for (int32_t p = 0; p <= kPoolCount; ++p) {
        ResetDesc(s.pools[p], p);
        s.pools[p].owner = 0;
    }
    for (const FixedOwner& f : kFixedOwners)
        s.pools[f.pool].owner = f.owner;
    s.initialised = true;
    return 1;
}

int32_t PoolOpen(ErrCode owner) {
    EnsureInit();
    for (int32_t p = 1; p <= kPoolCount; ++p)
        if (s.pools[p].owner == owner) ErrReport(owner, 1);
    for (int32_t p = 1; p <= kPoolCount; ++p)
        if (s.pools[p].owner == 0) {
            s.pools[p].owner = owner;
            return p;
        }
    ErrReport(owner, 2);
}

int32_t PoolClaim(ErrCode owner) {
    EnsureInit();
    for (int32_t p = kPoolCount; p >= 1; --p)
        if (s.pools[p].owner == 0) {
            s.pools[p].owner = owner;
            return p;
        }
    if (g_debug) DebugHook();
    ErrReport(owner, 2);
}

void PoolClose(int32_t pool) {
    EnsureInit();
    CheckPool(pool, 37463);
    if (s.pools[pool].owner == 0) ErrReport(37464, pool);
    PoolReset(pool);
    s.pools[pool].owner = 0;
}

void PoolReset(int32_t pool) {
    EnsureInit();
    CheckPool(pool, 37463);
    PoolDesc& d = s.pools[pool];
    uint8_t* c = d.chunks;
    while (c) {
        uint8_t* next;
        std::memcpy(&next, c, sizeof next);
        ReleaseChunk(c);
        c = next;
    }
    ErrCode owner = d.owner;
    ResetDesc(d, pool);
    d.owner = owner;
}

void* PoolAlloc(int32_t size, int32_t pool, ErrCode code) {
    EnsureInit();
    if (size < 1 || size > kPoolChunkUsable) ErrReport(20425, size);
    CheckPool(pool, 20430);
    return AllocRaw(pool, Round4(size), code);
}

void* PoolNewPtr(int32_t size, int32_t pool, ErrCode code) {
    EnsureInit();
    if (size < 1 || size > kPoolMaxTagged) ErrReport(20480, size);
    CheckPool(pool, 20430);
    uint8_t* h = NewTagged(size, pool, code);
    return h ? h + kTagHeader : nullptr;
}

void PoolFreePtr(void* block) {
    EnsureInit();
    uint8_t* h = static_cast<uint8_t*>(block) - kTagHeader;
    int32_t pool = int32_t(Tag(h)) - kLiveTag;
    if (pool < 2 || pool > kPoolCount) ErrReport(20483, Tag(h));
    FreeTagged(h, pool);
}

void* PoolResizePtr(void* block, int32_t size, int32_t pool, ErrCode code) {
    EnsureInit();
    if (size < 1 || size > kPoolMaxTagged) ErrReport(20486, size);
    CheckPool(pool, 20430);
    uint8_t* old = static_cast<uint8_t*>(block) - kTagHeader;
    if (Tag(old) != uint16_t(kLiveTag + pool)) ErrReport(20488, Tag(old));
    uint8_t* h = NewTagged(size, pool, code);
    if (!h) return nullptr;
    int32_t keep = Size(old) < Size(h) ? Size(old) : Size(h);
    std::memcpy(h + kTagHeader, old + kTagHeader, size_t(keep));
    FreeTagged(old, pool);
    return h + kTagHeader;
}

int64_t MemAvailable() {
    MemStatus m;
    MemStatusRead(&m);
    uint64_t avail = m.availPhys > m.availPageFile / 2 ? m.availPhys : m.availPageFile / 2;
    if (avail > 0xFFFFFFFFull) avail = 0xFFFFFFFFull;
    return int64_t(avail) + int64_t(kPoolChunkBytes) * (s.cached + s.spareCount);
}

void* ScratchPush() {
    EnsureInit();
    if (s.scratchDepth >= kScratchDepth) ErrReport(20481, s.scratchDepth);
    if (s.scratchDepth == s.scratchAllocated) {
        s.scratch[s.scratchAllocated] = PoolNewPtr(kScratchRecordBytes, kPoolScratch, 20494);
        ++s.scratchAllocated;
    }
    return s.scratch[s.scratchDepth++];
}

void ScratchPop(void* record) {
    if (s.scratchDepth == 0 || s.scratch[s.scratchDepth - 1] != record)
        ErrReport(20496, s.scratchDepth);
    --s.scratchDepth;
}

ErrCode PoolOwner(int32_t pool) {
    if (!s.initialised || pool < 1 || pool > kPoolCount) return 0;
    return s.pools[pool].owner;
}

int32_t PoolChunksInUse() {
    return s.inUse;
}
int32_t PoolChunksCached() {
    return s.cached;
}
int32_t PoolChunksSpare() {
    return s.spareCount;
}
int32_t PoolLiveCount(int32_t pool) {
    return s.initialised && pool >= 1 && pool <= kPoolCount ? s.pools[pool].liveCount : 0;
}
int32_t PoolFreedCount(int32_t pool) {
    return s.initialised && pool >= 1 && pool <= kPoolCount ? s.pools[pool].freedCount : 0;
}
void ScratchUnwind(int32_t depth) {
    if (depth >= 0 && depth < s.scratchDepth) s.scratchDepth = depth;
}

int32_t ScratchDepth() {
    return s.scratchDepth;
}

void PoolSetChunkLimit(int32_t chunks) {
    s.chunkLimit = chunks;
}

void PoolTestReset() {
    if (s.initialised) {
        for (int32_t p = 1; p <= kPoolCount; ++p) {
            uint8_t* c = s.pools[p].chunks;
            while (c) {
                uint8_t* next;
                std::memcpy(&next, c, sizeof next);
                FreeHeapBlock(c);
                c = next;
            }
        }
        FreeHeapBlock(s.pools);
    }
    for (int32_t i = 0; i < s.cached; ++i)
        FreeHeapBlock(s.cache[i]);
    while (uint8_t* c = s.spare) {
        std::memcpy(&s.spare, c, sizeof s.spare);
        FreeHeapBlock(c);
    }
    s = PoolState();
}
