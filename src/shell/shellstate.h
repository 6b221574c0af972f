// The application state the shell keeps: the view being served (gCurWin),
// the current display record, the board window, the remembered Design view
// record, the idle task, the context-help latch, and the registry of live
// view records. One instance each for the life of the process.
//
// Guarantees: a view record is on the live registry from its creation until
// it is freed, so a remembered pointer is checked before it is used again.
#pragma once
#include <cstdint>

#include "db/shellsvc.h"
#include "toolbox/core/filespec.h"
#include "toolbox/core/windowevent.h"

struct DisplaySettings {
    int16_t installed;   // the view is installed
    int16_t pointerMode; // 1 at creation
    int32_t window;      // the board window's id
};

enum : int32_t { kViewTitleMax = 100 };

// The link of a view record to its window and display record.
struct AppView {
    AppWindow* appWindow;
    DisplaySettings* display; // the board window's (tables: their own record)
    int32_t window;           // the window's id (0 none)
    int16_t boardView;        // 1 for the board view
    char title[kViewTitleMax + 1];
};

struct ShellState {
    AppWindow* curWin = nullptr;            // gCurWin
    DisplaySettings* display = nullptr;     // the current DisplaySettings
    int32_t boardWindow = 0;                // the board window's id
    AppView* boardView = nullptr;           // the view record the board window holds
    AppView* designView = nullptr;          // the remembered Design view record
    IdleTaskProc idleTask = nullptr;
    bool contextHelp = false;               // the context-help latch
    int32_t savedTool = 0;                  // the tool the Auto commands cleared
    int16_t painting = 0;                   // the board is being painted
    ObjRef highlighted{};                   // the highlighted object
    WindowEvent lastMouseDown{};            // the board window's last mouse-down
    FileSpec designFile{};                  // the open design's file record
    bool hasDesignFile = false;
    bool openedByRequest = false;           // a request opened something
    uint32_t printRefusedAt = 0;            // ticks of the last print refusal
    bool printRefused = false;
};
extern ShellState g_shell;

inline AppWindow*& gCurWin = g_shell.curWin;

// The idle task slot (SetIdleTask's body).
void ShellSetIdleTask(IdleTaskProc task);

// Live view records.
AppWindow* AppWindowNew();          // zero-filled, registered; null without memory
void AppWindowFree(AppWindow* w);   // unregisters and frees (null: nothing)
bool AppWindowLive(const AppWindow* w);
// gCurWin, or a zero record standing in when there is none (never null).
AppWindow* FrontAppWindowOf();

// Back to the start state (tests): frees every live record.
void ShellStateReset();
