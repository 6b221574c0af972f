// updateAlt: the one way a cleaned copy reaches the database. A copy is
// installed into the current journal level only when it was changed, keeps
// its two end points, has no zero width, no oblique routed segment and no
// via too close to another in its changed stretch, and passes the
// connection rule check there; every refusal sets the clean failure flag
// and leaves the stored connection as it was. Also the via spacing checks
// of a corner range against the connections gathered near it.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/geom.h"
#include "db/layers.h"
#include "router/connnorm.h"
#include "router/costs.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/rulesvc.h"
#include "rules/changedstretch.h"
#include "rules/cleanitem.h"
#include "rules/ruleadapt.h"

namespace {

enum : int32_t {
    kClassVia = 2,
    kKindVia = 2,
};

void Trace(const char* text) {
    if (g_verbose) DebugPrint("%s", text);
}

void Refuse(const char* text) {
    Trace(text);
    CleanFailure = true;
}

bool InExtent(const Crn& c) {
    const MzBox& e = g_mzGrid.extent;
    return c.x >= e.minX && c.x <= e.maxX && c.y >= e.minY && c.y <= e.maxY;
}

// The reduced copy is the stored connection again: nothing to install.
bool SameCorners(const Conn* a, const Conn* b) {
    if (a->head.count != b->head.count) return false;
    for (int32_t i = 0; i < a->head.count; ++i)
        if (std::memcmp(&a->crn[i], &b->crn[i], sizeof(Crn)) != 0) return false;
    return true;
}

bool Oblique(const Crn& a, const Crn& b) {
    const int64_t dx = std::abs(int64_t(b.x) - a.x), dy = std::abs(int64_t(b.y) - a.y);
    return a.layer && dx && dy && dx != dy;
}

// Two vias that end one segment, on every active layer where both have pads.
bool ViaPairsClear(const Conn* c) {
    for (int32_t i = 0; i + 1 < c->head.count; ++i) {
        const Crn &a = c->crn[i], &b = c->crn[i + 1];
        if (!a.via || !b.via) continue;
        for (int32_t l = 1; l <= LayerCount(); ++l) {
            if (!LayerActive(l) || !ViaPadCode(a.via, l) || !ViaPadCode(b.via, l)) continue;
            const int64_t need = int64_t(ViaPadRadius(a.via, l)) + ViaPadRadius(b.via, l) +
                                 LayerSpacing(l, kKindVia, nullptr, kClassVia);
            if (SegDist(a.x, a.y, b.x, b.y) < need) return false;
        }
    }
    return true;
}

// Every interior corner where two routed segments on different layers
// meet carries a via with pads on both (or the pair's own via): the
// reduction would otherwise put in a via the rule check never measured.
bool LayerChangesHaveVias(const Conn* c) {
    for (int32_t i = 1; i + 1 < c->head.count; ++i) {
        const int32_t d = c->crn[i - 1].layer, e = c->crn[i].layer, v = c->crn[i].via;
        if (!d || !e || d == e || d >= kLayerSlots || e >= kLayerSlots) continue;
        const int32_t pair = g_viaPair[d][e];
        if (!v) return false;
        if (v == pair || !pair || (ViaPadCode(v, d) && ViaPadCode(v, e))) continue;
        return false;
    }
    return true;
}

} // namespace

void updateAlt(CleanItem* item) {
    if (CleanFailure) {
        Trace("updateAlt: clean failure");
        return;
    }
    if (!item->changed) return;
    if (item->reversed) CleanItemReverse(item);
    Conn* copy = item->conn;
    ScratchRecord<Conn> stored;
    ConnReadJournal(item->index, stored.get());
    const int32_t n = copy->head.count;
    const Crn &s0 = stored->crn[0], &s1 = stored->crn[stored->head.count - 1];
    if (n < 2 || copy->crn[0].x != s0.x || copy->crn[0].y != s0.y || copy->crn[n - 1].x != s1.x ||
        copy->crn[n - 1].y != s1.y) {
        Refuse("updateAlt: changed source/target");
        return;
    }
    for (int32_t i = 0; i + 1 < n; ++i)
        if (!copy->crn[i].width) {
            Refuse("updateAlt: width 0");
            return;
        }
    int32_t first = 0, last = 0;
    if (!ChangedStretch(copy, stored.get(), &first, &last)) {
        item->changed = false;
        return;
    }
    for (int32_t i = first; i <= last && i + 1 < n; ++i)
        if (Oblique(copy->crn[i], copy->crn[i + 1])) {
            Refuse("updateAlt: Oblique segment");
            return;
        }
    if (!LayerChangesHaveVias(copy)) {
        CleanFailure = true;
        return;
    }
    const int32_t m = stored->head.count;
    if (!InExtent(copy->crn[first])) {
        if (g_verbose) DebugPrint("updateAlt: source edge crossing crn %d", int(first));
        // the corner outside stays as stored: only its outgoing segment ends elsewhere
        if (first >= m || copy->crn[first].via != stored->crn[first].via) {
            CleanFailure = true;
            return;
        }
        ++first;
    }
    if (!InExtent(copy->crn[last])) {
        if (g_verbose) DebugPrint("updateAlt: target edge crossing crn %d", int(last));
        const int32_t k = last - n + m;
        if (k < 0 || copy->crn[last].via != stored->crn[k].via) {
            CleanFailure = true;
            return;
        }
        --last;
    }
    // nothing of the stretch inside the maze: nothing to install
    bool inside = false, outside = false;
    for (int32_t i = first; i <= last; ++i)
        (InExtent(copy->crn[i]) ? inside : outside) = true;
    if (!inside) {
        item->changed = false;
        return;
    }
    // Copper outside the maze is not loaded, so no check would see a corner
    // moved there: such a stretch is not installed.
    if (outside) {
        CleanFailure = true;
        return;
    }
    if (!DrcCheckConn(item->entry, copy, first, last)) {
        Refuse("updateAlt: clean check");
        return;
    }
    if (!DrcViaSpacingRange(item->entry, copy, first, last)) {
        CleanFailure = true;
        return;
    }
    connReduce(copy);
    if (SameCorners(copy, stored.get())) {
        item->changed = false;
        return;
    }
    if (!ViaPairsClear(copy)) {
        CleanFailure = true;
        return;
    }
    AltItemHeader h{};
    const uint16_t key = CleanJournalItem(item->index, &h) ? h.key : 0;
    ConnMap(stored.get(), item->entry, 0, stored->head.count - 1, 1);
    Trace("updateAlt: installing");
    ConnMap(copy, item->entry, 0, copy->head.count - 1, 0);
    ConnFixWidth(copy, 1);
    ConnObjFlags(item->entry, copy);
    AltPut(kRecConn, item->index, key, copy);
}

int32_t DrcViaVsConnVias(const Conn* conn, int32_t corner, const Conn* other) {
    const Crn& v = conn->crn[corner];
    for (int32_t l = 1; l <= LayerCount(); ++l) {
        if (!LayerActive(l) || !ViaPadCode(v.via, l)) continue;
        const int32_t r = ViaPadRadius(v.via, l);
        const int32_t s = LayerSpacing(l, kKindVia, nullptr, kClassVia);
        for (int32_t j = 0; j < other->head.count; ++j) {
            const Crn& o = other->crn[j];
            if (!o.via || (o.x == v.x && o.y == v.y) || !ViaPadCode(o.via, l)) continue;
            if (SegDist(v.x, v.y, o.x, o.y) < int64_t(r) + ViaPadRadius(o.via, l) + s) return 0;
        }
    }
    return 1;
}

int32_t DrcViaSpacingRange(int32_t entry, const Conn* conn, int32_t first, int32_t last) {
    if (last - first < 1) return 1;
    ScratchRecord<ObjList> list;
    GatherNeighbours(conn, first, last, list.get());
    if (list->truncated) return 0; // not every neighbour was gathered: the vias stay unproven
    ScratchRecord<Conn> other;
    for (int32_t i = first; i <= last; ++i) {
        if (!conn->crn[i].via) continue;
        for (int32_t k = 0; k < list->count; ++k) {
            const int32_t e = list->entry[k];
            if (e < 1) ErrReport(kErrCleanGathered, e);
            if (e == entry) continue;
            MapObj o;
            ObjGet(e, &o);
            if (o.type != kObjConn) continue;
            ConnReadJournal(o.index, other.get());
            if (!DrcViaVsConnVias(conn, i, other.get())) return 0;
        }
    }
    return 1;
}
