// The reader frame: file check, keyword dispatch, header keywords, *START,
// *END and the error count.
#include <fstream>
#include <iterator>
#include <string>

#include "db/chains.h"
#include "asctest.h"
#include "db/layers.h"
#include "db/sweeps.h"
#include "db/thru.h"
#include "files/ascint.h"

namespace {

using AscFrameTest = AscTest;

TEST_F(AscFrameTest, HeaderDefaultsAndStart) {
    ASSERT_EQ(Read(File("")), 1);
    EXPECT_TRUE(DbIsValid());
    const DbHeader& h = DbHdr();
    EXPECT_EQ(h.layerCount, 8);
    EXPECT_EQ(h.viaCount, 1);
    EXPECT_EQ(ThruCount(), 1);
    EXPECT_EQ(h.routeGrid, 1500);
    EXPECT_EQ(h.userUnit, 60);
    EXPECT_EQ(h.connGrid, 60);
    EXPECT_EQ(h.fourthGrid, 0);
    EXPECT_EQ(h.backupMinutes, 10);
    EXPECT_DOUBLE_EQ(h.unitSize, 1.0 / 60000.0);
    EXPECT_EQ(h.flags & (kHdrNoOffGrid | kHdrMultiVia), 0);
    EXPECT_EQ(Read(File("")), 1); // a second read starts afresh
    EXPECT_EQ(std::string(HeadlessProgressText()), "Reading ASCII Database File...");
}

TEST_F(AscFrameTest, HeaderKeywords) {
    int32_t errors = -1;
    std::string header = "*GRID 1000\r\n*VGRID 250\r\n*USER 100\r\n*CONN 20\r\n*LAYER 4\r\n"
                         "*VIAS 3\r\n*INCH 0.0000166667\r\n*CENTER 10 -20\r\n*HEIGHT 3000\r\n"
                         "*WIDTH 4000\r\n*DATUM 5 6\r\n*OFFGRID NO\r\n*MULTIVIA YES\r\n"
                         "*BACKUPSWEEP YES\r\n*BACKUPINTERVAL 7\r\n*TIMEUSED 1500\r\n"
                         "*VERSION 7.2\r\n*COMMENT \"x\"\r\n*DEBUG A B\r\n";
    ASSERT_EQ(Read(File("", header), &errors), 1);
    EXPECT_EQ(errors, 0);
    const DbHeader& h = DbHdr();
    EXPECT_EQ(h.routeGrid, 1000);
    EXPECT_EQ(h.fourthGrid, 250);
    EXPECT_EQ(h.userUnit, 100);
    EXPECT_EQ(h.connGrid, 20);
    EXPECT_EQ(h.layerCount, 4);
    EXPECT_EQ(h.viaCount, 3);
    EXPECT_EQ(ThruCount(), 3);
    EXPECT_DOUBLE_EQ(h.unitSize, 1.66667e-5);
    EXPECT_EQ(h.centreX, 10);
    EXPECT_EQ(h.centreY, -20);
    EXPECT_EQ(h.height, 3000);
    EXPECT_EQ(h.width, 4000);
    EXPECT_EQ(h.originX, 5);
    EXPECT_EQ(h.originY, 6);
    EXPECT_EQ(h.flags & (kHdrNoOffGrid | kHdrMultiVia), kHdrNoOffGrid | kHdrMultiVia);
    EXPECT_EQ(h.backupEachSweep, 1);
    EXPECT_EQ(h.backupMinutes, 7);
    EXPECT_EQ(h.timeUsed, 1);
}

TEST_F(AscFrameTest, HeaderValuesOutOfRangeKeepTheirDefaults) {
    int32_t errors = -1;
    std::string header = "*LAYER 31\r\n*VIAS 0\r\n*GRID 0\r\n*INCH 1.5\r\n*INCH 0.0\r\n"
                         "*CENTER 268435456 0\r\n*VERSION 7\r\n";
    ASSERT_EQ(Read(File("", header), &errors), 1);
    std::vector<std::string> want = {"*LAYER out of range (31)",
                                     "*VIAS out of range (0)",
                                     "*GRID out of range (0)",
                                     "Invalid inch factor",
                                     "Invalid inch factor",
                                     "*CENTER out of range (268435456)",
                                     "Syntax Error",
                                     "Invalid version number"};
    EXPECT_EQ(Messages(), want);
    EXPECT_EQ(errors, int32_t(want.size()));
    EXPECT_EQ(DbHdr().layerCount, 8);
    EXPECT_EQ(DbHdr().viaCount, 1);
    EXPECT_EQ(DbHdr().routeGrid, 1500);
    EXPECT_DOUBLE_EQ(DbHdr().unitSize, 1.0 / 60000.0);
    EXPECT_EQ(DbHdr().centreX, 0);
}

TEST_F(AscFrameTest, KeywordsAndErrors) {
    int32_t errors = -1;
    // Element keywords before *START are skipped without a message; a
    // missing header number leaves the keyword after it current.
    std::string text = "*PELVANE\r\n*comp U1\r\n*SEG 1 2\r\n*STRATEGY 9\r\n*GRID *START\r\n"
                       "*FOO 1\r\n*start\r\n*END\r\n";
    ASSERT_EQ(Read(text, &errors), 1);
    std::vector<std::string> lines = LogLines();
    std::vector<std::string> want = {
        "File \"t.asc\"; Line 5 ### Syntax Error",
        "File \"t.asc\"; Line 6 ### Unrecognized Keyword",
        "File \"t.asc\"; Line 7 ### Already read *START, ignoring this one"};
    EXPECT_EQ(lines, want);
    EXPECT_EQ(errors, 3);
}

TEST_F(AscFrameTest, FailedReads) {
    int32_t errors = -1;
    EXPECT_EQ(Read("*PELVANE\r\n*GRID 100\r\n*END\r\n", &errors), 0); // no *START
    EXPECT_EQ(errors, 0);
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(DbIsValid());

    EXPECT_EQ(Read("*PELVANE\r\n*START\r\n*LAYER 1 \"A\" SPACE 1 2 3\r\n", &errors), 0);
    EXPECT_EQ(Messages().back(), "Unexpected end of file");
    EXPECT_FALSE(DbIsValid());
    EXPECT_EQ(std::string(HeadlessProgressText()), "");

    FileSpec spec{};
    std::snprintf(spec.folder, sizeof spec.folder, "%s", m_folder.string().c_str());
    std::snprintf(spec.name, sizeof spec.name, "%s", "missing.asc");
    DbFree();
    NewDesign();
    EXPECT_EQ(AscReadDatabase(&spec, &errors), 0);
    EXPECT_EQ(Messages().back(), "Can't open input file missing.asc");
    EXPECT_TRUE(DbIsValid()); // the open design is left as it was
}

TEST_F(AscFrameTest, MarkerProbe) {
    std::string filler = "*COMMENT \"" + std::string(1100, 'x') + "\"\r\n";
    EXPECT_EQ(Read(filler + "*START\r\n*END\r\n"), 0);
    ASSERT_EQ(HeadlessMessages(kHeadlessAlert).size(), 1u);
    EXPECT_EQ(HeadlessMessages(kHeadlessAlert)[0],
              "File is too old or does not contain valid data.");
    for (const char* marker : {"*PELVANE", "*MIRASTOLVEN", "*VELLORIX"}) {
        SCOPED_TRACE(marker);
        EXPECT_EQ(Read(std::string(marker) + "\r\n" + filler + "*START\r\n*END\r\n"), 1);
    }
    // 1,024 bytes or less are not checked; the first line is read once, so
    // line numbers are right.
    int32_t errors = -1;
    EXPECT_EQ(Read("*FOO\r\n*START\r\n*END\r\n", &errors), 1);
    EXPECT_EQ(LogLines().back(), "File \"t.asc\"; Line 1 ### Unrecognized Keyword");
    EXPECT_EQ(errors, 1);
}

TEST_F(AscFrameTest, StartStoresTheDefaultSweeps) {
    ASSERT_EQ(Read(File("", "*LAYER 2\r\n")), 1);
    const char* names[] = {"Win/Comp/Man", "Preliminary Route", "Maze Route", "Next 1", "Next 2",
                           "Next 3",       "Special Options",   "Sweep 7",    "Sweep 8"};
    uint8_t saved = DbHdr().sweep;
    for (int32_t n = 0; n < 9; ++n) {
        DbHdr().sweep = uint8_t(n);
        Sweep s;
        SweepGet(&s);
        EXPECT_STREQ(s.name, names[n]);
        Sweep d;
        StrategyDefaults(&d, n);
        EXPECT_EQ(std::memcmp(s.passFlags, d.passFlags, sizeof d.passFlags), 0) << n;
    }
    DbHdr().sweep = saved;
}

TEST_F(AscFrameTest, NoRebuildMessageWithoutSegments) {
    ChainSetKeepAll(true);
    ASSERT_EQ(Read(File("*SEG 1 2 3")), 1);
    EXPECT_EQ(std::string(HeadlessProgressHistory()), "Reading ASCII Database File...");
    EXPECT_GT(HeadlessBusyCount(), 0);
}

TEST_F(AscFrameTest, CatalogueHoldsTheMessages) {
    // Every message of the reader is in the catalogue with the same text.
    ASSERT_TRUE(LangIsLoaded());
    ASSERT_GT(AscMsgCount(), 60);
    for (int32_t i = 0; i < AscMsgCount(); ++i) {
        int32_t n = AscMsgNumber(i);
        char text[LANG_TEXT_MAX + 1];
        ASSERT_TRUE(LangGetString(n, LANG_TEXT_MAX, text)) << n;
        EXPECT_STREQ(text, AscMsgBuiltin(n)) << n;
    }
}

} // namespace

namespace {

std::string FixtureText(const char* name) {
    std::ifstream in(std::filesystem::path(PLV_ASC_DATA) / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The fixtures of the folder (also the fuzz target's seed corpus).
TEST_F(AscFrameTest, Fixtures) {
    int32_t errors = -1;
    EXPECT_EQ(Read(FixtureText("header.asc"), &errors), 1);
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(DbHdr().timeUsed, 90);
    EXPECT_EQ(Read(FixtureText("library.asc"), &errors), 1);
    EXPECT_EQ(errors, 0) << (Messages().empty() ? "" : Messages()[0]);
    EXPECT_EQ(Read(FixtureText("errors.asc"), &errors), 0);
    EXPECT_EQ(Messages().back(), "Unexpected end of file");
    std::vector<std::string> want = {"Unrecognized Keyword",
                                     "Strategy number is out of range",
                                     "Syntax Error",
                                     "Via 1 shape changed to round",
                                     "Must specify a THRU number or name",
                                     "Thru code (5) out of range",
                                     "Already specified PACKAGE name (A)",
                                     "Already read *START, ignoring this one",
                                     "Unexpected end of file"};
    EXPECT_EQ(Messages(), want);
}

} // namespace
