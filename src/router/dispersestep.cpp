// The route loop's side of the fan-out: one pad per idle step of a
// DISBURSE pass (the list built on the pass's first step, in a pool of its
// own that is closed whole), and the fan-out of one connection's first pin
// on demand from the routing window. Each pad's change is one journal level.
#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/lang.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/disperse.h"
#include "router/loopcommon.h"
#include "router/loopstate.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/routeloop.h"
#include "router/urstate.h"

namespace {

// The level's originals taken out of the object map and its changes put in.
void MapLevel() {
    MapAltOriginals(1);
    MapAltChanges(0);
}

} // namespace

int32_t disperseNextPad() {
    MzGoal& g = *Goal();
    SetCursorKind(kCursorBusy);
    if (g_loop.newPass) {
        if (g_verbose) DebugPrint("disperseNextPad: new pass");
        DisperseClose();
        g_loop.dispersePool = PoolOpen(kOwnerDispersePool);
        g_loop.disperseList = DisperseRank(g_loop.dispersePool);
        g.conn = g.objIndex = 0;
        g_loop.newPass = 0;
        return 1;
    }
    DisperseNode* node = g_loop.disperseList;
    if (!node) {
        if (g_verbose) DebugPrint("disperseNextPad: all done");
        return 0;
    }
    g_loop.disperseList = node->next;
    const int32_t entry = node->obj;
    if (g_verbose) DebugPrint("disperseNextPad: dispersing pad %d", int(entry));
    if (entry < 1 || entry > ObjCount() || ObjEntry(entry)->type != kObjPad)
        ErrReport(kErrLoopNotPad, entry);
    const int32_t comp = ObjEntry(entry)->index, pin = ObjEntry(entry)->link;
    AltPush();
    if (DispersePin(entry)) {
        DisperseError(comp, pin, 0);
        MapLevel();
    } else {
        DisperseError(comp, pin, 1);
    }
    ++g.attemptCount;
    --g.remainingCount;
    ExpectAlt(kErrLoopDepth, 1);
    LoopCommitShown();
    DbGetHeader(&g_router.header);
    return 1;
}

void disperseConn() {
    MzGoal& g = *Goal();
    if (g_verbose) DebugPrint("disperseConn: connIndex=%d", int(g.conn));
    Conn* c = g_router.connPath;
    ConnReadJournal(g.conn, c);
    const int32_t comp = c->head.fromComp, pin = c->head.fromPin;
    if (comp < 1 || comp > CompCount() || !CompPinIsSmt(comp, pin)) {
        AlertMessage(LangString(kMsgNotSmt));
        return;
    }
    const int32_t entry = ObjFindPad(comp, pin);
    if (!entry) {
        AlertMessage(LangString(kMsgPadOutside));
        return;
    }
    AltPush();
    if (DispersePin(entry)) {
        if (g_verbose) DebugPrint("disperseConn: PASSED");
        DisperseError(comp, pin, 0);
        if (LoopBoardShown()) PaintAlt();
        MapLevel();
        BroadcastCommand(kCmdChanged);
        AltPop(true);
    } else {
        if (g_verbose) DebugPrint("disperseConn: FAILED");
        MsgNote(LangString(kMsgCantDisperse));
        AltPop(false);
    }
}
