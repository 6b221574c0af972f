// Removal of violating copper: every loaded connection is counted in
// DrcMode 3 under Full Space, and the one with the most violations has its
// violating stretch cut to an unrouted gap, until no connection counts a
// violation. Only copper whose corners lie inside the routing window is
// ever cut; every change goes through the journal.
#include <algorithm>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/shellsvc.h"
#include "router/connnorm.h"
#include "router/installpath.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "rules/drcboard.h"
#include "rules/drcerror.h"
#include "rules/ruleadapt.h"

namespace {

enum : uint8_t {
    kCutSkipped = uint8_t(kObjFlagClean) | uint8_t(kObjFlagNoRoute) | uint8_t(kObjFlagHeld),
};

bool InWindow(const Crn& c) {
    const MzBox& w = g_mzGrid.window;
    return c.x >= w.minX && c.x <= w.maxX && c.y >= w.minY && c.y <= w.maxY;
}

bool Locked(const Crn& c) {
    return (c.flags & kCrnLocked) != 0;
}

// Segment i (corners i, i + 1) is tested: inside the window and not
// Locked at both ends.
bool Testable(const Conn* c, int32_t i) {
    const Crn &a = c->crn[i], &b = c->crn[i + 1];
    return InWindow(a) && InWindow(b) && !(Locked(a) && Locked(b));
}

bool SegmentFails(int32_t entry, const Conn* c, int32_t i) {
    return Testable(c, i) && !DrcCheckConn(entry, c, i, i + 1);
}

// The window split fits when every segment with exactly one end inside
// can take a corner.
bool SplitFits(const Conn* c) {
    int32_t crossing = 0;
    for (int32_t i = 0; i + 1 < c->head.count; ++i)
        if (InWindow(c->crn[i]) != InWindow(c->crn[i + 1])) ++crossing;
    return c->head.count + crossing <= kConnInsertLimit;
}

// Deletes the corner between any two consecutive gaps, until none is left.
void MergeGaps(Conn* c) {
    for (int32_t i = 0; i + 2 < c->head.count;) {
        if (c->crn[i].layer == 0 && c->crn[i + 1].layer == 0) {
            CrnDelete(c, i + 1, 1);
            i = 0;
        } else {
            ++i;
        }
    }
}

// The cut range c..d of the image; false when nothing is to be cut.
bool CutRange(int32_t entry, const Conn* rec, int32_t* cOut, int32_t* dOut) {
    const int32_t n = rec->head.count;
    int32_t c = -1;
    for (int32_t i = 0; i + 1 < n && c < 0; ++i)
        if (SegmentFails(entry, rec, i)) c = i;
    if (c < 0) return false;
    int32_t d = c;
    for (int32_t j = n - 1; j > c && d == c; --j)
        if (SegmentFails(entry, rec, j - 1)) d = j;
    if (d <= c) {
        if (c > 0 && !Locked(rec->crn[c]) && InWindow(rec->crn[c - 1])) --c;
        if (d < n - 1 && !Locked(rec->crn[d]) && InWindow(rec->crn[d + 1])) ++d;
        if (d <= c) return false;
    }
    // copper outside the window stays: the range ends before a corner
    // that leaves it
    for (int32_t j = c + 1; j <= d; ++j)
        if (!InWindow(rec->crn[j])) {
            d = std::max(j - 1, c + 1);
            break;
        }
    *cOut = c;
    *dOut = d;
    return true;
}

} // namespace

void DrcCutViolations(int32_t entry) {
    const MapObj o = *ObjEntry(entry);
    ScratchRecord<Conn> rec;
    ConnReadJournal(o.index, rec.get());
    const int32_t n0 = rec->head.count;
    if (n0 < 2) return;
    ConnMap(rec.get(), entry, 0, n0 - 1, 1);
    ScratchRecord<Conn> cut;
    ConnCopy(cut.get(), rec.get());
    if (SplitFits(cut.get())) ConnSplitAtWindow(cut.get(), 0);
    int32_t c = 0, d = 0;
    if (!CutRange(entry, cut.get(), &c, &d)) {
        ConnMap(rec.get(), entry, 0, n0 - 1, 0);
        return;
    }
    if (d - c - 1 > 0) CrnDelete(cut.get(), c + 1, d - c - 1);
    cut->crn[c].layer = 0;
    cut->crn[c].via = 0;
    cut->crn[c + 1].via = 0;
    MergeGaps(cut.get());
    ConnMap(cut.get(), entry, 0, cut->head.count - 1, 0);
    AltPut(kRecConn, o.index, 0, cut.get());
}

void DrcRemoveViolationsRules() {
    if (!ObjTableValid()) return;
    const bool ownLevel = AltDepth() == 0;
    if (ownLevel) AltPush();
    ScratchRecord<Conn> rec;
    DrcErrorCount = 0;
    ObjClearConnFlags(kObjFlagClean);
    const uint16_t savedFlags = MzFlags;
    MzFlags |= kMzFullSpace;
    for (;;) {
        int32_t worst = 0, most = 0;
        for (int32_t k = 1; k <= ObjCount(); ++k) {
            MapObj* o = ObjEntry(k);
            if (o->type != kObjConn || (o->flags & kCutSkipped)) continue;
            ConnReadJournal(o->index, rec.get());
            DrcErrorCount = 0;
            if (rec->head.count > 0) {
                DrcModeScope mode(kDrcCount);
                DrcCheckConn(k, rec.get(), 0, rec->head.count - 1);
            }
            if (DrcErrorCount == 0) {
                o->flags |= kObjFlagClean;
            } else if (DrcErrorCount > most) {
                most = DrcErrorCount;
                worst = k;
            }
        }
        if (worst == 0) break;
        DrcCutViolations(worst);
        ObjEntry(worst)->flags |= kObjFlagClean;
    }
    DrcMode = kDrcFail;
    MzFlags = savedFlags;
    if (ownLevel) {
        PaintAlt();
        BroadcastCommand(kCmdDesignChanged);
        AltPop(true);
    }
}
