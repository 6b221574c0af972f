// Without a system look: every theme background is white and the desktop
// is a 1280 x 1024 screen.
#include "toolbox/ui/colour.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/systemlook.h"
#include "toolbox/ui/windowbackcolour.h"

namespace {
constexpr int16_t kHeadlessWidth = 1280, kHeadlessHeight = 1024;
}

void SetBackgroundForThemeKind(int32_t) {
    SetBackgroundColour(kColourWhiteValue);
    StoreCurrentWindowBackColour();
}

void DesktopBounds(int32_t, Rect16* out) {
    *out = Rect16{0, 0, kHeadlessHeight, kHeadlessWidth};
}
