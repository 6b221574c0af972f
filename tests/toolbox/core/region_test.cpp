#include "toolbox/core/region.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/regionbands.h"

// Comparison and printing of rectangles for the checks (found by lookup on
// Rect32, so at global scope; local to this file).
static bool operator==(const Rect32& a, const Rect32& b) {
    return EqualRect32(&a, &b);
}
[[maybe_unused]] static void PrintTo(const Rect32& r, std::ostream* os) {
    *os << "(" << r.top << "," << r.left << "," << r.bottom << "," << r.right << ")";
}

namespace {

class Regions : public ::testing::Test {
  protected:
    void SetUp() override { MemInit(0, -1); }
    void TearDown() override {
        for (RegionRecord* r : made_)
            DisposeRegion(r);
    }
    RegionRecord* Make(std::vector<Rect32> rects = {}) {
        RegionRecord* r = NewRegion();
        EXPECT_NE(r, nullptr);
        made_.push_back(r);
        EXPECT_TRUE(SetRegionToUnion(r, rects.data(), int32_t(rects.size())));
        return r;
    }
    static std::vector<Rect32> Rects(const RegionRecord* r) {
        return std::vector<Rect32>(r->rects, r->rects + r->count);
    }
    std::vector<RegionRecord*> made_;
};

TEST_F(Regions, NewRegionIsEmpty) {
    RegionRecord* r = Make();
    EXPECT_TRUE(IsRegionEmpty(r));
    EXPECT_TRUE(RegionIsSimple(r));
    Rect16 b{1, 1, 1, 1};
    EXPECT_EQ(RegionBounds(r, &b), kRegionEmpty);
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.bottom, 0);
    EXPECT_EQ(b.right, 0);
}

TEST_F(Regions, SettingToRectangles) {
    RegionRecord* r = Make();
    Rect32 huge{-0x7FFFFFFF, -5, 0x40000000, 7};
    SetRegionToRect(r, &huge);
    EXPECT_EQ(r->complexity, kRegionSimple);
    EXPECT_EQ(r->bounds, (Rect32{-kRegionCoordLimit, -5, kRegionCoordLimit, 7}));
    Rect32 inverted{10, 10, 5, 20};
    SetRegionToRect(r, &inverted);
    EXPECT_TRUE(IsRegionEmpty(r));
    SetRegionToBounds(r, 1, 2, 3, 4); // left, top, right, bottom
    EXPECT_EQ(r->bounds, (Rect32{2, 1, 4, 3}));
    Rect16 shortRect{5, 6, 7, 8};
    RegionRecord* s = NewRectRegion(&shortRect);
    made_.push_back(s);
    EXPECT_EQ(s->bounds, (Rect32{5, 6, 7, 8}));
    SetRegionEmpty(s);
    EXPECT_EQ(s->count, 0);
    EXPECT_EQ(s->bounds, (Rect32{0, 0, 0, 0}));
}

TEST_F(Regions, CanonicalBands) {
    // Two overlapping rectangles and a third that touches the first.
    RegionRecord* r = Make({{0, 0, 10, 10}, {5, 5, 15, 15}, {0, 10, 5, 12}});
    EXPECT_EQ(Rects(r), (std::vector<Rect32>{{0, 0, 5, 12}, {5, 0, 10, 15}, {10, 5, 15, 15}}));
    EXPECT_EQ(r->complexity, kRegionComplex);
    EXPECT_EQ(r->bounds, (Rect32{0, 0, 15, 15}));
    // Vertically adjacent bands with the same spans merge; the same area
    // built another way is equal.
    RegionRecord* a = Make({{0, 0, 5, 4}, {5, 0, 9, 4}, {0, 6, 9, 8}});
    RegionRecord* b = Make({{0, 6, 9, 8}, {0, 0, 9, 4}});
    EXPECT_EQ(a->count, 2);
    EXPECT_TRUE(RegionsEqual(a, b));
    RegionRecord* c = Make({{0, 0, 9, 4}});
    EXPECT_FALSE(RegionsEqual(a, c));
}

TEST_F(Regions, CombineModes) {
    RegionRecord* a = Make({{0, 0, 10, 10}});
    RegionRecord* b = Make({{5, 5, 15, 15}});
    RegionRecord* d = Make();
    struct Case {
        int32_t mode, complexity;
        std::vector<Rect32> rects;
    } cases[] = {
        {kRegionAnd, kRegionSimple, {{5, 5, 10, 10}}},
        {kRegionOr, kRegionComplex, {{0, 0, 5, 10}, {5, 0, 10, 15}, {10, 5, 15, 15}}},
        {kRegionXor,
         kRegionComplex,
         {{0, 0, 5, 10}, {5, 0, 10, 5}, {5, 10, 10, 15}, {10, 5, 15, 15}}},
        {kRegionDiff, kRegionComplex, {{0, 0, 5, 10}, {5, 0, 10, 5}}},
        {kRegionCopy, kRegionSimple, {{0, 0, 10, 10}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CombineRegions(d, a, b, c.mode), c.complexity) << c.mode;
        EXPECT_EQ(Rects(d), c.rects) << c.mode;
    }
    EXPECT_EQ(CombineRegions(d, a, b, 6), kRegionError);
    // The destination may be an operand.
    EXPECT_EQ(CombineRegions(a, a, a, kRegionXor), kRegionEmpty);
    EXPECT_TRUE(IsRegionEmpty(a));
}

TEST_F(Regions, HalfOpenHitTests) {
    RegionRecord* r = Make({{10, 10, 20, 20}});
    EXPECT_TRUE(PointInRegion(Point16{10, 10}, r));
    EXPECT_TRUE(PointInRegion(Point16{19, 19}, r));
    EXPECT_FALSE(PointInRegion(Point16{20, 15}, r)); // bottom edge
    EXPECT_FALSE(PointInRegion(Point16{15, 20}, r)); // right edge
    Rect16 touching{20, 10, 30, 20}, overlapping{19, 19, 30, 30}, empty{12, 12, 12, 18};
    EXPECT_FALSE(RectTouchesRegion(&touching, r));
    EXPECT_TRUE(RectTouchesRegion(&overlapping, r));
    EXPECT_FALSE(RectTouchesRegion(&empty, r));
}

TEST_F(Regions, Offset) {
    RegionRecord* r = Make({{0, 0, 10, 10}, {10, 0, 20, 5}});
    OffsetRegion(r, 3, -2);
    EXPECT_EQ(Rects(r), (std::vector<Rect32>{{-2, 3, 8, 13}, {8, 3, 18, 8}}));
    // Pushed against the limit, the area is clamped and stays canonical.
    OffsetRegion(r, kRegionCoordLimit - 10, 0);
    constexpr int32_t L = kRegionCoordLimit;
    EXPECT_EQ(Rects(r), (std::vector<Rect32>{{-2, L - 7, 8, L}, {8, L - 7, 18, L - 2}}));
    OffsetRegion(r, 100, 0); // squashed to nothing
    EXPECT_TRUE(IsRegionEmpty(r));
}

TEST_F(Regions, InsetTakesEachBandByItself) {
    // An L: a wide band over a narrow one, and a thin sliver below it.
    RegionRecord* r = Make({{0, 0, 10, 30}, {10, 0, 30, 10}, {30, 0, 33, 40}});
    InsetRegion(r, 2, 2);
    EXPECT_EQ(Rects(r), (std::vector<Rect32>{{2, 2, 8, 28}, {12, 2, 28, 8}}));
    RegionRecord* grown = Make({{0, 0, 10, 10}});
    InsetRegion(grown, -1, -2);
    EXPECT_EQ(Rects(grown), (std::vector<Rect32>{{-2, -1, 12, 11}}));
}

TEST_F(Regions, MapSimpleAndComplex) {
    Rect32 source{0, 0, 100, 100}, dest{0, 0, 50, 200};
    RegionRecord* simple = Make({{10, 10, 20, 30}});
    MapRegion(simple, &source, &dest);
    EXPECT_EQ(Rects(simple), (std::vector<Rect32>{{5, 20, 10, 60}}));

    // A one-pixel staircase onto a destination half as wide.
    std::vector<Rect32> steps;
    for (int32_t y = 0; y < 10; ++y)
        steps.push_back({y, y, y + 1, y + 1});
    RegionRecord* stairs = Make(steps);
    Rect32 from{0, 0, 20, 20}, narrow{0, 0, 20, 10};
    MapRegion(stairs, &from, &narrow);
    ASSERT_GT(stairs->count, 0);
    for (const Rect32& rr : Rects(stairs))
        EXPECT_EQ(rr.right - rr.left, 1);
    // Zero heights grow downwards when the destination is lower.
    RegionRecord* rows = Make({{0, 0, 1, 4}, {1, 6, 2, 8}});
    Rect32 low{0, 0, 10, 20};
    MapRegion(rows, &from, &low);
    for (const Rect32& rr : Rects(rows))
        EXPECT_EQ(rr.bottom - rr.top, 1);
    Rect16 s16{0, 0, 100, 100}, d16{0, 0, 200, 200};
    RegionRecord* doubled = Make({{10, 10, 20, 30}});
    MapRegionShort(doubled, &s16, &d16);
    EXPECT_EQ(Rects(doubled), (std::vector<Rect32>{{20, 20, 40, 60}}));
}

TEST(RegionEngine, AgreesWithAPixelModel) {
    // Random rectangles on a small grid, every mode, compared pixel by pixel.
    uint32_t seed = 12345;
    auto next = [&](int32_t n) {
        seed = seed * 1103515245u + 12345u;
        return int32_t((seed >> 16) % uint32_t(n));
    };
    constexpr int32_t kSize = 24;
    for (int round = 0; round < 200; ++round) {
        std::vector<Rect32> ra, rb;
        for (int i = 0; i < 1 + next(5); ++i)
            ra.push_back({next(kSize), next(kSize), next(kSize), next(kSize)});
        for (int i = 0; i < 1 + next(5); ++i)
            rb.push_back({next(kSize), next(kSize), next(kSize), next(kSize)});
        RegionRects a, b, out;
        RegionRectsFromRects(ra.data(), ra.size(), &a);
        RegionRectsFromRects(rb.data(), rb.size(), &b);
        auto inside = [](const std::vector<Rect32>& rs, int32_t y, int32_t x) {
            for (const Rect32& r : rs)
                if (y >= r.top && y < r.bottom && x >= r.left && x < r.right) return true;
            return false;
        };
        for (int32_t mode = kRegionAnd; mode <= kRegionCopy; ++mode) {
            RegionRectsCombine(a, b, mode, &out);
            for (int32_t y = 0; y < kSize; ++y)
                for (int32_t x = 0; x < kSize; ++x) {
                    bool pa = inside(ra, y, x), pb = inside(rb, y, x);
                    bool want = mode == kRegionAnd    ? pa && pb
                                : mode == kRegionOr   ? pa || pb
                                : mode == kRegionXor  ? pa != pb
                                : mode == kRegionDiff ? pa && !pb
                                                      : pa;
                    ASSERT_EQ(inside(out, y, x), want) << round << " " << mode;
                }
            // Canonical: spans of a band sorted, disjoint and apart; no empties.
            for (size_t i = 0; i < out.size(); ++i) {
                ASSERT_FALSE(Rect32IsEmpty(&out[i]));
                if (i && out[i].top == out[i - 1].top) {
                    ASSERT_LT(out[i - 1].right, out[i].left);
                }
            }
        }
    }
}

} // namespace
