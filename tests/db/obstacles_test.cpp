// Obstacles: the shape helpers (closing, boxes, arcs into segments, the
// point-in-obstacle test) and the table with its owner lists.
#include "db/nets.h"
#include "db/obstacles.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>
#include <memory>
#include <utility>

#include "compfixture.h"
#include "db/altjournal.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/pool.h"
#include "db/sweeps.h"
#include "dbfixture.h"

namespace {

struct Pt {
    int32_t x, y;
    uint16_t flags = 0;
};

std::unique_ptr<Obstacle> MakeObs(std::initializer_list<Pt> pts, uint8_t kind = kObsOutline,
                                  uint16_t flags = 0) {
    auto r = std::make_unique<Obstacle>();
    std::memset(r.get(), 0, sizeof(Obstacle));
    r->head.kind = kind;
    r->head.flags = flags;
    r->head.net = kObsNoNet;
    for (const Pt& p : pts) {
        ObsPoint& q = r->pt[r->head.count++];
        q.x = p.x, q.y = p.y, q.flags = p.flags;
    }
    return r;
}

class ObsShapeTest : public DbTest {};

TEST_F(ObsShapeTest, ClosedKindsAndClosedOutlines) {
    for (int32_t kind = 0; kind <= 20; ++kind) {
        auto open = MakeObs({{0, 0}, {10, 0}, {10, 10}}, uint8_t(kind));
        const bool closedKind = kind == 1 || kind == 3 || kind == 4 || kind == 5 ||
                                (kind >= 8 && kind <= 11) || (kind >= 13 && kind <= 19);
        EXPECT_EQ(ObsIsClosed(open.get()), closedKind) << kind;
    }
    EXPECT_TRUE(ObsIsClosed(MakeObs({{0, 0}, {10, 0}, {0, 0}}).get()));
    EXPECT_FALSE(ObsIsClosed(MakeObs({{0, 0}, {0, 0}}).get()));
}

TEST_F(ObsShapeTest, KindMessages) {
    const std::pair<int32_t, int32_t> cases[] = {{0, 21535},  {1, 21536},  {15, 21550},
                                                 {16, 21551}, {17, 21553}, {19, 21555},
                                                 {20, 21556}, {-1, 21556}, {255, 21556}};
    for (const auto& c : cases)
        EXPECT_EQ(ObsKindMsgId(c.first), c.second) << c.first;
}

TEST_F(ObsShapeTest, Boxes) {
    auto poly = MakeObs({{0, 0}, {100, -20}, {50, 80}});
    poly->head.width = 11;
    ObsBox(poly.get());
    EXPECT_EQ(poly->head.minX, -5);
    EXPECT_EQ(poly->head.minY, -25);
    EXPECT_EQ(poly->head.maxX, 105);
    EXPECT_EQ(poly->head.maxY, 85);

    auto circle = MakeObs({{130, 0}, {100, 40, kObsPtArcCcw}, {130, 0}}, kObsOutline, kObsCircle);
    circle->head.width = 4;
    ObsBox(circle.get());
    EXPECT_EQ(circle->head.minX, 100 - 50 - 2);
    EXPECT_EQ(circle->head.minY, 40 - 50 - 2);
    EXPECT_EQ(circle->head.maxX, 100 + 50 + 2);
    EXPECT_EQ(circle->head.maxY, 40 + 50 + 2);

    // An arc over the top of a half disc reaches its apex.
    const int32_t r = 1000000;
    auto half = MakeObs({{r, 0}, {0, 0, kObsPtArcCcw}, {-r, 0}}, kObsOutline, kObsHasArcs);
    ObsBox(half.get());
    EXPECT_EQ(half->head.minX, -r);
    EXPECT_EQ(half->head.maxX, r);
    EXPECT_EQ(half->head.minY, 0);
    EXPECT_GT(half->head.maxY, r - 2 * 60);
    EXPECT_LE(half->head.maxY, r);
}

TEST_F(ObsShapeTest, ArcsBecomeSegments) {
    const int32_t r = 1000000;
    auto shape = MakeObs({{-5, -5}, {r, 0}, {0, 0, kObsPtArcCw}, {-r, 0}, {-7, -7}}, kObsOutline,
                         kObsHasArcs | kObsCircle);
    shape->pt[1].width = 33;
    ObsArcsToSegs(shape.get());
    const int32_t n = shape->head.count;
    EXPECT_GT(n, 10);
    EXPECT_EQ(shape->head.flags & (kObsHasArcs | kObsCircle), 0);
    // The ends stay; the inner points run clockwise below the x axis, with
    // flags 0 and the arc start's corner width.
    EXPECT_EQ(shape->pt[1].x, r);
    EXPECT_EQ(shape->pt[n - 2].x, -r);
    EXPECT_EQ(shape->pt[n - 1].x, -7);
    for (int32_t i = 2; i < n - 2; ++i) {
        EXPECT_LT(shape->pt[i].y, 0) << i;
        EXPECT_EQ(shape->pt[i].flags, 0);
        EXPECT_EQ(shape->pt[i].width, 33);
    }
}

TEST_F(ObsShapeTest, ArcsPastNineHundredNinetyNinePoints) {
    // Half circles of radius 1,000,000 at a tolerance of 120 take 114
    // segments (113 inner points) each: eight fit, nine need 1,027 points.
    const int32_t r = 1000000;
    auto chain = [&](int32_t arcs) {
        auto s = MakeObs({{0, 0}});
        for (int32_t k = 0; k < arcs; ++k) {
            ObsPoint& c = s->pt[s->head.count++];
            c.x = (2 * k + 1) * r, c.flags = kObsPtArcCcw;
            s->pt[s->head.count++].x = (2 * k + 2) * r;
        }
        s->head.flags = kObsHasArcs;
        return s;
    };
    auto eight = chain(8);
    ObsArcsToSegs(eight.get());
    EXPECT_EQ(eight->head.count, 17 - 8 + 8 * 113);
    EXPECT_EQ(eight->pt[912].x, 16 * r);
    auto nine = chain(9);
    EXPECT_FATAL(ObsArcsToSegs(nine.get()), kErrObsArcPoints);
}

TEST_F(ObsShapeTest, ContainsPointInSquare) {
    auto sq = MakeObs({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, kObsBoardOutline);
    const struct {
        int32_t x, y, expected;
    } cases[] = {
        {50, 50, 1},  {1, 99, 1}, {150, 50, 0},  {50, -1, 0}, {-1, 50, 0}, {100, 50, 2}, {50, 0, 2},
        {50, 100, 2}, {0, 0, 2},  {100, 100, 2}, {0, 100, 2}, {100, 0, 2}, {0, 50, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ObsContainsPt(c.x, c.y, sq.get()), c.expected) << c.x << "," << c.y;
}

TEST_F(ObsShapeTest, ContainsPointLevelWithVertices) {
    // Both side vertices of a diamond lie on the line through its centre;
    // the outline passes through each of them once.
    auto diamond = MakeObs({{50, 0}, {100, 50}, {50, 100}, {0, 50}}, kObsCopper);
    EXPECT_EQ(ObsContainsPt(50, 50, diamond.get()), 1);
    EXPECT_EQ(ObsContainsPt(1, 50, diamond.get()), 1);
    EXPECT_EQ(ObsContainsPt(0, 50, diamond.get()), 2);
    EXPECT_EQ(ObsContainsPt(100, 50, diamond.get()), 2);
    EXPECT_EQ(ObsContainsPt(50, 0, diamond.get()), 2);
    EXPECT_EQ(ObsContainsPt(10, 10, diamond.get()), 0);

    // A notch whose tip points left: level with the tip the inside lies to
    // its left only.
    auto notch = MakeObs({{0, 0}, {300, 0}, {300, 20}, {100, 50}, {300, 80}, {300, 100}, {0, 100}},
                         kObsCopper);
    EXPECT_EQ(ObsContainsPt(50, 50, notch.get()), 1);
    EXPECT_EQ(ObsContainsPt(100, 50, notch.get()), 2);
    EXPECT_EQ(ObsContainsPt(200, 50, notch.get()), 0);
    EXPECT_EQ(ObsContainsPt(299, 50, notch.get()), 0);
    EXPECT_EQ(ObsContainsPt(200, 10, notch.get()), 1);

    // The apex of a triangle touches the line without crossing it; a
    // vertex on a vertical side passes through; a valley vertex touches
    // from above.
    auto tri = MakeObs({{0, 0}, {100, 100}, {200, 0}}, kObsCopper);
    EXPECT_EQ(ObsContainsPt(100, 100, tri.get()), 2);
    EXPECT_EQ(ObsContainsPt(50, 100, tri.get()), 0);
    EXPECT_EQ(ObsContainsPt(150, 100, tri.get()), 0);
    auto valley = MakeObs(
        {{0, 0}, {400, 0}, {400, 50}, {400, 100}, {300, 50}, {200, 100}, {0, 100}}, kObsCopper);
    EXPECT_EQ(ObsContainsPt(100, 50, valley.get()), 1);
    EXPECT_EQ(ObsContainsPt(300, 50, valley.get()), 2);
    EXPECT_EQ(ObsContainsPt(350, 50, valley.get()), 1);
    EXPECT_EQ(ObsContainsPt(400, 50, valley.get()), 2);
    EXPECT_EQ(ObsContainsPt(300, 60, valley.get()), 0);

    // A run along the line: the outline passes from below to above along
    // it (a step), or turns back (a plateau).
    auto step = MakeObs({{0, 0}, {200, 0}, {200, 50}, {100, 50}, {100, 100}, {0, 100}}, kObsCopper);
    EXPECT_EQ(ObsContainsPt(50, 50, step.get()), 1);
    EXPECT_EQ(ObsContainsPt(150, 50, step.get()), 2);
    EXPECT_EQ(ObsContainsPt(150, 70, step.get()), 0);
    auto plateau = MakeObs(
        {{0, 0}, {300, 0}, {300, 100}, {200, 100}, {200, 50}, {100, 50}, {100, 100}, {0, 100}},
        kObsCopper);
    EXPECT_EQ(ObsContainsPt(50, 50, plateau.get()), 1);
    EXPECT_EQ(ObsContainsPt(250, 50, plateau.get()), 1);
    EXPECT_EQ(ObsContainsPt(150, 50, plateau.get()), 2);
    EXPECT_EQ(ObsContainsPt(150, 60, plateau.get()), 0);
}

TEST_F(ObsShapeTest, ContainsPointInCircleAndArcs) {
    auto circle = MakeObs({{100, 0}, {0, 0, kObsPtArcCcw}, {100, 0}}, kObsCopper, kObsCircle);
    const struct {
        int32_t x, y, expected;
    } cases[] = {{50, 0, 1},  {99, 0, 1},  {100, 0, 2}, {0, -100, 2},
                 {71, 71, 2}, {150, 0, 0}, {72, 72, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ObsContainsPt(c.x, c.y, circle.get()), c.expected) << c.x << "," << c.y;

    const int32_t r = 1000000;
    auto half = MakeObs({{r, 0}, {0, 0, kObsPtArcCcw}, {-r, 0}}, kObsCopper, kObsHasArcs);
    EXPECT_EQ(ObsContainsPt(0, r / 2, half.get()), 1);
    EXPECT_EQ(ObsContainsPt(0, r - 1000, half.get()), 1);
    EXPECT_EQ(ObsContainsPt(0, -10, half.get()), 0);
    EXPECT_EQ(ObsContainsPt(r / 2, 0, half.get()), 2);
    EXPECT_EQ(ObsContainsPt(r - 1000, r - 1000, half.get()), 0);
}

// ---- the table -----------------------------------------------------------------

class ObsTableTest : public CompDbTest {
  protected:
    void SetUp() override {
        CompDbTest::SetUp();
        u = DbHdr().userUnit;
    }
    // Appends and stores an obstacle; answers its index.
    static int32_t Add(std::initializer_list<Pt> pts, int32_t owner = 0, const char* name = nullptr,
                       uint8_t kind = kObsOutline, uint8_t layer = 1) {
        auto r = MakeObs(pts, kind);
        r->head.owner = int16_t(owner);
        r->head.layer = layer;
        r->head.name = name ? NameIntern(name) : 0;
        const int32_t o = ObsAppend();
        if (!name) r->head.name = NameIntern(("O" + std::to_string(o)).c_str());
        ObsPut(o, r.get());
        return o;
    }
    static std::vector<int32_t> List(int32_t first) {
        std::vector<int32_t> out;
        for (int32_t o = first; o != 0 && out.size() < 100; o = ObsNext(o))
            out.push_back(o);
        return out;
    }
    static std::string Name(int32_t o) { return NameText(ObsRef(o)->head.name); }
    static std::vector<std::pair<int32_t, int32_t>> Points(int32_t o) {
        std::vector<std::pair<int32_t, int32_t>> out;
        const Obstacle* r = ObsRef(o);
        for (int32_t i = 0; i < r->head.count; ++i)
            out.emplace_back(r->pt[i].x, r->pt[i].y);
        return out;
    }
    using Pts = std::vector<std::pair<int32_t, int32_t>>;

    int32_t u = 1;
};

TEST_F(ObsTableTest, SlotArrays) {
    for (int32_t o = 1; o <= 7999; ++o)
        ObsAppend();
    EXPECT_EQ(ObsFirstArraySlots(), 8000);
    EXPECT_EQ(ObsSecondArraySlots(), 0);
    EXPECT_EQ(ObsAppend(), 8000);
    EXPECT_EQ(ObsFirstArraySlots(), 8000);
    EXPECT_EQ(ObsSecondArraySlots(), 100);
    const int32_t o = 8000;
    auto r = MakeObs({{1, 2}, {3, 4}});
    r->head.layer = 1;
    ObsPut(o, r.get());
    EXPECT_EQ(ObsRef(o)->pt[1].y, 4);
    EXPECT_EQ(ObsBoardFirst(), 8000);
    for (int32_t k = 8001; k <= kObsMax; ++k)
        ObsAppend();
    EXPECT_EQ(ObsCount(), kObsMax);
    EXPECT_EQ(DbHdr().obsCount, int16_t(kObsMax));
    EXPECT_FATAL(ObsAppend(), kErrObsFull);
    // Deleting the last of the second array and the first of it.
    ObsDelete(kObsMax);
    ObsDelete(8000);
    EXPECT_EQ(ObsCount(), kObsMax - 2);
    EXPECT_EQ(ObsBoardFirst(), 0);
}

TEST_F(ObsTableTest, GetOfAnEmptySlotGivesZeros) {
    const int32_t o = ObsAppend();
    auto r = MakeObs({{5, 5}});
    std::memset(r.get(), 0xAB, sizeof(ObsHead));
    ObsGet(o, r.get());
    EXPECT_EQ(r->head.count, 0);
    EXPECT_EQ(r->head.name, 0u);
    EXPECT_EQ(r->head.net, 0);
    EXPECT_FATAL(ObsGet(0, r.get()), kErrObsGet);
    EXPECT_FATAL(ObsGet(2, r.get()), kErrObsGet);
}

TEST_F(ObsTableTest, PutChecks) {
    DbHdr().netCount = 2;
    const int32_t o = ObsAppend();
    const struct {
        void (*spoil)(Obstacle*);
        int32_t code;
    } cases[] = {
        {[](Obstacle* r) { r->head.count = 0; }, kErrObsPutCount},
        {[](Obstacle* r) { r->head.count = 1001; }, kErrObsPutCount},
        {[](Obstacle* r) { r->head.layer = uint8_t(LayerCount() + 1); }, kErrObsPutLayer},
        {[](Obstacle* r) { r->head.width = -1; }, kErrObsPutWidth},
        {[](Obstacle* r) { r->head.net = 3; }, kErrObsPutNet},
        {[](Obstacle* r) { r->head.layer = 0, r->head.net = 0; }, kErrObsPutAnyNetConn},
    };
    for (const auto& c : cases) {
        auto r = MakeObs({{0, 0}, {10, 0}});
        r->head.layer = 1;
        c.spoil(r.get());
        EXPECT_FATAL(ObsPut(o, r.get()), c.code);
    }
    auto r = MakeObs({{0, 0}, {10, 0}});
    r->head.layer = 1;
    EXPECT_FATAL(ObsPut(0, r.get()), kErrObsPutIndex);
    EXPECT_FATAL(ObsPut(2, r.get()), kErrObsPutIndex);
    // Accepted: a net within the count, any net off layer 0, a pin, no net,
    // the checks made even for trusted records.
    for (int16_t net : {int16_t(2), int16_t(0), int16_t(-5), int16_t(kObsNoNet)}) {
        r->head.net = net;
        ObsPut(o, r.get());
        EXPECT_EQ(ObsRef(o)->head.net, net);
    }
    DbTrustedScope trusted;
    r->head.net = 3;
    EXPECT_FATAL(ObsPut(o, r.get()), kErrObsPutNet);
}

TEST_F(ObsTableTest, PutDerivedValues) {
    // A closed kind is closed; the width rises to one user unit; copper
    // gets its byte; a record id is given.
    const int32_t a = Add({{0, 0}, {100, 0}, {100, 100}}, 0, "A", kObsCopper);
    EXPECT_EQ(Points(a), (Pts{{0, 0}, {100, 0}, {100, 100}, {0, 0}}));
    EXPECT_EQ(ObsRef(a)->head.width, u);
    EXPECT_EQ(ObsRef(a)->head.byte34, 4);
    EXPECT_LT(ObsRef(a)->head.recordId, 0);
    EXPECT_EQ(ObsRef(a)->head.minX, -u / 2);
    EXPECT_EQ(ObsRef(a)->head.maxY, 100 + u / 2);
    // An open outline stays open; an already closed one gets nothing.
    const int32_t b = Add({{0, 0}, {100, 0}, {100, 100}});
    EXPECT_EQ(ObsRef(b)->head.count, 3);
    const int32_t c = Add({{0, 0}, {100, 0}, {100, 100}, {0, 0}}, 0, nullptr, kObsRouteKeepout);
    EXPECT_EQ(ObsRef(c)->head.count, 4);

    // A matrix sorts its x values and its y values apart, each up to INT_MAX.
    const int32_t m =
        Add({{30, 7}, {10, INT32_MAX}, {20, 1}, {INT32_MAX, 0}, {5, 3}}, 0, nullptr, kObsMatrix);
    EXPECT_EQ(Points(m), (Pts{{10, 7}, {20, INT32_MAX}, {30, 1}, {INT32_MAX, 0}, {5, 3}}));

    // A closed obstacle of 1,000 points stays at 1,000.
    auto full = MakeObs({}, kObsCopper);
    full->head.layer = 1;
    full->head.count = kObsMaxPoints;
    for (int32_t i = 0; i < kObsMaxPoints; ++i)
        full->pt[i].x = i, full->pt[i].y = i % 2;
    const int32_t f = ObsAppend();
    ObsPut(f, full.get());
    EXPECT_EQ(ObsRef(f)->head.count, kObsMaxPoints);
    ObsPut(f, ObsRef(f));
    EXPECT_EQ(ObsRef(f)->head.count, kObsMaxPoints);

    // Trusted records are stored as given.
    {
        DbTrustedScope trusted;
        auto raw = MakeObs({{0, 0}, {100, 0}, {100, 100}}, kObsCopper);
        raw->head.layer = 1;
        ObsPut(b, raw.get());
    }
    EXPECT_EQ(ObsRef(b)->head.count, 3);
    EXPECT_EQ(ObsRef(b)->head.width, 0);
    EXPECT_EQ(ObsRef(b)->head.recordId, 0);
}

TEST_F(ObsTableTest, CirclesAndArcs) {
    const int32_t o = ObsAppend();
    auto circle = MakeObs({{100, 0}, {0, 0, kObsPtArcCw}, {100, 0}});
    circle->head.layer = 1;
    ObsPut(o, circle.get());
    EXPECT_EQ(ObsRef(o)->head.flags & (kObsCircle | kObsHasArcs), kObsCircle);
    EXPECT_EQ(ObsRef(o)->head.maxX, 100 + u / 2);

    const struct {
        std::initializer_list<Pt> pts;
        int32_t code;
    } bad[] = {
        {{{100, 0}, {0, 0, kObsPtArcCw}, {100, 0}, {100, 0}}, kErrObsCircleFlag},
        {{{100, 0}, {0, 0, kObsPtArcCw}, {100, 1}}, kErrObsCircleFlag + 1},
        {{{100, 0}, {0, 0}, {100, 0}}, kErrObsCircleFlag + 2},
        {{{100, 0}, {100, 0, kObsPtArcCw}, {100, 0}}, kErrObsCircleFlag + 3},
    };
    for (const auto& c : bad) {
        auto r = MakeObs(c.pts, kObsOutline, kObsCircle);
        r->head.layer = 1;
        EXPECT_FATAL(ObsPut(o, r.get()), c.code);
    }

    // An arc whose radii differ by less than 3 user units passes and sets the
    // arc flag; by 3 user units it is refused.
    const int32_t r0 = 100 * u;
    auto arc = MakeObs({{r0, 0}, {0, 0, kObsPtArcCcw}, {0, r0 + 3 * u - 1}, {-r0, -r0}});
    arc->head.layer = 1;
    ObsPut(o, arc.get());
    EXPECT_EQ(ObsRef(o)->head.flags & (kObsCircle | kObsHasArcs), kObsHasArcs);
    EXPECT_GE(ObsRef(o)->head.maxY, r0);
    arc->pt[2].y = r0 + 3 * u;
    EXPECT_FATAL(ObsPut(o, arc.get()), kErrObsArcRadii);
    auto plain = MakeObs({{0, 0}, {10, 0}}, kObsOutline, kObsHasArcs);
    plain->head.layer = 1;
    ObsPut(o, plain.get());
    EXPECT_EQ(ObsRef(o)->head.flags & kObsHasArcs, 0);
}

TEST_F(ObsTableTest, NamingAndExtent) {
    const int32_t a = Add({{0, 0}}, 0, "KEEP");
    const int32_t b = Add({{0, 0}}, 0, "KEEP");
    EXPECT_EQ(Name(a), "KEEP");
    EXPECT_EQ(Name(b), "4");
    Add({{0, 0}}, 0, "8");
    const int32_t d = Add({{0, 0}}, 0, "KEEP");
    EXPECT_EQ(Name(d), "9");
    auto byId = MakeObs({{0, 0}});
    byId->head.layer = 1;
    byId->head.name = NameId(0xFFFFFFFF);
    const int32_t e = ObsAppend();
    ObsPut(e, byId.get());
    EXPECT_EQ(Name(e), std::to_string(ObsRef(e)->head.recordId));
    EXPECT_EQ(ObsFind("KEEP"), a);
    EXPECT_EQ(ObsFind("9"), d);
    EXPECT_EQ(ObsFind("NONE"), 0);

    DbHeader& h = DbHdr();
    h.extMinX = h.extMinY = INT32_MAX;
    h.extMaxX = h.extMaxY = INT32_MIN;
    auto far = MakeObs({{-5000, 0}, {7000, 9000}});
    far->head.layer = 1;
    far->head.flags = kObsNoExtent;
    ObsPut(e, far.get());
    far->head.flags = 0;
    far->head.owner = -1;
    AddComp("U1", 0, 0, 0);
    ObsPut(e, far.get());
    EXPECT_EQ(h.extMinX, INT32_MAX);
    far->head.owner = 0;
    ObsPut(e, far.get());
    EXPECT_EQ(h.extMinX, -5000 - u / 2);
    EXPECT_EQ(h.extMaxY, 9000 + u / 2);

    DbFree();
    EXPECT_FATAL(ObsFind("KEEP"), kErrObsFindTable);
}

TEST_F(ObsTableTest, BlockKeptForTheSameCountAndListHead) {
    const int32_t a = Add({{0, 0}, {1, 1}}), b = Add({{0, 0}, {1, 1}});
    EXPECT_EQ(List(ObsBoardFirst()), (std::vector<int32_t>{b, a}));
    const Obstacle* before = ObsRef(a);
    auto same = MakeObs({{5, 5}, {6, 6}});
    same->head.layer = 1;
    same->head.name = ObsRef(a)->head.name;
    ObsPut(a, same.get());
    EXPECT_EQ(ObsRef(a), before);
    EXPECT_EQ(List(ObsBoardFirst()), (std::vector<int32_t>{a, b}));
    auto longer = MakeObs({{5, 5}, {6, 6}, {7, 7}});
    longer->head.layer = 1;
    ObsPut(a, longer.get());
    EXPECT_EQ(ObsRef(a)->head.count, 3);
    EXPECT_EQ(Points(a), (Pts{{5, 5}, {6, 6}, {7, 7}}));
}

TEST_F(ObsTableTest, OwnerListsAndWalks) {
    const int32_t s = AddSymbol("SO8", {});
    const int32_t c1 = AddComp("U1", s, 0, 0), c2 = AddComp("U2", s, 0, 0);
    const int32_t s1 = Add({{0, 0}}, s), s2 = Add({{0, 0}}, s);
    const int32_t own = Add({{0, 0}}, -c1);
    const int32_t board = Add({{0, 0}});
    EXPECT_EQ(List(ObsBoardFirst()), (std::vector<int32_t>{board}));
    EXPECT_EQ(List(SymObsFirst(0)), (std::vector<int32_t>{board}));
    EXPECT_EQ(List(SymObsFirst(s)), (std::vector<int32_t>{s2, s1}));
    // A component's own list goes on with its symbol's; without an own list
    // the walk starts with the symbol's.
    EXPECT_EQ(List(CompObsFirst(c1)), (std::vector<int32_t>{own, s2, s1}));
    EXPECT_EQ(List(CompObsFirst(c2)), (std::vector<int32_t>{s2, s1}));

    EXPECT_FATAL(SymObsFirst(-1), kErrObsSymFirst);
    EXPECT_FATAL(SymObsFirst(s + 1), kErrObsSymFirst);
    EXPECT_FATAL(CompObsFirst(0), kErrObsCompFirst);
    EXPECT_FATAL(CompObsFirst(c2 + 1), kErrObsCompFirst);
    EXPECT_FATAL(ObsNext(0), kErrObsNext);
    EXPECT_FATAL(ObsNext(board + 1), kErrObsNext);
}

TEST_F(ObsTableTest, DeleteMovesTheLastIntoTheGap) {
    const int32_t c = AddComp("U1", 0, 0, 0);
    for (int32_t i = 1; i <= 10; ++i)
        Add({{i, i}}, i % 2 ? 0 : -c, ("N" + std::to_string(i)).c_str());
    AltPush();
    auto image = MakeObs({{4242, 0}});
    std::memcpy(image.get(), ObsRef(10), sizeof(ObsHead) + sizeof(ObsPoint));
    image->pt[0].x = 4242;
    AltPut(kRecObstacle, 10, 0, image.get());
    ObsDelete(5);
    EXPECT_EQ(ObsCount(), 9);
    EXPECT_EQ(Name(5), "N10");
    EXPECT_EQ(List(CompObsFirst(c)), (std::vector<int32_t>{5, 8, 6, 4, 2}));
    EXPECT_EQ(List(ObsBoardFirst()), (std::vector<int32_t>{9, 7, 3, 1}));
    auto seen = MakeObs({});
    EXPECT_TRUE(AltSave(kRecObstacle, 5, seen.get()));
    EXPECT_EQ(seen->pt[0].x, 4242);
    AltPop(false);
    EXPECT_FATAL(ObsDelete(0), kErrObsDelete);
    EXPECT_FATAL(ObsDelete(10), kErrObsDelete);
}

TEST_F(ObsTableTest, PlaceAndCopy) {
    auto r = MakeObs({{100, 0}, {100, 50}});
    r->head.width = 10;
    ObsPlace(r.get(), 1000, 2000, 5400);
    EXPECT_EQ(r->pt[0].x, 1000);
    EXPECT_EQ(r->pt[0].y, 2100);
    EXPECT_EQ(r->pt[1].x, 950);
    EXPECT_EQ(r->pt[1].y, 2100);
    EXPECT_EQ(r->head.minX, 950);
    EXPECT_EQ(r->head.maxX, 1000);
    EXPECT_EQ(r->head.minY, 2100);
    EXPECT_EQ(r->head.maxY, 2100);
    auto circle = MakeObs({{100, 0}, {0, 0, kObsPtArcCw}, {100, 0}}, kObsOutline, kObsCircle);
    ObsPlace(circle.get(), 10, 20, 10800);
    EXPECT_EQ(circle->pt[0].x, -90);
    EXPECT_EQ(circle->head.minX, 10 - 100);
    EXPECT_EQ(circle->head.maxY, 20 + 100);

    const int32_t s = AddSymbol("SO8", {}), other = AddSymbol("SO14", {});
    const int32_t c = AddComp("U1", s, 10000, 20000, 10800);
    const int32_t board = Add({{1, 1}});
    const int32_t sym = Add({{100, 0}}, s);
    const int32_t foreign = Add({{100, 0}}, other);
    const int32_t own = Add({{0, 300}}, -c);
    const int32_t c2 = AddComp("U2", s, 0, 0);
    const int32_t elsewhere = Add({{0, 300}}, -c2);
    auto out = MakeObs({});
    EXPECT_FATAL(ObsPlaceOnComp(sym, 0, out.get()), kErrObsPlaceNoComp);
    EXPECT_FATAL(ObsPlaceOnComp(board, c, out.get()), kErrObsPlaceOwner);
    EXPECT_FATAL(ObsPlaceOnComp(elsewhere, c, out.get()), kErrObsPlaceOwner);
    EXPECT_FATAL(ObsPlaceOnComp(foreign, c, out.get()), kErrObsPlaceSymbol);
    ObsPlaceOnComp(board, 0, out.get());
    EXPECT_EQ(out->pt[0].x, 1);
    ObsPlaceOnComp(sym, c, out.get());
    EXPECT_EQ(out->pt[0].x, 10000 - 100);
    EXPECT_EQ(out->pt[0].y, 20000);
    // The component as the edit sees it.
    AltPush();
    Component moved = *CompRef(c);
    moved.x = 0;
    moved.y = 0;
    moved.angle = 0;
    AltPut(kRecComponent, c, 0, &moved);
    ObsPlaceOnComp(own, c, out.get());
    AltPop(false);
    EXPECT_EQ(out->pt[0].x, 0);
    EXPECT_EQ(out->pt[0].y, 300);

    auto src = MakeObs({{1, 2}, {3, 4}});
    src->head.width = 77;
    auto dst = MakeObs({});
    ObsCopy(dst.get(), src.get());
    EXPECT_EQ(dst->head.count, 2);
    EXPECT_EQ(dst->head.width, 77);
    EXPECT_EQ(dst->pt[1].y, 4);
    src->head.count = 1001;
    EXPECT_FATAL(ObsCopy(dst.get(), src.get()), kErrObsCopyCount);
    src->head.count = -1;
    EXPECT_FATAL(ObsCopy(dst.get(), src.get()), kErrObsCopyCount);
}

TEST_F(ObsTableTest, LooseSegmentsBecomeObstacles) {
    // Out of order and turned round; the last meets within half the summed
    // widths (user units); another layer stays apart.
    ObsLooseSeg segs[] = {
        {1000, 0, 1000, 1000, 2, 1, 0},  {0, 0, 1000, 0, 2, 1, 0},
        {0, 1000, 1000, 1000, 2, 1, 0},  {500, 500, 600, 600, 1, 2, 0},
        {0, 1000 + u, 0, 3000, 2, 1, 0},
    };
    ObsLooseList list{segs, 5};
    ObsFromNodes(&list);
    ASSERT_EQ(ObsCount(), 2);
    EXPECT_EQ(Points(1), (Pts{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 3000}}));
    const ObsHead& h = ObsRef(1)->head;
    EXPECT_EQ(h.kind, kObsOutline);
    EXPECT_EQ(h.net, 0);
    EXPECT_EQ(h.owner, 0);
    EXPECT_EQ(h.flags & kObsBySystem, kObsBySystem);
    EXPECT_EQ(h.width, 2 * u);
    EXPECT_EQ(h.layer, 1);
    EXPECT_EQ(Points(2), (Pts{{500, 500}, {600, 600}}));
    EXPECT_EQ(ObsRef(2)->head.layer, 2);

    // The second list keeps kinds (a chain takes one kind) and widths in
    // database units; its obstacles have no net.
    ObsLooseSeg kinds[] = {
        {0, 0, 10, 0, 4, 1, kObsRouteKeepout},
        {10, 0, 10, 10, 4, 1, kObsAvoid},
        {10, 2, 20, 20, 4, 1, kObsRouteKeepout},
    };
    ObsLooseList second{kinds, 3};
    ObsFromNodesEnd(&second);
    ASSERT_EQ(ObsCount(), 4);
    EXPECT_EQ(ObsRef(3)->head.kind, kObsRouteKeepout);
    EXPECT_EQ(ObsRef(3)->head.net, kObsNoNet);
    EXPECT_EQ(ObsRef(3)->head.flags & kObsBySystem, 0);
    EXPECT_EQ(ObsRef(3)->head.count, 4); // closed on store
    EXPECT_EQ(ObsRef(4)->head.kind, kObsAvoid);
    EXPECT_EQ(ObsRef(4)->head.count, 2);

    EXPECT_FATAL(ObsFromNodes(nullptr), kErrObsNodesMissing);
    EXPECT_FATAL(ObsFromNodesEnd(nullptr), kErrObsNodesMissing);
}

TEST_F(ObsTableTest, DeletedOwnersTakeTheirObstaclesAlong) {
    CompSetOwnerRenumberHook(&ObsCompRenumber);
    SymSetOwnerRenumberHook(&ObsSymRenumber);
    const int32_t s1 = AddSymbol("A1", {}), s2 = AddSymbol("A2", {}), s3 = AddSymbol("A3", {});
    const int32_t c1 = AddComp("U1", s3, 0, 0), c2 = AddComp("U2", s3, 0, 0),
                  c3 = AddComp("U3", s3, 0, 0);
    Add({{0, 0}}, -c1, "c1");
    Add({{0, 0}}, -c2, "c2");
    Add({{0, 0}}, -c3, "c3");
    Add({{0, 0}}, 0, "b");
    Add({{0, 0}}, s2, "s2");
    Add({{0, 0}}, s3, "s3");
    Add({{0, 0}}, s1, "s1");
    CompDelete(2);
    EXPECT_EQ(ObsFind("c2"), 0);
    EXPECT_EQ(ObsCount(), 6);
    EXPECT_EQ(ObsRef(ObsFind("c3"))->head.owner, -2);
    EXPECT_EQ(ObsRef(ObsFind("c1"))->head.owner, -1);
    SymDelete(1);
    EXPECT_EQ(ObsFind("s1"), 0);
    EXPECT_EQ(ObsRef(ObsFind("s2"))->head.owner, 1);
    EXPECT_EQ(ObsRef(ObsFind("s3"))->head.owner, 2);
    EXPECT_EQ(List(CompObsFirst(2)), (std::vector<int32_t>{ObsFind("c3"), ObsFind("s3")}));
    EXPECT_EQ(ObsCount(), 5);
    CompSetOwnerRenumberHook(nullptr);
    SymSetOwnerRenumberHook(nullptr);
}

TEST_F(ObsTableTest, NetsRenumbered) {
    DbHdr().netCount = 3;
    const int16_t nets[] = {1, 2, 3, 0, int16_t(kObsNoNet), -4};
    for (int16_t net : nets) {
        auto r = MakeObs({{0, 0}});
        r->head.layer = 1;
        r->head.net = net;
        ObsPut(ObsAppend(), r.get());
    }
    // Net 2 deleted: 3 moves down to 2; pins, any net and no net stay.
    const int16_t map[] = {0, 1, 0, 2};
    ObsNetRenumber(map, 3);
    const int16_t expected[] = {1, int16_t(kObsNoNet), 2, 0, int16_t(kObsNoNet), -4};
    for (int32_t o = 1; o <= 6; ++o)
        EXPECT_EQ(ObsRef(o)->head.net, expected[o - 1]) << o;
}

TEST_F(ObsTableTest, DeletingANetFreesItsObstaclesAndMovesLaterOnesDown) {
    for (int i = 0; i < 3; ++i) NetAdd();
    for (int16_t net : {int16_t(2), int16_t(3)}) {
        auto r = MakeObs({{0, 0}});
        r->head.layer = 1;
        r->head.net = net;
        ObsPut(ObsAppend(), r.get());
    }
    NetDelete(2);
    EXPECT_EQ(ObsRef(1)->head.net, int16_t(kObsNoNet));
    EXPECT_EQ(ObsRef(2)->head.net, 2);
}

TEST_F(ObsTableTest, ComponentBoxOutsideTheBoard) {
    const int32_t t = AddThru({{kPadSquare, 100, 100, 100, 100}});
    const int32_t s = AddSymbol("PAD", {{0, 0, int16_t(t)}});
    Component comp = CompRecord("U1", s, 5000, 5000);
    EXPECT_EQ(CompBoxOutside(&comp), 0) << "no board outline yet";
    Add({{0, 0}, {10000, 0}, {10000, 10000}, {0, 10000}}, 0, "BOARD", kObsBoardOutline);
    // Obstacles of other kinds or owners play no part.
    Add({{4000, 4000}, {4500, 4000}, {4500, 4500}}, 0, "AVOID", kObsAvoid);
    CompAdd();
    Add({{0, 0}, {10, 0}, {10, 10}}, -1, "OWNED", kObsBoardOutline);
    EXPECT_EQ(CompBoxOutside(&comp), 0);
    comp.x = 9900; // the pad's edge on the outline counts as inside
    EXPECT_EQ(CompBoxOutside(&comp), 0);
    comp.x = 9901;
    EXPECT_EQ(CompBoxOutside(&comp), 1);
    comp.x = 5000;
    comp.y = 50;
    EXPECT_EQ(CompBoxOutside(&comp), 1);
    // A keep-in on the board narrows it.
    comp.y = 5000;
    Add({{0, 0}, {6000, 0}, {6000, 10000}, {0, 10000}}, 0, "KEEPIN", kObsCompKeepin);
    EXPECT_EQ(CompBoxOutside(&comp), 0);
    comp.x = 6000;
    EXPECT_EQ(CompBoxOutside(&comp), 1);
    comp.symbol = 0;
    EXPECT_FATAL(CompBoxOutside(&comp), kErrBoxOutsideSymbol);
    comp.symbol = int16_t(s + 1);
    EXPECT_FATAL(CompBoxOutside(&comp), kErrBoxOutsideSymbol);
}

TEST_F(ObsTableTest, ScalingWalksTheTable) {
    DbTableSetCount(kRecObstacle, &ObsCount); // other tests may have replaced it
    const int32_t o = Add({{1000, 2000}, {3000, 2000}});
    const int32_t w = ObsRef(o)->head.width;
    DbScale(2, 1, 10, 0);
    EXPECT_EQ(Points(o), (Pts{{2010, 4000}, {6010, 4000}}));
    EXPECT_EQ(ObsRef(o)->head.width, 2 * w);
    EXPECT_EQ(ObsCount(), 1);
}

} // namespace
