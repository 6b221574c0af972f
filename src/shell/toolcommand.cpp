// The tool level of the dispatch: toolCommand by ToolState, the handler of
// "no tool", the choice of a new tool and of the alternate tool, and the
// end of a running interaction (CancelTracking).
#include "db/err.h"
#include "db/shellsvc.h"
#include "shell/dispatch.h"
#include "shell/edithandlers.h"
#include "shell/msgline.h"
#include "shell/placeholders.h"
#include "shell/postcmd.h"
#include "shell/shellhost.h"
#include "shell/shellids.h"
#include "shell/shellstate.h"

namespace {

bool IsRouteTool(int32_t tool) {
    return tool >= kToolRouteFirst && tool <= kToolRouteLast;
}

} // namespace

int32_t ToolHookOffer(int32_t command) {
    ToolEventHookProc hook = ToolEventHook;
    return hook ? hook(command) : 0;
}

void CancelTracking() {
    if (ToolEventHook) {
        if (g_shell.boardWindow)
            SendWindowCommand(kCmdLetGo);
        else if (ToolEventHook)
            ToolEventHook(kCmdLetGo);
        ToolEventHook = nullptr;
    }
    ShellSetIdleTask(nullptr);
    MessageLineInfo("");
}

int32_t noToolCommand(int32_t command) {
    switch (command) {
    case kCmdTrack:
        CursorKindSet(kCursorNormal);
        return 1;
    case kCmdButtonDown:
    case kCmdClick:
    case kCmdExtendClick:
    case kCmdEdit:
        MessageLineNoteId(kMsgNoToolSelected);
        return 0;
    default:
        return 0;
    }
}

int32_t toolCommand(int32_t command) {
    AppWindow* w = gCurWin;
    int32_t tool = w ? w->toolState : kToolNone;
    switch (tool) {
    case kToolNone:
        return noToolCommand(command);
    case kToolComponent:
        return EditCall(g_editHandlers.UpCommand, command);
    case kToolError:
        return EditCall(g_editHandlers.errToolCommand, command);
    case kToolManualRoute:
    case kToolGridlessRoute:
        if (w->kind != kKindRoute) return EditCall(g_editHandlers.artToolCommand, command);
        return EditCall(g_editHandlers.urCommand, command);
    case kToolAutoPath:
    case kToolAutoViaPath:
    case kToolLatchedPath:
    case kToolShoveRoute:
        return EditCall(g_editHandlers.urCommand, command);
    default:
        ErrReport(kErrToolState, tool);
    }
}

int32_t AlternateTool(int32_t toolState) {
    switch (toolState) {
    case kToolNone:
    case kToolError:
    case kToolAutoPath:
    case kToolAutoViaPath:
    case kToolLatchedPath:
        return kToolManualRoute;
    case kToolManualRoute:
    case kToolShoveRoute:
    case kToolGridlessRoute:
        return kToolAutoPath;
    case kToolComponent:
    case kToolGate:
        return kToolPin;
    case kToolPin:
    case kToolMatrix:
        return kToolComponent;
    case kToolObstacle:
        return kToolText;
    case kToolExtra1:
    case kToolExtra2:
    case kToolExtra3:
    case kToolText:
        return kToolObstacle;
    default:
        return 0;
    }
}

void selectTool(int32_t tool) {
    AppWindow* w = gCurWin;
    if (!w) return;
    bool finished = false;
    if (IsRouteTool(w->toolState) && IsRouteTool(tool)) {
        // One route tool to another: the running one finishes; a running
        // idle task (a routing run) goes on.
        toolCommand(kCmdFinish);
        ToolEventHook = nullptr;
        finished = true;
    } else {
        CancelTracking();
    }
    w->toolState = tool;
    if (tool >= kToolAutoPath && tool <= kToolShoveRoute && w->kind == kKindDesign) {
        designCommand(kCmdViewSwitch);
    } else if (IsRouteTool(tool) && w->kind == kKindPlace) {
        w->routeView = 1;
        designCommand(kCmdPlaceSwitch);
    } else {
        setDesignView(w->kind);
        Host().MenusRebuild();
    }
    if (finished && gCurWin) toolCommand(kCmdToolStart);
}
