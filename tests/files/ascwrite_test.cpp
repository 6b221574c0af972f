// The ASCII database writer: the header, the section order, failures, the
// offset point, and round trips through both file formats.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "ascfiletest.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbdump.h"
#include "db/dbextent.h"
#include "db/font.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/placestrat.h"
#include "db/symbols.h"
#include "db/texts.h"
#include "dumpcompare.h"
#include "files/binload.h"

namespace {

using AscWriteTest = AscFileTest;

TEST_F(AscWriteTest, HeaderOfANewDesignAndTheSectionOrder) {
    ASSERT_EQ(Read(File("", "*LAYER 2\r\n")), 1);
    DbHdr().timeUsed = 90;
    DbHdr().fourthGrid = 750;
    DbHdr().flags |= kHdrNoOffGrid;
    int32_t result = 0;
    std::string out = Write("a.asc", &result);
    EXPECT_EQ(result, 1);
    const char* lines[] = {"*PELVANE\r\n\r\n*GRID            1500\r\n",
                           "*VGRID           750\r\n",
                           "*USER            60\r\n",
                           "*CONN            60\r\n",
                           "*LAYER           2\r\n",
                           "*VIAS            1\r\n",
                           "*INCH            0.0000166667\r\n",
                           "*OFFGRID         NO\r\n",
                           "*MULTIVIA        NO\r\n",
                           "*BACKUPSWEEP     NO\r\n",
                           "*BACKUPINTERVAL  10\r\n",
                           "*TIMEUSED        90000\r\n\r\n*START\r\n\r\n*STRATEGY 0 "};
    size_t at = 0;
    for (const char* l : lines) {
        size_t found = out.find(l, at);
        ASSERT_NE(found, std::string::npos) << l;
        at = found;
    }
    // Sections in order; no nets, no *Net; *END last.
    size_t place = out.find("*PLACE"), layer = out.find("*Layer  1"), via = out.find("*VIA ");
    EXPECT_LT(at, place);
    EXPECT_LT(place, layer);
    EXPECT_LT(layer, via);
    EXPECT_EQ(out.find("*Net"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 6), "*END\r\n");
    // Read back: 90 seconds, the via grid, the flag.
    ASSERT_EQ(LoadAsc("a.asc"), 1);
    EXPECT_EQ(DbHdr().timeUsed, 90);
    EXPECT_EQ(DbHdr().fourthGrid, 750);
    EXPECT_EQ(DbHdr().flags & kHdrNoOffGrid, kHdrNoOffGrid);
}

TEST_F(AscWriteTest, TheOffsetShiftsBoardCoordinatesOnly) {
    ASSERT_EQ(Read(File("*Layer 1 \"TOP\" Space 600 600 600\r\n"
                        "*THRU 1 \"P\" Layer=1 SHAPE=ROUND W:3600\r\n"
                        "*SYMBOL 1 \"ONE\" 1 \"1\" [0, 0] Thru=1 2 \"2\" [6000, 0] Thru=1\r\n"
                        "*COMP U1 [10000, 10000] Symbol=1\r\n"
                        "*NET \"N\" W:10 U1.1 [8000, 12000] U1.2\r\n"
                        "*OBS KEEPOUT L:1 [3000, 4000] [3100, 4000]\r\n"
                        "*OBS KEEPOUT Sym= 1 L:1 [0, 0] [100, 0]\r\n"
                        "*TEXT \"T\" STATIC [1050, 2060]\r\n"
                        "*TEXT \"U\" STATIC Sym= -1 [50, 60]\r\n",
                        "*LAYER 1\r\n*CENTER 5000 6000\r\n")),
              1);
    DbHdr().offsetX = 1000;
    DbHdr().offsetY = 2000;
    std::string out = Write("o.asc");
    // The design in memory keeps its offset.
    EXPECT_EQ(DbHdr().offsetX, 1000);
    // Without a board box (width 0) the centre does not move with the board,
    // as the range check leaves it: it is written as it is.
    EXPECT_NE(out.find("*CENTER          5000 6000\r\n"), std::string::npos);
    EXPECT_NE(out.find("*COMP U1  [9000, 8000]"), std::string::npos);
    EXPECT_NE(out.find("   U1.1 [7000,10000] U1.2"), std::string::npos);
    EXPECT_NE(out.find("    [2000, 2000] ARC: N"), std::string::npos);
    EXPECT_NE(out.find("Sym= 1  L:1  W:60 NONET\r\n    [0, 0] ARC: N"), std::string::npos);
    EXPECT_NE(out.find("Ratio:100 [50, 60]\r\n*TEXT"), std::string::npos);
    EXPECT_NE(out.find("Sym= -1 &\r\n     Rot=0[00] W:600 H:4500 Ratio:100 [50, 60]\r\n*END"),
              std::string::npos);
    ASSERT_EQ(LoadAsc("o.asc"), 1);
    EXPECT_EQ(DbHdr().offsetX, 0);
    EXPECT_EQ(CompRef(1)->x, 9000);
    EXPECT_EQ(DbHdr().centreY, 6000);
}

TEST_F(AscWriteTest, WriterFailures) {
    ASSERT_EQ(Read(File("*OBS KEEPOUT L:1 [0, 0] [100, 0]\r\n"
                        "*OBS KEEPOUT L:1 [0, 0] [200, 0]\r\n",
                        "*LAYER 1\r\n")),
              1);
    // The file cannot be created: the error alert with its code.
    FileSpec missing = Spec("a.asc");
    std::strcat(missing.folder, "/no/such/folder");
    EXPECT_EQ(AscWriteDatabase(&missing), 0);
    ASSERT_EQ(HeadlessErrorAlerts().size(), 1u);
    EXPECT_NE(HeadlessErrorAlerts()[0], 0);
    // The abort key during the obstacles: no *END, result 0.
    HeadlessAbortAfter(1);
    int32_t result = 1;
    std::string out = Write("b.asc", &result);
    EXPECT_EQ(result, 0);
    EXPECT_NE(out.find("[200, 0]"), std::string::npos);
    EXPECT_EQ(out.find("*END"), std::string::npos);
    HeadlessAbortAfter(-1);
    EXPECT_EQ(LoadAsc("b.asc"), 0);
#ifndef _WIN32
    // A stream error.
    FileSpec full;
    std::memset(&full, 0, sizeof full);
    std::snprintf(full.folder, sizeof full.folder, "/dev");
    std::snprintf(full.name, sizeof full.name, "full");
    if (std::filesystem::exists("/dev/full")) {
        ASSERT_EQ(LoadAsc("b.asc"), 0);
        ASSERT_EQ(Read(File("", "*LAYER 1\r\n")), 1);
        EXPECT_EQ(AscWriteDatabase(&full), 0);
    }
#endif
}

// ---- round trips ------------------------------------------------------------------------

TEST_F(AscWriteTest, TheSampleReadsCleanAndRoundTrips) {
    std::string sample = Slurp(SamplePath());
    ASSERT_FALSE(sample.empty()) << SamplePath();
    {
        std::ofstream f(m_folder / "s.asc", std::ios::binary);
        f << sample;
    }
    int32_t errors = -1;
    ASSERT_EQ(LoadAsc("s.asc", &errors), 1);
    EXPECT_EQ(errors, 0);
    // Inside the location range: validation left it as it was.
    const DbHeader& h = DbHdr();
    EXPECT_GE(h.extMinX, 0);
    EXPECT_GE(h.extMinY, 0);
    EXPECT_LE(h.extMaxX, 327680);
    EXPECT_LE(h.extMaxY, 327680);
    std::string first = Dump();
    // ASCII to ASCII: the same design.
    std::string written = Write("t.asc");
    ASSERT_EQ(LoadAsc("t.asc", &errors), 1);
    EXPECT_EQ(errors, 0);
    EXPECT_TRUE(DumpsEqual(first, Dump()));
    // The sample is in the writer's own form.
    EXPECT_TRUE(written == sample);
    // ASCII to binary to ASCII: the same bytes.
    ASSERT_TRUE(SaveBin("t.zid"));
    ASSERT_EQ(LoadBin("t.zid"), 1);
    EXPECT_TRUE(Write("u.asc") == written);
}

TEST_F(AscWriteTest, ABuiltDesignGoesBinaryAsciiBinary) {
    ASSERT_EQ(Read(File("*Layer 1 \"TOP\" Space 600 600 600\r\n"
                        "*Layer 2 \"BOTTOM\" Space 600 600 600\r\n"
                        "*THRU 1 \"P\" Layer=1 SHAPE=ROUND W:3600 Layer=2 SHAPE=ROUND W:3600\r\n"
                        "*SYMBOL 1 \"ONE\" 1 \"1\" [0, 0] Thru=1 2 \"B\" [6000, 0] Thru=1\r\n"
                        "*COMP U1 [10000, 10000] Symbol=1\r\n"
                        "*COMP U2 [40000, 10000] Rot=90 Symbol=1\r\n"
                        "*NET \"N\" W:10\r\n",
                        "*LAYER 2\r\n")),
              1);
    // Free ends at either side.
    auto conn = std::make_unique<Conn>();
    std::memset(&conn->head, 0, sizeof conn->head);
    conn->head.net = 1;
    conn->head.count = 3;
    conn->head.toComp = 1;
    conn->head.toPin = 2;
    conn->crn[0] = {20000, 20000, 10, 1, 0, 0, 0};
    conn->crn[1] = {16000, 20000, 10, 1, 0, 0, 0};
    conn->crn[2] = {16000, 10000, 10, 1, 0, 0, 0}; // the last corner as read back
    ConnPut(ConnAdd(), conn.get());
    conn->head.fromComp = 2;
    conn->head.fromPin = 2;
    conn->head.toComp = 0;
    conn->head.toPin = 0;
    conn->head.count = 2;
    conn->crn[0] = {40000, 16000, 12, 2, 0, 0, 0};
    conn->crn[1] = {30000, 30000, 12, 2, 0, 0, 0};
    ConnPut(ConnAdd(), conn.get());
    // Obstacles of kinds 12..19, one owned by a component, one by the
    // symbol.
    auto obs = std::make_unique<Obstacle>();
    for (int32_t kind = 12; kind <= 19; ++kind) {
        std::memset(&obs->head, 0, sizeof obs->head);
        int32_t o = ObsAppend();
        DbRecInit(kRecObstacle, obs.get(), o);
        obs->head.kind = uint8_t(kind);
        obs->head.layer = 1;
        obs->head.width = 60;
        obs->head.net = kObsNoNet;
        obs->head.owner = int16_t(kind == 13 ? -2 : kind == 14 ? 1 : 0);
        obs->head.count = 2;
        obs->pt[0] = {1000 * kind, 500, 0, 0};
        obs->pt[1] = {1000 * kind + 700, 900, 0, 0};
        ObsPut(o, obs.get());
    }
    // Texts: static on the board, a component's, a mirrored one.
    for (int32_t i = 0; i < 3; ++i) {
        int32_t t = TextAdd();
        BoardText r;
        TextGet(t, &r);
        std::snprintf(r.text, sizeof r.text, "TEXT %d", int(i));
        r.kind = kTextStatic;
        r.layer = 1;
        r.owner = int16_t(i == 1 ? -1 : 0);
        r.x = 5000 + 100 * i;
        r.y = 7000;
        r.angle = int16_t(5400 * i);
        r.flags = i == 2 ? kTextFlagMirrored : 0;
        TextPut(t, &r);
    }
    // The placement strategy as the format carries it: no pass 0 and
    // nothing after the box.
    PlaceStrategy place;
    PlaceStratGet(&place);
    place.actions[0] = place.states[0] = 0;
    place.iterations[0] = place.attempts[0] = place.clusters[0] = 0;
    place.byte136 = place.byte137 = 0;
    place.word138 = 0;
    place.value140 = place.value144 = 0;
    PlaceStratPut(&place);
    ASSERT_TRUE(SaveBin("a.zid"));
    ASSERT_EQ(LoadBin("a.zid"), 1);
    std::string first = Dump();
    Write("a.asc");
    int32_t errors = -1;
    ASSERT_EQ(LoadAsc("a.asc", &errors), 1);
    EXPECT_EQ(errors, 0) << Slurp(m_folder / "Pelvane.Log");
    ASSERT_TRUE(SaveBin("b.zid"));
    ASSERT_EQ(LoadBin("b.zid"), 1);
    std::string second = Dump();
    EXPECT_TRUE(DumpsEqual(first, second)) << DiffFields(first, second);
    EXPECT_EQ(ObsRef(ObsCount())->head.kind, 19);
}

// The run command on the sample: run by the run_sample test, which names
// the driver in PLV_RUN_DRIVER.
TEST_F(AscWriteTest, RunCommandOnTheSample) {
    const char* driver = std::getenv("PLV_RUN_DRIVER");
    if (!driver || !driver[0]) GTEST_SKIP() << "run by the run_sample test";
    // The texts' boxes as the driver computes them.
    FontLoad();
    std::filesystem::path base = m_folder / "out" / "board";
    std::filesystem::path log = m_folder / "run.txt";
    std::string cmd = std::string("\"") + driver + "\" \"" + SamplePath() + "\" \"" +
                      base.string() + "\" > \"" + log.string() + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::string printed = Slurp(log);
    EXPECT_NE(printed.find("layers 2\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("\nwarnings 0\n"), std::string::npos) << printed;
    EXPECT_TRUE(std::filesystem::exists(m_folder / "out" / "Pelvane.Log"));
#ifndef _WIN32
    // Bad arguments, an input that does not load, an output that cannot be
    // written.
    auto exitCode = [&](const std::string& args) {
        int status = std::system(
            ("\"" + std::string(driver) + "\" " + args + " 2>/dev/null >/dev/null").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(exitCode(""), 2);
    EXPECT_EQ(exitCode("\"" + (m_folder / "none.asc").string() + "\" x"), 1);
    {
        std::ofstream junk(m_folder / "junk.asc", std::ios::binary);
        junk << "no design here";
    }
    EXPECT_EQ(exitCode("\"" + (m_folder / "junk.asc").string() + "\" \"" +
                       (m_folder / "o").string() + "\""),
              1);
    EXPECT_EQ(exitCode("\"" + SamplePath() + "\" /dev/null/x/board"), 3);
#endif
    // Both outputs load back to the sample's design.
    std::filesystem::copy_file(SamplePath(), m_folder / "s.asc");
    std::filesystem::copy_file(m_folder / "out" / "board.ZID", m_folder / "b.zid");
    std::filesystem::copy_file(m_folder / "out" / "board.ASC", m_folder / "b.asc");
    ASSERT_EQ(LoadAsc("s.asc"), 1);
    std::string sample = Dump();
    ASSERT_EQ(LoadAsc("b.asc"), 1);
    EXPECT_TRUE(DumpsEqual(sample, Dump()));
    ASSERT_EQ(LoadBin("b.zid"), 1);
    EXPECT_TRUE(DumpsEqual(sample, Dump()));
#ifndef _WIN32
    // A design file loads as one; a strategy file is refused.
    EXPECT_EQ(exitCode("\"" + (m_folder / "b.zid").string() + "\" \"" +
                       (m_folder / "again").string() + "\""),
              0);
    FileSpec strategy = Spec("s.zid");
    ASSERT_TRUE(BinSave(&strategy, false));
    EXPECT_EQ(exitCode("\"" + (m_folder / "s.zid").string() + "\" \"" +
                       (m_folder / "again").string() + "\""),
              1);
#endif
}

} // namespace

namespace {

// The design as the ASCII format carries it: the placement strategy's
// passes 1..11 and box, nothing else of that record.
void KeepPlacementAsWritten() {
    PlaceStrategy p, kept;
    PlaceStratGet(&p);
    std::memset(&kept, 0, sizeof kept);
    std::memcpy(kept.box, p.box, sizeof kept.box);
    for (int32_t i = 1; i <= 11; ++i) {
        kept.actions[i] = p.actions[i];
        kept.states[i] = p.states[i];
        kept.iterations[i] = p.iterations[i];
        kept.attempts[i] = p.attempts[i];
        kept.clusters[i] = p.clusters[i];
    }
    DbTrustedScope trusted;
    PlaceStratPut(&kept);
}

// The design as a binary load gives it back: the latch stays on the
// corners of arcs only.
void KeepLatchesOnArcs() {
    auto conn = std::make_unique<Conn>();
    for (int32_t n = 1; n <= ConnCount(); ++n) {
        if (!ConnGet(n, conn.get())) continue;
        Crn* c = conn->crn;
        const int32_t count = conn->head.count;
        for (int32_t i = 0; i < count; ++i)
            c[i].flags = uint8_t(c[i].flags & ~kCrnLatched);
        for (int32_t i = 1; i + 1 < count; ++i)
            if (c[i].flags & kCrnArc)
                for (int32_t j = i - 1; j <= i + 1; ++j)
                    c[j].flags = uint8_t(c[j].flags | kCrnLatched);
        DbTrustedScope trusted;
        ConnPut(n, conn.get());
    }
}

// What the driver writes reads back: for the sample and every design
// fixture, the driver's two outputs load to the design the input loads to
// (as far as each format carries it), and the driver takes its own binary
// output as input again.
TEST_F(AscWriteTest, EveryFixtureReadsBackThroughTheDriver) {
    const char* driver = std::getenv("PLV_RUN_DRIVER");
    if (!driver || !driver[0]) GTEST_SKIP() << "run by the run_fixtures test";
    FontLoad();
    // The texts' boxes as the driver computes them, for this test only.
    struct FontScope {
        ~FontScope() { FontTestReset(); }
    } font;
    std::vector<std::filesystem::path> inputs = {SamplePath()};
    for (const auto& entry : std::filesystem::directory_iterator(PLV_ASC_DATA))
        inputs.push_back(entry.path());
    const auto overwrite = std::filesystem::copy_options::overwrite_existing;
    // A connection's box is derived anew whenever it is stored; by a pad at
    // an odd angle its rounding may differ by a unit.
    const std::vector<std::string> derived = {"Conn.minX", "Conn.minY", "Conn.maxX", "Conn.maxY"};
    // The last corner of every connection is left blank: no segment starts
    // there, so its width and layer mean nothing, and the ASCII reader
    // leaves the current ones there.
    auto dump = [&derived] {
        auto conn = std::make_unique<Conn>();
        for (int32_t n = 1; n <= ConnCount(); ++n) {
            if (!ConnGet(n, conn.get()) || conn->head.count < 1) continue;
            Crn& last = conn->crn[conn->head.count - 1];
            last.width = 0;
            last.layer = 0;
            DbTrustedScope trusted;
            ConnPut(n, conn.get());
        }
        return Dump(derived);
    };
    int32_t designs = 0;
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.string());
        std::filesystem::copy_file(input, m_folder / "in", overwrite);
        const std::string base = (m_folder / "out" / "d").string();
        auto run = [&](const std::filesystem::path& from) {
            std::string cmd = std::string("\"") + driver + "\" \"" + from.string() + "\" \"" +
                              base + "\" > \"" + (m_folder / "run.txt").string() + "\"";
            return std::system(cmd.c_str());
        };
        // The input as the driver loads it; a file that is no design is no
        // fixture for this.
        auto load = [&] {
            DbFree();
            FileSpec in = Spec("in");
            bool strategy = false;
            const bool binary = BinCheckType(&in, &strategy);
            if (strategy || !(binary ? BinLoadFile(&in, true) : AscReadDatabase(&in, nullptr)))
                return false;
            Settle();
            return true;
        };
        if (!load()) continue;
        KeepLatchesOnArcs();
        const std::string asBinary = dump();
        ASSERT_TRUE(load());
        KeepPlacementAsWritten();
        const std::string asAscii = dump();
        ++designs;
        ASSERT_EQ(run(m_folder / "in"), 0);
        auto reload = [&](const char* written, const std::string& expected) {
            SCOPED_TRACE(written);
            std::filesystem::copy_file(m_folder / "out" / written, m_folder / written, overwrite);
            ASSERT_EQ(std::string(written) == "d.ZID" ? LoadBin(written) : LoadAsc(written), 1);
            std::string again = dump();
            EXPECT_TRUE(DumpsEqual(expected, again)) << DiffFields(expected, again);
        };
        reload("d.ZID", asBinary);
        reload("d.ASC", asAscii);
        std::filesystem::copy_file(m_folder / "out" / "d.ZID", m_folder / "again.zid", overwrite);
        ASSERT_EQ(run(m_folder / "again.zid"), 0);
        reload("d.ZID", asBinary);
    }
    EXPECT_GE(designs, 2);
}

} // namespace

namespace {

// A small design (two layers, one footprint of two pins, one component at
// the origin, a net, the placement strategy as this format carries it)
// with extra lines in the body and the header.
std::string SmallDesign(const std::string& body, const std::string& header = "",
                        const std::string& pinY = "0") {
    return "*PELVANE\r\n" + header +
           "*LAYER 2\r\n*START\r\n"
           "*Layer 1 \"TOP\" Space 600 600 600\r\n"
           "*Layer 2 \"BOTTOM\" Space 600 600 600\r\n"
           "*THRU 1 \"P\" Layer=1 SHAPE=ROUND W:3600 Layer=2 SHAPE=ROUND W:3600\r\n"
           "*SYMBOL 1 \"TWO\" 1 \"1\" [0, 0] Thru=1 2 \"2\" [6000, " +
           pinY +
           "] Thru=1\r\n"
           "*PLACE\r\n"
           "*COMP U1 [0, 0] Symbol=1\r\n"
           "*NET \"N\" W:10 U1.1 U1.2\r\n" +
           body + "\r\n*END\r\n";
}

// Designs at the edges of the limits: each either reads with the reader's
// error line naming the value, or reads, validates, saves in both formats
// and loads back from both to the same design; no internal error either
// way (the fatal hook of the tests throws).
TEST_F(AscWriteTest, DesignsAtTheLimitsSaveWhatTheyLoad) {
    struct Case {
        const char* what;
        std::string text;
        const char* message; // the reader's error line; null: none
    };
    const Case cases[] = {
        {"a user unit whose rescale would pass the limit", SmallDesign("", "*USER 1000000\r\n"),
         nullptr},
        {"a text of the largest height", SmallDesign("*TEXT \"T\" STATIC H:268435455 [0, 0]"),
         nullptr},
        {"a pin at the coordinate limit", SmallDesign("", "", "268435455"), nullptr},
        {"a connection to a pin past the coordinate limit",
         SmallDesign("*COMP U2 [268435455, 0] Symbol=1\r\n*NET \"M\" W:10 U2.1 U2.2"),
         "[x, y] out of range (268441455)"},
        {"a component in use moved so that a pin lies past the coordinate limit",
         SmallDesign("*COMP U1 [268435455, 0] Symbol=1"), "[x, y] out of range (268441455)"},
        {"a component without a symbol", SmallDesign("*COMP U2 [600, 600]"), nullptr},
        {"a loose pin past the coordinate limit",
         SmallDesign("*COMP U2 [268435455, 0] Symbol=1\r\n*SEG \"M\" W:10 P: U2.2"),
         "[x, y] out of range (268441455)"},
        {"a routing grid without a 32-bit multiple", SmallDesign("", "*GRID 1000003\r\n"),
         "*GRID out of range (1000003)"},
        {"a coordinate beyond 32 bits", SmallDesign("*OBS KEEPOUT L:1 [4294967297, 0] [100, 0]"),
         "[x, y] out of range (4294967295)"},
        {"a negative coordinate beyond 32 bits",
         SmallDesign("*OBS KEEPOUT L:1 [-4294967297, 0] [100, 0]"),
         "[x, y] out of range (-4294967295)"},
        {"a width beyond 32 bits", SmallDesign("*TEXT \"T\" STATIC W:99999999999 [0, 0]"),
         "W: out of range (4294967295)"},
    };
    FontLoad();
    // The texts' boxes as the driver computes them, for this test only.
    struct FontScope {
        ~FontScope() { FontTestReset(); }
    } font;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        std::filesystem::remove(m_folder / "Pelvane.Log");
        {
            std::ofstream f(m_folder / "in.asc", std::ios::binary);
            f << k.text;
        }
        ASSERT_EQ(LoadAsc("in.asc"), 1);
        if (k.message) {
            EXPECT_EQ(Messages(), std::vector<std::string>{k.message});
        } else {
            EXPECT_TRUE(Messages().empty());
        }
        const std::string first = Dump();
        ASSERT_TRUE(SaveBin("out.zid"));
        Write("out.asc");
        ASSERT_EQ(LoadBin("out.zid"), 1);
        EXPECT_TRUE(DumpsEqual(first, Dump()));
        ASSERT_EQ(LoadAsc("out.asc"), 1);
        EXPECT_TRUE(DumpsEqual(first, Dump()));
    }
}

TEST_F(AscWriteTest, FootprintOwnersGoThroughTheSymbolMap) {
    // Symbol 2 comes first and so is the table's first symbol: the outline
    // and the text of symbol 1 go with symbol 1 all the same; an owner the
    // file never defined drops its element.
    const std::string body = "*Layer 1 \"TOP\" Space 600 600 600\r\n"
                             "*THRU 1 \"P\" Layer=1 SHAPE=ROUND W:3600\r\n"
                             "*SYMBOL 2 \"SECOND\" 1 \"1\" [0, 0] Thru=1\r\n"
                             "*SYMBOL 1 \"FIRST\" 1 \"1\" [0, 0] Thru=1\r\n"
                             "*OBS OUTLINE Sym= 1 L:1 [0, 0] [100, 0]\r\n"
                             "*TEXT \"T\" SNAME Sym= 2 [0, 0]\r\n"
                             "*OBS OUTLINE Sym= 3 L:1 [0, 0] [100, 0]\r\n"
                             "*TEXT \"U\" SNAME Sym= 3 [0, 0]\r\n";
    ASSERT_EQ(Read(File(body, "*LAYER 1\r\n")), 1);
    ASSERT_EQ(ObsCount(), 1);
    auto symbolName = [](int32_t s) {
        SymbolInfo info;
        SymInfoGet(s, &info);
        return std::string(NameText(info.name));
    };
    EXPECT_EQ(symbolName(ObsRef(1)->head.owner), "FIRST");
    ASSERT_EQ(TextCount(), 1);
    EXPECT_EQ(symbolName(TextRef(1)->owner), "SECOND");
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"SYM= out of range (3)", "SYM= out of range (3)"}));
}

TEST_F(AscWriteTest, TablesThatCannotBeWrittenRefuseWhenAdded) {
    // The 32,768th note is dropped like a record of any full table.
    std::string body;
    for (int32_t i = 0; i <= kNoteMax; ++i)
        body += "*NOTE \"n\"\r\n";
    ASSERT_EQ(Read(File(body, "*LAYER 1\r\n")), 1);
    EXPECT_EQ(NoteCount(), kNoteMax);
    EXPECT_EQ(Messages(), std::vector<std::string>{"*NOTE dropped: table full"});
    EXPECT_EQ(NoteAdd("one more"), 0);

    // A full net table, saved in reverse order of names, is sorted by the
    // ASCII writer and reads back.
    ASSERT_EQ(Read(File("", "*LAYER 1\r\n")), 1);
    for (int32_t i = kNetMax; i >= 1; --i) {
        Net net;
        int32_t n = NetAdd();
        NetGet(n, &net);
        net.name = NameIntern(("N" + std::to_string(i)).c_str());
        NetPut(n, &net);
    }
    int32_t result = 0;
    Write("nets.asc", &result);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(LoadAsc("nets.asc"), 1);
    EXPECT_EQ(NetCount(), kNetMax);
}

} // namespace

namespace {

// Component names the reader's word rule would change (lower case, a leading
// digit, a quote, a blank, a leading "*") are written in double quotes on
// *COMP lines and connection ends and read back to the same design with no
// error line; names that are words stay unquoted.
TEST_F(AscWriteTest, ComponentNamesThatAreNoWordComeBackQuoted) {
    const std::string body = "*Layer 1 \"TOP\" Space 600 600 600\r\n"
                             "*THRU 1 \"P\" Layer=1 SHAPE=ROUND W:3600\r\n"
                             "*SYMBOL 1 \"ONE\" 1 \"1\" [0, 0] Thru=1 2 \"B\" [6000, 0] Thru=1\r\n"
                             "*COMP \"u1\" [10000, 10000] Symbol=1\r\n"
                             "*COMP \"1A\" [30000, 10000] Symbol=1\r\n"
                             "*COMP \"R 5\" [50000, 10000] Symbol=1\r\n"
                             "*COMP \"*X\" [70000, 10000] Symbol=1\r\n"
                             "*COMP U2 [90000, 10000] Symbol=1\r\n"
                             "*NET \"N1\" W:10 \"u1\".1 \"1A\".\"B\"\r\n"
                             "*NET \"N2\" W:10 \"R 5\".1 [60000, 14000] \"*X\".1\r\n"
                             "*NET \"N3\" W:10 U2.\"B\" \"u1\".\"B\"\r\n";
    ASSERT_EQ(Read(File(body, "*LAYER 1\r\n")), 1);
    for (const auto& m : Messages())
        ADD_FAILURE() << m;
    ASSERT_EQ(CompCount(), 5);
    ASSERT_EQ(ConnCount(), 3);
    KeepPlacementAsWritten(); // the format carries placement passes 1..11
    const std::string before = Dump();
    int32_t result = 0;
    std::string out = Write("n.asc", &result);
    EXPECT_EQ(result, 1);
    EXPECT_NE(out.find("*COMP \"u1\"  [10000, 10000]"), std::string::npos);
    EXPECT_NE(out.find("*COMP U2  [90000, 10000]"), std::string::npos);
    EXPECT_NE(out.find("\"R 5\".1 [60000,14000] \"*X\".1"), std::string::npos) << out;
    int32_t errors = -1;
    ASSERT_EQ(LoadAsc("n.asc", &errors), 1);
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(DiffFields(Dump(), before), "");
}

} // namespace
