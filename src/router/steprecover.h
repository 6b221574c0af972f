// Recovery of a route-loop step that an internal error cut short. Before
// every step the loop takes a mark: the journal and scratch depths, the
// goal record, the checker's mode words and the push options. When a
// trapped error ends the step, what the step left half done is undone: its
// open journal levels are rejected (the design is as the last committed
// edit left it), the scratch records and push tables it held are handed
// back, an obstacle mapping or a ranking it left open is closed, the goal
// and the checker's words are put back as the mark had them, and the
// router's objects are dropped so that the next step loads them and their
// map afresh from the design. Then the connection in hand is given up for
// the pass (the pass is ranked again without it), or, with none in hand or
// when too many were given up, the window is; an activity-log line names
// what was given up and the error. The run goes on; only a run whose
// steps keep failing (kTrapsInARowMax in a row) takes the fatal road.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "router/push.h"
#include "router/urstate.h"

enum : int32_t {
    kTrapsInARowMax = 200, // steps cut short in a row before the run ends
};

struct RouteStepMark {
    int32_t altDepth;
    int32_t scratchDepth;
    MzGoal goal;
    int16_t drcMode;
    int16_t sweepRunFlag;
    uint16_t dfmFlags;
    PushOptions push;
};

RouteStepMark RouteStepBegin();
// The step ended normally.
void RouteStepDone();
// The step was cut short by the error: undo it and give up (see above).
void RouteStepRecover(const RouteStepMark& mark, const ErrTrapped& error);
