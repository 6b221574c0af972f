// The rule checker over a routed board: the sample routed in this process
// by its own sweeps, the last of them ending in a space-check pass over
// every window, which runs
// the whole-board check through the route loop (CheckOptions 1 for the
// call): it records no marker, and every connection joins its two pins and
// passes the connection check.
#include <filesystem>
#include <string>

#include "db/conns.h"
#include "db/markers.h"
#include "db/runopt.h"
#include "db/shellsvc.h"
#include "db/sweeps.h"
#include "files/ascfiletest.h"
#include "headless/ascio.h"
#include "headless/headless.h"
#include "headless/rundrive.h"
#include "router/passflags.h"
#include "router/routeloop.h"
#include "router/rulesvc.h"
#include "router/sweeprun.h"
#include "router/urstate.h"
#include "rules/ruleadapt.h"
#include "rules/rulesinstall.h"

namespace {

namespace fs = std::filesystem;

class SpaceCheckE2eTest : public AscFileTest {
  protected:
    void SetUp() override {
        AscFileTest::SetUp();
        RulesInstall();
        RunOptionsAlloc();
    }
    void TearDown() override {
        RouterTestReset();
        AscFileTest::TearDown();
    }
};

TEST_F(SpaceCheckE2eTest, TheRoutedSampleRecordsNoMarker) {
    DbFree();
    FileSpec s{};
    const fs::path sample = SamplePath();
    std::snprintf(s.folder, sizeof s.folder, "%s", sample.parent_path().string().c_str());
    std::snprintf(s.name, sizeof s.name, "%s", sample.filename().string().c_str());
    ASSERT_EQ(AscReadDatabase(&s, nullptr), 1);
    DbExtent();
    DbValidate();
    // the last pass of the last sweep that routes becomes a space check
    int32_t last = 0;
    for (int32_t n = 1; n <= kSweepLast; ++n)
        for (uint16_t f : SweepSlot(n)->passFlags)
            if (f & kPassEnable) last = n;
    ASSERT_GT(last, 0);
    uint16_t& check = SweepSlot(last)->passFlags[kPassLast];
    ASSERT_EQ(check & kPassEnable, 0);
    check = kPassEnable | kPassSpace;
    CheckOptions = 0x40; // the pass sets 1 for its call
    SweepRunCommand(kCmdStartSweepRouter);
    HeadlessDriveRun(
        [](int32_t command, void*) {
            if (command == kCmdResumeSweepRouter) autoResume();
        },
        nullptr);
    bool spaceChecked = false;
    for (const RuleServiceCall& c : RuleServiceCalls())
        spaceChecked = spaceChecked || c.name == "DrcAll";
    EXPECT_TRUE(spaceChecked);
    for (int32_t c = 1; c <= ConnCount(); ++c) {
        const Conn* k = ConnRef(c);
        if (k->head.flags & kConnNotSelected) continue; // not counted, not routed
        for (int32_t i = 0; i + 1 < k->head.count; ++i)
            EXPECT_NE(int32_t(k->crn[i].layer), 0) << "connection " << c << " corner " << i;
    }
    for (int32_t n = 1; n <= MarkerCount(); ++n) {
        ErrorMarker m;
        MarkerGet(n, &m);
        ADD_FAILURE() << "marker type " << int(m.type) << " at " << m.x << "," << m.y << " layer "
                      << int(m.layer) << " objects " << m.id1 << "/" << m.id2;
    }
}

} // namespace
