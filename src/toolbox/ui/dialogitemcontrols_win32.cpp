// Operations on single items' controls: unsigned numbers, cutting an edit
// text, a button's highlight, scroll-bar items' value and maximum, tabs
// (count, current tab), icons, progress bars' data, and the item under a
// point or holding the focus.
//
// Guarantees: an item of another kind, or a missing number, is left
// alone and the operation answers 0 (-1 for a tab index); a cut keeps the
// selection of a focused field within the new text.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "toolbox/core/portrecord.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/controlrules.h"
#include "toolbox/ui/dialog.h"
#include "toolbox/ui/dialogitemrules.h"
#include "toolbox/ui/dialogitemcontrols.h"
#include "toolbox/ui/dialogops.h"
#include "toolbox/ui/taggeddata.h"

namespace {

constexpr uint32_t kTagSelection = FourCC("sele");

DialogItemRecord* OfKind(WindowObject* dialog, int16_t number, DialogItemKind kind) {
    DialogItemKind found = kItemNone;
    DialogItemRecord* item = DialogItemByNumber(dialog, number, &found);
    return item && found == kind ? item : nullptr;
}

bool IsButton(DialogItemKind kind) {
    return kind == kItemPushButton || kind == kItemIconButton;
}

} // namespace

bool SetUnsignedDialogItemNumber(WindowObject* dialog, int16_t number, uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(value));
    return DialogItemSetText(dialog, number, text);
}

bool GetUnsignedDialogItemNumber(WindowObject* dialog, int16_t number, uint32_t* value) {
    char text[kItemTextRoom];
    if (DialogItemGetText(dialog, number, text) == 0) return false;
    *value = uint32_t(std::strtoul(text, nullptr, 10));
    return true;
}

bool TruncateDialogItemText(WindowObject* dialog, int16_t number, int32_t length) {
    DialogItemRecord* item = OfKind(dialog, number, kItemEditText);
    if (!item || length < 0) return false;
    char text[kItemTextRoom];
    int32_t now = DialogItemGetText(dialog, number, text);
    if (length >= now) return true;
    int16_t selection[2] = {0, 0};
    ControlGetData(item->control, 0, kTagSelection, int32_t(sizeof selection), selection, nullptr);
    text[length] = 0;
    DialogItemSetText(dialog, number, text);
    if (GetFocusedDialogItem(dialog) == number) {
        int16_t kept[2] = {int16_t(std::min<int32_t>(selection[0], length)),
                           int16_t(std::min<int32_t>(selection[1], length))};
        ControlSetData(item->control, 0, kTagSelection, int32_t(sizeof kept), kept);
    }
    return true;
}

bool SetButtonItemHighlight(WindowObject* dialog, int16_t number, int32_t mode) {
    DialogItemKind kind = kItemNone;
    DialogItemRecord* item = DialogItemByNumber(dialog, number, &kind);
    if (!item || !IsButton(kind)) return false;
    switch (mode) {
    case kButtonHighlightValue:
        ControlSetValue(item->control, 1);
        break;
    case kButtonHighlightPressed:
        ControlHilite(item->control, kPressedHighlight);
        break;
    default:
        ControlSetValue(item->control, 0);
        ControlHilite(item->control, kHighlightNone);
        break;
    }
    return true;
}

bool SetScrollItemMaximum(WindowObject* dialog, int16_t number, int32_t maximum) {
    DialogItemRecord* item = OfKind(dialog, number, kItemScrollBar);
    if (!item) return false;
    ControlSetMaximum(item->control, maximum);
    return true;
}

bool SetScrollItemValue(WindowObject* dialog, int16_t number, int32_t value) {
    DialogItemRecord* item = OfKind(dialog, number, kItemScrollBar);
    if (!item) return false;
    ControlSetValue(item->control, value);
    return true;
}

bool GetScrollItemValueAndMax(WindowObject* dialog, int16_t number, int32_t* value,
                              int32_t* maximum) {
    *value = *maximum = 0;
    DialogItemRecord* item = OfKind(dialog, number, kItemScrollBar);
    if (!item) return false;
    *value = ControlGetValue(item->control);
    *maximum = ControlGetMaximum(item->control);
    return true;
}

int32_t TabItemCount(WindowObject* dialog, int16_t number) {
    DialogItemRecord* item = OfKind(dialog, number, kItemTabs);
    return item ? ControlGetMaximum(item->control) : 0;
}

int32_t GetCurrentTab(WindowObject* dialog, int16_t number) {
    DialogItemRecord* item = OfKind(dialog, number, kItemTabs);
    return item ? ControlGetValue(item->control) - 1 : -1;
}

bool SetCurrentTab(WindowObject* dialog, int16_t number, int32_t index) {
    DialogItemRecord* item = OfKind(dialog, number, kItemTabs);
    if (!item || index < 0 || index >= ControlGetMaximum(item->control)) return false;
    ControlSetValue(item->control, index + 1);
    return true;
}

bool SetIconItemId(WindowObject* dialog, int16_t number, int16_t icon) {
    DialogItemKind kind = kItemNone;
    DialogItemRecord* item = DialogItemByNumber(dialog, number, &kind);
    if (!item || (kind != kItemIcon && kind != kItemIconButton)) return false;
    ControlSetData(item->control, 0, kTagIconResource, kTagIconResourceSize, &icon);
    TaggedDataPut(&item->taggedData, kItemTagIcon, &icon, int32_t(sizeof icon));
    return true;
}

void StoreProgressItemData(WindowObject* dialog, DialogItemRecord* item) {
    if (!item || ItemKind(item) != kItemProgressBar) return;
    ProgressItemData data{dialog, ItemNumber(item), ControlGetMinimum(item->control),
                          ControlGetMaximum(item->control), ControlGetValue(item->control)};
    TaggedDataPut(&item->taggedData, kItemTagProgress, &data, int32_t(sizeof data));
}

bool GetProgressItemData(WindowObject* dialog, int16_t number, ProgressItemData* out) {
    *out = ProgressItemData{};
    DialogItemRecord* item = OfKind(dialog, number, kItemProgressBar);
    return item && TaggedDataGet(item->taggedData, kItemTagProgress, out, int32_t(sizeof *out)) ==
                       int32_t(sizeof *out);
}

DialogItemRecord* DialogItemAtPoint(Point16 point, WindowObject* window, int32_t* part) {
    if (part) *part = 0;
    ToolboxDialogRecord* record = DialogRecordOf(window);
    if (!record) return nullptr;
    std::vector<DialogItemRecord*> order(size_t(DialogItemCount(&record->items)));
    int32_t count = ItemHitOrder(&record->items, order.data(), int32_t(order.size()));
    for (int32_t i = 0; i < count; ++i) {
        ToolboxControlRecord* control = order[size_t(i)]->control;
        if (!control || !(control->flags & kControlVisible) || !ControlIsEnabled(control)) continue;
        int32_t hit = ControlHitPart(control, point);
        if (hit == 0) continue;
        if (part) *part = hit;
        return order[size_t(i)];
    }
    return nullptr;
}

DialogItemRecord* GetFocusedItemNode(WindowObject* window) {
    int16_t number = GetFocusedDialogItem(window);
    return number ? DialogItemByNumber(window, number, nullptr) : nullptr;
}
