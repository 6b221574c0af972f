// Keeping the placement tree in step with the database: the boxes of an
// obstacle or a component go in or out by record image, and the journal's
// before- and after-images move the tree from one state to the other.
// Components with a cluster master or the unplaced flag have no entries.
#include <memory>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/names.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "place/plmodel.h"
#include "place/pltreeint.h"

namespace {

bool InTree(const Component& comp) {
    return comp.compRef == 0 && !(comp.flags & kPlCompUnplaced);
}

void Enter(int32_t owner, int32_t index, const Obstacle& r, int32_t cls, int32_t remove) {
    if (remove)
        PlTreeRemove(owner, index, cls, r.head.minX, r.head.minY, r.head.maxX, r.head.maxY);
    else
        PlTreeInsert(owner, index, r.head.layer, cls, r.head.minX, r.head.minY, r.head.maxX,
                     r.head.maxY);
}

// The obstacle placed on the component as the record puts it.
void EnterOnComp(int32_t c, const Component& comp, int32_t index, const Obstacle& r, int32_t cls,
                 int32_t remove) {
    auto placed = std::make_unique<Obstacle>();
    ObsCopy(placed.get(), &r);
    ObsPlace(placed.get(), comp.x, comp.y, comp.angle);
    Enter(c, index, *placed, cls, remove);
}

void AddObstacle(int32_t index, const Obstacle& r, int32_t remove) {
    const int32_t cls = PlObsClass(r.head.kind);
    if (cls == kPlClassNone) return;
    const int32_t owner = r.head.owner;
    Component comp;
    if (owner == 0) {
        Enter(0, index, r, cls, remove);
    } else if (owner < 0) {
        if (-owner > CompCount()) return;
        AltSave(kRecComponent, -owner, &comp);
        if (InTree(comp)) EnterOnComp(-owner, comp, index, r, cls, remove);
    } else {
        for (int32_t c = CompNextWithSym(0, owner); c != 0; c = CompNextWithSym(c, owner)) {
            AltSave(kRecComponent, c, &comp);
            if (InTree(comp)) EnterOnComp(c, comp, index, r, cls, remove);
        }
    }
}

void AddComponent(int32_t c, const Component& comp, int32_t remove) {
    if (!InTree(comp)) return;
    auto r = std::make_unique<Obstacle>();
    for (int32_t o = CompObsFirst(c); o != 0; o = ObsNext(o)) {
        AltSave(kRecObstacle, o, r.get());
        const int32_t cls = PlObsClass(r->head.kind);
        if (cls != kPlClassNone) EnterOnComp(c, comp, o, *r, cls, remove);
    }
}

// One journal item's image in or out.
void MapItem(const AltItemHeader& h, const void* image, int32_t remove) {
    if (h.type == kRecObstacle || h.type == kRecComponent)
        PlTreeAdd(h.type, h.index, image, remove);
}

// Scratch buffers for a journal walk.
struct Images {
    void* after = ScratchPush();
    void* before = ScratchPush();
    ~Images() {
        ScratchPop(before);
        ScratchPop(after);
    }
};

} // namespace

void PlTreeAdd(int32_t type, int32_t index, const void* image, int32_t remove) {
    PlTreeEnsure();
    if (type == kRecObstacle)
        AddObstacle(index, *static_cast<const Obstacle*>(image), remove);
    else if (type == kRecComponent)
        AddComponent(index, *static_cast<const Component*>(image), remove);
}

void PlTreeAddAll() {
    auto r = std::make_unique<Obstacle>();
    for (int32_t o = 1; o <= ObsCount(); ++o) {
        AltSave(kRecObstacle, o, r.get());
        AddObstacle(o, *r, 0);
    }
    if (!g_verbose) return;
    for (int32_t o = 1; o <= ObsCount(); ++o) {
        AltSave(kRecObstacle, o, r.get());
        if (PlObsClass(r->head.kind) != kPlClassOutline) continue;
        const int32_t owner = r->head.owner;
        if (owner <= 0) {
            validateObsIndex(-owner, o);
            continue;
        }
        for (int32_t c = CompNextWithSym(0, owner); c != 0; c = CompNextWithSym(c, owner))
            validateObsIndex(c, o);
    }
}

void PlTreeMapAlt(int32_t direction) {
    PlTreeEnsure();
    Images img;
    AltItemHeader h, hb;
    const int32_t count = AltCount();
    for (int32_t pass = 0; pass < 2; ++pass) {
        const bool removing = pass == 0;
        for (int32_t n = 1; n <= count; ++n) {
            AltGet(n, &h, img.after);
            const bool hasBefore = AltItemGet(n, &hb, img.before);
            const bool deleted = h.flags & kAltDeleted;
            // Direction 0 takes the before-images out and puts the
            // after-images in; direction 1 the other way round.
            const bool useBefore = (direction == 0) == removing;
            if (useBefore && hasBefore) MapItem(h, img.before, removing);
            if (!useBefore && !deleted) MapItem(h, img.after, removing);
        }
    }
    if (g_verbose) DebugPrint("PlTreeMapAlt: done");
}

void PlTreeMapTop() {
    PlTreeEnsure();
    Images img;
    AltItemHeader h, hb;
    const int32_t count = AltCount(), depth = AltDepth();
    for (int32_t pass = 0; pass < 2; ++pass)
        for (int32_t n = 1; n <= count; ++n) {
            AltGet(n, &h, img.after);
            if (h.level != depth) continue;
            if (pass == 0 && !(h.flags & kAltDeleted)) MapItem(h, img.after, 1);
            if (pass == 1 && AltItemGet(n, &hb, img.before)) MapItem(h, img.before, 0);
        }
}

void validateObsIndex(int32_t comp, int32_t obstacle) {
    PlTreeEnsure();
    for (const PlTreeEntryInfo& e : PlTreeEntries())
        if (e.owner == comp && e.obstacle == obstacle) return;
    Component rec;
    if (comp > 0) {
        AltSave(kRecComponent, comp, &rec);
        if (!InTree(rec)) return;
        DebugPrint("validateObsIndex: %s.%d is missing", NameText(rec.name), obstacle);
    } else {
        DebugPrint("validateObsIndex: %d is missing", obstacle);
    }
    ErrReport(kErrPlTreeMissing, obstacle);
}
