// PlMatrix and its tables. Goals and cells are kept in stable order so
// that equal keys stay in the order the journal's items were met (last
// item first). A goal is tested for legality as the placed component it
// would become (unplaced flag and cluster master cleared), so that an
// unplaced goal is not waved through.
#include "place/plmatrix.h"

#include <algorithm>
#include <cmath>

#include "db/altjournal.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "place/plmodel.h"
#include "place/pltree.h"

namespace {

// Position less the lowest pin coordinates (starting from the box's top
// right corner).
void GoalOffset(const Component& r, int32_t* ox, int32_t* oy) {
    int32_t lx = r.maxX, ly = r.maxY;
    const int32_t pins = r.symbol >= 1 ? SymPinCount(r.symbol) : 0;
    for (int32_t p = 1; p <= pins; ++p) {
        PlacedPin pin;
        SymPinGet(&r, p, &pin);
        lx = std::min(lx, pin.x);
        ly = std::min(ly, pin.y);
    }
    *ox = r.x - lx;
    *oy = r.y - ly;
}

PlGoal GoalOf(int32_t c, int32_t item, const Component& r) {
    PlGoal g{};
    g.comp = int16_t(c);
    g.item = int16_t(item);
    GoalOffset(r, &g.offX, &g.offY);
    const int32_t pins = r.symbol >= 1 ? SymPinCount(r.symbol) : 0;
    g.key = float(double(pins) + (double(r.maxX) - r.minX) * (double(r.maxY) - r.minY));
    return g;
}

// The real lines of one axis: the point coordinates less trailing filler.
std::vector<int32_t> Lines(const Obstacle& m, bool xs) {
    std::vector<int32_t> v;
    for (int32_t i = 0; i < m.head.count; ++i)
        v.push_back(xs ? m.pt[i].x : m.pt[i].y);
    while (!v.empty() && v.back() == kPlMatrixFiller)
        v.pop_back();
    return v;
}

// The goal's component moved so that its lowest pins meet the corner
// (a fixed one stays), placed and without cluster master.
Component Placed(const PlGoal& g, int32_t x, int32_t y) {
    Component r;
    AltSave(kRecComponent, g.comp, &r);
    if (!(r.flags & kPlCompFixed))
        PlCompShift(&r, int32_t(int64_t(x) + g.offX - r.x), int32_t(int64_t(y) + g.offY - r.y));
    r.flags &= uint16_t(~kPlCompUnplaced);
    r.compRef = 0;
    return r;
}

void Take(const PlGoal& g, const Component& r) {
    AltPut(kRecComponent, g.comp, 0, &r);
    PlTreeAdd(kRecComponent, g.comp, &r, 0);
}

} // namespace

void PlMatrixCells(const Obstacle* matrix, std::vector<PlCell>* out) {
    const std::vector<int32_t> xs = Lines(*matrix, true), ys = Lines(*matrix, false);
    if (xs.size() < 2 || ys.size() < 2) return;
    const double cx = double((int64_t(xs.front()) + xs.back()) / 2);
    const double cy = double((int64_t(ys.front()) + ys.back()) / 2);
    for (size_t k = 0; k + 1 < xs.size(); ++k)
        for (size_t e = 0; e + 1 < ys.size(); ++e) {
            const double area = (double(ys[e + 1]) - ys[e]) * (double(xs[k + 1]) - xs[k]);
            const double dist = std::hypot(double(xs[k]) - cx, double(ys[e]) - cy);
            out->push_back({xs[k], ys[e], float(area - dist)});
        }
}

void initGoalTable(PlMatrixTables* t) {
    t->goals.clear();
    t->cells.clear();
    void* image = ScratchPush();
    AltItemHeader h;
    const int32_t depth = AltDepth();
    for (int32_t n = AltCount(); n >= 1; --n) {
        AltGet(n, &h, image);
        if (h.level != depth || (h.flags & kAltDeleted)) continue;
        if (h.type == kRecComponent) {
            const Component* r = static_cast<const Component*>(image);
            t->goals.push_back(GoalOf(h.index, h.id, *r));
            PlTreeAdd(kRecComponent, h.index, r, 1);
        } else if (h.type == kRecObstacle) {
            const Obstacle* o = static_cast<const Obstacle*>(image);
            if (o->head.kind == kObsMatrix) PlMatrixCells(o, &t->cells);
        }
    }
    ScratchPop(image);
    std::stable_sort(t->goals.begin(), t->goals.end(),
                     [](const PlGoal& a, const PlGoal& b) { return a.key > b.key; });
    std::stable_sort(t->cells.begin(), t->cells.end(),
                     [](const PlCell& a, const PlCell& b) { return a.key > b.key; });
    if (g_verbose) DebugPrint("initGoalTable: %d components selected", int32_t(t->goals.size()));
}

void PlMatrix(int32_t fill) {
    if (g_verbose) DebugPrint("PlMatrix: starting");
    PlTreeInit();
    const int32_t pool = PoolOpen(kErrPlMatrixPool);
    PlMatrixTables t;
    initGoalTable(&t);
    std::vector<PlGoal>& goals = t.goals;
    for (const PlCell& cell : t.cells) {
        if (goals.empty()) break;
        for (size_t k = 0; k < goals.size(); ++k) {
            const Component r = Placed(goals[k], cell.x, cell.y);
            if (fill == 0 && !PlTreeCheckComp(goals[k].comp, &r)) continue;
            Take(goals[k], r);
            goals.erase(goals.begin() + std::ptrdiff_t(k));
            break;
        }
    }
    if (!t.cells.empty() && !goals.empty()) {
        const int16_t master = goals.front().comp;
        for (const PlGoal& g : goals) {
            Component r = Placed(g, t.cells.front().x, t.cells.front().y);
            r.compRef = master;
            Take(g, r);
        }
    } else {
        // Nothing placed: the goals go back into the tree as they were.
        for (const PlGoal& g : goals)
            PlTreeAdd(kRecComponent, g.comp, PlCompRef(g.comp), 0);
    }
    PoolClose(pool);
    if (g_verbose) DebugPrint("PlMatrix: done");
}
