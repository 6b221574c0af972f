// The item word, family codes and the container order of item lists.
#include "toolbox/ui/dialogitem.h"

namespace {

constexpr int32_t kNumberMask = 0xFFFF;
constexpr int32_t kKindShift = 16;
constexpr int32_t kFlagsShift = 24;
constexpr int32_t kFamilyShift = 4;
constexpr int32_t kDefinitionSignBit = 0x8000;

bool IsContainer(const DialogItemRecord* item) {
    return (item->options & kItemOptionContainer) != 0;
}

bool Encloses(const Rect16& outer, const Rect16& inner) {
    return outer.top <= inner.top && outer.left <= inner.left && outer.bottom >= inner.bottom &&
           outer.right >= inner.right;
}

// The innermost container enclosing the item: the last enclosing one in
// list order, since enclosing containers come first. A container looks
// only at the containers ahead of it, so that two with the same bounds
// never hold each other.
DialogItemRecord* InnermostContainer(const DialogItemList* list, const DialogItemRecord* item,
                                     ItemBoundsProc bounds) {
    Rect16 own;
    bounds(item, &own);
    DialogItemRecord* found = nullptr;
    for (DialogItemRecord* c = list->head; c && IsContainer(c); c = c->next) {
        if (c == item) break;
        Rect16 outer;
        bounds(c, &outer);
        if (Encloses(outer, own)) found = c;
    }
    return found;
}

} // namespace

uint32_t MakeItemWord(int16_t number, DialogItemKind kind, uint8_t flags) {
    return (uint32_t(uint16_t(number))) | (uint32_t(uint8_t(kind)) << kKindShift) |
           (uint32_t(flags) << kFlagsShift);
}

int16_t ItemNumber(const DialogItemRecord* item) {
    return int16_t(uint16_t(item->itemWord & kNumberMask));
}

DialogItemKind ItemKind(const DialogItemRecord* item) {
    return DialogItemKind((item->itemWord >> kKindShift) & 0xFF);
}

uint8_t ItemFlags(const DialogItemRecord* item) {
    return uint8_t(item->itemWord >> kFlagsShift);
}

void SetItemFlags(DialogItemRecord* item, uint8_t flags, bool on) {
    uint8_t now = ItemFlags(item);
    now = on ? uint8_t(now | flags) : uint8_t(now & ~flags);
    item->itemWord = (item->itemWord & 0x00FFFFFFu) | (uint32_t(now) << kFlagsShift);
}

int16_t ItemFamilyCode(int32_t definition, DialogItemKind kind) {
    if (kind == kItemPushButton) return kFamilyPushButton;
    if (kind == kItemCheckBox) return kFamilyCheckBox;
    if (kind == kItemRadioButton) return kFamilyRadioButton;
    int32_t d = definition & 0xFFFF;
    if (d >= kFirstForeignDefinition || (d & kDefinitionSignBit)) return kFamilyOther;
    return int16_t(d >> kFamilyShift);
}

uint8_t ItemOptionsFor(int16_t family, int32_t controlOptions) {
    switch (family) {
    case kFamilyTabs:
    case kFamilyGroupBox:
    case kFamilyContainer14:
    case kFamilyContainer21:
        return kItemOptionContainer;
    case kFamilyIconButton:
        return (controlOptions & kButtonOptionStaysDown) ? kItemOptionStaysDown : 0;
    default:
        return 0;
    }
}

void LinkDialogItem(DialogItemList* list, DialogItemRecord* item, ItemBoundsProc bounds) {
    item->owner = list;
    item->next = nullptr;
    DialogItemRecord** slot = &list->head;
    if (IsContainer(item)) {
        Rect16 own;
        bounds(item, &own);
        while (*slot && IsContainer(*slot)) {
            Rect16 other;
            bounds(*slot, &other);
            if (Encloses(own, other)) break;
            slot = &(*slot)->next;
        }
    } else {
        while (*slot)
            slot = &(*slot)->next;
    }
    item->next = *slot;
    *slot = item;
    if (IsContainer(item)) {
        for (DialogItemRecord* i = list->head; i; i = i->next)
            if (i != item) i->container = InnermostContainer(list, i, bounds);
    }
    item->container = InnermostContainer(list, item, bounds);
}

void UnlinkDialogItem(DialogItemList* list, DialogItemRecord* item) {
    for (DialogItemRecord** slot = &list->head; *slot; slot = &(*slot)->next) {
        if (*slot == item) {
            *slot = item->next;
            break;
        }
    }
    for (DialogItemRecord* i = list->head; i; i = i->next)
        if (i->container == item) i->container = item->container;
    item->next = nullptr;
    item->container = nullptr;
    item->owner = nullptr;
}

DialogItemRecord* FindDialogItem(const DialogItemList* list, int16_t number) {
    for (DialogItemRecord* i = list->head; i; i = i->next)
        if (ItemNumber(i) == number) return i;
    return nullptr;
}

int32_t DialogItemCount(const DialogItemList* list) {
    int32_t n = 0;
    for (DialogItemRecord* i = list->head; i; i = i->next)
        ++n;
    return n;
}
