// The rules of dialog items that need no window.
#include "toolbox/ui/dialogitemrules.h"

#include <vector>

#include "toolbox/core/byteorder.h"
#include "toolbox/ui/dialogkeys.h"

namespace {

constexpr int16_t kFocusPartButton = 10;
constexpr int16_t kFocusPartChoice = 11;
constexpr int16_t kFocusPartEdit = 5;
constexpr int16_t kFocusPartList = 24;

} // namespace

bool ItemCreationFor(DialogItemKind kind, uint32_t flags, ItemCreation* out) {
    *out = {};
    int16_t definition = 0, maximum = 0;
    if (!DefaultDefinitionForKind(kind, flags, &definition, &maximum)) return false;
    out->definition = definition;
    out->maximum = maximum;
    out->hidden = (flags & kItemFlagCreateHidden) != 0;
    bool listVariant = (flags & kItemFlagListVariant) != 0;
    int16_t icon = int16_t(uint16_t(flags & kItemFlagIconMask));
    switch (kind) {
    case kItemIconButton:
        out->maximum = icon;
        out->minimum = listVariant ? int16_t(kButtonOptionStaysDown) : 0;
        break;
    case kItemIcon:
        out->value = icon;
        break;
    case kItemToggleButton:
        out->value = listVariant ? 1 : 0;
        break;
    case kItemStaticText:
        out->rightJustified = listVariant;
        break;
    case kItemTabs:
        out->boundsAreTheControl = listVariant;
        break;
    default:
        break;
    }
    return true;
}

bool EditCommandActs(int32_t command, int16_t variant, int32_t selectionStart, int32_t selectionEnd,
                     bool clipboardHasText) {
    if (variant != 0) return false; // the password field
    switch (command) {
    case kEditCommandCut:
    case kEditCommandCopy:
    case kEditCommandClear:
        return selectionEnd > selectionStart;
    case kEditCommandPaste:
        return clipboardHasText;
    default:
        return false;
    }
}

uint32_t EditCommandTag(int32_t command) {
    switch (command) {
    case kEditCommandCut:
        return FourCC("CUT ");
    case kEditCommandCopy:
        return FourCC("COPY");
    case kEditCommandPaste:
        return FourCC("PAST");
    case kEditCommandClear:
        return FourCC("CLER"); // the tag the edit-text definition knows
    default:
        return 0;
    }
}

bool EditCommandReportsHit(int32_t command) {
    return command == kEditCommandCut || command == kEditCommandPaste ||
           command == kEditCommandClear;
}

bool EditCommandRefreshesClipboard(int32_t command) {
    return command == kEditCommandCut || command == kEditCommandCopy;
}

void ClampEditSelection(int32_t start, int32_t* end) {
    if (*end > kItemTextLimit) *end = kItemTextLimit;
    if (*end < start) *end = start;
}

int32_t NextCheckBoxValue(int32_t value, int32_t maximum) {
    return value + 1 > maximum ? 0 : value + 1;
}

bool TabSwitchTarget(int32_t current, int32_t count, int32_t step, int32_t* next) {
    int32_t target = current + step;
    if (target < 0 || target >= count || target == current) return false;
    *next = target;
    return true;
}

int16_t ItemFocusPart(DialogItemKind kind) {
    switch (kind) {
    case kItemPushButton:
        return kFocusPartButton;
    case kItemCheckBox:
    case kItemRadioButton:
        return kFocusPartChoice;
    case kItemEditText:
        return kFocusPartEdit;
    case kItemListBox:
        return kFocusPartList;
    default:
        return 0;
    }
}

bool ItemSendsFocusEvents(DialogItemKind kind) {
    return kind == kItemPushButton || kind == kItemCheckBox || kind == kItemRadioButton ||
           kind == kItemEditText;
}

int32_t ItemHitOrder(const DialogItemList* list, DialogItemRecord** out, int32_t capacity) {
    std::vector<DialogItemRecord*> containers;
    int32_t n = 0;
    for (DialogItemRecord* item = list->head; item; item = item->next) {
        if (item->options & kItemOptionContainer)
            containers.push_back(item);
        else if (n < capacity)
            out[n++] = item;
    }
    for (auto c = containers.rbegin(); c != containers.rend() && n < capacity; ++c)
        out[n++] = *c;
    return n;
}
