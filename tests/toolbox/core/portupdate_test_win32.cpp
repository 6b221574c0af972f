// Port update regions and immediate updates over real windows.
#include "toolbox/core/portupdate_win32.h"

#include <gtest/gtest.h>

#include "native_fixture_win32.h"

#include <vector>

#include "toolbox/core/eventloop.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/standardwindow.h"
#include "toolbox/core/windowclass.h"

namespace {

int g_draws = 0;
int32_t CountDraws(PortRecord*, OsEventRecord* record) {
    if (record->what == kOsWhatUpdate) ++g_draws;
    return 0;
}

class PortUpdates : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(PrepareNativeWindowTest());
        InstallEventLoopHandlers();
        Rect16 box{30, 30, 130, 230};
        ASSERT_EQ(CreateNativeWindowOfType(4, kOptionCloseBox, &box, &owned_), 0);
        ASSERT_EQ(CreateNativeWindowOfType(4, kOptionCloseBox, &box, &foreign_), 0);
        InstallStandardWindowHandler(&owned_->eventTarget);
        WindowObjectLink(&port_, owned_, 0, &CountDraws);
        g_draws = 0;
    }
    void TearDown() override {
        DisposePortRecord(&port_);
        DisposeNativeWindow(owned_);
        DisposeNativeWindow(foreign_);
        MessagePump();
        ResetEventLoopState();
        EventReceiverClearHandlers(ApplicationEventReceiver());
    }
    NativeWindowRecord* owned_ = nullptr;
    NativeWindowRecord* foreign_ = nullptr;
    PortRecord port_{};
};

TEST_F(PortUpdates, InvalidateValidateAndUpdateNow) {
    RegionRecord* region = NewRegion();
    Rect32 dirty{10, 10, 40, 60};
    InvalidatePortRect(&port_, &dirty);
    PortPendingUpdateLocal(&port_, region);
    EXPECT_FALSE(IsRegionEmpty(region));
    ValidatePort(&port_);
    PortPendingUpdateLocal(&port_, region);
    EXPECT_TRUE(IsRegionEmpty(region));
    UpdatePortNow(&port_);
    EXPECT_EQ(g_draws, 0); // nothing pending: nothing sent
    InvalidatePortRect(&port_, &dirty);
    UpdatePortNow(&port_);
    EXPECT_EQ(g_draws, 1);
    DisposeRegion(region);
}

TEST_F(PortUpdates, UpdateWindowsNowStopsAtAWindowWithoutPort) {
    Rect32 dirty{10, 10, 40, 60};
    // The foreign window comes first in z-order: nothing is drawn.
    SetWindowPos(NativeWindowOf(foreign_), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    InvalidateNativeRect(foreign_, &dirty);
    InvalidatePortRect(&port_, &dirty);
    UpdateWindowsNow();
    EXPECT_EQ(g_draws, 0);
    RegionRecord* region = NewRegion();
    GetNativeWindowRegion(foreign_, kRegionCodeUpdate, region);
    EXPECT_FALSE(IsRegionEmpty(region)); // left for the loop
    SetRegionEmpty(foreign_->pendingUpdate);
    UpdateWindowsNow();
    EXPECT_EQ(g_draws, 1);
    DisposeRegion(region);
}

TEST_F(PortUpdates, APendingUpdateIsPaintedWhenTheWindowMoves) {
    HWND window = NativeWindowOf(owned_);
    SelectNativeWindow(owned_);
    MessagePump();
    g_draws = 0;
    Rect32 dirty{10, 10, 40, 60};
    const UINT move = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    // Redrawing not allowed: the update stays pending.
    InvalidatePortRect(&port_, &dirty);
    SetWindowPos(window, nullptr, 40, 40, 0, 0, move | SWP_NOREDRAW);
    EXPECT_EQ(g_draws, 0);
    ValidateRect(window, nullptr);
    SetWindowPos(window, nullptr, 50, 50, 0, 0, move);
    EXPECT_EQ(g_draws, 1);
}

} // namespace
