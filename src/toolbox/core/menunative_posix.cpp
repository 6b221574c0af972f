// The in-memory native menus of the native build: a list of items per
// menu, owned by the menu; destroying a menu destroys its attached popups.
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "toolbox/core/menunative.h"

struct NativeMenuTag {
    std::vector<NativeMenuItem> items;
    std::vector<std::string> titles; // bar items only, beside items
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
    menu->titles.insert(menu->titles.begin() + position, std::string());
    return true;
}

bool NativeMenuRemove(NativeMenu menu, int32_t position) {
    if (!menu || position < 0 || position >= NativeMenuCount(menu)) return false;
    menu->items.erase(menu->items.begin() + position);
    menu->titles.erase(menu->titles.begin() + position);
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

NativeMenu NativeMenuCreateBar() {
    return new NativeMenuTag;
}

bool NativeMenuInsertTitle(NativeMenu bar, int32_t position, const char* title, NativeMenu popup,
                           bool greyed) {
    NativeMenuItem item;
    item.popup = popup;
    item.greyed = item.disabled = greyed;
    if (!bar) return false;
    int32_t count = NativeMenuCount(bar);
    if (position < 0 || position > count) position = count;
    if (!NativeMenuInsert(bar, position, item)) return false;
    bar->titles[size_t(position)] = title ? title : "";
    return true;
}

bool NativeMenuSetTitle(NativeMenu bar, int32_t position, const char* title, bool greyed) {
    if (!bar || position < 0 || position >= NativeMenuCount(bar)) return false;
    bar->titles[size_t(position)] = title ? title : "";
    bar->items[size_t(position)].greyed = bar->items[size_t(position)].disabled = greyed;
    return true;
}

bool NativeMenuTitleOf(NativeMenu bar, int32_t position, char* out, int32_t size) {
    if (!bar || position < 0 || position >= NativeMenuCount(bar) || size <= 0) return false;
    std::strncpy(out, bar->titles[size_t(position)].c_str(), size_t(size) - 1);
    out[size - 1] = 0;
    return true;
}
