// The menu list: the application's layer over menu records. Every menu has
// a MenuListEntry (found from its record through the menu property
// 'XPFW'/'VXMH', which holds the entry's address) that knows its menu id,
// the resource id it was loaded as and whether it has submenus; items are
// addressed by position or by command id; the bar entries are kept in bar
// order beside the menu bar; walks visit menus and items depth-first.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/menubar.h"

constexpr uint32_t kMenuEntryCreator = FourCC("XPFW");
constexpr uint32_t kMenuEntryTag = FourCC("VXMH");
// The command whose items name fonts.
constexpr uint32_t kFontItemCommand = 8000;
// How an item is given: by command id or by position.
constexpr int16_t kItemByCommand = 0;
constexpr int16_t kItemByPosition = 1;

struct MenuListEntry {
    MenuListEntry* link;
    MenuRecord* menu;
    int16_t menuId;
    int16_t resourceId;
    uint8_t hasSubmenus;
};

// The entry standing for "no menu: the position is the command".
inline MenuListEntry* PositionIsCommandEntry() {
    return reinterpret_cast<MenuListEntry*>(-1);
}

struct SavedMenuBar {
    std::vector<MenuListEntry*> entries;
};

// Procedures the shell installs: the menu update and the menu choice.
typedef void (*MenuUpdateProc)(int32_t flag);
typedef void (*MenuChoiceProc)(MenuRecord* menu, int32_t item, uint32_t modifiers, bool flag18,
                               bool flag17);
// Once: the list and the bar entries; the procedures (null: the defaults).
void MenuListInit(MenuUpdateProc update, MenuChoiceProc choice);
MenuUpdateProc InstalledMenuUpdate();
MenuChoiceProc InstalledMenuChoice();
// The font number a font item's text names (0 until fonts are listed).
void SetFontNumberFromName(int16_t (*proc)(const std::string& name));
// Test support: disposes every entry and empties the bar.
void MenuListReset();

MenuListEntry* NewMenuListEntry(MenuRecord* menu, int16_t resourceId);
MenuListEntry* MenuEntryOf(const MenuRecord* menu);
MenuListEntry* MenuGetOrLoad(int32_t resourceId);
MenuListEntry* MenuById(int16_t menuId);
const std::vector<MenuListEntry*>& MenuBarEntries();
SavedMenuBar* MenuBarNew(int32_t resourceId);
void MenuBarSet(const SavedMenuBar* saved);
void DisposeMenuBarList(SavedMenuBar* saved);
void MenuBarClear();
void InsertMenuEntryInBar(MenuListEntry* entry, int16_t beforeId);
void RemoveMenuEntryFromBar(MenuListEntry* entry);
void DisposeMenuEntry(MenuListEntry* entry, bool withSubmenus);

int32_t ItemPositionOfCommand(const MenuListEntry* entry, uint32_t command);
uint32_t ItemCommandOf(const MenuListEntry* entry, int32_t position, int16_t* fontNumber);
MenuListEntry* SubmenuEntryOf(const MenuListEntry* entry, int16_t flag, int32_t item);
void SetSubmenuEntry(MenuListEntry* entry, int16_t flag, int32_t item, MenuListEntry* submenu);
bool ItemCheckedOf(const MenuListEntry* entry, int16_t flag, int32_t item);
void SetItemMark(MenuListEntry* entry, int16_t flag, int32_t item, uint16_t mark);
bool ItemEnabledOf(const MenuListEntry* entry, int16_t flag, int32_t item);
void SetItemEnabled(MenuListEntry* entry, int16_t flag, int32_t item, bool enabled);
void SetItemText(MenuListEntry* entry, int16_t flag, int32_t item, const std::string& text);
void SetItemKey(MenuListEntry* entry, int16_t flag, int32_t item, uint16_t key);
int32_t MenuInsertItem(MenuListEntry* entry, int16_t flag, int32_t item, uint32_t command,
                       const char* text);
void RemoveMenuItemByCommand(MenuListEntry* entry, int16_t flag, int32_t item);

// procedure(entry, item, command, descend in/out, data): false stops the
// whole walk.
typedef bool (*MenuWalkProc)(MenuListEntry* entry, int32_t item, uint32_t command, bool* descend,
                             void* data);
bool MenuWalk(MenuListEntry* entry, int32_t item, MenuWalkProc proc, void* data);
void MenuBarWalk(MenuWalkProc proc, void* data);
MenuListEntry* FindMenuByCommand(uint32_t command, int32_t* position);
