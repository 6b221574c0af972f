// The entries of popup and list-box dialog items: each popup item owns a
// menu of its own (id: item number + 0x4000) whose entries the item
// operations address by 0-based index; the popup's value is the chosen
// entry's index + 1. A list item's entries are the rows of its list.
//
// Guarantees: an index out of range changes nothing and reads as empty
// (text), 0 (mark, value, face) or -1 (selection); inserting keeps the
// popup's range in step with its entries; an item's own menu goes with
// the item.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "toolbox/core/menurecord.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/controlrules.h"
#include "toolbox/ui/dialogentries.h"
#include "toolbox/ui/dialogops.h"
#include "toolbox/ui/listboxpane.h"

namespace {

// The list item of the number, or null.
DialogItemRecord* ListItem(WindowObject* dialog, int16_t number) {
    DialogItemKind kind = kItemNone;
    DialogItemRecord* item = DialogItemByNumber(dialog, number, &kind);
    return kind == kItemListBox ? item : nullptr;
}

MenuRecord* PopupMenuOf(const DialogItemRecord* item) {
    MenuRecord* menu = nullptr;
    if (ControlGetData(item->control, 0, kTagMenuHandle, int32_t(sizeof menu), &menu, nullptr))
        return nullptr;
    return menu;
}

// The popup item's menu, or null for another kind or a missing number.
MenuRecord* EntriesOf(WindowObject* dialog, int16_t number, DialogItemRecord** item = nullptr) {
    DialogItemKind kind = kItemNone;
    DialogItemRecord* found = DialogItemByNumber(dialog, number, &kind);
    if (!found || kind != kItemPopup) return nullptr;
    if (item) *item = found;
    return PopupMenuOf(found);
}

// The 1-based menu position of an index, or 0 when out of range.
int32_t PositionOf(const MenuRecord* menu, int32_t index) {
    return menu && index >= 0 && index < MenuItemCount(menu) ? index + 1 : 0;
}

// The popup takes its menu again, so that its range covers the entries;
// its chosen entry is kept where it still exists.
void RefreshPopupRange(DialogItemRecord* item, MenuRecord* menu) {
    int32_t value = ControlGetValue(item->control);
    ControlSetData(item->control, 0, kTagMenuHandle, int32_t(sizeof menu), &menu);
    if (value >= 1 && value <= MenuItemCount(menu)) ControlSetValue(item->control, value);
}

int32_t InsertEntryAt(WindowObject* dialog, int16_t number, const char* text, int32_t index) {
    DialogItemRecord* item = nullptr;
    MenuRecord* menu = EntriesOf(dialog, number, &item);
    if (!menu || !text) return -1;
    int32_t count = MenuItemCount(menu);
    if (index < 0 || index > count) index = count;
    InsertMenuItemText(menu, text, index);
    if (MenuItemCount(menu) != count + 1) return -1;
    RefreshPopupRange(item, menu);
    return index;
}

// What the read gives for the entry at index; 0 when there is none.
template <typename Read>
int32_t ReadEntry(WindowObject* dialog, int16_t number, int32_t index, Read read) {
    MenuRecord* menu = EntriesOf(dialog, number);
    int32_t position = PositionOf(menu, index);
    return position ? int32_t(read(menu, position)) : 0;
}

// Runs the change on the entry at index; false when there is none.
template <typename Change>
bool ChangeEntry(WindowObject* dialog, int16_t number, int32_t index, Change change) {
    return ReadEntry(dialog, number, index, [&change](MenuRecord* menu, int32_t at) {
               change(menu, at);
               return 1;
           }) != 0;
}

} // namespace

void MakePopupItemMenu(DialogItemRecord* item) {
    if (!item || ItemKind(item) != kItemPopup || PopupMenuOf(item)) return;
    MenuRecord* menu = NewMenuFromText(int16_t(ItemNumber(item) + kPopupItemMenuIdBase), "");
    if (menu) ControlSetData(item->control, 0, kTagMenuHandle, int32_t(sizeof menu), &menu);
}

void DisposePopupItemMenu(DialogItemRecord* item) {
    if (!item || ItemKind(item) != kItemPopup) return;
    MenuRecord* menu = PopupMenuOf(item);
    if (!menu || menu->menuId != int16_t(ItemNumber(item) + kPopupItemMenuIdBase)) return;
    MenuRecord* none = nullptr;
    ControlSetData(item->control, 0, kTagMenuHandle, int32_t(sizeof none), &none);
    DisposeMenuRecord(menu);
}

int32_t ItemEntryCount(WindowObject* dialog, int16_t number) {
    if (DialogItemRecord* list = ListItem(dialog, number)) return ListBoxRowCount(list);
    MenuRecord* menu = EntriesOf(dialog, number);
    return menu ? MenuItemCount(menu) : 0;
}

int32_t InsertItemEntry(WindowObject* dialog, int16_t number, const char* text, int32_t index) {
    if (DialogItemRecord* list = ListItem(dialog, number))
        return ListBoxInsertRow(list, text, index);
    return InsertEntryAt(dialog, number, text, index);
}

int32_t InsertItemEntrySorted(WindowObject* dialog, int16_t number, const char* text) {
    if (DialogItemRecord* list = ListItem(dialog, number)) return ListBoxInsertRowSorted(list, text);
    MenuRecord* menu = EntriesOf(dialog, number);
    if (!menu || !text) return -1;
    int32_t count = MenuItemCount(menu), index = 0;
    while (index < count && lstrcmpiA(MenuItemTextOf(menu, index + 1).c_str(), text) <= 0)
        ++index;
    return InsertEntryAt(dialog, number, text, index);
}

bool SetItemSelection(WindowObject* dialog, int16_t number, int32_t index) {
    if (DialogItemRecord* list = ListItem(dialog, number)) return ListBoxSelectRow(list, index);
    DialogItemRecord* item = nullptr;
    MenuRecord* menu = EntriesOf(dialog, number, &item);
    if (!PositionOf(menu, index)) return false;
    ControlSetValue(item->control, index + 1);
    return true;
}

int32_t GetItemSelection(WindowObject* dialog, int16_t number) {
    if (DialogItemRecord* list = ListItem(dialog, number)) return ListBoxSelectedRow(list);
    DialogItemRecord* item = nullptr;
    MenuRecord* menu = EntriesOf(dialog, number, &item);
    if (!menu) return -1;
    int32_t index = ControlGetValue(item->control) - 1;
    return PositionOf(menu, index) ? index : -1;
}

int32_t GetItemEntryText(WindowObject* dialog, int16_t number, int32_t index, char* text) {
    if (DialogItemRecord* list = ListItem(dialog, number)) return ListBoxRowText(list, index, text);
    text[0] = 0;
    MenuRecord* menu = EntriesOf(dialog, number);
    int32_t position = PositionOf(menu, index);
    if (!position) return 0;
    std::snprintf(text, size_t(kItemTextRoom), "%s", MenuItemTextOf(menu, position).c_str());
    return int32_t(std::strlen(text));
}

int32_t FindItemEntry(WindowObject* dialog, int16_t number, const char* text) {
    if (DialogItemRecord* list = ListItem(dialog, number)) return ListBoxFindRow(list, text);
    MenuRecord* menu = EntriesOf(dialog, number);
    if (!menu || !text) return -1;
    for (int32_t i = 0, count = MenuItemCount(menu); i < count; ++i)
        if (MenuItemTextOf(menu, i + 1) == text) return i;
    return -1;
}

uint16_t GetItemEntryMark(WindowObject* dialog, int16_t number, int32_t index) {
    ListBoxRow row{};
    if (DialogItemRecord* list = ListItem(dialog, number))
        return ListBoxGetRow(list, index, &row) ? row.mark : 0;
    return uint16_t(ReadEntry(dialog, number, index, &MenuItemMarkOf));
}

bool SetItemEntryMark(WindowObject* dialog, int16_t number, int32_t index, uint16_t mark) {
    if (DialogItemRecord* list = ListItem(dialog, number))
        return ListBoxSetRowMark(list, index, uint8_t(mark));
    return ChangeEntry(dialog, number, index,
                       [mark](MenuRecord* menu, int32_t at) { SetMenuItemMark(menu, at, mark); });
}

int32_t GetItemEntryValue(WindowObject* dialog, int16_t number, int32_t index) {
    ListBoxRow row{};
    if (DialogItemRecord* list = ListItem(dialog, number))
        return ListBoxGetRow(list, index, &row) ? row.value : 0;
    return ReadEntry(dialog, number, index, [](const MenuRecord* menu, int32_t at) {
        int32_t value = 0;
        MenuItemValueOf(menu, at, &value);
        return value;
    });
}

bool SetItemEntryValue(WindowObject* dialog, int16_t number, int32_t index, int32_t value) {
    if (DialogItemRecord* list = ListItem(dialog, number))
        return ListBoxSetRowValue(list, index, value);
    MenuRecord* menu = EntriesOf(dialog, number);
    int32_t position = PositionOf(menu, index);
    return position && SetMenuItemValue(menu, position, value) == 0;
}

int32_t GetPopupEntryFace(WindowObject* dialog, int16_t number, int32_t index) {
    return ReadEntry(dialog, number, index, &MenuItemStyleOf);
}

bool SetPopupEntryFace(WindowObject* dialog, int16_t number, int32_t index, int32_t face) {
    return ChangeEntry(dialog, number, index,
                       [face](MenuRecord* menu, int32_t at) { SetMenuItemStyle(menu, at, face); });
}

bool SetItemEntryEnabled(WindowObject* dialog, int16_t number, int32_t index, bool enabled) {
    DialogItemRecord* list = ListItem(dialog, number);
    return list && ListBoxSetRowEnabled(list, index, enabled);
}

int32_t SetListItemOptions(WindowObject* dialog, int16_t number, uint32_t options) {
    DialogItemRecord* list = ListItem(dialog, number);
    return list ? int32_t(ListBoxSetOptions(list, options)) : 0;
}
