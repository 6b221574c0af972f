// Path installation with the checker's clearing installed: whatever the
// installation answers for a gap beside routes of another net, the journal
// is closed and every connection then passes the connection rule check; a
// gap with room beside one route goes in.
#include "db/conns.h"
#include "router/costs.h"
#include "router/hoprip.h"
#include "router/installpath.h"
#include "router/maze.h"
#include "router/objvalidate.h"
#include "router/path.h"
#include "router/prep.h"
#include "router/rulesvc.h"
#include "router/seed.h"
#include "router/wave.h"
#include "router/goalconnfixture.h"
#include "rules/rulesinstall.h"
#include "support/fatal.h"

namespace {

class InstallClearTest : public GoalConnTest {
  protected:
    void SetUp() override {
        GoalConnTest::SetUp();
        RulesInstall(); // before the router opens: the maze takes the stitch buffer
        Open();
        MazeBorder();
        ASSERT_EQ(PrepCost(1), 1);
        g_windowLoaded = 1;
        g_router.ripUpAllowed = 1;
        MzGoal& g = *Goal();
        g.pass = 1;
        g.state = kGoalSweepWindows;
        g.iterateLimit = 10;
        CurSweep().limit[1] = 100;
    }
    void TearDown() override {
        RuleServicesInstall(nullptr);
        GoalConnTest::TearDown();
    }
    // A routed connection of net 2 along y from x 25,500 to 34,500, mapped.
    static int32_t Route(int32_t y) {
        const int32_t e = StoreEnds(2, 0, 0, 0, 0, {{25500, y, 1}, {34500, y, 0}});
        const Conn* c = ConnRef(ObjEntry(e)->index);
        ConnMap(c, e, 0, c->head.count - 1, 0);
        return e;
    }
    // Routes U1.2 - U2.1 of net 1 and installs the path found.
    static int32_t Install(int32_t gap) {
        MzGoal& g = *Goal();
        g.objIndex = int16_t(gap);
        g.conn = ObjEntry(gap)->index;
        g.crn1Index = 0;
        g.crn2Index = 1;
        g.partialMode = 0;
        MazeReset(0, 1);
        Conn work;
        EXPECT_EQ(PrepConn(&work), 1);
        EXPECT_EQ(SeedExits(), 1);
        EXPECT_EQ(WaveRunPass(kHopBudget), 1);
        EXPECT_EQ(PathFind(g_router.connPath), 1);
        return InstallPath();
    }
    static void EveryConnPasses(std::initializer_list<int32_t> entries) {
        EXPECT_EQ(AltDepth(), 0);
        for (int32_t e : entries) {
            const Conn* c = ConnRef(ObjEntry(e)->index);
            EXPECT_EQ(DrcCheckConn(e, c, 0, c->head.count - 1), 1) << e;
        }
    }
};

TEST_F(InstallClearTest, AGapWithRoomBesideARouteGoesInAndEveryConnectionPasses) {
    const int32_t gap = StoreEnds(1, 1, 2, 2, 1, {{21000, 30000, 0}, {39000, 30000, 0}});
    const int32_t other = Route(31000); // 1,000 above the straight line: 1,200 are needed
    EXPECT_EQ(Install(gap), 1);
    EXPECT_NE(ConnRef(ObjEntry(gap)->index)->crn[0].layer, 0);
    EveryConnPasses({gap, other});
}

TEST_F(InstallClearTest, AGapCrowdedOnBothSidesLeavesEveryConnectionPassing) {
    const int32_t gap = StoreEnds(1, 1, 2, 2, 1, {{21000, 30000, 0}, {39000, 30000, 0}});
    const int32_t above = Route(31000), below = Route(29000);
    Install(gap);
    EveryConnPasses({gap, above, below});
}

} // namespace
