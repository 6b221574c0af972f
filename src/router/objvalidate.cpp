// The router's loaded objects. Loading walks each table once: the board's
// obstacle list and every component's own and symbol obstacles, the
// components' pins, the connections; each object whose box overlaps the
// loading box (edges touching count) is appended to the object table, so
// obstacles come first, then pads, then connections. The object map is then
// built once over what was loaded. Objects are read as the open edit sees
// them.
#include "router/objvalidate.h"

#include <algorithm>
#include <cstring>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "db/symbols.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/urmsg.h"
#include "router/urstate.h"

namespace {

enum : ErrCode { kErrBoardObsOwner = 65390 };

enum : uint8_t { kLoadedFlags = kObjFlagInside | kObjFlagMapped }; // pads and obstacles

bool Overlaps(const UrLoadBox& b, int32_t minX, int32_t minY, int32_t maxX, int32_t maxY) {
    return minX <= b.maxX && maxX >= b.minX && minY <= b.maxY && maxY >= b.minY;
}

bool ObsOverlaps(const UrLoadBox& b, const Obstacle* o) {
    return Overlaps(b, o->head.minX, o->head.minY, o->head.maxX, o->head.maxY);
}

// Connection images held in the journal carry their object-table entry.
void MarkJournalConns() {
    if (AltDepth() < 1) return;
    AltItemHeader h;
    void* image = ScratchPush();
    const int32_t count = AltCount();
    for (int32_t n = 1; n <= count; ++n) {
        AltGet(n, &h, image);
        if (h.type != kRecConn) continue;
        h.flags = uint16_t(h.flags | kAltKeyMayChange);
        h.key = uint16_t(ObjFindConn(h.index));
        AltItemPut(&h, image);
    }
    ScratchPop(image);
}

// Loading failed: the window is not usable until the next validation.
int32_t Refuse(int32_t message, int32_t cursor) {
    g_windowLoaded = 0;
    UrMsgNote(message);
    SetCursorKind(cursor);
    return 0;
}

} // namespace

int16_t g_windowLoaded = 0;

void ObjValidateTestReset() {
    g_windowLoaded = 0;
}

UrLoadBox UrLoadingBox() {
    const MzBox& m = g_mzGrid.extent;
    const DbHeader& h = DbHdr();
    return UrLoadBox{std::min(m.minX, h.dispMinX), std::max(m.maxX, h.dispMaxX),
                     std::min(m.minY, h.dispMinY), std::max(m.maxY, h.dispMaxY)};
}

void obsAdd(const UrLoadBox& box) {
    auto* obs = static_cast<Obstacle*>(ScratchPush());
    int32_t added = 0;
    for (int32_t o = ObsBoardFirst(); o; o = ObsNext(o)) {
        AltSave(kRecObstacle, o, obs);
        if (!ObsOverlaps(box, obs)) continue;
        if (obs->head.owner != 0) ErrReport(kErrBoardObsOwner, o);
        ObjAdd(kObjObstacle, kLoadedFlags, o, 0, obs->head.net);
        ++added;
    }
    const int32_t comps = CompCount();
    for (int32_t c = 1; c <= comps && !UserAbort(); ++c)
        for (int32_t o = CompObsFirst(c); o; o = ObsNext(o)) {
            ObsPlaceOnComp(o, c, obs);
            if (!ObsOverlaps(box, obs)) continue;
            ObjAdd(kObjObstacle, kLoadedFlags, o, c, obs->head.net);
            ++added;
        }
    ScratchPop(obs);
    if (g_verbose) DebugPrint("obsAdd: %d obstacles in display list", int(added));
}

void urPadsAdd(const UrLoadBox& box) {
    int32_t added = 0;
    const int32_t comps = CompCount();
    for (int32_t c = 1; c <= comps && !UserAbort(); ++c) {
        Component comp;
        CompReadJournal(c, &comp);
        if (!Overlaps(box, comp.minX, comp.minY, comp.maxX, comp.maxY)) continue;
        if (comp.symbol < 1 || comp.symbol > SymCount()) continue;
        const int32_t pins = SymPinCount(comp.symbol);
        for (int32_t p = 1; p <= pins; ++p)
            ObjAdd(kObjPad, kLoadedFlags, c, p, 0);
        added += pins;
    }
    if (g_verbose) DebugPrint("%d pads in display list", int(added));
}

void urConnsAdd(const UrLoadBox& box) {
    int32_t added = 0;
    const int32_t conns = ConnCount();
    for (int32_t c = 1; c <= conns && !UserAbort(); ++c) {
        // Records are packed: the head is copied out.
        const void* record = AltRef(kRecConn, c);
        if (!record) continue;
        ConnHead h;
        std::memcpy(&h, record, sizeof h);
        if (!Overlaps(box, h.minX, h.minY, h.maxX, h.maxY)) continue;
        ObjAdd(kObjConn, 0, c, 0, h.net);
        ++added;
    }
    if (g_verbose) DebugPrint("%d connections in display list", int(added));
}

void urObjInvalidate() {
    if (FrontAppWindow()->boardShown) RoutingBoxShow(0);
    ObjTableReset();
    if (MzGoal* goal = Goal()) {
        goal->objIndex = 0;
        goal->nextObj = 0;
    }
    g_windowLoaded = 0;
}

int32_t UrObjValidate(int32_t) {
    if (!DbIsValid()) {
        UrMsgNote(kMsgNoDatabase);
        return 0;
    }
    if (!g_router.anyPassEnabled) return 1;
    if (ObjTableValid() && g_windowLoaded) return 1;
    if (CurSweep().usedLayers <= 0) {
        UrMsgNote(kMsgNoLayersEnabled);
        return 0;
    }
    UrMsgPrompt(kMsgInitTables);
    const int32_t cursor = SetCursorKind(kCursorBusy);
    const UrLoadBox box = UrLoadingBox();
    // Without the router's memory (an object table and a map) nothing can
    // be loaded.
    if (!ObjTableReady() || !MapReady()) return Refuse(kMsgCantInitTables, cursor);
    if (!ObjTableValid()) {
        if (g_verbose) DebugPrint("UrObjValidate: Loading obj");
        ObjTableInit();
        obsAdd(box);
        urPadsAdd(box);
        urConnsAdd(box);
        if (!ObjTableValid()) return Refuse(kMsgTooManyObjects, cursor);
    }
    if (!g_windowLoaded) {
        UrMsgPrompt(kMsgInitTables);
        if (g_verbose) DebugPrint("UrObjValidate: Loading map");
        if (!MapAll()) {
            if (g_verbose) DebugPrint("UrObjValidate: Aborted");
            return Refuse(kMsgCantInitTables, cursor);
        }
        g_windowLoaded = 1;
    }
    MarkJournalConns();
    if (FrontAppWindow()->boardShown) RoutingBoxShow(1);
    if (g_verbose) DebugPrint("UrObjValidate: Done");
    SetCursorKind(cursor);
    return 1;
}
