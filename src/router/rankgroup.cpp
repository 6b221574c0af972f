// The ranking's heap sort and bus grouping. The heap sort is the router's
// own (not a library sort): with many equal keys its order is the product,
// so the sift is kept exactly. The grouping walks the sorted keys once,
// brings each bus block to the front of its run by exchanges and gives
// every group one component-pair value; it allocates nothing but one
// scratch record for reading connections.
#include <cstdlib>
#include <utility>

#include "db/pool.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/rankroutes.h"

namespace {

enum : int32_t {
    kGroupMin = 3,      // keys of the smallest group
    kGroupLargeMin = 4, // a mixed group of this many keys is large
    kCompShift = 16,
    kCompMask = 0xFFFF,
    kLowByte = 0xFF,
};

// The sift of keys[k] down through keys[k..hi].
void Sift(RankKey* keys, int32_t k, int32_t hi) {
    while (2 * k <= hi) {
        int32_t j = 2 * k;
        if (j < hi && RankLess(keys[j], keys[j + 1])) ++j;
        if (!RankLess(keys[k], keys[j])) return;
        std::swap(keys[k], keys[j]);
        k = j;
    }
}

// 0x4000000 when the low bytes of the pair's two component numbers differ.
int32_t CompsDiffer(int32_t pair) {
    const int32_t a = (pair >> kCompShift) & kCompMask, b = pair & kCompMask;
    return (a & kLowByte) != (b & kLowByte) ? kRankCompsDiffer : 0;
}

// The bus reordering of the group keys[1..n] (all of one direction key):
// rows across the bus, sorted, each approach the distance from the row's
// mean along it.
void BusOrder(RankKey* keys, int32_t n, Conn* scratch) {
    ConnReadJournal(ObjEntry(keys[1].obj)->index, scratch);
    const Crn& f0 = scratch->crn[0];
    const Crn& l0 = scratch->crn[scratch->head.count - 1];
    bool horizontal;
    if (f0.y == l0.y)
        horizontal = true;
    else if (f0.x == l0.x)
        horizontal = false;
    else
        return;
    for (int32_t i = 1; i <= n; ++i) {
        ConnReadJournal(ObjEntry(keys[i].obj)->index, scratch);
        const Crn& f = scratch->crn[0];
        const Crn& l = scratch->crn[scratch->head.count - 1];
        const Crn& a = scratch->head.fromComp > scratch->head.toComp ? l : f;
        keys[i].compPair = horizontal ? f.y : f.x;
        keys[i].approach = horizontal ? a.x : a.y;
    }
    heapSort(keys, n);
    for (int32_t s = 1; s <= n;) {
        int32_t e = s;
        while (e + 1 <= n && keys[e + 1].compPair == keys[s].compPair)
            ++e;
        int64_t sum = 0;
        for (int32_t i = s; i <= e; ++i)
            sum += keys[i].approach;
        const int64_t m = sum / (e - s + 1);
        for (int32_t i = s; i <= e; ++i)
            keys[i].approach = int32_t(-std::llabs(keys[i].approach - m));
        s = e + 1;
    }
}

// Gives the group keys[1..n], formed from a run of component pair `pair`,
// its one component-pair value.
void GroupValue(RankKey* keys, int32_t n, int32_t pair, Conn* scratch) {
    bool bus = true;
    int64_t sum = 0;
    for (int32_t i = 1; i <= n; ++i) {
        bus = bus && keys[i].dirKey == keys[1].dirKey;
        sum += keys[i].dirKey;
    }
    int32_t value;
    if (bus) {
        const int32_t dir = keys[1].dirKey;
        BusOrder(keys, n, scratch);
        value = CompsDiffer(pair) + dir / n;
    } else if (n == kGroupMin) {
        value = kRankUngrouped;
    } else {
        value = CompsDiffer(pair) + int32_t(sum / n / n) + kRankLargeMixed;
    }
    for (int32_t i = 1; i <= n; ++i)
        keys[i].compPair = value;
}

} // namespace

bool RankLess(const RankKey& a, const RankKey& b) {
    if (a.netRank != b.netRank) return a.netRank < b.netRank;
    if (a.size != b.size) return a.size < b.size;
    if (a.compPair != b.compPair) return a.compPair < b.compPair;
    if (a.endClass != b.endClass) return a.endClass < b.endClass;
    if (a.dirKey != b.dirKey) return a.dirKey < b.dirKey;
    return a.approach < b.approach;
}

void heapSort(RankKey* keys, int32_t count) {
    for (int32_t k = count / 2; k >= 1; --k)
        Sift(keys, k, count);
    for (int32_t last = count; last >= 2; --last) {
        std::swap(keys[1], keys[last]);
        Sift(keys, 1, last - 1);
    }
    if (g_verbose) DebugPrint("heapSort: finished");
}

int32_t rankGroup(RankKey* keys, int32_t count) {
    auto* scratch = static_cast<Conn*>(ScratchPush());
    int32_t groups = 0;
    int32_t i = 1;
    while (i <= count) {
        if (count - i + 1 < kGroupMin) {
            for (; i <= count; ++i)
                keys[i].compPair = kRankUngrouped;
            break;
        }
        const int32_t pair = keys[i].compPair;
        int32_t e = i;
        while (e + 1 <= count && keys[e + 1].compPair == pair)
            ++e;
        if (pair == 0 || e - i + 1 < kGroupMin) {
            keys[i++].compPair = kRankUngrouped;
            continue;
        }
        // A run r..e: the first three equal direction keys start the block.
        const int32_t r = i;
        int32_t k = r;
        while (k <= e - 2 &&
               !(keys[k].dirKey == keys[k + 1].dirKey && keys[k].dirKey == keys[k + 2].dirKey))
            ++k;
        int32_t length = e - r + 1;
        if (k <= e - 2) {
            int32_t b = e;
            while (keys[b].dirKey != keys[k].dirKey)
                --b;
            length = b - k + 1;
            for (int32_t p = b; p >= r + length; --p)
                std::swap(keys[p], keys[p - length]);
        }
        GroupValue(keys + r - 1, length, pair, scratch);
        ++groups;
        i = r + length;
    }
    ScratchPop(scratch);
    return groups;
}
