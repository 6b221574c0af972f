// Swap of the placement tool: two components exchange positions (each box
// moving with its component), or the swap improvement runs over the
// selection or the whole board with the strategy's pass-0 state word.
// Every branch that moves something commits its own level; a single
// selected component waits for its partner (swapDrag).
#include "db/altjournal.h"
#include "db/comps.h"
#include "db/names.h"
#include "db/placestrat.h"
#include "place/plmodel.h"
#include "place/plswap.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"

namespace {

// Runs the move, then opens a level and commits.
void SwapAndCommit(PlaceHost& host, void (*move)(const PlaceStrategy&), const PlaceStrategy& s) {
    host.SetCursorKind(1);
    UpEndTrack(kUpEndTrackNoDraw);
    move(s);
    AltPush();
    UpRedraw();
}

} // namespace

void doSwap(int32_t a, int32_t b) {
    if (a < 1) ErrReport(kErrUpSwapIndex, a);
    if (b < 1) ErrReport(kErrUpSwapIndex, b);
    Component ra, rb;
    AltSave(kRecComponent, a, &ra);
    AltSave(kRecComponent, b, &rb);
    if (g_verbose) DebugPrint("doSwap: %s with %s", NameText(ra.name), NameText(rb.name));
    const int32_t dx = rb.x - ra.x, dy = rb.y - ra.y;
    PlCompShift(&ra, dx, dy);
    PlCompShift(&rb, -dx, -dy);
    AltPut(kRecComponent, a, 0, &ra);
    AltPut(kRecComponent, b, 0, &rb);
}

void UpSwapPair() {
    int32_t pair[2] = {0, 0}, found = 0;
    AltItemHeader h;
    for (int32_t n = 1; n <= AltCount() && found < 2; ++n) {
        UpItem(n, &h);
        if (h.type == kRecComponent && !(h.flags & kAltDeleted)) pair[found++] = h.index;
    }
    doSwap(pair[0], pair[1]);
}

int32_t swapComp() {
    PlaceHost& host = PlHost();
    const int32_t count = g_up.selCount;
    if (g_verbose) DebugPrint("swapComp: DragCount = %d", count);
    PlaceStrategy s;
    PlaceStratGet(&s);
    if (count == 0) {
        host.UBeep();
        return 0;
    }
    if (count == 1) {
        if (g_verbose) DebugPrint("swapComp: Ready to install SwapDrag");
        UpEndTrack(kUpEndTrackNoDraw);
        AltItemHeader h;
        UpItem(AltFindType(kRecComponent), &h);
        drawAllSwapChoices(h.index, kUpDrawStill);
        host.SetCursorKind(0);
        swapDrag(kUpInstall);
        if (g_verbose) DebugPrint("swapComp: Installed SwapDrag");
        return 1;
    }
    if (count == CompCount()) {
        SwapAndCommit(
            host, [](const PlaceStrategy& st) { PlSwapImprove(nullptr, st.states[0]); }, s);
    } else if (count == 2) {
        SwapAndCommit(
            host, [](const PlaceStrategy&) { UpSwapPair(); }, s);
    } else {
        SwapAndCommit(
            host,
            [](const PlaceStrategy& st) {
                UpMarkSelected();
                PlSwapImprove(g_up.selected, st.states[0]);
            },
            s);
    }
    return 1;
}
