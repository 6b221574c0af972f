// The board window's event procedure. For the duration of an event gCurWin
// and the display record are the window's; afterwards the previous ones
// come back, but only while their record is live (a view change inside the
// event may have freed it), else the board window's current view.
#include <cstring>

#include "db/altjournal.h"
#include "db/dbheader.h"
#include "db/db.h"
#include "shell/boardwindow.h"
#include "shell/dispatch.h"
#include "shell/frametimer.h"
#include "shell/placeholders.h"
#include "shell/shellhost.h"
#include "shell/shellids.h"
#include "shell/views.h"

namespace {

enum : int32_t {
    kMouseSecondaryButton = 1,
    kUpdateTrackPath = 3,
};

int32_t CloseRequest(int32_t) {
    if (!SaveChangesCheck()) return 1; // the window stays
    ShellHost& host = Host();
    host.RunPendingEvents();
    BoardCommand(kCmdLetGo);
    host.RunPendingEvents();
    DbFree();
    return 0;
}

int32_t Resize(int32_t window, const WindowEvent* event) {
    if (event->resize.flag) return 1;
    if (g_shell.display && g_shell.display->installed) {
        while (AltDepth() > 0)
            AltPop(false);
        windowCommand(kCmdLetGo);
        windowCommand(kCmdFinish);
        ZoomInit();
        windowCommand(kCmdToolStart);
    }
    Host().InvalidatePane(window);
    return 1;
}

int32_t Update(int32_t window) {
    if (!DbIsValid()) return 1;
    int16_t painting = g_shell.painting;
    g_shell.painting = 1;
    Host().MenusRebuild();
    PaintWindowArea();
    TrackPathRedraw(kUpdateTrackPath);
    if (Host().FrontWindow() == window) windowCommand(kCmdToolStart);
    g_shell.painting = painting;
    return 1;
}

int32_t LetGoKey() {
    BoardCommand(kCmdLetGo);
    if (gCurWin && gCurWin->pickShown) PickedRectToggle();
    return 1;
}

int32_t Mouse(int32_t window, const WindowEvent* event) {
    if (!DbIsValid()) return 1;
    int32_t mode = g_shell.display ? g_shell.display->pointerMode : 0;
    bool primary = event->mouse.button == kMouseButtonPrimary;
    if (event->type == kWindowEventDoubleClick && primary && mode == kPointerModeSelect) return 1;
    g_shell.lastMouseDown = *event;
    if (mode == kPointerModeSelect && DetailsWindowInFront()) {
        PostedCommand record = MakeCommandEvent(kCmdQueryAtMouse, window);
        Host().SendToWindow(window, &record);
        return 1;
    }
    if (!primary) return LetGoKey();
    int32_t command = kCmdClick;
    if (mode == kPointerModeSelect && event->mouse.control) {
        command = kCmdEdit;
    } else if (event->mouse.shift) {
        if (gCurWin) gCurWin->moveDisplay = 0;
        command = kCmdExtendClick;
    }
    BoardCommand(command);
    return 1;
}

int32_t Key(const WindowEvent* event) {
    if (!DbIsValid()) return 1;
    int32_t c = event->key.character;
    if (c == kKeyEscape || (c == kKeyPeriod && (event->key.modifiers & kKeyCommandFlag)))
        return LetGoKey();
    int32_t mode = g_shell.display ? g_shell.display->pointerMode : 0;
    if (c == kKeySpace && mode == kPointerModeSelect) BoardCommand(kCmdClick);
    return 1;
}

int32_t Command(int32_t command) {
    AppWindow* w = gCurWin;
    if (!w) return 0;
    w->postedCommand = 1;
    int32_t result = BoardCommand(command);
    if (AppWindowLive(w)) w->postedCommand = 0;
    return result;
}

int32_t Dispatch(int32_t window, WindowEvent* event) {
    switch (event->type) {
    case kWindowEventIdle:
        return BoardIdle(window, event);
    case kWindowEventClose:
        return CloseRequest(window);
    case kWindowEventDispose:
        BoardWindowClosed(window);
        return 1;
    case kWindowEventActivate:
        if (event->activate.active) {
            FrameTimerSuspend(1);
            if (DetailsWindowOpen()) DetailsWindowClose();
        } else {
            FrameTimerSuspend(0);
        }
        Host().ToolPaletteShow(event->activate.active != 0);
        return 1;
    case kWindowEventResize:
        return Resize(window, event);
    case kWindowEventUpdate:
        return Update(window);
    case kWindowEventMouseDown:
    case kWindowEventDoubleClick:
        return Mouse(window, event);
    case kWindowEventKey:
        return Key(event);
    case kWindowEventScroll:
        if (DbIsValid()) ScrollBoard(event->scroll.bar, false);
        return 1;
    case kWindowEventCommand:
        // A menu command the toolbox offers the front window first.
        return Command(uint16_t(event->command.command));
    case kPostedEventKind: {
        PostedCommand record;
        std::memcpy(&record, event, sizeof record);
        if (record.subKind != kPostedSubKind) return 0;
        return Command(record.command);
    }
    default:
        return 0;
    }
}

} // namespace

int32_t BoardWindowEventOf(int32_t window, AppView* view, WindowEvent* event) {
    AppWindow* savedWin = gCurWin;
    DisplaySettings* savedDisplay = g_shell.display;
    AppWindow* own = view ? view->appWindow : nullptr;
    if (own && savedWin && savedWin != own) own->current = savedWin->current;
    gCurWin = own;
    g_shell.display = view ? view->display : nullptr;
    int32_t result = Dispatch(window, event);
    if (savedWin && savedWin != gCurWin) {
        RestoreCurWin(savedWin);
        if (gCurWin == savedWin && savedDisplay && savedWin->view &&
            savedWin->view->display == savedDisplay)
            g_shell.display = savedDisplay;
    } else if (!savedWin) {
        // Nothing was being served before: the board window's view stays
        // current only while it lives.
        gCurWin = AppWindowLive(gCurWin) ? gCurWin : nullptr;
        g_shell.display = gCurWin && gCurWin->view ? gCurWin->view->display : nullptr;
    }
    return result;
}
