// The connection table: blocks of one connection each from pool 2, the low
// and high slot tables, free lists by corner count and the per-net lists;
// the checks and derived values of a stored connection; corner editing and
// the fitting of connections to moved pins.
#include "db/conns.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "db/altjournal.h"
#include "db/attrs.h"
#include "db/comps.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/layers.h"
#include "db/limits.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "toolbox/core/byteorder.h"

namespace {

enum : ErrCode {
    kErrCornerCount = 5239021,
    kErrSegLayer = 5239023,
    kErrViaType = 5239025,
    kErrFull = 5239030,
    kErrDeleteEmpty = 5239036,
    kErrBlock = 5239040,
    kErrPutNet = 5239051,
    kErrEndComp = 5239057,
    kErrLinkNet = 5239063,
    kErrFirstNet = 5239064,
    kErrUnlinkNet = 5239070,
    kErrUnlinkWalk = 5239072,
    kErrNextIndex = 5239076,
    kErrFindBefore = 5239078,
    kErrInBoxIndex = 5239079,
    kErrDeleteIndex = 5239080,
    kErrGetIndex = 5239082,
    kErrRefIndex = 5239083,
    kErrPutIndex = 5239084,
    kErrStoreIndex = 5239085,
    kErrSameEndIndex = 5239086,
    kErrCopyCount = 5239091,
    kErrNetWidth = 5239095,
    kErrCrnCoord = 5239096, // a corner beyond the coordinate limit
    kErrCrnFlags = 5239097, // a corner flag byte beyond 0..7
    kErrSetFlagsNet = 5239564,
    kErrRebuildNoLists = 5239603,
    kErrInsertAt = 5240020,
    kErrInsertCount = 5240022,
    kErrDeleteAt = 5240025,
    kErrDeleteCount = 5240027,
    kErrTurnZero = 5250110,
    kErrLevNoAttr = 54690,
    kErrLevZero = 54691,
    // Placing an end's pin: the component's symbol, then the pin number.
    kErrPinSymbol = 5226071,
    kErrPinNumber = 5226074,
};

constexpr int32_t kFullNumber = 1041;
constexpr int32_t kHeadBytes = 36;
constexpr int32_t kCrnBytes = 14;
constexpr int32_t kLinkBytes = 2;
constexpr uint16_t kHdrRebuildAsked = kHdrNetValidate | kHdrConnFit | kHdrNetRebuild;
constexpr double kViaAllowanceInch = 0.025;

bool g_ready = false;         // the table was set up by ConnTableInit
std::vector<uint8_t*> g_low;  // slots 1..15,999 (slot 0 unused)
std::vector<uint8_t*> g_high; // slots 16,000.. at position n - 16,000
int32_t g_capacity = 0;
int32_t g_count = 0;
std::vector<uint8_t*> g_free[kConnMaxCorners + 1];
std::vector<int16_t> g_heads; // net list heads, nets 1..g_listNets
int32_t g_listNets = 0;

uint8_t*& SlotRef(int32_t n) {
    if (n < kConnLowSlots) return g_low[size_t(n)];
    return g_high[size_t(n - kConnLowSlots)];
}
uint8_t* Slot(int32_t n) {
    return SlotRef(n);
}

int32_t RecBytes(int32_t corners) {
    return kHeadBytes + kCrnBytes * corners;
}

Conn* RecOf(uint8_t* block) {
    return reinterpret_cast<Conn*>(block + kLinkBytes);
}

int16_t LinkOf(int32_t c) {
    int16_t v;
    std::memcpy(&v, Slot(c), sizeof v);
    return v;
}
void SetLink(uint8_t* block, int16_t v) {
    std::memcpy(block, &v, sizeof v);
}
void SetLinkOf(int32_t c, int32_t v) {
    SetLink(Slot(c), int16_t(v));
}

// The corner count a block was made for.
int32_t BlockCorners(uint8_t* block) {
    return RecOf(block)->head.count;
}

void SetCount(int32_t count) {
    g_count = count;
    DbHdr().connCount = int16_t(count);
}

int32_t Clamp32(int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return int32_t(v);
}

void CheckIndex(int32_t n, ErrCode code) {
    if (n < 1 || n > g_count) ErrReport(code, n);
}

// Copies a record with at most 1,001 corners (the room of a buffer).
void CopyRecord(Conn* dst, const Conn* src) {
    int32_t corners = src->head.count;
    if (corners < 0) corners = 0;
    if (corners > kMaxCorners) corners = kMaxCorners;
    std::memmove(dst, src, size_t(RecBytes(corners)));
}

// The board position of a pin of the component as stored.
void PinPos(int32_t comp, int32_t pin, int32_t* x, int32_t* y) {
    PlacedPin placed;
    SymPinGet(CompRef(comp), pin, &placed);
    *x = placed.x;
    *y = placed.y;
}

// A padstack has a pad on the layer: a shape count and a first shape code.
bool PadOnLayer(int32_t thru, int32_t layer) {
    if (thru < 1 || thru > ThruCount()) return false;
    const ThruLayer* block = ThruPadRef(thru, layer);
    return block->shapeCount != 0 && block->shape[0].code != kPadUndef;
}

bool PinPadOnLayer(int32_t comp, int32_t pin, int32_t layer) {
    const Component* c = CompRef(comp);
    if (c->symbol < 1) return false;
    return PadOnLayer(SymPinThru(c->symbol, pin), layer);
}

void NetConnLink(int32_t c, int32_t net) {
    if (net < 1 || net > g_listNets) {
        int32_t nets = NetCount();
        if (net < 1 || net > nets) ErrReport(kErrLinkNet, net);
        g_heads.resize(size_t(g_heads.empty() ? nets + 1 : nets + 10), 0);
        g_listNets = nets;
    }
    SetLinkOf(c, g_heads[size_t(net)]);
    g_heads[size_t(net)] = int16_t(c);
}

void NetConnUnlink(int32_t c, int32_t net) {
    if (net < 1 || net > g_listNets) ErrReport(kErrUnlinkNet, net);
    int16_t& head = g_heads[size_t(net)];
    if (head == c) {
        head = LinkOf(c);
    } else {
        int32_t p = head;
        while (p != 0 && LinkOf(p) != c)
            p = LinkOf(p);
        if (p == 0) ErrReport(kErrUnlinkWalk, c);
        SetLinkOf(p, LinkOf(c));
    }
    SetLinkOf(c, 0);
}

// The turn of a component that the pending edit rotates: the second caller
// word of its journal item flagged 0x20.
int32_t JournalTurn(int32_t comp) {
    static std::vector<uint8_t> image = std::vector<uint8_t>(size_t(kRecordImageMax));
    int32_t items = AltCount();
    for (int32_t i = 1; i <= items; ++i) {
        AltItemHeader h;
        AltGet(i, &h, image.data());
        if (h.type != kRecComponent || h.index != comp || !(h.flags & 0x20)) continue;
        if (h.word2 == 0) ErrReport(kErrTurnZero, comp);
        return h.word2;
    }
    return 0;
}

// Offsets and moved points in 64 bits: the stored point is the moved one
// cut to 32 bits (within the coordinate limit it is exact), never a signed
// overflow.
void MoveCorners(Conn* r, int32_t last, int64_t dx, int64_t dy) {
    for (int32_t i = 0; i <= last; ++i) {
        r->crn[i].x = int32_t(int64_t(r->crn[i].x) + dx);
        r->crn[i].y = int32_t(int64_t(r->crn[i].y) + dy);
    }
}

// Fits end 0 of the record to the pin at (px, py).
void FitEnd(Conn* r, int32_t px, int32_t py, int32_t turn, bool routed) {
    Crn* crn = r->crn;
    const int64_t dx = int64_t(px) - crn[0].x, dy = int64_t(py) - crn[0].y;
    if (!routed) {
        crn[0].x = px;
        crn[0].y = py;
        crn[0].layer = 0;
        return;
    }
    if (dx == 0 && dy == 0 && turn == 0) return;
    int32_t count = r->head.count;
    bool lockedStart = (crn[0].flags & (kCrnLocked | kCrnLatched)) != 0;
    enum { kOther, kGap, kRunEnd } outcome = kOther;
    int32_t e = 0;
    for (int32_t i = 0; i < count - 1; ++i) {
        if (crn[i].layer == 0) {
            outcome = kGap;
            e = i;
            break;
        }
        bool nextHeld = (crn[i + 1].flags & (kCrnLocked | kCrnLatched)) != 0;
        if (lockedStart) {
            if (nextHeld && i + 1 < count - 1) continue;
            if (!nextHeld) {
                outcome = kRunEnd;
                e = i;
            }
            break;
        }
        if (nextHeld) break;
    }
    if (outcome == kRunEnd && e == 0) outcome = kOther;
    if (outcome == kOther) {
        crn[0].layer = 0;
        crn[0].x = px;
        crn[0].y = py;
        return;
    }
    if (outcome == kRunEnd) {
        // A connection at the insertion limit loses the segment instead.
        if (count < kConnInsertLimit) CrnInsert(r, e, 1);
        crn[e].layer = 0;
    }
    MoveCorners(r, e, dx, dy);
    if (turn != 0 && e > 0) CrnRotate(r, crn[0].x, crn[0].y, turn, e);
}

const char* CompLabel(int32_t c) {
    if (c == 0) return "Node";
    if (c < 0 || c > CompCount()) return "???";
    return NameText(CompRef(c)->name);
}

// A coordinate in user units: whole numbers with %ld, others with %5.3f.
void CoordPart(char* out, size_t size, int32_t v, const char* before, const char* after) {
    int32_t uu = DbHdr().userUnit > 0 ? DbHdr().userUnit : 1;
    if (v % uu == 0)
        std::snprintf(out, size, "%s%ld%s", before, long(v / uu), after);
    else
        std::snprintf(out, size, "%s%5.3f%s", before, double(v) / uu, after);
}

void Append(char* line, size_t size, const char* text) {
    size_t used = std::strlen(line);
    if (used + 1 < size) std::snprintf(line + used, size - used, "%s", text);
}

// The component-renumbering part of the connections: ends on a deleted
// component are freed and their nets flagged; other ends follow the map.
void ConnCompRenumber(const int16_t* map, int32_t count) {
    auto local = std::make_unique<Conn>();
    for (int32_t c = 1; c <= g_count; ++c) {
        const Conn* ref = ConnRef(c);
        if (!ref) continue;
        CopyRecord(local.get(), ref);
        bool changed = false;
        ConnHead& h = local->head;
        int16_t* comps[2] = {&h.fromComp, &h.toComp};
        int16_t* pins[2] = {&h.fromPin, &h.toPin};
        for (int32_t e = 0; e < 2; ++e) {
            int32_t comp = *comps[e];
            if (comp == 0) continue;
            int32_t m = (comp >= 1 && comp <= count) ? map[comp] : comp;
            if (m == comp) continue;
            changed = true;
            *comps[e] = int16_t(m);
            if (m != 0) continue;
            *pins[e] = 0;
            if (h.net >= 1 && h.net <= NetCount() && !(NetRef(h.net)->flags & kNetLostEnd)) {
                Net net;
                NetGet(h.net, &net);
                net.flags |= kNetLostEnd;
                NetPut(h.net, &net);
            }
            DbHdr().flags |= kHdrNetValidate;
        }
        if (changed) ConnStore(c, local.get());
    }
}

} // namespace

// ---- the table ------------------------------------------------------------------

void ConnTableInit() {
    int32_t capacity = DbHdr().connCount;
    if (capacity < 0) capacity = 0;
    if (capacity < kConnLowSlots) {
        g_low.assign(size_t(capacity + 1), nullptr);
        g_high.assign(1, nullptr);
        g_capacity = capacity;
    } else {
        g_low.assign(size_t(kConnLowPointers), nullptr);
        g_high.assign(size_t(capacity - (kConnLowSlots - 1)), nullptr);
        g_capacity = capacity;
    }
    for (auto& list : g_free)
        list.clear();
    g_heads.clear();
    g_listNets = 0;
    SetCount(0);
    g_ready = true;
}

void ConnTableFree() {
    g_low.clear();
    g_low.shrink_to_fit();
    g_high.clear();
    g_high.shrink_to_fit();
    for (auto& list : g_free) {
        list.clear();
        list.shrink_to_fit();
    }
    g_heads.clear();
    g_listNets = 0;
    g_capacity = 0;
    g_count = 0;
    g_ready = false;
}

int32_t ConnCount() {
    return g_count;
}

int32_t ConnAdd() {
    if (g_count >= g_capacity) {
        int32_t grown = g_capacity + kConnGrow;
        if (grown >= kConnLimit) ErrReport(kErrFull, kFullNumber);
        if (int32_t(g_low.size()) < kConnLowPointers) {
            int32_t low = grown + 1 < kConnLowPointers ? grown + 1 : int32_t(kConnLowPointers);
            g_low.resize(size_t(low), nullptr);
            if (g_high.empty()) g_high.assign(1, nullptr);
            g_capacity =
                low < kConnLowPointers ? low - 1 : kConnLowSlots - 1 + int32_t(g_high.size());
        } else {
            g_high.resize(g_high.size() + size_t(kConnGrow), nullptr);
            g_capacity = kConnLowSlots - 1 + int32_t(g_high.size());
        }
    }
    int32_t n = g_count + 1;
    SlotRef(n) = nullptr;
    SetCount(n);
    DbSetModified();
    return n;
}

int32_t ConnCopy(Conn* destination, const Conn* source) {
    int32_t corners = source->head.count;
    if (corners < 0 || corners > kConnMaxCorners) ErrReport(kErrCopyCount, corners);
    int32_t size = RecBytes(corners);
    std::memmove(destination, source, size_t(size));
    return size;
}

int32_t ConnGet(int32_t n, Conn* out) {
    CheckIndex(n, kErrGetIndex);
    uint8_t* block = Slot(n);
    if (!block) {
        std::memset(out, 0, sizeof(Conn));
        return 0;
    }
    return ConnCopy(out, RecOf(block));
}

const Conn* ConnRef(int32_t n) {
    CheckIndex(n, kErrRefIndex);
    uint8_t* block = Slot(n);
    return block ? RecOf(block) : nullptr;
}

void ConnStore(int32_t n, const Conn* record) {
    CheckIndex(n, kErrStoreIndex);
    auto local = std::make_unique<Conn>();
    int32_t size = ConnCopy(local.get(), record);
    int32_t corners = local->head.count;
    uint8_t*& slot = SlotRef(n);
    if (!slot || BlockCorners(slot) != corners) {
        int16_t link = 0;
        if (slot) {
            std::memcpy(&link, slot, sizeof link);
            g_free[size_t(BlockCorners(slot))].push_back(slot);
        }
        uint8_t* block;
        std::vector<uint8_t*>& list = g_free[size_t(corners)];
        if (!list.empty()) {
            block = list.back();
            list.pop_back();
        } else {
            block = static_cast<uint8_t*>(PoolAlloc(kLinkBytes + size, kPoolDb, kErrBlock));
        }
        SetLink(block, link);
        RecOf(block)->head.count = int16_t(corners);
        slot = block;
    }
    if (!DbIsTrusted()) {
        ConnBox(local.get());
        ConnDeriveFlags(local.get());
    }
    std::memcpy(RecOf(Slot(n)), local.get(), size_t(size));
    DbSetModified();
}

namespace {

// The pin of a connection end must be placeable: the component's symbol
// exists and has the pin.
// Whether a pin, where its component places it, lies within the coordinate
// limit, so that an end put onto it does too. A pin that does not exist is
// left to the other rules.
bool PinInLimit(int32_t comp, int32_t pin) {
    const Component* c = CompRef(comp);
    if (c->symbol < 1 || c->symbol > SymCount() || pin < 1 || pin > SymPinCount(c->symbol))
        return true;
    int32_t x = 0, y = 0;
    PinPos(comp, pin, &x, &y);
    return InCoordLimit(x) && InCoordLimit(y);
}

ErrCode PinRule(int32_t comp, int32_t pin, int32_t* number) {
    int32_t s = CompRef(comp)->symbol;
    if (s < 1 || s > SymCount()) {
        *number = s;
        return kErrPinSymbol;
    }
    if (pin < 1 || pin > SymPinCount(s)) {
        *number = pin;
        return kErrPinNumber;
    }
    if (!PinInLimit(comp, pin)) {
        *number = pin;
        return kErrCrnCoord;
    }
    return 0;
}

// The rules of a record stored as given: the size fits a block, every
// corner lies within the coordinate limit with a flag byte of 0..7, the
// pins of its ends too, and a segment (or a ratsnest) without a width has
// a net width to take, since the pin fitting of validation stores it again
// with the full rules.
ErrCode TrustedRule(const Conn* record, int32_t* number) {
    const ConnHead& h = record->head;
    auto fail = [number](ErrCode code, int32_t value) {
        *number = value;
        return code;
    };
    const int32_t count = h.count;
    if (count < 0 || count > kConnMaxCorners) return fail(kErrCopyCount, count);
    for (int32_t i = 0; i < count; ++i) {
        const Crn& c = record->crn[i];
        if (!InCoordLimit(c.x) || !InCoordLimit(c.y)) return fail(kErrCrnCoord, i);
        if (c.flags > 7) return fail(kErrCrnFlags, c.flags);
    }
    const int32_t comp[2] = {h.fromComp, h.toComp};
    const int32_t pin[2] = {h.fromPin, h.toPin};
    for (int32_t e = 0; e < 2; ++e)
        if (comp[e] >= 1 && comp[e] <= CompCount() && !PinInLimit(comp[e], pin[e]))
            return fail(kErrCrnCoord, pin[e]);
    const Net* net = NetRef(h.net);
    if (net->width != 0) return 0;
    if (count < 2 && net->minWidth == 0 && net->maxWidth == 0) return fail(kErrNetWidth, h.net);
    for (int32_t i = 0; i < count - 1; ++i)
        if (record->crn[i].width == 0) return fail(kErrNetWidth, h.net);
    return 0;
}

} // namespace

ErrCode ConnPutCheck(int32_t n, const Conn* record, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    auto fail = [&out](ErrCode code, int32_t value) {
        out = value;
        return code;
    };
    if (n < 1 || n > g_count) return fail(kErrPutIndex, n);
    const ConnHead& h = record->head;
    if (h.net < 1 || h.net > NetCount()) return fail(kErrPutNet, h.net);
    int32_t count = h.count;
    // Stored as given while trusted: nothing is derived, but the values
    // stay within what validation and the readers rely on.
    if (DbIsTrusted()) return TrustedRule(record, &out);
    int32_t comps = CompCount();
    if (h.fromComp < 0 || h.fromComp > comps) return fail(kErrEndComp, h.fromComp);
    if (h.toComp < 0 || h.toComp > comps) return fail(kErrEndComp, h.toComp);
    const int32_t comp[2] = {h.fromComp, h.toComp};
    const int32_t pin[2] = {h.fromPin, h.toPin};
    const Net* net = NetRef(h.net);
    if (count < 2) {
        if (DbHdr().flags & (kHdrNetValidate | kHdrNetRebuild))
            // Kept as given, with no segment to widen.
            return count < 0 ? fail(kErrCopyCount, count) : 0;
        // Made a ratsnest from pin to pin, its segment as wide as the net.
        for (int32_t e = 0; e < 2; ++e)
            if (comp[e] != 0)
                if (ErrCode code = PinRule(comp[e], pin[e], &out)) return code;
        if (net->width == 0 && net->minWidth == 0 && net->maxWidth == 0)
            return fail(kErrNetWidth, h.net);
        return 0;
    }
    if (count > kConnMaxCorners) return fail(kErrCornerCount, count);
    int32_t layers = LayerCount();
    int32_t vias = DbHdr().viaCount;
    for (int32_t i = 0; i < count; ++i)
        if (!InCoordLimit(record->crn[i].x) || !InCoordLimit(record->crn[i].y))
            return fail(kErrCrnCoord, i);
    for (int32_t i = 0; i < count - 1; ++i) {
        if (record->crn[i].layer > layers) return fail(kErrSegLayer, record->crn[i].layer);
        if (record->crn[i].via > vias) return fail(kErrViaType, record->crn[i].via);
    }
    // The corners as the store takes them: arcs whose radii differ lose
    // their start corner.
    const Conn* rec = record;
    std::unique_ptr<Conn> local;
    if (h.flags & kConnArc) {
        local = std::make_unique<Conn>();
        CopyRecord(local.get(), record);
        for (int32_t i = 0; i < count; ++i)
            if (local->crn[i].flags > 7) local->crn[i].flags = 0;
        ConnCheckArcs(local.get());
        rec = local.get();
    }
    int32_t last = rec->head.count - 1;
    // The ends put on their pins: both of a new connection, else those that
    // changed.
    if (!(DbHdr().flags & kHdrRebuildAsked)) {
        bool moved[2] = {true, true};
        if (uint8_t* block = Slot(n)) {
            const Conn* old = RecOf(block);
            const ConnHead& o = old->head;
            int32_t oldLast = o.count - 1;
            moved[0] =
                h.fromComp != o.fromComp || h.fromPin != o.fromPin ||
                (o.count > 0 && (rec->crn[0].x != old->crn[0].x || rec->crn[0].y != old->crn[0].y));
            moved[1] = h.toComp != o.toComp || h.toPin != o.toPin ||
                       (oldLast >= 0 && (rec->crn[last].x != old->crn[oldLast].x ||
                                         rec->crn[last].y != old->crn[oldLast].y));
        }
        for (int32_t e = 0; e < 2; ++e)
            if (moved[e] && comp[e] != 0)
                if (ErrCode code = PinRule(comp[e], pin[e], &out)) return code;
    }
    // A segment without a width takes the net's.
    if (net->width == 0)
        for (int32_t i = 0; i < last; ++i)
            if (rec->crn[i].width == 0) return fail(kErrNetWidth, h.net);
    return 0;
}

void ConnPut(int32_t n, const Conn* record) {
    int32_t number = 0;
    if (ErrCode code = ConnPutCheck(n, record, &number)) ErrReport(code, number);
    auto local = std::make_unique<Conn>();
    CopyRecord(local.get(), record);
    ConnHead& h = local->head;
    bool trusted = DbIsTrusted();
    if (!trusted) {
        if (record->head.count >= 2)
            ConnCheckCorners(local.get());
        else if (!(DbHdr().flags & (kHdrNetValidate | kHdrNetRebuild)))
            ConnFillEnds(local.get());
        if (h.flags & kConnArc) ConnCheckArcs(local.get());
    }
    if (uint8_t* block = Slot(n)) {
        const Conn* old = RecOf(block);
        if (!trusted) {
            const ConnHead& o = old->head;
            int32_t last = h.count - 1, oldLast = o.count - 1;
            bool fromMoved =
                h.fromComp != o.fromComp || h.fromPin != o.fromPin ||
                (h.count > 0 && o.count > 0 &&
                 (local->crn[0].x != old->crn[0].x || local->crn[0].y != old->crn[0].y));
            bool toMoved = h.toComp != o.toComp || h.toPin != o.toPin ||
                           (last >= 0 && oldLast >= 0 &&
                            (local->crn[last].x != old->crn[oldLast].x ||
                             local->crn[last].y != old->crn[oldLast].y));
            if (fromMoved) validateEnd(local.get(), 0);
            if (toMoved) validateEnd(local.get(), 1);
            if (h.net != o.net) {
                NetConnUnlink(n, o.net);
                NetConnLink(n, h.net);
            }
        }
        ConnStore(n, local.get());
        return;
    }
    if (!trusted) {
        validateEnd(local.get(), 0);
        validateEnd(local.get(), 1);
    }
    ConnStore(n, local.get());
    NetConnLink(n, h.net);
}

int32_t ConnDelete(int32_t n) {
    CheckIndex(n, kErrDeleteIndex);
    uint8_t* block = Slot(n);
    if (!block) ErrReport(kErrDeleteEmpty, n);
    int32_t old = g_count;
    NetConnUnlink(n, RecOf(block)->head.net);
    g_free[size_t(BlockCorners(block))].push_back(block);
    SlotRef(n) = nullptr;
    if (n < old) {
        uint8_t* last = Slot(old);
        if (last) {
            int32_t net = RecOf(last)->head.net;
            NetConnUnlink(old, net);
            SlotRef(n) = last;
            SlotRef(old) = nullptr;
            NetConnLink(n, net);
        }
    }
    std::vector<int16_t> map(size_t(old) + 1);
    for (int32_t i = 0; i <= old; ++i)
        map[size_t(i)] = int16_t(i);
    map[size_t(old)] = int16_t(n);
    map[size_t(n)] = int16_t(old);
    DbAttrRenumber(kRecConn, map.data(), old);
    AltRenumber(kRecConn, map.data(), old);
    SlotRef(old) = nullptr;
    SetCount(old - 1);
    DbSetModified();
    return old;
}

void ConnSwapLayout(void* record, int32_t bytes) {
    auto* base = static_cast<uint8_t*>(record);
    SwapByLayout(base, "L5W8");
    int32_t corners = (bytes - kHeadBytes) / kCrnBytes;
    for (int32_t i = 0; i < corners; ++i)
        SwapByLayout(base + kHeadBytes + kCrnBytes * i, "L2W");
}

// ---- net lists ------------------------------------------------------------------

int32_t NetConnFirst(int32_t net) {
    if (net < 1 || net > NetCount()) ErrReport(kErrFirstNet, net);
    if (net > g_listNets) return 0;
    return g_heads[size_t(net)];
}

int32_t NetConnNext(int32_t c) {
    CheckIndex(c, kErrNextIndex);
    if (!Slot(c)) return 0;
    return LinkOf(c);
}

void NetConnRebuild() {
    if (!g_ready) ErrReport(kErrRebuildNoLists, g_count);
    g_heads.assign(size_t(NetCount() + 1), 0);
    g_listNets = NetCount();
    for (int32_t c = 1; c <= g_count; ++c) {
        uint8_t* block = Slot(c);
        if (!block) continue;
        SetLink(block, 0);
        NetConnLink(c, RecOf(block)->head.net);
    }
}

void NetConnSetFlags(int32_t net, const Net* record) {
    if (net < 1 || net > NetCount()) ErrReport(kErrSetFlagsNet, net);
    uint16_t set = uint16_t(record->flags & (kNetNoShove | kNetNoRipup));
    if (record->flags & kNetHighlight) set |= kConnHighlight;
    for (int32_t c = NetConnFirst(net); c != 0; c = NetConnNext(c)) {
        ConnHead& h = RecOf(Slot(c))->head;
        h.flags = uint16_t(
            (h.flags & ~(kConnNoShove | kConnNoRipup | kConnHighlight | kConnNetAttr)) | set);
    }
}

// ---- queries --------------------------------------------------------------------

int32_t ConnSameEnd(int32_t n, const Conn* record) {
    CheckIndex(n, kErrSameEndIndex);
    const Conn* c = ConnRef(n);
    if (!c) return 0;
    const int16_t a[2][2] = {{c->head.fromComp, c->head.fromPin}, {c->head.toComp, c->head.toPin}};
    const int16_t b[2][2] = {{record->head.fromComp, record->head.fromPin},
                             {record->head.toComp, record->head.toPin}};
    for (const auto& x : a)
        for (const auto& y : b)
            if (x[0] != 0 && x[0] == y[0] && x[1] == y[1]) return 1;
    return 0;
}

int32_t ConnFindCompBefore(int32_t c, int32_t k) {
    if (k < 1 || k > g_count + 1) ErrReport(kErrFindBefore, k);
    for (int32_t i = k - 1; i >= 1; --i) {
        uint8_t* block = Slot(i);
        if (!block) continue;
        const ConnHead& h = RecOf(block)->head;
        if (h.fromComp == c || h.toComp == c) return i;
    }
    return 0;
}

int32_t ConnFindComp(int32_t c) {
    return ConnFindCompBefore(c, g_count + 1);
}

int32_t ConnInBox(int32_t n) {
    CheckIndex(n, kErrInBoxIndex);
    const Conn* c = ConnRef(n);
    if (!c) return 0;
    const DbHeader& hd = DbHdr();
    if (c->head.minX > hd.dispMaxX || c->head.maxX < hd.dispMinX || c->head.minY > hd.dispMaxY ||
        c->head.maxY < hd.dispMinY)
        return 0;
    auto image = std::make_unique<Conn>();
    if (AltSave(kRecConn, n, image.get())) return 0;
    return 1;
}

void ConnDump(const Conn* record, const char* label, int32_t detail) {
    const ConnHead& h = record->head;
    char line[600];
    const char* netName =
        (h.net >= 1 && h.net <= NetCount()) ? NameText(NetRef(h.net)->name) : "??";
    std::snprintf(line, sizeof line, "%s: Connection from %s.%d to ", label, CompLabel(h.fromComp),
                  int(h.fromPin));
    // The names come from a ring of text buffers; take each in turn.
    Append(line, sizeof line, CompLabel(h.toComp));
    char tail[200];
    std::snprintf(tail, sizeof tail, ".%d net \"", int(h.toPin));
    Append(line, sizeof line, tail);
    Append(line, sizeof line, netName);
    std::snprintf(tail, sizeof tail, "\" (%d)", int(h.net));
    Append(line, sizeof line, tail);
    DebugSink(line);
    if (!detail) return;
    std::snprintf(line, sizeof line, "\tFlags=");
    const struct {
        uint16_t bit;
        const char* word;
    } flagWords[] = {{kConnNotSelected, " Not-Selected"}, {kConnNoShove, " No-Shove"},
                     {kConnNoRipup, " No-Ripup"},         {kConnNetAttr, " NetAttr"},
                     {kConnHighlight, " Highlight"},      {kConnArc, " Arc"},
                     {kConnNoSweep, " No-Sweep"}};
    for (const auto& f : flagWords)
        if (h.flags & f.bit) Append(line, sizeof line, f.word);
    DebugSink(line);
    int32_t count = h.count < 0 ? 0 : (h.count > kMaxCorners ? int32_t(kMaxCorners) : h.count);
    for (int32_t i = 0; i < count; ++i) {
        const Crn& c = record->crn[i];
        char part[80];
        std::snprintf(line, sizeof line, "    crn:%d", int(i));
        CoordPart(part, sizeof part, c.x, " [", ",");
        Append(line, sizeof line, part);
        CoordPart(part, sizeof part, c.y, "", "]");
        Append(line, sizeof line, part);
        std::snprintf(part, sizeof part, " V:%d", int(c.via));
        Append(line, sizeof line, part);
        if (i < count - 1) {
            std::snprintf(part, sizeof part, " Lev:%d W:%u", int(c.layer), unsigned(c.width));
            Append(line, sizeof line, part);
            const Crn& d = record->crn[i + 1];
            int64_t dx = int64_t(d.x) - c.x, dy = int64_t(d.y) - c.y;
            if (c.layer != 0 && dx != 0 && dy != 0 && dx != dy && dx != -dy)
                Append(line, sizeof line, " Oblique");
        }
        if (c.flags & kCrnLocked) Append(line, sizeof line, " Locked");
        if (c.flags & kCrnLatched) Append(line, sizeof line, " Latched");
        if (c.flags & kCrnArc) Append(line, sizeof line, " Arc");
        if (c.flags > 7) Append(line, sizeof line, " BadFlag");
        DebugSink(line);
    }
}

int32_t PinReachesLayer(int32_t comp, int32_t pin, int32_t layer) {
    if (comp == 0) return 0;
    if (PinPadOnLayer(comp, pin, layer)) return 1;
    // A walk over the pins met so far, one frame per pin: each frame visits
    // its component's connections from the highest index down. The visit
    // mark keeps a connection from being walked twice on one path.
    struct Frame {
        int32_t comp, pin;
        int32_t next; // the exclusive start of the next search
        int32_t conn; // the connection being visited, 0 none
        bool reversed;
    };
    std::vector<Frame> stack;
    stack.push_back({comp, pin, g_count + 1, 0, false});
    auto endVisit = [](Frame& f) {
        Conn* c = RecOf(Slot(f.conn));
        c->head.flags &= uint16_t(~kConnVisit);
        if (f.reversed) ConnReverse(c);
        f.conn = 0;
        f.reversed = false;
    };
    int32_t answer = 0;
    while (!stack.empty() && !answer) {
        Frame& f = stack.back();
        if (f.conn != 0) endVisit(f);
        int32_t k = ConnFindCompBefore(f.comp, f.next);
        if (k == 0) {
            stack.pop_back();
            continue;
        }
        f.next = k;
        Conn* c = RecOf(Slot(k));
        bool reversed = false;
        if (c->head.toComp == f.comp && c->head.toPin == f.pin) {
            ConnReverse(c);
            reversed = true;
        }
        if (c->head.fromComp != f.comp || c->head.fromPin != f.pin ||
            (c->head.flags & kConnVisit)) {
            if (reversed) ConnReverse(c);
            continue;
        }
        c->head.flags |= kConnVisit;
        f.conn = k;
        f.reversed = reversed;
        int32_t count = c->head.count;
        bool gap = false;
        for (int32_t i = 0; i < count; ++i) {
            if (c->crn[i].via != 0 && PadOnLayer(c->crn[i].via, layer)) {
                answer = 1;
                break;
            }
            if (i < count - 1 && c->crn[i].layer == 0) {
                gap = true;
                break;
            }
        }
        if (answer || gap) continue;
        int32_t farComp = c->head.toComp, farPin = c->head.toPin;
        if (farComp == 0) continue; // a free end reaches nothing
        if (PinPadOnLayer(farComp, farPin, layer)) {
            answer = 1;
            continue;
        }
        stack.push_back({farComp, farPin, g_count + 1, 0, false});
    }
    for (Frame& f : stack)
        if (f.conn != 0) endVisit(f);
    return answer;
}

int32_t ConnNetLevOk(const Conn* record) {
    int32_t net = record->head.net;
    if (!(NetRef(net)->flags & kNetReqLayer)) return 0;
    Attribute a;
    AttrScanStart(kAttrNetLayer, kRecNet, net, 0);
    if (!AttrScanNext(&a)) ErrReport(kErrLevNoAttr, net);
    int32_t layer = a.key2;
    if (layer == 0) ErrReport(kErrLevZero, net);
    if (PinReachesLayer(record->head.fromComp, record->head.fromPin, layer) &&
        PinReachesLayer(record->head.toComp, record->head.toPin, layer))
        return layer;
    return 0;
}

// ---- derived parts of a record ---------------------------------------------------

void ConnBox(Conn* record) {
    ConnHead& h = record->head;
    int64_t minX = INT32_MAX, minY = INT32_MAX, maxX = -INT32_MAX, maxY = -INT32_MAX;
    double unit = DbHdr().unitSize;
    int64_t allow = unit > 0 ? int64_t(kViaAllowanceInch / unit) : 0;
    auto widen = [&](int64_t x, int64_t y) {
        if (x < minX) minX = x;
        if (y < minY) minY = y;
        if (x > maxX) maxX = x;
        if (y > maxY) maxY = y;
    };
    uint16_t widest = 0;
    for (int32_t i = 0; i < h.count; ++i) {
        const Crn& c = record->crn[i];
        widen(c.x, c.y);
        if (c.via != 0) {
            widen(int64_t(c.x) - allow, int64_t(c.y) - allow);
            widen(int64_t(c.x) + allow, int64_t(c.y) + allow);
        }
        if (i < h.count - 1 && c.width > widest) widest = c.width;
    }
    int64_t grow = int64_t(widest) * DbHdr().connGrid / 2;
    h.minX = Clamp32(minX - grow);
    h.minY = Clamp32(minY - grow);
    h.maxX = Clamp32(maxX + grow);
    h.maxY = Clamp32(maxY + grow);
}

void ConnCheckCorners(Conn* record) {
    int32_t count = record->head.count;
    if (count < 2 || count > kConnMaxCorners) ErrReport(kErrCornerCount, count);
    int32_t layers = LayerCount();
    int32_t vias = DbHdr().viaCount;
    for (int32_t i = 0; i < count; ++i) {
        Crn& c = record->crn[i];
        if (i < count - 1) {
            if (c.layer > layers) ErrReport(kErrSegLayer, c.layer);
            if (c.via > vias) ErrReport(kErrViaType, c.via);
        }
        if (c.flags > 7) c.flags = 0;
    }
    ConnBox(record);
    DbExtentAdd(record->head.minX, record->head.minY, record->head.maxX, record->head.maxY);
}

void ConnCheckArcs(Conn* record) {
    int32_t i = 0;
    while (i + 2 < record->head.count) {
        Crn* c = record->crn;
        if (!(c[i + 1].flags & kCrnArc)) {
            ++i;
            continue;
        }
        double r1 = std::hypot(double(c[i].x) - c[i + 1].x, double(c[i].y) - c[i + 1].y);
        double r2 = std::hypot(double(c[i + 2].x) - c[i + 1].x, double(c[i + 2].y) - c[i + 1].y);
        if (std::fabs(r2 - r1) > 10.0) {
            CrnDelete(record, i, 1);
            // The former centre is now corner i, with no arc around it.
            c[i].flags &= uint8_t(~kCrnArc);
            continue;
        }
        for (int32_t j = i; j <= i + 2; ++j)
            c[j].flags |= kCrnLocked | kCrnLatched;
        c[i + 1].via = 0;
        ++i;
    }
}

void ConnDeriveFlags(Conn* record) {
    ConnHead& h = record->head;
    int32_t n = h.net;
    Net net;
    NetGet(n, &net);
    uint16_t flags = uint16_t(h.flags & ~(kConnNotSelected | kConnNoShove | kConnNoRipup |
                                          kConnNetAttr | kConnHighlight));
    if (net.flags & kNetNoShove) flags |= kConnNoShove;
    if (net.flags & kNetNoRipup) flags |= kConnNoRipup;
    if (net.flags & kNetHighlight) flags |= kConnHighlight;
    bool notSelected = (net.flags & kNetNoRoute) || (flags & kConnNoSweep);
    for (int32_t comp : {int32_t(h.fromComp), int32_t(h.toComp)})
        if (comp != 0 && (CompRef(comp)->flags & kCompNoRoute)) notSelected = true;
    if (notSelected) flags |= kConnNotSelected;
    h.flags = flags;
    bool changed = false;
    for (int32_t i = 0; i < h.count - 1; ++i) {
        Crn& c = record->crn[i];
        if (c.width == 0) {
            if (net.width == 0) ErrReport(kErrNetWidth, n);
            c.width = net.width;
        }
        if (c.width < net.minWidth || net.minWidth == 0) {
            net.minWidth = c.width;
            changed = true;
        }
        if (c.width > net.maxWidth) {
            net.maxWidth = c.width;
            changed = true;
        }
    }
    if (changed) NetPut(n, &net);
}

void ConnFillEnds(Conn* record) {
    ConnHead& h = record->head;
    for (int32_t i = h.count < 0 ? 0 : h.count; i < 2; ++i)
        std::memset(&record->crn[i], 0, sizeof(Crn));
    h.count = 2;
    for (int32_t e = 0; e < 2; ++e) {
        int32_t comp = e ? h.toComp : h.fromComp;
        if (comp == 0) continue;
        int32_t x, y;
        PinPos(comp, e ? h.toPin : h.fromPin, &x, &y);
        record->crn[e].x = x;
        record->crn[e].y = y;
    }
    for (int32_t i = 0; i < 2; ++i) {
        record->crn[i].layer = 0;
        record->crn[i].via = 0;
    }
    record->crn[1].width = 0;
    const Net* net = NetRef(h.net);
    record->crn[0].width =
        net->width ? net->width : (net->minWidth ? net->minWidth : net->maxWidth);
}

void validateEnd(Conn* record, int32_t end) {
    if (DbHdr().flags & kHdrRebuildAsked) return;
    const ConnHead& h = record->head;
    int32_t comp = end ? h.toComp : h.fromComp;
    int32_t pin = end ? h.toPin : h.fromPin;
    if (comp == 0 || h.count < 1) return;
    Crn& c = record->crn[end ? h.count - 1 : 0];
    int32_t px, py;
    PinPos(comp, pin, &px, &py);
    if (c.x == px && c.y == py) return;
    int32_t uu = DbHdr().userUnit;
    if (CompRef(comp)->angle % kAngRight != 0 && uu > 0 && c.x / uu == px / uu &&
        c.y / uu == py / uu)
        return;
    ConnDump(record, "ConnPut/validateEnd", 1);
    c.x = px;
    c.y = py;
}

// ---- corner editing --------------------------------------------------------------

void CrnInsert(Conn* record, int32_t a, int32_t k) {
    int32_t count = record->head.count;
    if (a < 0 || a > count - 1) ErrReport(kErrInsertAt, a);
    if (k < 1 || k > kConnInsertLimit - count) ErrReport(kErrInsertCount, k);
    Crn* c = record->crn;
    std::memmove(&c[a + 1 + k], &c[a + 1], size_t(count - 1 - a) * sizeof(Crn));
    c[a].flags = 0;
    for (int32_t i = a + 1; i <= a + k; ++i)
        c[i] = c[a];
    record->head.count = int16_t(count + k);
}

void CrnDelete(Conn* record, int32_t a, int32_t n) {
    int32_t count = record->head.count;
    if (a < 0 || a > count - 1) ErrReport(kErrDeleteAt, a);
    if (n < 0 || n > count - a) ErrReport(kErrDeleteCount, n);
    if (n == 0) return;
    Crn* c = record->crn;
    uint16_t narrowest = 0;
    if (a > 0) {
        narrowest = c[a - 1].width;
        for (int32_t i = a; i <= a + n - 1; ++i)
            if (c[i].width < narrowest) narrowest = c[i].width;
    }
    std::memmove(&c[a], &c[a + n], size_t(count - a - n) * sizeof(Crn));
    record->head.count = int16_t(count - n);
    if (a > 0) c[a - 1].width = narrowest;
}

void ConnReverse(Conn* record) {
    ConnHead& h = record->head;
    int32_t count = h.count;
    if (count > 0) {
        // In place: the corners turn round, then every segment's width and
        // layer move back to the corner that now starts it.
        std::reverse(record->crn, record->crn + count);
        for (int32_t i = 0; i + 1 < count; ++i) {
            record->crn[i].width = record->crn[i + 1].width;
            record->crn[i].layer = record->crn[i + 1].layer;
        }
        record->crn[count - 1].width = 0;
        record->crn[count - 1].layer = 0;
    }
    std::swap(h.fromComp, h.toComp);
    std::swap(h.fromPin, h.toPin);
}

int32_t ConnSamePath(const Conn* a, const Conn* b) {
    int32_t count = a->head.count;
    if (count != b->head.count) return 0;
    for (int32_t i = 0; i < count; ++i) {
        const Crn& p = a->crn[i];
        const Crn& q = b->crn[i];
        if (p.x != q.x || p.y != q.y) return 0;
        if (i < count - 1 && p.layer != q.layer) return 0;
    }
    return 1;
}

void CrnRotate(Conn* record, int32_t cx, int32_t cy, int32_t angle, int32_t last) {
    int32_t a = AngNormalize(angle);
    if (last > record->head.count - 1) last = record->head.count - 1;
    for (int32_t i = 0; i <= last; ++i) {
        Crn& c = record->crn[i];
        int32_t dx = int32_t(int64_t(c.x) - cx), dy = int32_t(int64_t(c.y) - cy);
        PtRotateExact(cx, cy, a, &dx, &dy);
        c.x = dx;
        c.y = dy;
    }
}

void ConnFitPins(Conn* record) {
    ConnHead& h = record->head;
    int32_t count = h.count;
    if (count < 2) return;
    bool routed = false;
    for (int32_t i = 0; i < count - 1 && !routed; ++i)
        routed = record->crn[i].layer != 0;
    struct End {
        int32_t comp, px, py;
        int64_t dx, dy; // corner to pin, in 64 bits
        int32_t turn;
    } ends[2];
    for (int32_t e = 0; e < 2; ++e) {
        End& end = ends[e];
        end = End{e ? h.toComp : h.fromComp, 0, 0, 0, 0, 0};
        if (end.comp == 0) continue;
        Component comp;
        AltSave(kRecComponent, end.comp, &comp);
        PlacedPin pin;
        SymPinGet(&comp, e ? h.toPin : h.fromPin, &pin);
        const Crn& c = record->crn[e ? count - 1 : 0];
        end.px = pin.x;
        end.py = pin.y;
        end.dx = int64_t(pin.x) - c.x;
        end.dy = int64_t(pin.y) - c.y;
        if (routed) end.turn = JournalTurn(end.comp);
    }
    if (routed && ends[0].comp != 0 && ends[1].comp != 0) {
        if (ends[0].dx == ends[1].dx && ends[0].dy == ends[1].dy &&
            (ends[0].dx != 0 || ends[0].dy != 0)) {
            MoveCorners(record, count - 1, ends[0].dx, ends[0].dy);
            return;
        }
        if (ends[0].turn == ends[1].turn && ends[0].turn != 0) {
            MoveCorners(record, count - 1, ends[0].dx, ends[0].dy);
            CrnRotate(record, record->crn[0].x, record->crn[0].y, ends[0].turn, count - 1);
            record->crn[count - 1].x = ends[1].px;
            record->crn[count - 1].y = ends[1].py;
            return;
        }
    }
    if (ends[0].comp != 0) FitEnd(record, ends[0].px, ends[0].py, ends[0].turn, routed);
    if (ends[1].comp != 0) {
        ConnReverse(record);
        FitEnd(record, ends[1].px, ends[1].py, ends[1].turn, routed);
        ConnReverse(record);
    }
}

void ConnFitAll() {
    auto record = std::make_unique<Conn>();
    for (int32_t c = 1; c <= g_count; ++c) {
        if (ConnGet(c, record.get()) == 0) continue;
        ConnFitPins(record.get());
        ConnPut(c, record.get());
    }
}

// ---- registration ------------------------------------------------------------------

void ConnRegister() {
    DbModuleOps ops;
    ops.init = &ConnTableInit;
    ops.free = &ConnTableFree;
    ops.add = &ConnAdd;
    ops.del = [](int32_t n) { ConnDelete(n); };
    ops.get = [](int32_t n, void* out) { ConnGet(n, static_cast<Conn*>(out)); };
    ops.put = [](int32_t n, const void* rec) { ConnPut(n, static_cast<const Conn*>(rec)); };
    ops.ref = [](int32_t n) -> const void* { return ConnRef(n); };
    DbRegisterModule(kRecConn, ops);
    DbRegisterValidateStep(kHdrConnFit, &ConnFitAll);
    CompSetConnRenumberHook(&ConnCompRenumber);
    CompSetConnRebuildHook(&NetConnRebuild);
}

void ConnTestLayout(ConnLayout* out) {
    out->lowPointers = int32_t(g_low.size());
    out->highPointers = int32_t(g_high.size());
    out->capacity = g_capacity;
    int32_t blocks = 0;
    for (const auto& list : g_free)
        blocks += int32_t(list.size());
    out->freeBlocks = blocks;
}

int32_t ConnTestSlotPlace(int32_t n, int32_t* position) {
    uint8_t** p = &SlotRef(n);
    if (!g_high.empty() && p >= g_high.data() && p < g_high.data() + g_high.size()) {
        *position = int32_t(p - g_high.data());
        return 1;
    }
    *position = int32_t(p - g_low.data());
    return 0;
}
