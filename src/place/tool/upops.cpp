// Operations on the selection: Quick Place, Adjust, Rename, fixing and
// locking. Quick Place clamps the
// strategy's attempts and cooling into 0..100 (slot 0 is not checked when stored).
#include "db/altjournal.h"
#include "db/placestrat.h"
#include "place/plimprove.h"
#include "place/plmodel.h"
#include "place/plrename.h"
#include "place/plrun.h"
#include "place/pltree.h"
#include "place/tool/uptool.h"

namespace {
int16_t Clamp100(int32_t v) {
    return int16_t(v < 0 ? 0 : v > kPlCoolingMaxPercent ? kPlCoolingMaxPercent : v);
}
} // namespace

int32_t UpQuickPlace() {
    UpMarkSelected();
    PlaceStrategy s;
    PlaceStratGet(&s);
    const int32_t done =
        PlRun(g_up.selected, Clamp100(s.attempts[0]), Clamp100(s.iterations[0]), s.states[0]);
    PlModelFree();
    PlTreeFree();
    return done;
}

int32_t UpAdjust() {
    UpMarkSelected();
    PlImprove(g_up.selected);
    PlModelFree();
    PlTreeFree();
    return 1;
}

int32_t UpRenameComps() {
    UpMarkSelected();
    PlaceStrategy s;
    PlaceStratGet(&s);
    PlRenameComps(s.byte136, s.byte137, g_up.selected);
    return 1;
}

void UpSetCompFlag(int32_t command) {
    uint16_t bit;
    if (command == kUpFix)
        bit = kUpCompFixed;
    else if (command == kUpLock)
        bit = kUpCompLocked;
    else
        ErrReport(kErrUpFlagCommand, command);
    AltItemHeader h;
    for (int32_t n = 1; n <= AltCount(); ++n) {
        Component r = *static_cast<const Component*>(UpItem(n, &h));
        if (h.type != kRecComponent) continue;
        r.flags |= bit;
        AltPut(kRecComponent, h.index, h.key, &r);
    }
}
