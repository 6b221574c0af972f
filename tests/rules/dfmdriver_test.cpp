// The DFM driver: the phase order, titles and bits of DFMClean with
// recording workers, the run limits, the connections DFMForEachConn passes
// over, Escape, the commits against the rule check, and the final clearing
// of Latched flags.
#include <gtest/gtest.h>

#include "db/altjournal.h"
#include "db/conns.h"
#include "headless/ascio.h"
#include "router/objtable.h"
#include "router/mzgrid.h"
#include "rules/drcboard.h"
#include "support/fatal.h"
#include "dfmfixture.h"

namespace {

struct Call {
    std::string worker;
    int32_t conn, mode, last;
};
std::vector<Call> s_calls;
int32_t s_answer = 0; // what the recording workers answer

template <int N> int32_t Recorder(int32_t conn, int32_t, Conn*, int32_t mode, int32_t one) {
    static const char* const kNames[] = {"shareVias",   "shareStep", "threeCrn",
                                         "fourCrn",     "fiveCrn",   "selfAcutes",
                                         "eliminate90", "miter90",   "acutes"};
    EXPECT_EQ(one, 1);
    s_calls.push_back({kNames[N], conn, mode, lastTryFlag});
    return s_answer;
}

class DfmDriverTest : public DfmTest {
  protected:
    void SetUp() override {
        DfmTest::SetUp();
        Open();
        s_calls.clear();
        s_answer = 0;
        g_dfmPhases =
            DfmPhaseTable{&Recorder<0>,   &Recorder<1>,
                          &Recorder<2>,   &Recorder<3>,
                          &Recorder<4>,   &Recorder<5>,
                          &Recorder<6>,   &Recorder<7>,
                          &Recorder<8>,   [] { s_calls.push_back({"padExits", 0, 0, 0}); },
                          &DrcCheckAltAll};
    }
    static std::vector<std::string> Workers() {
        std::vector<std::string> out;
        for (const Call& c : s_calls)
            if (out.empty() || out.back() != c.worker) out.push_back(c.worker);
        return out;
    }
};

TEST_F(DfmDriverTest, PhasesRunInOrderByTheirBits) {
    Loaded(1, {{30000, 30000, 1}, {40000, 30000, 0}});
    struct Case {
        uint16_t flags;
        std::vector<std::string> titles;
    };
    const std::string p1 = "Minimizing extra corners - phase 1",
                      p2 = "Minimizing extra corners - phase 2",
                      p3 = "Minimizing extra corners - phase 3";
    const Case cases[] = {
        {62,
         {"Scrunching Vias..", "Cleaning pad exits", "Optimizing copper share", p1, p2, p3,
          "Clearing self acutes", "Cleaning copper share", "Eliminating 90's", "Mitering 90's",
          "Vaporizing acute junctions"}},
        {kDfmShare, {"Scrunching Vias..", "Optimizing copper share", "Cleaning copper share"}},
        {kDfmPadExits, {"Cleaning pad exits"}},
        {kDfmExtraCorners, {p1, p2, p3}},
        {kDfmAcutes, {"Clearing self acutes", "Vaporizing acute junctions"}},
        {kDfmRightAngles, {"Eliminating 90's", "Mitering 90's"}},
        {0, {}},
        {62 | kDfmSkipAll, {}},
    };
    for (const Case& c : cases) {
        HeadlessShellReset();
        s_calls.clear();
        DfmFlags = c.flags;
        DFMClean();
        EXPECT_EQ(Titles(), c.titles) << c.flags;
    }
    DfmFlags = 62;
    s_calls.clear();
    DFMClean();
    const std::vector<std::string> order = {"shareVias",   "padExits", "shareStep",  "threeCrn",
                                            "fourCrn",     "fiveCrn",  "selfAcutes", "shareStep",
                                            "eliminate90", "miter90",  "acutes"};
    EXPECT_EQ(Workers(), order);
    // Modes: copper share optimises first (1) and cleans later (2).
    std::vector<int32_t> shareModes;
    for (const Call& c : s_calls)
        if (c.worker == "shareStep") shareModes.push_back(c.mode);
    EXPECT_EQ(shareModes, (std::vector<int32_t>{1, 2}));
    // The installed clean-up still leaves its recording on the seam.
    ASSERT_FALSE(RuleServiceCalls().empty());
    EXPECT_EQ(RuleServiceCalls().back().name, "DFMClean");
}

TEST_F(DfmDriverTest, BitsAreReadBeforeEachPhase) {
    Loaded(1, {{30000, 30000, 1}, {40000, 30000, 0}});
    DfmFlags = kDfmExtraCorners | kDfmRightAngles;
    g_dfmPhases.threeCrn = [](int32_t, int32_t, Conn*, int32_t, int32_t) -> int32_t {
        DfmFlags = kDfmRightAngles;
        s_calls.push_back({"threeCrn", 0, 0, 0});
        return 0;
    };
    DFMClean();
    EXPECT_EQ(Workers(), (std::vector<std::string>{"threeCrn", "eliminate90", "miter90"}));
}

TEST_F(DfmDriverTest, ChangingWorkersStopAtFiveCallsAndFortyOneRuns) {
    const int32_t n = Loaded(1, {{30000, 30000, 1}, {40000, 30000, 0}});
    s_answer = 1;
    DfmFlags = kDfmExtraCorners;
    DFMClean();
    int32_t phase1Titles = 0;
    for (const std::string& t : Titles())
        if (t == "Minimizing extra corners - phase 1") ++phase1Titles;
    EXPECT_EQ(phase1Titles, kDfmCornerRuns);
    int32_t three = 0, fiveWithLast = 0, five = 0;
    for (const Call& c : s_calls) {
        if (c.worker == "threeCrn") {
            ++three;
            EXPECT_EQ(c.conn, n);
            EXPECT_EQ(c.last, three % 5 == 0 ? 1 : 0) << three;
        }
        if (c.worker == "fiveCrn") {
            ++five;
            fiveWithLast += c.last;
        }
    }
    EXPECT_EQ(three, kDfmCornerRuns * kDfmWorkerTries);
    // Phase 3 runs two passes per run.
    EXPECT_EQ(five, kDfmCornerRuns * 2 * kDfmWorkerTries);
    EXPECT_EQ(fiveWithLast, kDfmCornerRuns * 2);
    EXPECT_EQ(lastTryFlag, 0);
}

TEST_F(DfmDriverTest, ForEachConnPassesOverWhatItMustNotTouch) {
    const int32_t good = Loaded(1, {{30000, 30000, 1}, {40000, 30000, 0}});
    for (uint16_t f : {kConnNotSelected, kConnNoShove, kConnNoRipup})
        Loaded(1, {{30000, 33000, 1}, {40000, 33000, 0}}, 0, 0, 0, 0, 10, f);
    StoreConn(2, {{30000, 36000, 1}, {40000, 36000, 0}}); // not loaded
    EXPECT_EQ(DFMForEachConn(3, &Recorder<2>, 1, "t"), 0);
    ASSERT_EQ(s_calls.size(), 1u); // one pass: nothing changed
    EXPECT_EQ(s_calls[0].conn, good);
    s_calls.clear();
    s_answer = 1;
    EXPECT_EQ(DFMForEachConn(2, &Recorder<2>, 3, "t"), 1);
    EXPECT_EQ(s_calls.size(), size_t(2 * kDfmWorkerTries));
}

TEST_F(DfmDriverTest, ForEachConnArgumentsAndEscape) {
    Loaded(1, {{30000, 30000, 1}, {40000, 30000, 0}});
    EXPECT_FATAL(DFMForEachConn(1, nullptr, 1, "t"), kErrDfmWorker);
    EXPECT_FATAL(DFMForEachConn(0, &Recorder<2>, 1, "t"), kErrDfmPasses);
    EXPECT_FATAL(DFMForEachConn(6, &Recorder<2>, 1, "t"), kErrDfmPasses);
    EXPECT_FATAL(DFMForEachConn(1, &Recorder<2>, 0, "t"), kErrDfmMode);
    EXPECT_FATAL(DFMForEachConn(1, &Recorder<2>, 4, "t"), kErrDfmMode);
    s_answer = 1;
    HeadlessAbortAfter(1); // Escape at the first connection
    EXPECT_EQ(DFMForEachConn(1, &Recorder<2>, 1, "t"), 0);
    EXPECT_TRUE(s_calls.empty());
    // DFMClean resets the latched Escape first.
    HeadlessAbortAfter(-1);
    DfmFlags = kDfmRightAngles;
    DFMClean();
    EXPECT_FALSE(s_calls.empty());
}

TEST_F(DfmDriverTest, LatchedFlagsAreClearedAtTheEndUnlessAllIsSkipped) {
    const int32_t n = Loaded(
        1, {{30000, 30000, 1, 0, kCrnLatched | kCrnLocked}, {40000, 30000, 0, 0, kCrnLatched}});
    const int32_t plain = Loaded(1, {{30000, 33000, 1}, {40000, 33000, 0}});
    DfmFlags = 62 | kDfmSkipAll;
    DFMClean();
    EXPECT_EQ(int32_t(Stored(n).crn[0].flags), kCrnLatched | kCrnLocked);
    EXPECT_TRUE(s_calls.empty());
    DfmFlags = 0;
    DFMClean();
    EXPECT_EQ(int32_t(Stored(n).crn[0].flags), kCrnLocked);
    EXPECT_EQ(int32_t(Stored(n).crn[1].flags), 0);
    EXPECT_EQ(int32_t(Stored(plain).crn[0].flags), 0);
    EXPECT_TRUE(s_calls.empty());
    EXPECT_TRUE(Titles().empty());
}

class DfmCommitTest : public DfmTest {
  protected:
    void SetUp() override {
        DfmTest::SetUp();
        Open();
    }
};

TEST_F(DfmCommitTest, ViolatingChangesAreRefusedAndTheJournalCloses) {
    const int32_t other = Loaded(2, {{30000, 36000, 1}, {40000, 36000, 0}});
    const int32_t n = Loaded(1, {{30000, 30000, 1}, {40000, 30000, 0}});
    const int32_t e = ObjFindConn(n);
    Conn image = Stored(n);
    // Onto the other net's copper: refused, the old copper stays.
    image.crn[1].y = 36000;
    image.crn[0].y = 36000;
    EXPECT_EQ(dfmCommitConn(n, e, &image, 1), 0);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(int32_t(Stored(n).crn[1].y), 30000);
    EXPECT_EQ(dfmCommitConnNoReduce(n, e, &image, 1), 0);
    EXPECT_EQ(AltDepth(), 0);
    // A good change with a collinear corner: reduced and stored.
    image = Stored(n);
    ASSERT_TRUE(addConnCrn(&image, 1, 35000, 30000));
    image.crn[2].y = 30000;
    image.crn[2].x = 42000;
    EXPECT_EQ(dfmCommitConn(n, e, &image, 0), 1); // test only
    EXPECT_EQ(int32_t(Stored(n).crn[1].x), 40000);
    EXPECT_EQ(dfmCommitConn(n, e, &image, 1), 1);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(int32_t(Stored(n).head.count), 2);
    EXPECT_EQ(int32_t(Stored(n).crn[1].x), 42000);
    EXPECT_EQ(int32_t(Stored(other).crn[0].y), 36000);
    // Without the reduction the collinear corner stays.
    image = Stored(n);
    ASSERT_TRUE(addConnCrn(&image, 1, 35000, 30000));
    EXPECT_EQ(dfmCommitConnNoReduce(n, e, &image, 1), 1);
    EXPECT_EQ(int32_t(Stored(n).head.count), 3);
    bool painted = false;
    for (const std::string& s : HeadlessShellCalls())
        painted = painted || s == "PaintAlt()";
    EXPECT_TRUE(painted);
    AltPush();
    EXPECT_FATAL(dfmCommitConn(n, e, &image, 1), kErrDfmLevelOpen);
    AltPop(false);
}

} // namespace

namespace {

class DfmRunTest : public DfmTest {
  protected:
    void SetUp() override {
        DfmTest::SetUp();
        Open("*COMP U1 [15000, 15000] Symbol=1\r\n*COMP U2 [45000, 45000] Symbol=1\r\n");
        // The pins the connections join belong to their nets.
        ObjSetNet(ObjFindPad(1, 1), 1);
        ObjSetNet(ObjFindPad(2, 1), 1);
        ObjSetNet(ObjFindPad(1, 2), 2);
        ObjSetNet(ObjFindPad(2, 2), 2);
    }
};

TEST_F(DfmRunTest, WholeCleanUpKeepsEndsAndRules) {
    // Two nets of jogs, right angles and acute turns between U1 and U2.
    const int32_t a = Loaded(1,
                             {{15000, 15000, 1},
                              {15000, 24000, 1},
                              {18000, 24000, 1},
                              {18000, 33000, 1},
                              {30000, 33000, 1},
                              {45000, 45000, 0}},
                             1, 1, 2, 1);
    const int32_t b = Loaded(1,
                             {{15000, 15000, 1},
                              {20000, 20000, 1},
                              {20000, 36000, 1},
                              {30000, 36000, 1},
                              {24000, 42000, 1},
                              {45000, 45000, 0}},
                             1, 1, 2, 1);
    const int32_t c = Loaded(
        2, {{21000, 15000, 2}, {21000, 9000, 2}, {51000, 9000, 2}, {51000, 45000, 0}}, 1, 2, 2, 2);
    for (int32_t n : {a, b, c}) {
        const Conn k = Stored(n);
        ASSERT_EQ(DrcCheckConn(ObjFindConn(n), &k, 0, k.head.count - 1), 1) << n;
    }
    DfmFlags = 62;
    DFMClean();
    EXPECT_EQ(AltDepth(), 0);
    ASSERT_EQ(ConnCount(), 3);
    const int32_t ends[3][4] = {{1, 1, 2, 1}, {1, 1, 2, 1}, {1, 2, 2, 2}};
    int32_t row = 0;
    for (int32_t n : {a, b, c}) {
        const Conn k = Stored(n);
        ASSERT_GE(k.head.count, 2);
        EXPECT_EQ(DrcCheckConn(ObjFindConn(n), &k, 0, k.head.count - 1), 1) << n;
        EXPECT_EQ(k.head.fromComp, ends[row][0]);
        EXPECT_EQ(k.head.fromPin, ends[row][1]);
        EXPECT_EQ(k.head.toComp, ends[row][2]);
        EXPECT_EQ(k.head.toPin, ends[row][3]);
        ++row;
        for (int32_t i = 1; i < k.head.count; ++i)
            EXPECT_TRUE(k.crn[i].x != k.crn[i - 1].x || k.crn[i].y != k.crn[i - 1].y) << n;
    }
    const Conn k = Stored(c);
    EXPECT_EQ(int32_t(k.crn[0].x), 21000);
    EXPECT_EQ(int32_t(k.crn[0].y), 15000);
    EXPECT_EQ(int32_t(k.crn[k.head.count - 1].x), 51000);
    EXPECT_EQ(int32_t(k.crn[k.head.count - 1].y), 45000);
    // The orthogonal and diagonal route of net 2 stays on those directions.
    for (int32_t i = 1; i < k.head.count; ++i)
        EXPECT_EQ(lineAngle(k.crn[i - 1].x, k.crn[i - 1].y, k.crn[i].x, k.crn[i].y) % 2700, 0);
}

} // namespace
