// CleanAlt: the clean-up of the connections changed in the current journal
// level. Each changed connection (conn1) is met with every connection
// gathered near it (conn2), in the orientation their shared ends give, and
// where they run together they are joined; updateAlt installs what passes.
// Connections deleted in the level take no part, neither as conn1 nor as
// conn2. The two items' copies live in scratch records for the run.
#include <algorithm>
#include <vector>

#include "db/altjournal.h"
#include "db/conns.h"
#include "router/gather.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "rules/cleanitem.h"
#include "rules/ruleadapt.h"

CleanItem CleanConn1;
CleanItem CleanConn2;
bool CleanFailure = false;

void CleanItemReverse(CleanItem* it) {
    const int32_t n = it->conn->head.count;
    ConnReverse(it->conn);
    const int32_t first = it->first, last = it->last;
    it->first = n - 1 - last;
    it->last = n - 1 - first;
    if (it->common >= 0) it->common = n - 1 - it->common;
    it->reversed = !it->reversed;
}

bool CleanJournalItem(int32_t index, AltItemHeader* out) {
    ScratchRecord<Conn> image;
    for (int32_t n = AltCount(); n >= 1; --n) {
        AltGet(n, out, image.get());
        if (out->type == kRecConn && out->index == index) return true;
    }
    return false;
}

namespace {

// The connections deleted in the level, gathered once per run.
std::vector<int32_t> s_deleted;

void Trace(const char* text) {
    if (g_verbose) DebugPrint("%s", text);
}

struct EndInfo {
    int32_t comp, pin, x, y, layer;
};

EndInfo EndOf(const Conn* c, bool to) {
    const int32_t n = c->head.count;
    const Crn& k = c->crn[to ? n - 1 : 0];
    const int32_t layer = to ? (n > 1 ? c->crn[n - 2].layer : 0) : k.layer;
    return {to ? c->head.toComp : c->head.fromComp, to ? c->head.toPin : c->head.fromPin, k.x, k.y,
            layer};
}

bool Meet(const EndInfo& a, const EndInfo& b) {
    if (a.comp && a.comp == b.comp && a.pin == b.pin) return true;
    return a.x == b.x && a.y == b.y && a.layer && a.layer == b.layer;
}

void Join(int32_t mode) {
    if (hitConn1Conn2(mode)) ConnJoin(&CleanConn1, &CleanConn2);
}

// Reverses the items named, joins, and reverses them back.
void JoinTurned(bool turn1, bool turn2, int32_t mode) {
    if (CleanFailure) return;
    if (turn1) CleanItemReverse(&CleanConn1);
    if (turn2) CleanItemReverse(&CleanConn2);
    Join(mode);
    if (turn2) CleanItemReverse(&CleanConn2);
    if (turn1) CleanItemReverse(&CleanConn1);
}

void CleanOne(int32_t n, ObjList* list);

void CleanWalk(bool forward, ObjList* list) {
    if (forward)
        for (int32_t n = 1; n <= AltCount(); ++n)
            CleanOne(n, list);
    else
        for (int32_t n = AltCount(); n >= 1; --n)
            CleanOne(n, list);
}

void CleanOne(int32_t n, ObjList* list) {
    AltItemHeader h;
    AltGet(n, &h, CleanConn1.conn);
    if (h.type != kRecConn || (h.flags & kAltDeleted)) return;
    const int32_t entry = ObjFindConn(h.index);
    if (!entry) return;
    CleanConn1.type = kRecConn;
    CleanConn1.index = h.index;
    CleanConn1.entry = entry;
    ConnReadJournal(h.index, CleanConn1.conn);
    if (CleanConn1.conn->head.count < 2) return;
    Trace("CleanAlt: conn1");
    GatherNeighbours(CleanConn1.conn, 0, CleanConn1.conn->head.count - 1, list);
    for (int32_t g = list->count - 1; g >= 0; --g) {
        const int32_t obj = list->entry[g];
        if (obj <= kObjEdgeEntry) continue;
        if (CleanAltObject(obj, 0) == 1) CleanAltObject(obj, 1);
    }
}

} // namespace

void CleanConnPair(int32_t obj, int32_t mode) {
    MapObj o;
    ObjGet(obj, &o);
    if (o.index == CleanConn1.index) return;
    if (std::find(s_deleted.begin(), s_deleted.end(), o.index) != s_deleted.end()) return;
    CleanItem& c2 = CleanConn2;
    c2.type = kRecConn;
    c2.index = o.index;
    c2.entry = obj;
    c2.common = kCleanNoCorner;
    c2.changed = c2.reversed = c2.extend = false;
    ConnReadJournal(o.index, c2.conn);
    if (c2.conn->head.count < 2) return;
    const Conn* c1 = CleanConn1.conn;
    const EndInfo f1 = EndOf(c1, false), t1 = EndOf(c1, true);
    const EndInfo f2 = EndOf(c2.conn, false), t2 = EndOf(c2.conn, true);
    if (Meet(f1, f2)) {
        JoinTurned(false, false, mode);
    } else if (Meet(f1, t2)) {
        JoinTurned(false, true, mode);
    } else if (Meet(t1, f2)) {
        JoinTurned(true, false, mode);
    } else if (Meet(t1, t2)) {
        JoinTurned(true, true, mode);
    } else {
        JoinTurned(false, false, mode);
        JoinTurned(false, true, mode);
        JoinTurned(true, true, mode);
        JoinTurned(true, false, mode);
    }
    updateAlt(&c2);
}

int32_t CleanAltObject(int32_t obj, int32_t mode) {
    CleanFailure = false;
    CleanConn1.changed = CleanConn1.reversed = CleanConn1.extend = false;
    MapObj o;
    ObjGet(obj, &o);
    switch (o.type) {
    case kObjPad:
    case kObjObstacle:
    case kObjEdge:
    case kObjText:
        break;
    case kObjConn:
        CleanConnPair(obj, mode);
        break;
    default:
        ErrReport(kErrCleanObjType, o.type);
    }
    updateAlt(&CleanConn1);
    if (!CleanFailure) return 1;
    ConnReadJournal(CleanConn1.index, CleanConn1.conn);
    return 0;
}

void CleanAltRules() {
    if (!ObjTableValid() || !MapReady()) return; // no loaded objects: nothing to meet
    Trace("CleanAlt: starting");
    ScratchRecord<Conn> conn1;
    ScratchRecord<Conn> conn2;
    ScratchRecord<ObjList> list;
    CleanConn1 = CleanItem{};
    CleanConn2 = CleanItem{};
    CleanConn1.conn = conn1.get();
    CleanConn2.conn = conn2.get();
    s_deleted.clear();
    for (int32_t n = 1; n <= AltCount(); ++n) {
        AltItemHeader h;
        AltGet(n, &h, conn1.get());
        if (h.type == kRecConn && (h.flags & kAltDeleted)) s_deleted.push_back(h.index);
    }
    CleanWalk(true, list.get());
    CleanWalk(false, list.get());
    CleanConn1.conn = CleanConn2.conn = nullptr;
    s_deleted.clear();
    Trace("CleanAlt: complete");
}
