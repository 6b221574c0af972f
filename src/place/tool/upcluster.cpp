// recalcCluster: the components of the one open journal level become one
// cluster again. Areas and the radius are reckoned in 64 bits (one
// 50,000 x 50,000 box alone passes 32 bits, and the sum stops at the
// largest 64-bit value); centres are integer halves of
// 64-bit sums, so no coordinate of the board overflows. A member moves
// only along a coordinate on which its reflected centre lies nearer than
// 100 user units and not on the spot.
#include "place/tool/upcluster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/dbheader.h"
#include "db/names.h"
#include "db/symbols.h"
#include "place/plmodel.h"
#include "place/tool/uptool.h"

namespace {

int32_t FootprintPins(const Component& r) {
    return r.symbol >= 1 && r.symbol <= SymCount() ? SymPinCount(r.symbol) : 0;
}

int64_t Mid(int32_t a, int32_t b) {
    return (int64_t(a) + b) / 2;
}

// The shift that brings centre to the target, 0 when it is not to move.
int32_t Step(int64_t centre, int64_t target, int64_t reach) {
    const int64_t d = target - centre;
    return d != 0 && std::llabs(d) < reach ? int32_t(d) : 0;
}

} // namespace

int32_t recalcCluster() {
    if (AltDepth() != 1) ExpectAlt(kErrUpClusterDepth, 1);
    if (g_up.selCount < 0) ErrReport(kErrUpClusterCount, g_up.selCount);
    const int32_t count = CompCount();
    std::vector<bool> inJournal(size_t(count) + 1, false);
    int32_t master = 0, masterPins = -1;
    int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    AltItemHeader h;
    for (int32_t n = 1; n <= AltCount(); ++n) {
        const Component r = *static_cast<const Component*>(UpItem(n, &h));
        if (h.type != kRecComponent || (h.flags & kAltDeleted)) continue;
        if (h.index < 1 || h.index > count || inJournal[size_t(h.index)]) continue;
        inJournal[size_t(h.index)] = true;
        const int32_t pins = FootprintPins(r);
        if (master == 0) {
            minX = r.minX, minY = r.minY, maxX = r.maxX, maxY = r.maxY;
        } else {
            minX = std::min(minX, r.minX), minY = std::min(minY, r.minY);
            maxX = std::max(maxX, r.maxX), maxY = std::max(maxY, r.maxY);
        }
        if (pins > masterPins) {
            master = h.index;
            masterPins = pins;
        }
    }
    if (master == 0) ErrReport(kErrUpClusterEmpty, 0);
    const int64_t cx = Mid(minX, maxX), cy = Mid(minY, maxY);

    int64_t area = 0;
    Component r;
    for (int32_t c = 1; c <= count; ++c) {
        AltSave(kRecComponent, c, &r);
        const bool member = inJournal[size_t(c)] ||
                            (r.compRef >= 1 && r.compRef <= count && inJournal[size_t(r.compRef)]);
        if (!member) continue;
        r.compRef = int16_t(master);
        r.value32 = 0;
        AltPut(kRecComponent, c, 0, &r);
        const int64_t term = (int64_t(r.maxY) - r.minY) * (int64_t(r.maxX) - r.minX) + 1;
        area = term > INT64_MAX - area ? INT64_MAX : area + term;
    }
    AltSave(kRecComponent, master, &r);
    r.value32 = int32_t(std::sqrt(double(area) / std::numbers::pi));
    AltPut(kRecComponent, master, 0, &r);
    if (g_verbose) DebugPrint("recalcCluster: master comp is #%d \"%s\"", master, NameText(r.name));

    const int64_t reach = int64_t(kClusterMoveUserUnits) * DbHdr().userUnit;
    for (int32_t n = 1; n <= AltCount(); ++n) {
        r = *static_cast<const Component*>(UpItem(n, &h));
        if (h.type != kRecComponent || (h.flags & kAltDeleted)) continue;
        const int64_t x = Mid(r.minX, r.maxX), y = Mid(r.minY, r.maxY);
        const int32_t dx = Step(x, 2 * cx - x, reach), dy = Step(y, 2 * cy - y, reach);
        if (dx == 0 && dy == 0) continue;
        PlCompShift(&r, dx, dy);
        AltPut(kRecComponent, h.index, h.key, &r);
    }
    return master;
}
