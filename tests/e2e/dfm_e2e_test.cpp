// The DFM clean-up end to end: the sample design routed in this process as
// the driver routes it, then, with the router opened on it in one window
// over the whole board, the whole-board check, the clean-up with DfmFlags
// 62 and the check again. The clean-up adds no violation, keeps every
// connection, its ends and its routed state, and leaves every component
// end on its pin.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <tuple>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "e2e/openboard.h"
#include "db/markers.h"
#include "db/runopt.h"
#include "db/sweeps.h"
#include "db/symbols.h"
#include "files/ascfiletest.h"
#include "headless/headless.h"
#include "headless/rundrive.h"
#include "router/objvalidate.h"
#include "router/routeloop.h"
#include "router/rulesvc.h"
#include "router/sweeprun.h"
#include "router/uralloc.h"
#include "router/urstate.h"
#include "rules/ruleadapt.h"
#include "rules/rulesinstall.h"

namespace {

namespace fs = std::filesystem;

enum : int32_t { kDfmAll = 62 };

// A marker as the comparison sees it: type, location, layer and objects.
typedef std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t>
    MarkerKey;

std::vector<MarkerKey> MarkerKeys() {
    std::vector<MarkerKey> out;
    for (int32_t n = 1; n <= MarkerCount(); ++n) {
        ErrorMarker m;
        MarkerGet(n, &m);
        out.emplace_back(m.type, m.x, m.y, m.layer, m.kind1, m.id1, m.kind2, m.id2);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// No unrouted segment in the connection.
bool Routed(int32_t c) {
    const Conn* k = ConnRef(c);
    for (int32_t i = 0; i + 1 < k->head.count; ++i)
        if (!k->crn[i].layer) return false;
    return true;
}

struct Ends {
    int32_t fromComp, fromPin, toComp, toPin;
    bool operator==(const Ends&) const = default;
};

class DfmE2eTest : public AscFileTest {
  protected:
    void SetUp() override {
        AscFileTest::SetUp();
        m_folder = fs::temp_directory_path() /
                   ("plv_dfm_" +
                    std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(m_folder);
        HeadlessSetApplicationFolder(m_folder.string().c_str());
        RulesInstall();
        RunOptionsAlloc();
    }
    void TearDown() override {
        RouterTestReset();
        RuleServicesInstall(nullptr);
        DfmFlags = 0;
        CheckOptions = 0;
        std::error_code ec;
        fs::remove_all(m_folder, ec);
        AscFileTest::TearDown();
    }
    static void LoadSample() {
        DbFree();
        FileSpec s{};
        const fs::path p = SamplePath();
        std::snprintf(s.folder, sizeof s.folder, "%s", p.parent_path().string().c_str());
        std::snprintf(s.name, sizeof s.name, "%s", p.filename().string().c_str());
        ASSERT_EQ(AscReadDatabase(&s, nullptr), 1);
        DbExtent();
        DbValidate();
    }
    // The router opened in one window covering the board.
    static void OpenOverBoard() {
        OpenRouterOverBoard();
        if (HasFatalFailure()) return;
    }
};

TEST_F(DfmE2eTest, RoutedSampleCleansUpWithoutNewViolations) {
    LoadSample();
    SweepRunCommand(kCmdStartSweepRouter);
    HeadlessDriveRun(
        [](int32_t command, void*) {
            if (command == kCmdResumeSweepRouter) autoResume();
        },
        nullptr);
    ASSERT_EQ(AltDepth(), 0);
    UrClose();
    OpenOverBoard();
    CheckOptions = kCheckSameNetViasOnly;
    DrcAll();
    const std::vector<MarkerKey> before = MarkerKeys();
    std::vector<Ends> ends;
    for (int32_t c = 1; c <= ConnCount(); ++c) {
        const ConnHead& h = ConnRef(c)->head;
        ends.push_back({h.fromComp, h.fromPin, h.toComp, h.toPin});
    }
    std::vector<bool> routed;
    for (int32_t c = 1; c <= ConnCount(); ++c)
        routed.push_back(Routed(c));
    DfmFlags = kDfmAll;
    DFMClean();
    EXPECT_EQ(AltDepth(), 0);
    CheckOptions = kCheckSameNetViasOnly;
    DrcAll();
    for (const MarkerKey& m : MarkerKeys())
        EXPECT_TRUE(std::binary_search(before.begin(), before.end(), m))
            << "new marker of type " << std::get<0>(m) << " at " << std::get<1>(m) << ","
            << std::get<2>(m);
    ASSERT_EQ(ConnCount(), int32_t(ends.size()));
    for (int32_t c = 1; c <= ConnCount(); ++c) {
        SCOPED_TRACE("connection " + std::to_string(c));
        const Conn* k = ConnRef(c);
        const ConnHead& h = k->head;
        EXPECT_TRUE((Ends{h.fromComp, h.fromPin, h.toComp, h.toPin} == ends[size_t(c - 1)]));
        EXPECT_EQ(Routed(c), routed[size_t(c - 1)]);
        for (int32_t end = 0; end < 2; ++end) {
            const int32_t comp = end ? h.toComp : h.fromComp;
            const int32_t pin = end ? h.toPin : h.fromPin;
            if (comp < 1) continue;
            const Crn& at = k->crn[end ? h.count - 1 : 0];
            PlacedPin p;
            CompPinXY(comp, pin, &p);
            EXPECT_EQ(int32_t(at.x), p.x);
            EXPECT_EQ(int32_t(at.y), p.y);
        }
    }
    UrClose();
}

} // namespace
