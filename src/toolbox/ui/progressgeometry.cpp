// The progress message window's geometry.
#include "toolbox/ui/progressgeometry.h"

void ProgressWindowGeometry(const Rect32& measured, Rect32* item, int32_t* width, int32_t* height) {
    int32_t textWidth = measured.right - measured.left;
    if (textWidth < kProgressMinTextWidth) textWidth = kProgressMinTextWidth;
    item->left = measured.left - kProgressItemBorder;
    item->top = measured.top - kProgressItemBorder;
    item->right = measured.left + textWidth + kProgressItemBorder;
    item->bottom = measured.bottom + kProgressItemBorder;
    // The item shrunk by the inset, then grown by its own left and top
    // offsets toward the right and the bottom.
    int32_t left = item->left + kProgressContentInset;
    int32_t top = item->top + kProgressContentInset;
    int32_t right = item->right - kProgressContentInset;
    int32_t bottom = item->bottom - kProgressContentInset;
    *width = right + left;
    *height = bottom + top;
}
