// The user-interface times through the tick conversion.
#include "toolbox/core/systemtimes.h"

#include "toolbox/core/ticks.h"

int32_t DoubleClickTicks() {
    return MsToTicks(PlatformDoubleClickMs());
}
int32_t CaretBlinkTicks() {
    return MsToTicks(PlatformCaretBlinkMs());
}
int32_t ScreenColourDepth() {
    return PlatformScreenColourDepth();
}
