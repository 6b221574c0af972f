// The shell's recording host and fixture for the native tests. The host
// writes one text line per call with its arguments ("SetIdleInterval 7 8",
// "Note No tool selected"), answers from settable values (input queued,
// Ctrl, in front, modal, confirmations from a queue: yes when empty), keeps
// posted records in a queue that the test runs (RunPosted), and sends a
// record to the board window through the board window's own event
// procedure while the window exists and its procedure is attached. Other
// windows are plain ids that record what they were sent.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/lang.h"
#include "db/dbfixture.h"
#include "support/fatal.h"
#include "shell/boardwindow.h"
#include "shell/dispatch.h"
#include "shell/edithandlers.h"
#include "shell/frametimer.h"
#include "shell/msgline.h"
#include "shell/postcmd.h"
#include "shell/shellhost.h"
#include "shell/shellstate.h"
#include "shell/views.h"

class RecordingShellHost : public ShellHost {
  public:
    struct Window {
        bool board = false;
        bool attached = false;
        bool minimised = false;
        AppView* view = nullptr;
        std::vector<int32_t> received; // commands sent to it
    };

    std::vector<std::string> lines;
    std::map<int32_t, Window> windows; // by id
    std::vector<int32_t> order;        // front to back
    std::deque<PostedCommand> posted;
    std::deque<bool> confirms;
    int32_t nextId = 100;
    bool failBoardWindow = false;
    bool inputQueued = false;
    int32_t inputAfterTicks = -1; // input arrives once Ticks reaches this
    bool control = false;
    bool inFront = true;
    bool modal = false;
    uint32_t ticks = 0;
    uint32_t ticksPerCall = 0; // Ticks() advances by this on every call
    int64_t seconds = 1000;
    bool mouseIn = false;
    int32_t mouseV = 0, mouseH = 0;
    int32_t placeholderAnswer = 0;
    int32_t frameTimerMs = 0;

    void Line(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char text[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        lines.emplace_back(text);
    }
    bool Has(const std::string& line) const {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    int32_t Count(const std::string& line) const {
        return int32_t(std::count(lines.begin(), lines.end(), line));
    }
    int32_t AddWindow(bool minimised = false) {
        int32_t id = nextId++;
        windows[id].minimised = minimised;
        order.insert(order.begin(), id);
        return id;
    }
    void CloseWindow(int32_t id) {
        windows.erase(id);
        order.erase(std::remove(order.begin(), order.end(), id), order.end());
    }
    // Runs the posted records in queue order (those posted meanwhile too).
    int32_t RunPosted() {
        int32_t n = 0;
        while (!posted.empty()) {
            PostedCommand r = posted.front();
            posted.pop_front();
            DispatchPostedCommand(r);
            ++n;
        }
        return n;
    }

    int32_t BoardWindowNew(AppView* view) override {
        Line("BoardWindowNew");
        if (failBoardWindow) return 0;
        int32_t id = AddWindow();
        windows[id].board = true;
        windows[id].attached = true;
        windows[id].view = view;
        return id;
    }
    void BoardWindowAttach(int32_t window, AppView* view, uint32_t flags) override {
        Line("BoardWindowAttach %d 0x%X", int(window), unsigned(flags));
        auto it = windows.find(window);
        if (it == windows.end()) return;
        it->second.attached = true;
        it->second.view = view;
    }
    void BoardWindowDetach(int32_t window) override {
        Line("BoardWindowDetach %d", int(window));
        auto it = windows.find(window);
        if (it == windows.end()) return;
        it->second.attached = false;
        it->second.view = nullptr;
    }
    void InvalidateWindow(int32_t window) override { Line("InvalidateWindow %d", int(window)); }
    void InvalidatePane(int32_t window) override { Line("InvalidatePane %d", int(window)); }
    void EraseWindow(int32_t window) override { Line("EraseWindow %d", int(window)); }
    void SelectWindow(int32_t window) override {
        Line("SelectWindow %d", int(window));
        auto it = std::find(order.begin(), order.end(), window);
        if (it != order.end()) {
            order.erase(it);
            order.insert(order.begin(), window);
        }
    }
    void SetTitle(int32_t window, const char* title) override {
        Line("SetTitle %d %s", int(window), title);
    }
    void SendCloseRequest(int32_t window) override { Line("SendCloseRequest %d", int(window)); }
    void SetIdleInterval(int32_t window, int32_t t) override {
        Line("SetIdleInterval %d %d", int(window), int(t));
    }
    bool ContentSize(int32_t window, int32_t* w, int32_t* h) override {
        *w = 1000;
        *h = 800;
        return windows.count(window) != 0;
    }
    bool MouseInContent(int32_t, int32_t* v, int32_t* h) override {
        *v = mouseV;
        *h = mouseH;
        return mouseIn;
    }
    void ToolPaletteShow(bool show) override { Line("ToolPaletteShow %d", int(show)); }
    int32_t Post(const PostedCommand& record) override {
        Line("Post %d %d", int(record.command), int(record.windowId));
        posted.push_back(record);
        return 0;
    }
    int32_t SendToWindow(int32_t window, PostedCommand* record) override {
        auto it = windows.find(window);
        if (it == windows.end()) return kSendWindowGone;
        it->second.received.push_back(record->command);
        if (!it->second.board || !it->second.attached) return 0;
        return BoardWindowEventOf(window, it->second.view, reinterpret_cast<WindowEvent*>(record));
    }
    int32_t WindowsFromFront(int32_t* ids, bool* minimised, int32_t capacity) override {
        int32_t n = 0;
        for (int32_t id : order) {
            if (n == capacity) break;
            ids[n] = id;
            minimised[n] = windows[id].minimised;
            ++n;
        }
        return n;
    }
    int32_t FrontWindow() override { return order.empty() ? 0 : order.front(); }
    bool InputQueued() override {
        return inputQueued || (inputAfterTicks >= 0 && ticks >= uint32_t(inputAfterTicks));
    }
    bool ControlKeyDown() override { return control; }
    bool ApplicationInFront() override { return inFront; }
    uint32_t Ticks() override {
        uint32_t now = ticks;
        ticks += ticksPerCall;
        return now;
    }
    int64_t LocalSeconds() override { return seconds; }
    bool FrontIsModalDialog() override { return modal; }
    void RunPendingEvents() override { Line("RunPendingEvents"); }
    void EndLoop() override { Line("EndLoop"); }
    bool RequestCloseAllWindows() override {
        Line("RequestCloseAllWindows");
        return true;
    }
    void SetFrameTimerInterval(int32_t ms) override {
        frameTimerMs = ms;
        Line("SetFrameTimerInterval %d", int(ms));
    }
    void SetCursor(int32_t window, int32_t id) override {
        Line("SetCursor %d %d", int(window), int(id));
    }
    void Beep() override { Line("Beep"); }
    void ProgressMessage(const char* text) override {
        Line("ProgressMessage %s", text ? text : "(closed)");
    }
    void Alert(const char* text) override { Line("Alert %s", text); }
    void MessageAlert(const char* text) override { Line("MessageBox %s", text); }
    bool Confirm(const char* text) override {
        Line("Confirm %s", text);
        if (confirms.empty()) return true;
        bool yes = confirms.front();
        confirms.pop_front();
        return yes;
    }
    void Note(const char* text) override { Line("Note %s", text); }
    void MenusRebuild() override { Line("MenusRebuild"); }
    void MenusInvalidate() override { Line("MenusInvalidate"); }
    int32_t Placeholder(const char* step, int32_t value) override {
        Line("%s %d", step, int(value));
        return placeholderAnswer;
    }
};

// Fresh shell state on a recording host, with the stand-ins' state reset
// and internal errors thrown.
class ShellTest : public DbTest {
  protected:
    RecordingShellHost host;

    void SetUp() override {
        DbTest::SetUp();
        LangInit();
        ShellStateReset();
        FrameTimerReset();
        CursorKindReset();
        g_editHandlers = EditHandlers{};
        ToolEventHook = nullptr;
        ShellHostInstall(&host);
    }
    void TearDown() override {
        ShellStateReset();
        g_editHandlers = EditHandlers{};
        ToolEventHook = nullptr;
        ShellHostInstall(nullptr);
        DbTest::TearDown();
    }
    // A loaded (valid) empty design.
    void ValidDesign() {
        DbHdr().valid = 1;
        DbHdr().modified = 0;
    }
    // The board window in the Design view, with the view handlers' 30032
    // answering 1.
    void OpenBoard() {
        g_editHandlers.artCommand = &AcceptOpen;
        g_editHandlers.urWindowProc = &AcceptOpen;
        ASSERT_EQ(ViewInstall(30834), 1);
        ASSERT_NE(g_shell.boardWindow, 0);
        gCurWin = BoardWindowAppWindow();
        g_shell.display = g_shell.boardView->display;
        host.lines.clear();
        host.windows[g_shell.boardWindow].received.clear();
    }
    static int32_t AcceptOpen(int32_t command) { return command == 30032 ? 1 : 0; }
};
