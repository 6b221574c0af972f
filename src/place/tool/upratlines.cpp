// The Place view's pair lines of all nets: every component counts as
// selected, the pair tables are rebuilt and re-paired, and each component
// that is not a cluster member has its pair lines drawn (those whose first
// end is its own). The lines of a
// cluster start on a circle of half its radius, spread evenly around it,
// so that they do not all leave one point. Each call toggles whether the
// lines are shown.
#include <memory>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/geom.h"
#include "place/plpair.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"

void UpRatLines(int32_t mode) {
    PlaceHost& host = PlHost();
    UpMarkSelected();
    for (int32_t c = 1; c <= g_up.capacity; ++c)
        g_up.selected[c] = 1;
    PlNetPinTable();
    PairSelect(g_up.selected);
    PairUpdate();
    auto lines = std::make_unique<PlPairTable>();
    for (int32_t c = 1; c <= CompCount(); ++c) {
        const Component& r = *static_cast<const Component*>(AltRef(kRecComponent, c));
        if (r.compRef != 0 && r.compRef != c) continue;
        const int32_t n = PlPairsOfComp(c, lines.get(), 0);
        if (n == 0) continue;
        const int32_t half = r.value32 / 2;
        if (r.value32 > 0)
            for (int32_t k = 1; k <= n; ++k) {
                const int32_t angle = int32_t(int64_t(k) * kAngFullTurn / n);
                PlPairEntry& e = lines->entry[k - 1];
                e.x1 += int32_t(double(half) * AngSin(angle));
                e.y1 += int32_t(double(half) * AngCos(angle));
            }
        host.DrawRatLines(lines.get(), mode);
    }
    host.RatLinesFree();
    g_up.pairShown = int16_t(!g_up.pairShown);
}
