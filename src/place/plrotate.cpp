// Rotation arithmetic of the placement tool. The pivot search reads every
// component item of the journal, so a selection of only unplaced or
// clustered parts still has a pivot inside the design.
#include "place/plrotate.h"

#include <algorithm>
#include <limits>

#include "db/altjournal.h"
#include "db/geom.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "place/plcompapply.h"
#include "place/plmodel.h"

namespace {

struct PinMin {
    int32_t x = std::numeric_limits<int32_t>::max();
    int32_t y = std::numeric_limits<int32_t>::max();
    bool any = false;
    void Add(int32_t px, int32_t py) {
        x = std::min(x, px);
        y = std::min(y, py);
        any = true;
    }
    void AddComp(const Component& r) {
        const int32_t pins = r.symbol >= 1 ? SymPinCount(r.symbol) : 0;
        if (pins < 1) Add(r.x, r.y);
        for (int32_t p = 1; p <= pins; ++p) {
            PlacedPin pin;
            SymPinGet(&r, p, &pin);
            Add(pin.x, pin.y);
        }
    }
};

} // namespace

void RotatePoint(int32_t x, int32_t y, int32_t angle, int32_t* ox, int32_t* oy) {
    *ox = x;
    *oy = y;
    PtRotateExact(0, 0, angle, ox, oy);
}

int32_t UpRotateAngle(int32_t a, int32_t step, int32_t grid) {
    if (step == 0) step = kPlRotateDefaultStep;
    int32_t n = AngNormalize(int32_t((int64_t(a) + step) % kAngFullTurn));
    if (grid > 1 && n % grid != 0) {
        const int64_t h = int64_t(n) + grid / 2;
        n = AngNormalize(int32_t((h - h % grid) % kAngFullTurn));
    }
    return n;
}

bool UpSelPinMin(int32_t* px, int32_t* py) {
    PinMin placed, all;
    AltItemHeader h;
    void* image = ScratchPush();
    for (int32_t n = 1; n <= AltCount(); ++n) {
        AltGet(n, &h, image);
        if (h.type != kRecComponent || (h.flags & kAltDeleted)) continue;
        const Component* r = static_cast<const Component*>(image);
        all.AddComp(*r);
        if (r->compRef == 0 && !(r->flags & kPlCompUnplaced)) placed.AddComp(*r);
    }
    ScratchPop(image);
    const PinMin& m = placed.any ? placed : all;
    *px = m.x;
    *py = m.y;
    return m.any;
}

void PlRotateComp(Component* r, int32_t px, int32_t py, int32_t step, int32_t grid) {
    r->angle = int16_t(UpRotateAngle(r->angle, step, grid));
    int32_t dx = int32_t(int64_t(r->x) - px), dy = int32_t(int64_t(r->y) - py);
    RotatePoint(dx, dy, UpRotateAngle(0, step, grid), &dx, &dy);
    r->x = int32_t(int64_t(px) + dx);
    r->y = int32_t(int64_t(py) + dy);
    CompPlaceApply(r);
}
