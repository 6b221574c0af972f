// The system's user-interface times and the screen's colour depth: the
// double-click and caret-blink times in ticks, and the bits per pixel of
// the display.
#pragma once
#include <cstdint>

// Without a display the depth is 1.
constexpr int32_t kScreenDepthUnknown = 1;

int32_t DoubleClickTicks();
int32_t CaretBlinkTicks();
int32_t ScreenColourDepth();

// The system's values (systemtimes_win32.cpp / systemtimes_posix.cpp).
int32_t PlatformDoubleClickMs();
int32_t PlatformCaretBlinkMs();
int32_t PlatformScreenColourDepth();
