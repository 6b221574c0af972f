// The summary of a routing run: the unit of the elapsed time, the routed
// total, the activity log and the alert, and the test-option line.
#include <fstream>
#include <string>
#include <vector>

#include "db/conns.h"
#include "db/runopt.h"
#include "mapfixture.h"
#include "router/loopstate.h"
#include "router/routestats.h"
#include "toolbox/core/ticks.h"

namespace {

class RouteStatsTest : public MapTest {
  protected:
    void SetUp() override {
        MapTest::SetUp();
        LoadBoard();
        while (NetCount() < 2)
            NetAdd();
        UrAllocRecords();
    }
    // The texts of the activity log's lines (after the date and time).
    std::vector<std::string> Log() {
        std::vector<std::string> out;
        std::ifstream in(m_folder / "Pelvane.Log", std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const size_t at = line.find("M  ");
            out.push_back(at == std::string::npos ? line : line.substr(at + 3));
        }
        return out;
    }
    static void Started(uint32_t secondsAgo) {
        g_loop.runStartTicks = GetTicks() - secondsAgo * kTicksPerSecond;
    }
};

TEST_F(RouteStatsTest, TimeUnits) {
    struct Case {
        uint32_t seconds;
        const char* line;
    };
    const Case cases[] = {
        {7201, "Routed 5 connections in 2.0 hours."},
        {7200, "Routed 5 connections in 120.0 minutes."},
        {121, "Routed 5 connections in  2.0 minutes."},
        {120, "Routed 5 connections in 120 seconds."},
        {0, "Routed 5 connections in 0 seconds."},
    };
    Goal()->routedCount = 5;
    const auto& alerts = HeadlessMessages(kHeadlessAlert);
    for (const Case& c : cases) {
        Started(c.seconds);
        showStatistics();
        ASSERT_EQ(alerts.size(), size_t(&c - cases + 1));
        EXPECT_EQ(alerts.back(), std::string(c.line) + "\rNo connections selected");
    }
}

// The total counts connections not left out of the statistics (flag 0x1);
// a connection is routed when no segment lies on layer 0. Both lines go to
// the log; the alert only outside quiet mode.
TEST_F(RouteStatsTest, TotalLogAndQuietMode) {
    StoreConn(1, {{0, 0, 1}, {3000, 0, 2}, {3000, 3000, 0}});
    StoreConn(1, {{0, 0, 1}, {3000, 0, 0}, {3000, 3000, 0}});
    StoreConn(2, {{0, 0, 0}, {3000, 0, 0}}, 10, kConnNotSelected);
    StoreConn(2, {{0, 0, 1}, {3000, 0, 1}});
    Started(0);
    Goal()->routedCount = 0;
    RunOptionsAlloc();
    g_runOptions[kRunOptQuiet] = 1;
    showStatistics();
    EXPECT_TRUE(HeadlessMessages(kHeadlessAlert).empty());
    EXPECT_EQ(Log(), (std::vector<std::string>{"No new connections routed.",
                                               "Total is now 2 out of 3 (66%)."}));
    g_runOptions[kRunOptQuiet] = 0;
    showStatistics();
    ASSERT_EQ(HeadlessMessages(kHeadlessAlert).size(), 1u);
    EXPECT_EQ(HeadlessMessages(kHeadlessAlert)[0],
              "No new connections routed.\rTotal is now 2 out of 3 (66%).");
}

TEST_F(RouteStatsTest, TestOptionLine) {
    struct Case {
        uint16_t flags;
        const char* line;
    };
    const Case cases[] = {
        {kMzTest1 | kMzTest2, "Test Options 1 & 2 enabled"},
        {kMzTest1, "Test 1 Option enabled"},
        {kMzTest2, "Test 2 Option enabled"},
        {0x4FFF, "No Test Options enabled"},
    };
    for (const Case& c : cases) {
        MzFlags2 = c.flags;
        EXPECT_STREQ(StatTestOptionText(), c.line);
    }
    // With the statistics option on, the summary logs the end of the sweep
    // and the line first.
    MzFlags2 = kMzTest2;
    g_statOptions = 1;
    Started(0);
    showStatistics();
    g_statOptions = 0;
    MzFlags2 = 0;
    EXPECT_EQ(Log(),
              (std::vector<std::string>{"Sweep completed (or interrupted)", "Test 2 Option enabled",
                                        "No new connections routed.", "No connections selected"}));
}

} // namespace
