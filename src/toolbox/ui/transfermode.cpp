// The transfer-mode table.
#include "toolbox/ui/transfermode.h"

namespace {
struct TransferForm {
    int32_t rop2;
    uint32_t rasterOp;
};
const TransferForm kForms[kTransferModes] = {
    {kRop2CopyPen, kRopSrcCopy},          // copy
    {kRop2MaskPen, kRopSrcAnd},           // or
    {kRop2NotXorPen, kRopSrcXnor},        // xor
    {kRop2MergePen, kRopSrcPaint},        // bic
    {kRop2NotCopyPen, kRopNotSrcCopy},    // not copy
    {kRop2NotMaskPen, kRopNotSrcAndDest}, // not or
    {kRop2XorPen, kRopSrcInvert},         // not xor
    {kRop2NotMergePen, kRopNotSrcErase},  // not bic
};
int32_t Slot(int32_t mode) {
    return ((mode % kTransferModes) + kTransferModes) % kTransferModes;
}
} // namespace

int32_t Rop2OfMode(int32_t mode) {
    return kForms[Slot(mode)].rop2;
}
uint32_t RasterOpOfMode(int32_t mode) {
    return kForms[Slot(mode)].rasterOp;
}
int32_t BackModeOfMode(int32_t mode) {
    return mode == 1 ? kBackModeTransparent : kBackModeOpaque;
}
