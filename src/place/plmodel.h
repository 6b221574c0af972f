// The placement model: one node per component in placement units, the
// cluster regions, the per-net tables, the placement area and the area
// obstacles, on which every automatic placement pass works. It is built
// from the database by PlModelOpen, written back through the journal by
// PlWriteBack and dropped by PlModelFree.
//
// Coordinates, boxes, the area and region centres are kept as 32-bit
// values (a board far from the origin does not wrap), areas and score
// terms as 64-bit values.
#pragma once
#include <cstdint>
#include <vector>

#include "db/err.h"
#include "db/records.h"

// Location codes of the model's errors and its pool.
enum : int32_t {
    kErrPlModelPool = 3609010,    // owner of the model's pool
    kErrPlLayerClasses = 3609210, // more than 31 layer classes
    kErrPlNetCompIndex = 3609240, // a connection end beyond the component count
    kErrPlNetIndex = 3609140,     // a net beyond the net count
    kErrPlRegionRange = 3609657,  // a region number outside 0..32
    kErrPlGridX = 3609710,        // placement grid x below 1 after defaulting
    kErrPlGridY = 3609720,        // placement grid y below 1 after defaulting
    kErrPlCompCount = 3609470,    // more components than the model takes
};

enum : int32_t {
    kPlMaxComps = 4000,         // components the model takes
    kPlMaxRegions = 32,         // cluster regions 1..32 (entry 0 stays empty)
    kPlRegionSlots = 33,        // regions 0..32
    kPlMaxLayerClasses = 31,    // layer classes 1..31
    kPlMaxPinPoints = 50,       // a net with more pin points has no table
    kPlCoordLimit = 32767,      // the placement unit doubles while the area reaches this
    kPlWidenPercent = 3,        // box widening per side, percent of width or height
    kPlWidenPercentSmd = 6,     // ... for single-layer or shape-8 footprints
    kPlWeightDivisor = 10,      // net weight = WT / 10
    kPlRegionNone = -1,         // region of a node that never moves
    kPlScoreDivisorFactor = 10, // score divisor = 10 x units per user unit
    kPlScoreDivisorLarge = 600, // ... when that unit reaches kPlCoordLimit
};

// Component flag bits as placement reads them.
enum : uint16_t {
    kPlCompNoMove = 0x0001,
    kPlCompChosen = 0x0002,
    kPlCompUnplaced = 0x0004,
    kPlCompClusterMember = 0x0008,
    kPlCompLocked = 0x0010,
    kPlCompFixed = 0x0020,
    kPlCompLeftOut = 0x0040,
    kPlCompClass1024 = 0x0400,
    kPlCompClass2048 = 0x0800,
};

// Class words.
enum : int16_t {
    kPlClassLarge = 1024,
    kPlClassSmall = 2048,
};

// Net style and flag bits placement reads.
enum : uint8_t { kPlNetStyleExcluded = 0x01 };
enum : uint16_t { kPlNetNoRoute = 0x0001 };

// Run option bit: the wire term measures every net as half a perimeter.
enum : int32_t { kPlOptHalfPerimeter = 4 };

struct PlBox {
    int32_t x1, y1, x2, y2;
};

struct PlaceNode {
    int32_t regionLink; // next node of the same region (0 = end)
    int32_t chainLink;  // next node that moves with this one
    int32_t x, y;       // reference point
    int32_t x1, y1, x2, y2;
    int16_t comp;
    int16_t region; // -1 never moves, 0 no cluster, 1..32 cluster
    int16_t group;
    uint16_t flags;
    int16_t layerClass;
    int16_t classWord;
    int32_t symbol;
    int16_t fpWord;
    int64_t area;
    std::vector<int16_t> nets;
};

struct PlaceRegion {
    int32_t members; // first member node (0 = none)
    double area;
    int32_t cx, cy;
    int32_t half;
};

struct PlPinPoint {
    int32_t x, y;
    int16_t comp, pin;
};

struct PlNetTable {
    std::vector<uint8_t> comps; // one bit per component
    uint64_t regions;           // bits 0..32
    int32_t weight;
    bool hasPoints;
    std::vector<PlPinPoint> points;
    int64_t lengthLast, lengthPrev; // the wire measure's cache and its undo
};

struct PlAreaObstacle {
    PlBox box;
    int32_t obstacle;
    int32_t layer;
    int32_t kind;
};

struct PlaceModel {
    bool open;
    bool classified;
    bool symbolsClassified;
    int32_t pool;
    int32_t placeUnit;
    PlBox area;
    int32_t compCount;
    int32_t netCount;
    const uint8_t* mask;  // copy of the selection mask (in the pool), or null
    int32_t xStep, yStep; // placement grid in placement units
    int32_t scoreDivisor;
    int32_t runOptions;
    std::vector<PlaceNode> nodes; // 0..compCount
    PlaceRegion regions[kPlRegionSlots];
    std::vector<PlNetTable> nets; // 0..netCount
    std::vector<PlAreaObstacle> obstacles;
    std::vector<int16_t> compList;
    std::vector<int16_t> layerList; // layer classes: list of layers in first-use order
};

extern PlaceModel g_placeModel;

// Builds the model (freeing an earlier one); mask: per-component bytes
// 1..N (non-zero = selected) or null. Answers 1, or 0 for a design
// without components (the caller ends its operation).
int32_t PlModelOpen(const uint8_t* mask);
void PlModelFree();
void PlRegionsBuild();
void PlNetPinPoints();
// Writes every movable, selected node back into its component (mode 1
// also clears the cluster master word).
void PlWriteBack(int32_t mode);
// Moves a component record's position and box by (dx, dy).
void PlCompShift(Component* r, int32_t dx, int32_t dy);

// Component c as the current edit sees it, read-only.
const Component* PlCompRef(int32_t c);
// A component's reference point in database units: pin 1 placed on it,
// or its box centre when the footprint has no pins.
void PlCompRefPoint(const Component& comp, int64_t* x, int64_t* y);

// The layer class of a component (0 on several layers, -1 no pad, else
// 1..31 from the model's first-use list).
int32_t PlCompLayerClass(int32_t comp);
// The layer of the component's pads: 0 when a pin has pads on two or more
// layers, -1 when no pin has a pad, else the layer of the last pin with a
// pad.
int32_t PlCompPadLayer(int32_t comp);
// 1 when the component's footprint has shape kind 4 (0 for component 0).
int32_t PlCompIsSmallRow(int32_t comp);
// 1 when the component carries the class-2048 flag.
int32_t PlCompIsSmallClass(int32_t comp);
// Whether the node may be moved by a pass (in the component list).
bool PlNodeSelected(int32_t comp);

// Bit sets over byte arrays.
void PlBitClear(uint8_t* bits, int32_t n);
void PlBitSet(uint8_t* bits, int32_t n);
bool PlBitTest(const uint8_t* bits, int32_t n);
