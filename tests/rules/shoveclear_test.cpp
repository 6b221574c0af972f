// The router's shove with the checker's clearing installed: a path between
// two routes of another net that crowd it pushes them aside instead of
// failing, and the result keeps its clearances; a via in the path finds
// room the same way. The journal level holds the path and the pushed
// routes.
#include "db/conns.h"
#include "router/nearest.h"
#include "router/push.h"
#include "router/shove.h"
#include "clearfixture.h"

namespace {

class ShoveClearTest : public ClearTest {
  protected:
    void SetUp() override {
        ClearTest::SetUp();
        Open();
        NearestInit();
        AltPush();
    }
    void TearDown() override {
        AltPop(false);
        ClearTest::TearDown();
    }
    int32_t Route(int32_t x) {
        const int32_t n = StoreConn(2, {{x, 33000, 1}, {x, 51000, 0}});
        AddConn(n);
        EXPECT_EQ(MapAll(), 1);
        return n;
    }
};

TEST_F(ShoveClearTest, RoutesCrowdingThePathArePushedAsideAndTheResultKeepsItsClearance) {
    // 1,000 from the path on both sides where 1,200 are needed
    const int32_t low = Route(23000), high = Route(25000);
    const int32_t n = Goal1({{24000, 37500, 1}, {24000, 46500, 0}});
    Goal()->conn = int16_t(n);
    Conn path;
    ConnGet(n, &path);
    EXPECT_EQ(DrcCheckConn(Goal()->objIndex, &path, 0, path.head.count - 1), 0);
    EXPECT_EQ(mzShovePath(&path), 1);
    for (int32_t i = 0; i < path.head.count; ++i)
        EXPECT_EQ(int32_t(path.crn[i].x), 24000);
    EXPECT_EQ(DrcCheckConn(Goal()->objIndex, &path, 0, path.head.count - 1), 1);
    // the pushed routes are in the journal level and clear of the path
    for (int32_t r : {low, high}) {
        Conn moved;
        AltSave(kRecConn, r, &moved);
        const int32_t e = ObjFindConn(r);
        EXPECT_EQ(DrcCheckConn(e, &moved, 0, moved.head.count - 1), 1) << r;
        EXPECT_GT(moved.head.count, 2) << r; // a bump round the path
    }
    EXPECT_EQ(Goal()->hopCount, 0);
    EXPECT_EQ(PushDepth(), 0);
    EXPECT_EQ(g_pushOptions.stitchMode, 0);
}

} // namespace
