// The in-memory native menus of the native build: a list of items per
// menu, owned by the menu; destroying a menu destroys its attached popups.
#include <cstddef>
#include <vector>

#include "toolbox/core/menunative.h"

struct NativeMenuTag {
    std::vector<NativeMenuItem> items;
};

NativeMenu NativeMenuCreate() {
    return new NativeMenuTag;
}

void NativeMenuDestroy(NativeMenu menu) {
    if (!menu) return;
    for (const NativeMenuItem& item : menu->items)
        NativeMenuDestroy(item.popup);
    delete menu;
}

int32_t NativeMenuCount(NativeMenu menu) {
    return menu ? int32_t(menu->items.size()) : 0;
}

bool NativeMenuInsert(NativeMenu menu, int32_t position, const NativeMenuItem& item) {
    if (!menu) return false;
    int32_t count = int32_t(menu->items.size());
    if (position < 0 || position > count) position = count;
    menu->items.insert(menu->items.begin() + position, item);
    return true;
}

bool NativeMenuRemove(NativeMenu menu, int32_t position) {
    if (!menu || position < 0 || position >= NativeMenuCount(menu)) return false;
    menu->items.erase(menu->items.begin() + position);
    return true;
}

bool NativeMenuRead(NativeMenu menu, int32_t position, NativeMenuItem& out) {
    if (!menu || position < 0 || position >= NativeMenuCount(menu)) return false;
    out = menu->items[size_t(position)];
    return true;
}

bool NativeMenuWrite(NativeMenu menu, int32_t position, const NativeMenuItem& item) {
    if (!menu || position < 0 || position >= NativeMenuCount(menu)) return false;
    NativeMenuItem& at = menu->items[size_t(position)];
    NativeMenu popup = at.popup;
    at = item;
    at.popup = popup;
    return true;
}
