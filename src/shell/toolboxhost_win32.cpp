// The ShellHost over the toolbox. Every call looks its window up by
// sequence number and does nothing for a window that is gone. The board
// window is a document window with the board procedure and the view record
// as user data; its status pane and tool palette come with the board
// display.
#include "shell/toolboxhost_win32.h"

#include <windows.h>

#include "db/lang.h"
#include "shell/toolboxevents_win32.h"
#include "toolbox/core/alerts.h"
#include "toolbox/core/mousefollow.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/shelldefaults.h"
#include "toolbox/core/ticks.h"
#include "toolbox/core/timertask.h"
#include "toolbox/core/timetext.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowidle.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowmouse.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/core/windowsurface.h"
#include "toolbox/ui/windowbackcolour.h"

namespace {

enum : int32_t { kProgressPlacement = 0 };

ViewTimer* s_frameTimer = nullptr;

WindowObject* Find(int32_t id) {
    return id ? WindowObjectFromId(id) : nullptr;
}

class ToolboxShellHost : public ShellHost {
  public:
    int32_t BoardWindowNew(AppView* view) override {
        WindowObject* w =
            NewDocumentWindow(0, nullptr, "", 0, 0, 0, view, &BoardWindowEvent);
        return w ? w->sequence : 0;
    }
    void BoardWindowAttach(int32_t id, AppView* view, uint32_t flags) override {
        WindowObject* w = Find(id);
        if (!w) return;
        w->flags |= flags;
        w->userData = view;
        ExchangeWindowEventCallback(w, &BoardWindowEvent);
    }
    void BoardWindowDetach(int32_t id) override {
        WindowObject* w = Find(id);
        if (!w) return;
        ExchangeWindowEventCallback(w, nullptr);
        w->userData = nullptr;
    }
    void InvalidateWindow(int32_t id) override {
        if (WindowObject* w = Find(id)) InvalidateWindowArea(w, nullptr, 0);
    }
    void InvalidatePane(int32_t) override {}
    void EraseWindow(int32_t id) override {
        if (WindowObject* w = Find(id)) EraseWindowContent(w, nullptr);
    }
    void SelectWindow(int32_t id) override {
        if (WindowObject* w = Find(id)) SelectWindowObject(w);
    }
    void SetTitle(int32_t id, const char* title) override {
        if (WindowObject* w = Find(id)) SetWindowTitle(w, title);
    }
    void SendCloseRequest(int32_t id) override {
        if (WindowObject* w = Find(id)) SendWindowCloseEvent(w, false);
    }
    void SetIdleInterval(int32_t id, int32_t ticks) override {
        WindowObject* w = Find(id);
        if (w && w->type == kWindowTypeNative && w->port)
            WindowSetIdleInterval(static_cast<PortRecord*>(w->port), ticks);
    }
    bool ContentSize(int32_t id, int32_t* width, int32_t* height) override {
        WindowObject* w = Find(id);
        if (!w) return false;
        *width = w->width;
        *height = w->height;
        return true;
    }
    bool MouseInContent(int32_t id, int32_t* v, int32_t* h) override {
        WindowObject* w = Find(id);
        if (!w) return false;
        MakeWindowCurrentPort(w);
        Point32 p{};
        CurrentMousePosition(&p);
        *v = p.v;
        *h = p.h;
        return p.v >= 0 && p.h >= 0 && p.v < w->height && p.h < w->width;
    }
    void ToolPaletteShow(bool) override {}
    int32_t Post(const PostedCommand& record) override { return PostCommandEvent(record); }
    int32_t SendToWindow(int32_t id, PostedCommand* record) override {
        return SendRecordToWindow(id, record);
    }
    int32_t WindowsFromFront(int32_t* ids, bool* minimised, int32_t capacity) override {
        return TopWindowsFromFront(ids, minimised, capacity);
    }
    int32_t FrontWindow() override {
        WindowObject* w = FindNextWindowOfKinds(nullptr, kKindsAny, 1);
        return w ? w->sequence : 0;
    }
    bool InputQueued() override { return HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0; }
    bool ControlKeyDown() override { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }
    bool ApplicationInFront() override {
        DWORD process = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &process);
        return process == GetCurrentProcessId();
    }
    uint32_t Ticks() override { return GetTicks(); }
    int64_t LocalSeconds() override { return int64_t(CurrentTimeValue(1)); }
    bool FrontIsModalDialog() override { return ::FrontIsModalDialog(); }
    void RunPendingEvents() override { ::RunPendingEvents(); }
    void EndLoop() override { EndApplicationLoop(); }
    bool RequestCloseAllWindows() override { return ::RequestCloseAllWindows(); }
    void SetFrameTimerInterval(int32_t ms) override {
        if (s_frameTimer) SetTimerTaskNextFire(s_frameTimer->task, ms);
    }
    void SetCursor(int32_t id, int32_t cursor) override {
        if (WindowObject* w = Find(id))
            SetWindowCursor(w, int16_t(cursor));
        else
            SetCursorFromResource(int16_t(cursor));
    }
    void Beep() override { MessageBeep(MB_OK); }
    void ProgressMessage(const char* text) override {
        ShowProgressMessage(kProgressPlacement, text);
    }
    void Alert(const char* text) override { ShowMessageAlert(text); }
    void MessageAlert(const char* text) override { ShowMessageAlert(text); }
    bool Confirm(const char* text) override {
        return MessageBoxA(nullptr, text, "Pelvane", MB_YESNO | MB_TASKMODAL) == IDYES;
    }
    void Note(const char*) override {}
    void MenusRebuild() override {}
    void MenusInvalidate() override {}
    int32_t Placeholder(const char*, int32_t) override { return 0; }
};

ToolboxShellHost s_host;

} // namespace

void ToolboxShellHostInstall() {
    ShellHostInstall(&s_host);
}

void ToolboxFrameTimerSet(ViewTimer* timer) {
    s_frameTimer = timer;
}
