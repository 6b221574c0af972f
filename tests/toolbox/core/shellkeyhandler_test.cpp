#include "toolbox/core/shellkeyhandler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "heap_fixture.h"
#include "test_resources.h"
#include "toolbox/core/coreevents.h"
#include "toolbox/core/keycommand.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/menubar.h"
#include "toolbox/core/menucommands.h"
#include "toolbox/core/menulist.h"

namespace {

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

void* g_front = nullptr;

class ShellKeys : public HeapTest {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        InstallTestResources();
        Calls().clear();
        g_front = nullptr;
        LoopWindowHooks hooks{};
        hooks.frontNonFloatingWindow = [] { return g_front; };
        SetLoopWindowHooks(&hooks);
        SetKeyCommandSender([](int16_t command, const OsEventRecord* record) {
            Calls().push_back("command " + std::to_string(uint16_t(command)) + " " +
                              std::to_string(record->message));
        });
        KeyCommandRegister(37, kKeyCommandControl, 33000);
        MenuListInit([](int32_t) { Calls().push_back("update"); }, nullptr);
        InsertMenuInBar(LoadMenuRecord(9101), 0);
        InstallCoreEventProcs([] { Calls().push_back("open application"); }, nullptr, nullptr);
    }
    void TearDown() override {
        for (EventObject e : events_)
            EventObjectRelease(e);
        ResetCoreEventProcs();
        MenuListReset();
        ClearKeyCommands();
        SetKeyCommandSender(nullptr);
        SetLoopWindowHooks(nullptr);
        MenuTrackingState() = MenuTracking();
        MenuBarReset();
        while (MenuRecordList())
            DisposeMenuRecord(MenuRecordList());
        HeapTest::TearDown();
    }
    int32_t Key(uint32_t code, uint8_t character, uint32_t modifiers) {
        EventObject e = nullptr;
        EventObjectNew(kEventClassKeyboard, kKeyDownKind, &e);
        EventParamSet(e, kParamKeyCode, FourCC("magn"), sizeof code, &code);
        EventParamSet(e, kParamKeyChar, FourCC("TEXT"), 1, &character);
        EventParamSet(e, kParamModifiers, FourCC("magn"), sizeof modifiers, &modifiers);
        events_.push_back(e);
        return ShellKeyHandler(nullptr, e, nullptr);
    }
    std::vector<EventObject> events_;
};

TEST_F(ShellKeys, KeyCommandsThenControlKeysThatNoMenuTakes) {
    // Control+Left is a key command: the record carries code and character.
    EXPECT_EQ(Key(37, 0, kModControl), 0);
    // Ctrl+O is File's Open: passed on after the menus were updated.
    EXPECT_EQ(Key(79, 15, kModControl), kEventNotHandled);
    // Ctrl+Q answers nothing: consumed.
    EXPECT_EQ(Key(81, 17, kModControl), 0);
    // No Control: passed on untouched.
    EXPECT_EQ(Key(81, 'q', 0), kEventNotHandled);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"command 33000 9472", "update", "update"}));
}

TEST_F(ShellKeys, AForeignFrontWindowKeepsItsKeys) {
    int foreign = 0;
    g_front = &foreign;
    EXPECT_FALSE(FrontWindowIsOurs());
    EXPECT_EQ(Key(37, 0, kModControl), kEventNotHandled);
    EXPECT_EQ(Key(81, 17, kModControl), kEventNotHandled);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(ShellKeys, RequestsGoToTheDispatchOtherClassesArePassedOn) {
    EventObject request = nullptr;
    EventObjectNew(kEventClassHighLevel, kCoreEventKind, &request);
    int16_t kind = 0;
    EventParamSet(request, kParamRequestKind, kCoreTypeShort, sizeof kind, &kind);
    events_.push_back(request);
    EXPECT_EQ(ShellKeyHandler(nullptr, request, nullptr), 0);
    EventObject click = nullptr;
    EventObjectNew(kEventClassMouse, kMouseDownKind, &click);
    events_.push_back(click);
    EXPECT_EQ(ShellKeyHandler(nullptr, click, nullptr), kEventNotHandled);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"open application"}));
}

} // namespace
