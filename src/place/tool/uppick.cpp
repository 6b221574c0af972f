// Opening a selection: by click (UpPickAt) and by rectangle
// (UpPickInRect). A pick stores the components through a new journal
// level; the picked component carries item flag 0x04 and its nearest pin
// in spare word 1 (spare word 2 is the rotation's). Positions moved to the
// cursor carry their boxes along by the same offset.
#include <cstdint>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/geom.h"
#include "db/lang.h"
#include "db/names.h"
#include "db/symbols.h"
#include "place/plmodel.h"
#include "place/plpair.h"
#include "place/pltree.h"
#include "place/tool/placehost.h"
#include "place/tool/uppickrank.h"
#include "place/tool/uptool.h"
#include "router/objvalidate.h"

namespace {

// Skipped in the Route view when the router's objects are loaded and the
// box leaves its window.
bool OutsideRoute(const Component& c) {
    return UpRouteView() && UrObjValidate(1) && !UpInRouteWindow(c);
}

void MoveTo(Component* c, int32_t x, int32_t y) {
    PlCompShift(c, x - c->x, y - c->y);
}

// Stores the component at the current level with the item flag and the
// spare word, and draws it.
void StoreTaken(int32_t c, const Component& r, uint16_t flags, int16_t pin) {
    const int32_t id = AltPut(kRecComponent, c, 0, &r);
    AltItemHeader h;
    void* image = UpItem(id, &h);
    h.flags |= flags;
    if (flags) h.word1 = pin;
    AltItemPut(&h, image);
    PlHost().PaintAltLast();
}

int32_t NearestPin(const Component& r, int32_t x, int32_t y) {
    int32_t best = 0, bestDist = 0;
    const int32_t pins = r.symbol >= 1 ? SymPinCount(r.symbol) : 0;
    for (int32_t p = 1; p <= pins; ++p) {
        PlacedPin pin;
        SymPinGet(&r, p, &pin);
        const int32_t d = PtDist(pin.x, pin.y, x, y);
        if (best == 0 || d < bestDist) {
            best = p;
            bestDist = d;
        }
    }
    return best;
}

} // namespace

void UpPickRank::Offer(int32_t c, int32_t d, int32_t side, int32_t activeLayer) {
    if (onActive) return;
    bool take;
    if (side == activeLayer)
        take = onActive = true;
    else if (best == 0)
        take = true;
    else
        take = bestSide != 0 && d < bestDist;
    if (take) {
        best = c;
        bestDist = d;
        bestSide = side;
    }
}

bool UpBoxHit(const Component& r, int32_t x, int32_t y, int32_t* d) {
    if (x < r.minX || x > r.maxX || y < r.minY || y > r.maxY) return false;
    *d = PtDist(int32_t((int64_t(r.minX) + r.maxX) / 2), int32_t((int64_t(r.minY) + r.maxY) / 2), x,
                y);
    return true;
}

int32_t UpPickAt() {
    PlaceHost& host = PlHost();
    PlaceAppWindow& w = host.AppWindow();
    const int32_t qx = w.queryX, qy = w.queryY;
    g_up.selCount = 0;
    UpPickRank rank;
    Component r;
    for (int32_t c = 1; c <= CompCount(); ++c) {
        if (AltSave(kRecComponent, c, &r)) {
            ++g_up.selCount;
            continue;
        }
        if (rank.onActive || (r.flags & kUpCompUnplaced) || OutsideRoute(r)) continue;
        int32_t d = 0;
        if (r.compRef == c) {
            d = PtDist(r.x, r.y, qx, qy);
            if (d > r.value32) continue;
        } else if (r.compRef != 0 || !UpBoxHit(r, qx, qy, &d)) {
            continue;
        }
        rank.Offer(c, d, CompSideLayer(c, r), w.activeLayer);
    }
    const int32_t best = rank.best;
    if (best == 0) {
        host.MsgNote(LangString(kMsgNoNearby));
        return 0;
    }
    AltSave(kRecComponent, best, &r);
    char text[256];
    if (r.flags & kUpCompFixed) {
        UpFormat(text, sizeof text, kMsgCompFixed, NameText(r.name));
        host.AlertMessage(text);
        return 0;
    }
    bool overridden = false;
    if (r.flags & kUpCompLocked) {
        UpFormat(text, sizeof text, kMsgCompLocked, NameText(r.name));
        if (host.ConfirmMessage(text) != 1) return 0;
        overridden = true;
        r.flags &= uint16_t(~kUpCompLocked);
    }
    const int32_t pin = NearestPin(r, qx, qy);
    if (w.pinInfo)
        host.ObjectInfoPrint(0, kUpObjPin, best, pin, 0);
    else
        host.ObjectInfoPrint(0, kUpObjComp, best, w.ToolState == kToolComponent ? 0 : pin, 0);
    if (AltDepth() == 0) AltPush();
    const bool follow = w.ToolState == kToolComponent && w.FollowCursor;
    const bool master = r.compRef == best;
    if (follow) {
        if (master)
            MoveTo(&r, qx, qy);
        else
            MoveTo(&r, UpGridSnapDown(r.x, w.gridX), UpGridSnapDown(r.y, w.gridY));
    }
    StoreTaken(best, r, kUpItemMapped, int16_t(pin));
    if (master) {
        Component m;
        for (int32_t c = 1; c <= CompCount(); ++c) {
            if (c == best) continue;
            AltSave(kRecComponent, c, &m);
            if (m.compRef != best) continue;
            if ((m.flags & (kUpCompFixed | kUpCompLocked)) && !overridden) continue;
            m.flags &= uint16_t(~kUpCompLocked);
            if (follow) MoveTo(&m, qx, qy);
            StoreTaken(c, m, 0, 0);
        }
    }
    UpAfterPick();
    return 1;
}

int32_t UpPickInRect() {
    PlaceHost& host = PlHost();
    const PlaceAppWindow& w = host.AppWindow();
    if (AltDepth() > 0) {
        host.PaintOriginal();
        PlTreeFree();
        while (AltDepth() > 0)
            AltPop(false);
    }
    g_up.selCount = 0;
    AltPush();
    bool asked = false, yes = false;
    int32_t taken = 0;
    Component r;
    for (int32_t c = 1; c <= CompCount(); ++c) {
        AltSave(kRecComponent, c, &r);
        if (r.flags & (kUpCompFixed | kUpCompUnplaced)) continue;
        if (OutsideRoute(r)) continue;
        int32_t cx = r.x, cy = r.y;
        if (r.compRef == 0) {
            cx = int32_t((int64_t(r.minX) + r.maxX) / 2);
            cy = int32_t((int64_t(r.minY) + r.maxY) / 2);
        }
        if (cx < w.pickMinX || cx > w.pickMaxX || cy < w.pickMinY || cy > w.pickMaxY) continue;
        if (r.flags & kUpCompLocked) {
            if (!asked) {
                asked = true;
                yes = host.ConfirmMessage(LangString(kMsgCompsLocked)) == 1;
            }
            if (!yes) continue;
            r.flags &= uint16_t(~kUpCompLocked);
        }
        StoreTaken(c, r, kUpItemMapped, 0);
        ++taken;
    }
    if (taken == 0) {
        host.UBeep();
        PlTreeMapAlt(1);
        AltPop(false);
        return 0;
    }
    UpAfterPick();
    return 1;
}

void UpAfterPick() {
    PlaceHost& host = PlHost();
    const PlaceAppWindow& w = host.AppWindow();
    g_up.anchorX = g_up.lastX = w.queryX;
    g_up.anchorY = g_up.lastY = w.queryY;
    PlNetPinTableFree();
    UpMarkSelected();
    PairSelect(g_up.selected);
    host.SetCursorKind(3);
}
