// The connection rule check: argument checks, the four modes on a segment
// too close to another net's segment (one unit inside the spacing and
// exactly at it), via spacing, same-net objects, pads, obstacle kinds, and
// the scratch stack and mode left as they were; copper in crowded map
// cells, and a neighbour list too long to hold.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "db/pool.h"
#include "rules/drcconn.h"
#include "rulefixture.h"

namespace {

// Nets 1 and 2 and U1, U2 of the two-pin footprint (round pads of radius
// 1,800): U1 at (15,000, 30,000), U2 at (39,000, 30,000).
class DrcConnTest : public RuleTest {
  protected:
    void SetUp() override {
        RuleTest::SetUp();
        OpenBoard("*COMP U1 [15000, 15000] Symbol=1\r\n*COMP U2 [39000, 15000] Symbol=1\r\n", 1);
        half = int32_t(10 * WidthUnit() / 2);
    }
    // Connection A of net 1 along y = 30,000 and B of net 2 parallel to it
    // at the gap (edge to edge), both mapped.
    void TwoLines(int32_t gap) {
        a = StoreConn(1, {{21000, 30000, 1}, {33000, 30000, 0}});
        b = StoreConn(2, {{21000, 30000 + 2 * half + gap, 1}, {33000, 30000 + 2 * half + gap, 0}});
        eA = AddConn(a);
        eB = AddConn(b);
        ASSERT_EQ(MapAll(), 1);
    }
    int32_t Check(int32_t entry, int32_t conn, int16_t mode) {
        DrcModeScope scope(mode);
        const Conn* c = ConnRef(conn);
        return DrcCheckConn(entry, c, 0, c->head.count - 1);
    }
    // Pads of U1's pin 1 (far from the lines) under nets 3.. entered into
    // the map cells around the lines: crowded cells of many nets.
    static void Crowd(int32_t count, int32_t nets) {
        for (int32_t k = 0; k < count; ++k)
            MapCellRect(AddPad(1, 1, 3 + k % nets), 10, 26, 18, 23, 1);
    }
    int32_t half = 0, a = 0, b = 0, eA = 0, eB = 0;
};

TEST_F(DrcConnTest, BadRangesAndModesAreInternalErrors) {
    TwoLines(5000);
    const Conn* c = ConnRef(a);
    EXPECT_FATAL(DrcCheckConn(eA, c, -1, 1), kErrDrcFirstCorner);
    EXPECT_FATAL(DrcCheckConn(eA, c, 1, 0), kErrDrcLastCorner);
    EXPECT_FATAL(DrcCheckConn(eA, c, 0, 2), kErrDrcLastCorner);
    {
        DrcModeScope scope(4);
        EXPECT_FATAL(DrcCheckConn(eA, c, 0, 1), kErrDrcMode);
    }
    EXPECT_EQ(DrcMode, kDrcFail);
}

TEST_F(DrcConnTest, RouteSpacingOneUnitInsideFailsAndExactlyAtPasses) {
    TwoLines(599);
    const int32_t depth = ScratchDepth();
    EXPECT_EQ(Check(eA, a, kDrcFail), 0);
    EXPECT_EQ(Markers().size(), 0u);
    EXPECT_EQ(Check(eA, a, kDrcRecord), 0);
    std::vector<ErrorMarker> m = Markers();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].type, kErrKindRouteSpacing);
    EXPECT_EQ(m[0].value[0], 599);
    EXPECT_EQ(m[0].value[1], 600);
    EXPECT_EQ(m[0].sub1, 0);
    // the closest point on the segment measured (B's, seen from A's)
    EXPECT_EQ(m[0].y, 30000 + 2 * half + 599);
    EXPECT_EQ(m[0].layer, 1);
    EXPECT_EQ(m[0].id1, a);
    EXPECT_EQ(m[0].id2, b);
    EXPECT_EQ(DrcErrorCount, 1);
    EXPECT_EQ(Check(eA, a, kDrcCount), 0);
    EXPECT_EQ(DrcErrorCount, 2);
    EXPECT_EQ(Markers().size(), 1u);
    EXPECT_EQ(Check(eA, a, kDrcMarkMaze), 0);
    EXPECT_EQ(Cell(27000, 30000, 1) & kCellCodeMask, kCellRuleMark);
    EXPECT_EQ(ScratchDepth(), depth);
    EXPECT_EQ(DrcMode, kDrcFail);
}

TEST_F(DrcConnTest, RouteSpacingExactlyAtTheSpacingPasses) {
    TwoLines(600);
    for (int16_t mode : {kDrcRecord, kDrcFail, kDrcMarkMaze, kDrcCount})
        EXPECT_EQ(Check(eA, a, mode), 1) << mode;
    EXPECT_EQ(DrcErrorCount, 0);
}

TEST_F(DrcConnTest, CrowdedCellsKeepTheCopperTheCheckMustSee) {
    TwoLines(599);
    Crowd(6, 6); // six nets more over every cell of both lines
    for (int16_t mode : {kDrcRecord, kDrcFail, kDrcMarkMaze, kDrcCount})
        EXPECT_EQ(Check(eA, a, mode), 0) << mode;
    EXPECT_EQ(Cell(27000, 30000, 1) & kCellCodeMask, kCellRuleMark);
}

TEST_F(DrcConnTest, ATruncatedNeighbourListBlocksInEveryMode) {
    TwoLines(5000);
    for (int16_t mode : {kDrcRecord, kDrcFail, kDrcMarkMaze, kDrcCount})
        EXPECT_EQ(Check(eA, a, mode), 1) << mode;
    Crowd(kObjListMax + 10, 50); // more neighbours than a list holds
    for (int16_t mode : {kDrcRecord, kDrcFail, kDrcMarkMaze, kDrcCount})
        EXPECT_EQ(Check(eA, a, mode), 0) << mode;
    EXPECT_EQ(Cell(27000, 30000, 1) & kCellCodeMask, kCellRuleMark); // mode 2 marks the range
    EXPECT_EQ(Markers().size(), 0u);
    std::ifstream in(m_folder / "Pelvane.Log", std::ios::binary);
    std::stringstream log;
    log << in.rdbuf();
    EXPECT_NE(log.str().find("Too many collisions: connection " + std::to_string(a)),
              std::string::npos)
        << log.str();
}

TEST_F(DrcConnTest, FullSpaceRecordsEveryViolationAndPasses) {
    TwoLines(100);
    const int32_t c =
        StoreConn(2, {{21000, 30000 - 2 * half - 100, 1}, {33000, 30000 - 2 * half - 100, 0}});
    AddConn(c);
    ASSERT_EQ(MapAll(), 1);
    MzFlags = kMzFullSpace;
    EXPECT_EQ(Check(eA, a, kDrcRecord), 1);
    EXPECT_EQ(Markers().size(), 2u);
    MzFlags = 0;
    EXPECT_EQ(Check(eA, a, kDrcRecord), 0);
}

TEST_F(DrcConnTest, ViaSpacingIsMeasuredFromThePad) {
    // B comes down on layer 2 to a via (pad radius 300 on both layers)
    // just above A's segment on layer 1: one unit inside, then exactly at
    // the spacing
    for (int32_t gap : {599, 600}) {
        ObjTableInit();
        while (MarkerCount() > 0)
            MarkerDelete(MarkerCount());
        const int32_t y = 30000 + half + 300 + gap;
        a = StoreConn(1, {{21000, 30000, 1}, {33000, 30000, 0}});
        b = StoreConn(2, {{27000, y + 6000, 2}, {27000, y, 0, 1}});
        eA = AddConn(a);
        eB = AddConn(b);
        ASSERT_EQ(MapAll(), 1);
        EXPECT_EQ(Check(eA, a, kDrcRecord), gap == 600 ? 1 : 0);
        std::vector<ErrorMarker> m = Markers();
        if (gap == 600) {
            EXPECT_EQ(m.size(), 0u);
            continue;
        }
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].type, kErrKindViaSpacing);
        EXPECT_EQ(m[0].x, 27000);
        EXPECT_EQ(m[0].y, y);
        EXPECT_EQ(m[0].value[0], 599);
        EXPECT_EQ(m[0].value[1], 600);
    }
}

TEST_F(DrcConnTest, SameNetCopperPassesUnlessTheNetTestsItself) {
    a = StoreConn(1, {{21000, 30000, 1}, {33000, 30000, 0}});
    b = StoreConn(1, {{21000, 30100, 1}, {33000, 30100, 0}});
    eA = AddConn(a);
    eB = AddConn(b);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(Check(eA, a, kDrcFail), 1);
    Net n;
    NetGet(1, &n);
    n.flags |= kNetNoShare;
    {
        DbTrustedScope trusted;
        NetPut(1, &n);
    }
    EXPECT_EQ(Check(eA, a, kDrcFail), 0);
    // with the option word 1 same-net connections are tested via to via only
    CheckOptions = kCheckSameNetViasOnly;
    EXPECT_EQ(Check(eA, a, kDrcFail), 1);
}

TEST_F(DrcConnTest, PadOfAnotherNetFailsTheOwnEndPadPasses) {
    const int32_t p1 = AddPad(2, 1, 2); // U2.1 at (39,000, 15,000), net 2
    (void)p1;
    // 1 unit inside the pad's clearance, and exactly at it
    const int32_t x = 39000 - 1800 - 600 - half;
    a = StoreConn(1, {{x + 1, 20000, 1}, {x + 1, 10000, 0}});
    b = StoreConn(1, {{x, 20000, 1}, {x, 10000, 0}});
    eA = AddConn(a);
    eB = AddConn(b);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(Check(eA, a, kDrcFail), 0);
    EXPECT_EQ(Check(eB, b, kDrcFail), 1);
    // a connection that ends on the pad passes it
    Conn c = *ConnRef(a);
    c.head.toComp = 2;
    c.head.toPin = 1;
    c.crn[1].x = 39000;
    c.crn[1].y = 15000;
    c.crn[0].x = 39000;
    DrcModeScope scope(kDrcFail);
    EXPECT_EQ(DrcCheckConn(eA, &c, 0, 1), 1);
}

} // namespace
