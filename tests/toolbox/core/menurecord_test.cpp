#include "toolbox/core/menurecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "heap_fixture.h"
#include "test_resources.h"
#include "toolbox/core/byteorder.h"
#include "toolbox/core/resource.h"

namespace {

constexpr uint32_t kCreator = FourCC("XPFW");
constexpr uint32_t kTag = FourCC("VXMH");
constexpr uint32_t kOther = FourCC("OTHR");

class MenuRecords : public HeapTest {
  protected:
    void TearDown() override {
        while (MenuRecordList())
            DisposeMenuRecord(MenuRecordList());
        HeapTest::TearDown();
    }
    // A menu whose items are "Item 1".."Item n".
    MenuRecord* Filled(int16_t id, int n) {
        MenuRecord* m = NewMenuWithTitle(id, "T");
        for (int i = 1; i <= n; ++i)
            InsertMenuItemText(m, "Item " + std::to_string(i), -1);
        return m;
    }
};

// Every native item's data leads back to its menu and position.
void ExpectIndexIntact(MenuRecord* m) {
    for (int32_t p = 1; p <= MenuItemCount(m); ++p) {
        NativeMenuItem item;
        ASSERT_TRUE(NativeMenuRead(m->native, p - 1, item));
        int32_t at = 0;
        EXPECT_EQ(MenuFromItemData(item.data, &at), m) << p;
        EXPECT_EQ(at, p);
    }
    EXPECT_LE(MenuItemCount(m) + 1, MenuItemIndexCapacity(m));
    EXPECT_EQ(MenuItemIndexCapacity(m) % kMenuIndexStep, 0);
}

TEST_F(MenuRecords, ItemDataLeadsBackAcrossIndexGrowth) {
    EXPECT_EQ(NewMenuRecord(0), nullptr);
    struct Case {
        int items;
        int capacity;
    } cases[] = {{31, 32}, {32, 64}, {33, 64}, {63, 64}, {64, 96}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items);
        MenuRecord* m = Filled(5, c.items);
        EXPECT_EQ(MenuItemIndexCapacity(m), c.capacity);
        ExpectIndexIntact(m);
        DeleteMenuItemAt(m, 1);
        InsertMenuItemText(m, "middle", 3);
        EXPECT_EQ(MenuItemTextOf(m, 4), "middle");
        ExpectIndexIntact(m);
        DisposeMenuRecord(m);
    }
    EXPECT_EQ(MenuFromItemData(0, nullptr), nullptr);
}

TEST_F(MenuRecords, TextsSeparatorsAndKeys) {
    MenuRecord* m = Filled(7, 2);
    EXPECT_EQ(MenuItemTextOf(m, 0), "T");
    EXPECT_EQ(MenuItemTextOf(m, -1), "");
    EXPECT_EQ(MenuItemTextOf(m, 3), "");
    SetMenuItemKey(m, 1, 'k');
    EXPECT_EQ(MenuItemKeyOf(m, 1), 'k');
    EXPECT_EQ(MenuItemKeyText(m, 1), "Ctrl+K");
    // "-" makes a greyed separator with command 0 and no key.
    SetMenuItemText(m, 1, "-");
    EXPECT_EQ(MenuItemTextOf(m, 1), "-");
    EXPECT_EQ(MenuItemCommandOf(m, 1), 0u);
    EXPECT_FALSE(MenuItemEnabled(m, 1));
    EXPECT_EQ(MenuItemKeyOf(m, 1), 0);
    EXPECT_EQ(m->entries[1].flags, kMenuEntrySeparator);
    SetMenuItemEnabled(m, 1, true); // separators are left alone
    EXPECT_FALSE(MenuItemEnabled(m, 1));
    SetMenuItemChecked(m, 1, true);
    EXPECT_EQ(MenuItemCheckOf(m, 1), 0);
    // Other text turns it back into an enabled item with command 1.
    SetMenuItemText(m, 1, "Back");
    EXPECT_TRUE(MenuItemEnabled(m, 1));
    EXPECT_EQ(MenuItemCommandOf(m, 1), kMenuNewItemCommand);
    InsertMenuItemText(m, "-", 0);
    EXPECT_EQ(MenuItemTextOf(m, 1), "-");
    EXPECT_FALSE(MenuItemEnabled(m, 1));
    // Marks, faces, values.
    SetMenuItemMark(m, 2, 'x');
    EXPECT_EQ(MenuItemCheckOf(m, 2), kMenuCheckMark);
    SetMenuItemMark(m, 2, 0);
    EXPECT_EQ(MenuItemCheckOf(m, 2), 0);
    m->defaultFace = 2;
    SetMenuItemStyle(m, 2, 1);
    EXPECT_EQ(MenuItemStyleOf(m, 2), 1);
    SetMenuItemStyle(m, 2, kMenuDefaultFace);
    EXPECT_EQ(MenuItemStyleOf(m, 2), 2);
    int32_t value = 0;
    EXPECT_EQ(SetMenuItemValue(m, 2, 42), 0);
    EXPECT_EQ(MenuItemValueOf(m, 2, &value), 0);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(MenuItemValueOf(m, 0, &value), kMenuBadArgument);
    EXPECT_EQ(SetMenuItemValue(m, 4, 1), kMenuBadArgument);
    RelocatableBlock props;
    EXPECT_EQ(MenuItemPropertiesOf(m, 0, &props), 0);
    EXPECT_EQ(MenuItemPropertiesOf(m, 4, &props), kMenuBadArgument);
    // Texts are kept to 255 characters.
    SetMenuItemText(m, 2, std::string(400, 'w'));
    EXPECT_EQ(MenuItemTextOf(m, 2).size(), kMenuItemTextMax);
    EXPECT_EQ(m->entries[2].textSize, kMenuItemTextMax + 1);
    // The menu's own enabled flag, reported to the bar.
    static int barCalls = 0;
    MenuBarItemChanged previous = MenuBarItemChangedProc();
    SetMenuBarItemChanged([](MenuRecord*) { ++barCalls; });
    SetMenuItemEnabled(m, 0, false);
    EXPECT_FALSE(MenuItemEnabled(m, 0));
    SetMenuItemText(m, 0, "Renamed");
    EXPECT_EQ(barCalls, 2);
    SetMenuBarItemChanged(previous);
}

TEST_F(MenuRecords, PropertiesResizeInPlaceAndCopyOut) {
    MenuRecord* m = Filled(7, 1);
    EXPECT_EQ(GetMenuItemProperty(m, 1, kCreator, kTag, 4, nullptr, nullptr), kMenuPropertyAbsent);
    const char five[] = "abcde";
    EXPECT_EQ(SetMenuItemProperty(m, 1, kCreator, kTag, 5, five), 0);
    EXPECT_EQ(SetMenuItemProperty(m, 1, kCreator, kOther, 2, "zz"), 0);
    RelocatableBlock block;
    MenuItemPropertiesOf(m, 1, &block);
    EXPECT_EQ(RelocatableBlockSize(block), (5 + 13) / 2 * 2 + (2 + 13) / 2 * 2);
    // Resized in place: the other entry survives.
    EXPECT_EQ(SetMenuItemProperty(m, 1, kCreator, kTag, 9, "123456789"), 0);
    char buf[16] = {};
    int32_t length = 0;
    EXPECT_EQ(GetMenuItemProperty(m, 1, kCreator, kOther, sizeof buf, &length, buf), 0);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(std::string(buf, 2), "zz");
    // A short buffer is filled and reported as cut; the length is the stored one.
    EXPECT_EQ(GetMenuItemProperty(m, 1, kCreator, kTag, 4, &length, buf), kMenuBufferTooSmall);
    EXPECT_EQ(length, 9);
    EXPECT_EQ(std::string(buf, 4), "1234");
    EXPECT_EQ(GetMenuItemProperty(m, 1, kCreator, kTag, 9, &length, buf), 0);
    // The menu's own properties at position 0; bad positions.
    EXPECT_EQ(SetMenuItemProperty(m, 0, kCreator, kTag, 8, nullptr), 0);
    EXPECT_EQ(SetMenuItemProperty(m, 2, kCreator, kTag, 8, nullptr), kMenuBadArgument);
}

MenuRecord* LoadTestMenu(int32_t id);

// Loads a packed test menu the way the resource layer will.
MenuRecord* LoadTestMenu(int32_t id) {
    for (MenuRecord* m = MenuRecordList(); m; m = m->next)
        if (m->resourceId == id) return m;
    auto it = TestResourceTables().find({kResourceTypeMenu, id});
    if (it == TestResourceTables().end()) return nullptr;
    std::vector<MenuTemplateItem> top;
    if (!ParseMenuTemplate(it->second.data(), it->second.size(), top)) return nullptr;
    if (MenuResourceFormOf(top) != MenuResourceForm::kMenu) return nullptr;
    std::vector<MenuSourceItem> items;
    for (const MenuTemplateItem& t : top[0].items)
        items.push_back(MenuSourceItemOf(t));
    return WrapMenuSource(int16_t(id), int16_t(id), top[0].text, items, &LoadTestMenu);
}

TEST_F(MenuRecords, WrappedResourceMenu) {
    MenuRecord* m = LoadTestMenu(9101);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(MenuItemTextOf(m, 0), "File");
    EXPECT_EQ(MenuItemCount(m), 7);
    EXPECT_EQ(MenuItemTextOf(m, 1), "Open...");
    EXPECT_EQ(MenuItemKeyOf(m, 1), 'O');
    EXPECT_EQ(MenuItemCommandOf(m, 1), 101u);
    EXPECT_EQ(MenuItemTextOf(m, 2), "-");
    EXPECT_FALSE(MenuItemEnabled(m, 2));
    MenuRecord* sub = MenuItemSubmenuOf(m, 3);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->resourceId, 9102);
    EXPECT_EQ(MenuItemTextOf(sub, 0), "Recent");
    EXPECT_TRUE(m->flags & kMenuFlagHasSubmenus);
    EXPECT_FALSE(MenuItemEnabled(m, 4));
    EXPECT_EQ(MenuItemCheckOf(m, 5), kMenuCheckMark);
    EXPECT_EQ(MenuItemTextOf(m, 6), "-");
    EXPECT_EQ(MenuItemTextOf(m, 7), "E&xit");
    // Detaching the submenu clears the flag; the submenu lives on.
    SetMenuItemSubmenu(m, 3, nullptr);
    EXPECT_EQ(MenuItemSubmenuOf(m, 3), nullptr);
    EXPECT_FALSE(m->flags & kMenuFlagHasSubmenus);
    EXPECT_EQ(MenuItemCount(sub), 2);
    // A menu never becomes its own submenu, directly or through another.
    SetMenuItemSubmenu(m, 3, sub);
    SetMenuItemSubmenu(sub, 1, m);
    EXPECT_EQ(MenuItemSubmenuOf(sub, 1), nullptr);
    SetMenuItemSubmenu(m, 1, m);
    EXPECT_EQ(MenuItemSubmenuOf(m, 1), nullptr);
    // Disposing the parent leaves the submenu's native menu alive.
    DisposeMenuRecord(m);
    EXPECT_EQ(MenuItemCount(sub), 2);
    NativeMenuItem item;
    EXPECT_TRUE(NativeMenuRead(sub->native, 0, item));
}

TEST_F(MenuRecords, LayoutFromTheStandInFont) {
    // Stand-in font: gap 10, indent 18, 7 pixels a character.
    MenuRecord* m = Filled(3, 2);
    MenuLayout plain = MenuLayoutOf(m, 1000, true);
    EXPECT_EQ(plain.width, 10 + 6 * 7 + 18);
    EXPECT_EQ(m->width, plain.width);
    SetMenuItemKey(m, 2, 'q'); // any measuring change resets the width
    EXPECT_EQ(m->width, 0);
    MenuLayout keyed = MenuLayoutOf(m, 1000, true);
    EXPECT_EQ(keyed.width, 10 + 60 + 6 * 7 + 15);
    EXPECT_EQ(keyed.keyColumn, keyed.width - 10 - 42);
    SetMenuMinWidth(m, 500);
    EXPECT_EQ(m->width, 0);
    EXPECT_EQ(MenuLayoutOf(m, 1000, true).width, 500);
    SetMenuMinWidth(m, -5);
    EXPECT_EQ(m->minWidth, 0);
    SetMenuExtraHeight(m, 6);
    EXPECT_EQ(MenuRowHeight(m), 26);
    MenuRecord* tall = Filled(4, 10);
    EXPECT_EQ(MenuLayoutOf(tall, 100, false).columnStarts, (std::vector<int32_t>{3, 6, 9}));
    EXPECT_TRUE(MenuLayoutOf(tall, 100, true).columnStarts.empty());
}

} // namespace

namespace {

// A font list of two and fonts that raise the ascent by their size.
int g_made = 0, g_released = 0;
struct TestFont {
    int16_t size;
};
MenuFontMetrics SizedMetrics(const MenuRecord* menu) {
    MenuFontMetrics m{11, 3, 2, 6, 14};
    if (menu->font) m.ascent = static_cast<TestFont*>(menu->font)->size;
    return m;
}
void* MakeFont(int16_t, int16_t size, uint8_t, int16_t) {
    ++g_made;
    return new TestFont{size};
}
void ReleaseFont(void* font) {
    ++g_released;
    delete static_cast<TestFont*>(font);
}
int32_t TwoFonts() {
    return 2;
}
std::string FontNameOf(int32_t k) {
    return k == 0 ? "Serif" : "Sans";
}

TEST_F(MenuRecords, AppliedFontsAreMeasuredAnewAndReleased) {
    MenuFontProcs procs{&SizedMetrics, nullptr,   &MakeFont,  &ReleaseFont,
                        nullptr,       &TwoFonts, &FontNameOf};
    SetMenuFontProcs(&procs);
    g_made = g_released = 0;
    MenuRecord* m = Filled(5, 2);
    int32_t row = MenuRowHeight(m);
    MenuLayoutOf(m, 1000, true);
    ASSERT_GT(m->width, 0);
    ApplyMenuFont(m, 3, 20, 1, -1); // the display's resolution
    EXPECT_EQ(g_made, 1);
    EXPECT_EQ(m->fontResolution, 96);
    EXPECT_EQ(m->defaultFace, 1);
    EXPECT_EQ(MenuRowHeight(m), row - 11 + 20);
    EXPECT_EQ(m->width, 0);       // measured anew when it opens
    ApplyMenuFont(m, 0, 0, 0, 0); // back to the default menu font
    EXPECT_EQ(g_released, 1);
    EXPECT_EQ(m->font, nullptr);
    EXPECT_EQ(MenuRowHeight(m), row);
    ApplyMenuFont(m, 3, 12, 0, 72);
    DisposeMenuRecord(m); // releases its font
    EXPECT_EQ(g_released, 2);
    // Only the font resource types list the fonts.
    MenuRecord* fonts = NewMenuRecord(6);
    BuildFontMenu(fonts, FourCC("MENU"));
    EXPECT_EQ(MenuItemCount(fonts), 0);
    BuildFontMenu(fonts, kFontMenuFond);
    BuildFontMenu(fonts, kFontMenuFont);
    ASSERT_EQ(MenuItemCount(fonts), 4);
    EXPECT_EQ(MenuItemTextOf(fonts, 2), "Sans");
    SetMenuFontProcs(nullptr);
}

} // namespace

namespace {

// A self-drawn item's procedure: 90 wide, height doubled, draws counted.
std::vector<int32_t> g_messages;
uint8_t DrawProc(int32_t message, MenuRecord*, int32_t item, void* data, uint32_t user) {
    g_messages.push_back(message * 100 + item);
    EXPECT_EQ(user, 77u);
    if (message == kMenuDrawMeasureWidth) *static_cast<int16_t*>(data) = 90;
    if (message == kMenuDrawMeasureHeight) *static_cast<int16_t*>(data) *= 2;
    return 1;
}

TEST_F(MenuRecords, SelfDrawnItemsAskTheirProcedure) {
    MenuRecord* m = Filled(7, 2);
    int32_t row = MenuItemHeightOf(m, 1);
    SetMenuItemSelfDrawn(m, 2, true);
    EXPECT_EQ(MenuItemHeightOf(m, 2), row); // no procedure yet
    SetMenuItemDrawProc(m, &DrawProc, 77);
    g_messages.clear();
    EXPECT_EQ(MenuItemHeightOf(m, 2), 2 * row);
    EXPECT_EQ(MenuItemHeightOf(m, 1), row);
    MenuLayout layout = MenuLayoutOf(m, 1000, true);
    // The width it reports counts less the gap unit, as any widest item.
    EXPECT_EQ(layout.width, m->metrics.gap + std::max(90 - m->metrics.gap,
                                                      int32_t(6 * 7) + m->metrics.textIndent));
    EXPECT_NE(std::find(g_messages.begin(), g_messages.end(), 102), g_messages.end());
    EXPECT_NE(std::find(g_messages.begin(), g_messages.end(), 202), g_messages.end());
    EXPECT_EQ(std::find(g_messages.begin(), g_messages.end(), 101), g_messages.end());
}

} // namespace
