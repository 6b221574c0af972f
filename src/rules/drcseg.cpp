// The geometric sub-checks of the connection rule check: a corner range
// against one segment (or a round via or pad seen as a point), one box, one
// arc and one turned pad outline. Vias are measured by their pad on the
// layer (round shapes by radius, the others by their box); segments are
// pruned by outcodes and layer before any distance is taken, and arcs are
// measured by their boxes. Each end of a segment takes its outcode with the
// segment's own clearance.
#include <algorithm>

#include "db/paddist.h"
#include "router/connnorm.h"
#include "router/layertab.h"
#include "rules/drcconn.h"
#include "rules/drcerror.h"
#include "rules/seggeom.h"

namespace {

enum : int32_t {
    kKindSeg = 0,
    kKindVia = 2,
};

int32_t Spacing(int32_t layer, int32_t kind) {
    return LayerSpacing(layer, kind, nullptr, DrcSpacingClass);
}

// The gap between two boxes (0 when they meet).
int32_t BoxGap(const int32_t a[4], const int32_t b[4]) {
    const int64_t dx = std::max<int64_t>({0, int64_t(b[0]) - a[2], int64_t(a[0]) - b[2]});
    const int64_t dy = std::max<int64_t>({0, int64_t(b[1]) - a[3], int64_t(a[1]) - b[3]});
    if (dx == 0) return int32_t(std::min<int64_t>(dy, INT32_MAX));
    if (dy == 0) return int32_t(std::min<int64_t>(dx, INT32_MAX));
    return PtDist(0, 0, int32_t(std::min<int64_t>(dx, INT32_MAX)),
                  int32_t(std::min<int64_t>(dy, INT32_MAX)));
}

bool BoxesMeet(const int32_t a[4], const int32_t b[4]) {
    return a[0] <= b[2] && b[0] <= a[2] && a[1] <= b[3] && b[1] <= a[3];
}

void Normalise(int32_t b[4]) {
    if (b[0] > b[2]) std::swap(b[0], b[2]);
    if (b[1] > b[3]) std::swap(b[1], b[3]);
}

void ArcBoxOf(const Conn* conn, int32_t i, int32_t box[4]) {
    ArcSpec a;
    ConnArcGet(i, conn, &a);
    ArcBox(&a, &box[0], &box[1], &box[2], &box[3]);
}

int32_t ViaViolation(const Crn& c, int32_t layer, int32_t found, int32_t required, int32_t i,
                     int32_t reach) {
    return DrcViolation(kErrKindViaSpacing, c.x, c.y, layer, found, required, i, c.x - reach,
                        c.y - reach, c.x + reach, c.y + reach);
}

// The vias of the range with a pad on the layer: `test`(corner, via
// corner, pad code, pad radius) answers the sub-check's result for one.
template <typename Test>
int32_t WalkVias(const Conn* conn, int32_t first, int32_t last, int32_t layer, Test test) {
    for (int32_t i = first; i <= last; ++i) {
        const Crn& c = conn->crn[i];
        if (!c.via) continue;
        const int32_t code = ViaPadCode(c.via, layer);
        if (code == kPadUndef) continue;
        if (!test(i, c, code, ViaPadRadius(c.via, layer))) return 0;
    }
    return 1;
}

// The walk shared by the box-like sub-checks: each segment of the range on
// the layer whose widened ends do not share an outcode bit against the box,
// with its clearance w = half width + s; arcs whole. `test` answers the
// sub-check's result for one segment (or arc, with arc set).
template <typename Test>
int32_t WalkSegments(const Conn* conn, int32_t first, int32_t last, const int32_t box[4],
                     int32_t layer, int32_t s, Test test) {
    for (int32_t i = first; i < last; ++i) {
        const Crn &a = conn->crn[i], &b = conn->crn[i + 1];
        const int32_t half = HalfWidth(a);
        const int32_t w = half + s;
        if (DrcIsArc(conn, i)) {
            if (a.layer == layer) {
                int32_t ab[4];
                ArcBoxOf(conn, i, ab);
                if (!test(i, half, true, ab)) return 0;
            }
            ++i;
            continue;
        }
        if (a.layer != layer) continue;
        const int32_t oa = DrcOutcode(a.x, a.y, w, box[0], box[1], box[2], box[3]);
        const int32_t ob = DrcOutcode(b.x, b.y, w, box[0], box[1], box[2], box[3]);
        if (oa & ob) continue;
        if (!test(i, half, false, nullptr)) return 0;
    }
    return 1;
}

} // namespace

int32_t DrcOutcode(int32_t x, int32_t y, int32_t w, int32_t xmin, int32_t ymin, int32_t xmax,
                   int32_t ymax) {
    int32_t code = 0;
    if (int64_t(x) <= int64_t(xmin) - w) code |= 4;
    if (int64_t(x) >= int64_t(xmax) + w) code |= 8;
    if (int64_t(y) <= int64_t(ymin) - w) code |= 2;
    if (int64_t(y) >= int64_t(ymax) + w) code |= 1;
    return code;
}

bool DrcIsArc(const Conn* conn, int32_t i) {
    if (i < 0 || i > conn->head.count - 3) return false;
    const Crn *s = &conn->crn[i], *c = &conn->crn[i + 1], *e = &conn->crn[i + 2];
    return (c->flags & kCrnArc) && (s->flags & kCrnLocked) && (c->flags & kCrnLocked) &&
           (e->flags & kCrnLocked);
}

int32_t DrcConnVsSeg(const Conn* conn, int32_t first, int32_t last, int32_t x1, int32_t y1,
                     int32_t x2, int32_t y2, int32_t layer, int32_t h) {
    int32_t box[4] = {x1, y1, x2, y2};
    Normalise(box);
    const int32_t wide[4] = {box[0] - h, box[1] - h, box[2] + h, box[3] + h};
    const int32_t sv = Spacing(layer, kKindVia);
    const int32_t vias = WalkVias(
        conn, first, last, layer, [&](int32_t i, const Crn& c, int32_t code, int32_t r) -> int32_t {
            const int32_t w = sv + r;
            if (PadIsRound(code)) {
                if (c.x < wide[0] - w || c.x > wide[2] + w || c.y < wide[1] - w ||
                    c.y > wide[3] + w)
                    return 1;
                const int32_t d = PtSegDist(c.x, c.y, x1, y1, x2, y2);
                return d < h + w ? ViaViolation(c, layer, d - r - h, sv, i, w) : 1;
            }
            int32_t pb[4];
            ViaPadBox(c.via, layer, c.x, c.y, pb);
            const int32_t d =
                SegBoxDist(x1, y1, x2, y2, pb[0] - sv, pb[1] - sv, pb[2] + sv, pb[3] + sv);
            if (d >= h) return 1;
            const int32_t found = SegBoxDist(x1, y1, x2, y2, pb[0], pb[1], pb[2], pb[3]) - h;
            return ViaViolation(c, layer, found, sv, i, w);
        });
    if (!vias) return 0;
    const int32_t s = Spacing(layer, kKindSeg);
    const Seg other{{x1, y1}, {x2, y2}};
    return WalkSegments(
        conn, first, last, wide, layer, s,
        [&](int32_t i, int32_t half, bool arc, const int32_t* ab) -> int32_t {
            const Crn &a = conn->crn[i], &b = conn->crn[i + 1];
            const int32_t w = half + s;
            if (arc) {
                const int32_t aw[4] = {ab[0] - w, ab[1] - w, ab[2] + w, ab[3] + w};
                if (!BoxesMeet(aw, wide)) return 1;
                return DrcViolation(kErrKindRouteSpacing, (ab[0] + ab[2]) / 2, (ab[1] + ab[3]) / 2,
                                    layer, 0, s, i, aw[0], aw[1], aw[2], aw[3]);
            }
            const int32_t d = SegSegDist(a.x, a.y, b.x, b.y, x1, y1, x2, y2);
            if (d >= h + w) return 1;
            SegPt p1, p2;
            SegClosestPoints(Seg{{a.x, a.y}, {b.x, b.y}}, other, &p1, &p2);
            return DrcViolation(
                kErrKindRouteSpacing, p1.x, p1.y, layer, d - half - h, s, i,
                std::min(int32_t(a.x), int32_t(b.x)) - w, std::min(int32_t(a.y), int32_t(b.y)) - w,
                std::max(int32_t(a.x), int32_t(b.x)) + w, std::max(int32_t(a.y), int32_t(b.y)) + w);
        });
}

int32_t DrcConnVsBox(const Conn* conn, int32_t first, int32_t last, int32_t x1, int32_t y1,
                     int32_t x2, int32_t y2, int32_t layer) {
    int32_t box[4] = {x1, y1, x2, y2};
    Normalise(box);
    const int32_t sv = Spacing(layer, kKindVia);
    const int32_t vias = WalkVias(
        conn, first, last, layer, [&](int32_t i, const Crn& c, int32_t code, int32_t r) -> int32_t {
            if (PadIsRound(code)) {
                const int32_t d =
                    PtBoxDist(c.x, c.y, box[0] - sv, box[1] - sv, box[2] + sv, box[3] + sv);
                if (d >= r) return 1;
                const int32_t found = PtBoxDist(c.x, c.y, box[0], box[1], box[2], box[3]) - r;
                return ViaViolation(c, layer, found, sv, i, r + sv);
            }
            int32_t pb[4];
            ViaPadBox(c.via, layer, c.x, c.y, pb);
            const int32_t gap = BoxGap(pb, box);
            return gap < sv ? ViaViolation(c, layer, gap, sv, i, r + sv) : 1;
        });
    if (!vias) return 0;
    const int32_t s = Spacing(layer, kKindSeg);
    const int32_t cx = int32_t((int64_t(box[0]) + box[2]) / 2);
    const int32_t cy = int32_t((int64_t(box[1]) + box[3]) / 2);
    return WalkSegments(
        conn, first, last, box, layer, s,
        [&](int32_t i, int32_t half, bool arc, const int32_t* ab) -> int32_t {
            const Crn &a = conn->crn[i], &b = conn->crn[i + 1];
            const int32_t w = half + s;
            const int32_t wide[4] = {box[0] - w, box[1] - w, box[2] + w, box[3] + w};
            if (arc) {
                if (!BoxesMeet(ab, wide)) return 1;
                return DrcViolation(kErrKindRouteSpacing, cx, cy, layer, 0, s, i, wide[0], wide[1],
                                    wide[2], wide[3]);
            }
            const int32_t d =
                SegBoxDist(a.x, a.y, b.x, b.y, box[0] - s, box[1] - s, box[2] + s, box[3] + s);
            if (d >= half) return 1;
            const int32_t found =
                SegBoxDist(a.x, a.y, b.x, b.y, box[0], box[1], box[2], box[3]) - half;
            return DrcViolation(kErrKindRouteSpacing, cx, cy, layer, found, s, i, wide[0], wide[1],
                                wide[2], wide[3]);
        });
}

int32_t DrcConnVsArc(const Conn* conn, int32_t first, int32_t last, const ArcSpec* arc,
                     int32_t layer, int32_t half) {
    int32_t b[4];
    ArcBox(arc, &b[0], &b[1], &b[2], &b[3]);
    return DrcConnVsBox(conn, first, last, b[0] - half, b[1] - half, b[2] + half, b[3] + half,
                        layer);
}

int32_t DrcConnVsPadShape(const Conn* conn, int32_t first, int32_t last, int32_t x1, int32_t y1,
                          int32_t x2, int32_t y2, int32_t comp, int32_t pin, int32_t layer) {
    int32_t box[4] = {x1, y1, x2, y2};
    Normalise(box);
    const int32_t sv = Spacing(layer, kKindVia);
    const int32_t vias = WalkVias(
        conn, first, last, layer, [&](int32_t i, const Crn& c, int32_t code, int32_t r) -> int32_t {
            if (code > kPadAnnular) ErrReport(kErrDrcPadCode, code);
            const int32_t w = r + sv;
            const int32_t vb[4] = {c.x - w, c.y - w, c.x + w, c.y + w};
            return BoxesMeet(vb, box) ? ViaViolation(c, layer, BoxGap(vb, box), sv, i, w) : 1;
        });
    if (!vias) return 0;
    const int32_t s = Spacing(layer, kKindSeg);
    return WalkSegments(conn, first, last, box, layer, s,
                        [&](int32_t i, int32_t half, bool arc, const int32_t*) -> int32_t {
                            const Crn &a = conn->crn[i], &b = conn->crn[i + 1];
                            const int32_t w = half + s;
                            int32_t d;
                            if (arc) {
                                ArcSpec spec;
                                ConnArcGet(i, conn, &spec);
                                d = BoxArcDist(box[0], box[1], box[2], box[3], &spec);
                            } else {
                                d = PadSegDist(comp, pin, layer, a.x, a.y, b.x, b.y);
                            }
                            if (d >= w) return 1;
                            const int32_t mx = int32_t((int64_t(a.x) + b.x) / 2);
                            const int32_t my = int32_t((int64_t(a.y) + b.y) / 2);
                            return DrcViolation(kErrKindRouteSpacing, mx, my, layer, d - half, s, i,
                                                box[0] - w, box[1] - w, box[2] + w, box[3] + w);
                        });
}
