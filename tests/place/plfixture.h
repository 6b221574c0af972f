// Fixture of the placement tests: a new design of two layers with builders
// for what placement reads: header values, thru codes on one or both
// layers, footprints of pins in one row, two rows or four sides (with
// Place and Insertion outlines), packages with gates, swap flags and pin
// functions, components (position, angle, flags, group, cluster master and
// radius, side), nets (weight, style, flags), connections and board
// obstacles. The engine's state is dropped before and after every test.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/packages.h"
#include "db/pool.h"
#include "db/compfixture.h"
#include "place/plmodel.h"
#include "place/plpair.h"
#include "place/plpairstate.h"
#include "place/pltree.h"
#include "place/pltreeint.h"

// Collects the trace lines written while it lives, with the verbose flag
// set.
class TraceCapture {
  public:
    TraceCapture() {
        Lines().clear();
        g_verbose = 1;
        DebugSetTraceReceiver(&Receive);
    }
    ~TraceCapture() {
        DebugSetTraceReceiver(nullptr);
        g_verbose = 0;
    }
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }

  private:
    static void Receive(const char* text) { Lines().push_back(text); }
};

class PlaceTest : public CompDbTest {
  protected:
    void SetUp() override {
        ForgetEngine();
        CompDbTest::SetUp();
        ConnRegister();
        NetRegister();
        ObsRegister();
        PkgRegister();
        both = AddThru({{kPadRound, 100, 100, 100, 100}}, 0x6);
        top = AddThru({{kPadSquare, 100, 100, 100, 100}}, 0x2);
        bottom = AddThru({{kPadSquare, 100, 100, 100, 100}}, 0x4);
    }
    void TearDown() override {
        AltForget();
        ForgetEngine();
        CompDbTest::TearDown();
    }

    // The engine's tables, forgotten without closing pools (the next test
    // starts from fresh pools).
    static void ForgetEngine() {
        g_placeModel.pool = 0;
        PlModelFree();
        g_placeModel = PlaceModel{};
        g_pairs = PlPairState{};
        g_plTree = PlTreeState{};
    }

    static void SetHeader(int32_t userUnit, int32_t routeGrid = 1500, int32_t gridX = 0,
                          int32_t gridY = 0) {
        DbHeader h;
        DbGetHeader(&h);
        h.userUnit = userUnit;
        h.routeGrid = routeGrid;
        h.grid3X = gridX;
        h.grid3Y = gridY;
        DbPutHeader(&h);
    }

    // ---- footprints -------------------------------------------------------

    // n pins in one column (vertical) or one row.
    static int32_t RowSymbol(const char* name, int32_t n, int32_t pitch, int16_t thru,
                             bool vertical = true) {
        std::vector<Pin> pins;
        for (int32_t i = 0; i < n; ++i)
            pins.push_back(vertical ? Pin{0, i * pitch, thru} : Pin{i * pitch, 0, thru});
        return AddSymbol(name, pins);
    }
    // Two columns of n pins, span apart (dual row), or two rows (turned).
    static int32_t DualSymbol(const char* name, int32_t n, int32_t pitch, int32_t span,
                              int16_t thru, bool columns = true) {
        std::vector<Pin> pins;
        for (int32_t side = 0; side < 2; ++side)
            for (int32_t i = 0; i < n; ++i)
                pins.push_back(columns ? Pin{side * span, i * pitch, thru}
                                       : Pin{i * pitch, side * span, thru});
        return AddSymbol(name, pins);
    }
    // n pins on each of four sides around a square of side (n + 1) x pitch.
    static int32_t QuadSymbol(const char* name, int32_t n, int32_t pitch, int16_t thru) {
        std::vector<Pin> pins;
        const int32_t s = (n + 1) * pitch;
        for (int32_t i = 1; i <= n; ++i)
            pins.push_back({0, i * pitch, thru});
        for (int32_t i = 1; i <= n; ++i)
            pins.push_back({i * pitch, 0, thru});
        for (int32_t i = 1; i <= n; ++i)
            pins.push_back({s, i * pitch, thru});
        for (int32_t i = 1; i <= n; ++i)
            pins.push_back({i * pitch, s, thru});
        return AddSymbol(name, pins);
    }

    // ---- obstacles --------------------------------------------------------

    // A rectangle obstacle of the kind on the layer, owned by the board (0),
    // a symbol (s) or a component (-c).
    static int32_t AddRect(uint8_t kind, int32_t owner, int32_t x1, int32_t y1, int32_t x2,
                           int32_t y2, uint8_t layer = 0) {
        auto r = std::make_unique<Obstacle>();
        std::memset(r.get(), 0, sizeof(Obstacle));
        r->head.kind = kind;
        r->head.layer = layer;
        r->head.owner = int16_t(owner);
        r->head.net = kObsNoNet;
        const int32_t xs[5] = {x1, x2, x2, x1, x1}, ys[5] = {y1, y1, y2, y2, y1};
        r->head.count = 5;
        for (int32_t i = 0; i < 5; ++i) {
            r->pt[i].x = xs[i];
            r->pt[i].y = ys[i];
        }
        const int32_t o = ObsAppend();
        ObsPut(o, r.get());
        return o;
    }

    // ---- packages ---------------------------------------------------------

    struct PkgPin {
        int16_t gate;
        uint8_t swap;
        uint8_t function;
    };
    static int32_t AddPackage(const char* name, std::vector<PkgPin> pins) {
        auto p = std::make_unique<Package>();
        std::memset(p.get(), 0, sizeof(Package));
        p->info.name = NameIntern(name);
        p->info.pinCount = int16_t(pins.size());
        for (size_t i = 0; i < pins.size(); ++i) {
            PackagePin& q = p->pin[i + 1];
            char text[24];
            std::snprintf(text, sizeof text, "%zu", i + 1);
            q.name = q.name2 = NameIntern(text);
            q.value = pins[i].gate;
            q.byte10 = pins[i].swap;
            q.code = pins[i].function;
        }
        const int32_t n = PkgAdd();
        PkgPut(n, p.get());
        return n;
    }

    // ---- components, nets, connections ------------------------------------

    struct Part {
        int32_t x = 0, y = 0, angle = 0;
        uint16_t flags = 0;
        int16_t group = 0, master = 0;
        int32_t radius = 0;
        int16_t package = 0;
        uint8_t side = 0;
    };
    int32_t AddPart(int32_t symbol, Part p) {
        char name[16];
        std::snprintf(name, sizeof name, "P%d", ++m_parts);
        Component c = CompRecord(name, symbol, p.x, p.y, p.angle);
        c.flags = p.flags;
        c.word40 = p.group;
        c.compRef = p.master;
        c.value32 = p.radius;
        c.package = p.package;
        c.byte51 = p.side;
        const int32_t n = CompAdd();
        CompPut(n, &c);
        return n;
    }

    static int32_t AddNet(uint8_t weight = 50, uint8_t style = 16, uint16_t flags = 0) {
        const int32_t n = NetAdd();
        Net r;
        NetGet(n, &r);
        r.weight = weight;
        r.netType = style;
        r.flags = flags;
        NetPut(n, &r);
        return n;
    }

    // A connection of the net between two pins (component 0: a free end at
    // the point given).
    static int32_t Connect(int32_t net, int32_t c1, int32_t p1, int32_t c2, int32_t p2,
                           int32_t fx = 0, int32_t fy = 0) {
        auto r = std::make_unique<Conn>();
        std::memset(r.get(), 0, sizeof(Conn));
        r->head.net = int16_t(net);
        r->head.fromComp = int16_t(c1);
        r->head.fromPin = int16_t(c1 ? p1 : 0);
        r->head.toComp = int16_t(c2);
        r->head.toPin = int16_t(c2 ? p2 : 0);
        r->head.count = 2;
        const int32_t ends[2][2] = {{c1, p1}, {c2, p2}};
        for (int32_t i = 0; i < 2; ++i) {
            PlacedPin pin{};
            if (ends[i][0]) {
                CompPinXY(ends[i][0], ends[i][1], &pin);
            } else {
                pin.x = fx;
                pin.y = fy;
            }
            r->crn[i].x = pin.x;
            r->crn[i].y = pin.y;
        }
        r->crn[0].width = 10;
        const int32_t n = ConnAdd();
        ConnPut(n, r.get());
        return n;
    }

    // The stored component as the journal sees it.
    static Component Comp(int32_t c) {
        Component r;
        AltSave(kRecComponent, c, &r);
        return r;
    }
    // Stores a changed component through the journal.
    static void Store(int32_t c, const Component& r) { AltPut(kRecComponent, c, 0, &r); }

    int32_t both = 0, top = 0, bottom = 0;

  private:
    int32_t m_parts = 0;
};
