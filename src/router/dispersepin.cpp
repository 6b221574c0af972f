// The fan-out of one pad as the route loop asks for it: whether the pin
// already has a fan-out, the search for a new one, the spreading of a stub
// to the pin's other open connections, and the pad's error marker. Every
// store goes through the open journal level; connections are read as the
// edit sees them.
#include <algorithm>
#include <cstring>

#include "db/altjournal.h"
#include "db/attrs.h"
#include "db/comps.h"
#include "db/db.h"
#include "db/conns.h"
#include "db/layers.h"
#include "db/markers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "router/connnorm.h"
#include "router/disperse.h"
#include "router/objmap.h"
#include "router/objtable.h"

namespace {

enum : int32_t {
    kMarkerOnComponent = 9, // object kind of the marker: a component
    kLayerFlagLockStub = 0x0002,
};
enum : uint16_t { kConnSkipDisperse = 0x0040 };

// RAII scratch record.
struct Scratch {
    Conn* c = static_cast<Conn*>(ScratchPush());
    ~Scratch() { ScratchPop(c); }
};

bool StartsAt(const Conn& c, int32_t comp, int32_t pin) {
    return c.head.fromComp == comp && c.head.fromPin == pin;
}
bool EndsAt(const Conn& c, int32_t comp, int32_t pin) {
    return c.head.toComp == comp && c.head.toPin == pin;
}

bool HasUnrouted(const Conn& c) {
    for (int32_t i = 0; i + 1 < c.head.count; ++i)
        if (c.crn[i].layer == 0) return true;
    return false;
}

// The net's required layer (attribute kind 12 keyed by the net), 0 none.
int32_t RequiredLayer(int32_t net) {
    Attribute a;
    AttrScanStart(kAttrNetLayer, kRecNet, net, 0);
    return AttrScanNext(&a) ? a.key2 : 0;
}

const char* CompName(int32_t comp) {
    return NameText(CompRef(comp)->name);
}
const char* PinName(int32_t comp, int32_t pin) {
    return NameText(SymPinRef(CompRef(comp)->symbol, pin)->name);
}

} // namespace

int32_t isDispersed(int32_t comp, int32_t pin, int32_t net, int32_t* count, int32_t* exampleEntry,
                    Conn* out) {
    *count = 0;
    *exampleEntry = 0;
    if (net < 1 || net > NetCount()) return 0;
    Scratch s;
    Conn& c = *s.c;
    int32_t n = 0;
    const int16_t* entries = ObjNetEntries(net, &n);
    for (int32_t k = 0; k < n; ++k) {
        const int32_t e = entries[k];
        const MapObj& o = *ObjEntry(e);
        if (o.type != kObjConn) continue;
        ConnReadJournal(o.index, &c);
        if (EndsAt(c, comp, pin) && !StartsAt(c, comp, pin)) ConnReverse(&c);
        if (!StartsAt(c, comp, pin)) continue;
        for (int32_t i = 0; i + 1 < c.head.count && c.crn[i].layer != 0; ++i) {
            if (!c.crn[i + 1].via) continue;
            // The pattern keeps the corner after the via, its segment
            // unrouted, so the via itself reaches the other connections.
            ConnCopy(out, &c);
            const int32_t last = std::min(i + 2, c.head.count - 1);
            out->head.count = int16_t(last + 1);
            out->crn[i + 1].layer = 0;
            out->crn[last].layer = 0;
            out->head.toComp = 0;
            out->head.toPin = 0;
            if (g_verbose) ConnDump(out, "isDispersed: pattern", 0);
            return 1;
        }
        if (!HasUnrouted(c) || (c.head.flags & kConnSkipDisperse)) continue;
        if (++*count > 1) continue;
        *exampleEntry = e;
        ConnCopy(out, &c);
        out->crn[1] = c.crn[c.head.count - 1];
        out->head.count = 2;
        out->crn[0].layer = 0;
        out->crn[0].via = 0;
        out->crn[1].layer = 0;
        if (g_verbose) ConnDump(out, "isDispersed: example", 0);
    }
    return 0;
}

void copyDispersion(const Conn* patternIn) {
    Scratch sp, sc;
    Conn& pattern = *sp.c;
    ConnCopy(&pattern, patternIn);
    const int32_t comp = pattern.head.fromComp, pin = pattern.head.fromPin;
    const int32_t net = pattern.head.net;
    ConnReverse(&pattern);
    if (g_verbose) ConnDump(&pattern, "copyDispersion pattern", 0);
    const int32_t required = RequiredLayer(net);
    const bool lock = required >= 1 && required <= LayerCount() &&
                      (LayerRef(required)->flags & kLayerFlagLockStub);
    Conn& c = *sc.c;
    int32_t n = 0;
    const int16_t* entries = ObjNetEntries(net, &n);
    for (int32_t k = 0; k < n; ++k) {
        const MapObj& o = *ObjEntry(entries[k]);
        if (o.type != kObjConn) continue;
        ConnReadJournal(o.index, &c);
        if (StartsAt(c, comp, pin) && !EndsAt(c, comp, pin)) ConnReverse(&c);
        if (!EndsAt(c, comp, pin)) continue;
        // From the pin backwards to the last unrouted segment.
        int32_t u = c.head.count - 2;
        bool via = false;
        for (; u >= 0 && c.crn[u].layer != 0; --u)
            via = via || c.crn[u + 1].via != 0;
        if (u < 0 || via || c.crn[u + 1].via) continue;
        const int32_t keep = u + 1; // corners 0..u stay
        const int32_t add = pattern.head.count - 1;
        if (keep + add > kMaxCorners) continue;
        std::memcpy(&c.crn[keep], &pattern.crn[1], sizeof(Crn) * size_t(add));
        c.head.count = int16_t(keep + add);
        connReduce(&c);
        if (lock)
            for (int32_t i = 0; i < c.head.count; ++i)
                c.crn[i].flags |= kCrnLocked;
        AltPut(kRecConn, o.index, 0, &c);
    }
}

int32_t DispersePin(int32_t entry) {
    if (entry < 1 || entry > ObjCount() || ObjEntry(entry)->type != kObjPad)
        ErrReport(kErrDisperseNotPad, entry);
    const MapObj o = *ObjEntry(entry);
    if (o.index < 1 || o.index > CompCount()) ErrReport(kErrDisperseComp, o.index);
    if (o.link < 1 || o.link > SymPinCount(CompRef(o.index)->symbol))
        ErrReport(kErrDispersePin, o.link);
    if (o.net < 0 || o.net > NetCount()) ErrReport(kErrDisperseNet, o.net);
    if (g_verbose)
        DebugPrint("DispersePin: attempting to disperse %s.%s", CompName(o.index),
                   PinName(o.index, o.link));
    if (o.net == 0 && g_verbose)
        DebugPrint("DispersePin: PASS %s.%s is not used", CompName(o.index),
                   PinName(o.index, o.link));
    Scratch s;
    int32_t count = 0, example = 0;
    if (isDispersed(o.index, o.link, o.net, &count, &example, s.c)) {
        copyDispersion(s.c);
        return 1;
    }
    if (count == 0) return 1;
    if (!DisperseFindPath(example, s.c)) return 0;
    copyDispersion(s.c);
    return 1;
}

void DisperseError(int32_t comp, int32_t pin, int32_t add) {
    const Component* c = CompRef(comp);
    ErrorMarker m;
    for (int32_t n = MarkerCount(); n >= 1; --n) {
        MarkerGet(n, &m);
        if (m.type != kDisperseMarkerType || m.kind1 != kMarkerOnComponent ||
            m.id1 != c->recordId || m.sub1 != pin)
            continue;
        if (add) return;
        if (g_verbose) MarkerReport(&m, "DisperseError: deleting");
        const int32_t id = AltPut(kRecErrorMarker, n, 0, &m);
        AltItemHeader h;
        AltGet(id, &h, &m);
        h.flags |= kAltDeleted;
        AltItemPut(&h, &m);
        return;
    }
    if (!add) return;
    const int32_t index = MarkerCount() + AltCount() + 1;
    if (index >= kDisperseMarkerLimit) return;
    DbRecInit(kRecErrorMarker, &m, index);
    PlacedPin p;
    SymPinGet(c, pin, &p);
    m.type = kDisperseMarkerType;
    m.kind1 = kMarkerOnComponent;
    m.id1 = c->recordId;
    m.sub1 = int16_t(pin);
    m.x = p.x;
    m.y = p.y;
    if (g_verbose) MarkerReport(&m, "DisperseError: adding");
    const int32_t id = AltPut(kRecErrorMarker, index, 0, &m);
    AltItemHeader h;
    AltGet(id, &h, &m);
    h.flags |= kAltCreated;
    AltItemPut(&h, &m);
}
