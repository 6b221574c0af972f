// The driver's placement job end to end (run by the place_driver test,
// which names the driver and the board generator): a generated board of
// about 40 parts places with a lower total, no overlap, the fixed and
// locked parts where they were and every movable part placed inside the
// outline; the same seed gives the same files; an abort leaves the
// design as loaded; the sample board places.
#include <chrono>
#include <cstdlib>
#include <string>

#include "db/comps.h"
#include "db/obstacles.h"
#include "files/ascfiletest.h"
#include "support/driverrun.h"
#include "place/plmodel.h"

namespace {

class PlDriverTest : public AscFileTest {
  protected:
    void SetUp() override {
        AscFileTest::SetUp();
        // A folder of this run's own: the driver tests of parallel runs of
        // this executable must not share one.
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
        m_folder = std::filesystem::temp_directory_path() /
                   ("plv_place_" +
                    std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(m_folder);
        HeadlessSetApplicationFolder(m_folder.string().c_str());
        driver = std::getenv("PLV_RUN_DRIVER");
        gen = std::getenv("PLV_PLACE_GEN");
    }
    std::string Q(const std::filesystem::path& p) const { return "\"" + p.string() + "\""; }
    // Runs the driver; answers its exit code, its output in *printed.
    int Run(const std::string& args, std::string* printed = nullptr) {
        return RunProgram(driver, args, m_folder / "run.txt", printed);
    }
    // The four numbers after a "place score ..." label.
    static std::vector<long long> Numbers(const std::string& printed, const std::string& label) {
        std::vector<long long> v;
        const size_t at = printed.find(label);
        if (at == std::string::npos) return v;
        std::istringstream in(printed.substr(at + label.size()));
        long long x;
        for (int k = 0; k < 4 && in >> x; ++k)
            v.push_back(x);
        return v;
    }
    const char* driver = nullptr;
    const char* gen = nullptr;
};

TEST_F(PlDriverTest, GeneratedBoardPlacesDeterministically) {
    if (!driver || !gen) GTEST_SKIP() << "run by the place_driver test";
    const std::filesystem::path in = m_folder / "gen";
    ASSERT_EQ(
        std::system(("\"" + std::string(gen) + "\" 40 7 " + Q(in) + " > " + Q(m_folder / "gen.txt"))
                        .c_str()),
        0);
    std::string printed;
    ASSERT_EQ(
        Run("--place --seed 3 " + Q(m_folder / "gen.ZID") + " " + Q(m_folder / "a"), &printed), 0)
        << printed;
    const std::vector<long long> before = Numbers(printed, "place score before ");
    const std::vector<long long> after = Numbers(printed, "place score after ");
    ASSERT_EQ(before.size(), 4u) << printed;
    ASSERT_EQ(after.size(), 4u) << printed;
    EXPECT_LT(after[3], before[3]);
    EXPECT_NE(printed.find("\nplace overlaps 0\n"), std::string::npos) << printed;

    // The same seed twice: the same files.
    ASSERT_EQ(Run("--place --seed 3 " + Q(m_folder / "gen.ZID") + " " + Q(m_folder / "b")), 0);
    EXPECT_EQ(Slurp(m_folder / "a.ZID"), Slurp(m_folder / "b.ZID"));
    EXPECT_EQ(Slurp(m_folder / "a.ASC"), Slurp(m_folder / "b.ASC"));

    // Fixed and locked parts stay; the others are placed inside the outline.
    ASSERT_EQ(LoadBin("gen.ZID"), 1);
    const Component fixed = *CompRef(1), locked = *CompRef(2);
    ASSERT_EQ(LoadBin("a.ZID"), 1);
    const std::string placedDump = Dump();
    EXPECT_EQ(CompRef(1)->x, fixed.x);
    EXPECT_EQ(CompRef(1)->y, fixed.y);
    EXPECT_EQ(CompRef(2)->x, locked.x);
    EXPECT_EQ(CompRef(2)->y, locked.y);
    for (int32_t c = 3; c <= CompCount(); ++c) {
        const Component* r = CompRef(c);
        EXPECT_FALSE(r->flags & kPlCompUnplaced) << c;
        EXPECT_EQ(CompBoxOutside(r), 0) << c;
    }
    // The text output loads back to the same placement.
    ASSERT_EQ(LoadAsc("a.ASC"), 1);
    EXPECT_EQ(CompCount(), 40);
}

TEST_F(PlDriverTest, AnAbortWritesTheDesignAsLoaded) {
    if (!driver || !gen) GTEST_SKIP() << "run by the place_driver test";
    ASSERT_EQ(std::system(("\"" + std::string(gen) + "\" 40 7 " + Q(m_folder / "gen") + " > " +
                           Q(m_folder / "gen.txt"))
                              .c_str()),
              0);
    ASSERT_EQ(Run(Q(m_folder / "gen.ZID") + " " + Q(m_folder / "plain")), 0);
    std::string printed;
    EXPECT_EQ(
        Run("--place --abort-after 500 " + Q(m_folder / "gen.ZID") + " " + Q(m_folder / "cut"),
            &printed),
        4)
        << printed;
    ASSERT_EQ(LoadBin("plain.ZID"), 1);
    const std::string plain = Dump();
    ASSERT_EQ(LoadBin("cut.ZID"), 1);
    EXPECT_TRUE(DumpsEqual(plain, Dump()));
    ASSERT_EQ(LoadAsc("cut.ASC"), 1);
    const std::string cutText = Dump();
    ASSERT_EQ(LoadAsc("plain.ASC"), 1);
    EXPECT_TRUE(DumpsEqual(Dump(), cutText));
    // Bad option values are bad arguments.
    EXPECT_EQ(Run("--seed x " + Q(m_folder / "gen.ZID") + " " + Q(m_folder / "o")), 2);
    EXPECT_EQ(Run("--place-attempts " + Q(m_folder / "gen.ZID") + " " + Q(m_folder / "o")), 2);
}

TEST_F(PlDriverTest, TheSampleBoardPlaces) {
    if (!driver) GTEST_SKIP() << "run by the place_driver test";
    std::string printed;
    EXPECT_EQ(Run("--place \"" + SamplePath() + "\" " + Q(m_folder / "s"), &printed), 0) << printed;
    EXPECT_NE(printed.find("\nplace moved "), std::string::npos) << printed;
    // A design without components: zeros, nothing changed.
    {
        std::ofstream empty(m_folder / "empty.asc", std::ios::binary);
        empty << File("", "*LAYER 2\r\n");
    }
    EXPECT_EQ(Run("--place " + Q(m_folder / "empty.asc") + " " + Q(m_folder / "e"), &printed), 0)
        << printed;
    EXPECT_NE(printed.find("\nplace score before 0 0 0 0\nplace score after 0 0 0 0\n"
                           "place moved 0\nplace overlaps 0\n"),
              std::string::npos)
        << printed;
}

} // namespace
