// Shared steps of the route loop. Nothing here allocates; the gap is mapped
// back only while the object table knows the connection.
#include "router/loopcommon.h"

#include <cstdio>

#include "db/altjournal.h"
#include "db/dblog.h"
#include "db/runopt.h"
#include "db/shellsvc.h"
#include "router/completion.h"
#include "router/loopstate.h"
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

bool LoopGivenUp(int32_t conn) {
    for (int32_t i = 0; i < g_loop.givenUpCount; ++i)
        if (g_loop.givenUp[i] == conn) return true;
    return false;
}

bool LoopGiveUpAdd(int32_t conn) {
    if (LoopGivenUp(conn)) return true;
    if (g_loop.givenUpCount >= kGivenUpMax) return false;
    g_loop.givenUp[g_loop.givenUpCount++] = int16_t(conn);
    return true;
}

void LoopGivenUpClear() {
    g_loop.givenUpCount = 0;
}

void LoopLogGiveUp(int32_t conn, ErrCode code, int32_t number, bool hasNumber) {
    char detail[32] = "", error[96], line[160];
    if (hasNumber) ErrDetailText(number, detail, sizeof detail);
    ErrFormatText(code, detail, error, sizeof error);
    if (conn > 0)
        std::snprintf(line, sizeof line, "Connection %d given up: %s", int(conn), error);
    else
        std::snprintf(line, sizeof line, "Window given up: %s", error);
    LogWrite(line);
}
