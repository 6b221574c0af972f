// Turning the stitch points back into corners of the cleared path. Each
// point is linked to the path's last corner on the segment's layer: a free
// straight link extends the path, a blocked one tries pushes at the link's
// middle and then the two L-shaped links; a point that cannot be linked is
// appended without width and fails the segment. A layer change at the
// join takes the via of the layer pair. The cleared path never passes the
// corner limit.
#include <cstdint>
#include <utility>

#include "db/dbheader.h"
#include "db/shellsvc.h"
#include "router/costs.h"
#include "router/gather.h"
#include "router/mzgrid.h"
#include "router/viamap.h"
#include "rules/clearcore.h"
#include "rules/ruleadapt.h"
#include "rules/stitch.h"
#include "rules/viaclear.h"

namespace {

bool LinkFree(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return GatherIsEmpty(x1, y1, x2, y2, kClearKindSeg, g_stitch.layer, g_stitch.half, ClearEntry(),
                         g_stitch.transposed) != 0;
}

// Pushes at the link's middle in the four directions, each followed by the
// test of the link.
bool PushLink(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int32_t mx = int32_t((int64_t(x1) + x2) / 2), my = int32_t((int64_t(y1) + y2) / 2);
    const int32_t t = g_stitch.transposed;
    for (int32_t dir : {+1, -1})
        if (!ClearPush(mx, y1, y2, kClearKindSeg, g_stitch.layer, g_stitch.half, dir, t) &&
            LinkFree(x1, y1, x2, y2))
            return true;
    for (int32_t dir : {+1, -1})
        if (!ClearPush(my, x1, x2, kClearKindSeg, g_stitch.layer, g_stitch.half, dir, 1 - t) &&
            LinkFree(x1, y1, x2, y2))
            return true;
    return false;
}

bool Collinear(const Crn& a, const Crn& b, int32_t x, int32_t y) {
    const int64_t ux = int64_t(b.x) - a.x, uy = int64_t(b.y) - a.y;
    const int64_t vx = int64_t(x) - b.x, vy = int64_t(y) - b.y;
    return ux * vy - uy * vx == 0 && ux * vx + uy * vy > 0;
}

Crn& Last() {
    Conn* out = g_shove.cleared;
    return out->crn[out->head.count - 1];
}

// The via at the join when the segment changes layer there.
void JoinVia() {
    Conn* out = g_shove.cleared;
    const int32_t n = out->head.count;
    if (n < 2) return;
    Crn& last = out->crn[n - 1];
    const int32_t before = out->crn[n - 2].layer;
    if (last.via || !before || before == g_stitch.layer) return;
    last.via = g_viaPair[before][g_stitch.layer];
}

} // namespace

int32_t stitchAddCrn(int32_t x, int32_t y, int32_t layer, int32_t width, int32_t via) {
    Conn* out = g_shove.cleared;
    const int32_t n = out->head.count;
    if (n >= 2) {
        Crn& a = out->crn[n - 2];
        Crn& b = out->crn[n - 1];
        if (!b.via && !b.flags && a.layer == layer && b.layer == layer && a.width == width &&
            b.width == width && Collinear(a, b, x, y)) {
            b.x = x;
            b.y = y;
            b.via = uint8_t(via);
            return 1;
        }
    }
    const Crn c = ClearCorner(x, y, layer, width, 0, via);
    if (out->head.count >= kClearCornerLimit) return 0;
    Crn& prev = out->crn[n - 1];
    prev.layer = uint8_t(layer);
    prev.width = uint16_t(width);
    return ClearAppend(out, c);
}

int32_t stitchViaFits(int32_t x, int32_t y, int32_t via) {
    int32_t wx, wy;
    StitchWorld(x, y, &wx, &wy);
    if (via < 1 || via > ViaMapTypes() || (ViaMapGet(MzX(wx), MzY(wy), via) & kViaBlocked))
        return 0;
    for (int32_t l = 1; l <= kMaxLayers; ++l) {
        if (!ViaSearchLayer(l) || !ViaPadCode(via, l)) continue;
        if (!GatherIsEmpty(wx, wy, wx, wy, kClearKindVia, l, ViaPadRadius(via, l), ClearEntry(), 0))
            return 0;
    }
    return 1;
}

void stitchJoinEnd(const Conn* path, int32_t i) {
    Conn* out = g_shove.cleared;
    if (out->head.count == 0) ClearAppend(out, path->crn[i]);
}

int32_t stitchSeg(int32_t) {
    StitchPoint* pts = StitchPoints();
    Conn* out = g_shove.cleared;
    const bool gridOnly = (DbHdr().flags & kHdrGridOnly) != 0;
    const int32_t g = ClearGrid();
    int32_t ok = 1;
    if (out->head.count == 0) return 0;
    JoinVia();
    for (int32_t k = 0; k < g_stitch.count; ++k) {
        StitchPoint& p = pts[k];
        if (p.flags & kStSkip) continue;
        if (gridOnly && (p.shove % g != 0 || p.run % g != 0) && !p.via && !StitchFixedPoint(k)) {
            p.flags = int16_t(p.flags | kStOffGrid | kStLinkFailed);
            continue;
        }
        Crn& last = Last();
        if (last.x == p.shove && last.y == p.run) {
            if (p.via && last.via && last.via != p.via) {
                if (g_verbose)
                    DebugPrint("stitchSeg crn%d:, stacked vias %d and %d", int(out->head.count - 1),
                               int(last.via), int(p.via));
            } else if (p.via) {
                last.via = uint8_t(p.via);
            }
            continue;
        }
        if (p.via && p.shove != p.start && !stitchViaFits(p.shove, p.run, p.via)) {
            p.flags = int16_t(p.flags | kStLinkFailed);
            ok = 0;
            if (!stitchAddCrn(p.shove, p.run, g_stitch.layer, 0, p.via)) return 0;
            continue;
        }
        const int32_t lx = last.x, ly = last.y;
        bool linked = LinkFree(lx, ly, p.shove, p.run) || PushLink(lx, ly, p.shove, p.run);
        if (!linked) {
            // an L through either corner of the link's box
            for (const auto& [cx, cy] : {std::pair{lx, p.run}, std::pair{p.shove, ly}}) {
                if (LinkFree(lx, ly, cx, cy) && LinkFree(cx, cy, p.shove, p.run)) {
                    if (!stitchAddCrn(cx, cy, g_stitch.layer, g_stitch.width, 0)) return 0;
                    linked = true;
                    break;
                }
            }
        }
        if (!linked) {
            p.flags = int16_t(p.flags | kStLinkFailed);
            ok = 0;
            if (!stitchAddCrn(p.shove, p.run, g_stitch.layer, 0, p.via)) return 0;
            continue;
        }
        if (!stitchAddCrn(p.shove, p.run, g_stitch.layer, g_stitch.width, p.via)) return 0;
    }
    return ok;
}
