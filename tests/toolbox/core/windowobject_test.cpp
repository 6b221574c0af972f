#include "toolbox/core/windowobject.h"

#include <gtest/gtest.h>

#include "heap_fixture.h"
#include "toolbox/core/region.h"
#include "toolbox/core/windowscale.h"

namespace {

using WindowRecords = HeapTest;

TEST_F(WindowRecords, NewRecordDefaultsAndNeverReusedIds) {
    HeapPool* pool = Pool();
    int32_t before = WindowIdCount();
    WindowObject* a = NewWindowObject(pool, kWindowTypeNative, kKindDocument, 0, nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->currentSurface, -1);
    EXPECT_EQ(a->horizontalScale, 0x1000000);
    EXPECT_EQ(a->verticalScale, 0x1000000);
    EXPECT_EQ(a->percentHorizontal, 100);
    EXPECT_EQ(a->percentVertical, 100);
    EXPECT_EQ(a->scrollStep, 32);
    EXPECT_GE(a->sequence, 1);
    int32_t first = a->sequence;
    EXPECT_EQ(WindowObjectFromId(first), a);
    FreeWindowObjectRecord(a);
    EXPECT_EQ(WindowObjectFromId(first), nullptr);
    // A new record, likely at the same address, gets a new number.
    WindowObject* b = NewWindowObject(pool, kWindowTypeNative, kKindDocument, 0, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_GT(b->sequence, first);
    EXPECT_EQ(WindowObjectFromId(first), nullptr);
    EXPECT_EQ(WindowObjectFromId(b->sequence), b);
    EXPECT_EQ(WindowObjectFromId(0), nullptr);
    FreeWindowObjectRecord(b);
    EXPECT_EQ(WindowIdCount(), before);
}

TEST_F(WindowRecords, TheUserWordIsTheEventCallback) {
    WindowObject* w = NewWindowObject(Pool(), kWindowTypeNative, kKindDocument, 0, nullptr);
    ASSERT_NE(w, nullptr);
    WindowEventCallback first = [](WindowObject*, WindowEvent*) { return int32_t(1); };
    WindowEventCallback second = [](WindowObject*, WindowEvent*) { return int32_t(2); };
    EXPECT_EQ(ExchangeWindowUserWord(w, first), nullptr);
    EXPECT_EQ(ExchangeWindowEventCallback(w, second), first);
    EXPECT_EQ(ExchangeWindowUserWord(w, nullptr), second);
    FreeWindowObjectRecord(w);
}

TEST_F(WindowRecords, PropertyStackFindsNewestAndUnlinksOnlyIt) {
    WindowObject* w = NewWindowObject(Pool(), kWindowTypeNative, kKindDialog, 1, nullptr);
    ASSERT_NE(w, nullptr);
    const uint32_t tag = 0x6C697374; // 'list'
    WindowProperty* older = LinkWindowProperty(w, tag, 8);
    WindowProperty* other = LinkWindowProperty(w, tag + 1, 0);
    WindowProperty* newer = LinkWindowProperty(w, tag, 8);
    ASSERT_TRUE(older && other && newer);
    EXPECT_EQ(newer->owner, w);
    EXPECT_EQ(FindWindowProperty(w, tag), newer);
    EXPECT_EQ(UnlinkWindowProperty(w, tag), 0);
    EXPECT_EQ(FindWindowProperty(w, tag), older);
    EXPECT_EQ(FindWindowProperty(w, tag + 1), other);
    EXPECT_EQ(UnlinkWindowProperty(w, tag), 0);
    EXPECT_EQ(UnlinkWindowProperty(w, tag), -5604);
    FreeWindowObjectRecord(w); // frees the remaining property
}

TEST_F(WindowRecords, OwnerChainAndKindSelectors) {
    HeapPool* pool = Pool();
    WindowObject* top = NewWindowObject(pool, kWindowTypeNative, kKindDocument, 0, nullptr);
    WindowObject* pane = NewWindowObject(pool, kWindowTypeNative, kKindPane, 0, nullptr);
    WindowObject* inner = NewWindowObject(pool, kWindowTypeNative, kKindSplitPane, 0, nullptr);
    ASSERT_TRUE(top && pane && inner);
    pane->owner = top;
    inner->owner = pane;
    EXPECT_FALSE(IsOwnedWindow(top, nullptr));
    EXPECT_TRUE(IsOwnedWindow(inner, nullptr));
    EXPECT_TRUE(IsOwnedWindow(inner, top));
    EXPECT_FALSE(IsOwnedWindow(pane, inner));
    EXPECT_EQ(RootWindowObject(inner), top);
    EXPECT_TRUE(KindMatches(top, kKindsDocumentOrDialog));
    EXPECT_FALSE(KindMatches(pane, kKindsDocumentOrDialog));
    EXPECT_TRUE(KindMatches(pane, kKindsAny));
    EXPECT_TRUE(KindMatches(inner, kKindSplitPane));
    for (WindowObject* w : {inner, pane, top})
        FreeWindowObjectRecord(w);
}

TEST_F(WindowRecords, ScaleFactorsAndFlags) {
    WindowObject* w = NewWindowObject(Pool(), kWindowTypeNative, kKindDocument, 0, nullptr);
    ASSERT_NE(w, nullptr);
    int32_t h = 0, v = 0;
    // Ratio 0: both take the smaller fit ratio (surface 200 x 300 over 400 x 400).
    w->height = 400;
    w->width = 400;
    WindowScaleRatiosToFactors(w, 0, 2.0, 200, 300, &h, &v);
    EXPECT_EQ(h, 0x800000);
    EXPECT_EQ(v, 0x800000);
    // A logical size never set fits at 1.0 instead of dividing by zero.
    w->height = w->width = 0;
    WindowScaleRatiosToFactors(w, -1, -1, 200, 300, &h, &v);
    EXPECT_EQ(h, 0x1000000);
    EXPECT_EQ(ScaleFactorFromRatio(1e-9), 1);
    EXPECT_EQ(ScaleFactorFromRatio(1.5), 0x1800000);
    EXPECT_EQ(ScaleFactorFromRatio(1e12), INT32_MAX);

    EXPECT_FALSE(SetWindowScaleFactors(w, 0x1000000, 0x1000000));
    EXPECT_TRUE(SetWindowScaleFactors(w, 0x2800000, 0x400000)); // 2.5 and 0.25
    EXPECT_TRUE(w->flags & kWindowFlagScaled);
    EXPECT_EQ(w->wholeScaleHorizontal, 3);
    EXPECT_EQ(w->wholeScaleVertical, 1);
    EXPECT_FALSE(SetWindowScaleFactors(w, 0x2800000, 0x400000));
    EXPECT_TRUE(SetWindowScaleFactors(w, 0x1000000, 0x1000000));
    EXPECT_FALSE(w->flags & kWindowFlagScaled);

    double rh, rv;
    ScalePercentRatios(50, 200, &rh, &rv);
    EXPECT_DOUBLE_EQ(rh, 0.5);
    EXPECT_DOUBLE_EQ(rv, 2.0);
    ScalePercentRatios(50, 0, &rh, &rv);
    EXPECT_EQ(rh, 0);
    EXPECT_EQ(rv, 0);
    EXPECT_EQ(ScalePercentInDeviceUnits(0x800000), 50);
    EXPECT_EQ(ScalePercentInDeviceUnits(1), 1);
    FreeWindowObjectRecord(w);
}

TEST_F(WindowRecords, ScaleRectForPortOnlyScalesScaledNonEmpty) {
    WindowObject* w = NewWindowObject(Pool(), kWindowTypeNative, kKindDocument, 0, nullptr);
    ASSERT_NE(w, nullptr);
    Rect16 r = {10, 20, 30, 40};
    ScaleRectForPort(w, &r);
    EXPECT_EQ(r.right, 40);
    SetWindowScaleFactors(w, 0x2000000, 0x800000); // h 2.0, v 0.5
    ScaleRectForPort(w, &r);
    EXPECT_EQ(r.top, 5);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.bottom, 15);
    EXPECT_EQ(r.right, 80);
    Rect16 empty = {10, 20, 10, 40};
    ScaleRectForPort(w, &empty);
    EXPECT_EQ(empty.left, 20);
    FreeWindowObjectRecord(w);
}

TEST_F(WindowRecords, PortRegionToDeviceScalesACopyOrInPlace) {
    WindowObject* w = NewWindowObject(Pool(), kWindowTypeNative, kKindDocument, 0, nullptr);
    Rect16 r = {10, 20, 30, 40};
    RegionRecord* region = NewRectRegion(&r);
    RegionRecord* copy = PortRegionToDevice(w, region, false); // unscaled: an equal copy
    ASSERT_NE(copy, region);
    EXPECT_TRUE(RegionsEqual(copy, region));
    DisposeRegion(copy);
    SetWindowScaleFactors(w, 0x2000000, 0x800000); // h 2.0, v 0.5
    copy = PortRegionToDevice(w, region, false);
    Rect16 b;
    RegionBounds(copy, &b);
    EXPECT_EQ(b.top, 5);
    EXPECT_EQ(b.left, 40);
    EXPECT_EQ(b.bottom, 15);
    EXPECT_EQ(b.right, 80);
    RegionBounds(region, &b);
    EXPECT_EQ(b.left, 20); // the original is untouched
    EXPECT_EQ(PortRegionToDevice(w, region, true), region);
    RegionBounds(region, &b);
    EXPECT_EQ(b.left, 40);
    DisposeRegion(copy);
    DisposeRegion(region);
    FreeWindowObjectRecord(w);
}

TEST(WindowRects, CentreTruncatesTowardZeroAndMoveTopLeft) {
    struct Case {
        Rect16 rect, outer;
        uint8_t h, v;
        Rect16 want;
    } cases[] = {
        {{0, 0, 10, 10}, {0, 0, 21, 21}, 1, 1, {5, 5, 15, 15}},
        // outer narrower than the rectangle: (3 - 10) / 2 = -3, not -4
        {{0, 0, 10, 10}, {0, 0, 3, 3}, 1, 0, {0, -3, 10, 7}},
        {{2, 2, 4, 4}, {0, 0, 10, 10}, 0, 1, {4, 2, 6, 4}},
    };
    for (const Case& c : cases) {
        Rect16 r = c.rect;
        CentreRectInRect(&r, &c.outer, c.h, c.v);
        EXPECT_EQ(r.top, c.want.top);
        EXPECT_EQ(r.left, c.want.left);
        EXPECT_EQ(r.bottom, c.want.bottom);
        EXPECT_EQ(r.right, c.want.right);
    }
    Rect16 r = {1, 2, 11, 22};
    RectMoveTopLeft(&r, 100, 50);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.bottom, 60);
    EXPECT_EQ(r.right, 120);
}

} // namespace
