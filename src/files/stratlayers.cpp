// The layers the default sweeps route on: the stack of a design and the
// per-layer enables each default sweep gets from it.
#include "files/stratlayers.h"

#include <algorithm>
#include <cstring>

#include "db/dbheader.h"
#include "db/layers.h"
#include "db/sweeps.h"

const int32_t kInnerSweeps[kInnerSweepSlots] = {4, 5, 7, 8};

namespace {

enum : uint16_t {
    kNotRoutable = kLayerNoRoute2 | kLayerNoRoute4 | kLayerNoRoute20,
    kPassEnableBit = 0x1000,
    kPassDoneBit = 0x2000,
};
enum : uint8_t { kWholeBoard = 16 };
enum : int32_t {
    kFirstPass = 1, // the sweep run starts at pass 1
    kLastPass = 4,
    kMaxLayersPerSweep = 2,
    kPassOfSweep7 = 2, // as "Next 2"
    kPassOfSweep8 = 3, // as "Next 3"
};

SweepLayerStack Finish(SweepLayerStack s, int32_t mirror) {
    if (s.count == 0) return s;
    s.top = s.layer[0];
    s.bottom = s.layer[s.count - 1];
    for (int32_t i = 1; i < s.count; ++i)
        if (s.layer[i] == mirror) s.bottom = uint8_t(mirror);
    if (s.bottom == s.top) s.bottom = 0;
    return s;
}

int32_t ClampedCount(int32_t count) {
    return std::clamp<int32_t>(count, 0, kMaxLayers);
}

// The inner layers (not the outer pair) in layer order.
int32_t InnerLayers(const SweepLayerStack& s, uint8_t* out) {
    int32_t k = 0;
    for (int32_t i = 0; i < s.count; ++i)
        if (s.layer[i] != s.top && s.layer[i] != s.bottom) out[k++] = s.layer[i];
    return k;
}

// The inner layers in the order the inner sweeps take them one at a time:
// from the outside in, the one next to the top (the first routing layer),
// then the one next to the bottom, and so on.
void OutsideIn(const uint8_t* inner, int32_t k, uint8_t* out) {
    int32_t lo = 0, hi = k - 1, n = 0;
    while (lo <= hi) {
        out[n++] = inner[lo++];
        if (lo <= hi) out[n++] = inner[hi--];
    }
}

bool HasOpenPass(const Sweep& s) {
    for (int32_t p = kFirstPass; p <= kLastPass; ++p)
        if ((s.passFlags[p] & (kPassEnableBit | kPassDoneBit)) == kPassEnableBit) return true;
    return false;
}

} // namespace

SweepLayerStack StrategyStack() {
    SweepLayerStack s;
    s.layerCount = ClampedCount(DbHdr().layerCount);
    for (int32_t l = 1; l <= s.layerCount; ++l)
        if (!(LayerRef(l)->flags & kNotRoutable)) s.layer[s.count++] = uint8_t(l);
    return Finish(s, s.count ? LayerRef(s.layer[0])->mirror : 0);
}

SweepLayerStack StrategyPlainStack(int32_t count) {
    SweepLayerStack s;
    s.layerCount = ClampedCount(count);
    for (int32_t l = 1; l <= s.layerCount; ++l)
        s.layer[s.count++] = uint8_t(l);
    return Finish(s, s.layerCount);
}

void StrategyLayers(Sweep* sweep, int32_t n, const SweepLayerStack& stack) {
    if (stack.layerCount <= kMaxLayersPerSweep || n <= 0 || n >= kSweepCount) return;
    Sweep& s = *sweep;
    std::memset(s.enable, 0, sizeof s.enable);
    if (stack.top) s.enable[stack.top] = 1;
    if (stack.bottom) s.enable[stack.bottom] = 1;
    if (n <= kSweepOuterLast) return;
    uint8_t inner[kMaxLayers], order[kMaxLayers];
    const int32_t k = InnerLayers(stack, inner);
    OutsideIn(inner, k, order);
    const int32_t* slot = std::find(kInnerSweeps, kInnerSweeps + kInnerSweepSlots, n);
    if (slot == kInnerSweeps + kInnerSweepSlots) return;
    const int32_t j = int32_t(slot - kInnerSweeps);
    if (k <= kInnerSweepSlots) {
        // One inner layer each, beside its nearer component side.
        if (j >= k) return;
        std::memset(s.enable, 0, sizeof s.enable);
        s.enable[j % 2 == 0 || !stack.bottom ? stack.top : stack.bottom] = 1;
        s.enable[order[j]] = 1;
    } else {
        // Two neighbouring inner layers each; vias join them to what the
        // outer pair routed. Inner layers beyond kMaxInnerLayers are left
        // to a strategy of the designer's own.
        if (kMaxLayersPerSweep * j >= k) return;
        std::memset(s.enable, 0, sizeof s.enable);
        for (int32_t i = kMaxLayersPerSweep * j; i < std::min(k, kMaxLayersPerSweep * (j + 1)); ++i)
            s.enable[inner[i]] = 1;
    }
    // Sweeps 7 and 8 carry no enabled pass of their own: they take the
    // maze pass of "Next 2" and "Next 3".
    if (!HasOpenPass(s)) {
        const int32_t p = n == kInnerSweeps[2] ? kPassOfSweep7 : kPassOfSweep8;
        s.passFlags[p] = uint16_t(s.passFlags[p] | kPassEnableBit);
        s.primary = kWholeBoard;
    }
}

void StrategyApplyLayers(uint32_t sweepsWithLayers) {
    const SweepLayerStack stack = StrategyStack();
    if (stack.layerCount <= kMaxLayersPerSweep) return;
    const uint8_t saved = DbHdr().sweep;
    for (int32_t n = 0; n < kSweepCount; ++n) {
        if (sweepsWithLayers & (1u << n)) continue;
        DbHdr().sweep = uint8_t(n);
        Sweep s;
        SweepGet(&s);
        StrategyLayers(&s, n, stack);
        SweepPut(&s);
    }
    DbHdr().sweep = saved;
}
