// Whether a point lies in an obstacle: circles by the distance to the
// centre, every other shape by the crossings of the horizontal line through
// the point with its closed outline.
#include <algorithm>
#include <cstring>

#include "db/comps.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/symbols.h"

namespace {

enum : int32_t { kMaxCrossings = 1000 };

struct Crossing {
    int32_t x;
    int32_t edge;
};

// Where edge e (points e, e + 1) lies against the line y: 1 when it meets
// the line only at one end and its other end is above, -1 when that end is
// below, 0 when it crosses in its inside or lies on the line.
int32_t EndSide(const Obstacle* r, int32_t e, int32_t y) {
    const ObsPoint& a = r->pt[e];
    const ObsPoint& b = r->pt[e + 1];
    if (a.y == y && b.y != y) return b.y > y ? 1 : -1;
    if (b.y == y && a.y != y) return a.y > y ? 1 : -1;
    return 0;
}

bool OnLine(const Obstacle* r, int32_t e, int32_t y) {
    return r->pt[e].y == y && r->pt[e + 1].y == y;
}

// True when the outline runs from edge a to edge b (or from b to a) through
// nothing but edges lying on the line y: the two edges meet the line at one
// place where the outline passes through or turns back.
bool Linked(const Obstacle* r, int32_t edges, int32_t a, int32_t b, int32_t y) {
    for (int32_t pass = 0; pass < 2; ++pass) {
        int32_t e = (a + 1) % edges;
        for (int32_t steps = 0; steps < edges; ++steps, e = (e + 1) % edges) {
            if (e == b) return true;
            if (!OnLine(r, e, y)) break;
        }
        std::swap(a, b);
    }
    return false;
}

} // namespace

int32_t ObsContainsPt(int32_t x, int32_t y, const Obstacle* record) {
    const ObsHead& h = record->head;
    if (h.flags & kObsCircle) {
        const ObsPoint& c = record->pt[1];
        const int32_t radius = PtDist(record->pt[0].x, record->pt[0].y, c.x, c.y);
        const int32_t d = PtDist(x, y, c.x, c.y);
        return d < radius ? 1 : d > radius ? 0 : 2;
    }
    if (h.count < 1) return 0;

    Obstacle* work = static_cast<Obstacle*>(ScratchPush());
    const int32_t n0 = std::min<int32_t>(h.count, kMaxPoints);
    std::memcpy(work, record, size_t(kObsHeadBytes + kObsPointBytes * n0));
    work->head.count = int16_t(n0);
    ObsArcsToSegs(work);
    int32_t n = work->head.count;
    if (n < kMaxPoints &&
        (work->pt[n - 1].x != work->pt[0].x || work->pt[n - 1].y != work->pt[0].y))
        work->pt[n++] = work->pt[0];
    const int32_t edges = n - 1;

    int32_t x1 = INT32_MAX, y1 = INT32_MAX, x2 = INT32_MIN, y2 = INT32_MIN;
    for (int32_t i = 0; i < n; ++i) {
        x1 = std::min(x1, work->pt[i].x), x2 = std::max(x2, work->pt[i].x);
        y1 = std::min(y1, work->pt[i].y), y2 = std::max(y2, work->pt[i].y);
    }
    int32_t answer = 0;
    if (x < x1 || x > x2 || y < y1 || y > y2 || edges < 1) {
        ScratchPop(work);
        return 0;
    }

    // The line through the point across the box, against every edge.
    Crossing crossing[kMaxCrossings];
    int32_t count = 0;
    bool onEdge = false;
    for (int32_t e = 0; e < edges && !onEdge; ++e) {
        const ObsPoint& a = work->pt[e];
        const ObsPoint& b = work->pt[e + 1];
        if (a.x == b.x && a.y == b.y) continue;
        int32_t cx, cy;
        const int32_t kind = SegIntersect(&cx, &cy, x1, y, x2, y, a.x, a.y, b.x, b.y);
        if (kind == 0) continue;
        if (kind == 2 || OnLine(work, e, y)) {
            if (x >= std::min(a.x, b.x) && x <= std::max(a.x, b.x)) onEdge = true;
            continue;
        }
        if (count < kMaxCrossings) crossing[count++] = Crossing{cx, e};
    }
    if (onEdge) {
        ScratchPop(work);
        return 2;
    }
    std::stable_sort(crossing, crossing + count,
                     [](const Crossing& p, const Crossing& q) { return p.x < q.x; });

    // Where the outline passes through the line at a vertex (or along a run
    // on the line), its two edges each meet the line at an end from opposite
    // sides: they count as one crossing.
    for (bool merged = true; merged;) {
        merged = false;
        for (int32_t i = 0; i + 1 < count; ++i) {
            const int32_t sa = EndSide(work, crossing[i].edge, y);
            const int32_t sb = EndSide(work, crossing[i + 1].edge, y);
            if (sa == 0 || sb == 0 || sa == sb) continue;
            if (!Linked(work, edges, crossing[i].edge, crossing[i + 1].edge, y)) continue;
            std::memmove(&crossing[i + 1], &crossing[i + 2],
                         sizeof(Crossing) * size_t(count - i - 2));
            --count;
            merged = true;
        }
    }

    for (int32_t i = 0; i + 1 < count; i += 2) {
        if (x == crossing[i].x || x == crossing[i + 1].x) {
            answer = 2;
            break;
        }
        if (x < crossing[i].x) break;
        if (x < crossing[i + 1].x) {
            answer = 1;
            break;
        }
    }
    ScratchPop(work);
    return answer;
}

int32_t CompBoxOutside(const Component* record) {
    if (record->symbol < 1 || record->symbol > SymCount())
        ErrReport(kErrBoxOutsideSymbol, record->symbol);
    Component comp = *record;
    comp.angle = int16_t(AngNormalize(comp.angle));
    int32_t x1, y1, x2, y2;
    if (!CompPadBox(&comp, &x1, &y1, &x2, &y2)) {
        x1 = x2 = comp.x;
        y1 = y2 = comp.y;
    }
    const int32_t corners[4][2] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
    for (int32_t o = ObsBoardFirst(); o != 0; o = ObsNext(o)) {
        const Obstacle* obs = ObsRef(o);
        if (obs->head.kind != kObsBoardOutline && obs->head.kind != kObsCompKeepin) continue;
        for (const auto& c : corners)
            if (ObsContainsPt(c[0], c[1], obs) == 0) return 1;
    }
    return 0;
}
