// The improvement passes: the movable components are walked along a chain
// of strongly bonded neighbours and each creeps, one placement-grid step
// at a time, to the position of least score in the placement tree, until
// a pass no longer lowers the summed score (at most 11 passes).
#pragma once
#include <cstdint>
#include <vector>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kErrPlImprovePool = 3612010,      // owner of the passes' pool
    kErrPlImproveMovable = 3612200,   // minimizeCompScore: not movable
    kErrPlImproveDone = 3612210,      // ... already done
    kErrPlImproveDirection = 3612250, // a step direction other than the four
};

enum : int32_t {
    kPlImprovePasses = 11,
    kPlImproveSteps = 4,       // steps of one component per visit
    kPlImproveWindowGrids = 2, // grids around a Place outline for the next pick
    kPlShapeAnchor = 64,       // footprint shape kind of an anchor
};

struct PlImproveRecord {
    double score;
    bool done;
    bool movable;
};

struct PlImproveState {
    int32_t pool;
    std::vector<PlImproveRecord> recs; // 0..N
    int32_t passes;                    // passes run by the last PlImprove
    bool aborted;                      // the last PlImprove was aborted
};
extern PlImproveState g_plImprove;

void PlImprove(const uint8_t* mask);
double PlImproveTotal();
int32_t PlImprovePickFirst();
int32_t PlImprovePickNext(int32_t c);
// The summed bonds of the connections joining a and b (0 when b has a
// cluster master).
int32_t PlCompBond(int32_t a, int32_t b);
void minimizeCompScore(int32_t c, const Component* record);
