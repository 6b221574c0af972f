// Outlines of one component, copied from the journal's newest images and
// placed on the record's position and angle.
#include "place/plcompoutline.h"

#include "db/altjournal.h"
#include "db/obstacles.h"

PlCompOutlines PlCompOutlinesOf(int32_t c, const Component* record) {
    PlCompOutlines out;
    auto r = std::make_unique<Obstacle>();
    for (int32_t o = CompObsFirst(c); o != 0; o = ObsNext(o)) {
        AltSave(kRecObstacle, o, r.get());
        std::unique_ptr<Obstacle>* slot = r->head.kind == kObsPlaceOutline       ? &out.place
                                          : r->head.kind == kObsInsertionOutline ? &out.insertion
                                                                                 : nullptr;
        if (!slot) continue;
        if (!*slot) *slot = std::make_unique<Obstacle>();
        ObsCopy(slot->get(), r.get());
        ObsPlace(slot->get(), record->x, record->y, record->angle);
    }
    return out;
}
