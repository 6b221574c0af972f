// Complete connections: every segment routed and the component ends on
// their pins (an end of a component turned by an angle that is not a
// multiple of 90 degrees also counts as on its pin when both coordinates
// agree to the user unit, as the connection table itself accepts it). The
// level's changes compare each connection item's image before the level
// with its image in it; a connection created in the level was not complete
// before it, one deleted in it is not complete after it.
#include "router/completion.h"

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/geom.h"
#include "db/pool.h"
#include "db/symbols.h"

namespace {

bool EndOnPin(const Conn* r, int32_t end) {
    const ConnHead& h = r->head;
    const int32_t comp = end ? h.toComp : h.fromComp;
    if (comp == 0) return true; // a free end joins no pin
    if (comp < 0 || comp > CompCount()) return false;
    const Crn& c = r->crn[end ? h.count - 1 : 0];
    PlacedPin placed;
    SymPinGet(CompRef(comp), end ? h.toPin : h.fromPin, &placed);
    if (c.x == placed.x && c.y == placed.y) return true;
    const int32_t uu = DbHdr().userUnit;
    return CompRef(comp)->angle % kAngRight != 0 && uu > 0 && c.x / uu == placed.x / uu &&
           c.y / uu == placed.y / uu;
}

bool Counted(const Conn* r) {
    return !(r->head.flags & kConnNotSelected);
}

} // namespace

bool ConnComplete(const Conn* r) {
    const int32_t count = r->head.count;
    if (count < 2) return false;
    for (int32_t i = 0; i + 1 < count; ++i)
        if (r->crn[i].layer == 0) return false;
    return EndOnPin(r, 0) && EndOnPin(r, 1);
}

int32_t DesignCompleteCount() {
    int32_t complete = 0;
    for (int32_t c = 1; c <= ConnCount(); ++c) {
        const Conn* r = ConnRef(c);
        if (r && Counted(r) && ConnComplete(r)) ++complete;
    }
    return complete;
}

void LevelConnChanges(bool (*visit)(const LevelConnChange& change, void* context), void* context) {
    if (AltDepth() < 1) return;
    auto* before = static_cast<Conn*>(ScratchPush());
    auto* after = static_cast<Conn*>(ScratchPush());
    for (int32_t n = 1; n <= AltCount(); ++n) {
        AltItemHeader h;
        AltGet(n, &h, after);
        // An item this level did not write stands as it stood before it.
        if (h.type != kRecConn || h.level != AltDepth()) continue;
        LevelConnChange change{h.index, false, false, Counted(after)};
        AltItemHeader older;
        if (AltItemGet(n, &older, before) && older.type == kRecConn)
            change.completeBefore = Counted(before) && ConnComplete(before);
        change.completeAfter = !(h.flags & kAltDeleted) && ConnComplete(after);
        if (!visit(change, context)) break;
    }
    ScratchPop(after);
    ScratchPop(before);
}

int32_t LevelCompletionChange() {
    int32_t change = 0;
    LevelConnChanges(
        [](const LevelConnChange& c, void* context) {
            int32_t& sum = *static_cast<int32_t*>(context);
            const bool after = c.counted && c.completeAfter;
            sum += int32_t(after) - int32_t(c.completeBefore);
            return true;
        },
        &change);
    return change;
}
