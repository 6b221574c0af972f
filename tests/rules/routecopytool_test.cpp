// The route copy tool: a pick lists the routed copper in the rectangle and
// installs the tool (or says "No matches found." and installs nothing); the
// copies follow the mouse, mirror and turn; a click pastes once, a full copy
// onto the connection joining the same two pins under its ends and a partial
// copy onto the connection starting unrouted at its start pin; a partial
// copy that would pass the corner limit, or a copy past the coordinate
// limit, is not applied; let-go and finish
// both close the pool and remove the hook; with the map valid the pasted
// copper is checked and violating copper removed.
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <vector>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/limits.h"
#include "db/pool.h"
#include "headless/checkstand.h"
#include "headless/routecopystand.h"
#include "router/maparea.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "router/openfixture.h"
#include "router/rulesvc.h"
#include "router/uralloc.h"
#include "rules/routecopy.h"
#include "rules/routecopymatch.h"
#include "rules/routecopytool.h"
#include "rules/routecopyshell.h"
#include "rules/rulesinstall.h"
#include "support/fatal.h"

namespace {

// Four parts of the two-pin footprint (round pads, radius 1,800): U1 and U2
// on the left, U3 and U4 the same pattern 30,000 to the right. N1 joins the
// second pins of each pair, N2 the first pins.
const char kCopyBoard[] = "*COMP U1 [6000, 6000] Symbol=1\r\n*COMP U2 [6000, 24000] Symbol=1\r\n"
                          "*COMP U3 [36000, 6000] Symbol=1\r\n*COMP U4 [36000, 24000] Symbol=1\r\n"
                          "*Net  \"N1\" W:10 MIN:10 ZID:10 WT:50\r\n   U1.2 U2.2\r\n"
                          "*Net  \"N2\" W:10 MIN:10 ZID:10 WT:50\r\n   U3.2 U4.2\r\n"
                          "*Net  \"N3\" W:10 MIN:10 ZID:10 WT:50\r\n   U1.1 U2.1\r\n"
                          "*Net  \"N4\" W:10 MIN:10 ZID:10 WT:50\r\n   U3.1 U4.1\r\n";

enum : int32_t { kShift = 30000, kU1 = 1, kU2 = 2, kU3 = 3, kU4 = 4 };

using Corner = std::array<int32_t, 3>; // x, y, layer

class RouteCopyToolTest : public UrOpenTest {
  protected:
    void SetUp() override {
        UrOpenTest::SetUp();
        RulesInstall();
        HeadlessCheckShellReset();
        HeadlessRouteCopyShellReset();
        RouteCopyTestReset();
        LoadBoard(kCopyBoard);
    }
    void TearDown() override {
        RouteCopyTestReset();
        ToolEventHook = nullptr;
        UrClose();
        RuleServicesInstall(nullptr);
        UrOpenTest::TearDown();
    }

    // The connection joining the two pins.
    static int32_t ConnJoining(CopyPin a, CopyPin b) {
        for (int32_t c = 1; c <= ConnCount(); ++c) {
            const ConnHead& h = ConnRef(c)->head;
            const bool ab = h.fromComp == a.comp && h.fromPin == a.pin && h.toComp == b.comp &&
                            h.toPin == b.pin;
            const bool ba = h.fromComp == b.comp && h.fromPin == b.pin && h.toComp == a.comp &&
                            h.toPin == a.pin;
            if (ab || ba) return c;
        }
        return 0;
    }
    // Stores the corners on the connection joining a and b, from a.
    static int32_t Route(CopyPin a, CopyPin b, std::initializer_list<Corner> corners) {
        const int32_t c = ConnJoining(a, b);
        EXPECT_NE(c, 0);
        Conn k;
        ConnGet(c, &k);
        if (k.head.fromComp != a.comp || k.head.fromPin != a.pin) ConnReverse(&k);
        k.head.count = 0;
        for (const Corner& s : corners) {
            Crn& n = k.crn[k.head.count++];
            n = Crn{};
            n.x = s[0];
            n.y = s[1];
            n.layer = uint8_t(s[2]);
            n.width = 10;
        }
        DbTrustedScope trusted;
        ConnPut(c, &k);
        return c;
    }
    // The connection's corners from pin a.
    static std::vector<Corner> CornersFrom(int32_t c, CopyPin a) {
        Conn k;
        ConnGet(c, &k);
        if (k.head.fromComp != a.comp || k.head.fromPin != a.pin) ConnReverse(&k);
        std::vector<Corner> out;
        for (int32_t i = 0; i < k.head.count; ++i)
            out.push_back({k.crn[i].x, k.crn[i].y, i + 1 < k.head.count ? k.crn[i].layer : 0});
        return out;
    }
    static std::vector<Corner> ListCorners() {
        std::vector<Corner> out;
        for (const RouteCopyItem* it = g_routeCopy.list; it; it = it->next)
            for (int32_t i = 0; i < it->copy->head.count; ++i)
                out.push_back({it->copy->crn[i].x, it->copy->crn[i].y, it->copy->crn[i].layer});
        return out;
    }
    static int32_t Calls(const std::string& line) {
        int32_t n = 0;
        for (const std::string& c : HeadlessShellCalls())
            n += c == line;
        return n;
    }
    // Picks the left pair's rectangle with the mouse at (10,000, 10,000).
    static int32_t PickLeft() {
        HeadlessSetPickedRect(18000, 27000, 3000, 3000);
        HeadlessSetQueryPoint(10000, 10000);
        return routeCopyPick();
    }
    // Drags the list onto the right pair and clicks.
    static void DragRightAndClick() {
        HeadlessSetQueryPoint(10000 + kShift, 10000);
        EXPECT_EQ(routeCopyChoice(30016), 1);
        EXPECT_EQ(routeCopyChoice(30020), 1);
        EXPECT_EQ(routeCopyChoice(30022), 1);
    }
};

const CopyPin kU1p1{kU1, 1}, kU1p2{kU1, 2}, kU2p1{kU2, 1}, kU2p2{kU2, 2};
const CopyPin kU3p1{kU3, 1}, kU3p2{kU3, 2}, kU4p1{kU4, 1}, kU4p2{kU4, 2};

TEST_F(RouteCopyToolTest, NothingRoutedInTheRectangleInstallsNothing) {
    EXPECT_EQ(PickLeft(), 0);
    EXPECT_TRUE(ShellCalled("MsgNote(No matches found.)"));
    EXPECT_EQ(ToolEventHook, nullptr);
    EXPECT_EQ(g_routeCopy.pool, 0);
    EXPECT_EQ(g_routeCopy.list, nullptr);
    EXPECT_TRUE(HeadlessDrawnPaths().empty());
    EXPECT_EQ(HeadlessPickedRectAsks(), 1);
    EXPECT_EQ(ScratchDepth(), 0);
    // An empty pick also ends an earlier pick's tool.
    Route(kU1p2, kU2p2, {{12000, 6000, 1}, {12000, 24000, 0}});
    ASSERT_EQ(PickLeft(), 1);
    HeadlessSetPickedRect(50000, 50000, 55000, 55000);
    EXPECT_EQ(routeCopyPick(), 0);
    EXPECT_EQ(ToolEventHook, nullptr);
    EXPECT_EQ(g_routeCopy.pool, 0);
    EXPECT_EQ(g_routeCopy.drawn, 0);
}

// A full copy goes onto the connection joining the two pins under its ends,
// its last corner on the end pad's centre; one click is one paste, taken
// back by one undo.
TEST_F(RouteCopyToolTest, AFullCopyPastesOntoTheSamePinsOncePerClick) {
    Route(kU1p2, kU2p2, {{12000, 6000, 1}, {15000, 9000, 2}, {15000, 21000, 1}, {12000, 24000, 0}});
    ASSERT_EQ(PickLeft(), 1);
    EXPECT_EQ(ToolEventHook, &routeCopyChoice);
    EXPECT_EQ(g_routeCopy.drawn, 1);
    EXPECT_EQ(g_routeCopy.refX, 10000);
    EXPECT_TRUE(ShellCalled("MsgInfo()"));
    ASSERT_EQ(HeadlessDrawnPaths().size(), 1u);
    EXPECT_EQ(HeadlessDrawnPaths()[0].penMode, kPenToggle);
    ASSERT_NE(g_routeCopy.list, nullptr);
    EXPECT_EQ(g_routeCopy.list->partial, 0);
    EXPECT_EQ(g_routeCopy.list->next, nullptr);
    const int32_t target = ConnJoining(kU3p2, kU4p2);
    const std::vector<Corner> before = CornersFrom(target, kU3p2);
    const int32_t paints = Calls("PaintAlt()");
    DragRightAndClick();
    EXPECT_EQ(Calls("PaintAlt()"), paints + 1); // button up pasted nothing
    EXPECT_EQ(
        CornersFrom(target, kU3p2),
        (std::vector<Corner>{
            {42000, 6000, 1}, {45000, 9000, 2}, {15000 + kShift, 21000, 1}, {42000, 24000, 0}}));
    // The copy stays listed and drawn for further clicks; the source stays.
    EXPECT_EQ(g_routeCopy.drawn, 1);
    EXPECT_EQ(ToolEventHook, &routeCopyChoice);
    EXPECT_EQ(CornersFrom(ConnJoining(kU1p2, kU2p2), kU1p2)[1], (Corner{15000, 9000, 2}));
    EXPECT_EQ(AltDepth(), 0);
    ASSERT_TRUE(AltCanUndo());
    AltUndo();
    AltPop(true);
    EXPECT_EQ(CornersFrom(target, kU3p2), before);
    EXPECT_EQ(ScratchDepth(), 0);
}

// The pins under the copy's ends decide: dropped where no pins lie it
// changes nothing; dropped on U3.1 and U4.1 it goes onto N4, not N2.
TEST_F(RouteCopyToolTest, AFullCopyGoesWhereItsEndsFindPins) {
    Route(kU1p2, kU2p2, {{12000, 6000, 1}, {12000, 24000, 0}});
    ASSERT_EQ(PickLeft(), 1);
    const int32_t seconds = ConnJoining(kU3p2, kU4p2), firsts = ConnJoining(kU3p1, kU4p1);
    const std::vector<Corner> before = CornersFrom(seconds, kU3p2);
    HeadlessSetQueryPoint(10000 + kShift + 9000, 10000);
    routeCopyChoice(30016);
    routeCopyChoice(30020);
    EXPECT_EQ(CornersFrom(seconds, kU3p2), before);
    EXPECT_EQ(CornersFrom(firsts, kU3p1)[0][2], 0);
    HeadlessSetQueryPoint(10000 + kShift - 6000, 10000);
    routeCopyChoice(30016);
    routeCopyChoice(30020);
    EXPECT_EQ(CornersFrom(seconds, kU3p2), before);
    EXPECT_EQ(CornersFrom(firsts, kU3p1),
              (std::vector<Corner>{{36000, 6000, 1}, {36000, 24000, 0}}));
}

// A copy the store would refuse (a corner past the coordinate limit) is
// not applied: the paste commits nothing and nothing ends.
TEST_F(RouteCopyToolTest, ACopyPastTheCoordinateLimitIsNotApplied) {
    Route(kU1p2, kU2p2, {{12000, 6000, 1}, {15000, 9000, 1}, {12000, 24000, 0}});
    ASSERT_EQ(PickLeft(), 1);
    const int32_t target = ConnJoining(kU3p2, kU4p2);
    const std::vector<Corner> before = CornersFrom(target, kU3p2);
    g_routeCopy.list->copy->crn[1].x = kCoordLimit - 100;
    DragRightAndClick();
    EXPECT_EQ(CornersFrom(target, kU3p2), before);
    EXPECT_EQ(AltDepth(), 0);
}

// A partial copy keeps the routed start (clipped to the rectangle) and goes
// onto the connection starting unrouted at the start pin: its corners are
// inserted there and the rest stays unrouted. Only one partial copy per
// start pin is listed.
TEST_F(RouteCopyToolTest, APartialCopyGoesOntoAnUnroutedStart) {
    Route(kU1p1, kU2p1, {{6000, 6000, 1}, {3000, 9000, 1}, {3000, 15000, 0}, {6000, 24000, 0}});
    ASSERT_EQ(PickLeft(), 1);
    ASSERT_NE(g_routeCopy.list, nullptr);
    EXPECT_EQ(g_routeCopy.list->partial, 1);
    EXPECT_EQ(ListCorners(),
              (std::vector<Corner>{{6000, 6000, 1}, {3000, 9000, 1}, {3000, 15000, 0}}));
    // A second partial copy from U1.1 is not listed.
    Conn more{};
    more.head = ConnRef(ConnJoining(kU1p1, kU2p1))->head;
    more.head.toComp = kU3;
    more.head.count = 0;
    for (const Corner& k : {Corner{6000, 6000, 1}, Corner{9000, 3000, 0}, Corner{36000, 6000, 0}}) {
        Crn& n = more.crn[more.head.count++];
        n.x = k[0];
        n.y = k[1];
        n.layer = uint8_t(k[2]);
        n.width = 10;
    }
    {
        DbTrustedScope trusted;
        ConnPut(ConnAdd(), &more);
    }
    routeCopyChoice(30026);
    ASSERT_EQ(PickLeft(), 1);
    EXPECT_EQ(ListCorners().size(), 3u);
    const int32_t target = ConnJoining(kU3p1, kU4p1);
    DragRightAndClick();
    EXPECT_EQ(CornersFrom(target, kU3p1),
              (std::vector<Corner>{
                  {36000, 6000, 1}, {33000, 9000, 1}, {33000, 15000, 0}, {36000, 24000, 0}}));
    // Its start is routed now: a second click leaves it as it is.
    const std::vector<Corner> once = CornersFrom(target, kU3p1);
    routeCopyChoice(30020);
    EXPECT_EQ(CornersFrom(target, kU3p1), once);
}

// A connection that would pass the corner limit is passed over, and one
// that just fits takes the copy.
TEST_F(RouteCopyToolTest, APartialCopyPastOurCornerLimitIsSkipped) {
    Route(kU1p1, kU2p1, {{6000, 6000, 1}, {3000, 9000, 0}, {6000, 24000, 0}});
    for (const int32_t corners : {int32_t(kConnInsertLimit), kConnInsertLimit - 1}) {
        SCOPED_TRACE(corners);
        const int32_t target = ConnJoining(kU3p1, kU4p1);
        Conn k;
        ConnGet(target, &k);
        if (k.head.fromComp != kU3) ConnReverse(&k);
        k.head.count = int16_t(corners);
        for (int32_t i = 0; i < corners; ++i)
            k.crn[i] = Crn{36000 + (i % 2) * 100, 6000 + i * 18, 10, 0, 0, 0, 0};
        k.crn[corners - 1].x = 36000;
        k.crn[corners - 1].y = 24000;
        {
            DbTrustedScope trusted;
            ConnPut(target, &k);
        }
        ASSERT_EQ(PickLeft(), 1);
        DragRightAndClick();
        EXPECT_EQ(int32_t(ConnRef(target)->head.count),
                  corners == kConnInsertLimit ? corners : corners + 1);
        routeCopyChoice(30026);
    }
}

// The copies follow the mouse; mirroring twice and turning four times by
// the default step (a header step of 0 is taken as a quarter turn) bring
// them back exactly; each change erases and redraws the picture.
TEST_F(RouteCopyToolTest, DragMirrorAndRotate) {
    Route(kU1p2, kU2p2, {{12000, 6000, 1}, {15000, 9000, 1}, {12000, 24000, 0}});
    ASSERT_EQ(PickLeft(), 1);
    const std::vector<Corner> picked = ListCorners();
    HeadlessSetQueryPoint(11000, 8000);
    routeCopyChoice(30016);
    EXPECT_EQ(ListCorners()[0], (Corner{13000, 4000, 1}));
    EXPECT_EQ(g_routeCopy.refX, 11000);
    EXPECT_EQ(g_routeCopy.refY, 8000);
    const size_t drawn = HeadlessDrawnPaths().size();
    routeCopyChoice(30220);
    EXPECT_EQ(ListCorners()[0][0], 2 * 11000 - 13000);
    routeCopyChoice(30220);
    EXPECT_EQ(HeadlessDrawnPaths().size(), drawn + 4);
    EXPECT_EQ(g_routeCopy.drawn, 1);
    DbHdr().word268 = 0;
    routeCopyChoice(30224);
    EXPECT_EQ(DbHdr().word268, kQuarterTurnMinutes);
    EXPECT_EQ(ListCorners()[0], (Corner{11000 + 4000, 8000 + 2000, 1}));
    for (int32_t i = 0; i < 3; ++i)
        routeCopyChoice(30224);
    HeadlessSetQueryPoint(10000, 10000);
    routeCopyChoice(30016);
    EXPECT_EQ(ListCorners(), picked);
}

// Let-go and finish both erase the picture, close the pool and remove the
// hook; let-go also flushes the message line. A new pick erases the last
// one's picture and closes its pool.
TEST_F(RouteCopyToolTest, LetGoAndFinishCloseThePoolAndRemoveTheHook) {
    Route(kU1p2, kU2p2, {{12000, 6000, 1}, {12000, 24000, 0}});
    for (const int32_t command : {30026, 30044}) {
        SCOPED_TRACE(command);
        ASSERT_EQ(PickLeft(), 1);
        const int32_t pool = g_routeCopy.pool;
        const size_t pictures = HeadlessDrawnPaths().size();
        // The first pick's picture is erased and its pool closed; one is open.
        ASSERT_EQ(PickLeft(), 1);
        EXPECT_EQ(HeadlessDrawnPaths().size(), pictures + 2);
        EXPECT_EQ(PoolOwner(pool), kOwnerRouteCopy);
        const int32_t flushes = Calls("MsgFlush()");
        const size_t drawn = HeadlessDrawnPaths().size();
        EXPECT_EQ(routeCopyChoice(command), 1);
        EXPECT_EQ(ToolEventHook, nullptr);
        EXPECT_EQ(g_routeCopy.pool, 0);
        EXPECT_EQ(PoolOwner(pool), 0);
        EXPECT_EQ(g_routeCopy.list, nullptr);
        EXPECT_EQ(g_routeCopy.drawn, 0);
        EXPECT_EQ(HeadlessDrawnPaths().size(), drawn + 1);
        EXPECT_EQ(Calls("MsgFlush()"), flushes + (command == 30026 ? 1 : 0));
    }
}

TEST_F(RouteCopyToolTest, ContextMenuAndOtherCommands) {
    EXPECT_EQ(routeCopyChoice(30061), 1);
    EXPECT_EQ(HeadlessContextSteps(),
              (std::vector<std::string>{"NotImplemented", "NotImplemented2", "NotImplemented3",
                                        "NotImplemented4"}));
    EXPECT_EQ(routeCopyChoice(30210), 0);
    EXPECT_EQ(routeCopyChoice(30999), 0);
    // Open object with the router closed only redraws.
    EXPECT_EQ(routeCopyChoice(30036), 1);
    EXPECT_EQ(g_routeCopy.drawn, 1);
}

TEST_F(RouteCopyToolTest, InternalErrors) {
    RouteCopyItem empty{nullptr, nullptr, 0};
    g_routeCopy.list = &empty;
    EXPECT_FATAL(routeCopyDraw(), kErrCopyNodeEmpty);
    g_routeCopy.list = nullptr;
}

// With the router open and its window loaded, the pick walks the object
// table's connections (clearing their run flags) and the paste maps the new
// copper, checks it and removes the copy's piece that runs over U5's pad;
// open object reloads the window's objects.
TEST_F(RouteCopyToolTest, WithTheMapValidViolatingCopperIsRemoved) {
    LoadBoard(std::string(kCopyBoard) + "*COMP U5 [45000, 15000] Symbol=1\r\n");
    Route(kU1p2, kU2p2, {{12000, 6000, 1}, {15000, 9000, 1}, {15000, 21000, 1}, {12000, 24000, 0}});
    SetWindow(40, 40, 10, 10);
    MapAreaCompute(30000, 30000, 30000, 30000);
    ASSERT_EQ(UrAlloc(), 1);
    ASSERT_EQ(UrObjValidate(1), 1);
    ASSERT_EQ(g_windowLoaded, 1);
    const int32_t source = ObjFindConn(ConnJoining(kU1p2, kU2p2));
    ObjSetConnFlag(source, kObjFlagHeld);
    ASSERT_EQ(PickLeft(), 1);
    EXPECT_EQ(ObjEntry(source)->flags & kObjFlagHeld, 0);
    const size_t checks = RuleServiceCalls().size();
    DragRightAndClick();
    bool removed = false;
    for (size_t i = checks; i < RuleServiceCalls().size(); ++i)
        removed = removed || RuleServiceCalls()[i].name == "DrcRemoveViolations";
    EXPECT_TRUE(removed);
    EXPECT_EQ(AltDepth(), 0);
    // The run through U5's pad is gone; the rest of the copy stays.
    const int32_t target = ConnJoining(kU3p2, kU4p2);
    const std::vector<Corner> now = CornersFrom(target, kU3p2);
    for (size_t i = 0; i + 1 < now.size(); ++i)
        if (now[i][2] && now[i][0] == 45000 && now[i + 1][0] == 45000)
            ADD_FAILURE() << "the run over U5 stayed at " << i;
    // Open object in the routing window reloads the stale objects.
    urObjInvalidate();
    FrontAppWindow()->kind = kWindowRouteView;
    EXPECT_EQ(routeCopyChoice(30036), 1);
    EXPECT_EQ(g_windowLoaded, 1);
    EXPECT_EQ(routeCopyChoice(30026), 1);
    EXPECT_EQ(ToolEventHook, nullptr);
}

} // namespace
