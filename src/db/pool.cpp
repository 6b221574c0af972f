// Pools carve zero-filled pieces out of chunks taken from the toolbox's
// pointer blocks; tagged blocks carry a header with their pool's tag, their
// size and the links of the pool's live or freed list.
//
// A tagged header holds two pointer-sized links: 24 bytes here, where the
// classic layout had 12 with 32-bit links. The accepted sizes stay as they
// were (pieces 1..65,408, tagged blocks 1..65,396); a chunk has 12 more
// usable bytes so that the largest tagged block still fits in one chunk.
#include "db/pool.h"

#include <cstring>

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
constexpr uint16_t kLiveTag = 0x1234;
constexpr uint16_t kFreedTag = 0x4321;

static_assert(kChunkArea == kPoolMaxTagged + kTagHeader, "a chunk holds the largest tagged block");
static_assert(kChunkArea >= kPoolChunkUsable, "a chunk holds the largest piece");

// ---- tagged headers: tag (16), size (16), spare (32), prev, next ----------

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

// ---- pools ------------------------------------------------------------------

struct PoolDesc {
    uint8_t* current;
    int32_t remaining;
    ErrCode owner;
    alignas(8) uint8_t live[kTagHeader];
    uint16_t liveTotal;
    int32_t liveCount;
    alignas(8) uint8_t freed[kTagHeader]; // its size field caches the largest
    int32_t freedCount;
    uint8_t* chunks;
};

struct PoolState {
    bool initialised = false;
    PoolDesc* pools = nullptr; // kPoolCount + 1 entries, 0 unused
    uint8_t* cache[kMaxCachedChunks] = {};
    int32_t cached = 0;
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
    ListInit(d.freed, uint16_t(kFreedTag + pool));
    d.freedCount = 0;
    d.chunks = nullptr;
}

uint8_t* TakeChunk() {
    if (s.cached > 0) {
        ++s.inUse;
        return s.cache[--s.cached];
    }
    if (s.chunkLimit >= 0 && s.inUse >= s.chunkLimit) return nullptr;
    uint8_t* c = static_cast<uint8_t*>(NewPointerBlockClear(nullptr, kChunkAlloc));
    if (c) ++s.inUse;
    return c;
}

void ReleaseChunk(uint8_t* c) {
    --s.inUse;
    if (s.cached < kMaxCachedChunks)
        s.cache[s.cached++] = c;
    else
        FreeHeapBlock(c);
}

// Puts a freed block on the pool's freed list, largest first.
void FreedInsert(PoolDesc& d, uint8_t* h, int32_t pool) {
    SetTag(h, uint16_t(kFreedTag + pool));
    uint8_t* at = d.freed;
    while (Next(at) != d.freed && Size(Next(at)) >= Size(h))
        at = Next(at);
    ListInsertAfter(at, h);
    ++d.freedCount;
    SetSize(d.freed, Size(Next(d.freed)));
}

uint8_t* AllocRaw(int32_t pool, int32_t n, ErrCode code) {
    PoolDesc& d = s.pools[pool];
    if (d.remaining < n) {
        if (d.remaining > kLeftoverMin) {
            uint8_t* h = d.current;
            SetSize(h, uint16_t(d.remaining - kTagHeader));
            FreedInsert(d, h, pool);
        }
        d.current = nullptr;
        d.remaining = 0;
        if (d.freedCount > 0 && Size(d.freed) + kTagHeader >= n) {
            uint8_t* h = Next(d.freed);
            ListRemove(h);
            --d.freedCount;
            SetSize(d.freed, d.freedCount ? Size(Next(d.freed)) : 0);
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
    uint8_t* piece = d.current;
    d.current += n;
    d.remaining -= n;
    std::memset(piece, 0, size_t(n));
    return piece;
}

int32_t Round4(int32_t n) {
    return (n + 3) & ~3;
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
    return int64_t(avail) + int64_t(kPoolChunkBytes) * s.cached;
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
int32_t PoolLiveCount(int32_t pool) {
    return s.initialised && pool >= 1 && pool <= kPoolCount ? s.pools[pool].liveCount : 0;
}
int32_t PoolFreedCount(int32_t pool) {
    return s.initialised && pool >= 1 && pool <= kPoolCount ? s.pools[pool].freedCount : 0;
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
    s = PoolState();
}
