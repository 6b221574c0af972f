// Net node lists and chain ordering: building and reading node lists, the
// conversion of connections into chains, forming chains from nodes, loose
// copper, writing chains back, the checked and the journal variants, and the
// chain steps of validation.
#include <gtest/gtest.h>

#include "chainfixture.h"
#include "db/pool.h"

namespace {

// ---- node lists ------------------------------------------------------------------

TEST_F(ChainTest, NodeListsTakePinsSegmentsAndViasOnce) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0);
    EXPECT_FATAL(NetNodeListBuild(Rec(NetCount() + 1, a, b, {{0, 0}, {1, 0}}).get()), 5234049);
    EXPECT_FATAL(NetNodeListBuild(Rec(-1, a, b, {{0, 0}, {1, 0}}).get()), 5234049);
    // A zero-length segment makes no node; a via at (5000, 0) once.
    NetNodeListBuild(
        Rec(net, a, b, {{0, 0, 1}, {5000, 0, 1, 0, 1}, {5000, 0, 2}, {10000, 0}}).get());
    // The same pins, the same segment turned round (wider), the same via.
    NetNodeListBuild(Rec(net, b, a, {{10000, 0, 2, 0, 0, 30}, {5000, 0, 1, 0, 1}, {0, 0}}).get());
    EXPECT_EQ(NetNodeListCount(net), 5); // two pins, two segments, one via
    auto buf = std::make_unique<Conn>();
    std::vector<std::string> got;
    while (NetNodeGet(net, buf.get()))
        got.push_back(Text(buf.get()) + (buf->head.count == 2
                                             ? " w" + std::to_string(buf->crn[0].width)
                                             : std::string()));
    // Newest first: the later connection's segments were merged into the
    // first ones, so only the first connection's nodes are there.
    EXPECT_EQ(got, (Texts{"0-0 5000,0v1", "0-0 5000,0/2 10000,0 w30", "0-0 0,0/1 5000,0 w10", "2-0",
                          "1-0"}));
    EXPECT_EQ(NetNodeGet(net, buf.get()), 0);
}

TEST_F(ChainTest, NodeListsFindDuplicatesAfterTheListsChanged) {
    int32_t a = Pin(0, 0), b = Pin(9000, 0);
    auto rec = Rec(net, a, b, {{0, 0, 1}, {3000, 0, 1, 0, 1}, {9000, 0}});
    auto turned = Rec(net, b, a, {{9000, 0, 1}, {3000, 0, 1, 0, 1}, {0, 0}});
    // Short lists are scanned, long ones looked up: the same either way.
    for (int32_t filler : {0, 30}) {
        SCOPED_TRACE(filler);
        NetNodeListFree();
        auto far = Rec(net, 0, 0, {});
        far->head.count = int16_t(filler ? filler + 1 : 0);
        for (int32_t i = 0; i <= filler; ++i) {
            far->crn[i].x = i * 100;
            far->crn[i].y = 90000;
            far->crn[i].layer = i < filler ? 1 : 0;
        }
        NetNodeListBuild(far.get());
        NetNodeListBuild(rec.get());
        EXPECT_EQ(NetNodeListCount(net), filler + 5); // two pins, two segments, a via
        // A node taken off the list is added again; the others are found.
        auto buf = std::make_unique<Conn>();
        ASSERT_EQ(NetNodeGet(net, buf.get()), 1);
        EXPECT_EQ(Text(buf.get()), "0-0 3000,0v1");
        NetNodeListBuild(rec.get());
        EXPECT_EQ(NetNodeListCount(net), filler + 5);
        // Loose copper appended to the net by the assignment is found too:
        // the same piece built into the net only widens it.
        NetNodeListBuild(Rec(0, 0, 0, {{9000, 0, 2}, {9000, 4000}}).get());
        ChainOrderNet(0);
        EXPECT_EQ(NetNodeListCount(net), filler + 6);
        NetNodeListBuild(Rec(net, b, 0, {{9000, 0, 2, 0, 0, 40}, {9000, 4000}}).get());
        EXPECT_EQ(NetNodeListCount(net), filler + 6);
        for (int32_t k = 0; k < 20; ++k)
            NetNodeListBuild(k % 2 ? rec.get() : turned.get());
        EXPECT_EQ(NetNodeListCount(net), filler + 6);
        std::vector<int32_t> widths;
        while (NetNodeGet(net, buf.get()))
            if (buf->crn[0].layer == 2) widths.push_back(buf->crn[0].width);
        EXPECT_EQ(widths, std::vector<int32_t>{40});
    }
}

TEST_F(ChainTest, NodeListsWidenTheNetAndKeepArcs) {
    NetNodeListBuild(Rec(net, 0, 0, {{0, 0, 1, 0, 0, 4}, {100, 0, 1, 0, 0, 25}, {200, 0}}).get());
    EXPECT_EQ(NetRef(net)->minWidth, 4);
    EXPECT_EQ(NetRef(net)->maxWidth, 25);
    // An arc from (0, 1000) about (0, 0) to (1000, 0); the equal arc taken
    // the other way round only widens it.
    NetNodeListBuild(Rec(net, 0, 0, {{0, 1000, 1}, {0, 0, 1, kCrnArc}, {1000, 0}}).get());
    NetNodeListBuild(
        Rec(net, 0, 0, {{1000, 0, 1, 0, 0, 20}, {0, 0, 1, kCrnArc, 0, 20}, {0, 1000}}).get());
    auto buf = std::make_unique<Conn>();
    ASSERT_EQ(NetNodeGet(net, buf.get()), 1);
    EXPECT_EQ(Text(buf.get()), "0-0 0,1000/1 0,0/1f4 1000,0");
    EXPECT_EQ(int32_t(buf->crn[0].width), 20);
}

TEST_F(ChainTest, NodeGetChecksAndChainsSegmentsUpToAFullConnection) {
    auto buf = std::make_unique<Conn>();
    EXPECT_FATAL(NetNodeGet(net, buf.get()), 5234087);
    // 1,500 segments in a row on layer 1, added as three pieces.
    for (int32_t piece = 0; piece < 3; ++piece) {
        auto r = Rec(net, 0, 0, {});
        r->head.count = 501;
        for (int32_t i = 0; i <= 500; ++i) {
            r->crn[i].x = (piece * 500 + i) * 10;
            r->crn[i].layer = i < 500 ? 1 : 0;
            r->crn[i].width = 10;
        }
        NetNodeListBuild(r.get());
    }
    EXPECT_FATAL(NetNodeGet(0, buf.get()), 5234086);
    EXPECT_FATAL(NetNodeGet(NetCount() + 1, buf.get()), 5234086);
    int32_t later = AddNet();
    EXPECT_EQ(NetNodeGet(later, buf.get()), 0);
    ASSERT_EQ(NetNodeGet(net, buf.get()), 1);
    EXPECT_EQ(buf->head.count, 1000);
    EXPECT_EQ(buf->head.net, net);
    EXPECT_EQ(int32_t(buf->crn[999].x), 15000);
    EXPECT_EQ(int32_t(buf->crn[0].x), 15000 - 999 * 10);
    ASSERT_EQ(NetNodeGet(net, buf.get()), 1);
    EXPECT_EQ(buf->head.count, 502);
    EXPECT_EQ(int32_t(buf->crn[0].x), 0);
    EXPECT_EQ(NetNodeGet(net, buf.get()), 0);
}

TEST_F(ChainTest, NetsBeyondTenThousandHaveNodeLists) {
    while (NetCount() < 10001)
        AddNet();
    int32_t a = Pin(0, 0), b = Pin(5000, 0);
    NetNodeListBuild(Rec(10001, a, b, {{0, 0, 1}, {5000, 0}}).get());
    ChainOrderNet(10001);
    EXPECT_EQ(Conns(10001), (Texts{"1-2 0,0/1 5000,0"}));
}

// ---- chain ordering from connections -----------------------------------------------------

TEST_F(ChainTest, DuplicatesBecomeOneConnection) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0);
    Put(Rec(net, a, b, {{0, 0, 1}, {10000, 0}}));
    Put(Rec(net, b, a, {{10000, 0, 1}, {0, 0}}));
    ChainOrderNet(net);
    ASSERT_EQ(ConnCount(), 1);
    EXPECT_EQ(Pairs(net), (Pairs_t{{a, b}}));
    // Two pure gaps between the same pins: one remains.
    Put(Rec(net, a, b, {{0, 0}, {10000, 0}}));
    int32_t n2 = AddNet();
    Put(Rec(n2, a, b, {{0, 0}, {10000, 0}}));
    Put(Rec(n2, b, a, {{10000, 0}, {0, 0}}));
    ChainOrderNet(n2);
    EXPECT_EQ(Conns(n2).size(), 1u);
    // The keep-all switch keeps both copies of the copper.
    int32_t n3 = AddNet();
    Put(Rec(n3, a, b, {{0, 0, 1}, {10000, 0}}));
    Put(Rec(n3, a, b, {{0, 0, 2}, {10000, 0}}));
    ChainSetKeepAll(true);
    ChainOrderNet(n3);
    EXPECT_EQ(Conns(n3), (Texts{"1-2 0,0/1 10000,0", "1-2 0,0/2 10000,0"}));
}

TEST_F(ChainTest, TwoGappedCopiesAreSplicedIntoOne) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0);
    Put(Rec(net, a, b, {{0, 0, 1}, {2000, 0, 0}, {8000, 0, 1}, {10000, 0}}));
    Put(Rec(net, a, b, {{0, 0, 2}, {3000, 100, 0}, {7000, 100, 2}, {10000, 0}}));
    ChainOrderNet(net);
    // The first one's copper at A, a new gap, the other's copper at B.
    EXPECT_EQ(Conns(net), (Texts{"1-2 0,0/1 2000,0/0 7000,100/2 10000,0"}));
}

TEST_F(ChainTest, OnePinWithoutCopperMakesNothing) {
    int32_t a = Pin(0, 0);
    NetNodeListBuild(Rec(net, a, 0, {{0, 0}, {0, 0}}).get());
    ChainOrderNet(net);
    EXPECT_EQ(ConnCount(), 0);
    ChainOrderNetChecked(net);
    EXPECT_EQ(ConnCount(), 0);
}

TEST_F(ChainTest, CopperStaysWithThePinItLeaves) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0);
    // Routed from the to end, unrouted at the from end.
    Put(Rec(net, a, b, {{0, 0, 0}, {4000, 0, 1}, {10000, 0}}));
    ChainOrderNet(net);
    EXPECT_EQ(Conns(net), (Texts{"1-2 0,0/0 4000,0/1 10000,0"}));
    EXPECT_EQ(ConnRef(1)->head.fromComp, b);
}

TEST_F(ChainTest, CopperBetweenTwoGapsIsDroppedAndThePinsRejoined) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0);
    Put(Rec(net, a, b, {{0, 0, 0}, {3000, 0, 1}, {6000, 0, 0}, {10000, 0}}));
    ChainOrderNet(net);
    ASSERT_EQ(ConnCount(), 1);
    EXPECT_EQ(ConnRef(1)->head.count, 2);
    EXPECT_EQ(Pairs(net), (Pairs_t{{a, b}}));
}

TEST_F(ChainTest, ArcConnectionsSurviveUntouched) {
    int32_t a = Pin(0, 1000), b = Pin(1000, 0), c = Pin(5000, 0);
    auto arc = Rec(net, a, b, {{0, 1000, 1}, {0, 0, 1, kCrnArc}, {1000, 0}});
    arc->head.flags = kConnArc;
    Put(arc);
    Put(Rec(net, b, c, {{1000, 0, 1}, {5000, 0}}));
    std::string before = Text(ConnRef(1));
    ChainOrderNet(net);
    EXPECT_EQ(Conns(net), (Texts{before, "2-3 1000,0/1 5000,0"}));
}

TEST_F(ChainTest, ConnectionsFromAFreeEndStartAtTheirPin) {
    int32_t a = Pin(0, 0), b = Pin(20000, 0);
    Put(Rec(net, a, b, {{0, 0}, {20000, 0}}));
    // A T-junction left at (5000, 0) toward B keeps its copper.
    Put(Rec(net, 0, b, {{5000, 0, 2}, {20000, 0}}));
    // Two free ends: dropped.
    Put(Rec(net, 0, 0, {{7000, 0, 1}, {8000, 0}}));
    ChainOrderNet(net);
    EXPECT_EQ(Conns(net), (Texts{"1-2 0,0/0 5000,0/2 20000,0"}));
}

TEST_F(ChainTest, TwoSeparateTreesAreJoinedEvenUnderTheStrictFlag) {
    // A net held as two separate trees (as a design file may list it) is
    // joined by both orderings; under the strict flag too.
    int32_t a = Pin(0, 0), b = Pin(1000, 0), c = Pin(5000, 0), d = Pin(6000, 0);
    Put(Rec(net, a, b, {{0, 0}, {1000, 0}}));
    Put(Rec(net, c, d, {{5000, 0}, {6000, 0}}));
    ChainOrderNetChecked(net);
    EXPECT_EQ(Pairs(net), (Pairs_t{{a, b}, {b, c}, {c, d}}));
    int32_t n2 = AddNet();
    Put(Rec(n2, a, b, {{0, 0}, {1000, 0}}));
    Put(Rec(n2, c, d, {{5000, 0}, {6000, 0}}));
    DebugSetFlags(0, 1);
    ChainOrderNet(n2);
    DebugSetFlags(0, 0);
    EXPECT_EQ(Pairs(n2), (Pairs_t{{a, b}, {b, c}, {c, d}}));
}

TEST_F(ChainTest, CheckedOrderingSkipsNoRouteAndTypeBitOne) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0);
    int32_t noRoute = AddNet(0, kNetNoRoute), typed = AddNet(0x01);
    Put(Rec(noRoute, a, b, {{0, 0, 1}, {10000, 0}}));
    Put(Rec(noRoute, a, b, {{0, 0, 1}, {10000, 0}}));
    Put(Rec(typed, a, b, {{0, 0, 1}, {10000, 0}}));
    Put(Rec(typed, a, b, {{0, 0, 1}, {10000, 0}}));
    ChainOrderNetChecked(noRoute);
    ChainOrderNetChecked(typed);
    EXPECT_EQ(ConnCount(), 4);
}

TEST_F(ChainTest, ExcessCornersAreWrittenInPiecesJoinedAtFreeEnds) {
    int32_t a = Pin(0, 0), b = Pin(15000, 0);
    // A to B through 1,500 segments on layer 1, in two pieces.
    auto first = Rec(net, a, 0, {});
    first->head.count = 1000;
    for (int32_t i = 0; i < 1000; ++i)
        first->crn[i] = Crn{i * 10, 0, 10, 1, 0, 0, 0};
    auto second = Rec(net, 0, b, {});
    second->head.count = 502;
    for (int32_t i = 0; i <= 501; ++i)
        second->crn[i] = Crn{(999 + i) * 10, 0, 10, uint8_t(i < 501 ? 1 : 0), 0, 0, 0};
    NetNodeListBuild(first.get());
    NetNodeListBuild(second.get());
    ChainOrderNet(net);
    ASSERT_EQ(ConnCount(), 2);
    const Conn* p = ConnRef(1);
    const Conn* q = ConnRef(2);
    if (p->head.fromComp == 0) std::swap(p, q);
    // The first piece leaves a pin and ends free; the second goes on from
    // there to the other pin.
    EXPECT_NE(p->head.fromComp, 0);
    EXPECT_EQ(p->head.toComp, 0);
    EXPECT_EQ(p->head.count, 1000);
    EXPECT_EQ(q->head.fromComp, 0);
    EXPECT_EQ(q->head.toComp, p->head.fromComp == a ? b : a);
    EXPECT_EQ(int32_t(q->crn[0].x), int32_t(p->crn[999].x));
    EXPECT_EQ(p->head.count + q->head.count, 1502);
}

// ---- forming chains from nodes -------------------------------------------------------------

TEST_F(ChainTest, NodesFormChainsThroughViasAndPads) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0), c = Pin(0, 8000);
    // Pins from unrouted connections; copper as loose pieces of the net:
    // A's pad captures the end at (400, 0); a via joins layers 1 and 2.
    NetNodeListBuild(Rec(net, a, b, {{0, 0}, {10000, 0}}).get());
    NetNodeListBuild(Rec(net, a, c, {{0, 0}, {0, 8000}}).get());
    NetNodeListBuild(Rec(net, 0, 0, {{400, 0, 1}, {5000, 0, 2, 0, 1}, {10000, 0}}).get());
    ChainOrderNet(net);
    EXPECT_EQ(Conns(net), (Texts{"1-2 0,0/1 400,0/1 5000,0/2v1 10000,0", "1-3 0,0/0 0,8000"}));
}

TEST_F(ChainTest, EndsMeetingAtAJunctionCloseIntoChains) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0), c = Pin(5000, 5000);
    NetNodeListBuild(Rec(net, a, b, {{0, 0}, {10000, 0}}).get());
    NetNodeListBuild(Rec(net, a, c, {{0, 0}, {5000, 5000}}).get());
    // Three pieces of copper meet at (5000, 0).
    NetNodeListBuild(Rec(net, 0, 0, {{0, 0, 1}, {5000, 0}}).get());
    NetNodeListBuild(Rec(net, 0, 0, {{10000, 0, 1}, {5000, 0}}).get());
    NetNodeListBuild(Rec(net, 0, 0, {{5000, 5000, 1}, {5000, 0}}).get());
    ChainOrderNet(net);
    // Every pin is reached through the copper, without a gap; the first
    // end at the junction closes with both others.
    Texts got = Conns(net);
    ASSERT_EQ(got.size(), 2u);
    for (const std::string& t : got)
        EXPECT_EQ(t.find("/0"), std::string::npos) << t;
    EXPECT_EQ(Pairs(net).size(), 2u);
}

TEST_F(ChainTest, AViaPadReachesAFreeEnd) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0);
    NetNodeListBuild(Rec(net, a, b, {{0, 0}, {10000, 0}}).get());
    // A's copper ends at a via on (5000, 0); free copper starts 200 from it
    // on layer 2 and ends short of B.
    NetNodeListBuild(Rec(net, 0, 0, {{0, 0, 1}, {5000, 0, 0, 0, 1}, {5000, 0}}).get());
    NetNodeListBuild(Rec(net, 0, 0, {{5200, 0, 2}, {8000, 0}}).get());
    ChainOrderNet(net);
    EXPECT_EQ(Conns(net), (Texts{"1-2 0,0/1 5000,0/2v1 5200,0/2 8000,0/0 10000,0"}));
}

TEST_F(ChainTest, ASegmentEndInsideAViaPadReachesTheVia) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0);
    // A's copper is followed first, while the via is still free.
    NetNodeListBuild(Rec(net, b, a, {{10000, 0}, {0, 0}}).get());
    // A's copper ends 200 short of a via that B's copper leaves on layer 2.
    NetNodeListBuild(Rec(net, 0, 0, {{0, 0, 1}, {4800, 0}}).get());
    NetNodeListBuild(Rec(net, 0, 0, {{5000, 0, 2, 0, 1}, {10000, 0}}).get());
    ChainOrderNet(net);
    EXPECT_EQ(Conns(net), (Texts{"1-2 0,0/1 4800,0/1 5000,0/2v1 10000,0"}));
}

TEST_F(ChainTest, ViaPadTouchByShape) {
    struct Case {
        uint8_t code;
        int32_t ex, ey;
        int32_t touch;
    } cases[] = {
        {kPadRound, 300, 0, 1},   {kPadRound, 220, 220, 0},  {kPadThermal, 0, 300, 1},
        {kPadAnnular, 0, 301, 0}, {kPadSquare, 300, 300, 1}, {kPadSquare, 301, 0, 0},
        {kPadRect, -100, 0, 1},   {kPadRect, -101, 0, 0},    {kPadOblong, 400, 200, 1},
        {kPadOval, 400, 201, 0},  {kPadUndef, 0, 0, 0},
    };
    ThruCode v;
    ThruGet(1, &v);
    for (const Case& c : cases) {
        // Extents: left 100, bottom 50, right 400, top 200 for the box shapes.
        PadShape& s = v.layer[1].shape[0];
        s.code = c.code;
        if (c.code >= kPadOblong && c.code <= kPadOval) {
            s.ext[0] = 100, s.ext[1] = 50, s.ext[2] = 400, s.ext[3] = 200;
        } else {
            s.ext[0] = s.ext[1] = s.ext[2] = s.ext[3] = 300;
        }
        ThruPut(1, &v);
        EXPECT_EQ(ViaPadTouch(1, 0, 0, 1, c.ex, c.ey), c.touch) << int(c.code) << " " << c.ex;
    }
    v.layer[1].shape[0].code = 9;
    {
        DbTrustedScope trusted;
        ThruPut(1, &v);
    }
    EXPECT_FATAL(ViaPadTouch(1, 0, 0, 1, 0, 0), 5236038);
}

// ---- loose copper ---------------------------------------------------------------------------

TEST_F(ChainTest, LooseCopperJoinsTheNetItTouches) {
    int32_t n2 = AddNet(), n3 = AddNet();
    int32_t a = Pin(0, 0), b = Pin(9000, 0), c = Pin(50000, 0), d = Pin(60000, 0);
    NetNodeListBuild(Rec(n3, a, b, {{0, 0}, {9000, 0}}).get());
    NetNodeListBuild(Rec(n2, c, d, {{50000, 0}, {60000, 0}}).get());
    // Loose: from A's pin, a second piece chained to it (touching only at
    // its second point), and one piece far away.
    NetNodeListBuild(Rec(0, 0, 0, {{0, 0, 1}, {3000, 0}}).get());
    NetNodeListBuild(Rec(0, 0, 0, {{9000, 0, 1}, {3000, 0}}).get());
    NetNodeListBuild(Rec(0, 0, 0, {{30000, 0, 1}, {31000, 0}}).get());
    EXPECT_EQ(NetNodeListCount(0), 3);
    ChainOrderNet(0);
    EXPECT_EQ(NetNodeListCount(0), 1);
    EXPECT_EQ(NetNodeListCount(n3), 4);
    // Ordering another net returns what it did not use to list 0.
    ChainOrderNet(n2);
    EXPECT_EQ(NetNodeListCount(0), 1);
    ChainOrderNet(n3);
    EXPECT_EQ(Conns(n3), (Texts{"1-2 0,0/1 3000,0/1 9000,0"}));
    EXPECT_EQ(NetNodeListCount(0), 1);
}

TEST_F(ChainTest, ListZeroIsReturnedWhenTheNetHasTooFewPins) {
    int32_t a = Pin(0, 0);
    NetNodeListBuild(Rec(net, a, 0, {{0, 0}, {100, 0}}).get());
    NetNodeListBuild(Rec(0, 0, 0, {{0, 0, 1}, {3000, 0}}).get());
    ChainOrderNet(net);
    EXPECT_EQ(NetNodeListCount(0), 1);
    EXPECT_EQ(NetNodeListCount(net), 0);
}

// ---- writing back ------------------------------------------------------------------------------

TEST_F(ChainTest, WrittenCornersKeepViasLocksAndArcs) {
    int32_t a = Pin(0, 1000), b = Pin(3000, 0);
    NetNodeListBuild(Rec(net, a, b, {{0, 1000}, {3000, 0}}).get());
    // An arc to (1000, 0), then a locked segment to a via, then layer 2.
    NetNodeListBuild(Rec(net, 0, 0,
                         {{0, 1000, 1},
                          {0, 0, 1, kCrnArc},
                          {1000, 0, 1, kCrnLocked},
                          {2000, 0, 2, 0, 1},
                          {3000, 0}})
                         .get());
    ChainOrderNet(net);
    ASSERT_EQ(ConnCount(), 1);
    const Conn* r = ConnRef(1);
    // The arc's ends and the locked segment's ends are Locked (the stored
    // arc adds Latched), the centre is an arc centre, the via stands where
    // layer 2 starts.
    EXPECT_EQ(Text(r), "1-2 0,1000/1f3 0,0/1f7 1000,0/1f3 2000,0/2v1f1 3000,0");
    EXPECT_TRUE(r->head.flags & kConnArc);
}

TEST_F(ChainTest, TwoGapsInARowLoseTheirCommonCorner) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0);
    Put(Rec(net, a, b, {{0, 0, 1}, {2000, 0, 0}, {5000, 0, 0}, {8000, 0, 1}, {10000, 0}}));
    ChainOrderNet(net);
    EXPECT_EQ(Conns(net), (Texts{"1-2 0,0/1 2000,0/0 8000,0/1 10000,0"}));
}

// ---- the journal variant
// -------------------------------------------------------------------------

TEST_F(ChainTest, SavedOrderingWorksInTheJournal) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0), c = Pin(20000, 0);
    Put(Rec(net, a, b, {{0, 0, 1}, {10000, 0}}));
    Put(Rec(net, b, a, {{10000, 0, 1}, {0, 0}}));
    Put(Rec(net, b, c, {{10000, 0}, {20000, 0}}));
    int32_t other = AddNet(0, kNetNoRoute);
    EXPECT_EQ(ChainOrderNetSaved(other), 1);
    AltPush();
    auto buf = std::make_unique<Conn>();
    for (int32_t k = 1; k <= 3; ++k) {
        ConnGet(k, buf.get());
        AltPut(kRecConn, k, 0, buf.get());
    }
    EXPECT_EQ(ChainOrderNetSaved(net), 0);
    ASSERT_EQ(AltCount(), 5);
    AltItemHeader h;
    for (int32_t i = 1; i <= 3; ++i) {
        AltGet(i, &h, buf.get());
        EXPECT_EQ(h.flags & 0x0082, 0x0082) << i;
    }
    std::vector<std::string> made;
    for (int32_t i = 4; i <= 5; ++i) {
        AltGet(i, &h, buf.get());
        EXPECT_EQ(h.type, kRecConn);
        EXPECT_EQ(h.flags & (kAltCreated | kAltDeleted), kAltCreated);
        EXPECT_EQ(h.index, 3 + i);
        made.push_back(Text(buf.get()));
    }
    std::sort(made.begin(), made.end());
    EXPECT_EQ(made, (Texts{"1-2 0,0/1 10000,0", "2-3 10000,0/0 20000,0"}));
    EXPECT_EQ(ConnCount(), 3); // the tables are untouched
    AltPop(false);
    // A connection item numbered past every connection and item is broken.
    EXPECT_EQ(ChainOrderNetSaved(AddNet(0x01)), 1);
    AltPush();
    ConnGet(1, buf.get());
    AltPut(kRecConn, 5, 0, buf.get());
    EXPECT_FATAL(ChainOrderNetSaved(net), 5265999);
    AltPop(false);
}

// ---- validation
// ------------------------------------------------------------------------------------

TEST_F(ChainTest, ValidationOrdersAndRebuildsNets) {
    int32_t a = Pin(0, 0), b = Pin(10000, 0);
    int32_t kept = AddNet(0, kNetNoRoute);
    Put(Rec(kept, a, b, {{0, 0, 1}, {10000, 0}}));
    Put(Rec(kept, a, b, {{0, 0, 1}, {10000, 0}}));
    Put(Rec(net, a, b, {{0, 0, 1}, {5000, 0}, {5000, 0, 1}, {10000, 0}}));
    Put(Rec(net, b, a, {{10000, 0, 1}, {0, 0}}));
    // Loose copper from an earlier load, touching B.
    NetNodeListBuild(Rec(0, 0, 0, {{10000, 0, 2}, {10000, 5000}}).get());
    DbHdr().flags |= kHdrNetRebuild;
    EXPECT_EQ(DbValidateStepGet(kHdrNetRebuild), &NetRebuildAll);
    DbValidate();
    EXPECT_EQ(Conns(kept).size(), 2u);
    // The rebuilt net: one connection A-B. The loose piece joins the net at
    // B but leads nowhere, and A is already joined to B.
    EXPECT_EQ(Pairs(net), (Pairs_t{{a, b}}));
    EXPECT_EQ(NetNodeListCount(0), 0);
    // Validation orders each net from its own connections.
    int32_t n3 = AddNet();
    Put(Rec(n3, a, b, {{0, 0, 1}, {10000, 0}}));
    Put(Rec(n3, a, b, {{0, 0, 1}, {10000, 0}}));
    DbHdr().flags |= kHdrNetValidate;
    DbValidate();
    EXPECT_EQ(Conns(n3).size(), 1u);
    EXPECT_EQ(Conns(kept).size(), 2u);
}

} // namespace
