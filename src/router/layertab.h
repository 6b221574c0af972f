// The router's layer table (LayerRec): for every database layer 0..count
// its 5 x 5 spacing block, flags, enabled and shown flags, maze index, and
// the two tables of 256 move costs (along y and along x) indexed by a
// cell's cost class. Built once per router set-up in the first zone; the
// cost entries are rewritten by every PrepCost.
#pragma once
#include <cstdint>

enum : int32_t {
    kSpacingClasses = 5,
    kSpacingKinds = 5,
    kCostClasses = 256,
};

// Layer flags that keep a layer out of routing.
enum : uint16_t { kLayerNotRoutable = 0x0026 };

struct LayerRec {
    int32_t spacing[kSpacingClasses][kSpacingKinds]; // [class][kind]
    uint16_t flags;
    int16_t enabled; // the sweep's enabled byte; 0 for a layer that is not routable
    int16_t shown;   // 1 when a colour entry of kind 1 names the layer or every layer
    int16_t spare;
    int16_t mazeIndex; // 1-based maze layer, 0 = not in the maze
    int16_t mazeOwner; // in entry m: the database layer whose maze index is m
    int16_t vert[kCostClasses];
    int16_t horz[kCostClasses];
};

// The table (null while the router memory is not set up) and its entries.
extern LayerRec* g_layerRecs;
extern int32_t g_layerRecCount; // entries 0..count - 1

// Allocates and fills the table from the layers, the colours, the spacing
// attributes and CurSweep; 1, or 0 when memory is exhausted.
int32_t LayerTableBuild();
// Forgets the table (its memory goes with the first zone).
void LayerTableForget();
// The entry of a database layer (0..count), null when absent.
LayerRec* LayerRecOf(int32_t layer);
// True when the layer's flags have none of kLayerNotRoutable.
bool LayerRoutable(int32_t layer);

// The clearance at row b, column a of the layer's block (conn is not used).
int32_t LayerSpacing(int32_t layer, int32_t a, const void* conn, int32_t b);
// The clearance at row a, column b.
int32_t LayerSpacingByKind(int32_t layer, int32_t a, const void* unused, int32_t b);
