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
// Posts a command to the application itself (the frame runs it later from
// the event loop); the toolbox result.
int32_t PostFrameCommand(int32_t command);
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
// The result line of a long run: shows the text and answers it.
const char* MsgResult(const char* text);
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

// A reference to one board object: kind (0 nothing), number, sub-number
// and a value.
struct ObjRef {
    uint8_t kind;
    int16_t number;
    int16_t sub;
    int32_t value;
};

struct AppView;

// The application's record of a view window, one per view, zero-filled when
// made. The router reads and writes the first four fields.
struct AppWindow {
    int32_t kind;           // WindowKind (30832 the Route view)
    int32_t toolState;      // ToolState (30428 latched path, 30430 shove route)
    int32_t boardShown;     // 1 when the window shows the board
    int32_t pendingMessage; // message id shown after a failed command (0 none)
    int32_t queryX, queryY;         // query point as taken from the mouse
    int32_t gridStepX, gridStepY;   // query grid steps
    int32_t snapX, snapY;           // query point snapped to the grid
    int32_t snapOffX, snapOffY;     // snapped point less the grid origin
    int32_t pickX1, pickY1, pickX2, pickY2; // picked rectangle
    double printScale;              // 65535.0 = fit to page
    int16_t pickShown;              // the picked rectangle is shown
    int16_t live;                   // 1 for the board window's views
    int16_t postedCommand;          // 1 while the board window runs a command
    int16_t moveDisplay;            // "&Move On/Off"
    int16_t routeView;              // shows Route through a view switch
    int16_t viewSwitch;             // 0x10 during a switch, 2 at creation
    int32_t rememberedKind;         // 30832 at creation
    int16_t activeLayer, previousLayer;
    int32_t placeGridX, placeGridY; // placement grid
    uint16_t flags;                 // flag word
    int16_t FollowCursor;           // 1 while the selection follows the cursor
    int16_t pinInfo;                // pin-information word
    int16_t paintFlag;
    AppView* view;                  // the window's view record
    ObjRef current;                 // the current object
    ObjRef previousObject;          // the remembered previous object
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
