// The board sections of the ASCII database: *COMP, *NET, *SEG, *OBS,
// *NOTE and *TEXT, read and written.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "asctest.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/symbols.h"
#include "db/texts.h"

namespace {

// Two layers, a via, a round padstack, and three footprints: TWO (pins 1
// and 2, 6,000 apart), NAMED (pin 1 "A", pin 2 "7") and SEVEN (pins 1..7
// named by their numbers).
const char kLibrary[] =
    "*Layer 1 \"TOP\" Space 600 600 600\r\n"
    "*Layer 2 \"BOTTOM\" Space 600 600 600\r\n"
    "*VIA 1 \"V\" Layer=1 SHAPE=ROUND W:2400 Layer=2 SHAPE=ROUND W:2400\r\n"
    "*THRU 1 \"P\" Layer=1 SHAPE=ROUND W:3600 Layer=2 SHAPE=ROUND W:3600\r\n"
    "*SYMBOL 1 \"TWO\" 1 \"1\" [0, 0] Thru=1 2 \"2\" [6000, 0] Thru=1\r\n"
    "*SYMBOL 2 \"NAMED\" 1 \"A\" [0, 0] Thru=1 2 \"7\" [6000, 0] Thru=1\r\n"
    "*SYMBOL 3 \"SEVEN\" 1 [0, 0] Thru=1 2 [0, 6000] Thru=1 3 [0, 12000] Thru=1 "
    "4 [0, 18000] Thru=1 5 [0, 24000] Thru=1 6 [0, 30000] Thru=1 7 [0, 36000] Thru=1\r\n"
    "*COMP U1 [10000, 10000] Symbol=1\r\n"
    "*COMP U2 [40000, 10000] Symbol=1\r\n";

class AscBoardTest : public AscTest {
  protected:
    // Reads the library, the components U1 (pins at 10000 and 16000) and
    // U2 (40000 and 46000), and the body.
    int32_t ReadBoard(const std::string& body, int32_t* errors = nullptr) {
        return Read(File(kLibrary + body, "*LAYER 2\r\n"), errors);
    }
    static std::string NameOf(NameId id) { return NameText(id); }
    static std::vector<Crn> Corners(int32_t n) {
        const Conn* c = ConnRef(n);
        return std::vector<Crn>(c->crn, c->crn + c->head.count);
    }
};

// ---- *COMP ------------------------------------------------------------------------

TEST_F(AscBoardTest, ComponentsAreCreatedAndUpdatedByName) {
    int32_t errors = -1;
    ASSERT_EQ(ReadBoard("*COMP U1 Rot=90[30] NOROUTE KEY\r\n"
                        "*COMP U1 [20000, 30000] ROUTE\r\n"
                        "*COMP \"u3\" [1000, 2000] Rot=180 Symbol=\"NAMED\" KEY\r\n",
                        &errors),
              1);
    EXPECT_EQ(errors, 0);
    ASSERT_EQ(CompCount(), 3);
    const Component* u1 = CompRef(CompFind("U1"));
    // The angle and flags are replaced: no ROT= gives 0; position and
    // symbol change only when given.
    EXPECT_EQ(u1->angle, 0);
    EXPECT_EQ(u1->flags & (kCompNoRoute | kCompKey), 0);
    EXPECT_EQ(u1->x, 20000);
    EXPECT_EQ(u1->y, 30000);
    EXPECT_EQ(u1->symbol, 1);
    const Component* u3 = CompRef(CompFind("u3"));
    ASSERT_NE(u3, nullptr);
    EXPECT_EQ(u3->angle, 10800);
    EXPECT_EQ(u3->symbol, SymFind("NAMED"));
    EXPECT_EQ(u3->flags & kCompKey, kCompKey);
}

TEST_F(AscBoardTest, ComponentFailures) {
    struct Case {
        const char* body;
        const char* message;
    } cases[] = {
        {"*COMP U9 Symbol=0\r\n", "SYMBOL code (0) out of range"},
        {"*COMP U9 Symbol=9\r\n", "SYMBOL code (9) out of range"},
        {"*COMP U9 Symbol=\"NONE\"\r\n", "Undefined SYMBOL (NONE)"},
        {"*COMP U9 Symbol=[\r\n", "Bad SYMBOL reference"},
        {"*COMP *NOTE \"x\"\r\n", "Missing component name"},
        {"*COMP U9 Rot=400 Symbol=1\r\n", "ROT= out of range (24000)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        std::filesystem::remove(m_folder / "Pelvane.Log");
        int32_t errors = -1;
        ASSERT_EQ(ReadBoard(c.body, &errors), 1);
        EXPECT_EQ(errors, 1);
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0], c.message);
        EXPECT_EQ(CompFind("U9"), 0);
    }
}

// ---- *NET heads and connections -----------------------------------------------------

TEST_F(AscBoardTest, NetHeadsTakeTheirAttributes) {
    ASSERT_EQ(ReadBoard("*NET \"A\" W:10 MIN:5 ZID:20 WT:300 NOROUTE NOSHOVE\r\n"
                        "*NET \"B\" W:12 NETLEV:3 NOROUTE ROUTE NORIPUP\r\n"
                        // An existing net ORs the flags; ROUTE cancels only
                        // this head's NOROUTE.
                        "*NET \"A\" W:11 NOSHARE ROUTE\r\n"),
              1);
    ASSERT_EQ(NetCount(), 2);
    const Net* a = NetRef(NetFind("A"));
    EXPECT_EQ(a->width, 11);
    EXPECT_EQ(a->minWidth, 5);
    EXPECT_EQ(a->maxWidth, 20);
    EXPECT_EQ(a->weight, 300 & 0xFF);
    EXPECT_EQ(a->netLevel, 0xFFFF);
    EXPECT_EQ(a->flags & 0x0F, kNetNoRoute | kNetNoShove | kNetNoShare);
    const Net* b = NetRef(NetFind("B"));
    EXPECT_EQ(b->netLevel, 3);
    EXPECT_EQ(b->flags & 0x0F, kNetNoRipup);
}

TEST_F(AscBoardTest, ASegHeadReplacesTheFlagsOfAnExistingNet) {
    ASSERT_EQ(ReadBoard("*NET \"A\" W:10 NETLEV:4 WT:60 NOROUTE NOSHOVE\r\n"
                        "*SEG \"A\" W:10 NORIPUP\r\n"),
              1);
    const Net* a = NetRef(NetFind("A"));
    EXPECT_EQ(a->flags & 0x0F, kNetNoRipup);
    // Level and weight are set only when given.
    EXPECT_EQ(a->netLevel, 4);
    EXPECT_EQ(a->weight, 60);
}

TEST_F(AscBoardTest, ConnectionCornersFollowTheWords) {
    int32_t errors = -1;
    ASSERT_EQ(ReadBoard("*NET \"N\" W:10\r\n"
                        "   U1.2 L:1 W:20 LOCKED [20000, 10000] [20000, 10000] V:1 L:2 &\r\n"
                        "     [30000, 10000] W:15 LATCHED U2.1 LOCKED\r\n"
                        "   U1.1 [40000, 10000] U2.1\r\n",
                        &errors),
              1);
    EXPECT_EQ(errors, 0);
    ASSERT_EQ(ConnCount(), 2);
    // The second connection: its last pin equals the last corner written.
    std::vector<Crn> b = Corners(2);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(int(b[1].x), 40000);
    std::vector<Crn> a = Corners(1);
    ASSERT_EQ(a.size(), 4u);
    // Corner 0: the pin, with the net's width and layer 0, then L:, W: and
    // LOCKED act on it.
    EXPECT_EQ(int(a[0].x), 16000);
    EXPECT_EQ(int(a[0].layer), 1);
    EXPECT_EQ(int(a[0].width), 20);
    EXPECT_EQ(int(a[0].flags & kCrnLocked), kCrnLocked);
    // The repeated point is dropped; V: and L: act on the corner before.
    EXPECT_EQ(int(a[1].x), 20000);
    EXPECT_EQ(int(a[1].via), 1);
    EXPECT_EQ(int(a[1].layer), 2);
    EXPECT_EQ(int(a[1].width), 20);
    EXPECT_EQ(int(a[2].width), 15);
    EXPECT_EQ(int(a[2].flags & kCrnLatched), kCrnLatched);
    EXPECT_EQ(int(a[3].x), 40000);
    EXPECT_EQ(int(a[3].flags & kCrnLocked), kCrnLocked);
    const Conn* c = ConnRef(1);
    EXPECT_EQ(c->head.fromComp, CompFind("U1"));
    EXPECT_EQ(c->head.fromPin, 2);
    EXPECT_EQ(c->head.toComp, CompFind("U2"));
    EXPECT_EQ(c->head.toPin, 1);
}

TEST_F(AscBoardTest, QueryEndsTakeThePadAtTheirPoint) {
    int32_t errors = -1;
    ASSERT_EQ(ReadBoard("*NET \"N\" W:10\r\n"
                        "   ? [16000, 10000] L:1 [30000, 10000] [40000, 10000] ?\r\n",
                        &errors),
              1);
    // Each "?" also logs the tokenizer's complaint.
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Syntax Error", "Syntax Error"}));
    ASSERT_EQ(ConnCount(), 1);
    const Conn* c = ConnRef(1);
    EXPECT_EQ(c->head.fromComp, CompFind("U1"));
    EXPECT_EQ(c->head.fromPin, 2);
    EXPECT_EQ(c->head.toComp, CompFind("U2"));
    EXPECT_EQ(c->head.toPin, 1);
    EXPECT_EQ(c->head.count, 3);
}

TEST_F(AscBoardTest, AFailedConnectionEndsTheNetElement) {
    struct Case {
        const char* conn;
        const char* message;
    } cases[] = {
        {", U2.1", "Source component.pin missing"},
        {"U7.1 U2.1", "Cannot find component U7"},
        {"U1 [1, 2] U2.1", "Source Pin number missing"},
        {"U1.3 U2.1", "Pin (3) doesn't exist"},
        {"U1.\"Z\" U2.1", "Pin (3) doesn't exist"},
        {"U1.1 L:3 U2.1", "Layer (3) out of range"},
        {"U1.1 [1, 2] *NOTE", "Target component.pin missing"},
        {"U1.1 U2 LOCKED", "Target Pin number missing"},
        {"U1.1 U9.1", "Cannot find component U9"},
        {"U1.1 U2.9", "Pin (9) doesn't exist"},
        {"U1.1 [1, 2] ?", "Cannot find pad at [1,2]"},
        {"NODE [10000, 10000] NODE", "Must have at least two corners"},
        {"U1.1 V:2 U2.1", "V: out of range (2)"},
        {"U1.1 W:70000 U2.1", "W: out of range (70000)"},
        {"U1.1 [300000000, 0] U2.1", "[x, y] out of range (300000000)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.conn);
        std::filesystem::remove(m_folder / "Pelvane.Log");
        std::string body = std::string("*NET \"N\" W:10 U1.1 U2.2 ") + c.conn + " U1.2 U2.1\r\n";
        ASSERT_EQ(ReadBoard(body), 1);
        std::vector<std::string> m = Messages();
        EXPECT_NE(std::find(m.begin(), m.end(), c.message), m.end());
        // The head and the connection before the failing one stay; the one
        // after it is not read.
        EXPECT_EQ(NetCount(), 1);
        EXPECT_EQ(ConnCount(), 1);
    }
}

TEST_F(AscBoardTest, ATooLongConnectionIsRefused) {
    std::string body = "*NET \"N\" W:10 U1.1";
    for (int i = 0; i < 999; ++i)
        body += " [" + std::to_string(20000 + i) + ", 0]" + (i % 20 == 19 ? " &\r\n" : "");
    // 1 pin corner + 999 points + the last pin corner: 1,001.
    ASSERT_EQ(ReadBoard(body + " U2.1\r\n"), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Too many corners"});
    EXPECT_EQ(ConnCount(), 0);
}

TEST_F(AscBoardTest, AZeroWidthOnANetOfWidthZeroIsRefused) {
    ASSERT_EQ(ReadBoard("*NET \"N\" W:0 U1.1 U2.1\r\n"), 1);
    EXPECT_EQ(Messages().back(), "*NET rejected (code 5239095)");
    EXPECT_EQ(ConnCount(), 0);
}

// ---- *SEG ---------------------------------------------------------------------------

TEST_F(AscBoardTest, SegmentsBecomeConnectionsAfterTheRead) {
    int32_t errors = -1;
    ASSERT_EQ(ReadBoard("*COMP U3 [70000, 10000] Symbol=1\r\n"
                        "*SEG \"R\" W:10 P: U1.2 P: U2.1 L:1 W:12 [16000, 10000] &\r\n"
                        "   [30000, 10000] LOCKED [40000, 10000]\r\n"
                        "*SEG \"U\" W:10 P: U1.1 P: U2.2 P: U3.1\r\n",
                        &errors),
              1);
    EXPECT_EQ(errors, 0);
    const int32_t r = NetFind("R"), u = NetFind("U");
    std::vector<int32_t> routed, open;
    for (int32_t c = NetConnFirst(r); c; c = NetConnNext(c))
        routed.push_back(c);
    for (int32_t c = NetConnFirst(u); c; c = NetConnNext(c))
        open.push_back(c);
    ASSERT_EQ(routed.size(), 1u);
    std::vector<Crn> k = Corners(routed[0]);
    ASSERT_EQ(k.size(), 3u);
    EXPECT_EQ(int(k[0].layer), 1);
    EXPECT_EQ(int(k[0].width), 12);
    EXPECT_EQ(int(k[1].x), 30000);
    // Three loose pins and no copper: two unrouted connections.
    ASSERT_EQ(open.size(), 2u);
    for (int32_t c : open) {
        EXPECT_EQ(ConnRef(c)->head.count, 2);
        EXPECT_EQ(int(ConnRef(c)->crn[0].layer), 0);
    }
}

TEST_F(AscBoardTest, SegmentItemFailures) {
    struct Case {
        const char* items;
        const char* message;
    } cases[] = {
        {"P: *NOTE", "component.pin missing"},
        {"P: U9.1", "Cannot find component U9"},
        {"P: U1 [1, 2]", "Source Pin number missing"},
        {"P: U1.5", "Pin (5) doesn't exist"},
        {"L: 4 [1, 2]", "Layer (4) out of range"},
        {"L: 1 W:5 *NOTE", "Must have at least one coord"},
        {"V: 1 [1, 2] [3, 4]", "Via must have only one coord"},
        {"FOO", "Syntax Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items);
        std::filesystem::remove(m_folder / "Pelvane.Log");
        ASSERT_EQ(ReadBoard(std::string("*SEG \"S\" W:10 ") + c.items + "\r\n"), 1);
        ASSERT_FALSE(Messages().empty());
        EXPECT_EQ(Messages()[0], c.message);
        EXPECT_EQ(NetCount(), 1);
    }
}

// ---- *OBS, *NOTE, *TEXT ----------------------------------------------------------------

TEST_F(AscBoardTest, ObstaclesAndTheirWords) {
    int32_t errors = -1;
    ASSERT_EQ(ReadBoard("*OBS AVOID [0, 100] [0, 0] ARC: CCW CRNW: 30 [0, 100]\r\n"
                        "*OBS CVOID L:2 W:90 NETNUMBER: 1 [0, 0] [500, 0] [500, 500]\r\n"
                        "*OBS WHATEVER L:1 PINNUMBER: 3 [0, 0] [9, 9]\r\n"
                        "*OBS CINNER Sym= -2 ANYNET L:1 [0, 0] [9, 9]\r\n"
                        "*NET \"N\" W:10\r\n"
                        "*OBS KEEPOUT [5, 5]\r\n",
                        &errors),
              1);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"NETNUMBER: out of range (1)", "OBS too few corners"}));
    ASSERT_EQ(ObsCount(), 3);
    const ObsHead& a = ObsRef(1)->head;
    EXPECT_EQ(a.kind, kObsAvoid);
    EXPECT_EQ(a.layer, 0);
    EXPECT_EQ(a.net, kObsNoNet);
    EXPECT_EQ(a.owner, 0);
    EXPECT_EQ(a.flags & kObsHasArcs, 0); // a circle: the table keeps it as one
    EXPECT_EQ(int(ObsRef(1)->pt[1].flags), kObsPtArcCcw);
    EXPECT_EQ(int(ObsRef(1)->pt[1].width), 30);
    EXPECT_EQ(ObsRef(2)->head.kind, 20);
    EXPECT_EQ(ObsRef(2)->head.net, -3);
    EXPECT_EQ(ObsRef(3)->head.kind, kObsPlaceOutline);
    EXPECT_EQ(ObsRef(3)->head.owner, -2);
    EXPECT_EQ(ObsRef(3)->head.net, 0);
}

TEST_F(AscBoardTest, NotesAndTexts) {
    std::string longText(120, 'x');
    ASSERT_EQ(ReadBoard("*NOTE \"first\"\r\n*Note \"" + longText +
                        "\"\r\n"
                        "*TEXT \"HELLO\" STATIC [100, 200]\r\n"
                        "*TEXT \"B\" SDETAIL L: 2 Sym= 1 Rot=90[30] W:10 H:20 Ratio:50 M:3 R:7\r\n"
                        "*TEXT \"C\" FOO M:2\r\n"
                        "*TEXT \"D\" STATIC Ratio:0\r\n"),
              1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"RATIO: out of range (0)"}));
    ASSERT_EQ(NoteCount(), 2);
    char note[kTextChars];
    NoteGet(2, note);
    EXPECT_EQ(std::string(note), longText.substr(0, 100));
    ASSERT_EQ(TextCount(), 3);
    const BoardText* a = TextRef(1);
    EXPECT_EQ(a->kind, kTextStatic);
    EXPECT_EQ(a->width, 600);
    EXPECT_EQ(a->height, 4500);
    EXPECT_EQ(a->ratio, 100);
    EXPECT_EQ(a->x, 100);
    // No font in the tests: the text takes the point box at its position.
    EXPECT_EQ(a->minX, 100);
    EXPECT_EQ(a->maxY, 200);
    const BoardText* b = TextRef(2);
    EXPECT_EQ(b->kind, kTextFootprintDetail);
    EXPECT_EQ(b->layer, 2);
    EXPECT_EQ(b->owner, 1);
    EXPECT_EQ(b->angle, 5430);
    EXPECT_EQ(b->flags & kTextFlagMirrored, kTextFlagMirrored);
    EXPECT_EQ(b->r, 7);
    EXPECT_EQ(TextRef(3)->kind, 7);
    EXPECT_EQ(TextRef(3)->flags & kTextFlagMirrored, 0);
}

// ---- writers ------------------------------------------------------------------------------

TEST_F(AscBoardTest, ConnectionLinesNameEndsAndContinue) {
    ASSERT_EQ(ReadBoard("*COMP U3 [70000, 10000] Symbol=2\r\n"
                        "*COMP U4 [90000, 10000] Symbol=3\r\n"
                        "*NET \"N\" W:10\r\n"
                        "   U4.7 L:1 [20000, 1] [20000, 2] [20000, 3] W:12 V:1 LATCHED &\r\n"
                        "    U3.\"A\" LOCKED\r\n"
                        "   U3.2 U1.1\r\n"),
              1);
    std::string out = Written([] { return ConnAsc(1); });
    EXPECT_EQ(out, "   U3.\"7\" U1.1\r\n"
                   "   U4.7 L:1 [20000,1] [20000,2] [20000,3] W:12 V:1 LATCHED &\r\n"
                   "      U3.\"A\" LOCKED\r\n");
    EXPECT_TRUE(AscPinNameIsNumber(7, "7"));
    EXPECT_TRUE(AscPinNameIsNumber(7, "65543")); // taken as 16 bits
    EXPECT_TRUE(AscPinNameIsNumber(0, ""));
    EXPECT_FALSE(AscPinNameIsNumber(2, "7"));
    EXPECT_FALSE(AscPinNameIsNumber(1, "1A"));
}

TEST_F(AscBoardTest, FreeEndsAreWrittenAsNodeAndReadBack) {
    ASSERT_EQ(ReadBoard("*NET \"N\" W:10\r\n"
                        "   NODE [5000, 5000] L:1 [6000, 5000] U1.1\r\n"
                        "   U2.1 L:2 W:11 [50000, 0] NODE LOCKED\r\n"),
              1);
    ASSERT_EQ(ConnCount(), 2);
    EXPECT_EQ(ConnRef(1)->head.fromComp, 0);
    EXPECT_EQ(int(ConnRef(1)->crn[0].x), 5000);
    EXPECT_EQ(int(ConnRef(1)->crn[0].layer), 1);
    EXPECT_EQ(ConnRef(2)->head.toComp, 0);
    EXPECT_EQ(ConnRef(2)->head.count, 2);
    EXPECT_EQ(int(ConnRef(2)->crn[1].flags & kCrnLocked), kCrnLocked);
    std::string out = Written([] { return ConnAsc(1); });
    EXPECT_EQ(out, "   NODE [5000,5000] L:1 [6000,5000] U1.1\r\n"
                   "   U2.1 L:2 W:11 [50000,0] NODE LOCKED\r\n");
}

TEST_F(AscBoardTest, SectionLinesOfComponentsObstaclesAndTexts) {
    ASSERT_EQ(ReadBoard("*COMP U1 [10000, 10000] Rot=90[05] Symbol=1 NOROUTE KEY\r\n"
                        "*NET \"N\" W:10\r\n"
                        "*OBS KEEPIN L:0 W:60 [0, 0] [100, 0] ARC: CW [200, 0]\r\n"
                        "*OBS GKEEPOUT Sym= -1 L:1 NETNUMBER: 1 [0, 0] [100, 0]\r\n"
                        "*TEXT \"SAY \"  STATIC L:1 [1, 2] M:1 R:5\r\n"
                        "*NOTE \"a note\"\r\n"),
              1);
    EXPECT_EQ(Written(CompAsc), " \r\n"
                                "*COMP U1  [10000, 10000]  Rot=90[05]  Symbol=1 NOROUTE KEY\r\n"
                                "*COMP U2  [40000, 10000]  Rot=0[00]  Symbol=1 ROUTE\r\n");
    EXPECT_EQ(Written(ObsAsc), " \r\n"
                               "*OBS  KEEPIN    L:0  W:60 NONET\r\n"
                               "    [0, 0] ARC: N CRNW: 0 &\r\n"
                               "    [100, 0] ARC: CW CRNW: 0 &\r\n"
                               "    [200, 0] ARC: N CRNW: 0 &\r\n"
                               "    [0, 0] ARC: N CRNW: 0 \r\n"
                               "*OBS  GKEEPOUT Sym= -1  L:1  W:60 NETNUMBER: 1\r\n"
                               "    [0, 0] ARC: N CRNW: 0 &\r\n"
                               "    [100, 0] ARC: N CRNW: 0 \r\n");
    EXPECT_EQ(Written(TextAsc), " \r\n"
                                "*TEXT \"SAY \" STATIC L: 1 Sym= 0 &\r\n"
                                "     Rot=0[00] W:600 H:4500 Ratio:100 [1, 2] M:1R:5\r\n");
    EXPECT_EQ(Written(NoteAsc), " \r\n*Note \"a note\"\r\n");
}

TEST_F(AscBoardTest, TheSectionFixtureReadsClean) {
    std::ifstream in(std::string(PLV_ASC_DATA) + "/sections.asc", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    int32_t errors = -1;
    ASSERT_EQ(Read(text, &errors), 1);
    // The "?" end logs the tokenizer's complaint.
    EXPECT_EQ(errors, 1) << ::testing::PrintToString(Messages());
    EXPECT_EQ(CompCount(), 3);
    EXPECT_EQ(NetCount(), 2);
    EXPECT_EQ(ObsCount(), 4);
    EXPECT_EQ(TextCount(), 2);
    EXPECT_EQ(NoteCount(), 1);
    EXPECT_GE(ConnCount(), 4);
}

TEST_F(AscBoardTest, PinsInUseStay) {
    // A connected component keeps a footprint with at least as many pins,
    // and a placed footprint keeps its pins.
    int32_t errors = -1;
    ASSERT_EQ(ReadBoard("*SYMBOL 4 \"ONE\" 1 \"1\" [0, 0] Thru=1\r\n"
                        "*NET \"N\" W:10 U1.2 U2.1\r\n"
                        "*COMP U1 Symbol=4\r\n"
                        "*SYMBOL 1 \"TWO\" 1 \"1\" [0, 0] Thru=1\r\n"
                        "*COMP U2 Symbol=4\r\n"
                        "*COMP U9 [0, 0] Symbol=1\r\n"
                        "*COMP U9 Symbol=4\r\n",
                        &errors),
              1);
    EXPECT_EQ(errors, 3);
    EXPECT_EQ(Messages(), std::vector<std::string>(3, "Pin (2) doesn't exist"));
    EXPECT_EQ(CompRef(CompFind("U1"))->symbol, 1);
    EXPECT_EQ(CompRef(CompFind("U2"))->symbol, 1);
    EXPECT_EQ(SymPinCount(1), 2);
    // An unconnected component may take any footprint.
    EXPECT_EQ(CompRef(CompFind("U9"))->symbol, 4);
}

} // namespace
