// Row height = extra + ascent + descent + internal leading + 4; a separator
// takes half a row plus one, rounded down to even and at least 4, unless
// separators take full rows; an item with an icon is at least 20 high.
// Width = gap + widest item, then the key column (widest key text + 1.5
// gaps) when any item has a key, else one more gap when any item has a
// submenu; never below gap + indent nor the minimum width.
#include "toolbox/core/menumetrics.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t kMenuRowPadding = 4;
constexpr int32_t kMenuCheckPercent = 25;
constexpr int32_t kMenuCheckColumns = 3;
constexpr int32_t kMenuCheckInsetMin = 3;

} // namespace

int32_t MenuMulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t p = int64_t(a) * b;
    int64_t half = std::llabs(c) / 2;
    int64_t q = (p >= 0) == (c > 0) ? (std::llabs(p) + half) / std::llabs(c)
                                    : -((std::llabs(p) + half) / std::llabs(c));
    return int32_t(q);
}

MenuMetrics ComputeMenuMetrics(const MenuFontMetrics& font, int32_t extraHeight) {
    MenuMetrics m;
    m.ascent = font.ascent;
    m.descent = font.descent;
    m.internalLeading = font.internalLeading;
    m.baseline = (extraHeight + font.internalLeading + kMenuRowPadding) / 2 + font.descent / 3 -
                 font.internalLeading;
    m.rowHeight = extraHeight + font.ascent + font.descent + font.internalLeading + kMenuRowPadding;
    m.gap = (font.underscoreWidth + font.maxCharWidth) / 2;
    m.checkColumn = kMenuCheckColumns * MenuMulDiv(font.ascent, kMenuCheckPercent, 100);
    m.checkInset = std::max(kMenuCheckInsetMin, (font.ascent + font.descent) / 8 + 1);
    m.textIndent = m.checkColumn + 3 * m.checkInset;
    m.iconTextIndent = m.textIndent + 2 * m.checkInset + kMenuIconSide;
    return m;
}

int32_t MenuItemHeight(const MenuMetrics& m, uint8_t menuFlags, bool separator, bool hasIcon) {
    int32_t h = m.rowHeight;
    if (separator && !(menuFlags & kMenuFlagFullRowSeparators))
        h = std::max(kMenuSeparatorMinHeight, (m.rowHeight / 2 + 1) & ~1);
    if (hasIcon) h = std::max(h, kMenuIconItemMinHeight);
    return h;
}

MenuLayout LayoutMenu(const MenuMetrics& m, const std::vector<MenuLayoutItem>& items,
                      int32_t minWidth, bool breakColumns, int32_t screenHeight) {
    MenuLayout out;
    int32_t widest = 0, widestKey = 0, running = 0;
    bool anyKey = false, anySubmenu = false;
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuLayoutItem& it = items[i];
        running += it.height;
        if (breakColumns && running > screenHeight - kMenuScreenMargin && i > 0) {
            out.columnStarts.push_back(int32_t(i));
            running = it.height;
        }
        if (it.submenu) anySubmenu = true;
        if (it.selfWidth >= 0) {
            widest = std::max(widest, it.selfWidth - m.gap);
            continue;
        }
        if (it.separator) continue;
        int32_t indent = it.hasIcon ? m.iconTextIndent : m.textIndent;
        widest = std::max(widest, it.textWidth + indent);
        if (it.keyWidth >= 0) {
            anyKey = true;
            widestKey = std::max(widestKey, it.keyWidth);
        }
    }
    int32_t width = m.gap + widest;
    if (anyKey)
        width += widestKey + m.gap * kMenuKeyGapPercent / 100;
    else if (anySubmenu)
        width += m.gap;
    width = std::max({width, m.gap + m.textIndent, std::max(minWidth, int32_t(0))});
    out.width = width;
    out.keyColumn = width - m.gap - widestKey;
    return out;
}
