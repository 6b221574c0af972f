// designCommand, the handler of the board window's views (the tool event
// hook first, then its table), forwardCommand, the views' undo and the
// switches between the Design, Route and Place views.
#include <cstdio>

#include "db/altjournal.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/lang.h"
#include "db/records.h"
#include "db/value.h"
#include "shell/dispatch.h"
#include "shell/edithandlers.h"
#include "shell/msgline.h"
#include "shell/placeholders.h"
#include "shell/postcmd.h"
#include "shell/shellhost.h"
#include "shell/shellids.h"
#include "shell/shellstate.h"

namespace {

enum : int32_t { kSizeTextMax = 40 };

bool IsToolSelection(int32_t c) {
    return c == kToolNone || c == kToolExtra1 || c == kToolExtra2 || c == kToolExtra3 ||
           (c >= kToolSelectFirst && c <= kToolSelectLast && c % 2 == 0);
}

// Undo in the board views: the last committed change is reopened turned
// round, every window hears of it while the reopened level is open, and
// the level is committed, which undoes the change.
void ViewsUndo() {
    if (AltDepth() != 0) {
        CancelTracking();
        return;
    }
    CancelTracking();
    if (!AltCanUndo()) {
        MessageLineNoteId(kMsgNothingToUndo);
        return;
    }
    AltUndo();
    forwardCommand(kCmdDataChanged);
    ShellBroadcastCommand(kCmdDataChanged);
    if (gCurWin && gCurWin->kind == kKindPlace) PlaceViewResetDrawState();
    AltPop(true);
}

void PickedSizeNote() {
    AppWindow* w = gCurWin;
    char width[kSizeTextMax], height[kSizeTextMax];
    std::snprintf(width, sizeof width, "%s", ValueFormat(w->pickX2 - w->pickX1));
    std::snprintf(height, sizeof height, "%s", ValueFormat(w->pickY2 - w->pickY1));
    char text[LANG_TEXT_MAX + 2 * kSizeTextMax];
    std::snprintf(text, sizeof text, LangString(kMsgPickedSize), width, height);
    MessageLineInfo(text);
}

// 30446 (Design and Route) and 30448 (Place and Route).
void SwitchViews(int32_t command) {
    AppWindow* w = gCurWin;
    w->viewSwitch |= kViewSwitching;
    if (w->routeView) {
        forwardCommand(kCmdViewClosing);
        w->kind = command == kCmdViewSwitch ? kKindDesign : kKindPlace;
        forwardCommand(kCmdViewOpened);
    } else {
        setDesignView(kKindRoute);
        w->routeView = w->kind == kKindRoute ? 1 : 0;
    }
    w->viewSwitch &= ~kViewSwitching;
}

} // namespace

// The view switch to Route: close the view, set the kind, open it again
// (the old kind comes back when the Route view cannot open). Grid doubling
// and the enlarged map join it with the view switching of the display.
void setDesignView(int32_t kind) {
    AppWindow* w = gCurWin;
    if (kind != kKindRoute || !w || DbHdr().sweep != 0) return;
    if (w->kind == kKindRoute) return;
    int32_t old = w->kind;
    forwardCommand(kCmdViewClosing);
    w->kind = kKindRoute;
    if (!forwardCommand(kCmdViewOpened)) {
        w->kind = old;
        forwardCommand(kCmdViewOpened);
    }
}

int32_t designCommand(int32_t command) {
    if (ToolHookOffer(command) == 1) return 1;
    AppWindow* w = gCurWin;
    if (!w) return command == kCmdLetGo ? 1 : 0;
    if (command == kCmdMenuSetup || command == kCmdViewOpened) {
        w->previousObject = ObjRef{};
        if (command == kCmdMenuSetup) initMenu();
    }
    int32_t handled = 1;
    switch (command) {
    case kCmdUndo:
        ViewsUndo();
        break;
    case kCmdDataChanged:
        g_shell.highlighted = ObjRef{};
        if (!forwardCommand(command)) ErrReport(kErrUndoUntaken, kErrUndoUntakenDetail);
        break;
    case kCmdPickedSize:
        PickedSizeNote();
        handled = forwardCommand(command);
        break;
    case kCmdTrack:
        handled = forwardCommand(command);
        break;
    case kCmdMoveOnOff:
        w->moveDisplay = w->moveDisplay ? 0 : 1;
        PaintJournalLevels();
        break;
    case kCmdAlternateTool: {
        int32_t tool = AlternateTool(w->toolState);
        if (tool) designCommand(tool);
        break;
    }
    case kCmdFind:
        findCompDialog();
        break;
    case kCmdPrint:
    case kCmdPrint2:
        if (EditDialog(g_editHandlers.printScaleDialog)) {
            MessageLinePrompt("Printing...");
            MessageLinePrompt("To interrupt press <Esc>");
        }
        break;
    case kCmdSetupPrinter:
        break;
    case kCmdReset: {
        int32_t byTool = toolCommand(command);
        int32_t byView = forwardCommand(command);
        if (!byTool && !byView) {
            w->gridStepX = DbHdr().grid2X;
            w->gridStepY = DbHdr().grid2Y;
        }
        break;
    }
    case kCmdDrawLayer:
        gotoLayerDialog();
        break;
    case kCmdHighlight:
        highlightCurrent();
        break;
    case kCmdViewSwitch:
    case kCmdPlaceSwitch:
        SwitchViews(command);
        break;
    case kCmdToolFeedback:
        handled = toolCommand(command);
        if (!handled) handled = forwardCommand(command);
        break;
    default:
        if (IsToolSelection(command)) {
            if (command != w->toolState) {
                toolCommand(kCmdCloseWindow);
                selectTool(command);
            }
            break;
        }
        handled = forwardCommand(command);
        break;
    }
    return command == kCmdLetGo ? 1 : handled;
}

int32_t forwardCommand(int32_t command) {
    int32_t kind = gCurWin ? gCurWin->kind : 0;
    if (kind == kKindRoute) return EditCall(g_editHandlers.urWindowProc, command);
    if (kind == kKindDesign) return EditCall(g_editHandlers.artCommand, command);
    return toolCommand(command);
}
