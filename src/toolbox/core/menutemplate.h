// Standard RT_MENU templates read into a tree of items, and the item rules
// of the program's menu resources: a backquote introduces the command key,
// "-" and empty texts are separators, an item disabled without being greyed
// refers to a submenu by its id. Reading never runs past the bytes it is
// given: a template that ends early or nests without end is refused.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Flags of a template item (16-bit, little-endian in the resource).
constexpr uint16_t kMenuTemplateGrayed = 0x0001;
constexpr uint16_t kMenuTemplateDisabled = 0x0002;
constexpr uint16_t kMenuTemplateChecked = 0x0008;
constexpr uint16_t kMenuTemplatePopup = 0x0010;
constexpr uint16_t kMenuTemplateEnd = 0x0080;
// Longest item text a menu keeps; longer resource texts are cut.
constexpr size_t kMenuItemTextMax = 255;
// Deepest popup nesting a template may have.
constexpr int kMenuTemplateDepthMax = 16;
// The character that introduces an item's command key in resource texts.
constexpr char kMenuKeyMark = '`';

// One template item: popups carry items and no id.
struct MenuTemplateItem {
    uint16_t flags = 0;
    uint16_t id = 0;
    std::string text; // 8-bit, cut to kMenuItemTextMax
    std::vector<MenuTemplateItem> items;
};

// The items of the template's top level; false for a malformed template
// (bad header, truncated item or text, missing end flag, nesting too deep).
bool ParseMenuTemplate(const uint8_t* bytes, size_t size, std::vector<MenuTemplateItem>& out);

// What a menu resource is, by its item 0.
enum class MenuResourceForm { kMalformed, kMenu, kBar };
// A menu resource: item 0 a popup (its text the title). A bar resource:
// item 0 neither a popup nor text; its other items' ids name the menus.
MenuResourceForm MenuResourceFormOf(const std::vector<MenuTemplateItem>& top);

// An item of a menu resource as a menu takes it.
enum class MenuSourceKind { kText, kSeparator, kSubmenu };
struct MenuSourceItem {
    MenuSourceKind kind = MenuSourceKind::kText;
    std::string text;     // "-" for separators
    uint16_t key = 0;     // command key, 0 none (never for submenu items)
    uint16_t command = 0; // the item's id: the submenu's resource id for submenus
    bool greyed = false;
    bool checked = false;
};
MenuSourceItem MenuSourceItemOf(const MenuTemplateItem& item);

// The command-key text shown in an item: "Ctrl+K" with the key upper-cased;
// empty for key 0.
std::string MenuCommandKeyText(uint16_t key);

// True when the text makes a separator ("-" or empty).
bool IsMenuSeparatorText(const std::string& text);
