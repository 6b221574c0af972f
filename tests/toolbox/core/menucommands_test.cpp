#include "toolbox/core/menucommands.h"

#include <gtest/gtest.h>

#include "heap_fixture.h"
#include "test_resources.h"
#include "toolbox/core/eventconvert.h"

namespace {

EventReceiver g_focus{kReceiverWindow, nullptr, nullptr, 0};
EventReceiver* TestFocus() {
    return &g_focus;
}
EventCommandRecord g_lastCommand;
uint32_t g_lastContext = 0;
int32_t g_answer = kEventNotHandled;

int32_t CommandHandler(EventCallRef*, EventObject event, void*) {
    EventParamGet(event, kEventParamDirectObject, FourCC("hcmd"), sizeof g_lastCommand,
                  &g_lastCommand);
    EventParamGet(event, kParamMenuContext, FourCC("magn"), sizeof g_lastContext, &g_lastContext);
    return g_answer;
}

class MenuCommands : public HeapTest {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        InstallTestResources();
        SetFocusReceiverProvider(&TestFocus);
        EventReceiverPushHandler(&g_focus, &CommandHandler, 0, nullptr, nullptr, nullptr);
        g_answer = kEventNotHandled;
        g_lastCommand = {};
        file = LoadMenuRecord(9101);
        InsertMenuInBar(file, 0);
    }
    void TearDown() override {
        EventReceiverClearHandlers(&g_focus);
        SetFocusReceiverProvider(nullptr);
        MenuTrackingState() = MenuTracking();
        MenuBarReset();
        while (MenuRecordList())
            DisposeMenuRecord(MenuRecordList());
        HeapTest::TearDown();
    }
    void Note(MenuRecord* menu, int32_t position) {
        MenuTrackingState().context = kMenuContextBar;
        MenuTrackingState().notedMenu = menu->native;
        MenuTrackingState().notedPosition = position;
    }
    EventObject Key(uint8_t character, uint32_t modifiers) {
        EventObject e = nullptr;
        EventObjectNew(kEventClassKeyboard, kKeyDownKind, &e);
        EventParamSet(e, kParamKeyChar, FourCC("TEXT"), 1, &character);
        EventParamSet(e, kParamModifiers, FourCC("magn"), sizeof modifiers, &modifiers);
        return e;
    }
    MenuRecord* file = nullptr;
};

TEST_F(MenuCommands, TakeMenuChoice) {
    EXPECT_EQ(TakeMenuChoice(kMenuContextBar, 0), 0u); // no context
    Note(file, 0);
    EXPECT_EQ(TakeMenuChoice(kMenuContextBar, 0x200), (9101u << 16) | 1);
    EXPECT_EQ(g_lastCommand.command, 101u);
    EXPECT_EQ(g_lastCommand.menu, file);
    EXPECT_EQ(g_lastCommand.item, 1);
    EXPECT_EQ(g_lastContext, kMenuContextBar);
    EXPECT_EQ(MenuHilitedTitle(), 9101);
    EXPECT_EQ(MenuTrackingState().context, 0u);
    // A handled command gives no choice and unhilites the title.
    g_answer = 0;
    Note(file, 0);
    EXPECT_EQ(TakeMenuChoice(kMenuContextBar, 0), 0u);
    EXPECT_EQ(MenuHilitedTitle(), 0);
    // A disabled menu gives none.
    g_answer = kEventNotHandled;
    SetMenuItemEnabled(file, 0, false);
    Note(file, 0);
    EXPECT_EQ(TakeMenuChoice(kMenuContextBar, 0), 0u);
    // An extra system-menu item: 8998 high, its command low, -1 as menu.
    MenuTrackingState().context = kMenuContextBar;
    MenuTrackingState().systemMenuNoted = true;
    MenuTrackingState().systemItemId = kSystemMenuItemId;
    MenuTrackingState().systemItemData = 777;
    EXPECT_EQ(TakeMenuChoice(kMenuContextBar, 0), (8998u << 16) | 777);
    EXPECT_EQ(g_lastCommand.command, uint32_t(-1));
    EXPECT_EQ(g_lastCommand.menu, reinterpret_cast<void*>(intptr_t(-1)));
}

TEST_F(MenuCommands, CommandKeysSearchTheBar) {
    MenuRecord* found = nullptr;
    int32_t item = 0;
    EventObject plain = Key('o', 0);
    EXPECT_FALSE(MenuCommandKey(nullptr, plain, 0, &found, &item)); // no Control
    EventObject control = Key(15, kMenuKeyControl);                 // Ctrl+O as character 15
    ASSERT_TRUE(MenuCommandKey(nullptr, control, kMenuKeyNoHilite, &found, &item));
    EXPECT_EQ(found, file);
    EXPECT_EQ(item, 1);
    EXPECT_EQ(MenuHilitedTitle(), 0);
    // "Print`P" is greyed: only option 1 finds it.
    EventObject p = Key('p', kMenuKeyControl);
    EXPECT_FALSE(MenuCommandKey(nullptr, p, 0, &found, &item));
    EXPECT_TRUE(MenuCommandKey(file, p, kMenuKeyDisabledMatch, &found, &item));
    EXPECT_EQ(item, 4);
    EXPECT_EQ(MenuHilitedTitle(), 9101);
    // Keys of submenu items: the submenu is searched.
    MenuRecord* recent = LoadMenuRecord(9102);
    SetMenuItemKey(recent, 1, 'r');
    EventObject r = Key('R', kMenuKeyControl);
    EXPECT_TRUE(MenuCommandKey(nullptr, r, 0, &found, &item));
    EXPECT_EQ(found, recent);
    for (EventObject e : {plain, control, p, r})
        EventObjectRelease(e);
}

// The loop's menu key sends the choice as a command and leaves no title
// hilited; a key no menu answers is passed on.
TEST_F(MenuCommands, ProcessMenuCommandKeySendsTheCommand) {
    EventObject control = Key('O', kMenuKeyControl | 0x200);
    EXPECT_TRUE(ProcessMenuCommandKey(control));
    EXPECT_EQ(g_lastCommand.command, 101u);
    EXPECT_EQ(g_lastCommand.menu, file);
    EXPECT_EQ(g_lastCommand.item, 1);
    EXPECT_EQ(g_lastContext, kMenuContextCommandKey | kMenuContextAllMenus);
    EXPECT_EQ(MenuHilitedTitle(), 0);
    EXPECT_EQ(MenuTrackingState().context, 0u);
    g_lastCommand = {};
    EventObject none = Key('Q', kMenuKeyControl);
    EXPECT_FALSE(ProcessMenuCommandKey(none));
    EXPECT_EQ(g_lastCommand.command, 0u);
    EventObjectRelease(control);
    EventObjectRelease(none);
}

TEST_F(MenuCommands, DefaultUpdateAndChoice) {
    SetMenuItemEnabled(file, 0, false);
    SetMenuItemChecked(file, 5, true);
    UpdateMenuBarMenus(0);
    EXPECT_TRUE(MenuItemEnabled(file, 0));
    EXPECT_EQ(MenuItemCommandOf(file, 1), 9102u);
    EXPECT_TRUE(MenuItemEnabled(file, 4));  // was greyed
    EXPECT_FALSE(MenuItemEnabled(file, 2)); // a separator
    EXPECT_EQ(MenuItemCheckOf(file, 5), 0);
    // Command 103 ends a menu's walk.
    MenuRecord* low = NewMenuWithTitle(100, "Low");
    for (int i = 0; i < 5; ++i)
        InsertMenuItemText(low, "x", -1);
    InsertMenuInBar(low, 0);
    UpdateMenuBarMenus(0);
    EXPECT_EQ(MenuItemCommandOf(low, 2), 102u);
    EXPECT_EQ(MenuItemCommandOf(low, 3), kMenuNewItemCommand);
    static int closes = 0, ends = 0;
    MenuWindowCommands procs{[] { ++closes; },
                             [] {
                                 ++closes;
                                 return true;
                             },
                             [] { ++ends; }};
    SetMenuWindowCommands(&procs);
    SetMenuItemCommand(low, 1, kCommandCloseWindow);
    MenuChoiceDefault(low, 1, 0, true, false); // bit 18: nothing
    EXPECT_EQ(closes, 0);
    MenuChoiceDefault(low, 1, 0, false, false);
    EXPECT_EQ(closes, 1);
    SetMenuItemCommand(low, 1, kCommandQuit);
    MenuChoiceDefault(low, 1, 0, false, false);
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(ends, 1);
    SetMenuWindowCommands(nullptr);
}

} // namespace
