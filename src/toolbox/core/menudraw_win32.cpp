// Owner-drawn menu items on Win32: the system menu font (made once) with
// face variants made per use and deleted after it, the menu's width and
// column breaks measured when it opens, and each item drawn in the
// system's menu colours with its check mark and command-key text. An item
// the system reports that is no slot of a living menu is left to the
// default procedure.
#include <windows.h>

#include <algorithm>
#include <string>

#include "toolbox/core/icon_win32.h"
#include "toolbox/core/menutrack_win32.h"

namespace {

// Text faces of items.
constexpr uint8_t kFaceBold = 0x01;
constexpr uint8_t kFaceItalic = 0x02;
constexpr uint8_t kFaceUnderline = 0x04;
// The check mark: a tick when the ascent exceeds this, else a square.
constexpr int32_t kTickMinAscent = 7;
constexpr int32_t kTickPoints = 7;
// The tick in thirds of the check column: x, y pairs.
constexpr int32_t kTick[kTickPoints][2] = {{0, 3}, {1, 4}, {3, 2}, {3, 1}, {1, 3}, {0, 2}, {0, 3}};
constexpr int32_t kSquareInset = 2;
constexpr int32_t kHighlightRightInset = 2;
constexpr UINT kTextFormat = DT_SINGLELINE | DT_LEFT | DT_TOP;
constexpr int kPointsPerInch = 72;

HFONT g_menuFont = nullptr;

HFONT MenuFont() {
    if (!g_menuFont) {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            g_menuFont = CreateFontIndirectA(&metrics.lfMenuFont);
        if (!g_menuFont) g_menuFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    return g_menuFont;
}

// The menu's own font, else the default menu font.
HFONT BaseFont(const MenuRecord* menu) {
    return menu->font ? static_cast<HFONT>(menu->font) : MenuFont();
}

void ApplyFace(LOGFONTA& log, uint8_t face) {
    if (face & kFaceBold) log.lfWeight = FW_BOLD;
    log.lfItalic = (face & kFaceItalic) ? TRUE : FALSE;
    log.lfUnderline = (face & kFaceUnderline) ? TRUE : FALSE;
}

// The font of a face: the menu's font, or a variant the caller deletes.
HFONT FaceFont(const MenuRecord* menu, uint8_t face, bool* made) {
    *made = false;
    if (face == menu->defaultFace || face == 0) return BaseFont(menu);
    LOGFONTA log{};
    GetObjectA(BaseFont(menu), sizeof log, &log);
    ApplyFace(log, face);
    HFONT font = CreateFontIndirectA(&log);
    if (!font) return BaseFont(menu);
    *made = true;
    return font;
}

// Fonts made directly until a font list exists: the menu font's family at
// the size in points.
void* CreateSizedFont(int16_t, int16_t size, uint8_t face, int16_t resolution) {
    LOGFONTA log{};
    GetObjectA(MenuFont(), sizeof log, &log);
    log.lfHeight = -MulDiv(size, resolution, kPointsPerInch);
    log.lfWidth = 0;
    ApplyFace(log, face);
    return CreateFontIndirectA(&log);
}

void DeleteSizedFont(void* font) {
    DeleteObject(static_cast<HFONT>(font));
}

int16_t ScreenResolution() {
    static int16_t resolution = 0;
    if (resolution == 0) {
        HDC dc = GetDC(nullptr);
        resolution = int16_t(GetDeviceCaps(dc, LOGPIXELSY));
        ReleaseDC(nullptr, dc);
    }
    return resolution;
}

MenuFontMetrics SystemMetrics(const MenuRecord* menu) {
    MenuFontMetrics m;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, BaseFont(menu));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SIZE underscore{0, 0};
    GetTextExtentPoint32A(dc, "_", 1, &underscore);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    m.ascent = tm.tmAscent - tm.tmInternalLeading;
    m.descent = tm.tmDescent;
    m.internalLeading = tm.tmInternalLeading;
    m.underscoreWidth = underscore.cx;
    m.maxCharWidth = tm.tmMaxCharWidth;
    return m;
}

int32_t SystemTextWidth(const MenuRecord* menu, const std::string& text, uint8_t face) {
    bool made = false;
    HFONT font = FaceFont(menu, face, &made);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &r, kTextFormat | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (made) DeleteObject(font);
    return r.right - r.left;
}

const MenuFontProcs kSystemFonts{&SystemMetrics,   &SystemTextWidth,  &CreateSizedFont,
                                 &DeleteSizedFont, &ScreenResolution, nullptr,
                                 nullptr};

void SetColumnBreak(HMENU native, int32_t position, bool on) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoA(native, UINT(position), TRUE, &info)) return;
    bool has = info.fType & MFT_MENUBREAK;
    if (has == on) return;
    info.fType = on ? (info.fType | MFT_MENUBREAK) : (info.fType & ~UINT(MFT_MENUBREAK));
    SetMenuItemInfoA(native, UINT(position), TRUE, &info);
}

void DrawCheck(HDC dc, const MenuMetrics& m, const RECT& r, COLORREF colour) {
    int32_t unit = std::max(1, m.checkColumn / 3);
    int32_t x = r.left + m.checkInset;
    int32_t y = (r.top + r.bottom) / 2 - unit * 2;
    HBRUSH brush = CreateSolidBrush(colour);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    if (m.ascent > kTickMinAscent) {
        POINT points[kTickPoints];
        for (int i = 0; i < kTickPoints; ++i)
            points[i] = POINT{x + kTick[i][0] * unit, y + kTick[i][1] * unit};
        Polygon(dc, points, kTickPoints);
    } else {
        int32_t side = std::max(1, unit - kSquareInset);
        int32_t top = (r.top + r.bottom - side) / 2;
        RoundRect(dc, x, top, x + side, top + side, 2, 2);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void DrawItemText(HDC dc, const std::string& text, int32_t x, int32_t y, bool disabled) {
    if (disabled) {
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text.c_str()),
                   WPARAM(text.size()), x, y, 0, 0, DST_PREFIXTEXT | DSS_DISABLED);
        return;
    }
    RECT r{x, y, x + 0x7FFF, y + 0x7FFF};
    DrawTextA(dc, text.c_str(), int(text.size()), &r, kTextFormat | DT_NOCLIP);
}

// Icon, text, command-key text and check mark of an item that draws
// itself not; the item's font is selected.
void DrawTextAndMarks(HDC dc, const MenuRecord* menu, int32_t position, const RECT& r, bool greyed,
                      bool selected, bool checked, COLORREF text) {
    const MenuItemEntry& e = menu->entries[size_t(position)];
    const MenuMetrics& m = menu->metrics;
    int32_t indent = e.iconId ? m.iconTextIndent : m.textIndent;
    int32_t y = r.top + m.baseline;
    if (e.iconId && r.bottom - r.top > m.rowHeight) y += (r.bottom - r.top - m.rowHeight) / 2;
    bool drawDisabled = greyed && !selected;
    if (e.iconId) {
        int16_t top = int16_t((r.top + r.bottom - kMenuIconSide) / 2);
        int16_t left = int16_t(r.left + m.textIndent);
        Rect16 box{top, left, int16_t(top + kMenuIconSide), int16_t(left + kMenuIconSide)};
        DrawIconInRectOf(dc, &box, false, greyed ? kIconGreyed : kIconNormal, e.iconId);
    }
    DrawItemText(dc, e.text, r.left + indent, y, drawDisabled);
    SelectObject(dc, BaseFont(menu));
    std::string key = MenuItemKeyText(menu, position);
    if (!key.empty()) DrawItemText(dc, key, r.left + menu->keyColumn, y, drawDisabled);
    if (checked && !(e.flags & kMenuEntrySubmenu)) DrawCheck(dc, m, r, text);
}

} // namespace

void InstallMenuFonts() {
    SetMenuFontProcs(&kSystemFonts);
}

void MeasureMenuWidth(MenuRecord* menu) {
    if (!menu) return;
    MenuLayout layout = MenuLayoutOf(menu, GetSystemMetrics(SM_CYSCREEN), LongMenusScroll());
    HMENU native = reinterpret_cast<HMENU>(menu->native);
    for (int32_t p = 0; p < MenuItemCount(menu); ++p)
        SetColumnBreak(native, p,
                       std::find(layout.columnStarts.begin(), layout.columnStarts.end(), p) !=
                           layout.columnStarts.end());
}

bool MeasureMenuItem(MEASUREITEMSTRUCT* item) {
    int32_t position = 0;
    MenuRecord* menu = item ? MenuFromItemData(item->itemData, &position) : nullptr;
    if (!menu) return false;
    if (menu->width == 0) MeasureMenuWidth(menu);
    item->itemWidth = UINT(std::max(0, menu->width - GetSystemMetrics(SM_CXMENUCHECK) - 1));
    item->itemHeight = UINT(std::max(0, MenuItemHeightOf(menu, position)));
    return true;
}

bool DrawMenuItem(const DRAWITEMSTRUCT* item) {
    int32_t position = 0;
    MenuRecord* menu = item ? MenuFromItemData(item->itemData, &position) : nullptr;
    if (!menu) return false;
    const MenuItemEntry& e = menu->entries[size_t(position)];
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    bool selectionChange = item->itemAction == ODA_SELECT;
    bool greyed = item->itemState & (ODS_GRAYED | ODS_DISABLED);
    bool selected = item->itemState & ODS_SELECTED;
    if (!(menu->flags & kMenuFlagEnabled)) {
        if (selectionChange) return true;
        greyed = true;
        selected = false;
    }
    if (e.flags & kMenuEntrySeparator) {
        if (!selectionChange) {
            RECT line = r;
            line.top = (r.top + r.bottom) / 2 - 1;
            DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        }
        return true;
    }
    COLORREF text = GetSysColor(COLOR_MENUTEXT);
    if (selected) text = GetSysColor(greyed ? COLOR_GRAYTEXT : COLOR_HIGHLIGHTTEXT);
    if (selectionChange || selected) {
        RECT fill = r;
        fill.right -= kHighlightRightInset;
        FillRect(dc, &fill, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, text);
    bool made = false;
    HFONT font = FaceFont(menu, uint8_t(MenuItemStyleOf(menu, position)), &made);
    HGDIOBJ oldFont = SelectObject(dc, font);
    if (menu->itemProc && (e.flags & kMenuEntrySelfDrawn)) {
        // The procedure draws in the item's font on the item's colours.
        SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
        MenuItemDrawData data{{int16_t(r.top), int16_t(r.left), int16_t(r.bottom),
                               int16_t(r.right - kHighlightRightInset)},
                              uint8_t(!greyed),
                              uint8_t(selected)};
        menu->itemProc(kMenuDrawItem, menu, position, &data, menu->itemProcData);
    } else {
        DrawTextAndMarks(dc, menu, position, r, greyed, selected, item->itemState & ODS_CHECKED,
                         text);
    }
    SelectObject(dc, oldFont);
    if (made) DeleteObject(font);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    return true;
}
