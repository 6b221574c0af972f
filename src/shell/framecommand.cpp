// The application level of the dispatch: the menu-command callback's
// decision, FrameCommand (Exit, windows, the File menu, views, the timer's
// work) and appCommand (printing, preferences, placement options, and the
// board runs that it re-addresses to the board window).
#include "db/dblog.h"
#include "db/lang.h"
#include "shell/dispatch.h"
#include "shell/edithandlers.h"
#include "shell/frametimer.h"
#include "shell/msgline.h"
#include "shell/placeholders.h"
#include "shell/postcmd.h"
#include "shell/shellids.h"
#include "shell/shellstate.h"
#include "shell/views.h"

namespace {

bool IsViewCommand(int32_t c) {
    if (c == kKindStatistics || c == kKindDesign || c == kKindColor || c == kKindDetails ||
        c == kKindErrorMarkers)
        return true;
    if (c >= 30842 && c <= 30854 && c % 2 == 0) return true;
    return c >= kKindLayerCosts && c <= kKindPass && c % 2 == 0;
}

bool IsBoardRun(int32_t c) {
    switch (c) {
    case 30238: case 30244: case 30246: case 30270: case 30272: case 30274: case 30276:
    case 30278: case 30280: case 30284: case 30286: case 30288: case 30294: case 30298:
    case kCmdAutoRun:
        return true;
    default:
        return false;
    }
}

bool IsBoardViewKind(int32_t kind) {
    return kind == kKindRoute || kind == kKindDesign || kind == kKindPlace;
}

// A board run chosen at the application level goes to the board window:
// unhandled here when a live board view exists (the callback then sends
// it); reinstalled and posted when the current view is a board view
// without its window; else refused.
int32_t ReaddressBoardCommand(int32_t command) {
    AppWindow* saved = gCurWin;
    AppWindow* board = BoardWindowAppWindow();
    if (board) gCurWin = board;
    int32_t handled = 1;
    if (board && board->live == 1 && IsBoardViewKind(board->kind)) {
        handled = 0;
    } else if (gCurWin && IsBoardViewKind(gCurWin->kind)) {
        ViewInstall(gCurWin->kind);
        ShellPostAppCommand(command);
    } else {
        MessageLineNoteId(kMsgOnlyFromDesign);
    }
    RestoreCurWin(saved);
    return handled;
}

} // namespace

int32_t FrameCommandRoute(int32_t command, bool offeredToBoard) {
    if (g_shell.contextHelp) {
        g_shell.contextHelp = false;
        return 0;
    }
    if (FrameCommand(command)) return 1;
    if (g_shell.boardWindow && !offeredToBoard) return SendWindowCommand(command);
    return 0;
}

int32_t FrameCommand(int32_t command) {
    switch (command) {
    case kCmdQuitRequest:
    case kCmdExit:
        ShellBroadcastCommand(kCmdLetGo);
        if (SaveChangesCheck()) Host().EndLoop();
        return 1;
    case kCmdLetGo:
        if (!g_shell.contextHelp) return appCommand(command);
        g_shell.contextHelp = false;
        CursorKindSet(kCursorTrack);
        return 1;
    case kCmdCloseWindow: {
        int32_t front = Host().FrontWindow();
        if (front && front != g_shell.boardWindow) Host().SendCloseRequest(front);
        return 1;
    }
    case kCmdNothing:
    case kCmdSpreadMenu:
    case kCmdOutput:
    case kCmdUserPreferences:
        return 1;
    case kCmdRefreshPour:
        ViewRefresh(true);
        return 1;
    case kCmdTimerWork:
        FrameTimer(kFrameTimerAccount);
        return 1;
    case kCmdBackup:
    case kCmdOpen:
    case kCmdOpenNoOptimize:
    case kCmdSaveAs:
    case kCmdLoadStrategy:
    case kCmdSaveStrategy:
    case kCmdSave:
        FileMenuCommand(command);
        return 1;
    case kCmdEraseLog:
        LogErase();
        return 1;
    case kCmdInitColor:
        ViewInstall(kKindColor);
        return 1;
    case kCmdInitQuery:
    case kCmdQueryDialog:
        ViewInstall(kKindDetails);
        return 1;
    case kCmdResetAll:
        Host().RequestCloseAllWindows();
        ViewInstall(kKindDesign);
        CursorKindSet(kCursorNormal);
        return 1;
    case kCmdContextHelp:
        g_shell.contextHelp = true;
        CancelTracking();
        CursorKindSet(kCursorKindHelp);
        return 1;
    default:
        break;
    }
    if (IsViewCommand(command)) {
        ViewInstall(command);
        return 1;
    }
    return appCommand(command);
}

int32_t appCommand(int32_t command) {
    switch (command) {
    case kCmdSetupPrinter: // printer set-up does nothing
    case kCmdBatchPlace:
        return 1;
    case kCmdGridDialog:
    case kCmdUnitsDialog:
    case kCmdBackupDialog:
        PreferenceDialog(command);
        return 1;
    case kCmdDataWindows:
    case kCmdGraphicWindows:
    case kCmdStrategyWindows:
        EditCall(g_editHandlers.upViewCommand, command);
        return 1;
    case kCmdAbout:
    case kCmdPreferences:
        AboutBox();
        return 1;
    default:
        break;
    }
    if (IsBoardRun(command)) return ReaddressBoardCommand(command);
    return 0;
}
