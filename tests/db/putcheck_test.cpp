// The put checks of the tables: a record that passes answers 0 (and the put
// stores it), each broken rule answers the code and number of the first
// rule the put would fail, and the put still raises exactly that code.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compfixture.h"
#include "db/attrs.h"
#include "db/conns.h"
#include "db/layers.h"
#include "db/limits.h"
#include "db/markers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/placestrat.h"
#include "db/plotrep.h"
#include "db/sweeps.h"
#include "db/table23.h"
#include "db/texts.h"

namespace {

constexpr int32_t kSame = INT32_MIN; // a rule on the record, at the valid index
// A stored-form name id of a page the name table never has.
constexpr NameId kLostName = 0x00FE0010;

// One rule: what breaks it, at which index, and the code and number the
// check answers (code 0: the record passes and is stored).
template <typename R> struct Rule {
    const char* what;
    std::function<void(R&)> spoil;
    ErrCode code;
    int32_t number = 0;
    int32_t index = kSame;
};

template <typename R> using CheckFn = std::function<ErrCode(int32_t, const R&, int32_t*)>;
template <typename R> using PutFn = std::function<void(int32_t, const R&)>;

// Runs every rule on a copy of the valid record (held on the heap: some
// records are large) at index n.
template <typename R>
void ExpectRules(const R& valid, int32_t n, const std::vector<Rule<R>>& rules,
                 const CheckFn<R>& check, const PutFn<R>& put) {
    for (const Rule<R>& rule : rules) {
        SCOPED_TRACE(rule.what);
        auto r = std::make_unique<R>();
        std::memcpy(r.get(), &valid, sizeof(R));
        if (rule.spoil) rule.spoil(*r);
        int32_t at = rule.index == kSame ? n : rule.index;
        int32_t number = -7777;
        ErrCode code = check(at, *r, &number);
        EXPECT_EQ(code, rule.code);
        EXPECT_EQ(check(at, *r, nullptr), rule.code); // the number may be left out
        if (rule.code) {
            if (rule.number != kSame) {
                EXPECT_EQ(number, rule.number);
            }
            EXPECT_FATAL(put(at, *r), rule.code);
        } else {
            put(at, *r);
        }
    }
}

class PutCheckTest : public CompDbTest {};

// ---- sweeps and the placement strategy --------------------------------------------

TEST_F(PutCheckTest, Sweep) {
    ASSERT_EQ(LayerCount(), 2);
    DbHdr().sweep = 3;
    Sweep valid;
    SweepGet(&valid);
    CheckFn<Sweep> check = [](int32_t, const Sweep& s, int32_t* number) {
        return SweepPutCheck(&s, number);
    };
    PutFn<Sweep> put = [](int32_t, const Sweep& s) { SweepPut(&s); };
    ExpectRules<Sweep>(
        valid, 0,
        {
            {"defaults", nullptr, 0},
            {"box x 0", [](Sweep& s) { s.box[0] = 0; }, 5222030, 0},
            {"box x 501", [](Sweep& s) { s.box[0] = 501; }, 5222030, 501},
            {"box x 500", [](Sweep& s) { s.box[0] = 500; }, 0},
            {"box y 1001", [](Sweep& s) { s.box[1] = 1001; }, 5222031, 1001},
            {"box y 0 after box x", [](Sweep& s) { s.box[0] = 0, s.box[1] = 0; }, 5222030, 0},
            {"via of pass 1", [](Sweep& s) { s.via[1] = 101; }, 5222032, 1},
            {"retry of pass 4", [](Sweep& s) { s.retry[4] = 101; }, 5222033, 4},
            {"limit of pass 2", [](Sweep& s) { s.limit[2] = 101; }, 5222034, 2},
            {"via of pass 0", [](Sweep& s) { s.via[0] = 101; }, 5222032, 0},
            {"attempts of pass 3", [](Sweep& s) { s.attempts[3] = 101; }, 5222039, 3},
            {"between of layer 2", [](Sweep& s) { s.between[2] = 101; }, 5222040, 2},
            {"primary 3", [](Sweep& s) { s.primary = 3; }, 5222038, 212},
            {"secondary on the primary's axis", [](Sweep& s) { s.primary = 1, s.secondary = 2; },
             5222038, 213},
            {"secondary 0 after next", [](Sweep& s) { s.primary = 16, s.secondary = 0; }, 0},
            {"high bits ignored", [](Sweep& s) { s.primary = 0x24, s.secondary = 0x41; }, 0},
            {"current primary 5", [](Sweep& s) { s.curPrimary = 5; }, 5222038, 214},
            {"current secondary 16", [](Sweep& s) { s.curSecondary = 16; }, 5222038, 215},
            {"dir of layer 2", [](Sweep& s) { s.dir[2] = 101; }, 5222035, 2},
            {"cost of layer 1", [](Sweep& s) { s.cost[1] = 200; }, 5222036, 1},
            {"layers above the count unchecked",
             [](Sweep& s) { s.dir[3] = s.cost[30] = s.dir[0] = 255; }, 0},
            {"name of 32 characters", [](Sweep& s) { std::memset(s.name, 'A', sizeof s.name); },
             5222037, 0},
        },
        check, put);
    // The sweep number comes from the header.
    Sweep s = valid;
    DbHdr().sweep = 9;
    int32_t number = 0;
    EXPECT_EQ(SweepPutCheck(&s, &number), 5222021);
    EXPECT_EQ(number, 9);
    EXPECT_FATAL(SweepPut(&s), 5222021);
    DbHdr().sweep = 3;
    // Trusted records skip only the name rule: a sweep the router cannot
    // walk is refused from a file written whole too.
    DbTrustedScope trusted;
    s.cost[1] = 200;
    EXPECT_EQ(SweepPutCheck(&s), 5222036);
    s.cost[1] = 0;
    std::memset(s.name, 'A', sizeof s.name);
    EXPECT_EQ(SweepPutCheck(&s), 0);
    SweepPut(&s);
    DbHdr().sweep = 9;
    EXPECT_EQ(SweepPutCheck(&s), 5222021);
    DbHdr().sweep = 0;
}

TEST_F(PutCheckTest, PlaceStrategy) {
    PlaceStrategy valid;
    PlaceStratGet(&valid);
    CheckFn<PlaceStrategy> check = [](int32_t, const PlaceStrategy& p, int32_t* number) {
        return PlaceStratPutCheck(&p, number);
    };
    PutFn<PlaceStrategy> put = [](int32_t, const PlaceStrategy& p) { PlaceStratPut(&p); };
    ExpectRules<PlaceStrategy>(
        valid, 0,
        {
            {"defaults", nullptr, 0},
            {"iterations -1", [](PlaceStrategy& p) { p.iterations[1] = -1; }, 5224044, -1},
            {"iterations 101 of pass 11", [](PlaceStrategy& p) { p.iterations[11] = 101; }, 5224044,
             101},
            {"attempts 101", [](PlaceStrategy& p) { p.attempts[3] = 101; }, 5224046, 101},
            {"clusters -2", [](PlaceStrategy& p) { p.clusters[5] = -2; }, 5224048, -2},
            {"a pass's iterations before its attempts",
             [](PlaceStrategy& p) { p.attempts[2] = -1, p.iterations[2] = -1; }, 5224044, -1},
            {"an earlier pass first",
             [](PlaceStrategy& p) { p.clusters[1] = -1, p.iterations[2] = -1; }, 5224048, -1},
            {"edges", [](PlaceStrategy& p) { p.iterations[4] = 100, p.attempts[4] = 0; }, 0},
            {"pass 0 unchecked", [](PlaceStrategy& p) { p.iterations[0] = -5; }, 0},
        },
        check, put);
    DbTrustedScope trusted;
    PlaceStrategy p = valid;
    p.clusters[1] = -1;
    EXPECT_EQ(PlaceStratPutCheck(&p), 0);
    PlaceStratPut(&p);
}

// ---- nets, texts, markers and the small tables ------------------------------------

TEST_F(PutCheckTest, Net) {
    int32_t n = NetAdd();
    Net valid;
    NetGet(n, &valid);
    CheckFn<Net> check = [](int32_t i, const Net& r, int32_t* number) {
        return NetPutCheck(i, &r, number);
    };
    PutFn<Net> put = [](int32_t i, const Net& r) { NetPut(i, &r); };
    ExpectRules<Net>(valid, n,
                     {
                         {"valid", nullptr, 0},
                         {"index 0", nullptr, 5233050, 0, 0},
                         {"index past the count", nullptr, 5233050, n + 1, n + 1},
                     },
                     check, put);
    DbTrustedScope trusted;
    EXPECT_EQ(NetPutCheck(n + 1, &valid), 5233050);
}

TEST_F(PutCheckTest, Text) {
    int32_t t = TextAdd();
    BoardText valid;
    DbRecInit(kRecBoardText, &valid, 1);
    std::strcpy(valid.text, "A");
    CheckFn<BoardText> check = [](int32_t i, const BoardText& r, int32_t* number) {
        return TextPutCheck(i, &r, number);
    };
    PutFn<BoardText> put = [](int32_t i, const BoardText& r) { TextPut(i, &r); };
    ExpectRules<BoardText>(
        valid, t,
        {
            {"valid", nullptr, 0},
            {"index 0", nullptr, kErrTextPutIndex, 0, 0},
            {"index past the count", nullptr, kErrTextPutIndex, t + 1, t + 1},
            {"kind 8", [](BoardText& r) { r.kind = 8; }, kErrTextPutKind, 8},
            {"width -1", [](BoardText& r) { r.width = -1; }, kErrTextPutWidth, -1},
            {"height -1 takes its default", [](BoardText& r) { r.height = -1; }, 0},
            {"r -1", [](BoardText& r) { r.r = -1; }, kErrTextPutR, -1},
            {"layer past the count", [](BoardText& r) { r.layer = 3; }, kErrTextPutLayer, 3},
            {"ratio 0", [](BoardText& r) { r.ratio = 0; }, kErrTextPutRatio, 0},
            {"ratio 1001", [](BoardText& r) { r.ratio = 1001; }, kErrTextPutRatio, 1001},
            {"glyph angle -1", [](BoardText& r) { r.value50 = -1; }, kErrTextPutGlyphAngle, -1},
            {"glyph angle past a turn", [](BoardText& r) { r.value50 = 21601; },
             kErrTextPutGlyphAngle, 21601},
            {"kind before width", [](BoardText& r) { r.width = -1, r.kind = 9; }, kErrTextPutKind,
             9},
            {"an unterminated text is cut",
             [](BoardText& r) { std::memset(r.text, 'x', sizeof r.text); }, 0},
        },
        check, put);
    // A height left unset takes 1,000 user units: a negative user unit
    // makes that negative.
    DbHdr().userUnit = -2;
    BoardText r = valid;
    r.height = 0;
    int32_t number = 0;
    EXPECT_EQ(TextPutCheck(t, &r, &number), kErrTextPutHeight);
    EXPECT_EQ(number, -2000);
    EXPECT_FATAL(TextPut(t, &r), kErrTextPutHeight);
    DbTrustedScope trusted;
    r.kind = 9;
    EXPECT_EQ(TextPutCheck(t, &r), 0);
    EXPECT_EQ(TextPutCheck(t + 1, &r), kErrTextPutIndex);
}

TEST_F(PutCheckTest, Marker) {
    int32_t n = MarkerAdd();
    ErrorMarker valid{};
    valid.type = 3;
    valid.layer = 2;
    CheckFn<ErrorMarker> check = [](int32_t i, const ErrorMarker& r, int32_t* number) {
        return MarkerPutCheck(i, &r, number);
    };
    PutFn<ErrorMarker> put = [](int32_t i, const ErrorMarker& r) { MarkerPut(i, &r); };
    ExpectRules<ErrorMarker>(
        valid, n,
        {
            {"valid", nullptr, 0},
            {"index 0", nullptr, 22050, 0, 0},
            {"index past the count", nullptr, 22050, n + 1, n + 1},
            {"type 0", [](ErrorMarker& r) { r.type = 0; }, 22051, 0},
            {"type 29", [](ErrorMarker& r) { r.type = 29; }, 22051, 29},
            {"type 28", [](ErrorMarker& r) { r.type = 28; }, 0},
            {"layer past the count", [](ErrorMarker& r) { r.layer = 3; }, 22056, 3},
            {"type before layer", [](ErrorMarker& r) { r.layer = 3, r.type = 0; }, 22051, 0},
        },
        check, put);
}

TEST_F(PutCheckTest, SmallTables) {
    int32_t t = Table23Add();
    Table23 rec{};
    rec.value = 10;
    ExpectRules<Table23>(
        rec, t,
        {
            {"value 10", nullptr, 0},
            {"value 500", [](Table23& r) { r.value = 500; }, 0},
            {"value 9", [](Table23& r) { r.value = 9; }, 5248044, 9},
            {"value 501", [](Table23& r) { r.value = 501; }, 5248044, 501},
            {"index past the count", [](Table23& r) { r.value = 9; }, 5248042, t + 1, t + 1},
        },
        [](int32_t i, const Table23& r, int32_t* number) { return Table23PutCheck(i, &r, number); },
        [](int32_t i, const Table23& r) { Table23Put(i, &r); });

    int32_t p = ReportAdd();
    PlotReport report;
    ReportGet(p, &report);
    ExpectRules<PlotReport>(
        report, p,
        {
            {"valid", nullptr, 0},
            {"index 0", nullptr, 5247042, 0, 0},
            {"index past the count", nullptr, 5247042, p + 1, p + 1},
            {"a name in every field",
             [](PlotReport& r) {
                 for (int32_t i = 0; i < kReportNames; ++i)
                     ReportNameSet(&r, i, NameOfNumber(i));
             },
             0},
            {"a fourth name the table does not hold",
             [](PlotReport& r) { ReportNameSet(&r, 3, kLostName); }, 5247043, int32_t(kLostName)},
        },
        [](int32_t i, const PlotReport& r, int32_t* number) {
            return ReportPutCheck(i, &r, number);
        },
        [](int32_t i, const PlotReport& r) { ReportPut(i, &r); });

    int32_t c = ColorAdd();
    ColorEntry color;
    ColorGet(c, &color);
    ExpectRules<ColorEntry>(
        color, c,
        {
            {"valid", nullptr, 0},
            {"index 0", nullptr, 5232042, 0, 0},
            {"index past the count", nullptr, 5232042, c + 1, c + 1},
            {"every layer", [](ColorEntry& r) { r.layer = kColorAllLayers; }, 0},
            {"the last layer", [](ColorEntry& r) { r.layer = uint8_t(LayerCount()); }, 0},
            {"a layer past the count", [](ColorEntry& r) { r.layer = uint8_t(LayerCount() + 1); },
             5232043, LayerCount() + 1},
        },
        [](int32_t i, const ColorEntry& r, int32_t* number) {
            return ColorPutCheck(i, &r, number);
        },
        [](int32_t i, const ColorEntry& r) { ColorPut(i, &r); });
}

TEST_F(PutCheckTest, Attribute) {
    Attribute valid{};
    valid.kind = kAttrNetLayer;
    valid.key1Type = kRecNet;
    valid.key1 = 1;
    valid.key2 = 1;
    valid.value1 = 1;
    const int32_t layers = LayerCount();
    ExpectRules<Attribute>(
        valid, 0,
        {
            {"a net's required layer 1", nullptr, 0},
            {"the last layer", [=](Attribute& r) { r.key2 = int16_t(layers); }, 0},
            {"a required layer of 0", [](Attribute& r) { r.key2 = 0; }, 5223023, 0},
            {"a required layer past the count", [=](Attribute& r) { r.key2 = int16_t(layers + 1); },
             5223023, layers + 1},
            {"absent (a deletion) on layer 0",
             [](Attribute& r) {
                 r.key2 = 0;
                 r.value1 = 0;
             },
             0},
            {"a key type past the record types", [](Attribute& r) { r.key2Type = 25; }, 5223021,
             25},
            {"a packed name of a name kind",
             [](Attribute& r) {
                 r.kind = kAttrNameKind1;
                 r.value1 = 0x41424344;
             },
             0},
            {"a name of a name kind the table does not hold",
             [](Attribute& r) {
                 r.kind = kAttrNameKind3;
                 r.value1 = int32_t(kLostName);
             },
             5223022, int32_t(kLostName)},
            {"a net's via type keyed by a via type",
             [](Attribute& r) {
                 r.kind = kAttrNetKind7;
                 r.key2Type = kRecThruCode;
                 r.key2 = 3;
             },
             0},
            {"a net's via type keyed by another record type",
             [](Attribute& r) {
                 r.kind = kAttrNetKind7;
                 r.key2Type = 5;
             },
             5223024, 5},
            {"the same value in another kind",
             [](Attribute& r) {
                 r.kind = 5;
                 r.value1 = int32_t(kLostName);
             },
             0},
        },
        [](int32_t, const Attribute& r, int32_t* number) { return AttrPutCheck(&r, number); },
        [](int32_t, const Attribute& r) { AttrPut(&r); });
}

// ---- obstacles -------------------------------------------------------------------

struct Pt {
    int32_t x, y;
    uint8_t flags = 0;
};

void SetPoints(Obstacle& r, std::vector<Pt> pts) {
    r.head.count = int16_t(pts.size());
    for (size_t i = 0; i < pts.size(); ++i) {
        r.pt[i] = ObsPoint{};
        r.pt[i].x = pts[i].x;
        r.pt[i].y = pts[i].y;
        r.pt[i].flags = pts[i].flags;
    }
}

// k half turns of radius R one after the other along the x axis: each
// needs far more than a hundred points as segments.
void HalfTurns(Obstacle& r, int32_t k, int32_t radius) {
    std::vector<Pt> pts;
    for (int32_t j = 0; j < k; ++j) {
        pts.push_back({2 * j * radius, 0});
        pts.push_back({(2 * j + 1) * radius, 0, kObsPtArcCw});
    }
    pts.push_back({2 * k * radius, 0});
    SetPoints(r, pts);
}

TEST_F(PutCheckTest, Obstacle) {
    DbHdr().netCount = 2;
    int32_t o = ObsAppend();
    auto valid = std::make_unique<Obstacle>();
    std::memset(valid.get(), 0, sizeof(Obstacle));
    valid->head.kind = kObsOutline;
    valid->head.layer = 1;
    valid->head.net = kObsNoNet;
    SetPoints(*valid, {{0, 0}, {1000, 0}, {1000, 1000}});
    const int32_t uu = DbHdr().userUnit;
    ASSERT_GT(uu, 0);
    CheckFn<Obstacle> check = [](int32_t i, const Obstacle& r, int32_t* number) {
        return ObsPutCheck(i, &r, number);
    };
    PutFn<Obstacle> put = [](int32_t i, const Obstacle& r) { ObsPut(i, &r); };
    ExpectRules<Obstacle>(
        *valid, o,
        {
            {"valid", nullptr, 0},
            {"index 0", nullptr, kErrObsPutIndex, 0, 0},
            {"index past the count", nullptr, kErrObsPutIndex, o + 1, o + 1},
            {"no points", [](Obstacle& r) { r.head.count = 0; }, kErrObsPutCount, 0},
            {"1,001 points", [](Obstacle& r) { r.head.count = 1001; }, kErrObsPutCount, 1001},
            {"layer past the count", [](Obstacle& r) { r.head.layer = 3; }, kErrObsPutLayer, 3},
            {"width -1", [](Obstacle& r) { r.head.width = -1; }, kErrObsPutWidth, -1},
            {"net past the count", [](Obstacle& r) { r.head.net = 3; }, kErrObsPutNet, 3},
            {"a pin's negative net", [](Obstacle& r) { r.head.net = -5; }, 0},
            {"layer 0 with net 0", [](Obstacle& r) { r.head.layer = 0, r.head.net = 0; },
             kErrObsPutAnyNetConn, 0},
            {"layer before width", [](Obstacle& r) { r.head.width = -1, r.head.layer = 3; },
             kErrObsPutLayer, 3},
            // A circle: three points, the last on the first, the middle an
            // arc centre off it.
            {"circle",
             [](Obstacle& r) {
                 r.head.flags = kObsCircle;
                 SetPoints(r, {{0, 0}, {500, 0, kObsPtArcCw}, {0, 0}});
             },
             0},
            {"circle of four points",
             [](Obstacle& r) {
                 r.head.flags = kObsCircle;
                 SetPoints(r, {{0, 0}, {500, 0, kObsPtArcCw}, {0, 0}, {0, 0}});
             },
             kErrObsCircleFlag, 4},
            {"circle not closed",
             [](Obstacle& r) {
                 r.head.flags = kObsCircle;
                 SetPoints(r, {{0, 0}, {500, 0, kObsPtArcCw}, {0, 9}});
             },
             kErrObsCircleFlag + 1, 2},
            {"circle without a centre",
             [](Obstacle& r) {
                 r.head.flags = kObsCircle;
                 SetPoints(r, {{0, 0}, {500, 0, 0x10}, {0, 0}});
             },
             kErrObsCircleFlag + 2, 0x10},
            {"circle centre on the start",
             [](Obstacle& r) {
                 r.head.flags = kObsCircle;
                 SetPoints(r, {{0, 0}, {0, 0, kObsPtArcCw}, {0, 0}});
             },
             kErrObsCircleFlag + 3, 0},
            // A closed kind gets its closing point before the circle rules:
            // three points become four.
            {"closed kind's circle gets a fourth point",
             [](Obstacle& r) {
                 r.head.kind = kObsCopper;
                 r.head.flags = kObsCircle;
                 SetPoints(r, {{0, 0}, {500, 0, kObsPtArcCw}, {0, 9}});
             },
             kErrObsCircleFlag, 4},
            {"arc radii differ by less than 3 user units",
             [uu](Obstacle& r) {
                 SetPoints(r, {{0, 0}, {1000, 0, kObsPtArcCw}, {1000, 1000 + 3 * uu - 1}});
             },
             0},
            {"arc radii differ by 3 user units",
             [uu](Obstacle& r) {
                 SetPoints(r, {{0, 0}, {9, 9}, {1009, 9, kObsPtArcCw}, {1009, 1009 + 3 * uu}});
             },
             kErrObsArcRadii, 2},
            {"arcs needing more than 999 points as segments",
             [](Obstacle& r) { HalfTurns(r, 8, 10000000); }, kErrObsArcPoints, kSame},
            {"one such arc fits", [](Obstacle& r) { HalfTurns(r, 1, 10000000); }, 0},
        },
        check, put);
    // The points the arcs need are reported; they pass 999.
    auto r = std::make_unique<Obstacle>();
    std::memcpy(r.get(), valid.get(), sizeof(Obstacle));
    HalfTurns(*r, 8, 10000000);
    int32_t number = 0;
    EXPECT_EQ(ObsPutCheck(o, r.get(), &number), kErrObsArcPoints);
    EXPECT_GT(number, 999);
    // Trusted records keep only the rules of the head.
    DbTrustedScope trusted;
    EXPECT_EQ(ObsPutCheck(o, r.get()), 0);
    r->head.flags = kObsCircle;
    EXPECT_EQ(ObsPutCheck(o, r.get()), 0);
    r->head.width = -1;
    EXPECT_EQ(ObsPutCheck(o, r.get()), kErrObsPutWidth);
}

// ---- connections -----------------------------------------------------------------

// A corner: by default a segment of width 10 on layer 1.
struct C {
    int32_t x, y;
    uint16_t width = 10;
    uint8_t layer = 1;
    uint8_t flags = 0;
    uint8_t via = 0;
};

class ConnPutCheckTest : public CompDbTest {
  protected:
    void SetUp() override {
        CompDbTest::SetUp();
        ConnRegister();
        int32_t thru = AddThru({{kPadRound, 600, 600, 600, 600}});
        sym = AddSymbol("SYM", {{0, 0, int16_t(thru)}, {6000, 0, int16_t(thru)}});
        u1 = AddComp("U1", sym, 0, 0);
        u2 = AddComp("U2", sym, 60000, 0);
        net = NetAdd();
        Net n;
        NetGet(net, &n);
        ASSERT_NE(n.width, 0);
        n.width = n.minWidth = n.maxWidth = 0;
        bare = NetAdd(); // a net without widths
        NetPut(bare, &n);
    }

    // From pin 1 of U1 to pin 1 of U2 on layer 1.
    std::unique_ptr<Conn> Rec(std::vector<C> corners = {{0, 0}, {60000, 0, 0, 0}}) const {
        auto r = std::make_unique<Conn>();
        std::memset(r.get(), 0, sizeof(Conn));
        r->head.net = int16_t(net);
        r->head.fromComp = int16_t(u1);
        r->head.fromPin = 1;
        r->head.toComp = int16_t(u2);
        r->head.toPin = 1;
        r->head.count = int16_t(corners.size());
        for (size_t i = 0; i < corners.size(); ++i) {
            Crn& c = r->crn[i];
            c.x = corners[i].x;
            c.y = corners[i].y;
            c.width = corners[i].width;
            c.layer = corners[i].layer;
            c.flags = corners[i].flags;
            c.via = corners[i].via;
        }
        return r;
    }

    static ErrCode Check(int32_t n, const Conn& r, int32_t* number) {
        return ConnPutCheck(n, &r, number);
    }
    static void Put(int32_t n, const Conn& r) { ConnPut(n, &r); }

    int32_t sym = 0, u1 = 0, u2 = 0, net = 0, bare = 0;
};

TEST_F(ConnPutCheckTest, NewConnection) {
    int32_t n = ConnAdd();
    const int32_t bare = this->bare;
    int32_t pinless = AddComp("U3", 0, 0, 0); // a component without a symbol
    // At the coordinate limit: its pin 2 lies past it.
    const int32_t far = AddComp("U4", sym, kCoordLimit, 0);
    std::vector<Rule<Conn>> rules = {
        {"valid", nullptr, 0},
        {"index 0", nullptr, 5239084, 0, 0},
        {"index past the count", nullptr, 5239084, n + 1, n + 1},
        {"net 0", [](Conn& r) { r.head.net = 0; }, 5239051, 0},
        {"net past the count", [bare](Conn& r) { r.head.net = int16_t(bare + 1); }, 5239051,
         bare + 1},
        {"from component -1", [](Conn& r) { r.head.fromComp = -1; }, 5239057, -1},
        {"to component past the count", [](Conn& r) { r.head.toComp = 9; }, 5239057, 9},
        {"net before the ends", [](Conn& r) { r.head.net = 0, r.head.toComp = 9; }, 5239051, 0},
        {"1,001 corners", [](Conn& r) { r.head.count = 1001; }, 5239021, 1001},
        {"segment layer past the count", [](Conn& r) { r.crn[0].layer = 3; }, 5239023, 3},
        {"via type past the count", [](Conn& r) { r.crn[0].via = 2; }, 5239025, 2},
        {"layer before via", [](Conn& r) { r.crn[0].via = 2, r.crn[0].layer = 3; }, 5239023, 3},
        {"the last corner starts no segment",
         [](Conn& r) { r.crn[1].layer = 9, r.crn[1].via = 9, r.crn[1].flags = 0xFF; }, 0},
        {"corner rules before the pins", [](Conn& r) { r.crn[0].layer = 3, r.head.toPin = 7; },
         5239023, 3},
        {"from pin past the symbol's", [](Conn& r) { r.head.fromPin = 3; }, 5226074, 3},
        {"to pin 0", [](Conn& r) { r.head.toPin = 0; }, 5226074, 0},
        {"from before to", [](Conn& r) { r.head.fromPin = 5, r.head.toPin = 6; }, 5226074, 5},
        {"end on a component without a symbol",
         [pinless](Conn& r) { r.head.toComp = int16_t(pinless); }, 5226071, 0},
        {"free ends need no pins", [](Conn& r) { r.head.fromComp = r.head.toComp = 0; }, 0},
        {"a corner past the coordinate limit", [](Conn& r) { r.crn[1].y = -kCoordLimit - 1; },
         5239096, 1},
        {"an end on a pin past the coordinate limit",
         [far](Conn& r) { r.head.toComp = int16_t(far), r.head.toPin = 2; }, 5239096, 2},
        {"an end on a pin at the coordinate limit",
         [far](Conn& r) { r.head.toComp = int16_t(far), r.head.toPin = 1; }, 0},
        {"a segment without a width on a net without one",
         [bare](Conn& r) { r.head.net = int16_t(bare), r.crn[0].width = 0; }, 5239095, bare},
        // Fewer than two corners: a ratsnest from pin to pin.
        {"ratsnest", [](Conn& r) { r.head.count = 1; }, 0},
        {"ratsnest with no corners", [](Conn& r) { r.head.count = -3; }, 0},
        {"ratsnest to a missing pin", [](Conn& r) { r.head.count = 0, r.head.toPin = 4; }, 5226074,
         4},
        {"ratsnest on a net without widths",
         [bare](Conn& r) { r.head.count = 0, r.head.net = int16_t(bare); }, 5239095, bare},
        // Last: the net takes the widths of the segments.
        {"widths given on a net without one", [bare](Conn& r) { r.head.net = int16_t(bare); }, 0},
    };
    // Each stored record goes again, so that every rule meets an empty slot.
    PutFn<Conn> putNew = [](int32_t i, const Conn& r) {
        ConnPut(i, &r);
        ConnDelete(i);
        ConnAdd();
    };
    ExpectRules<Conn>(*Rec(), n, rules, &Check, putNew);
}

TEST_F(ConnPutCheckTest, RebuildAskedKeepsShortRecordsAndEnds) {
    int32_t n = ConnAdd();
    // While the chains are to be rebuilt, a short record stays as it is
    // and no end is put on its pin.
    DbHdr().flags |= kHdrNetValidate;
    const int32_t bare = this->bare;
    ExpectRules<Conn>(*Rec(), n,
                      {
                          {"one corner", [](Conn& r) { r.head.count = 1, r.head.toPin = 9; }, 0},
                          {"no corners on a net without widths",
                           [bare](Conn& r) { r.head.count = 0, r.head.net = int16_t(bare); }, 0},
                          {"a negative count", [](Conn& r) { r.head.count = -1; }, 5239091, -1},
                          {"a missing pin", [](Conn& r) { r.head.toPin = 9; }, 0},
                      },
                      &Check, &Put);
    DbHdr().flags &= uint16_t(~kHdrNetValidate);
    // Fitting connections to pins asked for: the ratsnest is still made
    // from the pins, only the ends are left alone.
    DbHdr().flags |= kHdrConnFit;
    auto r = Rec();
    r->head.count = 1;
    r->head.toPin = 9;
    EXPECT_EQ(ConnPutCheck(n, r.get()), 5226074);
    r->head.count = 2;
    EXPECT_EQ(ConnPutCheck(n, r.get()), 0);
}

TEST_F(ConnPutCheckTest, StoredConnectionChecksTheEndsThatChange) {
    int32_t n = ConnAdd();
    auto r = Rec();
    r->head.toComp = 0;
    r->head.toPin = 0;
    ConnPut(n, r.get());
    // The to end moves onto pin 2 of U2: only that pin is looked at.
    const int32_t u2 = this->u2;
    ExpectRules<Conn>(
        *r, n,
        {
            {"unchanged", nullptr, 0},
            {"to a missing pin", [u2](Conn& c) { c.head.toComp = int16_t(u2), c.head.toPin = 3; },
             5226074, 3},
            {"from a missing pin", [](Conn& c) { c.head.fromPin = 3; }, 5226074, 3},
        },
        &Check, &Put);
    // A component that lost its symbol: an end left where it was is not
    // placed again; one whose corner moved is.
    Component comp;
    CompGet(u1, &comp);
    comp.symbol = 0;
    CompPut(u1, &comp);
    EXPECT_EQ(ConnPutCheck(n, r.get()), 0);
    ConnPut(n, r.get());
    r->crn[0].x = 5;
    int32_t number = -1;
    EXPECT_EQ(ConnPutCheck(n, r.get(), &number), 5226071);
    EXPECT_EQ(number, 0);
    EXPECT_FATAL(ConnPut(n, r.get()), 5226071);
}

TEST_F(ConnPutCheckTest, ArcsAreCheckedAsTheStoreTakesThem) {
    int32_t n = ConnAdd();
    // Free ends; the arc's radii differ by far more than 10 units, so its
    // start corner (the only one without a width) goes.
    auto r = Rec({{0, 0, 0}, {1000, 0, 10, 1, kCrnArc}, {1000, 5000}, {3000, 5000, 0, 0}});
    r->head.fromComp = r->head.toComp = 0;
    r->head.net = int16_t(bare);
    r->head.flags = kConnArc;
    EXPECT_EQ(ConnPutCheck(n, r.get()), 0);
    ConnPut(n, r.get());
    EXPECT_EQ(ConnRef(n)->head.count, 3);
    // Without the arc flag the corner stays and needs the net's width.
    r->head.flags = 0;
    EXPECT_EQ(ConnPutCheck(n, r.get()), 5239095);
    EXPECT_FATAL(ConnPut(n, r.get()), 5239095);
    // A corner flags byte above 7 is cleared before arcs are looked at.
    r->head.flags = kConnArc;
    r->crn[1].flags = 0x0C;
    EXPECT_EQ(ConnPutCheck(n, r.get()), 5239095);
}

TEST_F(ConnPutCheckTest, TrustedRecordsAreStoredAsGiven) {
    int32_t n = ConnAdd();
    const int32_t far = AddComp("U4", sym, kCoordLimit, 0);
    DbTrustedScope trusted;
    const int32_t net = this->net;
    ExpectRules<Conn>(
        *Rec(), n,
        {
            {"bad corners and ends pass",
             [](Conn& r) { r.crn[0].layer = 9, r.crn[0].via = 9, r.head.toPin = 9; }, 0},
            {"index", nullptr, 5239084, n + 1, n + 1},
            {"net", [net](Conn& r) { r.head.net = int16_t(net + 5); }, 5239051, net + 5},
            {"1,001 corners", [](Conn& r) { r.head.count = 1001; }, 5239091, 1001},
            {"a negative count", [](Conn& r) { r.head.count = -1; }, 5239091, -1},
            {"an end on a pin past the coordinate limit, to be fitted",
             [far](Conn& r) { r.head.toComp = int16_t(far), r.head.toPin = 2; }, 5239096, 2},
        },
        &Check, &Put);
}

} // namespace

namespace {

// A reader that appends a slot and finds the record refused by the check
// takes the slot back: the table is as it was.
TEST_F(PutCheckTest, ARefusedNewObstacleOrTextSlotIsTakenBack) {
    const int32_t obstacles = ObsCount();
    ObsDelete(ObsAppend());
    EXPECT_EQ(ObsCount(), obstacles);
    const int32_t texts = TextCount();
    TextDelete(TextAdd());
    EXPECT_EQ(TextCount(), texts);
}

} // namespace
