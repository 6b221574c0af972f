// PrepConn, PrepNet, PrepNetObjects and PrepPad. The net's other objects
// come from the object table's per-net entry list, never from a scan of the
// whole table; the list is copied first because preparing a pad may move
// an entry to another net. A free-node end (a negative end layer -p) is
// allowed when padstack p reaches some layer the net may use.
#include "router/prep.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "router/costs.h"
#include "router/goalends.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/padexit.h"
#include "router/urstate.h"

namespace {

enum : int32_t {
    kPrepNoMapNumber = 1616,
    kPrepNoLayersNumber = 1617,
    kPrepNotConnNumber = 1622,
    kPrepFirstNumber = 1642,
    kPrepNetNoMapNumber = 1553,
    kPrepNetNoLayersNumber = 1554,
    kConnMapAll = 1000, // ConnMap's last corner for a whole connection
    kQuarterTurn = 5400,
    kQuadrants = 4,
    kPadSingleShape = 1,
};

void (*s_exitListReset)() = nullptr;
std::vector<int16_t> s_netEntries; // PrepNetObjects' copy of the net's entries

bool Enabled(int32_t layer) {
    const LayerRec* r = LayerRecOf(layer);
    return r && r->enabled != 0;
}

// An end layer (0 any, -p a free node's padstack p) the net may use.
bool EndLayerAllowed(int32_t layer) {
    const MzGoal& g = *Goal();
    if (layer == 0) return true;
    if (layer > 0) return layer < int32_t(sizeof g.layerAllowed) && g.layerAllowed[layer];
    for (int32_t l = 1; l <= LayerCount() && l < int32_t(sizeof g.layerAllowed); ++l)
        if (g.layerAllowed[l] && PinOnLayer(0, -layer, l)) return true;
    return false;
}

void UserUnits(int32_t v, char* out, size_t size) {
    const int32_t u = std::max<int32_t>(DbHdr().userUnit, 1);
    std::snprintf(out, size, "%.3f", double(v) / double(u));
}

} // namespace

void PrepSetExitListReset(void (*reset)()) {
    s_exitListReset = reset;
}

int32_t PrepConn(Conn* work) {
    if (!MapReady()) ErrReport(kErrPrepNoMap, kPrepNoMapNumber);
    if (!g_layerRecs) ErrReport(kErrPrepNoLayers, kPrepNoLayersNumber);
    MzGoal& g = *Goal();
    const int32_t e = g.objIndex;
    if (e < 0 || e >= kObjEntries) ErrReport(kErrPrepConnRange, e);
    if (ObjEntry(e)->type != kObjConn) ErrReport(kErrPrepNotConn, kPrepNotConnNumber);
    if (e < ObjFirstConn() || e > ObjLastConn()) ErrReport(kErrPrepConnRange, e);
    if (g.conn < 1 || g.conn > ConnCount()) ErrReport(kErrPrepConnIndex, g.conn);
    ConnReadJournal(g.conn, work);
    if (g_verbose) ConnDump(work, "PrepConn", 1);
    if (!mzGoalEnds(work)) {
        if (g_verbose) DebugPrint("PrepConn: not in window");
        return 0;
    }
    PrepNet(work->head.net);
    const int32_t count = work->head.count;
    if (g.crn1Index < 0) ErrReport(kErrPrepFirst, kPrepFirstNumber);
    if (g.crn2Index < g.crn1Index + 1 || g.crn2Index > count - 1)
        ErrReport(kErrPrepLast, g.crn2Index);
    if (g_verbose) {
        char a[32], b[32], c[32], d[32];
        UserUnits(g.srcX, a, sizeof a);
        UserUnits(g.srcY, b, sizeof b);
        UserUnits(g.dstX, c, sizeof c);
        UserUnits(g.dstY, d, sizeof d);
        DebugPrint("PrepConn: obj#%d, conn#%d, corners %d-%d", int(e), int(g.conn),
                   int(g.crn1Index), int(g.crn2Index));
        DebugPrint("PrepConn: User_units [%s,%s] to [%s,%s]", a, b, c, d);
        DebugPrint("PrepConn: Clipped co-ords [%d,%d]L%d to [%d,%d]L%d", int(g.srcMzX),
                   int(g.srcMzY), int(g.srcLayer), int(g.dstMzX), int(g.dstMzY), int(g.dstLayer));
    }
    if (count == 2) {
        if (!EndLayerAllowed(g.srcLayer)) {
            if (g_verbose) DebugPrint("PrepConn: sourceLev not enabled");
            return 0;
        }
        if (!EndLayerAllowed(g.dstLayer)) {
            if (g_verbose) DebugPrint("PrepConn: targetLev not enabled");
            return 0;
        }
    }
    mzGoalBound();
    ConnMap(work, e, g.crn1Index, g.crn2Index, 0);
    ConnMap(work, e, g.crn1Index, g.crn2Index, 1);
    ConnMap(work, e, 0, g.crn1Index, 0);
    ConnMap(work, e, g.crn2Index, count - 1, 0);
    PrepPad(work->head.fromComp, work->head.fromPin);
    PrepPad(work->head.toComp, work->head.toPin);
    PrepNetObjects(ObjEntry(e)->net);
    if (s_exitListReset) s_exitListReset();
    return 1;
}

void PrepNet(int32_t net) {
    if (!MapReady()) ErrReport(kErrPrepNetNoMap, kPrepNetNoMapNumber);
    if (!g_layerRecs) ErrReport(kErrPrepNetNoLayers, kPrepNetNoLayersNumber);
    MzGoal& g = *Goal();
    const Net* n = net >= 1 && net <= NetCount() ? NetRef(net) : nullptr;
    std::fill(std::begin(g.layerAllowed), std::end(g.layerAllowed), uint8_t(0));
    for (int32_t l = 1; l <= LayerCount() && l < int32_t(sizeof g.layerAllowed); ++l)
        g.layerAllowed[l] = uint8_t(Enabled(l) && (!n || NetAllowsLayer(n, l)) ? 1 : 0);
    int32_t viaNet = 0;
    if (n && (n->flags & kNetAttr7)) {
        if (g_verbose)
            DebugPrint("PrepNet: NET_VIA_RESTRICT on net %s (%d)", NameText(n->name), int(net));
        viaNet = net;
    }
    if (g_viaTableNet != viaNet) PrepViaTable(viaNet);
}

void PrepNetObjects(int32_t net) {
    if (net < 1 || net > NetCount()) return;
    if (NetRef(net)->flags & kNetNoShare) return;
    int32_t count = 0;
    const int16_t* entries = ObjNetEntries(net, &count);
    s_netEntries.assign(entries, entries + count);
    const int32_t goalEntry = Goal()->objIndex;
    auto* scratch = ScratchPush();
    for (const int16_t e : s_netEntries) {
        const MapObj& o = *ObjEntry(e);
        if (o.net != net) continue;
        switch (o.type) {
        case kObjPad:
            PrepPad(o.index, o.link);
            break;
        case kObjConn: {
            if (e == goalEntry) break;
            auto* c = static_cast<Conn*>(scratch);
            ConnReadJournal(o.index, c);
            ConnMap(c, e, 0, kConnMapAll, 0);
            break;
        }
        case kObjObstacle: {
            auto* obs = static_cast<Obstacle*>(scratch);
            ObsPlaceOnComp(o.index, o.link, obs);
            ObsMap(e, obs, 0);
            break;
        }
        default:
            break;
        }
    }
    ScratchPop(scratch);
}

void PrepPad(int32_t comp, int32_t pin) {
    if (comp == 0) return;
    Component rec;
    CompReadJournal(comp, &rec);
    if (!padPrep(comp, pin, &rec)) return;
    PlacedPin p;
    SymPinGet(&rec, pin, &p);
    const int32_t g = g_mzGrid.g, nx2 = 2 * g_mzGrid.nx, ny2 = 2 * g_mzGrid.ny;
    int32_t cx, cy;
    if (!ShellGridDoubling()) {
        cx = int32_t((int64_t(p.x) + g / 2 - g_mzGrid.ox) / g * 2);
        cy = int32_t((int64_t(p.y) + g / 2 - g_mzGrid.oy) / g * 2);
    } else {
        const int32_t half = std::max(g / 2, 1);
        cx = int32_t((int64_t(p.x) + g / 4 - g_mzGrid.ox) / half);
        cy = int32_t((int64_t(p.y) + g / 4 - g_mzGrid.oy) / half);
    }
    if (cx < kMazeBorder || cx > nx2 - kMazeBorder || cy < kMazeBorder || cy > ny2 - kMazeBorder)
        return;
    for (int32_t l = 1; l <= LayerCount(); ++l) {
        if (!Enabled(l) || !LayerMazeIndex(l)) continue;
        ThruLayer block;
        PadstackGet(p.thru, l, &block);
        if (block.shapeCount != kPadSingleShape || block.shape[0].code == kPadUndef) continue;
        const int32_t mask = PadExitDirs(comp, pin, l, nullptr);
        const int32_t angle = AngNormalize(int32_t(block.rotation) + rec.angle);
        const int32_t q = angle / kQuarterTurn;
        const int32_t code = block.shape[0].code;
        if (code != kPadRound && code != kPadThermal && code != kPadAnnular &&
            angle % kQuarterTurn != 0)
            continue;
        const int32_t* e = block.shape[0].ext;
        auto ext = [&](int32_t k) { return e[(k - q + kQuadrants) % kQuadrants]; };
        const int32_t x1 = std::max(MzSnapXUp(p.x - ext(0)), 2);
        const int32_t x2 = std::min(MzSnapXDown(p.x + ext(2)), nx2 - 2);
        const int32_t y1 = std::max(MzSnapYUp(p.y - ext(1)), 2);
        const int32_t y2 = std::min(MzSnapYDown(p.y + ext(3)), ny2 - 2);
        if (!(x1 < x2 && y1 < y2)) continue;
        auto close = [&](int32_t x, int32_t y) {
            const int32_t v = MazeGet(x, y, l);
            if ((v & kCellLow6) == 0) MazeSet(x, y, l, (v & kCellMarks) | kCellRuleMark);
        };
        if (!(mask & kDirN))
            for (int32_t x = x1 + 1; x <= x2 - 1; ++x)
                close(x, cy + 1);
        if (!(mask & kDirS))
            for (int32_t x = x1 + 1; x <= x2 - 1; ++x)
                close(x, cy - 1);
        if (!(mask & kDirE))
            for (int32_t y = y1 + 1; y <= y2 - 1; ++y)
                close(cx + 1, y);
        if (!(mask & kDirW))
            for (int32_t y = y1 + 1; y <= y2 - 1; ++y)
                close(cx - 1, y);
    }
}
