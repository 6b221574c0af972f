// Menu choices and command keys. A choice is taken once: the context is
// cleared whatever the outcome, and only an enabled program menu gives a
// choice. The key search visits menus left to right and submenus depth
// first, never deeper than a fixed depth.
#include "toolbox/core/menucommands.h"

#include <cctype>

#include "toolbox/core/eventconvert.h"
#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/eventtypes.h"

namespace {

MenuTracking g_tracking;
MenuWindowCommands g_window{nullptr, nullptr, nullptr};
constexpr int kKeySearchDepthMax = 64;
constexpr uint32_t kTypeMagnitude = FourCC("magn");
constexpr uint32_t kTypeMenu = FourCC("menu");
constexpr uint32_t kTypeBool = FourCC("bool");
constexpr uint32_t kTypeEventRef = FourCC("evrf");
constexpr uint32_t kTypeMenuOptions = FourCC("meop");
constexpr uint32_t kTypeMenuIndex = FourCC("midx");
constexpr uint32_t kTypeCommand = FourCC("hcmd");
constexpr uint32_t kControlLetterLast = 26;
constexpr uint32_t kControlLetterOffset = 64;

EventObject MenuEvent(uint32_t kind, MenuRecord* menu, uint32_t context) {
    EventObject event = nullptr;
    if (EventObjectNew(kEventClassMenu, kind, &event) != 0) return nullptr;
    EventParamSet(event, kEventParamDirectObject, kTypeMenu, sizeof menu, &menu);
    EventParamSet(event, kParamMenuContext, kTypeMagnitude, sizeof context, &context);
    return event;
}

bool ItemMatches(MenuRecord* menu, int32_t p, uint16_t key, uint32_t options) {
    uint16_t k = MenuItemKeyOf(menu, p);
    if (k == 0 || std::toupper(k) != key) return false;
    return (options & kMenuKeyDisabledMatch) || MenuItemEnabled(menu, p);
}

bool SearchMenu(MenuRecord* menu, EventObject keyEvent, uint16_t key, uint32_t options,
                uint32_t context, int depth, MenuRecord** outMenu, int32_t* outItem) {
    if (!menu || depth > kKeySearchDepthMax) return false;
    if (EventObject opening = MenuEvent(kMenuEventOpening, menu, context)) {
        uint8_t fork = 1;
        EventParamSet(opening, kParamMenuFork, kTypeBool, 1, &fork);
        SendEventToReceiver(opening, &menu->receiver);
        EventObjectRelease(opening);
    }
    if (menu->receiver.first) {
        if (EventObject ask = MenuEvent(kMenuEventCommandKey, menu, context)) {
            EventParamSet(ask, kParamKeyEvent, kTypeEventRef, sizeof keyEvent, &keyEvent);
            EventParamSet(ask, kParamMenuOptions, kTypeMenuOptions, sizeof options, &options);
            int32_t result = SendEventToReceiver(ask, &menu->receiver);
            int16_t item = 0;
            if (result == 0) EventParamGet(ask, kParamMenuItem, kTypeMenuIndex, sizeof item, &item);
            EventObjectRelease(ask);
            if (result == kMenuKeyNoMatch) return false;
            if (result == 0) {
                *outMenu = menu;
                *outItem = item;
                return true;
            }
        }
    }
    for (int32_t p = 1; p <= MenuItemCount(menu); ++p) {
        MenuRecord* sub = MenuItemSubmenuOf(menu, p);
        if ((!sub || (options & kMenuKeySubmenuItems)) && ItemMatches(menu, p, key, options)) {
            *outMenu = menu;
            *outItem = p;
            return true;
        }
        if (sub && SearchMenu(sub, keyEvent, key, options,
                              (context | kMenuContextSubmenu) & ~kMenuContextAllBit, depth + 1,
                              outMenu, outItem))
            return true;
    }
    return false;
}

void WalkDefault(MenuRecord* menu, int depth) {
    if (!menu || depth > kKeySearchDepthMax) return;
    for (int32_t p = 1; p <= MenuItemCount(menu); ++p) {
        std::string text = MenuItemTextOf(menu, p);
        if (text.empty() || text[0] == '-') {
            SetMenuItemEnabled(menu, p, false);
            continue;
        }
        uint32_t command = uint32_t(menu->menuId + p);
        if (command == kCommandEndsUpdateWalk) return;
        SetMenuItemCommand(menu, p, command);
        SetMenuItemEnabled(menu, p, true);
        SetMenuItemChecked(menu, p, false);
        WalkDefault(MenuItemSubmenuOf(menu, p), depth + 1);
    }
}

} // namespace

MenuTracking& MenuTrackingState() {
    return g_tracking;
}

void SetMenuWindowCommands(const MenuWindowCommands* procs) {
    g_window = procs ? *procs : MenuWindowCommands{nullptr, nullptr, nullptr};
}

uint32_t TakeMenuChoice(uint32_t context, uint32_t modifiers) {
    MenuTracking& t = g_tracking;
    if (t.context == 0) return 0;
    uint32_t choice = 0;
    EventCommandRecord command{1, 0, nullptr, 0};
    MenuRecord* menu = nullptr;
    if (t.systemMenuNoted) {
        if (t.systemItemId == kSystemMenuItemId) {
            choice = (uint32_t(uint16_t(kSystemMenuId)) << 16) | uint16_t(t.systemItemData);
            command.command = uint32_t(-1);
            command.menu = reinterpret_cast<void*>(intptr_t(-1));
            command.item = uint16_t(t.systemItemData);
        }
    } else if (t.notedPosition >= 0) {
        for (MenuRecord* m = MenuRecordList(); m; m = m->next)
            if (m->native == t.notedMenu) menu = m;
        if (menu && MenuItemEnabled(menu, 0)) {
            int32_t item = t.notedPosition + 1;
            choice = (uint32_t(uint16_t(menu->menuId)) << 16) | uint16_t(item);
            command.command = MenuItemCommandOf(menu, item);
            command.menu = menu;
            command.item = uint16_t(item);
        }
    }
    if (choice != 0) {
        HiliteMenuTitle(int16_t(choice >> 16));
        EventObject event = nullptr;
        if (EventObjectNew(kEventClassCommand, kCommandEventProcess, &event) == 0) {
            EventParamSet(event, kEventParamDirectObject, kTypeCommand, sizeof command, &command);
            EventParamSet(event, kParamMenuContext, kTypeMagnitude, sizeof context, &context);
            EventParamSet(event, kParamModifiers, kTypeMagnitude, sizeof modifiers, &modifiers);
            int32_t result = SendEventToReceiver(event, FocusEventReceiver());
            EventObjectRelease(event);
            if (result != kEventNotHandled) {
                UnhiliteMenuTitle();
                choice = 0;
            }
        }
    }
    t.context = 0;
    t.systemMenuNoted = false;
    t.notedPosition = -1;
    return choice;
}

bool MenuCommandKey(MenuRecord* menu, EventObject keyEvent, uint32_t options, MenuRecord** outMenu,
                    int32_t* outItem) {
    uint32_t modifiers = 0;
    uint8_t character = 0;
    EventParamGet(keyEvent, kParamModifiers, kTypeMagnitude, sizeof modifiers, &modifiers);
    EventParamGet(keyEvent, kParamKeyChar, FourCC("TEXT"), 1, &character);
    if (!(modifiers & kMenuKeyControl) || character == 0) return false;
    uint16_t key = character;
    if (key <= kControlLetterLast) key = uint16_t(key + kControlLetterOffset);
    key = uint16_t(std::toupper(key));
    MenuRecord* found = nullptr;
    int32_t item = 0;
    bool hit = false;
    if (menu) {
        hit = SearchMenu(menu, keyEvent, key, options, kMenuContextCommandKey, 0, &found, &item);
    } else {
        for (int32_t k = 0; !hit && k < MenuBarCount(); ++k)
            hit = SearchMenu(MenuBarMenuAt(k), keyEvent, key, options,
                             kMenuContextCommandKey | kMenuContextAllMenus, 0, &found, &item);
    }
    if (!hit) return false;
    if (!(options & kMenuKeyNoHilite)) HiliteMenuTitle(found->menuId);
    if (outMenu) *outMenu = found;
    if (outItem) *outItem = item;
    return true;
}

bool ProcessMenuCommandKey(EventObject keyEvent) {
    MenuRecord* menu = nullptr;
    int32_t item = 0;
    if (!MenuCommandKey(nullptr, keyEvent, 0, &menu, &item) || !menu || item < 1) return false;
    uint32_t modifiers = 0;
    EventParamGet(keyEvent, kParamModifiers, kTypeMagnitude, sizeof modifiers, &modifiers);
    uint32_t context = kMenuContextCommandKey | kMenuContextAllMenus;
    g_tracking.context = context;
    g_tracking.systemMenuNoted = false;
    g_tracking.notedMenu = menu->native;
    g_tracking.notedPosition = item - 1;
    TakeMenuChoice(context, modifiers);
    UnhiliteMenuTitle();
    return true;
}

void DefaultMenuUpdate() {
    bool changed = false;
    for (int32_t k = 0; k < MenuBarCount(); ++k) {
        MenuRecord* menu = MenuBarMenuAt(k);
        if (menu->menuId < 0) continue;
        if (!MenuItemEnabled(menu, 0)) {
            SetMenuItemEnabled(menu, 0, true);
            changed = true;
        }
        WalkDefault(menu, 0);
    }
    if (changed) RedrawMenuBar();
}

void UpdateMenuBarMenus(int32_t flag) {
    if (MenuUpdateProc proc = InstalledMenuUpdate())
        proc(flag);
    else
        DefaultMenuUpdate();
}

void MenuChoiceDefault(MenuRecord* menu, int32_t item, uint32_t modifiers, bool flag18,
                       bool flag17) {
    if (MenuChoiceProc proc = InstalledMenuChoice()) {
        proc(menu, item, modifiers, flag18, flag17);
        return;
    }
    if (flag18 || !menu) return;
    uint32_t command = MenuItemCommandOf(menu, item);
    if (command == 0) command = uint32_t(menu->menuId + item);
    if (command == kCommandCloseWindow) {
        if (g_window.closeFront) g_window.closeFront();
    } else if (command == kCommandCloseAll || command == kCommandQuit) {
        bool all = g_window.closeAllAsking ? g_window.closeAllAsking() : true;
        if (command == kCommandQuit && all && g_window.endApplicationLoop)
            g_window.endApplicationLoop();
    }
}
