// Loading and saving whole designs and strategy files: the round trip
// through the file, its big-endian twin, the strategy merge, the checks of
// the records read and the robustness against damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "binfixture.h"
#include "db/attrs.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/err.h"
#include "db/db.h"
#include "db/dbdump.h"
#include "db/dbextent.h"
#include "db/layers.h"
#include "db/limits.h"
#include "db/markers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/packages.h"
#include "db/placestrat.h"
#include "db/plotrep.h"
#include "db/sweeps.h"
#include "db/symbols.h"
#include "db/table23.h"
#include "db/texts.h"
#include "db/thru.h"
#include "files/binload.h"

namespace {

class BinLoadTest : public BinTest {
  protected:
    void SetUp() override {
        BinTest::SetUp();
        SymRegister();
    }
    void TearDown() override {
        DbSetTrusted(false);
        BinTest::TearDown();
    }

    static void SetThru(int32_t t, std::vector<int32_t> layers, int32_t shapes, int32_t size) {
        ThruCode tc;
        ThruGet(t, &tc);
        for (int32_t l : layers) {
            ThruLayer& b = tc.layer[l];
            b.shapeCount = uint8_t(shapes);
            b.rotation = int16_t(l == 1 ? 5400 : 0);
            for (int32_t j = 0; j < shapes; ++j) {
                PadShape& s = b.shape[j];
                s.code = uint8_t(j == 0 ? kPadRound : kPadRect);
                s.x = 300 * j;
                s.y = -150 * j;
                s.ext[0] = s.ext[1] = s.ext[2] = s.ext[3] = size + 60 * j;
            }
        }
        ThruPut(t, &tc);
    }

    // A design that fills every table built in: four layers with three
    // names each (layer 3 a jumper layer), two via types with names in the
    // header, multi-shape padstacks, a 2,400-pin symbol (when big), packages,
    // components with a package name, colours, attributes, Table23 records,
    // changed sweeps.
    static void BuildDesign(bool big = true) {
        DbHeaderReset();
        DbHeader& h = DbHdr();
        std::snprintf(h.name, sizeof h.name, "%s", "Fixture board");
        h.layerCount = 4;
        h.viaCount = 2;
        h.thruCount = 2;
        h.routeGrid = 1500;
        h.value212[1] = 77;
        h.rest[5] = 0x5A;
        DbInit();
        h.viaNameCount = 2;
        h.viaNames[1].name1 = NameIntern("VIA-SMALL");
        h.viaNames[1].name3 = NameIntern("V1");
        h.viaNames[1].word = 3;
        h.viaNames[2].name1 = NameIntern("VIA-LARGE");
        h.viaNames[2].name3 = NameIntern("V2");

        const char* names[4][3] = {{"TOP-SIDE", "T", "SIGNAL"},
                                   {"MID-1", "M1", "PLANE"},
                                   {"JUMPERS", "J", "JUMPER"},
                                   {"BOT-SIDE", "B", "SIGNAL"}};
        for (int32_t l = 1; l <= 4; ++l) {
            Layer rec;
            LayerGet(l, &rec);
            rec.name = NameIntern(names[l - 1][0]);
            rec.shortName = NameIntern(names[l - 1][1]);
            rec.className = NameIntern(names[l - 1][2]);
            rec.spacing[2] = 700 + l;
            rec.flags = uint16_t(kLayerEnabled | (l == 3 ? kLayerJumper : 0));
            LayerPut(l, &rec);
        }
        SetThru(1, {1, 2, 3, 4}, 1, 300);
        SetThru(2, {1, 4}, 2, 450);
        int32_t pad = ThruAdd();
        SetThru(pad, {1, 4}, 3, 600);
        int32_t smd = ThruAdd();
        SetThru(smd, {1}, 4, 250);
        ThruCode tc;
        ThruGet(smd, &tc);
        tc.name = NameIntern("SMD-PAD");
        ThruPut(smd, &tc);

        auto sym = std::make_unique<Symbol>();
        DbRecInit(kRecSymbol, sym.get(), 1);
        sym->info.name = NameIntern("DIP3");
        sym->info.pinCount = 3;
        for (int32_t p = 1; p <= 3; ++p) {
            sym->pin[p].x = 1500 * p;
            sym->pin[p].y = p == 2 ? 3000 : 0;
            sym->pin[p].thru = int16_t(p == 3 ? smd : pad);
        }
        int32_t s1 = SymAdd();
        SymPut(s1, sym.get());
        sym->info.name = NameIntern("DIP3-MIRROR");
        sym->pin[1].x = -1500;
        int32_t s2 = SymAdd();
        SymPut(s2, sym.get());
        if (big) {
            DbRecInit(kRecSymbol, sym.get(), 3);
            sym->info.name = NameIntern("GRID2400");
            sym->info.pinCount = kMaxPins;
            for (int32_t p = 1; p <= kMaxPins; ++p) {
                sym->pin[p].x = 1500 * (p % 60);
                sym->pin[p].y = 1500 * (p / 60);
                sym->pin[p].thru = int16_t(pad);
            }
            int32_t s3 = SymAdd();
            SymPut(s3, sym.get());
        }

        auto pkg = std::make_unique<Package>();
        DbRecInit(kRecPackage, pkg.get(), 1);
        pkg->info.name = NameIntern("OPAMP");
        pkg->info.pinCount = 2;
        pkg->pin[1].name = NameIntern("IN+");
        pkg->pin[1].name2 = NameIntern("A1");
        pkg->pin[1].code = 2;
        pkg->pin[2].name = NameIntern("OUT");
        pkg->pin[2].name2 = NameIntern("A2");
        pkg->pin[2].value = 5;
        int32_t p1 = PkgAdd();
        PkgPut(p1, pkg.get());

        Component c{};
        c.name = NameIntern("U1");
        c.value32 = int32_t(NameIntern("OPAMP-DIP"));
        c.symbol = int16_t(s1);
        c.otherSymbol = int16_t(s2);
        c.package = int16_t(p1);
        c.x = 15000;
        c.y = 30000;
        c.angle = 5400;
        c.flags = kCompKey;
        int32_t c1 = CompAdd();
        CompPut(c1, &c);
        Component d{};
        d.name = NameIntern("R7");
        d.symbol = int16_t(s1);
        d.x = 45000;
        d.y = 15000;
        d.compRef = int16_t(c1);
        int32_t c2 = CompAdd();
        CompPut(c2, &d);

        PlaceStrategy ps;
        PlaceStratGet(&ps);
        ps.iterations[2] = 40;
        ps.clusters[5] = 7;
        ps.box[1] = 5000;
        PlaceStratPut(&ps);

        int32_t gnd = NetAdd();
        Net net;
        NetGet(gnd, &net);
        net.name = NameIntern("GND");
        net.width = 25;
        NetPut(gnd, &net);
        int32_t sig = NetAdd();
        NetGet(sig, &net);
        net.name = NameIntern("SIGNAL-WITH-A-LONG-NAME");
        net.weight = 3;
        NetPut(sig, &net);

        auto conn = std::make_unique<Conn>();
        std::memset(conn.get(), 0, sizeof(Conn));
        conn->head.net = int16_t(gnd);
        auto corner = [&](int32_t x, int32_t y, uint8_t layer, uint8_t flags, uint8_t via) {
            Crn& k = conn->crn[conn->head.count++];
            k.x = x;
            k.y = y;
            k.width = 10;
            k.layer = layer;
            k.flags = flags;
            k.via = via;
        };
        corner(15000, 30000, 1, kCrnLocked, 0);
        corner(30000, 30000, 2, 0, 1);
        corner(30000, 45000, 2, kCrnLocked, 2);
        corner(45000, 45000, 0, 0, 0);
        ConnPut(ConnAdd(), conn.get());
        // A routed connection between two pins.
        PlacedPin from, to;
        CompPinXY(c1, 1, &from);
        CompPinXY(c2, 2, &to);
        std::memset(conn.get(), 0, sizeof(Conn));
        conn->head.net = int16_t(sig);
        conn->head.fromComp = int16_t(c1);
        conn->head.fromPin = 1;
        conn->head.toComp = int16_t(c2);
        conn->head.toPin = 2;
        corner(from.x, from.y, 1, 0, 0);
        corner(from.x, to.y, 1, 0, 0);
        corner(to.x, to.y, 1, 0, 0);
        ConnPut(ConnAdd(), conn.get());
        std::memset(conn.get(), 0, sizeof(Conn));
        conn->head.net = int16_t(sig);
        conn->head.flags = kConnArc;
        corner(0, 0, 1, 0, 0);
        corner(1500, 0, 1, kCrnArc, 0);
        corner(1500, 1500, 1, 0, 0);
        // The store latches the arc's corners, and a reload keeps them so.
        ConnPut(ConnAdd(), conn.get());

        auto obstacle = [](int16_t owner, uint8_t kind, uint16_t flags,
                           std::vector<std::array<int32_t, 3>> pts) {
            auto r = std::make_unique<Obstacle>();
            std::memset(r.get(), 0, sizeof(Obstacle));
            r->head.kind = kind;
            r->head.flags = flags;
            r->head.owner = owner;
            r->head.layer = 1;
            r->head.net = kObsNoNet;
            for (auto& p : pts) {
                ObsPoint& q = r->pt[r->head.count++];
                q.x = p[0];
                q.y = p[1];
                q.flags = uint16_t(p[2]);
            }
            int32_t o = ObsAppend();
            r->head.name = NameIntern(owner == 0 ? "BOARD" : owner > 0 ? "KEEPOUT" : "PLACED");
            ObsPut(o, r.get());
        };
        obstacle(0, kObsBoardOutline, 0,
                 {{0, 0, 0}, {90000, 0, 0}, {90000, 60000, 0}, {0, 60000, 0}, {0, 0, 0}});
        obstacle(int16_t(s1), kObsOutline, kObsCircle,
                 {{1300, 0, 0}, {1000, 400, kObsPtArcCcw}, {1300, 0, 0}});
        obstacle(-int16_t(c1), kObsCompKeepout, 0,
                 {{0, 0, 0}, {3000, 0, 0}, {3000, 3000, 0}, {0, 3000, 0}, {0, 0, 0}});

        auto text = [](int16_t owner, uint8_t kind, const char* content, int32_t x) {
            BoardText t;
            DbRecInit(kRecBoardText, &t, 1);
            t.owner = owner;
            t.kind = kind;
            t.layer = 1;
            t.x = x;
            t.y = 3000;
            std::snprintf(t.text, sizeof t.text, "%s", content);
            t.name = NameIntern(content);
            TextPut(TextAdd(), &t);
        };
        text(0, kTextStatic, "BOARD REV A", 6000);
        text(int16_t(s1), kTextStatic, "SYM TEXT", 0);
        text(-int16_t(c2), kTextCompDetail, "R7 detail", 45000);

        NoteAdd("First note");
        NoteAdd("A second note, longer");

        PlotReport rep;
        int32_t r1 = ReportAdd();
        ReportGet(r1, &rep);
        rep.name = NameIntern("GERBER TOP");
        rep.value4 = int32_t(NameIntern("top.gbr"));
        rep.value8 = int32_t(NameIntern("PHOTO"));
        rep.value16[0] = int32_t(NameIntern("APERTURES"));
        rep.word28[2] = 12;
        rep.entry[3].color = 0xFF00FF;
        ReportPut(r1, &rep);

        ErrorMarker m{};
        m.type = 3;
        m.layer = 1;
        m.x = 1234;
        m.y = 5678;
        m.id1 = CompRef(c1)->recordId;
        m.kind1 = kRecComponent;
        MarkerPut(MarkerAdd(), &m);

        ColorDefaults();
        ColorEntry e{};
        e.kind = 4;
        e.subKind = 2;
        e.layer = kColorAllLayers;
        e.color = 0x123456;
        ColorPut(ColorAdd(), &e);

        Attribute a{};
        a.kind = 1;
        a.key1Type = kRecComponent;
        a.key1 = int16_t(c1);
        a.value1 = int32_t(NameIntern("SOIC-8-ALT"));
        AttrPut(&a);
        Attribute b{};
        b.kind = 2;
        b.key1Type = kRecComponent;
        b.key1 = int16_t(c2);
        b.value1 = 4242;
        b.value3 = 9;
        AttrPut(&b);

        Table23 t{};
        t.value = 25;
        t.value4 = -3;
        Table23Put(Table23Add(), &t);
        t.value = 400;
        t.word14 = 11;
        Table23Put(Table23Add(), &t);

        for (int32_t i : {0, 3, 8}) {
            h.sweep = uint8_t(i);
            Sweep sw;
            SweepGet(&sw);
            std::snprintf(sw.name, sizeof sw.name, "Custom %d", i);
            sw.via[1] = uint8_t(10 + i);
            for (int32_t l = 1; l <= 4; ++l) {
                sw.dir[l] = uint8_t(10 * l + i);
                sw.cost[l] = uint8_t(20 + l);
                sw.between[l] = uint8_t(l);
            }
            SweepPut(&sw);
        }
        h.sweep = 0;
    }

    // What follows a successful load: the design extent, then validation.
    static void PostLoadSteps() {
        DbExtent();
        DbValidate();
    }

    static std::string Dump(const DbDumpOptions& o = DbDumpOptions()) {
        std::string out;
        DbDump(out, o);
        return out;
    }

    // Saves the design whole and answers its dump after the save's
    // validation.
    std::string SaveWhole(const char* name) {
        FileSpec spec = Spec(name);
        EXPECT_TRUE(BinSave(&spec, true));
        PostLoadSteps();
        return Dump();
    }

    int32_t Load(const char* name, bool whole = true) {
        FileSpec spec = Spec(name);
        return BinLoadFile(&spec, whole);
    }

    // The big-endian twin of a file written here: every body turned by
    // the widths of its fields, the platform tag "PMac".
    static std::vector<uint8_t> PMacTwin(std::vector<uint8_t> f) {
        int32_t layers = 0;
        for (size_t at = 0; at + 8 <= f.size();) {
            int32_t type = (f[at + 4] << 8) | f[at + 5];
            int32_t length = (f[at + 6] << 8) | f[at + 7];
            uint8_t* body = &f[at + 8];
            auto le16 = [&](int32_t o) { return int32_t(int16_t(body[o] | (body[o + 1] << 8))); };
            auto swap = [&](int32_t offset, int32_t width) {
                std::reverse(body + offset, body + offset + width);
            };
            if (type == kRecFileHeader || type == kRecEndOfFile) {
                std::memcpy(body + 4, "PMac", 4);
                swap(0, 4);
                swap(32, 2);
                swap(34, 2);
            } else if (type != kRecNameString && type != kRecNote) {
                int32_t count = 0;
                if (type == kRecSymbol || type == kRecPackage) count = le16(8);
                if (type == kRecConn) count = le16(34);
                if (type == kRecObstacle) count = le16(46);
                if (type == kRecThruCode) count = layers;
                if (type == kRecHeader) layers = le16(128);
                std::vector<DbImagePiece> pieces;
                DbImagePieces(type, count, pieces);
                int32_t viaEntries = type == kRecHeader ? body[281] : 0;
                int32_t shapes = 0;
                int32_t via = 0;
                for (const DbImagePiece& piece : pieces) {
                    if (piece.part == kPartViaName && via++ > viaEntries) continue;
                    if (piece.part == kPartThruLayer) shapes = body[piece.offset + 3];
                    if (piece.part == kPartPadShape) {
                        if (shapes == 0) continue;
                        --shapes;
                    }
                    const DbFieldList& list = DbFieldsOf(piece.part);
                    for (int32_t i = 0; i < list.count; ++i) {
                        const DbField& fd = list.fields[i];
                        int32_t w = fd.kind == kFieldF64                             ? 8
                                    : (fd.kind == kFieldI16 || fd.kind == kFieldU16) ? 2
                                    : (fd.kind == kFieldI32 || fd.kind == kFieldU32 ||
                                       fd.kind == kFieldName)
                                        ? 4
                                        : 1;
                        if (w == 1) continue;
                        for (int32_t k = 0; k < fd.count; ++k)
                            swap(piece.offset + fd.offset + k * w, w);
                    }
                }
            }
            at += 8 + size_t(length);
        }
        return f;
    }
};

TEST_F(BinLoadTest, AWholeDesignReloadsToTheSameDump) {
    BuildDesign();
    int32_t recordIds = DbHdr().recordId;
    std::string before = SaveWhole("whole.zid");
    EXPECT_NE(LogText().find("Saved as file whole.zid"), std::string::npos);
    std::vector<uint8_t> bytes = ReadBytes("whole.zid");
    ASSERT_GT(bytes.size(), size_t(38448));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8),
              (std::vector<uint8_t>{0x42, 0x49, 0x4E, 0x52, 0x00, 0x18, 0x00, 0x40}));

    DbFree();
    ASSERT_EQ(Load("whole.zid"), 1);
    EXPECT_FALSE(DbIsTrusted());
    EXPECT_EQ(DbHdr().modified, 0);
    EXPECT_EQ(DbHdr().sweep, 0);
    EXPECT_TRUE(DbIsValid());
    EXPECT_EQ(DbHdr().recordId, recordIds);
    EXPECT_NE(LogText().find("Loaded file whole.zid"), std::string::npos);
    PostLoadSteps();
    EXPECT_TRUE(DumpsEqual(before, Dump()));
    EXPECT_EQ(SymPinCount(3), kMaxPins);
    EXPECT_EQ(CompRef(1)->value32, int32_t(NameLookup("OPAMP-DIP")));

    // The big-endian twin loads to the same design.
    WriteBytes("twin.zid", PMacTwin(bytes));
    ASSERT_NE(ReadBytes("twin.zid"), bytes);
    ASSERT_EQ(Load("twin.zid"), 1);
    PostLoadSteps();
    EXPECT_TRUE(DumpsEqual(before, Dump()));
}

TEST_F(BinLoadTest, TheTrustedFlagIsSetWhileAWholeFileLoadsOnly) {
    BuildDesign(false);
    std::string before = SaveWhole("a.zid");
    // Without the saved-whole mark every record passes its table's checks.
    std::vector<uint8_t> bytes = ReadBytes("a.zid");
    size_t header = 8 + 64;
    while (!(bytes[header + 5] == kRecHeader))
        header += 8 + size_t((bytes[header + 6] << 8) | bytes[header + 7]);
    bytes[header + 8 + 244] ^= 0xFF;
    WriteBytes("b.zid", bytes);
    DbDumpOptions noIds;
    noIds.noRecordIds = true;
    // The store latches an arc's corners again.
    noIds.omit.push_back("Corner.flags");
    std::string beforeNoIds = Dump(noIds);
    ASSERT_EQ(Load("b.zid"), 1);
    EXPECT_FALSE(DbIsTrusted());
    PostLoadSteps();
    // Records saved without an id get one when they are checked and stored.
    EXPECT_TRUE(DumpsEqual(beforeNoIds, Dump(noIds)));

    // A failed load leaves the flag clear too, and a second load works.
    bytes = ReadBytes("a.zid");
    bytes.resize(bytes.size() - 72); // no end record
    WriteBytes("c.zid", bytes);
    EXPECT_EQ(Load("c.zid"), 0);
    EXPECT_FALSE(DbIsTrusted());
    EXPECT_FALSE(DbIsValid());
    EXPECT_GT(CompCount(), 0); // the tables as far as filled
    ASSERT_EQ(Load("a.zid"), 1);
    PostLoadSteps();
    EXPECT_TRUE(DumpsEqual(before, Dump()));
}

TEST_F(BinLoadTest, StrategyFilesCarryTheSweepsAndColoursIntoAnotherDesign) {
    BuildDesign(false);
    FileSpec spec = Spec("a.sf");
    ASSERT_TRUE(BinSave(&spec, false));
    bool isStrategy = false;
    EXPECT_TRUE(BinCheckType(&spec, &isStrategy));
    EXPECT_TRUE(isStrategy);
    std::vector<uint8_t> bytes = ReadBytes("a.sf");
    // File header, 9 sweeps, the placement strategy, 31 layers after their
    // three names, colours, end.
    size_t records = 0, names = 0, layers = 0;
    for (size_t at = 0; at < bytes.size(); at += 8 + size_t((bytes[at + 6] << 8) | bytes[at + 7])) {
        ++records;
        names += bytes[at + 5] == kRecNameString;
        layers += bytes[at + 5] == kRecLayer;
    }
    EXPECT_EQ(layers, 31u);
    EXPECT_EQ(names, 93u);
    EXPECT_EQ(records, size_t(1 + 9 + 1 + 31 + 93 + ColorCount() + 1));
    DbDumpOptions sweepsOnly;
    std::string a = Dump();
    std::vector<ColorEntry> colorsA;
    for (int32_t n = 1; n <= ColorCount(); ++n) {
        ColorEntry e;
        ColorGet(n, &e);
        colorsA.push_back(e);
    }

    // Design B: the same layer names in another order of short names, its
    // own sweeps and colours.
    DbFree();
    DbHeaderReset();
    DbHdr().layerCount = 5;
    DbInit();
    const char* names5[5] = {"TOP-SIDE", "MID-1", "EXTRA", "JUMPERS", "BOT-SIDE"};
    const char* short5[5] = {"T", "M1", "X", "J", "B"};
    for (int32_t l = 1; l <= 5; ++l) {
        Layer rec;
        LayerGet(l, &rec);
        rec.name = NameIntern(names5[l - 1]);
        rec.shortName = NameIntern(short5[l - 1]);
        LayerPut(l, &rec);
    }
    ColorEntry own{};
    own.kind = 9;
    own.layer = 3;
    ColorPut(ColorAdd(), &own);
    ColorPut(ColorAdd(), &own);
    DbHdr().sweep = 2;
    Sweep mine;
    SweepGet(&mine);
    mine.dir[3] = 99; // EXTRA: no file layer matches it
    SweepPut(&mine);
    DbHdr().sweep = 0;
    std::string layersBefore;
    for (int32_t l = 0; l < kLayerSlots; ++l)
        layersBefore +=
            std::to_string(LayerRef(l)->name) + "/" + std::to_string(LayerRef(l)->recordId) + " ";

    ASSERT_EQ(Load("a.sf", false), 1);
    std::string layersAfter;
    for (int32_t l = 0; l < kLayerSlots; ++l)
        layersAfter +=
            std::to_string(LayerRef(l)->name) + "/" + std::to_string(LayerRef(l)->recordId) + " ";
    EXPECT_EQ(layersBefore, layersAfter);
    // File layers 1, 2, 3, 4 went to design layers 1, 2, 4, 5.
    const int32_t map[5] = {0, 1, 2, 4, 5};
    for (int32_t i = 0; i < kSweepCount; ++i) {
        DbHdr().sweep = uint8_t(i);
        Sweep s;
        SweepGet(&s);
        std::string expectName = (i == 0 || i == 3 || i == 8) ? "Custom " + std::to_string(i)
                                                              : "Sweep " + std::to_string(i);
        EXPECT_EQ(std::string(s.name), expectName);
        for (int32_t l = 1; l <= 4; ++l) {
            EXPECT_EQ(s.dir[map[l]], (i == 0 || i == 3 || i == 8) ? 10 * l + i : s.dir[map[l]]);
        }
        if (i == 2) {
            EXPECT_EQ(s.dir[3], 99); // kept
        }
        if (i == 3) {
            EXPECT_EQ(s.dir[4], 33);
            EXPECT_EQ(s.cost[5], 24);
            EXPECT_EQ(s.via[1], 13);
        }
    }
    DbHdr().sweep = 0;
    // Every colour of A is in B, on B's layer numbers.
    for (ColorEntry e : colorsA) {
        if (e.layer != kColorAllLayers) e.layer = uint8_t(map[e.layer]);
        int32_t n = ColorFind(&e);
        ASSERT_GT(n, 0) << int(e.kind) << "/" << int(e.layer);
        ColorEntry got;
        ColorGet(n, &got);
        EXPECT_EQ(got.color, e.color);
    }
    EXPECT_EQ(DbHdr().modified, 0);
    (void)a;
    (void)sweepsOnly;
}

TEST_F(BinLoadTest, MergedSweepsDumpEqualToTheDesignTheyCameFrom) {
    BuildDesign(false);
    FileSpec spec = Spec("a.sf");
    ASSERT_TRUE(BinSave(&spec, false));
    DbDumpOptions o;
    std::string a = Dump(o);
    // The sweep, placement strategy and colour lines; colours in any order.
    auto sweepLines = [](const std::string& dump) {
        std::vector<std::string> lines;
        for (const char* head : {"\nSweep ", "\nPlaceStrategy:", "\nColor "}) {
            size_t at = 0;
            while ((at = dump.find(head, at)) != std::string::npos) {
                size_t end = dump.find('\n', at + 1);
                std::string line = dump.substr(at, end - at);
                if (line.rfind("\nColor ", 0) == 0) line = line.substr(line.find(':'));
                lines.push_back(line);
                at = end;
            }
        }
        std::sort(lines.begin(), lines.end());
        std::string out;
        for (const std::string& line : lines)
            out += line;
        return out;
    };
    // Design B with the same layers, default sweeps and placement strategy.
    DbFree();
    BuildDesign(false);
    for (int32_t i = 0; i < kSweepCount; ++i) {
        DbHdr().sweep = uint8_t(i);
        Sweep s;
        DbRecInit(kRecSweep, &s, i);
        SweepPut(&s);
    }
    DbHdr().sweep = 0;
    PlaceStrategy ps;
    DbRecInit(kRecPlaceStrategy, &ps, 1);
    PlaceStratPut(&ps);
    std::string layersB = Dump().substr(Dump().find("\nLayer 0:"));
    layersB = layersB.substr(0, layersB.find("\nThruCode "));
    ASSERT_NE(sweepLines(Dump()), sweepLines(a));
    ASSERT_EQ(Load("a.sf", false), 1);
    // Sweeps, placement strategy and colours as in A, layers as they were.
    EXPECT_EQ(sweepLines(Dump()), sweepLines(a));
    std::string layersAfter = Dump().substr(Dump().find("\nLayer 0:"));
    EXPECT_EQ(layersAfter.substr(0, layersAfter.find("\nThruCode ")), layersB);
}

TEST_F(BinLoadTest, AMergeOfThruCodesTakesThePadsByNameAndLayer) {
    BuildDesign(false);
    FileSpec spec = Spec("a.zid");
    ASSERT_TRUE(BinSave(&spec, true));
    int32_t smd = PadstackFind("SMD-PAD");
    ASSERT_GT(smd, 0);
    ThruLayer padA;
    ThruPadGet(smd, 1, &padA);
    int32_t countA = ThruCount();

    DbFree();
    BuildDesign(false);
    ThruCode tc;
    ThruGet(smd, &tc);
    for (int32_t k = 0; k < 4; ++k)
        tc.layer[1].shape[0].ext[k] = 999;
    tc.layer[2].shapeCount = 1; // layer 2 has no pad in the file's copy
    tc.layer[2].shape[0].code = kPadRound;
    for (int32_t k = 0; k < 4; ++k)
        tc.layer[2].shape[0].ext[k] = 77;
    ThruPut(smd, &tc);
    ASSERT_EQ(BinLoad(&spec, kLoadMerge | kLoadThru), 1);
    EXPECT_EQ(ThruCount(), countA); // every name was found
    ThruLayer got;
    ThruPadGet(smd, 1, &got);
    EXPECT_EQ(0, std::memcmp(&got, &padA, sizeof got));
    ThruPadGet(smd, 2, &got);
    EXPECT_EQ(got.shapeCount, 0); // the file's layer 2 block came over it
}

TEST_F(BinLoadTest, CheckTypeTellsDesignsFromOtherFiles) {
    BuildDesign(false);
    FileSpec spec = Spec("d.zid");
    ASSERT_TRUE(BinSave(&spec, true));
    bool isStrategy = true;
    EXPECT_TRUE(BinCheckType(&spec, &isStrategy));
    EXPECT_FALSE(isStrategy);
    WriteBytes("ascii.txt",
               std::vector<uint8_t>{'*', 'P', 'E', 'L', 'V', 'A', 'N', 'E', '\r', '\n'});
    FileSpec ascii = Spec("ascii.txt");
    EXPECT_FALSE(BinCheckType(&ascii, &isStrategy));
    WriteBytes("empty.zid", {});
    FileSpec empty = Spec("empty.zid");
    EXPECT_FALSE(BinCheckType(&empty, &isStrategy));
    FileSpec missing = Spec("missing.zid");
    EXPECT_FALSE(BinCheckType(&missing, &isStrategy));
    // Nothing stayed open.
    EXPECT_TRUE(BinOpen(&spec, 'r'));
    EXPECT_TRUE(BinClose('r'));
}

// A small file: file header, names, the header record of the design in
// hand, then the given records.
class BinRecordsTest : public BinLoadTest {
  protected:
    std::vector<uint8_t> Start() {
        DbFree();
        NewDesign();
        DbHeader h;
        DbGetHeader(&h);
        std::vector<uint8_t> body(734);
        std::memcpy(body.data(), &h, 734);
        std::vector<uint8_t> f;
        AddRecord(f, kRecFileHeader, FileHeaderBody());
        AddRecord(f, kRecHeader, body);
        return f;
    }
    static std::vector<uint8_t> CompBody() {
        Component c{};
        std::vector<uint8_t> b(56);
        std::memcpy(b.data(), &c, 56);
        return b;
    }
    int32_t LoadBytes(std::vector<uint8_t> f, bool end = true) {
        if (end) AddRecord(f, kRecEndOfFile, FileHeaderBody());
        WriteBytes("r.zid", f);
        return Load("r.zid");
    }
};

TEST_F(BinRecordsTest, PendingNamesBeforeAComponent) {
    std::vector<uint8_t> f = Start();
    AddRecord(f, kRecNameString, NameBody("C1"));
    AddRecord(f, kRecNameString, NameBody("PKG"));
    AddRecord(f, kRecComponent, CompBody());
    ASSERT_EQ(LoadBytes(f), 1);
    ASSERT_EQ(CompCount(), 1);
    EXPECT_STREQ(NameText(CompRef(1)->name), "C1");
    EXPECT_STREQ(NameText(NameId(CompRef(1)->value32)), "PKG");

    f = Start();
    for (const char* n : {"C1", "C2", "C3"})
        AddRecord(f, kRecNameString, NameBody(n));
    AddRecord(f, kRecComponent, CompBody());
    EXPECT_EQ(LoadBytes(f), 0);
    EXPECT_FALSE(DbIsValid());
}

TEST_F(BinRecordsTest, OutOfRangeContentsFailTheLoadWithoutAnInternalError) {
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> add;
    };
    auto comp = [](std::function<void(Component&)> change) {
        return [change](std::vector<uint8_t>& f) {
            Component c{};
            change(c);
            std::vector<uint8_t> b(56);
            std::memcpy(b.data(), &c, 56);
            AddRecord(f, kRecNameString, NameBody("C"));
            AddRecord(f, kRecComponent, b);
        };
    };
    std::vector<Case> cases = {
        {"symbol beyond the count", comp([](Component& c) { c.symbol = 1; })},
        {"package beyond the count", comp([](Component& c) { c.package = 3; })},
        {"negative other-side symbol", comp([](Component& c) { c.otherSymbol = -1; })},
        {"a second header",
         [](std::vector<uint8_t>& f) {
             std::vector<uint8_t> h(f.begin() + 80, f.begin() + 80 + 734);
             AddRecord(f, kRecHeader, h);
         }},
        {"a file header inside",
         [](std::vector<uint8_t>& f) { AddRecord(f, kRecFileHeader, FileHeaderBody()); }},
        {"a layer without names",
         [](std::vector<uint8_t>& f) { AddRecord(f, kRecLayer, std::vector<uint8_t>(56)); }},
        {"a symbol with a negative pin count",
         [](std::vector<uint8_t>& f) {
             std::vector<uint8_t> b(16);
             b[8] = 0xFE;
             b[9] = 0xFF;
             AddRecord(f, kRecSymbol, b);
         }},
        {"a Table23 value of 9",
         [](std::vector<uint8_t>& f) {
             std::vector<uint8_t> b(16);
             b[0] = 9;
             AddRecord(f, kRecTable23, b);
         }},
        {"a name of 101 characters",
         [](std::vector<uint8_t>& f) {
             std::string n(101, 'x');
             AddRecord(f, kRecNameString, NameBody(n.c_str()));
         }},
        {"a sweep name without its end",
         [](std::vector<uint8_t>& f) {
             Sweep s;
             DbRecInit(kRecSweep, &s, 0);
             std::memset(s.name, 'A', sizeof s.name);
             std::vector<uint8_t> b(228);
             std::memcpy(b.data(), &s, 228);
             AddRecord(f, kRecSweep, b);
         }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> f = Start();
        c.add(f);
        EXPECT_EQ(LoadBytes(f), 0) << c.what;
        EXPECT_EQ(BinLastReadError(), kBinErrCheck) << c.what;
        EXPECT_FALSE(DbIsValid()) << c.what;
    }

    // A record before the header of a whole load.
    std::vector<uint8_t> f;
    AddRecord(f, kRecFileHeader, FileHeaderBody());
    AddRecord(f, kRecNameString, NameBody("C"));
    AddRecord(f, kRecComponent, CompBody());
    EXPECT_EQ(LoadBytes(f), 0);
    EXPECT_EQ(BinLastReadError(), kBinErrCheck);
}

TEST_F(BinRecordsTest, HeaderViaNamesComeFromTheNamesBeforeIt) {
    BuildDesign(false);
    SaveWhole("v.zid");
    ASSERT_EQ(Load("v.zid"), 1);
    EXPECT_STREQ(NameText(DbHdr().viaNames[1].name1), "VIA-SMALL");
    EXPECT_STREQ(NameText(DbHdr().viaNames[2].name3), "V2");

    // Without the names, string-table names are cleared.
    std::vector<uint8_t> f = Start();
    DbHeader h;
    std::memcpy(&h, f.data() + 80, 734);
    h.viaNameCount = 1;
    h.viaNames[1].name1 = 0x00030004; // a string-table id of another session
    h.viaNames[1].name3 = kNameNumberBase + 7;
    std::vector<uint8_t> f2;
    AddRecord(f2, kRecFileHeader, FileHeaderBody());
    std::vector<uint8_t> body(734);
    std::memcpy(body.data(), &h, 734);
    AddRecord(f2, kRecHeader, body);
    ASSERT_EQ(LoadBytes(f2), 1);
    NameId name1 = DbHdr().viaNames[1].name1, name3 = DbHdr().viaNames[1].name3;
    EXPECT_EQ(name1, 0u);
    EXPECT_EQ(name3, NameId(kNameNumberBase + 7));
}

// Texts owned by components.
int32_t CompTexts() {
    int32_t n = 0;
    for (int32_t t = 1; t <= TextCount(); ++t)
        if (TextRef(t) && TextRef(t)->owner < 0) ++n;
    return n;
}

TEST_F(BinLoadTest, SubVersion48GivesComponentsTheirSymbolsTexts) {
    BuildDesign(false);
    SaveWhole("s49.zid");
    int32_t owned = CompTexts();
    std::vector<uint8_t> bytes = ReadBytes("s49.zid");
    ASSERT_EQ(bytes[8 + 34], 49);
    bytes[8 + 34] = 48;
    bytes[bytes.size() - 64 + 34] = 48; // the end record
    WriteBytes("s48.zid", bytes);
    ASSERT_EQ(Load("s49.zid"), 1);
    EXPECT_EQ(CompTexts(), owned);

    ASSERT_EQ(Load("s48.zid"), 1);
    // Both components use symbol 1, which owns one text.
    EXPECT_EQ(CompTexts(), owned + 2);
}

TEST_F(BinRecordsTest, WrongNumbersOfPendingNamesAreAWarning) {
    // Two names before a net (it takes the first) and one before a Table23
    // record (it takes none): the load goes on, even under the strict flag,
    // and says so once in the activity log.
    auto file = [this]() {
        std::vector<uint8_t> f = Start();
        Net net;
        DbRecInit(kRecNet, &net, 1);
        std::vector<uint8_t> b(28);
        std::memcpy(b.data(), &net, 28);
        AddRecord(f, kRecNameString, NameBody("VCC"));
        AddRecord(f, kRecNameString, NameBody("VDD"));
        AddRecord(f, kRecNet, b);
        Table23 t{};
        t.value = 25;
        std::vector<uint8_t> tb(sizeof t);
        std::memcpy(tb.data(), &t, sizeof t);
        AddRecord(f, kRecNameString, NameBody("T"));
        AddRecord(f, kRecTable23, tb);
        return f;
    };
    const std::string warning = "*** Warning: 2 records with a wrong number of names in file r.zid";
    for (uint8_t strict : {0, 1}) {
        SCOPED_TRACE(int(strict));
        std::filesystem::remove(PathOf("Pelvane.Log"));
        DbFree();
        uint8_t keep = g_debug;
        g_debug = strict;
        ASSERT_EQ(LoadBytes(file()), 1);
        g_debug = keep;
        ASSERT_EQ(NetCount(), 1);
        EXPECT_STREQ(NameText(NetRef(1)->name), "VCC");
        EXPECT_EQ(Table23Count(), 1);
        EXPECT_NE(LogText().find(warning), std::string::npos);
    }
}

TEST_F(BinLoadTest, DumpOptionsForComparisonsAcrossFormats) {
    BuildDesign(false);
    DbDumpOptions o;
    o.noRecordIds = true;
    o.refsByName = true;
    o.netsByName = true;
    o.omit = {"Component.angle", "x"};
    std::string d = Dump(o);
    EXPECT_EQ(d.find("recordId="), std::string::npos);
    EXPECT_EQ(d.find("angle=5400"), std::string::npos);
    EXPECT_EQ(d.find(" x="), std::string::npos);
    EXPECT_NE(d.find("symbol=\"DIP3\""), std::string::npos);
    EXPECT_NE(d.find("package=\"OPAMP\""), std::string::npos);
    EXPECT_NE(d.find("owner=comp:\"U1\""), std::string::npos);
    EXPECT_NE(d.find("owner=symbol:\"DIP3\""), std::string::npos);
    // Nets by name, each with its connections under it.
    size_t gnd = d.find("Net \"GND\":");
    size_t sig = d.find("Net \"SIGNAL-WITH-A-LONG-NAME\":");
    ASSERT_NE(gnd, std::string::npos);
    ASSERT_NE(sig, std::string::npos);
    EXPECT_LT(gnd, sig);
    EXPECT_NE(d.find("  Conn:", gnd), std::string::npos);
    EXPECT_NE(d.find("net=\"GND\""), std::string::npos);
    EXPECT_EQ(d.find("\nConn 1:"), std::string::npos);
    // The compare helper names the first differing line.
    std::string other = Dump();
    std::string changed = other;
    changed.replace(changed.find("Layer 2:"), 8, "Layer 9:");
    ::testing::AssertionResult r = DumpsEqual(other, changed);
    EXPECT_FALSE(r);
    EXPECT_NE(std::string(r.message()).find("Layer 9:"), std::string::npos);
    EXPECT_TRUE(DumpsEqual(other, Dump()));
}

TEST_F(BinLoadTest, SaveFailuresAreLoggedAndAnswered) {
    BuildDesign(false);
    FileSpec spec = Spec("no-such-folder/x.zid");
    EXPECT_FALSE(BinSave(&spec, true));
    EXPECT_NE(LogText().find("Error opening file:no-such-folder/x.zid"), std::string::npos);
#ifndef _WIN32
    FileSpec full;
    std::memset(&full, 0, sizeof full);
    std::snprintf(full.folder, sizeof full.folder, "%s", "/dev");
    std::snprintf(full.name, sizeof full.name, "%s", "full");
    EXPECT_FALSE(BinSave(&full, true));
    EXPECT_NE(LogText().find("Error writing to file:full"), std::string::npos);
#endif
}

// Every truncation of a saved design and seeded random byte changes of it
// load as 1 or 0, never with an internal error, and leave the trusted flag
// clear.
TEST_F(BinLoadTest, DamagedFilesLoadOrFailCleanly) {
    BuildDesign(false);
    SaveWhole("good.zid");
    const std::vector<uint8_t> good = ReadBytes("good.zid");
    std::vector<size_t> heads;
    for (size_t at = 0; at + 8 <= good.size(); at += 8 + size_t((good[at + 6] << 8) | good[at + 7]))
        heads.push_back(at);

    auto tryLoad = [&](const std::vector<uint8_t>& bytes, const std::string& what) {
        WriteBytes("bad.zid", bytes);
        int32_t r = -1;
        try {
            r = Load("bad.zid");
        } catch (const FatalError& e) {
            ADD_FAILURE() << what << ": internal error " << e.code << " (" << e.detail << ")";
            DbSetTrusted(false);
            try {
                BinClose('r');
            } catch (const FatalError&) {
            }
            return false;
        }
        EXPECT_TRUE(r == 0 || r == 1) << what;
        EXPECT_FALSE(DbIsTrusted()) << what;
        return true;
    };
    // Every cut inside a head or the first bytes of a body, and every
    // seventh byte elsewhere.
    std::vector<bool> cuts(good.size(), false);
    for (size_t hd : heads)
        for (size_t k = 0; k < 24 && hd + k < good.size(); ++k)
            cuts[hd + k] = true;
    for (size_t n = 0; n < good.size(); n += 7)
        cuts[n] = true;
    for (size_t n = 0; n < good.size(); ++n) {
        if (!cuts[n]) continue;
        std::vector<uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        if (!tryLoad(cut, "truncated to " + std::to_string(n))) return;
    }

    // A third of the rounds change the big-endian twin.
    const std::vector<uint8_t> twin = PMacTwin(good);
    std::mt19937 rng(12345);
    for (int32_t round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes = round % 3 == 2 ? twin : good;
        int32_t changes = 1 + int32_t(rng() % 4);
        std::string what = "round " + std::to_string(round) + ":";
        for (int32_t k = 0; k < changes; ++k) {
            size_t at;
            uint32_t pick = rng() % 4;
            size_t head = heads[rng() % heads.size()];
            if (pick == 0) {
                at = head + rng() % 8; // magic, type or length
            } else if (pick == 1) {
                at = head + 8 + rng() % 64; // the start of a body: counts, indexes
                if (at >= bytes.size()) at = bytes.size() - 1;
            } else {
                at = rng() % bytes.size();
            }
            uint8_t v = uint8_t(rng());
            if (rng() % 3 == 0) v = uint8_t(bytes[at] ^ (1u << (rng() % 8)));
            bytes[at] = v;
            what += " " + std::to_string(at) + "=" + std::to_string(v);
        }
        // Half the rounds run without the saved-whole mark: the tables'
        // checks then apply.
        if (round % 2) {
            size_t h = heads[0];
            for (size_t hd : heads)
                if (good[hd + 5] == kRecHeader) h = hd;
            bytes[h + 8 + 244] = 0;
        }
        if (!tryLoad(bytes, what)) return;
    }
}

} // namespace

namespace {

// Saved-whole files with one value changed, written record by record as
// the writer lays them out. Each case either fails its load with the check
// error, or loads, validates, saves and loads again to the same design;
// never an internal error (the fatal hook of the tests throws).
class BinValuesTest : public BinRecordsTest {
  protected:
    // The header of a new design as a saved-whole file has it, changed by
    // header, then the records of body.
    void WriteWhole(const char* name, const std::function<void(DbHeader&)>& header,
                    const std::function<void()>& body) {
        DbFree();
        NewDesign();
        FileSpec spec = Spec(name);
        ASSERT_TRUE(BinOpen(&spec, 'w'));
        BinFileHeader fh;
        std::memset(&fh, 0, sizeof fh);
        fh.typeCode = 0x4D584446; // MXDF
        BinWriteRec(kRecFileHeader, &fh);
        DbHeader h;
        DbGetHeader(&h);
        h.savedWhole = kSavedWholeMark;
        header(h);
        BinWriteRec(kRecHeader, &h);
        body();
        BinWriteRec(kRecEndOfFile, &fh);
        ASSERT_TRUE(BinClose('w'));
        DbFree();
    }
    // A net of the given width, then one connection of three corners on
    // layer 1 with free ends, changed by change.
    static void NetAndConn(uint16_t width, const std::function<void(Conn&)>& change) {
        BinWriteRec(kRecNameString, "N");
        Net net;
        std::memset(&net, 0, sizeof net);
        net.width = net.minWidth = net.maxWidth = width;
        net.netLevel = 0xFFFF;
        BinWriteRec(kRecNet, &net);
        auto conn = std::make_unique<Conn>();
        std::memset(conn.get(), 0, sizeof(Conn));
        conn->head.net = 1;
        conn->head.count = 3;
        for (int32_t i = 0; i < 3; ++i) {
            conn->crn[i].x = 6000 * (i + 1);
            conn->crn[i].y = 6000;
            conn->crn[i].width = 60;
            conn->crn[i].layer = 1;
        }
        change(*conn);
        BinWriteRec(kRecConn, conn.get());
    }
    // A saved-whole record of each of the small keyed tables.
    static void WriteAttr(uint8_t kind, uint8_t key1Type, int16_t key1, int16_t key2,
                          int32_t value1, const char* name, int32_t value3 = 0,
                          uint8_t key2Type = 0) {
        Attribute a{};
        a.kind = kind;
        a.key1Type = key1Type;
        a.key2Type = key2Type;
        a.key1 = key1;
        a.key2 = key2;
        a.value1 = value1;
        a.value3 = value3;
        BinWriteRec(kRecNameString, name);
        BinWriteRec(kRecAttribute, &a);
    }
    static void WriteColor(uint8_t layer) {
        ColorEntry e{};
        e.kind = 1;
        e.layer = layer;
        e.color = 0x123456;
        BinWriteRec(kRecColorEntry, &e);
    }
    // A report after its names; the name fields no name is given for
    // hold stale.
    static void WriteReport(const std::vector<const char*>& names, NameId stale) {
        PlotReport r{};
        for (int32_t i = 0; i < kReportNames; ++i)
            ReportNameSet(&r, i, stale);
        for (const char* n : names)
            BinWriteRec(kRecNameString, n);
        BinWriteRec(kRecPlotReport, &r);
    }
};

TEST_F(BinValuesTest, EveryValueOfASavedWholeFileIsChecked) {
    struct Case {
        const char* what;
        std::function<void(DbHeader&)> header;
        std::function<void()> body;
        bool loads;
    };
    auto same = [](DbHeader&) {};
    auto none = [] {};
    const Case cases[] = {
        {"a routing grid without a 32-bit multiple", [](DbHeader& h) { h.routeGrid = 1000003; },
         none, false},
        {"a routing grid of 0", [](DbHeader& h) { h.routeGrid = 0; }, none, false},
        {"zero widths on a net of width 0, the pins to be fitted",
         [](DbHeader& h) { h.flags |= kHdrConnFit; },
         [] { NetAndConn(0, [](Conn& c) { c.crn[0].width = c.crn[1].width = 0; }); }, false},
        {"a corner at the most negative coordinate", same,
         [] { NetAndConn(60, [](Conn& c) { c.crn[0].x = INT32_MIN; }); }, false},
        {"a corner past the coordinate limit, not saved whole",
         [](DbHeader& h) { h.savedWhole = 0; },
         [] { NetAndConn(60, [](Conn& c) { c.crn[1].x = kCoordLimit + 1; }); }, false},
        {"a corner flag byte of 8", same,
         [] { NetAndConn(60, [](Conn& c) { c.crn[1].flags = 8; }); }, false},
        {"a text past the coordinate limit", same,
         [] {
             BoardText t;
             std::memset(&t, 0, sizeof t);
             std::strcpy(t.text, "T");
             t.width = 600;
             t.height = kCoordLimit + 1;
             t.ratio = 100;
             BinWriteRec(kRecNameString, "");
             BinWriteRec(kRecBoardText, &t);
         },
         false},
        {"a required-layer net without its attribute", same,
         [] {
             Net net;
             std::memset(&net, 0, sizeof net);
             net.width = 60;
             net.flags = kNetReqLayer;
             BinWriteRec(kRecNameString, "N");
             BinWriteRec(kRecNet, &net);
         },
         false},
        {"a net's required layer of 0", same,
         [] {
             NetAndConn(60, [](Conn&) {});
             Attribute a{};
             a.kind = kAttrNetLayer;
             a.key1Type = kRecNet;
             a.key1 = 1;
             a.value1 = 1;
             BinWriteRec(kRecNameString, "");
             BinWriteRec(kRecAttribute, &a);
         },
         false},
        {"a net's required layer past the layer count", same,
         [] {
             NetAndConn(60, [](Conn&) {});
             WriteAttr(kAttrNetLayer, kRecNet, 1, 3, 1, "");
         },
         false},
        {"a net's required layer", same,
         [] {
             NetAndConn(60, [](Conn&) {});
             WriteAttr(kAttrNetLayer, kRecNet, 1, 2, 1, "");
         },
         true},
        {"a net's via type keyed by another record type", same,
         [] {
             NetAndConn(60, [](Conn&) {});
             WriteAttr(kAttrNetKind7, kRecNet, 1, 1, 1, "", 0, kRecComponent);
         },
         false},
        {"a net's via type keyed by a via type", same,
         [] {
             NetAndConn(60, [](Conn&) {});
             WriteAttr(kAttrNetKind7, kRecNet, 1, 1, 1, "", 0, kRecThruCode);
         },
         true},
        {"an attribute key type past the record types", same, [] { WriteAttr(5, 25, 1, 1, 1, ""); },
         false},
        {"a name kind's name", same,
         [] { WriteAttr(kAttrNameKind1, kRecComponent, 1, 0, 0, "ALT"); }, true},
        {"a name kind without a name keeps no stale name", same,
         [] { WriteAttr(kAttrNameKind3, kRecComponent, 1, 2, 0x00FE0010, "", 7); }, true},
        {"colours of every layer and of the last layer", same,
         [] {
             WriteColor(kColorAllLayers);
             WriteColor(2);
         },
         true},
        {"a colour past the layer count is skipped", same, [] { WriteColor(3); }, true},
        {"a plot report with four names", same,
         [] {
             WriteReport({"R", "S", "T", "U"}, 0);
         },
         true},
        {"a plot report with one name keeps no stale names", same,
         [] { WriteReport({"R"}, 0x00FE0010); }, true},
        {"a routed connection to be fitted", [](DbHeader& h) { h.flags |= kHdrConnFit; },
         [] { NetAndConn(60, [](Conn&) {}); }, true},
        {"an error marker of type 28", same,
         [] {
             ErrorMarker m;
             std::memset(&m, 0, sizeof m);
             m.type = 28;
             m.layer = 1;
             m.x = 100;
             BinWriteRec(kRecErrorMarker, &m);
         },
         true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        WriteWhole("v.zid", k.header, k.body);
        if (!k.loads) {
            EXPECT_EQ(Load("v.zid"), 0);
            EXPECT_EQ(BinLastReadError(), kBinErrCheck);
            EXPECT_FALSE(DbIsValid());
            continue;
        }
        ASSERT_EQ(Load("v.zid"), 1);
        PostLoadSteps();
        const std::string first = Dump();
        for (int32_t n = 1; n <= MarkerCount(); ++n) {
            ErrorMarker m;
            MarkerGet(n, &m);
            MarkerReport(&m, "loaded");
            EXPECT_EQ(ErrTypeIsClearance(m.type), 0);
        }
        EXPECT_EQ(SaveWhole("w.zid"), first);
        ASSERT_EQ(Load("w.zid"), 1);
        PostLoadSteps();
        EXPECT_TRUE(DumpsEqual(first, Dump()));
    }
}

TEST_F(BinValuesTest, LatchesStayOnArcsAndPourFlagsMakePours) {
    WriteWhole(
        "a.zid", [](DbHeader&) {},
        [] {
            NetAndConn(60, [](Conn& c) {
                c.head.count = 5;
                const int32_t xy[5][2] = {
                    {0, 0}, {1500, 0}, {1500, 1500}, {3000, 1500}, {4500, 1500}};
                for (int32_t i = 0; i < 5; ++i) {
                    c.crn[i] = c.crn[0];
                    c.crn[i].x = 60000 + xy[i][0];
                    c.crn[i].y = 60000 + xy[i][1];
                    c.crn[i].flags = kCrnLocked | kCrnLatched;
                }
                c.crn[1].flags |= kCrnArc;
                c.head.flags = kConnArc;
            });
            auto obs = std::make_unique<Obstacle>();
            std::memset(obs.get(), 0, sizeof(Obstacle));
            obs->head.kind = kObsCopper;
            obs->head.flags = kObsPourFlag;
            obs->head.layer = 1;
            obs->head.width = 60;
            obs->head.net = kObsNoNet;
            obs->head.count = 2;
            obs->pt[1].x = 100;
            BinWriteRec(kRecNameString, "");
            BinWriteRec(kRecObstacle, obs.get());
        });
    ASSERT_EQ(Load("a.zid"), 1);
    const Conn* c = ConnRef(1);
    ASSERT_NE(c, nullptr);
    for (int32_t i = 0; i < 5; ++i)
        EXPECT_EQ((c->crn[i].flags & kCrnLatched) != 0, i <= 2) << i;
    ASSERT_EQ(ObsCount(), 1);
    EXPECT_EQ(ObsRef(1)->head.kind, kObsCopperPour);
}

TEST_F(BinValuesTest, AWholeSaveRefusesWhatTheLoaderWouldRefuse) {
    WriteBytes("old.zid", {'k', 'e', 'e', 'p'});
    NewDesign();
    BoardText t;
    int32_t n = TextAdd();
    TextGet(n, &t);
    t.height = kCoordLimit + 1;
    {
        DbTrustedScope trusted;
        TextPut(n, &t);
    }
    FileSpec spec = Spec("old.zid");
    EXPECT_FALSE(BinSave(&spec, true));
    EXPECT_EQ(ReadBytes("old.zid"), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_NE(LogText().find("Error writing to file:"), std::string::npos);
    // Within the limit it is written and reads back.
    t.height = kCoordLimit;
    {
        DbTrustedScope trusted;
        TextPut(n, &t);
    }
    EXPECT_TRUE(BinSave(&spec, true));
    ASSERT_EQ(Load("old.zid"), 1);
    EXPECT_EQ(TextRef(1)->height, kCoordLimit);
}

TEST_F(BinValuesTest, AFullNameTableFailsTheLoad) {
    // Names of 100 characters, each batch closed by a colour entry of a
    // layer the design lacks (skipped, the names forgotten): more text
    // than the name table's pages hold.
    WriteWhole(
        "n.zid", [](DbHeader&) {},
        [] {
            char text[kTextChars];
            for (int32_t i = 0; i < 22000; ++i) {
                std::snprintf(text, sizeof text, "%06d%094d", int(i), 0);
                BinWriteRec(kRecNameString, text);
                if (i % 5000 == 4999) {
                    ColorEntry e{};
                    e.layer = 200;
                    BinWriteRec(kRecColorEntry, &e);
                }
            }
        });
    EXPECT_EQ(Load("n.zid"), 0);
    EXPECT_EQ(BinLastReadError(), kBinErrCheck);
    EXPECT_FALSE(DbIsValid());
}

} // namespace
