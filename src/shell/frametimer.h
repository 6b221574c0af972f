// The frame timer's clock work: the route-time accounting and the
// automatic backup, deferred through a posted command (30083) so that the
// work runs between two events, and suspended while the board window is
// inactive.
#pragma once
#include <cstdint>

enum : int32_t {
    kFrameTimerCall = 0,     // the timer's own call every 3,333 ms
    kFrameTimerAccount = -1, // the accounting
};

// Stamps the reference time (the local time in whole seconds).
void TimeStampReset();
void FrameTimer(int32_t mode);
// 1 on the board window's activation, 0 on its deactivation; the suspend
// count.
int32_t FrameTimerSuspend(int32_t activate);
// Whether the frame timer is installed (AppRun installs it).
void FrameTimerSetInstalled(bool installed);
// A routing step ran: the next accounting adds the elapsed time.
void FrameTimerRouteStep();
// Every backup attempt starts the modified time over.
void FrameTimerBackupReset();
// Test-only: the start state.
void FrameTimerReset();
int32_t FrameTimerBackupSeconds();
