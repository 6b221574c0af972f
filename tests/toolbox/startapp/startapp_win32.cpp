// The start-up test application: the shell run as the product runs it.
// ApplicationStart takes its mutex name, log path and frame title from the
// environment; the handlers log one line per request and a "ready" line;
// WM_CLOSE to the frame ends it with exit code 0. With PLV_APP_IDLE set it
// also opens a document window and a repeating 3,333 ms task, and after
// 4 s logs the loop's wake-ups and the task's firings.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/startapp_log_win32.h"
#include "toolbox/core/applicationstart.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/shellrequests.h"
#include "toolbox/core/shellstart.h"
#include "toolbox/core/timertask.h"
#include "toolbox/core/windowcreate.h"
#include "toolbox/core/windowkinds.h"
#include "toolbox/core/windowobject_win32.h"

namespace {

constexpr int32_t kIdleTaskMs = 3333;
constexpr int32_t kIdleSpanMs = 4000;

std::string PathOf(const FileSpec* spec) {
    return std::string(spec->folder) + "\\" + spec->name;
}

std::string WindowText(WindowObject* window) {
    return window ? "window" : "none";
}

int g_firings = 0;
uint32_t g_wakeupsAtStart = 0;

void CountFiring(TimerTask*, void*) {
    ++g_firings;
}

void ReportIdle(TimerTask* task, void*) {
    RemoveTimerTask(task);
    Log("idle wakeups " + std::to_string(OsWaitReturnCount() - g_wakeupsAtStart) + " firings " +
        std::to_string(g_firings));
}

void StartIdleCase() {
    Rect16 content{40, 40, 240, 340};
    NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, 0, 0, 0, kBehindNone, &content, "Idle",
                      0, nullptr, nullptr);
    TimerTask* task = nullptr;
    InstallTimerTask(kIdleTaskMs, 0, &CountFiring, nullptr, &task);
    TimerTask* report = nullptr;
    InstallTimerTask(kIdleSpanMs, 0, &ReportIdle, nullptr, &report);
    g_wakeupsAtStart = OsWaitReturnCount();
}

} // namespace

int32_t AppMain() {
    InitApplicationShell(nullptr, 0);
    InstallCoreEventHandlers([] { Log("open-application"); },
                             [](const FileSpec* s) { Log("open " + PathOf(s)); },
                             [](const FileSpec* s) { Log("print " + PathOf(s)); }, nullptr,
                             [](const FileSpec* s, WindowObject* w, int16_t index, int16_t count) {
                                 Log("drop " + PathOf(s) + " " + WindowText(w) + " " +
                                     std::to_string(index) + " " + std::to_string(count));
                             });
    if (!Environment("PLV_APP_IDLE").empty()) StartIdleCase();
    return RunLoggedApplication();
}

int main() {
    return StartFromEnvironment();
}
