// The DFM clean-up: the driver that runs the phases over every loaded
// connection, the commits that keep a change only when the rule check
// passes, and the geometry the phases share. Angles are minutes of arc,
// 21,600 a turn. Every kept change passes the rule check; a refused one
// leaves the connection's copper as it was and the journal depth at 0.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kErrDfmWorker = 61001,      // DFMForEachConn without a worker
    kErrDfmPasses = 61002,      // passes outside 1..5
    kErrDfmMode = 61003,        // mode outside 1..3
    kErrDfmLevelOpen = 61004,   // a commit with a journal level already open
    kErrDfmCorner = 61005,      // a corner index outside the connection
    kErrDfmPadStart = 61006,    // a pad-exit connection that does not start at its component
    kErrDfmShareStart = 61007,  // two shared-start connections that disagree after orientation
    kErrDfmGuideSlant = 61008,  // a straight share extension along a slanted guide
    kErrDfmPadExitPool = 61801, // owner of the pad-exit pool
};

enum : int32_t {
    kDfmTurn = 21600,
    kDfmRight = 5400,
    kDfmRightBack = 16200,
    kDfmHalfTurn = 10800,
    kDfmEighth = 2700,
    kDfmWorkerTries = 5,    // worker calls per connection while it changes something
    kDfmMaxPasses = 5,      // passes of one DFMForEachConn run
    kDfmMaxMode = 3,        // phase modes 1..3
    kDfmCornerRuns = 41,    // runs of one corner-minimising phase
    kDfmGuideLength = 1000, // length of a construction line
    kDfmShareExtends = 10,  // extendShare runs per pair
    kDfmExitTries = 4,      // exit turns and exit bends per pad
    kDfmCornerLimit = 999,  // a trial never grows a connection past this
};

// DfmFlags bits.
enum : uint16_t {
    kDfmSkipAll = 0x0001,
    kDfmRightAngles = 0x0002,
    kDfmExtraCorners = 0x0004,
    kDfmShare = 0x0008,
    kDfmAcutes = 0x0010,
    kDfmPadExits = 0x0020,
    kDfmMovePinned = 0x0100,
};

// A phase worker: (connection, ObjTable index, working image, mode, 1);
// nonzero when it changed the connection.
typedef int32_t (*DfmWorker)(int32_t conn, int32_t obj, Conn* image, int32_t mode, int32_t one);

// The phase workers DFMClean calls and the whole-change check of the
// commits; tests replace them to watch the driver and the trials.
struct DfmPhaseTable {
    DfmWorker shareVias;
    DfmWorker shareStep;
    DfmWorker threeCrn;
    DfmWorker fourCrn;
    DfmWorker fiveCrn;
    DfmWorker selfAcutes;
    DfmWorker eliminate90;
    DfmWorker miter90;
    DfmWorker clearSharedAcutes;
    void (*cleanPadExits)();
    int32_t (*checkAll)(int32_t whole);
};
extern DfmPhaseTable g_dfmPhases;
const DfmPhaseTable& DfmPhasesReal();

// 1 while a worker runs its last try on a connection.
extern int32_t lastTryFlag;

// ---- driver ----------------------------------------------------------------------

void DFMCleanRules();
int32_t DFMForEachConn(int32_t passes, DfmWorker worker, int32_t mode, const char* title);
int32_t dfmCommitConn(int32_t conn, int32_t obj, Conn* image, int32_t commit);
int32_t dfmCommitConnNoReduce(int32_t conn, int32_t obj, Conn* image, int32_t commit);
// 1 when the connection may be worked on: loaded, savable, not flagged.
int32_t dfmConnUsable(int32_t conn);

// ---- shared geometry -------------------------------------------------------------

int32_t lineAngle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// The turn between two directions, 0..21,599.
int32_t dfmAngleDiff(int32_t a, int32_t b);
bool dfmIsAcuteTurn(int32_t turn);
bool dfmIsOrthogonal(int32_t angle);
int32_t dfmTurn(const Conn* c, int32_t a, int32_t b, int32_t d);
int32_t dfmAcuteAt(const Conn* c, int32_t a, int32_t b, int32_t d);
int32_t dfmIsRightAngle(const Conn* c, int32_t i);
int32_t dfmIsMovableCrn(const Conn* c, int32_t i, int32_t layer);
int32_t dfmSegInWindow(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
bool dfmPointInWindow(int32_t x, int32_t y);
void segBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t box[4]);
// The corner (lowest, or highest) of the line's box that is not an end of
// the line; false when the box is degenerate and both candidates are ends.
bool dfmBoxCorner(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t high, int32_t* x,
                  int32_t* y);

// Pad kinds as the pad exits judge them.
enum : int32_t {
    kDfmPadNone = 0,
    kDfmPadRound = 1,
    kDfmPadSquare = 2,
    kDfmPadRect = 4,
};
struct DfmPad {
    int32_t cx, cy;
    int32_t kind;
    int32_t rotation;
    int32_t halfW, halfH;
    int32_t box[4];
};
void dfmPadInfo(int32_t comp, int32_t pin, int32_t layer, DfmPad* out);
int32_t dfmPointInPad(int32_t comp, int32_t pin, int32_t layer, int32_t x, int32_t y,
                      int32_t clearance);
int32_t dfmViaTooClose(const Conn* c, int32_t via, int32_t other, int32_t clearance);
int32_t dfmNeighbourViaTooClose(const Conn* c, int32_t i);
int32_t dfmTryCommit(int32_t conn, int32_t obj, Conn* image, int32_t corner, int32_t exitWasBad,
                     int32_t commit);
int32_t dfmSameLayerAt(const Conn* a, int32_t i, const Conn* b, int32_t j);
int32_t dfmIsSharable(const Conn* c, int32_t i);
// Inserts a corner at (x, y) before index (1..count); false when the
// connection would pass the corner limit.
bool addConnCrn(Conn* c, int32_t index, int32_t x, int32_t y);
bool dfmRoomFor(const Conn* c, int32_t more);
int32_t dfmHasPointOnLayer(const Conn* c, int32_t x, int32_t y, int32_t layer);
int32_t dfmMakeCommonPoint(Conn* a, Conn* b);
int32_t dfmFindCommonPoint(const Conn* a, const Conn* b, int32_t* i, int32_t* j);
// The layer of the segment at corner i, or of the previous one when i has
// none.
int32_t dfmLayerAt(const Conn* c, int32_t i);
// Where two lines meet (false when parallel or coincident).
bool dfmLineMeet(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2, int32_t bx1, int32_t by1,
                 int32_t bx2, int32_t by2, int32_t* x, int32_t* y);
// The point on the segment (ends included) for a point on its line.
bool dfmOnSeg(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// A construction vector of kDfmGuideLength at the angle.
// (exact along the axes and the diagonals).
void dfmGuide(int32_t angle, int32_t* dx, int32_t* dy);
// The point len along the direction from (x1, y1) to (x2, y2); exact on
// the axes, rounded once on the diagonals.
void dfmStep(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t len, int32_t* x, int32_t* y);

// ---- phases ----------------------------------------------------------------------

void DFMCleanPadExits();
int32_t dfmExitDirs(int32_t comp, int32_t pin, int32_t layer);
int32_t dfmPadExitPass(int32_t conn, int32_t obj, Conn* image, int32_t test, int32_t reversed);
int32_t dfmRunCornerPass(int32_t conn, const Conn* image);
int32_t exitPadAtAngle(int32_t conn, int32_t obj, Conn* image, int32_t angle, int32_t reversed);

int32_t DFMShareVias(int32_t conn, int32_t obj, Conn* image, int32_t mode, int32_t one);
int32_t dfmShareStep(int32_t conn, int32_t obj, Conn* image, int32_t mode, int32_t one);
int32_t DFMClearSharedAcutes(int32_t conn, int32_t obj, Conn* image, int32_t mode, int32_t one);

int32_t dfmThreeCrn(int32_t conn, int32_t obj, Conn* image, int32_t mode, int32_t one);
int32_t fourCrn(int32_t conn, int32_t obj, Conn* image, int32_t mode, int32_t one);
int32_t FiveCrn(int32_t conn, int32_t obj, Conn* image, int32_t mode, int32_t one);
int32_t dfmSelfAcutes(int32_t conn, int32_t obj, Conn* image, int32_t mode, int32_t one);
int32_t dfmSelfAcuteAt(int32_t conn, int32_t obj, Conn* work, int32_t corner, int32_t exitWasBad);
int32_t dfmEliminate90(int32_t conn, int32_t obj, Conn* image, int32_t mode, int32_t one);
// Moves corners k and k + 1 by (dx, dy) when the vector runs along both
// neighbouring segments, the moved segment stays in the window and no via
// comes too close; committed through dfmCommitConn (image takes it).
int32_t dfmShiftSeg(int32_t conn, int32_t obj, Conn* image, int32_t k, int32_t dx, int32_t dy);
int32_t dfmMiter90(int32_t conn, int32_t obj, Conn* image, int32_t mode, int32_t one);
