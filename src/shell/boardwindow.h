// The board window's event procedure, on window ids and view records so
// that it is the same code on real windows and in the native tests: the
// idle handling (the idle task's bursts, the query point, the cursor), the
// close request, closing, activation, resize, update, mouse, keys, scroll
// and commands.
#pragma once
#include <cstdint>

#include "shell/shellstate.h"
#include "toolbox/core/windowevent.h"

// The result of the event (1 unless the event's handling says otherwise).
int32_t BoardWindowEventOf(int32_t window, AppView* view, WindowEvent* event);
// The idle event (kind 0).
int32_t BoardIdle(int32_t window, const WindowEvent* event);

// Key codes and flags the board window reads.
enum : int32_t {
    kKeyEscape = 27,
    kKeySpace = 32,
    kKeyPeriod = '.',
    kKeyCommandFlag = 0x20, // with "." acts as Esc
    kMouseButtonPrimary = 0,
};
