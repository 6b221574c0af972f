// The router's direction vocabulary and the exits of pads: whether a
// connection end reaches a layer, the direction bit of a vector, the
// directions a pad may be left in (by its shape, its in-line neighbours and
// the objects of other nets nearby), and the clean-up steps run on a routed
// connection: the adjustment of an end's exit from its pad and the pull-back
// of a via whose segment costs less than the via.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

// Direction bits.
enum : int32_t {
    kDirN = 1,
    kDirNE = 2,
    kDirE = 4,
    kDirSE = 8,
    kDirS = 16,
    kDirSW = 32,
    kDirW = 64,
    kDirNW = 128,
    kDirsAny = 255,
    kDirsNone = 0,
    kDirsNS = 17,
    kDirsEW = 68,
    kDirsOrtho = 85,
    kDirsNESW = 34,
    kDirsSENW = 136,
};

enum : int32_t {
    kExitProbeUserUnits = 150, // reach of the exit probes and of the turn's look-ahead
};

enum : ErrCode {
    kErrPinOnLayerComp = 2187010,
    kErrPinOnLayerLayer = 2187014,
    kErrExitAdjustCorners = 2187081,
    kErrExitAdjustPoint = 2187082,
    kErrPullBackVia = 2187091,
    kErrExitCandidates = 2187104,
    kErrNeighbourDiagonal = 2187667,
};

// 1 when the connection end (component 0: a free node) reaches the layer.
int32_t PinOnLayer(int32_t comp, int32_t pin, int32_t layer);
int32_t DirBit(int32_t dx, int32_t dy);
// The allowed exit mask of the pin's pad on the layer; *out set when it
// came from an oblong pad of a component with more than 7 pins.
int32_t PadExitDirs(int32_t comp, int32_t pin, int32_t layer, int32_t* out);
int32_t PadNeighbourDirs(int32_t comp, int32_t pin);
int32_t ExitBlockerDirs(int32_t x, int32_t y, int32_t layer, int32_t net);
int32_t ExitTurnDir(const Conn* record, int32_t allowed, int32_t blocked);

// The bounding box of a placed pad's shapes (at least one shape).
struct PlacedPad;
void PlacedPadBox(const PlacedPad& pad, int32_t* minX, int32_t* minY, int32_t* maxX, int32_t* maxY);

// The largest width (left + right) and height (bottom + top) over the
// unturned shapes of a pad's layer block.
void PadBlockSize(const ThruLayer& block, int32_t* width, int32_t* height);

int32_t adjustExits(int32_t entry, Conn* record);
int32_t findExitPoint(int32_t entry, const Conn* record, int32_t* x, int32_t* y);
int32_t attemptAdjustExit(int32_t entry, Conn* record, int32_t x, int32_t y);
int32_t ViaPullBack(int32_t entry, int32_t flag, Conn* record);
