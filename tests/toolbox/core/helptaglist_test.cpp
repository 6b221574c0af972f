#include "toolbox/core/helptaglist.h"

#include <gtest/gtest.h>

#include "toolbox/core/surfacelist.h"

namespace {

struct FakeItem {
    Rect16 rect;
};

class HelpTagLists : public ::testing::Test {
  protected:
    void SetUp() override {
        SetHelpTagItemRectProc([](void* item, Rect16* out) {
            *out = static_cast<FakeItem*>(item)->rect;
            return true;
        });
    }
    void TearDown() override {
        DisposeHelpTagList(list_.helpTags);
        SetHelpTagItemRectProc(nullptr);
    }
    SurfaceList list_{};
};

TEST_F(HelpTagLists, OneTagPerItemAndTheListGoesWithTheLastTag) {
    FakeItem a{{0, 0, 10, 10}}, b{{0, 20, 10, 30}};
    EXPECT_EQ(HelpTagAdd(&list_, 0, kHelpTagKindItem, &a, nullptr, 0, "Route"), 0);
    EXPECT_EQ(HelpTagAdd(&list_, 0, kHelpTagKindItem, &b, nullptr, 0, "Place"), 1);
    EXPECT_EQ(HelpTagAdd(&list_, 0, kHelpTagKindItem, &a, nullptr, 0, "Other"), 0);
    HelpTagList* tags = HelpTagListOf(&list_);
    ASSERT_NE(tags, nullptr);
    EXPECT_EQ(HelpTagText(tags, 0), "Route");
    EXPECT_EQ(tags->showDelay, 0.5);
    EXPECT_EQ(tags->entries[0].surface, kHelpTagItemSurface);
    HelpTagRemove(&list_, &a);
    EXPECT_EQ(HelpTagListOf(&list_), tags);
    HelpTagRemove(&list_, &b);
    EXPECT_EQ(HelpTagListOf(&list_), nullptr);
    EXPECT_EQ(HelpTagAdd(&list_, 0, kHelpTagKindItem, &b, nullptr, 0, "Again"), 0);
    EXPECT_NE(HelpTagListOf(&list_), nullptr);
}

TEST_F(HelpTagLists, EntryAtPoint) {
    FakeItem item{{0, 0, 10, 10}};
    Rect16 r{20, 20, 30, 40};
    HelpTagAdd(&list_, 0, kHelpTagKindItem, &item, nullptr, 0, "Item");
    HelpTagAdd(&list_, 2, kHelpTagKindRect, nullptr, &r, 7, "Rect");
    const HelpTagList* tags = HelpTagListOf(&list_);
    EXPECT_EQ(HelpTagAtPoint(tags, kHelpTagAnySurface, Point16{5, 5}), 0);
    EXPECT_EQ(HelpTagAtPoint(tags, kHelpTagAnySurface, Point16{10, 5}), -1); // bottom edge out
    EXPECT_EQ(HelpTagAtPoint(tags, kHelpTagAnySurface, Point16{25, 39}), 1);
    EXPECT_EQ(HelpTagAtPoint(tags, 2, Point16{25, 25}), 1);
    EXPECT_EQ(HelpTagAtPoint(tags, 1, Point16{25, 25}), -1);
    EXPECT_EQ(HelpTagAtPoint(nullptr, kHelpTagAnySurface, Point16{5, 5}), -1);
}

TEST(HelpTagPopup, PlacementAndScreenMargin) {
    Rect16 screen{0, 0, 768, 1024};
    Rect16 target{100, 200, 120, 260};
    struct Case {
        int32_t placement;
        Point16 mouse;
        Rect16 expected;
    } cases[] = {
        // 50 wide text, ascent 11, descent 3: 56 x 16.
        {kHelpTagAtMouse, {300, 400}, {308, 414, 324, 470}},
        {kHelpTagBelowTarget, {300, 400}, {121, 200, 137, 256}},
        {kHelpTagRightOfTarget, {300, 400}, {100, 261, 116, 317}},
        {kHelpTagBaselineAtPoint, {300, 400}, {38, 48, 54, 104}}, // given (50, 50)
        // Near the right and bottom edges: moved inside by 2 pixels.
        {kHelpTagAtMouse, {760, 1000}, {750, 966, 766, 1022}},
    };
    for (const Case& c : cases) {
        Rect16 r =
            HelpTagPopupRect(c.placement, c.mouse, target, Point16{50, 50}, 50, 11, 3, screen);
        EXPECT_EQ(r.top, c.expected.top) << c.placement;
        EXPECT_EQ(r.left, c.expected.left) << c.placement;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.placement;
        EXPECT_EQ(r.right, c.expected.right) << c.placement;
    }
}

} // namespace
