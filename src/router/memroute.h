// The straight-line heuristic: a connection whose two pins lie on one
// vertical or horizontal grid line is routed straight on a layer whose
// preferred direction matches, with a jog around the one pad (at most) that
// stands in the way. MemClassify decides and keeps its findings for
// MemRoute.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kErrMemLayer = 2181042,
    kErrMemNotPad = 2181040,
    kErrMemNoShapes = 2181021,
};

enum : int32_t {
    kMemVertical = 1,
    kMemHorizontal = 2,
    kMemCostLimit = 4096, // a layer's base cost must stay below this
    kBetweenFull = 100,   // a layer with this bottleneck percentage is not used
};

// Classification kept between MemClassify and MemRoute.
struct MemClass {
    int32_t kind;    // kMemVertical, kMemHorizontal
    int32_t layer;   // chosen layer
    int32_t blocker; // object-table entry of the blocking pad, 0 none
};
extern MemClass g_memClass;

int32_t MemClassify(int32_t strict, const Conn* conn);
int32_t MemRoute(int32_t strict, Conn* conn);
void CrnNetWidth(Conn* conn);
