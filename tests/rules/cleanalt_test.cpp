// The clean-up of journal changes: a via join installed through updateAlt,
// what blocks every join (a Locked end, a deleted item, only pads near, a
// reach not met), updateAlt's refusals, the map-object types the clean-up
// passes over, the hit search's crossing and its traces.
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/pool.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "rules/cleanitem.h"
#include "rulefixture.h"

namespace {

std::vector<std::string> g_lines;
void Collect(const char* text) {
    g_lines.emplace_back(text);
}

// Net 1 on the two layers of the preparation board (spacings 600, widths
// 600, via pads of radius 300): connection A from S = (9,000, 30,000) on
// layer 1 to a via at (18,000, 30,000), then up on layer 2; B from S to a
// via `gap` further along x, then up.
class CleanAltTest : public RuleTest {
  protected:
    void SetUp() override {
        RuleTest::SetUp();
        OpenBoard("", 1);
        g_lines.clear();
    }
    void TwoVias(int32_t gap, int32_t startFlags = 0) {
        a = StoreConn(1,
                      {{9000, 30000, 1, 0, startFlags}, {18000, 30000, 2, 1}, {18000, 45000, 0}});
        b = StoreConn(1, {{9000, 30000, 1}, {18000 + gap, 30000, 2, 1}, {18000 + gap, 45000, 0}});
        eA = AddConn(a);
        eB = AddConn(b);
        ASSERT_EQ(MapAll(), 1);
    }
    void Verbose() {
        g_verbose = 1;
        DebugSetTraceReceiver(&Collect);
    }
    static int32_t Count(const std::string& text) {
        int32_t n = 0;
        for (const std::string& l : g_lines)
            n += l == text;
        return n;
    }
    // A level in which connection n was stored again as it stands.
    static void Touch(int32_t n) {
        AltPush();
        Conn c = Now(n);
        AltPut(kRecConn, n, 0, &c);
    }
    static Conn Now(int32_t n) {
        Conn c;
        ConnReadJournal(n, &c);
        return c;
    }
    static bool Same(const Conn& x, const Conn& y) {
        if (x.head.count != y.head.count) return false;
        for (int32_t i = 0; i < x.head.count; ++i) {
            const Crn &p = x.crn[i], &q = y.crn[i];
            if (p.x != q.x || p.y != q.y || p.layer != q.layer || p.via != q.via) return false;
        }
        return true;
    }
    static bool Passes(int32_t n, int32_t entry) {
        const Conn c = Now(n);
        return DrcCheckConn(entry, &c, 0, c.head.count - 1) == 1;
    }
    // A read into the copy as a changed item, the failure flag clear.
    CleanItem ItemA(Conn* copy) const {
        CleanItem item;
        item.type = kRecConn;
        item.index = a;
        item.entry = eA;
        item.conn = copy;
        ConnReadJournal(a, copy);
        item.changed = true;
        CleanFailure = false;
        return item;
    }
    int32_t a = 0, b = 0, eA = 0, eB = 0;
};

// A stored as drawn, then from its far end (its to-end meets B's from-end:
// conn1 is turned for the join and back for the install).
TEST_F(CleanAltTest, ViasWithinReachBecomeOneAndTheLevelKeepsTheRules) {
    for (bool reversed : {false, true}) {
        SCOPED_TRACE(reversed);
        ObjTableInit();
        g_lines.clear();
        // B's via 1,000 short of A's (below 300 + 300 + 600): B's stretch
        // scores lower, so A takes B's via
        TwoVias(-1000);
        if (reversed) {
            Conn r = Now(a);
            ConnReverse(&r);
            DbTrustedScope trusted;
            ConnPut(a, &r);
            ASSERT_EQ(MapAll(), 1);
        }
        Verbose();
        const Conn beforeA = Now(a);
        Touch(a);
        CleanAlt();
        const Conn ca = Now(a);
        EXPECT_FALSE(Same(ca, beforeA));
        // A now takes its via at B's via point and keeps its two ends
        bool onB = false;
        for (int32_t i = 0; i < ca.head.count; ++i)
            onB |= ca.crn[i].via && ca.crn[i].x == 17000 && ca.crn[i].y == 30000;
        EXPECT_TRUE(onB);
        const Crn& s = ca.crn[reversed ? ca.head.count - 1 : 0];
        const Crn& t = ca.crn[reversed ? 0 : ca.head.count - 1];
        EXPECT_EQ(int32_t(s.x), 9000);
        EXPECT_EQ(int32_t(t.x), 18000);
        EXPECT_EQ(int32_t(t.y), 45000);
        EXPECT_TRUE(Passes(a, eA));
        EXPECT_TRUE(Passes(b, eB));
        EXPECT_GE(Count("updateAlt: installing"), 1);
        EXPECT_EQ(Count("CleanAlt: starting"), 1);
        EXPECT_EQ(Count("CleanAlt: complete"), 1);
        AltPop(false);
        EXPECT_TRUE(Same(Now(a), beforeA));
    }
}

TEST_F(CleanAltTest, NothingIsJoinedWhenAJoinIsBlocked) {
    struct Case {
        const char* name;
        int32_t gap, startFlags;
        bool deleted;
    };
    const Case cases[] = {
        {"vias beyond reach", 1300, 0, false},
        {"Locked start corner", 1000, kCrnLocked, false},
        {"conn1 deleted in the level", 1000, 0, true},
        {"conn2 deleted in the level", 1000, 0, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ObjTableInit();
        TwoVias(k.gap, k.startFlags);
        const Conn beforeA = Now(a), beforeB = Now(b);
        Touch(a);
        const bool second = std::string(k.name).find("conn2") == 0;
        if (second) {
            const Conn cb = Now(b);
            AltPut(kRecConn, b, 0, &cb);
        }
        if (k.deleted) {
            AltItemHeader h;
            Conn img;
            AltGet(AltCount(), &h, &img);
            h.flags |= kAltDeleted;
            AltItemPut(&h, &img);
        }
        CleanAlt();
        EXPECT_TRUE(Same(Now(a), beforeA));
        EXPECT_TRUE(Same(Now(b), beforeB));
        EXPECT_EQ(AltCount(), second ? 2 : 1);
        AltPop(false);
    }
}

TEST_F(CleanAltTest, AConnectionNearOnlyPadsIsNeverEdited) {
    // U1's pins at (15,000, 15,000) and (21,000, 15,000); a route past them
    OpenBoard("*COMP U1 [15000, 15000] Symbol=1\r\n", 1);
    a = StoreConn(1, {{9000, 18000, 1}, {27000, 18000, 0}});
    eA = AddConn(a);
    ASSERT_EQ(MapAll(), 1);
    Verbose();
    const Conn before = Now(a);
    Touch(a);
    CleanAlt();
    EXPECT_TRUE(Same(Now(a), before));
    EXPECT_EQ(Count("updateAlt: installing"), 0);
    AltPop(false);
}

// A with B far off and C of net 2 standing on layer 2 at x = 21,000.
TEST_F(CleanAltTest, UpdateAltRefusesAndTraces) {
    a = StoreConn(1, {{9000, 30000, 1}, {18000, 30000, 2, 1}, {18000, 45000, 0}});
    const int32_t c = StoreConn(2, {{21000, 33000, 2}, {21000, 40000, 0}});
    eA = AddConn(a);
    AddConn(c);
    ASSERT_EQ(MapAll(), 1);
    ScratchRecord<Conn> copy;
    struct Case {
        const char* trace;
        void (*edit)(Conn*);
    };
    const Case cases[] = {
        {"updateAlt: changed source/target", [](Conn* k) { k->crn[0].x -= 1500; }},
        {"updateAlt: width 0", [](Conn* k) { k->crn[1].width = 0; }},
        // a segment at 30 degrees
        {"updateAlt: Oblique segment",
         [](Conn* k) {
             k->crn[1].x = 17000;
             k->crn[1].y = 34619;
         }},
        // the via moves next to C: 300 from C's centre line on layer 2
        {"updateAlt: clean check",
         [](Conn* k) {
             k->crn[1].x = 20700;
             CrnInsert(k, 2, 1);
             k->crn[2] = k->crn[1];
             k->crn[2].y = 42300;
             k->crn[2].via = 0;
         }},
    };
    Verbose();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.trace);
        g_lines.clear();
        Touch(a);
        CleanItem item = ItemA(copy.get());
        k.edit(copy.get());
        updateAlt(&item);
        EXPECT_TRUE(CleanFailure);
        EXPECT_EQ(Count(k.trace), 1);
        EXPECT_EQ(Count("updateAlt: installing"), 0);
        // a set failure flag refuses at once
        g_lines.clear();
        updateAlt(&item);
        EXPECT_EQ(Count("updateAlt: clean failure"), 1);
        AltPop(false);
    }
}

TEST_F(CleanAltTest, UpdateAltClearsAnUnchangedCopyAndInstallsAChangedOne) {
    TwoVias(6000);
    ScratchRecord<Conn> copy;
    Verbose();
    Touch(a);
    CleanItem item = ItemA(copy.get());
    updateAlt(&item); // the same corners: the stretch is empty
    EXPECT_FALSE(item.changed);
    EXPECT_FALSE(CleanFailure);
    // the via 1,500 back along x, then up and a 45-degree step to the end;
    // handed over reversed
    copy->crn[1].x = 16500;
    CrnInsert(copy.get(), 2, 1);
    copy->crn[2] = copy->crn[1];
    copy->crn[2].via = 0;
    copy->crn[2].y = 43500;
    CleanItemReverse(&item);
    item.changed = true;
    updateAlt(&item);
    EXPECT_FALSE(CleanFailure);
    EXPECT_FALSE(item.reversed);
    EXPECT_EQ(Count("updateAlt: installing"), 1);
    const Conn now = Now(a);
    ASSERT_EQ(int32_t(now.head.count), 4);
    EXPECT_EQ(int32_t(now.crn[1].x), 16500);
    EXPECT_EQ(int32_t(now.crn[1].via), 1);
    EXPECT_EQ(int32_t(now.crn[2].y), 43500);
    AltPop(false);
}

TEST_F(CleanAltTest, AStretchOutsideTheMazeExtentInstallsNothing) {
    const int32_t x = g_mzGrid.extent.maxX;
    a = StoreConn(
        1,
        {{x + 1500, 30000, 1}, {x + 3000, 30000, 1}, {x + 3000, 31500, 1}, {x + 4500, 33000, 0}});
    ScratchRecord<Conn> copy;
    Verbose();
    Touch(a);
    CleanItem item = ItemA(copy.get());
    copy->crn[1].x = x + 1500; // the jog one step back along x
    copy->crn[1].y = 31500;
    updateAlt(&item);
    EXPECT_FALSE(CleanFailure);
    EXPECT_FALSE(item.changed);
    EXPECT_EQ(Count("updateAlt: source edge crossing crn 0"), 1);
    EXPECT_EQ(Count("updateAlt: target edge crossing crn 2"), 1);
    EXPECT_EQ(Count("updateAlt: installing"), 0);
    AltPop(false);
}

TEST_F(CleanAltTest, ViaSpacingAgainstAnotherConnectionsVias) {
    // pads of radius 300 and a spacing of 600: 1,200 between centres
    for (int32_t gap : {1199, 1200, 0}) {
        SCOPED_TRACE(gap);
        const Conn mine = ConnOf(1, {{9000, 30000, 1}, {18000, 30000, 2, 1}, {18000, 45000, 0}});
        const Conn other =
            ConnOf(1, {{9000, 36000, 1}, {18000 + gap, 30000, 2, 1}, {24000, 36000, 0}});
        EXPECT_EQ(DrcViaVsConnVias(&mine, 1, &other), gap == 1199 ? 0 : 1);
    }
}

// Conn2 leaves S beside conn1 (1,000 off), steps away to 3,000 and runs
// on: join mode 0 finds the first stretch only; mode 1 follows conn2 as
// long as it stays within five spacings of conn1.
TEST_F(CleanAltTest, JoinModeOneExtendsTheHitAlongAParallelRun) {
    ScratchRecord<Conn> c1, c2;
    CleanConn1 = CleanItem{};
    CleanConn1.conn = c1.get();
    CleanConn2 = CleanItem{};
    CleanConn2.conn = c2.get();
    const Conn one = ConnOf(1, {{9000, 30000, 1},
                                {15000, 30000, 1},
                                {21000, 30000, 1},
                                {27000, 30000, 1},
                                {33000, 30000, 1},
                                {33000, 45000, 0}});
    const Conn two = ConnOf(1, {{9000, 30000, 1},
                                {9000, 31000, 1},
                                {13500, 31000, 1},
                                {13500, 33000, 1},
                                {21000, 33000, 1},
                                {21000, 39000, 1},
                                {9000, 45000, 0}});
    Verbose();
    for (int32_t mode : {0, 1}) {
        SCOPED_TRACE(mode);
        *c1.get() = one;
        *c2.get() = two;
        ASSERT_EQ(hitConn1Conn2(mode), 1);
        EXPECT_EQ(CleanConn1.common, 0);
        EXPECT_EQ(CleanConn2.common, 0);
        EXPECT_EQ(CleanConn1.last, mode ? 3 : 1);
        EXPECT_EQ(CleanConn2.last, mode ? 4 : 3);
        EXPECT_EQ(CleanConn1.extend, mode == 1);
    }
    EXPECT_EQ(Count("hitConn1Conn2: extend conn1 0 to 3, conn2 0 to 4"), 1);
    CleanConn1.conn = CleanConn2.conn = nullptr;
}

TEST_F(CleanAltTest, TheRouterKeepsNoProvisionalCleanUp) {
    RuleServicesInstall(&RuleServicesProvisional());
    EXPECT_FATAL(CleanAlt(), kErrRuleServiceMissing);
    RulesInstall();
    AltPush();
    CleanAlt(); // an empty level: nothing to do
    EXPECT_EQ(AltCount(), 0);
    AltPop(false);
}

TEST_F(CleanAltTest, ReversingAnItemMapsItsRangeAndCommonCorner) {
    ScratchRecord<Conn> copy;
    *copy.get() = ConnOf(1, {{0, 0, 1}, {1500, 0, 1}, {3000, 0, 1}, {4500, 0, 1}, {6000, 0, 0}});
    CleanItem item;
    item.conn = copy.get();
    item.first = 1;
    item.last = 2;
    item.common = 1;
    CleanItemReverse(&item);
    EXPECT_EQ(item.first, 2);
    EXPECT_EQ(item.last, 3);
    EXPECT_EQ(item.common, 3);
    EXPECT_TRUE(item.reversed);
    EXPECT_EQ(int32_t(copy->crn[0].x), 6000);
    CleanItemReverse(&item);
    EXPECT_EQ(item.first, 1);
    EXPECT_FALSE(item.reversed);
}

TEST_F(CleanAltTest, TextEntriesArePassedOverAndUnknownTypesAreInternalErrors) {
    TwoVias(6000);
    ObjAdd(kObjText, 0, 1, 0, 0);
    const int32_t text = ObjCount();
    ObjAdd(kObjText, 0, 2, 0, 0);
    const int32_t other = ObjCount();
    ObjEntry(other)->type = kObjNull; // a type no table holds
    ScratchRecord<Conn> c1, c2;
    CleanConn1 = CleanItem{};
    CleanConn1.conn = c1.get();
    CleanConn1.index = a;
    CleanConn1.entry = eA;
    CleanConn2 = CleanItem{};
    CleanConn2.conn = c2.get();
    ConnReadJournal(a, c1.get());
    AltPush();
    EXPECT_EQ(CleanAltObject(text, 0), 1);
    EXPECT_FATAL(CleanAltObject(other, 0), kErrCleanObjType);
    AltPop(false);
    CleanConn1.conn = CleanConn2.conn = nullptr;
}

// Conn1 along y = 30,000 on layer 1 crossing conn2, which runs up x =
// 15,000: no shared corner, so the crossing gets a new corner in each.
TEST_F(CleanAltTest, HitSearchMakesCommonCornersAtACrossing) {
    a = StoreConn(1, {{9000, 30000, 1}, {24000, 30000, 0}});
    b = StoreConn(1, {{15000, 24000, 1}, {15000, 36000, 0}});
    const int32_t c = StoreConn(1, {{9000, 33000, 1}, {24000, 33000, 0}});
    eA = AddConn(a);
    eB = AddConn(b);
    AddConn(c);
    ASSERT_EQ(MapAll(), 1);
    ScratchRecord<Conn> c1, c2;
    CleanConn1 = CleanItem{};
    CleanConn1.conn = c1.get();
    CleanConn2 = CleanItem{};
    CleanConn2.conn = c2.get();
    ConnReadJournal(a, c1.get());
    ConnReadJournal(b, c2.get());
    Verbose();
    ASSERT_EQ(hitConn1Conn2(0), 1);
    EXPECT_EQ(CleanConn1.common, 1);
    EXPECT_EQ(CleanConn2.common, 1);
    EXPECT_EQ(int32_t(c1->head.count), 3);
    EXPECT_EQ(int32_t(c1->crn[1].x), 15000);
    EXPECT_EQ(int32_t(c2->crn[1].y), 30000);
    // at the corner limit the crossing's corner is refused, not inserted
    ConnReadJournal(a, c1.get());
    ConnReadJournal(b, c2.get());
    CrnInsert(c1.get(), 0, kConnInsertLimit - 2);
    CleanFailure = false;
    EXPECT_EQ(hitConn1Conn2(0), 0);
    EXPECT_TRUE(CleanFailure);
    EXPECT_EQ(int32_t(c1->head.count), kConnInsertLimit);
    CleanFailure = false;
    // two parallel lines 900 apart meet nowhere
    ConnReadJournal(a, c1.get());
    ConnReadJournal(c, c2.get());
    *c2.get() = ConnOf(1, {{9000, 30900, 1}, {24000, 30900, 0}});
    g_lines.clear();
    EXPECT_EQ(hitConn1Conn2(0), 0);
    EXPECT_EQ(Count("*hitConn1Conn2:  Can't find common point"), 1);
    CleanConn1.conn = CleanConn2.conn = nullptr;
}

// Copies the checks cannot judge are refused and the stored connection
// stays: a via moved out of the maze extent (the copper there is not
// loaded), and a layer change left without a via.
TEST_F(CleanAltTest, UpdateAltRefusesAViaMovedOutOfTheExtentOrALayerChangeWithoutAVia) {
    const int32_t x = g_mzGrid.extent.maxX;
    a = StoreConn(1, {{x - 6000, 30000, 1}, {x - 3000, 30000, 2, 1}, {x - 3000, 45000, 0}});
    eA = AddConn(a);
    ASSERT_EQ(MapAll(), 1);
    const Conn before = Now(a);
    for (bool outOfExtent : {true, false}) {
        SCOPED_TRACE(outOfExtent);
        Touch(a);
        ScratchRecord<Conn> copy;
        CleanItem item = ItemA(copy.get());
        if (outOfExtent) {
            // the via 1,500 past the extent's edge, back at 45 degrees
            copy->crn[1].x = x + 1500;
            CrnInsert(copy.get(), 2, 1);
            copy->crn[2] = copy->crn[1];
            copy->crn[2].via = 0;
            copy->crn[2].y = 40500;
        } else {
            copy->crn[1].via = 0;
        }
        updateAlt(&item);
        EXPECT_TRUE(CleanFailure);
        EXPECT_TRUE(Same(Now(a), before));
        AltPop(false);
    }
}

} // namespace
