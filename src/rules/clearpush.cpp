// The clearing's one door to the router's push. Until the router's push
// is in place the door moves nothing: a side is cleared when the gathering
// finds nothing of another net in reach there, and refused otherwise.
#include <cstdint>

#include "db/pool.h"
#include "router/gather.h"
#include "router/objmap.h"
#include "rules/clearcore.h"

namespace {
bool s_stitchMode = false;
} // namespace

int32_t ClearPush(int32_t x, int32_t y1, int32_t y2, int32_t kind, int32_t layer, int32_t reach,
                  int32_t direction, int32_t transposed) {
    const int32_t entry = ClearEntry();
    if (!entry) return 1;
    auto* list = static_cast<ObjList*>(ScratchPush());
    const int32_t side = direction > 0 ? kDirBelowX : kDirAboveX;
    const int32_t free =
        GatherSegBlockers(x, y1, x, y2, kind, layer, reach, entry, list, transposed, side);
    int32_t result = 0;
    if (!free || list->count > 0) result = list->entry[0] > 0 ? list->entry[0] : 1;
    ScratchPop(list);
    return result;
}

StitchPushScope::StitchPushScope() {
    s_stitchMode = true;
}

StitchPushScope::~StitchPushScope() {
    s_stitchMode = false;
}
