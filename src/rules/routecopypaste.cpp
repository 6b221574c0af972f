// Pasting the route copies (see routecopytool.h). Every change of one paste
// goes into one journal level, committed at the end; with the router's map
// valid the changed copper is mapped again, the window's markers are
// cleared and violating copper is removed rather than the paste undone. A
// partial copy that would take a connection past the corner limit is not
// applied to it, nor is a copy the store would refuse.
#include <algorithm>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/shellsvc.h"
#include "router/connnorm.h"
#include "router/objmap.h"
#include "router/objvalidate.h"
#include "router/routeloop.h"
#include "rules/drcerror.h"
#include "rules/routecopy.h"
#include "rules/routecopymatch.h"
#include "rules/routecopytool.h"
#include "rules/ruleadapt.h"

namespace {

enum : int32_t {
    kDrawErase = 0,       // DrawBoardObject: drawn over in the background
    kCheckWholeConns = 1, // the level's check takes changed connections whole
};

// The centre of the pin's first pad on the layer (the pin's point when it
// has no pad there).
void PadCentre(const CopyPin& p, int32_t layer, int32_t* x, int32_t* y) {
    if (p.comp < 1 || p.comp > CompCount()) ErrReport(kErrCopyComp, p.comp);
    PlacedPin placed;
    PlacedPad pad;
    CompPinPadGet(p.comp, p.pin, layer, &placed, &pad);
    *x = pad.count ? pad.shape[0].cx : placed.x;
    *y = pad.count ? pad.shape[0].cy : placed.y;
}

// Writes the copy into the connection's image; false when a partial copy
// would not fit.
bool Apply(const RouteCopyItem& item, const CopyPin& to, int32_t lastLayer, Conn* work) {
    const Conn* copy = item.copy;
    const int32_t n = copy->head.count;
    if (item.partial) {
        if (n - 1 > kConnInsertLimit - work->head.count) return false;
        if (work->crn[0].layer != 0) ErrReport(kErrCopyRoutedStart, work->crn[0].layer);
        if (n > 1) CrnInsert(work, 0, n - 1);
        for (int32_t i = 0; i < n; ++i)
            work->crn[i] = copy->crn[i];
        work->crn[n - 1].layer = 0;
        return true;
    }
    work->head.count = int16_t(n);
    for (int32_t i = 0; i < n; ++i)
        work->crn[i] = copy->crn[i];
    int32_t ex = 0, ey = 0;
    PadCentre(to, lastLayer, &ex, &ey);
    work->crn[n - 1].x = ex;
    work->crn[n - 1].y = ey;
    return true;
}

void PasteOne(const RouteCopyItem& item, Conn* work) {
    Conn* copy = item.copy;
    if (!copy) ErrReport(kErrCopyNodeEmpty, 0);
    const int32_t n = copy->head.count;
    if (n < 1) return;
    const int32_t firstLayer = copy->crn[0].layer;
    const int32_t lastLayer = n > 1 ? copy->crn[n - 2].layer : firstLayer;
    CopyPin from, to;
    if (!padAtPoint(copy->crn[0].x, copy->crn[0].y, firstLayer, &from)) return;
    if (!item.partial && !padAtPoint(copy->crn[n - 1].x, copy->crn[n - 1].y, lastLayer, &to))
        return;
    for (int32_t c = findConnByPads(from, to, 1, work); c;
         c = findConnByPads(from, to, c + 1, work)) {
        int32_t sx = 0, sy = 0;
        PadCentre(from, firstLayer, &sx, &sy);
        routeCopyShift(copy, int64_t(sx) - copy->crn[0].x, int64_t(sy) - copy->crn[0].y);
        if (!Apply(item, to, lastLayer, work)) continue;
        connReduce(work);
        // An image the store would refuse (a corner past the coordinate
        // limit) is not applied.
        if (ConnPutCheck(c, work) != 0) continue;
        const Conn* old = static_cast<const Conn*>(AltRef(kRecConn, c));
        DrawBoardObject(old, kDrawErase, 0, old->head.count - 1, 0);
        AltPut(kRecConn, c, 0, work);
    }
}

} // namespace

void routeCopyPaste() {
    AltPush();
    {
        ScratchRecord<Conn> work;
        for (const RouteCopyItem* it = g_routeCopy.list; it; it = it->next)
            PasteOne(*it, work.get());
    }
    if (g_windowLoaded) {
        MapAltOriginals(1);
        MapAltChanges(0);
        DrcClearWindowMarkers();
        if (!DrcCheckAlt(kCheckWholeConns)) DrcRemoveViolations();
    }
    BroadcastCommand(kCmdChanged);
    PaintAlt();
    AltPop(true);
}
