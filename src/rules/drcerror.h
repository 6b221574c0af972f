// Error records of the rule checks: the current-error record every check
// fills before it hands a violation on, the error kinds, the violation
// counter, and what a violation does under each DrcMode (record a marker,
// mark the maze, count). Also the clearing of the routing window's markers.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "rules/ruleadapt.h"

enum : uint8_t {
    kErrKindBadPadExit = 1,
    kErrKindRouteSpacing = 2,
    kErrKindViaSpacing = 3,
    kErrKindPadSpacing = 4,
    kErrKindPinTwoNets = 5,
    kErrKindPadToPad = 6,
    kErrKindBadViaLocation = 7,
    kErrKindOffGridVia = 8,
    kErrKindIllegalJumper = 9,
    kErrKindMissingVia = 13,
    kErrKindObsToObs = 20,
    kErrKindNetLayer = 21,
    kErrKindSegWidth = 22,
};

// Record types named in the current-error record.
enum : uint8_t {
    kErrObjComponent = 9,
    kErrObjConn = 11,
    kErrObjObstacle = 12,
};

enum : uint8_t {
    kMarkerByRuleCheck = 0x02, // marker flag: made by the rule check
};

enum : ErrCode {
    kErrMarkerAddAnswer = 2189382,
};

enum : int32_t {
    kMzFullSpace = 0x40, // MzFlags: a violation is recorded and the check goes on
    kMarkerKeepWord = 2, // ErrorMarker::value[2]: nonzero keeps the marker
};

struct DrcError {
    int32_t x, y;
    int32_t object;
    int32_t otherObject;
    int16_t corner;
    int16_t otherSub;
    uint8_t objectType;
    uint8_t otherType;
    uint8_t kind;
    uint8_t layer;
    int32_t found;
    int32_t required;
};

extern DrcError DrcCurrentError;
extern uint16_t DrcErrorCount;

// Hands the current error on under DrcMode; x, y and layer serve the trace.
void CheckAddError(int32_t x, int32_t y, int32_t layer);
// Marks the maze cells of the box (database units) on the layer with the
// rule mark; the 12-cell border, rule and temporary marks and blocked cells
// stay.
void DrcMarkMaze(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer);
// Deletes the markers inside RouteWindow whose keep word is 0.
void DrcClearWindowMarkers();

// The shared end of every sub-check's violation: fills the kind, place,
// layer and clearances into DrcCurrentError and acts by DrcMode on the box
// (x1, y1, x2, y2). Answers what the sub-check returns: 1 only in modes 0 and
// 3 under Full Space.
int32_t DrcViolation(uint8_t kind, int32_t x, int32_t y, int32_t layer, int32_t found,
                     int32_t required, int32_t corner, int32_t bx1, int32_t by1, int32_t bx2,
                     int32_t by2);
