// MzPush: the pushing line moved forward one push step at a time while its
// reach shrinks by the same step, pushing every connection it meets; and
// the small helpers every push module shares (steps, transposition, corner
// room). Nesting is bounded (25 levels, 5 in stitch mode) and the depth is
// restored on every path.
#include <algorithm>
#include <cstring>

#include "db/conns.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "db/shellsvc.h"
#include "router/gather.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/pushwork.h"

namespace {

enum : int32_t {
    kPushPlus = 1,
    kPushMinus = -1,
};

} // namespace

int32_t PushStep() {
    const int32_t g = g_mzGrid.g;
    return std::max(1, ShellGridDoubling() ? g >> 1 : g);
}

int32_t PushViaStep() {
    const int32_t v = DbHdr().fourthGrid;
    return v > 0 ? v : std::max(1, g_mzGrid.g);
}

bool PushRoomFor(const Conn* record, int32_t k) {
    return record->head.count + k <= kConnInsertLimit;
}

bool PushPinned(const Crn& c) {
    return (c.flags & (kCrnLocked | kCrnLatched)) != 0;
}

void PushWorld(const PushTable* t, const Crn& c, int32_t* x, int32_t* y) {
    *x = t->transposed ? c.y : c.x;
    *y = t->transposed ? c.x : c.y;
}

void PushInsert(Conn* record, int32_t a, int32_t k) {
    CrnInsert(record, a, k);
    for (int32_t i = a + 1; i <= a + k; ++i) {
        record->crn[i].via = 0;
        record->crn[i].flags = uint8_t(record->crn[i].flags & ~(kCrnLocked | kCrnLatched));
    }
}

void PushDropCoinciding(Conn* record, int32_t first, int32_t last) {
    last = std::min<int32_t>(last, record->head.count - 1);
    for (int32_t i = last; i > std::max(first, 0); --i) {
        const Crn &a = record->crn[i - 1], &b = record->crn[i];
        if (a.x != b.x || a.y != b.y) continue;
        if (!b.via && !PushPinned(b) && i < record->head.count - 1) {
            CrnDelete(record, i, 1);
        } else if (!a.via && !PushPinned(a) && i - 1 > 0) {
            CrnDelete(record, i - 1, 1);
        }
    }
}

bool PushJumperLayer(int32_t layer) {
    if (layer < 1 || layer > LayerCount()) return false;
    Layer rec;
    LayerGet(layer, &rec);
    return (rec.flags & kLayerJumper) != 0;
}

int32_t PushHalfWidth(const Conn* record, int32_t i) {
    return int32_t(int64_t(record->crn[i].width) * DbHdr().connGrid >> 1);
}

int32_t MzPush(int32_t x, int32_t y1, int32_t y2, int32_t kind, int32_t layer, int32_t reach,
               int32_t entry, int32_t direction, int32_t transposed) {
    const int32_t limit = g_pushOptions.stitchMode ? kPushStitchDepth : kPushTables;
    PushTable* t = PushDepth() < limit ? PushEnter() : nullptr;
    if (!t) {
        if (g_verbose) DebugPrint("*MzPush: recursion too deep");
        return kObjEdgeEntry;
    }
    int32_t mask = 0;
    if (direction == kPushPlus) {
        mask = kDirBelowX;
    } else if (direction == kPushMinus) {
        mask = kDirAboveX;
    } else {
        PushLeave();
        ErrReport(kErrPushDirection, direction);
        return kObjEdgeEntry;
    }
    if (y1 > y2) std::swap(y1, y2);
    t->layer = int16_t(layer);
    t->direction = int16_t(direction);
    t->transposed = int16_t(transposed ? 1 : 0);
    t->list.count = 0;
    const int32_t step = PushStep();
    int32_t result = 0;
    do {
        if (!GatherSegBlockers(x, y1, x, y2, kind, layer, reach, entry, &t->list, t->transposed,
                               mask)) {
            result = t->list.count > 0 ? int32_t(t->list.entry[0]) : int32_t(kObjEdgeEntry);
            break;
        }
        for (int32_t k = 0; k < t->list.count; ++k) {
            const int32_t e = t->list.entry[k];
            if (e > 0 && ObjEntry(e)->type == kObjConn &&
                PushConn(x, y1 - reach, y2 + reach, kind, reach, e))
                continue;
            result = e;
        }
        x += step * direction;
        reach -= step;
    } while (result == 0 && reach >= 1);
    PushLeave();
    return result;
}
