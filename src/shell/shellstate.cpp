// The shell's application state and the registry of live view records.
// A view record is registered from AppWindowNew until AppWindowFree; the
// registry is a plain list (a handful of views are open at a time).
#include "shell/shellstate.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

ShellState g_shell;

namespace {
std::vector<AppWindow*> s_live;
AppWindow s_none{};
} // namespace

void ShellSetIdleTask(IdleTaskProc task) {
    g_shell.idleTask = task;
}

AppWindow* AppWindowNew() {
    auto* w = static_cast<AppWindow*>(std::calloc(1, sizeof(AppWindow)));
    if (w) s_live.push_back(w);
    return w;
}

void AppWindowFree(AppWindow* w) {
    if (!w) return;
    s_live.erase(std::remove(s_live.begin(), s_live.end(), w), s_live.end());
    if (g_shell.curWin == w) g_shell.curWin = nullptr;
    std::free(w);
}

bool AppWindowLive(const AppWindow* w) {
    return w && std::find(s_live.begin(), s_live.end(), w) != s_live.end();
}

AppWindow* FrontAppWindowOf() {
    if (g_shell.curWin) return g_shell.curWin;
    s_none = AppWindow{};
    return &s_none;
}

void ShellStateReset() {
    std::vector<AppWindow*> all;
    all.swap(s_live);
    for (AppWindow* w : all) {
        if (w->view) std::free(w->view->display);
        std::free(w->view);
        std::free(w);
    }
    g_shell = ShellState{};
}
