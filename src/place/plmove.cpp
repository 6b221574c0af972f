// Node moves on the placement model. A chain is the node followed by its
// chain links; every member moves by the same offset, so the first takes
// the new position and the others keep their offsets. Ranges of a random
// spot keep the node's box inside the placement area; a range that clips
// to nothing falls back to the area's own limit.
#include "place/plmove.h"

#include "place/plmodel.h"
#include "place/plrandom.h"
#include "place/plrun.h"

namespace {

// The chain members of node, each checked against 1..N.
template <typename F> void ForChain(int32_t node, F f) {
    const PlaceModel& m = g_placeModel;
    int32_t c = node;
    int32_t guard = 0;
    do {
        if (c < 1 || c > m.compCount) ErrReport(kErrPlChainMember, c);
        f(c);
        c = m.nodes[size_t(c)].chainLink;
    } while (c != 0 && c != node && ++guard <= m.compCount);
}

int64_t FloorMod(int64_t v, int64_t step) {
    const int64_t r = v % step;
    return r < 0 ? r + step : r;
}

// One axis of a random spot: the range [lo, hi] against the area-derived
// limits [alo, ahi], then the draw on the step.
int32_t DrawAxis(int32_t lo, int32_t hi, int32_t alo, int32_t ahi, int32_t step) {
    const bool clipLo = lo<alo, clipHi = hi> ahi;
    if (clipLo) lo = alo;
    if (clipHi) hi = ahi;
    if (lo > hi) {
        if (clipLo)
            hi = ahi;
        else if (clipHi)
            lo = alo;
        else
            hi = lo + 1;
    }
    const int32_t t = PlSnap(hi - lo, step) / step;
    if (t > 0) lo += (PlRandom() % (t + 1)) * step;
    return PlSnap(lo, step);
}

} // namespace

void PlNodeMove(int32_t node, int32_t nx, int32_t ny, int32_t ox, int32_t oy) {
    const int32_t dx = nx - ox, dy = ny - oy;
    ForChain(node, [&](int32_t c) {
        PlaceNode& n = g_placeModel.nodes[size_t(c)];
        n.x += dx;
        n.y += dy;
        n.x1 += dx;
        n.x2 += dx;
        n.y1 += dy;
        n.y2 += dy;
    });
}

void PlNodeShift(int32_t node, int32_t nx, int32_t ny, int32_t ox, int32_t oy) {
    PlNodeMove(node, nx, ny, ox, oy);
    const int32_t dx = nx - ox, dy = ny - oy;
    PlaceModel& m = g_placeModel;
    ForChain(node, [&](int32_t c) {
        for (int16_t net : m.nodes[size_t(c)].nets)
            for (PlPinPoint& p : m.nets[size_t(net)].points)
                if (p.comp == c) {
                    p.x += dx;
                    p.y += dy;
                }
    });
}

bool PlNodeInside(int32_t node) {
    const PlBox& a = g_placeModel.area;
    bool inside = true;
    ForChain(node, [&](int32_t c) {
        const PlaceNode& n = g_placeModel.nodes[size_t(c)];
        inside = inside && n.x1 >= a.x1 && n.y1 >= a.y1 && n.x2 <= a.x2 && n.y2 <= a.y2;
    });
    return inside;
}

int32_t PlSnap(int32_t v, int32_t step) {
    if (step < 1 || v % step == 0) return v;
    const int64_t s = int64_t(v) + step / 2;
    return int32_t(s - FloorMod(s, step));
}

void PlRandomSpot(int32_t node, int32_t phase, int32_t* x, int32_t* y) {
    const PlaceModel& m = g_placeModel;
    const PlaceNode& n = m.nodes[size_t(node)];
    const PlaceRegion* r = n.region > 0 ? &m.regions[n.region] : nullptr;
    const int32_t axlo = m.area.x1 + (n.x - n.x1), axhi = m.area.x2 - (n.x2 - n.x);
    const int32_t aylo = m.area.y1 + (n.y - n.y1), ayhi = m.area.y2 - (n.y2 - n.y);
    int32_t xlo, xhi, ylo, yhi;
    if (phase == 1) {
        if (r) {
            xlo = r->cx - r->half;
            xhi = r->cx + r->half;
            ylo = r->cy - r->half;
            yhi = r->cy + r->half;
        } else {
            xlo = axlo;
            xhi = axhi;
            ylo = aylo;
            yhi = ayhi;
        }
    } else {
        xlo = n.x - g_plRun.xRange;
        xhi = n.x + g_plRun.xRange;
        ylo = n.y - g_plRun.yRange;
        yhi = n.y + g_plRun.yRange;
        if (r) {
            xlo = xlo > r->cx - r->half ? xlo : r->cx - r->half;
            xhi = xhi < r->cx + r->half ? xhi : r->cx + r->half;
            ylo = ylo > r->cy - r->half ? ylo : r->cy - r->half;
            yhi = yhi < r->cy + r->half ? yhi : r->cy + r->half;
        }
    }
    *x = DrawAxis(xlo, xhi, axlo, axhi, g_plRun.xStep);
    *y = DrawAxis(ylo, yhi, aylo, ayhi, g_plRun.yStep);
}

void PlScatter() {
    PlaceModel& m = g_placeModel;
    for (int32_t c = 1; c <= m.compCount; ++c) {
        const PlaceNode& n = m.nodes[size_t(c)];
        if (n.region == kPlRegionNone) continue;
        int32_t x, y;
        PlRandomSpot(c, 1, &x, &y);
        PlNodeMove(c, x, y, n.x, n.y);
    }
}

void PlChainNets(int32_t node, std::vector<int16_t>& out) {
    ForChain(node, [&](int32_t c) {
        for (int16_t net : g_placeModel.nodes[size_t(c)].nets) {
            bool seen = false;
            for (size_t k = 0; k < out.size() && !seen; ++k)
                seen = out[k] == net;
            if (!seen) out.push_back(net);
        }
    });
}
