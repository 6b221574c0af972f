// The obstacle table and the shape helpers of obstacle records.
#include "db/obstacles.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/pool.h"
#include "db/symbols.h"

namespace {

int32_t UserUnit() {
    const int32_t u = DbHdr().userUnit;
    return u > 0 ? u : 1;
}

int32_t Clamp32(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v);
}

bool SamePoint(const ObsPoint& a, const ObsPoint& b) {
    return a.x == b.x && a.y == b.y;
}

// The first point i below count - 2 whose successor is an arc centre, -1
// when none.
int32_t FirstArc(const Obstacle* r) {
    for (int32_t i = 0; i < r->head.count - 2; ++i)
        if (r->pt[i + 1].flags & kObsPtArc) return i;
    return -1;
}

void PointBounds(const Obstacle* r, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    *x1 = *y1 = INT32_MAX;
    *x2 = *y2 = INT32_MIN;
    for (int32_t i = 0; i < r->head.count; ++i) {
        const ObsPoint& p = r->pt[i];
        if (p.x < *x1) *x1 = p.x;
        if (p.y < *y1) *y1 = p.y;
        if (p.x > *x2) *x2 = p.x;
        if (p.y > *y2) *y2 = p.y;
    }
}

} // namespace

// ---- shape helpers -------------------------------------------------------------

bool ObsIsClosed(const Obstacle* record) {
    switch (record->head.kind) {
    case kObsCopper:
    case kObsNoVia:
    case kObsBoardOutline:
    case kObsRouteKeepout:
    case kObsCompKeepin:
    case kObsCompKeepout:
    case kObsPlaceOutline:
    case kObsInsertionOutline:
        return true;
    default:
        break;
    }
    if (record->head.kind >= kObsGroupKeepin && record->head.kind <= kObsShavable) return true;
    const int32_t n = record->head.count;
    return n >= 3 && SamePoint(record->pt[n - 1], record->pt[0]);
}

namespace {

// Turns the arcs of work into segments in place; answers the arc-points
// code with the count it needed when that passes the points of a record.
ErrCode ArcsToSegsIn(Obstacle* work, int32_t* number) {
    void* segs = ScratchPush();
    const int32_t tolerance = 2 * UserUnit();
    for (int32_t i = FirstArc(work); i >= 0; i = FirstArc(work)) {
        const ObsPoint& s = work->pt[i];
        const ObsPoint& c = work->pt[i + 1];
        const ObsPoint& e = work->pt[i + 2];
        const ArcSpec arc{s.x, s.y, c.x, c.y, e.x, e.y, int32_t(c.flags & kObsPtArc)};
        ArcToSegs(tolerance, &arc, segs);
        // The arc's inner points take the centre's place.
        const int32_t inner = SegListCount(segs) - 2 > 0 ? SegListCount(segs) - 2 : 0;
        const int32_t count = work->head.count;
        const int32_t total = count - 1 + inner;
        if (total > kObsMaxPoints - 1) {
            ScratchPop(segs);
            *number = total;
            return kErrObsArcPoints;
        }
        const int16_t cornerWidth = s.width;
        std::memmove(&work->pt[i + 1 + inner], &work->pt[i + 2],
                     size_t(kObsPointBytes * (count - i - 2)));
        for (int32_t k = 0; k < inner; ++k) {
            ObsPoint& p = work->pt[i + 1 + k];
            SegListPoint(segs, k + 1, &p.x, &p.y);
            p.flags = 0;
            p.width = cornerWidth;
        }
        work->head.count = int16_t(total);
    }
    work->head.flags &= uint16_t(~(kObsHasArcs | kObsCircle));
    ScratchPop(segs);
    return 0;
}

} // namespace

void ObsArcsToSegs(Obstacle* record) {
    Obstacle* work = static_cast<Obstacle*>(ScratchPush());
    int32_t n = record->head.count;
    if (n < 0) n = 0;
    if (n > kMaxPoints) n = kMaxPoints;
    std::memcpy(work, record, size_t(kObsHeadBytes + kObsPointBytes * n));
    int32_t number = 0;
    if (ErrCode code = ArcsToSegsIn(work, &number)) ErrReport(code, number);
    std::memcpy(record, work, size_t(kObsHeadBytes + kObsPointBytes * work->head.count));
    ScratchPop(work);
}

void ObsBox(Obstacle* record) {
    ObsHead& h = record->head;
    if (h.count < 1) {
        h.minX = h.minY = h.maxX = h.maxY = 0;
        return;
    }
    if ((h.flags & kObsCircle) && h.count >= 2) {
        const ObsPoint& c = record->pt[1];
        const int32_t r = PtDist(record->pt[0].x, record->pt[0].y, c.x, c.y);
        h.minX = Clamp32(int64_t(c.x) - r), h.minY = Clamp32(int64_t(c.y) - r);
        h.maxX = Clamp32(int64_t(c.x) + r), h.maxY = Clamp32(int64_t(c.y) + r);
    } else if (h.flags & kObsHasArcs) {
        Obstacle* copy = static_cast<Obstacle*>(ScratchPush());
        std::memcpy(copy, record, sizeof(ObsHead) + size_t(kObsPointBytes) * size_t(h.count));
        ObsArcsToSegs(copy);
        PointBounds(copy, &h.minX, &h.minY, &h.maxX, &h.maxY);
        ScratchPop(copy);
    } else {
        PointBounds(record, &h.minX, &h.minY, &h.maxX, &h.maxY);
    }
    const int32_t half = h.width / 2;
    h.minX = Clamp32(int64_t(h.minX) - half), h.minY = Clamp32(int64_t(h.minY) - half);
    h.maxX = Clamp32(int64_t(h.maxX) + half), h.maxY = Clamp32(int64_t(h.maxY) + half);
}

int32_t ObsKindMsgId(int32_t kind) {
    if (kind >= 0 && kind <= 16) return 21535 + kind;
    if (kind >= 17 && kind <= 19) return 21536 + kind;
    return 21556;
}

// ---- the table -------------------------------------------------------------------

namespace {

enum : int32_t {
    kHeadsGrowBy = 10,
    kSecondBase = kObsFirstArray + 1, // obstacle 8,000 is the second array's first
    kFirstCapacity = kObsFirstArray + 1,
    kSecondCapacity = kObsMax - kObsFirstArray,
};

// A slot: the record (a block of exactly 48 + 12 x points bytes from pool 2)
// and the link to the next obstacle of the same owner (0 at the end, -1
// while not linked). The slot arrays live outside the pools: with 8-byte
// pointers 8,000 slots pass a pool piece.
struct Slot {
    Obstacle* rec;
    int16_t link;
};

std::vector<Slot> g_first;  // slots 0..7,999 (slot 0 unused)
std::vector<Slot> g_second; // obstacles 8,000..16,000
int32_t g_count = 0;
bool g_ready = false;
std::vector<int16_t> g_symHead;  // per symbol; 0 the board
std::vector<int16_t> g_compHead; // per component

Slot& At(int32_t o) {
    return o < kSecondBase ? g_first[size_t(o)] : g_second[size_t(o - kSecondBase)];
}

void SetCount(int32_t count) {
    g_count = count;
    DbHdr().obsCount = int16_t(count);
}

// Grows an array by 100 slots at a time up to its capacity.
void Grow(std::vector<Slot>& slots, size_t need, size_t cap) {
    if (need <= slots.capacity()) return;
    size_t room = (need + kObsGrowBy - 1) / kObsGrowBy * kObsGrowBy;
    slots.reserve(std::min(room, cap));
}

int16_t& Head(int32_t owner) {
    std::vector<int16_t>& heads = owner >= 0 ? g_symHead : g_compHead;
    const size_t at = size_t(owner >= 0 ? owner : -owner);
    if (at >= heads.size()) heads.resize((at / kHeadsGrowBy + 1) * kHeadsGrowBy, 0);
    return heads[at];
}

void Link(int32_t o) {
    int16_t& head = Head(At(o).rec->head.owner);
    At(o).link = head;
    head = int16_t(o);
}

void Unlink(int32_t o) {
    int16_t* at = &Head(At(o).rec->head.owner);
    for (int32_t steps = 0; *at != 0; ++steps) {
        if (steps > kObsMax) ErrReport(kErrObsLinkWalk, o);
        if (*at == o) {
            *at = At(o).link;
            At(o).link = -1;
            return;
        }
        at = &At(*at).link;
    }
    ErrReport(kErrObsLinkMissing, o);
}

int32_t RecBytes(int32_t count) {
    return kObsHeadBytes + kObsPointBytes * count;
}

// Another obstacle than o named id.
bool NameTaken(NameId id, int32_t o) {
    for (int32_t i = 1; i <= g_count; ++i)
        if (i != o && At(i).rec && At(i).rec->head.name == id) return true;
    return false;
}

// Sorts the first values of one coordinate ascending, up to the first
// INT_MAX.
void SortMatrix(Obstacle* r, bool xs) {
    std::vector<int32_t> v;
    for (int32_t i = 0; i < r->head.count; ++i) {
        const int32_t value = xs ? r->pt[i].x : r->pt[i].y;
        if (value == INT32_MAX) break;
        v.push_back(value);
    }
    std::sort(v.begin(), v.end());
    for (size_t i = 0; i < v.size(); ++i)
        (xs ? r->pt[i].x : r->pt[i].y) = v[i];
}

bool IsCircleShape(const Obstacle* r) {
    return r->head.count == 3 && SamePoint(r->pt[2], r->pt[0]) && (r->pt[1].flags & kObsPtArc);
}

// The circle rules: a circle flag asks for three points, the last on the
// first and the middle an arc centre off it; a shape of that form without
// the flag gets it.
ErrCode CircleRule(Obstacle* r, int32_t* number) {
    ObsHead& h = r->head;
    if (h.flags & kObsCircle) {
        auto fail = [number](ErrCode code, int32_t value) {
            *number = value;
            return code;
        };
        if (h.count != 3) return fail(kErrObsCircleFlag, h.count);
        if (!SamePoint(r->pt[2], r->pt[0])) return fail(kErrObsCircleFlag + 1, 2);
        if (!(r->pt[1].flags & kObsPtArc)) return fail(kErrObsCircleFlag + 2, r->pt[1].flags);
        if (SamePoint(r->pt[1], r->pt[0])) return fail(kErrObsCircleFlag + 3, 0);
    } else if (IsCircleShape(r)) {
        h.flags |= kObsCircle;
    }
    return 0;
}

// The arc rule (the two radii of an arc differ by less than three user
// units); sets the has-arcs flag of a shape that is no circle.
ErrCode ArcRule(Obstacle* r, int32_t* number) {
    ObsHead& h = r->head;
    h.flags &= uint16_t(~kObsHasArcs);
    if (h.flags & kObsCircle) return 0;
    const int32_t limit = 3 * UserUnit();
    bool arcs = false;
    for (int32_t i = 0; i < h.count - 2; ++i) {
        const ObsPoint& c = r->pt[i + 1];
        if (!(c.flags & kObsPtArc)) continue;
        const ObsPoint& e = r->pt[i + 2 < h.count ? i + 2 : 0];
        const int32_t d1 = PtDist(c.x, c.y, r->pt[i].x, r->pt[i].y);
        const int32_t d2 = PtDist(c.x, c.y, e.x, e.y);
        if ((d1 > d2 ? d1 - d2 : d2 - d1) >= limit) {
            *number = i + 1;
            return kErrObsArcRadii;
        }
        arcs = true;
    }
    if (arcs) h.flags |= kObsHasArcs;
    return 0;
}

void CircleCheck(Obstacle* r) {
    int32_t number = 0;
    if (ErrCode code = CircleRule(r, &number)) ErrReport(code, number);
}

void ArcCheck(Obstacle* r) {
    int32_t number = 0;
    if (ErrCode code = ArcRule(r, &number)) ErrReport(code, number);
}

// The points as the store takes them: a matrix's values sorted, a closed
// shape given its closing point. A full obstacle stays as it is: readers
// close closed shapes themselves.
void ShapePrepare(Obstacle* r) {
    ObsHead& h = r->head;
    if (h.kind == kObsMatrix) {
        SortMatrix(r, true);
        SortMatrix(r, false);
    } else if (ObsIsClosed(r) && h.count >= 3 && !SamePoint(r->pt[h.count - 1], r->pt[0]) &&
               h.count < kObsMaxPoints) {
        r->pt[h.count] = r->pt[0];
        ++h.count;
    }
}

void Name(Obstacle* r, int32_t o) {
    ObsHead& h = r->head;
    if (h.name == NameId(0xFFFFFFFF)) {
        char text[32];
        std::snprintf(text, sizeof text, "%ld", long(h.recordId));
        h.name = NameIntern(text);
    } else if (NameTaken(h.name, o)) {
        char text[kTextChars];
        NameToText(DbNumberName(2 * o), kTextChars - 1, text);
        for (NameId id = NameLookup(text); id != 0 && NameTaken(id, o); id = NameLookup(text))
            NameNext(text, kNameMaxChars);
        h.name = NameIntern(text);
    }
}

// The owners through the map, keeping the sign; obstacles of a deleted
// owner go.
void RenumberOwners(bool components, const int16_t* map, int32_t count) {
    DbTrustedScope trusted;
    Obstacle* copy = static_cast<Obstacle*>(ScratchPush());
    for (int32_t o = g_count; o >= 1; --o) {
        const Obstacle* rec = At(o).rec;
        if (!rec) continue;
        const int32_t owner = rec->head.owner;
        if (components ? owner >= 0 : owner <= 0) continue;
        const int32_t from = owner < 0 ? -owner : owner;
        if (from > count) continue;
        const int32_t to = map[from];
        if (to == 0) {
            ObsDelete(o);
        } else if (to != from) {
            std::memcpy(copy, rec, size_t(RecBytes(rec->head.count)));
            copy->head.owner = int16_t(owner < 0 ? -to : to);
            ObsPut(o, copy);
        }
    }
    ScratchPop(copy);
}

} // namespace

void ObsInit() {
    const DbHeader& h = DbHdr();
    g_first.clear();
    g_second.clear();
    g_first.shrink_to_fit();
    g_second.shrink_to_fit();
    const int32_t want = h.obsCount > 0 ? h.obsCount : 0;
    Grow(g_first, size_t(std::min<int32_t>(want, kObsFirstArray) + 1), kFirstCapacity);
    g_first.push_back(Slot{nullptr, -1});
    g_symHead.assign(size_t(h.symbolCount > 0 ? h.symbolCount : 0) + 1, 0);
    g_compHead.assign(size_t(h.compCount > 0 ? h.compCount : 0) + 1, 0);
    g_ready = true;
    SetCount(0);
}

void ObsReset() {
    g_first.clear();
    g_second.clear();
    g_first.shrink_to_fit();
    g_second.shrink_to_fit();
    g_symHead.clear();
    g_compHead.clear();
    g_count = 0;
    g_ready = false;
}

int32_t ObsCount() {
    return g_count;
}

int32_t ObsFirstArraySlots() {
    return int32_t(g_first.capacity());
}

int32_t ObsSecondArraySlots() {
    return int32_t(g_second.capacity());
}

int32_t ObsAppend() {
    if (!g_ready) ObsInit();
    const int32_t o = g_count + 1;
    if (o > kObsMax) ErrOutOfMemory(kErrObsFull);
    if (o < kSecondBase) {
        Grow(g_first, size_t(o) + 1, kFirstCapacity);
        g_first.push_back(Slot{nullptr, -1});
    } else {
        Grow(g_second, size_t(o - kSecondBase) + 1, kSecondCapacity);
        g_second.push_back(Slot{nullptr, -1});
    }
    SetCount(o);
    DbSetModified();
    return o;
}

void ObsDelete(int32_t o) {
    if (o < 1 || o > g_count) ErrReport(kErrObsDelete, o);
    const int32_t last = g_count;
    if (At(o).rec) {
        Unlink(o);
        PoolFreePtr(At(o).rec);
        At(o).rec = nullptr;
    }
    if (o != last) {
        const bool linked = At(last).rec != nullptr;
        if (linked) Unlink(last);
        At(o).rec = At(last).rec;
        At(last).rec = nullptr;
        if (linked) Link(o);
    }
    if (last < kSecondBase)
        g_first.pop_back();
    else
        g_second.pop_back();
    // The attributes and the journal follow: o and the old last exchange
    // their numbers.
    int16_t* map = static_cast<int16_t*>(
        PoolAlloc(int32_t(sizeof(int16_t)) * (last + 1), kPoolRenumber, kErrObsRenumberMap));
    for (int32_t i = 0; i <= last; ++i)
        map[i] = int16_t(i);
    map[o] = int16_t(last);
    map[last] = int16_t(o);
    DbAttrRenumber(kRecObstacle, map, last);
    AltRenumber(kRecObstacle, map, last);
    PoolReset(kPoolRenumber);
    SetCount(last - 1);
    DbSetModified();
}

const Obstacle* ObsRef(int32_t o) {
    if (o < 1 || o > g_count) ErrReport(kErrObsGet, o);
    return At(o).rec;
}

void ObsGet(int32_t o, Obstacle* out) {
    if (o < 1 || o > g_count) ErrReport(kErrObsGet, o);
    const Obstacle* rec = At(o).rec;
    if (!rec) {
        std::memset(out, 0, sizeof(ObsHead));
        return;
    }
    std::memcpy(out, rec, size_t(RecBytes(rec->head.count)));
}

ErrCode ObsPutCheck(int32_t o, const Obstacle* record, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    auto fail = [&out](ErrCode code, int32_t value) {
        out = value;
        return code;
    };
    const ObsHead& in = record->head;
    if (o < 1 || o > g_count) return fail(kErrObsPutIndex, o);
    if (in.count < 1 || in.count > kObsMaxPoints) return fail(kErrObsPutCount, in.count);
    if (in.layer > LayerCount()) return fail(kErrObsPutLayer, in.layer);
    if (in.width < 0) return fail(kErrObsPutWidth, in.width);
    if (in.net >= 1 && in.net > DbHdr().netCount) return fail(kErrObsPutNet, in.net);
    if (in.layer == 0 && in.net == 0) return fail(kErrObsPutAnyNetConn, 0);
    if (DbIsTrusted()) return 0;
    // The shape rules, on the points as the store would take them.
    Obstacle* r = static_cast<Obstacle*>(ScratchPush());
    std::memcpy(r, record, size_t(RecBytes(in.count)));
    ShapePrepare(r);
    ErrCode code = CircleRule(r, &out);
    if (!code) code = ArcRule(r, &out);
    if (!code && (r->head.flags & kObsHasArcs)) code = ArcsToSegsIn(r, &out);
    ScratchPop(r);
    return code;
}

void ObsPut(int32_t o, const Obstacle* record) {
    const ObsHead& in = record->head;
    int32_t number = 0;
    if (ErrCode code = ObsPutCheck(o, record, &number)) ErrReport(code, number);

    Obstacle* r = static_cast<Obstacle*>(ScratchPush());
    std::memcpy(r, record, size_t(RecBytes(in.count)));
    ObsHead& h = r->head;
    if (!DbIsTrusted()) {
        if (h.recordId == 0) h.recordId = DbNextRecordId();
        ShapePrepare(r);
        if (h.kind == kObsCopper && h.byte34 == 0) h.byte34 = 4;
        if (h.width < UserUnit()) h.width = UserUnit();
        CircleCheck(r);
        ArcCheck(r);
        Name(r, o);
        ObsBox(r);
    }
    if (h.owner == 0 && !(h.flags & kObsNoExtent)) DbExtentAdd(h.minX, h.minY, h.maxX, h.maxY);

    Slot& slot = At(o);
    const int32_t bytes = RecBytes(h.count);
    if (slot.rec) {
        Unlink(o);
        if (slot.rec->head.count != h.count) {
            PoolFreePtr(slot.rec);
            slot.rec = static_cast<Obstacle*>(PoolNewPtr(bytes, kPoolDb, kErrObsBlockKeep));
            if (!slot.rec) ErrOutOfMemory(kErrObsBlockKeep);
        }
    } else {
        slot.rec = static_cast<Obstacle*>(PoolNewPtr(bytes, kPoolDb, kErrObsBlockNew));
        if (!slot.rec) ErrOutOfMemory(kErrObsBlockNew);
    }
    std::memcpy(slot.rec, r, size_t(bytes));
    ScratchPop(r);
    Link(o);
    DbSetModified();
}

int32_t ObsFind(const char* text) {
    if (!g_ready) ErrReport(kErrObsFindTable, 0);
    if (g_count >= kSecondBase && g_second.empty()) ErrReport(kErrObsFindSlots, g_count);
    const NameId id = NameLookup(text);
    if (id == 0) return 0;
    for (int32_t o = 1; o <= g_count; ++o)
        if (At(o).rec && At(o).rec->head.name == id) return o;
    return 0;
}

int32_t SymObsFirst(int32_t s) {
    if (s < 0 || s > SymCount()) ErrReport(kErrObsSymFirst, s);
    return size_t(s) < g_symHead.size() ? g_symHead[size_t(s)] : 0;
}

int32_t ObsBoardFirst() {
    return g_symHead.empty() ? 0 : g_symHead[0];
}

int32_t CompObsFirst(int32_t c) {
    if (c < 1 || c > CompCount()) ErrReport(kErrObsCompFirst, c);
    if (size_t(c) < g_compHead.size() && g_compHead[size_t(c)] != 0) return g_compHead[size_t(c)];
    const int32_t s = CompRef(c)->symbol;
    return s >= 1 && size_t(s) < g_symHead.size() ? g_symHead[size_t(s)] : 0;
}

int32_t ObsNext(int32_t o) {
    if (o < 1 || o > g_count || !At(o).rec) ErrReport(kErrObsNext, o);
    const int16_t next = At(o).link;
    if (next > 0) return next;
    // A component's own list goes on with its symbol's.
    const int32_t owner = At(o).rec->head.owner;
    if (owner < 0 && -owner <= CompCount()) {
        const int32_t s = CompRef(-owner)->symbol;
        if (s >= 1 && size_t(s) < g_symHead.size()) return g_symHead[size_t(s)];
    }
    return 0;
}

void ObsPlace(Obstacle* record, int32_t dx, int32_t dy, int32_t angle) {
    ObsHead& h = record->head;
    for (int32_t i = 0; i < h.count; ++i)
        PtRotateExact(dx, dy, angle, &record->pt[i].x, &record->pt[i].y);
    if (h.flags & (kObsHasArcs | kObsCircle))
        ObsBox(record);
    else if (h.count > 0)
        PointBounds(record, &h.minX, &h.minY, &h.maxX, &h.maxY);
}

void ObsPlaceOnComp(int32_t o, int32_t c, Obstacle* out) {
    AltSave(kRecObstacle, o, out);
    const int32_t owner = out->head.owner;
    if (c == 0) {
        if (owner != 0) ErrReport(kErrObsPlaceNoComp, o);
        return;
    }
    Component comp;
    AltSave(kRecComponent, c, &comp);
    if (owner != -c && owner <= 0) ErrReport(kErrObsPlaceOwner, owner);
    if (owner > 0 && comp.symbol != owner) ErrReport(kErrObsPlaceSymbol, owner);
    ObsPlace(out, comp.x, comp.y, comp.angle);
}

void ObsCopy(Obstacle* destination, const Obstacle* source) {
    const int32_t n = source->head.count;
    if (n < 0 || n > kObsMaxPoints) ErrReport(kErrObsCopyCount, n);
    std::memmove(destination, source, size_t(RecBytes(n)));
}

void ObsCompRenumber(const int16_t* map, int32_t count) {
    RenumberOwners(true, map, count);
}

void ObsSymRenumber(const int16_t* map, int32_t count) {
    RenumberOwners(false, map, count);
}

void ObsNetRenumber(const int16_t* map, int32_t count) {
    for (int32_t o = 1; o <= g_count; ++o) {
        Obstacle* rec = At(o).rec;
        if (!rec || rec->head.net < 1 || rec->head.net > count) continue;
        const int16_t to = map[rec->head.net];
        rec->head.net = to == 0 ? int16_t(kObsNoNet) : to;
    }
    DbSetModified();
}

// ---- joining loose segments --------------------------------------------------------

namespace {

bool EndsMeet(int32_t ax, int32_t ay, int32_t bx, int32_t by, int32_t wa, int32_t wb) {
    if (ax == bx && ay == by) return true;
    return 2 * int64_t(PtDist(ax, ay, bx, by)) <= int64_t(wa) + wb;
}

void JoinSegments(ObsLooseList* list, bool endList) {
    if (!list || (list->count > 0 && !list->seg)) ErrReport(kErrObsNodesMissing, endList ? 2 : 1);
    const int32_t n = list->count;
    const int32_t unit = endList ? 1 : UserUnit();
    std::vector<bool> used(size_t(n > 0 ? n : 0), false);
    Obstacle* r = static_cast<Obstacle*>(ScratchPush());
    for (int32_t first = 0; first < n; ++first) {
        if (used[size_t(first)]) continue;
        used[size_t(first)] = true;
        const ObsLooseSeg& s0 = list->seg[first];
        // The chain as a deque of points with the widths of its end
        // segments.
        std::vector<ObsPoint> pts = {ObsPoint{s0.x1, s0.y1, 0, 0}, ObsPoint{s0.x2, s0.y2, 0, 0}};
        int32_t headWidth = s0.width * unit, tailWidth = headWidth;
        for (bool grown = true; grown && int32_t(pts.size()) < kObsMaxPoints;) {
            grown = false;
            for (int32_t j = 0; j < n && !grown; ++j) {
                if (used[size_t(j)]) continue;
                const ObsLooseSeg& s = list->seg[j];
                if (s.layer != s0.layer || (endList && s.kind != s0.kind)) continue;
                const int32_t w = s.width * unit;
                const ObsPoint& tail = pts.back();
                const ObsPoint& head = pts.front();
                if (EndsMeet(tail.x, tail.y, s.x1, s.y1, tailWidth, w)) {
                    pts.push_back(ObsPoint{s.x2, s.y2, 0, 0});
                    tailWidth = w;
                } else if (EndsMeet(tail.x, tail.y, s.x2, s.y2, tailWidth, w)) {
                    pts.push_back(ObsPoint{s.x1, s.y1, 0, 0});
                    tailWidth = w;
                } else if (EndsMeet(head.x, head.y, s.x2, s.y2, headWidth, w)) {
                    pts.insert(pts.begin(), ObsPoint{s.x1, s.y1, 0, 0});
                    headWidth = w;
                } else if (EndsMeet(head.x, head.y, s.x1, s.y1, headWidth, w)) {
                    pts.insert(pts.begin(), ObsPoint{s.x2, s.y2, 0, 0});
                    headWidth = w;
                } else {
                    continue;
                }
                used[size_t(j)] = true;
                grown = true;
            }
        }
        const int32_t o = ObsAppend();
        DbRecInit(kRecObstacle, r, o);
        ObsHead& h = r->head;
        h.count = int16_t(pts.size());
        std::memcpy(r->pt, pts.data(), sizeof(ObsPoint) * pts.size());
        h.width = s0.width * unit;
        h.layer = s0.layer;
        h.owner = 0;
        if (endList) {
            h.kind = s0.kind;
            h.net = kObsNoNet;
        } else {
            h.kind = kObsOutline;
            h.net = 0;
            h.flags = kObsBySystem;
        }
        ObsPut(o, r);
    }
    ScratchPop(r);
}

} // namespace

void ObsFromNodes(ObsLooseList* list) {
    JoinSegments(list, false);
}

void ObsFromNodesEnd(ObsLooseList* list) {
    JoinSegments(list, true);
}

void ObsRegister() {
    DbModuleOps ops;
    ops.init = &ObsInit;
    ops.free = &ObsReset;
    ops.add = &ObsAppend;
    ops.del = &ObsDelete;
    ops.get = [](int32_t n, void* out) { ObsGet(n, static_cast<Obstacle*>(out)); };
    ops.put = [](int32_t n, const void* rec) { ObsPut(n, static_cast<const Obstacle*>(rec)); };
    DbRegisterModule(kRecObstacle, ops);
}
