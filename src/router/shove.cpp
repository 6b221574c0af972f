// The shove of a found path: via clearing, segment clearing, jumper
// clearing, then mapping and the journal put. The connection's object-table
// flags are restored and every scratch record is returned on every path;
// a failed shove keeps the path as it was given as a saved candidate of
// the nearest-approach record unless a rip-fail or hop re-route is running.
#include "router/shove.h"

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/connnorm.h"
#include "router/costs.h"
#include "router/gather.h"
#include "router/nearest.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/push.h"
#include "router/rulesvc.h"
#include "router/urstate.h"

ShoveState g_shove;

void ConnTranspose(Conn* record) {
    for (int32_t i = 0; i < record->head.count; ++i) {
        const int32_t x = record->crn[i].x; // corners are packed: no references
        record->crn[i].x = record->crn[i].y;
        record->crn[i].y = x;
    }
}

void ShoveAppendSeg(Conn* out, const Conn* source, int32_t i, bool unrouted) {
    if (out->head.count < 1 || out->head.count >= kConnMaxCorners) return;
    Crn& last = out->crn[out->head.count - 1];
    const Crn& from = source->crn[i];
    last.layer = unrouted ? 0 : from.layer;
    last.width = from.width;
    out->crn[out->head.count++] = source->crn[i + 1];
}

int32_t mzShovePath(Conn* path) {
    MzGoal& goal = *Goal();
    const int32_t entry = goal.objIndex;
    const bool hasEntry = entry >= 1 && entry <= ObjCount();
    if (g_verbose) ConnDump(path, "Shove", 0);
    const uint8_t savedFlags = hasEntry ? ObjEntry(entry)->flags : 0;
    if (hasEntry) ObjEntry(entry)->flags |= kObjFlagPushed;

    auto* working = static_cast<Conn*>(ScratchPush());
    auto* given = static_cast<Conn*>(ScratchPush());
    ConnCopy(working, path);
    ConnCopy(given, path);
    g_shove.shoveFailed = 0;
    g_shove.jumpsAllowed = (MzFlags & kMzNoJump) ? 0 : 1;
    g_shove.word1 = g_shove.word2 = 0;
    bool keepNearest = !goal.ripFail && !goal.hopRouting;
    GatherSetShovePaths(given, nullptr);
    const int16_t jumpsBefore = g_pushOptions.jumpsEnabled;
    g_pushOptions.jumpsEnabled = int16_t(g_shove.jumpsAllowed);

    snipPathEnds(working);
    if (g_verbose) DebugPrint("mzShovePath: GridDoubled == %d", ShellGridDoubling() ? 1 : 0);
    if (!ClearAllVias(working)) {
        g_shove.shoveFailed = 1;
        keepNearest = false;
    }
    if (!(g_shove.shoveFailed && goal.forceFast) && !ClearSeg(working)) g_shove.shoveFailed = 1;
    if (g_router.layerFlag8Present && !g_shove.shoveFailed) {
        snipPathEnds(working);
        connReduce(working);
        if (!ClearAllJumpers(working)) g_shove.shoveFailed = 1;
    }
    if (!g_shove.shoveFailed) {
        snipPathEnds(working);
        connReduce(working);
        if (hasEntry) ConnMap(working, entry, 0, working->head.count - 1, 0);
        AltPut(kRecConn, goal.conn, 0, working);
    } else if (keepNearest) {
        NearestSave(ViaCost(0) + goal.totalCost, given);
    }

    GatherSetShovePaths(nullptr, nullptr);
    g_pushOptions.jumpsEnabled = jumpsBefore;
    if (hasEntry) ObjEntry(entry)->flags = savedFlags;
    ConnCopy(path, working);
    ScratchPop(given);
    ScratchPop(working);
    return g_shove.shoveFailed ? 0 : 1;
}
