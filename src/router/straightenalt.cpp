// Straightening of the connections an installation changed: three passes
// over the open journal level's connection items, each on a scratch copy of
// the item's image. A connection that changed leaves the object map under
// its old image and enters it under the new one, with its widths repaired,
// and is put into the same level; an unchanged one is not touched. The
// no-straighten option leaves every connection as it is.
#include "db/altjournal.h"
#include "db/conns.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "router/connnorm.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/padexit.h"
#include "router/straighten.h"

namespace {

enum : int32_t { kPassForward = 1, kPassBackward = 2, kPassCorners = 3 };

int32_t StraightenItem(int32_t pass, int32_t entry, Conn* c) {
    switch (pass) {
    case kPassForward:
        return ViaPullBack(entry, 1, c) | adjustExits(entry, c) | StraightenConn(entry, c);
    case kPassBackward: {
        int32_t changed = ViaPullBack(entry, 1, c) | adjustExits(entry, c);
        ConnReverse(c);
        changed |= StraightenConn(entry, c);
        ConnReverse(c);
        return changed;
    }
    default:
        return ViaPullBack(entry, 0, c) | straightenCornerPass(entry, c) |
               straightenMitrePass(entry, c);
    }
}

// Item n of the level through one pass; the changed image is mapped and put.
void StraightenItemN(int32_t pass, int32_t n, Conn* before, Conn* after) {
    AltItemHeader h;
    AltGet(n, &h, before);
    if (h.type != kRecConn || (h.flags & kAltDeleted) || before->head.count < 2) return;
    const int32_t entry = ObjFindConn(h.index);
    if (!entry) return;
    ConnCopy(after, before);
    if (!StraightenItem(pass, entry, after)) return;
    ConnFixWidth(after, 1);
    ConnMap(before, entry, 0, before->head.count - 1, 1);
    ConnMap(after, entry, 0, after->head.count - 1, 0);
    AltPut(kRecConn, h.index, h.key, after);
}

} // namespace

int32_t straightenExitsAndConn(int32_t entry, Conn* record) {
    auto* copy = static_cast<Conn*>(ScratchPush());
    ConnCopy(copy, record);
    const int32_t changed = adjustExits(entry, copy) | StraightenConn(entry, copy);
    ConnCopy(record, copy);
    ScratchPop(copy);
    return changed;
}

int32_t StraightenAlt() {
    if (g_verbose) DebugPrint("StraightenAlt: starting");
    if (!(MzFlags & kNoStraighten)) {
        auto* before = static_cast<Conn*>(ScratchPush());
        auto* after = static_cast<Conn*>(ScratchPush());
        for (int32_t n = 1; n <= AltCount(); ++n)
            StraightenItemN(kPassForward, n, before, after);
        for (int32_t n = AltCount(); n >= 1; --n)
            StraightenItemN(kPassBackward, n, before, after);
        for (int32_t n = 1; n <= AltCount(); ++n)
            StraightenItemN(kPassCorners, n, before, after);
        ScratchPop(after);
        ScratchPop(before);
    }
    if (g_verbose) DebugPrint("StraightenAlt: done");
    return 1;
}
