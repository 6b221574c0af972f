// Database scaling and the range check that ends DbValidate.
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "compfixture.h"
#include "db/layers.h"
#include "db/sweeps.h"
#include "testutil.h"

namespace {

// A stand-in obstacle table for the walk through the generic record access.
std::vector<Obstacle> g_obstacles;

class ScaleTest : public CompDbTest {
  protected:
    void SetUp() override {
        CompDbTest::SetUp();
        m_obsOps = DbModuleGet(kRecObstacle);
        g_obstacles.clear();
    }
    void TearDown() override {
        DbTableSetCount(kRecObstacle, nullptr);
        DbRegisterModule(kRecObstacle, m_obsOps);
        g_obstacles.clear();
        CompDbTest::TearDown();
    }

    static void InstallObstacles() {
        DbModuleOps ops;
        ops.get = [](int32_t n, void* out) {
            std::memcpy(out, &g_obstacles[size_t(n - 1)], sizeof(Obstacle));
        };
        ops.put = [](int32_t n, const void* rec) {
            std::memcpy(&g_obstacles[size_t(n - 1)], rec, sizeof(Obstacle));
        };
        DbRegisterModule(kRecObstacle, ops);
        DbTableSetCount(kRecObstacle, [] { return int32_t(g_obstacles.size()); });
    }
    static void AddObstacle(int16_t owner, int32_t x, int32_t y) {
        Obstacle o{};
        o.head.owner = owner;
        o.head.width = 100;
        o.head.count = 1;
        o.pt[0].x = x;
        o.pt[0].y = y;
        o.pt[0].width = 10;
        g_obstacles.push_back(o);
    }

    // A component stored as given: its box makes the design extent.
    static int32_t AddBoxComp(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        int32_t n = CompAdd();
        Component c = CompRecord("U", 0, x1, y1);
        c.minX = x1;
        c.minY = y1;
        c.maxX = x2;
        c.maxY = y2;
        DbTrustedScope trusted;
        CompPut(n, &c);
        return n;
    }
    static std::vector<std::string> ScaleTraces() {
        std::vector<std::string> out;
        for (const std::string& line : TraceCapture::lines)
            if (line.rfind("DbScale", 0) == 0) out.push_back(line);
        return out;
    }

    DbModuleOps m_obsOps;
};

TEST_F(ScaleTest, HeaderValuesScaleAndShift) {
    DbHeader h;
    DbGetHeader(&h);
    h.originX = 100;
    h.originY = 200;
    h.dispMinX = INT_MAX; // unset
    h.dispMaxX = 1000;
    h.width = 50;
    h.height = 40;
    h.centreX = 10;
    h.centreY = 20;
    DbPutHeader(&h);
    double unitSize = h.unitSize;
    TraceCapture traces;
    DbScale(2, 1, 7, 9);
    EXPECT_EQ(ScaleTraces(), std::vector<std::string>{"DbScale * 2 / 1 + [7,9]"});
    DbGetHeader(&h);
    EXPECT_DOUBLE_EQ(h.unitSize, unitSize / 2);
    EXPECT_EQ(h.userUnit, 120);
    EXPECT_EQ(h.connGrid, 60); // left as it is
    EXPECT_EQ(h.routeGrid, 3000);
    EXPECT_EQ(h.grid2X, 12000);
    EXPECT_EQ(h.dispUserUnit, 120);
    EXPECT_EQ(h.originX, 207);
    EXPECT_EQ(h.originY, 409);
    EXPECT_EQ(h.dispMinX, INT_MAX);
    EXPECT_EQ(h.dispMaxX, 2007);
    EXPECT_EQ(h.centreX, 27);
    EXPECT_EQ(h.centreY, 49);
    EXPECT_EQ(h.width, 100);
    EXPECT_EQ(h.height, 80);
    for (int32_t v : h.value212)
        EXPECT_EQ(v, INT_MAX);
    EXPECT_GT(h.extMinX, h.extMaxX); // emptied: no component to widen it
    EXPECT_NE(h.scale, 0.0);         // derived again on the store
}

TEST_F(ScaleTest, LibraryValuesScaleOnlyWhenTheFactorIsNotOne) {
    int32_t t = AddThru({{kPadRect, 10, 20, 30, 40, 5, -5}});
    int32_t s = AddSymbol("R", {{100, -200, int16_t(t)}, {300, 0, int16_t(t)}});
    int32_t c = AddComp("R1", s, 1000, 2000);

    DbScale(1, 1, 10, 20);
    EXPECT_EQ(LayerRef(1)->spacing[0], 600);
    EXPECT_EQ(ThruPadRef(t, 1)->shape[0].ext[2], 30);
    EXPECT_EQ(SymPinRef(s, 1)->x, 100);
    EXPECT_EQ(CompRef(c)->x, 1010);
    EXPECT_EQ(CompRef(c)->y, 2020);

    DbScale(3, 2, 0, 0);
    for (int32_t l = 0; l <= 2; ++l)
        EXPECT_EQ(LayerRef(l)->spacing[6], 900) << l;
    const PadShape& p = ThruPadRef(t, 2)->shape[0];
    EXPECT_EQ(int32_t(p.x), 7);
    EXPECT_EQ(int32_t(p.y), -7); // truncated toward zero
    EXPECT_EQ(int32_t(p.ext[0]), 15);
    EXPECT_EQ(int32_t(p.ext[3]), 60);
    EXPECT_EQ(SymPinRef(s, 1)->x, 150);
    EXPECT_EQ(SymPinRef(s, 1)->y, -300);
    EXPECT_EQ(SymPinRef(s, 2)->x, 450);
    EXPECT_EQ(CompRef(c)->x, 1515);
    EXPECT_EQ(CompRef(c)->y, 3030);
    // The box scaled with the component makes the new extent.
    EXPECT_EQ(DbHdr().extMinX, CompRef(c)->minX);
    EXPECT_EQ(DbHdr().extMaxY, CompRef(c)->maxY);
    EXPECT_EQ(CompRef(c)->minX, 1515 + 7 + 150 - 15);
}

TEST_F(ScaleTest, OwnedObstaclesAreScaledButNotShifted) {
    InstallObstacles();
    AddObstacle(0, 100, 200);  // on the board
    AddObstacle(3, 100, 200);  // a symbol's, in its frame
    AddObstacle(-2, 100, 200); // a component's
    DbScale(2, 1, 1000, 2000);
    EXPECT_EQ(int32_t(g_obstacles[0].pt[0].x), 1200);
    EXPECT_EQ(int32_t(g_obstacles[0].pt[0].y), 2400);
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(int32_t(g_obstacles[i].pt[0].x), 200) << i;
        EXPECT_EQ(int32_t(g_obstacles[i].pt[0].y), 400) << i;
    }
    for (const Obstacle& o : g_obstacles) {
        EXPECT_EQ(int32_t(o.head.width), 200);
        EXPECT_EQ(int32_t(o.pt[0].width), 20);
    }
}

std::vector<Net> g_nets;

TEST_F(ScaleTest, NetWidthsScaleOnlyWhenTheFactorIsNotOne) {
    DbModuleOps saved = DbModuleGet(kRecNet);
    DbModuleOps ops;
    ops.get = [](int32_t n, void* out) { std::memcpy(out, &g_nets[size_t(n - 1)], sizeof(Net)); };
    ops.put = [](int32_t n, const void* rec) {
        std::memcpy(&g_nets[size_t(n - 1)], rec, sizeof(Net));
    };
    DbRegisterModule(kRecNet, ops);
    Net net;
    DbRecInit(kRecNet, &net, 1);
    g_nets.assign(2, net);
    // Not walked before the table registers its count.
    DbScale(2, 1, 0, 0);
    EXPECT_EQ(int32_t(g_nets[0].width), 10);
    DbTableSetCount(kRecNet, [] { return int32_t(g_nets.size()); });
    DbScale(1, 1, 50, 50);
    EXPECT_EQ(int32_t(g_nets[1].width), 10);
    DbScale(3, 1, 50, 50);
    for (const Net& n : g_nets) {
        EXPECT_EQ(int32_t(n.minWidth), 30);
        EXPECT_EQ(int32_t(n.width), 30);
        EXPECT_EQ(int32_t(n.maxWidth), 30);
    }
    DbTableSetCount(kRecNet, nullptr);
    DbRegisterModule(kRecNet, saved);
    g_nets.clear();
    EXPECT_FATAL(DbTableSetCount(kRecComponent, nullptr), 5222053);
}

TEST_F(ScaleTest, RecordImagesOfTheOtherTables) {
    Conn conn{};
    conn.head.count = 2;
    conn.crn[0] = Crn{-10, 20, 3, 1, 0, 0, 0};
    conn.crn[1] = Crn{INT_MAX, 5, 4, 1, 0, 0, 0};
    EXPECT_TRUE(DbScaleImage(kRecConn, &conn, 2, 1, 100, 0));
    EXPECT_EQ(int32_t(conn.crn[0].x), 80);
    EXPECT_EQ(int32_t(conn.crn[0].y), 40);
    EXPECT_EQ(int32_t(conn.crn[0].width), 6);
    EXPECT_EQ(int32_t(conn.crn[1].x), INT_MAX); // unset stays unset

    BoardText free{}, owned{};
    free.x = owned.x = 10;
    free.width = owned.width = 600;
    free.height = owned.height = 4500;
    owned.owner = -1;
    DbScaleImage(kRecBoardText, &free, 2, 1, 5, 5);
    DbScaleImage(kRecBoardText, &owned, 2, 1, 5, 5);
    EXPECT_EQ(int32_t(free.x), 25);
    EXPECT_EQ(int32_t(owned.x), 20);
    EXPECT_EQ(int32_t(owned.width), 1200);
    EXPECT_EQ(int32_t(owned.height), 9000);

    Net net{};
    net.minWidth = 10;
    net.width = 20;
    net.maxWidth = 40000;
    EXPECT_FALSE(DbScaleImage(kRecNet, &net, 2, 1, 0, 0)); // 80,000 does not fit
    EXPECT_EQ(int32_t(net.width), 40);

    ErrorMarker m{};
    m.x = 1;
    m.y = 2;
    DbScaleImage(kRecErrorMarker, &m, 3, 1, 1, 1);
    EXPECT_EQ(int32_t(m.x), 4);
    EXPECT_EQ(int32_t(m.y), 7);
    EXPECT_FATAL(DbScaleImage(kRecComponent, &m, 1, 1, 0, 0), 5222054);
}

TEST_F(ScaleTest, FitsAnswersWithoutChangingAnything) {
    int32_t c = AddBoxComp(0, 0, 200000000, 10);
    EXPECT_TRUE(DbScaleFits(1, 1, 68435455, 0));
    EXPECT_FALSE(DbScaleFits(2, 1, 0, 0));
    EXPECT_FALSE(DbScaleFits(1, 1, 68435456, 0)); // past the coordinate limit
    EXPECT_EQ(CompRef(c)->maxX, 200000000);
    EXPECT_EQ(DbHdr().userUnit, 60);
}

TEST_F(ScaleTest, NeedsAValidDatabase) {
    DbFree();
    EXPECT_FATAL(DbScale(1, 1, 0, 0), 5222050);
}

// ---- the range check ----------------------------------------------------------

TEST_F(ScaleTest, DesignOnItsGridsAndInRangeIsLeftAlone) {
    int32_t c = AddBoxComp(0, 0, 327680, 327680);
    TraceCapture traces;
    DbValidate();
    EXPECT_TRUE(ScaleTraces().empty());
    EXPECT_EQ(CompRef(c)->maxX, 327680);
    EXPECT_EQ(DbHdr().extMaxX, 327680);
}

TEST_F(ScaleTest, EmptyExtentIsLeftAlone) {
    DbHdr().userUnit = 25;
    TraceCapture traces;
    DbValidate();
    EXPECT_TRUE(ScaleTraces().empty());
    EXPECT_EQ(DbHdr().userUnit, 25);
}

TEST_F(ScaleTest, NegativeMinimumShiftsTheOriginOntoEveryGrid) {
    // Routing grid 1,500, second pair 6,000, third pair 0 (the routing grid).
    int32_t c = AddBoxComp(-1000, 0, 5000, 3000);
    DbSetTrusted(true);
    TraceCapture traces;
    DbValidate();
    EXPECT_FALSE(DbIsTrusted());
    EXPECT_EQ(ScaleTraces(), std::vector<std::string>{"DbScale * 1 / 1 + [168000,6000]"});
    const DbHeader& h = DbHdr();
    EXPECT_EQ(h.originX, 168000);
    EXPECT_EQ(h.originY, 6000);
    for (int32_t g : {h.routeGrid, h.grid2X}) {
        EXPECT_EQ(h.originX % g, 0) << g;
        EXPECT_EQ(h.originY % g, 0) << g;
    }
    EXPECT_EQ(CompRef(c)->minX, 167000);
    EXPECT_EQ(h.extMinX, 167000);
    EXPECT_EQ(h.extMinY, 6000);
    traces.lines.clear();
    DbValidate();
    EXPECT_TRUE(ScaleTraces().empty());
}

TEST_F(ScaleTest, GridsWiderThanTheRangeNeverShiftBelowZero) {
    // Routing grid 2,570 and second pair 6,000: their common multiple,
    // 1,542,000, is wider than the range. The first check moves the design
    // up onto that multiple; the next finds it above the range, and the
    // step down onto the grid would end left of 0: it stays where it is.
    DbHdr().routeGrid = 2570;
    int32_t c = AddBoxComp(-30, -30, 30, 35);
    DebugSetFlags(0, 1);
    for (int32_t round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        DbValidate();
        const DbHeader& h = DbHdr();
        EXPECT_EQ(CompRef(c)->minX, 1541970);
        EXPECT_EQ(CompRef(c)->minY, 1541970);
        EXPECT_EQ(h.originX % 1542000, 0);
        EXPECT_EQ(h.originY % 1542000, 0);
    }
    DebugSetFlags(0, 0);
}

TEST_F(ScaleTest, UserUnitOfTwentyFiveScalesBySix) {
    DbHdr().userUnit = 25;
    DbHdr().dispUserUnit = 25;
    int32_t c = AddBoxComp(100, 100, 900, 900);
    TraceCapture traces;
    DbValidate();
    EXPECT_EQ(ScaleTraces(), std::vector<std::string>{"DbScale * 6 / 1 + [0,0]"});
    EXPECT_EQ(DbHdr().userUnit, 150);
    EXPECT_EQ(DbHdr().routeGrid, 9000);
    EXPECT_EQ(CompRef(c)->maxX, 5400);
}

TEST_F(ScaleTest, FactorsAndOffsetsByUnitsAndOrigin) {
    struct Case {
        const char* what;
        int32_t userUnit, routeGrid, originX;
        const char* trace;
    };
    const Case cases[] = {
        // odd and a multiple of 3: 2
        {"user unit 45", 45, 1500, 0, "DbScale * 2 / 1 + [0,0]"},
        // even, not a multiple of 3: 3, then odd times the odd grid: 6
        {"odd grid", 40, 1501, 0, "DbScale * 6 / 1 + [0,0]"},
        // only the origin lies off the grid: shifted back onto it (the
        // design's minimum stays at or above 0)
        {"origin off grid", 60, 1500, 700, "DbScale * 1 / 1 + [-700,0]"},
        // an origin off the grid with a factor of 3: the origin lands on the
        // scaled grids
        {"origin and factor", 20, 1500, 700, "DbScale * 3 / 1 + [-2100,0]"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        DbFree();
        DbHeaderReset();
        DbHdr().userUnit = k.userUnit;
        DbHdr().routeGrid = k.routeGrid;
        DbHdr().grid2X = DbHdr().grid2Y = 0;
        DbHdr().originX = k.originX;
        DbInit();
        AddBoxComp(6000, 6000, 9000, 9000);
        TraceCapture traces;
        DbValidate();
        EXPECT_EQ(ScaleTraces(), std::vector<std::string>{k.trace});
        EXPECT_EQ(DbHdr().originX % DbHdr().routeGrid, 0);
        traces.lines.clear();
        DbValidate();
        EXPECT_TRUE(ScaleTraces().empty());
    }
}

TEST_F(ScaleTest, TheLimitDependsOnTheUserUnit) {
    struct Case {
        int32_t userUnit, minX;
        const char* trace; // null: nothing changes
    };
    const Case cases[] = {
        {60, 327680, nullptr},
        {60, 400000, "DbScale * 1 / 1 + [-234000,0]"},
        {120, 400000, nullptr},
        {120, 83886080, nullptr},
        {120, 83886081, "DbScale * 1 / 1 + [-41940000,0]"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.minX);
        DbFree();
        DbHeaderReset();
        DbHdr().userUnit = k.userUnit;
        DbInit();
        AddBoxComp(k.minX, 0, k.minX + 1000, 1000);
        TraceCapture traces;
        DbValidate();
        if (k.trace)
            EXPECT_EQ(ScaleTraces(), std::vector<std::string>{k.trace});
        else
            EXPECT_TRUE(ScaleTraces().empty());
        EXPECT_EQ(DbHdr().originX % 6000, 0);
    }
}

TEST_F(ScaleTest, FactorThatOverflowsFallsBackToOne) {
    DbHdr().userUnit = 25;
    int32_t c = AddBoxComp(0, 0, 100000000, 1000);
    TraceCapture traces;
    DbValidate();
    EXPECT_EQ(ScaleTraces(), std::vector<std::string>{"DbScale * 1 / 1 + [0,0]"});
    EXPECT_EQ(CompRef(c)->maxX, 100000000);
    EXPECT_EQ(DbHdr().userUnit, 25);
}

TEST_F(ScaleTest, ShiftThatOverflowsLeavesTheDesign) {
    int32_t c = AddBoxComp(-1000, 0, 2147400000, 1000);
    TraceCapture traces;
    DbValidate();
    EXPECT_TRUE(ScaleTraces().empty());
    EXPECT_EQ(CompRef(c)->minX, -1000);
    EXPECT_EQ(DbHdr().originX, 0);
}

TEST_F(ScaleTest, NegativeMinimumAfterScalingIsASoftCheck) {
    // The header's extent claims a minimum of 0, but a component lies left
    // of it: after doubling, the rebuilt extent starts below 0. The design
    // is scaled all the same; the strict flag shows the check.
    int32_t c = AddBoxComp(-500, 0, 100, 100);
    DbHdr().extMinX = 0;
    DbHdr().userUnit = 45;
    DbValidate();
    EXPECT_EQ(DbHdr().userUnit, 90);
    EXPECT_LT(CompRef(c)->minX, 0);
    DbFree();
    DbHeaderReset();
    DbInit();
    AddBoxComp(-500, 0, 100, 100);
    DbHdr().extMinX = 0;
    DbHdr().userUnit = 45;
    DebugSetFlags(0, 1);
    EXPECT_FATAL(DbValidate(), 5222051);
    DebugSetFlags(0, 0);
}

TEST_F(ScaleTest, RoutingGridOfZeroIsAnError) {
    AddBoxComp(0, 0, 100, 100);
    DbHdr().routeGrid = 0;
    EXPECT_FATAL(DbValidate(), 5222052);
}

TEST_F(ScaleTest, TheRangeCheckEndsValidation) {
    EXPECT_EQ(DbValidateStepGet(0), &DbRangeCheck);
}

} // namespace
