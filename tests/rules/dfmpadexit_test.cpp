// DFM pad exits: the allowed exit masks, the judgement of each pad kind,
// the turned exit, the corner-pass test with its pool, and free ends.
#include <gtest/gtest.h>

#include "db/pool.h"
#include "router/objtable.h"
#include "dfmfixture.h"

namespace {

// A row of four rectangular pads (taller than wide) along x, pitch 3,000.
const char kRowBody[] = "*SYMBOL 5 \"ROW4\" 1 \"1\" [0, 0] Thru=2 2 \"2\" [3000, 0] Thru=2"
                        " 3 \"3\" [6000, 0] Thru=2 4 \"4\" [9000, 0] Thru=2\r\n"
                        "*COMP R1 [30000, 30000] Symbol=5\r\n"
                        "*COMP U1 [15000, 45000] Symbol=1\r\n";

class DfmPadExitTest : public DfmTest {
  protected:
    void SetUp() override {
        DfmTest::SetUp();
        Open(kRowBody);
    }
    static bool PoolOfOwnerOpen() {
        for (int32_t p = 1; p <= 40; ++p)
            if (PoolOwner(p) == kErrDfmPadExitPool) return true;
        return false;
    }
    // A connection image from R1's pin 2 (33,000, 30,000) on layer 1.
    static Conn FromPin2(std::initializer_list<CrnSpec> rest) {
        Conn c = ConnOf(1, rest);
        c.head.fromComp = 1;
        c.head.fromPin = 2;
        return c;
    }
};

TEST_F(DfmPadExitTest, ExitMasks) {
    // Without the pin tables only the pad's proportions count.
    EXPECT_EQ(dfmExitDirs(1, 2, 1), 68);
    // A symbol of fewer than 4 pins allows every orthogonal exit.
    EXPECT_EQ(dfmExitDirs(2, 1, 1), 85);
    // With the pin rows (inside the corner pass's pool) the end pins of
    // the row may also leave along it: pin 1 to -x is good, pin 2 is not.
    for (int32_t pin : {1, 2}) {
        const int32_t x = 27000 + 3000 * pin;
        Conn c =
            ConnOf(1, {{x, 30000, 1}, {24000, 30000, 1}, {24000, 45000, 1}, {15000, 45000, 0}});
        c.head.fromComp = 1;
        c.head.fromPin = int16_t(pin);
        c.head.toComp = 2;
        c.head.toPin = 1;
        EXPECT_EQ(dfmRunCornerPass(0, &c), pin == 1 ? 0 : 1) << pin;
        EXPECT_FALSE(PoolOfOwnerOpen()); // closed after every pass, so it opens again
    }
}

TEST_F(DfmPadExitTest, KindsAndRotationsAreJudged) {
    struct Case {
        int32_t x, y; // corner 1 after the pin at (33,000, 30,000)
        int32_t bad;
    };
    const Case cases[] = {
        {33000, 36000, 0}, // +y: in the mask of a tall pad
        {33000, 24000, 0}, // -y
        {39000, 30000, 1}, // +x: not allowed for a middle pin
        {36000, 33000, 1}, // 45 degrees
    };
    for (const Case& t : cases) {
        Conn c = FromPin2({{33000, 30000, 1}, {t.x, t.y, 1}, {t.x, t.y + 10, 0}});
        EXPECT_EQ(dfmPadExitPass(0, 0, &c, 1, 0), t.bad) << t.x << "," << t.y;
    }
    // A corner on the pad is a bad exit in test mode.
    Conn onPad = FromPin2({{33000, 30000, 1}, {33000, 31000, 1}, {39000, 38000, 0}});
    EXPECT_EQ(dfmPadExitPass(0, 0, &onPad, 1, 0), 1);
    // A round pad takes any multiple of 45 degrees.
    Conn round = ConnOf(1, {{15000, 45000, 1}, {18000, 48000, 1}, {18000, 50000, 0}});
    round.head.fromComp = 2;
    round.head.fromPin = 1;
    EXPECT_EQ(dfmPadExitPass(0, 0, &round, 1, 0), 0);
    // A pad turned by 45 degrees is not judged.
    Component r = *CompRef(1);
    r.angle = 2700;
    {
        DbTrustedScope trusted;
        CompPut(1, &r);
    }
    Conn turned = FromPin2({{0, 0, 1}, {0, 0, 1}, {0, 0, 0}});
    PlacedPin pp;
    CompPinXY(1, 2, &pp);
    turned.crn[0].x = pp.x;
    turned.crn[0].y = pp.y;
    turned.crn[1].x = pp.x + 6000;
    turned.crn[1].y = pp.y + 1000;
    turned.crn[2].x = pp.x + 6000;
    turned.crn[2].y = pp.y + 5000;
    EXPECT_EQ(dfmPadExitPass(0, 0, &turned, 1, 0), 0);
}

TEST_F(DfmPadExitTest, FreeEndsCountAsBadWithoutReadingAPad) {
    Conn c = FromPin2({{33000, 30000, 1}, {33000, 36000, 0}});
    EXPECT_EQ(dfmRunCornerPass(0, &c), 1);
    c.head.fromComp = 0;
    c.head.toComp = 1;
    EXPECT_EQ(dfmRunCornerPass(0, &c), 1);
}

TEST_F(DfmPadExitTest, BadExitIsTurnedOntoTheNextSegment) {
    RecordTrials(0);
    // Pin 2 of R1 leaves at 45 degrees, then runs along -x above the pad.
    const int32_t n = Loaded(1, {{33000, 30000, 1}, {35000, 33000, 1}, {27000, 33000, 0}}, 1, 2);
    Catch();
    DfmFlags = kDfmPadExits;
    DFMCleanPadExits();
    EXPECT_FALSE(PoolOfOwnerOpen());
    const Conn c = Stored(n);
    ASSERT_GE(c.head.count, 3);
    EXPECT_EQ(int32_t(c.crn[1].x), 33000);
    EXPECT_EQ(int32_t(c.crn[1].y), 33000);
    EXPECT_TRUE(Traced("pBDFM-exitPadAtAngle: exitAng = 5400.000000, intersectAng = 5400.000000"));
    EXPECT_TRUE(Traced("DFM-exitPadAtAngle: lines isect at = 33000 33000"));
    EXPECT_EQ(dfmPadExitPass(0, 0, const_cast<Conn*>(&c), 1, 0), 0);
}

TEST_F(DfmPadExitTest, ExitTurnsOntoThePadOrAcuteAreRefused) {
    RecordTrials(0);
    // The corner on the pad is cut; the direct exit then runs at a slant,
    // the turned exit has no next segment, and the only allowed bend (up)
    // would turn acutely back to the route: nothing is offered to the
    // rule check and the copper stays.
    const int32_t n = Loaded(1, {{33000, 30000, 1}, {34000, 31000, 1}, {27000, 31000, 0}}, 1, 2);
    DFMCleanPadExits();
    EXPECT_TRUE(s_trials.empty());
    EXPECT_EQ(int32_t(Stored(n).head.count), 3);
    EXPECT_EQ(int32_t(Stored(n).crn[1].x), 34000);
    // Further out, the bend up is offered and kept: no new corner lies on
    // the pad and none turns acutely.
    const int32_t m = Loaded(1, {{33000, 30000, 1}, {40000, 34000, 1}, {40000, 40000, 0}}, 1, 2);
    DFMCleanPadExits();
    const Conn c = Stored(m);
    EXPECT_FALSE(s_trials.empty());
    for (int32_t i = 1; i < c.head.count - 1; ++i) {
        EXPECT_EQ(dfmPointInPad(1, 2, 1, c.crn[i].x, c.crn[i].y, 300), 0) << i;
        EXPECT_EQ(dfmAcuteAt(&c, i, i - 1, i + 1), 0) << i;
    }
    EXPECT_EQ(lineAngle(c.crn[0].x, c.crn[0].y, c.crn[1].x, c.crn[1].y), 5400);
}

} // namespace
