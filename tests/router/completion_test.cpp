// Complete connections: every segment routed and the component ends on
// their pins; the design's count leaves out the connections left out of
// the statistics; a level's change counts the connections it made
// complete less those it left with a gap.
#include "db/altjournal.h"
#include "router/completion.h"
#include "goalconnfixture.h"

namespace {

class CompletionTest : public GoalConnTest {
  protected:
    void SetUp() override {
        GoalConnTest::SetUp();
        Open();
    }
};

TEST_F(CompletionTest, RoutedWithTheEndsOnTheirPins) {
    // U1.2 is at (21,000, 30,000), U2.1 at (39,000, 30,000).
    const struct {
        const char* what;
        int32_t fromComp, toComp;
        std::initializer_list<CrnSpec> corners;
        bool complete;
    } cases[] = {
        {"routed pin to pin",
         1,
         2,
         {{21000, 30000, 1}, {30000, 30000, 2, 1}, {39000, 30000, 0}},
         true},
        {"a gap", 1, 2, {{21000, 30000, 1}, {30000, 30000, 0}, {39000, 30000, 0}}, false},
        {"the last end off its pin", 1, 2, {{21000, 30000, 1}, {37500, 30000, 0}}, false},
        {"the first end off its pin", 1, 2, {{22500, 30000, 1}, {39000, 30000, 0}}, false},
        {"free ends", 0, 0, {{3000, 3000, 1}, {9000, 3000, 0}}, true},
        {"a ratsnest line", 1, 2, {{21000, 30000, 0}, {39000, 30000, 0}}, false},
    };
    for (const auto& k : cases) {
        Conn c = ConnOf(1, k.corners);
        c.head.fromComp = int16_t(k.fromComp);
        c.head.fromPin = int16_t(k.fromComp ? 2 : 0);
        c.head.toComp = int16_t(k.toComp);
        c.head.toPin = int16_t(k.toComp ? 1 : 0);
        EXPECT_EQ(ConnComplete(&c), k.complete) << k.what;
    }
    Conn one = ConnOf(1, {{21000, 30000, 0}});
    EXPECT_FALSE(ConnComplete(&one));
}

TEST_F(CompletionTest, DesignCountAndTheChangeOfALevel) {
    const int32_t a = StoreEnds(1, 1, 2, 2, 1, {{21000, 30000, 1}, {39000, 30000, 0}}, false);
    const int32_t b = StoreEnds(2, 1, 2, 2, 1, {{21000, 30000, 0}, {39000, 30000, 0}}, false);
    StoreEnds(2, 0, 0, 0, 0, {{3000, 3000, 1}, {9000, 3000, 0}}, false);
    Conn left = ConnOf(2, {{3000, 6000, 1}, {9000, 6000, 0}}, 10, kConnNotSelected);
    const int32_t n = ConnAdd();
    {
        DbTrustedScope trusted;
        ConnPut(n, &left);
    }
    EXPECT_EQ(DesignCompleteCount(), 2);
    EXPECT_EQ(LevelCompletionChange(), 0); // no level open

    AltPush();
    Conn rec;
    ConnGet(b, &rec);
    rec.crn[0].layer = 1;
    AltPut(kRecConn, b, 0, &rec); // made complete
    EXPECT_EQ(LevelCompletionChange(), 1);
    ConnGet(a, &rec);
    rec.crn[0].layer = 0;
    AltPut(kRecConn, a, 0, &rec); // left with a gap
    EXPECT_EQ(LevelCompletionChange(), 0);
    AltPush(); // a nested level counts against the level below
    ConnReadJournal(a, &rec);
    rec.crn[0].layer = 2;
    AltPut(kRecConn, a, 0, &rec);
    EXPECT_EQ(LevelCompletionChange(), 1);
    AltPop(true);
    AltPop(true);
    EXPECT_EQ(DesignCompleteCount(), 3);
}

} // namespace
