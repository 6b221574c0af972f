// Views and the board window's records. The board window holds one view
// record at a time (g_shell.boardView); the Design view record is
// remembered so that View > Design can attach it again while the board
// window exists. Guarantees: every record is freed exactly once; the
// remembered record is forgotten when its window goes; gCurWin is only
// ever put back while its record is live.
#include "shell/views.h"

#include <cstdio>
#include <cstdlib>

#include "db/dbheader.h"
#include "db/err.h"
#include "db/lang.h"
#include "db/records.h"
#include "router/urstate.h"
#include "shell/dispatch.h"
#include "shell/msgline.h"
#include "shell/placeholders.h"
#include "shell/postcmd.h"
#include "shell/shellhost.h"
#include "shell/shellids.h"

namespace {

enum : uint32_t {
    kBoardFlagsReused = 0x10000000, // the board window taken over by a view
    kBoardFlagsNew = 0x18000000,    // scroll actions on both axes, no scroll bars
};

bool IsBoardKind(int32_t kind) {
    return kind >= kKindBoardFirst && kind <= kKindBoardLast;
}

void AlertWithTitle(int32_t message, const char* title) {
    char text[LANG_TEXT_MAX + kViewTitleMax + 2];
    std::snprintf(text, sizeof text, LangString(message), title);
    Host().Alert(text);
}

void FreeView(AppView* view) {
    if (!view) return;
    if (g_shell.display == view->display) g_shell.display = nullptr;
    std::free(view->display);
    AppWindowFree(view->appWindow);
    std::free(view);
}

} // namespace

void ViewTitle(int32_t kind, char* out, int32_t size) {
    const char* label = LangString(kind);
    int32_t n = 0;
    for (const char* p = label; *p && n + 1 < size; ++p)
        if (*p != '&') out[n++] = *p;
    if (size > 0) out[n] = 0;
}

AppWindow* BoardWindowAppWindow() {
    if (!g_shell.boardWindow || !g_shell.boardView) return nullptr;
    return g_shell.boardView->appWindow;
}

void RestoreCurWin(AppWindow* saved) {
    if (saved == nullptr || AppWindowLive(saved)) {
        gCurWin = saved;
        return;
    }
    gCurWin = BoardWindowAppWindow();
    if (gCurWin) g_shell.display = g_shell.boardView->display;
}

int32_t ViewInstall(int32_t kind) {
    if (kind == kKindRoute || kind == kKindPlace) kind = kKindDesign;
    if (kind == kKindErrorMarkers) {
        if (g_shell.boardWindow && DbIsValid()) ErrorMarkersOpen();
        return 1;
    }
    if (AppWindow* board = BoardWindowAppWindow()) {
        int32_t shown = board->kind;
        if (kind == shown || (kind == kKindDesign && (shown == kKindRoute || shown == kKindPlace))) {
            if (DetailsWindowInFront()) return 0;
            Host().SelectWindow(g_shell.boardWindow);
            return SendWindowCommand(kCmdViewOpened);
        }
        if (kind != kKindDetails) {
            SendWindowCommand(kCmdViewClosing);
            if (DetailsWindowOpen()) DetailsWindowRefresh();
        }
    }
    // The remembered Design view goes back only into a board window that
    // still exists.
    if (kind == kKindDesign && g_shell.designView && g_shell.boardWindow) {
        BoardWindowAttach(g_shell.designView);
        return 1;
    }
    auto* view = static_cast<AppView*>(std::calloc(1, sizeof(AppView)));
    AppWindow* w = view ? AppWindowNew() : nullptr;
    if (!w) {
        std::free(view);
        return 0;
    }
    view->appWindow = w;
    w->view = view;
    w->kind = kind;
    ViewTitle(kind, view->title, sizeof view->title);
    AppWindow* saved = gCurWin;
    gCurWin = w;
    int32_t made;
    if (IsBoardKind(kind)) {
        w->live = 1;
        w->routeView = 0;
        w->rememberedKind = kKindRoute;
        w->viewSwitch = kViewSwitchCreated;
        g_router.fatMap = 0;
        g_shell.savedTool = 0;
        view->boardView = 1;
        made = BoardWindowCreate(view);
        if (made == 1) g_shell.designView = view;
    } else if (kind == kKindDetails) {
        made = DetailsWindowCreate(view);
    } else {
        made = TableWindowOpen(kind - kTableKindOffset, view);
    }
    RestoreCurWin(saved);
    if (made == 1) return 1;
    char title[kViewTitleMax + 1];
    ViewTitle(kind, title, sizeof title);
    if (view != g_shell.boardView && view != g_shell.designView) FreeView(view);
    AlertWithTitle(kMsgCannotInstallView, title);
    return 0;
}

int32_t BoardWindowCreate(AppView* view) {
    int32_t kind = gCurWin ? gCurWin->kind : 0;
    if (!IsBoardKind(kind)) ErrReport(kErrBoardKind, kind);
    auto* display = static_cast<DisplaySettings*>(std::calloc(1, sizeof(DisplaySettings)));
    if (!display) {
        ErrOutOfMemory(kErrDisplayMemory);
        ErrReport(kErrDisplayRecord, kErrDisplayRecordDetail);
    }
    view->display = display;
    g_shell.display = display;
    display->pointerMode = kPointerModeSelect;
    ShellHost& host = Host();
    if (g_shell.boardWindow) {
        // A view record the window held before is replaced (the remembered
        // Design record stays for View > Design).
        AppView* old = g_shell.boardView;
        if (old && old != view && old != g_shell.designView) FreeView(old);
        host.BoardWindowAttach(g_shell.boardWindow, view, kBoardFlagsReused);
        host.InvalidatePane(g_shell.boardWindow);
    } else {
        int32_t window = host.BoardWindowNew(view);
        if (!window) ErrReport(kErrBoardWindow, kErrBoardWindowDetail);
        g_shell.boardWindow = window;
    }
    g_shell.boardView = view;
    host.SetIdleInterval(g_shell.boardWindow, kIdleNoTaskTicks);
    display->window = g_shell.boardWindow;
    view->window = g_shell.boardWindow;
    SendWindowCommand(kCmdViewOpened);
    if (g_shell.boardWindow) host.SelectWindow(g_shell.boardWindow);
    return 1;
}

void BoardWindowAttach(AppView* view) {
    ShellHost& host = Host();
    int32_t window = g_shell.boardWindow;
    AppView* old = g_shell.boardView;
    if (old && old != view) FreeView(old);
    g_shell.display = view->display;
    g_shell.boardView = view;
    view->window = window;
    if (view->display) {
        view->display->window = window;
        view->display->pointerMode = kPointerModeSelect;
    }
    host.BoardWindowAttach(window, view, kBoardFlagsNew);
    host.InvalidatePane(window);
    host.ToolPaletteShow(true);
    host.SetIdleInterval(window, kIdleNoTaskTicks);
    if (!SendWindowCommand(kCmdViewOpened)) return;
    AppWindow* w = view->appWindow;
    if (DetailsWindowOpen() && w && !w->routeView) {
        AppWindow* saved = gCurWin;
        gCurWin = w;
        designCommand(kCmdViewSwitch);
        RestoreCurWin(saved);
        host.InvalidateWindow(window);
        host.RunPendingEvents();
        RoutingBoxStep(1);
    }
}

void BoardWindowDispose(int32_t window) {
    CancelTracking();
    Host().MenusInvalidate();
    g_shell.display = nullptr;
    gCurWin = nullptr;
    AppView* view = g_shell.boardView;
    AppView* design = g_shell.designView;
    g_shell.boardView = nullptr;
    g_shell.designView = nullptr;
    FreeView(view);
    // A table held the window: the remembered Design record goes too.
    if (design && design != view) FreeView(design);
    Host().BoardWindowDetach(window);
}

void BoardWindowClosed(int32_t window) {
    windowCommand(kCmdViewClosing);
    BoardWindowDispose(window);
    g_shell.display = nullptr;
    g_shell.boardWindow = 0;
    Host().MenusInvalidate();
}

int32_t BoardViewOpen(int32_t) {
    DisplaySettings* display = g_shell.display;
    AppWindow* w = gCurWin;
    if (!display || !w || display->installed || !DbIsValid()) return 1;
    ShellHost& host = Host();
    host.ToolPaletteShow(true);
    if (windowCommand(kCmdViewOpened)) {
        display->installed = 1;
        host.InvalidateWindow(g_shell.boardWindow);
        host.InvalidatePane(g_shell.boardWindow);
        host.MenusRebuild();
        return 1;
    }
    if (w->pendingMessage) {
        host.Alert(LangString(w->pendingMessage));
        w->pendingMessage = 0;
    } else {
        AlertWithTitle(kMsgCannotInitWindow, w->view ? w->view->title : "");
    }
    host.BoardWindowDetach(g_shell.boardWindow);
    g_shell.display = nullptr;
    ViewInstall(kKindSweep);
    return 0;
}

void ViewRefresh(bool reinstall) {
    if (!g_shell.boardWindow) return;
    AppView* view = g_shell.boardView;
    if (reinstall && view && view->appWindow) {
        gCurWin = view->appWindow;
        if (!view->window) ErrReport(kErrViewRecord, kErrViewRecordDetail);
        SendWindowCommand(kCmdViewClosing);
        ViewInstall(view->appWindow->kind);
    }
    if (g_shell.boardWindow) Host().InvalidateWindow(g_shell.boardWindow);
}

int32_t FindBoardWindow(bool needLive) {
    AppWindow* w = gCurWin;
    if (w && w->view && (!needLive || w->live == 1)) return 1;
    AppWindow* board = BoardWindowAppWindow();
    if (!board || (needLive && board->live != 1)) return 0;
    gCurWin = board;
    g_shell.display = g_shell.boardView->display;
    return 1;
}

int32_t FrontBoardWindow(AppWindow** out) {
    AppWindow* board = BoardWindowAppWindow();
    if (!board || board->live != 1) return 0;
    if (out) *out = board;
    return 1;
}
