// The design extent and the compaction report of objects outside the
// location range.
#include "db/dbextent.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <initializer_list>
#include <sstream>
#include <string>

#include "compfixture.h"
#include "db/conns.h"
#include "db/font.h"
#include "db/lang.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/texts.h"
#include "testutil.h"

namespace {

struct Pt {
    int32_t x, y;
};

class ExtentTest : public CompDbTest {
  protected:
    void SetUp() override {
        CompDbTest::SetUp();
        LangInit();
        FontLoad();
        thru = AddThru({{kPadSquare, 100, 100, 100, 100}});
        sym = AddSymbol("S", {{0, 0, int16_t(thru)}});
    }
    void TearDown() override {
        FontTestReset();
        CompDbTest::TearDown();
    }

    static int32_t AddObs(int32_t owner, std::initializer_list<Pt> pts, uint16_t flags = 0) {
        Obstacle r;
        DbRecInit(kRecObstacle, &r, 1);
        r.head.name = 0;
        r.head.kind = kObsAvoid;
        r.head.owner = int16_t(owner);
        r.head.flags = flags;
        for (const Pt& p : pts) {
            r.pt[r.head.count].x = p.x;
            r.pt[r.head.count].y = p.y;
            ++r.head.count;
        }
        const int32_t o = ObsAppend();
        ObsPut(o, &r);
        return o;
    }
    static int32_t AddText(int32_t owner, int32_t x, int32_t y, uint8_t flags = 0,
                           const char* s = "AB") {
        BoardText t;
        DbRecInit(kRecBoardText, &t, 1);
        t.name = 0;
        t.owner = int16_t(owner);
        t.x = x;
        t.y = y;
        t.flags = flags;
        std::strcpy(t.text, s);
        const int32_t n = TextAdd();
        TextPut(n, &t);
        return n;
    }
    // Where component c shows its text t.
    static BoardText Placed(int32_t t, int32_t c) {
        BoardText out = *TextRef(t);
        const Component* comp = CompRef(c);
        TextPlace(&out, comp->x, comp->y, comp->angle);
        return out;
    }
    static void EmptyExtent() {
        DbHeader& h = DbHdr();
        h.extMinX = h.extMinY = INT_MAX;
        h.extMaxX = h.extMaxY = -INT_MAX;
    }

    int32_t thru = 0, sym = 0;
};

TEST_F(ExtentTest, UnionOfComponentsObstaclesAndTexts) {
    const int32_t u1 = AddComp("U1", sym, 1000, 2000);
    const int32_t u2 = AddComp("U2", sym, 5000, 1000, 5400);
    // The symbol's obstacle counts wherever a component places it: turned
    // by U2 it reaches down to y = -2,000.
    AddObs(sym, {{-3000, -50}, {400, -50}, {400, 60}});
    // U1's own obstacles: one far up counts, one left out does not.
    AddObs(-u1, {{0, 10000}, {10, 10000}});
    AddObs(-u1, {{0, 90000}, {10, 90000}}, kObsNoExtent);
    // Board obstacles: one counts, one is left out.
    const int32_t board = AddObs(0, {{-3000, 0}, {-2900, 0}});
    AddObs(0, {{-99999, -99999}, {-99990, -99999}}, kObsNoExtent);
    // Free texts: one counts, one is left out, one without strokes counts as
    // its point.
    const int32_t right = AddText(0, 20000, 0);
    AddText(0, 800000, 0, kTextFlagNoExtent);
    AddText(0, 1000, -1500, 0, "   ");
    // Component texts count, their flag 0x40 notwithstanding, where the
    // component places them; an empty one counts as its placed point.
    const int32_t compText = AddText(-u2, 0, 30000, kTextFlagNoExtent);
    AddText(-u1, 0, 0, 0, "   ");

    EmptyExtent();
    DbExtent();
    const DbHeader& h = DbHdr();
    EXPECT_EQ(h.extMinX, Placed(compText, u2).minX);
    EXPECT_LT(h.extMinX, ObsRef(board)->head.minX);
    EXPECT_EQ(h.extMinY, -2000);
    EXPECT_EQ(h.extMaxX, TextRef(right)->maxX);
    EXPECT_EQ(h.extMaxY, 12000);
}

TEST_F(ExtentTest, OnlyComponentsAndWithoutAValidDesignNothing) {
    AddComp("U1", sym, 1000, 2000);
    EmptyExtent();
    DbExtent();
    EXPECT_EQ(DbHdr().extMinX, 900);
    EXPECT_EQ(DbHdr().extMinY, 1900);
    EXPECT_EQ(DbHdr().extMaxX, 1100);
    EXPECT_EQ(DbHdr().extMaxY, 2100);

    // An empty design has the empty extent.
    DbFree();
    NewDesign();
    DbHdr().extMinX = 5;
    DbExtent();
    EXPECT_EQ(DbHdr().extMinX, INT_MAX);
    EXPECT_EQ(DbHdr().extMaxX, -INT_MAX);

    DbHdr().valid = 0;
    DbHdr().extMinX = 5;
    DbExtent();
    EXPECT_EQ(DbHdr().extMinX, 5);
    DbHdr().valid = 1;
}

TEST_F(ExtentTest, CompactZeroRecomputesTheExtent) {
    AddComp("U1", sym, 1000, 2000);
    EmptyExtent();
    EXPECT_EQ(DbCompact(0), 0);
    EXPECT_EQ(DbHdr().extMinX, 900);
    EXPECT_EQ(DbHdr().extMaxY, 2100);
}

TEST_F(ExtentTest, CompactOneCountsAndLogsWhatLiesOutsideTheRange) {
    TempAppFolder folder;
    const int32_t u1 = AddComp("U1", sym, 1000, 2000);
    AddComp("U2", sym, 50, 50);                      // its box starts at -50
    AddObs(0, {{1000, 1000}, {2000, 2000}});         // inside
    AddObs(0, {{-500, 10}, {20, 20}}, kObsNoExtent); // left out, but outside
    AddObs(sym, {{-100, 0}, {10, 0}});               // inside at U1, not at U2
    AddObs(-u1, {{0, 0}, {kDbLocationMax, 0}});      // beyond the top
    AddText(0, 1000, 1000);                          // inside
    AddText(-u1, -5000, 0);                          // outside where U1 puts it
    AddText(0, -800000, 0, 0, "   ");                // no strokes: its point is outside
    const int32_t net = NetAdd();
    Conn conn;
    std::memset(&conn, 0, sizeof conn);
    conn.head.net = int16_t(net);
    conn.head.count = 2;
    conn.crn[0] = {-100, 1000, 1, 0, 0, 0, 0};
    conn.crn[1] = {100, 1000, 1, 0, 0, 0, 0};
    ConnPut(ConnAdd(), &conn);
    conn.crn[0].x = 1000;
    conn.crn[1].x = 2000;
    ConnPut(ConnAdd(), &conn);

    // U2, the left-out obstacle, the symbol obstacle at U2, U1's own
    // obstacle, U1's text, the text without strokes and the first
    // connection.
    EXPECT_EQ(DbCompact(1), 7);
    std::istringstream log(folder.ReadFile("Pelvane.Log"));
    std::string line;
    int lines = 0;
    while (std::getline(log, line)) {
        ++lines;
        EXPECT_NE(line.find("Outside the location range: "), std::string::npos) << line;
    }
    EXPECT_EQ(lines, 7) << folder.ReadFile("Pelvane.Log");
    EXPECT_NE(folder.ReadFile("Pelvane.Log").find("Component U2 at [-50,-50] [150,150]"),
              std::string::npos);

    DbFree();
    EXPECT_EQ(DbCompact(1), 0);
}

} // namespace
