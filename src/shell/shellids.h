// The shell's numbers: command numbers (menu commands and internal window
// messages share one space), window kinds, tool states, the catalogue
// numbers of its messages and the location codes of its internal errors.
// Every number the dispatch, the views and the timer compare against is
// named here once.
#pragma once
#include <cstdint>

#include "db/shellsvc.h" // kToolLatchedPath, kToolShoveRoute

// ---- window kinds (a view's kind is the number of the command opening it) ----
enum : int32_t {
    kKindStatistics = 30830,
    kKindRoute = 30832,
    kKindDesign = 30834,
    kKindDensity = 30836,
    kKindPlace = 30838,
    kKindLibrary = 30840,
    kKindSpreadFirst = 30842, // the spreadsheet views, even numbers
    kKindSpreadLast = 30854,
    kKindNets = 30852,
    kKindColor = 30858,
    kKindLayerCosts = 30862,
    kKindSpacing = 30864,
    kKindSweep = 30866,
    kKindPass = 30868,
    kKindDetails = 30872,
    kKindErrorMarkers = 30874,
    kKindBoardFirst = 30832, // the board window's kinds
    kKindBoardLast = 30840,
    kTableKindOffset = 118, // a table window's number: its kind less this
};

// ---- tool states ---------------------------------------------------------------
enum : int32_t {
    kToolNone = 0,
    kToolComponent = 30404,
    kToolGate = 30406,
    kToolPin = 30408,
    kToolObstacle = 30410,
    kToolText = 30412,
    kToolMatrix = 30414,
    kToolError = 30416,
    kToolConn = 30420,
    kToolManualRoute = 30422,
    kToolAutoPath = 30424,
    kToolAutoViaPath = 30426,
    kToolGridlessRoute = 30432,
    kToolExtra1 = 30218,
    kToolExtra2 = 30236,
    kToolExtra3 = 30248,
    kToolRouteFirst = 30422, // the route tools
    kToolRouteLast = 30432,
    kToolSelectFirst = 30404, // the tool-selection commands 30404..30432
    kToolSelectLast = 30432,
};

// ---- internal window messages --------------------------------------------------
enum : int32_t {
    kCmdTrack = 30016,
    kCmdPickedSize = 30018,
    kCmdButtonDown = 30020,
    kCmdClick = 30022,
    kCmdExtendClick = 30024,
    kCmdLetGo = 30026,
    kCmdAlternateTool = 30028,
    kCmdMenuSetup = 30030,
    kCmdViewOpened = 30032,
    kCmdViewClosing = 30034,
    kCmdCloseWindow = 30035, // also "end the current tool"
    kCmdToolStart = 30036,
    kCmdEdit = 30038,
    kCmdNothing = 30042,
    kCmdFinish = 30044,
    kCmdReset = 30046,
    kCmdDataChanged = 30050,
    kCmdIdleStep = 30052,
    kCmdHighlight = 30056,
    kCmdToolFeedback = 30061,
    kCmdRefreshPour = 30080,
    kCmdCursorQuery = 30081,
    kCmdTimerWork = 30083,
    kCmdViewSwitch = 30446,
    kCmdPlaceSwitch = 30448,
    kCmdQueryAtMouse = 30453,
};

// ---- menu commands -------------------------------------------------------------
enum : int32_t {
    kCmdQuitRequest = 208,
    kCmdBackup = 30102,
    kCmdOpen = 30104,
    kCmdOpenNoOptimize = 30105,
    kCmdSaveAs = 30106,
    kCmdLoadStrategy = 30108,
    kCmdSaveStrategy = 30110,
    kCmdExit = 30114,
    kCmdPrint = 30118,
    kCmdSetupPrinter = 30120,
    kCmdEraseLog = 30126,
    kCmdSave = 30136,
    kCmdBatchPlace = 30174,
    kCmdFind = 30202,
    kCmdUndo = 30254,
    kCmdStartSweep = 30278,
    kCmdResumeSweep = 30280,
    kCmdZoomIn = 30302,
    kCmdScrollUp = 30310,
    kCmdScrollLeft = 30312,
    kCmdPageUp = 30314,
    kCmdPageLeft = 30316,
    kCmdGridScale = 30320,
    kCmdErase = 30322,
    kCmdRedraw = 30324,
    kCmdDrawLayer = 30330,
    kCmdPrint2 = 30340,
    kCmdMoveOnOff = 30402,
    kCmdInitColor = 30434,
    kCmdInitQuery = 30436,
    kCmdSpreadMenu = 30438,
    kCmdOutput = 30440,
    kCmdGridDialog = 30506,
    kCmdUnitsDialog = 30508,
    kCmdBackupDialog = 30510,
    kCmdUserPreferences = 30512,
    kCmdConnDisplay = 30640,
    kCmdQueryDialog = 30710,
    kCmdResetAll = 30708,
    kCmdDataWindows = 30712,
    kCmdGraphicWindows = 30714,
    kCmdStrategyWindows = 30716,
    kCmdAbout = 30810,
    kCmdContextHelp = 30812,
    kCmdResetRouteTime = 30932,
    kCmdAutoRun = 31000,
    kCmdPreferences = 32050,
};

// ---- cursors and timing ----------------------------------------------------------
enum : int32_t {
    kCursorIdArrow = 0,
    kCursorIdTrack = 2,
    kCursorIdHook = 9, // a hook's 30081 answer above this names its cursor
    kCursorIdCtrlPointer = 262,
    kCursorIdPointer = 261,
    kCursorIdMode3 = 263,
    kCursorKindHelp = 6,
    kPointerModeSelect = 1,
    kPointerModeZoom = 2,
    kPointerModeBox = 3,
    kIdleNoTaskTicks = 8,  // idle interval with no task
    kIdleBurstTicks = 8,   // a task runs at most this long per idle event
    kFrameTimerMs = 3333,  // the frame timer's interval
    kTimerStopped = -1,    // an interval that stops a timer
    kBackupShowTicks = 30, // the backup message stays at least this long
    kSecondsPerMinute = 60,
    kBoardPanePixels = 32, // the status pane along the board window
    kViewSwitchCreated = 2,
    kViewSwitching = 0x10,
};

// ---- design header ---------------------------------------------------------------
enum : uint16_t {
    kHdrComponentsChanged = 0x0004, // set by the save question
};

// ---- catalogue numbers -------------------------------------------------------------
enum : int32_t {
    kMsgOnlyFromDesign = 30338,  // "Only available from Design Window"
    kMsgNotInEnvironment = 34269, // "Not available in this environment"
    kMsgResetRouteTime = 34270,  // "Reset Route Time?"
    kMsgNoToolSelected = 56002,  // "No tool selected"
    kMsgNothingToUndo = 56003,   // "Nothing to UNDO"
    kMsgPickedSize = 56005,      // "Width = %s, Height = %s"
    kMsgAutoBackup = 34190,      // "Performing Automatic Backup..."
    kMsgCannotInstallView = 34201, // "Unable to install %s view"
    kMsgCannotInitWindow = 34202,  // "Can't initialize %s window"
};

// ---- internal errors ----------------------------------------------------------------
enum : int32_t {
    kErrNoIdleTask = 34235, // 30052 with no idle task
    kErrNoIdleTaskDetail = 1365,
    kErrBackupInterval = 34191, // a negative automatic-backup interval
    kErrBackupIntervalDetail = 260,
    kErrBoardKind = 34292,      // a board window for a kind outside the board views
    kErrDisplayMemory = 34241,  // no memory for the display record
    kErrDisplayRecord = 34210,
    kErrDisplayRecordDetail = 1935,
    kErrBoardWindow = 34242,    // the board window cannot be made
    kErrBoardWindowDetail = 1952,
    kErrViewRecord = 31819,     // a view record without its window
    kErrViewRecordDetail = 491,
    kErrUndoUntaken = 56019,    // no handler takes 30050
    kErrUndoUntakenDetail = 1654,
    kErrToolState = 56026,      // a tool state outside the table
};
