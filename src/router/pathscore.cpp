// Path scoring of a connection; see pathscore.h.
#include "router/pathscore.h"

#include <cstdlib>

#include "db/attrs.h"
#include "db/geom.h"
#include "db/layers.h"
#include "router/layertab.h"
#include "router/urstate.h"

namespace {

bool JumperLayer(int32_t layer) {
    const LayerRec* r = LayerRecOf(layer);
    return r && (r->flags & kLayerJumper);
}

// True when the layer lists allowed jumper lengths and none equals len.
bool JumperLengthRefused(int32_t layer, int32_t len) {
    AttrScanStart(kAttrJumperLength, kAttrLayerKey, layer, 0);
    Attribute a;
    bool listed = false;
    while (AttrScanNext(&a)) {
        if (a.key1 != layer) continue;
        listed = true;
        if (a.value3 == len) return false;
    }
    return listed;
}

bool Diagonal(const Crn& a, const Crn& b) {
    return a.x != b.x && a.y != b.y;
}

} // namespace

int32_t pathScore(const Conn* record) {
    const Crn* c = record->crn;
    const int32_t n = record->head.count;
    const uint8_t* dir = CurSweep().dir;
    int64_t score = 0;
    for (int32_t k = n - 2; k >= 0; --k) {
        const Crn& a = c[k];
        const Crn& b = c[k + 1];
        score += dir[a.layer] < kScoreDirSplitPercent ? std::abs(b.x - a.x) : std::abs(b.y - a.y);
        if (k + 2 < n && a.layer && a.layer == b.layer && Diagonal(a, b) && Diagonal(b, c[k + 2])) {
            const bool rise1 = (b.x - a.x > 0) == (b.y - a.y > 0);
            const bool rise2 = (c[k + 2].x - b.x > 0) == (c[k + 2].y - b.y > 0);
            if (rise1 != rise2) score += kScoreZigZag;
        }
    }
    if (g_router.header.flags & kHdrJumperLayer) {
        for (int32_t k = 0; k + 1 < n; ++k) {
            if (!c[k].layer || !JumperLayer(c[k].layer)) continue;
            const int32_t len = PtDist(c[k].x, c[k].y, c[k + 1].x, c[k + 1].y);
            if (!c[k].via) score += kScoreJumperEnd;
            if (!c[k + 1].via) score += kScoreJumperEnd;
            score += 2 * static_cast<int64_t>(len);
            if (JumperLengthRefused(c[k].layer, len)) score += kScoreJumperEnd;
        }
    }
    const int32_t viaGrid = g_router.header.fourthGrid;
    if (viaGrid) {
        for (int32_t k = 1; k <= n - 2; ++k)
            if (c[k].via && (c[k].x % viaGrid || c[k].y % viaGrid)) score += kScoreViaOffGrid;
    }
    return static_cast<int32_t>(score);
}
