// Window idle intervals and idle timers.
#include "toolbox/core/windowidle.h"

#include <cmath>

#include "toolbox/core/portrecord.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/timertask.h"

namespace {

constexpr double kIdleTicksPerSecond = 59.2;
constexpr int32_t kIdleDeferFlag = 1;

int32_t g_defaultInterval = kIdleNone;
const PortRecord* g_activePort = nullptr;

bool LastActivated(const PortRecord* port) {
    return port && port == g_activePort;
}
bool (*g_isActive)(const PortRecord*) = &LastActivated;

} // namespace

int32_t IdleIntervalMs(int32_t ticks) {
    double ms = std::floor(double(ticks) * 1000.0 / kIdleTicksPerSecond);
    if (ms < 1) return 1;
    if (ms > INT32_MAX) return INT32_MAX;
    return int32_t(ms);
}

void SetIdleActiveProvider(bool (*provider)(const PortRecord* port)) {
    g_isActive = provider ? provider : &LastActivated;
}

bool IsPortActive(const PortRecord* port) {
    return g_isActive(port);
}

void WindowSetIdleInterval(PortRecord* port, int32_t ticks) {
    if (ticks < 0 && ticks != kIdleCaretBlink) ticks = kIdleNone;
    if (!port) {
        g_defaultInterval = ticks;
        return;
    }
    if (port->idleInterval == ticks) return;
    port->idleInterval = ticks;
    if (port->idleTask || g_isActive(port)) WindowIdleTimerInstall(port);
}

int32_t WindowIdleInterval(const PortRecord* port) {
    int32_t ticks = port ? port->idleInterval : g_defaultInterval;
    if (ticks == kIdleCaretBlink) return CaretBlinkTicks();
    if (ticks < 0) return kIdleNever;
    return ticks;
}

void WindowIdleTimerRemove(PortRecord* port) {
    if (!port || !port->idleTask) return;
    RemoveTimerTask(port->idleTask);
    port->idleTask = nullptr;
}

void WindowIdleTimerInstall(PortRecord* port) {
    WindowIdleTimerRemove(port);
    if (!port) return;
    int32_t ticks = WindowIdleInterval(port);
    if (ticks < 0 || ticks == kIdleNever) return;
    InstallTimerTask(IdleIntervalMs(ticks), kIdleDeferFlag, &WindowIdleTimerFire, port,
                     &port->idleTask);
}

void WindowIdleActivate(PortRecord* port, bool active) {
    if (active) {
        g_activePort = port;
        WindowIdleTimerInstall(port);
    } else {
        if (g_activePort == port) g_activePort = nullptr;
        WindowIdleTimerRemove(port);
    }
}

void WindowIdleTimerFire(TimerTask*, void* data) {
    PortRecord* port = static_cast<PortRecord*>(data);
    if (!g_isActive(port)) return;
    OsEventRecord record;
    OsNullRecord(&record);
    DispatchToEventHandlers(port, &record);
}
