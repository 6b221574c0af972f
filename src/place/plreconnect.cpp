// Reconnection of moved components and the cleaning of a changed stretch.
// A component item is handled once (item flag 0x80); the connection items
// keep the key they were first stored with, so the Route view's key (the
// object-table entry) is given only to connections the pass stores itself.
#include "place/plreconnect.h"

#include <cstring>
#include <memory>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/shellsvc.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/objvalidate.h"

namespace {

bool SamePoint(const Crn& a, const Crn& b) {
    return a.x == b.x && a.y == b.y;
}

bool Outside(const Crn& c, const PlWindowBox& w) {
    return c.x < w.minX || c.x > w.maxX || c.y < w.minY || c.y > w.maxY;
}

// Every connection of component c gets an item of its own.
void PutCompConns(int32_t c, bool routeView, Conn* buffer) {
    for (int32_t k = ConnFindComp(c); k != 0; k = ConnFindCompBefore(c, k)) {
        if (AltSave(kRecConn, k, buffer)) continue; // already held, with its key
        AltPut(kRecConn, k, PlConnKey(k, routeView), buffer);
    }
}

bool SameCorners(const Conn& a, const Conn& b) {
    return a.head.count == b.head.count &&
           std::memcmp(a.crn, b.crn, sizeof(Crn) * size_t(a.head.count)) == 0;
}

// The board display's picture of a changed connection.
void BoardPicture(const Conn* before, const Conn* after) {
    DrawBoardObject(before, kConnPictureErase, 0, before->head.count - 1, 0);
    DrawBoardObject(after, kConnPictureDraw, 0, after->head.count - 1, 0);
}

} // namespace

uint16_t PlConnKey(int32_t k, bool routeView) {
    return routeView && g_windowLoaded ? uint16_t(ObjFindConn(k)) : 0;
}

void ConnCleanChangedStretch(const Conn* before, Conn* after, const PlWindowBox& window) {
    const int32_t nOld = before->head.count, nNew = after->head.count;
    const int32_t common = nOld < nNew ? nOld : nNew;
    int32_t first = kStretchSearchStart, fromEnd = kStretchSearchStart;
    for (int32_t i = 0; i < common && i < kStretchSearchStart; ++i)
        if (!SamePoint(before->crn[i], after->crn[i])) {
            first = i;
            break;
        }
    for (int32_t i = 0; i < common && i < kStretchSearchStart; ++i)
        if (!SamePoint(before->crn[nOld - 1 - i], after->crn[nNew - 1 - i])) {
            fromEnd = i;
            break;
        }
    if (nOld == nNew && first == kStretchSearchStart) return; // nothing differs
    if (first == kStretchSearchStart) first = common;
    if (fromEnd == kStretchSearchStart) fromEnd = common;
    int32_t last = nNew - 1 - fromEnd;
    if (first > nNew - 1) first = nNew - 1;
    if (last < first) last = first;
    for (int32_t i = first; i <= last; ++i)
        if (Outside(after->crn[i], window)) after->crn[i].layer = 0;
    for (int32_t j = 0; j + 2 < after->head.count;) {
        if (after->crn[j].layer == 0 && after->crn[j + 1].layer == 0) {
            CrnDelete(after, j + 1, 1);
            j = 0;
            continue;
        }
        ++j;
    }
}

void reconnectMovedComps() {
    reconnectMovedCompsIn(FrontAppWindow()->kind == kWindowRouteView, &BoardPicture);
}

void reconnectMovedCompsIn(bool routeView, PlConnPictureProc picture) {
    if (AltDepth() < 1) ErrReport(kErrReconnectNoLevel, 0);
    auto image = std::make_unique<uint8_t[]>(kRecordImageMax);
    auto conn = std::make_unique<Conn>();
    AltItemHeader h;
    for (int32_t n = 1; n <= AltCount(); ++n) {
        AltGet(n, &h, image.get());
        if (h.type != kRecComponent || (h.flags & kAltItemReconnected)) continue;
        PutCompConns(h.index, routeView, conn.get());
        h.flags |= kAltItemReconnected;
        AltItemPut(&h, image.get());
    }
    const PlWindowBox window{g_mzGrid.window.minX, g_mzGrid.window.minY, g_mzGrid.window.maxX,
                             g_mzGrid.window.maxY};
    auto before = std::make_unique<Conn>();
    for (int32_t n = 1; n <= AltCount(); ++n) {
        AltGet(n, &h, image.get());
        if (h.type != kRecConn || (h.flags & kAltDeleted)) continue;
        Conn* c = reinterpret_cast<Conn*>(image.get());
        *before = *c;
        ConnFitPins(c);
        if (routeView) {
            ConnCleanChangedStretch(before.get(), c, window);
            if (picture && !SameCorners(*before, *c)) picture(before.get(), c);
        }
        AltItemPut(&h, c);
    }
}
