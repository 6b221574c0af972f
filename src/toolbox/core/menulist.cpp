// Entries live from NewMenuListEntry to DisposeMenuEntry; the list is
// newest first. The bar entries and the menu bar hold the same menus in the
// same order. A submenu gets an entry of its own when its parent's entry is
// made; walks and searches stop at a fixed depth, so no menu structure can
// run them without end.
#include "toolbox/core/menulist.h"

#include <algorithm>
#include <cstring>

namespace {

std::vector<MenuListEntry*> g_entries; // newest first
std::vector<MenuListEntry*> g_bar;
MenuUpdateProc g_update = nullptr;
MenuChoiceProc g_choice = nullptr;
bool g_initialised = false;
int16_t NoFonts(const std::string&) {
    return 0;
}
int16_t (*g_fontNumber)(const std::string&) = &NoFonts;

constexpr int kMenuWalkDepthMax = 64;

int32_t Resolve(const MenuListEntry* entry, int16_t flag, int32_t item) {
    if (!entry || entry == PositionIsCommandEntry()) return 0;
    return flag == kItemByPosition ? item : ItemPositionOfCommand(entry, uint32_t(item));
}

void RecomputeHasSubmenus(MenuListEntry* entry) {
    entry->hasSubmenus = (entry->menu->flags & kMenuFlagHasSubmenus) ? 1 : 0;
}

bool Walk(MenuListEntry* entry, int32_t from, MenuWalkProc proc, void* data, int depth) {
    if (!entry || depth > kMenuWalkDepthMax) return true;
    for (int32_t p = from; p <= MenuItemCount(entry->menu); ++p) {
        uint32_t command =
            p == 0 ? uint32_t(int32_t(entry->menuId)) : MenuItemCommandOf(entry->menu, p);
        bool descend = false;
        if (!proc(entry, p, command, &descend, data)) return false;
        if (p > 0 && descend) {
            MenuListEntry* sub = SubmenuEntryOf(entry, kItemByPosition, p);
            if (sub && !Walk(sub, 1, proc, data, depth + 1)) return false;
        }
    }
    return true;
}

MenuListEntry* Find(MenuListEntry* entry, uint32_t command, int32_t* position, int depth) {
    if (!entry || depth > kMenuWalkDepthMax) return nullptr;
    for (int32_t p = 1; p <= MenuItemCount(entry->menu); ++p) {
        if (MenuItemCommandOf(entry->menu, p) == command) {
            if (position) *position = p;
            return entry;
        }
        if (MenuListEntry* found =
                Find(SubmenuEntryOf(entry, kItemByPosition, p), command, position, depth + 1))
            return found;
    }
    return nullptr;
}

void Unlist(MenuListEntry* entry) {
    g_entries.erase(std::remove(g_entries.begin(), g_entries.end(), entry), g_entries.end());
    for (size_t k = 0; k < g_entries.size(); ++k)
        g_entries[k]->link = k + 1 < g_entries.size() ? g_entries[k + 1] : nullptr;
}

void DisposeEntry(MenuListEntry* entry, bool withSubmenus, bool outermost, int depth) {
    if (!entry || depth > kMenuWalkDepthMax) return;
    RemoveMenuEntryFromBar(entry);
    Unlist(entry);
    for (int32_t p = 1; p <= MenuItemCount(entry->menu); ++p) {
        MenuListEntry* sub = SubmenuEntryOf(entry, kItemByPosition, p);
        if (!sub) continue;
        SetMenuItemSubmenu(entry->menu, p, nullptr);
        if (withSubmenus) DisposeEntry(sub, true, false, depth + 1);
    }
    if (outermost)
        for (MenuListEntry* other : g_entries)
            for (int32_t p = 1; p <= MenuItemCount(other->menu); ++p)
                if (MenuItemSubmenuOf(other->menu, p) == entry->menu) {
                    SetMenuItemSubmenu(other->menu, p, nullptr);
                    RecomputeHasSubmenus(other);
                }
    DisposeMenuRecord(entry->menu);
    delete entry;
}

} // namespace

void MenuListInit(MenuUpdateProc update, MenuChoiceProc choice) {
    if (g_initialised) return;
    g_initialised = true;
    g_update = update;
    g_choice = choice;
}

MenuUpdateProc InstalledMenuUpdate() {
    return g_update;
}
MenuChoiceProc InstalledMenuChoice() {
    return g_choice;
}

void SetFontNumberFromName(int16_t (*proc)(const std::string& name)) {
    g_fontNumber = proc ? proc : &NoFonts;
}

void MenuListReset() {
    MenuBarClear();
    while (!g_entries.empty())
        DisposeEntry(g_entries.front(), false, true, 0);
    g_initialised = false;
    g_update = nullptr;
    g_choice = nullptr;
}

MenuListEntry* NewMenuListEntry(MenuRecord* menu, int16_t resourceId) {
    if (!menu) return nullptr;
    if (MenuListEntry* had = MenuEntryOf(menu)) return had;
    auto* entry = new MenuListEntry{nullptr, menu, menu->menuId, resourceId, 0};
    if (SetMenuItemProperty(menu, 0, kMenuEntryCreator, kMenuEntryTag, int32_t(sizeof entry),
                            &entry) != 0) {
        delete entry;
        return nullptr;
    }
    entry->link = g_entries.empty() ? nullptr : g_entries.front();
    g_entries.insert(g_entries.begin(), entry);
    for (int32_t p = 1; p <= MenuItemCount(menu); ++p) {
        MenuRecord* sub = MenuItemSubmenuOf(menu, p);
        if (!sub) continue;
        entry->hasSubmenus = 1;
        NewMenuListEntry(sub, sub->resourceId);
    }
    return entry;
}

MenuListEntry* MenuEntryOf(const MenuRecord* menu) {
    MenuListEntry* entry = nullptr;
    int32_t length = 0;
    if (!menu || GetMenuItemProperty(menu, 0, kMenuEntryCreator, kMenuEntryTag,
                                     int32_t(sizeof entry), &length, &entry) != 0)
        return nullptr;
    return length == int32_t(sizeof entry) ? entry : nullptr;
}

MenuListEntry* MenuGetOrLoad(int32_t resourceId) {
    if (resourceId == 0) return nullptr;
    for (MenuListEntry* e : g_entries)
        if (e->resourceId == resourceId) return e;
    MenuRecord* menu = LoadMenuRecord(resourceId);
    return menu ? NewMenuListEntry(menu, int16_t(resourceId)) : nullptr;
}

MenuListEntry* MenuById(int16_t menuId) {
    for (MenuListEntry* e : g_bar)
        if (e->menuId == menuId) return e;
    MenuRecord* menu = FindMenuInBar(menuId);
    return menu ? MenuEntryOf(menu) : nullptr;
}

const std::vector<MenuListEntry*>& MenuBarEntries() {
    return g_bar;
}

SavedMenuBar* MenuBarNew(int32_t resourceId) {
    MenuBarList* lower = LoadMenuBarList(resourceId);
    if (!lower) return nullptr;
    auto* saved = new SavedMenuBar;
    for (MenuRecord* m : lower->menus)
        if (MenuListEntry* e = MenuGetOrLoad(m->resourceId)) saved->entries.push_back(e);
    DisposeMenuBarList(lower);
    return saved;
}

void MenuBarSet(const SavedMenuBar* saved) {
    MenuBarClear();
    if (!saved) return;
    for (MenuListEntry* e : saved->entries)
        InsertMenuEntryInBar(e, 0);
}

void DisposeMenuBarList(SavedMenuBar* saved) {
    delete saved;
}

void MenuBarClear() {
    g_bar.clear();
    ClearMenuBar();
}

void InsertMenuEntryInBar(MenuListEntry* entry, int16_t beforeId) {
    if (!entry || beforeId == -1) return;
    int32_t before = MenuBarCount();
    InsertMenuInBar(entry->menu, beforeId);
    if (MenuBarCount() == before) return;
    auto at = std::find(g_bar.begin(), g_bar.end(), MenuById(beforeId));
    if (beforeId == 0) at = g_bar.end();
    g_bar.insert(at, entry);
}

void RemoveMenuEntryFromBar(MenuListEntry* entry) {
    if (!entry) return;
    auto at = std::find(g_bar.begin(), g_bar.end(), entry);
    if (at == g_bar.end()) return;
    g_bar.erase(at);
    DeleteMenuFromBar(entry->menuId);
}

void DisposeMenuEntry(MenuListEntry* entry, bool withSubmenus) {
    DisposeEntry(entry, withSubmenus, true, 0);
}

int32_t ItemPositionOfCommand(const MenuListEntry* entry, uint32_t command) {
    if (!entry || entry == PositionIsCommandEntry()) return 0;
    for (int32_t p = 1; p <= MenuItemCount(entry->menu); ++p)
        if (MenuItemCommandOf(entry->menu, p) == command) return p;
    return 0;
}

uint32_t ItemCommandOf(const MenuListEntry* entry, int32_t position, int16_t* fontNumber) {
    if (entry == PositionIsCommandEntry()) return uint32_t(position);
    if (!entry || position < 1) return 0;
    uint32_t command = MenuItemCommandOf(entry->menu, position);
    if (command == kFontItemCommand && fontNumber)
        *fontNumber = g_fontNumber(MenuItemTextOf(entry->menu, position));
    return command;
}

MenuListEntry* SubmenuEntryOf(const MenuListEntry* entry, int16_t flag, int32_t item) {
    if (!entry || entry == PositionIsCommandEntry() || !entry->hasSubmenus) return nullptr;
    return MenuEntryOf(MenuItemSubmenuOf(entry->menu, Resolve(entry, flag, item)));
}

void SetSubmenuEntry(MenuListEntry* entry, int16_t flag, int32_t item, MenuListEntry* submenu) {
    int32_t p = Resolve(entry, flag, item);
    if (p < 1) return;
    SetMenuItemSubmenu(entry->menu, p, submenu ? submenu->menu : nullptr);
    if (submenu && MenuItemSubmenuOf(entry->menu, p) == submenu->menu)
        entry->hasSubmenus = 1;
    else
        RecomputeHasSubmenus(entry);
}

bool ItemCheckedOf(const MenuListEntry* entry, int16_t flag, int32_t item) {
    int32_t p = Resolve(entry, flag, item);
    return p >= 1 && MenuItemCheckOf(entry->menu, p) != 0;
}

void SetItemMark(MenuListEntry* entry, int16_t flag, int32_t item, uint16_t mark) {
    int32_t p = Resolve(entry, flag, item);
    if (p >= 1) SetMenuItemMark(entry->menu, p, mark);
}

bool ItemEnabledOf(const MenuListEntry* entry, int16_t flag, int32_t item) {
    if (!entry || entry == PositionIsCommandEntry()) return false;
    if (flag == kItemByPosition && item == 0) return MenuItemEnabled(entry->menu, 0);
    int32_t p = Resolve(entry, flag, item);
    return p >= 1 && MenuItemEnabled(entry->menu, p);
}

void SetItemEnabled(MenuListEntry* entry, int16_t flag, int32_t item, bool enabled) {
    if (!entry || entry == PositionIsCommandEntry()) return;
    int32_t p = (flag == kItemByPosition && item == 0) ? 0 : Resolve(entry, flag, item);
    if (p >= 1 || (flag == kItemByPosition && item == 0))
        SetMenuItemEnabled(entry->menu, p, enabled);
}

void SetItemText(MenuListEntry* entry, int16_t flag, int32_t item, const std::string& text) {
    if (!entry || entry == PositionIsCommandEntry()) return;
    int32_t p = (flag == kItemByPosition && item == 0) ? 0 : Resolve(entry, flag, item);
    if (p >= 1 || (flag == kItemByPosition && item == 0)) SetMenuItemText(entry->menu, p, text);
}

void SetItemKey(MenuListEntry* entry, int16_t flag, int32_t item, uint16_t key) {
    int32_t p = Resolve(entry, flag, item);
    if (p >= 1) SetMenuItemKey(entry->menu, p, key);
}

int32_t MenuInsertItem(MenuListEntry* entry, int16_t flag, int32_t item, uint32_t command,
                       const char* text) {
    if (!entry || entry == PositionIsCommandEntry()) return 0;
    int32_t count = MenuItemCount(entry->menu);
    int32_t p = flag == kItemByPosition ? item : ItemPositionOfCommand(entry, uint32_t(item));
    if (p < 1 || p > count) p = count + 1;
    InsertMenuItemText(entry->menu, text ? text : "", p - 1);
    if (MenuItemCount(entry->menu) != count + 1) return 0;
    SetMenuItemCommand(entry->menu, p, command);
    return p;
}

void RemoveMenuItemByCommand(MenuListEntry* entry, int16_t flag, int32_t item) {
    int32_t p = Resolve(entry, flag, item);
    if (p < 1) return;
    bool hadSubmenu = MenuItemSubmenuOf(entry->menu, p) != nullptr;
    DeleteMenuItemAt(entry->menu, p);
    if (hadSubmenu) RecomputeHasSubmenus(entry);
}

bool MenuWalk(MenuListEntry* entry, int32_t item, MenuWalkProc proc, void* data) {
    if (!entry || entry == PositionIsCommandEntry() || !proc) return true;
    return Walk(entry, std::max(item, int32_t(0)), proc, data, 0);
}

void MenuBarWalk(MenuWalkProc proc, void* data) {
    std::vector<MenuListEntry*> bar = g_bar;
    for (MenuListEntry* e : bar)
        if (!MenuWalk(e, 0, proc, data)) return;
}

MenuListEntry* FindMenuByCommand(uint32_t command, int32_t* position) {
    for (MenuListEntry* e : g_bar)
        if (MenuListEntry* found = Find(e, command, position, 0)) return found;
    return nullptr;
}
