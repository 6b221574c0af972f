// Via assignment: the right via type at every layer change of a corner
// range. A via already standing is kept when its padstack reaches both
// layers; otherwise the layer pair's via from ViaPairTable is taken. The
// corners before a failing layer change keep what they were given.
#include "router/costs.h"
#include "router/padexit.h"
#include "router/viamap.h"
#include "db/thru.h"

namespace {
enum : ErrCode {
    kErrAssignLast = 2185073,
    kErrAssignFirst = 2185074,
};
enum : int32_t { kAssignLastNumber = 386 };
} // namespace

int32_t ConnAssignVias(Conn* record, int32_t first, int32_t last) {
    const int32_t count = record->head.count;
    if (last >= count) ErrReport(kErrAssignLast, kAssignLastNumber);
    if (first < 0 || first > last - 1) ErrReport(kErrAssignFirst, first);
    for (int32_t i = first; i <= last; ++i) {
        Crn& c = record->crn[i];
        const int32_t L = c.layer, P = i > 0 ? record->crn[i - 1].layer : 0;
        if (L >= kLayerSlots || P >= kLayerSlots) return 0;
        if (i == 0) {
            if (!PinOnLayer(record->head.fromComp, record->head.fromPin, L)) return 0;
        } else if (i < count - 1) {
            if (!P || !L) continue;
            if (P == L) {
                c.via = 0;
            } else if (!(c.via && PadstackOnLayer(c.via, P) && PadstackOnLayer(c.via, L))) {
                c.via = g_viaPair[P][L];
                if (!c.via) return 0;
            }
        } else if (L != 0) {
            if (!PinOnLayer(record->head.toComp, record->head.toPin, P)) return 0;
        }
    }
    return 1;
}
