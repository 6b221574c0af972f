#include <gtest/gtest.h>

#include "toolbox/core/rect.h"

namespace {

TEST(NativeRects, ConvertBothWaysAndClamp) {
    NativeRect native{-5, 10, 70000, 20};
    Rect16 r;
    RectFromNativeRect(&native, &r);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.left, -5);
    EXPECT_EQ(r.bottom, 20);
    EXPECT_EQ(r.right, 32767);
    Rect32 wide;
    Rect32FromNativeRect(&native, &wide);
    EXPECT_EQ(wide.right, 70000);
    NativeRect back;
    NativeRectFromRect(&r, &back);
    EXPECT_EQ(back.left, -5);
    EXPECT_EQ(back.top, 10);
    NativePoint p{-40000, 7};
    Point16 q;
    PointFromNativePoint(&p, &q);
    EXPECT_EQ(q.h, -32768);
    EXPECT_EQ(q.v, 7);
    EXPECT_FALSE(RectIsEmpty(&r));
    Rect16 flat{5, 5, 5, 10};
    EXPECT_TRUE(RectIsEmpty(&flat));
    Rect16 inverted{5, 10, 8, 2};
    EXPECT_TRUE(RectIsEmpty(&inverted));
}

TEST(NativeRects, TheAliasesConvertAndTestEmptiness) {
    Rect16 r{10, -5, 20, 30};
    NativeRect n;
    RectToNativeRect(&r, &n);
    EXPECT_EQ(n.left, -5);
    EXPECT_EQ(n.top, 10);
    EXPECT_EQ(n.right, 30);
    EXPECT_EQ(n.bottom, 20);
    EXPECT_FALSE(IsNativeRectEmpty(&n));
    const NativeRect empty[] = {{5, 0, 5, 10}, {5, 0, 4, 10}, {0, 5, 10, 5}, {0, 5, 10, 4}};
    for (const NativeRect& e : empty)
        EXPECT_TRUE(IsNativeRectEmpty(&e)) << e.left << e.top;
}

} // namespace
