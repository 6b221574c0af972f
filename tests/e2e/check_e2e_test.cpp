// The driver's check runs end to end (run by the check_driver test, which
// names the driver): the sample routed and then checked over every window
// records no marker, with or without the DFM run before the check; the
// check lines come last, after every line the route run prints; tracks of
// two nets too close are a spacing error; a crowded board routes without
// leaving copper where clearing failed; two overlapping vias of one net
// are made one by the clean-up; a design with no sweep to check
// by exits 5 and says so; a kept marker of the unnamed type is listed.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "db/dbheader.h"
#include "db/markers.h"
#include "files/asc.h"
#include "files/ascfiletest.h"
#include "files/binload.h"
#include "rules/drcerror.h"
#include "support/driverrun.h"

namespace {

namespace fs = std::filesystem;

class CheckE2eTest : public AscFileTest {
  protected:
    void SetUp() override {
        AscFileTest::SetUp();
        driver = std::getenv("PLV_RUN_DRIVER");
        if (!driver) GTEST_SKIP() << "PLV_RUN_DRIVER names the driver";
        m_folder = fs::temp_directory_path() /
                   ("plv_check_" +
                    std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        std::error_code ec;
        if (!m_folder.empty()) fs::remove_all(m_folder, ec);
        AscFileTest::TearDown();
    }
    // Runs the driver on the design (the sample by default); what it said
    // on stderr goes to *said.
    int Run(const std::string& options, std::string* printed, std::string* said = nullptr,
            const fs::path& design = {}) {
        const fs::path err = m_folder / "err.txt";
        const fs::path in = design.empty() ? fs::path(SamplePath()) : design;
        const int rc = RunProgram(driver,
                                  options + " " + QuotedPath(in) + " " +
                                      QuotedPath(m_folder / "out") + " 2> " + QuotedPath(err),
                                  m_folder / "run.txt", printed);
        if (said) *said = Slurp(err);
        return rc;
    }
    const char* driver = nullptr;
    fs::path m_folder;
};

TEST_F(CheckE2eTest, TheRoutedSampleChecksClean) {
    for (const char* options : {"--route --check", "--route --dfm --check"}) {
        SCOPED_TRACE(options);
        std::string out;
        ASSERT_EQ(Run(options, &out), 0) << out;
        const size_t windows = out.find("check windows ");
        ASSERT_NE(windows, std::string::npos) << out;
        EXPECT_EQ(out.find("check windows 0 "), std::string::npos) << out;
        EXPECT_NE(out.find("\ncheck markers 0\n"), std::string::npos) << out;
        EXPECT_EQ(out.find("check type"), std::string::npos) << out;
        // The check lines come last, after the route run's figures and the
        // DFM run's line.
        EXPECT_LT(out.find("route attempts"), windows);
        const size_t dfm = out.find("dfm windows ");
        EXPECT_EQ(dfm != std::string::npos,
                  std::string(options).find("--dfm") != std::string::npos);
        if (dfm != std::string::npos) {
            EXPECT_LT(dfm, windows);
        }
    }
}

// Every pass of every strategy disabled: nothing to check by, said so, the
// outputs written all the same.
TEST_F(CheckE2eTest, NoSweepToCheckByExitsFive) {
    std::string text = Slurp(SamplePath());
    for (size_t at = 0; (at = text.find(" ENABLE ", at)) != std::string::npos;)
        text.replace(at, 8, " DISABLE ");
    const fs::path design = m_folder / "nosweep.asc";
    {
        std::ofstream out(design, std::ios::binary);
        out << text;
    }
    std::string out, said;
    EXPECT_EQ(Run("--check", &out, &said, design), 5) << out;
    EXPECT_NE(said.find("All sweeps completed (or disabled)"), std::string::npos) << said;
    EXPECT_NE(out.find("check windows 0 skipped 0\n"), std::string::npos) << out;
    EXPECT_TRUE(fs::exists(m_folder / "out.ZID"));
    EXPECT_TRUE(fs::exists(m_folder / "out.ASC"));
}

// The routed sample with one track of SIG2 moved to 1,000 units from a VCC
// track on the same layer: a spacing error, nothing else.
TEST_F(CheckE2eTest, TracksOfTwoNetsTooCloseAreASpacingError) {
    const fs::path design = fs::path(PLV_E2E_DATA) / "close_tracks.asc";
    std::string out;
    ASSERT_EQ(Run("--check", &out, nullptr, design), 0) << out;
    const size_t type = out.find("check type 2 ");
    ASSERT_NE(type, std::string::npos) << out;
    EXPECT_EQ(out.find("check type 2 0 "), std::string::npos);
    EXPECT_NE(out.find("\"Route Spacing Error\"\n", type), std::string::npos) << out;
    EXPECT_EQ(out.find("check type"), type) << out;
    EXPECT_EQ(out.find("check type", type + 1), std::string::npos) << out;
}

// Twelve parts on a tight pitch: a stitch link the router could not clear
// next to a DIP pad must not be installed as copper that the width repair
// later widens into the pad's clearance. Routed and checked, no marker.
TEST_F(CheckE2eTest, CopperIsNeverLeftWhereClearingFailed) {
    const fs::path design = fs::path(PLV_E2E_DATA) / "crowded_dip.asc";
    std::string out;
    ASSERT_EQ(Run("--route --check", &out, nullptr, design), 0) << out;
    EXPECT_NE(out.find("\ncheck markers 0\n"), std::string::npos) << out;
}

// Two connections of GND meet at U2.4, each through a via of its own
// about 2,100 units from the other: the two vias overlap. The check alone
// marks them; the DFM clean-up makes them one shared via and the check
// after it records no marker.
TEST_F(CheckE2eTest, TouchingViasOfOneNetAreSharedByTheCleanUp) {
    const fs::path design = fs::path(PLV_E2E_DATA) / "touching_vias.asc";
    std::string out;
    ASSERT_EQ(Run("--check", &out, nullptr, design), 0) << out;
    EXPECT_NE(out.find("\"Via Spacing Error\"\n"), std::string::npos) << out;
    ASSERT_EQ(Run("--dfm --check", &out, nullptr, design), 0) << out;
    EXPECT_NE(out.find("\ncheck markers 0\n"), std::string::npos) << out;
}

// Objects the checker cannot measure (an oblong via pad, a shavable
// obstacle, a code-0 pad layer on a part turned 30 degrees): the runs end
// and print their block.
TEST_F(CheckE2eTest, ObjectsTheCheckerCannotMeasureDoNotStopIt) {
    std::string text = Slurp(SamplePath());
    for (const auto& [from, to] : {std::pair<std::string, std::string>{
                                       "SHAPE=ROUND    W:2400", "SHAPE=OBLONG   W:2400  H:1500"},
                                   {"Layer=1   SHAPE=RECT", "Layer=0   SHAPE=RECT"},
                                   {"Rot=90[00]  Symbol=2", "Rot=30[00]  Symbol=2"},
                                   {"*OBS  AVOID", "*OBS  SHAVABLE"}}) {
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }
    const fs::path design = m_folder / "odd.asc";
    {
        std::ofstream out(design, std::ios::binary);
        out << text;
    }
    std::string out;
    EXPECT_EQ(Run("--route --dfm --check", &out, nullptr, design), 0) << out;
    EXPECT_NE(out.find("\ncheck markers "), std::string::npos) << out;
}

// A kept marker of type 28 (which has no name) stays through the check and
// is listed with an empty name.
TEST_F(CheckE2eTest, AKeptMarkerOfTheUnnamedTypeIsListed) {
    DbFree();
    FileSpec in{};
    const fs::path sample = SamplePath();
    std::snprintf(in.folder, sizeof in.folder, "%s", sample.parent_path().string().c_str());
    std::snprintf(in.name, sizeof in.name, "%s", sample.filename().string().c_str());
    ASSERT_EQ(AscReadDatabase(&in, nullptr), 1);
    DbExtent();
    DbValidate();
    const int32_t n = MarkerAdd();
    ASSERT_GT(n, 0);
    ErrorMarker m{};
    m.type = kMarkerTypeMax;
    m.layer = 1;
    m.x = DbHdr().extMinX;
    m.y = DbHdr().extMinY;
    m.value[kMarkerKeepWord] = 1;
    MarkerPut(n, &m);
    FileSpec kept{};
    std::snprintf(kept.folder, sizeof kept.folder, "%s", m_folder.string().c_str());
    std::snprintf(kept.name, sizeof kept.name, "%s", "kept.ZID");
    ASSERT_TRUE(BinSave(&kept, true));
    std::string out;
    ASSERT_EQ(Run("--route --check", &out, nullptr, m_folder / "kept.ZID"), 0) << out;
    EXPECT_NE(out.find("\ncheck markers 1\ncheck type 28 1 \"\"\n"), std::string::npos) << out;
}

// Escape at the check run's start: exit 4, nothing said on stderr, the
// block printed.
TEST_F(CheckE2eTest, AnAbortedCheckExitsFour) {
    std::string out, said;
    EXPECT_EQ(Run("--check --abort-after 0", &out, &said), 4) << out;
    EXPECT_EQ(said, "");
    EXPECT_NE(out.find("check windows 0 skipped 0\ncheck markers "), std::string::npos) << out;
}

TEST_F(CheckE2eTest, BadOptionsAreRefused) {
    std::string out;
    EXPECT_EQ(Run("--check --bogus", &out), 2);
}

} // namespace
