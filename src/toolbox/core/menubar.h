// Menus from RT_MENU resources and the menu bar: the menu record for a
// resource id (loaded once, then found in the menu record list), bar lists
// (the menus of a bar, left to right) and the native menu bar that shows
// them. The native bar may hold foreign items in front of the program's
// menus; program menus start at its first item whose popup is a menu
// record's.
#pragma once
#include <cstdint>
#include <vector>

#include "toolbox/core/menurecord.h"

// Menus a bar resource lists at most; later ids are ignored.
constexpr int32_t kMenuBarMenusMax = 100;
// The menu id of the frame's system menu (never hilited as a title).
constexpr int16_t kSystemMenuId = 8998;

struct MenuBarList {
    std::vector<MenuRecord*> menus;
};

// The native bar the bar lists are shown in (made on first use).
NativeMenu MenuBarNative();
// Test support: forgets the bar list and detaches the native bar's items.
void MenuBarReset();

MenuRecord* LoadMenuRecord(int32_t resourceId);
MenuBarList* LoadMenuBarList(int32_t resourceId);
MenuBarList* CopyMenuBarList();
void DisposeMenuBarList(MenuBarList* list);
void ClearMenuBar();
void SetMenuBarList(const MenuBarList* list);
void InsertMenuInBar(MenuRecord* menu, int16_t beforeId);
void DeleteMenuFromBar(int16_t menuId);
MenuRecord* FindMenuInBar(int16_t menuId);
int32_t MenuBarCount();
MenuRecord* MenuBarMenuAt(int32_t index);
int32_t MenuBarIndexOf(int16_t menuId);
// Hilites the menu's bar title (nothing for 0, the system menu, or while a
// popup menu is tracked); MenuHilitedTitle is the id hilited now.
void HiliteMenuTitle(int16_t menuId);
void UnhiliteMenuTitle();
// The windows' form: menu id 0 is "no highlight" (the unhilite step of a
// taken choice), others hilite as HiliteMenuTitle(menuId).
inline void HiliteMenuTitle(void*, int16_t menuId) {
    if (menuId == 0)
        UnhiliteMenuTitle();
    else
        HiliteMenuTitle(menuId);
}
int16_t MenuHilitedTitle();
void SetMenuPopupTracked(bool tracked);
bool MenuPopupTracked();
// Who draws a hilited title and redraws the bar (the Win32 build's frame).
struct MenuBarDisplayProcs {
    void (*hiliteTitle)(int32_t nativePosition, bool on);
    void (*redraw)();
};
void SetMenuBarDisplayProcs(const MenuBarDisplayProcs* procs);
void RedrawMenuBar();
