// Net and connection preparation: the argument checks of PrepConn, the
// layers a net may use, the via table prepared once per restricted net,
// two-corner connections whose end is on a forbidden layer, the object map
// around the gap, the net's other objects, and the closed sides of pads.
#include "db/dbheader.h"
#include "db/obstacles.h"
#include "router/costs.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/prep.h"
#include "router/urstate.h"
#include "prepfixture.h"

namespace {

// U1 CHIP (15,000, 30,000), pins at x 15,000 and 21,000 (top layer only);
// U2 DIP8 (39,000, 45,000); U3 DIP8 (3,000, 30,000), its pin 1 within 12
// cells of the maze edge; U4 SQ at 45 degrees (30,000, 9,000); U5 DIP8 at
// 90 degrees (27,000, 21,000).
const char kParts[] =
    "*COMP U1 [15000, 30000] Symbol=2\r\n*COMP U2 [39000, 45000] Symbol=3\r\n"
    "*COMP U3 [3000, 30000] Symbol=3\r\n*COMP U4 [30000, 9000] Symbol=4 ROT=45\r\n"
    "*COMP U5 [27000, 21000] Symbol=3 ROT=90\r\n";

class PrepConnTest : public PrepTest {
  protected:
    void SetUp() override {
        PrepTest::SetUp();
        OpenBoard(kParts, 2);
    }
    static void SetNet(int32_t n, int32_t level, int32_t flags) {
        Net r;
        NetGet(n, &r);
        r.netLevel = level;
        r.flags = uint16_t(flags);
        DbTrustedScope trusted;
        NetPut(n, &r);
    }
    // A stored connection of net 1 and its entry.
    // A stored connection with its ends, and its entry.
    int32_t AddConn(std::initializer_list<CrnSpec> corners, int32_t fromComp, int32_t fromPin,
                    int32_t toComp, int32_t toPin, int32_t net = 1) {
        const int32_t n = StoreConn(net, corners);
        Conn c;
        ConnGet(n, &c);
        c.head.fromComp = int16_t(fromComp);
        c.head.fromPin = int16_t(fromPin);
        c.head.toComp = int16_t(toComp);
        c.head.toPin = int16_t(toPin);
        {
            DbTrustedScope trusted;
            ConnPut(n, &c);
        }
        return MapTest::AddConn(n);
    }
    static void Aim(int32_t entry, int32_t first, int32_t last) {
        MzGoal& g = *Goal();
        g.objIndex = int16_t(entry);
        g.conn = ObjEntry(entry)->index;
        g.crn1Index = int16_t(first);
        g.crn2Index = int16_t(last);
    }
    static bool Holds(int32_t entry, int32_t x, int32_t y, int32_t layer) {
        ObjList l;
        MapCellObjects(x, y, layer, &l);
        for (int32_t i = 0; i < l.count; ++i)
            if (l.entry[i] == entry) return true;
        return false;
    }
    static int32_t Cell(int32_t mx, int32_t my, int32_t layer) { return MazeGet(mx, my, layer); }
    Conn work{};
};

TEST_F(PrepConnTest, ArgumentChecks) {
    const int32_t e = AddConn({{15000, 30000, 0}, {39000, 45000, 0}}, 1, 1, 2, 1);
    ASSERT_EQ(MapAll(), 1);
    Aim(2, 0, 1); // a pad entry
    EXPECT_FATAL(PrepConn(&work), 2164090);
    Aim(e, 0, 1);
    Goal()->conn = 0;
    EXPECT_FATAL(PrepConn(&work), 2164095);
    Aim(e, 0, 1);
    Goal()->crn1Index = -1;
    EXPECT_FATAL(PrepConn(&work), 2164022);
    LayerRec* layers = g_layerRecs;
    g_layerRecs = nullptr;
    EXPECT_FATAL(PrepConn(&work), 2164299);
    EXPECT_FATAL(PrepNet(1), 2164399);
    g_layerRecs = layers;
    MapForget();
    EXPECT_FATAL(PrepConn(&work), 2164298);
    EXPECT_FATAL(PrepNet(1), 2164398);
}

TEST_F(PrepConnTest, NetLayersAndTheRestrictedViaTable) {
    ASSERT_EQ(MapAll(), 1);
    SetNet(1, 0xFFFF, 0);
    PrepNet(1);
    EXPECT_EQ(Goal()->layerAllowed[1], 1);
    EXPECT_EQ(Goal()->layerAllowed[2], 1);
    SetNet(1, 2, 0);
    PrepNet(1);
    EXPECT_EQ(Goal()->layerAllowed[1], 0);
    EXPECT_EQ(Goal()->layerAllowed[2], 1);
    // A restricted net prepares the table for itself, once.
    ASSERT_EQ(g_viaUsableCount, 2);
    SetNet(2, 0xFFFF, 0x40);
    PrepNet(2);
    EXPECT_EQ(g_viaTableNet, 2);
    g_viaPair[1][2] = 77; // a second preparation would rewrite it
    PrepNet(2);
    EXPECT_EQ(g_viaPair[1][2], 77);
    PrepNet(1);
    EXPECT_EQ(g_viaTableNet, 0);
    EXPECT_NE(g_viaPair[1][2], 77);
}

TEST_F(PrepConnTest, EndsOnForbiddenLayers) {
    // U1.1 (top only) to U2.1; the net may use the bottom layer only.
    SetNet(1, 2, 0);
    const int32_t two = AddConn({{15000, 30000, 0}, {39000, 45000, 0}}, 1, 1, 2, 1);
    const int32_t three =
        AddConn({{15000, 30000, 0}, {27000, 30000, 0}, {39000, 45000, 0}}, 1, 1, 2, 1);
    ASSERT_EQ(MapAll(), 1);
    Aim(two, 0, 1);
    EXPECT_EQ(PrepConn(&work), 0);
    Aim(three, 0, 2);
    EXPECT_EQ(PrepConn(&work), 1);
    // A free node whose pin names via type 2 (pads on both layers) is
    // allowed; one whose padstack reaches the top only is not.
    const int32_t freeEnd = AddConn({{15000, 30000, 0}, {39000, 45000, 0}}, 0, 2, 2, 1);
    Aim(freeEnd, 0, 1);
    EXPECT_EQ(PrepConn(&work), 1);
    EXPECT_EQ(Goal()->srcLayer, -2);
    const int32_t smdEnd =
        AddConn({{15000, 30000, 0}, {39000, 45000, 0}}, 0, SymPinThru(2, 1), 2, 1);
    Aim(smdEnd, 0, 1);
    EXPECT_EQ(PrepConn(&work), 0);
    // Outside the window in partial mode.
    const int32_t away = AddConn({{90000, 30000, 0}, {95000, 30000, 0}}, 0, 0, 0, 0);
    Aim(away, 0, 1);
    Goal()->partialMode = 1;
    EXPECT_EQ(PrepConn(&work), 0);
    Goal()->partialMode = 0;
}

TEST_F(PrepConnTest, TheGapIsUnmappedAndTheRestMapped) {
    // Routed on the bottom layer throughout; the gap is corners 1..2.
    const int32_t e = AddConn(
        {{30000, 36000, 2}, {33000, 36000, 2}, {36000, 36000, 2}, {39000, 36000, 0}}, 0, 0, 0, 0);
    // Another connection of the net, unmapped before the preparation.
    const int32_t other = AddConn({{30000, 51000, 2}, {45000, 51000, 0}}, 0, 0, 0, 0);
    // And a copper obstacle of the net.
    const int32_t eo = AddObs(StoreObs(
        kObsCopper, 1, 1, {{45000, 54000}, {48000, 54000}, {48000, 57000}, {45000, 57000}}));
    ObjSetNet(eo, 1);
    ASSERT_EQ(MapAll(), 1);
    ConnMap(ConnRef(ObjEntry(other)->index), other, 0, 1000, 1);
    EXPECT_FALSE(Holds(other, 37500, 51000, 2));
    Obstacle obs;
    ObsPlaceOnComp(ObjEntry(eo)->index, 0, &obs);
    ObsMap(eo, &obs, 1);
    EXPECT_FALSE(Holds(eo, 46500, 55500, 1));
    Aim(e, 1, 2);
    ASSERT_EQ(PrepConn(&work), 1);
    EXPECT_EQ(work.head.count, 4);
    EXPECT_TRUE(Holds(e, 30000, 36000, 2));
    EXPECT_FALSE(Holds(e, 34500, 36000, 2));
    EXPECT_TRUE(Holds(e, 39000, 36000, 2));
    EXPECT_TRUE(Holds(other, 37500, 51000, 2));
    EXPECT_TRUE(Holds(eo, 46500, 55500, 1));
    // A NOSHARE net's other objects are left alone.
    ConnMap(ConnRef(ObjEntry(other)->index), other, 0, 1000, 1);
    SetNet(1, 0xFFFF, 0x08);
    ASSERT_EQ(PrepConn(&work), 1);
    EXPECT_FALSE(Holds(other, 37500, 51000, 2));
}

TEST_F(PrepConnTest, PadSidesClosedByTheExitMask) {
    ASSERT_EQ(MapAll(), 1);
    const auto rule = [](int32_t v) { return (v & kCellCodeMask) == kCellRuleMark; };
    // U2.1: oblong, taller (17): the east and west columns close.
    PrepPad(2, 1);
    const int32_t cx = MzX(39000), cy = MzY(45000);
    EXPECT_TRUE(rule(Cell(cx + 1, cy, 1)));
    EXPECT_TRUE(rule(Cell(cx - 1, cy, 2)));
    EXPECT_FALSE(rule(Cell(cx, cy + 1, 1)));
    EXPECT_FALSE(rule(Cell(cx, cy - 1, 1)));
    // U5.1: turned a quarter (68): the rows above and below close.
    PrepPad(5, 1);
    const int32_t ux = MzX(27000), uy = MzY(21000);
    EXPECT_TRUE(rule(Cell(ux, uy + 1, 1)));
    EXPECT_TRUE(rule(Cell(ux, uy - 1, 1)));
    EXPECT_FALSE(rule(Cell(ux + 1, uy, 1)));
    // Near the maze edge, a square pad turned by 45 degrees, component 0:
    // nothing is marked.
    auto before = [](int32_t x, int32_t y) { return Cell(x, y, 1); };
    const int32_t ex = MzX(3000), ey = MzY(30000);
    const int32_t e1 = before(ex + 1, ey), e2 = before(ex - 1, ey);
    PrepPad(3, 1);
    EXPECT_EQ(Cell(ex + 1, ey, 1), e1);
    EXPECT_EQ(Cell(ex - 1, ey, 1), e2);
    const int32_t sx = MzX(30000), sy = MzY(9000);
    const int32_t s1 = before(sx, sy + 1), s2 = before(sx + 1, sy);
    PrepPad(4, 1);
    EXPECT_EQ(Cell(sx, sy + 1, 1), s1);
    EXPECT_EQ(Cell(sx + 1, sy, 1), s2);
    PrepPad(0, 1);
}

} // namespace
