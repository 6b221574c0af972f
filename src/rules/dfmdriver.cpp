// The DFM clean-up driver: DFMClean runs the phases in their fixed order by
// the bits of DfmFlags, DFMForEachConn applies one worker to every loaded,
// unflagged connection of every net, and the commits keep a change only
// when the rule check of the changed records passes. Every call leaves the
// journal depth at 0 and the scratch stack as it found it; at the end of
// each run the Latched flags of every corner are cleared.
#include <cstring>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/nets.h"
#include "db/shellsvc.h"
#include "router/connnorm.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "rules/drcboard.h"
#include "rules/dfm.h"
#include "rules/ruleadapt.h"

int32_t lastTryFlag = 0;

namespace {

const DfmPhaseTable kRealPhases = {
    &DFMShareVias,     &dfmShareStep,   &dfmThreeCrn,
    &fourCrn,          &FiveCrn,        &dfmSelfAcutes,
    &dfmEliminate90,   &dfmMiter90,     &DFMClearSharedAcutes,
    &DFMCleanPadExits, &DrcCheckAltAll,
};

enum : int32_t { kDfmModeOptimise = 1, kDfmModeClean = 2 };

bool FlagSet(uint16_t bit) {
    return (DfmFlags & bit) != 0;
}

// One corner-minimising phase: repeated while it changes something.
void CornerPhase(int32_t passes, DfmWorker worker, const char* title) {
    for (int32_t run = 0; run < kDfmCornerRuns; ++run) {
        if (!FlagSet(kDfmExtraCorners)) return;
        if (!DFMForEachConn(passes, worker, kDfmModeOptimise, title)) return;
    }
}

// The rule check of a commit: every changed record's changed stretch in
// the resting mode, stopping at the first failure.
int32_t CheckAll() {
    return g_dfmPhases.checkAll(0);
}

int32_t CheckChanged() {
    return DrcCheckAlt(0);
}

int32_t Commit(int32_t conn, Conn* image, int32_t commit, bool reduce, int32_t (*check)()) {
    if (AltDepth() != 0) ErrReport(kErrDfmLevelOpen, AltDepth());
    AltPush();
    AltPut(kRecConn, conn, 0, image);
    if (!check()) {
        AltPop(false);
        return 0;
    }
    if (!commit) {
        AltPop(false);
        return 1;
    }
    if (reduce) {
        connReduce(image);
        AltPut(kRecConn, conn, 0, image);
    }
    MapAltOriginals(1);
    MapAltChanges(0);
    PaintAlt();
    AltPop(true);
    return 1;
}

void ClearLatched() {
    ScratchRecord<Conn> rec;
    for (int32_t n = 1; n <= ConnCount(); ++n) {
        if (!ConnGet(n, rec.get())) continue;
        bool cleared = false;
        for (int32_t i = 0; i < rec->head.count; ++i)
            if (rec->crn[i].flags & kCrnLatched) {
                rec->crn[i].flags = uint8_t(rec->crn[i].flags & ~kCrnLatched);
                cleared = true;
            }
        if (cleared) ConnPut(n, rec.get());
    }
}

} // namespace

DfmPhaseTable g_dfmPhases = kRealPhases;

const DfmPhaseTable& DfmPhasesReal() {
    return kRealPhases;
}

void DFMCleanRules() {
    UserAbortReset();
    (void)DbHdr();
    if (FlagSet(kDfmSkipAll)) return;
    const DfmPhaseTable& p = g_dfmPhases;
    if (FlagSet(kDfmShare)) DFMForEachConn(1, p.shareVias, kDfmModeOptimise, "Scrunching Vias..");
    if (FlagSet(kDfmPadExits)) {
        MsgResult("Cleaning pad exits");
        p.cleanPadExits();
    }
    if (FlagSet(kDfmShare))
        DFMForEachConn(1, p.shareStep, kDfmModeOptimise, "Optimizing copper share");
    CornerPhase(1, p.threeCrn, "Minimizing extra corners - phase 1");
    CornerPhase(1, p.fourCrn, "Minimizing extra corners - phase 2");
    CornerPhase(2, p.fiveCrn, "Minimizing extra corners - phase 3");
    if (FlagSet(kDfmAcutes))
        DFMForEachConn(1, p.selfAcutes, kDfmModeOptimise, "Clearing self acutes");
    if (FlagSet(kDfmShare)) DFMForEachConn(1, p.shareStep, kDfmModeClean, "Cleaning copper share");
    if (FlagSet(kDfmRightAngles))
        DFMForEachConn(1, p.eliminate90, kDfmModeOptimise, "Eliminating 90's");
    if (FlagSet(kDfmRightAngles)) DFMForEachConn(1, p.miter90, kDfmModeOptimise, "Mitering 90's");
    if (FlagSet(kDfmAcutes))
        DFMForEachConn(1, p.clearSharedAcutes, kDfmModeOptimise, "Vaporizing acute junctions");
    ClearLatched();
}

int32_t dfmConnUsable(int32_t conn) {
    if (!ObjFindConn(conn)) return 0;
    const Conn* c = static_cast<const Conn*>(AltRef(kRecConn, conn));
    if (!c || c->head.count < 2) return 0;
    return (c->head.flags & (kConnNotSelected | kConnNoShove | kConnNoRipup)) ? 0 : 1;
}

int32_t DFMForEachConn(int32_t passes, DfmWorker worker, int32_t mode, const char* title) {
    if (UserAbort()) return 0;
    if (!worker) ErrReport(kErrDfmWorker, 0);
    if (passes < 1 || passes > kDfmMaxPasses) ErrReport(kErrDfmPasses, passes);
    if (mode < 1 || mode > kDfmMaxMode) ErrReport(kErrDfmMode, mode);
    ScratchRecord<Conn> image;
    (void)DbHdr();
    MsgResult(title);
    int32_t any = 0;
    for (int32_t pass = 0; pass < passes; ++pass) {
        int32_t changedInPass = 0;
        for (int32_t net = 1; net <= NetCount(); ++net)
            for (int32_t c = NetConnFirst(net); c; c = NetConnNext(c)) {
                BusyFeedback(0);
                if (UserAbort()) return 0;
                if (!dfmConnUsable(c)) continue;
                const int32_t obj = ObjFindConn(c);
                lastTryFlag = 0;
                for (int32_t t = 0; t < kDfmWorkerTries; ++t) {
                    if (t == kDfmWorkerTries - 1) lastTryFlag = 1;
                    AltSave(kRecConn, c, image.get());
                    if (!worker(c, obj, image.get(), mode, 1)) break;
                    changedInPass = 1;
                }
                lastTryFlag = 0;
            }
        if (!changedInPass) break;
        any = 1;
    }
    return any;
}

int32_t dfmCommitConn(int32_t conn, int32_t, Conn* image, int32_t commit) {
    return Commit(conn, image, commit, true, &CheckAll);
}

int32_t dfmCommitConnNoReduce(int32_t conn, int32_t, Conn* image, int32_t commit) {
    return Commit(conn, image, commit, false, &CheckChanged);
}
