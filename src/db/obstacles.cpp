// The obstacle table and the shape helpers of obstacle records.
#include "db/obstacles.h"

#include <climits>
#include <cstring>

#include "db/dbheader.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/pool.h"

namespace {

int32_t UserUnit() {
    const int32_t u = DbHdr().userUnit;
    return u > 0 ? u : 1;
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

void ObsArcsToSegs(Obstacle* record) {
    Obstacle* work = static_cast<Obstacle*>(ScratchPush());
    void* segs = ScratchPush();
    int32_t n = record->head.count;
    if (n < 0) n = 0;
    if (n > kMaxPoints) n = kMaxPoints;
    std::memcpy(work, record, size_t(kObsHeadBytes + kObsPointBytes * n));
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
        if (total > kObsMaxPoints - 1) ErrReport(kErrObsArcPoints, total);
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
    std::memcpy(record, work, size_t(kObsHeadBytes + kObsPointBytes * work->head.count));
    ScratchPop(segs);
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
        h.minX = c.x - r, h.minY = c.y - r, h.maxX = c.x + r, h.maxY = c.y + r;
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
    h.minX -= half, h.minY -= half, h.maxX += half, h.maxY += half;
}

int32_t ObsKindMsgId(int32_t kind) {
    if (kind >= 0 && kind <= 16) return 21535 + kind;
    if (kind >= 17 && kind <= 19) return 21536 + kind;
    return 21556;
}
