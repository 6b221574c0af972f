// The placement job of the headless driver. Attempts and cooling come from
// pass slot 0 of the placement strategy when its attempts value is not 0,
// else 10 and 90; the options override; both are clamped into 0..100.
// The option bits are slot 0's state word.
#include "place/plbatch.h"

#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbextent.h"
#include "db/placestrat.h"
#include "db/symbols.h"
#include "place/plimprove.h"
#include "place/plmodel.h"
#include "place/plrandom.h"
#include "place/plreconnect.h"
#include "place/plrun.h"
#include "place/plscore.h"
#include "place/pltree.h"

namespace {

int32_t Clamp(int32_t v) {
    return v < 0 ? 0 : v > kPlBatchMaxValue ? kPlBatchMaxValue : v;
}

struct Spot {
    int32_t x, y, angle;
};

std::vector<Spot> Spots() {
    std::vector<Spot> s(size_t(CompCount()) + 1, Spot{});
    for (int32_t c = 1; c <= CompCount(); ++c) {
        const Component* r = PlCompRef(c);
        s[size_t(c)] = {r->x, r->y, r->angle};
    }
    return s;
}

bool Moved(const std::vector<Spot>& before, int32_t c) {
    const Component* r = PlCompRef(c);
    const Spot& s = before[size_t(c)];
    return r->x != s.x || r->y != s.y || r->angle != s.angle;
}

} // namespace

PlBatchScore PlBatchScoreOf(int32_t options) {
    PlBatchScore s{0, 0, 0, 0};
    if (!PlModelOpen(nullptr)) return s;
    PlSetRunOptions(options & kPlRunRecon ? kPlOptHalfPerimeter : 0);
    s.W = PlScoreWire();
    s.X = PlScoreOverlap();
    s.Y = PlScoreGroup();
    s.T = s.W + s.X + s.Y;
    PlSetRunOptions(0);
    PlModelFree();
    return s;
}

int32_t PlBatchOverlaps() {
    int32_t n = 0;
    PlTreeInit();
    for (int32_t c = 1; c <= CompCount(); ++c) {
        const Component* r = PlCompRef(c);
        if (r->compRef != 0 || (r->flags & kPlCompUnplaced)) continue;
        if (!PlTreeCheckComp(c, r)) ++n;
    }
    PlTreeFree();
    return n;
}

int32_t PlBatchPlace(const PlBatchOptions& options, PlBatchReport* report) {
    PlaceStrategy strat;
    PlaceStratGet(&strat);
    int32_t attempts = kPlBatchDefaultAttempts, cooling = kPlBatchDefaultCooling;
    if (strat.attempts[0] != 0) {
        attempts = strat.attempts[0];
        cooling = strat.iterations[0];
    }
    if (options.attempts != kPlBatchUnset) attempts = options.attempts;
    if (options.cooling != kPlBatchUnset) cooling = options.cooling;
    attempts = Clamp(attempts);
    cooling = Clamp(cooling);
    const int32_t bits = strat.states[0];
    PlRandomSeed(options.seed);
    // Footprint classification goes straight into the symbol summaries;
    // an aborted job puts them back with everything else.
    std::vector<SymbolInfo> summaries(size_t(SymCount()) + 1);
    for (int32_t s = 1; s <= SymCount(); ++s)
        SymInfoGet(s, &summaries[size_t(s)]);
    *report = PlBatchReport{};
    report->before = PlBatchScoreOf(bits);
    const std::vector<Spot> before = Spots();
    AltPush();
    bool done = PlRun(nullptr, int16_t(attempts), int16_t(cooling), bits) != 0;
    if (done) {
        PlImprove(nullptr);
        done = !g_plImprove.aborted;
    }
    PlModelFree();
    PlTreeFree();
    if (!done) {
        AltPop(false);
        for (int32_t s = 1; s <= SymCount(); ++s)
            SymPutRaw(s, &summaries[size_t(s)]);
        report->after = report->before;
        return 0;
    }
    reconnectMovedCompsIn(false);
    AltPop(true);
    DbExtent();
    report->after = PlBatchScoreOf(bits);
    for (int32_t c = 1; c <= CompCount(); ++c)
        report->moved += Moved(before, c);
    report->overlaps = PlBatchOverlaps();
    return 1;
}
