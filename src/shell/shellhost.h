// The shell's seam to the windows: every effect the command dispatch, the
// idle handling, the timer and the views have on real windows, and every
// question they ask of them, goes through one ShellHost. pelvane.exe
// installs the host over the toolbox; the native tests install a recording
// host. Windows are named by their sequence numbers (0 = none), which stay
// unique for the life of the process, so a window that went away is never
// mistaken for a new one.
//
// Also here: the posted-command record, the 32-byte window event of kind 26
// that carries a command to a window or to the application.
#pragma once
#include <cstdint>

struct AppView;

enum : int32_t {
    kPostedEventKind = 26,   // a command record
    kPostedSubKind = 15,     // ... of sub-kind command
    kPostedRecordBytes = 32,
};

struct PostedCommand {
    int32_t kind;     // 26
    int32_t subKind;  // 15
    int32_t command;
    int32_t value;    // 0 in every use
    int32_t windowId; // the target window's sequence number, 0 the application
    uint8_t spare[12];
};
static_assert(sizeof(PostedCommand) == kPostedRecordBytes, "a posted command is 32 bytes");

// The record of a command for the window (0: the application).
PostedCommand MakeCommandEvent(int32_t command, int32_t windowId);

// Results of ShellHost::SendToWindow beside the window's own answer.
enum : int32_t { kSendWindowGone = -1 };

class ShellHost {
  public:
    virtual ~ShellHost() = default;

    // ---- the board window and its pane ----
    // Makes the board window (flags 0x18000000, kind 51, empty title, the
    // view record as user data, the board procedure), accepts dropped files,
    // adds the status pane and the tool palette; its id, 0 on failure.
    virtual int32_t BoardWindowNew(AppView* view) = 0;
    // Sets flags 0x10000000 or 0x18000000 on the window and installs the
    // board procedure, the menu-enable callback and the view record as user
    // data on it and on its pane.
    virtual void BoardWindowAttach(int32_t window, AppView* view, uint32_t flags) = 0;
    // Detaches the board procedures and clears the user data.
    virtual void BoardWindowDetach(int32_t window) = 0;
    virtual void InvalidateWindow(int32_t window) = 0;
    virtual void InvalidatePane(int32_t window) = 0;
    virtual void EraseWindow(int32_t window) = 0;
    virtual void SelectWindow(int32_t window) = 0; // brings it to the front
    virtual void SetTitle(int32_t window, const char* title) = 0;
    virtual void SendCloseRequest(int32_t window) = 0;
    virtual void SetIdleInterval(int32_t window, int32_t ticks) = 0;
    // The content size in pixels; false when the window is gone.
    virtual bool ContentSize(int32_t window, int32_t* width, int32_t* height) = 0;
    // The mouse in the window's content coordinates; false outside.
    virtual bool MouseInContent(int32_t window, int32_t* v, int32_t* h) = 0;
    virtual void ToolPaletteShow(bool show) = 0;

    // ---- commands between windows ----
    // Queues the record as an 'AppC' event; the toolbox result.
    virtual int32_t Post(const PostedCommand& record) = 0;
    // Looks the window up and hands the record to its event procedure; its
    // answer, or kSendWindowGone.
    virtual int32_t SendToWindow(int32_t window, PostedCommand* record) = 0;
    // The open windows from the front: their ids and minimised states; the
    // count (at most capacity).
    virtual int32_t WindowsFromFront(int32_t* ids, bool* minimised, int32_t capacity) = 0;
    // The front window (0 none) and whether it is the board window's pane
    // tree.
    virtual int32_t FrontWindow() = 0;

    // ---- input, time, the loop ----
    virtual bool InputQueued() = 0;       // GetQueueStatus(QS_ALLINPUT) high word
    virtual bool ControlKeyDown() = 0;    // GetAsyncKeyState(VK_CONTROL)
    virtual bool ApplicationInFront() = 0; // the background byte is 0
    virtual uint32_t Ticks() = 0;
    virtual int64_t LocalSeconds() = 0;   // local time in whole seconds
    virtual bool FrontIsModalDialog() = 0;
    virtual void RunPendingEvents() = 0;
    virtual void EndLoop() = 0;           // EndApplicationLoop
    // A close request to every window; false when one refused.
    virtual bool RequestCloseAllWindows() = 0;
    // The frame timer: installed (the interval in ms), re-armed, stopped (-1).
    virtual void SetFrameTimerInterval(int32_t ms) = 0;

    // ---- feedback ----
    // The window's cursor by id; window 0: the standard arrow.
    virtual void SetCursor(int32_t window, int32_t id) = 0;
    virtual void Beep() = 0;
    virtual void ProgressMessage(const char* text) = 0; // null closes it
    virtual void Alert(const char* text) = 0;
    // The task-modal message box, shown also in quiet mode.
    virtual void MessageAlert(const char* text) = 0;
    virtual bool Confirm(const char* text) = 0;
    virtual void Note(const char* text) = 0; // the message line
    virtual void MenusRebuild() = 0;
    virtual void MenusInvalidate() = 0;
    // The steps that later parts of the shell take (display, files, tables):
    // reported with the command they stand for until they are built.
    virtual int32_t Placeholder(const char* step, int32_t value) = 0;
};

// The installed host; every shell entry needs one.
void ShellHostInstall(ShellHost* host);
ShellHost& Host();
bool ShellHostInstalled();
