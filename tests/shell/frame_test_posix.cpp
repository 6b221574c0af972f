// The frame: the fatal road with its emergency save (beside the design
// file, or in the program's folder for a design without one), the guard
// against a second fatal error, the orderly shut-down's trace lines.
#include <filesystem>
#include <string>
#include <vector>

#include "db/dbdump.h"
#include "db/err.h"
#include "files/binload.h"
#include "shell/frame.h"
#include "shell/recordinghost.h"

namespace {

struct ProcessEnded {
    int32_t code;
};
void ThrowingEnd(int32_t code) {
    throw ProcessEnded{code};
}
std::vector<std::string> g_trace;
void Collect(const char* text) {
    g_trace.emplace_back(text);
}

class FrameTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        FrameReset();
        FrameSetProcessEnd(&ThrowingEnd);
        folder = std::filesystem::temp_directory_path() /
                 ("plv_frame_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        HeadlessSetApplicationFolder(folder.string().c_str());
    }
    void TearDown() override {
        FrameReset();
        HeadlessSetDesignFile(nullptr);
        std::filesystem::remove_all(folder);
        ShellTest::TearDown();
    }
    FileSpec Spec(const std::filesystem::path& dir, const char* name) {
        FileSpec f{};
        std::snprintf(f.folder, sizeof f.folder, "%s", dir.string().c_str());
        std::snprintf(f.name, sizeof f.name, "%s", name);
        return f;
    }
    // Runs the fatal road; the exit code.
    int32_t Fatal(ErrCode code, const char* detail) {
        try {
            FatalRoad(code, detail);
        } catch (const ProcessEnded& end) {
            return end.code;
        }
        return -1;
    }
    std::filesystem::path folder;
};

TEST_F(FrameTest, FatalRoadSavesBesideTheDesignFileAndEndsWithThree) {
    NewDesign();
    DbHdr().valid = 1;
    std::filesystem::path designDir = folder / "design";
    std::filesystem::create_directories(designDir);
    FileSpec design = Spec(designDir, "board.ZID");
    HeadlessSetDesignFile(&design);
    MessagesReady(&EmergencyShutdown);
    FrameSetStarted(true);
    std::string before;
    DbDump(before);
    EXPECT_EQ(Fatal(31615, "x"), 3);
    ASSERT_FALSE(HeadlessMessages(kHeadlessShow).empty());
    EXPECT_EQ(HeadlessMessages(kHeadlessShow).back(), "Error code 0031.615 (x)");
    EXPECT_FALSE(FrameStarted()); // FrameShutDown ran
    ASSERT_TRUE(std::filesystem::exists(designDir / "Backup_Err.ZID"));
    FileSpec backup = Spec(designDir, "Backup_Err.ZID");
    DbFree();
    ASSERT_EQ(BinLoadFile(&backup, true), 1);
    std::string after;
    DbDump(after);
    EXPECT_EQ(after, before);
    // A fatal error on the road ends the process at once: no second alert.
    size_t shown = HeadlessMessages(kHeadlessShow).size();
    EXPECT_EQ(Fatal(34235, "1365"), 3);
    EXPECT_EQ(HeadlessMessages(kHeadlessShow).size(), shown);
}

TEST_F(FrameTest, ADesignWithoutAFileIsSavedInTheProgramsFolder) {
    NewDesign();
    DbHdr().valid = 1;
    MessagesReady(&EmergencyShutdown);
    EXPECT_EQ(Fatal(31615, ""), 3);
    EXPECT_EQ(HeadlessMessages(kHeadlessShow).back(), "Error code 0031.615");
    EXPECT_TRUE(std::filesystem::exists(folder / "Backup_Err.ZID"));
    // A second emergency save ends at once.
    try {
        EmergencyShutdown(kShutdownFatal);
        ADD_FAILURE() << "a second emergency save went on";
    } catch (const ProcessEnded& end) {
        EXPECT_EQ(end.code, 3);
    }
}

TEST_F(FrameTest, ShutDownRunsOnceWithItsTraceLines) {
    DebugSetFlags(1, 0);
    DebugSetTraceReceiver(&Collect);
    g_trace.clear();
    MessagesReady(&EmergencyShutdown);
    FrameSetStarted(true);
    FrameShutDown();
    EXPECT_EQ(g_trace, (std::vector<std::string>{"FrameShutDown:", "FrameShutDown: Ready to do SwClose",
                                                 "FrameShutDown: SwClose done",
                                                 "FrameShutDown: done."}));
    EXPECT_FALSE(FrameStarted());
    DebugSetTraceReceiver(nullptr);
    DebugSetFlags(0, 0);
}

} // namespace
