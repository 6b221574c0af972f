// PushConn: one connection moved one push step away from the pushing line.
// The connection is read through the journal into the current push table,
// held (entry flag 2) while it is worked on, reduced and transposed into
// the push orientation; its vias move first, then up to 20 passes move the
// segments that come too close, each move restarting the pass. A changed
// connection is transposed back, reduced, remapped and put into the open
// journal level; a connection that cannot be pushed may become a hop. The
// entry's flags are restored on every path, and no insertion passes the
// corner limit: a move without room fails like any refused move.
#include <algorithm>
#include <cstdlib>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/layers.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/connnorm.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/pushwork.h"
#include "router/shove.h"
#include "router/viamap.h"

namespace {

int32_t s_calls = 0;

// The outcome of one segment rule.
enum : int32_t {
    kMoveFailed = 0,
    kMoveDone = 1,
    kMoveNone = 2, // the rule does not apply
};

// Value less its remainder by s (the remainder takes the value's sign), and
// raised to the next multiple when it has a remainder.
int32_t Lower(int32_t v, int32_t s) {
    return v - v % s;
}
int32_t Raise(int32_t v, int32_t s) {
    return v % s ? v - v % s + s : v;
}

// The multiple of s at or below v, and at or above it.
int32_t FloorTo(int32_t v, int32_t s) {
    const int32_t r = v % s;
    return r < 0 ? v - r - s : v - r;
}
int32_t CeilTo(int32_t v, int32_t s) {
    const int32_t r = v % s;
    return r > 0 ? v - r + s : v - r;
}

int32_t Sign(int64_t v) {
    return v > 0 ? 1 : v < 0 ? -1 : 0;
}

bool Routed(int32_t layer) {
    return layer != 0;
}

// The pushing line as MzPush gave it (PushConn receives it widened by the
// reach).
struct Line {
    int32_t x, y1, y2;
};
Line RawLine(const PushTable* t) {
    const int32_t y1 = t->yLow + t->halfWidth, y2 = t->yHigh - t->halfWidth;
    return Line{t->x, std::min(y1, y2), std::max(y1, y2)};
}

// 1 when segment i of the working copy comes too close to the line.
bool TooClose(const PushTable* t, int32_t i, int32_t w) {
    const Conn& c = t->work;
    const Line l = RawLine(t);
    const int64_t d =
        SegSegDist(l.x, l.y1, l.x, l.y2, c.crn[i].x, c.crn[i].y, c.crn[i + 1].x, c.crn[i + 1].y);
    return d < int64_t(t->halfWidth) + t->clearance + w;
}

// The end of the moved part runs on past it (lower end of the vertical
// segment move); answers the corner at which the moved part starts, -1
// when the connection fails.
int32_t MoveLowerEnd(PushTable* t, int32_t a, int32_t xNew, int32_t* low, int32_t s) {
    Conn& c = t->work;
    const int32_t d = t->direction;
    const int32_t x = c.crn[a].x, ya = c.crn[a].y;
    if (ya < *low) {
        if (!PushRoomFor(&c, 2)) return -1;
        PushInsert(&c, a, 2);
        c.crn[a + 1].x = x;
        c.crn[a + 1].y = *low;
        c.crn[a + 2].x = xNew;
        c.crn[a + 2].y = *low;
        return a + 2;
    }
    if (a == 0 || (Routed(c.crn[a - 1].layer) && c.crn[a - 1].layer != t->layer)) return -1;
    const Crn& before = c.crn[a - 1];
    if (Routed(before.layer) && int64_t(x - before.x) * d >= 0) {
        if (!PushRoomFor(&c, 1)) return -1;
        PushInsert(&c, a, 1);
        c.crn[a + 1].x = xNew;
        c.crn[a + 1].y = ya;
        return a + 1;
    }
    if (PushPinned(c.crn[a])) return -1;
    if (Routed(before.layer) && before.y != ya) {
        const int64_t e = int64_t(x - before.x) * d;
        const int64_t rise = int64_t(ya) - before.y;
        if (rise == e)
            c.crn[a].y = ya + s;
        else if (rise == -e)
            c.crn[a].y = ya - s;
        else
            return -1;
    }
    c.crn[a].x = xNew;
    *low = c.crn[a].y;
    return a;
}

// The upper end of the moved part starting at corner m; false when the
// connection fails.
bool MoveUpperEnd(PushTable* t, int32_t m, int32_t xNew, int32_t* up, int32_t s) {
    Conn& c = t->work;
    const int32_t d = t->direction;
    const int32_t x = c.crn[m + 1].x, yb = c.crn[m + 1].y;
    if (*up < yb) {
        if (!PushRoomFor(&c, 2)) return false;
        PushInsert(&c, m, 2);
        c.crn[m + 1].x = xNew;
        c.crn[m + 1].y = *up;
        c.crn[m + 2].x = x;
        c.crn[m + 2].y = *up;
        return true;
    }
    const int32_t last = c.head.count - 1;
    if (m + 1 == last || (Routed(c.crn[m + 1].layer) && c.crn[m + 1].layer != t->layer))
        return false;
    const Crn& after = c.crn[m + 2];
    if (Routed(c.crn[m + 1].layer) && int64_t(x - after.x) * d >= 0) {
        if (!PushRoomFor(&c, 1)) return false;
        CrnInsert(&c, m + 1, 1); // the copy keeps the via at the old place
        c.crn[m + 1].x = xNew;
        c.crn[m + 1].via = 0;
        c.crn[m + 1].flags = uint8_t(c.crn[m + 1].flags & ~(kCrnLocked | kCrnLatched));
        return true;
    }
    if (PushPinned(c.crn[m + 1])) return false;
    if (Routed(c.crn[m + 1].layer) && after.y != yb) {
        const int64_t e = int64_t(after.x - x) * d;
        if (int64_t(after.y) - yb == e)
            c.crn[m + 1].y = yb + s;
        else if (int64_t(yb) - after.y == e)
            c.crn[m + 1].y = yb - s;
        else
            return false;
    }
    c.crn[m + 1].x = xNew;
    *up = c.crn[m + 1].y;
    return true;
}

// The vertical segment a..a + 1 (upward) moved one push step with half
// width w.
bool MoveVertical(PushTable* t, int32_t a, int32_t w) {
    Conn& c = t->work;
    const int32_t s = PushStep(), d = t->direction;
    const int32_t x = c.crn[a].x;
    const int32_t xNew = x + s * d;
    int32_t low = Lower(t->yLow - w - t->clearance, s);
    int32_t up = Raise(t->yHigh + w + t->clearance, s);
    const int32_t m = MoveLowerEnd(t, a, xNew, &low, s);
    if (m < 0 || !MoveUpperEnd(t, m, xNew, &up, s)) return false;
    t->oldX = x;
    t->newX = xNew;
    t->lowY = low;
    t->upY = up;
    const int32_t r = MzPush(xNew, low, up, t->kind, t->layer, w, t->entry, d, t->transposed);
    if (r == 0) return true;
    if (r > 0 && ObjEntry(r)->type == kObjPad)
        return PushPadDetour(t, r, xNew, low, up, w) && jumpStitch(t, m);
    return false;
}

// Segment i as a vertical move upward: reversed for the work when it runs
// downward.
int32_t VerticalRule(PushTable* t, int32_t i, int32_t w) {
    Conn& c = t->work;
    if (c.crn[i].y == c.crn[i + 1].y) return kMoveFailed;
    const bool down = c.crn[i].y > c.crn[i + 1].y;
    if (down) {
        ConnReverse(&c);
        i = c.head.count - 2 - i;
    }
    const bool ok = MoveVertical(t, i, w);
    if (down) ConnReverse(&c);
    return ok ? kMoveDone : kMoveFailed;
}

// The one-step notch of a 45-degree segment crossing the line's span.
int32_t NotchRule(PushTable* t, int32_t i) {
    Conn& c = t->work;
    const Line l = RawLine(t);
    const int32_t ya0 = c.crn[i].y, yb0 = c.crn[i + 1].y; // packed corners: by value
    const int32_t lo = std::min(ya0, yb0), hi = std::max(ya0, yb0);
    if (hi < t->yLow || lo > t->yHigh) return kMoveNone;
    const bool reversed = c.crn[i].x > c.crn[i + 1].x;
    if (reversed) {
        ConnReverse(&c);
        i = c.head.count - 2 - i;
    }
    const int32_t s = PushStep(), d = t->direction;
    const int32_t xa = c.crn[i].x, ya = c.crn[i].y, xb = c.crn[i + 1].x, yb = c.crn[i + 1].y;
    int32_t x0 = d > 0 ? FloorTo(l.x, s) : CeilTo(l.x, s);
    bool refused;
    if (d > 0) {
        if (x0 >= xb) x0 = xb - s;
        if (x0 < xa) x0 = xa;
        refused = x0 >= xb;
    } else {
        if (x0 > xb) x0 = xb;
        if (x0 <= xa) x0 = xa + s;
        refused = x0 > xb;
    }
    int32_t result = kMoveFailed;
    if (!refused && PushRoomFor(&c, 3)) {
        if (x0 < xa || x0 > xb) {
            if (reversed) ConnReverse(&c);
            ErrReport(kErrPushCrossing, x0);
            return kMoveFailed;
        }
        const int32_t rise = Sign(int64_t(yb) - ya);
        const int32_t y0 = ya + (x0 - xa) * rise;
        const int32_t x1 = x0 + s * d;
        const int32_t ss = s * rise;
        PushInsert(&c, i, 3);
        const int32_t px[3] = {d > 0 ? x0 : x1, x1, d > 0 ? x1 : x0};
        const int32_t py[3] = {d > 0 ? y0 : y0 - ss, y0, d > 0 ? y0 + ss : y0};
        for (int32_t k = 0; k < 3; ++k) {
            c.crn[i + 1 + k].x = px[k];
            c.crn[i + 1 + k].y = py[k];
        }
        const int32_t w = PushHalfWidth(&c, i);
        if (MzPush(x1, y0, y0 + ss, kPushSeg, t->layer, w, t->entry, d, t->transposed) == 0)
            result = kMoveDone;
        PushDropCoinciding(&c, i, i + 4);
    }
    if (reversed) ConnReverse(&c);
    return result;
}

// The far end of segment i starts a gap: that corner moves one step.
int32_t GapEndRule(PushTable* t, int32_t i) {
    Conn& c = t->work;
    if (i + 2 > c.head.count - 1 || Routed(c.crn[i + 1].layer)) return kMoveNone;
    Crn& b = c.crn[i + 1];
    const Crn& a = c.crn[i];
    if (PushPinned(b)) return kMoveFailed;
    const int32_t s = PushStep(), d = t->direction;
    const int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    if (dy != 0 && std::llabs(dx) != std::llabs(dy)) return kMoveFailed;
    if (dy != 0) b.y += s * d * Sign(dx) * Sign(dy);
    b.x += s * d;
    return kMoveDone;
}

// One pass: the first segment on the pushed layer that comes too close is
// moved. kMoveNone when no segment comes too close.
int32_t SegmentPass(PushTable* t) {
    Conn& c = t->work;
    for (int32_t i = 0; i + 1 < c.head.count; ++i) {
        if (c.crn[i].layer != t->layer) continue;
        const int32_t w = PushHalfWidth(&c, i);
        if (!TooClose(t, i, w)) continue;
        if (PushPinned(c.crn[i]) && PushPinned(c.crn[i + 1])) return kMoveFailed;
        if (PushJumperLayer(t->layer)) return PushJumperMove(t, i) ? kMoveDone : kMoveFailed;
        const int32_t x = c.crn[i].x, y = c.crn[i].y;
        const int32_t xb = c.crn[i + 1].x, yb = c.crn[i + 1].y;
        const int64_t dx = int64_t(xb) - x, dy = int64_t(yb) - y;
        if (dx != 0 && std::llabs(dx) == std::llabs(dy)) {
            const int32_t r = NotchRule(t, i);
            if (r != kMoveNone) return r;
        } else if (dx == 0) {
            if (int64_t(x - t->x) * t->direction >= 0) return VerticalRule(t, i, w);
        } else if (i + 2 < c.head.count && c.crn[i + 1].layer == t->layer &&
                   c.crn[i + 1].x == c.crn[i + 2].x && c.crn[i + 1].y != c.crn[i + 2].y &&
                   int64_t(c.crn[i + 1].x - t->x) * t->direction >= 0 &&
                   TooClose(t, i + 1, PushHalfWidth(&c, i + 1))) {
            return VerticalRule(t, i + 1, w);
        }
        const int32_t r = GapEndRule(t, i);
        return r == kMoveNone ? kMoveFailed : r;
    }
    return kMoveNone;
}

// Vias whose pad comes within the reach of the line on some routing layer
// move first. 1 done, 0 failed, kPushViaHop when one became a hop.
int32_t PushVias(PushTable* t, bool* changed) {
    Conn& c = t->work;
    const Line l = RawLine(t);
    const int32_t s = PushStep();
    for (int32_t i = 0; i < c.head.count; ++i) {
        const Crn& v = c.crn[i];
        if (!v.via || int64_t(v.x - l.x) * t->direction < 0) continue;
        bool near = false;
        for (int32_t layer = 1; layer <= LayerCount() && !near; ++layer) {
            const int32_t pad = ViaPadSize(v.via, layer);
            if (pad <= 0 || !LayerRoutable(layer)) continue;
            const int64_t reach = int64_t(t->halfWidth) + pad + t->clearance;
            near = PtSegDist(v.x, v.y, l.x, l.y1, l.x, l.y2) < reach;
        }
        if (!near) continue;
        const int32_t r = PushViaMove(t, i, s);
        if (r != 1) return r;
        *changed = true;
        i += 2; // past the moved via's legs
    }
    return 1;
}

// Step 5's hop: the segments within reach become gaps and the connection
// enters the hop table. 1 when the connection changed.
bool MakeHop(PushTable* t) {
    Conn& c = t->work;
    ConnReadJournal(t->conn, &c);
    if (c.head.flags & kConnNoRipup) return false;
    ConnSplitAtWindow(&c, 0);
    if (t->transposed) ConnTranspose(&c);
    const MzBox& win = g_mzGrid.window;
    auto inside = [&](const Crn& k) {
        int32_t x, y;
        PushWorld(t, k, &x, &y);
        return x >= win.minX && x <= win.maxX && y >= win.minY && y <= win.maxY;
    };
    int32_t last = -1;
    for (int32_t i = 0; i + 1 < c.head.count; ++i) {
        if (c.crn[i].layer != t->layer || !TooClose(t, i, PushHalfWidth(&c, i))) continue;
        if (PushPinned(c.crn[i]) || PushPinned(c.crn[i + 1])) return false;
        if (!inside(c.crn[i]) || !inside(c.crn[i + 1])) return false;
        c.crn[i].layer = 0;
        last = i;
    }
    return last >= 0 && addToHopTable(last);
}

// Step 6: the changed connection back in world orientation, remapped and
// stored.
void StoreChanged(PushTable* t) {
    Conn& c = t->work;
    if (t->transposed) ConnTranspose(&c);
    connReduce(&c);
    auto* old = static_cast<Conn*>(ScratchPush());
    ConnReadJournal(t->conn, old);
    ConnMap(old, t->entry, 0, old->head.count - 1, 1);
    ScratchPop(old);
    ConnMap(&c, t->entry, 0, c.head.count - 1, 0);
    ConnObjFlags(t->entry, &c);
    AltPut(kRecConn, t->conn, 0, &c);
}

} // namespace

int32_t PushConn(int32_t x, int32_t yLow, int32_t yHigh, int32_t kind, int32_t reach,
                 int32_t entry) {
    if (++s_calls % kPushAbortPoll == 0 && UserAbort()) return 0;
    PushTable* t = PushCurrent();
    if (!t || entry < 1 || entry > ObjCount() || ObjEntry(entry)->type != kObjConn) return 0;
    MapObj& o = *ObjEntry(entry);
    t->type = kPushTableType;
    t->conn = o.index;
    t->entry = int16_t(entry);
    t->x = x;
    t->yLow = yLow;
    t->yHigh = yHigh;
    t->halfWidth = reach;
    t->kind = int16_t(kind);
    t->clearance = LayerSpacingByKind(t->layer, 0, nullptr, kind);
    Conn& c = t->work;
    ConnReadJournal(t->conn, &c);
    const uint8_t flags = o.flags;
    o.flags |= kObjFlagPushed;
    connReduce(&c);
    if (t->transposed) ConnTranspose(&c);
    bool changed = false;
    int32_t ok = PushVias(t, &changed);
    if (ok == kPushViaHop) {
        changed = true;
    } else if (ok) {
        int32_t pass = 0;
        for (;; ++pass) {
            if (pass == kPushPasses) {
                if (g_verbose) WarnPrint("PushConn: FAIL infinite loop");
                ok = 0;
                break;
            }
            connReduce(&c);
            const int32_t r = SegmentPass(t);
            if (r == kMoveNone) break;
            if (r == kMoveFailed) {
                ok = 0;
                break;
            }
            changed = true;
        }
    }
    ObjEntry(entry)->flags = flags;
    if (!ok || !changed) {
        if (!g_pushOptions.hopsAllowed || !MakeHop(t)) return 0;
    }
    StoreChanged(t);
    return 1;
}

void PushConnTestReset() {
    s_calls = 0;
}
