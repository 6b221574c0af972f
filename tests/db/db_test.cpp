// The database as a whole: default records and sizes, the module registry
// with start, end and validation, the generic record access, renumbering of
// references, the index sort and the small helpers.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "db/nets.h"
#include "db/strutil.h"
#include "dbfixture.h"

namespace {

// Saves the registry and puts it back, so a test can register stand-in
// modules.
class RegistryTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        for (int32_t t = 1; t < 24; ++t)
            m_saved[t] = DbModuleGet(t);
        for (int i = 0; i < 7; ++i)
            m_steps[i] = DbValidateStepGet(kBits[i]);
    }
    void TearDown() override {
        for (int32_t t = 1; t < 24; ++t)
            DbRegisterModule(t, m_saved[t]);
        for (int i = 0; i < 7; ++i)
            DbRegisterValidateStep(kBits[i], m_steps[i]);
        DbTest::TearDown();
    }
    static constexpr uint16_t kBits[7] = {0x400, 0x200, 0x20, 0x4000, 0x10, 0x100, 0};
    DbModuleOps m_saved[24];
    void (*m_steps[7])();
};

std::unique_ptr<uint8_t[]> Buffer() {
    return std::make_unique<uint8_t[]>(kRecordImageMax);
}

// ---- sizes and defaults ------------------------------------------------------------

TEST_F(DbTest, RecordSizesByType) {
    auto buf = Buffer();
    std::memset(buf.get(), 0, kRecordImageMax);
    const std::pair<int32_t, int32_t> fixed[] = {
        {1, 734},  {2, 228}, {3, 148}, {5, 56},   {9, 56},  {10, 28},
        {13, 156}, {15, 12}, {16, 20}, {17, 848}, {18, 40}, {23, 16},
    };
    for (auto [type, size] : fixed)
        EXPECT_EQ(DbRecSize(type, buf.get()), size) << type;
    // Thru codes by the header's layer count (2 in a new design).
    EXPECT_EQ(DbRecSize(6, buf.get()), 12 + 108 * 3);
    reinterpret_cast<SymbolInfo*>(buf.get())->pinCount = 5;
    EXPECT_EQ(DbRecSize(7, buf.get()), 48 + 16 * 5);
    reinterpret_cast<PackageInfo*>(buf.get())->pinCount = 5;
    EXPECT_EQ(DbRecSize(8, buf.get()), 32 + 16 * 5);
    std::memset(buf.get(), 0, 64);
    reinterpret_cast<ConnHead*>(buf.get())->count = 1001;
    EXPECT_EQ(DbRecSize(11, buf.get()), 14050);
    std::memset(buf.get(), 0, 64);
    reinterpret_cast<ObsHead*>(buf.get())->count = 1001;
    EXPECT_EQ(DbRecSize(12, buf.get()), 12060);
    std::strcpy(reinterpret_cast<char*>(buf.get()), "Hello");
    EXPECT_EQ(DbRecSize(14, buf.get()), 6);
    std::memset(buf.get(), 'x', 200);
    EXPECT_EQ(DbRecSize(14, buf.get()), 101);
    for (int32_t bad : {0, 4, 19, 22, 24})
        EXPECT_FATAL(DbRecSize(bad, buf.get()), 21272);
}

TEST_F(DbTest, DefaultRecordsByType) {
    auto buf = Buffer();
    void* r = buf.get();

    DbRecInit(kRecNote, r, 3);
    EXPECT_STREQ(static_cast<Note*>(r)->text, "Note 3");

    std::memset(r, 0xEE, kRecordImageMax);
    DbRecInit(kRecNet, r, 7);
    const Net& net = *static_cast<Net*>(r);
    EXPECT_EQ(net.name, 30008u);
    EXPECT_EQ(net.recordId, 0);
    EXPECT_EQ(net.netLevel, 0xFFFF);
    EXPECT_EQ(net.weight, 50);
    EXPECT_EQ(net.netType, 16);
    EXPECT_EQ(net.minWidth, 10);
    EXPECT_EQ(net.width, 10);
    EXPECT_EQ(net.maxWidth, 10);
    EXPECT_EQ(net.flags, 0);

    DbRecInit(kRecBoardText, r, 2);
    const BoardText& text = *static_cast<BoardText*>(r);
    EXPECT_EQ(text.name, 30003u);
    EXPECT_EQ(text.width, 600);
    EXPECT_EQ(text.height, 4500);
    EXPECT_EQ(text.ratio, 100);
    EXPECT_EQ(text.text[0], 0);

    DbRecInit(kRecObstacle, r, 1);
    EXPECT_EQ(static_cast<Obstacle*>(r)->head.net, -32767);
    EXPECT_EQ(static_cast<Obstacle*>(r)->head.name, 30002u);
    EXPECT_EQ(At<uint16_t>(r, 38), 0x8001);

    DbRecInit(kRecPlaceStrategy, r, 0);
    const PlaceStrategy& ps = *static_cast<PlaceStrategy*>(r);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(ps.actions[i], 0x04);
    EXPECT_EQ(At<uint16_t>(r, 138), 256);
    EXPECT_EQ(ps.states[0], 0);

    DbRecInit(kRecLayer, r, 4);
    const Layer& layer = *static_cast<Layer*>(r);
    EXPECT_EQ(layer.name, 30005u);
    EXPECT_EQ(layer.shortName, 30005u);
    EXPECT_EQ(layer.className, 30005u);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(layer.spacing[i], 600);
    EXPECT_EQ(layer.mirror, 0);

    DbRecInit(kRecSymbol, r, 9);
    const Symbol& sym = *static_cast<Symbol*>(r);
    EXPECT_EQ(sym.info.name, 30010u);
    EXPECT_EQ(sym.info.pinCount, 0);
    EXPECT_EQ(sym.pin[0].name, 0u);
    EXPECT_EQ(sym.pin[1].name, 30002u);
    EXPECT_EQ(sym.pin[2400].name, 32401u);

    DbRecInit(kRecPackage, r, 0);
    const Package& pkg = *static_cast<Package*>(r);
    EXPECT_EQ(pkg.info.name, 30001u);
    EXPECT_EQ(pkg.pin[0].name, 0u);
    EXPECT_EQ(pkg.pin[17].name, 30018u);
    EXPECT_EQ(pkg.pin[17].name2, 30018u);

    std::memset(r, 0xEE, kRecordImageMax);
    DbRecInit(kRecThruCode, r, 5);
    EXPECT_EQ(static_cast<ThruCode*>(r)->name, 30006u);
    EXPECT_EQ(buf[12 + 108 * 3 - 1], 0); // cleared for the layer count
    EXPECT_EQ(buf[12 + 108 * 3], 0xEE);

    for (int32_t type : {kRecConn, kRecColorEntry, kRecAttribute, kRecErrorMarker, kRecTable23}) {
        std::memset(r, 0xEE, kRecordImageMax);
        DbRecInit(type, r, 5);
        int32_t size = type == kRecConn ? 14050 : DbRecSize(type, r);
        EXPECT_TRUE(std::all_of(buf.get(), buf.get() + size, [](uint8_t b) { return b == 0; }))
            << type;
    }
    DbRecInit(kRecComponent, r, 0);
    EXPECT_EQ(static_cast<Component*>(r)->name, 30001u);
    DbRecInit(kRecPlotReport, r, 1);
    EXPECT_EQ(static_cast<PlotReport*>(r)->name, 30002u);

    DbRecInit(kRecHeader, r, 0);
    EXPECT_STREQ(static_cast<DbHeader*>(r)->name, "Unnamed");
    EXPECT_FATAL(DbRecInit(kRecNameString, r, 0), 21274);
}

TEST_F(DbTest, DefaultSweep) {
    Sweep s;
    DbRecInit(kRecSweep, &s, 4);
    EXPECT_STREQ(s.name, "Sweep 4");
    EXPECT_EQ(s.diagonal, 3);
    const uint16_t pass[5] = {0x1012, 0x12, 0x12, 0x12, 0};
    const uint8_t via[5] = {50, 20, 50, 80, 100}, retry[5] = {50, 80, 80, 80, 100};
    const uint8_t limit[5] = {50, 100, 100, 100, 100}, att[5] = {50, 100, 100, 100, 50};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(s.passFlags[i], pass[i]);
        EXPECT_EQ(s.via[i], via[i]);
        EXPECT_EQ(s.retry[i], retry[i]);
        EXPECT_EQ(s.limit[i], limit[i]);
        EXPECT_EQ(s.attempts[i], att[i]);
    }
    EXPECT_EQ(s.layerCount, 2);
    EXPECT_EQ(s.usedLayers, 2);
    const uint8_t enable[] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0};
    for (int l = 0; l <= 10; ++l)
        EXPECT_EQ(s.enable[l], enable[l]) << l;
    EXPECT_EQ(s.enable[30], 0);
    const uint8_t dir[] = {0,  51, 49, 51, 49, 51, 49, 51, 49, 51, 49, 51, 49, 51, 49, 51,
                           49, 75, 25, 80, 20, 85, 15, 90, 10, 75, 25, 75, 25, 75, 25};
    for (int l = 0; l <= 30; ++l) {
        EXPECT_EQ(s.dir[l], dir[l]) << l;
        EXPECT_EQ(s.cost[l], l ? 50 : 0) << l;
        EXPECT_EQ(s.between[l], l >= 17 ? 50 : 0) << l;
    }
    EXPECT_EQ(s.box[0], 210);
    EXPECT_EQ(s.box[1], 180);
    EXPECT_EQ(s.box[2], 60);
    EXPECT_EQ(s.box[3], 50);
    EXPECT_EQ(s.boxPercent[0], 28);
    EXPECT_EQ(s.boxPercent[1], 28);
    EXPECT_EQ(At<int32_t>(&s, 204), 0xFFFFFF);
    EXPECT_EQ(At<int32_t>(&s, 208), 0x808080);
    EXPECT_EQ(At<uint8_t>(&s, 212), 8);
    EXPECT_EQ(At<uint8_t>(&s, 213), 2);
    EXPECT_EQ(At<int32_t>(&s, 216), 0x05FF00FF);
    EXPECT_EQ(At<int32_t>(&s, 220), 0x0BFFFFFF);
    EXPECT_EQ(At<int32_t>(&s, 224), 0x0BFFFFFF);
}

// ---- registry, start, end and validation -----------------------------------------

std::vector<std::string> g_calls;

template <int T> void InitOf() {
    g_calls.push_back("init " + std::to_string(T));
}
template <int T> void FreeOf() {
    g_calls.push_back("free " + std::to_string(T));
}

template <int... Ts> void RegisterAll(std::integer_sequence<int, Ts...>) {
    auto one = [](int32_t type, void (*init)(), void (*fr)()) {
        if (type < 2 || (type > 18 && type != 23)) return;
        DbModuleOps ops;
        ops.init = init;
        ops.free = fr;
        DbRegisterModule(type, ops);
    };
    (one(Ts, &InitOf<Ts>, &FreeOf<Ts>), ...);
}

TEST_F(RegistryTest, InitAndFreeRunEveryModuleInOrder) {
    RegisterAll(std::make_integer_sequence<int, 24>{});
    g_calls.clear();
    DbInit();
    const int initOrder[] = {4, 16, 2, 3, 14, 5, 6, 8, 7, 9, 10, 11, 12, 13, 15, 17, 23, 18};
    ASSERT_EQ(g_calls.size(), 18u);
    for (size_t i = 0; i < 18; ++i)
        EXPECT_EQ(g_calls[i], "init " + std::to_string(initOrder[i]));
    g_calls.clear();
    DbFree();
    const int freeOrder[] = {4, 14, 5, 6, 8, 7, 9, 10, 11, 12, 13, 15, 17, 23, 18, 2, 3, 16};
    ASSERT_EQ(g_calls.size(), 18u);
    for (size_t i = 0; i < 18; ++i)
        EXPECT_EQ(g_calls[i], "free " + std::to_string(freeOrder[i]));
    EXPECT_FALSE(DbIsValid());
}

TEST_F(RegistryTest, DbFreeResetsTheTablesPool) {
    NewDesign();
    EXPECT_EQ(Table23Capacity(), 20);
    DbFree();
    EXPECT_EQ(Table23Capacity(), 0);
    // Pool 2 starts afresh: a new design takes its blocks again.
    DbInit();
    EXPECT_EQ(Table23Add(), 1);
}

// Stand-in module recording the generic calls.
struct Call {
    std::string op;
    int32_t type, index, sweep;
};
std::vector<Call> g_ops;

template <int T> DbModuleOps RecordingOps() {
    DbModuleOps ops;
    ops.add = [] {
        g_ops.push_back({"add", T, 0, DbHdr().sweep});
        return int32_t(77);
    };
    ops.del = [](int32_t i) { g_ops.push_back({"del", T, i, DbHdr().sweep}); };
    ops.get = [](int32_t i, void*) { g_ops.push_back({"get", T, i, DbHdr().sweep}); };
    ops.put = [](int32_t i, const void*) { g_ops.push_back({"put", T, i, DbHdr().sweep}); };
    return ops;
}

template <int... Ts> void RegisterRecording(std::integer_sequence<int, Ts...>) {
    (DbRegisterModule(Ts + 1, RecordingOps<Ts + 1>()), ...);
}

TEST_F(RegistryTest, GenericAccessDispatchesByType) {
    RegisterRecording(std::make_integer_sequence<int, 23>{});
    uint8_t rec[64] = {};
    auto allowed = [](std::initializer_list<int> l, int t) {
        return std::find(l.begin(), l.end(), t) != l.end();
    };
    for (int32_t t = 0; t <= 24; ++t) {
        SCOPED_TRACE(t);
        bool getPut = allowed({2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 23}, t);
        bool del = allowed({5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 17, 18, 23}, t);
        bool add = allowed({5, 6, 7, 9, 10, 11, 12, 13, 15, 17, 18, 23}, t);
        g_ops.clear();
        if (add)
            EXPECT_EQ(DbNewRecord(t), 77);
        else
            EXPECT_FATAL(DbNewRecord(t), 21280);
        if (del)
            DbDeleteRecord(t, 3);
        else
            EXPECT_FATAL(DbDeleteRecord(t, 3), 21281);
        if (getPut) {
            DbGetRecord(t, 4, rec);
            DbPutRecord(t, 5, rec);
        } else {
            EXPECT_FATAL(DbGetRecord(t, 4, rec), 21282);
            EXPECT_FATAL(DbPutRecord(t, 5, rec), 21283);
        }
        size_t expected = size_t(add) + size_t(del) + 2 * size_t(getPut);
        ASSERT_EQ(g_ops.size(), expected);
        for (const Call& c : g_ops)
            EXPECT_EQ(c.type, t);
    }
}

TEST_F(RegistryTest, SweepsAreAddressedThroughTheCurrentSweepNumber) {
    DbRegisterModule(kRecSweep, RecordingOps<2>());
    DbHdr().sweep = 1;
    Sweep s;
    g_ops.clear();
    DbGetRecord(kRecSweep, 6, &s);
    DbPutRecord(kRecSweep, 4, &s);
    ASSERT_EQ(g_ops.size(), 2u);
    EXPECT_EQ(g_ops[0].sweep, 6);
    EXPECT_EQ(g_ops[1].sweep, 4);
    EXPECT_EQ(DbHdr().sweep, 1);
}

TEST_F(RegistryTest, MissingModuleIsAnInternalError) {
    DbRegisterModule(kRecNet, DbModuleOps{});
    uint8_t rec[64] = {};
    EXPECT_FATAL(DbNewRecord(kRecNet), 21284);
    EXPECT_FATAL(DbDeleteRecord(kRecNet, 1), 21285);
    EXPECT_FATAL(DbGetRecord(kRecNet, 1, rec), 21286);
    EXPECT_FATAL(DbPutRecord(kRecNet, 1, rec), 21287);
}

std::vector<std::pair<uint16_t, bool>> g_steps; // bit, trusted flag seen

template <uint16_t B> void Step() {
    g_steps.push_back({B, DbIsTrusted()});
}

TEST_F(RegistryTest, ValidateRunsTheRequestedStepsInOrder) {
    EXPECT_FATAL(DbValidate(), 21251); // no valid design
    NewDesign();
    DbRegisterValidateStep(0x400, &Step<0x400>);
    DbRegisterValidateStep(0x200, &Step<0x200>);
    DbRegisterValidateStep(0x20, &Step<0x20>);
    DbRegisterValidateStep(0x4000, &Step<0x4000>);
    DbRegisterValidateStep(0x10, &Step<0x10>);
    DbRegisterValidateStep(0, &Step<0>);
    // 0x100 without a step: its bit stays set.
    DbRegisterValidateStep(0x100, nullptr);
    DbHdr().flags = 0x400 | 0x200 | 0x20 | 0x4000 | 0x100 | 0x1;
    DbSetTrusted(true);
    g_steps.clear();
    EXPECT_EQ(DbValidate(), 0);
    const uint16_t order[] = {0x400, 0x200, 0x20, 0x4000, 0x10, 0};
    ASSERT_EQ(g_steps.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(g_steps[i].first, order[i]);
        if (order[i]) {
            EXPECT_FALSE(g_steps[i].second) << i;
        }
    }
    EXPECT_EQ(DbHdr().flags, 0x100 | 0x1);

    // Nothing asked for: only the range check.
    DbHdr().flags = 0;
    g_steps.clear();
    DbValidate();
    ASSERT_EQ(g_steps.size(), 1u);
    EXPECT_EQ(g_steps[0].first, 0);

    // With a journal level open nothing is done and the depth comes back.
    DbHdr().flags = 0x400;
    AltPush();
    AltPush();
    g_steps.clear();
    EXPECT_EQ(DbValidate(), 2);
    EXPECT_TRUE(g_steps.empty());
    EXPECT_EQ(DbHdr().flags, 0x400);
    EXPECT_FATAL(DbRegisterValidateStep(0x8, &Step<0x8>), 21252);
}

// ---- renumbering -------------------------------------------------------------------------

// Old -> new for a table of 5: 1 stays, 2 -> 0, 3 -> 2, 4 -> 3, 5 -> 4.
const int16_t kMap[] = {0, 1, 0, 2, 3, 4};
constexpr int32_t kMapCount = 5;

TEST_F(DbTest, RenumberRewritesExactlyTheReferencesOfTheType) {
    auto buf = Buffer();
    void* r = buf.get();
    auto fresh = [&](int32_t) { std::memset(r, 0, kRecordImageMax); };

    // Layers.
    fresh(5);
    static_cast<Layer*>(r)->mirror = 3;
    DbRenumberRefs(kRecLayer, kMap, kMapCount, kRecLayer, r);
    EXPECT_EQ(static_cast<Layer*>(r)->mirror, 2);
    fresh(11);
    Conn& c = *static_cast<Conn*>(r);
    c.head.count = 4;
    const uint8_t layers[4] = {0, 3, 5, 9};
    for (int i = 0; i < 4; ++i) {
        c.crn[i].layer = layers[i];
        c.crn[i].via = layers[i];
    }
    c.crn[4].layer = 3; // beyond the corner count
    c.head.net = 3;
    c.head.fromComp = 4;
    c.head.toComp = 0;
    DbRenumberRefs(kRecLayer, kMap, kMapCount, kRecConn, r);
    EXPECT_EQ(c.crn[0].layer, 0);
    EXPECT_EQ(c.crn[1].layer, 2);
    EXPECT_EQ(c.crn[2].layer, 4);
    EXPECT_EQ(c.crn[3].layer, 9);
    EXPECT_EQ(c.crn[4].layer, 3);
    EXPECT_EQ(c.crn[1].via, 3); // vias are thru codes
    EXPECT_EQ(c.head.net, 3);
    DbRenumberRefs(kRecThruCode, kMap, kMapCount, kRecConn, r);
    EXPECT_EQ(c.crn[0].via, 0);
    EXPECT_EQ(c.crn[1].via, 2);
    EXPECT_EQ(c.crn[2].via, 4);
    DbRenumberRefs(kRecComponent, kMap, kMapCount, kRecConn, r);
    EXPECT_EQ(c.head.fromComp, 3);
    EXPECT_EQ(c.head.toComp, 0); // a free end stays free
    DbRenumberRefs(kRecNet, kMap, kMapCount, kRecConn, r);
    EXPECT_EQ(c.head.net, 2);

    // Obstacles and texts: layer, owners by sign, nets when positive.
    for (int32_t type : {kRecObstacle, kRecBoardText}) {
        SCOPED_TRACE(type);
        fresh(type);
        auto layerOf = [&]() -> uint8_t {
            return type == kRecObstacle ? static_cast<Obstacle*>(r)->head.layer
                                        : static_cast<BoardText*>(r)->layer;
        };
        auto setOwner = [&](int16_t o) {
            if (type == kRecObstacle)
                static_cast<Obstacle*>(r)->head.owner = o;
            else
                static_cast<BoardText*>(r)->owner = o;
        };
        auto owner = [&]() -> int16_t {
            return type == kRecObstacle ? static_cast<Obstacle*>(r)->head.owner
                                        : static_cast<BoardText*>(r)->owner;
        };
        if (type == kRecObstacle)
            static_cast<Obstacle*>(r)->head.layer = 4;
        else
            static_cast<BoardText*>(r)->layer = 4;
        DbRenumberRefs(kRecLayer, kMap, kMapCount, type, r);
        EXPECT_EQ(layerOf(), 3);
        setOwner(4);
        DbRenumberRefs(kRecSymbol, kMap, kMapCount, type, r);
        EXPECT_EQ(owner(), 3);
        DbRenumberRefs(kRecComponent, kMap, kMapCount, type, r);
        EXPECT_EQ(owner(), 3); // a symbol owner is no component
        setOwner(-4);
        DbRenumberRefs(kRecSymbol, kMap, kMapCount, type, r);
        EXPECT_EQ(owner(), -4);
        DbRenumberRefs(kRecComponent, kMap, kMapCount, type, r);
        EXPECT_EQ(owner(), -3);
    }
    fresh(12);
    ObsHead& o = static_cast<Obstacle*>(r)->head;
    const int16_t nets[][2] = {{5, 4}, {0, 0}, {-3, -3}, {-32767, -32767}};
    for (const auto& n : nets) {
        o.net = n[0];
        DbRenumberRefs(kRecNet, kMap, kMapCount, kRecObstacle, r);
        EXPECT_EQ(o.net, n[1]);
    }

    // Components.
    fresh(9);
    Component& comp = *static_cast<Component*>(r);
    comp.symbol = 5;
    comp.otherSymbol = 3;
    comp.package = 4;
    comp.compRef = 2;
    DbRenumberRefs(kRecSymbol, kMap, kMapCount, kRecComponent, r);
    EXPECT_EQ(comp.symbol, 4);
    EXPECT_EQ(comp.otherSymbol, 2);
    EXPECT_EQ(comp.package, 4);
    DbRenumberRefs(kRecPackage, kMap, kMapCount, kRecComponent, r);
    EXPECT_EQ(comp.package, 3);
    EXPECT_EQ(comp.compRef, 2);
    DbRenumberRefs(kRecComponent, kMap, kMapCount, kRecComponent, r);
    EXPECT_EQ(comp.compRef, 0);
    EXPECT_EQ(comp.symbol, 4);

    // Symbol pins' padstacks.
    fresh(7);
    Symbol& sym = *static_cast<Symbol*>(r);
    sym.info.pinCount = 2;
    sym.pin[1].thru = 5;
    sym.pin[2].thru = 1;
    sym.pin[3].thru = 5;
    DbRenumberRefs(kRecThruCode, kMap, kMapCount, kRecSymbol, r);
    EXPECT_EQ(sym.pin[1].thru, 4);
    EXPECT_EQ(sym.pin[2].thru, 1);
    EXPECT_EQ(sym.pin[3].thru, 5);

    // Colours and markers follow layers.
    fresh(15);
    static_cast<ColorEntry*>(r)->layer = 255;
    DbRenumberRefs(kRecLayer, kMap, kMapCount, kRecColorEntry, r);
    EXPECT_EQ(static_cast<ColorEntry*>(r)->layer, 255);
    static_cast<ColorEntry*>(r)->layer = 5;
    DbRenumberRefs(kRecLayer, kMap, kMapCount, kRecColorEntry, r);
    EXPECT_EQ(static_cast<ColorEntry*>(r)->layer, 4);
    fresh(18);
    static_cast<ErrorMarker*>(r)->layer = 3;
    DbRenumberRefs(kRecLayer, kMap, kMapCount, kRecErrorMarker, r);
    EXPECT_EQ(static_cast<ErrorMarker*>(r)->layer, 2);

    // Attributes by the kind bytes of their keys.
    fresh(16);
    Attribute& a = *static_cast<Attribute*>(r);
    a.key1Type = kRecNet;
    a.key1 = 4;
    a.key2Type = kRecLayer;
    a.key2 = 4;
    DbRenumberRefs(kRecLayer, kMap, kMapCount, kRecAttribute, r);
    EXPECT_EQ(a.key1, 4);
    EXPECT_EQ(a.key2, 3);
    DbRenumberRefs(kRecNet, kMap, kMapCount, kRecAttribute, r);
    EXPECT_EQ(a.key1, 3);
    EXPECT_EQ(a.key2, 3);

    // Records without references are left alone.
    for (int32_t type : {kRecSweep, kRecPlaceStrategy, kRecPackage, kRecPlotReport, kRecTable23}) {
        std::memset(r, 3, 1000);
        DbRenumberRefs(kRecLayer, kMap, kMapCount, type, r);
        EXPECT_TRUE(std::all_of(buf.get(), buf.get() + 1000, [](uint8_t b) { return b == 3; }));
    }
}

TEST_F(DbTest, RenumberRefusesWhatCannotBeRenumbered) {
    auto buf = Buffer();
    std::memset(buf.get(), 0, kRecordImageMax);
    EXPECT_FATAL(DbRenumberRefs(kRecLayer, kMap, kMapCount, kRecThruCode, buf.get()), 21290);
    EXPECT_FATAL(DbRenumberRefs(kRecLayer, kMap, kMapCount, kRecNet, buf.get()), 21290);
    DbRenumberRefs(kRecComponent, kMap, kMapCount, kRecNet, buf.get());
    for (int32_t type : {4, 14, 1, 19, 0})
        EXPECT_FATAL(DbRenumberRefs(kRecNet, kMap, kMapCount, type, buf.get()), 21291);
}

// ---- index sort ------------------------------------------------------------------------

struct SortFixture {
    std::vector<std::string> rows; // rows[0] unused
    int32_t swaps = 0;
    std::vector<int16_t> Sort() {
        return DbSortIndex(
            int32_t(rows.size()) - 1, [this](int32_t r) { return rows[size_t(r)].c_str(); },
            [this](int32_t a, int32_t b) {
                std::swap(rows[size_t(a)], rows[size_t(b)]);
                ++swaps;
            });
    }
};

TEST_F(DbTest, SortIndexGivesNothingWhenTheOrderStays) {
    SortFixture one{{"", "U1"}};
    EXPECT_TRUE(one.Sort().empty());
    SortFixture sorted{{"", "C1", "C2", "C10", "R9", "R10"}};
    EXPECT_TRUE(sorted.Sort().empty());
    EXPECT_EQ(sorted.swaps, 0);
}

TEST_F(DbTest, SortIndexSortsByNameAndMapsOldToNew) {
    SortFixture f{{"", "C10", "R9", "C2", "A5", "R10"}};
    const std::vector<std::string> before = f.rows;
    std::vector<int16_t> map = f.Sort();
    ASSERT_FALSE(map.empty());
    EXPECT_EQ(f.rows, (std::vector<std::string>{"", "A5", "C2", "C10", "R9", "R10"}));
    EXPECT_EQ(map[0], 0);
    for (int32_t old = 1; old <= 5; ++old)
        EXPECT_EQ(f.rows[size_t(map[old])], before[size_t(old)]) << old;
    EXPECT_GT(f.swaps, 0);
}

TEST_F(DbTest, SortIndexOfManyRowsMatchesANaturalOrder) {
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    SortFixture f;
    f.rows.push_back("");
    for (int i = 0; i < 700; ++i)
        f.rows.push_back(std::string(1, char('A' + next() % 4)) + std::to_string(next() % 300));
    const std::vector<std::string> before = f.rows;
    std::vector<int16_t> map = f.Sort();
    ASSERT_FALSE(map.empty());
    for (size_t i = 2; i < f.rows.size(); ++i)
        EXPECT_LE(StrCompare(f.rows[i - 1].c_str(), f.rows[i].c_str()), 0) << i;
    std::vector<bool> hit(f.rows.size());
    for (size_t old = 1; old < before.size(); ++old) {
        EXPECT_EQ(f.rows[size_t(map[old])], before[old]);
        hit[size_t(map[old])] = true;
    }
    EXPECT_EQ(std::count(hit.begin() + 1, hit.end(), true), 700);
}

TEST_F(DbTest, SortIndexOfAFullNetTable) {
    // 32,767 rows in reverse order: the map is larger than a pool piece.
    SortFixture f;
    f.rows.push_back("");
    for (int32_t i = kNetMax; i >= 1; --i)
        f.rows.push_back("N" + std::to_string(i));
    std::vector<int16_t> map = f.Sort();
    ASSERT_EQ(map.size(), size_t(kNetMax) + 1);
    EXPECT_EQ(map[1], kNetMax);
    EXPECT_EQ(map[size_t(kNetMax)], 1);
}

// ---- helpers --------------------------------------------------------------------------

TEST_F(DbTest, LcmChecked) {
    EXPECT_EQ(LcmChecked(4, 6), 12);
    EXPECT_EQ(LcmChecked(1500, 6000), 6000);
    EXPECT_EQ(LcmChecked(7, 7), 7);
    EXPECT_EQ(LcmChecked(0, 6), 0);
    EXPECT_EQ(LcmChecked(6, 0), 0);
    EXPECT_EQ(LcmChecked(-4, 6), 0);
    // b at or above 2,147,483,647 / (a / gcd) overflows.
    EXPECT_EQ(LcmChecked(2, 1073741821), 2147483642);
    EXPECT_FATAL(LcmChecked(2, 1073741823), 21295);
    EXPECT_FATAL(LcmChecked(3, 715827883), 21295);
    EXPECT_FATAL(LcmChecked(1, 2147483647), 21295);
}

TEST_F(DbTest, TrustedFlagNestsThroughScopes) {
    EXPECT_FALSE(DbIsTrusted());
    {
        DbTrustedScope outer;
        EXPECT_TRUE(DbIsTrusted());
        {
            DbTrustedScope inner;
            EXPECT_TRUE(DbIsTrusted());
        }
        EXPECT_TRUE(DbIsTrusted()); // the outer user keeps it
        {
            DbTrustedScope off(false);
            EXPECT_FALSE(DbIsTrusted());
        }
        EXPECT_TRUE(DbIsTrusted());
    }
    EXPECT_FALSE(DbIsTrusted());
    EXPECT_FALSE(DbSetTrusted(true));
    EXPECT_TRUE(DbSetTrusted(false));
}

} // namespace
