// Menu records: a classic toolbox menu (menu id, title as item 0, numbered
// items with text, command key, mark, face, icon, submenu, command id, user
// value and tagged properties) kept beside a native popup menu whose items
// are all owner-drawn. Every native item's data is the address of its slot
// in the menu's item index, so an item the system reports leads back to
// its menu and position. Positions are 1-based; 0 is the menu itself where
// stated. Texts of items hold at most kMenuItemTextMax characters.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/menumetrics.h"
#include "toolbox/core/menunative.h"
#include "toolbox/core/menutemplate.h"
#include "toolbox/core/rect.h"

// Entry flags.
constexpr uint8_t kMenuEntrySubmenu = 0x01;
constexpr uint8_t kMenuEntrySeparator = 0x02;
constexpr uint8_t kMenuEntryOwnFace = 0x04;
constexpr uint8_t kMenuEntrySelfDrawn = 0x08;
// The check-mark character MenuItemCheckOf answers.
constexpr uint16_t kMenuCheckMark = 18;
// The face that returns an item to its menu's default face.
constexpr int32_t kMenuDefaultFace = 0x7F00;
// Command id of a new text item, and the item index's growth step.
constexpr uint32_t kMenuNewItemCommand = 1;
constexpr int32_t kMenuIndexStep = 32;
// Results.
constexpr int32_t kMenuBadArgument = 87;
constexpr int32_t kMenuOutOfMemory = 8;
constexpr int32_t kMenuPropertyAbsent = -5604;
constexpr int32_t kMenuBufferTooSmall = -30591;
// Bytes of a property entry's head (creator, tag, length).
constexpr int32_t kMenuPropertyHead = 12;

struct MenuRecord;

// The item drawing procedure of self-drawn items: (message, menu, item,
// data, user data) -> a byte. Message 1 measures the width (data: 16-bit
// width out), 2 the height (data: 16-bit height in and out), 3 draws
// (data: a MenuItemDrawData).
typedef uint8_t (*MenuItemDrawProc)(int32_t message, MenuRecord* menu, int32_t item, void* data,
                                    uint32_t userData);
constexpr int32_t kMenuDrawMeasureWidth = 1;
constexpr int32_t kMenuDrawMeasureHeight = 2;
constexpr int32_t kMenuDrawItem = 3;
struct MenuItemDrawData {
    Rect16 rect;
    uint8_t enabled;
    uint8_t selected;
};

// The item index: back reference, capacity, then capacity 16-bit slots,
// slot p holding p.
struct MenuItemIndex {
    MenuRecord* menu;
    uint16_t capacity;
    uint16_t slots[1]; // capacity slots
};

struct MenuItemEntry {
    uint16_t textSize = 0; // characters plus zero, rounded up to even
    uint8_t flags = 0;
    uint16_t key = 0;
    RelocatableBlock properties = nullptr;
    int32_t value = 0;
    int16_t iconId = 0;
    uint8_t face = 0;
    std::string text;
};

struct MenuRecord {
    int16_t menuId = 0;
    int16_t resourceId = 0;
    NativeMenu native = nullptr;
    MenuRecord* next = nullptr;
    MenuItemIndex* index = nullptr;
    // Handlers of 'menu' events aimed at this menu.
    EventReceiver receiver{kReceiverMenu, nullptr, nullptr, 0};
    std::vector<MenuItemEntry> entries; // entry 0: the title and the menu's properties
    MenuItemDrawProc itemProc = nullptr;
    uint32_t itemProcData = 0;
    int32_t trackingSerial = 0;
    void* font = nullptr; // null: the shared default menu font
    int16_t fontResolution = 0;
    int16_t fontNumber = 0;
    int16_t fontSize = 0;
    uint8_t defaultFace = 0;
    uint8_t flags = kMenuFlagEnabled;
    int16_t minWidth = 0;
    int16_t keyColumn = 0;
    int16_t width = 0;
    int16_t extraHeight = 0;
    MenuMetrics metrics;
};

// The font a menu measures with: its metrics and text widths, the fonts
// made for a font number and size (null: none made), the display's
// resolution and the font list. Natively a fixed stand-in without fonts;
// the Win32 build installs the system's menu font.
struct MenuFontProcs {
    MenuFontMetrics (*metrics)(const MenuRecord* menu);
    int32_t (*textWidth)(const MenuRecord* menu, const std::string& text, uint8_t face);
    void* (*create)(int16_t number, int16_t size, uint8_t face, int16_t resolution);
    void (*release)(void* font);
    int16_t (*displayResolution)();
    int32_t (*fontCount)();
    std::string (*fontName)(int32_t index);
};
// Resource types whose menus list the fonts.
constexpr uint32_t kFontMenuFond = FourCC("FOND");
constexpr uint32_t kFontMenuFont = FourCC("FONT");
void SetMenuFontProcs(const MenuFontProcs* procs);
const MenuFontProcs& MenuFonts();

// Menus made from resource items (the Win32 build reads the same template
// bytes): LoadMenuRecord supplies a submenu for a submenu item's id.
typedef MenuRecord* (*MenuSubmenuLoader)(int32_t resourceId);
MenuRecord* WrapMenuSource(int16_t menuId, int16_t resourceId, const std::string& title,
                           const std::vector<MenuSourceItem>& items, MenuSubmenuLoader loader);

MenuRecord* NewMenuRecord(int16_t menuId);
MenuRecord* NewMenuWithTitle(int16_t menuId, const char* title);
// The dialogs' name for a menu made with a title (popups of dialog items
// pass the item number + 0x4000 and an empty text).
inline MenuRecord* NewMenuFromText(int16_t menuId, const char* text) {
    return NewMenuWithTitle(menuId, text);
}
void DisposeMenuRecord(MenuRecord* menu);
// Head of the menu record list (newest first).
MenuRecord* MenuRecordList();
// The menu and 1-based position of a native item's data; null when the
// data is no slot of a living menu's index.
MenuRecord* MenuFromItemData(uintptr_t data, int32_t* position);

int32_t MenuItemCount(const MenuRecord* menu);
int32_t MenuRowHeight(const MenuRecord* menu);
int32_t MenuItemIndexCapacity(const MenuRecord* menu);
void InsertMenuItemText(MenuRecord* menu, const std::string& text, int32_t after);
void DeleteMenuItemAt(MenuRecord* menu, int32_t position);
std::string MenuItemTextOf(const MenuRecord* menu, int32_t position);
void SetMenuItemText(MenuRecord* menu, int32_t position, const std::string& text);
uint32_t MenuItemCommandOf(const MenuRecord* menu, int32_t position);
void SetMenuItemCommand(MenuRecord* menu, int32_t position, uint32_t command);
uint16_t MenuItemKeyOf(const MenuRecord* menu, int32_t position);
void SetMenuItemKey(MenuRecord* menu, int32_t position, uint16_t key);
uint16_t MenuItemCheckOf(const MenuRecord* menu, int32_t position);
inline uint16_t MenuItemMarkOf(const MenuRecord* menu, int32_t position) {
    return MenuItemCheckOf(menu, position);
}
void SetMenuItemChecked(MenuRecord* menu, int32_t position, bool checked);
void SetMenuItemMark(MenuRecord* menu, int32_t position, uint16_t mark);
int32_t MenuItemStyleOf(const MenuRecord* menu, int32_t position);
void SetMenuItemStyle(MenuRecord* menu, int32_t position, int32_t face);
bool MenuItemEnabled(const MenuRecord* menu, int32_t position);
void SetMenuItemEnabled(MenuRecord* menu, int32_t position, bool enabled);
inline void EnableMenuItemAt(MenuRecord* menu, int32_t position) {
    SetMenuItemEnabled(menu, position, true);
}
inline void DisableMenuItemAt(MenuRecord* menu, int32_t position) {
    SetMenuItemEnabled(menu, position, false);
}
MenuRecord* MenuItemSubmenuOf(const MenuRecord* menu, int32_t position);
void SetMenuItemSubmenu(MenuRecord* menu, int32_t position, MenuRecord* submenu);
int32_t MenuItemValueOf(const MenuRecord* menu, int32_t position, int32_t* value);
int32_t SetMenuItemValue(MenuRecord* menu, int32_t position, int32_t value);
int32_t MenuItemPropertiesOf(const MenuRecord* menu, int32_t position, RelocatableBlock* out);
int32_t SetMenuItemProperty(MenuRecord* menu, int32_t position, uint32_t creator, uint32_t tag,
                            int32_t length, const void* data);
// 0 when the buffer holds the data, kMenuBufferTooSmall when the copy was
// cut; the out length is always the stored length.
int32_t GetMenuItemProperty(const MenuRecord* menu, int32_t position, uint32_t creator,
                            uint32_t tag, int32_t bufferSize, int32_t* outLength, void* buffer);
void SetMenuMinWidth(MenuRecord* menu, int32_t width);
void SetMenuExtraHeight(MenuRecord* menu, int32_t pixels);
void SetMenuItemIcon(MenuRecord* menu, int32_t position, int16_t iconId);
// The menu's font: with a font number and a size a font made for them,
// else the default menu font; a resolution below 0 is the display's. The
// previous font is released; a change is measured anew.
void ApplyMenuFont(MenuRecord* menu, int16_t number, int16_t size, uint8_t face,
                   int16_t resolution);
// For the font resource types only: appends every font name at the end.
void BuildFontMenu(MenuRecord* menu, uint32_t resourceType);

// Self-drawn items: the menu's drawing procedure and an item's flag.
void SetMenuItemDrawProc(MenuRecord* menu, MenuItemDrawProc proc, uint32_t userData);
void SetMenuItemSelfDrawn(MenuRecord* menu, int32_t position, bool selfDrawn);
// An item's height: the metrics' rule, then a self-drawn item's answer.
int32_t MenuItemHeightOf(MenuRecord* menu, int32_t position);

// The width (computing it when 0), key column and column breaks.
MenuLayout MenuLayoutOf(MenuRecord* menu, int32_t screenHeight, bool longMenusScroll);
// The command-key text of an item ("" for separators, submenu items, key 0).
std::string MenuItemKeyText(const MenuRecord* menu, int32_t position);

// Called when a menu in the menu bar changes its title or enabled state
// (the menu bar installs it).
typedef void (*MenuBarItemChanged)(MenuRecord* menu);
void SetMenuBarItemChanged(MenuBarItemChanged proc);
MenuBarItemChanged MenuBarItemChangedProc();
// Called first when a menu is disposed (the menu bar lets it go).
void SetMenuDisposeHook(MenuBarItemChanged proc);
