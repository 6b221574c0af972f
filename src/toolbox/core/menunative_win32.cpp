// Native menus of the Win32 build: HMENU popups whose items are all
// owner-drawn. Greyed and disabled are kept apart through the legacy
// MF_GRAYED and MF_DISABLED flags, which MENUITEMINFO's state merges.
#include <windows.h>

#include "toolbox/core/menunative.h"
#include "toolbox/core/menutrack_win32.h"

namespace {

HMENU H(NativeMenu menu) {
    return reinterpret_cast<HMENU>(menu);
}

UINT StateFlags(const NativeMenuItem& item) {
    return (item.greyed ? MF_GRAYED : 0) | (item.disabled ? MF_DISABLED : 0) |
           (item.checked ? MF_CHECKED : 0);
}

} // namespace

NativeMenu NativeMenuCreate() {
    HMENU menu = CreatePopupMenu();
    BindMenuInfoFunctions(menu);
    return reinterpret_cast<NativeMenu>(menu);
}

void NativeMenuDestroy(NativeMenu menu) {
    if (menu) DestroyMenu(H(menu));
}

int32_t NativeMenuCount(NativeMenu menu) {
    return menu ? GetMenuItemCount(H(menu)) : 0;
}

bool NativeMenuInsert(NativeMenu menu, int32_t position, const NativeMenuItem& item) {
    if (!menu) return false;
    int32_t count = NativeMenuCount(menu);
    if (position < 0 || position > count) position = count;
    UINT flags = MF_BYPOSITION | MF_OWNERDRAW | StateFlags(item);
    UINT_PTR id = item.id;
    if (item.popup) {
        flags |= MF_POPUP;
        id = reinterpret_cast<UINT_PTR>(item.popup);
    }
    if (!InsertMenuA(H(menu), UINT(position), flags, id, reinterpret_cast<LPCSTR>(item.data)))
        return false;
    if (item.popup) {
        // The popup item keeps the command id too.
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        info.wID = item.id;
        SetMenuItemInfoA(H(menu), UINT(position), TRUE, &info);
    }
    return true;
}

bool NativeMenuRemove(NativeMenu menu, int32_t position) {
    return menu && RemoveMenu(H(menu), UINT(position), MF_BYPOSITION);
}

bool NativeMenuRead(NativeMenu menu, int32_t position, NativeMenuItem& out) {
    if (!menu || position < 0 || position >= NativeMenuCount(menu)) return false;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(H(menu), UINT(position), TRUE, &info)) return false;
    UINT state = GetMenuState(H(menu), UINT(position), MF_BYPOSITION);
    out.id = info.wID;
    out.data = info.dwItemData;
    out.popup = reinterpret_cast<NativeMenu>(info.hSubMenu);
    out.greyed = state & MF_GRAYED;
    out.disabled = state & MF_DISABLED;
    out.checked = state & MF_CHECKED;
    return true;
}

bool NativeMenuWrite(NativeMenu menu, int32_t position, const NativeMenuItem& item) {
    if (!menu || position < 0 || position >= NativeMenuCount(menu)) return false;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA;
    info.wID = item.id;
    info.dwItemData = item.data;
    if (!SetMenuItemInfoA(H(menu), UINT(position), TRUE, &info)) return false;
    UINT at = MF_BYPOSITION;
    EnableMenuItem(H(menu), UINT(position),
                   at | (item.greyed ? MF_GRAYED : 0) | (item.disabled ? MF_DISABLED : 0));
    CheckMenuItem(H(menu), UINT(position), at | (item.checked ? MF_CHECKED : MF_UNCHECKED));
    return true;
}

NativeMenu NativeMenuCreateBar() {
    return reinterpret_cast<NativeMenu>(CreateMenu());
}

bool NativeMenuInsertTitle(NativeMenu bar, int32_t position, const char* title, NativeMenu popup,
                           bool greyed) {
    if (!bar) return false;
    int32_t count = NativeMenuCount(bar);
    if (position < 0 || position > count) position = count;
    return InsertMenuA(H(bar), UINT(position),
                       MF_BYPOSITION | MF_STRING | MF_POPUP | (greyed ? MF_GRAYED : 0),
                       reinterpret_cast<UINT_PTR>(popup), title ? title : "");
}

bool NativeMenuSetTitle(NativeMenu bar, int32_t position, const char* title, bool greyed) {
    if (!bar || position < 0 || position >= NativeMenuCount(bar)) return false;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_STATE;
    info.dwTypeData = const_cast<char*>(title ? title : "");
    info.fState = greyed ? MFS_GRAYED : MFS_ENABLED;
    return SetMenuItemInfoA(H(bar), UINT(position), TRUE, &info);
}

bool NativeMenuTitleOf(NativeMenu bar, int32_t position, char* out, int32_t size) {
    if (!bar || size <= 0) return false;
    out[0] = 0;
    return GetMenuStringA(H(bar), UINT(position), out, size, MF_BYPOSITION) >= 0;
}
