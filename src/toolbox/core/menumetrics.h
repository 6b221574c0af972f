// Geometry of owner-drawn menus from the menu font's metrics: row and item
// heights, the gap unit, the check column and text indents, and the menu's
// width, key column and column breaks from measured item texts. Pure
// arithmetic: the caller measures texts in the item's font.
#pragma once
#include <cstdint>
#include <vector>

// Menu flags (the record's flag byte).
constexpr uint8_t kMenuFlagEnabled = 0x01;
constexpr uint8_t kMenuFlagFullRowSeparators = 0x02;
constexpr uint8_t kMenuFlagColumns = 0x04;
constexpr uint8_t kMenuFlagHasSubmenus = 0x08;
// Smallest separator height, smallest height of an item with an icon, the
// side of an item's icon, and the room kept below the last row of a column.
constexpr int32_t kMenuSeparatorMinHeight = 4;
constexpr int32_t kMenuIconItemMinHeight = 20;
constexpr int32_t kMenuIconSide = 16;
constexpr int32_t kMenuScreenMargin = 40;
// The key column's gap after the widest item, in percent of the gap unit.
constexpr int32_t kMenuKeyGapPercent = 150;

struct MenuFontMetrics {
    int32_t ascent = 0; // less internal leading
    int32_t descent = 0;
    int32_t internalLeading = 0;
    int32_t underscoreWidth = 0; // width of "_"
    int32_t maxCharWidth = 0;
};

struct MenuMetrics {
    int32_t ascent = 0, descent = 0, internalLeading = 0;
    int32_t baseline = 0;
    int32_t rowHeight = 0;
    int32_t gap = 0;
    int32_t checkColumn = 0;
    int32_t checkInset = 0;
    int32_t textIndent = 0;
    int32_t iconTextIndent = 0;
};

MenuMetrics ComputeMenuMetrics(const MenuFontMetrics& font, int32_t extraHeight);

// Height of one item before a self-drawn item's procedure adjusts it.
int32_t MenuItemHeight(const MenuMetrics& m, uint8_t menuFlags, bool separator, bool hasIcon);

struct MenuLayoutItem {
    bool separator = false;
    bool submenu = false;
    bool hasIcon = false;
    int32_t height = 0;
    int32_t textWidth = 0;  // text extent in the item's font
    int32_t keyWidth = -1;  // extent of the command-key text, -1 no key
    int32_t selfWidth = -1; // width a self-drawn item reports, -1 not self-drawn
};

struct MenuLayout {
    int32_t width = 0;
    int32_t keyColumn = 0;
    std::vector<int32_t> columnStarts; // 0-based items that start a new column
};

// breakColumns: the menu has flag 4 or the system does not scroll long
// menus; screenHeight: the screen's height in pixels.
MenuLayout LayoutMenu(const MenuMetrics& m, const std::vector<MenuLayoutItem>& items,
                      int32_t minWidth, bool breakColumns, int32_t screenHeight);

// a * b / c rounded to nearest, as the system's MulDiv.
int32_t MenuMulDiv(int32_t a, int32_t b, int32_t c);
