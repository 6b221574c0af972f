#include "toolbox/core/menulist.h"

#include <gtest/gtest.h>

#include "heap_fixture.h"
#include "test_resources.h"

namespace {

class MenuList : public HeapTest {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        InstallTestResources();
    }
    void TearDown() override {
        MenuListReset();
        MenuBarReset();
        while (MenuRecordList())
            DisposeMenuRecord(MenuRecordList());
        SetFontNumberFromName(nullptr);
        HeapTest::TearDown();
    }
};

TEST_F(MenuList, EntriesFoundFromTheirMenus) {
    EXPECT_EQ(MenuGetOrLoad(0), nullptr);
    EXPECT_EQ(MenuGetOrLoad(9199), nullptr);
    MenuListEntry* file = MenuGetOrLoad(9101);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(MenuGetOrLoad(9101), file);
    EXPECT_EQ(MenuEntryOf(file->menu), file);
    EXPECT_EQ(file->menuId, 9101);
    EXPECT_EQ(file->resourceId, 9101);
    EXPECT_EQ(file->hasSubmenus, 1);
    // The submenu got an entry of its own.
    MenuListEntry* recent = SubmenuEntryOf(file, kItemByPosition, 3);
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->resourceId, 9102);
    EXPECT_EQ(MenuGetOrLoad(9102), recent);
    EXPECT_EQ(SubmenuEntryOf(file, kItemByCommand, 9102), recent);
}

TEST_F(MenuList, ItemCommandsAndInsertion) {
    MenuListEntry* file = MenuGetOrLoad(9101);
    EXPECT_EQ(ItemCommandOf(PositionIsCommandEntry(), 17, nullptr), 17u);
    EXPECT_EQ(ItemCommandOf(nullptr, 1, nullptr), 0u);
    EXPECT_EQ(ItemCommandOf(file, 0, nullptr), 0u);
    EXPECT_EQ(ItemCommandOf(file, 1, nullptr), 101u);
    EXPECT_EQ(ItemPositionOfCommand(file, 104), 7);
    EXPECT_EQ(ItemPositionOfCommand(file, 5555), 0);
    // By a command no item holds: appended.
    EXPECT_EQ(MenuInsertItem(file, kItemByCommand, 5555, 8000, "Courier"), 8);
    EXPECT_EQ(MenuInsertItem(file, kItemByPosition, 99, 301, "Far"), 9);
    EXPECT_EQ(MenuInsertItem(file, kItemByCommand, 101, 300, "First"), 1);
    EXPECT_EQ(MenuItemTextOf(file->menu, 2), "Open...");
    // A font item's command gives the font its text names.
    SetFontNumberFromName(
        [](const std::string& name) -> int16_t { return name == "Courier" ? 22 : 0; });
    int16_t font = -1;
    EXPECT_EQ(ItemCommandOf(file, 9, &font), kFontItemCommand);
    EXPECT_EQ(font, 22);
    // Addressed by command.
    SetItemEnabled(file, kItemByCommand, 101, false);
    EXPECT_FALSE(ItemEnabledOf(file, kItemByCommand, 101));
    SetItemMark(file, kItemByCommand, 101, 'x');
    EXPECT_TRUE(ItemCheckedOf(file, kItemByCommand, 101));
    SetItemText(file, kItemByPosition, 0, "Files");
    EXPECT_EQ(MenuItemTextOf(file->menu, 0), "Files");
    SetItemKey(file, kItemByCommand, 301, 'f');
    EXPECT_EQ(MenuItemKeyOf(file->menu, 10), 'f');
    RemoveMenuItemByCommand(file, kItemByCommand, 9102); // the submenu item
    EXPECT_EQ(file->hasSubmenus, 0);
}

struct Visit {
    int32_t item;
    uint32_t command;
};

TEST_F(MenuList, WalksAndSearchesInBarOrderDepthFirst) {
    SavedMenuBar* saved = MenuBarNew(9100);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(MenuBarCount(), 0); // not shown yet
    MenuListEntry* longer = MenuGetOrLoad(9131);
    MenuBarSet(saved);
    InsertMenuEntryInBar(longer, 0);
    ASSERT_EQ(MenuBarEntries().size(), 2u);
    EXPECT_EQ(MenuById(9101), MenuBarEntries()[0]);
    EXPECT_EQ(MenuById(9102), MenuGetOrLoad(9102)); // found as a submenu
    // Item 0 stands for the menu; descending enters the submenu.
    std::vector<Visit> seen;
    MenuWalk(
        MenuById(9101), 0,
        [](MenuListEntry*, int32_t item, uint32_t command, bool* descend, void* data) {
            static_cast<std::vector<Visit>*>(data)->push_back({item, command});
            *descend = true;
            return true;
        },
        &seen);
    ASSERT_EQ(seen.size(), 1u + 7u + 2u);
    EXPECT_EQ(seen[0].command, 9101u);
    EXPECT_EQ(seen[4].item, 1); // Recent's first item, right after item 3
    EXPECT_EQ(seen[4].command, 1u);
    // A false return stops the whole bar walk.
    int calls = 0;
    MenuBarWalk([](MenuListEntry*, int32_t, uint32_t, bool*,
                   void* data) { return ++*static_cast<int*>(data) < 3; },
                &calls);
    EXPECT_EQ(calls, 3);
    // Command 1 is item 1 of Recent (inside File) before item 1 of Long 31.
    int32_t position = 0;
    EXPECT_EQ(FindMenuByCommand(1, &position), MenuGetOrLoad(9102));
    EXPECT_EQ(position, 1);
    EXPECT_EQ(FindMenuByCommand(31, &position), longer);
    EXPECT_EQ(FindMenuByCommand(4444, &position), nullptr);
    RemoveMenuEntryFromBar(longer);
    EXPECT_EQ(MenuBarCount(), 1);
    DisposeMenuBarList(saved);
}

TEST_F(MenuList, DisposingDetachesFromOtherMenus) {
    MenuListEntry* file = MenuGetOrLoad(9101);
    MenuListEntry* recent = MenuGetOrLoad(9102);
    InsertMenuEntryInBar(file, 0);
    DisposeMenuEntry(recent, false);
    EXPECT_EQ(file->hasSubmenus, 0);
    EXPECT_EQ(MenuItemSubmenuOf(file->menu, 3), nullptr);
    DisposeMenuEntry(file, true);
    EXPECT_EQ(MenuBarCount(), 0);
    EXPECT_TRUE(MenuBarEntries().empty());
}

} // namespace
