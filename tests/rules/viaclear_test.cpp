// Via clearing: a via that fits stays on the first try; a via beside a pad
// walks away and the journal depth is kept; a locked one fails in place
// and marks the via map; the search depth; the via type and abort checks;
// the five ways a given-up via leaves its gap.
#include <cmath>

#include "db/conns.h"
#include "db/sweeps.h"
#include "router/mzgrid.h"
#include "clearfixture.h"

namespace {

class ViaClearTest : public ClearTest {
  protected:
    // A vertical path of net 1 at x with a via of type 1 at (x, 15,000):
    // layer 1 above it, layer 2 below.
    Conn ViaPath(int32_t x, int32_t flags = 0) {
        if (!wall) {
            // a No-Shove route of net 2 on layer 1 at x = 29,100: 900 from a
            // via at x = 30,000 where via pad, spacing and half width need 1,200
            wall = StoreConn(2, {{29100, 9000, 1}, {29100, 21000, 0}}, 10, kConnNoShove);
            AddConn(wall);
            EXPECT_EQ(MapAll(), 1);
        }
        const int32_t n = Goal1({{x, 24000, 1}, {x, 15000, 2, 1, flags}, {x, 6000, 0}}, 1, 2);
        Conn c;
        ConnGet(n, &c);
        return c;
    }
    int32_t wall = 0;
    static int32_t ViaCorner(const Conn& c) {
        for (int32_t i = 0; i < c.head.count; ++i)
            if (c.crn[i].via) return i;
        return -1;
    }
};

TEST_F(ViaClearTest, AViaOnAFreeSiteIsPlacedOnTheFirstTryWithoutAMove) {
    Open();
    Conn c = ViaPath(36000);
    const Conn before = c;
    Catch();
    const int32_t depth = AltDepth(), scratch = ScratchDepth();
    EXPECT_EQ(ClearAllVias(&c), 1);
    EXPECT_TRUE(Traced("ClearAllVias crn1: cleared on 1st try"));
    EXPECT_TRUE(Traced("ClearAllVias crn 1: Shoving for via at"));
    EXPECT_TRUE(Traced("viaClear success"));
    ASSERT_EQ(c.head.count, before.head.count);
    for (int32_t i = 0; i < c.head.count; ++i) {
        EXPECT_EQ(int32_t(c.crn[i].x), int32_t(before.crn[i].x));
        EXPECT_EQ(int32_t(c.crn[i].y), int32_t(before.crn[i].y));
        EXPECT_EQ(int32_t(c.crn[i].via), int32_t(before.crn[i].via));
    }
    EXPECT_EQ(AltDepth(), depth);
    EXPECT_EQ(ScratchDepth(), scratch);
}

TEST_F(ViaClearTest, AViaBesideFixedCopperWalksAwayUntilItsPadClears) {
    Open();
    Conn c = ViaPath(30000);
    const int32_t depth = AltDepth();
    Catch();
    EXPECT_EQ(ClearAllVias(&c), 1);
    EXPECT_TRUE(Traced("cleared on 1st try"));
    const int32_t v = ViaCorner(c);
    ASSERT_GE(v, 0);
    // half a grid away from the wall: 1,650 from it
    EXPECT_EQ(int32_t(c.crn[v].x), 30750);
    EXPECT_EQ(int32_t(c.crn[v].y), 15000);
    EXPECT_EQ(int32_t(c.crn[v].via), 1);
    EXPECT_EQ(AltDepth(), depth);
}

TEST_F(ViaClearTest, ALockedViaFitsWhereItIsOrFailsAndMarksTheViaMap) {
    Open();
    for (int32_t lock : {kCrnLocked, kCrnLatched}) {
        Conn c = ViaPath(30000, lock);
        Catch();
        const int32_t depth = AltDepth();
        EXPECT_EQ(ClearAllVias(&c), 0);
        EXPECT_EQ(int32_t(g_shove.shoveFailed), 1);
        EXPECT_TRUE(Traced("ClearAllVias crn1: failed to clear ["));
        EXPECT_TRUE(Traced("viaClear failed"));
        EXPECT_EQ(ViaCorner(c), -1); // given up: no via left
        EXPECT_EQ(AltDepth(), depth);
        const int32_t mx = MzX(30000), my = MzY(15000);
        for (int32_t dx : {-2, 0, 2})
            for (int32_t dy : {-2, 0, 2})
                EXPECT_TRUE(ViaMapGet(mx + dx, my + dy, 1) & kViaTemp) << dx << "," << dy;
        EXPECT_FALSE(ViaMapGet(mx + 4, my, 1) & kViaTemp);
        ViaReset();
        s_traces.clear();
        g_shove.shoveFailed = 0;
    }
    // a locked via on a free site stays
    Conn free = ViaPath(36000, kCrnLocked);
    EXPECT_EQ(ClearAllVias(&free), 1);
    EXPECT_EQ(int32_t(free.crn[ViaCorner(free)].x), 36000);
}

TEST_F(ViaClearTest, TheSearchDepthFollowsThePadsTheViaGridAndFastPasses) {
    Open();
    ViaPath(30000);
    // (300 + 600) x 4 / 1,500 + 2
    EXPECT_EQ(viaPadSpan(1), 4);
    DbHdr().fourthGrid = 3000; // adds 3,000 - 1,500
    EXPECT_EQ(viaPadSpan(1), 8);
    Sweep s;
    SweepGet(&s);
    s.passFlags[0] |= 0x400;
    SweepPut(&s);
    UrReadHeaderAndSweep();
    EXPECT_EQ(viaPadSpan(1), 2);
    s.passFlags[0] &= ~0x400;
    SweepPut(&s);
    UrReadHeaderAndSweep();
    Goal()->forceFast = 1;
    EXPECT_EQ(viaPadSpan(1), 2);
    Goal()->forceFast = 0;
    // a wide oblong pad counts with its largest extent; the cap is 40
    SetViaPad(1, 1, kPadOblong, 30000, 500, 30000, 500);
    EXPECT_EQ(viaPadSpan(1), 40);
}

TEST_F(ViaClearTest, AViaTypeOutsideTheTableIsAnInternalError) {
    Open();
    Conn c = ViaPath(30000);
    c.crn[1].via = 7;
    EXPECT_FATAL(ClearAllVias(&c), kErrViaTypeRange);
}

TEST_F(ViaClearTest, EscapeEndsTheClearingWithFailureAndKeepsThePath) {
    Open();
    Conn c = ViaPath(30000);
    HeadlessAbortAfter(0);
    EXPECT_EQ(ClearAllVias(&c), 0);
    EXPECT_EQ(int32_t(g_shove.shoveFailed), 1);
    EXPECT_EQ(c.head.count, 3);
    EXPECT_EQ(int32_t(c.crn[1].via), 1);
}

TEST_F(ViaClearTest, AViaThatWouldTakeThePathPastTheCornerLimitFails) {
    Open();
    Conn c = ViaPath(30000); // beside the wall: it must walk
    Conn big = c;
    big.head.count = 0;
    for (int32_t i = 0; i < 996; ++i) {
        big.crn[big.head.count] = c.crn[0];
        big.crn[big.head.count++].y = 24000 + 1500 * (i % 2);
    }
    big.crn[big.head.count++] = c.crn[1];
    big.crn[big.head.count++] = c.crn[2];
    const int32_t depth = AltDepth();
    EXPECT_EQ(ClearAllVias(&big), 0);
    EXPECT_EQ(int32_t(g_shove.shoveFailed), 1);
    EXPECT_LE(big.head.count, kClearCornerLimit);
    EXPECT_EQ(AltDepth(), depth);
}

// stitchFailure: which corner of the rebuilt path loses its layer or via.
TEST_F(ViaClearTest, AGivenUpViaLeavesAGapByTheFirstRuleThatApplies) {
    Open();
    ViaPath(30000);
    const int32_t g4 = 4 * 1500;
    struct Case {
        const char* name;
        std::vector<CrnSpec> rebuilt;                 // corners before the via
        CrnSpec next;                                 // the path's corner after the via
        int32_t answer;                               // the corner the caller continues from
        std::vector<std::pair<int32_t, int32_t>> gap; // corners (x, y) whose segment has no layer
        bool nextLosesVia;
    };
    const CrnSpec site{30000, 30000, 2, 1};
    const std::vector<Case> cases = {
        {"previous near",
         {{30000 - 3000, 30000, 1, 1}},
         {45000, 45000, 0},
         0,
         {{27000, 30000}},
         false},
        {"next near", {{10000, 10000, 1}}, {30000, 30000 + 3000, 1, 1}, 1, {{30000, 30000}}, true},
        {"previous in line",
         {{30000, 10000, 1}},
         {45000, 45000, 0},
         2,
         {{30000, 30000 - g4}},
         false},
        {"next in line", {{10000, 10000, 1}}, {45000, 30000, 0}, 2, {{30000, 30000}}, false},
        {"no previous", {}, {45000, 45000, 0}, 0, {{30000, 30000}}, false},
    };
    for (const Case& k : cases) {
        Conn path{}, rebuilt{};
        path.head.count = 0;
        for (const CrnSpec& s : k.rebuilt) {
            Crn c{};
            c.x = s.x, c.y = s.y, c.layer = uint8_t(s.layer), c.via = uint8_t(s.via);
            rebuilt.crn[rebuilt.head.count++] = c;
        }
        for (const CrnSpec& s : {site, k.next}) {
            Crn c{};
            c.x = s.x, c.y = s.y, c.layer = uint8_t(s.layer), c.via = uint8_t(s.via);
            path.crn[path.head.count++] = c;
        }
        g_shove.shoveFailed = 0;
        EXPECT_EQ(stitchFailure(&path, 0, 1, &rebuilt), k.answer) << k.name;
        EXPECT_EQ(int32_t(g_shove.shoveFailed), 1);
        for (auto [x, y] : k.gap) {
            bool found = false;
            for (int32_t i = 0; i < rebuilt.head.count; ++i)
                if (rebuilt.crn[i].x == x && rebuilt.crn[i].y == y && rebuilt.crn[i].layer == 0)
                    found = true;
            EXPECT_TRUE(found) << k.name << " gap at " << x << "," << y;
        }
        for (int32_t i = 0; i < rebuilt.head.count; ++i)
            EXPECT_EQ(int32_t(rebuilt.crn[i].via), 0) << k.name << " corner " << i;
        EXPECT_EQ(int32_t(path.crn[1].via) == 0, k.nextLosesVia || k.next.via == 0) << k.name;
    }
}

TEST_F(ViaClearTest, AForbiddenSiteIsMarkedOnEveryMazeLayerExceptCodesThatStay) {
    Open();
    ViaPath(30000);
    const int32_t mx = MzX(30000), my = MzY(30000);
    ViaMapMarkRect(mx, my, mx, my, 1, kViaBlocked);
    MazeSet(mx, my, 2, kCellBlocked);
    Conn path{}, rebuilt{};
    path.head.count = 1;
    path.crn[0] = Crn{30000, 30000, 10, 2, 0, 1, 0};
    Catch();
    stitchFailure(&path, 0, 1, &rebuilt);
    EXPECT_EQ(MazeGet(mx, my, 1) & kCellCodeMask, kCellRuleMark);
    EXPECT_EQ(MazeGet(mx, my, 2) & kCellCodeMask, kCellBlocked);
}

} // namespace
