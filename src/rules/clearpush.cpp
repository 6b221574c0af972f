// The clearing's one door to the router's push: the line is pushed by the
// path's own entry (MzGoal's), so what the path's copper meets moves away.
// The stitching's push options (stitch mode, hops allowed) are set for the
// scope of a segment and put back as they were on every way out.
#include <cstdint>

#include "router/push.h"
#include "rules/clearcore.h"

namespace {
PushOptions s_outer{};
int32_t s_scopes = 0;
} // namespace

int32_t ClearPush(int32_t x, int32_t y1, int32_t y2, int32_t kind, int32_t layer, int32_t reach,
                  int32_t direction, int32_t transposed) {
    const int32_t entry = ClearEntry();
    if (!entry) return 1;
    return MzPush(x, y1, y2, kind, layer, reach, entry, direction, transposed);
}

StitchPushScope::StitchPushScope() {
    if (s_scopes++ == 0) s_outer = g_pushOptions;
    g_pushOptions.stitchMode = 1;
    g_pushOptions.hopsAllowed = 1;
}

StitchPushScope::~StitchPushScope() {
    if (--s_scopes == 0) {
        g_pushOptions.stitchMode = s_outer.stitchMode;
        g_pushOptions.hopsAllowed = s_outer.hopsAllowed;
    }
}
