// The program's bodies of the shell services the core calls (db/shellsvc.h
// and the placement engine's plshell.h): each forwards to the shell's own
// function. The services whose work other parts of the shell build (the
// display, alerts, the abort key, backups) do for now what the stand-ins
// of the native programs do.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "db/dbheader.h"
#include "db/dblog.h"
#include "db/err.h"
#include "db/runopt.h"
#include "db/shellsvc.h"
#include "files/binload.h"
#include "router/viewzoom.h"
#include "shell/dispatch.h"
#include "shell/frame.h"
#include "shell/msgline.h"
#include "shell/postcmd.h"
#include "shell/shellhost.h"
#include "shell/shellstate.h"
#include "shell/views.h"
#include "toolbox/core/alerts.h"

namespace {

enum : int32_t {
    kZoomContentPixels = 1000, // the view arithmetic's content until the board display
};
bool s_abortLatched = false;

} // namespace

ToolEventHookProc ToolEventHook = nullptr;
bool g_gridDoubling = false;
uint16_t MzFlags = 0;
uint16_t MzFlags2 = 0;
int16_t g_forceInstall = 0;

[[noreturn]] void FatalErrorAlert(ErrCode code, const char* detail) {
    FatalRoad(code, detail);
}

void AlertMessage(const char* text) {
    if (RunOptionsQuiet()) return;
    if (ShellHostInstalled())
        Host().Alert(text);
    else
        ShowMessageAlert(text);
}

bool ConfirmMessage(const char* text) {
    if (RunOptionsQuiet()) return true;
    return ShellHostInstalled() ? Host().Confirm(text) : true;
}

void WarningShow(const char*) {}

void SetIdleTask(IdleTaskProc task) {
    ShellSetIdleTask(task);
}

bool UserAbort() {
    return s_abortLatched;
}

void UserAbortReset() {
    s_abortLatched = false;
}

void BusyFeedback(int32_t) {}

void PostAppCommand(int32_t command) {
    ShellPostAppCommand(command);
}

int32_t PostFrameCommand(int32_t command) {
    return ShellPostFrameCommand(command);
}

void BroadcastCommand(int32_t command) {
    ShellBroadcastCommand(command);
}

void menuEnableCommand(int32_t, int32_t) {}

void SystemBeep() {
    if (ShellHostInstalled()) Host().Beep();
}

int32_t SetCursorKind(int32_t kind) {
    return CursorKindSet(kind);
}

void StatusLineUpdate(int32_t) {}

void ZoomTo(int32_t cx, int32_t cy, int32_t width, int32_t height) {
    ViewZoomCompute(cx, cy, width, height, kZoomContentPixels, kZoomContentPixels);
}

void MsgNote(const char* text) {
    MessageLineNote(text);
}
void MsgPrompt(const char* text) {
    MessageLinePrompt(text);
}
void MsgInfo(const char* text) {
    MessageLineInfo(text);
}
const char* MsgResult(const char* text) {
    return MessageLineResult(text);
}
void MsgFlush() {
    MessageLineFlush();
}

int32_t DisplayInit() {
    return 1;
}
void DisplayClose() {}
void DrawBoardObject(const void*, int32_t, int32_t, int32_t, int32_t) {}
void ShowTrackPath(int32_t, const void*) {}
void PaintAlt() {}
void RoutingBoxShow(int32_t) {}
void batchRefresh() {}

void ViewReinstall() {
    ViewRefresh(true);
}

AppWindow* FrontAppWindow() {
    return FrontAppWindowOf();
}

const FileSpec* DesignFileSpec() {
    return g_shell.hasDesignFile ? &g_shell.designFile : nullptr;
}

bool BackupWrite(FileSpec* file) {
    return BinSave(file, true);
}
