#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolbox/core/menuchar.h"
#include "toolbox/core/menumetrics.h"
#include "toolbox/core/menutemplate.h"

namespace {

// Builds template bytes item by item.
struct TemplateBuilder {
    std::vector<uint8_t> b{0, 0, 0, 0};
    void U16(uint16_t v) {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(v >> 8));
    }
    void Text(const std::string& t) {
        for (char c : t)
            U16(uint8_t(c));
        U16(0);
    }
    void Item(uint16_t flags, uint16_t id, const std::string& t) {
        U16(flags);
        U16(id);
        Text(t);
    }
    void Popup(uint16_t flags, const std::string& t) {
        U16(flags | kMenuTemplatePopup);
        Text(t);
    }
};

TEST(MenuTemplate, MenuResourceItemsFollowTheResourceRules) {
    TemplateBuilder t;
    t.Popup(kMenuTemplateEnd, "File");
    t.Item(0, 101, "Open...`O");
    t.Item(0, 0, "");
    t.Item(kMenuTemplateDisabled, 300, "Recent`R");
    t.Item(kMenuTemplateGrayed | kMenuTemplateDisabled, 102, "Print`p");
    t.Item(kMenuTemplateChecked, 103, "-");
    t.Item(kMenuTemplateEnd, 104, "E&xit");
    std::vector<MenuTemplateItem> top;
    ASSERT_TRUE(ParseMenuTemplate(t.b.data(), t.b.size(), top));
    ASSERT_EQ(MenuResourceFormOf(top), MenuResourceForm::kMenu);
    EXPECT_EQ(top[0].text, "File");
    ASSERT_EQ(top[0].items.size(), 6u);

    struct Case {
        MenuSourceKind kind;
        const char* text;
        uint16_t key;
        uint16_t command;
        bool greyed;
        const char* keyText;
    } cases[] = {
        {MenuSourceKind::kText, "Open...", 'O', 101, false, "Ctrl+O"},
        {MenuSourceKind::kSeparator, "-", 0, 0, true, ""},
        {MenuSourceKind::kSubmenu, "Recent", 0, 300, false, ""},
        {MenuSourceKind::kText, "Print", 'p', 102, true, "Ctrl+P"},
        {MenuSourceKind::kSeparator, "-", 0, 103, true, ""},
        {MenuSourceKind::kText, "E&xit", 0, 104, false, ""},
    };
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        MenuSourceItem s = MenuSourceItemOf(top[0].items[i]);
        EXPECT_EQ(s.kind, cases[i].kind);
        EXPECT_EQ(s.text, cases[i].text);
        EXPECT_EQ(s.key, cases[i].key);
        EXPECT_EQ(s.command, cases[i].command);
        EXPECT_EQ(s.greyed, cases[i].greyed);
        EXPECT_EQ(MenuCommandKeyText(s.key), cases[i].keyText);
    }
}

TEST(MenuTemplate, BarResourceListsMenuIds) {
    TemplateBuilder t;
    t.Item(0, 0, "");
    t.Item(0, 200, "File");
    t.Item(kMenuTemplateEnd, 300, "Edit");
    std::vector<MenuTemplateItem> top;
    ASSERT_TRUE(ParseMenuTemplate(t.b.data(), t.b.size(), top));
    EXPECT_EQ(MenuResourceFormOf(top), MenuResourceForm::kBar);
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[2].id, 300);
}

TEST(MenuTemplate, MalformedTemplatesAreRefused) {
    TemplateBuilder whole;
    whole.Popup(kMenuTemplateEnd, "File");
    whole.Item(kMenuTemplateEnd, 1, "Open");
    std::vector<MenuTemplateItem> top;
    // Every cut short of the whole template is refused.
    for (size_t n = 0; n < whole.b.size(); ++n)
        EXPECT_FALSE(ParseMenuTemplate(whole.b.data(), n, top)) << n;
    EXPECT_TRUE(ParseMenuTemplate(whole.b.data(), whole.b.size(), top));
    // A nonzero header, and a level without end flag.
    std::vector<uint8_t> header = whole.b;
    header[0] = 1;
    EXPECT_FALSE(ParseMenuTemplate(header.data(), header.size(), top));
    TemplateBuilder open;
    open.Item(0, 1, "a");
    EXPECT_FALSE(ParseMenuTemplate(open.b.data(), open.b.size(), top));
    // Popups nested past the limit.
    TemplateBuilder deep;
    for (int d = 0; d <= kMenuTemplateDepthMax + 1; ++d)
        deep.Popup(kMenuTemplateEnd, "p");
    deep.Item(kMenuTemplateEnd, 1, "x");
    EXPECT_FALSE(ParseMenuTemplate(deep.b.data(), deep.b.size(), top));
    // A text of item 0 that is not a popup makes neither form.
    TemplateBuilder neither;
    neither.Item(kMenuTemplateEnd, 1, "x");
    ASSERT_TRUE(ParseMenuTemplate(neither.b.data(), neither.b.size(), top));
    EXPECT_EQ(MenuResourceFormOf(top), MenuResourceForm::kMalformed);
}

TEST(MenuTemplate, LongTextsAreCutTo255) {
    TemplateBuilder t;
    t.Popup(kMenuTemplateEnd, "T");
    t.Item(kMenuTemplateEnd, 7, std::string(300, 'a') + "`K");
    std::vector<MenuTemplateItem> top;
    ASSERT_TRUE(ParseMenuTemplate(t.b.data(), t.b.size(), top));
    EXPECT_EQ(top[0].items[0].text.size(), kMenuItemTextMax);
    EXPECT_EQ(MenuSourceItemOf(top[0].items[0]).key, 0);
}

std::vector<MenuCharItem> Items(std::initializer_list<MenuCharItem> list) {
    return list;
}

TEST(MenuChar, ArrowsStepThroughEnabledItemsWithWrap) {
    auto items =
        Items({{"A", true, false}, {"-", false, true}, {"B", false, false}, {"C", true, false}});
    bool handled = false;
    // Down from the last wraps to the first; up from the first wraps to C.
    EXPECT_EQ(MenuCharHandler(items, -1, kMenuCharDown, handled), (3 << 16) | 0);
    EXPECT_TRUE(handled);
    EXPECT_EQ(MenuCharHandler(items, 0, kMenuCharDown, handled), (3 << 16) | 3);
    EXPECT_EQ(MenuCharHandler(items, 0, kMenuCharUp, handled), (3 << 16) | 3);
    EXPECT_EQ(MenuCharHandler(items, 3, kMenuCharUp, handled), (3 << 16) | 0);
    // The only enabled item selects itself after a full circle.
    auto one = Items({{"A", false, false}, {"B", true, false}});
    EXPECT_EQ(MenuCharHandler(one, 1, kMenuCharDown, handled), (3 << 16) | 1);
    auto none = Items({{"A", false, false}, {"-", false, true}});
    EXPECT_EQ(MenuCharHandler(none, 0, kMenuCharDown, handled), 0);
    EXPECT_TRUE(handled);
    EXPECT_EQ(MenuCharHandler({}, -1, kMenuCharUp, handled), 0);
}

TEST(MenuChar, MnemonicsMatchInEitherCase) {
    auto items = Items({{"Save && Quit", true, false},
                        {"&-", false, true},
                        {"E&xit", true, false},
                        {"&Xtra", true, false}});
    bool handled = false;
    EXPECT_EQ(MenuCharHandler(items, -1, 'X', handled), (2 << 16) | 2);
    EXPECT_TRUE(handled);
    EXPECT_EQ(MenuCharHandler(items, -1, 'x', handled), (2 << 16) | 2);
    EXPECT_EQ(MenuCharHandler(items, -1, 'Q', handled), 0);
    EXPECT_FALSE(handled);
    EXPECT_EQ(MenuCharHandler(items, -1, '-', handled), 0);
    EXPECT_FALSE(handled);
    EXPECT_EQ(MenuMnemonicOf("A&&&b"), 'B');
    EXPECT_EQ(MenuMnemonicOf("trailing&"), 0);
}

TEST(MenuMetrics, RowsSeparatorsAndIcons) {
    MenuFontMetrics f{11, 3, 2, 6, 14};
    MenuMetrics m = ComputeMenuMetrics(f, 0);
    EXPECT_EQ(m.rowHeight, 0 + 11 + 3 + 2 + 4);
    EXPECT_EQ(m.gap, 10);
    EXPECT_EQ(m.baseline, (0 + 2 + 4) / 2 + 3 / 3 - 2);
    EXPECT_EQ(m.checkColumn, 3 * 3); // MulDiv(11, 25, 100) rounds 2.75 to 3
    EXPECT_EQ(m.checkInset, 3);
    EXPECT_EQ(m.textIndent, 9 + 9);
    EXPECT_EQ(MenuItemHeight(m, 0, true, false), 10); // 20 / 2 + 1 = 11 -> 10
    EXPECT_EQ(MenuItemHeight(m, kMenuFlagFullRowSeparators, true, false), 20);
    EXPECT_EQ(MenuItemHeight(m, 0, false, false), 20);
    MenuMetrics small = ComputeMenuMetrics({2, 1, 0, 2, 2}, 0);
    EXPECT_EQ(MenuItemHeight(small, 0, true, false), kMenuSeparatorMinHeight);
    EXPECT_EQ(MenuItemHeight(small, 0, false, true), kMenuIconItemMinHeight);
    EXPECT_EQ(ComputeMenuMetrics(f, 5).rowHeight, 25);
}

TEST(MenuMetrics, WidthKeyColumnAndColumns) {
    MenuMetrics m = ComputeMenuMetrics({11, 3, 2, 6, 14}, 0); // gap 10, indent 18
    std::vector<MenuLayoutItem> items(3);
    for (auto& it : items)
        it.height = 20;
    items[0].textWidth = 50;
    items[1].separator = true;
    items[2].textWidth = 30;
    // Plain: gap + widest item.
    MenuLayout plain = LayoutMenu(m, items, 0, false, 1000);
    EXPECT_EQ(plain.width, 10 + 50 + 18);
    // A submenu item adds one gap; a key adds the key text and 1.5 gaps.
    items[2].submenu = true;
    EXPECT_EQ(LayoutMenu(m, items, 0, false, 1000).width, 10 + 68 + 10);
    items[0].keyWidth = 40;
    MenuLayout keyed = LayoutMenu(m, items, 0, false, 1000);
    EXPECT_EQ(keyed.width, 10 + 68 + 40 + 15);
    EXPECT_EQ(keyed.keyColumn, keyed.width - 10 - 40);
    // Minimum widths; a negative minimum counts as 0.
    EXPECT_EQ(LayoutMenu(m, items, 500, false, 1000).width, 500);
    EXPECT_EQ(LayoutMenu(m, {}, -30, false, 1000).width, 10 + 18);
    // Columns: the item where the running height passes screen - 40.
    std::vector<MenuLayoutItem> tall(10);
    for (auto& it : tall)
        it.height = 20;
    MenuLayout cols = LayoutMenu(m, tall, 0, true, 100); // 60 pixels a column
    EXPECT_EQ(cols.columnStarts, (std::vector<int32_t>{3, 6, 9}));
    EXPECT_TRUE(LayoutMenu(m, tall, 0, false, 100).columnStarts.empty());
}

} // namespace
