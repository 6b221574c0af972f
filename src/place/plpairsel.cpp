// The pairs of a selection: PairSelect marks the nets that cross it (an
// entry with exactly one selected end) and keeps their entries;
// PairsOfSelection re-pairs those nets with the selection moved, for the
// flight lines of a drag; PairUpdate re-pairs them in place after a move.
// A re-paired net's table is replaced by one sized for its tree.
#include <cstring>
#include <memory>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/nets.h"
#include "db/pool.h"
#include "place/plmodel.h"
#include "place/plpairstate.h"

namespace {

int32_t SelectedEnds(const PlPairEntry& e) {
    return int32_t(PairCompSelected(e.comp1)) + int32_t(PairCompSelected(e.comp2));
}

PlPairTable* CopyTable(const PlPairTable* t) {
    PlPairTable* c = PairTableNew(t->count);
    PairTableCopy(c, t);
    return c;
}

// The net's tree with the selection moved by (dx, dy) into out; out->count
// stays 0 when the net is not re-paired.
void PairNetMoved(int32_t net, int32_t dx, int32_t dy, PlPairTable* out) {
    out->count = 0;
    const PlPairTable* sel = g_pairs.selection[size_t(net)];
    if (!sel || sel->count > kPairRepairMax) return;
    PairWork w;
    w.kind = PairNetMetric(net);
    std::vector<PairPoint> loose;
    for (int32_t k = 0; k < sel->count; ++k) {
        const PlPairEntry& e = sel->entry[k];
        PairPoint a{e.x1, e.y1, e.comp1, e.pin1}, b{e.x2, e.y2, e.comp2, e.pin2};
        if (PairCompSelected(a.comp)) a.x += dx, a.y += dy;
        if (PairCompSelected(b.comp)) b.x += dx, b.y += dy;
        if (SelectedEnds(e) == 2) {
            w.fixed.push_back({a, b, PairDistance(w.kind, int64_t(a.x) - b.x, int64_t(a.y) - b.y)});
            continue;
        }
        for (const PairPoint& p : {a, b})
            if (p.comp != 0 || p.pin != 0) loose.push_back(p);
    }
    for (const PairPoint& p : loose)
        PairAddFree(w, p);
    // A lone free point is joined to the fixed pairs; without them it is
    // nothing to pair.
    if (w.free.size() < 2 && w.fixed.empty()) w.free.clear();
    PairBuildTree(w);
    PairTableCopy(out, sel);
    PairStoreTree(w, out);
}

void Append(PlPairTable* out, const PlPairTable* t, int32_t all) {
    if (t->count >= kPairMaxEntries) return;
    for (int32_t k = 0; k < t->count && out->count < kPairMaxEntries; ++k)
        if (all || SelectedEnds(t->entry[k]) == 1) out->entry[out->count++] = t->entry[k];
}

bool SelectionHasCluster() {
    for (int32_t c = 1; c <= CompCount(); ++c)
        if (PairCompSelected(c) && PlCompRef(c)->compRef) return true;
    return false;
}

// A selected end that stands for a cluster: a member, or the master that
// stands in for its members (pin 0).
bool ClusterEnd(int32_t c, int32_t pin) {
    return PairCompSelected(c) && (pin == 0 || PlCompRef(c)->compRef != 0);
}

} // namespace

int32_t PairSelect(const uint8_t* mask) {
    PairTablesEnsure();
    const int32_t comps = CompCount();
    if (!g_pairs.mask)
        g_pairs.mask = static_cast<uint8_t*>(PoolAlloc(comps + 1, g_pairs.pool, kErrPairPool));
    std::memcpy(g_pairs.mask, mask, size_t(comps) + 1);
    g_pairs.selected = true;
    int32_t marked = 0;
    for (size_t n = 1; n < g_pairs.nets.size(); ++n) {
        PlPairTable* t = g_pairs.nets[n];
        g_pairs.selection[n] = nullptr;
        if (!t) continue;
        bool mark = false;
        for (int32_t k = 0; k < t->count && !mark; ++k)
            mark = SelectedEnds(t->entry[k]) == 1;
        if (!mark) {
            t->flags &= int16_t(~kPairMarked);
            continue;
        }
        t->flags |= kPairMarked;
        ++marked;
        if (t->count > kPairMaxEntries) {
            if (g_verbose) DebugPrint("PairSelect: overflow net %d", int32_t(n));
            continue;
        }
        g_pairs.selection[n] = CopyTable(t);
    }
    return marked;
}

const uint8_t* PairSelMask() {
    if (!g_pairs.selected) ErrReport(kErrPairNoMask, 0);
    return g_pairs.mask;
}

void PairsOfSelection(int32_t dx, int32_t dy, int32_t sdx, int32_t sdy, int32_t all,
                      PlPairTable* out) {
    if (!g_pairs.selected) ErrReport(kErrPairSelNoSelect, 0);
    if (!out) ErrReport(kErrPairSelNoOut, 0);
    out->count = 0;
    out->flags = 0;
    auto work = std::make_unique<PlPairTable>();
    for (size_t n = 1; n < g_pairs.nets.size(); ++n) {
        const PlPairTable* t = g_pairs.nets[n];
        if (!t || !(t->flags & kPairMarked)) continue;
        const PlPairTable* sel = g_pairs.selection[n];
        if (!sel) ErrReport(kErrPairSelNoTable, int32_t(n));
        if (NetRef(int32_t(n))->netType & kPlNetStyleExcluded) {
            PairTableCopy(work.get(), sel);
            for (int32_t k = 0; k < work->count; ++k) {
                PlPairEntry& e = work->entry[k];
                if (PairCompSelected(e.comp1)) e.x1 += sdx, e.y1 += sdy;
                if (PairCompSelected(e.comp2)) e.x2 += sdx, e.y2 += sdy;
            }
        } else {
            PairNetMoved(int32_t(n), dx, dy, work.get());
            if (work->count == 0) PairTableCopy(work.get(), sel);
        }
        Append(out, work.get(), all);
    }
    if (out->count == 0 || !SelectionHasCluster()) return;
    const int32_t step = kAngFullTurn / out->count;
    int32_t a = 0;
    for (int32_t k = 0; k < out->count; ++k, a += step) {
        PlPairEntry& e = out->entry[k];
        const int32_t sx = int32_t(AngSin(a) * double(kPairSpread)),
                      sy = int32_t(AngCos(a) * double(kPairSpread));
        if (ClusterEnd(e.comp1, e.pin1)) {
            e.x1 += sx;
            e.y1 += sy;
        } else if (ClusterEnd(e.comp2, e.pin2)) {
            e.x2 += sx;
            e.y2 += sy;
        }
    }
}

void PairUpdate() {
    if (!g_pairs.selected) ErrReport(kErrPairUpdNoSelect, 0);
    if (!g_pairs.pool) ErrReport(kErrPairUpdNoTables, 0);
    auto work = std::make_unique<PlPairTable>();
    for (size_t n = 1; n < g_pairs.nets.size(); ++n) {
        const PlPairTable* t = g_pairs.nets[n];
        if (!t || !(t->flags & kPairMarked)) continue;
        if (NetRef(int32_t(n))->netType & kPlNetStyleExcluded) continue;
        if (t->count > kPairRepairMax) continue;
        if (!g_pairs.selection[n]) ErrReport(kErrPairNoTables, int32_t(n));
        if (g_verbose) DebugPrint("PairUpdate: updating net %d", int32_t(n));
        PairNetMoved(int32_t(n), 0, 0, work.get());
        work->flags = t->flags;
        g_pairs.nets[n] = CopyTable(work.get());
    }
}
