// Next Comp, Select Next and Finish Next (UpPickNext) and Select
// (UpPickNextAsk): the engine's ranking (PlNext) offers the candidates.
// UpPickNext takes one: its criteria and unplaced marks are committed
// first (a cluster member is detached and the rest of its cluster is made
// whole again in a second committed level), then it opens the selection
// and follows the cursor when it is unplaced, clustered or off the board;
// otherwise the window shows where it stands. UpPickNextAsk narrows the
// candidates with the criteria dialog and selects all of them. A
// component's box always moves with its position. A component without
// footprint is never off the board.
#include <cstdint>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/lang.h"
#include "db/names.h"
#include "db/symbols.h"
#include "place/plcompapply.h"
#include "place/plmodel.h"
#include "place/plnext.h"
#include "place/plpair.h"
#include "place/pltree.h"
#include "place/tool/placehost.h"
#include "place/tool/upcluster.h"
#include "place/tool/upnext.h"
#include "place/tool/uptool.h"

namespace {

int16_t g_candidates[kPlNextMax];

enum : uint16_t {
    kNextClearedFlags = kPlCompChosen | kPlCompUnplaced | kPlCompClusterMember,
};

void TraceSelected(int32_t c, const Component& r) {
    if (g_verbose) DebugPrint("UpPickNext: selected %s (%d)", NameText(r.name), c);
}

int32_t Rank() {
    if (g_verbose) DebugPrint("UpPickNext: calling PlNext");
    return PlNext(g_candidates, kPlNextMax);
}

// Whether the component is taken up by the cursor: unplaced, clustered,
// or with its box (recomputed as placing makes it) off the board.
bool Follows(const Component& r) {
    if ((r.flags & kPlCompUnplaced) || r.compRef != 0) return true;
    if (r.symbol < 1 || r.symbol > SymCount()) return false;
    Component applied = r;
    return CompPlaceApply(&applied) != 0;
}

void MoveTo(Component* r, int32_t x, int32_t y) {
    PlCompShift(r, x - r->x, y - r->y);
}

bool FollowsHere() {
    const PlaceAppWindow& w = PlHost().AppWindow();
    return w.ToolState == kToolComponent && w.FollowCursor;
}

// Drops an open selection: the originals repainted, the tree mapped back,
// every level rejected.
void DropSelection() {
    if (AltDepth() == 0) return;
    PlHost().PaintOriginal();
    PlTreeMapAlt(1);
    while (AltDepth() > 0)
        AltPop(false);
    g_up.selCount = 0;
    PlNetPinTableFree();
}

// The candidates when there are none left: a fresh round after the
// criteria dialog, when the user asks for one.
int32_t Recycle() {
    PlaceHost& host = PlHost();
    if (AltDepth() > 0) {
        host.AlertMessage(LangString(kMsgAllPlaced));
        return 0;
    }
    if (host.ConfirmMessage(LangString(kMsgAllPlacedRecycle)) != 1) return 0;
    host.SetCursorKind(2);
    if (upPickNextDialog() != 1) return 0;
    const int32_t n = Rank();
    if (n == 0) host.AlertMessage(LangString(kMsgNoneEligible));
    return n;
}

// c leaves its cluster (master m); the other members become a cluster of
// their own, each step in its own committed level.
void Detach(int32_t c, Component r) {
    PlaceHost& host = PlHost();
    const int32_t m = r.compRef;
    if (!PlTreeIsBuilt()) PlTreeInit();
    AltPush();
    r.compRef = 0;
    r.flags &= uint16_t(~(kNextClearedFlags));
    AltPut(kRecComponent, c, 0, &r);
    host.PaintAltLast();
    PlTreeMapAlt(0);
    AltPop(true);
    AltPush();
    int32_t members = 0;
    Component k;
    for (int32_t o = 1; o <= CompCount(); ++o) {
        if (o == c) continue;
        AltSave(kRecComponent, o, &k);
        if (k.compRef != m) continue;
        k.flags |= kPlCompClusterMember;
        AltPut(kRecComponent, o, 0, &k);
        ++members;
    }
    if (members == 0) {
        PlTreeMapAlt(1);
        AltPop(false);
        return;
    }
    recalcCluster();
    host.PaintAlt();
    PlTreeMapAlt(0);
    AltPop(true);
    g_up.selCount = 0;
    host.menuEnableCommand(kUpUndo, kMenuEnabled);
}

} // namespace

int32_t UpPickNext(int32_t command) {
    PlaceHost& host = PlHost();
    PlaceAppWindow& w = host.AppWindow();
    int32_t n = Rank();
    if (n == 0 && (n = Recycle()) == 0) return 0;
    const int32_t first = g_candidates[0];
    if (first < 0 || first > CompCount()) ErrReport(kErrUpNextIndex, first);
    const int32_t c = command == kUpSelectNext ? UpNextDialog(first, n, g_candidates) : first;
    if (c < 1) return 0;
    if (c > CompCount()) ErrReport(kErrUpNextIndex, c);
    DropSelection();

    Component r;
    AltSave(kRecComponent, c, &r);
    TraceSelected(c, r);
    host.ObjectInfoPrint(0, kUpObjComp, c, 0, 0);
    const bool follow = Follows(r);
    if (r.compRef == 0) {
        AltPush();
        r.flags &= uint16_t(~kNextClearedFlags);
        AltPut(kRecComponent, c, 0, &r);
        AltPop(true);
        host.menuEnableCommand(kUpUndo, kMenuEnabled);
        if (follow) PlNetPinTableFree();
    } else {
        Detach(c, r);
    }

    AltPush();
    AltSave(kRecComponent, c, &r);
    AltPut(kRecComponent, c, 0, &r);
    TraceSelected(c, r);
    g_up.selCount = 1;
    if (FollowsHere()) host.PaintAltLast();
    if (follow) {
        MoveTo(&r, w.queryX, w.queryY);
        AltPut(kRecComponent, c, 0, &r);
    } else {
        host.ShowTargetPoint(r.x, r.y);
    }
    UpAfterPick();
    return 1;
}

int32_t UpPickNextAsk() {
    PlaceHost& host = PlHost();
    PlaceAppWindow& w = host.AppWindow();
    if (g_verbose) DebugPrint("UpPickNext: calling PlNext");
    if (upPickNextDialog() != 1) return 0;
    const int32_t n = PlNext(g_candidates, kPlNextMax);
    if (n == 0) {
        host.AlertMessage(LangString(kMsgNoneEligible));
        return 0;
    }
    if (AltDepth() != 0) ExpectAlt(kErrUpNextDepth, 0);
    AltPush();
    Component r;
    bool follow = true;
    for (int32_t i = 0; i < n && n >= 2 && follow; ++i) {
        const int32_t c = g_candidates[i];
        if (c < 1 || c > CompCount()) continue;
        AltSave(kRecComponent, c, &r);
        follow = Follows(r);
    }
    w.FollowCursor = follow ? 1 : 0;
    int32_t count = 0;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t c = g_candidates[i];
        if (c == 0) continue;
        if (c < 1 || c > CompCount()) ErrReport(kErrUpNextIndex, c);
        AltSave(kRecComponent, c, &r);
        if (r.flags & (kPlCompFixed | kPlCompLocked)) ErrReport(kErrUpNextFixed, c);
        const bool drawn = FollowsHere();
        if (drawn) MoveTo(&r, w.queryX, w.queryY);
        AltPut(kRecComponent, c, 0, &r);
        ++count;
        if (drawn) host.PaintAltLast();
    }
    g_up.selCount = int16_t(count);
    UpAfterPick();
    return 1;
}
