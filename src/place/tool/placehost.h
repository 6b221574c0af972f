// The placement tool's seam: everything the tool asks of the application
// shell, the board display, the dialog layer and the editing tools, under
// their own names, on one abstract host. pelvane.exe installs the shell's
// Win32 host; the native tests install a recording host. The tool itself
// includes no toolbox or shell header. The engine keeps calling UserAbort
// and MsgPrompt as free functions; the router and the rule checker are
// called directly.
#pragma once
#include <cstdint>

struct PlPairTable;

// Window kinds and tool states the tool reads.
enum : int32_t {
    kViewRoute = 30832,
    kViewDesign = 30834,
    kViewPlace = 30838,
    kViewLibrary = 30840,
    kToolComponent = 30404,
};

// The front board view's application record: the fields the tool reads
// and writes.
struct PlaceAppWindow {
    int32_t queryX = 0, queryY = 0;                                 // the cursor's board point
    int32_t pickMinX = 0, pickMinY = 0, pickMaxX = 0, pickMaxY = 0; // picked rectangle
    int32_t gridX = 0, gridY = 0;                                   // placement grid
    uint16_t flags = 0;                                             // flag word
    int32_t WindowKind = kViewDesign;
    int32_t ToolState = kToolComponent;
    int32_t activeLayer = 1;
    int32_t failMessage = 0;   // message id shown on a failure
    int16_t FollowCursor = 1;  // 1 while the selection follows the cursor
    int16_t postedCommand = 0; // 1 while a posted command runs
    int16_t pinInfo = 0;       // pin-information word
};

typedef int32_t (*PlaceHookProc)(int32_t command);
typedef void (*PlaceIdleProc)();
typedef int32_t (*PlaceDlgHandler)(int32_t code);

// The dialog layer's handler codes, button styles and values.
enum : int32_t {
    kDlgCodeOk = 1,
    kDlgCodeCancel = 2,
    kDlgCodeInit = 4,
    kDlgStyleCheckBox = 4,
    kDlgStyleRadio = 8,
    kDlgStateEnabled = 1,
    kDlgValueOn = 1,
    kDlgStaticPlain = 0,      // DlgSetStaticText kind of a plain text
    kDlgEmptyNumber = -32011, // a number field left empty
};

class PlaceHost {
  public:
    virtual ~PlaceHost() = default;
    virtual PlaceAppWindow& AppWindow() = 0;

    // messages, feedback
    virtual void UBeep() = 0;
    virtual void AlertMessage(const char* text) = 0;
    virtual int32_t ConfirmMessage(const char* text) = 0; // 1 yes
    virtual void MsgNote(const char* text) = 0;
    virtual void MsgInfo(const char* text) = 0;
    virtual int32_t MsgPromptId(int32_t id) = 0;
    virtual int32_t SetCursorKind(int32_t kind) = 0;
    virtual void ObjectInfoPrint(int32_t index, int32_t kind, int32_t object, int32_t sub,
                                 int32_t flag) = 0;
    virtual void StatusLineUpdate(int32_t parts) = 0;
    virtual void ShowTargetPoint(int32_t x, int32_t y) = 0;
    virtual void NotImplemented() = 0;
    virtual void NotImplemented2(int32_t command) = 0;
    virtual void NotImplemented3() = 0;
    virtual int32_t NotImplemented4() = 0;

    // commands, the hook slot and the idle task
    virtual PlaceHookProc ToolEventHook() = 0;
    virtual void SetToolEventHook(PlaceHookProc hook) = 0;
    virtual void SetIdleTask(PlaceIdleProc task) = 0;
    virtual int32_t windowCommand(int32_t command) = 0;
    virtual void BroadcastCommand(int32_t command) = 0;
    virtual void menuAddCommand(int32_t one, int32_t menu, int32_t command) = 0;
    virtual void menuAddSeparator(int32_t one, int32_t menu) = 0;
    virtual void menuEnableCommand(int32_t command, int32_t state) = 0;
    virtual int32_t ViewInstall(int32_t view) = 0;

    // board display
    virtual int32_t DisplayInit() = 0;
    virtual void upResetDrawState() = 0;
    virtual void PaintAlt() = 0;
    virtual void PaintOriginal() = 0;
    virtual void PaintAltLast() = 0;
    virtual void DrawAlt(int32_t mode) = 0;
    virtual void DrawRatLines(const PlPairTable* entries, int32_t mode) = 0;
    virtual void RatLinesFree() = 0;
    // corners first..last of a connection image; mode 1 erases
    virtual void DrawBoardObject(const void* conn, int32_t mode, int32_t first, int32_t last,
                                 int32_t highlight) = 0;

    // the dialog layer (one current dialog)
    virtual void DlgOpen(PlaceDlgHandler handler, int32_t key, const char* title) = 0;
    virtual int32_t DlgRunModal() = 0;
    virtual void DlgSetButton(int32_t style, int32_t id, int32_t columns, int32_t value,
                              int32_t state) = 0;
    virtual void DlgSetText(int32_t id, int32_t arg, const char* text) = 0;
    virtual void DlgSetStaticText(int32_t kind, int32_t id, const char* text, int32_t arg,
                                  int32_t enabled) = 0;
    virtual void DlgSetItem(int32_t id, const char* text, int32_t width) = 0;
    virtual int32_t DlgGetItemValue(int32_t id) = 0;
    virtual void DlgGetItemText(int32_t id, char* out, int32_t max) = 0;
    virtual int32_t DlgGetRangedNumber(int32_t id, int32_t* out, int32_t min, int32_t max) = 0;
    virtual void DlgFocusItem(int32_t id) = 0;

    // the editing tools
    virtual int32_t editCompDialogRun() = 0;
    virtual int32_t ReconnectNets() = 0;
};

// The host the tool works through (installed before the tool starts).
void PlaceHostInstall(PlaceHost* host);
PlaceHost& PlHost();
