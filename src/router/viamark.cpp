// Marking the via map around pads. Every mark is a whole rectangle written
// two cells at a time (ViaMapMarkRect); the pin's box on a layer is the
// union of its placed pad shapes. A pin whose placed flags carry 0x100 and
// a via type without a pad on the layer leave the map untouched. While
// ViaMapBlockAreas runs, every pad entry's box on a layer is placed once
// and kept for all via types and for the corridors of its neighbours.
#include <algorithm>
#include <vector>

#include "db/comps.h"
#include "db/shellsvc.h"
#include "db/thru.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/viamap.h"

namespace {

enum : int32_t {
    kViaAbortPoll = 32,       // pad entries between two polls of the abort key
    kPinNoViaMark = 0x100,    // placed pin flag: no via marks around it
    kViaPadInset = 2,         // the pad's own mark keeps 2 cells inside its box
    kViaPadClearRow = 2,      // via-to-pad clearance: row 2 ...
    kViaPadClearColumn = 1,   // ... column 1 of the layer's block
    kCorridorReachFactor = 4, // gathering reach around the pin, in via reaches
    kViaBlockColumn = 0x20,   // maze via-block bit of a corridor along y
    kViaBlockRow = 0x10,      // ... along x
};

struct PinBox {
    int32_t cx, cy;
    int32_t minX, minY, maxX, maxY;
};

enum : uint8_t {
    kBoxUnknown = 0,
    kBoxShapes = 1,    // the pin has shapes on the layer
    kBoxNone = 2,      // it has none
    kBoxNoMark = 0x80, // the placed pin's flags carry 0x100
};

// The boxes of pad entries per layer while ViaMapBlockAreas runs.
struct BoxCache {
    bool on = false;
    int32_t layers = 0;
    std::vector<PinBox> box;    // [entry x (layers + 1) + layer]
    std::vector<uint8_t> state; // kBox... of each slot
};
BoxCache s_cache;

// The pin's centre and the union of its pad shapes on the layer; false
// without a shape.
bool PinBoxOn(int32_t comp, int32_t pin, int32_t layer, PinBox* out, int32_t* pinFlags) {
    PlacedPin placed;
    PlacedPad pad;
    CompPinPadGet(comp, pin, layer, &placed, &pad);
    if (pinFlags) *pinFlags = uint16_t(placed.word);
    if (pad.count == 0 || pad.shape[0].code == kPadUndef) return false;
    out->cx = placed.x;
    out->cy = placed.y;
    out->minX = pad.shape[0].minX;
    out->minY = pad.shape[0].minY;
    out->maxX = pad.shape[0].maxX;
    out->maxY = pad.shape[0].maxY;
    for (int32_t j = 1; j < pad.count; ++j) {
        const PlacedShape& sh = pad.shape[j];
        if (sh.code == kPadUndef) continue;
        out->minX = std::min(out->minX, sh.minX);
        out->minY = std::min(out->minY, sh.minY);
        out->maxX = std::max(out->maxX, sh.maxX);
        out->maxY = std::max(out->maxY, sh.maxY);
    }
    return true;
}

// PinBoxOn for pad entry e, through the cache while it is on.
bool EntryBox(int32_t e, int32_t layer, PinBox* out, int32_t* pinFlags) {
    const MapObj& o = *ObjEntry(e);
    if (!s_cache.on) return PinBoxOn(o.index, o.link, layer, out, pinFlags);
    const size_t slot = size_t(e) * size_t(s_cache.layers + 1) + size_t(layer);
    uint8_t& st = s_cache.state[slot];
    if (st == kBoxUnknown) {
        int32_t flags = 0;
        const bool shapes = PinBoxOn(o.index, o.link, layer, &s_cache.box[slot], &flags);
        st = uint8_t((shapes ? kBoxShapes : kBoxNone) | ((flags & kPinNoViaMark) ? kBoxNoMark : 0));
    }
    if (pinFlags) *pinFlags = (st & kBoxNoMark) ? kPinNoViaMark : 0;
    *out = s_cache.box[slot];
    return (st & ~kBoxNoMark) == kBoxShapes;
}

void MarkCorridors(int32_t entry, const PinBox& b, int32_t layer, int32_t t, int32_t reach) {
    ObjList list;
    list.count = 0;
    const int32_t extra = kCorridorReachFactor * reach + std::min(b.cx - b.minX, b.cy - b.minY);
    GatherBox(b.cx, b.cy, b.cx, b.cy, kProbeVia, layer, extra, &list);
    for (int32_t i = 0; i < list.count; ++i) {
        const int32_t e = list.entry[i];
        if (e <= 0 || e == entry || ObjEntry(e)->type != kObjPad) continue;
        PinBox n;
        if (!EntryBox(e, layer, &n, nullptr)) continue;
        if (n.cx == b.cx) {
            const int32_t lo = std::max(b.minX, n.minX), hi = std::min(b.maxX, n.maxX);
            const int32_t y1 = std::min(b.cy, n.cy), y2 = std::max(b.cy, n.cy);
            ViaMapMarkRect(MzSnapXDown(lo), MzSnapYDown(y1) + kViaPadInset, MzSnapXUp(hi),
                           MzSnapYUp(y2) - kViaPadInset, t, kViaFillBits);
            ViaBlockMarkRect(MzSnapXDown(lo) + 1, MzSnapYDown(y1), MzSnapXUp(hi) - 1, MzSnapYUp(y2),
                             layer, kViaBlockColumn);
        } else if (n.cy == b.cy) {
            const int32_t lo = std::max(b.minY, n.minY), hi = std::min(b.maxY, n.maxY);
            const int32_t x1 = std::min(b.cx, n.cx), x2 = std::max(b.cx, n.cx);
            ViaMapMarkRect(MzSnapXDown(x1) + kViaPadInset, MzSnapYDown(lo),
                           MzSnapXUp(x2) - kViaPadInset, MzSnapYUp(hi), t, kViaFillBits);
            ViaBlockMarkRect(MzSnapXDown(x1), MzSnapYDown(lo) + 1, MzSnapXUp(x2), MzSnapYUp(hi) - 1,
                             layer, kViaBlockRow);
        }
    }
}

} // namespace

void ViaMapPad(int32_t entry, int32_t t) {
    const MapObj& o = *ObjEntry(entry);
    if (o.type != kObjPad) return;
    for (int32_t l = 1; l <= MapLayerCount(); ++l) {
        if (!LayerRoutable(l)) continue;
        int32_t ext[4];
        if (!ViaPadShape(t, l, ext)) continue;
        PinBox b;
        int32_t pinFlags = 0;
        const bool shapes = EntryBox(entry, l, &b, &pinFlags);
        if (pinFlags & kPinNoViaMark) return;
        if (!shapes) continue;
        ViaMapMarkRect(MzSnapXDown(b.minX) + kViaPadInset, MzSnapYDown(b.minY) + kViaPadInset,
                       MzSnapXUp(b.maxX) - kViaPadInset, MzSnapYUp(b.maxY) - kViaPadInset, t,
                       kViaFillBits);
        const int32_t h =
            ViaPadSize(t, l) + LayerSpacing(l, kViaPadClearColumn, nullptr, kViaPadClearRow);
        ViaMapMarkRect(MzSnapXDown(b.minX - h), MzSnapYDown(b.minY - h), MzSnapXUp(b.maxX + h),
                       MzSnapYUp(b.maxY + h), t, kViaBlocked);
        MarkCorridors(entry, b, l, t, h);
    }
}

int32_t ViaMapBlockAreas() {
    const int32_t types = ViaMapTypes(), count = ObjCount();
    s_cache.layers = MapLayerCount();
    const size_t slots = size_t(count + 1) * size_t(s_cache.layers + 1);
    s_cache.box.resize(slots);
    s_cache.state.assign(slots, kBoxUnknown);
    s_cache.on = true;
    int32_t result = 1;
    for (int32_t t = 1; t <= types && result; ++t)
        for (int32_t e = 1; e <= count; ++e) {
            if (e % kViaAbortPoll == 0 && UserAbort()) {
                result = 0;
                break;
            }
            if (ObjEntry(e)->type == kObjPad) ViaMapPad(e, t);
        }
    s_cache.on = false;
    return result;
}
