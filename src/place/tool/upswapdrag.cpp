// The one-component swap: the possible partners of the selected component
// are shown, swapDrag takes over the hook and waits, and a button up over
// a partner exchanges the two and commits. A click beside every component
// beeps and the tool keeps waiting. An abort or finish erases the choices
// and hands the window's abort to the tool's own hook, so the selection's
// level is rejected and no hook is left behind.
#include <memory>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/lang.h"
#include "db/names.h"
#include "place/plpair.h"
#include "place/pltree.h"
#include "place/tool/placehost.h"
#include "place/tool/uppickrank.h"
#include "place/tool/uptool.h"

namespace {

// The first component entry of the journal (the selected component).
int32_t SwapSelected() {
    const int32_t n = AltFindType(kRecComponent);
    if (n == 0) return 0;
    AltItemHeader h;
    UpItem(n, &h);
    return h.index;
}

} // namespace

void drawAllSwapChoices(int32_t a, int32_t mode) {
    PlaceHost& host = PlHost();
    AltPush();
    Component ra, r;
    AltSave(kRecComponent, a, &ra);
    auto lines = std::make_unique<PlPairTable>();
    int32_t found = 0;
    for (int32_t c = 1; c <= CompCount(); ++c) {
        AltSave(kRecComponent, c, &r);
        if ((r.flags & (kUpCompFixed | kUpCompLocked)) || r.symbol != ra.symbol ||
            r.angle != ra.angle)
            continue;
        AltPut(kRecComponent, c, 0, &r);
        PlPairsOfComp(c, lines.get(), 1);
        host.DrawRatLines(lines.get(), mode);
        ++found;
    }
    host.RatLinesFree();
    if (!UpPlaceView()) UpTouchSelConns();
    UpReconnectMoved();
    host.DrawAlt(mode);
    PlTreeMapAlt(1);
    AltPop(false);
    g_up.selCount = 0;
    if (g_verbose) DebugPrint("drawAllSwapChoices: %d choices found", found);
}

int32_t pickSwap(int32_t* partner) {
    PlaceHost& host = PlHost();
    const PlaceAppWindow& w = host.AppWindow();
    UpPickRank rank;
    Component r;
    for (int32_t c = 1; c <= CompCount() && !rank.onActive; ++c) {
        AltSave(kRecComponent, c, &r);
        int32_t d;
        if (r.compRef != 0 || !UpBoxHit(r, w.queryX, w.queryY, &d)) continue;
        rank.Offer(c, d, CompSideLayer(c, r), w.activeLayer);
    }
    if (rank.best == 0) {
        host.UBeep();
        return 0;
    }
    AltSave(kRecComponent, rank.best, &r);
    char text[256];
    if (r.flags & kUpCompFixed) {
        UpFormat(text, sizeof text, kMsgPartnerFixed, NameText(r.name));
        host.AlertMessage(text);
        return 0;
    }
    if (r.flags & kUpCompLocked) {
        UpFormat(text, sizeof text, kMsgPartnerLocked, NameText(r.name));
        if (host.ConfirmMessage(text) != 1) return 0;
    }
    if (g_verbose) DebugPrint("pickSwap:  Swap with %s", NameText(r.name));
    *partner = rank.best;
    return 1;
}

int32_t swapDrag(int32_t command) {
    PlaceHost& host = PlHost();
    PlaceAppWindow& w = host.AppWindow();
    switch (command) {
    case kUpInstall:
        host.SetToolEventHook(&swapDrag);
        w.FollowCursor = 0;
        host.MsgPromptId(kMsgSelectSwapPartner);
        return 1;
    case kUpTrack:
        host.SetCursorKind(0);
        return 1;
    case kUpButtonUp: {
        if (g_verbose) DebugPrint("swapDrag: IDM_SELECT.");
        if (AltDepth() != 1) ExpectAlt(kErrUpSwapDepth, 1);
        const int32_t a = SwapSelected();
        int32_t b = 0;
        if (!pickSwap(&b)) return 1; // the tool keeps waiting
        drawAllSwapChoices(a, kUpDrawCommitted);
        host.PaintAltLast();
        if (g_verbose) DebugPrint("swapDrag: Ready to call doSwap.");
        doSwap(a, b);
        AltPush();
        UpRedraw();
        host.SetCursorKind(2);
        return 1;
    }
    case kUpAbort:
    case kUpFinish:
        if (AltDepth() != 1) ExpectAlt(kErrUpSwapDepth, 1);
        if (const int32_t a = SwapSelected()) drawAllSwapChoices(a, kUpDrawCommitted);
        w.FollowCursor = 1;
        // The window's abort must reach the tool's abort, which rejects the
        // selection's level and clears the hook.
        host.SetToolEventHook(&UpToolHook);
        host.windowCommand(kUpAbort);
        return 1;
    case kUpSwap:
    case kUpConnDisplay:
        host.MsgNote(LangString(kMsgSelectSwapPartner));
        return 1;
    default:
        return 0;
    }
}
