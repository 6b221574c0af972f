// DFM phases on pairs of connections of one net: via scrunching (two
// touching vias become one), copper share (two connections leaving one pin
// share one route as far as they can) and the removal of acute junctions
// between two connections. A net with one connection is never changed;
// every kept change passes the rule check; a pair whose shared start does
// not agree corner for corner is passed over.
#include <algorithm>
#include <cstdio>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/layers.h"
#include "router/connnorm.h"
#include "router/objtable.h"
#include "rules/dfm.h"
#include "rules/ruleadapt.h"

namespace {

enum : int32_t { kShareOptimise = 1, kShareClean = 2, kAcuteEndTurn = 2700 };

const Crn& K(const Conn* c, int32_t i) {
    return c->crn[i];
}

bool BoxesOverlap(const Conn* a, const Conn* b) {
    const ConnHead &p = a->head, &q = b->head;
    return p.minX <= q.maxX && q.minX <= p.maxX && p.minY <= q.maxY && q.minY <= p.maxY;
}

bool SamePt(const Crn& a, const Crn& b) {
    return a.x == b.x && a.y == b.y;
}

// Each other loaded, unflagged connection of the net, read into a scratch
// record; `visit` answers whether it changed something.
template <typename F> int32_t ForPartners(int32_t conn, const Conn* image, F visit) {
    ScratchRecord<Conn> other;
    int32_t changed = 0;
    for (int32_t c = NetConnFirst(image->head.net); c; c = NetConnNext(c)) {
        if (c == conn || !dfmConnUsable(c)) continue;
        AltSave(kRecConn, c, other.get());
        if (visit(c, ObjFindConn(c), other.get())) changed = 1;
    }
    return changed;
}

// Reduces and commits a trial in the stored orientation; on success the
// image takes it (in the working orientation).
int32_t Keep(int32_t conn, int32_t obj, Conn* image, Conn* trial, int32_t reversed, bool noReduce) {
    connReduce(trial);
    if (reversed) ConnReverse(trial);
    const int32_t ok =
        noReduce ? dfmCommitConnNoReduce(conn, obj, trial, 1) : dfmCommitConn(conn, obj, trial, 1);
    if (reversed) ConnReverse(trial);
    if (ok) ConnCopy(image, trial);
    return ok;
}

int32_t dfmShareVia(const Conn* a, int32_t connB, int32_t objB, Conn* b) {
    if (!BoxesOverlap(a, b)) return 0;
    int32_t changed = 0;
    ScratchRecord<Conn> trial;
    for (int32_t i = 0; i < a->head.count; ++i) {
        const Crn& va = K(a, i);
        if (!va.via || !dfmLayerAt(a, i) || !dfmPointInWindow(va.x, va.y)) continue;
        for (int32_t j = 1; j < b->head.count - 1; ++j) {
            const Crn& vb = K(b, j);
            if (!vb.via || !dfmLayerAt(b, j) || !dfmPointInWindow(vb.x, vb.y)) continue;
            if (SamePt(va, vb)) continue;
            const int32_t dist = PtDist(va.x, va.y, vb.x, vb.y);
            DebugPrint("dist = %f", double(dist));
            bool reach = false;
            for (int32_t l = 1; l <= LayerCount() && !reach; ++l) {
                if (!LayerActive(l)) continue;
                const int32_t ra = ViaPadRadius(va.via, l), rb = ViaPadRadius(vb.via, l);
                reach = ra > 0 && rb > 0 && ra + rb >= dist;
            }
            if (!reach || !dfmIsSharable(b, j) || !dfmRoomFor(b, 2)) continue;
            ConnCopy(trial.get(), b);
            CrnInsert(trial.get(), j, 2);
            Crn* k = trial->crn;
            k[j].via = 0;
            k[j].layer = K(b, j - 1).layer;
            k[j].width = K(b, j - 1).width;
            k[j + 1].x = va.x;
            k[j + 1].y = va.y;
            k[j + 2].via = 0;
            if (!dfmCommitConn(connB, objB, trial.get(), 1)) continue;
            ConnCopy(b, trial.get());
            changed = 1;
            j += 2;
        }
    }
    return changed;
}

// The shared end of two connections as (component, pin); false when none.
bool SharedEnd(const Conn* a, const Conn* b, int32_t* comp, int32_t* pin) {
    const int32_t ac[2] = {a->head.fromComp, a->head.toComp};
    const int32_t ap[2] = {a->head.fromPin, a->head.toPin};
    const int32_t bc[2] = {b->head.fromComp, b->head.toComp};
    const int32_t bp[2] = {b->head.fromPin, b->head.toPin};
    for (int32_t s = 0; s < 2; ++s)
        for (int32_t t = 0; t < 2; ++t)
            if (ac[s] && ac[s] == bc[t] && ap[s] == bp[t]) {
                *comp = ac[s];
                *pin = ap[s];
                return true;
            }
    return false;
}

int32_t Orient(Conn* c, int32_t comp, int32_t pin) {
    if (c->head.fromComp == comp && c->head.fromPin == pin) return 0;
    ConnReverse(c);
    return 1;
}

int32_t RoutedLength(const Conn* c, int32_t last) {
    int32_t sum = 0;
    for (int32_t i = 0; i < last; ++i)
        sum += SegDist(K(c, i).x, K(c, i).y, K(c, i + 1).x, K(c, i + 1).y);
    return sum;
}

// The target's corners 0 .. ti replaced by the source's 0 .. sj; the
// common corner keeps the target's fields.
bool TakeStart(Conn* target, int32_t ti, const Conn* source, int32_t sj) {
    for (int32_t k = 1; k < ti; ++k)
        if (!dfmIsSharable(target, k) || K(target, k).via) return false;
    for (int32_t k = 0; k <= sj; ++k)
        if (!dfmPointInWindow(K(source, k).x, K(source, k).y)) return false;
    if (sj + target->head.count - ti > kDfmCornerLimit) return false;
    if (ti > sj) CrnDelete(target, 1, ti - sj);
    if (sj > ti) CrnInsert(target, 0, sj - ti);
    for (int32_t k = 0; k < sj; ++k) {
        target->crn[k] = K(source, k);
        target->crn[k].flags = 0;
    }
    return true;
}

struct SharePair {
    int32_t conn[2], obj[2], reversed[2];
    Conn* image[2]; // A, B
    int32_t mode;
};

int32_t collapse(SharePair& p) {
    ScratchRecord<Conn> ca, cb;
    ConnCopy(ca.get(), p.image[0]);
    ConnCopy(cb.get(), p.image[1]);
    dfmMakeCommonPoint(ca.get(), cb.get());
    int32_t i, j;
    if (!dfmFindCommonPoint(ca.get(), cb.get(), &i, &j)) return 0;
    if (i == j) {
        bool same = true;
        for (int32_t k = 0; k < i && same; ++k)
            same = SamePt(K(ca.get(), k), K(cb.get(), k)) &&
                   K(ca.get(), k).layer == K(cb.get(), k).layer;
        if (same) return 0;
    }
    bool bShorter = false;
    if (p.mode == kShareOptimise) bShorter = RoutedLength(cb.get(), j) < RoutedLength(ca.get(), i);
    const int32_t t = bShorter ? 0 : 1;
    Conn* target = bShorter ? ca.get() : cb.get();
    if (!(bShorter ? TakeStart(target, i, cb.get(), j) : TakeStart(target, j, ca.get(), i)))
        return 0;
    if (!Keep(p.conn[t], p.obj[t], p.image[t], target, p.reversed[t], true)) {
        DebugPrint("DFM-collapse: FAILED");
        return 0;
    }
    return 1;
}

// M bent along the orthogonal guide G (G's next segment).
int32_t dfmShareExtendStraight(SharePair& p, int32_t g, int32_t gi, int32_t mi) {
    const int32_t m = 1 - g;
    const Conn* G = p.image[g];
    const Conn* M = p.image[m];
    const Crn &g0 = K(G, gi), &g1 = K(G, gi + 1), &m1 = K(M, mi + 1);
    if (!dfmIsOrthogonal(lineAngle(g0.x, g0.y, g1.x, g1.y))) ErrReport(kErrDfmGuideSlant, gi);
    ScratchRecord<Conn> trial;
    ConnCopy(trial.get(), M);
    int32_t x, y;
    SegNearestPt(&x, &y, m1.x, m1.y, g0.x, g0.y, g1.x, g1.y);
    if (dfmOnSeg(x, y, g0.x, g0.y, g1.x, g1.y) && !(x == g0.x && y == g0.y)) {
        if (!addConnCrn(trial.get(), mi + 1, x, y)) return 0;
    } else {
        // First M's next segment shifted along G by G's next segment from a
        // copy of the common point (in the stored orientation only).
        if (!p.reversed[m] && addConnCrn(trial.get(), mi + 1, K(M, mi).x, K(M, mi).y) &&
            dfmShiftSeg(p.conn[m], p.obj[m], trial.get(), mi + 1, g1.x - g0.x, g1.y - g0.y)) {
            ConnCopy(p.image[m], trial.get());
            return 1;
        }
        ConnCopy(trial.get(), M);
        int32_t dx, dy;
        dfmGuide(AngNormalize(lineAngle(g0.x, g0.y, g1.x, g1.y) + kDfmRight), &dx, &dy);
        const Crn& m0 = K(M, mi);
        if (!dfmLineMeet(g1.x, g1.y, g1.x + dx, g1.y + dy, m0.x, m0.y, m1.x, m1.y, &x, &y))
            return 0;
        if (!dfmOnSeg(x, y, m0.x, m0.y, m1.x, m1.y) || !dfmRoomFor(M, 2)) return 0;
        addConnCrn(trial.get(), mi + 1, g1.x, g1.y);
        addConnCrn(trial.get(), mi + 2, x, y);
    }
    return Keep(p.conn[m], p.obj[m], p.image[m], trial.get(), p.reversed[m], false);
}

// M's next corner bent onto the guide G's next segment.
int32_t dfmShareExtendDiagonal(SharePair& p, int32_t g, int32_t gi, int32_t mi) {
    const int32_t m = 1 - g;
    const Conn* G = p.image[g];
    const Conn* M = p.image[m];
    if (mi + 2 > M->head.count - 2 || K(M, mi + 1).via || !dfmIsMovableCrn(M, mi + 1, 0)) return 0;
    const Crn &g0 = K(G, gi), &g1 = K(G, gi + 1);
    const Crn &m1 = K(M, mi + 1), &m2 = K(M, mi + 2);
    if (!dfmPointInWindow(m2.x, m2.y)) return 0;
    ScratchRecord<Conn> trial;
    ConnCopy(trial.get(), M);
    int32_t x, y;
    SegNearestPt(&x, &y, m2.x, m2.y, g0.x, g0.y, g1.x, g1.y);
    if (dfmOnSeg(x, y, g0.x, g0.y, g1.x, g1.y)) {
        trial->crn[mi + 1].x = x;
        trial->crn[mi + 1].y = y;
    } else {
        int32_t dx, dy;
        dfmGuide(lineAngle(K(M, mi).x, K(M, mi).y, m1.x, m1.y), &dx, &dy);
        if (!dfmLineMeet(g1.x, g1.y, g1.x + dx, g1.y + dy, m1.x, m1.y, m2.x, m2.y, &x, &y))
            return 0;
        if (!dfmOnSeg(x, y, m1.x, m1.y, m2.x, m2.y) || !addConnCrn(trial.get(), mi + 1, g1.x, g1.y))
            return 0;
        trial->crn[mi + 2].x = x;
        trial->crn[mi + 2].y = y;
    }
    return Keep(p.conn[m], p.obj[m], p.image[m], trial.get(), p.reversed[m], false);
}

int32_t extendShare(SharePair& p) {
    const Conn *A = p.image[0], *B = p.image[1];
    int32_t i, j;
    if (!dfmFindCommonPoint(A, B, &i, &j)) return 0;
    if (i >= A->head.count - 1 || j >= B->head.count - 1) return 0;
    const Crn &c = K(A, i), &an = K(A, i + 1), &bn = K(B, j + 1);
    if (!dfmPointInWindow(c.x, c.y) || !dfmPointInWindow(an.x, an.y) ||
        !dfmPointInWindow(bn.x, bn.y))
        return 0;
    if (!K(A, i).layer || K(A, i).layer != K(B, j).layer) return 0;
    const int32_t da = lineAngle(c.x, c.y, an.x, an.y), db = lineAngle(c.x, c.y, bn.x, bn.y);
    const int32_t turn = dfmAngleDiff(da, db);
    if (turn == 0 || (turn > kDfmRight && turn < kDfmRightBack)) return 0;
    const int32_t at[2] = {i, j};
    if (turn == kDfmRight || turn == kDfmRightBack) {
        const int32_t la = PtDist(c.x, c.y, an.x, an.y), lb = PtDist(c.x, c.y, bn.x, bn.y);
        const int32_t bent = la < lb ? 0 : 1;
        if (bent == 0 && p.mode == kShareClean) return 0;
        return dfmShareExtendDiagonal(p, 1 - bent, at[1 - bent], at[bent]);
    }
    if (dfmIsOrthogonal(da)) return dfmShareExtendStraight(p, 0, i, j);
    if (dfmIsOrthogonal(db) && p.mode == kShareOptimise) return dfmShareExtendStraight(p, 1, j, i);
    return 0;
}

// ---- acute junctions ------------------------------------------------------------

// One pair of segments: S1 = A's i..i+1, S2 = B's j..j+1. Answers 1 when B
// was changed and kept, -1 when B got a temporary corner (look again), 0
// otherwise.
int32_t AcuteSegs(const Conn* A, int32_t i, int32_t connB, int32_t objB, Conn* B, int32_t j) {
    const Crn &s1a = K(A, i), &s1b = K(A, i + 1), &s2a = K(B, j), &s2b = K(B, j + 1);
    int32_t jx = 0, jy = 0, ax = 0, ay = 0, bj = j; // junction, anchor, B's corner there
    int32_t turn = 0;
    auto angleAt = [](int32_t x, int32_t y, int32_t px, int32_t py, int32_t qx, int32_t qy) {
        if ((x == px && y == py) || (x == qx && y == qy)) return 0;
        return std::abs(lineAngle(x, y, px, py) - lineAngle(x, y, qx, qy));
    };
    const Crn* ends1[2] = {&s1a, &s1b};
    const Crn* ends2[2] = {&s2a, &s2b};
    bool shared = false;
    for (int32_t s = 0; s < 2 && !shared; ++s)
        for (int32_t t = 0; t < 2 && !shared; ++t)
            if (SamePt(*ends1[s], *ends2[t])) {
                shared = true;
                jx = ends1[s]->x;
                jy = ends1[s]->y;
                ax = ends1[1 - s]->x;
                ay = ends1[1 - s]->y;
                bj = j + t;
                turn = angleAt(jx, jy, ax, ay, ends2[1 - t]->x, ends2[1 - t]->y);
            }
    if (!shared) {
        const int32_t s1[4] = {s1a.x, s1a.y, s1b.x, s1b.y};
        const int32_t s2[4] = {s2a.x, s2a.y, s2b.x, s2b.y};
        int32_t x[2];
        if (SegClearance(s1, s2, x) != 1) return 0;
        if (!dfmOnSeg(x[0], x[1], s1a.x, s1a.y, s1b.x, s1b.y) ||
            !dfmOnSeg(x[0], x[1], s2a.x, s2a.y, s2b.x, s2b.y))
            return 0;
        const int32_t d1 = lineAngle(s1a.x, s1a.y, s1b.x, s1b.y);
        const int32_t d2 = lineAngle(s2a.x, s2a.y, s2b.x, s2b.y);
        if (dfmAngleDiff(d1, d2) % kDfmRight == 0) return 0;
        const bool atS2a = x[0] == s2a.x && x[1] == s2a.y, atS2b = x[0] == s2b.x && x[1] == s2b.y;
        const bool atS1 = (x[0] == s1a.x && x[1] == s1a.y) || (x[0] == s1b.x && x[1] == s1b.y);
        if (atS2a || atS2b) {
            turn = kAcuteEndTurn;
            jx = x[0];
            jy = x[1];
            bj = atS2a ? j : j + 1;
            const bool nearA = PtDist(jx, jy, s1a.x, s1a.y) <= PtDist(jx, jy, s1b.x, s1b.y);
            ax = nearA ? s1a.x : s1b.x;
            ay = nearA ? s1a.y : s1b.y;
        } else if (atS1) {
            if (!addConnCrn(B, j + 1, x[0], x[1])) return 0;
            DebugPrint("DFM-acute: adding temp corner (crn %d)", int(j + 1));
            return -1;
        } else {
            DebugPrint("DFM-Acute: segs cross");
            return 0;
        }
    }
    if (!dfmIsAcuteTurn(turn)) return 0;
    DebugPrint("DFM-acute: found common point acute");
    const Crn& far = K(B, bj == j ? j + 1 : j);
    if (dfmIsOrthogonal(lineAngle(s2a.x, s2a.y, s2b.x, s2b.y))) return 0;
    if (!dfmIsMovableCrn(B, bj, 0) && K(B, bj).via) return 0;
    const int32_t across =
        AngNormalize(lineAngle(s1a.x, s1a.y, s1b.x, s1b.y) / kDfmRight * kDfmRight + kDfmRight);
    int32_t dx, dy, fx, fy;
    dfmGuide(across, &dx, &dy);
    ScratchRecord<Conn> trial;
    ConnCopy(trial.get(), B);
    if (!dfmLineMeet(far.x, far.y, far.x + dx, far.y + dy, s1a.x, s1a.y, s1b.x, s1b.y, &fx, &fy)) {
        DebugPrint("DFM-acute: !!! segs don't intersect");
        return 0;
    }
    if (dfmOnSeg(fx, fy, s1a.x, s1a.y, s1b.x, s1b.y)) {
        DebugPrint("   seg2 is within seg1");
        if (!addConnCrn(trial.get(), j + 1, fx, fy)) return 0;
    } else {
        DebugPrint("   seg2 extends past seg1");
        int32_t yx, yy;
        if (!dfmLineMeet(ax, ay, ax + dx, ay + dy, s2a.x, s2a.y, s2b.x, s2b.y, &yx, &yy) ||
            !dfmOnSeg(yx, yy, s2a.x, s2a.y, s2b.x, s2b.y) || !dfmRoomFor(B, 2)) {
            DebugPrint("   but does not intersect");
            return 0;
        }
        const bool fromJ = bj == j;
        addConnCrn(trial.get(), j + 1, fromJ ? ax : yx, fromJ ? ay : yy);
        addConnCrn(trial.get(), j + 2, fromJ ? yx : ax, fromJ ? yy : ay);
    }
    connReduce(trial.get());
    if (dfmCommitConn(connB, objB, trial.get(), 1)) {
        DebugPrint("DFM-acute: IT WORKED!!!");
        ConnCopy(B, trial.get());
        return 1;
    }
    DebugPrint("DFM-acute: failed space check");
    return 0;
}

int32_t acute(const Conn* A, int32_t connB, int32_t objB, Conn* B) {
    if (!BoxesOverlap(A, B)) return 0;
    ScratchRecord<Conn> saved;
    ConnCopy(saved.get(), B);
    for (int32_t i = 0; i + 1 < A->head.count; ++i) {
        if (!K(A, i).layer) continue;
        for (int32_t j = 0; j + 1 < B->head.count; ++j) {
            if (K(B, j).layer != K(A, i).layer) continue;
            if (!dfmSegInWindow(K(B, j).x, K(B, j).y, K(B, j + 1).x, K(B, j + 1).y)) continue;
            const int32_t r = AcuteSegs(A, i, connB, objB, B, j);
            if (r > 0) return 1;
            if (r < 0) {
                const int32_t again = AcuteSegs(A, i, connB, objB, B, j);
                if (again > 0) return 1;
                ConnCopy(B, saved.get()); // the temporary corner goes again
            }
        }
    }
    return 0;
}

} // namespace

int32_t DFMShareVias(int32_t conn, int32_t, Conn* image, int32_t, int32_t) {
    return ForPartners(conn, image, [&](int32_t c, int32_t obj, Conn* other) {
        return dfmShareVia(image, c, obj, other);
    });
}

int32_t dfmShareStep(int32_t conn, int32_t obj, Conn* image, int32_t mode, int32_t) {
    ForPartners(conn, image, [&](int32_t c, int32_t objB, Conn* other) {
        if (!ConnSameEnd(c, image)) return 0;
        int32_t comp, pin;
        if (!SharedEnd(image, other, &comp, &pin)) return 0;
        ScratchRecord<Conn> a;
        ConnCopy(a.get(), image);
        SharePair p{{conn, c}, {obj, objB}, {0, 0}, {a.get(), other}, mode};
        p.reversed[0] = Orient(a.get(), comp, pin);
        p.reversed[1] = Orient(other, comp, pin);
        if (a->head.fromComp != other->head.fromComp || a->head.fromPin != other->head.fromPin)
            ErrReport(kErrDfmShareStart, c);
        if (a->head.count < 2 || other->head.count < 2 || !SamePt(K(a.get(), 0), K(other, 0)))
            return 0; // starts that differ slightly are passed over
        collapse(p);
        for (int32_t n = 0; n < kDfmShareExtends && extendShare(p); ++n)
            DebugPrint("DFM - extendShare modified conn.");
        if (p.reversed[0]) ConnReverse(a.get());
        ConnCopy(image, a.get());
        return 0;
    });
    return 0;
}

int32_t DFMClearSharedAcutes(int32_t conn, int32_t obj, Conn* image, int32_t, int32_t) {
    return ForPartners(conn, image, [&](int32_t c, int32_t objB, Conn* other) {
        int32_t changed = acute(image, c, objB, other);
        if (acute(other, conn, obj, image)) changed = 1;
        return changed;
    });
}
