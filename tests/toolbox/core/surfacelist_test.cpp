#include "toolbox/core/surfacelist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pane_fixture.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/region.h"
#include "toolbox/core/scrollaction.h"
#include "toolbox/core/surfacescroll.h"

namespace {

TEST(SurfaceLayouts, FiveStepsForEachFlagCombination) {
    const Rect16 rect = {-1, -1, 100, 200};
    struct Case {
        uint32_t flags;
        Rect16 content, barV, barH;
    } cases[] = {
        {0, {0, 0, 100, 200}, {0, 184, 100, 200}, {84, 0, 100, 200}},
        {kSurfaceBarVertical, {0, 0, 100, 184}, {0, 184, 100, 200}, {84, 0, 100, 184}},
        {kSurfaceBarHorizontal, {0, 0, 84, 200}, {0, 184, 84, 200}, {84, 0, 100, 200}},
        {kSurfaceBarVertical | kSurfaceBarHorizontal,
         {0, 0, 84, 184},
         {0, 184, 84, 200},
         {84, 0, 100, 184}},
        {kSurfaceGrowBox, {0, 0, 100, 200}, {0, 184, 84, 200}, {84, 0, 100, 184}},
        {kSurfaceBarVertical | kSurfaceBarOverVertical,
         {0, 0, 100, 200},
         {0, 184, 100, 200},
         {84, 0, 100, 184}},
        {kSurfaceStripHorizontal, {0, 0, 84, 200}, {0, 184, 84, 200}, {84, 0, 100, 200}},
    };
    for (const Case& c : cases) {
        SurfaceLayout l = ComputeSurfaceLayout(&rect, c.flags, 16, 0, 0);
        EXPECT_EQ(RectText(l.content), RectText(c.content)) << c.flags;
        EXPECT_EQ(RectText(l.barV), RectText(c.barV)) << c.flags;
        EXPECT_EQ(RectText(l.barH), RectText(c.barH)) << c.flags;
    }
    const Rect16 bar47 = {0, 0, 47, 16}, bar48 = {0, 0, 48, 16};
    EXPECT_FALSE(BarLongEnoughToShow(&bar47, kBarVertical));
    EXPECT_TRUE(BarLongEnoughToShow(&bar48, kBarVertical));
}

class SurfaceLists : public PaneFixture {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        MakeRoot(116, 216);
    }
    SurfaceList* MakeList(uint32_t flags, int32_t height, int32_t width) {
        SurfaceList* list = NewSurfaceList(nullptr, flags, root_, 0, 0);
        EXPECT_NE(list, nullptr);
        list->contentHeight = height;
        list->contentWidth = width;
        HostCalls().clear();
        return list;
    }
};

TEST_F(SurfaceLists, NewListAddsGrowBoxMakesBarsAndClearsCapture) {
    SurfaceList* list = NewSurfaceList(
        nullptr, kSurfaceBarVertical | kSurfaceBarHorizontal | kSurfaceCaptureState, root_, 0, 0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->scrollStep, 16);
    EXPECT_TRUE(list->flags & kSurfaceGrowBox);
    EXPECT_FALSE(list->flags & kSurfaceCaptureState);
    EXPECT_EQ(root_->surfaceList, list);
    ASSERT_GE(HostCalls().size(), 4u);
    EXPECT_EQ(HostCalls()[0], "bar 0 0,200,100,216");
    EXPECT_EQ(HostCalls()[1], "show");
    EXPECT_EQ(HostCalls()[2], "bar 1 100,0,116,200");
    EXPECT_EQ(HostCalls()[3], "show");
    EXPECT_EQ(RectText(SurfaceAt(list, -1)->rect), "0,0,100,200");
    EXPECT_EQ(SurfaceAt(list, 2), nullptr);
}

TEST_F(SurfaceLists, SurfaceAtPointTriesMainThenOthers) {
    SurfaceList* list = MakeList(0, 1000, 1000);
    const Rect16 heading = {0, 0, 20, 216};
    ASSERT_NE(SetSurfaceRect(list, 0, &heading), nullptr);
    EXPECT_EQ(SurfaceAtPoint(list, {10, 10}), -1); // the main surface comes first
    SurfaceAt(list, -1)->rect.top = 20;
    EXPECT_EQ(SurfaceAtPoint(list, {10, 10}), 0);
    EXPECT_EQ(SurfaceAtPoint(list, {500, 10}), kNoSurface);
    EXPECT_EQ(SetSurfaceRect(list, 3, &heading), nullptr);
}

TEST_F(SurfaceLists, ScrollToClampsAndSetsBars) {
    SurfaceList* list = MakeList(kSurfaceBarVertical, 1000, 100);
    const Rect16 rows = {0, 0, 116, 20};
    SetSurfaceRect(list, 1, &rows);
    ScrollSurfacesTo(list, -50, 30, 0);
    EXPECT_EQ(list->originV, 0);
    EXPECT_EQ(list->originH, 30);
    EXPECT_EQ(SurfaceAt(list, -1)->positionH, 30);
    EXPECT_EQ(SurfaceAt(list, 1)->positionH, 0); // surface 1 follows only the vertical axis
    // Main surface 116 high (no horizontal bar): maximum 1000 - 116.
    EXPECT_EQ(HostCalls().back(), "values 0 884 0");
    ScrollSurfacesTo(list, 400, 30, 0);
    EXPECT_EQ(SurfaceAt(list, 1)->positionV, 400);
    // The changed area, grown by 2, cut to the pane's region.
    ASSERT_GE(HostCalls().size(), 2u);
    EXPECT_EQ(HostCalls()[HostCalls().size() - 2], "inval -1,-1,117,202");
    // A negative extent means unlimited.
    list->contentHeight = -1;
    EXPECT_EQ(SurfaceBarState(list, kBarVertical).maximum, kExtentUnlimited - 116);
}

TEST_F(SurfaceLists, RequestsStopAtTheMaximumAndUnchangedSendsNothing) {
    SurfaceList* list = MakeList(kSurfaceBarVertical, 300, 200);
    int32_t line, page;
    ScrollSteps(list, kBarVertical, &line, &page);
    EXPECT_EQ(line, 16);
    EXPECT_EQ(page, 100);
    ScrollRequest forward = {kScrollPageForward, kBarVertical, 0, {0, 0}};
    EXPECT_EQ(HandleScrollAction(list, &forward), 100);
    EXPECT_EQ(HandleScrollAction(list, &forward), 184); // maximum 300 - 116
    HostCalls().clear();
    EXPECT_EQ(HandleScrollAction(list, &forward), 184);
    EXPECT_TRUE(HostCalls().empty());
    EXPECT_TRUE(list->flags & kSurfaceScrolled);
    ScrollRequest set = {kScrollSetValue, kBarVertical, 184, {0, 0}};
    EXPECT_FALSE(ScrollActionAllowed(list, &set));
    set.value = 10;
    EXPECT_TRUE(ScrollActionAllowed(list, &set));
    EXPECT_EQ(HandleScrollAction(list, &set), 10);
    ScrollRequest horizontal = {kScrollLineBack, kBarHorizontal, 0, {0, 0}};
    EXPECT_FALSE(ScrollActionAllowed(list, &horizontal)); // no bar, no action flag
    list->flags |= kSurfaceActionsHorizontal;
    EXPECT_TRUE(ScrollActionAllowed(list, &horizontal));
    ScrollRequest point = {kScrollToPoint, kBarHorizontal, 0, {0, 0}};
    list->flags &= ~kSurfaceActionsHorizontal;
    EXPECT_TRUE(ScrollActionAllowed(list, &point));
}

TEST_F(SurfaceLists, WheelNotchScrollsItsAmountOrAPage) {
    SurfaceList* list = MakeList(kSurfaceBarVertical, 2000, 2000);
    EXPECT_EQ(SurfaceWheel(list, 0, -120), kScrollLineForward);
    EXPECT_EQ(list->originV, 120);
    EXPECT_EQ(list->scrollStep, 16);
    EXPECT_EQ(SurfaceWheel(list, kModifierShift, -120), kScrollLineForward);
    EXPECT_EQ(list->originH, 120);
    list->flags |= kSurfaceWheelPages;
    EXPECT_EQ(SurfaceWheel(list, 0, -60), kScrollPageForward);
    EXPECT_EQ(list->originV, 120 + 100);
    EXPECT_EQ(SurfaceWheel(list, 0, 59), kScrollLineBack);
    EXPECT_EQ(list->originV, 220 - 59);
}

} // namespace

namespace {

TEST_F(SurfaceLists, ClickDecisions) {
    EXPECT_EQ(SurfaceClickIgnoredBits(0), 0u);
    EXPECT_EQ(SurfaceClickIgnoredBits(1), 1u);
    EXPECT_EQ(SurfaceClickIgnoredBits(2), 2u);
    EXPECT_EQ(ScrollRequestOfPart(20), kScrollLineBack);
    EXPECT_EQ(ScrollRequestOfPart(23), kScrollPageForward);
    EXPECT_EQ(ScrollRequestOfPart(kPartThumb), 0);
    EXPECT_EQ(ThumbReleaseRequest(5, 5), 0);
    EXPECT_EQ(ThumbReleaseRequest(5, 9), kScrollSetValue);
    SurfaceList* list = MakeList(0, 100, 100);
    EXPECT_TRUE(ThumbTracksLive(list));
    list->flags |= kSurfaceThumbNotLive;
    EXPECT_FALSE(ThumbTracksLive(list));
    // The root pane never has the split box.
    root_->flags |= kPaneGrowBox;
    EXPECT_FALSE(PointInSplitBox(list, {110, 210}));
    const Rect16 at = {0, 0, 100, 100};
    PaneRecord* child = NewChildPane(root_, &at, kPaneGrowBox, nullptr);
    ASSERT_NE(child, nullptr);
    SurfaceList other{};
    other.pane = child;
    other.rect = child->windowRect; // -1, -1, 99, 99
    EXPECT_TRUE(PointInSplitBox(&other, {90, 90}));
    EXPECT_FALSE(PointInSplitBox(&other, {82, 90}));
    child->flags &= ~kPaneGrowBox;
    EXPECT_FALSE(PointInSplitBox(&other, {90, 90}));
}

} // namespace

namespace {

class SurfaceResize : public PaneFixture {};

TEST_F(SurfaceResize, AResizedListMovesItsBarsAndKeepsItsPositionWithinTheNewMaximum) {
    MakeRoot(200, 300);
    SurfaceList* list = NewSurfaceList(nullptr, kSurfaceBarVertical, root_, 0, 0);
    ASSERT_NE(list, nullptr);
    list->contentHeight = 400;
    ScrollSurfacesTo(list, 150, 0, 0);
    EXPECT_FALSE(ResizeSurfaceList(list, root_));
    HostCalls().clear();
    ResizePane(root_, 300, 300); // visible height grows: the maximum falls
    EXPECT_TRUE(ResizeSurfaceList(list, root_));
    const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
    int32_t visible = main->rect.bottom - main->rect.top;
    EXPECT_EQ(list->originV, std::min(150, 400 - visible));
    bool invalidated = false;
    for (const std::string& call : HostCalls())
        invalidated = invalidated || call.rfind("inval ", 0) == 0;
    EXPECT_TRUE(invalidated);
}

TEST_F(SurfaceResize, MoveSurfaceScrollMovesOneSurfaceAndTellsTheProcedure) {
    MakeRoot(200, 300);
    SurfaceList* list = NewSurfaceList(nullptr, 0, root_, 0, 0);
    Rect16 heading = {1, 1, 20, 300};
    ASSERT_NE(SetSurfaceRect(list, 0, &heading), nullptr);
    static int32_t told = 0;
    list->surfaceProc = [](SurfaceList*, int32_t index, int32_t, int32_t dh) {
        told = index * 1000 + dh;
        return 7;
    };
    EXPECT_EQ(MoveSurfaceScroll(list, 0, 25, 0), 7);
    EXPECT_EQ(SurfaceAt(list, 0)->positionH, 25);
    EXPECT_EQ(told, 25);
    EXPECT_EQ(MoveSurfaceScroll(list, 0, -100, 0), 7);
    EXPECT_EQ(SurfaceAt(list, 0)->positionH, 0);
    EXPECT_EQ(MoveSurfaceScroll(list, 2, 5, 5), -1);
}

} // namespace

namespace {

TEST_F(SurfaceResize, HelpTagsFollowTheMouseAndGoWithTheList) {
    static int moved = 0;
    static void* disposed = nullptr;
    HelpTagHooks hooks{[](SurfaceList*, const OsEventRecord*) { ++moved; },
                       [](void* tags) { disposed = tags; }};
    SetHelpTagHooks(&hooks);
    MakeRoot(200, 300);
    SurfaceList* list = NewSurfaceList(nullptr, 0, root_, 0, 0);
    OsEventRecord record{};
    record.what = kListMessageCursor;
    SurfaceListProc(list, kListMessageCursor, &record);
    EXPECT_EQ(moved, 1);
    int tags = 0;
    list->helpTags = &tags;
    DisposeSurfaceList(list);
    EXPECT_EQ(disposed, &tags);
    SetHelpTagHooks(nullptr);
}

} // namespace

namespace {

class SurfaceQueries : public PaneFixture {
  protected:
    void SetUp() override {
        PaneFixture::SetUp();
        MakeRoot(200, 300);
        list_ = NewSurfaceList(nullptr, 0, root_, 0, 0);
        ASSERT_NE(list_, nullptr);
    }
    SurfaceList* list_ = nullptr;
};

TEST_F(SurfaceQueries, MoveSurfaceOriginMovesTheRectangleAndAnswersTheProcedure) {
    const Rect16 heading = {0, 20, 20, 300};
    ASSERT_NE(SetSurfaceRect(list_, 0, &heading), nullptr);
    EXPECT_EQ(MoveSurfaceOrigin(list_, 0, 5, -10), 0); // no procedure
    EXPECT_EQ(RectText(SurfaceAt(list_, 0)->rect), "5,10,25,290");
    EXPECT_EQ(SurfaceAt(list_, 0)->positionH, 0); // the scroll position stays
    static std::string told;
    list_->surfaceProc = [](SurfaceList*, int32_t index, int32_t dv, int32_t dh) {
        told = std::to_string(index) + " " + std::to_string(dv) + " " + std::to_string(dh);
        return 9;
    };
    EXPECT_EQ(MoveSurfaceOrigin(list_, 0, -5, 10), 9);
    EXPECT_EQ(told, "0 -5 10");
    EXPECT_EQ(RectText(SurfaceAt(list_, 0)->rect), RectText(heading));
    EXPECT_EQ(MoveSurfaceOrigin(list_, 2, 1, 1), -1);
}

TEST_F(SurfaceQueries, CurrentIndexAndSurfaceRegions) {
    EXPECT_EQ(CurrentSurfaceIndex(list_), kMainSurfaceIndex);
    EXPECT_EQ(CurrentSurfaceIndex(nullptr), kMainSurfaceIndex);
    RegionRecord* region = NewRegion();
    ASSERT_NE(region, nullptr);
    SurfaceRegion(list_, kMainSurfaceIndex, region);
    Rect16 b;
    RegionBounds(region, &b);
    EXPECT_EQ(RectText(b), RectText(SurfaceAt(list_, kMainSurfaceIndex)->rect));
    SurfaceRegion(list_, 1, region); // no surface 1
    EXPECT_TRUE(IsRegionEmpty(region));
    SurfaceRegion(list_, 3, region);
    EXPECT_TRUE(IsRegionEmpty(region));
    DisposeRegion(region);
}

TEST_F(SurfaceQueries, ARectangleIsVisibleWhenItsPortPartMeetsTheStateClip) {
    SurfaceRecord* main = SurfaceAt(list_, kMainSurfaceIndex);
    main->positionV = 100; // scrolled: local (100, 0) shows at the surface's top
    Rect16 top = {100, 0, 110, 50};
    Rect16 above = {0, 0, 90, 50};                // scrolled out of the surface
    EXPECT_TRUE(SurfaceRectVisible(list_, &top)); // no state: wide open
    EXPECT_FALSE(SurfaceRectVisible(list_, &above));
    // A port whose state clips to the port's lower half, in the state's
    // coordinates (port ones plus the origin).
    PortRecord port{};
    DrawingState state{};
    state.origin = {main->positionV - main->rect.top, main->positionH - main->rect.left};
    state.clip = NewRegion();
    ASSERT_NE(state.clip, nullptr);
    Rect16 lower = {int16_t(100 + state.origin.v), int16_t(0 + state.origin.h),
                    int16_t(200 + state.origin.v), int16_t(300 + state.origin.h)};
    SetRegionToShortRect(state.clip, &lower);
    port.nativeWindow = &state;
    root_->port = &port;
    EXPECT_FALSE(SurfaceRectVisible(list_, &top));
    Rect16 further = {250, 0, 260, 50};
    EXPECT_TRUE(SurfaceRectVisible(list_, &further));
    DisposeSurfaceList(list_);
    root_->port = nullptr;
    DisposeRegion(state.clip);
}

} // namespace

namespace {

int32_t g_hostBarValue = 0;

TEST_F(SurfaceLists, ScrollingToAPointHoldsItWithinTheBarsAndMovesTheBits) {
    SurfaceList* list = MakeList(kSurfaceBarVertical, 300, 100); // vertical maximum 184
    ScrollRequest to = {kScrollToPoint, kBarVertical, 0, {500, 50}};
    EXPECT_EQ(HandleScrollAction(list, &to), 184);
    EXPECT_EQ(list->originV, 184);
    EXPECT_EQ(list->originH, 0); // the content is narrower than the surface
    EXPECT_EQ(list->barValues[kBarVertical], 184);
    EXPECT_TRUE(list->flags & kSurfaceScrolled); // by bits, not only invalidated
    ScrollSurfaceTo(list, -20, -20);
    EXPECT_EQ(list->originV, 0);
    // A bar that keeps its own value: the value read back is the position.
    PaneHost host = *RecordingPaneHost();
    host.barValue = [](void*) { return g_hostBarValue; };
    SetPaneHost(&host);
    g_hostBarValue = 40;
    ScrollSurfaceTo(list, 100, 0);
    EXPECT_EQ(list->originV, 40);
    g_hostBarValue = 7;
    EXPECT_EQ(ControlValueCache(list, kBarVertical), 7);
    EXPECT_EQ(list->barValues[kBarVertical], 7);
    list->barValues[kBarHorizontal] = 3; // no horizontal bar: the cache stays
    EXPECT_EQ(ControlValueCache(list, kBarHorizontal), 3);
    SetPaneHost(RecordingPaneHost());
}

} // namespace
