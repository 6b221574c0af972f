// Timer tasks and view timers: the application's periodic work on the
// event loop's timer list. A task whose defer flag is set does not run
// while a menu is tracked or a dispatch is under way in the innermost loop
// level; it tries again half a second later. The two states are asked of
// replaceable providers (false until the event loop and the menus install
// theirs).
#pragma once
#include <cstdint>

#include "toolbox/core/looptimer.h"

struct TimerTask;
struct ViewTimer;
typedef void (*TimerTaskProc)(TimerTask* task, void* userData);
typedef void (*ViewTimerProc)(ViewTimer* timer, void* userData);
typedef bool (*TimerStateProvider)();

// Interval code of a task that never fires on its own.
constexpr int32_t kTimerTaskNoInterval = -1;
// A deferred task tries again after this long.
constexpr double kTimerTaskDeferSeconds = 0.5;
constexpr int32_t kTimerResultBadArgument = 87;

struct TimerTask {
    LoopTimer* timer;
    TimerTaskProc procedure;
    void* userData;
    int32_t defer;
};

struct ViewTimer {
    TimerTask* task;
    ViewTimerProc procedure;
    void* userData;
};

// Installed on MainLoopTimerList with first delay and interval ms / 1000 s
// (kTimerTaskNoInterval: never). 87 for an interval of 0 or a null
// procedure, 8 without memory.
int32_t InstallTimerTask(int32_t intervalMs, int32_t defer, TimerTaskProc procedure, void* userData,
                         TimerTask** out);
void RemoveTimerTask(TimerTask* task);
// ms kTimerTaskNoInterval: never.
void SetTimerTaskNextFire(TimerTask* task, int32_t ms);
// The loop timer procedure of every task.
void TimerTaskFire(LoopTimer* timer, void* task);

int32_t ViewTimerInstall(int32_t intervalMs, int32_t defer, ViewTimerProc procedure, void* userData,
                         ViewTimer** out);
void ViewTimerRemove(ViewTimer* timer);
// The task procedure of every view timer: calls its procedure with
// (view timer, user data).
void ViewTimerFire(TimerTask* task, void* viewTimer);

// "A menu is being tracked" and "the innermost loop level has a dispatch
// under way"; null restores the default (false).
void SetMenuTrackingProvider(TimerStateProvider provider);
void SetDispatchUnderwayProvider(TimerStateProvider provider);
