// CompPlaceApply over the database's pad box and board test.
#include "place/plcompapply.h"

#include "db/comps.h"
#include "db/geom.h"
#include "db/obstacles.h"

int32_t CompPlaceApply(Component* record) {
    record->angle = int16_t(AngNormalize(record->angle));
    if (!CompPadBox(record, &record->minX, &record->minY, &record->maxX, &record->maxY)) {
        record->minX = record->maxX = record->x;
        record->minY = record->maxY = record->y;
    }
    return CompBoxOutside(record);
}
