// The library sections: *LAYER, *VIA, *THRU, *SYMBOL and *PACKAGE.
#include <string>

#include "asctest.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/packages.h"
#include "db/placestrat.h"
#include "db/sweeps.h"
#include "db/symbols.h"
#include "db/thru.h"

namespace {

class AscLibTest : public AscTest {
  protected:
    static std::string Name(NameId id) { return NameText(id); }
    static const PadShape& Shape(int32_t t, int32_t l, int32_t j = 0) {
        return ThruRef(t)->layer[l].shape[j];
    }
    static int32_t Ext(const PadShape& s, int32_t i) {
        int32_t e[4];
        std::memcpy(e, s.ext, sizeof e);
        return e[i];
    }
};

TEST_F(AscLibTest, LayerElement) {
    int32_t errors = -1;
    ASSERT_EQ(Read(File("*Layer 1 \"top\" SPACE 10 20 30\r\n*LAYER 2 \"B\" SPACE 1 2 3 4 5 6 1 "
                        "JUMPER\r\n",
                        "*LAYER 2\r\n"),
                   &errors),
              1);
    EXPECT_EQ(errors, 0);
    const Layer* l = LayerRef(1);
    EXPECT_EQ(Name(l->name), "TOP");
    const int32_t want[6] = {30, 10, 20, 30, 30, 10};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(l->spacing[i], want[i]) << i;
    EXPECT_EQ(l->mirror, 0);
    EXPECT_EQ(l->flags, 0);
    EXPECT_EQ(LayerRef(2)->flags, kLayerJumper);
    EXPECT_EQ(LayerRef(2)->mirror, 1);
    std::string out = Written(LayerAsc);
    EXPECT_EQ(out, " \r\n*Layer  1 \"TOP\"  Space  10 20 30 30 30 10 0\r\n"
                   "*Layer  2 \"B\"  Space  1 2 3 4 5 6 1 JUMPER\r\n");
}

TEST_F(AscLibTest, LayerNamesOfAWriterFile) {
    // A file that orders its layers TOP, GND, POWER, BOTTOM names them so;
    // the default layers of those names give way.
    std::string body = "*LAYER 1 \"TOP\" SPACE 1 1 1\r\n*LAYER 2 \"GND\" SPACE 1 1 1\r\n"
                       "*LAYER 3 \"POWER\" SPACE 1 1 1\r\n*LAYER 4 \"BOTTOM\" SPACE 1 1 1\r\n"
                       "*LAYER 3 \"GND\" SPACE 1 1 1\r\n";
    int32_t errors = -1;
    ASSERT_EQ(Read(File(body, "*LAYER 4\r\n"), &errors), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Duplicated layer name \"GND\" found"});
    EXPECT_EQ(Name(LayerRef(1)->name), "TOP");
    EXPECT_EQ(Name(LayerRef(2)->name), "GND");
    EXPECT_EQ(Name(LayerRef(3)->name), "POWER");
    EXPECT_EQ(Name(LayerRef(4)->name), "BOTTOM");
    EXPECT_EQ(LayerFind("GND"), 2);
}

TEST_F(AscLibTest, LayerErrors) {
    std::string body =
        "*LAYER 31 SPACE 1 2 3\r\n*LAYER 0 SPACE 1 2 3\r\n*LAYER SPACE 1 2 3\r\n"
        "*LAYER 1 2 SPACE 1 2 3\r\n*LAYER 1 SPACE 1 2\r\n*LAYER 1 SPACE 1 2 3 4 5 6 9\r\n";
    ASSERT_EQ(Read(File(body, "*LAYER 2\r\n")), 1);
    std::vector<std::string> want = {"ERROR too many layers",
                                     "Layer code (0) out of range",
                                     "Must specified layer number or name",
                                     "Already specified layer number (2)",
                                     "Syntax Error",
                                     "SPACE out of range (9)"};
    EXPECT_EQ(Messages(), want);
    EXPECT_EQ(LayerRef(1)->spacing[0], 600); // nothing stored
}

TEST_F(AscLibTest, ViaShapes) {
    std::string body = "*VIA 1 \"V1\" LAYER=1 SHAPE=RECT W:600 H:800 LAYER=2 SHAPE=UNDEF\r\n"
                       "*THRU 1 LAYER=1 SHAPE=ROUND W:600 H:700\r\n"
                       "*VIA 2 LAYER=1 SHAPE=ROUND W:500 SHAPE=SQUARE W:100\r\n"
                       "*VIA 3 LAYER=1 SHAPE=ROUND W:1\r\n";
    int32_t errors = -1;
    ASSERT_EQ(Read(File(body, "*LAYER 2\r\n*VIAS 2\r\n"), &errors), 1);
    std::vector<std::string> want = {"Via 1 shape changed to round",
                                     "Width not equal to Height on ROUND or SQUARE pad",
                                     "Vias can only have one shape.", "VIA code (3) out of range"};
    EXPECT_EQ(Messages(), want);
    EXPECT_EQ(errors, 4);
    EXPECT_EQ(Name(ThruRef(1)->name), "V1");
    EXPECT_EQ(Shape(1, 1).code, kPadRound);
    EXPECT_EQ(Ext(Shape(1, 1), 0), 400);
    EXPECT_EQ(Ext(Shape(1, 1), 3), 400);
    EXPECT_EQ(ThruRef(1)->layer[2].shapeCount, 0); // UNDEF alone: no pad there
    EXPECT_EQ(ThruRef(2)->layer[1].shapeCount, 1);
    EXPECT_EQ(Ext(Shape(2, 1), 0), 250);
}

TEST_F(AscLibTest, ThruShapesAndOffsets) {
    std::string body = "*THRU 5 \"P\" LAYER=1 ROT=90[30] SHAPE=OBLONG W:1000 H:500 XOFF:100 &\r\n"
                       "  SHAPE=ROUND W:200 XOFF:5 YOFF:-5 LAYER=BOTTOM SHAPE=SQUARE W:60\r\n"
                       "*THRU 9 LAYER=1 SHAPE=OBLONG W:100 H:50 XOFF:80\r\n"
                       "*THRU 9 LAYER=1 SHAPE=ROUND W:100 XOFF:1\r\n"
                       "*THRU 9 LAYER=1 W:100\r\n"
                       "*THRU 9 LAYER=1 SHAPE=ROUND\r\n"
                       "*THRU 9 LAYER=7 SHAPE=ROUND W:1\r\n"
                       "*THRU 9 LAYER=FOO SHAPE=ROUND W:1\r\n"
                       "*THRU 9 LAYER=1 SHAPE=ROUND W:-1\r\n"
                       "*THRU 9 LAYER=1 S=A SHAPE=A SHAPE=A SHAPE=A SHAPE=A SHAPE=A\r\n"
                       "*THRU 1001 LAYER=1\r\n";
    ASSERT_EQ(Read(File(body, "*LAYER 2\r\n")), 1);
    std::vector<std::string> want = {"Center is outside primary pad area",
                                     "Offsets not allowed on primary pad shape of ROUND  ",
                                     "ThruCode dimensions specified before shape name",
                                     "No width or height specified",
                                     "Layer code (7) out of range",
                                     "Undefined Layer (FOO)",
                                     "W: less than zero (-1)",
                                     "ThruCode has too many shapes (Max = 4)",
                                     "THRU code (1001) out of range"};
    EXPECT_EQ(Messages(), want);
    ASSERT_EQ(ThruCount(), 2); // a failing element adds nothing
    const ThruLayer& b = ThruRef(2)->layer[1];
    EXPECT_EQ(int32_t(b.rotation), 5430);
    EXPECT_EQ(b.shapeCount, 2);
    EXPECT_EQ(Ext(b.shape[0], 0), 400);
    EXPECT_EQ(Ext(b.shape[0], 1), 250);
    EXPECT_EQ(Ext(b.shape[0], 2), 600);
    EXPECT_EQ(Ext(b.shape[0], 3), 250);
    EXPECT_EQ(int32_t(b.shape[1].x), 5);
    EXPECT_EQ(int32_t(b.shape[1].y), -5);
    EXPECT_EQ(Shape(2, 1, 1).code, kPadRound);
    EXPECT_EQ(Shape(2, 2).code, kPadSquare);
    std::string out = Written(ThruAsc);
    EXPECT_NE(out.find("*THRU  1  \"P\" &\r\n     Layer=1  ROT=90[30]  &\r\n"
                       "                 SHAPE=OBLONG   W:1000  H:500  XOFF:100  YOFF:0 &\r\n"
                       "                 SHAPE=ROUND    W:200  XOFF:5  YOFF:-5 &\r\n"
                       "     Layer=2   SHAPE=SQUARE   W:60\r\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("*VIA   1  \"1\" &\r\n     Layer=1   SHAPE=UNDEF   &\r\n"),
              std::string::npos)
        << out;
}

TEST_F(AscLibTest, SymbolPinsAndThruNumbers) {
    std::string body = "*THRU 5 LAYER=1 SHAPE=ROUND W:10\r\n*THRU 9 LAYER=1 SHAPE=ROUND W:20\r\n"
                       "*THRU 12 LAYER=1 SHAPE=ROUND W:30\r\n"
                       "*SYMBOL 1 \"R\" 1 \"a\" [10, 20] THRU=9 2 \"\" [-5, 0] THRU=0 &\r\n"
                       " 3 [1, 1] THRU=-1\r\n"
                       "*SYMBOL 2 \"S\" 1 [0, 0] THRU=5 3 [0, 0] THRU=5\r\n"
                       "*SYMBOL 3 \"T\" 1 [0, 0] THRU=4\r\n"
                       "*SYMBOL 4 \"U\" 1 [0, 0] THRU=-3\r\n"
                       "*SYMBOL 1751 \"V\"\r\n";
    ASSERT_EQ(Read(File(body, "*LAYER 2\r\n*VIAS 3\r\n")), 1);
    std::vector<std::string> want = {"Pin (2) doesn't exist", "Thru code (4) out of range",
                                     "Thru code (-3) out of range",
                                     "SYMBOL code (1751) out of range"};
    EXPECT_EQ(Messages(), want);
    EXPECT_EQ(ThruCount(), 6);
    ASSERT_EQ(SymCount(), 1);
    EXPECT_EQ(SymPinCount(1), 3);
    EXPECT_EQ(int32_t(SymPinRef(1, 1)->thru), 5); // file thru 9: the second new thru code
    EXPECT_EQ(int32_t(SymPinRef(1, 2)->thru), 3); // THRU=0: the last via type
    EXPECT_EQ(int32_t(SymPinRef(1, 3)->thru), 2); // THRU=-1: the one before
    EXPECT_EQ(Name(SymPinRef(1, 1)->name), "a");
    EXPECT_EQ(Name(SymPinRef(1, 2)->name), "2"); // an empty name keeps the number form
    EXPECT_EQ(int32_t(SymPinRef(1, 1)->x), 10);
    EXPECT_EQ(int32_t(SymPinRef(1, 2)->x), -5);
    std::string out = Written(symAsc);
    EXPECT_EQ(out, " \r\n*SYMBOL 1  \"R\"\r\n 1   \"a\"   [10, 20]  Thru=2  &\r\n"
                   " 2   \"2\"   [-5, 0]  Thru=0  &\r\n 3   \"3\"   [1, 1]  Thru=-1\r\n");
}

TEST_F(AscLibTest, Packages) {
    std::string body = "*PACKAGE 1 \"DIP\" 1 \"A\" \"1\" 1 -2 3 \"B\" \"\" 255 7\r\n"
                       "*PACKAGE 1 \"DIP\"\r\n"
                       "*PACKAGE 2 \"X\" 1 \"A\" 5\r\n"
                       "*PACKAGE 3 \"Y\" 1 \"A\" \"B\" 256 0\r\n";
    ASSERT_EQ(Read(File(body, "*LAYER 2\r\n")), 1);
    std::vector<std::string> want = {"Cannot find Pad Name in Package section",
                                     "PIN out of range (256)"};
    EXPECT_EQ(Messages(), want);
    ASSERT_EQ(PkgCount(), 2); // two elements of one name give two packages
    EXPECT_EQ(PkgPinCount(1), 3);
    PackagePin p;
    PkgPinGet(1, 3, &p);
    EXPECT_EQ(Name(p.name), "B");
    EXPECT_EQ(Name(p.name2), "3");
    EXPECT_EQ(p.byte10, 255);
    EXPECT_EQ(p.value, 7);
    PkgPinGet(1, 1, &p);
    EXPECT_EQ(p.value, -2);
    std::string out = Written(PackAsc);
    EXPECT_NE(out.find("*PACKAGE 1   \"DIP\"\r\n 1   \"A\" \"1\"  1 -2 &\r\n"), std::string::npos)
        << out;
}

// A design read from the library, strategy and placement sections and
// written back reads back to the same records.
TEST_F(AscLibTest, SectionRoundTrip) {
    std::string body =
        "*STRATEGY 1 \"S1\"\r\n Diag: OFF Primary: LEFT Secondary: UP\r\n"
        " PASS 0 ENABLE DONE CDE VIAREDUCE DISBURSE NEAREST REROUTE\r\n"
        " Layer 3 Enable Dir: 1 Cost: 2 Between: 3\r\n"
        "*PLACE\r\n BOX -1 -2 3 4\r\n PASS 1 CLUSTERPL PROXPL SWAPCOMP ALIGN CLASSIFY DONE "
        "RECON\r\n"
        " ATTEMP 9 8 7\r\n"
        "*LAYER 1 \"ONE\" SPACE 5 6 7 8 9 10 2 JUMPER\r\n*LAYER 3 \"X\" SPACE 1 2 3\r\n"
        "*VIA 1 \"VIA1\" LAYER=1 SHAPE=ROUND W:40 LAYER=2 SHAPE=SQUARE W:50\r\n"
        "*VIA 2 LAYER=3 ROT=-1[-30] SHAPE=ROUND W:44\r\n"
        "*THRU 1 \"PAD\" LAYER=1 SHAPE=RECT W:100 H:50 XOFF:-10 YOFF:5 SHAPE=OVAL W:10 H:6 &\r\n"
        "  XOFF:3 SHAPE=THERMAL W:8 SHAPE=ANNULAR W:4 LAYER=2 SHAPE=OBLONG W:10 H:20\r\n"
        "*THRU 2 LAYER=3 SHAPE=ROUND W:7\r\n"
        "*SYMBOL 1 \"SYM\" 1 \"P1\" [1, 2] THRU=1 2 \"P2\" [-3, 4] THRU=0 3 \"x y\" [0, 0] "
        "THRU=2\r\n"
        "*SYMBOL 2 \"EMPTY\"\r\n"
        "*PACKAGE 1 \"PK\" 1 \"G1\" \"P1\" 3 -4 2 \"G2\" \"P2\" 0 0\r\n";
    int32_t errors = -1;
    ASSERT_EQ(Read(File(body, "*LAYER 3\r\n*VIAS 2\r\n"), &errors), 1);
    ASSERT_EQ(errors, 0) << Messages()[0];
    std::string file = "*PELVANE\r\n*LAYER 3\r\n*VIAS 2\r\n*START\r\n" + Written(strategyAsc) +
                       Written(PlaceAsc) + Written(LayerAsc) + Written(ThruAsc) + Written(symAsc) +
                       Written(PackAsc) + "*END\r\n";

    // The records of the first read.
    std::vector<Sweep> sweeps(9);
    for (int32_t n = 0; n < 9; ++n) {
        DbHdr().sweep = uint8_t(n);
        SweepGet(&sweeps[size_t(n)]);
    }
    DbHdr().sweep = 0;
    PlaceStrategy place;
    PlaceStratGet(&place);
    std::vector<Layer> layers(4);
    for (int32_t l = 1; l <= 3; ++l)
        LayerGet(l, &layers[size_t(l)]);
    std::vector<ThruCode> thru(size_t(ThruCount() + 1));
    for (int32_t t = 1; t <= ThruCount(); ++t)
        ThruGet(t, &thru[size_t(t)]);
    std::vector<Symbol> syms(3);
    SymGet(1, &syms[1]);
    SymGet(2, &syms[2]);
    static Package pkg;
    PkgGet(1, &pkg);

    ASSERT_EQ(Read(file, &errors), 1);
    ASSERT_EQ(errors, 0) << Messages()[0] << "\n" << file;
    for (int32_t n = 0; n < 9; ++n) {
        DbHdr().sweep = uint8_t(n);
        Sweep s;
        SweepGet(&s);
        // The box percentages are derived from the box when it is read; the
        // record defaults hold 28 where 60 of 210 rounds to 29.
        s.boxPercent[0] = sweeps[size_t(n)].boxPercent[0];
        for (size_t i = 0; i < sizeof s; ++i)
            EXPECT_EQ(reinterpret_cast<uint8_t*>(&s)[i],
                      reinterpret_cast<uint8_t*>(&sweeps[size_t(n)])[i])
                << "sweep " << n << " byte " << i;
    }
    DbHdr().sweep = 0;
    PlaceStrategy p2;
    PlaceStratGet(&p2);
    place.actions[0] = place.states[0] = 0; // placement pass 0 is not carried
    EXPECT_EQ(std::memcmp(&p2.actions[1], &place.actions[1], 11 * 2), 0);
    EXPECT_EQ(std::memcmp(&p2.states[1], &place.states[1], 11 * 2), 0);
    EXPECT_EQ(std::memcmp(p2.attempts, place.attempts, sizeof place.attempts), 0);
    EXPECT_EQ(std::memcmp(p2.box, place.box, sizeof place.box), 0);
    for (int32_t l = 1; l <= 3; ++l) {
        Layer a;
        LayerGet(l, &a);
        const Layer& b = layers[size_t(l)];
        EXPECT_EQ(a.name, b.name) << l;
        EXPECT_EQ(std::memcmp(a.spacing, b.spacing, 6 * 4), 0) << l;
        EXPECT_EQ(a.flags & kLayerJumper, b.flags & kLayerJumper) << l;
        EXPECT_EQ(a.mirror, b.mirror) << l;
    }
    ASSERT_EQ(ThruCount(), int32_t(thru.size()) - 1);
    for (int32_t t = 1; t <= ThruCount(); ++t) {
        ThruCode a;
        ThruGet(t, &a);
        const ThruCode& b = thru[size_t(t)];
        EXPECT_EQ(a.name, b.name) << t;
        for (int32_t l = 1; l <= 3; ++l) {
            EXPECT_EQ(a.layer[l].rotation, b.layer[l].rotation) << t << "/" << l;
            EXPECT_EQ(a.layer[l].shapeCount, b.layer[l].shapeCount) << t << "/" << l;
            EXPECT_EQ(std::memcmp(a.layer[l].shape, b.layer[l].shape, sizeof a.layer[l].shape), 0)
                << t << "/" << l;
        }
    }
    ASSERT_EQ(SymCount(), 2);
    for (int32_t s = 1; s <= 2; ++s) {
        static Symbol a;
        SymGet(s, &a);
        EXPECT_EQ(a.info.name, syms[size_t(s)].info.name);
        ASSERT_EQ(a.info.pinCount, syms[size_t(s)].info.pinCount);
        EXPECT_EQ(std::memcmp(&a.pin[1], &syms[size_t(s)].pin[1],
                              sizeof(SymbolPin) * size_t(a.info.pinCount)),
                  0);
    }
    ASSERT_EQ(PkgCount(), 1);
    static Package b;
    PkgGet(1, &b);
    EXPECT_EQ(b.info.name, pkg.info.name);
    ASSERT_EQ(b.info.pinCount, pkg.info.pinCount);
    for (int32_t p = 1; p <= b.info.pinCount; ++p) {
        EXPECT_EQ(b.pin[p].name, pkg.pin[p].name);
        EXPECT_EQ(b.pin[p].name2, pkg.pin[p].name2);
        EXPECT_EQ(b.pin[p].value, pkg.pin[p].value);
        EXPECT_EQ(b.pin[p].byte10, pkg.pin[p].byte10);
    }
}

} // namespace

namespace {

// A name that the full name table cannot take fails the read with the
// memory alert instead of the fatal error: symbols whose pins carry
// distinct names of 100 characters fill it.
TEST_F(AscLibTest, FullNameTableFailsTheRead) {
    std::string body = "*THRU 1 LAYER=1 SHAPE=ROUND W:10\r\n";
    int32_t i = 0;
    for (int32_t s = 1; s <= 10; ++s) {
        body += "*SYMBOL " + std::to_string(s) + "\r\n";
        for (int32_t p = 1; p <= kMaxPins; ++p) {
            char pin[160];
            std::snprintf(pin, sizeof pin, "%d \"%0100d\" [0, 0] THRU=1\r\n", int(p), int(i++));
            body += pin;
        }
    }
    int32_t errors = -1;
    EXPECT_EQ(Read(File(body, "*LAYER 2\r\n"), &errors), 0);
    ASSERT_EQ(HeadlessMessages(kHeadlessAlert).size(), 1u);
    EXPECT_EQ(HeadlessMessages(kHeadlessAlert)[0], "There is not enough memory available.");
    EXPECT_FALSE(DbIsValid());
}

} // namespace
