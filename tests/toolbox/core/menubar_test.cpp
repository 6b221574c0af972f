#include "toolbox/core/menubar.h"

#include <gtest/gtest.h>

#include "heap_fixture.h"
#include "test_resources.h"

namespace {

class MenuBars : public HeapTest {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        InstallTestResources();
    }
    void TearDown() override {
        MenuBarReset();
        while (MenuRecordList())
            DisposeMenuRecord(MenuRecordList());
        HeapTest::TearDown();
    }
    static std::string TitleAt(int32_t nativePosition) {
        char text[64] = {};
        NativeMenuTitleOf(MenuBarNative(), nativePosition, text, sizeof text);
        return text;
    }
};

TEST_F(MenuBars, LoadMenuRecordCachesAndRefusesOtherForms) {
    MenuRecord* file = LoadMenuRecord(9101);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(LoadMenuRecord(9101), file);
    EXPECT_EQ(file->menuId, 9101);
    EXPECT_EQ(file->resourceId, 9101);
    EXPECT_EQ(MenuItemSubmenuOf(file, 3), LoadMenuRecord(9102));
    EXPECT_EQ(LoadMenuRecord(9100), nullptr); // a bar
    EXPECT_EQ(LoadMenuRecord(9199), nullptr); // missing
    EXPECT_EQ(LoadMenuRecord(0), nullptr);
}

TEST_F(MenuBars, BarListsLoadWithoutChangingTheBarShown) {
    MenuRecord* shown = LoadMenuRecord(9131);
    InsertMenuInBar(shown, 0);
    EXPECT_EQ(LoadMenuBarList(9101), nullptr); // a menu resource
    EXPECT_EQ(LoadMenuBarList(9199), nullptr);
    MenuBarList* list = LoadMenuBarList(9100);
    ASSERT_NE(list, nullptr);
    // The missing 9199 is skipped; the bar shown before is back.
    ASSERT_EQ(list->menus.size(), 1u);
    EXPECT_EQ(list->menus[0]->menuId, 9101);
    ASSERT_EQ(MenuBarCount(), 1);
    EXPECT_EQ(MenuBarMenuAt(0), shown);
    EXPECT_EQ(NativeMenuCount(MenuBarNative()), 1);
    SetMenuBarList(list);
    EXPECT_EQ(MenuBarCount(), 1);
    EXPECT_EQ(TitleAt(0), "File");
    DisposeMenuBarList(list);
}

TEST_F(MenuBars, InsertFindAndDelete) {
    MenuRecord* a = LoadMenuRecord(9131);
    MenuRecord* b = LoadMenuRecord(9132);
    MenuRecord* file = LoadMenuRecord(9101);
    InsertMenuInBar(a, -1); // nothing
    EXPECT_EQ(MenuBarCount(), 0);
    InsertMenuInBar(a, 0);
    InsertMenuInBar(file, 0);
    InsertMenuInBar(b, 9101); // in front of File
    InsertMenuInBar(a, 0);    // already there
    // 9102 is File's submenu: not inserted again.
    InsertMenuInBar(LoadMenuRecord(9102), 0);
    ASSERT_EQ(MenuBarCount(), 3);
    EXPECT_EQ(NativeMenuCount(MenuBarNative()), 3);
    EXPECT_EQ(MenuBarIndexOf(9132), 1);
    EXPECT_EQ(MenuBarIndexOf(4444), 3);
    EXPECT_EQ(MenuBarIndexOf(0), 3);
    EXPECT_EQ(TitleAt(1), "Long 32");
    EXPECT_EQ(MenuBarMenuAt(-1), nullptr);
    EXPECT_EQ(MenuBarMenuAt(3), nullptr);
    EXPECT_EQ(FindMenuInBar(9102), LoadMenuRecord(9102));
    EXPECT_EQ(FindMenuInBar(4444), nullptr);
    // Title and enabled state follow the menu.
    SetMenuItemText(a, 0, "Renamed");
    EXPECT_EQ(TitleAt(0), "Renamed");
    SetMenuItemEnabled(a, 0, false);
    NativeMenuItem item;
    ASSERT_TRUE(NativeMenuRead(MenuBarNative(), 0, item));
    EXPECT_TRUE(item.greyed);
    DeleteMenuFromBar(9132);
    EXPECT_EQ(MenuBarCount(), 2);
    EXPECT_EQ(TitleAt(1), "File");
    // A disposed menu leaves the bar.
    DisposeMenuRecord(file);
    EXPECT_EQ(MenuBarCount(), 1);
    EXPECT_EQ(NativeMenuCount(MenuBarNative()), 1);
}

TEST_F(MenuBars, TitleHilite) {
    MenuRecord* a = LoadMenuRecord(9131);
    InsertMenuInBar(a, 0);
    for (int16_t id : {0, int(kSystemMenuId), 4444}) {
        HiliteMenuTitle(id);
        EXPECT_EQ(MenuHilitedTitle(), 0) << id;
    }
    SetMenuPopupTracked(true);
    HiliteMenuTitle(9131);
    EXPECT_EQ(MenuHilitedTitle(), 0);
    SetMenuPopupTracked(false);
    HiliteMenuTitle(9131);
    EXPECT_EQ(MenuHilitedTitle(), 9131);
    UnhiliteMenuTitle();
    EXPECT_EQ(MenuHilitedTitle(), 0);
}

} // namespace
