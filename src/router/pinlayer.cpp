// Whether a connection end reaches a layer by its pad alone (routed copper
// and vias are not followed), and the direction bit of a vector.
#include "db/comps.h"
#include "db/layers.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "router/padexit.h"

int32_t PinOnLayer(int32_t comp, int32_t pin, int32_t layer) {
    if (comp < 0 || comp > CompCount()) ErrReport(kErrPinOnLayerComp, comp);
    if (layer < 0 || layer > LayerCount()) ErrReport(kErrPinOnLayerLayer, layer);
    if (comp == 0) {
        if (pin == 0) return 1;
        if (pin < 0) return layer == -pin ? 1 : 0;
        return pin <= ThruCount() && PadstackOnLayer(pin, layer) ? 1 : 0;
    }
    const Component* c = CompRef(comp);
    if (pin < 1 || pin > SymPinCount(c->symbol)) return 0;
    return PadstackOnLayer(SymPinThru(c->symbol, pin), layer) ? 1 : 0;
}

int32_t DirBit(int32_t dx, int32_t dy) {
    if (dx == 0) return dy > 0 ? kDirN : dy < 0 ? kDirS : 0;
    if (dy == 0) return dx > 0 ? kDirE : kDirW;
    if (dx > 0) return dy > 0 ? kDirNE : kDirSE;
    return dy > 0 ? kDirNW : kDirSW;
}
