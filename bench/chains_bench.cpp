// Chain ordering of one large net: 2,000 pins, of which 500 are joined in
// pairs by routed copper of 40 segments each (20,000 copper nodes) and the
// rest are lone pins, so the tree is built through candidate edges.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "db/altjournal.h"
#include "db/chains.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "headless/headless.h"

namespace {

constexpr int32_t kPins = 2000;
constexpr int32_t kRoutedPairs = 250;
constexpr int32_t kSegments = 80; // 250 pairs x 80 segments = 20,000 nodes
constexpr int32_t kPitch = 2000;

int32_t g_net = 0;

void NewBoard() {
    HeadlessReset();
    AltForget();
    DbFree();
    DbHeaderReset();
    DbInit();
    int32_t pad = ThruAdd();
    ThruCode t;
    ThruGet(pad, &t);
    for (int32_t l = 1; l <= 2; ++l) {
        t.layer[l].shapeCount = 1;
        t.layer[l].shape[0].code = kPadRound;
        for (int32_t& e : t.layer[l].shape[0].ext)
            e = 300;
    }
    ThruPut(pad, &t);
    auto sym = std::make_unique<Symbol>();
    DbRecInit(kRecSymbol, sym.get(), 1);
    sym->info.name = NameIntern("ONE");
    sym->info.pinCount = 1;
    sym->pin[1].thru = int16_t(pad);
    int32_t s = SymAdd();
    SymPut(s, sym.get());
    for (int32_t i = 0; i < kPins; ++i) {
        int32_t c = CompAdd();
        Component rec{};
        char name[16];
        std::snprintf(name, sizeof name, "U%d", c);
        rec.name = NameIntern(name);
        rec.symbol = int16_t(s);
        rec.x = (i % 50) * kPitch * 10;
        rec.y = (i / 50) * kPitch;
        CompPut(c, &rec);
    }
    g_net = NetAdd();
    Net n;
    NetGet(g_net, &n);
    n.width = 10;
    NetPut(g_net, &n);
}

// The net's connections: routed pairs (U1-U2, U3-U4, ...) and unrouted
// pairs of the remaining pins.
void PutConnections() {
    auto r = std::make_unique<Conn>();
    for (int32_t p = 0; p < kPins / 2; ++p) {
        int32_t a = 2 * p + 1, b = 2 * p + 2;
        std::memset(r.get(), 0, sizeof(Conn));
        r->head.net = int16_t(g_net);
        r->head.fromComp = int16_t(a);
        r->head.fromPin = 1;
        r->head.toComp = int16_t(b);
        r->head.toPin = 1;
        int32_t ax = CompRef(a)->x, ay = CompRef(a)->y;
        int32_t bx = CompRef(b)->x, by = CompRef(b)->y;
        int32_t segments = p < kRoutedPairs ? kSegments : 1;
        r->head.count = int16_t(segments + 1);
        for (int32_t i = 0; i <= segments; ++i) {
            Crn& c = r->crn[i];
            c.x = ax + (bx - ax) * i / segments;
            c.y = ay + (by - ay) * i / segments + (i % 2) * 50 * (i < segments);
            c.width = 10;
            c.layer = uint8_t(p < kRoutedPairs && i < segments ? 1 : 0);
        }
        int32_t k = ConnAdd();
        ConnPut(k, r.get());
    }
}

void BM_ChainOrderLargeNet(benchmark::State& state) {
    NewBoard();
    for (auto _ : state) {
        state.PauseTiming();
        while (ConnCount() > 0)
            ConnDelete(ConnCount());
        PutConnections();
        state.ResumeTiming();
        ChainOrderNet(g_net);
    }
    state.counters["connections"] = ConnCount();
    DbFree();
}

} // namespace

BENCHMARK(BM_ChainOrderLargeNet)->Unit(benchmark::kMillisecond)->Iterations(3);
