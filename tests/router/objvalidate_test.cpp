// Loading the router's objects: refusals, loading once per window, the
// order obstacles, pads, connections, a reload for a moved map area, the
// loading box, overflow, a failed map build, journal images and the board
// obstacle check.
#include <string>

#include "db/altjournal.h"
#include "db/db.h"
#include "headless/ascio.h"
#include "mapfixture.h"
#include "openfixture.h"
#include "router/objvalidate.h"
#include "router/uralloc.h"

namespace {

class ObjValidateTest : public MapTest, public OpenKit {
  protected:
    void SetUp() override {
        MapTest::SetUp();
        OpenTraces().clear();
    }
    // The board of the map fixture with the router opened over 0..60,000
    // and the display box inside the maze extent.
    void OpenRouter(const std::string& body = "") {
        LoadBoard("*COMP U1 [15000, 30000] Symbol=1\r\n*COMP U2 [39000, 30000] Symbol=1\r\n" +
                  body);
        while (NetCount() < 2)
            NetAdd();
        SetWindow(40, 40, 10, 10);
        MapAreaCompute(30000, 30000, 30000, 30000);
        ASSERT_EQ(UrAlloc(), 1);
        DisplayBox(10000, 50000, 10000, 50000);
    }
    static void DisplayBox(int32_t minX, int32_t maxX, int32_t minY, int32_t maxY) {
        DbHdr().dispMinX = minX;
        DbHdr().dispMaxX = maxX;
        DbHdr().dispMinY = minY;
        DbHdr().dispMaxY = maxY;
    }
    // A stored connection with its box computed.
    static int32_t StoreBoxed(int32_t net, std::initializer_list<CrnSpec> corners) {
        Conn c = ConnOf(net, corners);
        ConnBox(&c);
        const int32_t n = ConnAdd();
        DbTrustedScope trusted;
        ConnPut(n, &c);
        return n;
    }
    static int32_t Count(const std::string& line) {
        int32_t n = 0;
        for (const std::string& c : HeadlessShellCalls())
            n += c == line;
        return n;
    }
};

TEST_F(ObjValidateTest, NoDesignOrNoPass) {
    OpenRouter();
    g_router.anyPassEnabled = 0;
    EXPECT_EQ(UrObjValidate(1), 1);
    EXPECT_EQ(ObjTableValid(), 0);
    EXPECT_EQ(g_windowLoaded, 0);
    DbHdr().valid = 0;
    EXPECT_EQ(UrObjValidate(1), 0);
    EXPECT_TRUE(ShellCalled("MsgNote(No database loaded)"));
    DbHdr().valid = 1;
}

TEST_F(ObjValidateTest, NoActiveRoutingLayer) {
    OpenRouter();
    CurSweep().usedLayers = 0;
    EXPECT_EQ(UrObjValidate(1), 0);
    EXPECT_TRUE(ShellCalled("MsgNote(No layers enabled for routing)"));
    EXPECT_EQ(ObjTableValid(), 0);
}

TEST_F(ObjValidateTest, LoadsOnceInOrder) {
    OpenRouter();
    const int32_t obs = StoreObs(kObsAvoid, 1, 0, {{20000, 20000}, {22000, 22000}});
    const int32_t conn = StoreConn(1, {{15000, 30000, 0}, {39000, 30000, 0}});
    // The loading box ends at 60,000 (the maze extent): a connection whose
    // box (grown by half its width, 300) touches that edge, one just past.
    const int32_t touching = StoreBoxed(2, {{60300, 5000, 0}, {61000, 5000, 0}});
    Conn read;
    ConnGet(touching, &read);
    ASSERT_EQ(read.head.minX, 60000);
    StoreBoxed(2, {{60301, 5000, 0}, {61000, 5000, 0}});
    FrontAppWindow()->boardShown = 1;
    Trace(true); // the loading traces come under the verbose flag
    ASSERT_EQ(UrObjValidate(1), 1);
    EXPECT_EQ(g_windowLoaded, 1);
    EXPECT_TRUE(Traced("UrObjValidate: Loading obj"));
    EXPECT_TRUE(Traced("obsAdd: 1 obstacles in display list"));
    EXPECT_TRUE(Traced("4 pads in display list"));
    EXPECT_TRUE(Traced("2 connections in display list"));
    EXPECT_TRUE(Traced("UrObjValidate: Loading map"));
    EXPECT_TRUE(Traced("UrObjValidate: Done"));
    EXPECT_TRUE(ShellCalled("RoutingBoxShow(1)"));
    EXPECT_EQ(HeadlessCursorKind(), kCursorNormal);
    // Entry 1 is the edge; then the obstacle, the four pads, the
    // connections.
    ASSERT_EQ(ObjCount(), 8);
    const MapObj& o = *ObjEntry(2);
    EXPECT_EQ(o.type, kObjObstacle);
    EXPECT_EQ(o.index, obs);
    EXPECT_EQ(o.flags, 0x3);
    EXPECT_EQ(o.link, 0);
    const int32_t pads[4][2] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}};
    for (int32_t k = 0; k < 4; ++k) {
        const MapObj& p = *ObjEntry(3 + k);
        EXPECT_EQ(p.type, kObjPad);
        EXPECT_EQ(p.flags, 0x3);
        EXPECT_EQ(p.index, pads[k][0]);
        EXPECT_EQ(p.link, pads[k][1]);
    }
    EXPECT_EQ(ObjEntry(7)->type, kObjConn);
    EXPECT_EQ(ObjEntry(7)->index, conn);
    EXPECT_EQ(ObjEntry(7)->flags & kObjFlagMapped, 0);
    EXPECT_EQ(ObjEntry(8)->index, touching);
    EXPECT_EQ(ObjFindConn(conn), 7);
    EXPECT_EQ(Count("MsgPrompt(Initializing DRC tables)"), 2);
    // The second call loads nothing.
    OpenTraces().clear();
    EXPECT_EQ(UrObjValidate(1), 1);
    EXPECT_TRUE(OpenTraces().empty());
    EXPECT_EQ(Count("MsgPrompt(Initializing DRC tables)"), 2);
    // Invalidation makes the next call load again.
    urObjInvalidate();
    EXPECT_TRUE(ShellCalled("RoutingBoxShow(0)"));
    EXPECT_EQ(ObjTableValid(), 0);
    EXPECT_EQ(g_windowLoaded, 0);
    EXPECT_EQ(UrObjValidate(1), 1);
    EXPECT_EQ(ObjCount(), 8);
    EXPECT_TRUE(Traced("UrObjValidate: Loading obj"));
    g_verbose = 0;
}

// The loaded objects and maps are in the map area's maze coordinates: the
// same area computed again keeps them, a moved area makes them stale, and
// the next validation loads the objects and maps of the new area.
TEST_F(ObjValidateTest, MovedMapAreaReloads) {
    OpenRouter();
    ASSERT_EQ(UrObjValidate(1), 1);
    MapAreaCompute(30000, 30000, 30000, 30000);
    EXPECT_EQ(g_windowLoaded, 1);
    EXPECT_EQ(ObjTableValid(), 1);
    MapAreaCompute(33000, 30000, 33000, 30000); // two pitches to the right
    EXPECT_EQ(g_windowLoaded, 0);
    EXPECT_EQ(ObjTableValid(), 0);
    Trace(true);
    ASSERT_EQ(UrObjValidate(1), 1);
    g_verbose = 0;
    EXPECT_TRUE(Traced("UrObjValidate: Loading map"));
    EXPECT_EQ(g_windowLoaded, 1);
}

// The loading box covers the maze extent and the display box, whichever
// is larger on each side.
TEST_F(ObjValidateTest, LoadingBox) {
    OpenRouter();
    UrLoadBox b = UrLoadingBox();
    EXPECT_EQ(b.minX, 0);
    EXPECT_EQ(b.maxX, 60000);
    EXPECT_EQ(b.minY, 0);
    EXPECT_EQ(b.maxY, 60000);
    DisplayBox(-5000, 70000, 1000, 90000);
    b = UrLoadingBox();
    EXPECT_EQ(b.minX, -5000);
    EXPECT_EQ(b.maxX, 70000);
    EXPECT_EQ(b.minY, 0);
    EXPECT_EQ(b.maxY, 90000);
}

TEST_F(ObjValidateTest, ComponentObstaclesAreLoadedPlaced) {
    // Symbol 1's obstacle lies at (0, 0)..(1,000, 1,000) in its own frame;
    // placed on U1 it lies near (15,000, 30,000), inside the box.
    OpenRouter();
    Obstacle rec{};
    rec.head.kind = kObsAvoid;
    rec.head.layer = 1;
    rec.head.owner = 1; // symbol 1
    rec.head.count = 2;
    rec.pt[1].x = rec.pt[1].y = 1000;
    ObsBox(&rec);
    const int32_t o = ObsAppend();
    {
        DbTrustedScope trusted;
        ObsPut(o, &rec);
    }
    // U2 stands outside a narrowed box: its copy is not loaded.
    const UrLoadBox box{0, 30000, 0, 60000};
    ObjTableInit();
    obsAdd(box);
    ASSERT_EQ(ObjCount(), 2);
    EXPECT_EQ(ObjEntry(2)->index, o);
    EXPECT_EQ(ObjEntry(2)->link, 1);
}

TEST_F(ObjValidateTest, BoardObstacleWithAnOwnerIsFatal) {
    OpenRouter();
    const int32_t o = StoreObs(kObsAvoid, 1, 0, {{20000, 20000}, {22000, 22000}});
    ObjTableInit();
    AltPush();
    Obstacle rec;
    ObsGet(o, &rec);
    rec.head.owner = -1;
    AltPut(kRecObstacle, o, 0, &rec);
    EXPECT_FATAL(obsAdd(UrLoadingBox()), 65390);
    AltPop(false);
}

// More objects than the table holds: the window is unusable.
TEST_F(ObjValidateTest, Overflow) {
    // 820 components of 40 pins: 32,800 pads.
    std::string symbol = "*SYMBOL 2 \"MANY\"";
    for (int32_t p = 1; p <= 40; ++p)
        symbol += "\r\n" + std::to_string(p) + " \"" + std::to_string(p) + "\" [" +
                  std::to_string(100 * p) + ", 0] Thru=1";
    std::string body = symbol + "\r\n";
    for (int32_t c = 1; c <= 820; ++c)
        body += "*COMP C" + std::to_string(c) + " [30000, 30000] Symbol=2\r\n";
    OpenRouter(body);
    EXPECT_EQ(UrObjValidate(1), 0);
    EXPECT_TRUE(ShellCalled("MsgNote(Too many objects in DRC area)"));
    EXPECT_EQ(g_windowLoaded, 0);
    EXPECT_EQ(ObjTableValid(), 0);
    EXPECT_EQ(HeadlessCursorKind(), kCursorNormal);
}

TEST_F(ObjValidateTest, FailedMapBuild) {
    OpenRouter();
    ASSERT_EQ(UrObjValidate(1), 1);
    g_windowLoaded = 0;
    HeadlessAbortAfter(0);
    Trace(true);
    EXPECT_EQ(UrObjValidate(1), 0);
    g_verbose = 0;
    EXPECT_TRUE(Traced("UrObjValidate: Aborted"));
    EXPECT_TRUE(ShellCalled("MsgNote(Can't initialize DRC tables)"));
    EXPECT_EQ(g_windowLoaded, 0);
    EXPECT_EQ(HeadlessCursorKind(), kCursorNormal);
    HeadlessAbortAfter(-1);
    UserAbortReset();
    EXPECT_EQ(UrObjValidate(1), 1);
    EXPECT_EQ(g_windowLoaded, 1);
}

// Connection images held in the open journal level carry their object
// table entry.
TEST_F(ObjValidateTest, JournalImagesGetTheirEntry) {
    OpenRouter();
    const int32_t a = StoreConn(1, {{15000, 30000, 0}, {39000, 30000, 0}});
    const int32_t b = StoreConn(2, {{21000, 30000, 0}, {45000, 30000, 0}});
    ASSERT_EQ(UrObjValidate(1), 1);
    AltPush();
    Conn c;
    ConnGet(b, &c);
    AltPut(kRecConn, b, 0, &c);
    ConnGet(a, &c);
    AltPut(kRecConn, a, 0, &c);
    g_windowLoaded = 0;
    ASSERT_EQ(UrObjValidate(1), 1);
    AltItemHeader h;
    ASSERT_EQ(AltCount(), 2);
    AltGet(1, &h, &c);
    EXPECT_EQ(h.index, b);
    EXPECT_EQ(h.key, ObjFindConn(b));
    AltGet(2, &h, &c);
    EXPECT_EQ(h.key, ObjFindConn(a));
    EXPECT_NE(ObjFindConn(a), 0);
    AltPop(false);
}

} // namespace
