// The heap allocator. Every page starts at a 64-KB-aligned address, so the
// page of a block is found by clearing the low 16 bits of its address. The
// pools keep a registry of the regions they own, a hash table keyed by the
// region's base, and an address is looked up there before anything at it is
// read, so a foreign address or a garbage handle is reported without being
// touched. Looking up, adding and removing a region cost O(1).
//
// The search for a medium block starts at the page where the last block of
// that kind was placed and goes once round the ring, so its cost follows
// the pages that are skipped, not how many pages the pool holds.
//
// A large block that has to move because it outgrows its reservation gets a
// reservation twice the size it needs (address space only; the bytes held
// count what is committed), so a block grown step by step is moved a
// logarithmic number of times and otherwise grows in place.
//
// Under AddressSanitizer the allocator poisons page headers, block headers,
// free space and slack, and unpoisons exactly the usable bytes of each live
// block. Its own code reads the poisoned bookkeeping, so every function of
// this file is built without address instrumentation; bytes are copied and
// filled with the library routines only where both sides are unpoisoned.
#include "toolbox/core/heap.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <vector>

#include "toolbox/core/vmem.h"

#include "toolbox/core/asanpoison.h"

#define HEAP_POISON PLV_POISON
#define HEAP_UNPOISON PLV_UNPOISON
#define RAW PLV_NO_ASAN

struct PageDescriptor;

namespace {

constexpr uint16_t kPoolSignature = 0xBEAD;
constexpr uint16_t kPageSignature = 0xCAD0;
constexpr uint32_t kRegion = kVmRegionBytes;
constexpr uint32_t kGranule = kVmPageBytes;
constexpr uint32_t kLargeHeader = 32;
constexpr uint32_t kPageHeader = 64;
constexpr uint32_t kMediumFirst = kPageHeader + 6; // block data lands on 8 bytes
constexpr uint32_t kMediumPageCap = 0x8000;        // the 13-bit size field's reach
constexpr uint32_t kSmallFirst = kPageHeader + 7;
constexpr uint32_t kSmallPageBytes = 0x10000;
constexpr int kClassCount = 126;
constexpr uint32_t kSlotTableHeader = 16;
constexpr uint32_t kSlotPtr = sizeof(void*); // slot address stored after a handle block
constexpr uint32_t kNoCeiling = 0xFFFFFFFEu;

// Medium block header bits.
constexpr uint16_t kInUse = 0x0001;
constexpr uint16_t kPrevInUse = 0x0002;
constexpr uint16_t kHandleBlock = 0x8000;
constexpr uint16_t kSizeMask = 0x7FFC;

// Descriptor flag bits.
constexpr uint16_t kLockedMask = 0x0FFF;
constexpr uint16_t kNoRoom = 0x8000;

constexpr uint32_t kLargeMoveable = 0x80000000u;
constexpr uint64_t kLargeRunMax = 0x7FFFF000u;        // the largest run of a large block
constexpr uint64_t kLargeReserveMax = 0x100000000ull; // spare reservations stop here

} // namespace

struct PageHeader {
    HeapPool* pool;
    PageDescriptor* desc;
    HandleSlot* slot; // large page: the slot of its relocatable block
    uint16_t inUse;
    uint16_t signature; // 0xCAD0 | kind
    uint32_t run;       // large page: committed 4-KB units, top bit moveable
    // Pages other than large ones.
    uint8_t* freeList; // fixed page: first free record
    uint32_t areaNext; // fixed and small pages: next unused offset
    uint32_t areaEnd;
    uint16_t rover; // medium page: offset of a free block, 0 when none
    uint16_t splitThreshold;
    uint32_t pageBytes;
};
static_assert(offsetof(PageHeader, freeList) == kLargeHeader, "large header is 32 bytes");
static_assert(sizeof(PageHeader) <= kPageHeader, "page header fits");

struct PageDescriptor {
    uint16_t largestFree; // fixed pages: nonzero while a record is free
    uint16_t flags;       // locked count, kind << 12, no-room mark
    uint32_t pageBytes;   // committed bytes
    PageHeader* page;
    PageDescriptor* next;
    PageDescriptor* prev;
};

struct SlotTable {
    SlotTable* prev;
    uint32_t committed;
    uint32_t used;
};
static_assert(sizeof(SlotTable) <= kSlotTableHeader, "slot table header");
static_assert(sizeof(HandleSlot) == 16, "slot size");

struct HeapPool {
    PageDescriptor* rings[5];
    PageDescriptor* freeDescriptors;
    HandleSlot* freeSlots;
    SlotTable* slotTables;
    uint16_t signature;
    uint16_t options;
    uint16_t fixedSize;
    uint16_t smallThreshold;
    uint16_t pageSize;
    uint16_t largeThreshold;
    uint32_t bytesHeld;
    uint32_t floor;
    uint32_t ceiling;
    uint32_t zero[2];
    HeapPool* next;
    HeapPool** list;
    PlatformLock lock;
    int32_t lockCount;
    uint8_t* classHeads[kClassCount];
    PageHeader* currentSmall;
    uint8_t* descBlocks; // chain of descriptor blocks (first word links)
    uint8_t* spareNext;
    uint8_t* spareCommitted;
    uint8_t* spareEnd;
};

namespace {

// ---------------------------------------------------------------- globals

struct RegionEntry {
    uintptr_t base; // 0: an empty cell of the table
    uintptr_t size;
    HeapPool* pool;
    bool slots; // a slot table rather than a page
};

// The region registry: open addressing with linear probing over a table
// whose size is a power of two and at most half full; removal shifts the
// following cells back, so no tombstones build up.
struct RegionTable {
    std::vector<RegionEntry> cells;
    size_t used = 0;
};
constexpr size_t kRegionTableStart = 256;

RegionTable& Regions() {
    static RegionTable table;
    return table;
}

inline size_t RegionSlot(uintptr_t base, size_t mask) {
    uint64_t key = uint64_t(base) / kVmRegionBytes;
    return size_t((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
}

struct Locks {
    PlatformLock process;
    PlatformLock handles;
    int32_t handleDepth = 0;
    Locks() {
        PlatformLockInit(&process);
        PlatformLockInit(&handles);
    }
};
Locks& GlobalLocks() {
    static Locks locks;
    return locks;
}

HeapPool* g_pools = nullptr;
HeapPool* g_defaultPool = nullptr;
HeapErrorHandler g_handler = &HeapErrorDefaultHandler;
void* g_reserveHint = nullptr;
HandleSlot* g_pinnedSlot = nullptr; // a block being resized: compaction leaves it

struct ThreadDepth {
    uint32_t thread;
    int32_t depth;
};
ThreadDepth g_threadDepths[25];
bool g_toldRecursion = false;
bool g_toldThreads = false;

class ProcessGuard {
  public:
    ProcessGuard() { PlatformLockEnter(&GlobalLocks().process); }
    ~ProcessGuard() { PlatformLockLeave(&GlobalLocks().process); }
};

class HandleGuard {
  public:
    HandleGuard() {
        PlatformLockEnter(&GlobalLocks().handles);
        ++GlobalLocks().handleDepth;
    }
    ~HandleGuard() {
        --GlobalLocks().handleDepth;
        PlatformLockLeave(&GlobalLocks().handles);
    }
};

class PoolGuard {
  public:
    explicit PoolGuard(HeapPool* pool)
        : pool_(pool && (pool->options & kPoolSerialise) ? pool : nullptr) {
        if (pool_) {
            PlatformLockEnter(&pool_->lock);
            ++pool_->lockCount;
        }
    }
    ~PoolGuard() {
        if (pool_) {
            --pool_->lockCount;
            PlatformLockLeave(&pool_->lock);
        }
    }

  private:
    HeapPool* pool_;
};

// ---------------------------------------------------------- raw accesses

RAW inline uint16_t Rd16(const uint8_t* p) {
    return *reinterpret_cast<const uint16_t*>(p);
}
RAW inline void Wr16(uint8_t* p, uint16_t v) {
    *reinterpret_cast<uint16_t*>(p) = v;
}
RAW inline uintptr_t RdPtr(const uint8_t* p) {
    uintptr_t v = 0;
    for (uint32_t i = 0; i < sizeof(uintptr_t); ++i)
        v |= uintptr_t(p[i]) << (8 * i);
    return v;
}
RAW inline void WrPtr(uint8_t* p, uintptr_t v) {
    for (uint32_t i = 0; i < sizeof(uintptr_t); ++i)
        p[i] = uint8_t(v >> (8 * i));
}
// Small-block links live in 6 bytes (class 0 blocks hold 7); user-space
// addresses of both targets stay below 2^47.
RAW inline uint8_t* RdLink6(const uint8_t* p) {
    uintptr_t v = 0;
    for (int i = 0; i < 6; ++i)
        v |= uintptr_t(p[i]) << (8 * i);
    return reinterpret_cast<uint8_t*>(v);
}
RAW inline void WrLink6(uint8_t* p, const uint8_t* link) {
    uintptr_t v = uintptr_t(link);
    for (int i = 0; i < 6; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
// Both take bytes that are a block's usable bytes, or unpoisoned for the
// move, so the sanitizer's checks of the library routines hold.
RAW void RawFill(uint8_t* d, uint8_t value, size_t n) {
    if (n) std::memset(d, value, n);
}
RAW void RawMove(uint8_t* d, const uint8_t* s, size_t n) {
    if (d != s && n) std::memmove(d, s, n);
}

inline uint32_t RoundUp(uint32_t n, uint32_t unit) {
    return (n + unit - 1) / unit * unit;
}
inline size_t RoundUpZ(size_t n, size_t unit) {
    return (n + unit - 1) / unit * unit;
}

// ------------------------------------------------------------- registry

// The region that starts at `base`, or null.
RAW RegionEntry* RegionAt(uintptr_t base) {
    RegionTable& t = Regions();
    if (t.cells.empty()) return nullptr;
    size_t mask = t.cells.size() - 1;
    for (size_t i = RegionSlot(base, mask);; i = (i + 1) & mask) {
        RegionEntry& e = t.cells[i];
        if (e.base == base) return &e;
        if (e.base == 0) return nullptr;
    }
}

RAW void RegionPlace(RegionTable& t, const RegionEntry& e) {
    size_t mask = t.cells.size() - 1;
    size_t i = RegionSlot(e.base, mask);
    while (t.cells[i].base != 0)
        i = (i + 1) & mask;
    t.cells[i] = e;
}

RAW void RegionAdd(void* base, size_t size, HeapPool* pool, bool slots) {
    RegionTable& t = Regions();
    if (2 * (t.used + 1) > t.cells.size()) {
        std::vector<RegionEntry> old;
        old.swap(t.cells);
        t.cells.assign(old.empty() ? kRegionTableStart : 2 * old.size(), RegionEntry{});
        for (const RegionEntry& e : old)
            if (e.base != 0) RegionPlace(t, e);
    }
    RegionPlace(t, RegionEntry{uintptr_t(base), uintptr_t(size), pool, slots});
    ++t.used;
}

RAW void RegionRemove(void* base) {
    RegionEntry* e = RegionAt(uintptr_t(base));
    if (!e) return;
    RegionTable& t = Regions();
    size_t mask = t.cells.size() - 1;
    size_t hole = size_t(e - t.cells.data());
    t.cells[hole] = RegionEntry{};
    --t.used;
    // Shift back every following cell whose home is not between the hole
    // and the cell itself.
    for (size_t i = (hole + 1) & mask; t.cells[i].base != 0; i = (i + 1) & mask) {
        size_t home = RegionSlot(t.cells[i].base, mask);
        bool stays = hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
        if (stays) continue;
        t.cells[hole] = t.cells[i];
        t.cells[i] = RegionEntry{};
        hole = i;
    }
}

// --------------------------------------------------------- pool helpers

RAW inline bool PoolOk(const HeapPool* pool) {
    return pool && pool->signature == kPoolSignature;
}

RAW inline int PageKind(const PageHeader* page) {
    return page->signature & 7;
}

RAW inline uint32_t MediumPageBytes(const HeapPool* pool) {
    uint32_t size = pool->pageSize == 0xFFFF ? 0x10000u : pool->pageSize;
    return std::min(size, kMediumPageCap);
}

RAW inline uint32_t FullPageBytes(const HeapPool* pool) {
    return pool->pageSize == 0xFFFF ? 0x10000u : pool->pageSize;
}

RAW inline uint32_t DescKind(const PageDescriptor* d) {
    return (d->flags >> 12) & 7;
}

RAW void RingInsert(HeapPool* pool, int kind, PageDescriptor* d) {
    PageDescriptor* cur = pool->rings[kind];
    if (!cur) {
        d->next = d->prev = d;
    } else {
        d->prev = cur;
        d->next = cur->next;
        cur->next->prev = d;
        cur->next = d;
    }
    pool->rings[kind] = d;
}

RAW void RingRemove(HeapPool* pool, int kind, PageDescriptor* d) {
    if (d->next == d) {
        pool->rings[kind] = nullptr;
    } else {
        d->prev->next = d->next;
        d->next->prev = d->prev;
        if (pool->rings[kind] == d) pool->rings[kind] = d->next;
    }
    d->next = d->prev = nullptr;
}

RAW PageDescriptor* TakeDescriptor(HeapPool* pool) {
    if (PageDescriptor* d = pool->freeDescriptors) {
        pool->freeDescriptors = d->next;
        *d = PageDescriptor{};
        return d;
    }
    constexpr size_t need = sizeof(PageDescriptor);
    if (pool->spareNext + need > pool->spareCommitted) {
        if (pool->spareCommitted < pool->spareEnd && VmCommit(pool->spareCommitted, kGranule)) {
            pool->spareCommitted += kGranule;
        } else {
            // A new descriptor block: its first word links the chain.
            uint8_t* block = static_cast<uint8_t*>(VmReserve(kRegion, nullptr));
            if (!block) return nullptr;
            if (!VmCommit(block, kGranule)) {
                VmRelease(block, kRegion);
                return nullptr;
            }
            WrPtr(block, uintptr_t(pool->descBlocks));
            pool->descBlocks = block;
            pool->spareNext = block + 16;
            pool->spareCommitted = block + kGranule;
            pool->spareEnd = block + kRegion;
        }
    }
    PageDescriptor* d = reinterpret_cast<PageDescriptor*>(pool->spareNext);
    pool->spareNext += need;
    *d = PageDescriptor{};
    return d;
}

RAW void GiveDescriptor(HeapPool* pool, PageDescriptor* d) {
    d->next = pool->freeDescriptors;
    pool->freeDescriptors = d;
}

RAW void* ReserveRegion(size_t bytes) {
    void* hint = nullptr;
    if (bytes <= kRegion) {
        hint = g_reserveHint;
        g_reserveHint = nullptr;
    }
    return VmReserve(bytes, hint);
}

RAW void ReleaseRegion(void* base, size_t reserved) {
    HEAP_UNPOISON(base, reserved);
    VmRelease(base, reserved);
    if (reserved <= kRegion && (!g_reserveHint || base < g_reserveHint)) g_reserveHint = base;
}

RAW bool CeilingAllows(HeapPool* pool, uint32_t bytes) {
    uint64_t after = uint64_t(pool->bytesHeld) + RoundUp(bytes, kGranule);
    return after <= pool->ceiling;
}

// ---------------------------------------------------------- medium pages

RAW inline uint16_t Hdr(uint8_t* base, uint32_t off) {
    return Rd16(base + off);
}
RAW inline void SetHdr(uint8_t* base, uint32_t off, uint16_t v) {
    Wr16(base + off, v);
}
RAW inline uint32_t BlockBytes(uint16_t h) {
    return h & kSizeMask;
}
RAW inline uint16_t FreeNext(uint8_t* base, uint32_t off) {
    return Rd16(base + off + 2);
}
RAW inline uint16_t FreePrev(uint8_t* base, uint32_t off) {
    return Rd16(base + off + 4);
}
RAW inline void SetFreeNext(uint8_t* base, uint32_t off, uint32_t v) {
    Wr16(base + off + 2, uint16_t(v));
}
RAW inline void SetFreePrev(uint8_t* base, uint32_t off, uint32_t v) {
    Wr16(base + off + 4, uint16_t(v));
}

RAW inline uint32_t UsableOf(uint16_t h) {
    return BlockBytes(h) - ((h & kHandleBlock) ? 2 + kSlotPtr : 2);
}

RAW void FreeRingInsert(PageHeader* page, uint32_t off) {
    uint8_t* base = reinterpret_cast<uint8_t*>(page);
    if (page->rover == 0) {
        SetFreeNext(base, off, off);
        SetFreePrev(base, off, off);
        page->rover = uint16_t(off);
        return;
    }
    uint32_t r = page->rover;
    uint32_t p = FreePrev(base, r);
    SetFreeNext(base, off, r);
    SetFreePrev(base, off, p);
    SetFreeNext(base, p, off);
    SetFreePrev(base, r, off);
}

RAW void FreeRingRemove(PageHeader* page, uint32_t off) {
    uint8_t* base = reinterpret_cast<uint8_t*>(page);
    uint32_t n = FreeNext(base, off);
    if (n == off) {
        page->rover = 0;
        return;
    }
    uint32_t p = FreePrev(base, off);
    SetFreeNext(base, p, n);
    SetFreePrev(base, n, p);
    if (page->rover == off) page->rover = uint16_t(n);
}

// Writes a free block of `size` at off (previous block in use) with its
// boundary tag and puts it in the ring.
RAW void MakeFree(PageHeader* page, uint32_t off, uint32_t size) {
    uint8_t* base = reinterpret_cast<uint8_t*>(page);
    SetHdr(base, off, uint16_t(size | kPrevInUse));
    Wr16(base + off + size - 2, uint16_t(size));
    FreeRingInsert(page, off);
}

RAW void SetPrevInUse(uint8_t* base, uint32_t off, bool inUse) {
    uint16_t h = Hdr(base, off);
    SetHdr(base, off, inUse ? uint16_t(h | kPrevInUse) : uint16_t(h & ~kPrevInUse));
}

RAW void MediumLayout(PageHeader* page) {
    uint8_t* base = reinterpret_cast<uint8_t*>(page);
    uint32_t end = page->pageBytes - 2;
    uint32_t total = end - kMediumFirst;
    page->rover = 0;
    MakeFree(page, kMediumFirst, total);
    SetHdr(base, end, kInUse); // end marker: size 0, in use, previous free
    page->desc->largestFree = uint16_t(total);
}

RAW inline uint32_t MediumBlockBytes(uint32_t n) {
    uint32_t b = (n + 9) & ~7u;
    return b < 16 ? 16 : b;
}

RAW inline uint32_t ThresholdFor(const PageHeader* page, uint32_t options) {
    return (options & kAllocForHandle) ? 16 : page->splitThreshold;
}

// First fit from the rover; returns the block address or null.
RAW uint8_t* MediumFit(PageHeader* page, uint32_t b, uint32_t options) {
    uint8_t* base = reinterpret_cast<uint8_t*>(page);
    if (page->rover == 0) {
        page->desc->largestFree = 0;
        return nullptr;
    }
    uint32_t off = page->rover;
    uint32_t largest = 0;
    do {
        uint16_t h = Hdr(base, off);
        uint32_t size = BlockBytes(h);
        if (size >= b) {
            uint16_t handleBit = (options & kAllocForHandle) ? kHandleBlock : 0;
            uint32_t r = (size & ~3u) - b;
            uint32_t used;
            uint32_t usedBytes;
            uint32_t nextFree = FreeNext(base, off);
            if (r < ThresholdFor(page, options)) {
                FreeRingRemove(page, off);
                used = off;
                usedBytes = size;
                SetHdr(base, off, uint16_t(size | kInUse | (h & kPrevInUse) | handleBit));
                SetPrevInUse(base, off + size, true);
                if (page->rover != 0) page->rover = uint16_t(nextFree);
            } else if (options & (kAllocMoveable | kAllocSplitLow)) {
                FreeRingRemove(page, off);
                used = off;
                usedBytes = b;
                SetHdr(base, off, uint16_t(b | kInUse | (h & kPrevInUse) | handleBit));
                MakeFree(page, off + b, r);
                page->rover = uint16_t(off + b);
            } else {
                SetHdr(base, off, uint16_t(r | (h & kPrevInUse)));
                Wr16(base + off + r - 2, uint16_t(r));
                used = off + r;
                usedBytes = b;
                SetHdr(base, used, uint16_t(b | kInUse | handleBit));
                SetPrevInUse(base, used + b, true);
                page->rover = uint16_t(nextFree);
            }
            ++page->inUse;
            uint8_t* data = base + used + 2;
            uint32_t usable = UsableOf(Hdr(base, used));
            (void)usedBytes;
            HEAP_UNPOISON(data, usable);
            if (options & kAllocZero) RawFill(data, 0, usable);
            return data;
        }
        largest = std::max(largest, size);
        off = FreeNext(base, off);
    } while (off != page->rover);
    page->desc->largestFree = uint16_t(largest);
    return nullptr;
}

// Frees the medium block whose header is at off, joining free neighbours.
// Returns the offset of the resulting free block.
RAW uint32_t MediumRelease(PageHeader* page, uint32_t off) {
    uint8_t* base = reinterpret_cast<uint8_t*>(page);
    uint16_t h = Hdr(base, off);
    uint32_t size = BlockBytes(h);
    HEAP_POISON(base + off, size);
    uint32_t start = off;
    uint32_t total = size;
    uint16_t nh = Hdr(base, off + size);
    if (!(nh & kInUse)) {
        FreeRingRemove(page, off + size);
        total += BlockBytes(nh);
        Wr16(base + off + size, 0); // no stale header inside a free block
    }
    if (!(h & kPrevInUse)) {
        uint32_t prevBytes = Rd16(base + off - 2);
        start = off - prevBytes;
        FreeRingRemove(page, start);
        total += prevBytes;
        Wr16(base + off, 0);
    }
    MakeFree(page, start, total);
    SetPrevInUse(base, start + total, false);
    if (total > page->desc->largestFree) page->desc->largestFree = uint16_t(total);
    page->desc->flags &= uint16_t(~kNoRoom);
    return start;
}

// Resizes the medium block at off to `b` bytes without moving it.
RAW bool MediumResizeInPlace(PageHeader* page, uint32_t off, uint32_t b, uint32_t options) {
    uint8_t* base = reinterpret_cast<uint8_t*>(page);
    uint16_t h = Hdr(base, off);
    uint32_t size = BlockBytes(h);
    uint16_t keep = uint16_t(h & (kInUse | kPrevInUse | kHandleBlock));
    uint32_t threshold = (h & kHandleBlock) ? 16 : page->splitThreshold;
    uint32_t oldUsable = UsableOf(h);
    uint8_t* data = base + off + 2;
    if (b == size) return true;
    if (b < size) {
        uint32_t r = size - b;
        if (r < threshold) return true;
        SetHdr(base, off, uint16_t(b | keep));
        // The tail becomes an in-use block that is released at once, so it
        // joins a free block behind it.
        SetHdr(base, off + b, uint16_t(r | kInUse | kPrevInUse));
        ++page->inUse;
        MediumRelease(page, off + b);
        --page->inUse;
        HEAP_POISON(data, oldUsable);
        HEAP_UNPOISON(data, UsableOf(Hdr(base, off)));
        return true;
    }
    uint32_t next = off + size;
    uint16_t nh = Hdr(base, next);
    if (nh & kInUse) return false;
    uint32_t total = size + BlockBytes(nh);
    if (total < b) return false;
    FreeRingRemove(page, next);
    uint32_t r = total - b;
    if (r < threshold) {
        SetHdr(base, off, uint16_t(total | keep));
        SetPrevInUse(base, off + total, true);
    } else {
        SetHdr(base, off, uint16_t(b | keep));
        MakeFree(page, off + b, r);
    }
    HEAP_POISON(base + next, total - size);
    uint32_t newUsable = UsableOf(Hdr(base, off));
    HEAP_UNPOISON(data, newUsable);
    if (options & kAllocZero) RawFill(data + oldUsable, 0, newUsable - oldUsable);
    return true;
}

// ----------------------------------------------------------------- pages

RAW PageHeader* NewPage(HeapPool* pool, int kind, uint32_t bytes);
RAW void ReturnPage(HeapPool* pool, PageDescriptor* d);

RAW PageHeader* NewPage(HeapPool* pool, int kind, uint32_t bytes) {
    if (!CeilingAllows(pool, bytes)) {
        HeapError(pool, kHeapErrCeiling);
        return nullptr;
    }
    PageDescriptor* d = TakeDescriptor(pool);
    if (!d) return nullptr;
    uint8_t* base = static_cast<uint8_t*>(ReserveRegion(kRegion));
    if (!base) {
        GiveDescriptor(pool, d);
        return nullptr;
    }
    if (!VmCommit(base, bytes)) {
        VmRelease(base, kRegion);
        GiveDescriptor(pool, d);
        return nullptr;
    }
    if (pool->options & kPoolLockPages) VmLockPages(base, bytes);
    HEAP_POISON(base, kRegion);
    PageHeader* page = reinterpret_cast<PageHeader*>(base);
    *page = PageHeader{};
    page->pool = pool;
    page->desc = d;
    page->signature = uint16_t(kPageSignature | kind);
    page->pageBytes = bytes;
    d->page = page;
    d->pageBytes = bytes;
    d->flags = uint16_t(kind << 12);
    RingInsert(pool, kind, d);
    RegionAdd(base, kRegion, pool, false);
    pool->bytesHeld += bytes;
    switch (kind) {
    case kPageMedium:
    case kPageMoveable:
        page->splitThreshold = 16;
        if (kind == kPageMedium && pool->smallThreshold > 67)
            page->splitThreshold = uint16_t((pool->smallThreshold / 4 + 7) & ~7u);
        MediumLayout(page);
        break;
    case kPageFixed:
        page->areaNext = kPageHeader;
        page->areaEnd = kPageHeader + (bytes - kPageHeader) / pool->fixedSize * pool->fixedSize;
        d->largestFree = 1;
        break;
    case kPageSmall:
        page->areaNext = kSmallFirst;
        page->areaEnd = bytes - 1;
        break;
    default:
        break;
    }
    return page;
}

RAW void ReturnPage(HeapPool* pool, PageDescriptor* d) {
    PageHeader* page = d->page;
    int kind = int(DescKind(d));
    RingRemove(pool, kind, d);
    if (kind == kPageSmall && pool->currentSmall == page) pool->currentSmall = nullptr;
    size_t reserved = kRegion;
    if (kind == kPageLarge) {
        const RegionEntry* e = RegionAt(uintptr_t(page));
        if (e) reserved = e->size;
    }
    RegionRemove(page);
    pool->bytesHeld -= d->pageBytes;
    ReleaseRegion(page, reserved);
    GiveDescriptor(pool, d);
}

// An emptied page of kinds 0 to 2 goes back to the system while the pool
// keeps at least its floor.
RAW void MaybeReturnPage(HeapPool* pool, PageHeader* page) {
    int kind = PageKind(page);
    if (page->inUse != 0 || kind > kPageMoveable) return;
    if (uint64_t(pool->bytesHeld) - page->pageBytes >= pool->floor) ReturnPage(pool, page->desc);
}

RAW int32_t ReturnEmptyPages(HeapPool* pool) {
    int32_t returned = 0;
    for (int kind = 0; kind <= kPageMoveable; ++kind) {
        bool again = true;
        while (again && pool->rings[kind]) {
            again = false;
            PageDescriptor* d = pool->rings[kind];
            do {
                if (d->page->inUse == 0) {
                    ReturnPage(pool, d);
                    ++returned;
                    again = true;
                    break;
                }
                d = d->next;
            } while (d != pool->rings[kind]);
        }
    }
    return returned;
}

// ------------------------------------------------------------ large pages

// A large block of n bytes; `growing` reserves twice the run for a block
// that moves because it grows.
RAW uint8_t* LargeAlloc(HeapPool* pool, uint32_t n, uint32_t options, bool growing = false) {
    uint64_t run64 = RoundUpZ(uint64_t(n) + kLargeHeader, kGranule);
    if (run64 > kLargeRunMax) {
        HeapError(pool, kHeapErrOutOfMemory);
        return nullptr;
    }
    uint32_t run = uint32_t(run64);
    size_t reserved =
        RoundUpZ(growing ? std::min<uint64_t>(2 * run64, kLargeReserveMax) : run64, kRegion);
    for (;;) {
        if (!CeilingAllows(pool, run)) {
            HeapError(pool, kHeapErrCeiling);
            return nullptr;
        }
        uint8_t* base = static_cast<uint8_t*>(ReserveRegion(reserved));
        if (base && VmCommit(base, run)) {
            PageDescriptor* d = TakeDescriptor(pool);
            if (d) {
                if (pool->options & kPoolLockPages) VmLockPages(base, run);
                HEAP_POISON(base, reserved);
                PageHeader* page = reinterpret_cast<PageHeader*>(base);
                page->pool = pool;
                page->desc = d;
                page->slot = nullptr;
                page->inUse = 1;
                page->signature = uint16_t(kPageSignature | kPageLarge);
                page->run = (run / kGranule) | ((options & kAllocMoveable) ? kLargeMoveable : 0);
                d->page = page;
                d->pageBytes = run;
                d->flags = uint16_t(kPageLarge << 12);
                RingInsert(pool, kPageLarge, d);
                RegionAdd(base, reserved, pool, false);
                pool->bytesHeld += run;
                uint8_t* data = base + kLargeHeader;
                HEAP_UNPOISON(data, run - kLargeHeader);
                return data; // newly committed memory reads as zero
            }
        }
        if (base) VmRelease(base, reserved);
        if (growing && reserved > RoundUpZ(run, kRegion)) {
            reserved = RoundUpZ(run, kRegion); // no room for the spare reservation
            continue;
        }
        if (ReturnEmptyPages(pool) > 0) continue;
        if (HeapError(pool, kHeapErrOutOfMemory) == 0) return nullptr;
    }
}

RAW inline uint32_t LargeRun(const PageHeader* page) {
    return (page->run & ~kLargeMoveable) * kGranule;
}

RAW bool LargeResizeInPlace(PageHeader* page, uint32_t n) {
    HeapPool* pool = page->pool;
    if (n <= pool->largeThreshold) return false;
    uint64_t run64 = RoundUpZ(uint64_t(n) + kLargeHeader, kGranule);
    const RegionEntry* e = RegionAt(uintptr_t(page));
    if (!e || run64 > e->size) return false;
    uint32_t run = uint32_t(run64);
    uint32_t old = LargeRun(page);
    uint8_t* base = reinterpret_cast<uint8_t*>(page);
    if (run > old) {
        if (!CeilingAllows(pool, run - old)) return false;
        if (!VmCommit(base + old, run - old)) return false;
        pool->bytesHeld += run - old;
    } else if (run < old) {
        HEAP_POISON(base + run, old - run);
        VmDecommit(base + run, old - run);
        pool->bytesHeld -= old - run;
    }
    page->run = (run / kGranule) | (page->run & kLargeMoveable);
    page->desc->pageBytes = run;
    HEAP_UNPOISON(base + kLargeHeader, run - kLargeHeader);
    return true;
}

// ------------------------------------------------------------ small pages

RAW void SmallPush(HeapPool* pool, uint8_t* data, uint32_t c) {
    WrLink6(data, pool->classHeads[c]);
    pool->classHeads[c] = data;
}

RAW uint8_t* SmallAlloc(HeapPool* pool, uint32_t n, uint32_t options) {
    if (n < 4) n = 4;
    uint32_t c = n / 8;
    uint32_t usable = 8 * c + 7;
    uint8_t* data = pool->classHeads[c];
    if (data) {
        pool->classHeads[c] = RdLink6(data);
    } else {
        PageHeader* page = pool->currentSmall;
        uint32_t need = 8 * c + 8;
        if (!page || page->areaEnd - page->areaNext < need) {
            if (page) {
                uint32_t rem = page->areaEnd - page->areaNext;
                if (rem >= 12) {
                    uint32_t rc = (rem - 8) / 8;
                    uint8_t* unit = reinterpret_cast<uint8_t*>(page) + page->areaNext;
                    unit[0] = uint8_t(rc);
                    SmallPush(pool, unit + 1, rc);
                }
                page->areaNext = page->areaEnd;
            }
            if (options & kAllocNoNewPage) return nullptr;
            page = NewPage(pool, kPageSmall, kSmallPageBytes);
            if (!page) return nullptr;
            pool->currentSmall = page;
        }
        uint8_t* unit = reinterpret_cast<uint8_t*>(page) + page->areaNext;
        page->areaNext += need;
        unit[0] = uint8_t(c);
        data = unit + 1;
    }
    PageHeader* page = reinterpret_cast<PageHeader*>(uintptr_t(data) & ~uintptr_t(kRegion - 1));
    ++page->inUse;
    HEAP_UNPOISON(data, usable);
    if (options & kAllocZero) RawFill(data, 0, usable);
    return data;
}

// ------------------------------------------------------------ fixed pages

RAW uint8_t* FixedTake(HeapPool* pool, PageHeader* page) {
    uint8_t* rec = page->freeList;
    if (rec) {
        page->freeList = reinterpret_cast<uint8_t*>(RdPtr(rec));
    } else if (page->areaNext + pool->fixedSize <= page->areaEnd) {
        rec = reinterpret_cast<uint8_t*>(page) + page->areaNext;
        page->areaNext += pool->fixedSize;
    } else {
        page->desc->largestFree = 0;
        return nullptr;
    }
    ++page->inUse;
    if (!page->freeList && page->areaNext + pool->fixedSize > page->areaEnd)
        page->desc->largestFree = 0;
    HEAP_UNPOISON(rec, pool->fixedSize);
    return rec;
}

RAW void* MediumAlloc(HeapPool* pool, uint32_t n, uint32_t options);
RAW bool Compact(HeapPool* pool, uint32_t b);

// ---------------------------------------------------------- block lookup

struct BlockRef {
    PageHeader* page;
    int kind;
    uint32_t off; // medium: header offset
};

// Finds the live block at p through the region registry; reads nothing at
// an address the pools do not own.
RAW bool LookupBlock(const void* p, BlockRef* out) {
    if (!p) return false;
    uintptr_t a = uintptr_t(p);
    uintptr_t base = a & ~uintptr_t(kRegion - 1);
    const RegionEntry* e = RegionAt(base);
    if (!e || e->slots) return false;
    PageHeader* page = reinterpret_cast<PageHeader*>(base);
    if ((page->signature & 0xFFF8) != kPageSignature) return false;
    int kind = PageKind(page);
    uintptr_t off = a - base;
    switch (kind) {
    case kPageLarge:
        if (off != kLargeHeader) return false;
        break;
    case kPageMedium:
    case kPageMoveable: {
        if (off < kMediumFirst + 2 || off >= page->pageBytes - 2 ||
            (off - 2 - kMediumFirst) % 8 != 0)
            return false;
        uint16_t h = Hdr(reinterpret_cast<uint8_t*>(page), uint32_t(off - 2));
        if (!(h & kInUse) || BlockBytes(h) < 16 || off - 2 + BlockBytes(h) > page->pageBytes - 2)
            return false;
        off -= 2;
        break;
    }
    case kPageFixed:
        if (off < kPageHeader || off >= page->areaNext ||
            (off - kPageHeader) % page->pool->fixedSize != 0)
            return false;
        break;
    case kPageSmall:
        if (off < kSmallFirst + 1 || off >= page->areaNext || (off % 8) != 0) return false;
        break;
    default:
        return false;
    }
    out->page = page;
    out->kind = kind;
    out->off = uint32_t(off);
    return true;
}

RAW uint32_t UsableOfRef(const BlockRef& r) {
    switch (r.kind) {
    case kPageLarge:
        return LargeRun(r.page) - kLargeHeader;
    case kPageMedium:
    case kPageMoveable:
        return UsableOf(Hdr(reinterpret_cast<uint8_t*>(r.page), r.off));
    case kPageFixed:
        return r.page->pool->fixedSize;
    case kPageSmall:
        return 8u * reinterpret_cast<uint8_t*>(r.page)[r.off - 1] + 7;
    default:
        return 0;
    }
}

RAW uint8_t* DataOfRef(const BlockRef& r) {
    uint8_t* base = reinterpret_cast<uint8_t*>(r.page);
    return (r.kind == kPageMedium || r.kind == kPageMoveable) ? base + r.off + 2 : base + r.off;
}

// Frees a looked-up block.
RAW void ReleaseRef(const BlockRef& r) {
    PageHeader* page = r.page;
    HeapPool* pool = page->pool;
    switch (r.kind) {
    case kPageLarge:
        ReturnPage(pool, page->desc);
        return;
    case kPageMedium:
    case kPageMoveable:
        MediumRelease(page, r.off);
        --page->inUse;
        MaybeReturnPage(pool, page);
        return;
    case kPageFixed: {
        uint8_t* rec = reinterpret_cast<uint8_t*>(page) + r.off;
        HEAP_POISON(rec, pool->fixedSize);
        WrPtr(rec, uintptr_t(page->freeList));
        page->freeList = rec;
        page->desc->largestFree = 1;
        --page->inUse;
        MaybeReturnPage(pool, page);
        return;
    }
    case kPageSmall: {
        uint8_t* data = reinterpret_cast<uint8_t*>(page) + r.off;
        uint32_t c = data[-1];
        HEAP_POISON(data, 8 * c + 7);
        SmallPush(pool, data, c);
        --page->inUse;
        return;
    }
    default:
        return;
    }
}

// ---------------------------------------------------------- medium alloc

RAW uint8_t* FitInRing(HeapPool* pool, int kind, uint32_t b, uint32_t options) {
    PageDescriptor* start = pool->rings[kind];
    if (!start) return nullptr;
    PageDescriptor* d = start;
    do {
        if (d->largestFree >= b) {
            if (uint8_t* p = MediumFit(d->page, b, options)) {
                pool->rings[kind] = d; // the next search starts here
                return p;
            }
        }
        d = d->next;
    } while (d != start);
    return nullptr;
}

RAW void* MediumAlloc(HeapPool* pool, uint32_t n, uint32_t options) {
    uint32_t b = MediumBlockBytes(n);
    int kind = (options & kAllocMoveable) ? kPageMoveable : kPageMedium;
    if (uint8_t* p = FitInRing(pool, kind, b, options)) return p;
    if (kind == kPageMoveable && !(options & kAllocCompacted)) {
        options |= kAllocCompacted;
        if (Compact(pool, b) && pool->rings[kind]) {
            if (uint8_t* p = MediumFit(pool->rings[kind]->page, b, options)) return p;
        }
    }
    if (!(options & kAllocNoNewPage)) {
        if (PageHeader* page = NewPage(pool, kind, MediumPageBytes(pool))) {
            if (uint8_t* p = MediumFit(page, b, options)) return p;
        }
    }
    if (!(options & kAllocNoLarge) && CeilingAllows(pool, n + kLargeHeader))
        return LargeAlloc(pool, n, options);
    return nullptr;
}

// ----------------------------------------------------------- handle slots

RAW bool SlotTableGrow(HeapPool* pool) {
    SlotTable* t = pool->slotTables;
    if (!t || t->used + sizeof(HandleSlot) > t->committed) {
        if (t && t->committed < kRegion) {
            uint32_t step = std::min<uint32_t>(t->committed, 0x4000);
            step = std::min<uint32_t>(step, kRegion - t->committed);
            if (!VmCommit(reinterpret_cast<uint8_t*>(t) + t->committed, step))
                t = nullptr;
            else
                t->committed += step;
        } else {
            t = nullptr;
        }
        if (!t) {
            uint8_t* block = static_cast<uint8_t*>(ReserveRegion(kRegion));
            if (!block) return false;
            if (!VmCommit(block, kGranule)) {
                VmRelease(block, kRegion);
                return false;
            }
            t = reinterpret_cast<SlotTable*>(block);
            t->prev = pool->slotTables;
            t->committed = kGranule;
            t->used = kSlotTableHeader;
            pool->slotTables = t;
            RegionAdd(block, kRegion, pool, true);
        }
    }
    bool added = false;
    while (t->used + sizeof(HandleSlot) <= t->committed) {
        HandleSlot* s = reinterpret_cast<HandleSlot*>(reinterpret_cast<uint8_t*>(t) + t->used);
        t->used += sizeof(HandleSlot);
        s->block = pool->freeSlots;
        s->slack = 0;
        s->lockCount = 0;
        pool->freeSlots = s;
        added = true;
    }
    return added;
}

RAW HandleSlot* TakeSlot(HeapPool* pool) {
    while (!pool->freeSlots) {
        if (!SlotTableGrow(pool)) {
            if (HeapError(pool, kHeapErrOutOfMemory) == 0) return nullptr;
        }
    }
    HandleSlot* s = pool->freeSlots;
    pool->freeSlots = static_cast<HandleSlot*>(s->block);
    *s = HandleSlot{};
    return s;
}

RAW void GiveSlot(HeapPool* pool, HandleSlot* s) {
    s->block = pool->freeSlots;
    s->slack = 0;
    s->lockCount = 0;
    pool->freeSlots = s;
}

struct HandleRef {
    HandleSlot* slot;
    BlockRef block;
};

// A handle is valid when it is a slot of a slot table and its block is a
// live relocatable block that names the slot back.
RAW bool LookupHandle(RelocatableBlock h, HandleRef* out) {
    if (!h) return false;
    uintptr_t a = uintptr_t(h);
    const RegionEntry* e = RegionAt(a & ~uintptr_t(kRegion - 1));
    if (!e || !e->slots) return false;
    SlotTable* t = reinterpret_cast<SlotTable*>(e->base);
    if (a < e->base + kSlotTableHeader || a >= e->base + t->used ||
        (a - e->base - kSlotTableHeader) % sizeof(HandleSlot) != 0)
        return false;
    HandleSlot* slot = reinterpret_cast<HandleSlot*>(a);
    BlockRef r;
    if (!LookupBlock(slot->block, &r)) return false;
    if (r.kind == kPageLarge) {
        if (r.page->slot != slot) return false;
    } else if (r.kind == kPageMedium || r.kind == kPageMoveable) {
        uint8_t* base = reinterpret_cast<uint8_t*>(r.page);
        uint16_t hd = Hdr(base, r.off);
        if (!(hd & kHandleBlock)) return false;
        if (RdPtr(base + r.off + BlockBytes(hd) - kSlotPtr) != uintptr_t(slot)) return false;
    } else {
        return false;
    }
    out->slot = slot;
    out->block = r;
    return true;
}

RAW void StoreSlotInBlock(const BlockRef& r, HandleSlot* slot, bool moveable) {
    if (r.kind == kPageLarge) {
        r.page->slot = slot;
        if (moveable)
            r.page->run |= kLargeMoveable;
        else
            r.page->run &= ~kLargeMoveable;
    } else {
        uint8_t* base = reinterpret_cast<uint8_t*>(r.page);
        uint16_t hd = Hdr(base, r.off);
        SetHdr(base, r.off, uint16_t(hd | kHandleBlock));
        WrPtr(base + r.off + BlockBytes(hd) - kSlotPtr, uintptr_t(slot));
    }
}

RAW bool RefMoveable(const BlockRef& r) {
    return r.kind == kPageMoveable || (r.kind == kPageLarge && (r.page->run & kLargeMoveable));
}

RAW void AdjustLocked(const BlockRef& r, int delta) {
    if (r.kind != kPageMoveable) return;
    PageDescriptor* d = r.page->desc;
    uint16_t count = uint16_t((d->flags & kLockedMask) + delta);
    d->flags = uint16_t((d->flags & ~kLockedMask) | (count & kLockedMask));
}

// Sets the slot's slack and poisons the bytes past the requested size.
RAW void SettleHandle(HandleSlot* slot, const BlockRef& r, uint32_t n) {
    uint32_t usable = UsableOfRef(r);
    slot->slack = uint16_t(usable - n);
    uint8_t* data = DataOfRef(r);
    HEAP_UNPOISON(data, n);
    HEAP_POISON(data + n, usable - n);
}

// Allocates the block of a relocatable block of n bytes (n + the slot
// address for medium blocks).
RAW uint8_t* HandleBlockAlloc(HeapPool* pool, uint32_t n, bool moveable, uint32_t extra,
                              bool growing = false) {
    uint32_t options = kAllocForHandle | (moveable ? uint32_t(kAllocMoveable) : 0u) | extra;
    if (n + kSlotPtr > pool->largeThreshold) return LargeAlloc(pool, n, options, growing);
    return static_cast<uint8_t*>(MediumAlloc(pool, n + kSlotPtr, options));
}

// ------------------------------------------------------------ compaction

// Slides runs of unlocked relocatable blocks down over free space in one
// moveable page; stops once a free block of b bytes exists.
RAW bool CompactPage(HeapPool* pool, PageHeader* page, uint32_t b) {
    (void)pool;
    uint8_t* base = reinterpret_cast<uint8_t*>(page);
    uint32_t end = page->pageBytes - 2;
    uint32_t off = kMediumFirst;
    while (off < end) {
        uint16_t h = Hdr(base, off);
        uint32_t size = BlockBytes(h);
        if (h & kInUse) {
            off += size;
            continue;
        }
        if (size >= b) return true;
        // Free block at off: slide the run of unlocked relocatable blocks
        // that follows it down over it.
        uint32_t freeOff = off;
        uint32_t freeBytes = size;
        uint32_t runStart = off + size;
        uint32_t runEnd = runStart;
        while (runEnd < end) {
            uint16_t rh = Hdr(base, runEnd);
            if (!(rh & kInUse) || !(rh & kHandleBlock)) break;
            HandleSlot* s =
                reinterpret_cast<HandleSlot*>(RdPtr(base + runEnd + BlockBytes(rh) - kSlotPtr));
            if (s->lockCount != 0 || s == g_pinnedSlot) break;
            runEnd += BlockBytes(rh);
        }
        if (runEnd == runStart) {
            off = runStart;
            continue;
        }
        FreeRingRemove(page, freeOff);
        HEAP_UNPOISON(base + freeOff, runEnd - freeOff);
        RawMove(base + freeOff, base + runStart, runEnd - runStart);
        // Rewrite the moved blocks' headers and slots.
        uint32_t p = freeOff;
        uint32_t newEnd = freeOff + (runEnd - runStart);
        while (p < newEnd) {
            uint16_t rh = Hdr(base, p);
            uint32_t bytes = BlockBytes(rh);
            // The first moved block now follows the block before the free
            // one, which is in use (free blocks are always joined).
            if (p == freeOff) SetHdr(base, p, uint16_t(rh | kPrevInUse));
            HandleSlot* s = reinterpret_cast<HandleSlot*>(RdPtr(base + p + bytes - kSlotPtr));
            {
                HandleGuard guard;
                s->block = base + p + 2;
            }
            p += bytes;
        }
        // The freed space joins a free block after the run; no stale
        // header stays inside it.
        RawFill(base + newEnd, 0, runEnd - newEnd);
        uint32_t total = freeBytes;
        uint16_t nh = Hdr(base, runEnd);
        if (!(nh & kInUse)) {
            FreeRingRemove(page, runEnd);
            total += BlockBytes(nh);
        }
        MakeFree(page, newEnd, total);
        SetPrevInUse(base, newEnd + total, false);
        // Poisoning: the moved blocks keep their requested bytes open.
        HEAP_POISON(base + freeOff, newEnd + total - freeOff);
        for (uint32_t q = freeOff; q < newEnd;) {
            uint16_t rh = Hdr(base, q);
            HandleSlot* s =
                reinterpret_cast<HandleSlot*>(RdPtr(base + q + BlockBytes(rh) - kSlotPtr));
            HEAP_UNPOISON(base + q + 2, UsableOf(rh) - s->slack);
            q += BlockBytes(rh);
        }
        if (total > page->desc->largestFree) page->desc->largestFree = uint16_t(total);
        if (total >= b) return true;
        off = newEnd;
    }
    return false;
}

RAW uint32_t LargestFreeIn(PageHeader* page) {
    uint8_t* base = reinterpret_cast<uint8_t*>(page);
    uint32_t largest = 0;
    if (page->rover == 0) return 0;
    uint32_t off = page->rover;
    do {
        largest = std::max(largest, BlockBytes(Hdr(base, off)));
        off = FreeNext(base, off);
    } while (off != page->rover);
    return largest;
}

RAW bool Compact(HeapPool* pool, uint32_t b) {
    PageDescriptor* start = pool->rings[kPageMoveable];
    if (!start) return false;
    // Phase 1: compact each page in place.
    PageDescriptor* d = start;
    do {
        if (!(d->flags & kNoRoom)) {
            if (CompactPage(pool, d->page, b)) {
                pool->rings[kPageMoveable] = d;
                return true;
            }
            d->flags |= kNoRoom;
        }
        d = d->next;
    } while (d != start);
    // Phase 2: empty the page with the fewest locked blocks into the others.
    PageDescriptor* best = nullptr;
    uint32_t bestFree = 0;
    d = start;
    do {
        uint32_t locked = d->flags & kLockedMask;
        uint32_t largest = LargestFreeIn(d->page);
        if (!best || locked < (best->flags & kLockedMask) ||
            (locked == (best->flags & kLockedMask) && largest > bestFree)) {
            best = d;
            bestFree = largest;
        }
        d = d->next;
    } while (d != start);
    if (!best || best->next == best) return false;
    PageHeader* page = best->page;
    uint8_t* base = reinterpret_cast<uint8_t*>(page);
    uint32_t end = page->pageBytes - 2;
    // Keep this page out of the search while its blocks leave it.
    RingRemove(pool, kPageMoveable, best);
    uint32_t off = kMediumFirst;
    while (off < end) {
        uint16_t h = Hdr(base, off);
        uint32_t size = BlockBytes(h);
        if ((h & kInUse) && (h & kHandleBlock)) {
            HandleSlot* s = reinterpret_cast<HandleSlot*>(RdPtr(base + off + size - kSlotPtr));
            if (s->lockCount == 0 && s != g_pinnedSlot) {
                uint32_t usable = UsableOf(h);
                uint32_t requested = usable - s->slack;
                uint8_t* dest =
                    FitInRing(pool, kPageMoveable, MediumBlockBytes(requested + kSlotPtr),
                              kAllocMoveable | kAllocForHandle | kAllocCompacted | kAllocNoNewPage |
                                  kAllocNoLarge);
                if (dest) {
                    HEAP_UNPOISON(base + off + 2, usable);
                    RawMove(dest, base + off + 2, requested);
                    BlockRef nr;
                    LookupBlock(dest, &nr);
                    StoreSlotInBlock(nr, s, true);
                    {
                        HandleGuard guard;
                        s->block = dest;
                    }
                    SettleHandle(s, nr, requested);
                    uint32_t freed = MediumRelease(page, off);
                    --page->inUse;
                    // Continue after the (possibly joined) free block.
                    off = freed;
                    size = BlockBytes(Hdr(base, off));
                }
            }
        }
        off += size;
    }
    // Put the page back in the ring as the current page.
    RingInsert(pool, kPageMoveable, best);
    if (page->inUse == 0) {
        uint32_t held = pool->bytesHeld;
        MaybeReturnPage(pool, page);
        if (pool->bytesHeld != held) return false;
    }
    return LargestFreeIn(page) >= b;
}

} // namespace

// ================================================================ pools

HeapPool* NewHeapPool(uint16_t options) {
    ProcessGuard guard;
    uint8_t* region = static_cast<uint8_t*>(VmReserve(kRegion, nullptr));
    if (!region) return nullptr;
    if (!VmCommit(region, kGranule)) {
        VmRelease(region, kRegion);
        return nullptr;
    }
    HeapPool* pool = new (region) HeapPool{};
    pool->signature = kPoolSignature;
    pool->options = options;
    pool->smallThreshold = 256;
    pool->pageSize = 0x4000;
    pool->largeThreshold = 4096;
    pool->bytesHeld = kGranule;
    pool->floor = 0x40000;
    pool->ceiling = kNoCeiling;
    pool->list = &g_pools;
    if (options & kPoolSerialise) PlatformLockInit(&pool->lock);
    pool->spareNext = region + ((sizeof(HeapPool) + 15) & ~size_t(15));
    pool->spareCommitted = region + kGranule;
    pool->spareEnd = region + kRegion;
    pool->next = g_pools;
    g_pools = pool;
    if (!SetPoolFixedSize(pool, 24)) {
        HeapPoolDestroy(pool);
        return nullptr;
    }
    return pool;
}

HeapPool* NewPagedHeapPool(int32_t pageSize) {
    HeapPool* pool = NewHeapPool(kPoolStandard);
    if (!pool) return nullptr;
    SetPoolPageSize(pool, pageSize);
    pool->smallThreshold = 0;
    return pool;
}

HeapPool* DefaultHeapPool() {
    if (!g_defaultPool) g_defaultPool = NewHeapPool(kPoolStandard);
    return g_defaultPool;
}

RAW void HeapPoolDestroy(HeapPool* pool) {
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return;
    }
    if (pool == g_defaultPool) return; // lives until the process ends
    ProcessGuard guard;
    for (int kind = 0; kind < 5; ++kind) {
        while (pool->rings[kind])
            ReturnPage(pool, pool->rings[kind]);
    }
    for (SlotTable* t = pool->slotTables; t;) {
        SlotTable* prev = t->prev;
        RegionRemove(t);
        VmRelease(t, kRegion);
        t = prev;
    }
    for (uint8_t* blk = pool->descBlocks; blk;) {
        uint8_t* prev = reinterpret_cast<uint8_t*>(RdPtr(blk));
        VmRelease(blk, kRegion);
        blk = prev;
    }
    for (HeapPool** p = &g_pools; *p; p = &(*p)->next) {
        if (*p == pool) {
            *p = pool->next;
            break;
        }
    }
    pool->signature = 0;
    VmRelease(pool, kRegion);
}

int32_t SetPoolPageSize(HeapPool* pool, int32_t size) {
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return 0;
    }
    uint32_t s;
    if (size <= 0x1000)
        s = 0x1000;
    else if (size == 0x4000)
        s = 0x4000;
    else if (size > 0x8000)
        s = 0xFFFF;
    else {
        s = 0x1000;
        while (s < uint32_t(size))
            s <<= 1;
    }
    if (s < uint32_t(pool->fixedSize) + kPageHeader) return 0;
    int32_t old = pool->pageSize;
    pool->pageSize = uint16_t(s);
    pool->largeThreshold = uint16_t(s / 4);
    return old;
}

bool SetPoolFixedSize(HeapPool* pool, int32_t size) {
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return false;
    }
    if (pool->rings[kPageFixed]) return false;
    uint32_t s = RoundUp(uint32_t(std::max(size, 8)), 8);
    if (s + kPageHeader > FullPageBytes(pool)) {
        HeapError(pool, kHeapErrTooBig);
        return false;
    }
    pool->fixedSize = uint16_t(s);
    return true;
}

bool SetPoolSmallBlockSize(HeapPool* pool, int32_t size) {
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return false;
    }
    if (size > 1000 || size < 0) {
        HeapError(pool, kHeapErrTooBig);
        return false;
    }
    pool->smallThreshold = uint16_t(size);
    return true;
}

int32_t SetPoolFloor(HeapPool* pool, int32_t bytes) {
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return -1;
    }
    uint32_t value = bytes == -1 ? kNoCeiling : uint32_t(bytes);
    if (value > pool->ceiling) return -1;
    int32_t old = int32_t(pool->floor);
    pool->floor = value;
    return old;
}

int32_t SetPoolCeiling(HeapPool* pool, int32_t bytes) {
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return -1;
    }
    int32_t old = int32_t(pool->ceiling);
    pool->ceiling = bytes == -1 ? kNoCeiling : uint32_t(bytes);
    return old;
}

int32_t PreallocatePoolBytes(HeapPool* pool, int32_t bytes, int32_t type) {
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return -1;
    }
    int kind;
    uint32_t pageBytes;
    switch (type) {
    case 1:
        if (pool->fixedSize == 0) {
            HeapError(pool, kHeapErrAllocZero);
            return -1;
        }
        kind = kPageFixed;
        pageBytes = FullPageBytes(pool);
        break;
    case 2:
        kind = kPageMoveable;
        pageBytes = MediumPageBytes(pool);
        break;
    case 4:
        kind = kPageMedium;
        pageBytes = MediumPageBytes(pool);
        break;
    default:
        return 0;
    }
    PageDescriptor* current = pool->rings[kind];
    int32_t added = 0;
    while (added < bytes) {
        if (!NewPage(pool, kind, pageBytes)) break;
        added += int32_t(pageBytes);
    }
    if (current) pool->rings[kind] = current;
    return added;
}

int32_t PreallocateHandleSlots(HeapPool* pool, int32_t count) {
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return 0;
    }
    auto freeCount = [pool]() {
        int32_t n = 0;
        for (HandleSlot* s = pool->freeSlots; s; s = static_cast<HandleSlot*>(s->block))
            ++n;
        return n;
    };
    int32_t before = freeCount();
    int32_t have = before;
    while (have < count) {
        if (!SlotTableGrow(pool)) break;
        have = freeCount();
    }
    return (have - before) * int32_t(sizeof(HandleSlot));
}

int32_t PoolSmallThreshold(HeapPool* pool) {
    return PoolOk(pool) ? pool->smallThreshold : -1;
}
int32_t PoolLargeThreshold(HeapPool* pool) {
    return PoolOk(pool) ? pool->largeThreshold : -1;
}
uint32_t PoolBytesHeld(HeapPool* pool) {
    return PoolOk(pool) ? pool->bytesHeld : 0;
}

// ================================================================ blocks

RAW void* HeapBlockAlloc(HeapPool* pool, int32_t size, uint32_t options) {
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return nullptr;
    }
    if (size < 0) return nullptr;
    PoolGuard guard(pool);
    uint32_t n = uint32_t(size);
    options &= ~uint32_t(kAllocMoveable | kAllocForHandle);
    if (pool->smallThreshold > 0 && n <= pool->smallThreshold) {
        if (uint8_t* p = SmallAlloc(pool, n, options)) return p;
        // No small page could be had: a medium block serves the request.
    }
    if (n > pool->largeThreshold) return LargeAlloc(pool, n, options);
    return MediumAlloc(pool, n, options);
}

RAW void* FixedPoolBlockAlloc(HeapPool* pool) {
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return nullptr;
    }
    PoolGuard guard(pool);
    if (pool->fixedSize == 0) {
        HeapError(pool, kHeapErrAllocZero);
        return nullptr;
    }
    if (PageDescriptor* start = pool->rings[kPageFixed]) {
        PageDescriptor* d = start;
        do {
            if (d->largestFree) {
                if (uint8_t* rec = FixedTake(pool, d->page)) {
                    pool->rings[kPageFixed] = d;
                    return rec;
                }
            }
            d = d->next;
        } while (d != start);
    }
    for (;;) {
        uint32_t bytes = FullPageBytes(pool);
        for (;;) {
            if (PageHeader* page = NewPage(pool, kPageFixed, bytes)) return FixedTake(pool, page);
            if (!CeilingAllows(pool, bytes)) return nullptr;
            if (bytes / 2 < uint32_t(pool->fixedSize) + kPageHeader) break;
            bytes /= 2;
        }
        if (HeapError(pool, kHeapErrOutOfMemory) == 0) return nullptr;
    }
}

namespace {
// The block of a relocatable block is reached through its handle only.
RAW bool IsHandleBlock(const BlockRef& r) {
    if (r.kind == kPageLarge) return r.page->slot != nullptr;
    if (r.kind == kPageMedium || r.kind == kPageMoveable)
        return (Hdr(reinterpret_cast<uint8_t*>(r.page), r.off) & kHandleBlock) != 0;
    return false;
}
} // namespace

RAW void* HeapBlockRealloc(void* block, int32_t size, uint32_t options) {
    BlockRef r;
    if (!LookupBlock(block, &r) || IsHandleBlock(r)) {
        HeapError(nullptr, kHeapErrBadPointer);
        return nullptr;
    }
    HeapPool* pool = r.page->pool;
    PoolGuard guard(pool);
    if (size == 0) {
        HeapError(pool, kHeapErrAllocZero);
        return nullptr;
    }
    if (size < 0) return nullptr;
    uint32_t n = uint32_t(size);
    uint32_t oldUsable = UsableOfRef(r);
    bool inPlace = false;
    switch (r.kind) {
    case kPageMedium:
    case kPageMoveable:
        if (n <= pool->largeThreshold || (options & kAllocInPlace))
            inPlace = MediumResizeInPlace(r.page, r.off, MediumBlockBytes(n), options);
        break;
    case kPageFixed:
        inPlace = n <= pool->fixedSize;
        break;
    case kPageSmall: {
        uint32_t c = reinterpret_cast<uint8_t*>(r.page)[r.off - 1];
        uint32_t nc = (n < 4 ? 4 : n) / 8;
        if (options & kAllocInPlace)
            inPlace = n <= 8 * c + 7;
        else
            inPlace = nc == c && n <= pool->smallThreshold;
        break;
    }
    case kPageLarge:
        inPlace = LargeResizeInPlace(r.page, n);
        break;
    default:
        break;
    }
    if (inPlace) {
        if (r.kind == kPageLarge && (options & kAllocZero)) {
            uint32_t now = UsableOfRef(r);
            if (now > oldUsable) RawFill(DataOfRef(r) + oldUsable, 0, now - oldUsable);
        }
        return block;
    }
    if (options & kAllocInPlace) {
        HeapError(pool, kHeapErrResizeFailed);
        return nullptr;
    }
    // A block that outgrows its place becomes a large block with room to
    // grow further; anything else is a new block as HeapBlockAlloc makes it.
    uint8_t* fresh =
        n > pool->largeThreshold && n > oldUsable
            ? LargeAlloc(pool, n, options & ~uint32_t(kAllocMoveable | kAllocForHandle), true)
            : static_cast<uint8_t*>(HeapBlockAlloc(pool, size, options));
    if (!fresh) return nullptr;
    uint8_t* old = DataOfRef(r);
    HEAP_UNPOISON(old, oldUsable);
    RawMove(fresh, old, std::min(oldUsable, n));
    ReleaseRef(r);
    return fresh;
}

RAW int32_t HeapBlockSize(const void* block) {
    BlockRef r;
    if (!LookupBlock(block, &r)) {
        HeapError(nullptr, kHeapErrBadPointer);
        return -1;
    }
    return int32_t(UsableOfRef(r));
}

RAW bool HeapBlockFree(void* block) {
    BlockRef r;
    if (!LookupBlock(block, &r)) {
        HeapError(nullptr, kHeapErrBadPointer);
        return false;
    }
    PoolGuard guard(r.page->pool);
    if (IsHandleBlock(r)) {
        // A relocatable block is freed through its handle.
        HeapError(r.page->pool, kHeapErrBadPointer);
        return false;
    }
    ReleaseRef(r);
    return true;
}

RAW int32_t HeapBlockKind(const void* block) {
    BlockRef r;
    return LookupBlock(block, &r) ? r.kind : -1;
}

RAW HeapPool* BlockPool(const void* block) {
    BlockRef r;
    return LookupBlock(block, &r) ? r.page->pool : nullptr;
}

RAW bool HeapPoolInfo(HeapPool* pool, const void* block, HeapPoolInfoRecord* out) {
    if (block) {
        BlockRef r;
        if (!LookupBlock(block, &r) || (pool && r.page->pool != pool)) {
            HeapError(pool, kHeapErrBadPointer);
            return false;
        }
        pool = r.page->pool;
    }
    if (!pool) pool = DefaultHeapPool();
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return false;
    }
    if (out) {
        out->pool = pool;
        out->kinds =
            (pool->rings[kPageFixed] ? 1u : 0u) | (pool->rings[kPageMoveable] ? 2u : 0u) |
            ((pool->rings[kPageMedium] || pool->rings[kPageLarge] || pool->rings[kPageSmall]) ? 4u
                                                                                              : 0u);
        out->fixedSize = pool->fixedSize;
        out->smallThreshold = pool->smallThreshold;
        out->pageSize = pool->pageSize;
        out->floor = pool->floor;
        out->ceiling = pool->ceiling;
        out->options = pool->options;
        out->next = pool->next;
    }
    return true;
}

// =============================================================== handles

RAW RelocatableBlock HeapHandleNew(HeapPool* pool, uint32_t options, int32_t size) {
    if (!PoolOk(pool)) {
        HeapError(pool, kHeapErrBadPool);
        return nullptr;
    }
    PoolGuard guard(pool);
    if (size == 0) {
        HeapError(pool, kHeapErrAllocZero);
        return nullptr;
    }
    if (size < 0) return nullptr;
    HandleSlot* slot = TakeSlot(pool);
    if (!slot) return nullptr;
    bool moveable = (options & kAllocMoveable) != 0;
    uint8_t* data = HandleBlockAlloc(pool, uint32_t(size), moveable, options & kAllocZero);
    if (!data) {
        GiveSlot(pool, slot);
        return nullptr;
    }
    BlockRef r;
    LookupBlock(data, &r);
    StoreSlotInBlock(r, slot, moveable);
    {
        HandleGuard hg;
        slot->block = data;
    }
    slot->lockCount = moveable ? 0 : 1;
    SettleHandle(slot, r, uint32_t(size));
    return reinterpret_cast<RelocatableBlock>(slot);
}

RAW RelocatableBlock HeapHandleResize(RelocatableBlock h, int32_t size, uint32_t options) {
    HandleRef hr;
    if (!LookupHandle(h, &hr)) {
        HeapError(nullptr, kHeapErrBadHandle);
        return nullptr;
    }
    HeapPool* pool = hr.block.page->pool;
    PoolGuard guard(pool);
    if (size == 0) {
        HeapError(pool, kHeapErrAllocZero);
        return nullptr;
    }
    if (size < 0) return nullptr;
    HandleSlot* slot = hr.slot;
    uint32_t n = uint32_t(size);
    uint32_t oldRequested = UsableOfRef(hr.block) - slot->slack;
    bool mayMove =
        !(options & kAllocInPlace) && ((options & kAllocMoveable) || slot->lockCount == 0);
    BlockRef& r = hr.block;
    bool done = false;
    if (r.kind == kPageLarge) {
        done = n + kSlotPtr > pool->largeThreshold && LargeResizeInPlace(r.page, n);
    } else if (n + kSlotPtr <= pool->largeThreshold) {
        uint8_t* base = reinterpret_cast<uint8_t*>(r.page);
        HEAP_UNPOISON(base + r.off + 2, UsableOf(Hdr(base, r.off)));
        done = MediumResizeInPlace(r.page, r.off, MediumBlockBytes(n + kSlotPtr), 0);
        if (done) StoreSlotInBlock(r, slot, RefMoveable(r));
    }
    if (!done) {
        if (!mayMove) {
            SettleHandle(slot, r, oldRequested);
            HeapError(pool, kHeapErrResizeFailed);
            return nullptr;
        }
        bool moveable = RefMoveable(r);
        // Held still while the new block is found: compaction must not
        // move the block being copied.
        g_pinnedSlot = slot;
        uint8_t* fresh = HandleBlockAlloc(pool, n, moveable, 0, n > oldRequested);
        g_pinnedSlot = nullptr;
        if (!fresh) {
            SettleHandle(slot, r, oldRequested);
            return nullptr;
        }
        BlockRef nr;
        LookupBlock(fresh, &nr);
        StoreSlotInBlock(nr, slot, moveable);
        uint8_t* old = DataOfRef(r);
        HEAP_UNPOISON(old, UsableOfRef(r));
        RawMove(fresh, old, std::min(oldRequested, n));
        if (slot->lockCount > 0) {
            AdjustLocked(r, -1);
            AdjustLocked(nr, +1);
        }
        {
            HandleGuard hg;
            slot->block = fresh;
        }
        if (r.kind == kPageLarge)
            r.page->slot = nullptr;
        else {
            uint8_t* base = reinterpret_cast<uint8_t*>(r.page);
            SetHdr(base, r.off, uint16_t(Hdr(base, r.off) & ~kHandleBlock));
        }
        ReleaseRef(r);
        r = nr;
    }
    SettleHandle(slot, r, n);
    return h;
}

RAW int32_t HeapHandleSize(RelocatableBlock h) {
    HandleRef hr;
    if (!LookupHandle(h, &hr)) {
        HeapError(nullptr, kHeapErrBadHandle);
        return -1;
    }
    return int32_t(UsableOfRef(hr.block) - hr.slot->slack);
}

RAW void* HeapHandleLock(RelocatableBlock h) {
    HandleRef hr;
    if (!LookupHandle(h, &hr)) {
        HeapError(nullptr, kHeapErrBadHandle);
        return nullptr;
    }
    if (hr.slot->lockCount == 255) {
        HeapError(hr.block.page->pool, kHeapErrLock);
        return nullptr;
    }
    // A block that cannot move counts its locks too; it never moves anyway.
    if (++hr.slot->lockCount == 1) AdjustLocked(hr.block, +1);
    return hr.slot->block;
}

RAW uint16_t HeapHandleRelease(RelocatableBlock h) {
    HandleRef hr;
    if (!LookupHandle(h, &hr)) {
        HeapError(nullptr, kHeapErrBadHandle);
        return 0xFFFF;
    }
    if (hr.slot->lockCount == 0) return 0xFFFF;
    if (--hr.slot->lockCount == 0) AdjustLocked(hr.block, -1);
    return hr.slot->lockCount;
}

void HeapHandleUnlock(RelocatableBlock h) {
    HeapHandleRelease(h);
}

RAW uint16_t HeapHandleLockCount(RelocatableBlock h) {
    HandleRef hr;
    if (!LookupHandle(h, &hr)) {
        HeapError(nullptr, kHeapErrBadHandle);
        return 0xFFFF;
    }
    return hr.slot->lockCount;
}

RAW bool HeapHandleDispose(RelocatableBlock h) {
    HandleRef hr;
    if (!LookupHandle(h, &hr)) {
        HeapError(nullptr, kHeapErrBadHandle);
        return false;
    }
    HeapPool* pool = hr.block.page->pool;
    PoolGuard guard(pool);
    if (hr.slot->lockCount > 0) AdjustLocked(hr.block, -1);
    if (hr.block.kind == kPageLarge) hr.block.page->slot = nullptr;
    ReleaseRef(hr.block);
    {
        HandleGuard hg;
        GiveSlot(pool, hr.slot);
    }
    return true;
}

void HeapHandleFree(RelocatableBlock h) {
    HeapHandleDispose(h);
}

RAW bool HeapHandleValid(RelocatableBlock h) {
    HandleRef hr;
    return LookupHandle(h, &hr);
}

// ================================================================ errors

HeapErrorHandler SetHeapErrorHandler(HeapErrorHandler handler) {
    ProcessGuard guard;
    HeapErrorHandler previous = g_handler;
    if (uintptr_t(handler) <= 0xFFFF) {
        g_handler = &HeapErrorDefaultHandler;
        return nullptr;
    }
    g_handler = handler;
    return previous;
}

const char* HeapErrorText(int32_t code) {
    switch (code) {
    case 2:
        return "Out of memory.  Please free some memory, then choose retry.";
    case 3:
        return "MEM_BLOCK_TOO_BIG";
    case 4:
        return "MEM_ALLOC_ZERO";
    case 5:
        return "MEM_RESIZE_FAILED";
    case 6:
        return "MEM_LOCK_ERROR";
    case 7:
        return "MEM_EXCEEDED_CEILING";
    case 8:
        return "MEM_TOO_MANY_PAGES";
    case 9:
        return "MEM_TOO_MANY_TASKS";
    case 10:
        return "MEM_BAD_MEM_POOL";
    case 11:
        return "MEM_BAD_BLOCK";
    case 12:
        return "MEM_BAD_FREE_BLOCK";
    case 13:
        return "MEM_BAD_HANDLE";
    case 14:
        return "MEM_BAD_POINTER";
    default:
        return "MEM_INTERNAL_ERROR";
    }
}

int32_t HeapErrorReport(const char* text, bool retryButtons) {
    int32_t answer = PlatformErrorBox("Memory Manager", text, retryButtons);
    if (answer == kBoxEnd) PlatformAbortProcess();
    return answer == kBoxRetry ? 1 : 0;
}

int32_t HeapErrorDefaultHandler(const HeapErrorRecord* record) {
    int32_t code = record ? record->code : 1;
    return HeapErrorReport(HeapErrorText(code), code == kHeapErrOutOfMemory);
}

int32_t SilentHeapErrorHandler(const HeapErrorRecord* record) {
    (void)record;
    return 0;
}

int32_t HeapError(HeapPool* pool, int32_t code) {
    HeapErrorHandler handler;
    ThreadDepth* slot = nullptr;
    {
        ProcessGuard guard;
        handler = g_handler;
        if (!handler) return 0;
        uint32_t me = PlatformThreadId();
        for (ThreadDepth& t : g_threadDepths) {
            if (t.depth > 0 && t.thread == me) {
                slot = &t;
                break;
            }
        }
        if (!slot) {
            for (ThreadDepth& t : g_threadDepths) {
                if (t.depth == 0) {
                    slot = &t;
                    slot->thread = me;
                    break;
                }
            }
        }
        if (!slot) {
            if (!g_toldThreads) {
                g_toldThreads = true;
                HeapErrorReport("\n\rMemory errors in too many threads concurrently.\n\r", false);
            }
            return 0;
        }
        bool allowed = slot->depth == 0 || (slot->depth == 1 && code == kHeapErrOutOfMemory);
        if (!allowed) {
            if (!g_toldRecursion) {
                g_toldRecursion = true;
                HeapErrorReport("\n\rHeap error handler recursively re-entered.\n\r", false);
            }
            return 0;
        }
        ++slot->depth;
    }
    // The handler runs without the allocator's locks.
    int32_t handleDepth = GlobalLocks().handleDepth;
    for (int32_t i = 0; i < handleDepth; ++i)
        PlatformLockLeave(&GlobalLocks().handles);
    int32_t poolDepth = PoolOk(pool) && (pool->options & kPoolSerialise) ? pool->lockCount : 0;
    for (int32_t i = 0; i < poolDepth; ++i)
        PlatformLockLeave(&pool->lock);
    HeapErrorRecord record{code, pool};
    int32_t answer = handler(&record);
    for (int32_t i = 0; i < poolDepth; ++i)
        PlatformLockEnter(&pool->lock);
    for (int32_t i = 0; i < handleDepth; ++i)
        PlatformLockEnter(&GlobalLocks().handles);
    {
        ProcessGuard guard;
        --slot->depth;
    }
    return answer;
}
