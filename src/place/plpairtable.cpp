// The per-net pair tables: built from the connections of every net (one
// entry per connection, cluster members replaced by their master, free and
// unplaced ends far away), copied out by the collectors, which stop at 399
// entries. Nets without connections or with more than 399 have no table; a
// NOROUTE net has an empty one.
#include <cstring>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/nets.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "place/plmodel.h"
#include "place/plpairstate.h"

PlPairState g_pairs;

namespace {

enum : int32_t { kTableHead = 4, kEntryBytes = int32_t(sizeof(PlPairEntry)) };

bool Unplaced(int32_t c) {
    return PlCompRef(c)->flags & kPlCompUnplaced;
}

void SetEnd(PlPairEntry& e, int32_t end, int32_t comp, int32_t pin, int32_t x, int32_t y) {
    if (end == 1) {
        e.comp1 = int16_t(comp);
        e.pin1 = int16_t(pin);
        e.x1 = x;
        e.y1 = y;
    } else {
        e.comp2 = int16_t(comp);
        e.pin2 = int16_t(pin);
        e.x2 = x;
        e.y2 = y;
    }
}

// A placed end: the master's position for a cluster member, else the pin.
void PlacedEnd(PlPairEntry& e, int32_t end, int32_t c, int32_t pin) {
    const Component* comp = PlCompRef(c);
    if (comp->compRef != 0) {
        const Component* m = PlCompRef(comp->compRef);
        SetEnd(e, end, comp->compRef, 0, m->x, m->y);
        return;
    }
    PlacedPin p{};
    if (comp->symbol >= 1 && pin >= 1 && pin <= SymPinCount(comp->symbol)) {
        SymPinGet(comp, pin, &p);
    } else {
        p.x = comp->x;
        p.y = comp->y;
    }
    SetEnd(e, end, c, pin, p.x, p.y);
}

// One connection's entry; false when it gives none.
bool MakeEntry(const Conn* conn, PlPairEntry& e) {
    std::memset(&e, 0, sizeof e);
    const int32_t c1 = conn->head.fromComp, c2 = conn->head.toComp;
    if (c1 == 0 || Unplaced(c1))
        SetEnd(e, 1, 0, 0, kPairFar, kPairFar);
    else
        PlacedEnd(e, 1, c1, conn->head.fromPin);
    if (c2 == 0) {
        if (e.comp1 == 0) return false;
        SetEnd(e, 2, 0, 0, kPairFar, kPairFar);
    } else if (Unplaced(c2)) {
        if (e.comp1 == 0) return false;
        SetEnd(e, 2, 0, 0, e.x1, e.y1);
    } else {
        const int32_t master = PlCompRef(c2)->compRef;
        if (master != 0 && master == e.comp1) return false;
        PlacedEnd(e, 2, c2, conn->head.toPin);
    }
    e.net = conn->head.net;
    e.connFlags = int16_t(conn->head.flags);
    return true;
}

void BuildNet(int32_t n) {
    const Net* net = NetRef(n);
    if (net->flags & kPlNetNoRoute) {
        PlPairTable* t = PairTableNew(0);
        t->flags = kPairNoRoute;
        g_pairs.nets[size_t(n)] = t;
        return;
    }
    int32_t conns = 0;
    for (int32_t k = NetConnFirst(n); k != 0; k = NetConnNext(k))
        ++conns;
    if (conns == 0 || conns > kPairMaxEntries) return;
    PlPairTable* t = PairTableNew(conns);
    t->flags = int16_t(net->flags);
    for (int32_t k = NetConnFirst(n); k != 0; k = NetConnNext(k)) {
        const Conn* conn = static_cast<const Conn*>(AltRef(kRecConn, k));
        if (conn && MakeEntry(conn, t->entry[t->count])) ++t->count;
    }
    g_pairs.nets[size_t(n)] = t;
}

// Appends an entry to a collector; false when it is full.
bool Collect(PlPairTable* out, const PlPairEntry& e) {
    if (out->count >= kPairMaxEntries) return false;
    out->entry[out->count++] = e;
    return true;
}

} // namespace

void PairTableCopy(PlPairTable* to, const PlPairTable* from) {
    std::memcpy(to, from, size_t(kTableHead + kEntryBytes * from->count));
}

PlPairTable* PairTableNew(int32_t n) {
    auto* t = static_cast<PlPairTable*>(
        PoolAlloc(kTableHead + kEntryBytes * (n > 0 ? n : 1), g_pairs.pool, kErrPairPool));
    t->count = 0;
    t->flags = 0;
    return t;
}

bool PairCompSelected(int32_t c) {
    return c > 0 && g_pairs.mask && g_pairs.mask[c] != 0;
}

void PlNetPinTableFree() {
    if (g_pairs.pool) PoolClose(g_pairs.pool);
    g_pairs = PlPairState{};
}

void PlNetPinTable() {
    PlNetPinTableFree();
    g_pairs.pool = PoolOpen(kErrPairPool);
    g_pairs.nets.assign(size_t(NetCount()) + 1, nullptr);
    g_pairs.selection.assign(size_t(NetCount()) + 1, nullptr);
    for (int32_t n = 1; n <= NetCount(); ++n)
        BuildNet(n);
}

void PairTablesEnsure() {
    if (!g_pairs.pool) PlNetPinTable();
}

// Copies every entry as many times as the test counts it (0, 1 or 2),
// stopping when the collector is full.
template <typename Times> int32_t CollectAll(PlPairTable* out, Times times) {
    PairTablesEnsure();
    out->count = 0;
    out->flags = 0;
    for (const PlPairTable* t : g_pairs.nets) {
        if (!t) continue;
        for (int32_t k = 0; k < t->count; ++k)
            for (int32_t n = times(t->entry[k]); n > 0; --n)
                if (!Collect(out, t->entry[k])) return out->count;
    }
    return out->count;
}

int32_t PlPairsOfComp(int32_t comp, PlPairTable* out, int32_t both) {
    return CollectAll(out, [&](const PlPairEntry& e) {
        return int32_t(e.comp1 == comp) + int32_t(both && e.comp2 == comp);
    });
}

int32_t PlNetPairsGet(int32_t net, PlPairTable* out) {
    PairTablesEnsure();
    out->count = 0;
    out->flags = 0;
    if (net < 1 || size_t(net) >= g_pairs.nets.size() || !g_pairs.nets[size_t(net)]) return 0;
    const PlPairTable* t = g_pairs.nets[size_t(net)];
    if (t->count > kPairMaxEntries) ErrReport(kErrPairTableCount, t->count);
    PairTableCopy(out, t);
    return out->count;
}

int32_t PlPairsOfPin(int32_t comp, int32_t pin, PlPairTable* out) {
    return CollectAll(out, [&](const PlPairEntry& e) {
        return int32_t((e.comp1 == comp && e.pin1 == pin) || (e.comp2 == comp && e.pin2 == pin));
    });
}
