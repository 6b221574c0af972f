// Seeding the two ends of a gap: the pad at an end (on every layer it may
// be left on, in the directions its shape allows), the last routed corner,
// the window edge or the clipped crossing, the routed copper attached to
// the end and, through shared pads, the same net's pads and routes reached
// from the end. The first end is seeded with side 1 and queued; the second
// with side 0, only marked in the maze unless both ends are queued. Every
// seed cell is recorded as an exit node so that path finding can tell how
// the path leaves its end; the exit list is emptied at every seeding.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kOwnerExitPool = 2174001,
    kErrSeedLayer = 2174005,
    kErrSeedSegLayer = 2174084,
};

enum : int32_t {
    kSeedInset = 12,         // seeds lie in 12 .. 2 x window size - 12
    kSeedEdgeFirst = 15,     // window-edge seeds start at this cell, every other cell
    kSharePadDepth = 6,      // levels of shared-pad seeding
    kSeedEdgeCostMax = 4086, // the largest window-edge seed cost
};

// Exit kinds.
enum : int32_t {
    kExitPadCentre = 0,
    kExitPadPoint = 1,
    kExitPadX = 2,
    kExitPadY = 3,
    kExitClipped = 4,
    kExitWindowEdge = 5,
    kExitRouteEnd = 6,
};

struct ExitNode {
    ExitNode* next;
    int16_t comp, pin, conn, corner; // corner negative for the first end
    int16_t x, y, layer;             // maze cell and database layer
    uint8_t side;                    // 1 for the first end
    int32_t kind;
};

// The exit list of the gap (head first), and its length.
const ExitNode* ExitListHead();
int32_t ExitListCount();
void ExitListReset();
void exitListAdd(int32_t comp, int32_t pin, int32_t conn, int32_t corner, int32_t x, int32_t y,
                 int32_t layer, int32_t kind, int32_t side);

int32_t SeedExits();
int32_t mzSeedCell(int32_t x, int32_t y, int32_t layer, int32_t dir, int32_t cost,
                   int32_t limitVias);
int32_t padExit(int32_t comp, int32_t pin, int32_t side, int32_t x, int32_t y);
void padOffSeed(int32_t comp, int32_t pin, int32_t x, int32_t y, int32_t layer, int32_t dir);
void padOffSeedShape(int32_t comp, int32_t pin, int32_t thru, int32_t x, int32_t y, int32_t angle,
                     int32_t layer, int32_t side);
void rouExit(int32_t x, int32_t y, int32_t layer, int32_t viaType, int32_t comp, int32_t pin,
             int32_t corner, int32_t side);
int32_t clippedExit(int32_t comp, int32_t pin, int32_t conn, int32_t corner, int32_t x, int32_t y,
                    int32_t layer, int32_t side);
void windowEdgeExit(int32_t comp, int32_t pin, int32_t conn, int32_t corner, int32_t sector,
                    int32_t side);
void sharePad(int32_t comp, int32_t pin, int32_t side, int32_t depth, int32_t x, int32_t y);
void seedRoute(int32_t conn, const Conn* image, int32_t first, int32_t last, int32_t fromStart,
               int32_t fromEnd, int32_t side);
// Seeds the segment from corner i to i + 1 at the running cost; 0 when the
// walk stops.
int32_t seedSegment(int32_t conn, const Conn* image, int32_t i, int32_t side, int32_t* cost);

// Test-only: forgets the exit pool.
void SeedTestReset();
