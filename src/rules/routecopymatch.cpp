// Finding where a route copy goes (see routecopymatch.h). Pads are tested
// by the boxes of their placed shapes, edges included. Candidates are read
// as the open edit sees them, so a paste sees its own earlier changes.
#include "rules/routecopymatch.h"

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/symbols.h"

namespace {

enum : int32_t { kDefaultPadLayer = 1 };

bool Starts(const ConnHead& h, const CopyPin& p) {
    return h.fromComp == p.comp && h.fromPin == p.pin;
}
bool Ends(const ConnHead& h, const CopyPin& p) {
    return h.toComp == p.comp && h.toPin == p.pin;
}

} // namespace

int32_t padAtPoint(int32_t x, int32_t y, int32_t layer, CopyPin* out) {
    if (layer == 0) layer = kDefaultPadLayer;
    for (int32_t c = 1; c <= CompCount(); ++c) {
        const Component* comp = CompRef(c);
        if (x < comp->minX || x > comp->maxX || y < comp->minY || y > comp->maxY) continue;
        const int32_t pins = SymPinCount(comp->symbol);
        for (int32_t pin = 1; pin <= pins; ++pin) {
            PlacedPin placed;
            PlacedPad pad;
            CompPinPadGet(c, pin, layer, &placed, &pad);
            for (int32_t k = 0; k < pad.count; ++k) {
                const PlacedShape& s = pad.shape[k];
                if (x >= s.minX && x <= s.maxX && y >= s.minY && y <= s.maxY) {
                    *out = CopyPin{c, pin};
                    return 1;
                }
            }
        }
    }
    return 0;
}

int32_t connMatchesPads(Conn* conn, const CopyPin& from, const CopyPin& to) {
    ConnHead& h = conn->head;
    if (h.flags & (kConnNotSelected | kConnNoRipup)) return 0;
    if (to.comp != 0) {
        if (Starts(h, from) && Ends(h, to)) return 1;
        if (Starts(h, to) && Ends(h, from)) {
            ConnReverse(conn);
            return 1;
        }
        return 0;
    }
    if (Ends(h, from) && !Starts(h, from)) ConnReverse(conn);
    if (!Starts(h, from)) return 0;
    return h.count > 1 && conn->crn[0].layer == 0;
}

int32_t findConnByPads(const CopyPin& from, const CopyPin& to, int32_t first, Conn* work) {
    for (int32_t c = first < 1 ? 1 : first; c <= ConnCount(); ++c) {
        AltSave(kRecConn, c, work);
        if (connMatchesPads(work, from, to)) return c;
    }
    return 0;
}
