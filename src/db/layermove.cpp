// Moving and deleting layers. Tables built elsewhere (nets, connections,
// obstacles, texts) take part through the generic record access once they
// have registered their record counts (DbTableSetCount).
#include "db/layermove.h"

#include <cstring>

#include "db/attrs.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/layers.h"
#include "db/pool.h"
#include "db/sweeps.h"
#include "db/thru.h"

namespace {

enum : ErrCode {
    kErrMoveFrom = 21343,
    kErrMoveTo = 21344,
    kErrDeleteLayer = 21375,
};

// Every layer slot whose mirror layer is `from` gets `to`.
void RemapMirrors(int32_t from, int32_t to) {
    for (int32_t l = 0; l < kLayerSlots; ++l) {
        Layer rec;
        LayerGet(l, &rec);
        if (rec.mirror != from) continue;
        rec.mirror = uint8_t(to);
        LayerPut(l, &rec);
    }
}

void MoveColors(int32_t from, int32_t to) {
    int32_t count = ColorCount();
    for (int32_t n = 1; n <= count; ++n) {
        ColorEntry e;
        ColorGet(n, &e);
        if (e.layer != from) continue;
        e.layer = uint8_t(to);
        ColorPut(n, &e);
    }
}

void CopyThruPads(int32_t from, int32_t to, void* scratch) {
    auto* rec = static_cast<ThruCode*>(scratch);
    int32_t count = ThruCount();
    // The blocks are copied as they stand: the source was checked when it
    // was stored.
    DbTrustedScope trusted;
    for (int32_t t = 1; t <= count; ++t) {
        std::memset(rec, 0, sizeof(ThruCode));
        ThruGet(t, rec);
        std::memcpy(&rec->layer[to], &rec->layer[from], sizeof(ThruLayer));
        ThruPut(t, rec);
    }
}

// Each record of a generically walked table, read into the scratch record;
// `edit` answers whether it changed and the record is stored again.
template <typename Edit> void EachRecord(int32_t type, void* scratch, Edit edit) {
    int32_t count = DbTableCount(type);
    if (count < 0) return;
    DbModuleOps ops = DbModuleGet(type);
    for (int32_t n = 1; n <= count; ++n) {
        ops.get(n, scratch);
        if (edit(scratch)) ops.put(n, scratch);
    }
}

// Deletes, from the last to the first, each record of the table for which
// `match` answers true.
template <typename Match> void DeleteRecords(int32_t type, void* scratch, Match match) {
    int32_t count = DbTableCount(type);
    if (count < 0) return;
    DbModuleOps ops = DbModuleGet(type);
    if (!ops.del) return;
    for (int32_t n = count; n >= 1; --n) {
        ops.get(n, scratch);
        if (match(scratch)) ops.del(n);
    }
}

void MoveSweeps(int32_t from, int32_t to) {
    for (int32_t i = 0; i < kSweepCount; ++i) {
        Sweep* s = SweepSlot(i);
        s->enable[to] = s->enable[from];
        s->dir[to] = s->dir[from];
        s->cost[to] = s->cost[from];
        s->between[to] = s->between[from];
    }
    DbSetModified();
}

} // namespace

void LayerMove(int32_t from, int32_t to) {
    if (from < 0 || from >= kLayerSlots) ErrReport(kErrMoveFrom, from);
    if (to < 0 || to >= kLayerSlots) ErrReport(kErrMoveTo, to);
    void* scratch = ScratchPush();
    Layer rec;
    LayerGet(from, &rec);
    LayerPut(to, &rec);
    RemapMirrors(from, to);
    MoveColors(from, to);
    CopyThruPads(from, to, scratch);
    EachRecord(kRecNet, scratch, [](void*) { return true; });
    EachRecord(kRecConn, scratch, [&](void* r) {
        auto* c = static_cast<Conn*>(r);
        bool changed = false;
        for (int32_t i = 0; i + 1 < c->head.count && i < kMaxCorners; ++i) {
            if (c->crn[i].layer != from) continue;
            c->crn[i].layer = uint8_t(to);
            changed = true;
        }
        return changed;
    });
    EachRecord(kRecObstacle, scratch, [&](void* r) {
        auto* o = static_cast<Obstacle*>(r);
        if (o->head.layer != from) return false;
        o->head.layer = uint8_t(to);
        return true;
    });
    EachRecord(kRecBoardText, scratch, [&](void* r) {
        auto* t = static_cast<BoardText*>(r);
        if (t->layer != from) return false;
        t->layer = uint8_t(to);
        return true;
    });
    MoveSweeps(from, to);
    ScratchPop(scratch);
}

int32_t LayerDelete(int32_t n) {
    int32_t count = LayerCount();
    if (n < 1 || n > count) ErrReport(kErrDeleteLayer, n);
    if (count <= 2) return 0;
    RemapMirrors(n, 0);
    for (int32_t e = ColorCount(); e >= 1; --e) {
        ColorEntry c;
        ColorGet(e, &c);
        if (c.layer == n) ColorDelete(e);
    }
    void* scratch = ScratchPush();
    EachRecord(kRecConn, scratch, [&](void* r) {
        auto* c = static_cast<Conn*>(r);
        int32_t corners = c->head.count < kMaxCorners ? c->head.count : int32_t(kMaxCorners);
        bool changed = false;
        // Two consecutive corners on the layer: the second goes, unless it
        // is the last corner (a connection keeps its ends and at least two
        // corners).
        for (int32_t i = 0; i + 2 < corners;) {
            if (c->crn[i].layer == n && c->crn[i + 1].layer == n) {
                std::memmove(&c->crn[i + 1], &c->crn[i + 2], sizeof(Crn) * size_t(corners - i - 2));
                --corners;
                changed = true;
            } else {
                ++i;
            }
        }
        for (int32_t i = 0; i < corners; ++i) {
            if (c->crn[i].layer != n) continue;
            c->crn[i].layer = 0; // the segment becomes unrouted
            changed = true;
        }
        c->head.count = int16_t(corners);
        return changed;
    });
    DeleteRecords(kRecObstacle, scratch,
                  [&](void* r) { return static_cast<Obstacle*>(r)->head.layer == n; });
    DeleteRecords(kRecBoardText, scratch,
                  [&](void* r) { return static_cast<BoardText*>(r)->layer == n; });
    ScratchPop(scratch);
    for (int32_t e = n; e < count; ++e)
        LayerMove(e + 1, e);
    int16_t map[kMaxLayers + 1] = {};
    for (int32_t e = 1; e <= count; ++e)
        map[e] = int16_t(e < n ? e : e - 1);
    map[n] = 0;
    AttrRenumberNetLayers(map, count);
    DbHdr().layerCount = int16_t(count - 1);
    DbSetModified();
    return 1;
}
