// The placement tool's recording host and test driver. The host writes one
// text line per call with its arguments ("DrawAlt 5", "MsgNote No nearby
// component or pin"); confirmations, view installs and the component edit
// dialog are answered from queues (yes / 1 when empty); windowCommand
// dispatches at once through the tool as the shell does for the front
// board window. Its dialog runner plays a script: DlgRunModal calls the
// handler with 4, applies the next step's item values and presses OK
// (handler code 1; a refusal takes the next step) or Cancel (code 2).
// The driver sets window fields and sends commands as the shell's tool
// dispatch does: the hook first, what it answers 0 to UpCommand.
#pragma once
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "db/lang.h"
#include "place/plpair.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"

class RecordingPlaceHost : public PlaceHost {
  public:
    struct DlgItem {
        int32_t value = 0;
        std::string text;
        bool enabled = true;
    };
    struct DlgStep {
        std::map<int32_t, std::string> texts; // item texts to type
        std::map<int32_t, int32_t> values;    // control values to set
        bool ok = true;                       // OK, else Cancel
    };

    std::vector<std::string> lines;
    PlaceAppWindow window;
    std::deque<int32_t> confirms, views, edits;
    std::deque<DlgStep> script;
    std::map<int32_t, DlgItem> items;
    std::vector<PlPairEntry> ratLines; // every flight line drawn
    PlaceHookProc hook = nullptr;
    PlaceIdleProc idle = nullptr;
    int32_t displayInit = 1;

    void Log(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char text[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        lines.push_back(text);
    }
    // The lines written since the last call.
    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(lines);
        return out;
    }
    bool Saw(const std::string& line) const {
        for (const std::string& l : lines)
            if (l == line) return true;
        return false;
    }

    PlaceAppWindow& AppWindow() override { return window; }
    void UBeep() override { Log("UBeep"); }
    void AlertMessage(const char* text) override { Log("AlertMessage %s", text); }
    int32_t ConfirmMessage(const char* text) override {
        Log("ConfirmMessage %s", text);
        return Next(confirms);
    }
    void MsgNote(const char* text) override { Log("MsgNote %s", text); }
    void MsgInfo(const char* text) override { Log("MsgInfo %s", text); }
    int32_t MsgPromptId(int32_t id) override {
        Log("MsgPromptId %d", id);
        return id;
    }
    int32_t SetCursorKind(int32_t kind) override {
        Log("SetCursorKind %d", kind);
        return 0;
    }
    void ObjectInfoPrint(int32_t index, int32_t kind, int32_t object, int32_t sub,
                         int32_t flag) override {
        Log("ObjectInfoPrint %d %d %d %d %d", index, kind, object, sub, flag);
    }
    void StatusLineUpdate(int32_t parts) override { Log("StatusLineUpdate %d", parts); }
    void ShowTargetPoint(int32_t x, int32_t y) override { Log("ShowTargetPoint %d %d", x, y); }
    void NotImplemented() override { Log("NotImplemented"); }
    void NotImplemented2(int32_t command) override { Log("NotImplemented2 %d", command); }
    void NotImplemented3() override { Log("NotImplemented3"); }
    int32_t NotImplemented4() override {
        Log("NotImplemented4");
        return 1;
    }
    PlaceHookProc ToolEventHook() override { return hook; }
    void SetToolEventHook(PlaceHookProc h) override {
        Log("SetToolEventHook %s", h ? "tool" : "none");
        hook = h;
    }
    void SetIdleTask(PlaceIdleProc task) override {
        Log("SetIdleTask %s", task ? "task" : "none");
        idle = task;
    }
    int32_t windowCommand(int32_t command) override {
        Log("windowCommand %d", command);
        return Dispatch(command);
    }
    void BroadcastCommand(int32_t command) override { Log("BroadcastCommand %d", command); }
    void menuAddCommand(int32_t one, int32_t menu, int32_t command) override {
        Log("menuAddCommand %d %d %d", one, menu, command);
    }
    void menuAddSeparator(int32_t one, int32_t menu) override {
        Log("menuAddSeparator %d %d", one, menu);
    }
    void menuEnableCommand(int32_t command, int32_t state) override {
        Log("menuEnableCommand %d %d", command, state);
    }
    int32_t ViewInstall(int32_t view) override {
        Log("ViewInstall %d", view);
        return Next(views);
    }
    int32_t DisplayInit() override {
        Log("DisplayInit");
        return displayInit;
    }
    void upResetDrawState() override { Log("upResetDrawState"); }
    void PaintAlt() override { Log("PaintAlt"); }
    void PaintOriginal() override { Log("PaintOriginal"); }
    void PaintAltLast() override { Log("PaintAltLast"); }
    void DrawAlt(int32_t mode) override { Log("DrawAlt %d", mode); }
    void DrawRatLines(const PlPairTable* entries, int32_t mode) override {
        Log("DrawRatLines %d", mode);
        if (entries)
            ratLines.insert(ratLines.end(), entries->entry, entries->entry + entries->count);
    }
    void RatLinesFree() override { Log("RatLinesFree"); }
    void DrawBoardObject(const void*, int32_t mode, int32_t first, int32_t last,
                         int32_t highlight) override {
        Log("DrawBoardObject %d %d %d %d", mode, first, last, highlight);
    }

    void DlgOpen(PlaceDlgHandler handler, int32_t key, const char* title) override {
        Log("DlgOpen %d %s", key, title ? title : "");
        dlgHandler = handler;
        items.clear();
    }
    int32_t DlgRunModal() override {
        Log("DlgRunModal");
        if (dlgHandler) dlgHandler(kDlgInit);
        while (!script.empty()) {
            DlgStep step = script.front();
            script.pop_front();
            for (const auto& [id, text] : step.texts)
                items[id].text = text;
            for (const auto& [id, value] : step.values)
                items[id].value = value;
            if (!step.ok) {
                if (dlgHandler) dlgHandler(kDlgCancel);
                return 0;
            }
            if (!dlgHandler || dlgHandler(kDlgOk)) return 1;
        }
        if (dlgHandler) dlgHandler(kDlgCancel);
        return 0;
    }
    void DlgSetButton(int32_t style, int32_t id, int32_t columns, int32_t value,
                      int32_t state) override {
        Log("DlgSetButton %d %d %d %d %d", style, id, columns, value, state);
        items[id].value = value;
        items[id].enabled = !(uint32_t(style) & kDlgDisabledStyle);
    }
    void DlgSetText(int32_t id, int32_t arg, const char* text) override {
        Log("DlgSetText %d %d %s", id, arg, text);
        items[id].text = text;
    }
    void DlgSetStaticText(int32_t kind, int32_t id, const char* text, int32_t arg,
                          int32_t enabled) override {
        Log("DlgSetStaticText %d %d %s %d %d", kind, id, text, arg, enabled);
        items[id].text = text;
        items[id].enabled = enabled != 0;
    }
    void DlgSetItem(int32_t id, const char* text, int32_t width) override {
        Log("DlgSetItem %d %s %d", id, text, width);
        items[id].text = text;
    }
    int32_t DlgGetItemValue(int32_t id) override { return items[id].value; }
    void DlgGetItemText(int32_t id, char* out, int32_t max) override {
        std::snprintf(out, size_t(max), "%s", items[id].text.c_str());
    }
    int32_t DlgGetRangedNumber(int32_t id, int32_t* out, int32_t min, int32_t max) override {
        const std::string& t = items[id].text;
        if (t.empty()) return 1; // the no-limit value stays
        const long v = std::strtol(t.c_str(), nullptr, 10);
        if (v < min || v > max) {
            const char* label = LangLabel(id);
            char text[256];
            std::snprintf(text, sizeof text, "%s must be between %d and %d.", label ? label : "",
                          min, max);
            AlertMessage(text);
            return 0;
        }
        *out = int32_t(v);
        return 1;
    }
    void DlgFocusItem(int32_t id) override { Log("DlgFocusItem %d", id); }
    int32_t editCompDialogRun() override {
        Log("editCompDialogRun");
        return Next(edits);
    }
    int32_t ReconnectNets() override {
        Log("ReconnectNets");
        return 0;
    }

    // The shell's tool dispatch: the hook first, what it answers 0 to the
    // tool.
    int32_t Dispatch(int32_t command) {
        if (hook && hook(command)) return 1;
        return UpCommand(command);
    }

  private:
    enum : int32_t { kDlgInit = 4, kDlgOk = 1, kDlgCancel = 2 };
    static constexpr uint32_t kDlgDisabledStyle = 0x20000000;
    static int32_t Next(std::deque<int32_t>& q) {
        if (q.empty()) return 1;
        const int32_t v = q.front();
        q.pop_front();
        return v;
    }
    PlaceDlgHandler dlgHandler = nullptr;
};

class PlaceToolDriver {
  public:
    explicit PlaceToolDriver(RecordingPlaceHost& host) : host_(host) {}
    int32_t Send(int32_t command) { return host_.Dispatch(command); }
    void At(int32_t x, int32_t y) {
        host_.window.queryX = x;
        host_.window.queryY = y;
    }
    int32_t Click(int32_t x, int32_t y) {
        At(x, y);
        return Send(kUpClick);
    }
    int32_t Rect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        host_.window.pickMinX = x1;
        host_.window.pickMinY = y1;
        host_.window.pickMaxX = x2;
        host_.window.pickMaxY = y2;
        return Send(kUpButtonDown);
    }
    // Tracks the cursor to (x, y) and, when asked, lets the button go.
    void Drag(int32_t x, int32_t y, bool drop = false) {
        At(x, y);
        Send(kUpTrack);
        if (drop) Send(kUpButtonUp);
    }

  private:
    RecordingPlaceHost& host_;
};
