// The object map following the journal: every changed component and
// connection (and, when undoing a level, obstacle) is unmapped from one
// image and mapped from another. Journalled obstacles are found by their
// object-table entry (type obstacle, that database index, placed on the
// owning component); one without an entry in the loaded window is skipped.
#include "db/altjournal.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "router/objmap.h"
#include "router/objtable.h"

namespace {

enum : ErrCode {
    kErrAltType = 2161050,
    kErrAltConnEntry = 2161051,
    kErrRestoreType = 2161052,
};

bool Ignored(int32_t type) {
    return type == kRecLayer || type == kRecNet || type == kRecBoardText || type == kRecAttribute ||
           type == kRecErrorMarker;
}

int32_t ConnEntry(int32_t index) {
    const int32_t e = ObjFindConn(index);
    if (e && (ObjEntry(e)->type != kObjConn || ObjEntry(e)->index != index))
        ErrReport(kErrAltConnEntry, e);
    return e;
}

// The obstacle entry of obstacle o placed on component comp (0 none).
int32_t ObsEntry(int32_t o, int32_t comp) {
    for (int32_t e = 2; e <= ObjCount(); ++e) {
        const MapObj& m = *ObjEntry(e);
        if (m.type == kObjObstacle && m.index == o && m.link == comp) return e;
    }
    return 0;
}

void MapImage(const AltItemHeader& h, void* record, int32_t unmap, bool restoring) {
    switch (h.type) {
    case kRecComponent:
        CompMap(h.index, static_cast<const Component*>(record), unmap);
        return;
    case kRecConn: {
        const auto* c = static_cast<const Conn*>(record);
        const int32_t e = ConnEntry(h.index);
        if (!e || c->head.count < 1) return;
        ConnMap(c, e, 0, c->head.count - 1, unmap);
        if (!unmap) ConnObjFlags(e, c);
        return;
    }
    case kRecObstacle:
        if (restoring) {
            auto* obs = static_cast<Obstacle*>(record);
            const int32_t comp = obs->head.owner < 0 ? -obs->head.owner : 0;
            const int32_t e = ObsEntry(h.index, comp);
            if (!e) return;
            if (comp) {
                Component rec;
                CompReadJournal(comp, &rec);
                ObsPlace(obs, rec.x, rec.y, rec.angle);
            }
            ObsMap(e, obs, unmap);
            return;
        }
        break;
    default:
        break;
    }
    if (restoring) {
        if (h.type != kRecNet && h.type != kRecBoardText && h.type != kRecAttribute)
            ErrReport(kErrRestoreType, h.type);
        return;
    }
    if (!Ignored(h.type) && g_debug) ErrReport(kErrAltType, h.type);
}

} // namespace

void MapAltChanges(int32_t unmap) {
    void* record = ScratchPush();
    for (int32_t n = 1; n <= AltCount(); ++n) {
        AltItemHeader h;
        AltGet(n, &h, record);
        if (h.flags & kAltDeleted) continue;
        MapImage(h, record, unmap, false);
    }
    ScratchPop(record);
}

void MapAltOriginals(int32_t unmap) {
    void* record = ScratchPush();
    for (int32_t n = 1; n <= AltCount(); ++n) {
        AltItemHeader h;
        if (!AltItemGet(n, &h, record) || (h.flags & kAltDeleted)) continue;
        MapImage(h, record, unmap, false);
    }
    ScratchPop(record);
}

void MapAltRestore() {
    void* record = ScratchPush();
    const int32_t level = AltDepth();
    for (int32_t n = 1; n <= AltCount(); ++n) {
        AltItemHeader h;
        AltGet(n, &h, record);
        if (h.level != level || (h.flags & kAltDeleted)) continue;
        MapImage(h, record, 1, true);
    }
    for (int32_t n = 1; n <= AltCount(); ++n) {
        AltItemHeader h;
        AltGet(n, &h, record);
        if (h.level != level) continue;
        if (!AltItemGet(n, &h, record)) continue;
        MapImage(h, record, 0, true);
    }
    ScratchPop(record);
}
