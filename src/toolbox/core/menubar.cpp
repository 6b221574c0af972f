// The bar list and the native bar always hold the same program menus in
// the same order, after any foreign items; a menu is in the bar at most
// once. A resource that is missing or malformed loads no menu; loading a
// bar list leaves the bar shown before as it was.
#include "toolbox/core/menubar.h"

#include <algorithm>

#include "toolbox/core/heap.h"
#include "toolbox/core/resource.h"

namespace {

NativeMenu g_bar = nullptr;
MenuBarList g_list;
int16_t g_hilited = 0;
bool g_popupTracked = false;
MenuBarDisplayProcs g_display{nullptr, nullptr};

bool IsProgramMenu(NativeMenu popup) {
    for (MenuRecord* m = MenuRecordList(); m; m = m->next)
        if (m->native == popup) return true;
    return false;
}

// Native position of the first program menu (the count when none).
int32_t FirstProgramPosition() {
    NativeMenu bar = MenuBarNative();
    int32_t count = NativeMenuCount(bar);
    for (int32_t p = 0; p < count; ++p) {
        NativeMenuItem item;
        if (NativeMenuRead(bar, p, item) && item.popup && IsProgramMenu(item.popup)) return p;
    }
    return count;
}

int32_t NativePositionOf(const MenuRecord* menu) {
    NativeMenu bar = MenuBarNative();
    for (int32_t p = 0; p < NativeMenuCount(bar); ++p) {
        NativeMenuItem item;
        if (NativeMenuRead(bar, p, item) && item.popup == menu->native) return p;
    }
    return -1;
}

void BarItemChanged(MenuRecord* menu) {
    int32_t at = NativePositionOf(menu);
    if (at < 0) return;
    NativeMenuSetTitle(MenuBarNative(), at, menu->entries[0].text.c_str(),
                       !(menu->flags & kMenuFlagEnabled));
}

bool Contains(const MenuRecord* menu, int16_t id, int depth) {
    for (int32_t p = 1; p <= MenuItemCount(menu) && depth < 64; ++p) {
        MenuRecord* sub = MenuItemSubmenuOf(menu, p);
        if (sub && (sub->menuId == id || Contains(sub, id, depth + 1))) return true;
    }
    return false;
}

MenuRecord* FindSubmenu(const MenuRecord* menu, int16_t id, int depth) {
    for (int32_t p = 1; p <= MenuItemCount(menu) && depth < 64; ++p) {
        MenuRecord* sub = MenuItemSubmenuOf(menu, p);
        if (!sub) continue;
        if (sub->menuId == id) return sub;
        if (MenuRecord* deeper = FindSubmenu(sub, id, depth + 1)) return deeper;
    }
    return nullptr;
}

void MenuDisposed(MenuRecord* menu) {
    auto at = std::find(g_list.menus.begin(), g_list.menus.end(), menu);
    if (at == g_list.menus.end()) return;
    if (g_hilited == menu->menuId) UnhiliteMenuTitle();
    int32_t native = NativePositionOf(menu);
    if (native >= 0) NativeMenuRemove(MenuBarNative(), native);
    g_list.menus.erase(at);
}

bool ReadTemplate(int32_t resourceId, std::vector<MenuTemplateItem>& top) {
    RelocatableBlock block = LoadCustomResource(kResourceTypeMenu, resourceId);
    if (!block) return false;
    bool ok = ParseMenuTemplate(static_cast<const uint8_t*>(*block),
                                size_t(RelocatableBlockSize(block)), top);
    ReleaseCustomResource(block);
    return ok;
}

} // namespace

NativeMenu MenuBarNative() {
    if (!g_bar) {
        g_bar = NativeMenuCreateBar();
        SetMenuBarItemChanged(&BarItemChanged);
        SetMenuDisposeHook(&MenuDisposed);
    }
    return g_bar;
}

void MenuBarReset() {
    ClearMenuBar();
    g_hilited = 0;
    g_popupTracked = false;
}

MenuRecord* LoadMenuRecord(int32_t resourceId) {
    for (MenuRecord* m = MenuRecordList(); m; m = m->next)
        if (m->resourceId == resourceId) return m;
    std::vector<MenuTemplateItem> top;
    if (resourceId == 0 || !ReadTemplate(resourceId, top)) return nullptr;
    if (MenuResourceFormOf(top) != MenuResourceForm::kMenu) return nullptr;
    std::vector<MenuSourceItem> items;
    for (const MenuTemplateItem& t : top[0].items)
        items.push_back(MenuSourceItemOf(t));
    return WrapMenuSource(int16_t(resourceId), int16_t(resourceId), top[0].text, items,
                          &LoadMenuRecord);
}

MenuBarList* LoadMenuBarList(int32_t resourceId) {
    std::vector<MenuTemplateItem> top;
    if (!ReadTemplate(resourceId, top) || MenuResourceFormOf(top) != MenuResourceForm::kBar)
        return nullptr;
    MenuBarList* saved = CopyMenuBarList();
    ClearMenuBar();
    int32_t listed = std::min(int32_t(top.size()) - 1, kMenuBarMenusMax);
    for (int32_t k = 1; k <= listed; ++k)
        if (MenuRecord* m = LoadMenuRecord(top[size_t(k)].id)) InsertMenuInBar(m, 0);
    MenuBarList* result = CopyMenuBarList();
    SetMenuBarList(saved);
    DisposeMenuBarList(saved);
    return result;
}

MenuBarList* CopyMenuBarList() {
    return new MenuBarList(g_list);
}

void DisposeMenuBarList(MenuBarList* list) {
    delete list;
}

void ClearMenuBar() {
    UnhiliteMenuTitle();
    for (MenuRecord* m : g_list.menus) {
        int32_t at = NativePositionOf(m);
        if (at >= 0) NativeMenuRemove(MenuBarNative(), at);
    }
    g_list.menus.clear();
}

void SetMenuBarList(const MenuBarList* list) {
    ClearMenuBar();
    if (!list) return;
    for (MenuRecord* m : list->menus)
        InsertMenuInBar(m, 0);
}

void InsertMenuInBar(MenuRecord* menu, int16_t beforeId) {
    if (!menu || beforeId == -1) return;
    for (MenuRecord* m : g_list.menus)
        if (m->menuId == menu->menuId || Contains(m, menu->menuId, 0)) return;
    int32_t index = MenuBarIndexOf(beforeId);
    if (beforeId == 0) index = MenuBarCount();
    int32_t nativeAt = FirstProgramPosition() + index;
    g_list.menus.insert(g_list.menus.begin() + index, menu);
    NativeMenuInsertTitle(MenuBarNative(), nativeAt, menu->entries[0].text.c_str(), menu->native,
                          !(menu->flags & kMenuFlagEnabled));
}

void DeleteMenuFromBar(int16_t menuId) {
    int32_t index = MenuBarIndexOf(menuId);
    if (menuId == 0 || index >= MenuBarCount()) return;
    UnhiliteMenuTitle();
    MenuRecord* menu = g_list.menus[size_t(index)];
    int32_t at = NativePositionOf(menu);
    if (at >= 0) NativeMenuRemove(MenuBarNative(), at);
    g_list.menus.erase(g_list.menus.begin() + index);
}

MenuRecord* FindMenuInBar(int16_t menuId) {
    for (MenuRecord* m : g_list.menus)
        if (m->menuId == menuId) return m;
    for (MenuRecord* m : g_list.menus)
        if (MenuRecord* sub = FindSubmenu(m, menuId, 0)) return sub;
    return nullptr;
}

int32_t MenuBarCount() {
    return int32_t(g_list.menus.size());
}

MenuRecord* MenuBarMenuAt(int32_t index) {
    if (index < 0 || index >= MenuBarCount()) return nullptr;
    return g_list.menus[size_t(index)];
}

int32_t MenuBarIndexOf(int16_t menuId) {
    if (menuId != 0)
        for (int32_t k = 0; k < MenuBarCount(); ++k)
            if (g_list.menus[size_t(k)]->menuId == menuId) return k;
    return MenuBarCount();
}

void HiliteMenuTitle(int16_t menuId) {
    if (menuId == 0 || menuId == kSystemMenuId || g_popupTracked) return;
    if (g_hilited == menuId) return;
    UnhiliteMenuTitle();
    MenuRecord* menu = MenuBarMenuAt(MenuBarIndexOf(menuId));
    if (!menu) return;
    g_hilited = menuId;
    if (g_display.hiliteTitle) g_display.hiliteTitle(NativePositionOf(menu), true);
}

void UnhiliteMenuTitle() {
    if (g_hilited == 0) return;
    MenuRecord* menu = MenuBarMenuAt(MenuBarIndexOf(g_hilited));
    g_hilited = 0;
    if (menu && g_display.hiliteTitle) g_display.hiliteTitle(NativePositionOf(menu), false);
}

int16_t MenuHilitedTitle() {
    return g_hilited;
}

void SetMenuPopupTracked(bool tracked) {
    g_popupTracked = tracked;
}

bool MenuPopupTracked() {
    return g_popupTracked;
}

void SetMenuBarDisplayProcs(const MenuBarDisplayProcs* procs) {
    g_display = procs ? *procs : MenuBarDisplayProcs{nullptr, nullptr};
}

void RedrawMenuBar() {
    if (g_display.redraw) g_display.redraw();
}
