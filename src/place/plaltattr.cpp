// The journal index of an attribute by its key: one pass over the items
// of the journal with a scratch record, returned before answering.
#include "place/plaltattr.h"

#include "db/altjournal.h"
#include "db/pool.h"

int32_t PlAltAttrIndex(const Attribute& a) {
    void* image = ScratchPush();
    AltItemHeader h;
    int32_t highest = 0, same = 0;
    for (int32_t n = 1; n <= AltCount() && !same; ++n) {
        AltGet(n, &h, image);
        if (h.type != kRecAttribute) continue;
        const auto* b = static_cast<const Attribute*>(image);
        if (b->kind == a.kind && b->key1Type == a.key1Type && b->key1 == a.key1 &&
            b->key2 == a.key2)
            same = h.index;
        highest = h.index > highest ? h.index : highest;
    }
    ScratchPop(image);
    return same ? same : highest + 1;
}
