// The system's colours and desktop through USER32.
#include <windows.h>

#include "toolbox/ui/colour.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/systemlook.h"
#include "toolbox/ui/windowbackcolour.h"

void SetBackgroundForThemeKind(int32_t kind) {
    int index = -1;
    switch (kind) {
    case kThemeBackButtonFace:
    case kThemeBackButtonFaceAlt:
        index = COLOR_BTNFACE;
        break;
    case kThemeBackMenu:
        index = COLOR_MENU;
        break;
    case kThemeBackHighlight:
        index = COLOR_HIGHLIGHT;
        break;
    default:
        break;
    }
    SetBackgroundColour(index < 0 ? kColourWhiteValue : RgbFromColorRef(GetSysColor(index)));
    StoreCurrentWindowBackColour();
}

void DesktopBounds(int32_t which, Rect16* out) {
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (which == kDesktopWorkArea) SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    NativeRect native{r.left, r.top, r.right, r.bottom};
    RectFromNativeRect(&native, out);
}
