// The rules of a connection alone: its ends at their pins (the pad has a
// layer for the end segment; the end leaves its pad in an allowed
// direction) and its jumper segments (between vias, straight along an
// axis, of a listed length). Points outside MazeExtent are not tested.
#include <algorithm>

#include "db/attrs.h"
#include "db/layers.h"
#include "router/mzgrid.h"
#include "router/padexit.h"
#include "rules/drcconn.h"
#include "rules/drcerror.h"

namespace {

bool InMaze(int32_t x, int32_t y) {
    const MzBox& e = g_mzGrid.extent;
    return x >= e.minX && x <= e.maxX && y >= e.minY && y <= e.maxY;
}

// One end: the end corner, its neighbour, and the segment's layer.
int32_t EndPasses(const Conn* conn, bool to, int32_t variant) {
    const int32_t n = conn->head.count;
    const int32_t comp = to ? conn->head.toComp : conn->head.fromComp;
    const int32_t pin = to ? conn->head.toPin : conn->head.fromPin;
    if (comp == 0 || n < 2) return 1;
    const int32_t ei = to ? n - 1 : 0, ni = to ? n - 2 : 1;
    const Crn &end = conn->crn[ei], &nb = conn->crn[ni];
    const int32_t layer = conn->crn[to ? n - 2 : 0].layer;
    if (variant == kDrcEndLayerTest) {
        if (!InMaze(end.x, end.y) || layer == 0 || PinOnLayer(comp, pin, layer)) return 1;
    } else {
        if (!InMaze(end.x, end.y) && !InMaze(nb.x, nb.y)) return 1;
        if (layer == 0) return 1;
        // the neighbour inside the pad fails, unless the segment beyond it
        // is unrouted on a longer connection
        const int32_t beyond = to ? n - 3 : 1;
        const bool beyondUnrouted = n > 2 && conn->crn[beyond].layer == 0;
        bool fails = false;
        if (!beyondUnrouted && PtPadDist(comp, pin, layer, nb.x, nb.y) == 0) {
            fails = true;
        } else {
            int32_t fromOblong = 0;
            const int32_t mask = PadExitDirs(comp, pin, layer, &fromOblong);
            fails = !(mask & DirBit(nb.x - end.x, nb.y - end.y));
        }
        if (!fails) return 1;
    }
    DrcCurrentError.otherSub = int16_t(pin);
    return DrcViolation(kErrKindBadPadExit, end.x, end.y, layer, 0, 0, ei, end.x, end.y, end.x,
                        end.y);
}

} // namespace

int32_t JumperLengths(int32_t layer, int32_t out[kJumperLengthsMax]) {
    int32_t n = 0;
    AttrScanStart(kAttrJumperLength, kAttrKeyLayer, layer, 0);
    Attribute a;
    while (AttrScanNext(&a))
        if (n < kJumperLengthsMax) out[n++] = a.value1;
    return n;
}

int32_t DrcConnEnds(int32_t index, const Conn* conn, int32_t first, int32_t last, int32_t variant) {
    if (variant != kDrcEndLayerTest && variant != kDrcEndExitTest)
        ErrReport(kErrDrcEndVariant, variant);
    (void)index;
    int32_t result = 1;
    if (first == 0 && !EndPasses(conn, false, variant)) {
        if (DrcMode != kDrcMarkMaze) return 0;
        result = 0;
    }
    if (last == conn->head.count - 1 && !EndPasses(conn, true, variant)) result = 0;
    return result;
}

int32_t DrcJumperCheck(const Conn* conn, int32_t first, int32_t last) {
    const int32_t n = conn->head.count;
    int32_t lengths[kJumperLengthsMax];
    for (int32_t i = first; i < last; ++i) {
        const Crn &a = conn->crn[i], &b = conn->crn[i + 1];
        if (!a.layer || !JumperLayer(a.layer)) continue;
        bool ok = a.via || (i > 0 && conn->crn[i - 1].layer == 0);
        ok = ok && (b.via || (i + 1 < n - 1 && b.layer == 0));
        ok = ok && !(b.flags & kCrnArc);
        ok = ok && (a.x == b.x || a.y == b.y);
        if (ok) {
            const int32_t count = JumperLengths(a.layer, lengths);
            const int64_t len = int64_t(b.x) - a.x + (int64_t(b.y) - a.y);
            const int32_t length = int32_t(len < 0 ? -len : len);
            bool listed = count == 0;
            for (int32_t k = 0; k < count && !listed; ++k)
                listed = lengths[k] == length;
            ok = listed;
        }
        if (ok) continue;
        const int32_t mx = int32_t((int64_t(a.x) + b.x) / 2),
                      my = int32_t((int64_t(a.y) + b.y) / 2);
        DrcViolation(kErrKindIllegalJumper, mx, my, a.layer, 0, 0, i,
                     std::min(int32_t(a.x), int32_t(b.x)), std::min(int32_t(a.y), int32_t(b.y)),
                     std::max(int32_t(a.x), int32_t(b.x)), std::max(int32_t(a.y), int32_t(b.y)));
        return 0;
    }
    return 1;
}
