// POSIX side of the event loop: there is no window system, so there is no
// mouse, no key is down, no message is ever queued and the wait is a plain
// sleep bounded by its time limit.
#include <cstdlib>
#include <time.h>

#include "toolbox/core/osinput.h"

namespace {
// An unbounded wait on a system without messages would never end; it
// sleeps this long instead.
constexpr uint32_t kPosixLongestWaitMs = 100;
} // namespace

void PlatformMouseClient(Point32* out) {
    *out = Point32{0, 0};
}
void PlatformMouseScreen(Point32* out) {
    *out = Point32{0, 0};
}
uint16_t PlatformKeyModifiers() {
    return 0;
}
bool PlatformButtonDown(int32_t) {
    return false;
}
void PlatformMessagePump() {}
bool PlatformMessageQueued() {
    return false;
}
bool PlatformButtonMessageQueued() {
    return false;
}

void PlatformWaitMessage(uint32_t ms) {
    if (ms > kPosixLongestWaitMs) ms = kPosixLongestWaitMs;
    timespec ts{time_t(ms / 1000), long(ms % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
}

int16_t PlatformKeyScan(uint8_t character) {
    return int16_t(character);
}
void PlatformCaptureMouse(void*) {}
void PlatformReleaseMouse() {}
void PlatformExitProcess(int32_t code) {
    std::exit(code);
}
