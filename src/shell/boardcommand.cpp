// The board window's level of the dispatch: BoardCommand (view opening and
// closing, the idle step, display, zoom and scroll commands, the route-time
// reset, the query at the mouse) and windowCommand (by the current view's
// WindowKind).
#include <cstdio>

#include "db/dbheader.h"
#include "db/err.h"
#include "db/lang.h"
#include "db/records.h"
#include "router/objvalidate.h"
#include "shell/dispatch.h"
#include "shell/edithandlers.h"
#include "shell/frametimer.h"
#include "shell/msgline.h"
#include "shell/placeholders.h"
#include "shell/querypoint.h"
#include "shell/shellhost.h"
#include "shell/shellids.h"
#include "shell/shellstate.h"
#include "shell/views.h"

namespace {

enum : int32_t {
    kScrollLineKind = 28, // scroll event kinds of 30310..30316
    kScrollAcrossKind = 29,
    kStatusLayer = 1,
};

bool IsBoardViewKind(int32_t kind) {
    return kind == kKindRoute || kind == kKindDesign || kind == kKindPlace;
}

bool IsRouteTool(int32_t tool) {
    return tool >= kToolRouteFirst && tool <= kToolRouteLast;
}

// windowCommand; when not handled, finish the tool, the display command,
// then track.
int32_t DisplayRow(int32_t command, int32_t statusParts) {
    if (windowCommand(command)) return 1;
    windowCommand(kCmdFinish);
    DisplayCommand(command);
    if (statusParts) StatusLineParts(statusParts);
    BoardCommand(kCmdTrack);
    return 1;
}

int32_t QueryAtMouse() {
    int32_t v = 0, h = 0;
    if (!Host().MouseInContent(g_shell.boardWindow, &v, &h) || !g_windowLoaded) return 1;
    setQueryPoint(v, h);
    ViewInstall(kKindDetails);
    if (gCurWin && g_editHandlers.urObjInfo) g_editHandlers.urObjInfo(gCurWin->queryX, gCurWin->queryY);
    DetailsWindowRefresh();
    return 1;
}

} // namespace

int32_t BoardCommand(int32_t command) {
    switch (command) {
    case kCmdViewOpened:
        return BoardViewOpen(0);
    case kCmdViewClosing:
        // A run under way stops before its view goes.
        CancelTracking();
        if (g_shell.display && g_shell.display->installed) {
            windowCommand(kCmdViewClosing);
            Host().MenusInvalidate();
            Host().EraseWindow(g_shell.boardWindow);
            if (g_shell.display) g_shell.display->installed = 0;
        }
        return 1;
    case kCmdIdleStep:
        if (!g_shell.idleTask) ErrReport(kErrNoIdleTask, kErrNoIdleTaskDetail);
        g_shell.idleTask();
        return 1;
    case kCmdPrint:
    case kCmdRedraw:
    case 30326:
    case kCmdPrint2:
    case kCmdConnDisplay:
        return DisplayRow(command, 0);
    case 30270:
    case 30272:
    case kCmdStartSweep:
    case kCmdResumeSweep:
        TimeStampReset();
        [[fallthrough]];
    case 30244:
    case 30246:
    case 30276:
    case 30286:
    case 30288:
    case 30294:
    case kCmdAutoRun:
        ToolPaletteSelect(1, 2);
        return windowCommand(command);
    case kCmdNothing:
    case kCmdPreferences:
        return 1;
    case kCmdZoomIn:
    case 30304:
    case 30306:
    case 30308:
    case 30318:
    case 30332:
    case 30353:
        ZoomCommand(command);
        return 1;
    case kCmdScrollUp:
    case kCmdPageUp:
        ScrollBoard(kScrollLineKind, command == kCmdPageUp);
        return 1;
    case kCmdScrollLeft:
    case kCmdPageLeft:
        ScrollBoard(kScrollAcrossKind, command == kCmdPageLeft);
        return 1;
    case kCmdGridScale: {
        AppWindow* w = gCurWin;
        if (!w || !IsBoardViewKind(w->kind)) {
            MessageLineNoteId(kMsgNotInEnvironment);
            return 1;
        }
        w->rememberedKind = w->kind;
        if (!(w->kind == kKindRoute && IsRouteTool(w->toolState))) gridScaleRefresh();
        ZoomCommand(command);
        return 1;
    }
    case kCmdErase:
        DisplayCommand(command);
        windowCommand(kCmdFinish);
        BoardCommand(kCmdTrack);
        return 1;
    case kCmdQueryAtMouse:
        return QueryAtMouse();
    case kCmdResetRouteTime:
        if (Host().Confirm(LangString(kMsgResetRouteTime))) DbHdr().timeUsed = 0;
        return 1;
    default:
        break;
    }
    int32_t layers = DbHdr().layerCount;
    if (command > kCmdConnDisplay && command <= kCmdConnDisplay + layers)
        return DisplayRow(command, kStatusLayer);
    return windowCommand(command);
}

int32_t windowCommand(int32_t command) {
    int32_t kind = gCurWin ? gCurWin->kind : 0;
    int32_t handled = 0;
    switch (kind) {
    case kKindRoute:
    case kKindDesign:
    case kKindDensity:
    case kKindPlace:
    case kKindLibrary:
        handled = designCommand(command);
        break;
    case kKindDetails:
        handled = EditCall(g_editHandlers.detailsCommand, command);
        break;
    case kKindStatistics:
    case kKindNets:
    case kKindLayerCosts:
    case kKindSpacing:
    case kKindSweep:
    case kKindPass:
        handled = TableCommand(kind, command);
        break;
    default:
        break;
    }
    if (handled) return handled;
    if (command == kCmdUndo) {
        undoCommand();
        return 1;
    }
    return command == kCmdReset ? 1 : 0;
}
