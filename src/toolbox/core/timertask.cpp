// Timer tasks over loop timers, and view timers over timer tasks. Tasks are
// pointer blocks; view timers come from the default heap pool.
#include "toolbox/core/timertask.h"

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowlist.h"

namespace {
TimerStateProvider g_menuTracking = nullptr;
TimerStateProvider g_dispatchUnderway = nullptr;

double SecondsOf(int32_t ms) {
    return ms == kTimerTaskNoInterval ? -1.0 : ms / 1000.0;
}

bool MustDefer() {
    return (g_menuTracking && g_menuTracking()) || (g_dispatchUnderway && g_dispatchUnderway());
}
} // namespace

int32_t InstallTimerTask(int32_t intervalMs, int32_t defer, TimerTaskProc procedure, void* userData,
                         TimerTask** out) {
    if (out) *out = nullptr;
    if (intervalMs == 0 || !procedure) return kTimerResultBadArgument;
    auto* task = static_cast<TimerTask*>(NewPointerBlockClear(nullptr, sizeof(TimerTask)));
    if (!task) return kTimerResultNoMemory;
    task->procedure = procedure;
    task->userData = userData;
    task->defer = defer;
    double seconds = SecondsOf(intervalMs);
    int32_t result = EventLoopTimerInstall(MainLoopTimerList(), seconds, seconds, &TimerTaskFire,
                                           task, &task->timer);
    if (result != kTimerResultOk) {
        FreeHeapBlock(task);
        return result;
    }
    if (out) *out = task;
    return kTimerResultOk;
}

void RemoveTimerTask(TimerTask* task) {
    if (!task) return;
    EventLoopTimerRemove(task->timer);
    FreeHeapBlock(task);
}

void SetTimerTaskNextFire(TimerTask* task, int32_t ms) {
    if (task) EventLoopTimerSetNextFire(task->timer, SecondsOf(ms));
}

void TimerTaskFire(LoopTimer* timer, void* userData) {
    auto* task = static_cast<TimerTask*>(userData);
    if (task->defer && MustDefer()) {
        EventLoopTimerSetNextFire(timer, kTimerTaskDeferSeconds);
        return;
    }
    task->procedure(task, task->userData);
}

int32_t ViewTimerInstall(int32_t intervalMs, int32_t defer, ViewTimerProc procedure, void* userData,
                         ViewTimer** out) {
    if (out) *out = nullptr;
    if (!procedure) return kTimerResultBadArgument;
    auto* view =
        static_cast<ViewTimer*>(NewPointerBlockClear(DefaultHeapPool(), sizeof(ViewTimer)));
    if (!view) return kTimerResultNoMemory;
    view->procedure = procedure;
    view->userData = userData;
    int32_t result = InstallTimerTask(intervalMs, defer, &ViewTimerFire, view, &view->task);
    if (result != kTimerResultOk) {
        FreeHeapBlock(view);
        return result;
    }
    if (out) *out = view;
    return kTimerResultOk;
}

void ViewTimerRemove(ViewTimer* timer) {
    if (!timer) return;
    RemoveTimerTask(timer->task);
    FreeHeapBlock(timer);
}

void ViewTimerFire(TimerTask*, void* userData) {
    auto* view = static_cast<ViewTimer*>(userData);
    // The current port is kept: the window's again when it still exists
    // (found by its sequence number), else the port as it was, unless the
    // procedure disposed the window that port belonged to.
    void* port = DrawingLayer().currentPort();
    WindowObject* window = WindowObjectOfPort(port);
    int32_t id = window ? window->sequence : 0;
    view->procedure(view, view->userData);
    if (!window)
        DrawingLayer().setCurrentPort(port);
    else if (WindowObjectFromId(id) == window)
        MakeWindowCurrentPort(window);
}

void SetMenuTrackingProvider(TimerStateProvider provider) {
    g_menuTracking = provider;
}
void SetDispatchUnderwayProvider(TimerStateProvider provider) {
    g_dispatchUnderway = provider;
}
