// The via map's marking around pads on the largest window: 1,600 parts of
// 16 oblong pins (25,600 pad entries), one and two via types; and the
// preparation of one gap of a net of 16 pads and 15 connections.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/dbextent.h"
#include "db/dbheader.h"
#include "db/nets.h"
#include "db/symbols.h"
#include "db/sweeps.h"
#include "files/asc.h"
#include "headless/ascio.h"
#include "headless/headless.h"
#include "router/maparea.h"
#include "router/maze.h"
#include "router/mzinit.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/prep.h"
#include "router/urstate.h"
#include "router/viamap.h"

namespace {

constexpr int32_t kGrid = 1500;
constexpr int32_t kParts = 40; // per row and per column
constexpr int32_t kPins = 16;
constexpr int32_t kPitchX = 12 * kGrid, kPitchY = 20 * kGrid;

std::string Board(int32_t vias) {
    std::string s = "*PELVANE\r\n*LAYER 2\r\n*GRID 1500\r\n*VIAS " + std::to_string(vias) +
                    "\r\n*START\r\n*Layer 1 \"TOP\" Space 600 600 600\r\n"
                    "*Layer 2 \"BOTTOM\" Space 600 600 600\r\n"
                    "*VIA 1 \"V\" Layer=1 SHAPE=ROUND W:600 Layer=2 SHAPE=ROUND W:600\r\n";
    if (vias > 1) s += "*VIA 2 \"W\" Layer=1 SHAPE=ROUND W:1000 Layer=2 SHAPE=ROUND W:1000\r\n";
    s += "*THRU 1 \"DIP\" Layer=1 SHAPE=OBLONG W:1500 H:2400 Layer=2 SHAPE=OBLONG W:1500 "
         "H:2400\r\n*SYMBOL 1 \"DIP16\"";
    for (int32_t p = 0; p < kPins; ++p) {
        const int32_t x = p < kPins / 2 ? 0 : 6 * kGrid;
        const int32_t y = -(p % (kPins / 2)) * 2 * kGrid;
        s += " " + std::to_string(p + 1) + " \"" + std::to_string(p + 1) + "\" [" +
             std::to_string(x) + ", " + std::to_string(y) + "] Thru=1";
    }
    s += "\r\n";
    for (int32_t i = 0; i < kParts; ++i)
        for (int32_t j = 0; j < kParts; ++j)
            s += "*COMP U" + std::to_string(i * kParts + j + 1) + " [" +
                 std::to_string(30000 + i * kPitchX) + ", " + std::to_string(60000 + j * kPitchY) +
                 "] Symbol=1\r\n";
    return s + "*END\r\n";
}

void OpenBoard(int32_t vias) {
    HeadlessReset();
    RouterTestReset();
    AltForget();
    DbFree();
    DbHeaderReset();
    DbInit();
    const std::string text = Board(vias);
    FileSpec spec;
    HeadlessMemoryFileSpec(text.data(), text.size(), "bench.asc", &spec);
    int32_t errors = 0;
    if (!AscReadDatabase(&spec, &errors) || errors) std::abort();
    DbExtent();
    Sweep* s = SweepSlot(DbHdr().sweep);
    s->box[0] = kMazeMaxNx;
    s->box[1] = kMazeMaxNy;
    UrAllocRecords();
    g_router.mazeNeeded = 1;
    const int32_t cx = 30000 + kParts * kPitchX / 2, cy = 60000 + kParts * kPitchY / 2;
    MapAreaCompute(cx, cy, cx, cy);
    if (!mzInit(1)) std::abort();
    ObjTableInit();
    // Pad entries, the pins of one part on one net.
    for (int32_t c = 1; c <= kParts * kParts; ++c)
        for (int32_t p = 1; p <= kPins; ++p)
            ObjAdd(kObjPad, kObjFlagMapped, c, p, 0);
    if (!MapAll()) std::abort();
}

void BM_ViaMapBlockAreas(benchmark::State& state) {
    OpenBoard(int32_t(state.range(0)));
    for (auto _ : state) {
        ViaMapClear();
        benchmark::DoNotOptimize(ViaMapBlockAreas());
    }
    RouterTestReset();
}
BENCHMARK(BM_ViaMapBlockAreas)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// One connection of a net that joins the 16 pins of the middle part by a
// chain of 15 connections; each attempt prepares its gap.
void BM_PrepConn(benchmark::State& state) {
    OpenBoard(1);
    while (NetCount() < 1)
        NetAdd();
    const int32_t comp = kParts * kParts / 2 + kParts / 2;
    int32_t first = 0;
    for (int32_t p = 1; p < kPins; ++p) {
        Conn c{};
        c.head.net = 1;
        c.head.fromComp = c.head.toComp = int16_t(comp);
        c.head.fromPin = int16_t(p);
        c.head.toPin = int16_t(p + 1);
        c.head.count = 2;
        PlacedPin a, b;
        CompPinXY(comp, p, &a);
        CompPinXY(comp, p + 1, &b);
        c.crn[0].x = a.x;
        c.crn[0].y = a.y;
        c.crn[1].x = b.x;
        c.crn[1].y = b.y;
        c.crn[0].width = 10;
        const int32_t n = ConnAdd();
        {
            DbTrustedScope trusted;
            ConnPut(n, &c);
        }
        ObjAdd(kObjConn, 0, n, 0, 1);
        if (!first) first = ObjCount();
    }
    if (!MapAll()) std::abort();
    MzGoal& g = *Goal();
    g.objIndex = int16_t(first);
    g.conn = ObjEntry(first)->index;
    auto* work = static_cast<Conn*>(std::malloc(sizeof(Conn)));
    g.crn1Index = 0;
    g.crn2Index = 1;
    if (!PrepConn(work)) std::abort();
    for (auto _ : state) {
        g.crn1Index = 0;
        g.crn2Index = 1;
        benchmark::DoNotOptimize(PrepConn(work));
    }
    std::free(work);
    RouterTestReset();
}
BENCHMARK(BM_PrepConn)->Unit(benchmark::kMicrosecond);

} // namespace
