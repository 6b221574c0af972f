// The goal's hop table: at most three blocking connections (their ObjTable
// entries) with the first corner of each one's blocking segment, entered by
// the pushes and consumed by the rip-up and re-route of the installation.
// A connection is entered once. While a ripped hop is being re-routed the
// table takes nothing: that re-route's hops would be dropped with its goal
// record and never re-routed, leaving a connection (often the one whose
// installation ripped the hop) with a gap behind an installation that
// reports it routed. The push that wanted the hop fails instead, and so
// does the re-route's try.
#include "db/conns.h"
#include "db/err.h"
#include "router/pushwork.h"
#include "router/urstate.h"

int32_t addToHopTable(int32_t crn) {
    MzGoal* g = Goal();
    const PushTable* t = PushCurrent();
    if (!g || !t) return 0;
    if (g->hopRouting) return 0; // a re-route takes no hops of its own
    for (int32_t h = 1; h <= g->hopCount && h <= kHopMax; ++h)
        if (g->hopObj[h] == t->entry) return 1;
    if (g->hopCount >= kHopMax) return 0;
    if (g_verbose) ConnDump(&t->work, "addToHopTable", 0);
    ++g->hopCount;
    g->hopObj[g->hopCount] = t->entry;
    g->hopCrn[g->hopCount] = int16_t(crn);
    return 1;
}
