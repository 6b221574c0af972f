// The placement tree: where entries live, queries, the journal's images,
// the conflict and cost of a component, and a seeded sequence of edits
// after which the kept tree equals one built afresh.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "db/geom.h"
#include "place/plmodel.h"
#include "place/pltree.h"
#include "plfixture.h"

namespace {

class PlTreeTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        SetHeader(1);
        board = AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
        r2 = RowSymbol("R2", 2, 1000, int16_t(both));
        place = AddRect(kObsPlaceOutline, r2, -200, -200, 200, 1200);
        hits = std::make_unique<PlTreeHits>();
    }
    const PlTreeEntryInfo* Find(int32_t owner, int32_t obstacle) {
        m_entries = PlTreeEntries();
        for (const PlTreeEntryInfo& e : m_entries)
            if (e.owner == owner && e.obstacle == obstacle) return &e;
        return nullptr;
    }
    int32_t Count(int32_t owner, int32_t obstacle) {
        int32_t n = 0;
        for (const PlTreeEntryInfo& e : PlTreeEntries())
            n += e.owner == owner && e.obstacle == obstacle;
        return n;
    }
    int32_t Query(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer) {
        PlTreeQuery(x1, y1, x2, y2, layer, hits.get());
        return hits->count;
    }
    int32_t board = 0, r2 = 0, place = 0;
    std::unique_ptr<PlTreeHits> hits;

  private:
    std::vector<PlTreeEntryInfo> m_entries;
};

TEST_F(PlTreeTest, ClassesOfObstacleKinds) {
    for (int32_t kind = 0; kind <= 19; ++kind) {
        const int32_t expect = kind == 4 || kind == 8                  ? kPlClassKeepIn
                               : kind == 9 || kind == 10 || kind == 11 ? kPlClassOutline
                                                                       : kPlClassNone;
        EXPECT_EQ(PlObsClass(kind), expect) << kind;
    }
}

TEST_F(PlTreeTest, KeepInsLiveAtTheRootAndMeetEveryQueryOnTheirLayer) {
    const int32_t keepin = AddRect(kObsCompKeepin, 0, 100, 100, 200, 200, 1);
    AddRect(kObsRouteKeepout, 0, 100, 100, 200, 200); // not in the tree
    PlTreeInit();
    const PlTreeEntryInfo* e = Find(0, keepin);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->depth, 0);
    EXPECT_EQ(e->x1, -kPlTreeFar);
    EXPECT_EQ(e->y2, kPlTreeFar);
    EXPECT_EQ(PlTreeEntries().size(), 2u);
    EXPECT_EQ(Query(30000, 30000, 30001, 30001, 1), 2);
    EXPECT_EQ(Query(30000, 30000, 30001, 30001, 2), 1); // the layer-0 outline only
    EXPECT_EQ(Query(30000, 30000, 30001, 30001, 0), 2);
}

TEST_F(PlTreeTest, BoxesTouchingACentreLineStayInTheParent) {
    DbHeader h;
    DbGetHeader(&h);
    const int32_t cx = int32_t((int64_t(h.extMinX) + h.extMaxX) / 2);
    const int32_t cy = int32_t((int64_t(h.extMinY) + h.extMaxY) / 2);
    const int32_t touching = AddRect(kObsCompKeepout, 0, cx, cy + 100, cx + 500, cy + 600);
    const int32_t straddling = AddRect(kObsCompKeepout, 0, cx - 10, 100, cx + 10, 200);
    const int32_t quadrant =
        AddRect(kObsCompKeepout, 0, cx + 1000, cy + 1000, cx + 1100, cy + 1100);
    PlTreeInit();
    EXPECT_EQ(Find(0, touching)->depth, 0);
    EXPECT_EQ(Find(0, straddling)->depth, 0);
    EXPECT_GE(Find(0, quadrant)->depth, 1);
    // Open intervals: a query that only touches the box misses it.
    EXPECT_EQ(Query(cx + 1100, cy + 1000, cx + 1200, cy + 1100, 1), 1); // the outline only
    EXPECT_EQ(Query(cx + 1099, cy + 1000, cx + 1200, cy + 1100, 1), 2);
}

TEST_F(PlTreeTest, OneInsertionCreatesAtMostTenChildren) {
    AddRect(kObsBoardOutline, 0, 0, 0, 2000000, 2000000);
    const int32_t tiny = AddRect(kObsCompKeepout, 0, 3, 3, 4, 4);
    PlTreeInit();
    EXPECT_EQ(Find(0, tiny)->depth, kPlTreeMaxNewChildren);
}

TEST_F(PlTreeTest, InsertOnceRemoveReusesAndTwoMatchesAreFatal) {
    const int32_t k = AddRect(kObsCompKeepout, 0, 1000, 1000, 1100, 1100);
    PlTreeInit();
    const int32_t live = PoolLiveCount(g_plTree.pool);
    PlTreeAdd(kRecObstacle, k, ObsRef(k), 0); // already there
    EXPECT_EQ(Count(0, k), 1);
    PlTreeAdd(kRecObstacle, k, ObsRef(k), 1);
    EXPECT_EQ(Count(0, k), 0);
    PlTreeAdd(kRecObstacle, k, ObsRef(k), 0); // the freed entry again
    EXPECT_EQ(Count(0, k), 1);
    EXPECT_EQ(PoolLiveCount(g_plTree.pool), live);
    // The same key at the root and below it on the same path.
    PlTreeInsert(0, k, 0, kPlClassOutline, 15000, 15000, 17000, 17000);
    EXPECT_FATAL(PlTreeAdd(kRecObstacle, k, ObsRef(k), 1), kErrPlTreeTwice);
}

TEST_F(PlTreeTest, TheHitAfterAThousandIsLeftOut) {
    for (int32_t k = 0; k < 1001; ++k)
        AddRect(kObsInsertionOutline, 0, 5000, 5000, 6000, 6000);
    const int32_t ins = AddSymbol("INS", {});
    AddRect(kObsInsertionOutline, ins, 0, 0, 100, 100);
    const int32_t c = AddPart(ins, {.x = 5500, .y = 5500});
    PlTreeInit();
    EXPECT_EQ(Query(5400, 5400, 5600, 5600, 1), kPlTreeMaxHits);
    EXPECT_TRUE(hits->overflow);
    // Insertion outlines never conflict, but a cut-short check is no pass.
    EXPECT_EQ(PlTreeCheckComp(c, CompRef(c)), 0);
    EXPECT_EQ(Query(100, 100, 200, 200, 1), 1);
    EXPECT_FALSE(hits->overflow);
}

TEST_F(PlTreeTest, ComponentsEnterAtTheirPlaceUnlessClusteredOrUnplaced) {
    const int32_t a = AddPart(r2, {.x = 5000, .y = 5000, .angle = 5400});
    const int32_t m = AddPart(r2, {.x = 9000, .y = 9000, .flags = kPlCompUnplaced});
    const int32_t b = AddPart(r2, {.x = 7000, .y = 5000, .master = int16_t(a)});
    const int32_t own = AddRect(kObsCompKeepout, -a, 0, 0, 10, 10);
    PlTreeInit();
    const PlTreeEntryInfo* e = Find(a, place);
    ASSERT_NE(e, nullptr);
    // Turned a quarter: x from -1200 - w/2 to 200 + w/2 about the position.
    const int32_t grow = ObsRef(place)->head.width / 2;
    EXPECT_EQ(e->x1, 5000 - 1200 - grow);
    EXPECT_EQ(e->y2, 5000 + 200 + grow);
    EXPECT_NE(Find(a, own), nullptr);
    EXPECT_EQ(Find(m, place), nullptr);
    EXPECT_EQ(Find(b, place), nullptr);
    EXPECT_EQ(PlTreeEntries().size(), 3u);
}

TEST_F(PlTreeTest, RemovalNeedsTheImageThatWasInserted) {
    const int32_t a = AddPart(r2, {.x = 5000, .y = 5000});
    PlTreeInit();
    AltPush();
    const Component old = Comp(a);
    Component moved = old;
    moved.x = 20000;
    moved.y = 21000;
    moved.angle = 10800;
    Store(a, moved);
    PlTreeAdd(kRecComponent, a, &moved, 1); // the new image: the old entry stays
    EXPECT_EQ(Count(a, place), 1);
    EXPECT_EQ(Find(a, place)->x1, 5000 - 200 - ObsRef(place)->head.width / 2);
    PlTreeAdd(kRecComponent, a, &old, 1); // the old image takes it out
    EXPECT_EQ(Count(a, place), 0);
}

TEST_F(PlTreeTest, JournalImagesMoveTheTreeBothWays) {
    const int32_t a = AddPart(r2, {.x = 5000, .y = 5000});
    const int32_t b = AddPart(r2, {.x = 9000, .y = 5000});
    PlTreeInit();
    const auto start = PlTreeEntries();
    AltPush();
    Component ra = Comp(a), rb = Comp(b);
    ra.x = 15000;
    rb.flags |= kPlCompUnplaced;
    Store(a, ra);
    Store(b, rb);
    {
        TraceCapture traces;
        PlTreeMapAlt(0);
    }
    EXPECT_EQ(TraceCapture::Lines(), (std::vector<std::string>{"PlTreeMapAlt: done"}));
    EXPECT_EQ(PlTreeEntries(), PlTreeFreshEntries());
    EXPECT_EQ(Count(b, place), 0);
    PlTreeMapAlt(1);
    EXPECT_EQ(PlTreeEntries(), start);
    PlTreeMapAlt(0);
    PlTreeMapTop();
    AltPop(false);
    EXPECT_EQ(PlTreeEntries(), start);
    EXPECT_EQ(PlTreeEntries(), PlTreeFreshEntries());
}

TEST_F(PlTreeTest, TheTreeFollowsASeededSequenceOfEdits) {
    std::vector<int32_t> parts;
    for (int32_t k = 0; k < 12; ++k)
        parts.push_back(AddPart(r2, {.x = 2000 + 2500 * (k % 4), .y = 2000 + 5000 * (k / 4)}));
    AddRect(kObsCompKeepout, -parts[3], 0, 0, 300, 300);
    PlTreeInit();
    std::mt19937 rng(20261210);
    auto pick = [&](int32_t n) { return int32_t(rng() % uint32_t(n)); };
    for (int32_t step = 0; step < 400; ++step) {
        const int32_t op = pick(10);
        const int32_t depth = AltDepth();
        if (depth == 0 || (op == 0 && depth < 4)) {
            AltPush();
        } else if (op <= 5) {
            const int32_t c = parts[size_t(pick(int32_t(parts.size())))];
            const Component old = Comp(c);
            Component r = old;
            switch (pick(4)) {
            case 0:
                r.x = 1000 + pick(28000);
                r.y = 1000 + pick(28000);
                break;
            case 1:
                r.angle = int16_t(kAngRight * pick(4));
                break;
            case 2:
                r.flags ^= kPlCompUnplaced;
                break;
            default:
                r.compRef = r.compRef ? 0 : int16_t(parts[size_t(pick(4))]);
                if (r.compRef == c) r.compRef = 0;
                break;
            }
            PlTreeAdd(kRecComponent, c, &old, 1);
            Store(c, r);
            PlTreeAdd(kRecComponent, c, &r, 0);
        } else if (op <= 7) {
            AltPop(true);
        } else if (op == 8) {
            PlTreeMapTop();
            AltPop(false);
        } else {
            PlTreeMapAlt(1);
            PlTreeMapAlt(0);
        }
        ASSERT_EQ(PlTreeEntries(), PlTreeFreshEntries()) << "step " << step;
        PlTreeVerify();
    }
}

TEST_F(PlTreeTest, ConflictsByEdgesContainmentKeepInsAndSides) {
    const int32_t ins = AddSymbol("INS", {});
    AddRect(kObsInsertionOutline, ins, 0, 0, 1000, 1000);
    const int32_t small = AddSymbol("SMALL", {});
    AddRect(kObsPlaceOutline, small, 0, 0, 100, 100);
    const int32_t a = AddPart(r2, {.x = 5000, .y = 5000});
    const int32_t b = AddPart(r2, {.x = 5300, .y = 5300}); // edges cross a's
    const int32_t far = AddPart(r2, {.x = 9000, .y = 5000});
    const int32_t inner = AddPart(small, {.x = 9000, .y = 5500}); // inside far's
    const int32_t i1 = AddPart(ins, {.x = 15000, .y = 15000});
    const int32_t i2 = AddPart(ins, {.x = 15500, .y = 15500});
    const int32_t out = AddPart(r2, {.x = 31900, .y = 5000});  // crosses the board edge
    const int32_t gone = AddPart(r2, {.x = 40000, .y = 5000}); // wholly outside
    PlTreeInit();
    EXPECT_EQ(PlTreeCheckComp(a, CompRef(a)), 0);
    EXPECT_EQ(PlTreeCheckComp(b, CompRef(b)), 0);
    EXPECT_EQ(PlTreeCheckComp(inner, CompRef(inner)), 0);
    EXPECT_EQ(PlTreeCheckComp(far, CompRef(far)), 0);
    EXPECT_EQ(PlTreeCheckComp(i1, CompRef(i1)), 1);
    EXPECT_EQ(PlTreeCheckComp(out, CompRef(out)), 0);
    EXPECT_EQ(PlTreeCheckComp(gone, CompRef(gone)), 0);
    Component moved = *CompRef(a);
    moved.x = 20000;
    EXPECT_EQ(PlTreeCheckComp(a, &moved), 1); // where the record puts it
    (void)i2;
    // Sides: across the board the outline of the part on the lower side
    // decides; an Insertion outline there is no conflict.
    const int32_t t = AddPart(ins, {.x = 25000, .y = 25000});
    const int32_t u = AddPart(r2, {.x = 25300, .y = 25300, .side = 1});
    const int32_t v = AddPart(r2, {.x = 20000, .y = 25000});
    const int32_t w = AddPart(ins, {.x = 19900, .y = 25300, .side = 1});
    const int32_t x = AddPart(ins, {.x = 19900, .y = 20300});
    const int32_t y = AddPart(r2, {.x = 20000, .y = 20000});
    PlTreeInit();
    EXPECT_EQ(PlTreeCheckComp(t, CompRef(t)), 1);
    EXPECT_EQ(PlTreeCheckComp(u, CompRef(u)), 1);
    EXPECT_EQ(PlTreeCheckComp(v, CompRef(v)), 0);
    EXPECT_EQ(PlTreeCheckComp(w, CompRef(w)), 0);
    EXPECT_EQ(PlTreeCheckComp(x, CompRef(x)), 0); // one side: no exception
    EXPECT_EQ(PlTreeCheckComp(y, CompRef(y)), 0);
}

TEST_F(PlTreeTest, ArcEdgesConflictByTheirShape) {
    // A half disc below the chord (5000, 5000)-(6000, 5000), centre (5500, 5000).
    auto r = std::make_unique<Obstacle>();
    std::memset(r.get(), 0, sizeof(Obstacle));
    r->head.kind = kObsCompKeepout;
    r->head.net = kObsNoNet;
    r->head.count = 4;
    const int32_t pts[4][2] = {{5000, 5000}, {5500, 5000}, {6000, 5000}, {5000, 5000}};
    for (int32_t i = 0; i < 4; ++i) {
        r->pt[i].x = pts[i][0];
        r->pt[i].y = pts[i][1];
    }
    r->pt[1].flags = kObsPtArcCcw;
    const int32_t keepout = ObsAppend();
    ObsPut(keepout, r.get());
    const int32_t pinless = AddSymbol("NONE", {});
    struct Case {
        int32_t x1, y1, x2, y2;
        int32_t ok;
    } cases[] = {
        {5400, 4400, 5600, 4550, 0}, // crosses the arc
        {5700, 4800, 5800, 4900, 0}, // inside the half disc
        {5900, 4520, 5990, 4580, 1}, // in the box, outside the disc
        {7000, 4520, 7100, 4580, 1},
    };
    for (const Case& k : cases) {
        const int32_t c = AddPart(pinless, {});
        AddRect(kObsPlaceOutline, -c, k.x1, k.y1, k.x2, k.y2);
        PlTreeInit();
        EXPECT_EQ(PlTreeCheckComp(c, CompRef(c)), k.ok) << k.x1 << "," << k.y1;
        Component gone = *CompRef(c);
        gone.flags |= kPlCompUnplaced;
        CompPut(c, &gone);
    }
}

TEST_F(PlTreeTest, OverlapCostAndSpacing) {
    const int32_t a = AddPart(r2, {.x = 5000, .y = 5000});
    AddPart(r2, {.x = 5300, .y = 5000});
    const int32_t lone = AddPart(r2, {.x = 20000, .y = 20000});
    const int32_t clustered = AddPart(r2, {.x = 5000, .y = 5000, .master = int16_t(lone)});
    PlTreeInit();
    const int32_t w = ObsRef(place)->head.width / 2;
    const double overlap = double(400 + 2 * w - 300) * double(1400 + 2 * w);
    EXPECT_DOUBLE_EQ(PlTreeOverlapCost(a, CompRef(a), 0), overlap * double(kPlTreeOverlapFactor));
    EXPECT_DOUBLE_EQ(PlTreeOverlapCost(lone, CompRef(lone), 0), 0);
    EXPECT_DOUBLE_EQ(PlTreeOverlapCost(clustered, CompRef(clustered), 0), 0);
    // Spacing: pin 1 of both on one line, so no align term; the margin of
    // 3 default grids around lone's outline meets nothing but the board
    // outline, which holds it.
    EXPECT_DOUBLE_EQ(PlTreeOverlapCost(lone, CompRef(lone), 1), 0);
    // a's outline widened by 3 default grids holds all of b's.
    const double spaced = double(400 + 2 * w) * double(1400 + 2 * w) * double(kPlTreeSpacingFactor);
    EXPECT_DOUBLE_EQ(PlTreeOverlapCost(a, CompRef(a), 1),
                     overlap * double(kPlTreeOverlapFactor) + spaced);
    Component classed = *CompRef(a);
    classed.flags |= kPlCompClass1024; // margin 0: the outline's own overlap
    EXPECT_DOUBLE_EQ(PlTreeOverlapCost(a, &classed, 1), overlap * double(kPlTreeOverlapFactor) +
                                                            overlap * double(kPlTreeSpacingFactor));
    // Out of the board: the area outside counts.
    Component outside = *CompRef(lone);
    outside.x = 31900;
    const double beyond = double(32100 + w - 32000) * double(1400 + 2 * w);
    EXPECT_DOUBLE_EQ(PlTreeOverlapCost(lone, &outside, 0), beyond * double(kPlTreeOverlapFactor));
}

TEST_F(PlTreeTest, BoxCoverRatio) {
    struct Case {
        int32_t b[4];
        double ratio;
    } cases[] = {
        {{0, 0, 100, 100}, 1.0},     // covers all
        {{50, 200, 60, 300}, 0.1},   // only the x intervals overlap: a strip
        {{200, 20, 300, 40}, 0.2},   // only y
        {{50, 50, 150, 150}, 0.75},  // strips in both
        {{200, 200, 300, 300}, 0.0}, // apart
    };
    for (const Case& k : cases)
        EXPECT_DOUBLE_EQ(PlBoxCoverRatio(0, 0, 100, 100, k.b[0], k.b[1], k.b[2], k.b[3]), k.ratio);
    EXPECT_DOUBLE_EQ(PlBoxCoverRatio(0, 0, 0, 100, 0, 0, 100, 100), 0.0); // no area
}

TEST_F(PlTreeTest, LifecycleTracesVerificationAndValidation) {
    const int32_t a = AddPart(r2, {.x = 5000, .y = 5000});
    auto traces = std::make_unique<TraceCapture>();
    PlTreeInit();
    EXPECT_EQ(TraceCapture::Lines(),
              (std::vector<std::string>{"PlTreeInit: initializing", "PlTreeInit: complete"}));
    const int32_t pool = g_plTree.pool;
    EXPECT_EQ(PoolOwner(pool), kErrPlTreePool);
    validateObsIndex(a, place);
    PlTreeAdd(kRecComponent, a, CompRef(a), 1);
    TraceCapture::Lines().clear();
    EXPECT_FATAL(validateObsIndex(a, place), kErrPlTreeMissing);
    EXPECT_EQ(TraceCapture::Lines(),
              (std::vector<std::string>{"validateObsIndex: P1." + std::to_string(place) +
                                        " is missing"}));
    PlTreeAdd(kRecObstacle, board, ObsRef(board), 1);
    TraceCapture::Lines().clear();
    EXPECT_FATAL(validateObsIndex(0, board), kErrPlTreeMissing);
    EXPECT_EQ(
        TraceCapture::Lines(),
        (std::vector<std::string>{"validateObsIndex: " + std::to_string(board) + " is missing"}));
    traces.reset();
    ++g_plTree.root->count;
    EXPECT_FATAL(PlTreeVerify(), kErrPlTreeCount);
    PlTreeFree();
    EXPECT_EQ(PoolOwner(pool), 0);
    EXPECT_FALSE(PlTreeIsBuilt());
    EXPECT_EQ(Query(0, 0, 10, 10, 0), 1); // a query builds it again
    EXPECT_TRUE(PlTreeIsBuilt());
}

TEST_F(PlTreeTest, NoPoolIsLeftOpenByTheEngine) {
    AddPart(r2, {.x = 5000, .y = 5000});
    const int32_t net = AddNet();
    Connect(net, 1, 1, 1, 2);
    PlModelOpen(nullptr);
    PlNetPinTable();
    PlTreeInit();
    PlModelFree();
    PlNetPinTableFree();
    PlTreeFree();
    for (int32_t p = 1; p <= kPoolCount; ++p) {
        const ErrCode owner = PoolOwner(p);
        EXPECT_NE(owner, kErrPlModelPool);
        EXPECT_NE(owner, kErrPairPool);
        EXPECT_NE(owner, kErrPlTreePool);
    }
}

} // namespace
