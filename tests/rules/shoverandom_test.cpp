// Shoves of many generated paths (straight, with a via, and at 45 degrees)
// through generated routes of another net with the checker's clearing
// installed: the journal depth, the push depth and the scratch stack are
// the same after every shove as before it, and a path the shove accepts
// keeps its clearances.
#include <random>

#include "db/conns.h"
#include "router/nearest.h"
#include "router/push.h"
#include "router/shove.h"
#include "clearfixture.h"

namespace {

class ShoveRandomTest : public ClearTest {};

TEST_F(ShoveRandomTest, AcceptedShovesKeepTheirClearancesAndEveryDepthIsKept) {
    Open();
    std::mt19937 rng(27);
    auto grid = [&](int32_t lo, int32_t hi) {
        return 1500 * std::uniform_int_distribution<int32_t>(lo / 1500, hi / 1500)(rng);
    };
    for (int32_t r = 0; r < 14; ++r) {
        const int32_t x = grid(15000, 45000) + 500 * (r % 3), y = grid(15000, 45000);
        const int32_t layer = 1 + r % 2;
        const int32_t n = r % 2 == 0 ? StoreConn(2, {{x, y - 6000, layer}, {x, y + 6000, 0}})
                                     : StoreConn(2, {{x - 6000, y, layer}, {x + 6000, y, 0}});
        AddConn(n);
    }
    ASSERT_EQ(MapAll(), 1);
    int32_t accepted = 0, crowded = 0, cleared = 0;
    for (int32_t t = 0; t < 80; ++t) {
        // inside the window, off its clipping edge
        const int32_t x0 = grid(18000, 36000), y0 = grid(18000, 36000);
        const int32_t x1 = x0 + grid(-6000, 6000), y1 = y0 + grid(3000, 9000);
        const int32_t via = t % 3 == 0 ? 1 : 0, d = y1 - y0;
        const int32_t bend = t % 4 == 1 ? x0 + d : x0; // a 45-degree first segment
        const int32_t n =
            Goal1({{x0, y0, 1}, {bend, y1, 1 + via, via}, {x1 + bend - x0, y1, 0}}, 1, 1 + via);
        Goal()->conn = int16_t(n);
        Conn path;
        ConnGet(n, &path);
        const bool crowd = !DrcCheckConn(Goal()->objIndex, &path, 0, path.head.count - 1);
        crowded += crowd;
        NearestInit();
        AltPush();
        const int32_t alt = AltDepth(), scratch = ScratchDepth();
        const int32_t ok = mzShovePath(&path);
        EXPECT_EQ(AltDepth(), alt) << t;
        EXPECT_EQ(ScratchDepth(), scratch) << t;
        EXPECT_EQ(PushDepth(), 0) << t;
        if (ok) {
            ++accepted;
            cleared += crowd;
            EXPECT_EQ(DrcCheckConn(Goal()->objIndex, &path, 0, path.head.count - 1), 1) << t;
        }
        MapAltRestore();
        AltPop(false);
        MazeReset(1, 1);
        ViaReset();
    }
    // most paths go in, crowded ones among them
    EXPECT_GT(accepted, 40);
    EXPECT_GT(crowded, 10);
    EXPECT_GT(cleared, 3);
}

} // namespace
