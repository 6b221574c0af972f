// The tool's command table (UpCommand), called by the shell's tool
// dispatch for every command the hook left (answered 0). Three steps
// recur: the selection gate (at least one component selected, else the
// alert "No components selected"), the route check (in the Route view
// the router's objects must load) and the install step (the hook takes
// over an open selection).
#include <initializer_list>

#include "db/altjournal.h"
#include "db/dbheader.h"
#include "db/lang.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"
#include "router/objvalidate.h"

namespace {

bool SelectionGate() {
    if (g_up.selCount >= 1) return true;
    PlHost().AlertMessage(LangString(kMsgNoCompsSelected));
    return false;
}

bool RouteCheck() {
    return !UpRouteView() || UrObjValidate(0) == 1;
}

void Install() {
    if (g_up.selCount < 1 || AltDepth() < 1) return;
    if (!UpPlaceView()) UpTouchSelConns();
    UpEndTrack(kUpEndTrackDraw);
    UpToolHook(kUpInstall);
}

void AbortSelection() {
    if (AltDepth() > 0) PlHost().windowCommand(kUpAbort);
}

void Refresh() {
    PlaceAppWindow& w = PlHost().AppWindow();
    const DbHeader& h = DbHdr();
    w.gridX = h.grid3X;
    w.gridY = h.grid3Y;
}

int32_t MenuSetup() {
    PlaceHost& host = PlHost();
    host.menuAddCommand(1, kUpMenuWindow, kUpModify);
    for (int32_t c : {kUpCriteria, kUpSelect, kUpFootprint, kUpSelectNext})
        host.menuAddCommand(1, kUpMenuEdit, c);
    host.menuAddSeparator(1, kUpMenuEdit);
    host.menuAddCommand(1, kUpMenuEdit, kUpFix);
    host.menuAddSeparator(1, kUpMenuWindow);
    for (int32_t c : {kUpSwap, kUpRotate, kUpLock, kUpNextComp, kUpMincon})
        host.menuAddCommand(1, kUpMenuWindow, c);
    host.MsgPromptId(kMsgSelectComps);
    if (!g_up.selected && !UpInit()) return 0;
    Refresh();
    return 1;
}

void ContextMenu() {
    PlaceHost& host = PlHost();
    host.NotImplemented();
    if (AltDepth() > 0) {
        for (int32_t c : {kUpModify, kUpSwap, kUpRotate})
            host.NotImplemented2(c);
        host.NotImplemented3();
        for (int32_t c : {kUpLock, kUpNextComp, kUpMincon, kUpMoveOnOff})
            host.NotImplemented2(c);
    } else {
        for (int32_t c : {kUpCriteria, kUpSelect, kUpNextComp, kUpMincon, kUpUndo})
            host.NotImplemented2(c);
    }
    host.NotImplemented4();
}

// The edit commands: handed to the hook over an open selection, else a
// pick at the cursor first.
int32_t EditCommand(int32_t command) {
    PlaceHost& host = PlHost();
    if (g_up.selCount < 1 || AltDepth() < 1) {
        if (host.AppWindow().postedCommand) {
            host.AlertMessage(LangString(kMsgNoCompsSelected));
            return 1;
        }
        if (!RouteCheck() || !UpPickAt()) return 1;
        if (g_up.selCount < 1 || AltDepth() < 1) return 1;
    }
    if (!UpPlaceView()) UpTouchSelConns();
    UpToolHook(kUpInstall);
    return UpToolHook(command);
}

// Quick Place, Matrix Place and Adjust: the selection gate, the
// operation, and the commit; a refusal over a following selection draws
// it again.
void RunOnSelection(int32_t (*operation)(), bool busy, bool push) {
    PlaceHost& host = PlHost();
    if (!SelectionGate()) return;
    if (busy) host.SetCursorKind(1);
    UpEndTrack(kUpEndTrackNoDraw);
    operation();
    if (push) AltPush();
    if (UpRedraw())
        host.SetCursorKind(2);
    else if (host.AppWindow().FollowCursor)
        UpEndTrack(kUpEndTrackDraw);
}

} // namespace

int32_t UpCommand(int32_t command) {
    PlaceHost& host = PlHost();
    PlaceAppWindow& w = host.AppWindow();
    switch (command) {
    case kUpMenuSetup:
        return MenuSetup();
    case kUpRefresh:
        Refresh();
        return 1;
    case kUpContextMenu:
        ContextMenu();
        return 1;
    case kUpButtonUp:
    case kUpClick:
        AbortSelection();
        if (RouteCheck() && UpPickAt()) Install();
        return 1;
    case kUpButtonDown:
        AbortSelection();
        if (RouteCheck() && UpPickInRect()) Install();
        return 1;
    case kUpTrack:
        host.SetCursorKind(2);
        return 1;
    case kUpEdit30038:
    case kUpOpposite:
    case kUpRotate:
    case kUpCluster:
    case kUpFix:
    case kUpLock:
    case kUpFootprint:
    case kUpModify:
    case kUpDelete:
        return EditCommand(command);
    case kUpSwap:
        host.MsgNote(LangString(kMsgNoCompsSelected));
        return 1;
    case kUpCriteria:
        UpCriteriaDialog();
        return 1;
    case kUpSelect:
        AbortSelection();
        if (RouteCheck() && UpPickNextAsk()) Install();
        return 1;
    case kUpSelectNext:
    case kUpNextComp:
        if (AltDepth() > 0) {
            host.windowCommand(w.FollowCursor ? kUpButtonUp : kUpAbort);
            if (AltDepth() > 0) return 1;
        }
        host.SetCursorKind(1);
        if (!RouteCheck()) return 1;
        if (!UpPickNext(command))
            host.SetCursorKind(2);
        else
            Install();
        return 1;
    case kUpFinishNext:
        host.windowCommand(kUpFinish);
        host.SetCursorKind(1);
        if (RouteCheck()) {
            if (UpPickNext(command) == 1) {
                UpQuickPlace();
                if (!UpRedraw() && w.FollowCursor) UpEndTrack(kUpEndTrackDraw);
            } else {
                AbortSelection();
            }
        }
        host.SetCursorKind(2);
        return 1;
    case kUpQuickPlace:
        RunOnSelection(&UpQuickPlace, false, false);
        return 1;
    case kUpMatrixPlace:
        RunOnSelection(&UpMatrixPlace, false, false);
        return 1;
    case kUpAdjust:
        RunOnSelection(&UpAdjust, true, true);
        return 1;
    case kUpRename:
        if (!SelectionGate()) return 1;
        host.SetCursorKind(1);
        UpEndTrack(kUpEndTrackNoDraw);
        UpRenameComps();
        UpRedraw();
        host.SetCursorKind(2);
        return 1;
    case kUpMincon:
        if (w.WindowKind == kViewPlace) {
            host.windowCommand(kUpConnDisplay);
        } else {
            host.ReconnectNets();
            if (w.WindowKind == kViewRoute) {
                urObjInvalidate();
                UrObjValidate(0);
            }
        }
        return 1;
    default:
        return 0;
    }
}
