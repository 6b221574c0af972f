// What a menu choice and a command key become: the tracking state the menu
// hook notes (context, serial, the item last hilited), the 32-bit menu
// choice (menu id high, item low) with its 'cmds' 1 event, the search of
// the menus for a command key with its 'menu' 8 and 'menu' 7 events, and
// the default menu update and choice that run until the shell installs its
// own procedures.
#pragma once
#include <cstdint>

#include "toolbox/core/eventobject.h"
#include "toolbox/core/menulist.h"

// Tracking contexts.
constexpr uint32_t kMenuContextBar = 0x10001;
constexpr uint32_t kMenuContextPopup = 0x20200;
constexpr uint32_t kMenuContextCommandKey = 0x40000;
constexpr uint32_t kMenuContextAllMenus = 0x101;
constexpr uint32_t kMenuContextSubmenu = 0x400;
constexpr uint32_t kMenuContextAllBit = 0x100;
constexpr uint32_t kMenuFirstSerial = 0x11110;
// Native id of the extra system-menu items.
constexpr uint32_t kSystemMenuItemId = 0x6000;
// 'menu' event kinds, the 'cmds' class and its kind.
constexpr uint32_t kMenuEventTrackingStarts = 1;
constexpr uint32_t kMenuEventTrackingEnds = 2;
constexpr uint32_t kMenuEventCommandKey = 7;
constexpr uint32_t kMenuEventOpening = 8;
constexpr uint32_t kEventClassMenu = FourCC("menu");
constexpr uint32_t kEventClassCommand = FourCC("cmds");
constexpr uint32_t kCommandEventProcess = 1;
constexpr uint32_t kParamMenuContext = FourCC("mctx");
constexpr uint32_t kParamCommand = FourCC("hcmd");
constexpr uint32_t kParamMenuItem = FourCC("item");
constexpr uint32_t kParamMenuOptions = FourCC("meop");
constexpr uint32_t kParamKeyEvent = FourCC("evnt");
constexpr uint32_t kParamMenuFork = FourCC("fork");
// A 'menu' 7 reply that ends the search of one menu without a match.
constexpr int32_t kMenuKeyNoMatch = -5622;
// Control in the modifier word, the key-search options.
constexpr uint32_t kMenuKeyControl = 0x1000;
constexpr uint32_t kMenuKeyDisabledMatch = 1;
constexpr uint32_t kMenuKeyNoHilite = 2;
constexpr uint32_t kMenuKeySubmenuItems = 4;
// Standard commands the default choice carries out.
constexpr uint32_t kCommandCloseWindow = 203;
constexpr uint32_t kCommandCloseAll = 204;
constexpr uint32_t kCommandQuit = 212;
// The command that ends the default update walk of a menu.
constexpr uint32_t kCommandEndsUpdateWalk = 103;

struct MenuTracking {
    uint32_t context = 0;
    uint32_t serial = kMenuFirstSerial;
    NativeMenu notedMenu = nullptr;
    int32_t notedPosition = -1; // 0-based; -1 none
    bool systemMenuNoted = false;
    uint32_t systemItemId = 0;    // native id of the hilited system-menu item
    uintptr_t systemItemData = 0; // its command
};
MenuTracking& MenuTrackingState();

// The choice the noted item gives (see TakeMenuChoice), and the 'cmds' 1
// event; a handled command gives 0 and unhilites the title. The context
// is cleared.
uint32_t TakeMenuChoice(uint32_t context, uint32_t modifiers);

// True with the menu and item that answer the key event; menu null: every
// bar menu from the left.
bool MenuCommandKey(MenuRecord* menu, EventObject keyEvent, uint32_t options, MenuRecord** outMenu,
                    int32_t* outItem);

// The event loop's menu key: when a bar menu answers the key event, its
// choice goes out as a 'cmds' 1 event (modifiers from 'kmod') and the
// title is unhilited; false when no menu answers.
bool ProcessMenuCommandKey(EventObject keyEvent);

// The installed update procedure, else the default walk over the bar.
void UpdateMenuBarMenus(int32_t flag);
void DefaultMenuUpdate();
// The installed choice procedure, else the default.
void MenuChoiceDefault(MenuRecord* menu, int32_t item, uint32_t modifiers, bool flag18,
                       bool flag17);

// The window layer's part of the standard commands (null: nothing done).
struct MenuWindowCommands {
    void (*closeFront)();
    bool (*closeAllAsking)(); // false when a window refused
    void (*endApplicationLoop)();
};
void SetMenuWindowCommands(const MenuWindowCommands* procs);
