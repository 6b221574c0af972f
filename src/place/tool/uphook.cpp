// The tool's event procedure (UpToolHook), installed in the hook slot
// while a selection is open, and the abort. An abort always rejects the
// selection's level, newly added components included (the rejection takes
// their records away), and leaves no level open.
#include "db/altjournal.h"
#include "db/comps.h"
#include "db/lang.h"
#include "db/names.h"
#include "place/plpair.h"
#include "place/pltree.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"
#include "router/objvalidate.h"

namespace {

bool HookCommand(int32_t command) {
    switch (command) {
    case kUpInstall:
    case kUpTrack:
    case kUpButtonUp:
    case kUpClick:
    case kUpAbort:
    case kUpOpenObject:
    case kUpFinish:
    case kUpRotate:
    case kUpSwap:
    case kUpFix:
    case kUpLock:
    case kUpModify:
    case kUpMincon:
    case kUpConnDisplay:
        return true;
    default:
        return false;
    }
}

void UpShowSelName() {
    PlaceHost& host = PlHost();
    if (g_up.selCount != 1) {
        host.MsgInfo("");
        return;
    }
    for (int32_t c = 1; c <= g_up.capacity && c <= CompCount(); ++c)
        if (g_up.selected[c]) {
            Component r;
            AltSave(kRecComponent, c, &r);
            char text[256];
            UpFormat(text, sizeof text, kMsgCompName, NameText(r.name));
            host.MsgInfo(text);
            return;
        }
}

// Commits the open selection; a refusal with the selection following the
// cursor draws it again.
void CommitOrTrack() {
    if (!UpRedraw() && PlHost().AppWindow().FollowCursor) UpEndTrack(kUpEndTrackDraw);
}

bool SelectionFixedOrLocked() {
    for (int32_t c = 1; c <= g_up.capacity && c <= CompCount(); ++c) {
        if (!g_up.selected[c]) continue;
        Component r;
        AltSave(kRecComponent, c, &r);
        if (r.flags & (kUpCompFixed | kUpCompLocked)) return true;
    }
    return false;
}

} // namespace

bool UpHasNewComps() {
    AltItemHeader h;
    for (int32_t n = 1; n <= AltCount(); ++n) {
        UpItem(n, &h);
        if (h.type == kRecComponent && (h.flags & kUpItemAdded)) return true;
    }
    return false;
}

void UpAbort() {
    PlaceHost& host = PlHost();
    UpEndTrack(kUpEndTrackNoDraw);
    host.MsgInfo("");
    if (AltDepth() > 0) {
        host.PaintOriginal();
        PlTreeMapAlt(1);
        while (AltDepth() > 0)
            AltPop(false);
        g_up.selCount = 0;
        PlNetPinTable();
    }
    host.SetCursorKind(2);
    host.AppWindow().FollowCursor = 1;
    host.SetToolEventHook(nullptr);
    host.SetIdleTask(nullptr);
}

void UpMarkConnsOfSel(bool on) {
    AltItemHeader h;
    for (int32_t n = 1; n <= AltCount(); ++n) {
        void* image = UpItem(n, &h);
        if (h.type != kRecConn || (h.flags & kAltDeleted)) continue;
        const Conn* c = static_cast<const Conn*>(image);
        Component r;
        const bool fromIn = c->head.fromComp != 0 && AltSave(kRecComponent, c->head.fromComp, &r);
        const bool toIn = c->head.toComp != 0 && AltSave(kRecComponent, c->head.toComp, &r);
        if (fromIn || toIn) continue;
        if (on)
            h.flags &= uint16_t(~kUpItemNotDrawn);
        else
            h.flags |= kUpItemNotDrawn;
        AltItemPut(&h, image);
    }
}

int32_t UpToolHook(int32_t command) {
    if (!HookCommand(command)) return 0;
    PlaceHost& host = PlHost();
    PlaceAppWindow& w = host.AppWindow();
    const bool atLeast = command == kUpOpenObject || command == kUpFinish;
    if (atLeast ? AltDepth() < 1 : AltDepth() != 1) ExpectAlt(kErrUpHookDepth, 1);
    switch (command) {
    case kUpInstall:
        host.SetToolEventHook(&UpToolHook);
        host.MsgPromptId(kMsgSelectFromMenu);
        UpShowSelName();
        g_up.trackX = w.queryX;
        g_up.trackY = w.queryY;
        return 1;
    case kUpTrack:
        host.SetCursorKind(3);
        if (w.FollowCursor && (w.queryX != g_up.trackX || w.queryY != g_up.trackY)) {
            UpEndTrack(kUpEndTrackDraw);
            g_up.trackX = w.queryX;
            g_up.trackY = w.queryY;
        }
        return 1;
    case kUpButtonUp:
        if (!w.FollowCursor) {
            host.windowCommand(kUpAbort);
            return 0;
        }
        UpEndTrack(kUpEndTrackNoDraw);
        CommitOrTrack();
        return 1;
    case kUpClick:
        if (UpHasNewComps()) return 1;
        UpEndTrack(kUpEndTrackNoDraw);
        UpPickAt();
        host.MsgInfo("");
        UpEndTrack(kUpEndTrackDraw);
        host.StatusLineUpdate(kUpStatusParts);
        return 1;
    case kUpAbort:
        UpAbort();
        return 1;
    case kUpOpenObject:
        if (w.WindowKind == kViewRoute) UrObjValidate(0);
        UpEndTrack(kUpEndTrackDraw);
        return 1;
    case kUpFinish:
        UpEndTrack(kUpEndTrackNoDraw);
        return 1;
    case kUpRotate:
        UpEndTrack(kUpEndTrackNoDraw);
        UpRotate();
        if (w.FollowCursor)
            UpEndTrack(kUpEndTrackDraw);
        else
            UpRedraw();
        return 1;
    case kUpSwap:
        if (UpHasNewComps())
            host.MsgNote(LangString(kMsgCannotSwapNew));
        else
            swapComp();
        return 1;
    case kUpFix:
    case kUpLock:
        UpEndTrack(kUpEndTrackNoDraw);
        UpSetCompFlag(command);
        UpRedraw();
        return 1;
    case kUpModify:
        UpEndTrack(kUpEndTrackNoDraw);
        if (g_up.selCount < 1) {
            host.MsgNote(LangString(kMsgNoCompsSelected));
            return 1;
        }
        host.editCompDialogRun();
        if (!w.FollowCursor || SelectionFixedOrLocked())
            UpRedraw();
        else
            UpEndTrack(kUpEndTrackDraw);
        return 1;
    case kUpMincon:
        if (w.WindowKind == kViewPlace) return UpToolHook(kUpConnDisplay);
        if (w.FollowCursor) {
            UpMarkConnsOfSel(true);
            host.DrawAlt(kUpDrawOutline);
        } else {
            host.DrawAlt(kUpDrawAbandon);
        }
        host.ReconnectNets();
        if (w.FollowCursor) {
            host.DrawAlt(kUpDrawOutline);
            UpMarkConnsOfSel(false);
        } else {
            host.DrawAlt(kUpDrawStill);
            UpRedraw();
        }
        return 1;
    case kUpConnDisplay:
        g_up.connDisplay ^= 1;
        UpEndTrack(kUpEndTrackDraw);
        return 1;
    default:
        return 0;
    }
}
