// Chain ordering and node lists:
// - one large net: 2,000 pins, of which 500 are joined in pairs by routed
//   copper of 80 segments each (20,000 copper nodes) and the rest are lone
//   pins, so the tree is built through candidate edges; ordered from its
//   connections, and rebuilt from its node lists (NetRebuildAll);
// - a board: 1,800 nets and 5,000 unrouted connections, rebuilt whole;
// - building the node list of one net of N copper nodes, which grows
//   linearly with N.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

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
constexpr int32_t kBoardNets = 1800;
constexpr int32_t kBoardConns = 5000;

int32_t g_net = 0;
int32_t g_octal = 0; // a symbol of 8 pins in a row, 200 apart
constexpr int32_t kOctalPins = 8;

// An empty design with one through-hole padstack and a one-pin symbol;
// answers the symbol.
int32_t NewDesign() {
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
    sym->info.name = NameIntern("OCTAL");
    sym->info.pinCount = kOctalPins;
    for (int32_t p = 1; p <= kOctalPins; ++p) {
        sym->pin[p].x = (p - 1) * 200;
        sym->pin[p].thru = int16_t(pad);
    }
    g_octal = SymAdd();
    SymPut(g_octal, sym.get());
    return s;
}

int32_t AddPin(int32_t symbol, int32_t x, int32_t y) {
    int32_t c = CompAdd();
    Component rec{};
    char name[16];
    std::snprintf(name, sizeof name, "U%d", c);
    rec.name = NameIntern(name);
    rec.symbol = int16_t(symbol);
    rec.x = x;
    rec.y = y;
    CompPut(c, &rec);
    return c;
}

int32_t AddNet() {
    int32_t n = NetAdd();
    Net rec;
    NetGet(n, &rec);
    rec.width = 10;
    NetPut(n, &rec);
    return n;
}

void NewBoard() {
    int32_t s = NewDesign();
    for (int32_t i = 0; i < kPins; ++i)
        AddPin(s, (i % 50) * kPitch * 10, (i / 50) * kPitch);
    g_net = AddNet();
}

// A cleared connection record of the net from pin ap of a to pin bp of b.
std::unique_ptr<Conn> NewConn(int32_t net, int32_t a, int32_t b, int32_t ap = 1, int32_t bp = 1) {
    auto r = std::make_unique<Conn>();
    std::memset(r.get(), 0, sizeof(Conn));
    r->head.net = int16_t(net);
    r->head.fromComp = int16_t(a);
    r->head.fromPin = int16_t(ap);
    r->head.toComp = int16_t(b);
    r->head.toPin = int16_t(bp);
    return r;
}

// An unrouted connection between two pins.
void PutGap(int32_t net, int32_t a, int32_t b, int32_t ap = 1, int32_t bp = 1) {
    auto r = NewConn(net, a, b, ap, bp);
    r->head.count = 2;
    PlacedPin pa, pb;
    CompPinXY(a, ap, &pa);
    CompPinXY(b, bp, &pb);
    r->crn[0].x = pa.x;
    r->crn[0].y = pa.y;
    r->crn[0].width = 10;
    r->crn[1].x = pb.x;
    r->crn[1].y = pb.y;
    ConnPut(ConnAdd(), r.get());
}

// The net's connections: routed pairs (U1-U2, U3-U4, ...) and unrouted
// pairs of the remaining pins.
void PutConnections() {
    while (ConnCount() > 0)
        ConnDelete(ConnCount());
    for (int32_t p = 0; p < kPins / 2; ++p) {
        int32_t a = 2 * p + 1, b = 2 * p + 2;
        auto r = NewConn(g_net, a, b);
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
        ConnPut(ConnAdd(), r.get());
    }
}

void BM_ChainOrderLargeNet(benchmark::State& state) {
    NewBoard();
    for (auto _ : state) {
        state.PauseTiming();
        PutConnections();
        state.ResumeTiming();
        ChainOrderNet(g_net);
    }
    state.counters["connections"] = ConnCount();
    DbFree();
}

// NetRebuildAll over the connections `put` makes afresh each time.
void Rebuild(benchmark::State& state, void (*put)()) {
    for (auto _ : state) {
        state.PauseTiming();
        put();
        state.ResumeTiming();
        NetRebuildAll();
    }
    state.counters["nets"] = NetCount();
    state.counters["connections"] = ConnCount();
    DbFree();
}

void BM_RebuildLargeNet(benchmark::State& state) {
    NewBoard();
    Rebuild(state, &PutConnections);
}

// 1,800 nets over the pins of 8-pin components at scattered places: two
// power nets of 200 and 100 pins, the rest of 2 to 4 pins, 5,000
// connections in all, each net's pins chained in scrambled order.
void PutBoard() {
    while (ConnCount() > 0)
        ConnDelete(ConnCount());
    static std::vector<std::vector<std::pair<int32_t, int32_t>>> nets;
    if (nets.empty()) {
        uint32_t seed = 12345;
        auto next = [&seed](uint32_t range) {
            seed = seed * 1103515245u + 12345u;
            return int32_t((seed >> 8) % range);
        };
        std::vector<int32_t> sizes;
        int32_t total = 0, left = kBoardConns;
        for (int32_t n = 0; n < kBoardNets; ++n) {
            int32_t pins = n == 0 ? 200 : n == 1 ? 100 : 0;
            if (pins == 0) {
                int32_t netsLeft = kBoardNets - n;
                pins = 1 + (left + netsLeft - 1) / netsLeft;
            }
            left -= pins - 1;
            total += pins;
            sizes.push_back(pins);
        }
        std::vector<std::pair<int32_t, int32_t>> pins;
        for (int32_t c = 0; c * kOctalPins < total; ++c) {
            int32_t comp = AddPin(g_octal, next(3000) * 100, next(2000) * 100);
            for (int32_t p = 1; p <= kOctalPins; ++p)
                pins.emplace_back(comp, p);
        }
        for (size_t i = pins.size() - 1; i > 0; --i)
            std::swap(pins[i], pins[size_t(next(uint32_t(i + 1)))]);
        size_t at = 0;
        for (int32_t size : sizes) {
            nets.emplace_back(pins.begin() + std::ptrdiff_t(at),
                              pins.begin() + std::ptrdiff_t(at + size_t(size)));
            at += size_t(size);
            AddNet();
        }
    }
    for (size_t n = 0; n < nets.size(); ++n)
        for (size_t p = 1; p < nets[n].size(); ++p)
            PutGap(int32_t(n) + 1, nets[n][p - 1].first, nets[n][p].first, nets[n][p - 1].second,
                   nets[n][p].second);
}

void BM_RebuildBoard(benchmark::State& state) {
    NewDesign();
    Rebuild(state, &PutBoard);
}

// Building the node list of one net from routed connections of 999
// segments each, state.range(0) copper nodes in all.
void BM_NodeListBuild(benchmark::State& state) {
    int32_t s = NewDesign();
    int32_t net = AddNet();
    int32_t nodes = int32_t(state.range(0));
    constexpr int32_t kSegs = 999;
    int32_t conns = (nodes + kSegs - 1) / kSegs;
    std::vector<std::unique_ptr<Conn>> records;
    for (int32_t k = 0; k < conns; ++k) {
        int32_t a = AddPin(s, 0, k * 1000), b = AddPin(s, kSegs * 100, k * 1000);
        auto r = NewConn(net, a, b);
        r->head.count = kSegs + 1;
        for (int32_t i = 0; i <= kSegs; ++i) {
            Crn& c = r->crn[i];
            c.x = i * 100;
            c.y = k * 1000 + (i % 2) * 50;
            c.width = 10;
            c.layer = uint8_t(i < kSegs ? 1 + (i % 2) : 0);
            c.via = uint8_t(i > 0 && i < kSegs && i % 2 == 0 ? 1 : 0);
        }
        records.push_back(std::move(r));
    }
    for (auto _ : state) {
        for (const auto& r : records)
            NetNodeListBuild(r.get());
        state.PauseTiming();
        NetNodeListFree();
        state.ResumeTiming();
    }
    state.counters["nodes"] = double(conns) * kSegs;
    DbFree();
}

} // namespace

BENCHMARK(BM_ChainOrderLargeNet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RebuildLargeNet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RebuildBoard)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NodeListBuild)->Unit(benchmark::kMillisecond)->Arg(10000)->Arg(100000)->Iterations(1);
