#include <gtest/gtest.h>

#include "test_resources.h"
#include "toolbox/core/menutemplate.h"
#include "toolbox/core/resource.h"

namespace {

std::vector<MenuTemplateItem> Parsed(int32_t number) {
    const TestResourceMap& tables = TestResourceTables();
    auto it = tables.find({kResourceTypeMenu, number});
    EXPECT_NE(it, tables.end()) << number;
    std::vector<MenuTemplateItem> top;
    if (it != tables.end()) {
        EXPECT_TRUE(ParseMenuTemplate(it->second.data(), it->second.size(), top)) << number;
    }
    return top;
}

TEST(MenuResource, PackedMenuReadsBackItsSource) {
    std::vector<MenuTemplateItem> top = Parsed(9101);
    ASSERT_EQ(MenuResourceFormOf(top), MenuResourceForm::kMenu);
    EXPECT_EQ(top[0].text, "File");
    const auto& items = top[0].items;
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(MenuSourceItemOf(items[0]).key, 'O');
    EXPECT_EQ(MenuSourceItemOf(items[1]).kind, MenuSourceKind::kSeparator);
    MenuSourceItem recent = MenuSourceItemOf(items[2]);
    EXPECT_EQ(recent.kind, MenuSourceKind::kSubmenu);
    EXPECT_EQ(recent.command, 9102);
    EXPECT_TRUE(MenuSourceItemOf(items[3]).greyed);
    EXPECT_TRUE(MenuSourceItemOf(items[4]).checked);
    EXPECT_EQ(MenuSourceItemOf(items[5]).kind, MenuSourceKind::kSeparator);
    EXPECT_EQ(items[6].text, "E&xit");
    EXPECT_EQ(items[6].id, 104);
}

TEST(MenuResource, PackedBarListsItsMenus) {
    std::vector<MenuTemplateItem> top = Parsed(9100);
    ASSERT_EQ(MenuResourceFormOf(top), MenuResourceForm::kBar);
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[1].id, 9101);
    EXPECT_EQ(top[2].id, 9199);
}

TEST(MenuResource, LongMenusKeepEveryItem) {
    for (int n : {31, 32, 33}) {
        std::vector<MenuTemplateItem> top = Parsed(9100 + n);
        ASSERT_EQ(top.size(), 1u);
        ASSERT_EQ(top[0].items.size(), size_t(n));
        EXPECT_EQ(top[0].items.back().id, n);
    }
}

} // namespace
