// Gathering of neighbours: exact answers for one probe segment on one
// layer from the object map's coarse cells. Which objects come closer than
// the clearance (GatherBox), which of them can be pushed aside
// (GatherSegBlockers), whether a place is free (GatherIsEmpty), and what
// the map places near a connection's corner range (GatherNeighbours).
// Lists live in the caller's records; nothing is allocated per query.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"
#include "router/objmap.h"

// Contact results of the per-type tests.
enum : int32_t {
    kTouchNone = 0,
    kTouchSameNet = 1, // the blocker search only
    kTouchPush = 2,    // a connection that may be pushed, or a Shavable obs
    kTouchPad = 3,
    kTouchFixed = 4, // something that never moves
};

// Probe kinds (columns of a layer's clearance block).
enum : int32_t {
    kProbeSeg = 0,
    kProbePad = 1,
    kProbeVia = 2,
    kProbeAny = 4,
};

// Direction mask bits: ignore what lies wholly beyond the probe's ends.
enum : int32_t {
    kDirBelowY = 1, // wholly at smaller y than both probe ends
    kDirAboveY = 2,
    kDirAboveX = 4,
    kDirBelowX = 8,
};

// The entry flag of a connection already being pushed.
enum : uint8_t { kObjFlagPushed = 0x02 };

int32_t GatherBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                  int32_t extra, ObjList* list);
int32_t GatherSegBlockers(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind,
                          int32_t layer, int32_t extra, int32_t entry, ObjList* list,
                          int32_t transposed, int32_t direction);
int32_t GatherIsEmpty(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                      int32_t extra, int32_t entry, int32_t transposed);
void GatherNeighbours(const Conn* record, int32_t first, int32_t last, ObjList* list);

int32_t GatherTestPad(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                      int32_t extra, int32_t padEntry, int32_t probing, int32_t mask);
int32_t GatherTestConn(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                       int32_t extra, const Conn* record, int32_t probing, int32_t mask);
int32_t GatherTestObs(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t layer,
                      int32_t extra, int32_t obsEntry, int32_t probing, int32_t mask);

// The shove's two path copies while a shove runs (null: none runs).
void GatherSetShovePaths(const Conn* first, const Conn* second);
