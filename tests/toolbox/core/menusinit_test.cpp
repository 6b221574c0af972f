#include "toolbox/core/menusinit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "heap_fixture.h"
#include "test_resources.h"
#include "toolbox/core/coreevents.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/menubar.h"
#include "toolbox/core/menucommands.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/shellapphandler.h"
#include "toolbox/core/startuprequest.h"

#ifdef PLV_POSIX
#include "headless/headless.h"
#endif

namespace {

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

class MenusInit : public HeapTest {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        Calls().clear();
        ToolboxStartProcs procs{};
        procs.makeFrame = [] { Calls().push_back("frame"); };
        procs.installMenuHook = [] { Calls().push_back("menu hook"); };
        procs.setStandardCursor = [] { Calls().push_back("arrow"); };
        procs.scrollBarWidth = [] {
            Calls().push_back("scroll bar");
            return int32_t(17);
        };
        procs.captureSettings = [](DrawingSettings* out) {
            out->fontNumber = 7;
            Calls().push_back("settings");
        };
        procs.fillPortProcs = [] { Calls().push_back("port procs"); };
        procs.loadCursors = [] {
            Calls().push_back("cursors " + std::to_string(OsEventQueueCount()));
        };
        SetToolboxStartProcs(&procs);
    }
    void TearDown() override {
        EventReceiverClearHandlers(ApplicationEventReceiver());
        EventReceiverClearHandlers(ApplicationLevelReceiver());
        SetToolboxStartProcs(nullptr);
        SetFrameCloseHook(nullptr);
        ResetCoreEventProcs();
        ResetShellAppState();
        if (ToolboxGlobalBlock().sharedRegion) DisposeRegion(ToolboxGlobalBlock().sharedRegion);
        ToolboxGlobalBlock() = ToolboxGlobals{};
        MenuBarReset();
        while (MenuRecordList())
            DisposeMenuRecord(MenuRecordList());
#ifdef PLV_POSIX
        HeadlessResourcesReset();
#endif
        HeapTest::TearDown();
    }
    static int32_t Send(EventReceiver* receiver, uint32_t eventClass, uint32_t kind) {
        EventObject e = nullptr;
        EventObjectNew(eventClass, kind, &e);
        int16_t request = 0;
        EventParamSet(e, kParamRequestKind, kCoreTypeShort, sizeof request, &request);
        int32_t result = SendEventToReceiver(e, receiver);
        EventObjectRelease(e);
        return result;
    }
};

TEST_F(MenusInit, TheStepsRunInOrderAndWireTheShellsHandlers) {
    InstallTestResources();
    OsEventEntry* posted = nullptr;
    PostOsEventRecord(kOsWhatKeyDown, 0, &posted);
    MenusInitialise(0);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"frame", "menu hook", "arrow", "scroll bar",
                                                 "settings", "port procs", "cursors 0"}));
    EXPECT_EQ(ToolboxGlobalBlock().scrollBarWidth, 17);
    EXPECT_EQ(ToolboxGlobalBlock().defaultSettings.fontNumber, 7);
    EXPECT_EQ(ToolboxGlobalBlock().cachedValues[0], kToolboxUnsetValue);
    EXPECT_EQ(ToolboxGlobalBlock().cachedValues[1], kToolboxUnsetValue);
    EXPECT_NE(ToolboxGlobalBlock().sharedRegion, nullptr);
    // Bar 256 is shown.
    ASSERT_EQ(MenuBarCount(), 1);
    EXPECT_EQ(MenuBarMenuAt(0)->menuId, 9101);
    EXPECT_EQ(CallFrameCloseHook(), 1);
    // The key handler takes requests; the application handler the
    // background switch.
    int opened = 0;
    static int* s_opened = &opened;
    InstallCoreEventProcs([] { ++*s_opened; }, nullptr, nullptr);
    EXPECT_EQ(Send(ApplicationEventReceiver(), kEventClassHighLevel, kHighLevelKind), 0);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(Send(ApplicationLevelReceiver(), kEventClassApplication, kApplicationSuspendKind), 0);
    EXPECT_TRUE(ShellInBackground());
    EXPECT_EQ(Send(ApplicationLevelReceiver(), kEventClassMenu, kMenuEventTrackingStarts), 0);
    EXPECT_EQ(ShellMenuTrackingCount(), 1);
}

TEST_F(MenusInit, FlagTwoKeepsTheFrameAndAProgramWithoutBar256HasAnEmptyBar) {
#ifdef PLV_POSIX
    HeadlessResourcesReset(); // the built-in resources alone: no bar 256
#endif
    MenusInitialise(kMenusKeepFrame);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"arrow", "scroll bar", "settings", "port procs",
                                                 "cursors 0"}));
#ifdef PLV_POSIX
    EXPECT_EQ(MenuBarCount(), 0);
#endif
}

} // namespace
