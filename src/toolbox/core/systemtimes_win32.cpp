// Win32: the double-click and caret-blink times of USER32 and the bits
// per pixel of the "DISPLAY" information context.
#include <windows.h>

#include "toolbox/core/systemtimes.h"

int32_t PlatformDoubleClickMs() {
    return int32_t(GetDoubleClickTime());
}

int32_t PlatformCaretBlinkMs() {
    return int32_t(GetCaretBlinkTime());
}

int32_t PlatformScreenColourDepth() {
    HDC dc = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    if (!dc) return kScreenDepthUnknown;
    int32_t depth = GetDeviceCaps(dc, BITSPIXEL);
    DeleteDC(dc);
    return depth;
}
