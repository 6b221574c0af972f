// The rule checker's state words and the small readings of the database it
// shares between its checks: via pads as one radius or one box, active and
// jumper layers, net flags, obstacles as plain outlines. Readings never fail: an index out of range
// reads as "no pad", "inactive" or "no flags".
#include "rules/ruleadapt.h"

#include <algorithm>

#include "db/layers.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "router/viamap.h"

int32_t DrcSpacingClass = 0;
int32_t DrcCurrentObject = 0;
int32_t CheckOptions = 0;

int32_t ViaPadCode(int32_t viaType, int32_t layer) {
    int32_t ext[4];
    return ViaPadShape(viaType, layer, ext);
}

int32_t ViaPadRadius(int32_t viaType, int32_t layer) {
    int32_t ext[4];
    if (!ViaPadShape(viaType, layer, ext)) return 0;
    return std::max(std::max(ext[0], ext[1]), std::max(ext[2], ext[3]));
}

void ViaPadBox(int32_t viaType, int32_t layer, int32_t x, int32_t y, int32_t box[4]) {
    int32_t ext[4];
    box[0] = box[2] = x;
    box[1] = box[3] = y;
    if (!ViaPadShape(viaType, layer, ext)) return;
    const PadShape& s = ThruRef(viaType)->layer[layer].shape[0];
    box[0] = x + s.x - ext[0];
    box[1] = y + s.y - ext[1];
    box[2] = x + s.x + ext[2];
    box[3] = y + s.y + ext[3];
}

bool LayerActive(int32_t layer) {
    if (layer < 1 || layer > LayerCount()) return false;
    return !(LayerRef(layer)->flags & kLayerInactive);
}

bool JumperLayer(int32_t layer) {
    if (layer < 1 || layer > LayerCount()) return false;
    return (LayerRef(layer)->flags & kLayerJumperFlag) != 0;
}

bool BoardHasJumperLayer() {
    for (int32_t l = 1; l <= LayerCount(); ++l)
        if (JumperLayer(l)) return true;
    return false;
}

uint16_t NetFlagsOf(int32_t net) {
    if (net < 1 || net > NetCount()) return 0;
    return NetRef(net)->flags;
}

void ObsOutlineOnly(Obstacle* record) {
    bool curved = (record->head.flags & (kObsHasArcs | kObsCircle)) != 0;
    for (int32_t i = 0; i < record->head.count && !curved; ++i)
        curved = (record->pt[i].flags & kObsPtArc) != 0;
    if (curved) ObsArcsToSegs(record);
}
