// The board window's idle handling. With an idle task it runs the task in
// bursts: never while input is queued, and per event at most 8 ticks, only
// in front, and only while the task stays installed and no input arrives.
// Without a task it keeps the routing-box outline and the cursor current.
#include "db/dbheader.h"
#include "router/urstate.h"
#include "shell/boardwindow.h"
#include "shell/dispatch.h"
#include "shell/frametimer.h"
#include "shell/placeholders.h"
#include "shell/querypoint.h"
#include "shell/shellhost.h"
#include "shell/shellids.h"

namespace {

enum : int32_t {
    kIdleIgnoreByte = 1, // the idle event's second flag byte
    kStatusMouse = 2,
    kFirstRoutePass = 1,
    kLastRoutePass = 4,
};

void PointerCursor(int32_t window) {
    ShellHost& host = Host();
    int32_t mode = g_shell.display ? g_shell.display->pointerMode : 0;
    switch (mode) {
    case kPointerModeSelect:
        if (ToolEventHook) {
            int32_t id = ToolEventHook(kCmdCursorQuery);
            host.SetCursor(window, id > kCursorIdHook ? id : kCursorIdTrack);
        } else {
            host.SetCursor(window, 0);
        }
        break;
    case kPointerModeZoom:
        host.SetCursor(window, host.ControlKeyDown() ? kCursorIdCtrlPointer : kCursorIdPointer);
        break;
    case kPointerModeBox:
        host.SetCursor(window, kCursorIdMode3);
        break;
    default:
        host.SetCursor(0, kCursorIdArrow);
        break;
    }
}

} // namespace

int32_t BoardIdle(int32_t window, const WindowEvent* event) {
    if (event->raw[kIdleIgnoreByte]) return 1;
    ShellHost& host = Host();
    bool design = DbIsValid();
    if (design) {
        int32_t v = 0, h = 0;
        if (host.MouseInContent(window, &v, &h) && setQueryPoint(v, h)) BoardCommand(kCmdTrack);
        StatusLineParts(kStatusMouse);
    }
    if (g_shell.idleTask) {
        int32_t background = host.ApplicationInFront() ? 0 : 1;
        if (host.InputQueued()) {
            host.SetIdleInterval(window, background + 1);
            return 1;
        }
        host.SetIdleInterval(window, background);
        uint32_t start = host.Ticks();
        do {
            g_shell.idleTask();
        } while (g_shell.idleTask && host.ApplicationInFront() &&
                 host.Ticks() - start < uint32_t(kIdleBurstTicks) && !host.InputQueued());
        const MzGoal* goal = Goal();
        if (goal && goal->pass >= kFirstRoutePass && goal->pass <= kLastRoutePass)
            FrameTimerRouteStep();
        return 1;
    }
    if (!design) return 1;
    host.SetIdleInterval(window, kIdleNoTaskTicks);
    if (!ToolEventHook) RoutingBoxStep(1);
    PointerCursor(window);
    return 1;
}
