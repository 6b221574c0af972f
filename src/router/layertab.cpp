// The router's layer table, built from the layer records: spacing classes
// 0..2 from the seven spacing values, kind 3 the largest of a row, kind 4
// the largest spacing attribute of the layer, class 4 the kind-4 column.
#include "router/layertab.h"

#include <algorithm>
#include <cstring>

#include "db/attrs.h"
#include "db/layers.h"
#include "db/pool.h"
#include "router/mzinit.h"
#include "router/urstate.h"

namespace {

enum : ErrCode { kErrLayerTableAlloc = 2163420 };
enum : int32_t {
    kAttrLayerSpacing = 16, // attributes of kind 16, sub-kind 10: a layer's clearance
    kAttrSubKindKey = 10,
    kColorLayerKind = 1,
};

bool ShownLayer(int32_t layer) {
    for (int32_t n = 1; n <= ColorCount(); ++n) {
        ColorEntry e;
        ColorGet(n, &e);
        if (e.kind == kColorLayerKind && (e.layer == layer || e.layer == kColorAllLayers))
            return true;
    }
    return false;
}

void FillSpacing(LayerRec& r, const Layer& l, int32_t layer) {
    const int32_t* s = l.spacing; // s1..s7 at 0..6
    int32_t rows[3][3] = {{s[2], s[1], s[5]}, {s[1], s[0], s[4]}, {s[5], s[4], s[3]}};
    std::memset(r.spacing, 0, sizeof r.spacing);
    for (int32_t c = 0; c < 3; ++c)
        for (int32_t k = 0; k < 3; ++k)
            r.spacing[c][k] = rows[c][k];
    AttrScanStart(kAttrLayerSpacing, kAttrSubKindKey, 0, layer);
    Attribute a;
    while (AttrScanNext(&a)) {
        if (a.key2 != layer) continue;
        for (int32_t c = 0; c < 3; ++c)
            r.spacing[c][4] = std::max(r.spacing[c][4], a.value3);
    }
    for (int32_t c = 0; c < 3; ++c)
        r.spacing[c][3] =
            std::max({r.spacing[c][3], r.spacing[c][0], r.spacing[c][1], r.spacing[c][2]});
    for (int32_t c = 0; c < 4; ++c)
        r.spacing[4][c] = r.spacing[c][4];
    r.spacing[4][3] =
        std::max({r.spacing[4][3], r.spacing[4][0], r.spacing[4][1], r.spacing[4][2]});
}

} // namespace

LayerRec* g_layerRecs = nullptr;
int32_t g_layerRecCount = 0;

int32_t LayerTableBuild() {
    int32_t count = LayerCount();
    if (count < 0) count = 0;
    if (count > kMaxLayers) count = kMaxLayers;
    int32_t bytes = int32_t(sizeof(LayerRec)) * (count + 1);
    auto* recs = static_cast<LayerRec*>(PoolAlloc(bytes, MzZonePool(1), kErrLayerTableAlloc));
    if (!recs) return 0;
    std::memset(recs, 0, size_t(bytes));
    for (int32_t l = 1; l <= count; ++l) {
        LayerRec& r = recs[l];
        const Layer& layer = *LayerRef(l);
        r.shown = ShownLayer(l) ? 1 : 0;
        r.flags = layer.flags;
        r.enabled = (layer.flags & kLayerNotRoutable) ? 0 : CurSweep().enable[l];
        FillSpacing(r, layer, l);
    }
    recs[0].shown = ShownLayer(0) ? 1 : 0;
    recs[0].enabled = 0;
    g_layerRecs = recs;
    g_layerRecCount = count + 1;
    return 1;
}

void LayerTableForget() {
    g_layerRecs = nullptr;
    g_layerRecCount = 0;
}

LayerRec* LayerRecOf(int32_t layer) {
    if (!g_layerRecs || layer < 0 || layer >= g_layerRecCount) return nullptr;
    return &g_layerRecs[layer];
}

bool LayerRoutable(int32_t layer) {
    const LayerRec* r = LayerRecOf(layer);
    return r && !(r->flags & kLayerNotRoutable);
}

int32_t LayerSpacing(int32_t layer, int32_t a, const void*, int32_t b) {
    const LayerRec* r = LayerRecOf(layer);
    if (!r || a < 0 || a >= kSpacingKinds || b < 0 || b >= kSpacingClasses) return 0;
    return r->spacing[b][a];
}

int32_t LayerSpacingByKind(int32_t layer, int32_t a, const void*, int32_t b) {
    const LayerRec* r = LayerRecOf(layer);
    if (!r || a < 0 || a >= kSpacingClasses || b < 0 || b >= kSpacingKinds) return 0;
    return r->spacing[a][b];
}
