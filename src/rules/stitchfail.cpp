// Giving a via up: the via's corner goes into the rebuilt path without its
// via type and an unrouted gap of four routing grids is left around the
// site, so that a later pass routes the rest. A site where the via map
// forbids any via is also marked with the design-rule code on every maze
// layer. The rebuilt path never passes the corner limit: a corner it
// cannot take is left out and the shove has failed anyway.
#include <cstdlib>

#include "db/db.h"
#include "db/geom.h"
#include "db/layers.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/viamap.h"
#include "rules/clearcore.h"
#include "rules/viaclear.h"

namespace {

// The point `gap` from the site towards the corner along the axis they
// share.
void TowardsAlongAxis(Crn* moved, const Crn& site, const Crn& towards, int32_t gap) {
    if (towards.x == site.x) {
        moved->y = site.y + (towards.y > site.y ? gap : -gap);
    } else {
        moved->x = site.x + (towards.x > site.x ? gap : -gap);
    }
}

bool Near(const Crn& a, const Crn& b, int32_t gap) {
    return PtDist(a.x, a.y, b.x, b.y) <= gap;
}

} // namespace

int32_t stitchFailure(Conn* path, int32_t i, int32_t via, Conn* rebuilt) {
    g_shove.shoveFailed = 1;
    const Crn site = path->crn[i];
    const int32_t mx = MzX(site.x), my = MzY(site.y);
    if (via >= 1 && (ViaMapGet(mx, my, via) & kViaBlocked)) {
        if (g_verbose) WarnPrint("stitchFailure: bad via loc");
        for (int32_t l = 1; l <= LayerCount(); ++l)
            ClearMarkCell(mx, my, l, kCellRuleMark);
    }
    const int32_t gap = kStitchGapGrids * ClearGrid();
    const bool hasNext = i + 1 < path->head.count;
    const int32_t prev = rebuilt->head.count - 1;
    Crn own = site;
    own.via = 0;
    if (!ClearAppend(rebuilt, own)) return prev;
    const int32_t n = rebuilt->head.count - 1;
    if (prev >= 0 && Near(rebuilt->crn[prev], site, gap)) {
        rebuilt->crn[prev].via = 0;
        rebuilt->crn[prev].layer = 0;
        return prev;
    }
    if (hasNext && Near(path->crn[i + 1], site, gap)) {
        rebuilt->crn[n].layer = 0;
        path->crn[i + 1].via = 0;
        return n;
    }
    if (prev >= 0 && (rebuilt->crn[prev].x == site.x || rebuilt->crn[prev].y == site.y)) {
        // the first copy moves back towards the previous corner; the gap
        // runs between the two copies
        Crn first = own;
        TowardsAlongAxis(&first, site, rebuilt->crn[prev], gap);
        first.layer = 0;
        if (!ClearAppend(rebuilt, own)) return n;
        rebuilt->crn[n] = first;
        return n + 1;
    }
    if (hasNext && (path->crn[i + 1].x == site.x || path->crn[i + 1].y == site.y)) {
        Crn second = own;
        TowardsAlongAxis(&second, site, path->crn[i + 1], gap);
        rebuilt->crn[n].layer = 0;
        if (!ClearAppend(rebuilt, second)) return n;
        return n + 1;
    }
    if (prev < 0) {
        rebuilt->crn[n].layer = 0;
        return n;
    }
    rebuilt->crn[prev].via = 0;
    rebuilt->crn[prev].layer = 0;
    return prev;
}
