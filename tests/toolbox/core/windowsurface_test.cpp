#include "toolbox/core/windowsurface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pane_fixture.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/region.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/windowrects.h"
#include "toolbox/core/windowscale.h"

namespace {

class WindowSurfaces : public PaneFixture {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        MakeRoot(200, 300);
        list_ = NewSurfaceList(nullptr, 0, root_, 0, 0);
        ASSERT_NE(list_, nullptr);
        window_ = NewWindowObject(Pool(), kWindowTypeNative, kKindDocument, 0, root_);
        ASSERT_NE(window_, nullptr);
        window_->surfaceList = list_;
        HostCalls().clear();
    }
    void TearDown() override {
        FreeWindowObjectRecord(window_);
        PaneFixture::TearDown();
    }
    SurfaceList* list_ = nullptr;
    WindowObject* window_ = nullptr;
};

TEST_F(WindowSurfaces, SelectFallsBackToTheMainSurface) {
    EXPECT_EQ(SelectWindowSurface(window_, 2), -1);
    EXPECT_EQ(CurrentWindowSurface(window_), -1);
    const Rect16 heading = {0, 0, 20, 300};
    SetSurfaceRect(list_, 0, &heading);
    EXPECT_EQ(SelectWindowSurface(window_, 0), 0);
    EXPECT_EQ(list_->current, 0);
    EXPECT_EQ(SelectWindowSurface(window_, -5), -1);
}

TEST_F(WindowSurfaces, ContentRectGlobalIsTheSurfaceInFrameCoordinates) {
    static PaneHost host;
    host = *RecordingPaneHost();
    host.portGlobal = [](PortRecord*, Point32 p) { return Point32{p.v + 100, p.h + 32760}; };
    SetPaneHost(&host);
    const Rect16 heading = {0, 40, 20, 300};
    SetSurfaceRect(list_, 0, &heading);
    SelectWindowSurface(window_, 0);
    Rect16 r;
    WindowContentRectGlobal(window_, &r, false);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.left, 32767); // clamped
    EXPECT_EQ(r.bottom, 120);
    // With the flag a document answers its main surface.
    const SurfaceRecord* main = SurfaceAt(list_, kMainSurfaceIndex);
    WindowContentRectGlobal(window_, &r, true);
    EXPECT_EQ(r.top, main->rect.top + 100);
    EXPECT_EQ(r.bottom, main->rect.bottom + 100);
    SetPaneHost(RecordingPaneHost());
}

TEST_F(WindowSurfaces, InvalidateAreas) {
    const Rect16 empty = {10, 10, 10, 50};
    InvalidateWindowArea(window_, &empty, 1);
    EXPECT_TRUE(HostCalls().empty());
    InvalidateWindowArea(window_, nullptr, 1); // the whole port, cut to the pane
    ASSERT_EQ(HostCalls().size(), 1u);
    EXPECT_EQ(HostCalls()[0], "inval 0,0,201,301");
    // Content coordinates: moved by the scroll position, cut to the surface.
    ScrollSurfacesTo(list_, 0, 0, 0);
    SurfaceAt(list_, -1)->positionV = 100;
    const Rect16 area = {90, 10, 150, 400};
    InvalidateWindowArea(window_, &area, 0);
    ASSERT_EQ(HostCalls().size(), 2u);
    EXPECT_EQ(HostCalls()[1], "valid 0,10,50,300");
    // A scaled port scales the area first.
    SurfaceAt(list_, -1)->positionV = 0;
    SetWindowScaleFactors(window_, 0x2000000, 0x2000000);
    const Rect16 small = {10, 10, 20, 20};
    InvalidateWindowArea(window_, &small, 1);
    EXPECT_EQ(HostCalls().back(), "inval 20,20,40,40");
}

} // namespace

namespace {

TEST_F(WindowSurfaces, ScaleFromSurfaceAndPercents) {
    // Main surface 0, 0, 200, 300 (no bars); logical size never set: 1.0.
    double h, v;
    WindowScaleFactors(window_, &h, &v);
    EXPECT_DOUBLE_EQ(h, 1.0);
    EXPECT_DOUBLE_EQ(v, 1.0);
    const Rect16 heading = {0, 0, 20, 300};
    SetSurfaceRect(list_, 0, &heading);
    SelectWindowSurface(window_, 0);
    window_->height = 400;
    window_->width = 500;
    EXPECT_TRUE(SetWindowScale(window_, 0, 0)); // fit: the smaller ratio, 200 / 400
    EXPECT_EQ(CurrentWindowSurface(window_), -1);
    EXPECT_EQ(window_->horizontalScale, 0x800000);
    EXPECT_EQ(window_->verticalScale, 0x800000);
    EXPECT_TRUE(SetWindowScalePercent(window_, 200, 50));
    EXPECT_EQ(window_->horizontalScale, 0x2000000);
    EXPECT_EQ(window_->verticalScale, 0x800000);
    EXPECT_EQ(window_->percentHorizontal, 200);
    EXPECT_EQ(window_->percentVertical, 50);
    EXPECT_FALSE(SetWindowScalePercent(window_, 200, 50));
    window_->type = kWindowTypePrint;
    WindowScaleFactors(window_, &h, &v);
    EXPECT_DOUBLE_EQ(v, 1.0);
    window_->type = kWindowTypeNative;
}

} // namespace
