// Where a dialog goes in its placement area: the area is cut by the
// placement code, then the dialog is centred in it (halves toward zero).
#include "toolbox/ui/xdlg.h"

namespace {

constexpr int32_t kPlaceNone = 0;
constexpr int32_t kPlaceTop = 1;
constexpr int32_t kPlaceUpperThird = 2;
constexpr int32_t kPlaceLowerThird = 4;

} // namespace

void PlaceDialogBounds(Rect32* bounds, const Rect32* area, int32_t code) {
    if (code == kPlaceNone) return;
    int32_t width = bounds->right - bounds->left;
    int32_t height = bounds->bottom - bounds->top;
    Rect32 a = *area;
    int32_t third = (a.bottom - a.top - height) / 3;
    if (third <= 1 || code == kPlaceTop)
        a.bottom = a.top + height;
    else if (code == kPlaceUpperThird)
        a.bottom -= third;
    else if (code == kPlaceLowerThird)
        a.top += third;
    bounds->top = a.top + (a.bottom - a.top - height) / 2;
    bounds->left = a.left + (a.right - a.left - width) / 2;
    bounds->bottom = bounds->top + height;
    bounds->right = bounds->left + width;
}
