// The window-corner detour of the ranking: a gap whose two ends leave the
// routing window on sides that the window walk reaches from different
// directions is rerouted, unrouted, through the window corner the walk
// reaches next, so that each half is routed in a window of its own. The
// changed connection goes into the open journal level; nothing else is
// touched.
#include "db/altjournal.h"
#include "db/conns.h"
#include "router/mzgrid.h"
#include "router/rankroutes.h"
#include "router/urstate.h"

namespace {

enum : int32_t {
    kSectors = 10,
    kDigitBase = 10,
    kStepWhole = 16, // the window covers the whole board: never a detour
    kStepDirBits = 0x1F,
    kStepXPlus = 8,
    kStepXMinus = 4,
    kStepYPlus = 2,
    kStepYMinus = 1,
};

// Detour table: [first end's sector][second end's sector]; the units and
// tens digits name window corners by their sector.
const uint8_t kDetour[kSectors][kSectors] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 1, 0, 3, 0, 7, 37},
    {0, 0, 0, 0, 1, 0, 3, 1, 0, 3}, {0, 0, 0, 0, 0, 0, 0, 19, 9, 0},
    {0, 0, 1, 1, 0, 0, 0, 0, 7, 7}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 3, 3, 0, 0, 0, 0, 9, 9, 0}, {0, 0, 1, 19, 0, 0, 9, 0, 0, 0},
    {0, 7, 0, 9, 7, 0, 9, 0, 0, 0}, {0, 37, 3, 0, 7, 0, 0, 0, 0, 0},
};

// The corner rules, first match wins: step directions, corner sector, and
// whether the corner lies at the high x and the high y end.
struct CornerRule {
    int32_t dirs;
    int32_t corner;
    bool highX, highY;
};
const CornerRule kRules[] = {
    {kStepXPlus | kStepYMinus, 9, true, false},
    {kStepXMinus | kStepYMinus, 7, false, false},
    {kStepXPlus | kStepYPlus, 3, true, true},
    {kStepXMinus | kStepYPlus, 1, false, true},
};

bool InTable(int32_t sector) {
    return sector >= 0 && sector < kSectors;
}

} // namespace

int32_t rankDetour(Conn* rec) {
    MzGoal& g = *Goal();
    const int32_t step = CurSweep().curPrimary & kStepDirBits;
    if (step == kStepWhole || !InTable(g.srcSector) || !InTable(g.dstSector)) return 0;
    const int32_t entry = kDetour[g.srcSector][g.dstSector];
    const int32_t d = entry % kDigitBase, t = entry / kDigitBase;
    if (d == 0 || g.srcLayer != 0 || g.dstLayer != 0) return 0;
    const CornerRule* rule = nullptr;
    for (const CornerRule& r : kRules)
        if ((step & r.dirs) == step && step != 0 && (r.corner == d || r.corner == t)) {
            rule = &r;
            break;
        }
    if (!rule) return 0;
    const int32_t mx = rule->highX ? 2 * g_mzGrid.nx - kMazeBorder : kMazeBorder;
    const int32_t my = rule->highY ? 2 * g_mzGrid.ny - kMazeBorder : kMazeBorder;
    const int32_t a = g.crn1Index, b = g.crn2Index;
    if (b - a > 1) CrnDelete(rec, a + 1, b - a - 1);
    CrnInsert(rec, a, 1);
    Crn& c = rec->crn[a + 1];
    c.x = MzWorldX(mx);
    c.y = MzWorldY(my);
    c.flags = 0;
    c.via = 0;
    c.layer = 0;
    rec->crn[a].layer = 0;
    AltPut(kRecConn, g.conn, 0, rec);
    return 1;
}
