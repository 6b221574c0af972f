// The object map: allocation limits, the refill's edge, cell conversion,
// entering objects into crowded cells and their overflow lists, taking
// them out again, object lists and their truncation, pad and via shapes,
// connection corners and free-end vias, obstacle nets and fills with their maze shadow, and the
// via map's storage.
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "db/dbheader.h"
#include "headless/ascio.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "mapfixture.h"

namespace {

std::vector<std::string> g_lines;
void Collect(const char* text) {
    g_lines.emplace_back(text);
}

TEST_F(MapTest, AllocationLimits) {
    Open();
    g_mzGrid.ny = 1000;
    DbHdr().layerCount = 17; // 1,001 x 17 x 4 bytes of row pointers: refused
    EXPECT_EQ(MapAlloc(), 0);
    DbHdr().layerCount = 16;
    EXPECT_EQ(MapAlloc(), 1);
    DbHdr().layerCount = 2;
    g_mzGrid.ny = 4;
    g_mzGrid.nx = 10902; // a row of 65,412 bytes
    EXPECT_EQ(MapAlloc(), 0);
    g_mzGrid.nx = 40;
    g_mzGrid.ny = 40;
    ASSERT_EQ(MapAlloc(), 1);
    EXPECT_EQ(MapNx(), 40);
}

TEST_F(MapTest, RefillWritesTheEdgeAndLeavesAnInactiveMazeAlone) {
    Open();
    MazeBorder();
    MazeSet(40, 40, 1, kCellBlocked);
    g_router.mazeNeeded = 0;
    ASSERT_EQ(MapAll(), 1);
    g_router.mazeNeeded = 1;
    EXPECT_EQ(MazeGet(40, 40, 1), kCellBlocked); // not touched
    for (int32_t l = 1; l <= 2; ++l)
        for (int32_t r = 0; r <= 40; ++r)
            for (int32_t c = 0; c <= 40; ++c) {
                const int16_t* s = MapCell(c, r, l);
                bool edge = r == 0 || r == 40 || c == 0 || c == 40;
                EXPECT_EQ(s[0], edge ? 1 : 0) << c << "," << r;
                EXPECT_EQ(s[1], 0);
                EXPECT_EQ(s[2], 0);
            }
    ASSERT_EQ(MapAll(), 1); // an active maze is cleared with its border
    EXPECT_EQ(MazeGet(40, 40, 1), kCellFree);
}

TEST_F(MapTest, RefillTracesAndStopsOnAbort) {
    Open();
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    ASSERT_EQ(MapAll(), 1);
    g_verbose = 0;
    DebugSetTraceReceiver(nullptr);
    std::vector<std::string> want = {"MapAll: Starting",        "Mapping components",
                                     "Mapping via block areas", "Mapping connections",
                                     "Mapping obstacles",       "MapAll: Finished"};
    std::vector<std::string> got;
    for (const std::string& l : g_lines)
        if (l.rfind("Map", 0) == 0) got.push_back(l);
    EXPECT_EQ(got, want);
    HeadlessAbortAfter(0);
    EXPECT_EQ(MapAll(), 0);
}

TEST_F(MapTest, CellConversionAndQueriesAtTheEdge) {
    Open();
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(MapColLo(749), 0);
    EXPECT_EQ(MapColLo(750), 1);
    EXPECT_EQ(MapColHi(2250), 1);
    EXPECT_EQ(MapColHi(2251), 2);
    EXPECT_EQ(MapRowLo(-50000), 0);
    EXPECT_EQ(MapRowHi(900000), 40);
    ObjList list;
    MapCellObjects(30000, 30000, 1, &list);
    EXPECT_EQ(list.count, 0);
    MapCellObjects(0, 30000, 1, &list);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.entry[0], 1);
    MapCellObjects(-751, 30000, 1, &list); // outside the map
    EXPECT_EQ(list.count, 0);
    MapCellObjects(30000, 60750, 1, &list);
    EXPECT_EQ(list.count, 0);
    EXPECT_FATAL(MapCellObjects(0, 0, 3, &list), 2161023);
    // A box running off the map on any side brings in the edge.
    for (auto [x, y] : std::vector<std::pair<int32_t, int32_t>>{
             {-800, 30000}, {60800, 30000}, {30000, -800}, {30000, 60800}}) {
        list.count = 0;
        MapBoxObjects(x, y, x, y, 1, 0, &list);
        ASSERT_GE(list.count, 1);
        EXPECT_EQ(list.entry[0], 1);
    }
    list.count = 0;
    MapBoxObjects(29000, 29000, 31000, 31000, 1, 600, &list);
    EXPECT_EQ(list.count, 0);
}

// The objects a cell yields, in order.
std::vector<int16_t> CellList(int32_t x, int32_t y) {
    static ObjList list;
    MapCellObjects(x, y, 1, &list);
    return std::vector<int16_t>(list.entry, list.entry + list.count);
}

std::vector<int16_t> BoxList(int32_t x, int32_t y) {
    static ObjList list;
    ObjListClear(&list);
    MapBoxObjects(x, y, x, y, 1, 0, &list);
    return std::vector<int16_t>(list.entry, list.entry + list.count);
}

TEST_F(MapTest, CrowdedCellsKeepEveryObject) {
    Open();
    ASSERT_EQ(MapAll(), 1);
    // Forty objects of nets 0, 1, 2 and none (-1 is set below) over the
    // inner cell (20, 20) and the edge cell (0, 20).
    std::vector<int16_t> all;
    for (int32_t k = 0; k < 40; ++k)
        all.push_back(int16_t(AddPad(1 + k % 2, 1, k % 3)));
    ObjSetNet(all[5], -1); // an object of no net stays itself, never the edge
    for (int16_t e : all) {
        MapCellRect(e, 20, 20, 20, 20, 1);
        MapCellRect(e, 0, 0, 20, 20, 1);
    }
    for (int16_t e : all) // entering an object again changes nothing
        MapCellRect(e, 20, 20, 20, 20, 1);
    EXPECT_EQ(CellList(30000, 30000), all);
    EXPECT_EQ(BoxList(30000, 30000), all);
    std::vector<int16_t> edged{1};
    edged.insert(edged.end(), all.begin(), all.end());
    EXPECT_EQ(CellList(0, 30000), edged);
    EXPECT_TRUE(Holds(all[39], 0, 20, 1));
    // Neighbouring cells are untouched.
    EXPECT_TRUE(CellList(31500, 30000).empty());
    EXPECT_TRUE(CellList(1500, 30000).empty());
}

TEST_F(MapTest, RemovingFromAnOverflowedCell) {
    Open();
    ASSERT_EQ(MapAll(), 1);
    std::vector<int16_t> e;
    for (int32_t k = 0; k < 9; ++k)
        e.push_back(int16_t(AddPad(1, 1, 1 + k)));
    for (int16_t v : e)
        MapCellRect(v, 20, 20, 20, 20, 1);
    MazeSet(40, 40, 1, kCellOtherNet); // the cell's shadow in the maze
    // Taking objects out keeps the others, in their order.
    for (int32_t k : {0, 4, 8, 2, 6})
        MapCellRectRemove(e[k], 20, 20, 20, 20, 1);
    EXPECT_EQ(CellList(30000, 30000), (std::vector<int16_t>{e[1], e[3], e[5], e[7]}));
    MapCellRectRemove(e[3], 20, 20, 20, 20, 1); // three left: back into the slots
    const int16_t* s = MapCell(20, 20, 1);
    EXPECT_EQ(std::vector<int16_t>(s, s + 3), (std::vector<int16_t>{e[1], e[5], e[7]}));
    MapCellRect(e[0], 20, 20, 20, 20, 1); // and overflowing again keeps all
    EXPECT_EQ(CellList(30000, 30000), (std::vector<int16_t>{e[1], e[5], e[7], e[0]}));
    for (int32_t k : {1, 5, 0}) {
        MapCellRectRemove(e[k], 20, 20, 20, 20, 1);
        EXPECT_EQ(MazeGet(40, 40, 1), kCellOtherNet); // not empty yet: the shadow stays
    }
    MapCellRectRemove(e[7], 20, 20, 20, 20, 1);
    EXPECT_TRUE(CellList(30000, 30000).empty());
    EXPECT_EQ(MazeGet(40, 40, 1), kCellFree);
    // An edge cell that overflowed keeps the edge first when it goes back.
    for (int16_t v : e)
        MapCellRect(v, 0, 0, 20, 20, 1);
    for (size_t k = 2; k < e.size(); ++k)
        MapCellRectRemove(e[k], 0, 0, 20, 20, 1);
    s = MapCell(0, 20, 1);
    EXPECT_EQ(std::vector<int16_t>(s, s + 3), (std::vector<int16_t>{1, e[0], e[1]}));
    // The checks of the cell operations.
    EXPECT_FATAL(MapCellRect(1, 0, 1, 0, 1, 1), 2161020);
    EXPECT_FATAL(MapCellRect(ObjCount() + 1, 0, 1, 0, 1, 1), 2161020);
    EXPECT_FATAL(MapCellRectRemove(0, 0, 1, 0, 1, 1), 2161021);
    EXPECT_FATAL(MapCellRect(e[0], 0, 1, 0, 1, 3), 2161022);
}

TEST_F(MapTest, ObjectListsHoldAThousandEntries) {
    Open();
    static ObjList list;
    ObjListClear(&list);
    for (int32_t e = 2; e < 1002; ++e)
        ObjListAdd(&list, e);
    ObjListAdd(&list, 5); // present: nothing
    EXPECT_EQ(list.count, 1000);
    EXPECT_EQ(list.entry[0], 2);
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    ObjListAdd(&list, 2000); // quiet without the verbose flag
    EXPECT_TRUE(g_lines.empty());
    g_verbose = 1;
    ObjListAdd(&list, 2001);
    g_verbose = 0;
    DebugSetTraceReceiver(nullptr);
    EXPECT_EQ(list.count, 1000);
    EXPECT_EQ(list.entry[0], 1);
    EXPECT_EQ(list.truncated, 1);
    bool warned = false;
    for (const std::string& l : g_lines)
        warned = warned || l == "Too many collisions";
    EXPECT_TRUE(warned);
}

TEST_F(MapTest, AQueryOverMoreThanAListHoldsIsTruncated) {
    Open();
    ASSERT_EQ(MapAll(), 1);
    for (int32_t k = 0; k < 1100; ++k)
        MapCellRect(AddPad(1, 1, 1 + k % 3), 20, 21, 20, 20, 1);
    static ObjList list;
    ObjListClear(&list);
    MapBoxObjects(30000, 30000, 30000, 30000, 1, 0, &list);
    EXPECT_EQ(list.count, 1000);
    EXPECT_EQ(list.truncated, 1);
    EXPECT_EQ(list.entry[0], 1); // reads as blocked
    MapCellObjects(30000, 30000, 1, &list); // the cell as it stands: truncated, no edge
    EXPECT_EQ(list.count, 1000);
    EXPECT_EQ(list.truncated, 1);
    EXPECT_EQ(list.entry[0], 2);
    ObjListClear(&list);
    MapBoxObjects(1500, 1500, 1500, 1500, 1, 0, &list); // a quiet cell: complete
    EXPECT_EQ(list.truncated, 0);
}

class PadShapeTest : public MapTest {
  protected:
    // Thru codes 3 (RECT 6,000 x 1,500) and 4 (OBLONG 6,000 x 1,500).
    void SetUp() override {
        MapTest::SetUp();
        Open("*THRU 2 \"R\" LAYER=1 SHAPE=RECT W:6000 H:1500\r\n"
             "*THRU 3 \"O\" LAYER=1 SHAPE=OBLONG W:6000 H:1500\r\n");
        ASSERT_EQ(ThruCount(), 4);
        ASSERT_EQ(MapAll(), 1);
        e = AddPad(1, 1, 0);
    }
    std::set<std::pair<int32_t, int32_t>> Map(int32_t thru, int32_t angle) {
        PlacedPin pin{};
        pin.x = pin.y = 30000;
        pin.thru = int16_t(thru);
        PadMap(&pin, angle, e, kMapFixed);
        auto cells = CellsOf(e, 1);
        PadMap(&pin, angle, e, kMapRemove);
        EXPECT_TRUE(CellsOf(e, 1).empty());
        return cells;
    }
    static std::set<std::pair<int32_t, int32_t>> Box(int32_t c1, int32_t c2, int32_t r1,
                                                     int32_t r2) {
        std::set<std::pair<int32_t, int32_t>> out;
        for (int32_t c = c1; c <= c2; ++c)
            for (int32_t r = r1; r <= r2; ++r)
                out.insert({c, r});
        return out;
    }
    int32_t e = 0;
};

TEST_F(PadShapeTest, RectPiecesTurnByQuarterTurnsAndByTheirBox) {
    EXPECT_EQ(Map(3, 0), Box(18, 22, 20, 20));
    EXPECT_EQ(Map(3, 5400), Box(20, 20, 18, 22)); // width and height exchanged
    EXPECT_EQ(Map(3, 16200), Box(20, 20, 18, 22));
    EXPECT_EQ(Map(3, 2700), Box(18, 22, 18, 22)); // the turned piece's box
    EXPECT_EQ(Map(3, 2700 - 21600), Box(18, 22, 18, 22));
}

TEST_F(PadShapeTest, OblongsMapAlongTheirTurnedAxis) {
    EXPECT_EQ(Map(4, 0), Box(18, 22, 20, 20));
    EXPECT_EQ(Map(4, 5400), Box(20, 20, 18, 22));
    auto turned = Map(4, 2700);
    EXPECT_TRUE(turned.count({20, 20}));
    EXPECT_TRUE(turned.count({22, 22}));
    EXPECT_TRUE(turned.count({18, 18}));
    EXPECT_FALSE(turned.count({18, 22})); // off the axis
    EXPECT_FALSE(turned.count({22, 18}));
    // Round pads map the square of their radius at any angle.
    EXPECT_EQ(Map(2, 0), Box(19, 21, 19, 21));
    EXPECT_EQ(Map(2, 2700), Box(19, 21, 19, 21));
}

TEST_F(PadShapeTest, ViaPadsOfAnyShapeMapByTheirExtents) {
    ThruCode v;
    ThruGet(1, &v);
    v.layer[1].shape[0].code = kPadOblong;
    int32_t ext[4] = {600, 300, 2400, 300};
    std::copy(ext, ext + 4, v.layer[1].shape[0].ext);
    {
        DbTrustedScope trusted;
        ThruPut(1, &v);
    }
    EXPECT_EQ(ViaPadSize(1, 1), 2400);
    EXPECT_EQ(ViaPadSize(1, 2), 300); // round, radius 300
    EXPECT_EQ(ViaPadSize(2, 1), 0);
    ViaShapeMap(1, 30000, 30000, e, kMapFixed);
    EXPECT_EQ(CellsOf(e, 1), Box(20, 22, 20, 20)); // 29,400..32,400 x 29,700..30,300
    EXPECT_EQ(CellsOf(e, 2), Box(20, 20, 20, 20));
    v.layer[1].shape[0].code = 9; // a code only a trusted load stores
    {
        DbTrustedScope trusted;
        ThruPut(1, &v);
    }
    ViaShapeMap(1, 30000, 30000, e, kMapRemove);
    EXPECT_TRUE(CellsOf(e, 1).empty());
}

TEST_F(MapTest, ConnectionsMapSegmentsVias) {
    Open();
    // A free via at each end (via type 1 in the pin field), a via midway.
    Conn c{};
    const int32_t n = StoreConn(1, {{15000, 15000, 1}, {30000, 15000, 2, 1}, {30000, 45000, 0}});
    ConnGet(n, &c);
    c.head.fromComp = 0;
    c.head.fromPin = 1;
    c.head.toComp = 0;
    c.head.toPin = 1;
    const int32_t pad = AddPad(1, 1, 2);
    const int32_t e = AddConn(n);
    ASSERT_EQ(MapAll(), 1);
    ConnMap(&c, e, 0, 2, 0);
    EXPECT_TRUE(Holds(e, 10, 10, 2)); // the from-end's via on every layer
    EXPECT_TRUE(Holds(e, 20, 30, 1)); // the to-end's via
    EXPECT_TRUE(Holds(e, 20, 10, 1)); // the via midway
    EXPECT_TRUE(Holds(e, 15, 10, 1)); // the segment on layer 1
    EXPECT_FALSE(Holds(e, 15, 10, 2));
    EXPECT_TRUE(Holds(e, 20, 20, 2)); // the segment on layer 2
    EXPECT_FALSE(Holds(e, 20, 20, 1));
    ConnMap(&c, e, 1, 2, 1); // the range from corner 1 keeps the from-end's via
    EXPECT_TRUE(Holds(e, 10, 10, 2));
    EXPECT_FALSE(Holds(e, 20, 30, 1));
    EXPECT_FALSE(Holds(e, 20, 20, 2));
    EXPECT_FATAL(ConnMap(&c, pad, 0, 2, 0), 2160010);
    EXPECT_FATAL(ConnMap(&c, e + 1, 0, 2, 0), 2160010);
    // Flags of the entry follow the record.
    c.head.flags = kConnNotSelected | kConnNetAttr;
    ConnObjFlags(e, &c);
    EXPECT_EQ(ObjEntry(e)->flags, kObjFlagInside | kObjFlagNoRoute | kObjFlagNetAttr);
}

TEST_F(MapTest, ConnectionEntriesAreChecked) {
    Open();
    const int32_t n = StoreConn(1, {{15000, 15000, 1}, {30000, 15000, 0}});
    const int32_t e1 = AddConn(n);
    AddPad(1, 1, 1);
    const int32_t e2 = AddConn(n); // a second connection entry after a pad
    ASSERT_EQ(MapAll(), 1);
    EXPECT_FATAL(ConnMap(ConnRef(n), e1 + 1, 0, 1, 0), 2160011);
    ConnMap(ConnRef(n), e2, 0, 1, 0);
    EXPECT_TRUE(Holds(e2, 15, 10, 1));
}

TEST_F(MapTest, PadsTakeTheirConnectionsNet) {
    Open();
    const int32_t n = StoreConn(2, {{15000, 30000, 1}, {39000, 30000, 0}});
    Conn c;
    ConnGet(n, &c);
    c.head.fromComp = 1;
    c.head.fromPin = 1;
    c.head.toComp = 2;
    c.head.toPin = 1;
    c.head.flags = kConnNetAttr;
    {
        DbTrustedScope trusted;
        ConnPut(n, &c);
    }
    const int32_t p1 = AddPad(1, 1, 0), p2 = AddPad(2, 1, 0), p3 = AddPad(2, 2, 0);
    const int32_t e = AddConn(n);
    ObjEntry(e)->flags = kObjFlagNetAttr;
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(ObjEntry(p1)->net, 2);
    EXPECT_EQ(ObjEntry(p2)->net, 2);
    EXPECT_EQ(ObjEntry(p3)->net, 0);
    EXPECT_TRUE(ObjEntry(p1)->flags & kObjFlagNetAttr);
    EXPECT_TRUE(Holds(p1, 10, 20, 1));
    EXPECT_TRUE(Holds(p3, 30, 20, 2));
    int32_t count;
    const int16_t* list = ObjNetEntries(2, &count);
    EXPECT_EQ(std::vector<int16_t>(list, list + count),
              (std::vector<int16_t>{int16_t(p1), int16_t(p2), int16_t(e)}));
}

TEST_F(MapTest, ObstacleNets) {
    Open();
    const int32_t padA = AddPad(1, 2, 7), padB = AddPad(1, 1, 0);
    (void)padA;
    (void)padB;
    const int32_t e = AddObs(1, 1);
    const int32_t board = AddObs(1, 0);
    struct Case {
        int32_t kind, layer, net, entry, want;
    };
    const Case cases[] = {
        {kObsAvoid, 1, 5, e, -1},          {kObsRouteKeepout, 1, 5, e, -1},
        {kObsCopper, 1, kObsNoNet, e, -1}, {kObsCopper, 1, 3, e, 3},
        {kObsShavable, 1, 3, e, 3},        {kObsOutline, 1, 0, e, 0},
        {kObsCopper, 1, -2, e, 7},         {kObsCopper, 1, -1, e, -1}, // the pad has no net
        {kObsCopper, 1, -3, e, -1},                                    // no such pad entry
    };
    for (const Case& k : cases) {
        Obstacle o{};
        o.head.kind = uint8_t(k.kind);
        o.head.layer = uint8_t(k.layer);
        o.head.net = int16_t(k.net);
        EXPECT_EQ(ObsNet(k.entry, &o), k.want) << k.kind << " " << k.net;
    }
    Obstacle o{};
    o.head.kind = kObsCopper;
    o.head.net = 0;
    EXPECT_FATAL(ObsNet(e, &o), 2173020); // neither layer nor net
    o.head.layer = 1;
    o.head.net = -2;
    EXPECT_FATAL(ObsNet(board, &o), 2173021); // a pin net without an owner
}

TEST_F(MapTest, BoardOutlineBlocksItsOutside) {
    Open();
    const int32_t o =
        StoreObs(kObsBoardOutline, 0, kObsNoNet,
                 {{12000, 12000}, {48000, 12000}, {48000, 48000}, {12000, 48000}, {12000, 12000}});
    const int32_t e = AddObs(o);
    ASSERT_EQ(MapAll(), 1);
    for (int32_t l = 1; l <= 2; ++l) {
        EXPECT_TRUE(Holds(e, 5, 5, l));
        EXPECT_TRUE(Holds(e, 30, 5, l));
        EXPECT_TRUE(Holds(e, 35, 20, l));
        EXPECT_FALSE(Holds(e, 20, 20, l));
        EXPECT_FALSE(Holds(e, 10, 20, l)); // inside, next to the outline
        EXPECT_FALSE(Holds(e, 30, 30, l));
    }
    EXPECT_EQ(ViaMapGet(MzX(6000), MzY(30000), 1), kViaFillBits);
    EXPECT_EQ(ViaMapGet(MzX(30000), MzY(30000), 1), 0);
}

TEST_F(MapTest, NoViaObstaclesMarkOnlyTheViaMap) {
    Open();
    const int32_t o =
        StoreObs(kObsNoVia, 1, 0, {{24000, 24000}, {36000, 24000}, {36000, 36000}, {24000, 36000}});
    const int32_t e = AddObs(o);
    const int32_t k = AddObs(
        StoreObs(kObsCompKeepout, 1, kObsNoNet, {{24000, 24000}, {36000, 24000}, {36000, 36000}}));
    ASSERT_EQ(MapAll(), 1);
    EXPECT_TRUE(CellsOf(k, 1).empty()); // kinds 6 to 18 are not mapped
    EXPECT_TRUE(CellsOf(e, 1).empty());
    EXPECT_EQ(ViaMapGet(MzX(30000), MzY(30000), 1), kViaFillBits);
    EXPECT_EQ(ViaMapGet(MzX(30000), MzY(40500), 1), 0);
}

TEST_F(MapTest, FillCountsVerticesAndHorizontalEdges) {
    Open();
    // A diamond: the side vertices are passed through (once each), the top
    // and bottom vertices are extremes (twice).
    const int32_t d = StoreObs(kObsCopper, 1, 1,
                               {{30000, 24000}, {36000, 30000}, {30000, 36000}, {24000, 30000}});
    // A step: on y = 45,000 a horizontal edge joins an edge's upper end to
    // another's lower end.
    const int32_t s = StoreObs(kObsCopper, 2, 1,
                               {{24000, 39000},
                                {36000, 39000},
                                {36000, 45000},
                                {30000, 45000},
                                {30000, 51000},
                                {24000, 51000}});
    AddObs(d);
    AddObs(s);
    ASSERT_EQ(MapAll(), 1);
    auto filled = [](int32_t x, int32_t y) { return ViaMapGet(MzX(x), MzY(y), 1) == kViaFillBits; };
    EXPECT_TRUE(filled(33000, 30000));
    EXPECT_TRUE(filled(27000, 30000));
    EXPECT_TRUE(filled(30000, 36000));
    EXPECT_FALSE(filled(31500, 36000));
    EXPECT_TRUE(filled(30000, 24000));
    EXPECT_TRUE(filled(33000, 45000));
    EXPECT_TRUE(filled(27000, 45000));
    EXPECT_FALSE(filled(37500, 45000));
    EXPECT_FALSE(filled(33000, 48000));
}

// The maze shadow of a filled area covers every maze row, the half-grid
// rows between grid lines too: a circle keep-out (inside its outline, one
// grid step clear of it in x) and the outside of a board outline.
TEST_F(MapTest, FilledAreasShadowEveryMazeRow) {
    Open();
    constexpr int32_t kCx = 30000, kCy = 42000, kR = 4500, kStep = 750, kGrid = 1500;
    const int32_t c =
        StoreObs(kObsRouteKeepout, 1, kObsNoNet, {{kCx + kR, kCy}, {kCx, kCy}, {kCx + kR, kCy}});
    {
        Obstacle r;
        ObsGet(c, &r);
        r.pt[1].flags = kObsPtArcCcw;
        r.head.flags = kObsCircle;
        ObsBox(&r);
        DbTrustedScope trusted;
        ObsPut(c, &r);
    }
    AddObs(c);
    AddObs(StoreObs(kObsBoardOutline, 0, kObsNoNet,
                    {{6000, 6000}, {54000, 6000}, {54000, 54000}, {6000, 54000}, {6000, 6000}}));
    ASSERT_EQ(MapAll(), 1);
    auto blocked = [](int32_t x, int32_t y, int32_t l) {
        return (MazeGet(MzX(x), MzY(y), l) & kCellCodeMask) >= kCellBlocked;
    };
    int32_t seen = 0;
    for (int32_t y = kCy - kR + kStep; y <= kCy + kR - kStep; y += kStep) {
        const double half = std::sqrt(double(kR) * kR - double(y - kCy) * (y - kCy));
        for (int32_t x = kCx - kR; x <= kCx + kR; x += kStep) {
            if (std::abs(x - kCx) > half - kGrid) continue;
            ++seen;
            EXPECT_TRUE(blocked(x, y, 1)) << x << ", " << y;
            EXPECT_FALSE(blocked(x, y, 2)) << x << ", " << y;
        }
    }
    EXPECT_GT(seen, 50);
    for (int32_t y = 1500; y <= 4500; y += kStep)
        for (int32_t l = 1; l <= 2; ++l)
            EXPECT_TRUE(blocked(30000, y, l)) << y << " layer " << l;
}

TEST_F(MapTest, ObstaclesOnEveryLayerAndAThousandPoints) {
    Open();
    // An open keepout of 1,000 points on every layer: closed by the fill.
    Obstacle o{};
    o.head.kind = kObsRouteKeepout;
    o.head.layer = 0;
    o.head.net = kObsNoNet;
    for (int32_t i = 0; i < 1000; ++i) {
        ObsPoint& p = o.pt[o.head.count++];
        if (i < 500) {
            p.x = 24000 + i * 24;
            p.y = 24000;
        } else {
            p.x = 36000 - (i - 500) * 24;
            p.y = 36000;
        }
    }
    ObsBox(&o);
    const int32_t n = ObsAppend();
    {
        DbTrustedScope trusted;
        ObsPut(n, &o);
    }
    const int32_t e = AddObs(n);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_TRUE(Holds(e, 20, 20, 1));
    EXPECT_TRUE(Holds(e, 20, 20, 2));
    EXPECT_FALSE(Holds(e, 30, 30, 1));
    EXPECT_EQ(ObjEntry(e)->net, -1);
}

TEST_F(MapTest, ViaMapStorageAndPrimitives) {
    Open();
    const int32_t w = g_mzGrid.w, r = g_mzGrid.r;
    EXPECT_FATAL(ViaMapGet(0, 0, 0), 2185024);
    EXPECT_FATAL(ViaMapGet(0, 0, 2), 2185024);
    EXPECT_FATAL(ViaMapMarkRect(0, 0, 1, 1, 2, 0x80), 2185052);
    ViaMapMarkRect(-5, -5, w + 5, r + 5, 1, 0xC0);
    EXPECT_EQ(ViaMapGet(-1, 5, 1), 0);
    EXPECT_EQ(ViaMapGet(w + 1, 5, 1), 0);
    EXPECT_EQ(ViaMapGet(5, r + 1, 1), 0);
    EXPECT_EQ(ViaMapGet(1, 1, 1), 0); // kept 2 cells inside
    EXPECT_EQ(ViaMapGet(2, 2, 1), 0xC0);
    EXPECT_EQ(ViaMapGet(3, 3, 1), 0xC0); // the same grid point
    EXPECT_EQ(ViaMapGet(w - 2, r - 2, 1), 0xC0);
    EXPECT_EQ(ViaMapGet(w, r, 1), 0);
    ViaReset();
    EXPECT_EQ(ViaMapGet(2, 2, 1), 0x80);
    ViaMapClear();
    EXPECT_EQ(ViaMapGet(2, 2, 1), 0);
    // Row blocks that would not fit one pool piece are refused.
    DbHdr().viaCount = 131;
    g_mzGrid.nx = 500;
    g_mzGrid.ny = 4;
    EXPECT_EQ(ViaInit(), 0);
    DbHdr().viaCount = 130;
    EXPECT_EQ(ViaInit(), 1);
    EXPECT_EQ(ViaMapTypes(), 130);
}

} // namespace
