// Back-tracking, joining the halves, and fitting the ends of a found path.
#include "router/path.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "db/altjournal.h"
#include "db/attrs.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "router/connnorm.h"
#include "router/costs.h"
#include "router/gather.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/padexit.h"
#include "router/seed.h"
#include "router/urstate.h"
#include "router/wave.h"

namespace {

enum : int32_t {
    kCodeYPlus = 17,
    kCodeXPlus = 18,
    kCodeYMinus = 19,
    kCodeXMinus = 20,
    kCodeXPlusYPlus = 21,
    kCodeXPlusYMinus = 22,
    kCodeXMinusYMinus = 23,
    kCodeXMinusYPlus = 24,
    kCodeSeed = 25,
    kCodeViaLast = 16,
    kAttrNetWidth = 18, // attributes of kind 18, sub-kind 10 keyed (net, layer)
    kAttrSubKindKey = 10,
};

HalfPath s_source, s_target;
BackTrackFault s_fault;

int32_t Broken(ErrCode code, int32_t move, int32_t x, int32_t y, int32_t layer, int32_t cell) {
    s_fault = BackTrackFault{code, move, x, y, layer, cell};
    if (g_verbose)
        DebugPrint("backTrack: broken at [%d,%d]L%d = %02x (move %02x, conn %d)", x, y, layer, cell,
                   move, int(Goal()->conn));
    return kBackTrackBroken;
}

void Append(HalfPath* h, int32_t x, int32_t y, int32_t layer) {
    Crn& c = h->crn[h->count++];
    c = Crn{};
    c.x = MzWorldX(x);
    c.y = MzWorldY(y);
    c.layer = uint8_t(layer);
}

bool InHops(const MzGoal& g, int32_t obj) {
    for (int32_t i = 1; i <= g.hopCount; ++i)
        if (g.hopObj[i] == obj) return true;
    return false;
}

// Records the other-net connections whose segments on the layer pass
// through the cell's point.
void RecordHops(int32_t x, int32_t y, int32_t layer) {
    MzGoal& g = *Goal();
    if (g.savedCopy) ErrReport(kErrBackTrackSaved, x);
    const int32_t px = MzWorldX(x), py = MzWorldY(y);
    static ObjList list;
    list.count = 0;
    GatherBox(px, py, px, py, kProbeSeg, layer, g_mzGrid.g, &list);
    for (int32_t k = 0; k < list.count; ++k) {
        const int32_t obj = list.entry[k];
        const MapObj* o = ObjEntry(obj);
        if (o->type != kObjConn || obj == g.objIndex || InHops(g, obj)) continue;
        const Conn* c = static_cast<const Conn*>(AltRef(kRecConn, o->index));
        for (int32_t i = c->head.count - 2; i >= 0; --i) {
            const Crn &a = c->crn[i], &b = c->crn[i + 1];
            if (a.layer != layer || PtSegDist(px, py, a.x, a.y, b.x, b.y) >= 1) continue;
            if (g.hopCount >= kHopsMax) return;
            ++g.hopCount;
            g.hopObj[g.hopCount] = int16_t(obj);
            g.hopCrn[g.hopCount] = int16_t(i);
        }
    }
}

// A half without back-track: the meeting point and the nearest exit of the
// side (or the goal's end point).
void NearestHalf(HalfPath* h, int32_t side) {
    const MzGoal& g = *Goal();
    const ExitNode* best = nullptr;
    int32_t bestD = kNearestExitLimit;
    for (const ExitNode* n = ExitListHead(); n; n = n->next) {
        if (n->side != side) continue;
        int32_t d = std::abs(n->x - g.meetX) + std::abs(n->y - g.meetY);
        if (d < bestD) bestD = d, best = n;
    }
    h->count = 0;
    Append(h, g.meetX, g.meetY, 0);
    Crn& e = h->crn[h->count++];
    e = Crn{};
    if (best && best->kind != kExitWindowEdge) {
        e.x = MzWorldX(best->x);
        e.y = MzWorldY(best->y);
    } else {
        e.x = side ? g.srcX : g.dstX;
        e.y = side ? g.srcY : g.dstY;
    }
}

// 1 built, 0 too many corners, kBackTrackBroken.
int32_t Half(HalfPath* h, int32_t dir, int32_t side) {
    if ((dir & ~kDirSide) == 0) {
        NearestHalf(h, side);
        return 1;
    }
    const int32_t r = backTrack(h, dir);
    if (r == 0 && g_verbose) WarnPrint("Too many corners");
    return r;
}

// The path as the straight gap between the goal's two end points.
void StraightGap(Conn* p) {
    const MzGoal& g = *Goal();
    Crn a{};
    a.width = uint16_t(g.goalWidth);
    a.x = g.srcX;
    a.y = g.srcY;
    Crn b = a;
    b.x = g.dstX;
    b.y = g.dstY;
    p->crn[0] = a;
    p->crn[1] = b;
    p->head.count = 2;
}

void RemoveCollinear(Conn* p) {
    int16_t& n = p->head.count;
    for (int32_t i = 0; i + 2 < n;) {
        const Crn &a = p->crn[i], &b = p->crn[i + 1], &c = p->crn[i + 2];
        bool line = (a.x == b.x && b.x == c.x) || (a.y == b.y && b.y == c.y);
        if (line && a.layer == b.layer) {
            std::memmove(&p->crn[i + 1], &p->crn[i + 2], size_t(n - i - 2) * sizeof(Crn));
            --n;
            i = 0;
        } else {
            ++i;
        }
    }
}

// Sets a new corner's segment: layer, goal width, no via, no flags.
void PlainCorner(Crn* c, int32_t x, int32_t y, int32_t layer) {
    c->x = x;
    c->y = y;
    c->layer = uint8_t(layer);
    c->width = uint16_t(Goal()->goalWidth);
    c->via = 0;
    c->flags = 0;
}

// Splices connection c from corner b on (b <= 0: reversed, counted from its
// far end) onto the path's last corner.
bool Splice(Conn* p, int32_t conn, int32_t b, int32_t layer) {
    auto* c = static_cast<Conn*>(ScratchPush());
    AltSave(kRecConn, conn, c);
    if (b <= 0) {
        ConnReverse(c);
        b += c->head.count - 1;
    }
    if (b < 1 || b > c->head.count - 1) ErrReport(kErrSpliceIndex, b);
    int32_t k = p->head.count - 1;
    const Crn& cb = c->crn[b];
    if ((p->crn[k].x != cb.x || p->crn[k].y != cb.y) && k > 0 && p->crn[k - 1].layer) {
        if (k + 1 >= kMaxCorners) {
            ScratchPop(c);
            return false;
        }
        PlainCorner(&p->crn[k], p->crn[k].x, p->crn[k].y, layer);
        ++k;
    }
    const int32_t add = c->head.count - b;
    if (k + add > kMaxCorners) {
        ScratchPop(c);
        return false;
    }
    std::memcpy(&p->crn[k], &c->crn[b], size_t(add) * sizeof(Crn));
    p->head.count = int16_t(k + add);
    if (k > 0 && p->crn[k - 1].layer == p->crn[k].layer) p->crn[k].via = 0;
    p->head.toComp = c->head.toComp;
    p->head.toPin = c->head.toPin;
    ScratchPop(c);
    PathNetWidths(p);
    return true;
}

// Fits the path's last corner onto the exits of the side.
bool FitLast(Conn* p, int32_t side) {
    const MzGoal& g = *Goal();
    const int32_t k = p->head.count - 1;
    Crn& last = p->crn[k];
    const int32_t segLayer = p->crn[k - 1].layer;
    const int32_t mx = MzX(last.x), my = MzY(last.y);
    const ExitNode* node = ExitListHead();
    for (; node; node = node->next)
        if (node->side == side && node->x == mx && node->y == my &&
            (segLayer == 0 || node->layer == segLayer))
            break;
    if (!node) {
        const int32_t comp = p->head.toComp, pin = p->head.toPin;
        if (comp) {
            PlacedPin at;
            CompPinXY(comp, pin, &at);
            if (at.x == last.x && at.y == last.y &&
                (segLayer == 0 || PinOnLayer(comp, pin, segLayer)))
                return true;
        }
        if (side && g.crn1Index > 0 && last.x == g.srcX && last.y == g.srcY)
            return Splice(p, g.conn, -g.crn1Index, 0);
        if (!side && g.crn2Index < g.crnCount && last.x == g.dstX && last.y == g.dstY)
            return Splice(p, g.conn, g.crn2Index, 0);
        return false;
    }
    p->head.toComp = node->comp;
    p->head.toPin = node->pin;
    PlacedPin at{};
    if (node->kind >= kExitPadPoint && node->kind <= kExitPadY)
        CompPinXY(node->comp, node->pin, &at);
    switch (node->kind) {
    case kExitPadCentre:
        return true;
    case kExitPadPoint:
    case kExitPadX:
    case kExitPadY: {
        int32_t n = k;
        if (k + 3 > kMaxCorners) return false;
        PlainCorner(&p->crn[n], last.x, last.y, segLayer);
        if (node->kind == kExitPadX) {
            ++n;
            PlainCorner(&p->crn[n], p->crn[k].x, at.y, segLayer);
        } else if (node->kind == kExitPadY) {
            ++n;
            PlainCorner(&p->crn[n], at.x, p->crn[k].y, segLayer);
        }
        ++n;
        PlainCorner(&p->crn[n], at.x, at.y, segLayer);
        p->head.count = int16_t(n + 1);
        return true;
    }
    case kExitClipped:
    case kExitRouteEnd:
        return Splice(p, node->conn, node->corner, node->layer);
    case kExitWindowEdge:
        return Splice(p, node->conn, node->corner, 0);
    default:
        return false;
    }
}

} // namespace

int32_t backTrack(HalfPath* h, int32_t a) {
    MzGoal& g = *Goal();
    int32_t x = g.meetX, y = g.meetY, layer = g.meetLayer;
    h->count = 0;
    Append(h, x, y, layer);
    int32_t c = MazeGet(x, y, layer);
    a &= ~kDirSide;
    for (int32_t budget = kBackTrackSteps; --budget > 0;) {
        if ((c & kCellMarks) == kCellMark2) RecordHops(x, y, layer);
        g.totalCost += MazeCellCost(x, y, layer, a);
        switch (a) {
        case kCodeYPlus:
            ++y;
            break;
        case kCodeXPlus:
            ++x;
            break;
        case kCodeYMinus:
            --y;
            break;
        case kCodeXMinus:
            --x;
            break;
        case kCodeXPlusYPlus:
            ++x, ++y;
            break;
        case kCodeXPlusYMinus:
            ++x, --y;
            break;
        case kCodeXMinusYMinus:
            --x, --y;
            break;
        case kCodeXMinusYPlus:
            --x, ++y;
            break;
        case kCodeSeed:
            if (h->count == 1 || h->crn[h->count - 2].layer != layer) Append(h, x, y, layer);
            return 1;
        default:
            if (a >= 1 && a <= kCodeViaLast) {
                layer = MazeLayerDbLayer(a);
                break;
            }
            if (g_verbose)
                WarnPrint("Impossible back track %02x at [%d,%d]L%d = %02x", a, x, y, layer, c);
            return Broken(kErrBackTrackCode, a, x, y, layer, c);
        }
        c = MazeGet(x, y, layer);
        if ((c & kCellCodeMask) == a && layer == h->crn[h->count - 1].layer) continue;
        if (h->count > kHalfCornersMax) {
            if (g_verbose) WarnPrint("backTrack: too many corners");
            return 0;
        }
        Append(h, x, y, layer);
        a = c & kCellCodeMask;
    }
    return Broken(kErrBackTrackBudget, a, x, y, layer, c);
}

const BackTrackFault& PathLastFault() {
    return s_fault;
}

int32_t PathFind(Conn* p) {
    MzGoal& g = *Goal();
    ConnGet(g.conn, p);
    p->head.count = 0;
    g.hopCount = 0;
    g.totalCost = 0;
    if (!g.meetDir[0] && !g.meetDir[1]) {
        if (g_verbose) DebugPrint("PathFind: no path to find");
        StraightGap(p);
        return 0;
    }
    for (auto [half, dir, side] : {std::tuple{&s_source, g.meetDir[0], 1},
                                   std::tuple{&s_target, g.meetDir[1], 0}}) {
        const int32_t r = Half(half, dir, side);
        if (r == 1) continue;
        StraightGap(p);
        return r == kBackTrackBroken ? kPathBroken : 0;
    }
    if (s_source.count + s_target.count >= kPathCornersLimit) {
        if (g_verbose) WarnPrint("Too many corners");
        StraightGap(p);
        return 0;
    }
    int32_t n = 0;
    for (int32_t i = s_source.count - 1; i >= 1; --i) {
        p->crn[n] = s_source.crn[i];
        p->crn[n++].layer = s_source.crn[i - 1].layer;
    }
    p->crn[n] = s_source.crn[0];
    p->crn[n++].layer = s_target.crn[0].layer;
    for (int32_t i = 1; i < s_target.count; ++i)
        p->crn[n++] = s_target.crn[i];
    p->head.count = int16_t(n);
    RemoveCollinear(p);
    if (p->head.count == 1) {
        p->crn[1] = p->crn[0];
        p->crn[0].layer = uint8_t(g.meetLayer);
        p->head.count = 2;
    }
    n = p->head.count;
    if (n < 2 || n > kPathCornersLimit - 1) ErrReport(kErrPathCount, n);
    for (int32_t i = 0; i < n; ++i) {
        Crn& c = p->crn[i];
        c.via = 0;
        if (i > 0 && i < n - 1 && c.layer != p->crn[i - 1].layer)
            c.via = g_viaPair[c.layer][p->crn[i - 1].layer];
        if (i < n - 1) {
            c.width = uint16_t(g.goalWidth);
            c.flags = 0;
        }
    }
    PathNetWidths(p);
    return 1;
}

void PathNetWidths(Conn* p) {
    const int32_t net = p->head.net;
    const int32_t unit = DbHdr().connGrid > 0 ? DbHdr().connGrid : 1;
    int32_t prevLayer = -1, prevWidth = 0;
    for (int32_t i = 0; i + 1 < p->head.count; ++i) {
        Crn& a = p->crn[i];
        if (!a.layer || (a.flags & kCrnLocked)) continue;
        if (a.layer == prevLayer) {
            a.width = uint16_t(prevWidth);
            continue;
        }
        Attribute attr;
        if (AttrFind(kAttrNetWidth, kAttrSubKindKey, net, a.layer, &attr))
            a.width = uint16_t(attr.value3 / unit);
        prevLayer = a.layer;
        prevWidth = a.width;
    }
}

int32_t PathFitEnds(Conn* p) {
    if (p->head.count < 2) ErrReport(kErrFitCorners, p->head.count);
    auto* w = static_cast<Conn*>(ScratchPush());
    std::memcpy(w, p, sizeof(Conn));
    ConnReverse(w);
    bool ok = FitLast(w, 1);
    if (ok) {
        ConnReverse(w);
        ok = FitLast(w, 0);
    }
    if (ok) {
        connReduce(w);
        std::memcpy(p, w, sizeof(Conn));
    }
    ScratchPop(w);
    return ok ? 1 : 0;
}
