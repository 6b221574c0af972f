// The placement tree: a region quadtree over the design extent holding,
// per obstacle that matters for placement, its box and layer keyed by
// (owning component, obstacle index): board obstacles with owner 0 and the
// outlines of every placed component at its position and angle. It answers
// rectangle queries, tells whether a component may stand where it is and
// how badly it overlaps, and follows the change journal.
#pragma once
#include <cstdint>
#include <vector>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kErrPlTreePool = 3618010,    // owner of the tree's pool
    kErrPlTreeRoot = 3618110,    // out of memory: the root
    kErrPlTreeNode = 3618440,    // out of memory: a node
    kErrPlTreeEntry = 3618910,   // out of memory: an entry
    kErrPlTreeCount = 3618520,   // a node's count differs from its list
    kErrPlTreeTwice = 3618620,   // a removal found its key twice
    kErrPlTreeKeepIn = 3618720,  // a keep-in tested as the moving obstacle
    kErrPlTreeMissing = 3618820, // validateObsIndex: an obstacle is missing
};

enum : int32_t {
    kPlTreeMaxHits = 1000,      // hits a query keeps
    kPlTreeMaxNewChildren = 10, // children one insertion may create
    kPlTreeFar = 2147483647,    // the box of a keep-in entry
    kPlTreeOverlapFactor = 10000000,
    kPlTreeSpacingFactor = 500,
    kPlTreeAlignFactor = 1000,
    kPlTreeSpacingGrids = 6, // grids around a Place outline for the align term
    kPlTreeMarginWide = 6,   // margin in default grids: single-sided or shape 8
    kPlTreeMarginNarrow = 3,
};

// Placement classes of obstacle kinds.
enum : int32_t {
    kPlClassNone = 0,
    kPlClassOutline = 1, // must not overlap
    kPlClassKeepIn = 2,  // the component must lie inside
};

#pragma pack(push, 1)
struct PlTreeHit {
    int16_t owner;
    int16_t obstacle;
};
#pragma pack(pop)

struct PlTreeHits {
    int16_t count;
    PlTreeHit hit[kPlTreeMaxHits];
    bool overflow; // a hit was left out
};

// The placement class of an obstacle kind.
int32_t PlObsClass(int32_t kind);

void PlTreeInit();
void PlTreeFree();
// Puts the boxes of one obstacle (type 12) or one component (type 9) into
// the tree, or takes them out (remove = 1); a removal must be given the
// image that was inserted.
void PlTreeAdd(int32_t type, int32_t index, const void* image, int32_t remove);
// Moves the tree from the journal's before-images to its after-images
// (0) or back (1).
void PlTreeMapAlt(int32_t direction);
// As PlTreeMapAlt(1) for the items of the current level only.
void PlTreeMapTop();
void PlTreeQuery(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer, PlTreeHits* out);
// 1 when the component may stand where the record puts it, 0 on a
// conflict (or when a query was cut short).
int32_t PlTreeCheckComp(int32_t comp, const Component* record);
double PlTreeOverlapCost(int32_t comp, const Component* record, int32_t spacing);
void PlTreeVerify();
void validateObsIndex(int32_t comp, int32_t obstacle);

// Whether the placed obstacle a of component comp conflicts with the hit.
bool PlObsConflict(int32_t comp, const Obstacle* a, const PlTreeHit& hit);
double PlObsOverlapArea(const Obstacle* a, const PlTreeHit& hit);
double PlSpacingCost(int32_t comp, const Component* record, const Obstacle* place);
double PlBoxCoverRatio(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2, int32_t bx1, int32_t by1,
                       int32_t bx2, int32_t by2);
// Obstacle b read through the journal and, for an owner, placed on it.
void PlTreeObsPlaced(const PlTreeHit& hit, Obstacle* out);

// ---- inspection, for tests ---------------------------------------------------

struct PlTreeEntryInfo {
    int32_t owner, obstacle, layer;
    int32_t x1, y1, x2, y2;
    int32_t depth;
    bool operator<(const PlTreeEntryInfo& o) const;
    bool operator==(const PlTreeEntryInfo& o) const;
};
// Every entry of the tree, sorted.
std::vector<PlTreeEntryInfo> PlTreeEntries();
// The entries a tree built afresh from the journal's newest images would
// hold, sorted (the kept tree is left as it is).
std::vector<PlTreeEntryInfo> PlTreeFreshEntries();
// Whether the tree exists (its pool is open).
bool PlTreeIsBuilt();
