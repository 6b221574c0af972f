// The route copy tool (see routecopytool.h). The list lives in a pool the
// pick opens and the let-go or finish closes, so a list never outlives its
// pool. A partly routed connection is copied only up to its first unrouted
// segment and clipped to the rectangle, and is not listed when a listed
// copy already starts or ends at its start pin. Moving, mirroring and
// turning change the stored copies; the picture is erased before and drawn
// after each change.
#include "rules/routecopytool.h"

#include <algorithm>
#include <cstddef>

#include "db/conns.h"
#include "db/dbheader.h"
#include "db/lang.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "rules/checkshell.h"
#include "rules/routecopy.h"
#include "rules/routecopyshell.h"
#include "rules/ruleadapt.h"

RouteCopyState g_routeCopy;

namespace {

enum : int32_t {
    kCmdMouseMoved = 30016,
    kCmdButtonDown = 30020,
    kCmdButtonUp = 30022,
    kCmdLetGo = 30026,
    kCmdOpenObject = 30036,
    kCmdFinish = 30044,
    kCmdInstall = 30054,
    kCmdContextMenu = 30061,
    kDetailListLeft = 0,
    kDetailNoCopy = 0,
};

// The conn flags a pick clears in the object table.
enum : uint8_t { kPickClearedFlags = kObjFlagLeftOut | kObjFlagNoRoute | kObjFlagHeld };

// The pool closed and the list forgotten.
void ForgetList() {
    if (g_routeCopy.pool) PoolClose(g_routeCopy.pool);
    g_routeCopy.pool = 0;
    g_routeCopy.list = nullptr;
    g_routeCopy.drawn = 0;
}

Conn* CopyOf(const RouteCopyItem* item) {
    if (!item->copy) ErrReport(kErrCopyNodeEmpty, kDetailNoCopy);
    return item->copy;
}

bool ListHasPin(int32_t comp, int32_t pin) {
    for (const RouteCopyItem* it = g_routeCopy.list; it; it = it->next) {
        const ConnHead& h = CopyOf(it)->head;
        if ((h.fromComp == comp && h.fromPin == pin) || (h.toComp == comp && h.toPin == pin))
            return true;
    }
    return false;
}

// Offers connection c to the list (rec is the work record).
void Offer(int32_t c, const PickRect& r, Conn* rec) {
    if (!ConnGet(c, rec)) return;
    if (!pickConnInRectangle(rec, r.x1, r.y1, r.x2, r.y2)) return;
    const int32_t partial = routeCopyTrim(rec);
    if (partial) {
        routeCopyClip(rec, r.x1, r.y1, r.x2, r.y2);
        if (ListHasPin(rec->head.fromComp, rec->head.fromPin)) return;
    }
    auto* item = static_cast<RouteCopyItem*>(
        PoolAlloc(int32_t(sizeof(RouteCopyItem)), g_routeCopy.pool, kOwnerRouteCopyNode));
    const int32_t bytes = int32_t(offsetof(Conn, crn) + size_t(rec->head.count) * sizeof(Crn));
    item->copy = static_cast<Conn*>(PoolAlloc(bytes, g_routeCopy.pool, kOwnerRouteCopyConn));
    ConnCopy(item->copy, rec);
    item->partial = partial;
    item->next = g_routeCopy.list;
    g_routeCopy.list = item;
}

bool ObjectsLoaded() {
    return ObjTableReady() && ObjTableValid();
}

void EraseIfDrawn() {
    if (g_routeCopy.drawn) routeCopyDraw();
}

void MoveAll(int64_t dx, int64_t dy) {
    for (RouteCopyItem* it = g_routeCopy.list; it; it = it->next)
        routeCopyShift(CopyOf(it), dx, dy);
}

// Let go and finish: the picture erased, the net marks set again, the pool
// closed and the hook removed.
void Release() {
    EraseIfDrawn();
    if (ObjectsLoaded()) ObjMarkConnsByNetFlag();
    ForgetList();
    ToolEventHook = nullptr;
}

} // namespace

int32_t routeCopyPick() {
    ScratchRecord<Conn> rec;
    EraseIfDrawn();
    ForgetList();
    g_routeCopy.pool = PoolOpen(kOwnerRouteCopy);
    if (g_routeCopy.list) ErrReport(kErrCopyListLeft, kDetailListLeft);
    const PickRect r = FrontPickedRect();
    if (ObjectsLoaded() && g_windowLoaded) {
        ObjClearConnFlags(kPickClearedFlags);
        for (int32_t e = std::max(1, ObjFirstConn()); e <= ObjLastConn(); ++e) {
            const MapObj* o = ObjEntry(e);
            if (o->type == kObjConn) Offer(o->index, r, rec.get());
        }
    } else {
        for (int32_t c = 1; c <= ConnCount(); ++c)
            Offer(c, r, rec.get());
    }
    if (!g_routeCopy.list) {
        // Nothing to hold: the pool goes at once, and an earlier pick's
        // tool with it.
        ForgetList();
        if (ToolEventHook == &routeCopyChoice) ToolEventHook = nullptr;
        MsgNote(LangString(kMsgNoMatches));
        return 0;
    }
    routeCopyDraw();
    MsgInfo("");
    routeCopyChoice(kCmdInstall);
    return 1;
}

void routeCopyDraw() {
    for (const RouteCopyItem* it = g_routeCopy.list; it; it = it->next)
        DrawPathSegments(CopyOf(it), kPenToggle);
    g_routeCopy.drawn = !g_routeCopy.drawn;
}

int32_t routeCopyChoice(int32_t command) {
    switch (command) {
    case kCmdMouseMoved: {
        int32_t x = 0, y = 0;
        FrontQueryPoint(&x, &y);
        EraseIfDrawn();
        MoveAll(int64_t(x) - g_routeCopy.refX, int64_t(y) - g_routeCopy.refY);
        routeCopyDraw();
        g_routeCopy.refX = x;
        g_routeCopy.refY = y;
        return 1;
    }
    case kCmdButtonDown:
        EraseIfDrawn();
        routeCopyPaste();
        routeCopyDraw();
        return 1;
    case kCmdButtonUp:
        // The click pasted on button down.
        return 1;
    case kCmdLetGo:
        Release();
        MsgFlush();
        return 1;
    case kCmdFinish:
        Release();
        return 1;
    case kCmdOpenObject:
        if (FrontAppWindow()->kind == kWindowRouteView && ObjTableReady() && MapReady())
            UrObjValidate(0);
        if (!g_routeCopy.drawn) routeCopyDraw();
        return 1;
    case kCmdInstall:
        FrontQueryPoint(&g_routeCopy.refX, &g_routeCopy.refY);
        ToolEventHook = &routeCopyChoice;
        return 1;
    case kCmdContextMenu:
        NotImplemented();
        NotImplemented2();
        NotImplemented3();
        NotImplemented4();
        return 1;
    case kCmdRouteCopyMirror:
        EraseIfDrawn();
        for (RouteCopyItem* it = g_routeCopy.list; it; it = it->next)
            routeCopyMirror(CopyOf(it), g_routeCopy.refX);
        routeCopyDraw();
        return 1;
    case kCmdRouteCopyRotate: {
        EraseIfDrawn();
        if (DbHdr().word268 == 0) DbHdr().word268 = kQuarterTurnMinutes;
        const int32_t angle = DbHdr().word268;
        for (RouteCopyItem* it = g_routeCopy.list; it; it = it->next)
            routeCopyRotate(CopyOf(it), g_routeCopy.refX, g_routeCopy.refY, angle);
        routeCopyDraw();
        return 1;
    }
    default:
        return 0;
    }
}

void RouteCopyTestReset() {
    ForgetList();
    g_routeCopy = RouteCopyState{};
}
