// The *STRATEGY and *PLACE sections: defaults, reading and writing.
#include <string>

#include "asctest.h"
#include "db/placestrat.h"
#include "db/sweeps.h"

namespace {

class AscStratTest : public AscTest {
  protected:
    static Sweep SweepOf(int32_t n) {
        uint8_t saved = DbHdr().sweep;
        DbHdr().sweep = uint8_t(n);
        Sweep s;
        SweepGet(&s);
        DbHdr().sweep = saved;
        return s;
    }
    static std::string TwoLayers() { return "*LAYER 2\r\n"; }
};

TEST_F(AscStratTest, GoldenSweepZero) {
    ASSERT_EQ(Read(File("", TwoLayers())), 1);
    std::string out = Written(strategyAsc);
    std::string want = "*STRATEGY 0 \"Win/Comp/Man\"\r\n"
                       "   EdgeColor: 8421504\r\n"
                       "   BackgroundColor: 16777215\r\n"
                       "   CompOutlineColor: 100598015\r\n"
                       "   CompNameColor: 201326591\r\n"
                       "   Diag: ZID Primary: NEXT Secondary: DOWN\r\n"
                       "   OPTIONS:\r\n"
                       "   PASS 0 ENABLE MAZE PARTIAL \r\n"
                       "   PASS 1 ENABLE HEUR \r\n"
                       "   PASS 2 ENABLE MAZE PARTIAL \r\n"
                       "   PASS 3 DISABLE MAZE PARTIAL \r\n"
                       "   PASS 4 DISABLE \r\n"
                       "   Layer 0 Disable Dir: 0 Cost: 0 Between: 0\r\n"
                       "   Layer 1 Enable  Dir: 80 Cost: 50 Between: 30\r\n"
                       "   Layer 2 Enable  Dir: 20 Cost: 50 Between: 30\r\n"
                       "VIA  50 0 70 40 100\r\n"
                       "RETRY  50 0 30 60 100\r\n"
                       "LIMIT  50 0 80 80 100\r\n"
                       "ATTEMPS  50 2 20 20 50\r\n"
                       "BOX 210 180 60 50\r\n";
    ASSERT_GE(out.size(), want.size());
    EXPECT_EQ(out.substr(0, want.size()), want);
    EXPECT_NE(out.find("*STRATEGY 1 \"Preliminary Route\"\r\n"), std::string::npos);
    EXPECT_NE(out.find("*STRATEGY 8 \"Sweep 8\"\r\n"), std::string::npos);
}

TEST_F(AscStratTest, DefaultsOfEveryRow) {
    Sweep s;
    StrategyDefaults(&s, 6);
    EXPECT_STREQ(s.name, "Special Options");
    EXPECT_EQ(s.passFlags[1], 0x0412);
    EXPECT_EQ(s.passFlags[2], 0x0210);
    EXPECT_EQ(s.passFlags[3], 0x0050);
    EXPECT_EQ(s.via[3], 80);
    EXPECT_EQ(s.limit[3], 0);
    EXPECT_EQ(s.attempts[3], 0);
    StrategyDefaults(&s, 1);
    EXPECT_EQ(s.passFlags[3], 0x1001);
    EXPECT_EQ(s.dir[7], 80);
    EXPECT_EQ(s.dir[8], 20);
    EXPECT_EQ(s.between[1], 0); // only sweeps 0 and 2 get Between 30
    EXPECT_EQ(s.primary, 8);
    StrategyDefaults(&s, 3);
    EXPECT_EQ(s.passFlags[1], 0x1012);
    EXPECT_EQ(s.attempts[2], 20);
    EXPECT_EQ(s.primary, 16);
    Sweep d;
    for (int32_t n : {7, 8}) {
        StrategyDefaults(&s, n);
        DbRecInit(kRecSweep, &d, n);
        EXPECT_EQ(std::memcmp(&s, &d, sizeof s), 0) << n;
    }
}

TEST_F(AscStratTest, ReadingKeepsWhatTheSectionDoesNotMention) {
    std::string body = "*STRATEGY 2 \"Mine\"\r\n"
                       "   Diag: ON Primary: UP Secondary: LEFT\r\n"
                       "   PASS 1 ENABLE MAZE FAST ECO\r\n"
                       "   Layer 1 Disable Dir: 10 Cost: 20 Between: 5 COLOR: 7 VISIBLE\r\n"
                       "VIA 1 2 3 4 5\r\n"
                       "BOX 200 100 50 25\r\n"
                       "*STRATEGY 3 \"Diag\"\r\n   Diag: ZID\r\n   Diag: FOO\r\n"
                       "*STRATEGY 4 \"Box\"\r\nBOX 3 3 1 2\r\n";
    int32_t errors = -1;
    ASSERT_EQ(Read(File(body, TwoLayers()), &errors), 1);
    EXPECT_EQ(errors, 0);
    Sweep s = SweepOf(2), d;
    StrategyDefaults(&d, 2);
    EXPECT_STREQ(s.name, "Mine");
    EXPECT_EQ(s.diagonal, 1);
    EXPECT_EQ(s.primary, 1);
    EXPECT_EQ(s.secondary, 4);
    EXPECT_EQ(s.passFlags[1], 0x1402);
    EXPECT_EQ(s.passFlags[2], d.passFlags[2]);
    EXPECT_EQ(s.enable[1], 0);
    EXPECT_EQ(s.dir[1], 10);
    EXPECT_EQ(s.cost[1], 20);
    EXPECT_EQ(s.between[1], 5);
    EXPECT_EQ(s.dir[2], d.dir[2]);
    EXPECT_EQ(s.via[4], 5);
    EXPECT_EQ(s.retry[1], d.retry[1]);
    EXPECT_EQ(s.box[0], 200);
    EXPECT_EQ(s.boxPercent[0], 25);
    EXPECT_EQ(s.boxPercent[1], 25);
    EXPECT_EQ(SweepOf(3).diagonal, 3); // an unknown word keeps the last DIAG:
    EXPECT_EQ(SweepOf(4).boxPercent[0], 33);
    EXPECT_EQ(SweepOf(4).boxPercent[1], 67);
}

TEST_F(AscStratTest, BadSectionsChangeNothing) {
    std::string body = "*STRATEGY 9 \"x\"\r\n"
                       "*STRATEGY 1 \"Zero\"\r\nVIA 1 2 3 4 5\r\nBOX 0 10 5 5\r\n"
                       "*STRATEGY 2 \"Pct\"\r\nRETRY 1 2 300 4 5\r\n"
                       "*STRATEGY 3 \"Lay\"\r\n Layer 31 Dir: 5\r\n VIA 9 9 9 9 9\r\n"
                       "*STRATEGY 4 \"Odd\"\r\n BOGUS 1\r\n"
                       "*STRATEGY 5 \"Pass\"\r\n PASS 7 MAZE\r\n";
    int32_t errors = -1;
    ASSERT_EQ(Read(File(body, TwoLayers()), &errors), 1);
    std::vector<std::string> want = {
        "Strategy number is out of range", "The coordinate of routing area cannot be 0",
        "RETRY out of range (300)",        "Layer code (31) out of range",
        "Unrecognized keyword BOGUS",      "Pass number is out of range"};
    EXPECT_EQ(Messages(), want);
    EXPECT_EQ(errors, 6);
    for (int32_t n : {1, 2}) {
        Sweep d;
        StrategyDefaults(&d, n);
        Sweep s = SweepOf(n);
        EXPECT_STREQ(s.name, d.name) << n;
        EXPECT_EQ(s.via[1], d.via[1]) << n;
    }
    EXPECT_STREQ(SweepOf(3).name, "Lay"); // the bad layer line alone is dropped
    EXPECT_EQ(SweepOf(3).via[1], 9);
    EXPECT_STREQ(SweepOf(4).name, "Odd");
}

TEST_F(AscStratTest, RetryEndsAPassLineOnlyOnALaterLine) {
    std::string body = "*STRATEGY 0 \"R\"\r\n PASS 2 ENABLE RETRY MAZE\r\nRETRY 1 2 3 4 5\r\n";
    int32_t errors = -1;
    ASSERT_EQ(Read(File(body, TwoLayers()), &errors), 1);
    EXPECT_EQ(errors, 0);
    Sweep s = SweepOf(0);
    EXPECT_EQ(s.passFlags[2], 0x1002);
    EXPECT_EQ(s.retry[2], 3);
}

TEST_F(AscStratTest, DonePassRoundTrip) {
    ASSERT_EQ(Read(File("*STRATEGY 0 \"D\"\r\n PASS 1 ENABLE DONE HEUR\r\n", TwoLayers())), 1);
    std::string out = Written(strategyAsc);
    EXPECT_NE(out.find("   PASS 1 ENABLE DONE HEUR \r\n"), std::string::npos);
}

TEST_F(AscStratTest, PlaceSection) {
    std::string body = "*PLACE\r\n  BOX 1 2 3 4 5\r\n  OPTIONS:\r\n"
                       "    PASS 2 ASSIGN SWAPPIN  ENABLED GATESWAP\r\n"
                       "    PASS 12 ALIGN\r\n"
                       "  ITERATIONS 1 2 3 4 5 6 7 8 9 10 11 12 13 14\r\n"
                       "  CLUSTERS 255\r\n";
    int32_t errors = -1;
    ASSERT_EQ(Read(File(body, TwoLayers()), &errors), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Place pass number is out of range"});
    PlaceStrategy ps;
    PlaceStratGet(&ps);
    EXPECT_EQ(ps.box[0], 1);
    EXPECT_EQ(ps.box[3], 4);
    EXPECT_EQ(ps.actions[2], 0x81);
    EXPECT_EQ(ps.states[2], 0x9);
    EXPECT_EQ(ps.actions[0], 0); // an empty record to start from
    EXPECT_EQ(ps.iterations[1], 12);
    EXPECT_EQ(ps.iterations[3], 14); // the fourteenth number lands on pass 3
    EXPECT_EQ(ps.iterations[11], 11);
    EXPECT_EQ(ps.clusters[1], 255);
    std::string out = Written(PlaceAsc);
    EXPECT_NE(out.find("*PLACE\r\n  BOX 1 2 3 4\r\n  OPTIONS:\r\n    PASS 1 \r\n"
                       "    PASS 2 ASSIGN SWAPPIN  ENABLED GATESWAP\r\n"),
              std::string::npos);
    EXPECT_NE(out.find("  ITERATIONS 12 13 14 4 5 6 7 8 9 10 11\r\n"), std::string::npos);
    EXPECT_NE(out.find("  ATTEMP     0 0"), std::string::npos);
}

TEST_F(AscStratTest, PlaceValuesOutOfRangeDropTheSection) {
    ASSERT_EQ(Read(File("*PLACE\r\n ITERATIONS 1 101\r\n", TwoLayers())), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"ITERATIONS out of range (101)"});
    PlaceStrategy ps, d;
    PlaceStratGet(&ps);
    DbRecInit(kRecPlaceStrategy, &d, 0);
    EXPECT_EQ(std::memcmp(&ps, &d, sizeof ps), 0);
}

} // namespace
