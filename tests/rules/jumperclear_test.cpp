// Jumper clearing: a skewed jumper between two vias is made straight on
// the jumper step, the direction bits of its layer decide, the length is
// brought to a listed one (shorter first, longer when no shorter one is
// listed), a failed jumper marks its box, and the checks of the parts.
#include <cstdlib>
#include <vector>

#include "db/attrs.h"
#include "db/conns.h"
#include "db/layers.h"
#include "router/mzgrid.h"
#include "rules/drcconn.h"
#include "clearfixture.h"

namespace {

class JumperTest : public ClearTest {
  protected:
    void SetUp() override {
        ClearTest::SetUp();
        Open();
        SetLayerFlags(kLayerJumperFlag);
    }
    static void SetLayerFlags(uint16_t flags) {
        Layer l;
        LayerGet(2, &l);
        l.flags = uint16_t((l.flags & ~0x0308) | flags);
        DbTrustedScope trusted;
        LayerPut(2, &l);
    }
    static void ListLength(int32_t length) {
        Attribute a{};
        a.kind = kAttrJumperLength;
        a.key1Type = kAttrKeyLayer;
        a.key1 = 2;
        a.key2 = int16_t(length);
        a.value1 = length;
        AttrPut(&a);
    }
    // A path of net 1 with a jumper on layer 2 between vias at (x1, 30,000)
    // and (x2, 30,000 + length).
    Conn JumperPath(int32_t x1, int32_t x2, int32_t length, int32_t flags = 0) {
        const int32_t n = Goal1({{24000, 30000, 1},
                                 {x1, 30000, 2, 1, flags},
                                 {x2, 30000 + length, 1, 1},
                                 {x2 + 3000, 30000 + length, 0}});
        Conn c;
        ConnGet(n, &c);
        return c;
    }
    static std::pair<Crn, Crn> Jumper(const Conn& c) {
        int32_t f = 0, l = 0;
        EXPECT_EQ(jumperFind(&c, 1, &f, &l), 1);
        return {c.crn[f], c.crn[l]};
    }
};

TEST_F(JumperTest, ASkewedJumperIsMadeStraightOnTheJumperStep) {
    Conn c = JumperPath(27000, 28500, 6000);
    Catch();
    const int32_t depth = AltDepth(), scratch = ScratchDepth();
    EXPECT_EQ(ClearAllJumpers(&c), 1);
    EXPECT_TRUE(Traced("clearOneJumper: jumper 1 between crns 1 and 2"));
    EXPECT_TRUE(Traced("clearOneJumper: PASS"));
    EXPECT_TRUE(Traced("jumperClear success"));
    auto [a, b] = Jumper(c);
    EXPECT_EQ(int32_t(a.x), 27750); // the step is half the routing grid without a via grid
    EXPECT_EQ(int32_t(b.x), 27750);
    EXPECT_EQ(int32_t(a.via), 1);
    EXPECT_EQ(int32_t(b.via), 1);
    EXPECT_EQ(int32_t(c.crn[0].x), 24000);
    EXPECT_EQ(int32_t(c.crn[c.head.count - 1].x), 31500);
    EXPECT_EQ(AltDepth(), depth);
    EXPECT_EQ(ScratchDepth(), scratch);
    // with a via grid the ends meet on it
    DbHdr().fourthGrid = 3000;
    c = JumperPath(27000, 28500, 6000);
    EXPECT_EQ(ClearAllJumpers(&c), 1);
    std::tie(a, b) = Jumper(c);
    EXPECT_EQ(int32_t(a.x) % 3000, 0);
    EXPECT_EQ(int32_t(a.x), int32_t(b.x));
}

TEST_F(JumperTest, WhenTheEndsCannotMeetOnOneXTheyMeetOnOneY) {
    // no via may stand on the column the ends would meet on
    for (int32_t y : {30000, 36000})
        ViaMapMarkRect(MzX(27750), MzY(y), MzX(27750), MzY(y), 1, kViaBlocked);
    Conn c = JumperPath(27000, 28500, 6000);
    Catch();
    EXPECT_EQ(ClearAllJumpers(&c), 1);
    EXPECT_TRUE(Traced("clearOneJumper: PASS"));
    auto [a, b] = Jumper(c);
    EXPECT_EQ(int32_t(a.y), int32_t(b.y));
    EXPECT_EQ(int32_t(a.y) % 750, 0);
    EXPECT_NE(int32_t(a.x), int32_t(b.x));
}

TEST_F(JumperTest, TheLayersDirectionBitsDecideEveryJumper) {
    struct Case {
        uint16_t bits;
        bool vertical; // the jumper's ends share x (else y)
        int32_t pass;
    };
    const std::vector<Case> cases = {
        {0, true, 1},      {0, false, 1},      {0x0300, true, 0}, {0x0300, false, 0},
        {0x0200, true, 0}, {0x0200, false, 1}, {0x0100, true, 1}, {0x0100, false, 0},
    };
    for (const Case& k : cases) {
        SetLayerFlags(uint16_t(kLayerJumperFlag | k.bits));
        Conn c = k.vertical ? JumperPath(27000, 27000, 6000) : JumperPath(27000, 33000, 0);
        EXPECT_EQ(jumperCheckDirections(&c), k.pass) << k.bits << " " << k.vertical;
    }
}

TEST_F(JumperTest, AVerticalJumperOnAnXOnlyLayerFailsAndMarksItsBox) {
    SetLayerFlags(kLayerJumperFlag | 0x0200);
    Conn c = JumperPath(27000, 27000, 6000);
    const Conn before = c;
    Catch();
    const int32_t depth = AltDepth();
    EXPECT_EQ(ClearAllJumpers(&c), 0);
    EXPECT_EQ(int32_t(g_shove.shoveFailed), 1);
    EXPECT_TRUE(Traced("clearOneJumper: FAIL"));
    EXPECT_TRUE(Traced("jumperClear failed"));
    EXPECT_EQ(AltDepth(), depth);
    ASSERT_EQ(c.head.count, before.head.count);
    for (int32_t i = 0; i < c.head.count; ++i)
        EXPECT_EQ(int32_t(c.crn[i].x), int32_t(before.crn[i].x));
    // the box widened by three cells, on the jumper's layer and its via type
    const int32_t x = MzX(27000), y0 = MzY(30000), y1 = MzY(36000);
    EXPECT_EQ(MazeGet(x + 3, y0 - 3, 2) & kCellCodeMask, kCellRuleMark);
    EXPECT_EQ(MazeGet(x - 3, y1 + 3, 2) & kCellCodeMask, kCellRuleMark);
    EXPECT_NE(MazeGet(x + 4, y0, 2) & kCellCodeMask, kCellRuleMark);
    EXPECT_NE(MazeGet(x, y0, 1) & kCellCodeMask, kCellRuleMark);
    EXPECT_TRUE(ViaMapGet(x + 2, y0, 1) & kViaTemp);
}

TEST_F(JumperTest, LockedJumpersAndJumpersNearTheEdgeAreSkipped) {
    SetLayerFlags(kLayerJumperFlag | 0x0200);
    Conn c = JumperPath(27000, 27000, 6000, kCrnLocked);
    EXPECT_EQ(ClearAllJumpers(&c), 1);
    const int32_t n =
        Goal1({{3000, 30000, 1}, {4500, 30000, 2, 1}, {4500, 36000, 1, 1}, {9000, 36000, 0}});
    ConnGet(n, &c);
    EXPECT_EQ(ClearAllJumpers(&c), 1); // cell 6 lies in the 12-cell border
}

TEST_F(JumperTest, TheLengthGoesToTheNearestListedOneShorterFirst) {
    struct Case {
        std::vector<int32_t> listed;
        int32_t length, expected;
    };
    const std::vector<Case> cases = {
        {{}, 6000, 6000},           // a layer without lengths accepts any
        {{6000, 3000}, 6000, 6000}, // already allowed: no move
        {{4500, 7500}, 6000, 4500}, // the longest not above
        {{7500, 9000}, 6000, 7500}, // none shorter: longer is tried
        {{1000, 6100}, 4500, 4500}, // no multiple of the step listed: success unchanged
    };
    for (const Case& k : cases) {
        AttrScanStart(kAttrJumperLength, kAttrKeyLayer, 2, 0);
        for (int32_t l : k.listed)
            ListLength(l);
        Conn c = JumperPath(27000, 27000, k.length);
        EXPECT_EQ(ClearAllJumpers(&c), 1) << k.expected;
        auto [a, b] = Jumper(c);
        EXPECT_EQ(std::abs(int32_t(b.y) - int32_t(a.y)), k.expected);
        EXPECT_EQ(int32_t(a.x), int32_t(b.x));
        for (int32_t l : k.listed) {
            Attribute at{};
            at.kind = kAttrJumperLength;
            at.key1Type = kAttrKeyLayer;
            at.key1 = 2;
            at.key2 = int16_t(l);
            AttrPut(&at); // absent again
        }
    }
}

TEST_F(JumperTest, EscapeEndsTheClearingWithFailure) {
    Conn c = JumperPath(27000, 28500, 6000);
    HeadlessAbortAfter(0);
    EXPECT_EQ(ClearAllJumpers(&c), 0);
    EXPECT_EQ(int32_t(g_shove.shoveFailed), 1);
}

TEST_F(JumperTest, AdjustLengthWantsOneSegment) {
    Conn c = JumperPath(27000, 27000, 6000);
    int32_t first = 1, last = 3;
    EXPECT_FATAL(adjustLength(&c, &first, &last, 0, 0), kErrJumperAdjustSegments);
}

} // namespace
