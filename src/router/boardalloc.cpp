// BoardAlloc: the working records, the current sweep with the layers that
// take no part in routing switched off, the router flags of the sweep's
// passes, and the router memory. The busy cursor is shown for the whole
// set-up and the previous cursor comes back on every exit; a maze that
// cannot be built leaves the router closed.
#include "router/boardalloc.h"

#include "db/altjournal.h"
#include "db/layers.h"
#include "db/shellsvc.h"
#include "db/sweeps.h"
#include "router/costs.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/mzinit.h"
#include "router/passflags.h"
#include "router/uralloc.h"
#include "router/urmsg.h"
#include "router/urstate.h"

namespace {

enum : uint8_t { kRetryCostFull = 100 }; // a RETRY cost of 100 % allows no rip-up

const char kAreaTooLargeAlert[] = "Routing area too large for available RAM.";

// Switches the layers that take no part in routing off in CurSweep and
// notes a jumper layer; the sweep is stored and read back.
void SweepLayers() {
    Sweep& s = CurSweep();
    g_router.layerFlag8Present = 0;
    int32_t layers = LayerCount();
    if (layers > kMaxLayers) layers = kMaxLayers;
    for (int32_t l = 1; l <= layers; ++l) {
        const uint16_t flags = LayerRef(l)->flags;
        if (flags & kLayerJumper) g_router.layerFlag8Present = 1;
        if (flags & kLayerNotRoutable) s.enable[l] = 0;
    }
    SweepPut(&s);
    SweepGet(&s);
}

// The router flags from the sweep's enabled passes.
void PassFlagsScan() {
    const Sweep& s = CurSweep();
    const int32_t first = g_router.header.sweep == 0 ? kPassFirst : kPassFirst + 1;
    for (int32_t p = first; p <= kPassLast; ++p) {
        const uint16_t f = s.passFlags[p];
        if (!(f & kPassEnable)) continue;
        g_router.anyPassEnabled = 1;
        if (!(f & (kPassMaze | kPassReroute | kPassViaReduce))) continue;
        g_router.mazeNeeded = 1;
        if (s.retry[p] < kRetryCostFull && !(f & kPassFastRun)) {
            g_router.ripUpAllowed = 1;
            break;
        }
    }
}

int32_t Build() {
    UrAllocRecords();
    SweepLayers();
    Sweep& s = CurSweep();
    MzSetSize(s.box[0], s.box[1]);
    g_router.routeViewMaze = FrontAppWindow()->kind == kWindowRouteView ? 1 : 0;
    AltPush();
    AltPop(false);
    MzGoal* goal = Goal();
    goal->remainingCount = 0;
    goal->objIndex = 0;
    goal->conn = 0;
    g_router.anyPassEnabled = 0;
    g_router.mazeNeeded = 0;
    g_router.ripUpAllowed = 0;
    PassFlagsScan();
    if (s.usedLayers <= 0) {
        g_router.anyPassEnabled = 0;
        g_router.mazeNeeded = 0;
        g_router.ripUpAllowed = 0;
    }
    if (g_router.header.sweep == 0) {
        s.curPrimary = s.primary;
        SweepPut(&s);
    }
    if (g_router.fatMap) {
        g_router.mazeNeeded = 0;
        g_router.ripUpAllowed = 0;
    }
    if (!mzInit(g_router.routeViewMaze)) {
        g_router.anyPassEnabled = 0;
        UrClose();
        UrMsgNote(kMsgAreaTooLarge);
        AlertMessage(kAreaTooLargeAlert);
        return 0;
    }
    if (g_verbose) DebugPrint("BoardAlloc: mz initialized");
    PrepCost(kPassFirst);
    if (g_verbose) DebugPrint("BoardAlloc: Completed Initialization");
    return 1;
}

} // namespace

int32_t BoardAlloc() {
    const int32_t previous = SetCursorKind(kCursorBusy);
    const int32_t ok = Build();
    SetCursorKind(previous);
    return ok;
}
