// The start of the router benchmarks: a fresh, empty, valid design on a
// routing grid with every router module reset, and the routing window of
// the current sweep with the router's working records and map area.
#pragma once
#include <cstdint>

#include "db/altjournal.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/sweeps.h"
#include "headless/headless.h"
#include "router/maparea.h"
#include "router/urstate.h"

inline void BenchNewDesign(int32_t grid) {
    HeadlessReset();
    RouterTestReset();
    AltForget();
    DbFree();
    DbHeaderReset();
    DbHdr().routeGrid = grid;
    DbInit();
}

// A window of nx by ny grid points around the origin; the maze is active
// with mazeNeeded.
inline void BenchWindow(int32_t nx, int32_t ny, int16_t mazeNeeded) {
    Sweep* s = SweepSlot(DbHdr().sweep);
    s->box[0] = int16_t(nx);
    s->box[1] = int16_t(ny);
    UrAllocRecords();
    g_router.mazeNeeded = mazeNeeded;
    MapAreaCompute(0, 0, 0, 0);
}
