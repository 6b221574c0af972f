// Stand-ins of the shell state and display calls the router uses: the idle
// task and tool event hook slots, the posted-command FIFO that a driver
// reads, the cursor kind, the front window record, the router's option
// words, the open design's file record, and one text line per display call
// with its arguments.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "db/shellsvc.h"
#include "headless/headless.h"
#include "headless/msgprompt.h"

namespace {

IdleTaskProc s_idle = nullptr;
std::deque<int32_t> s_commands;
int32_t s_cursor = kCursorNormal;
AppWindow s_front = [] {
    AppWindow w{};
    w.kind = kWindowRouteView;
    return w;
}();
std::vector<std::string> s_calls;
bool s_countOnly = false; // calls counted, not recorded
int64_t s_callCount = 0;
FileSpec s_design;
bool s_hasDesign = false;
int32_t s_visible[4] = {};

void Record(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Record(const char* format, ...) {
    ++s_callCount;
    if (s_countOnly) return;
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    s_calls.emplace_back(line);
}

const char* Text(const char* t) {
    return t ? t : "";
}

} // namespace

ToolEventHookProc ToolEventHook = nullptr;
bool g_gridDoubling = false;
uint16_t MzFlags = 0;
uint16_t MzFlags2 = 0;
int16_t g_forceInstall = 0;

void SetIdleTask(IdleTaskProc task) {
    s_idle = task;
}

void PostAppCommand(int32_t command) {
    s_commands.push_back(command);
}

void BroadcastCommand(int32_t command) {
    Record("BroadcastCommand(%d)", int(command));
}

void SystemBeep() {
    Record("SystemBeep()");
}

void menuEnableCommand(int32_t command, int32_t state) {
    Record("menuEnableCommand(%d, %d)", int(command), int(state));
}

int32_t SetCursorKind(int32_t kind) {
    int32_t previous = s_cursor;
    s_cursor = kind;
    return previous;
}

void StatusLineUpdate(int32_t parts) {
    Record("StatusLineUpdate(%d)", int(parts));
}

void MsgNote(const char* text) {
    Record("MsgNote(%s)", Text(text));
}
void MsgPrompt(const char* text) {
    HeadlessMsgPromptNote(text);
    Record("MsgPrompt(%s)", Text(text));
}
void MsgInfo(const char* text) {
    Record("MsgInfo(%s)", Text(text));
}
const char* MsgResult(const char* text) {
    Record("MsgResult(%s)", Text(text));
    return text;
}
void MsgFlush() {
    Record("MsgFlush()");
}

int32_t DisplayInit() {
    Record("DisplayInit()");
    return 1;
}

void DisplayClose() {
    Record("DisplayClose()");
}

void DrawBoardObject(const void*, int32_t mode, int32_t first, int32_t last, int32_t highlight) {
    Record("DrawBoardObject(%d, %d, %d, %d)", int(mode), int(first), int(last), int(highlight));
}

void ShowTrackPath(int32_t mode, const void*) {
    Record("ShowTrackPath(%d)", int(mode));
}

void PaintAlt() {
    Record("PaintAlt()");
}

void RoutingBoxShow(int32_t on) {
    Record("RoutingBoxShow(%d)", int(on));
}

void batchRefresh() {
    Record("batchRefresh()");
}

void ViewReinstall() {
    Record("ViewReinstall()");
}

AppWindow* FrontAppWindow() {
    return &s_front;
}

const FileSpec* DesignFileSpec() {
    return s_hasDesign ? &s_design : nullptr;
}

// ---- stand-in only ------------------------------------------------------------

IdleTaskProc HeadlessIdleTask() {
    return s_idle;
}

int32_t HeadlessNextCommand() {
    if (s_commands.empty()) return 0;
    int32_t c = s_commands.front();
    s_commands.pop_front();
    return c;
}

int32_t HeadlessCursorKind() {
    return s_cursor;
}

const std::vector<std::string>& HeadlessShellCalls() {
    return s_calls;
}

void HeadlessSetDesignFile(const FileSpec* spec) {
    s_hasDesign = spec != nullptr;
    if (spec) s_design = *spec;
}

void HeadlessShellReset() {
    s_idle = nullptr;
    ToolEventHook = nullptr;
    s_commands.clear();
    s_cursor = kCursorNormal;
    s_front = AppWindow{};
    s_front.kind = kWindowRouteView;
    s_calls.clear();
    s_countOnly = false;
    s_callCount = 0;
    s_hasDesign = false;
    g_gridDoubling = false;
    MzFlags = 0;
    MzFlags2 = 0;
    g_forceInstall = 0;
    std::memset(s_visible, 0, sizeof s_visible);
}

void HeadlessSetVisibleArea(const int32_t area[4]) {
    std::memcpy(s_visible, area, sizeof s_visible);
}

void HeadlessVisibleArea(int32_t out[4]) {
    std::memcpy(out, s_visible, sizeof s_visible);
}

void HeadlessSetShellCallsCountOnly(bool on) {
    s_countOnly = on;
}

int64_t HeadlessShellCallCount() {
    return s_callCount;
}
