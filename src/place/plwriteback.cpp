// Writing the model back: every movable, selected node's component is
// moved so that its reference point lands on the node point times the
// placement unit, its box keeping its offsets from the position, and is
// stored through the journal (the caller holds a level open).
//
// The cluster master word names a component: mode 1 clears it; mode 0
// clears it for a node without a cluster and otherwise leaves it as it
// was (a region number is never written where a component belongs).
#include "db/altjournal.h"
#include "place/plmodel.h"

void PlCompShift(Component* r, int32_t dx, int32_t dy) {
    r->x += dx;
    r->y += dy;
    r->minX += dx;
    r->maxX += dx;
    r->minY += dy;
    r->maxY += dy;
}

void PlWriteBack(int32_t mode) {
    PlaceModel& m = g_placeModel;
    for (int32_t c = 1; c <= m.compCount; ++c) {
        const PlaceNode& n = m.nodes[size_t(c)];
        if (n.region == kPlRegionNone || !PlNodeSelected(c)) continue;
        Component comp;
        AltSave(kRecComponent, c, &comp);
        if (comp.flags & kPlCompFixed) {
            comp.compRef = 0;
            AltPut(kRecComponent, c, 0, &comp);
            continue;
        }
        int64_t rx, ry;
        PlCompRefPoint(comp, &rx, &ry);
        const int64_t nx = int64_t(n.x) * m.placeUnit - (rx - comp.x);
        const int64_t ny = int64_t(n.y) * m.placeUnit - (ry - comp.y);
        const int32_t dx = int32_t(nx - comp.x), dy = int32_t(ny - comp.y);
        PlCompShift(&comp, dx, dy);
        if (mode == 1 || n.region == 0) comp.compRef = 0;
        comp.flags &= uint16_t(~kPlCompUnplaced);
        comp.flags |= uint16_t(n.flags & (kPlCompLocked | kPlCompFixed));
        AltPut(kRecComponent, c, 0, &comp);
    }
}
