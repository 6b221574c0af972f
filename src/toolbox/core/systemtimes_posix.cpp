// POSIX: no window system to ask; the customary defaults and no display.
#include "toolbox/core/systemtimes.h"

namespace {
constexpr int32_t kDefaultDoubleClickMs = 500;
constexpr int32_t kDefaultCaretBlinkMs = 530;
} // namespace

int32_t PlatformDoubleClickMs() {
    return kDefaultDoubleClickMs;
}
int32_t PlatformCaretBlinkMs() {
    return kDefaultCaretBlinkMs;
}
int32_t PlatformScreenColourDepth() {
    return kScreenDepthUnknown;
}
