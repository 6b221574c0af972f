// Pushing connections aside: the table stack and its nesting limits, the
// vertical segment move with its lower and upper end rules, pinned
// segments, the 45-degree notch, via pushes and their refusals, hops, and
// the corner limit.
#include <algorithm>
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "db/shellsvc.h"
#include "headless/ascio.h"
#include "db/thru.h"
#include "mapfixture.h"
#include "router/gather.h"
#include "router/mzgrid.h"
#include "router/push.h"
#include "router/pushwork.h"

namespace {

std::vector<std::string> g_lines;
void Collect(const char* text) {
    g_lines.emplace_back(text);
}

using Corners = std::vector<std::vector<int32_t>>;
Corners CornersOf(int32_t conn) {
    Conn c;
    ConnReadJournal(conn, &c);
    Corners out;
    for (int32_t i = 0; i < c.head.count; ++i)
        out.push_back({c.crn[i].x, c.crn[i].y, c.crn[i].layer, c.crn[i].via});
    return out;
}

// Spacings 600, widths 600 (half width 300), push step 1,500. The pusher is
// a connection of net 1 far from everything; the pushed ones are of net 2.
class PushTest : public MapTest {
  protected:
    void SetUp() override {
        MapTest::SetUp();
        Open();
        ox = (g_mzGrid.extent.minX + g_mzGrid.extent.maxX) / 3000 * 1500;
        oy = (g_mzGrid.extent.minY + g_mzGrid.extent.maxY) / 3000 * 1500 + 9000;
        pusher = AddConn(StoreConn(1, {{ox - 15000, oy + 15000, 1}, {ox - 13500, oy + 15000, 0}}));
        AltPush();
    }
    void TearDown() override {
        while (AltDepth() > 0)
            AltPop(false);
        MapTest::TearDown();
    }
    // The pushed connection dropped, a fresh object table and journal level.
    void Restart() {
        ObjTableInit(); // closes the journal's levels
        ConnDelete(conn);
        pusher = AddConn(1);
        AltPush();
    }
    int32_t Add(std::initializer_list<CrnSpec> corners, int32_t flags = 0) {
        conn = StoreConn(2, corners, 10, flags);
        return entry = AddConn(conn);
    }
    // The line x = ox from oy to oy + 1,500 with the reach of a 600 track.
    int32_t Push(int32_t direction = 1, int32_t x = -1) {
        return MzPush(x < 0 ? ox : x, oy, oy + 1500, kPushSeg, 1, 300, pusher, direction, 0);
    }
    int32_t ox = 0, oy = 0, pusher = 0, conn = 0, entry = 0;
};

TEST_F(PushTest, TablesAreTakenWithTheRouterAndNestingIsBounded) {
    for (int32_t d = 1; d <= kPushTables; ++d)
        EXPECT_NE(PushTableAt(d), nullptr) << d;
    EXPECT_EQ(PushTableAt(0), nullptr);
    EXPECT_EQ(PushTableAt(kPushTables + 1), nullptr);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(PushDepth(), 0);
    EXPECT_EQ(Push(), 0); // nothing in reach
    EXPECT_EQ(PushDepth(), 0);
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    for (int32_t d = 0; d < kPushTables; ++d)
        PushEnter();
    EXPECT_EQ(Push(), kObjEdgeEntry);
    for (int32_t d = 0; d < kPushTables; ++d)
        PushLeave();
    g_pushOptions.stitchMode = 1;
    for (int32_t d = 0; d < kPushStitchDepth - 1; ++d)
        PushEnter();
    EXPECT_EQ(Push(), 0); // four nested: one more is allowed
    PushEnter();
    EXPECT_EQ(Push(), kObjEdgeEntry);
    for (int32_t d = 0; d < kPushStitchDepth; ++d)
        PushLeave();
    g_verbose = 0;
    DebugSetTraceReceiver(nullptr);
    EXPECT_EQ(g_lines, (std::vector<std::string>{"*MzPush: recursion too deep",
                                                 "*MzPush: recursion too deep"}));
    EXPECT_EQ(PushDepth(), 0);
    EXPECT_FATAL(Push(0), kErrPushDirection);
    EXPECT_FATAL(Push(2), kErrPushDirection);
    EXPECT_EQ(PushDepth(), 0);
}

TEST_F(PushTest, VerticalSegmentLongerThanTheMovedPartGetsFourCorners) {
    // Received y range: oy - 300 .. oy + 1,800; half width plus clearance
    // 900: the moved part spans Lower(oy - 1,200) .. Raise(oy + 2,700).
    const int32_t lo = oy - 1500, up = oy + 3000;
    for (const int32_t d : {1, -1}) {
        const int32_t x = ox + 300 * d, x2 = ox + 1800 * d;
        Add({{x, oy - 9000, 1}, {x, oy + 9000, 0}});
        ASSERT_EQ(MapAll(), 1);
        EXPECT_EQ(Push(d), 0);
        EXPECT_EQ(CornersOf(conn), (Corners{{x, oy - 9000, 1, 0},
                                            {x, lo, 1, 0},
                                            {x2, lo, 1, 0},
                                            {x2, up, 1, 0},
                                            {x, up, 1, 0},
                                            {x, oy + 9000, 0, 0}}))
            << d;
        EXPECT_EQ(ObjEntry(entry)->flags & kObjFlagPushed, 0); // the hold is released
        EXPECT_EQ(PushDepth(), 0);
        // The map follows: the moved part now blocks a probe beyond the old
        // place; a push from the far side, facing away, leaves it alone.
        EXPECT_EQ(GatherIsEmpty(x2, oy, x2, oy + 1500, kProbeSeg, 1, 300, pusher, 0), 0);
        EXPECT_EQ(Push(d, x2 + 600 * d), 0);
        EXPECT_EQ(CornersOf(conn)[2][0], x2);
        Restart();
    }
}

TEST_F(PushTest, TransposedPushesWorkInY) {
    // The line y = oy from x ox to ox + 1,500 pushes a horizontal connection
    // toward +y, exactly as the vertical case with x and y exchanged.
    const int32_t y = oy + 300, y2 = oy + 1800, lo = ox - 1500, up = ox + 3000;
    Add({{ox - 9000, y, 1}, {ox + 9000, y, 0}});
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(MzPush(oy, ox, ox + 1500, kPushSeg, 1, 300, pusher, 1, 1), 0);
    EXPECT_EQ(CornersOf(conn), (Corners{{ox - 9000, y, 1, 0},
                                        {lo, y, 1, 0},
                                        {lo, y2, 1, 0},
                                        {up, y2, 1, 0},
                                        {up, y, 1, 0},
                                        {ox + 9000, y, 0, 0}}));
}

TEST_F(PushTest, AJumperMovesWholeByOneViaStep) {
    Layer rec;
    LayerGet(2, &rec);
    rec.flags = uint16_t(rec.flags | kLayerJumper);
    {
        DbTrustedScope trusted;
        LayerPut(2, &rec);
    }
    const int32_t x = ox + 300, x2 = ox + 1800;
    Add({{ox - 6000, oy - 3000, 1},
         {x, oy - 3000, 2, 1},
         {x, oy + 3000, 1, 1},
         {ox + 6000, oy + 3000, 0}});
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(MzPush(ox, oy, oy + 1500, kPushSeg, 2, 300, pusher, 1, 0), 0);
    // Short legs on layer 1 join the old places; the reduction takes the
    // legs that line up with their neighbours.
    EXPECT_EQ(CornersOf(conn), (Corners{{ox - 6000, oy - 3000, 1, 0},
                                        {x2, oy - 3000, 2, 1},
                                        {x2, oy + 3000, 1, 1},
                                        {ox + 6000, oy + 3000, 0, 0}}));
}

TEST_F(PushTest, TheAbortKeyIsPolledEveryTwentyPushedConnections) {
    const int32_t x0 = ox - 15000; // room for twenty steps inside the window
    Add({{x0 + 300, oy - 9000, 1}, {x0 + 300, oy + 9000, 0}});
    ASSERT_EQ(MapAll(), 1);
    HeadlessAbortAfter(0);
    PushTable* t = PushEnter();
    t->layer = 1;
    t->direction = 1;
    t->transposed = 0;
    // The line follows the connection one step at a time.
    for (int32_t k = 0; k + 1 < kPushAbortPoll; ++k)
        EXPECT_EQ(PushConn(x0 + 1500 * k, oy - 300, oy + 1800, kPushSeg, 300, entry), 1) << k;
    const Corners before = CornersOf(conn);
    const int32_t x = x0 + 1500 * (kPushAbortPoll - 1);
    EXPECT_EQ(PushConn(x, oy - 300, oy + 1800, kPushSeg, 300, entry), 0);
    EXPECT_EQ(CornersOf(conn), before);
    HeadlessAbortAfter(-1);
    UserAbortReset();
    EXPECT_EQ(PushConn(x, oy - 300, oy + 1800, kPushSeg, 300, entry), 1);
    PushLeave();
}

TEST_F(PushTest, UnmovableSegments) {
    struct Case {
        const char* name;
        std::initializer_list<CrnSpec> corners;
    };
    const int32_t x = ox + 300;
    const Case cases[] = {
        {"both corners pinned",
         {{x, oy - 9000, 1, 0, kCrnLocked}, {x, oy + 9000, 0, 0, kCrnLatched}}},
        {"corner 0 inside the moved part", {{x, oy, 1}, {x, oy + 9000, 0}}},
    };
    for (const Case& c : cases) {
        Add(c.corners);
        ASSERT_EQ(MapAll(), 1);
        const Corners before = CornersOf(conn);
        EXPECT_EQ(Push(), entry) << c.name;
        EXPECT_EQ(CornersOf(conn), before) << c.name;
        EXPECT_EQ(ObjEntry(entry)->flags & kObjFlagPushed, 0) << c.name;
        Restart();
    }
}

TEST_F(PushTest, LowerEndJogsAlongTheSegmentBefore) {
    // The segment before comes from behind on the same layer: a one-step jog
    // along y = its end; above, the segment after absorbs the move.
    const int32_t x = ox + 300;
    const int32_t y = oy - 1350; // inside the moved part, out of the line's reach
    Add({{x - 3000, y, 1}, {x, y, 1}, {x, oy + 1500, 1}, {x + 3000, oy + 1500, 0}});
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(Push(), 0);
    EXPECT_EQ(CornersOf(conn), (Corners{{x - 3000, y, 1, 0}, // the jog is collinear: reduced
                                        {x + 1500, y, 1, 0},
                                        {x + 1500, oy + 1500, 1, 0},
                                        {x + 3000, oy + 1500, 0, 0}}));
}

TEST_F(PushTest, DiagonalSegmentGetsAOneStepNotch) {
    Add({{ox - 1500, oy - 1500, 1}, {ox + 4500, oy + 4500, 0}});
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(Push(), 0);
    // Two notches: the first at the line's x, the second one step before it
    // where the rest of the segment still touched the line; the pieces that
    // line up are reduced.
    EXPECT_EQ(CornersOf(conn), (Corners{{ox - 1500, oy - 1500, 1, 0},
                                        {ox + 1500, oy - 1500, 1, 0},
                                        {ox + 1500, oy + 1500, 1, 0},
                                        {ox + 4500, oy + 4500, 0, 0}}));
}

TEST_F(PushTest, HopsWhenTheConnectionCannotBePushed) {
    const int32_t x = ox + 300;
    Add({{x, oy, 1}, {x, oy + 9000, 1}, {x + 3000, oy + 9000, 0}});
    ASSERT_EQ(MapAll(), 1);
    MzGoal* g = Goal();
    g->hopCount = 0;
    g_pushOptions.hopsAllowed = 1;
    // Three hops already: the fourth is refused and nothing changes.
    g->hopCount = kHopMax;
    g->hopObj[1] = g->hopObj[2] = g->hopObj[3] = int16_t(pusher);
    const Corners before = CornersOf(conn);
    EXPECT_EQ(Push(), entry);
    EXPECT_EQ(CornersOf(conn), before);
    // Already in the table: counts as entered.
    g->hopObj[3] = int16_t(entry);
    EXPECT_EQ(Push(), 0);
    EXPECT_EQ(g->hopCount, kHopMax);
    EXPECT_EQ(CornersOf(conn)[0][2], 0); // the segment in reach became a gap
    // A fresh table takes the hop with its segment's corner.
    Restart();
    Add({{x, oy, 1}, {x, oy + 9000, 1}, {x + 3000, oy + 9000, 0}});
    ASSERT_EQ(MapAll(), 1);
    g->hopCount = 0;
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    EXPECT_EQ(Push(), 0);
    g_verbose = 0;
    DebugSetTraceReceiver(nullptr);
    ASSERT_EQ(g->hopCount, 1);
    EXPECT_EQ(g->hopObj[1], entry);
    EXPECT_EQ(g->hopCrn[1], 0);
    EXPECT_FALSE(g_lines.empty());
    EXPECT_EQ(g_lines[0].rfind("addToHopTable", 0), 0u);
    // A pinned corner in reach refuses the hop.
    Restart();
    Add({{x, oy, 1, 0, kCrnLocked}, {x, oy + 9000, 1}, {x + 3000, oy + 9000, 0}});
    ASSERT_EQ(MapAll(), 1);
    g->hopCount = 0;
    EXPECT_EQ(Push(), entry);
    EXPECT_EQ(g->hopCount, 0);
    // No-Ripup connections never become hops.
    Restart();
    Add({{x, oy, 1}, {x, oy + 9000, 1}, {x + 3000, oy + 9000, 0}}, kConnNoRipup);
    ASSERT_EQ(MapAll(), 1);
    g->hopCount = 0;
    EXPECT_EQ(Push(), entry);
    EXPECT_EQ(g->hopCount, 0);
    // Nor does anything while a ripped hop is re-routed: nothing would
    // re-route it, so the push fails and the connection keeps its copper.
    Restart();
    Add({{x, oy, 1}, {x, oy + 9000, 1}, {x + 3000, oy + 9000, 0}});
    ASSERT_EQ(MapAll(), 1);
    g->hopCount = 0;
    g->hopRouting = 1;
    const Corners routed = CornersOf(conn);
    EXPECT_EQ(Push(), entry);
    g->hopRouting = 0;
    EXPECT_EQ(g->hopCount, 0);
    EXPECT_EQ(CornersOf(conn), routed);
}

TEST_F(PushTest, ViaPushAndItsRefusals) {
    const int32_t x = ox + 300;
    auto viaConn = [&](int32_t flags) {
        return Add({{x - 6000, oy + 600, 2}, {x, oy + 600, 1, 1, flags}, {x + 6000, oy + 600, 0}});
    };
    viaConn(0);
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(Push(), 0);
    const Corners moved = CornersOf(conn);
    ASSERT_GE(moved.size(), 3u);
    bool found = false;
    for (const auto& c : moved)
        if (c[3] == 1) {
            found = true;
            EXPECT_EQ(c[0], x + 1500);
            EXPECT_EQ(c[1], oy + 600);
        }
    EXPECT_TRUE(found);
    // Refusals leave the connection as it was and name it as the blocker.
    struct Case {
        const char* name;
        int32_t flags;
        int32_t viaGrid;
    };
    const Case cases[] = {
        {"locked", kCrnLocked, 0},
        {"latched", kCrnLatched, 0},
        {"step below the via grid", 0, 3000},
    };
    for (const Case& c : cases) {
        Restart();
        DbHdr().fourthGrid = c.viaGrid;
        viaConn(c.flags);
        ASSERT_EQ(MapAll(), 1);
        const Corners before = CornersOf(conn);
        EXPECT_EQ(Push(), entry) << c.name;
        EXPECT_EQ(CornersOf(conn), before) << c.name;
    }
    DbHdr().fourthGrid = 0;
    // The via map forbids the new place.
    Restart();
    viaConn(0);
    ASSERT_EQ(MapAll(), 1);
    ViaMapMarkRect(MzX(x + 1500), MzY(oy + 600), MzX(x + 1500), MzY(oy + 600), 1, kViaBlocked);
    EXPECT_EQ(Push(), entry);
}

TEST_F(PushTest, AViaThatCannotBeClearedBecomesAHop) {
    // A No-Shove connection of net 1 on layer 2 stands beside the via's new
    // place, out of the line's own way.
    StoreConn(1, {{ox + 2400, oy - 3000, 2}, {ox + 2400, oy + 3000, 0}}, 10, kConnNoShove);
    AddConn(ConnCount());
    Add({{ox - 6000, oy + 600, 2}, {ox + 300, oy + 600, 1, 1}, {ox + 300, oy - 6000, 0}});
    ASSERT_EQ(MapAll(), 1);
    const Corners before = CornersOf(conn);
    EXPECT_EQ(Push(), entry);
    EXPECT_EQ(CornersOf(conn), before);
    g_pushOptions.hopsAllowed = 1;
    Goal()->hopCount = 0;
    Goal()->hopRouting = 1; // not while a ripped hop is re-routed
    EXPECT_EQ(Push(), entry);
    EXPECT_EQ(CornersOf(conn), before);
    EXPECT_EQ(Goal()->hopCount, 0);
    Goal()->hopRouting = 0;
    EXPECT_EQ(Push(), 0);
    ASSERT_EQ(Goal()->hopCount, 1);
    EXPECT_EQ(Goal()->hopObj[1], entry);
    EXPECT_EQ(Goal()->hopCrn[1], 0);
    for (const auto& c : CornersOf(conn))
        EXPECT_EQ(c[2], 0) << c[0] << "," << c[1]; // both legs are gaps now
}

TEST_F(PushTest, NoInsertionPassesTheCornerLimit) {
    // A connection one corner short of the insertion limit: the vertical
    // move needs four corners more and fails in the ordinary way.
    Conn c = ConnOf(2, {});
    const int32_t x = ox + 300;
    c.crn[c.head.count++] = Crn{x, oy - 9000, 10, 1, 0, 0, 0};
    c.crn[c.head.count++] = Crn{x, oy + 9000, 10, 1, 0, 0, 0};
    while (c.head.count < kConnInsertLimit - 1) {
        const int32_t k = c.head.count;
        c.crn[k] = Crn{x + 6000 + (k % 2) * 1500, oy + 9000 + (k / 2) * 30, 10, 1, 0, 0, 0};
        ++c.head.count;
    }
    c.crn[c.head.count - 1].layer = 0;
    conn = ConnAdd();
    {
        DbTrustedScope trusted;
        ConnPut(conn, &c);
    }
    entry = AddConn(conn);
    ASSERT_EQ(MapAll(), 1);
    const Corners before = CornersOf(conn);
    EXPECT_EQ(Push(), entry);
    EXPECT_EQ(CornersOf(conn), before);
}

} // namespace

namespace {

// U2's pin 1 (39,000, 30,000; a round pad of radius 1,800, net 1) stands in
// the way of a vertical connection moved from x = 36,300 to 37,800.
class PushDetourTest : public PushTest {
  protected:
    static void SetAngle(int32_t angle) {
        Component u2;
        CompGet(2, &u2);
        u2.angle = int16_t(angle);
        DbTrustedScope trusted;
        CompPut(2, &u2);
    }
    // The first pad shape of the pin's thru code on layer 1 becomes code.
    static void SetPadCode(int32_t code) {
        PlacedPin pin;
        CompPinXY(2, 1, &pin);
        ThruCode t;
        ThruGet(pin.thru, &t);
        t.layer[1].shape[0].code = uint8_t(code);
        DbTrustedScope trusted;
        ThruPut(pin.thru, &t);
    }
    void Build(int32_t angle = 0) {
        SetAngle(angle);
        pad = AddPad(2, 1, 1);
        Add({{36300, 20000, 1}, {36300, 40000, 0}});
        ASSERT_EQ(MapAll(), 1);
        g_pushOptions.jumpsEnabled = 1;
    }
    int32_t PushAtPad() { return MzPush(36000, 29000, 30000, kPushSeg, 1, 300, pusher, 1, 0); }
    int32_t pad = 0;
};

TEST_F(PushDetourTest, AConnectionJumpsAroundABlockingPad) {
    Build();
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    EXPECT_EQ(PushAtPad(), 0);
    g_verbose = 0;
    DebugSetTraceReceiver(nullptr);
    // The pad's box widened by 900 and put on the grid: y 27,000 .. 33,000,
    // the far leg at x 42,000.
    EXPECT_EQ(CornersOf(conn), (Corners{{36300, 20000, 1, 0},
                                        {36300, 27000, 1, 0},
                                        {42000, 27000, 1, 0},
                                        {42000, 33000, 1, 0},
                                        {36300, 33000, 1, 0},
                                        {36300, 40000, 0, 0}}));
    EXPECT_NE(std::find_if(g_lines.begin(), g_lines.end(),
                           [](const std::string& l) {
                               return l.rfind("jumpStitch: jump complete", 0) == 0;
                           }),
              g_lines.end());
}

TEST_F(PushDetourTest, NoDetourInStitchModeWithoutJumpsOrForATurnedPad) {
    struct Case {
        const char* name;
        int32_t angle, stitch, jumps;
    };
    const Case cases[] = {
        {"stitch mode", 0, 1, 1},
        {"jumps disabled", 0, 0, 0},
        {"pad turned by 30 degrees", 1800, 0, 1},
    };
    for (const Case& c : cases) {
        Build(c.angle);
        SetPadCode(kPadRect); // a shape whose turn matters
        g_pushOptions.stitchMode = int16_t(c.stitch);
        g_pushOptions.jumpsEnabled = int16_t(c.jumps);
        const Corners before = CornersOf(conn);
        EXPECT_EQ(PushAtPad(), entry) << c.name;
        EXPECT_EQ(CornersOf(conn), before) << c.name;
        g_pushOptions = PushOptions{};
        Restart();
        SetPadCode(kPadRound);
    }
}

TEST_F(PushTest, ACrossingSegmentIsGivenUpAfterTwentyPasses) {
    // The segment crosses the line: moving the end of its gap never clears
    // it.
    Add({{ox - 3000, oy + 600, 1}, {ox + 300, oy + 600, 0}, {ox + 9000, oy + 600, 0}});
    ASSERT_EQ(MapAll(), 1);
    const Corners before = CornersOf(conn);
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    EXPECT_EQ(Push(), entry);
    g_verbose = 0;
    DebugSetTraceReceiver(nullptr);
    EXPECT_EQ(CornersOf(conn), before);
    EXPECT_NE(std::find(g_lines.begin(), g_lines.end(), "PushConn: FAIL infinite loop"),
              g_lines.end());
}

TEST_F(PushTest, AnEndBeforeAGapMoves) {
    // A horizontal segment coming from ahead and ending where a gap starts.
    Add({{ox + 6000, oy + 600, 1}, {ox + 300, oy + 600, 0}, {ox + 9000, oy + 3000, 0}});
    ASSERT_EQ(MapAll(), 1);
    EXPECT_EQ(Push(), 0);
    EXPECT_EQ(CornersOf(conn)[1], (std::vector<int32_t>{ox + 1800, oy + 600, 0, 0}));
}

} // namespace
