// The program's bodies of the board-window services the check sweeps and
// the route copy call (rules/checkshell.h, rules/routecopyshell.h): the
// front view's fields come from the view being served; the drawing, the
// beep and the dialogs do for now what the native stand-ins do.
#include <windows.h>

#include "rules/checkshell.h"
#include "rules/ruleadapt.h"
#include "rules/routecopyshell.h"
#include "shell/shellhost.h"
#include "shell/shellstate.h"

namespace {
enum : int32_t { kTestPtDialogOptions = 17 };
}

void UBeep() {
    if (ShellHostInstalled()) Host().Beep();
}
void InvalidateFrontWindow() {
    if (ShellHostInstalled() && g_shell.boardWindow) Host().InvalidateWindow(g_shell.boardWindow);
}
void NotImplemented() {
    OutputDebugStringA("Not implemented\n");
}
void NotImplemented2() {
    OutputDebugStringA("Not implemented\n");
}
void NotImplemented3() {
    OutputDebugStringA("Not implemented\n");
}
void NotImplemented4() {
    OutputDebugStringA("Not implemented\n");
}
bool DrcSweepOptionsDialog() {
    return true;
}
bool TestPtOptionsDialog() {
    CheckOptions = kTestPtDialogOptions;
    return true;
}
void PaintMapCell(int32_t, int32_t, int32_t) {}
int32_t FrontActiveLayer() {
    int32_t layer = FrontAppWindowOf()->activeLayer;
    return layer > 0 ? layer : 1; // a view without an active layer works on layer 1
}

PickRect FrontPickedRect() {
    const AppWindow* w = FrontAppWindowOf();
    return PickRect{w->pickX1, w->pickY1, w->pickX2, w->pickY2};
}
void FrontQueryPoint(int32_t* x, int32_t* y) {
    const AppWindow* w = FrontAppWindowOf();
    *x = w->queryX;
    *y = w->queryY;
}
void DrawPathSegments(const Conn*, int32_t) {}
