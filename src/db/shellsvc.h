// Services of the application shell and of the toolbox's file layer that
// the core calls. pelvane.exe takes them from the shell and the toolbox;
// native programs and the tests take them from the headless stand-ins.
#pragma once
#include <cstdint>
#include <cstdio>

#include "db/err.h"
#include "toolbox/core/alerts.h"
#include "toolbox/core/filespec.h"

// ---- shell ------------------------------------------------------------------

// Shows "Error code " with the code (see ErrFormatText) and the detail, then
// takes the fatal road: a line in the activity log, the emergency save when
// a design is open, shut-down, end of the process. A second call while one
// is handled ends the process at once.
[[noreturn]] void FatalErrorAlert(ErrCode code, const char* detail);

// A message alert; skipped in quiet mode (the quiet byte of RunOptions).
void AlertMessage(const char* text);

// A yes/no question; true for yes; yes without asking in quiet mode.
bool ConfirmMessage(const char* text);

// Receives each warning after it has been written to the activity log.
void WarningShow(const char* text);

// ---- idle task, commands and the abort key -----------------------------------

// The single idle task the board window calls while no input is pending;
// null removes it.
typedef void (*IdleTaskProc)();
void SetIdleTask(IdleTaskProc task);

// The procedure every window command is offered to first; it answers 1
// when it consumed the command. Null while no tool or run holds it.
typedef int32_t (*ToolEventHookProc)(int32_t command);
extern ToolEventHookProc ToolEventHook;

// Non-zero once the abort key was pressed, latched until UserAbortReset.
bool UserAbort();
void UserAbortReset();

// Periodic busy feedback, given at most every 20 ticks.
void BusyFeedback(int32_t flag);

// Posts a command to the board window, carried out later from the event
// loop.
void PostAppCommand(int32_t command);
// Sends the command to every window at once.
void BroadcastCommand(int32_t command);
// Enables (1) or disables (2) a menu command.
void menuEnableCommand(int32_t command, int32_t state);

// The system's beep (the sound of a finished run).
void SystemBeep();

// Cursor kinds; SetCursorKind answers the previous kind.
enum : int32_t {
    kCursorNormal = 0,
    kCursorBusy = 1,
    kCursorTrack = 2,
    kCursorTrack2 = 3,
    kCursorKind4 = 4,
};
int32_t SetCursorKind(int32_t kind);

// ---- board display ----------------------------------------------------------

// Status-line parts.
enum : int32_t { kStatusRouting = 4, kStatusAll = 7 };
void StatusLineUpdate(int32_t parts);
// Zooms the board window to the rectangle (database units).
void ZoomTo(int32_t cx, int32_t cy, int32_t width, int32_t height);
// Texts of the window message line (an empty text clears).
void MsgNote(const char* text);
void MsgPrompt(const char* text);
void MsgInfo(const char* text);
void MsgFlush();
// Prepares the board display for routing (1 on success) and undoes it.
int32_t DisplayInit();
void DisplayClose();
// Draws corners first..last of a connection, highlighted or not.
void DrawBoardObject(const void* conn, int32_t mode, int32_t first, int32_t last,
                     int32_t highlight);
// The overlay of the path being routed: 0 erase, 1 show, 2 show with the
// corner widths cleared.
void ShowTrackPath(int32_t mode, const void* path);
// Repaints the objects changed in the open journal level.
void PaintAlt();
// Shows (1) or hides (0) the routing-box outline.
void RoutingBoxShow(int32_t on);
void batchRefresh();
void ViewReinstall();

// The application's record of the front window: the fields the router
// reads and writes.
struct AppWindow {
    int32_t kind;           // window kind (30832 the Route view)
    int32_t toolState;      // active tool (30428 latched path, 30430 shove route)
    int32_t boardShown;     // 1 when the window shows the board
    int32_t pendingMessage; // message shown after the command (0 none)
};
enum : int32_t {
    kWindowRouteView = 30832,
    kToolLatchedPath = 30428,
    kToolShoveRoute = 30430,
};
// The front window's record (never null).
AppWindow* FrontAppWindow();

// The board display's grid-doubling flag (the header's routing grid stands
// doubled while it is set) and the router's test-option words.
extern bool g_gridDoubling;
extern uint16_t MzFlags;
extern uint16_t MzFlags2;
extern int16_t g_forceInstall;
inline bool ShellGridDoubling() {
    return g_gridDoubling;
}

// ---- files ------------------------------------------------------------------

// The file layer (FileSpec, FileHandle and their operations) and the
// toolbox's alerts have one declaration each in the toolbox core.

// ---- the open design's file ----------------------------------------------------

// The file record of the open design, null when it has none.
const FileSpec* DesignFileSpec();
// Writes the open design in the binary design format to the file the
// record names; false when it cannot be written.
bool BackupWrite(FileSpec* file);
