// The checks of the current journal level: its components' pads and its
// connections, newest item first. Items created or deleted in the level,
// and records other than components and connections (nets, markers,
// obstacles, texts, attributes), are passed over.
#include <algorithm>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/shellsvc.h"
#include "router/installpath.h"
#include "router/objtable.h"
#include "router/passflags.h"
#include "router/urstate.h"
#include "rules/changedstretch.h"
#include "rules/drcboard.h"
#include "rules/ruleadapt.h"

namespace {

enum : uint16_t {
    kAltSkipped = kAltCreated | kAltDeleted,
};

// The changed stretch of the image against the table's record; the whole
// image when the record is not in the table. False when nothing changed.
bool StretchOf(int32_t index, const Conn* image, int32_t* first, int32_t* last) {
    if (index < 1 || index > ConnCount()) {
        *first = 0;
        *last = image->head.count - 1;
        return true;
    }
    return ChangedStretch(image, ConnRef(index), first, last);
}

int32_t GoalEntry() {
    const MzGoal* g = Goal();
    return g ? g->objIndex : 0;
}

// Fast Altcheck on during a FAST pass: no whole re-check.
bool SkipWholeRecheck() {
    const MzGoal* g = Goal();
    if (!g || !(MzFlags2 & kMz2FastAltcheck)) return false;
    const uint16_t flags = CurSweep().passFlags[std::clamp<int32_t>(g->pass, 0, kPassLast)];
    return (flags & kPassFastRun) != 0;
}

// One walk over the level. Flags, whole re-checks and going on after a
// failure belong to DrcCheckAlt's walk only.
int32_t Walk(int32_t whole, bool full) {
    ScratchRecord<Conn> rec;
    int32_t result = 1;
    for (int32_t n = AltCount(); n >= 1; --n) {
        AltItemHeader h;
        AltGet(n, &h, rec.get());
        if (h.flags & kAltSkipped) continue;
        if (h.type == kRecComponent) {
            if (!DrcCheckCompPads(h.index, reinterpret_cast<const Component*>(rec.get()))) {
                if (!full) return 0;
                result = 0;
            }
            continue;
        }
        if (h.type != kRecConn) continue;
        const Conn* c = rec.get();
        const int32_t count = c->head.count;
        if (count < 1) continue;
        int32_t first = 0, last = count - 1;
        if (!(full && whole) && !StretchOf(h.index, c, &first, &last)) continue;
        const int32_t entry = ObjFindConn(h.index);
        if (!DrcCheckConn(entry, c, first, last)) {
            if (!full) return 0;
            result = 0;
            if (entry && entry != GoalEntry()) ObjEntry(entry)->flags |= kObjFlagFailedAlt;
            continue;
        }
        if (!full || whole || SkipWholeRecheck()) continue;
        if ((first != 0 || last != count - 1) && !DrcCheckConn(entry, c, 0, count - 1)) result = 0;
    }
    return result;
}

} // namespace

int32_t DrcCheckAltRules(int32_t whole) {
    DrcModeScope mode(kDrcMarkMaze);
    const int32_t result = Walk(whole, true);
    return result;
}

int32_t DrcCheckAltAll(int32_t whole) {
    DrcModeScope mode(kDrcFail);
    return Walk(whole, false);
}
