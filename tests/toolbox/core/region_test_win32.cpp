// The region engine against GDI: the same random rectangles combined by
// every mode on both sides must give equal areas, bounds and complexity.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "toolbox/core/heap.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/regionnative_win32.h"

namespace {

struct Rng {
    uint32_t seed;
    int32_t Next(int32_t n) {
        seed = seed * 1103515245u + 12345u;
        return int32_t((seed >> 16) % uint32_t(n));
    }
};

// The union of random rectangles, as a record and as a GDI region.
void RandomArea(Rng* rng, RegionRecord* record, HRGN gdi) {
    std::vector<Rect32> rects;
    SetRectRgn(gdi, 0, 0, 0, 0);
    for (int i = 0, n = 1 + rng->Next(6); i < n; ++i) {
        Rect32 r{rng->Next(60) - 20, rng->Next(60) - 20, 0, 0};
        r.bottom = r.top + rng->Next(30);
        r.right = r.left + rng->Next(30);
        rects.push_back(r);
        HRGN piece = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        CombineRgn(gdi, gdi, piece, RGN_OR);
        DeleteObject(piece);
    }
    ASSERT_TRUE(SetRegionToUnion(record, rects.data(), int32_t(rects.size())));
}

TEST(RegionsUnderGdi, EveryModeBothWaysAgrees) {
    MemInit(0, -1);
    Rng rng{2024};
    RegionRecord* a = NewRegion();
    RegionRecord* b = NewRegion();
    RegionRecord* d = NewRegion();
    RegionRecord* back = NewRegion();
    HRGN ga = CreateRectRgn(0, 0, 0, 0), gb = CreateRectRgn(0, 0, 0, 0),
         gd = CreateRectRgn(0, 0, 0, 0);
    const int modes[] = {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY};
    for (int round = 0; round < 150; ++round) {
        RandomArea(&rng, a, ga);
        RandomArea(&rng, b, gb);
        for (int mode : modes) {
            for (int swap = 0; swap < 2; ++swap) {
                const RegionRecord* x = swap ? b : a;
                const RegionRecord* y = swap ? a : b;
                int gdiComplexity = CombineRgn(gd, swap ? gb : ga, swap ? ga : gb, mode);
                int32_t complexity = CombineRegions(d, x, y, mode);
                HRGN mine = RegionToNative(d);
                ASSERT_NE(mine, nullptr);
                EXPECT_EQ(RegionToNative(d), mine); // kept until the region changes
                ASSERT_TRUE(EqualRgn(mine, gd)) << round << " mode " << mode << " swap " << swap;
                RECT box;
                EXPECT_EQ(GetRgnBox(gd, &box), gdiComplexity);
                EXPECT_EQ(complexity, gdiComplexity) << round << " mode " << mode;
                if (complexity != kRegionEmpty) {
                    EXPECT_EQ(d->bounds.left, box.left);
                    EXPECT_EQ(d->bounds.top, box.top);
                    EXPECT_EQ(d->bounds.right, box.right);
                    EXPECT_EQ(d->bounds.bottom, box.bottom);
                }
                ASSERT_TRUE(RegionFromNative(back, gd));
                EXPECT_TRUE(RegionsEqual(back, d));
            }
        }
    }
    DeleteObject(ga);
    DeleteObject(gb);
    DeleteObject(gd);
    for (RegionRecord* r : {a, b, d, back})
        DisposeRegion(r);
}

} // namespace
