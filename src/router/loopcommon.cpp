// Shared steps of the route loop. Nothing here allocates; the gap is mapped
// back only while the object table knows the connection.
#include "router/loopcommon.h"

#include "db/altjournal.h"
#include "db/runopt.h"
#include "db/shellsvc.h"
#include "router/completion.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/routeloop.h"
#include "router/urstate.h"

uint16_t LoopPassFlags() {
    const MzGoal& g = *Goal();
    return g.pass >= 0 && g.pass <= 4 ? CurSweep().passFlags[g.pass] : 0;
}

bool LoopBoardShown() {
    return FrontAppWindow()->boardShown != 0;
}

void LoopSetQuiet(bool on) {
    if (g_runOptions) g_runOptions[kRunOptQuiet] = on ? 1 : 0;
}

void LoopRereadGap() {
    MzGoal& g = *Goal();
    Conn* path = g_router.connPath;
    ConnReadJournal(g.conn, path);
    DrawBoardObject(path, 1, g.crn1Index, g.crn2Index, 0);
    const int32_t e = g.objIndex;
    if (ObjTableValid() && e >= ObjFirstConn() && e <= ObjLastConn() &&
        ObjEntry(e)->type == kObjConn)
        ConnMap(path, e, g.crn1Index, g.crn2Index, 0);
}

void LoopCommitShown() {
    if (MzGoal* g = Goal()) g->routedCount = int16_t(g->routedCount + LevelCompletionChange());
    if (LoopBoardShown()) PaintAlt();
    BroadcastCommand(kCmdChanged);
    AltPop(true);
}
