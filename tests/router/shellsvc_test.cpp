// Shell stand-ins and the design-file decisions the router relies on:
// sweeps the router cannot walk are refused from every source, and the
// emergency save writes a backup that loads back.
#include <filesystem>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/shellsvc.h"
#include "db/sweeps.h"
#include "files/binload.h"
#include "router/mzgrid.h"
#include "router/rulesvc.h"
#include "routerfixture.h"

namespace {

size_t s_callsSeen = 0;

class ShellSvcTest : public RouterTest {
  protected:
    FileSpec Spec(const char* name) {
        FileSpec f{};
        std::snprintf(f.folder, sizeof f.folder, "%s", m_folder.string().c_str());
        std::snprintf(f.name, sizeof f.name, "%s", name);
        return f;
    }
};

TEST_F(ShellSvcTest, FilesWrittenWholeWithUnwalkableSweepsFailToLoad) {
    struct Case {
        const char* what;
        void (*edit)(Sweep&);
    } cases[] = {
        {"primary 3", [](Sweep& s) { s.primary = 3; }},
        {"box width 0", [](Sweep& s) { s.box[0] = 0; }},
        {"attempts 101", [](Sweep& s) { s.attempts[2] = 101; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadBoard();
        FileSpec good = Spec("good.ZID"), bad = Spec("bad.ZID");
        ASSERT_TRUE(BinSave(&good, true));
        c.edit(*SweepSlot(4));
        ASSERT_TRUE(BinSave(&bad, true));
        DbFree();
        EXPECT_EQ(BinLoadFile(&bad, true), 0);
        DbFree();
        EXPECT_EQ(BinLoadFile(&good, true), 1); // default sweeps pass
        DbFree();
    }
}

TEST_F(ShellSvcTest, AsciiStrategyOnOneAxisIsRejected) {
    int32_t errors = -1;
    std::string body =
        std::string(kRouterLibrary) + "*STRATEGY 2 \"S\"\r\n PRIMARY: UP SECONDARY: DOWN\r\n";
    ASSERT_EQ(Read(File(body, "*LAYER 2\r\n"), &errors), 1);
    EXPECT_EQ(errors, 1);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "*STRATEGY rejected (code 5222038)");
    EXPECT_STRNE(SweepSlot(2)->name, "S"); // nothing stored
}

// Moves U1 to x in a journal level of its own, left open.
void MoveU1(int32_t x) {
    AltPush();
    Component c = *CompRef(1);
    c.x = x;
    AltPut(kRecComponent, 1, 0, &c);
}

// The backup holds every committed edit and none of the levels still open
// (an operation the error cut short).
TEST_F(ShellSvcTest, EmergencySaveWritesABackupThatLoadsBack) {
    LoadBoard("*COMP U1 [10000, 10000] Symbol=1\r\n");
    FileSpec design = Spec("board.ZID");
    HeadlessSetDesignFile(&design);
    MoveU1(12000);
    AltPop(true);
    MoveU1(15000);
    MoveU1(18000);
    HeadlessEmergencyBackup();
    FileSpec backup = Spec("Backup_Err.ZID");
    ASSERT_TRUE(std::filesystem::exists(m_folder / "Backup_Err.ZID"));
    ASSERT_NE(HeadlessEmergencyBackupFile(), nullptr);
    EXPECT_STREQ(HeadlessEmergencyBackupFile()->name, "Backup_Err.ZID");
    EXPECT_STREQ(HeadlessEmergencyBackupFile()->folder, m_folder.string().c_str());
    EXPECT_EQ(AltDepth(), 0);
    DbFree();
    EXPECT_EQ(BinLoadFile(&backup, true), 1);
    EXPECT_EQ(CompRef(1)->x, 12000);
    // Without a valid design nothing is written.
    std::filesystem::remove(m_folder / "Backup_Err.ZID");
    DbFree();
    HeadlessEmergencyBackup();
    EXPECT_FALSE(std::filesystem::exists(m_folder / "Backup_Err.ZID"));
}

// The whole fatal road in a child process: alert, log, emergency save, exit.
TEST_F(ShellSvcTest, AFatalErrorWritesTheEmergencyBackup) {
#ifdef PLV_WIN32
    GTEST_SKIP() << "the fatal road is run in a forked child natively";
#else
    LoadBoard();
    FileSpec design = Spec("board.ZID");
    HeadlessSetDesignFile(&design);
    std::filesystem::remove(m_folder / "Backup_Err.ZID");
    EXPECT_EXIT(
        {
            HeadlessSetFatalHook(nullptr);
            HeadlessSetEmergencySave(&HeadlessEmergencyBackup);
            ErrReport(2169010, 1);
        },
        ::testing::ExitedWithCode(3), "Error code 2169.010");
    FileSpec backup = Spec("Backup_Err.ZID");
    DbFree();
    EXPECT_EQ(BinLoadFile(&backup, true), 1);
    // Running out of memory is never trapped: the run ends the same way.
    std::filesystem::remove(m_folder / "Backup_Err.ZID");
    EXPECT_EXIT(
        {
            HeadlessSetFatalHook(nullptr);
            HeadlessSetEmergencySave(&HeadlessEmergencyBackup);
            ErrTrapScope trap;
            ErrOutOfMemory(2163020);
        },
        ::testing::ExitedWithCode(3), "Error code 2163.020 \\(Not enough RAM\\)");
    EXPECT_TRUE(std::filesystem::exists(m_folder / "Backup_Err.ZID"));
#endif
}

TEST_F(ShellSvcTest, StandInsRecordAndAnswer) {
    EXPECT_EQ(SetCursorKind(kCursorBusy), kCursorNormal);
    EXPECT_EQ(SetCursorKind(kCursorNormal), kCursorBusy);
    PostAppCommand(30280);
    PostAppCommand(30050);
    EXPECT_EQ(HeadlessNextCommand(), 30280);
    EXPECT_EQ(HeadlessNextCommand(), 30050);
    EXPECT_EQ(HeadlessNextCommand(), 0);
    EXPECT_EQ(DisplayInit(), 1);
    StatusLineUpdate(kStatusRouting);
    std::vector<std::string> want = {"DisplayInit()", "StatusLineUpdate(4)"};
    EXPECT_EQ(HeadlessShellCalls(), want);
    EXPECT_EQ(FrontAppWindow()->kind, kWindowRouteView);
    HeadlessAbortAfter(1);
    EXPECT_FALSE(UserAbort());
    EXPECT_TRUE(UserAbort());
    EXPECT_TRUE(UserAbort()); // latched
    UserAbortReset();
    EXPECT_FALSE(UserAbort());
    HeadlessAbortAfter(-1);
    // ZoomTo stores the view and places the map around it.
    LoadBoard();
    SetBox(20, 10);
    ZoomTo(15000, 15000, 3000, 3000);
    EXPECT_EQ(DbHdr().centreX, 15000);
    EXPECT_EQ(g_mzGrid.extent.minY, 6000);
}

TEST_F(ShellSvcTest, ProvisionalRuleServices) {
    RuleServicesInstall(&RuleServicesProvisional());
    // The checker's own services have no provisional body.
    EXPECT_FATAL(CornerNotAcute(0, 0, 1000, 0, 0, 1000), 2166091);
    EXPECT_FATAL(DrcCheckAlt(0), 2166091);
    EXPECT_FATAL(DrcAll(), 2166091);
    EXPECT_FATAL(DrcRemoveViolations(), 2166091);
    s_callsSeen = RuleServiceCalls().size();
    Conn c{};
    c.head.count = 3;
    EXPECT_EQ(DrcCheckConn(1, &c, 0, 2), 1);
    EXPECT_FATAL(DrcCheckConn(1, &c, -1, 2), 2166080);
    EXPECT_FATAL(DrcCheckConn(1, &c, 1, 3), 2166082);
    g_sweepRunFlag = 1;
    DfmFlags = kDfmFlagsCleanup;
    DFMClean();
    ASSERT_EQ(RuleServiceCalls().size(), s_callsSeen + 1);
    EXPECT_EQ(RuleServiceCalls().back().name, "DFMClean");
    EXPECT_EQ(RuleServiceCalls().back().dfmFlags, 62);
    EXPECT_EQ(stitchDiagSeg(&c, 0), 0);
    RuleServices mine{};
    mine.ClearAllVias = [](Conn*) { return int32_t(0); };
    RuleServicesInstall(&mine);
    EXPECT_EQ(ClearAllVias(&c), 0);
    EXPECT_EQ(ClearAllJumpers(&c), 1);
}

} // namespace
