// ConnJoin: where conn1 and conn2 run close, make them share copper: two
// vias become one, a via ends on the other's segment, or the two stretches
// meet at a corner, and the better stretch then serves both (merge) and
// the joint is tidied. Every refusal after a join was found sets the clean
// failure flag, so that updateAlt installs nothing of a half-made join.
#include <cstdlib>
#include <tuple>

#include "db/conns.h"
#include "db/geom.h"
#include "db/layers.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/rulesvc.h"
#include "rules/joinedit.h"
#include "rules/ruleadapt.h"
#include "rules/seggeom.h"

namespace {

enum : int32_t {
    kClassVia = 2,
    kClassSeg = 0,
    kKindSeg = 0,
    kKindVia = 2,
};

bool Locked(const Conn* c, int32_t i) {
    return i >= 0 && i < c->head.count && (c->crn[i].flags & kCrnLocked);
}

bool Last(const CleanItem* it, int32_t i) {
    return i == it->conn->head.count - 1;
}

void CheckViaType(int32_t via) {
    if (via > DbHdr().viaCount) ErrReport(kErrJoinViaType, via);
}

int32_t Fail() {
    CleanFailure = true;
    return 0;
}

// Tidy X against Y, else Y against X (Y then changed); false when both fail.
bool TidyEither(CleanItem* x, CleanItem* y) {
    if (JoinTidy(x, y)) return true;
    if (JoinTidy(y, x)) {
        y->changed = true;
        return true;
    }
    return false;
}

// Merge (X, Y) and tidy X, else Y.
int32_t MergeTidy(CleanItem* x, CleanItem* y) {
    if (!JoinMerge(x, y) || !TidyEither(x, y)) return Fail();
    return 1;
}

// Inserts a corner at (px, py) after corner i of the item (layer, no via).
bool InsertAfter(CleanItem* it, int32_t i, int32_t px, int32_t py, int32_t layer) {
    if (!JoinInsert(it->conn, i + 1)) return false;
    Crn& k = it->conn->crn[i + 1];
    k = it->conn->crn[i];
    k.x = px;
    k.y = py;
    k.layer = uint8_t(layer);
    k.via = 0;
    k.flags = 0;
    it->changed = true;
    return true;
}

int32_t ViaJoinAt(CleanItem* a, int32_t ia, CleanItem* b, int32_t ib) {
    Conn* ca = a->conn;
    Conn* cb = b->conn;
    const Crn& va = ca->crn[ia];
    const Crn& vb = cb->crn[ib];
    a->last = ia;
    b->last = ib;
    const bool samePoint = va.x == vb.x && va.y == vb.y;
    const bool sameLayers =
        LayerBefore(ca, ia) == LayerBefore(cb, ib) && LayerAfter(ca, ia) == LayerAfter(cb, ib);
    if (samePoint && sameLayers) {
        if (Last(a, ia) || Last(b, ib)) return 1;
        const Crn &na = ca->crn[ia + 1], &nb = cb->crn[ib + 1];
        if (CornerNotAcute(va.x, va.y, na.x, na.y, nb.x, nb.y)) {
            a->changed = true;
            return JoinMerge(a, b) ? 1 : Fail();
        }
        return MergeTidy(a, b);
    }
    if (samePoint) {
        for (CleanItem* it : {a, b}) {
            const int32_t i = it->last;
            if (!JoinInsert(it->conn, i)) return Fail();
            Crn& k = it->conn->crn[i];
            k.via = 0;
            k.layer = uint8_t(LayerBefore(it->conn, i));
            it->last = i + 1;
            it->changed = true;
        }
        return JoinMerge(a, b) ? 1 : Fail();
    }
    const int32_t bx = vb.x, by = vb.y, bvia = vb.via;
    if (!JoinInsert(ca, ia)) return Fail();
    Crn& k = ca->crn[ia];
    k.via = 0;
    k.layer = uint8_t(LayerBefore(ca, ia));
    a->changed = true;
    a->last = ia + 1;
    Crn& m = ca->crn[ia + 1];
    m.x = bx;
    m.y = by;
    m.via = uint8_t(bvia);
    if (Last(a, a->last) || Last(b, ib)) return JoinMerge(a, b) ? 1 : Fail();
    const Crn &na = ca->crn[a->last + 1], &nb = cb->crn[ib + 1];
    if (CornerNotAcute(bx, by, na.x, na.y, nb.x, nb.y)) return JoinMerge(a, b) ? 1 : Fail();
    return MergeTidy(a, b);
}

// Via join of via corners a of A and b of B.
int32_t ViaJoin(CleanItem* a, int32_t ia, CleanItem* b, int32_t ib) {
    if (ia < 0 || ib < 0 || ia >= a->conn->head.count || ib >= b->conn->head.count) return 0;
    const Crn& va = a->conn->crn[ia];
    const Crn& vb = b->conn->crn[ib];
    if (!va.via || !vb.via) return 0;
    CheckViaType(va.via);
    CheckViaType(vb.via);
    const bool extend = a->extend || b->extend;
    for (int32_t l = 1; l <= LayerCount(); ++l) {
        if (!LayerActive(l) || !ViaPadCode(va.via, l) || !ViaPadCode(vb.via, l)) continue;
        const int64_t reach = int64_t(ViaPadRadius(va.via, l)) + ViaPadRadius(vb.via, l) +
                              JoinSpacing(l, kClassVia, kKindVia, extend);
        if (SegDist(va.x, va.y, vb.x, vb.y) < reach) return ViaJoinAt(a, ia, b, ib);
    }
    return 0;
}

// End-move join: via corner a of A, corner b of B.
int32_t EndMoveJoin(CleanItem* a, int32_t ia, CleanItem* b, int32_t ib) {
    a->last = ia;
    b->last = ib;
    const Crn va = a->conn->crn[ia];
    const int32_t layer = b->conn->crn[ib].layer;
    if (!Last(a, ia) && !Last(b, ib)) {
        if (!InsertAfter(b, ib, va.x, va.y, layer)) return Fail();
        b->last = ib + 1;
        return MergeTidy(b, a);
    }
    const Crn& pb = b->conn->crn[ib];
    if (va.via && JoinViaSite(va.via, pb.x, pb.y, a->entry)) {
        a->conn->crn[ia].x = pb.x;
        a->conn->crn[ia].y = pb.y;
        a->changed = true;
        return MergeTidy(a, b);
    }
    return Fail();
}

// Via-to-segment join of via corner a of A onto segment b of B.
int32_t ViaSegJoin(CleanItem* a, int32_t ia, CleanItem* b, int32_t ib) {
    Conn* ca = a->conn;
    Conn* cb = b->conn;
    if (ia < 0 || ib < 0 || ia > ca->head.count - 2 || ib > cb->head.count - 2) return 0;
    const Crn va = ca->crn[ia];
    const Crn s0 = cb->crn[ib];
    const Crn s1 = cb->crn[ib + 1];
    const int32_t layer = s0.layer;
    if (!va.via || !layer) return 0;
    CheckViaType(va.via);
    if (!LayerActive(layer) || !ViaPadCode(va.via, layer)) return 0;
    const int64_t reach = int64_t(ViaPadRadius(va.via, layer)) +
                          JoinSpacing(layer, kClassVia, kKindSeg, a->extend || b->extend) +
                          HalfWidth(s0);
    if (PtSegDist(va.x, va.y, s0.x, s0.y, s1.x, s1.y) >= reach) return 0;
    if (va.x == s0.x && va.y == s0.y) {
        b->last = ib;
        b->changed = true;
        if (!JoinMerge(b, a)) return Fail();
        if (JoinTidy(b, a)) return 1;
        if (JoinTidy(a, b)) {
            a->changed = true;
            return 1;
        }
        return Fail();
    }
    SegPt q{va.x, va.y};
    if (a->last < ca->head.count - 2 && !ca->crn[ia + 1].via)
        q = {ca->crn[ia + 1].x, ca->crn[ia + 1].y};
    const SegPt nearest = SegNearestPoint(q, Seg{{s0.x, s0.y}, {s1.x, s1.y}});
    const bool ends = !Last(a, a->last) && !Last(b, b->last);
    if (nearest.x == va.x && nearest.y == va.y && ends) {
        if (!InsertAfter(b, ib, nearest.x, nearest.y, layer)) return Fail();
        b->last = ib + 1;
        return MergeTidy(b, a);
    }
    const int64_t d = PtSegDist(nearest.x, nearest.y, s0.x, s0.y, s1.x, s1.y);
    const int64_t dS = SegDist(nearest.x, nearest.y, s0.x, s0.y);
    const int64_t dE = SegDist(nearest.x, nearest.y, s1.x, s1.y);
    if (ends) {
        const bool startOnA =
            ia > 0 && (s0.x != va.x || s0.y != va.y) &&
            PtSegDist(s0.x, s0.y, ca->crn[ia - 1].x, ca->crn[ia - 1].y, va.x, va.y) == 0 &&
            !CornerNotAcute(s0.x, s0.y, va.x, va.y, s1.x, s1.y);
        if (startOnA || (d < reach && dS < reach && dE < reach)) {
            a->last = ia;
            if (!InsertAfter(b, ib, va.x, va.y, layer)) return Fail();
            b->last = ib + 1;
            return MergeTidy(b, a);
        }
    }
    if (dE < reach) return EndMoveJoin(a, ia, b, ib + 1);
    if (dS >= reach) {
        if (!InsertAfter(b, ib, nearest.x, nearest.y, layer)) return Fail();
        b->last = ib + 1;
        a->last = ia;
        if ((nearest.x != va.x || nearest.y != va.y) &&
            JoinViaSite(va.via, nearest.x, nearest.y, a->entry)) {
            // the new corner goes on along the via's outgoing layer: a corner
            // on the incoming one would change layers there without a via
            if (!InsertAfter(a, ia, nearest.x, nearest.y, ca->crn[ia].layer)) return Fail();
            a->last = ia + 1;
        }
        if (!JoinMerge(b, a) || !JoinTidy(b, a) || !JoinTidy(a, b)) return Fail();
        return 1;
    }
    return EndMoveJoin(a, ia, b, ib);
}

// Corner join of corner a of A and corner b of B.
int32_t CornerJoin(CleanItem* a, int32_t ia, CleanItem* b, int32_t ib) {
    Conn* ca = a->conn;
    Conn* cb = b->conn;
    if (ia <= 0 || ib <= 0 || ia >= ca->head.count || ib >= cb->head.count) return 0;
    const int32_t layer = ca->crn[ia - 1].layer;
    if (!layer || layer != cb->crn[ib - 1].layer) return 0;
    const Crn a0 = ca->crn[ia - 1], a1 = ca->crn[ia], b0 = cb->crn[ib - 1], b1 = cb->crn[ib];
    const int64_t reach = int64_t(JoinSpacing(layer, kClassSeg, kKindSeg, a->extend || b->extend)) +
                          HalfWidth(a0) + HalfWidth(b0);
    if (SegSegDist(a0.x, a0.y, a1.x, a1.y, b0.x, b0.y, b1.x, b1.y) >= reach) return 0;
    SegPt pa, pb;
    SegClosestPoints(Seg{{a0.x, a0.y}, {a1.x, a1.y}}, Seg{{b0.x, b0.y}, {b1.x, b1.y}}, &pa, &pb);
    // each gets a corner at its point of closest approach before its end corner
    for (auto [it, i, p] : {std::tuple{a, ia, pa}, std::tuple{b, ib, pb}}) {
        Conn* c = it->conn;
        if (!JoinInsert(c, i)) return Fail();
        Crn& k = c->crn[i];
        k.x = p.x;
        k.y = p.y;
        k.layer = uint8_t(layer);
        k.width = c->crn[i - 1].width;
        k.via = 0;
        k.flags = 0;
        it->last = i;
        it->changed = true;
    }
    // bring the two to one point: A's continuation against B's new segment
    const int32_t ja = a->last, jb = b->last;
    const Crn pA = ca->crn[ja];
    const Crn bNear = cb->crn[jb];
    const Crn bFar = cb->crn[jb + 1];
    const Crn cont = ja + 1 < ca->head.count ? ca->crn[ja + 1] : pA;
    const SegPt n =
        SegNearestPoint(SegPt{cont.x, cont.y}, Seg{{bNear.x, bNear.y}, {bFar.x, bFar.y}});
    if (n.x == bFar.x && n.y == bFar.y) {
        if (!InsertAfter(a, ja, bFar.x, bFar.y, layer)) return Fail();
        a->last = ja + 1;
        b->last = jb + 1;
    } else if (n.x != bNear.x || n.y != bNear.y) {
        if (!InsertAfter(a, ja, n.x, n.y, layer)) return Fail();
        a->last = ja + 1;
        if (!InsertAfter(b, jb, n.x, n.y, layer)) return Fail();
        b->last = jb + 1;
    }
    return MergeTidy(b, a);
}

} // namespace

int32_t ConnJoin(CleanItem* a, CleanItem* b) {
    for (const CleanItem* it : {a, b})
        if (Locked(it->conn, it->common) || Locked(it->conn, it->last)) return 0;
    for (CleanItem* it : {a, b})
        if (it->last > 0 && JoinWindowSplit(it->conn, it->last - 1)) {
            it->changed = true;
            ++it->last;
        }
    const int32_t e1 = a->last, e2 = b->last;
    const int32_t viaPairs[4][2] = {{e1, e2}, {e1, e2 - 1}, {e1 - 1, e2}, {e1 - 1, e2 - 1}};
    for (const auto& p : viaPairs) {
        if (ViaJoin(a, p[0], b, p[1])) return 1;
        if (CleanFailure) return 0;
        a->last = e1;
        b->last = e2;
    }
    struct SegTry {
        bool aOnB;
        int32_t via, seg;
    };
    const SegTry segTries[4] = {
        {true, e1 - 1, e2 - 1}, {false, e2 - 1, e1 - 1}, {true, e1, e2 - 1}, {false, e2, e1 - 1}};
    for (const SegTry& t : segTries) {
        const int32_t r = t.aOnB ? ViaSegJoin(a, t.via, b, t.seg) : ViaSegJoin(b, t.via, a, t.seg);
        if (r) return 1;
        if (CleanFailure) return 0;
        a->last = e1;
        b->last = e2;
    }
    if (CornerJoin(a, e1, b, e2)) return 1;
    if (CleanFailure) return 0;
    a->last = e1;
    b->last = e2;
    return CornerJoin(b, e2, a, e1);
}
