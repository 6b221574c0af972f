// The layer-pair via table: which via type joins two layers. With exactly
// one usable via type the set-up fills it once; otherwise PrepViaTable
// picks, per pair, the usable type with the smallest via area that has a
// pad on both layers (the lower number on a tie), restricted to a net's
// via attributes when a net is given.
#include <cstring>

#include "db/attrs.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/thru.h"
#include "router/costs.h"
#include "router/layertab.h"

namespace {

enum : ErrCode {
    kErrViaAttrByte = 2164091,
    kErrNoUsableVia = 2164333,
};
enum : int32_t {
    kAttrNetVia = 7, // attributes of kind 7, sub-kind 10 keyed (net, via type)
    kAttrSubKindKey = 10,
    kAttrViaKeyType = 6,
};

int32_t ViaTypes() {
    int32_t n = DbHdr().viaCount;
    if (n < 0) return 0;
    return n > kViaTypeLimit ? int32_t(kViaTypeLimit) : n;
}

int32_t Layers() {
    int32_t n = DbHdr().layerCount;
    if (n < 0) return 0;
    return n > kMaxLayers ? int32_t(kMaxLayers) : n;
}

// The pair's via type: the usable type of smallest area with pads on both.
int32_t BestVia(int32_t i, int32_t j, int32_t net) {
    int32_t best = 0;
    int64_t bestArea = kViaAreaLimit;
    bool multi = (DbHdr().flags & kHdrMultiVia) != 0;
    for (int32_t v = 1; v <= ViaTypes(); ++v) {
        if (!g_viaUsable[v] || ViaArea(v) >= bestArea) continue;
        if (net) {
            Attribute a;
            if (!AttrFind(kAttrNetVia, kAttrSubKindKey, net, v, &a)) continue;
            if (a.key2Type != kAttrViaKeyType) ErrReport(kErrViaAttrByte, v);
        } else if (v > 1 && !multi) {
            continue;
        }
        if (PadstackOnLayer(v, i) && PadstackOnLayer(v, j)) {
            best = v;
            bestArea = ViaArea(v);
        }
    }
    return best;
}

} // namespace

uint8_t g_viaPair[kLayerSlots][kLayerSlots];
uint8_t g_viaUsable[kViaAreaEntries];
int32_t g_viaUsableCount = 0;
int32_t g_viaTableNet = 0;

int32_t PrepViaTable(int32_t net) {
    if (g_viaUsableCount == 1) return 1;
    int32_t layers = Layers();
    for (int32_t i = 0; i <= layers; ++i)
        for (int32_t j = 0; j <= i; ++j) {
            int32_t t = 0;
            if (i != j && j != 0 && LayerRoutable(i) && LayerRoutable(j)) t = BestVia(i, j, net);
            g_viaPair[i][j] = g_viaPair[j][i] = uint8_t(t);
        }
    g_viaTableNet = net;
    return 1;
}

int32_t mzLayerPairInit() {
    int32_t layers = Layers();
    std::memset(g_viaUsable, 0, sizeof g_viaUsable);
    std::memset(g_viaPair, 0, sizeof g_viaPair);
    g_viaUsableCount = 0;
    int32_t only = 0;
    for (int32_t v = 1; v <= ViaTypes(); ++v) {
        for (int32_t l = 1; l <= layers; ++l)
            if (LayerRoutable(l) && PadstackOnLayer(v, l)) {
                g_viaUsable[v] = 1;
                break;
            }
        if (g_viaUsable[v]) {
            ++g_viaUsableCount;
            only = v;
        }
    }
    if (g_viaUsableCount == 0) ExpectFail(kErrNoUsableVia);
    if (g_viaUsableCount == 1)
        for (int32_t i = 1; i <= layers; ++i)
            for (int32_t j = 1; j <= layers; ++j)
                if (i != j && LayerRoutable(i) && LayerRoutable(j)) g_viaPair[i][j] = uint8_t(only);
    return 1;
}
