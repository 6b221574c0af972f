#include "toolbox/core/shellcommands.h"

#include <string>
#include <vector>

#include "test_resources.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/menurecord.h"
#include "window_fixture.h"

namespace {

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

// A dialog layer whose window has one focused item of a chosen kind.
int16_t g_focusedItem = 0;
int16_t g_focusedKind = 0;
int32_t g_selStart = 0, g_selEnd = 0;
int32_t g_clipboard = 0;
bool g_modal = false;

class ShellCommands : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        InstallTestResources();
        Log().clear();
        g_focusedItem = 0;
        g_focusedKind = 0;
        g_selStart = g_selEnd = 0;
        g_clipboard = 0;
        g_modal = false;
        DialogLayerProcs dialog{};
        dialog.focusedItem = [](WindowObject*) { return g_focusedItem; };
        dialog.itemKind = [](WindowObject*, int16_t) { return g_focusedKind; };
        SetDialogLayerProcs(&dialog);
        ShellTextProcs text{};
        text.frontIsModalDialog = [] { return g_modal; };
        text.itemSelection = [](WindowObject*, int16_t, int32_t* s, int32_t* e) {
            *s = g_selStart;
            *e = g_selEnd;
        };
        text.editItem = [](WindowObject* w, int16_t item, uint32_t command) {
            Log().push_back("edit " + std::to_string(w->sequence) + " " + std::to_string(item) +
                            " " + std::to_string(command));
        };
        text.clipboardTextLength = [] { return g_clipboard; };
        SetShellTextProcs(&text);
    }
    void TearDown() override {
        ResetShellCommands();
        MenuListReset();
        MenuBarReset();
        while (MenuRecordList())
            DisposeMenuRecord(MenuRecordList());
        WindowFixture::TearDown();
    }
    bool Enabled(uint32_t command, WindowObject* window = nullptr) {
        CommandQuery q{};
        q.window = window;
        q.command = command;
        q.enabled = 1;
        q.modalInFront = g_modal;
        EXPECT_TRUE(StandardCommandProc(&q));
        return q.enabled != 0;
    }
};

TEST_F(ShellCommands, StandardEntryAnswersFromTheContext) {
    WindowObject* w = MakeWindow();
    for (uint32_t c : {kCommandNew, kCommandQuitRequest, kCommandPreferences}) {
        g_modal = false;
        EXPECT_TRUE(Enabled(c, w)) << c;
        g_modal = true;
        EXPECT_FALSE(Enabled(c, w)) << c;
    }
    g_modal = false;
    // No focused edit-text item: the edit commands are off.
    for (uint32_t c : {kCommandUndo, kCommandCut, kCommandCopy, kCommandPaste, kCommandClear})
        EXPECT_FALSE(Enabled(c, w)) << c;
    g_focusedItem = 3;
    g_focusedKind = kItemKindList;
    EXPECT_FALSE(Enabled(kCommandUndo, w));
    g_focusedKind = kItemKindEditText;
    EXPECT_TRUE(Enabled(kCommandUndo, w));
    EXPECT_FALSE(Enabled(kCommandCut, w));
    EXPECT_FALSE(Enabled(kCommandPaste, w));
    g_selStart = 2;
    g_selEnd = 5;
    g_clipboard = 1;
    for (uint32_t c : {kCommandCut, kCommandCopy, kCommandClear, kCommandPaste})
        EXPECT_TRUE(Enabled(c, w)) << c;
    // Any other number is disabled by the standard entry.
    EXPECT_FALSE(Enabled(5000, w));
    EXPECT_FALSE(Enabled(kCommandCloseWindow, w));
}

TEST_F(ShellCommands, ProcessCommandOffersTheHookThenTheStandardCommand) {
    WindowObject* w = MakeWindow();
    g_focusedItem = 4;
    g_focusedKind = kItemKindEditText;
    static int32_t s_hookAnswer = 0;
    SetCommandHook([](WindowObject* window, const WindowEvent* event) {
        Log().push_back("hook " + std::to_string(window ? window->sequence : 0) + " " +
                        std::to_string(event->command.command));
        return s_hookAnswer;
    });
    WindowEvent e{};
    e.type = kWindowEventCommand;
    e.command.command = int16_t(kCommandCopy);
    s_hookAnswer = 1;
    EXPECT_EQ(ProcessCommand(&e), 0);
    s_hookAnswer = 0;
    EXPECT_EQ(ProcessCommand(&e), 0);
    e.command.command = 5000;
    EXPECT_EQ(ProcessCommand(&e), kWindowEventNotHandled);
    std::string id = std::to_string(w->sequence);
    EXPECT_EQ(Log(), (std::vector<std::string>{"hook " + id + " 303", "hook " + id + " 303",
                                               "edit " + id + " 4 303", "hook " + id + " 5000"}));
    // A hook that disposes the window: the standard command is not reached.
    Log().clear();
    SetCommandHook([](WindowObject* window, const WindowEvent*) {
        DisposeWindowObject(window);
        return int32_t(0);
    });
    e.command.command = int16_t(kCommandCopy);
    EXPECT_EQ(ProcessCommand(&e), 0);
    EXPECT_TRUE(Log().empty());
}

TEST_F(ShellCommands, CloseCommandSendsTheCloseRequest) {
    WindowObject* w = MakeWindow();
    int32_t id = w->sequence;
    SeenEvents().clear();
    WindowEvent e{};
    e.type = kWindowEventCommand;
    e.command.command = int16_t(kCommandCloseWindow);
    EXPECT_EQ(StandardCommand(w, &e), 0);
    // The default close disposes the window.
    EXPECT_EQ(TypesSeenBy(id), (std::vector<uint32_t>{kWindowEventClose, kWindowEventDispose}));
}

TEST_F(ShellCommands, SendCommandGoesToTheFrontWindowAndClimbsToProcessCommand) {
    WindowObject* w = MakeWindow();
    SetProcessCommandProc(&ProcessCommand);
    SetCommandHook([](WindowObject*, const WindowEvent* event) {
        Log().push_back("hook " + std::to_string(event->command.command) + " " +
                        std::to_string(event->command.extra) + " " +
                        std::to_string(event->command.shift) +
                        std::to_string(event->command.control));
        return int32_t(1);
    });
    MenuListEntry* file = MenuGetOrLoad(9101);
    ASSERT_NE(file, nullptr);
    SeenEvents().clear();
    MenuChoiceCommand(file->menu, 1, kChoiceShiftBit, false, false);
    MenuChoiceCommand(file->menu, 7, kChoiceControlBit, false, false);
    ASSERT_EQ(TypesSeenBy(w->sequence),
              (std::vector<uint32_t>{kWindowEventCommand, kWindowEventCommand}));
    EXPECT_EQ(SeenEvents()[0].event.command.menu, 9101);
    EXPECT_EQ(SeenEvents()[0].event.command.item, 1);
    EXPECT_EQ(Log(), (std::vector<std::string>{"hook 101 0 10", "hook 104 0 01"}));
    // With no window at all the command goes straight to ProcessCommand.
    DisposeWindowObject(w);
    Log().clear();
    EXPECT_EQ(SendCommand(nullptr, 7, 0, 0, 3, 0, false, false), 0);
    EXPECT_EQ(Log(), std::vector<std::string>{"hook 7 3 00"});
}

// Each callback logs who it was asked by and answers per command.
bool DocumentCallback(CommandQuery* q) {
    Log().push_back("doc " + std::to_string(q->command));
    if (q->command == 101) {
        q->enabled = 0;
        return true;
    }
    if (q->command == 103) {
        q->checked = 0;
        return true;
    }
    if (q->command == 104) {
        std::snprintf(q->text, sizeof q->text, "Leave");
        q->mark = 'x';
        return true;
    }
    return false;
}

bool ApplicationCallback(CommandQuery* q) {
    Log().push_back("app " + std::to_string(q->command));
    if (q->item == 0 || q->command == 102) return true; // keeps titles and 102 enabled
    return false;
}

TEST_F(ShellCommands, MenuEnablingWalksTheChainAndAppliesTheAnswers) {
    WindowObject* w = MakeWindow();
    SetMenuEnableCallback(w, &DocumentCallback);
    EXPECT_EQ(SetMenuEnableCallback(nullptr, &ApplicationCallback), nullptr);
    MenuListEntry* file = MenuGetOrLoad(9101);
    InsertMenuEntryInBar(file, 0);
    UpdateMenuEnabling(0);
    // Document first, then the application, then the standard entry.
    std::vector<std::string> expected{"doc 9101", "app 9101", "doc 101"};
    EXPECT_EQ(std::vector<std::string>(Log().begin(), Log().begin() + 3), expected);
    EXPECT_FALSE(ItemEnabledOf(file, kItemByPosition, 1)); // 101 by the document
    EXPECT_TRUE(ItemEnabledOf(file, kItemByPosition, 4));  // 102 by the application
    EXPECT_FALSE(ItemCheckedOf(file, kItemByPosition, 5)); // 103 unchecked
    EXPECT_TRUE(ItemEnabledOf(file, kItemByPosition, 0));  // the title
    EXPECT_EQ(MenuItemTextOf(file->menu, 7), "Leave");
    EXPECT_TRUE(ItemCheckedOf(file, kItemByPosition, 7)); // a mark given
    EXPECT_EQ(MenuItemTextOf(file->menu, 0), "File");
    // Without the callbacks the standard entry disables unknown commands.
    SetMenuEnableCallback(w, nullptr);
    SetMenuEnableCallback(nullptr, nullptr);
    UpdateMenuEnabling(0);
    EXPECT_FALSE(ItemEnabledOf(file, kItemByPosition, 4));
    EXPECT_FALSE(ItemEnabledOf(file, kItemByPosition, 0));
}

TEST_F(ShellCommands, AWindowDisposedByItsCallbackLeavesTheRestOfTheChain) {
    WindowObject* w = MakeWindow();
    int32_t id = w->sequence;
    void* gonePort = DrawingLayer().currentPort(); // the new window's
    SetMenuEnableCallback(w, [](CommandQuery* q) {
        DisposeWindowObject(q->window);
        return false;
    });
    SetMenuEnableCallback(nullptr, &ApplicationCallback);
    MenuListEntry* file = MenuGetOrLoad(9101);
    InsertMenuEntryInBar(file, 0);
    UpdateMenuEnabling(0);
    EXPECT_EQ(WindowObjectFromId(id), nullptr);
    EXPECT_NE(DrawingLayer().currentPort(), gonePort);
    // Every item still reached the application's callback.
    EXPECT_EQ(Log().front(), "app 9101");
    EXPECT_TRUE(ItemEnabledOf(file, kItemByPosition, 4));
    SetMenuEnableCallback(nullptr, nullptr);
}

TEST_F(ShellCommands, QuitAsksEveryWindowAndARefusalCancels) {
    WindowObject* a = MakeWindow();
    WindowObject* b = MakeWindow();
    Reactions()[kWindowEventClose] = [](WindowObject*, WindowEvent*) {
        RefuseClose();
        return int32_t(1);
    };
    int32_t aId = a->sequence;
    EXPECT_FALSE(QuitApplicationRequest());
    EXPECT_NE(WindowObjectFromId(aId), nullptr);
    EXPECT_FALSE(QuitInProgress());
    // A second request while the first is asking is refused at once.
    static bool s_inner = true;
    Reactions()[kWindowEventClose] = [](WindowObject*, WindowEvent*) {
        s_inner = QuitPermission();
        return int32_t(0);
    };
    int32_t bId = b->sequence;
    EXPECT_TRUE(QuitApplicationRequest());
    EXPECT_FALSE(s_inner);
    EXPECT_EQ(WindowObjectFromId(bId), nullptr);
}

} // namespace
