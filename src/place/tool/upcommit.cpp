// Committing a moved selection (UpRedraw) and the rewrite of the router's
// map and the moved components' connections after a move that passed
// (UpRemapMoved, UpTouchSelConns). The router's map calls run only while
// its objects are loaded; the Design view commits without them.
#include <memory>

#include "db/altjournal.h"
#include "db/lang.h"
#include "db/conns.h"
#include "place/plpair.h"
#include "place/plreconnect.h"
#include "place/pltree.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "router/rulesvc.h"
#include "rules/drcboard.h"

namespace {

enum : uint16_t {
    kConnGone = 0x82, // deleted, then restored by the rewrite
    kConnRemapped = 0x06,
};

// In the Route view under the tool: every moved component without a
// cluster master must pass the placement tree and the pad check; the
// checks run in a level committed only when all pass.
bool UpCheckMoved() {
    AltPush();
    bool pass = true;
    AltItemHeader h;
    for (int32_t n = 1; n <= AltCount() && pass; ++n) {
        const Component r = *static_cast<const Component*>(UpItem(n, &h));
        if (h.type != kRecComponent || (h.flags & kAltDeleted) || r.compRef != 0) continue;
        pass = PlTreeCheckComp(h.index, &r) && DrcCheckCompPads(h.index, &r);
    }
    AltPop(pass);
    return pass;
}

bool UpJournalHasAddDel() {
    AltItemHeader h;
    for (int32_t n = 1; n <= AltCount(); ++n) {
        UpItem(n, &h);
        if (h.type == kRecComponent && (h.flags & (kUpItemAdded | uint16_t(kAltDeleted))))
            return true;
    }
    return false;
}

// The selection is closed: marks, counts and the pin and pair tables.
void CloseSelection() {
    PlaceHost& host = PlHost();
    UpMarkSelected();
    g_up.selCount = 0;
    PlNetPinTable();
    PairSelect(g_up.selected);
    PairUpdate();
    host.AppWindow().FollowCursor = 1;
    host.SetCursorKind(2);
    host.MsgInfo("");
    host.SetToolEventHook(nullptr);
    host.SetIdleTask(nullptr);
}

void HostConnPicture(const Conn* before, const Conn* after) {
    PlaceHost& host = PlHost();
    host.DrawBoardObject(before, kConnPictureErase, 0, before->head.count - 1, 0);
    host.DrawBoardObject(after, kConnPictureDraw, 0, after->head.count - 1, 0);
}

} // namespace

void UpReconnectMoved() {
    reconnectMovedCompsIn(UpRouteView(), &HostConnPicture);
}

void UpTouchSelConns() {
    PlaceHost& host = PlHost();
    const bool route = UpRouteView();
    auto conn = std::make_unique<Conn>();
    AltItemHeader h;
    for (int32_t n = 1; n <= AltCount(); ++n) {
        UpItem(n, &h);
        if (h.type != kRecComponent || (h.flags & kAltItemReconnected)) continue;
        const int32_t c = h.index;
        for (int32_t k = ConnFindComp(c); k != 0; k = ConnFindCompBefore(c, k)) {
            if (AltSave(kRecConn, k, conn.get())) continue;
            AltPut(kRecConn, k, PlConnKey(k, route), conn.get());
            host.PaintAltLast();
        }
    }
}

void UpRemapMoved() {
    const PlaceAppWindow& w = PlHost().AppWindow();
    const bool loaded = g_windowLoaded != 0;
    bool mapChanged = false, connChanged = false;
    AltItemHeader h, before;
    auto old = std::make_unique<uint8_t[]>(kRecordImageMax);
    for (int32_t n = 1; n <= AltCount(); ++n) {
        void* image = UpItem(n, &h);
        if (h.type == kRecComponent) {
            if (loaded) {
                if (!(h.flags & kUpItemNew) && AltItemGet(n, &before, old.get()))
                    CompMap(h.index, reinterpret_cast<const Component*>(old.get()), 1);
                if (!(h.flags & kAltDeleted))
                    CompMap(h.index, static_cast<const Component*>(image), 0);
            }
            if (h.flags & (kUpItemNew | uint16_t(kAltDeleted))) mapChanged = true;
        } else if (h.type == kRecConn) {
            if (h.flags & kUpItemMapped) ErrReport(kErrUpConnMapped, h.index);
            const uint16_t was = h.flags;
            if ((was & kConnGone) == kConnGone && h.index <= ConnCount()) {
                if (was & kAltCreated) ErrReport(kErrUpConnMapped, h.index);
                h.flags = uint16_t((was & ~kAltDeleted) | kUpItemMapped);
            } else if (!(was & kAltDeleted) && (was & kAltCreated)) {
                h.flags |= kConnRemapped;
            }
            if (h.flags != was) {
                AltItemPut(&h, image);
                connChanged = true;
            }
        }
    }
    UpReconnectMoved();
    if (loaded) {
        ObjClearConnFlags(kUpConnFlagBits);
        DrcRemoveViolations();
    }
    if (connChanged) {
        for (int32_t n = 1; n <= AltCount(); ++n) {
            void* image = UpItem(n, &h);
            if (h.type != kRecConn || !(h.flags & kUpItemMapped) || h.index > ConnCount()) continue;
            h.flags ^= kAltDeleted; // 0x04 alone gains 0x02, 0x04 with 0x02 loses it
            AltItemPut(&h, image);
        }
        if (loaded) urObjInvalidate();
    } else if (mapChanged) {
        if (loaded) urObjInvalidate();
    } else if (loaded) {
        ObjMarkConnsByNetFlag();
    }
    if (AltDepth() == 2 && w.ToolState == kToolComponent) UpTouchSelConns();
}

int32_t UpRedraw() {
    PlaceHost& host = PlHost();
    PlaceAppWindow& w = host.AppWindow();
    if (AltDepth() == 0) {
        g_up.selCount = 0;
        host.SetCursorKind(2);
        host.SetToolEventHook(nullptr);
        host.SetIdleTask(nullptr);
        return 1;
    }
    const bool route = w.WindowKind == kViewRoute, place = w.WindowKind == kViewPlace;
    bool pass = true;
    if (!place) {
        if (route && w.ToolState == kToolComponent) {
            pass = UpCheckMoved();
            if (pass) UpRemapMoved();
        }
        if (pass && (w.ToolState == kToolComponent || AltDepth() == 1)) {
            UpTouchSelConns();
            UpReconnectMoved();
        }
    }
    if (pass) {
        if (AltDepth() == 2 || route) {
            while (AltDepth() > 1)
                AltPop(true);
            host.PaintAlt();
        } else {
            host.DrawAlt(kUpDrawCommitted);
        }
        if (AltDepth() != 1) ErrReport(kErrUpOneLevel, AltDepth());
        const bool addDel = UpJournalHasAddDel();
        PlTreeFree();
        host.BroadcastCommand(kUpAfterUndo);
        AltPop(true);
        host.menuEnableCommand(kUpUndo, kMenuEnabled);
        CloseSelection();
        if (addDel) {
            AltPush();
            AltPop(false);
            host.menuEnableCommand(kUpUndo, kMenuDisabled);
        }
        return 1;
    }
    while (AltDepth() > 1)
        AltPop(false);
    host.MsgNote(LangString(kMsgCannotClearDrc));
    if (!w.FollowCursor) {
        host.PaintOriginal();
        PlTreeFree();
        AltPop(false);
        CloseSelection();
    } else {
        PlTreeFree();
        host.SetCursorKind(3);
    }
    w.FollowCursor = 1;
    return 0;
}
