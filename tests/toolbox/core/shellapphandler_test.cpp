#include "toolbox/core/shellapphandler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "heap_fixture.h"
#include "test_resources.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/menubar.h"
#include "toolbox/core/menucommands.h"
#include "toolbox/core/menulist.h"
#include "toolbox/core/menurecord.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/portrecord.h"

namespace {

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

class ShellAppHandler : public HeapTest {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        InstallTestResources();
        Calls().clear();
        ShellAppProcs procs{[](uint8_t b) { Calls().push_back("suspend " + std::to_string(b)); },
                            [] { Calls().push_back("hide tag"); },
                            [](EventObject) { Calls().push_back("mouse up"); },
                            [] { Calls().push_back("cursor"); }};
        SetShellAppProcs(&procs);
    }
    void TearDown() override {
        for (EventObject e : events_)
            EventObjectRelease(e);
        ResetShellAppState();
        SetShellAppProcs(nullptr);
        MenuBarReset();
        while (MenuRecordList())
            DisposeMenuRecord(MenuRecordList());
        HeapTest::TearDown();
    }
    int32_t Send(uint32_t eventClass, uint32_t kind, MenuRecord* menu = nullptr) {
        EventObject e = nullptr;
        EventObjectNew(eventClass, kind, &e);
        if (menu) EventParamSet(e, kEventParamDirectObject, FourCC("menu"), sizeof menu, &menu);
        events_.push_back(e);
        return ShellApplicationHandler(nullptr, e, nullptr);
    }
    std::vector<EventObject> events_;
};

TEST_F(ShellAppHandler, BackgroundTrackingAndClicks) {
    EXPECT_EQ(Send(kEventClassApplication, 2), 0);
    EXPECT_TRUE(ShellInBackground());
    EXPECT_EQ(Send(kEventClassApplication, 1), 0);
    EXPECT_FALSE(ShellInBackground());
    EXPECT_EQ(Send(kEventClassMenu, 1), 0);
    EXPECT_EQ(ShellMenuTrackingCount(), 1);
    EXPECT_EQ(Send(kEventClassMenu, 2), 0);
    EXPECT_EQ(Send(kEventClassMenu, 2), 0);
    EXPECT_EQ(ShellMenuTrackingCount(), 0); // never below 0
    EXPECT_EQ(Send(FourCC("mous"), 2), 0);
    EXPECT_EQ(Send(FourCC("mous"), 1), kEventNotHandled);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"suspend 1", "suspend 0", "cursor", "hide tag",
                                                 "mouse up"}));
}

TEST_F(ShellAppHandler, OnlyTheApplicationsOwnMenusAreTakenWhenOpening) {
    MenuRecord* menu = LoadMenuRecord(9101);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Send(kEventClassMenu, kMenuEventOpening, menu), kEventNotHandled);
    EXPECT_EQ(Send(kEventClassMenu, kMenuEventOpening), kEventNotHandled);
    int32_t mark = 1;
    SetMenuItemProperty(menu, 0, kAppMenuCreator, kAppMenuTag, sizeof mark, &mark);
    EXPECT_EQ(Send(kEventClassMenu, kMenuEventOpening, menu), 0);
}

void* g_front = nullptr;

void RecordChoice(MenuRecord* menu, int32_t item, uint32_t modifiers, bool flag18, bool flag17) {
    Calls().push_back("choice " + std::to_string(menu->menuId) + "/" + std::to_string(item) + " " +
                      std::to_string(modifiers) + " " + std::to_string(flag18) +
                      std::to_string(flag17));
}

int32_t RecordPortEvent(PortRecord*, OsEventRecord* record) {
    Calls().push_back("port " + std::to_string(record->what) + " " +
                      std::to_string(record->modifiers));
    return 0;
}

class ShellAppCommands : public ShellAppHandler {
  protected:
    void SetUp() override {
        ShellAppHandler::SetUp();
        MenuListInit(nullptr, &RecordChoice);
        LoopWindowHooks hooks{};
        hooks.frontNonFloatingWindow = [] { return g_front; };
        SetLoopWindowHooks(&hooks);
        g_front = nullptr;
    }
    void TearDown() override {
        if (linked_) DisposePortRecord(&port_);
        SetLoopWindowHooks(nullptr);
        MenuListReset();
        ShellAppHandler::TearDown();
    }
    int32_t SendCommand(uint32_t attributes, void* menu, uint16_t item, uint32_t context,
                        uint32_t modifiers) {
        EventObject e = nullptr;
        EventObjectNew(kEventClassCommand, kCommandEventProcess, &e);
        EventCommandRecord command{attributes, 77, menu, item};
        EventParamSet(e, kEventParamDirectObject, FourCC("hcmd"), sizeof command, &command);
        EventParamSet(e, kParamMenuContext, FourCC("magn"), sizeof context, &context);
        EventParamSet(e, kParamModifiers, FourCC("magn"), sizeof modifiers, &modifiers);
        events_.push_back(e);
        return ShellApplicationHandler(nullptr, e, nullptr);
    }
    void LinkFrontPort() {
        port_ = PortRecord{};
        WindowObjectLink(&port_, &native_, 0, &RecordPortEvent);
        linked_ = true;
        g_front = &native_;
    }
    PortRecord port_{};
    int native_ = 0;
    bool linked_ = false;
};

TEST_F(ShellAppCommands, MenuCommandsAreCarriedOutForKnownMenusWhileOurWindowIsInFront) {
    MenuRecord* menu = LoadMenuRecord(9101);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(SendCommand(kCommandFromMenu, menu, 2, kMenuContextBit18, 0x200), 0);
    EXPECT_EQ(SendCommand(kCommandFromMenu, menu, 3, kMenuContextBit17, 0), 0);
    // Not from a menu, the system menu's stand-in, a menu nobody made.
    EXPECT_EQ(SendCommand(0, menu, 2, 0, 0), kEventNotHandled);
    EXPECT_EQ(SendCommand(kCommandFromMenu, reinterpret_cast<void*>(intptr_t(-1)), 2, 0, 0),
              kEventNotHandled);
    int stranger = 0;
    EXPECT_EQ(SendCommand(kCommandFromMenu, &stranger, 2, 0, 0), kEventNotHandled);
    // A front window of another layer takes no command.
    g_front = &stranger;
    EXPECT_EQ(SendCommand(kCommandFromMenu, menu, 2, 0, 0), kEventNotHandled);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"choice 9101/2 512 10", "cursor",
                                                 "choice 9101/3 0 01", "cursor"}));
}

TEST_F(ShellAppCommands, ChangedModifiersReachTheFrontPort) {
    uint32_t modifiers = 0x1200;
    EventObject e = nullptr;
    EventObjectNew(kEventClassKeyboard, kKeyModifiersChangedKind, &e);
    EventParamSet(e, kParamModifiers, FourCC("magn"), sizeof modifiers, &modifiers);
    events_.push_back(e);
    EXPECT_EQ(ShellApplicationHandler(nullptr, e, nullptr), kEventNotHandled); // no front port
    LinkFrontPort();
    EXPECT_EQ(ShellApplicationHandler(nullptr, e, nullptr), 0);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"port 36 4608"}));
}

} // namespace
