// Menu records over native menus. Guarantees: entry p and native item p - 1
// always describe the same item; every native item's data is the address of
// slot p of the current index (rebuilt, in steps of 32 slots, whenever the
// item count + 1 would exceed its capacity, so the last item's slot always
// lies inside it); a menu never becomes its own submenu, directly or
// through others; an item's text holds at most kMenuItemTextMax characters
// (its text-area size is 16-bit). Properties are tagged entries {creator,
// tag, length (32-bit each, machine order), data padded to even}, each
// (length + 13) & ~1 bytes.
#include "toolbox/core/menurecord.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "toolbox/core/hooktable.h"

namespace {

MenuRecord* g_menus = nullptr;
MenuBarItemChanged g_barChanged = nullptr;
MenuBarItemChanged g_disposing = nullptr;

// The native build's stand-in font: fixed metrics, 7 pixels a character.
constexpr MenuFontMetrics kStandInFont{11, 3, 2, 6, 14};
constexpr int32_t kStandInCharWidth = 7;

MenuFontMetrics StandInMetrics(const MenuRecord*) {
    return kStandInFont;
}
int32_t StandInWidth(const MenuRecord*, const std::string& text, uint8_t) {
    return int32_t(text.size()) * kStandInCharWidth;
}

void* NoFont(int16_t, int16_t, uint8_t, int16_t) {
    return nullptr;
}
void NoRelease(void*) {}
constexpr int16_t kStandInResolution = 96;
int16_t StandInResolution() {
    return kStandInResolution;
}
int32_t NoFonts() {
    return 0;
}
std::string NoFontName(int32_t) {
    return std::string();
}

const MenuFontProcs kStandInFonts{&StandInMetrics,    &StandInWidth, &NoFont,    &NoRelease,
                                  &StandInResolution, &NoFonts,      &NoFontName};
MenuFontProcs g_fonts = kStandInFonts;

constexpr size_t kIndexHead = offsetof(MenuItemIndex, slots);
constexpr int32_t kMenuDepthMax = 64;

bool InRange(const MenuRecord* menu, int32_t position) {
    return menu && position >= 1 && position < int32_t(menu->entries.size());
}

uint16_t TextSizeOf(const std::string& text) {
    return uint16_t((text.size() + 2) & ~size_t(1));
}

void PutText(MenuItemEntry& e, const std::string& text) {
    e.text = text.substr(0, kMenuItemTextMax);
    e.textSize = TextSizeOf(e.text);
}

NativeMenuItem ReadNative(const MenuRecord* menu, int32_t position) {
    NativeMenuItem item;
    NativeMenuRead(menu->native, position - 1, item);
    return item;
}

void WriteNative(MenuRecord* menu, int32_t position, const NativeMenuItem& item) {
    NativeMenuWrite(menu->native, position - 1, item);
}

// Makes room for count items; false (old index kept) without memory.
bool EnsureIndex(MenuRecord* menu, int32_t count) {
    int32_t need = count + 1;
    if (menu->index && need <= menu->index->capacity) return true;
    int32_t capacity = (need + kMenuIndexStep - 1) / kMenuIndexStep * kMenuIndexStep;
    auto* index = static_cast<MenuItemIndex*>(
        NewPointerBlockClear(nullptr, int32_t(kIndexHead + sizeof(uint16_t) * size_t(capacity))));
    if (!index) return false;
    index->menu = menu;
    index->capacity = uint16_t(capacity);
    for (int32_t p = 0; p < capacity; ++p)
        index->slots[p] = uint16_t(p);
    if (menu->index) FreeHeapBlock(menu->index);
    menu->index = index;
    return true;
}

// Points native items from position on at their slots.
void Renumber(MenuRecord* menu, int32_t from) {
    int32_t count = MenuItemCount(menu);
    for (int32_t p = std::max(from, int32_t(1)); p <= count; ++p) {
        menu->index->slots[p] = uint16_t(p);
        NativeMenuItem item = ReadNative(menu, p);
        item.data = reinterpret_cast<uintptr_t>(&menu->index->slots[p]);
        WriteNative(menu, p, item);
    }
}

void ComputeMetrics(MenuRecord* menu) {
    menu->metrics = ComputeMenuMetrics(MenuFonts().metrics(menu), menu->extraHeight);
}

// After a change of measurement: a measured menu is measured again when it
// next opens, its native items inserted anew so the system asks again.
void Refresh(MenuRecord* menu) {
    if (menu->width == 0) return;
    menu->width = 0;
    int32_t count = MenuItemCount(menu);
    for (int32_t p = 1; p <= count; ++p) {
        NativeMenuItem item = ReadNative(menu, p);
        NativeMenuRemove(menu->native, p - 1);
        NativeMenuInsert(menu->native, p - 1, item);
    }
}

void RecomputeSubmenuFlag(MenuRecord* menu) {
    bool any = false;
    for (size_t p = 1; p < menu->entries.size(); ++p)
        any = any || (menu->entries[p].flags & kMenuEntrySubmenu);
    menu->flags =
        uint8_t(any ? menu->flags | kMenuFlagHasSubmenus : menu->flags & ~kMenuFlagHasSubmenus);
}

MenuRecord* RecordOfNative(NativeMenu native) {
    for (MenuRecord* m = g_menus; m; m = m->next)
        if (m->native == native) return m;
    return nullptr;
}

// True when target is from or lies among from's submenus.
bool Reaches(const MenuRecord* from, const MenuRecord* target, int depth) {
    if (from == target) return true;
    if (!from || depth > kMenuDepthMax) return depth > kMenuDepthMax;
    for (int32_t p = 1; p <= MenuItemCount(from); ++p)
        if (Reaches(MenuItemSubmenuOf(from, p), target, depth + 1)) return true;
    return false;
}

// Inserts entry and native item as item position (1..count + 1).
bool InsertAt(MenuRecord* menu, int32_t position, const MenuItemEntry& entry, NativeMenuItem item) {
    int32_t count = MenuItemCount(menu);
    if (!EnsureIndex(menu, count + 1)) return false;
    item.data = reinterpret_cast<uintptr_t>(&menu->index->slots[position]);
    if (!NativeMenuInsert(menu->native, position - 1, item)) return false;
    menu->entries.insert(menu->entries.begin() + position, entry);
    Renumber(menu, 1);
    return true;
}

MenuItemEntry SeparatorEntry() {
    MenuItemEntry e;
    e.flags = kMenuEntrySeparator;
    PutText(e, "-");
    return e;
}

MenuRecord* NewRecord(int16_t menuId, int16_t resourceId, const std::string& title) {
    auto* menu = new MenuRecord;
    menu->native = NativeMenuCreate();
    if (!menu->native || !EnsureIndex(menu, 0)) {
        NativeMenuDestroy(menu->native);
        delete menu;
        return nullptr;
    }
    menu->menuId = menuId;
    menu->resourceId = resourceId;
    menu->receiver.owner = menu;
    menu->entries.resize(1);
    PutText(menu->entries[0], title);
    menu->next = g_menus;
    g_menus = menu;
    ComputeMetrics(menu);
    return menu;
}

void FreeProperties(MenuItemEntry& e) {
    if (e.properties) HeapHandleFree(e.properties);
    e.properties = nullptr;
}

} // namespace

void SetMenuFontProcs(const MenuFontProcs* procs) {
    MenuFontProcs given = procs ? *procs : MenuFontProcs{};
    PickProc(g_fonts.metrics, given.metrics, kStandInFonts.metrics);
    PickProc(g_fonts.textWidth, given.textWidth, kStandInFonts.textWidth);
    PickProc(g_fonts.create, given.create, kStandInFonts.create);
    PickProc(g_fonts.release, given.release, kStandInFonts.release);
    PickProc(g_fonts.displayResolution, given.displayResolution, kStandInFonts.displayResolution);
    PickProc(g_fonts.fontCount, given.fontCount, kStandInFonts.fontCount);
    PickProc(g_fonts.fontName, given.fontName, kStandInFonts.fontName);
}

const MenuFontProcs& MenuFonts() {
    return g_fonts;
}

void SetMenuBarItemChanged(MenuBarItemChanged proc) {
    g_barChanged = proc;
}

MenuBarItemChanged MenuBarItemChangedProc() {
    return g_barChanged;
}

void SetMenuDisposeHook(MenuBarItemChanged proc) {
    g_disposing = proc;
}

MenuRecord* MenuRecordList() {
    return g_menus;
}

MenuRecord* NewMenuRecord(int16_t menuId) {
    if (menuId == 0) return nullptr;
    return NewRecord(menuId, 0, "");
}

MenuRecord* NewMenuWithTitle(int16_t menuId, const char* title) {
    MenuRecord* menu = NewMenuRecord(menuId);
    if (menu && title) SetMenuItemText(menu, 0, title);
    return menu;
}

MenuRecord* WrapMenuSource(int16_t menuId, int16_t resourceId, const std::string& title,
                           const std::vector<MenuSourceItem>& items, MenuSubmenuLoader loader) {
    MenuRecord* menu = NewRecord(menuId, resourceId, title);
    if (!menu) return nullptr;
    for (const MenuSourceItem& s : items) {
        int32_t position = MenuItemCount(menu) + 1;
        if (s.kind == MenuSourceKind::kSeparator) {
            NativeMenuItem item;
            item.greyed = item.disabled = true;
            item.id = s.command;
            InsertAt(menu, position, SeparatorEntry(), item);
            continue;
        }
        MenuItemEntry e;
        PutText(e, s.text);
        NativeMenuItem item;
        item.id = s.command;
        item.greyed = item.disabled = s.greyed;
        item.checked = s.checked;
        MenuRecord* submenu = nullptr;
        if (s.kind == MenuSourceKind::kSubmenu && loader) submenu = loader(s.command);
        if (submenu && Reaches(submenu, menu, 0)) submenu = nullptr;
        if (submenu) {
            e.flags = kMenuEntrySubmenu;
            item.popup = submenu->native;
            menu->flags |= kMenuFlagHasSubmenus;
        } else {
            e.key = s.key;
        }
        InsertAt(menu, position, e, item);
    }
    return menu;
}

void DisposeMenuRecord(MenuRecord* menu) {
    if (!menu) return;
    if (g_disposing) g_disposing(menu);
    // No other menu keeps it as a submenu.
    for (MenuRecord* m = g_menus; m; m = m->next)
        for (int32_t p = 1; m != menu && p <= MenuItemCount(m); ++p)
            if (MenuItemSubmenuOf(m, p) == menu) SetMenuItemSubmenu(m, p, nullptr);
    for (MenuRecord** at = &g_menus; *at; at = &(*at)->next)
        if (*at == menu) {
            *at = menu->next;
            break;
        }
    for (int32_t p = MenuItemCount(menu); p >= 1; --p)
        if (menu->entries[size_t(p)].flags & kMenuEntrySubmenu)
            NativeMenuRemove(menu->native, p - 1);
    for (MenuItemEntry& e : menu->entries)
        FreeProperties(e);
    if (menu->index) FreeHeapBlock(menu->index);
    if (menu->font) g_fonts.release(menu->font);
    EventReceiverClearHandlers(&menu->receiver);
    NativeMenuDestroy(menu->native);
    delete menu;
}

MenuRecord* MenuFromItemData(uintptr_t data, int32_t* position) {
    for (MenuRecord* m = g_menus; m; m = m->next) {
        if (!m->index) continue;
        uintptr_t first = reinterpret_cast<uintptr_t>(&m->index->slots[0]);
        uintptr_t end = first + sizeof(uint16_t) * m->index->capacity;
        if (data < first || data >= end || (data - first) % sizeof(uint16_t)) continue;
        int32_t p = *reinterpret_cast<const uint16_t*>(data);
        // Back from the slot to the block's head: p slots and the head.
        auto* head = reinterpret_cast<const MenuItemIndex*>(data - sizeof(uint16_t) * size_t(p) -
                                                            kIndexHead);
        if (!InRange(head->menu, p)) return nullptr;
        if (position) *position = p;
        return head->menu;
    }
    return nullptr;
}

int32_t MenuItemCount(const MenuRecord* menu) {
    return menu ? int32_t(menu->entries.size()) - 1 : 0;
}

int32_t MenuRowHeight(const MenuRecord* menu) {
    return menu ? menu->metrics.rowHeight : 0;
}

int32_t MenuItemIndexCapacity(const MenuRecord* menu) {
    return menu && menu->index ? menu->index->capacity : 0;
}

void InsertMenuItemText(MenuRecord* menu, const std::string& text, int32_t after) {
    if (!menu) return;
    int32_t count = MenuItemCount(menu);
    if (after < 0 || after > count) after = count;
    NativeMenuItem item;
    MenuItemEntry e;
    if (text == "-") {
        e = SeparatorEntry();
        item.greyed = item.disabled = true;
    } else {
        PutText(e, text);
        item.id = kMenuNewItemCommand;
    }
    if (InsertAt(menu, after + 1, e, item)) Refresh(menu);
}

void DeleteMenuItemAt(MenuRecord* menu, int32_t position) {
    if (!InRange(menu, position)) return;
    NativeMenuRemove(menu->native, position - 1);
    MenuItemEntry& e = menu->entries[size_t(position)];
    bool submenu = e.flags & kMenuEntrySubmenu;
    FreeProperties(e);
    menu->entries.erase(menu->entries.begin() + position);
    if (submenu) RecomputeSubmenuFlag(menu);
    Renumber(menu, position);
    Refresh(menu);
}

std::string MenuItemTextOf(const MenuRecord* menu, int32_t position) {
    if (!menu || position < 0 || position > MenuItemCount(menu)) return "";
    const MenuItemEntry& e = menu->entries[size_t(position)];
    if (position > 0 && (e.flags & kMenuEntrySeparator)) return "-";
    return e.text;
}

void SetMenuItemText(MenuRecord* menu, int32_t position, const std::string& text) {
    if (!menu) return;
    if (position == 0) {
        PutText(menu->entries[0], text);
        if (g_barChanged) g_barChanged(menu);
        return;
    }
    if (!InRange(menu, position)) return;
    if (text == "-") {
        if (menu->entries[size_t(position)].flags & kMenuEntrySubmenu)
            SetMenuItemSubmenu(menu, position, nullptr);
        MenuItemEntry& e = menu->entries[size_t(position)];
        RelocatableBlock properties = e.properties;
        e = SeparatorEntry();
        e.properties = properties;
        NativeMenuItem item = ReadNative(menu, position);
        item.id = 0;
        item.greyed = item.disabled = true;
        item.checked = false;
        WriteNative(menu, position, item);
    } else {
        MenuItemEntry& e = menu->entries[size_t(position)];
        if (e.flags & kMenuEntrySeparator) {
            e.flags = 0;
            NativeMenuItem item = ReadNative(menu, position);
            item.id = kMenuNewItemCommand;
            item.greyed = item.disabled = false;
            WriteNative(menu, position, item);
        }
        PutText(e, text);
    }
    Refresh(menu);
}

uint32_t MenuItemCommandOf(const MenuRecord* menu, int32_t position) {
    if (!InRange(menu, position)) return 0;
    return ReadNative(menu, position).id;
}

void SetMenuItemCommand(MenuRecord* menu, int32_t position, uint32_t command) {
    if (!InRange(menu, position)) return;
    NativeMenuItem item = ReadNative(menu, position);
    item.id = command;
    WriteNative(menu, position, item);
}

uint16_t MenuItemKeyOf(const MenuRecord* menu, int32_t position) {
    if (!InRange(menu, position)) return 0;
    const MenuItemEntry& e = menu->entries[size_t(position)];
    if (e.flags & (kMenuEntrySubmenu | kMenuEntrySeparator)) return 0;
    return e.key;
}

void SetMenuItemKey(MenuRecord* menu, int32_t position, uint16_t key) {
    if (!InRange(menu, position)) return;
    MenuItemEntry& e = menu->entries[size_t(position)];
    if (e.flags & (kMenuEntrySubmenu | kMenuEntrySeparator) || e.key == key) return;
    e.key = key;
    Refresh(menu);
}

uint16_t MenuItemCheckOf(const MenuRecord* menu, int32_t position) {
    if (!InRange(menu, position)) return 0;
    if (menu->entries[size_t(position)].flags & kMenuEntrySeparator) return 0;
    return ReadNative(menu, position).checked ? kMenuCheckMark : 0;
}

void SetMenuItemChecked(MenuRecord* menu, int32_t position, bool checked) {
    if (!InRange(menu, position)) return;
    if (menu->entries[size_t(position)].flags & kMenuEntrySeparator) return;
    NativeMenuItem item = ReadNative(menu, position);
    item.checked = checked;
    WriteNative(menu, position, item);
}

void SetMenuItemMark(MenuRecord* menu, int32_t position, uint16_t mark) {
    SetMenuItemChecked(menu, position, mark != 0);
}

int32_t MenuItemStyleOf(const MenuRecord* menu, int32_t position) {
    if (!menu) return 0;
    if (!InRange(menu, position)) return menu->defaultFace;
    const MenuItemEntry& e = menu->entries[size_t(position)];
    return (e.flags & kMenuEntryOwnFace) ? e.face : menu->defaultFace;
}

void SetMenuItemStyle(MenuRecord* menu, int32_t position, int32_t face) {
    if (!InRange(menu, position)) return;
    int32_t before = MenuItemStyleOf(menu, position);
    MenuItemEntry& e = menu->entries[size_t(position)];
    if (face == kMenuDefaultFace) {
        e.flags &= uint8_t(~kMenuEntryOwnFace);
    } else {
        e.flags |= kMenuEntryOwnFace;
        e.face = uint8_t(face);
    }
    if (MenuItemStyleOf(menu, position) != before) Refresh(menu);
}

bool MenuItemEnabled(const MenuRecord* menu, int32_t position) {
    if (!menu) return false;
    if (position == 0) return menu->flags & kMenuFlagEnabled;
    if (!InRange(menu, position)) return false;
    if (menu->entries[size_t(position)].flags & kMenuEntrySeparator) return false;
    NativeMenuItem item = ReadNative(menu, position);
    return !item.greyed && !item.disabled;
}

void SetMenuItemEnabled(MenuRecord* menu, int32_t position, bool enabled) {
    if (!menu) return;
    if (position == 0) {
        bool was = menu->flags & kMenuFlagEnabled;
        menu->flags =
            uint8_t(enabled ? menu->flags | kMenuFlagEnabled : menu->flags & ~kMenuFlagEnabled);
        if (was != enabled && g_barChanged) g_barChanged(menu);
        return;
    }
    if (!InRange(menu, position)) return;
    if (menu->entries[size_t(position)].flags & kMenuEntrySeparator) return;
    NativeMenuItem item = ReadNative(menu, position);
    item.greyed = item.disabled = !enabled;
    WriteNative(menu, position, item);
}

MenuRecord* MenuItemSubmenuOf(const MenuRecord* menu, int32_t position) {
    if (!InRange(menu, position) || !(menu->flags & kMenuFlagHasSubmenus)) return nullptr;
    if (!(menu->entries[size_t(position)].flags & kMenuEntrySubmenu)) return nullptr;
    return RecordOfNative(ReadNative(menu, position).popup);
}

void SetMenuItemSubmenu(MenuRecord* menu, int32_t position, MenuRecord* submenu) {
    if (!InRange(menu, position)) return;
    MenuItemEntry& e = menu->entries[size_t(position)];
    if (e.flags & kMenuEntrySeparator) return;
    if (submenu && Reaches(submenu, menu, 0)) return;
    NativeMenuItem item = ReadNative(menu, position);
    NativeMenuRemove(menu->native, position - 1);
    item.popup = submenu ? submenu->native : nullptr;
    NativeMenuInsert(menu->native, position - 1, item);
    if (submenu) {
        e.flags |= kMenuEntrySubmenu;
        menu->flags |= kMenuFlagHasSubmenus;
    } else {
        e.flags &= uint8_t(~kMenuEntrySubmenu);
        RecomputeSubmenuFlag(menu);
    }
    Refresh(menu);
}

int32_t MenuItemValueOf(const MenuRecord* menu, int32_t position, int32_t* value) {
    if (!InRange(menu, position)) return kMenuBadArgument;
    if (value) *value = menu->entries[size_t(position)].value;
    return 0;
}

int32_t SetMenuItemValue(MenuRecord* menu, int32_t position, int32_t value) {
    if (!InRange(menu, position)) return kMenuBadArgument;
    menu->entries[size_t(position)].value = value;
    return 0;
}

int32_t MenuItemPropertiesOf(const MenuRecord* menu, int32_t position, RelocatableBlock* out) {
    if (!menu || position < 0 || position > MenuItemCount(menu)) return kMenuBadArgument;
    if (out) *out = menu->entries[size_t(position)].properties;
    return 0;
}

namespace {

int32_t PropertyEntrySize(int32_t length) {
    return (length + kMenuPropertyHead + 1) & ~1;
}

// Offset of the entry with creator and tag, -1 when absent.
int32_t FindProperty(RelocatableBlock block, uint32_t creator, uint32_t tag, int32_t* length) {
    if (!block) return -1;
    int32_t size = RelocatableBlockSize(block);
    const auto* bytes = static_cast<const uint8_t*>(*block);
    for (int32_t at = 0; at + kMenuPropertyHead <= size;) {
        uint32_t head[3];
        std::memcpy(head, bytes + at, sizeof head);
        int32_t len = int32_t(head[2]);
        if (len < 0 || len > size - at - kMenuPropertyHead) return -1;
        if (head[0] == creator && head[1] == tag) {
            *length = len;
            return at;
        }
        at += PropertyEntrySize(len);
    }
    return -1;
}

} // namespace

int32_t SetMenuItemProperty(MenuRecord* menu, int32_t position, uint32_t creator, uint32_t tag,
                            int32_t length, const void* data) {
    if (!menu || position < 0 || position > MenuItemCount(menu) || length < 0)
        return kMenuBadArgument;
    MenuItemEntry& e = menu->entries[size_t(position)];
    int32_t want = PropertyEntrySize(length);
    int32_t at = -1, old = 0;
    if (!e.properties) {
        e.properties = NewRelocatableBlockClear(nullptr, want);
        if (!e.properties) return kMenuOutOfMemory;
        at = 0;
    } else {
        at = FindProperty(e.properties, creator, tag, &old);
        if (at < 0) {
            at = RelocatableBlockSize(e.properties);
            if (InsertHandleBytes(e.properties, at, nullptr, want) < 0) return kMenuOutOfMemory;
        } else if (PropertyEntrySize(old) != want) {
            if (ReplaceHandleRange(e.properties, at, PropertyEntrySize(old), nullptr, want) < 0)
                return kMenuOutOfMemory;
        }
    }
    auto* bytes = static_cast<uint8_t*>(*e.properties) + at;
    uint32_t head[3] = {creator, tag, uint32_t(length)};
    std::memcpy(bytes, head, sizeof head);
    if (data) std::memcpy(bytes + kMenuPropertyHead, data, size_t(length));
    return 0;
}

int32_t GetMenuItemProperty(const MenuRecord* menu, int32_t position, uint32_t creator,
                            uint32_t tag, int32_t bufferSize, int32_t* outLength, void* buffer) {
    if (!menu || position < 0 || position > MenuItemCount(menu)) return kMenuBadArgument;
    int32_t length = 0;
    RelocatableBlock block = menu->entries[size_t(position)].properties;
    int32_t at = FindProperty(block, creator, tag, &length);
    if (at < 0) return kMenuPropertyAbsent;
    if (outLength) *outLength = length;
    int32_t copy = std::min(std::max(bufferSize, int32_t(0)), length);
    if (buffer && copy > 0)
        std::memcpy(buffer, static_cast<const uint8_t*>(*block) + at + kMenuPropertyHead,
                    size_t(copy));
    return copy < length ? kMenuBufferTooSmall : 0;
}

void SetMenuMinWidth(MenuRecord* menu, int32_t width) {
    if (!menu) return;
    int16_t w = int16_t(std::clamp(width, int32_t(0), int32_t(INT16_MAX)));
    if (w == menu->minWidth) return;
    menu->minWidth = w;
    Refresh(menu);
}

void SetMenuExtraHeight(MenuRecord* menu, int32_t pixels) {
    if (!menu) return;
    int16_t h = int16_t(std::clamp(pixels, int32_t(INT16_MIN), int32_t(INT16_MAX)));
    if (h == menu->extraHeight) return;
    menu->extraHeight = h;
    ComputeMetrics(menu);
    Refresh(menu);
}

void SetMenuItemIcon(MenuRecord* menu, int32_t position, int16_t iconId) {
    if (!InRange(menu, position)) return;
    MenuItemEntry& e = menu->entries[size_t(position)];
    if (e.iconId == iconId) return;
    e.iconId = iconId;
    Refresh(menu);
}

void ApplyMenuFont(MenuRecord* menu, int16_t number, int16_t size, uint8_t face,
                   int16_t resolution) {
    if (!menu) return;
    if (resolution < 0) resolution = g_fonts.displayResolution();
    void* font =
        number != 0 && size != 0 ? g_fonts.create(number, size, face, resolution) : nullptr;
    void* old = menu->font;
    menu->font = font;
    menu->fontResolution = font ? resolution : 0;
    if (old) g_fonts.release(old);
    if (number == menu->fontNumber && size == menu->fontSize && face == menu->defaultFace &&
        old == font)
        return;
    menu->fontNumber = number;
    menu->fontSize = size;
    menu->defaultFace = face;
    ComputeMetrics(menu);
    Refresh(menu);
}

void BuildFontMenu(MenuRecord* menu, uint32_t resourceType) {
    if (!menu || (resourceType != kFontMenuFond && resourceType != kFontMenuFont)) return;
    int32_t count = g_fonts.fontCount();
    for (int32_t k = 0; k < count; ++k)
        InsertMenuItemText(menu, g_fonts.fontName(k), -1);
}

std::string MenuItemKeyText(const MenuRecord* menu, int32_t position) {
    return MenuCommandKeyText(MenuItemKeyOf(menu, position));
}

void SetMenuItemDrawProc(MenuRecord* menu, MenuItemDrawProc proc, uint32_t userData) {
    if (!menu) return;
    menu->itemProc = proc;
    menu->itemProcData = userData;
    Refresh(menu);
}

void SetMenuItemSelfDrawn(MenuRecord* menu, int32_t position, bool selfDrawn) {
    if (!InRange(menu, position)) return;
    MenuItemEntry& e = menu->entries[size_t(position)];
    uint8_t flags =
        uint8_t(selfDrawn ? e.flags | kMenuEntrySelfDrawn : e.flags & ~kMenuEntrySelfDrawn);
    if (flags == e.flags) return;
    e.flags = flags;
    Refresh(menu);
}

static bool IsSelfDrawn(const MenuRecord* menu, const MenuItemEntry& e) {
    return menu->itemProc && (e.flags & kMenuEntrySelfDrawn);
}

int32_t MenuItemHeightOf(MenuRecord* menu, int32_t position) {
    if (!InRange(menu, position)) return 0;
    const MenuItemEntry& e = menu->entries[size_t(position)];
    int32_t height =
        MenuItemHeight(menu->metrics, menu->flags, e.flags & kMenuEntrySeparator, e.iconId != 0);
    if (IsSelfDrawn(menu, e)) {
        int16_t h = int16_t(height);
        menu->itemProc(kMenuDrawMeasureHeight, menu, position, &h, menu->itemProcData);
        height = h;
    }
    return height;
}

MenuLayout MenuLayoutOf(MenuRecord* menu, int32_t screenHeight, bool longMenusScroll) {
    MenuLayout layout;
    if (!menu) return layout;
    std::vector<MenuLayoutItem> items;
    for (int32_t p = 1; p <= MenuItemCount(menu); ++p) {
        const MenuItemEntry& e = menu->entries[size_t(p)];
        MenuLayoutItem it;
        it.separator = e.flags & kMenuEntrySeparator;
        it.submenu = e.flags & kMenuEntrySubmenu;
        it.hasIcon = e.iconId != 0;
        it.height = MenuItemHeightOf(menu, p);
        if (IsSelfDrawn(menu, e)) {
            int16_t width = 0;
            menu->itemProc(kMenuDrawMeasureWidth, menu, p, &width, menu->itemProcData);
            it.selfWidth = width;
        } else if (!it.separator) {
            it.textWidth = MenuFonts().textWidth(menu, e.text, uint8_t(MenuItemStyleOf(menu, p)));
            std::string key = MenuItemKeyText(menu, p);
            if (!key.empty()) it.keyWidth = MenuFonts().textWidth(menu, key, menu->defaultFace);
        }
        items.push_back(it);
    }
    bool columns = (menu->flags & kMenuFlagColumns) || !longMenusScroll;
    layout = LayoutMenu(menu->metrics, items, menu->minWidth, columns, screenHeight);
    menu->width = int16_t(std::min(layout.width, int32_t(INT16_MAX)));
    menu->keyColumn = int16_t(std::min(layout.keyColumn, int32_t(INT16_MAX)));
    return layout;
}
