#include "toolbox/core/shellapphandler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "heap_fixture.h"
#include "test_resources.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/menubar.h"
#include "toolbox/core/menucommands.h"
#include "toolbox/core/menurecord.h"

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
                            [] { Calls().push_back("mouse up"); },
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

} // namespace
